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

namespace {

// Not the designer's work, and no reason to stop a command: a file that
// cannot be written whole keeps the one before.
void WriteQuietly(const QString &path, const QByteArray &bytes)
{
    QDir().mkpath(Platform.UserConfigFolder());
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return;
    if (file.write(bytes) == bytes.size() && file.flush())
        file.commit();
}

}  // namespace

void WriteRecentFiles(const QStringList &recent)
{
    WriteQuietly(RecentFilesPath(), recent.join(QLatin1Char('\n')).toUtf8() + '\n');
}

QString DialogMemoryPath()
{
    return QDir(Platform.UserConfigFolder()).filePath(QStringLiteral("vistrel-dialogs.txt"));
}

DialogMemory ReadDialogMemory()
{
    DialogMemory memory;
    QFile file(DialogMemoryPath());
    if (!file.open(QIODevice::ReadOnly) || file.size() > 64 * 1024)
        return memory;
    for (const QByteArray &line : file.readAll().split('\n')) {
        const QString text = QString::fromUtf8(line).trimmed();
        const qsizetype equals = text.indexOf(QLatin1Char('='));
        if (equals <= 0)
            continue;
        const QString key = text.left(equals), value = text.mid(equals + 1);
        if (key == QLatin1String("gif-palette"))
            memory.AdaptiveGifPalette = value == QLatin1String("adaptive");
        else if (key == QLatin1String("language"))
            memory.Language = value;
        else if (key == QLatin1String("max-width-cm"))
            memory.MaxWidthCm = ToFixed4(value.toDouble());  // checked where it is used
        else if (key == QLatin1String("compress"))
            memory.Compression = value;
        else if (key == QLatin1String("embed-icc"))
            memory.EmbedIcc = value == QLatin1String("yes");
        else if (key == QLatin1String("bleed-mm"))
            memory.BleedMm = ToFixed4(value.toDouble());  // checked where it is used
        else if (key == QLatin1String("marks"))
            memory.Marks = value == QLatin1String("yes");
        else if (!value.isEmpty())
            memory.Folders[key] = value;
    }
    return memory;
}

void WriteDialogMemory(const DialogMemory &memory)
{
    QByteArray bytes;
    for (auto it = memory.Folders.cbegin(); it != memory.Folders.cend(); ++it)
        bytes += (it.key() + QLatin1Char('=') + it.value()).toUtf8() + '\n';
    bytes += QByteArray("gif-palette=") + (memory.AdaptiveGifPalette ? "adaptive" : "halftone") + '\n';
    if (!memory.Language.isEmpty())
        bytes += "language=" + memory.Language.toUtf8() + '\n';
    if (memory.MaxWidthCm > 0)
        bytes += "max-width-cm=" + ShortFixed4Text(memory.MaxWidthCm).toUtf8() + '\n';
    if (!memory.Compression.isEmpty())
        bytes += "compress=" + memory.Compression.toUtf8() + '\n';
    if (memory.EmbedIcc)
        bytes += "embed-icc=yes\n";
    if (memory.BleedMm > 0)
        bytes += "bleed-mm=" + ShortFixed4Text(memory.BleedMm).toUtf8() + '\n';
    if (memory.Marks)
        bytes += "marks=yes\n";
    WriteQuietly(DialogMemoryPath(), bytes);
}
