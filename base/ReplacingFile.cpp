#include "ReplacingFile.h"

#include "Errors.h"
#include "Interruption.h"
#include "Texts.h"

#include <QFileInfo>
#include <QSaveFile>
#include <QRandomGenerator>
#include <filesystem>
#include <system_error>

ReplacingFile::ReplacingFile(const QString &target, bool removeStale) : Target(target), RemoveStale(removeStale)
{
    // Like QSaveFile: saving over a link writes the file it leads to and
    // keeps the link, through links to links too.
    QFileInfo info(target);
    for (int step = 0; step < 128 && info.isSymLink(); ++step)
        info.setFile(info.symLinkTarget());
    Finished = info.filePath();
}

ReplacingFile::~ReplacingFile()
{
    if (Committed || fileName().isEmpty())
        return;
    // Closed first: on a full disk the close fails, and QFile::remove() would
    // then keep the file.
    close();
    QFile::remove(fileName());
    UnregisterTemporary(fileName());
}

void ReplacingFile::Open()
{
    RefuseSpecialTarget(Target);
    const QFileInfo finished(Finished);
    // Refused before any work, as QSaveFile does, rather than at the rename.
    if (finished.isDir() || (finished.exists() && !finished.isWritable()))
        throw VistrelError(Vistrel::tr("Cannot save \"%1\": %2")
                               .arg(Target, finished.isDir() ? Vistrel::tr("it is a folder.")
                                                             : Vistrel::tr("the file is read-only.")),
                           ErrorKind::File);
    // What runs killed outright left beside it goes first.
    if (RemoveStale)
        RemoveStaleTemporaries(Finished);
    // A new name each try, so two exports to one folder never share one.
    for (int attempt = 0;; ++attempt) {
        setFileName(TemporaryNameFor(Finished, QRandomGenerator::global()->generate()));
        if (CreateTemporary(fileName(), [this] { return open(QIODevice::WriteOnly | QIODevice::NewOnly); }))
            break;
        if (!exists() || attempt == 16) {
            const QString reason = errorString();
            setFileName(QString());  // nothing of ours to remove
            throw FolderNotWritableError(Target, finished.absolutePath(), reason);
        }
    }
    // An existing file keeps who may read and write it. Through the file's
    // name, so that a failure here is not taken for a failed write.
    if (finished.exists())
        QFile::setPermissions(fileName(), finished.permissions());
}

bool ReplacingFile::Commit()
{
    if (!isOpen()) {
        setErrorString(Vistrel::tr("The file was not open."));
        return false;
    }
    bool written = error() == QFileDevice::NoError && flush();
    QString reason = WriteFailureReason(*this);
    close();
    if (written && error() != QFileDevice::NoError) {  // the close itself failed
        written = false;
        reason = WriteFailureReason(*this);
    }
    if (!written) {
        setErrorString(reason);
        return false;
    }
    // The rename replaces the target in one step, where the system allows it.
    std::error_code failure;
    std::filesystem::rename(QFileInfo(fileName()).filesystemAbsoluteFilePath(),
                            QFileInfo(Finished).filesystemAbsoluteFilePath(), failure);
    if (failure) {
        setErrorString(QString::fromLocal8Bit(failure.message()));
        return false;
    }
    UnregisterTemporary(fileName());
    Committed = true;
    return true;
}

SavingFile::SavingFile(const QString &path, bool synced) : Name(path)
{
    if (synced)
        Synced = std::make_unique<QSaveFile>(path);
    else
        Unsynced = std::make_unique<ReplacingFile>(path, false);
}

SavingFile::~SavingFile() = default;

void SavingFile::Open()
{
    if (Synced)
        OpenForSaving(*Synced);
    else
        Unsynced->Open();
}

void SavingFile::Commit()
{
    if (Synced)
        CommitSaveFile(*Synced);
    else if (!Unsynced->Commit())
        throw SaveError(Name, Unsynced->errorString());
}

QFileDevice &SavingFile::Device()
{
    if (Synced)
        return *Synced;
    return *Unsynced;
}
