#include "Errors.h"

#include "ReplacingFile.h"
#include "Texts.h"

#include <mutex>

#include <QFile>
#include <QFileDevice>
#ifndef Q_OS_WIN
#include <cerrno>
#include <cstring>
#include <sys/stat.h>
#include <unistd.h>
#endif
#include <QFileInfo>
#include <QSaveFile>

QString CannotOpenFileText(const QString &path, const QString &reason)
{
    return Vistrel::tr("Cannot open file \"%1\". %2").arg(path, reason);
}

VistrelError FileError(const QString &path, const QString &reason)
{
    return VistrelError(CannotOpenFileText(path, reason), ErrorKind::File);
}

VistrelError CreateFileError(const QString &path, const QString &reason)
{
    return VistrelError(Vistrel::tr("Cannot create file \"%1\". %2").arg(path, reason), ErrorKind::File);
}

std::function<void(const char *point)> FaultHook;

void CallFaultHook(const char *point)
{
    static std::mutex guard;
    std::lock_guard<std::mutex> lock(guard);
    if (FaultHook)
        FaultHook(point);
}

VistrelError FolderNotWritableError(const QString &path, const QString &folder, const QString &reason)
{
    return VistrelError(Vistrel::tr("Cannot save \"%1\": the folder \"%2\" cannot be written. %3")
                            .arg(path, folder, reason),
                        ErrorKind::File);
}

FileKind KindOfFile(const QString &path)
{
#ifdef Q_OS_WIN
    const QFileInfo info(path);
    return !info.exists() ? FileKind::Missing : info.isFile() ? FileKind::Regular : info.isDir() ? FileKind::Folder
                                                                                              : FileKind::Other;
#else
    struct stat st {};
    if (::stat(QFile::encodeName(path).constData(), &st) != 0)
        return FileKind::Missing;
    return S_ISREG(st.st_mode) ? FileKind::Regular : S_ISDIR(st.st_mode) ? FileKind::Folder : FileKind::Other;
#endif
}

void RefuseSpecialTarget(const QString &path)
{
    if (KindOfFile(path) == FileKind::Other)
        throw VistrelError(Vistrel::tr("Cannot save \"%1\": it is not a regular file but a device, a pipe or a "
                                          "socket. Choose another name.")
                               .arg(path),
                           ErrorKind::File);
}

void OpenForSaving(QSaveFile &file)
{
    RefuseSpecialTarget(file.fileName());
    if (!file.open(QIODevice::WriteOnly))
        throw FolderNotWritableError(file.fileName(), QFileInfo(file.fileName()).absolutePath(), file.errorString());
}

namespace {

QString DiskFullText()
{
    return Vistrel::tr("The disk is full.");
}

// The file a device writes: for one written beside its name, the name it takes.
QString DeviceFileName(const QIODevice &device)
{
    if (const auto *replacing = dynamic_cast<const ReplacingFile *>(&device))
        return replacing->TargetName();
    if (const auto *file = qobject_cast<const QFileDevice *>(&device))
        return file->fileName();
    return {};
}

}  // namespace

QString WriteFailureReason(const QFileDevice &file)
{
    // A full disk is a resource error; the system's text for it says less.
    if (file.error() == QFileDevice::ResourceError)
        return DiskFullText();
    return file.errorString();
}

VistrelError SaveError(const QString &path, const QString &reason)
{
    return VistrelError(Vistrel::tr("Cannot save \"%1\". %2").arg(path, reason), ErrorKind::File);
}

VistrelError StreamWriteError(const QIODevice &device)
{
    const auto *file = qobject_cast<const QFileDevice *>(&device);
    const QString reason = file ? WriteFailureReason(*file) : device.errorString();
    return VistrelError(Vistrel::tr("Stream write error in \"%1\". %2").arg(DeviceFileName(device), reason),
                        ErrorKind::File);
}

void CommitSaveFile(QSaveFile &file)
{
    const QString path = file.fileName();
    if (file.error() != QFileDevice::NoError || !file.flush()) {
        const QString reason = WriteFailureReason(file);
        file.cancelWriting();
        throw SaveError(path, reason);
    }
#ifndef Q_OS_WIN
    // Some file systems (network, quotas) say they are full only when the bytes
    // are made durable; QSaveFile::commit() does not look at that answer.
    if (::fsync(file.handle()) != 0) {
        const QString reason =
            errno == ENOSPC || errno == EDQUOT ? DiskFullText() : QString::fromLocal8Bit(std::strerror(errno));
        file.cancelWriting();
        throw SaveError(path, reason);
    }
#endif
    if (!file.commit())
        throw SaveError(path, WriteFailureReason(file));
}

std::function<qint64(const QString &file, qint64 offset, qint64 size)> WriteFaultHook;

qint64 CheckedWrite(QIODevice &device, const char *data, qint64 size)
{
    if (WriteFaultHook) {
        static std::mutex guard;
        std::lock_guard<std::mutex> lock(guard);
        // A file written beside its name is known by the name it will take.
        const qint64 failAt = WriteFaultHook(DeviceFileName(device), device.pos(), size);
        if (failAt >= device.pos() && failAt < device.pos() + size) {
            const qint64 written = device.write(data, failAt - device.pos());
            return written < 0 ? -1 : written;
        }
    }
    return device.write(data, size);
}
