// The one exception type of Vistrel. It carries the exact text the person sees
// and the kind of failure: a command's guard catches it once and shows the text
// in a message box; the batch mode prints it.
#pragma once

#include <QIODevice>
#include <QString>
#include <functional>
#include <stdexcept>

enum class ErrorKind {
    Input,   // a typed value that is not a number or not usable
    File,    // a file that cannot be opened, read, written or renamed
    Format,  // a file whose content is not what it must be
    Memory,  // not enough memory for the work asked
};

class VistrelError : public std::runtime_error {
public:
    explicit VistrelError(const QString &message, ErrorKind kind = ErrorKind::Input)
        : std::runtime_error(message.toStdString()), Message(message), Kind(kind) {}
    QString Message;
    ErrorKind Kind;
};

// The file error text of the platform: "Cannot open file "%s". %s".
QString CannotOpenFileText(const QString &path, const QString &reason);
// That text as an error of kind File.
VistrelError FileError(const QString &path, const QString &reason);
// "Cannot create file "%s". %s", of kind File: an output that cannot be written.
VistrelError CreateFileError(const QString &path, const QString &reason);

// Tests make a command fail at a named point (an allocation that fails, a disk
// that is full) by setting this hook; it throws where it wants the failure.
// Work spread over threads calls it from one thread at a time.
extern std::function<void(const char *point)> FaultHook;
void CallFaultHook(const char *point);
inline void FaultPoint(const char *point)
{
    if (FaultHook)
        CallFaultHook(point);
}

// "Cannot save "%s": the folder "%s" cannot be written. %s", of kind File:
// an output whose folder cannot take a new file.
VistrelError FolderNotWritableError(const QString &path, const QString &folder, const QString &reason);

// What a name leads to, links followed, asked of the system itself (Qt takes
// a link to a device for a file). Missing: nothing there, or a broken link.
enum class FileKind { Missing, Regular, Folder, Other };
FileKind KindOfFile(const QString &path);

// An output never replaces what is not a regular file: a device (as root,
// /dev/null would go), a pipe or a socket under the name is refused, by name,
// before any work. A link to a regular file is a regular file.
void RefuseSpecialTarget(const QString &path);

class QSaveFile;
class QFileDevice;
// Opens a file that is written beside its name and renamed into place when
// complete; a folder that cannot take the new file is said by name.
void OpenForSaving(QSaveFile &file);
// Writes what is still buffered, checks it, and renames the file into place.
// QSaveFile's own commit takes only some failures of that last write for a
// failure (not a disk that fills up), and would rename a short or empty file
// over the earlier one. Throws VistrelError naming the file, with "the disk
// is full" when it is; the earlier file is left as it was.
void CommitSaveFile(QSaveFile &file);
// Why a write failed, in words for the person: "The disk is full." when it
// is, else the system's own reason.
QString WriteFailureReason(const QFileDevice &file);
// "Cannot save "%s". %s", of kind File.
VistrelError SaveError(const QString &path, const QString &reason);
// A write into `device` that failed part of the way: the file it is for (the
// name it takes once complete) and why, of kind File.
VistrelError StreamWriteError(const QIODevice &device);

// Tests make a write fail at a byte of a file, as a full disk would: asked for
// every write with the file's name, where the bytes go and how many they are,
// the hook returns the place of the first byte that cannot be written, or -1.
extern std::function<qint64(const QString &file, qint64 offset, qint64 size)> WriteFaultHook;
// Every file Vistrel writes is written through this: the bytes written, fewer
// than `size` when the write failed part of the way.
qint64 CheckedWrite(QIODevice &device, const char *data, qint64 size);
inline qint64 CheckedWrite(QIODevice &device, const QByteArray &bytes)
{
    return CheckedWrite(device, bytes.constData(), bytes.size());
}
