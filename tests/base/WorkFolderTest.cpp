#include "Document.h"
#include "Errors.h"
#include "PsdBuilder.h"
#include "TestSupport.h"
#include "WorkFolder.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLockFile>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <functional>
#include <map>
#include <memory>
#include <sys/stat.h>
#include <unistd.h>

TEST(WorkFolder, FirstDriveWithMoreThanTenGigabytesWins)
{
    struct Case {
        const char *name;
        std::map<QString, int64_t> free;  // missing drive: -1
        const char *expected;
    };
    const int64_t gb12 = 12'000'000'000;
    const int64_t exactly = 10'000'000'000;
    const Case cases[] = {
        {"12 GB on E:", {{"E:\\", gb12}, {"D:\\", gb12}, {"C:\\", gb12}}, "E:\\mavotemp\\"},
        {"E: missing, 12 GB on D:", {{"E:\\", -1}, {"D:\\", gb12}, {"C:\\", 1}}, "D:\\mavotemp\\"},
        {"exactly 10 000 000 000 on E: and D:", {{"E:\\", exactly}, {"D:\\", exactly}, {"C:\\", 1}}, "C:\\mavotemp\\"},
        {"no drive has room", {{"E:\\", -1}, {"D:\\", -1}, {"C:\\", 5}}, "C:\\mavotemp\\"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        QStringList made;
        const QString folder = ChooseWorkFolder(
            {QStringLiteral("E:\\"), QStringLiteral("D:\\"), QStringLiteral("C:\\")}, QStringLiteral("d:\\"),
            [&](const QString &root) { return c.free.at(root); },
            [&](const QString &f) { made << f; return true; });
        EXPECT_EQ(folder, QString::fromLatin1(c.expected));
        EXPECT_EQ(made, QStringList{folder});
    }
}

TEST(WorkFolder, FallsBackWhenTheChosenFolderCannotBeMade)
{
    auto freeSpace = [](const QString &) -> int64_t { return 20'000'000'000; };
    const QStringList roots = {QStringLiteral("E:\\"), QStringLiteral("C:\\")};
    EXPECT_EQ(ChooseWorkFolder(roots, QStringLiteral("d:\\"), freeSpace,
                               [](const QString &f) { return f.startsWith(QLatin1String("d:")); }),
              QStringLiteral("d:\\mavotemp\\"));
    try {
        ChooseWorkFolder(roots, QStringLiteral("d:\\"), freeSpace, [](const QString &) { return false; });
        ADD_FAILURE() << "no folder could be made, yet one was chosen";
    } catch (const VistrelError &e) {
        EXPECT_TRUE(e.Message.contains(QLatin1String("E:\\mavotemp\\")));
        EXPECT_TRUE(e.Message.contains(QLatin1String("d:\\mavotemp\\")));
    }
}

namespace {

// A lock file as a process that has ended left it: the lock of a live one,
// with the number of a process that is gone.
void WriteLockOfAGoneProcess(const QString &path)
{
    QProcess gone;
    gone.start(QStringLiteral("true"), {});
    ASSERT_TRUE(gone.waitForStarted());
    const QByteArray pid = QByteArray::number(gone.processId());
    ASSERT_TRUE(gone.waitForFinished());
    QByteArray content;
    {
        QLockFile lock(path);
        ASSERT_TRUE(lock.tryLock(0));
        content = ReadFileBytes(path);
    }
    content.replace(0, content.indexOf('\n'), pid);
    WriteFileBytes(path, content);
}

}  // namespace

TEST(WorkFolder, AFolderIsTakenOverOnlyWhenItsProcessIsGone)
{
    QTemporaryDir root;
    const QString first = root.path() + QStringLiteral("/mavotemp/");
    const QString second = root.path() + QStringLiteral("/mavotemp2/");
    ReleaseWorkFolder();
    QDir().mkpath(first);
    QDir().mkpath(second);
    WriteFileBytes(first + QStringLiteral("ly1.gjs"), "held");
    WriteFileBytes(second + QStringLiteral("ly1.gjs"), "left behind");
    QLockFile running(root.path() + QStringLiteral("/mavotemp.lock"));  // a Vistrel that still runs
    ASSERT_TRUE(running.tryLock(0));
    WriteLockOfAGoneProcess(root.path() + QStringLiteral("/mavotemp2.lock"));

    EXPECT_EQ(ClaimWorkFolder(first, MakeFolder), second);
    EXPECT_EQ(ReadFileBytes(first + QStringLiteral("ly1.gjs")), QByteArray("held"));
    EXPECT_FALSE(QFile::exists(second + QStringLiteral("ly1.gjs")));
    // Asked again, this process keeps the folder it holds.
    WriteFileBytes(second + QStringLiteral("vw1.gjs"), "mine");
    EXPECT_EQ(ClaimWorkFolder(first, MakeFolder), second);
    EXPECT_TRUE(QFile::exists(second + QStringLiteral("vw1.gjs")));
    ReleaseWorkFolder();
    EXPECT_FALSE(QFile::exists(root.path() + QStringLiteral("/mavotemp2.lock")));
}

TEST(WorkFolder, TwoExportsAtOnceOnOneRootGiveTheirOwnPrints)
{
    QTemporaryDir dir;
    const QString root = dir.path() + QStringLiteral("/root/");
    QDir().mkpath(root);
    QStringList psds, prints;
    for (int i = 0; i < 2; ++i) {
        PsdBuilder b;
        b.Width = 900 + 300 * i;  // different widths: a mixed-up view would not fit
        b.Height = 600;
        b.AddLayer(0, 0, b.Width, 600, {uint8_t(40 + 150 * i), 90, uint8_t(200 - 150 * i)});
        b.AddLayer(100, 100, 300, 300, {250, 250, uint8_t(i * 250)}, 200);
        psds << dir.path() + QStringLiteral("/doc%1.psd").arg(i);
        prints << dir.path() + QStringLiteral("/doc%1.tif").arg(i);
        WriteFileBytes(psds.last(), b.Build());
    }
    auto arguments = [&](int i, const QString &print) {
        return QStringList{QStringLiteral("--export-tiff"), print, QStringLiteral("--dpi"), QStringLiteral("720"),
                           QStringLiteral("--width-cm"), QStringLiteral("15"), psds[i]};
    };
    // Alone, one after the other.
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("VISTREL_WORKROOT"), root);
    QList<QByteArray> alone;
    for (int i = 0; i < 2; ++i) {
        QProcess p;
        p.setProcessEnvironment(env);
        p.start(VistrelProgram(), arguments(i, prints[i]));
        ASSERT_TRUE(p.waitForFinished(60000));
        ASSERT_EQ(p.exitCode(), 0) << p.readAllStandardError().toStdString();
        alone << WithoutTiffDate(ReadFileBytes(prints[i]));
    }
    // Both at once, three times over.
    for (int round = 0; round < 3; ++round) {
        QProcess a, b;
        a.setProcessEnvironment(env);
        b.setProcessEnvironment(env);
        a.start(VistrelProgram(), arguments(0, prints[0]));
        b.start(VistrelProgram(), arguments(1, prints[1]));
        ASSERT_TRUE(a.waitForFinished(60000));
        ASSERT_TRUE(b.waitForFinished(60000));
        EXPECT_EQ(a.exitCode(), 0) << a.readAllStandardError().toStdString();
        EXPECT_EQ(b.exitCode(), 0) << b.readAllStandardError().toStdString();
        EXPECT_TRUE(WithoutTiffDate(ReadFileBytes(prints[0])) == alone[0]) << "round " << round;
        EXPECT_TRUE(WithoutTiffDate(ReadFileBytes(prints[1])) == alone[1]) << "round " << round;
    }
    // Each left its folder empty and its lock released.
    EXPECT_TRUE(QDir(root + QStringLiteral("mavotemp")).entryList(QDir::Files).isEmpty());
    EXPECT_TRUE(QDir(root).entryList({QStringLiteral("*.lock")}, QDir::Files).isEmpty());
}

TEST(WorkFolder, FileNamesOfEveryFamily)
{
    Document doc;
    doc = Document();
    WorkFolder = QStringLiteral("/w/");
    EXPECT_EQ(WorkFileName(QStringLiteral("ly"), 1), QStringLiteral("/w/ly1.gjs"));
    EXPECT_EQ(WorkFileName(QStringLiteral("lyt"), 3), QStringLiteral("/w/lyt3.gjs"));
    EXPECT_EQ(WorkFileName(12, QStringLiteral("gx"), 3), QStringLiteral("/w/12gx3.gjs"));
    EXPECT_EQ(WorkFileName(12, QStringLiteral("xgxv"), 3), QStringLiteral("/w/12xgxv3.gjs"));
    EXPECT_EQ(WorkFileName3(QStringLiteral("vwd"), 7), QStringLiteral("/w/vwd007.gjs"));
    EXPECT_EQ(WorkFileName3(QStringLiteral("vwdt"), 7), QStringLiteral("/w/vwdt007.gjs"));
    EXPECT_EQ(ThreeDigits(42), QStringLiteral("042"));
    EXPECT_EQ(ThreeDigits(123), QStringLiteral("123"));
}

// Another user of a shared root plants a link or a folder of their own under
// the work folder's name: Vistrel neither uses nor empties it, and takes the
// next name; a folder it makes is private. Another owner is simulated by
// root's chown where the test runs as root, by a folder others may write
// otherwise.
TEST(WorkFolder, APlantedLinkOrAForeignFolderIsNeverUsedNorEmptied)
{
    QTemporaryDir dir;
    const QString victim = dir.filePath(QStringLiteral("victim"));
    QDir().mkpath(victim);
    const QString victimFile = victim + QStringLiteral("/precious.txt");
    struct Case {
        const char *name;
        std::function<void(const QString &mavotemp)> plant;
    };
    const Case cases[] = {
        {"a link to another folder", [&](const QString &m) { QFile::link(victim, m); }},
        {"a folder anyone may write",
         [&](const QString &m) {
             QDir().mkpath(m);
             WriteFileBytes(m + QStringLiteral("/theirs.gjs"), "theirs");
             QFile::setPermissions(m, QFileDevice::Permissions(0x7777));
         }},
        {"a folder of another user (without root: one anyone may write stands in)",
         [&](const QString &m) {
             QDir().mkpath(m);
             WriteFileBytes(m + QStringLiteral("/theirs.gjs"), "theirs");
             if (::geteuid() == 0)
                 ASSERT_EQ(::chown(QFile::encodeName(m).constData(), 65534, 65534), 0);
             else
                 QFile::setPermissions(m, QFileDevice::Permissions(0x7777));
         }},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        QTemporaryDir root;
        ReleaseWorkFolder();
        WriteFileBytes(victimFile, "keep");
        const QString mavotemp = root.filePath(QStringLiteral("mavotemp"));
        c.plant(mavotemp);
        const QString claimed = ClaimWorkFolder(mavotemp + QLatin1Char('/'), MakePrivateFolder);
        EXPECT_EQ(claimed, root.filePath(QStringLiteral("mavotemp2/")));
        EXPECT_EQ(QFile::permissions(claimed) & 0x0777, QFileDevice::Permissions(0x0700));
        DeleteFilesInFolder(mavotemp);  // even asked to, the planted folder is left alone
        EXPECT_EQ(ReadFileBytes(victimFile), QByteArray("keep"));
        if (!QFileInfo(mavotemp).isSymLink()) {
            EXPECT_EQ(ReadFileBytes(mavotemp + QStringLiteral("/theirs.gjs")), QByteArray("theirs"));
        }
        ReleaseWorkFolder();
    }

    // A link inside our own folder is removed, its target kept.
    QTemporaryDir root;
    const QString mine = root.filePath(QStringLiteral("mavotemp/"));
    ASSERT_TRUE(MakePrivateFolder(mine));
    QFile::link(victimFile, mine + QStringLiteral("ly1.gjs"));
    DeleteFilesInFolder(mine);
    EXPECT_FALSE(QFileInfo(mine + QStringLiteral("ly1.gjs")).isSymLink());
    EXPECT_EQ(ReadFileBytes(victimFile), QByteArray("keep"));

    // In the shared temporary folder: a private folder of this user's own,
    // another one when that name was planted.
    QTemporaryDir shared;
    const QString named = shared.filePath(QStringLiteral("vistrel-%1").arg(::geteuid()));
    EXPECT_EQ(PrivateFolderIn(shared.path()), named + QLatin1Char('/'));
    QDir(named).removeRecursively();
    QFile::link(victim, named);
    const QString other = PrivateFolderIn(shared.path());
    EXPECT_NE(other, named + QLatin1Char('/'));
    EXPECT_TRUE(other.startsWith(named + QLatin1Char('-'))) << other.toStdString();
    EXPECT_TRUE(MakePrivateFolder(other));
}

// Every name below a root held by other processes (locks another user left in
// a root they share, say): the run goes on in the private root of the
// temporary folder instead of stopping.
TEST(WorkFolder, WhenEveryNameIsTakenTheRunMovesToThePrivateRoot)
{
    QTemporaryDir root, temp, out;
    std::vector<std::unique_ptr<QLockFile>> held;
    for (int n = 1; n <= 64; ++n) {
        const QString name = n == 1 ? QStringLiteral("mavotemp") : QStringLiteral("mavotemp%1").arg(n);
        held.push_back(std::make_unique<QLockFile>(root.filePath(name + QStringLiteral(".lock"))));
        ASSERT_TRUE(held.back()->tryLock(0));
    }
    PsdBuilder b;
    b.Width = 60;
    b.Height = 40;
    b.AddLayer(0, 0, 60, 40, {10, 20, 30});
    const QString psd = out.filePath(QStringLiteral("doc.psd"));
    WriteFileBytes(psd, b.Build());
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("VISTREL_WORKROOT"), root.path());
    env.insert(QStringLiteral("TMPDIR"), temp.path());
    p.setProcessEnvironment(env);
    p.start(VistrelProgram(), {QStringLiteral("--export-tiff"), out.filePath(QStringLiteral("doc.tif")), psd});
    ASSERT_TRUE(p.waitForFinished(60000));
    EXPECT_EQ(p.exitCode(), 0) << p.readAllStandardError().toStdString();
    EXPECT_TRUE(QFile::exists(out.filePath(QStringLiteral("doc.tif"))));
    EXPECT_TRUE(QFileInfo(temp.filePath(QStringLiteral("vistrel-%1/mavotemp").arg(::geteuid()))).isDir());
}
