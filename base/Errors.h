// The one exception type of Vistrel. It carries the exact text the person sees:
// a command handler catches it once at its top and shows the text in a message box.
#pragma once

#include <QString>
#include <stdexcept>

class VistrelError : public std::runtime_error {
public:
    explicit VistrelError(const QString &message)
        : std::runtime_error(message.toStdString()), Message(message) {}
    QString Message;
};

// The file error text of the platform: "Cannot open file "%s". %s".
QString CannotOpenFileText(const QString &path, const QString &reason);
