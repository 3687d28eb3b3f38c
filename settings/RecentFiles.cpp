#include "RecentFiles.h"

#include "Platform.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

QString RecentFilesPath()
{
    return QDir(Platform.UserConfigFolder()).filePath(QStringLiteral("vistrel-recent.txt"));
}

QStringList ReadRecentFiles()
{
    QFile file(RecentFilesPath());
    if (!file.open(QIODevice::ReadOnly))
        return {};
    QStringList recent;
    for (const QByteArray &line : file.readAll().split('\n')) {
        const QString path = QString::fromUtf8(line).trimmed();
        if (!path.isEmpty() && !recent.contains(path) && recent.size() < RecentFileCount)
            recent << path;
    }
    return recent;
}

QStringList WithRecentFile(const QStringList &recent, const QString &file)
{
    const QString path = QFileInfo(file).absoluteFilePath();
    QStringList list{path};
    for (const QString &p : recent)
        if (p != path && list.size() < RecentFileCount)
            list << p;
    return list;
}

void WriteRecentFiles(const QStringList &recent)
{
    QDir().mkpath(Platform.UserConfigFolder());
    QSaveFile file(RecentFilesPath());
    if (!file.open(QIODevice::WriteOnly))
        return;
    // Not the designer's work, and no reason to stop a command: a list that
    // cannot be written whole keeps the one before.
    const QByteArray bytes = recent.join(QLatin1Char('\n')).toUtf8() + '\n';
    if (file.write(bytes) == bytes.size() && file.flush())
        file.commit();
}
