#include "Interruption.h"

#include "WorkFolder.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSysInfo>
#include <cstdio>
#include <mutex>
#include <set>
#include <thread>
#ifndef Q_OS_WIN
#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace {

// What an interruption removes. The cleanup thread reads it under the lock.
std::mutex Guard;
std::set<QString> Temporaries;
QString InterruptedFolder, InterruptedLock;

#ifndef Q_OS_WIN
// When a process started, in seconds since the epoch; -1 when it cannot be told.
qint64 ProcessStart(pid_t pid)
{
    QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
    QFile system(QStringLiteral("/proc/stat"));
    if (!stat.open(QIODevice::ReadOnly) || !system.open(QIODevice::ReadOnly))
        return -1;
    const QByteArray line = stat.readAll();
    // After the name in parentheses: the state is field 3, the start time field 22.
    const QList<QByteArray> fields = line.mid(line.lastIndexOf(')') + 2).split(' ');
    if (fields.size() < 20)
        return -1;
    const qint64 ticks = fields[19].toLongLong();
    qint64 boot = -1;
    for (const QByteArray &entry : system.readAll().split('\n'))
        if (entry.startsWith("btime "))
            boot = entry.mid(6).trimmed().toLongLong();
    const long perSecond = ::sysconf(_SC_CLK_TCK);
    return boot < 0 || perSecond <= 0 ? -1 : boot + ticks / perSecond;
}

// The handler only says which signal came, through a pipe: a handler (unlike
// a blocked signal mask) is not inherited by the programs Vistrel starts.
int SignalPipe[2] = {-1, -1};

void SaySignal(int number)
{
    const int saved = errno;
    const unsigned char byte = static_cast<unsigned char>(number);
    [[maybe_unused]] const ssize_t written = ::write(SignalPipe[1], &byte, 1);
    errno = saved;
}

void WaitForSignals()
{
    unsigned char number = 0;
    while (::read(SignalPipe[0], &number, 1) != 1)
        if (errno != EINTR)
            return;
    // Held to the end, so that no new temporary is made after the removal.
    Guard.lock();
    for (const QString &path : Temporaries)
        ::unlink(QFile::encodeName(path).constData());
    if (!InterruptedFolder.isEmpty())
        DeleteFilesInFolder(InterruptedFolder);
    if (!InterruptedLock.isEmpty())
        ::unlink(QFile::encodeName(InterruptedLock).constData());
    static const char said[] = "vistrel: interrupted; the unfinished output and the work files were removed.\n";
    [[maybe_unused]] const ssize_t written = ::write(STDERR_FILENO, said, sizeof(said) - 1);
    ::_exit(128 + number);
}

// This machine, so that unfinished outputs of another machine sharing a
// folder are never taken for this machine's stale ones.
QString MachineTag()
{
    static const QString tag = [] {
        QFile id(QStringLiteral("/etc/machine-id"));
        const QByteArray bytes = id.open(QIODevice::ReadOnly) ? id.read(64).trimmed() : QByteArray();
        return QString::number(qHash(bytes.isEmpty() ? QSysInfo::machineHostName().toUtf8() : bytes) & 0xffffffffu, 16)
            .rightJustified(8, QLatin1Char('0'));
    }();
    return tag;
}
#endif

}  // namespace

void InstallInterruptionCleanup()
{
#ifndef Q_OS_WIN
    if (SignalPipe[0] >= 0 || ::pipe2(SignalPipe, O_CLOEXEC) != 0)
        return;
    std::thread(WaitForSignals).detach();
    struct sigaction action {};
    action.sa_handler = SaySignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (int number : {SIGINT, SIGTERM, SIGHUP})
        ::sigaction(number, &action, nullptr);
#endif
}

bool CreateTemporary(const QString &path, const std::function<bool()> &create)
{
    std::lock_guard<std::mutex> lock(Guard);
    if (!create())
        return false;
    Temporaries.insert(path);
    return true;
}

void UnregisterTemporary(const QString &path)
{
    std::lock_guard<std::mutex> lock(Guard);
    Temporaries.erase(path);
}

void SetInterruptedWorkFolder(const QString &folder, const QString &lockFile)
{
    std::lock_guard<std::mutex> lock(Guard);
    InterruptedFolder = folder;
    InterruptedLock = lockFile;
}

QString TemporaryNameFor(const QString &target, quint32 random)
{
#ifdef Q_OS_WIN
    const QString machine = QStringLiteral("0");
#else
    const QString machine = MachineTag();
#endif
    return target + QStringLiteral(".vistrel-%1-%2-%3")
                        .arg(machine)
                        .arg(QCoreApplication::applicationPid())
                        .arg(QString::number(random, 16).rightJustified(8, QLatin1Char('0')));
}

void RemoveStaleTemporaries(const QString &target)
{
#ifndef Q_OS_WIN
    const QFileInfo info(target);
    const QDir folder = info.absoluteDir();
    static const QRegularExpression pattern(QStringLiteral("^.+\\.vistrel-([0-9a-f]{8})-(\\d+)-[0-9a-f]{8}$"));
    const QStringList names = folder.entryList({QStringLiteral("*.vistrel-*")}, QDir::Files | QDir::Hidden);
    for (const QString &name : names) {
        const QRegularExpressionMatch match = pattern.match(name);
        if (!match.hasMatch() || match.captured(1) != MachineTag())
            continue;  // not ours, or another machine's: its process cannot be asked
        const QByteArray path = QFile::encodeName(folder.filePath(name));
        struct stat file {};
        if (::lstat(path.constData(), &file) != 0 || !S_ISREG(file.st_mode) || file.st_uid != ::geteuid())
            continue;  // only our own files, never through a link
        bool ok = false;
        const pid_t pid = pid_t(match.captured(2).toLongLong(&ok));
        if (!ok || pid <= 0)
            continue;
        bool gone = ::kill(pid, 0) != 0 && errno == ESRCH;
        if (!gone) {
            // The number may belong to a newer process now.
            const qint64 started = ProcessStart(pid);
            gone = started >= 0 && started > qint64(file.st_mtime);
        }
        if (gone)
            ::unlink(path.constData());
    }
#else
    Q_UNUSED(target);
#endif
}
