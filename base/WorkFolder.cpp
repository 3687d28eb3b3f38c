#include "WorkFolder.h"

#include "Document.h"
#include "Errors.h"
#include "Platform.h"

#include <QDir>
#include <QFileInfo>

QString ChooseWorkFolder(const QStringList &roots, const QString &fallbackRoot,
                         const std::function<int64_t(const QString &)> &freeSpace,
                         const std::function<bool(const QString &)> &makeFolder)
{
    // Each root ends with its separator; the work folder ends with the same one.
    auto subFolderOf = [](const QString &root) {
        return root + QStringLiteral("mavotemp") + (root.isEmpty() ? FolderSeparator() : QString(root.back()));
    };
    QString chosenRoot = roots.isEmpty() ? fallbackRoot : roots.last();
    for (const QString &root : roots) {
        // A drive that does not exist reports no free space and fails the test.
        if (freeSpace(root) > WorkFolderFreeSpaceNeeded) {
            chosenRoot = root;
            break;
        }
    }
    const QString chosen = subFolderOf(chosenRoot);
    if (makeFolder(chosen))
        return chosen;
    const QString fallback = subFolderOf(fallbackRoot);
    if (makeFolder(fallback))
        return fallback;
    throw VistrelError(QStringLiteral("Cannot create the work folder \"%1\" nor \"%2\". "
                                      "Vistrel keeps its intermediate images there and cannot run without it.")
                           .arg(chosen, fallback));
}

bool MakeFolder(const QString &folder)
{
    QDir dir;
    if (!QFileInfo(folder).isDir() && !dir.mkpath(folder))
        return false;
    const QFileInfo info(folder);
    return info.isDir() && info.isWritable();
}

void DeleteFilesInFolder(const QString &folder)
{
    QDir dir(folder);
    const QStringList names = dir.entryList(QDir::Files | QDir::Hidden | QDir::System);
    for (const QString &name : names)
        dir.remove(name);
}

QString WorkFileName(const QString &prefix, int number)
{
    return WorkFolder + prefix + QString::number(number) + QStringLiteral(".gjs");
}

QString WorkFileName(int layerNumber, const QString &prefix, int viewNumber)
{
    return WorkFolder + QString::number(layerNumber) + prefix + QString::number(viewNumber) + QStringLiteral(".gjs");
}

QString ThreeDigits(int number)
{
    if (number < 10)
        return QStringLiteral("00") + QString::number(number);
    if (number < 100)
        return QStringLiteral("0") + QString::number(number);
    return QString::number(number);
}

QString WorkFileName3(const QString &prefix, int number)
{
    return WorkFolder + prefix + ThreeDigits(number) + QStringLiteral(".gjs");
}
