#include "WorkFolder.h"

#include "Document.h"
#include "Errors.h"
#include "Platform.h"

#include <QDir>
#include <QFileInfo>
#include <QLockFile>
#include <memory>

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

namespace {

// The work folder this process holds, and its lock.
QString HeldFolder;
std::unique_ptr<QLockFile> HeldLock;

}  // namespace

QString ClaimWorkFolder(const QString &chosen, const std::function<bool(const QString &)> &makeFolder)
{
    const QString separator = chosen.right(1);
    const QString base = chosen.left(chosen.size() - 1);
    constexpr int MostProcesses = 64;
    if (HeldLock && HeldFolder.startsWith(base) && makeFolder(HeldFolder))
        return HeldFolder;  // a second window of this process keeps its folder
    for (int n = 1; n <= MostProcesses; ++n) {
        const QString folder = n == 1 ? base : base + QString::number(n);
        auto lock = std::make_unique<QLockFile>(folder + QStringLiteral(".lock"));
        // A lock is stale only when its process is gone, however long it runs.
        lock->setStaleLockTime(0);
        if (!lock->tryLock(0)) {
            // Held by a running Vistrel: try the next name. Anything else (a
            // root that cannot be written) is said as it is.
            if (lock->error() != QLockFile::LockFailedError)
                throw VistrelError(QStringLiteral("Cannot make the lock file of the work folder \"%1\": the folder "
                                                  "\"%2\" cannot be written.")
                                       .arg(folder + separator, QFileInfo(base).absolutePath()),
                                   ErrorKind::File);
            continue;
        }
        if (!makeFolder(folder + separator))
            continue;
        // What a process that is gone left behind is of no use to anyone.
        DeleteFilesInFolder(folder + separator);
        HeldLock = std::move(lock);
        HeldFolder = folder + separator;
        return HeldFolder;
    }
    throw VistrelError(QStringLiteral("Cannot claim a work folder below \"%1\": %2 Vistrel processes seem to be "
                                      "running. Close some of them and start again.")
                           .arg(QFileInfo(base).absolutePath())
                           .arg(MostProcesses));
}

void ReleaseWorkFolder()
{
    HeldLock.reset();
    HeldFolder.clear();
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
