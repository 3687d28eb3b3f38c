#include "Errors.h"

QString CannotOpenFileText(const QString &path, const QString &reason)
{
    return QStringLiteral("Cannot open file \"%1\". %2").arg(path, reason);
}

VistrelError FileError(const QString &path, const QString &reason)
{
    return VistrelError(CannotOpenFileText(path, reason), ErrorKind::File);
}

VistrelError CreateFileError(const QString &path, const QString &reason)
{
    return VistrelError(QStringLiteral("Cannot create file \"%1\". %2").arg(path, reason), ErrorKind::File);
}

std::function<void(const char *point)> FaultHook;
