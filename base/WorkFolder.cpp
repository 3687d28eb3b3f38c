#include "WorkFolder.h"

#include "Document.h"
#include "Errors.h"
#include "Interruption.h"
#include "Platform.h"
#include "Texts.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLockFile>
#include <QHash>
#include <memory>
#include <mutex>
#ifndef Q_OS_WIN
#include <cerrno>
#include <cstdlib>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

QString WorkFolder;

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
    throw VistrelError(Vistrel::tr("Cannot create the work folder \"%1\" nor \"%2\". "
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
                throw VistrelError(Vistrel::tr("Cannot make the lock file of the work folder \"%1\": the folder "
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
        SetInterruptedWorkFolder(HeldFolder, folder + QStringLiteral(".lock"));
        return HeldFolder;
    }
    throw VistrelError(Vistrel::tr("Cannot claim a work folder below \"%1\": %2 Vistrel processes seem to be "
                                      "running. Close some of them and start again.")
                           .arg(QFileInfo(base).absolutePath())
                           .arg(MostProcesses));
}

void ReleaseWorkFolder()
{
    SetInterruptedWorkFolder(QString(), QString());
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

namespace {

QByteArray NativeFolder(QString folder)
{
    while (folder.size() > 1 && (folder.endsWith(QLatin1Char('/')) || folder.endsWith(QLatin1Char('\\'))))
        folder.chop(1);
    return QFile::encodeName(folder);
}

}  // namespace

bool MakePrivateFolder(const QString &folder)
{
#ifdef Q_OS_WIN
    return MakeFolder(folder);
#else
    const QByteArray path = NativeFolder(folder);
    QDir().mkpath(QFileInfo(QFile::decodeName(path)).absolutePath());
    if (::mkdir(path.constData(), 0700) != 0 && errno != EEXIST)
        return false;
    // Opened without following a link, and checked and changed through that
    // handle, so that nothing can be swapped in between.
    const int fd = ::open(path.constData(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0)
        return false;  // a link, a file, or nothing we may open
    struct stat st {};
    bool ours = ::fstat(fd, &st) == 0 && S_ISDIR(st.st_mode) && st.st_uid == ::geteuid() &&
                (st.st_mode & (S_IWGRP | S_IWOTH)) == 0;
    if (ours && (st.st_mode & 07777) != 0700)
        ours = ::fchmod(fd, 0700) == 0;
    ::close(fd);
    return ours && ::access(path.constData(), W_OK) == 0;
#endif
}

QString PrivateFolderIn(const QString &sharedFolder)
{
    QString shared = sharedFolder;
    if (!shared.endsWith(FolderSeparator()))
        shared += FolderSeparator();
#ifdef Q_OS_WIN
    return shared;
#else
    // Once a process: a fresh folder is made at most once, not at every look.
    static std::mutex guard;
    static QHash<QString, QString> made;
    std::lock_guard<std::mutex> lock(guard);
    if (const auto known = made.constFind(shared); known != made.constEnd() && MakePrivateFolder(*known))
        return *known;
    const QString named = shared + QStringLiteral("vistrel-%1").arg(::geteuid());
    QString folder;
    if (MakePrivateFolder(named)) {
        folder = named + FolderSeparator();
    } else {
        QByteArray pattern = QFile::encodeName(named + QStringLiteral("-XXXXXX"));
        if (!::mkdtemp(pattern.data()))  // made by the system, mode 0700, ours
            throw VistrelError(Vistrel::tr("\"%1\" is not a folder of this user's, and no other private folder "
                                              "can be made in \"%2\" for the work files.")
                                   .arg(named, sharedFolder),
                               ErrorKind::File);
        folder = QFile::decodeName(pattern) + FolderSeparator();
    }
    made.insert(shared, folder);
    return folder;
#endif
}

void DeleteFilesInFolder(const QString &folder)
{
#ifdef Q_OS_WIN
    QDir dir(folder);
    const QStringList names = dir.entryList(QDir::Files | QDir::Hidden | QDir::System);
    for (const QString &name : names)
        dir.remove(name);
#else
    const int fd = ::open(NativeFolder(folder).constData(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0)
        return;
    // Only a folder of this user's that no one else can write is emptied.
    struct stat held {};
    if (::fstat(fd, &held) != 0 || held.st_uid != ::geteuid() || (held.st_mode & (S_IWGRP | S_IWOTH)) != 0) {
        ::close(fd);
        return;
    }
    DIR *dir = ::fdopendir(fd);
    if (!dir) {
        ::close(fd);
        return;
    }
    while (const dirent *entry = ::readdir(dir)) {
        struct stat st {};
        // Removed by name inside the folder opened: a link goes, its target stays.
        if (::fstatat(fd, entry->d_name, &st, AT_SYMLINK_NOFOLLOW) == 0 && !S_ISDIR(st.st_mode))
            ::unlinkat(fd, entry->d_name, 0);
    }
    ::closedir(dir);  // closes fd too
#endif
}

bool IsWorkFile(const QString &path)
{
    return !WorkFolder.isEmpty() && path.startsWith(WorkFolder);
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

QString WorkFolderFor(const QString &requested)
{
    if (requested.isEmpty()) {
        const QString chosen = ChooseWorkFolder(Platform.WorkRootCandidates(), Platform.WorkRootFallback(),
                                                Platform.FreeSpace, MakePrivateFolder);
        try {
            return ClaimWorkFolder(chosen, MakePrivateFolder);
        } catch (const VistrelError &) {
            // Every name below that root is taken (locks another user left in
            // a root they share, say): the private root of the fallback.
            const QString fallback = ChooseWorkFolder({}, Platform.WorkRootFallback(), Platform.FreeSpace,
                                                      MakePrivateFolder);
            if (fallback == chosen)
                throw;
            return ClaimWorkFolder(fallback, MakePrivateFolder);
        }
    }
    QString folder = QDir::toNativeSeparators(QFileInfo(requested).absoluteFilePath());
    if (!folder.endsWith(FolderSeparator()))
        folder += FolderSeparator();
    if (!MakeFolder(folder))
        throw VistrelError(Vistrel::tr("Cannot create the work folder \"%1\".").arg(folder));
    return folder;
}
