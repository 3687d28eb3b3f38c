#include "ReplacingFile.h"

#include "Errors.h"

#include <QFileInfo>
#include <QRandomGenerator>
#include <filesystem>
#include <system_error>

ReplacingFile::ReplacingFile(const QString &target) : Target(target), Finished(target)
{
    // Like QSaveFile: saving over a link writes the file it points to and
    // keeps the link.
    const QFileInfo info(target);
    if (info.isSymLink())
        Finished = info.symLinkTarget();
}

ReplacingFile::~ReplacingFile()
{
    if (!Committed && !fileName().isEmpty()) {
        close();
        remove();
    }
}

void ReplacingFile::Open()
{
    // A new name each try, so two exports to one folder never share one.
    for (int attempt = 0;; ++attempt) {
        setFileName(QStringLiteral("%1.%2").arg(Finished).arg(QRandomGenerator::global()->generate(), 8, 16,
                                                                   QLatin1Char('0')));
        if (open(QIODevice::WriteOnly | QIODevice::NewOnly))
            break;
        if (!exists() || attempt == 16) {
            const QString reason = errorString();
            setFileName(QString());  // nothing of ours to remove
            throw VistrelError(QStringLiteral("Cannot save \"%1\": the folder \"%2\" cannot be written. %3")
                                   .arg(Target, QFileInfo(Target).absolutePath(), reason),
                               ErrorKind::File);
        }
    }
    // An existing file keeps who may read and write it.
    if (QFile::exists(Finished))
        setPermissions(QFile::permissions(Finished));
}

bool ReplacingFile::Commit()
{
    if (!isOpen())
        return false;
    bool written = error() == QFileDevice::NoError && flush();
    QString reason = errorString();
    close();
    if (written && error() != QFileDevice::NoError) {  // the close itself failed
        written = false;
        reason = errorString();
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
        setErrorString(QString::fromStdString(failure.message()));
        return false;
    }
    Committed = true;
    return true;
}
