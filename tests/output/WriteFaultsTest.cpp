// Every file Vistrel writes, made to fail at its first, a middle and its last
// byte as a full disk would: each gives its message, leaves the earlier file of
// that name byte for byte, and leaves the window usable.
#include "BmpCodec.h"
#include "Errors.h"
#include "SettingsFile.h"
#include "TestSupport.h"
#include "WindowTest.h"
#include "WorkFolder.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QProcess>
#include <QThread>
#include <QFile>
#include <QTemporaryDir>
#include <csignal>
#include <memory>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>
#include <QComboBox>
#include <QProgressBar>
#include <functional>

namespace {

using WriteFaultTest = ImportedWindowTest;

}  // namespace

TEST_F(WriteFaultTest, EveryFileFailingAtAnyByteLeavesTheEarlierOne)
{
    Open();
    MainWindow &f = *form;
    f.PreviewViews();  // the preview views
    f.StopAnimation();
    f.AnimationFrame();
    const QString folder = platform.Sandbox.path() + QLatin1Char('/');
    const QString print = folder + QStringLiteral("doc.tif");
    platform.SaveAnswers.push_back(print);
    f.ExportInterlacedPrint();
    ASSERT_TRUE(platform.Messages.isEmpty()) << platform.Messages.join('\n').toStdString();

    struct Output {
        const char *what;
        QString file;
        std::function<void()> write;
    };
    const Output outputs[] = {
        {"work file", WorkFileName(QStringLiteral("vw"), 3), [&] { f.PreviewViews(); }},
        {"print", print, [&] { platform.SaveAnswers.push_back(print); f.ExportInterlacedPrint(); }},
        // Through libtiff: compressed, by strips, the directory last.
        {"compressed print", folder + QStringLiteral("doc-lzw.tif"),
         [&] {
             f.CompressionCombo->setCurrentIndex(1);
             platform.SaveAnswers.push_back(folder + QStringLiteral("doc-lzw.tif"));
             f.ExportInterlacedPrint();
             f.CompressionCombo->setCurrentIndex(0);
         }},
        // A print makes no view files; the layered PSD after it does.
        {"full-resolution view", WorkFileName3(QStringLiteral("vwd"), 2),
         [&] {
             platform.SaveAnswers.push_back(print);
             f.ExportInterlacedPrint();
             platform.SaveAnswers.push_back(folder + QStringLiteral("views_3D.psd"));
             f.ExportLayeredPsd();
         }},
        {"layered PSD", folder + QStringLiteral("doc_3D.psd"),
         [&] { platform.SaveAnswers.push_back(folder + QStringLiteral("doc_3D.psd")); f.ExportLayeredPsd(); }},
        {"GIF", folder + QStringLiteral("doc.gif"),
         [&] { platform.SaveAnswers.push_back(folder + QStringLiteral("doc.gif")); f.ExportAnimatedGif(); }},
        {"anaglyph", folder + QStringLiteral("doc_qz58.bmp"), [&] { f.ShowAnaglyph(); }},
        {"project", folder + QStringLiteral("doc.hx4p3"), [&] { f.SaveProjectBesidePsd(); }},
        {"settings file", SettingsFilePath(), [&] {
             try {
                 WriteSettingsFile(f.Doc);
             } catch (const VistrelError &error) {
                 platform.Messages << error.Message;
             }
         }},
    };
    for (const Output &o : outputs) {
        SCOPED_TRACE(o.what);
        // Once without a fault, to learn how long the file is.
        platform.Messages.clear();
        o.write();
        if (f.Animating()) {
            f.StopAnimation();
            f.AnimationFrame();
        }
        ASSERT_TRUE(platform.Messages.size() <= 1);  // the anaglyph's hint
        const qint64 length = ReadFileBytes(o.file).size();
        ASSERT_GT(length, 2);
        for (const qint64 at : {qint64(0), length / 2, length - 1}) {
            SCOPED_TRACE(at);
            WriteFileBytes(o.file, "the earlier file");
            platform.Messages.clear();
            int failures = 0;
            WriteFaultHook = [&](const QString &name, qint64 offset, qint64 size) -> qint64 {
                if (name != o.file || at < offset || at >= offset + size)
                    return -1;
                ++failures;
                return at;
            };
            o.write();
            WriteFaultHook = nullptr;
            if (f.Animating()) {
                f.StopAnimation();
                f.AnimationFrame();
            }
            EXPECT_EQ(failures, 1);
            ASSERT_FALSE(platform.Messages.isEmpty());
            EXPECT_EQ(ReadFileBytes(o.file), QByteArray("the earlier file"));
            EXPECT_TRUE(f.isEnabled());
            EXPECT_EQ(platform.BusyDepth, 0);
            EXPECT_EQ(f.ProgressBar->value(), 0);
        }
        // Written whole again, for the outputs made from it.
        platform.Messages.clear();
        o.write();
        if (f.Animating()) {
            f.StopAnimation();
            f.AnimationFrame();
        }
        EXPECT_EQ(ReadFileBytes(o.file).size(), length);
    }
}

// A real full disk, a small tmpfs filled up: every save fails, says that the
// disk is full naming the file, and keeps the earlier file. Where the machine
// cannot mount one, the injected faults above stand in.
TEST(FullDisk, EverySaveKeepsTheEarlierFileAndSaysSo)
{
    Document doc;
    QTemporaryDir dir;
    const QString disk = dir.filePath(QStringLiteral("disk"));
    QDir().mkpath(disk);
    int code = -1;
    QByteArray err;
    RunProgram(QStringLiteral("mount"),
               {QStringLiteral("-t"), QStringLiteral("tmpfs"), QStringLiteral("-o"), QStringLiteral("size=256k"),
                QStringLiteral("tmpfs"), disk},
               &code, &err);
    if (code != 0)
        GTEST_SKIP() << "a small tmpfs cannot be mounted here (" << err.trimmed().toStdString()
                     << "); the injected short writes stand in for a full disk";
    const std::unique_ptr<QString, void (*)(QString *)> unmount(new QString(disk), [](QString *d) {
        RunProgram(QStringLiteral("umount"), {*d});
        delete d;
    });
    const QStringList earlier{QStringLiteral("p.hx4p3"), QStringLiteral("o.gif"), QStringLiteral("o.tif"),
                              QStringLiteral("o.psd"), QStringLiteral("program/vistrelt.inf")};
    QDir().mkpath(disk + QStringLiteral("/program"));
    for (const QString &name : earlier)
        WriteFileBytes(disk + QLatin1Char('/') + name, "the earlier file");
    {
        QFile filler(disk + QStringLiteral("/filler"));
        ASSERT_TRUE(filler.open(QIODevice::WriteOnly | QIODevice::Unbuffered));
        const QByteArray block(4096, 'x');
        while (filler.write(block) == block.size()) {
        }
    }

    const QString sample = SourceFolder() + QStringLiteral("/sample/vistrel-sample.psd");
    const struct {
        const char *what;
        QStringList args;
        QString named;  // the file the message names
    } runs[] = {
        {"project", {QStringLiteral("--save-project"), disk + QStringLiteral("/p.hx4p3")}, disk + QStringLiteral("/p.hx4p3")},
        {"GIF", {QStringLiteral("--export-gif"), disk + QStringLiteral("/o.gif")}, disk + QStringLiteral("/o.gif")},
        {"print", {QStringLiteral("--export-tiff"), disk + QStringLiteral("/o.tif")}, disk + QStringLiteral("/o.tif")},
        {"layered PSD", {QStringLiteral("--export-psd"), disk + QStringLiteral("/o.psd")}, disk + QStringLiteral("/o.psd")},
        {"work files",
         {QStringLiteral("--work-folder"), disk + QStringLiteral("/work"), QStringLiteral("--export-tiff"),
          dir.filePath(QStringLiteral("o.tif"))},
         disk + QStringLiteral("/work/")},
    };
    for (const auto &r : runs) {
        SCOPED_TRACE(r.what);
        RunProgram(VistrelProgram(), r.args + QStringList{sample}, &code, &err);
        EXPECT_EQ(code, 1) << err.toStdString();
        EXPECT_TRUE(err.contains("The disk is full.")) << err.toStdString();
        EXPECT_TRUE(QString::fromLocal8Bit(err).contains(r.named)) << err.toStdString();
    }
    EXPECT_FALSE(QFile::exists(dir.filePath(QStringLiteral("o.tif"))));

    // The settings file, as the window writes it when it closes.
    ScriptedPlatform platform;
    platform.ProgramDir = disk + QStringLiteral("/program");
    try {
        WriteSettingsFile(doc);
        ADD_FAILURE() << "the settings file was written on a full disk";
    } catch (const VistrelError &error) {
        EXPECT_TRUE(error.Message.contains(QLatin1String("The disk is full."))) << error.Message.toStdString();
    }

    for (const QString &name : earlier)
        EXPECT_EQ(ReadFileBytes(disk + QLatin1Char('/') + name), QByteArray("the earlier file")) << name.toStdString();
    // Nothing half written is left beside them.
    QStringList left = QDir(disk).entryList(QDir::Files);
    left.removeOne(QStringLiteral("filler"));
    EXPECT_EQ(left, (QStringList{QStringLiteral("o.gif"), QStringLiteral("o.psd"), QStringLiteral("o.tif"),
                                 QStringLiteral("p.hx4p3")}));
}

// An output never replaces a pipe or a device under its name: refused by name
// before the import, and the pipe or device is still there.
TEST(SpecialTargets, AnOutputNamingAPipeOrADeviceIsRefusedBeforeAnyWork)
{
    QTemporaryDir dir;
    QStringList specials;
    const QString fifo = dir.filePath(QStringLiteral("fifo"));
    ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    specials << fifo;
    const QString device = dir.filePath(QStringLiteral("null"));  // a character device like /dev/null
    if (::mknod(QFile::encodeName(device).constData(), S_IFCHR | 0600, makedev(1, 3)) == 0)
        specials << device;
    const QString link = dir.filePath(QStringLiteral("link"));  // a link to one of them is refused too
    ASSERT_TRUE(QFile::link(specials.last(), link));
    specials << link;
    const QString sample = SourceFolder() + QStringLiteral("/sample/vistrel-sample.psd");
    for (const QString &special : specials)
        for (const char *option : {"--export-tiff", "--export-psd", "--export-gif", "--save-project"}) {
            SCOPED_TRACE(special.toStdString() + " " + option);
            int code = -1;
            QByteArray err;
            RunProgram(VistrelProgram(), {QString::fromLatin1(option), special, sample}, &code, &err);
            EXPECT_EQ(code, 1);
            EXPECT_TRUE(err.startsWith(QStringLiteral("Cannot save \"%1\": it is not a regular file").arg(special).toLocal8Bit()))
                << err.toStdString();
            EXPECT_FALSE(err.contains("import")) << err.toStdString();
            struct stat st {};
            ASSERT_EQ(::lstat(QFile::encodeName(special).constData(), &st), 0);
            EXPECT_FALSE(S_ISREG(st.st_mode));
        }
}

// An export interrupted by Ctrl+C or a polite kill leaves no unfinished print,
// no work files and no lock; one killed outright leaves its unfinished print,
// which the next export into that folder removes, and only that.
TEST(Interruptions, AnInterruptedExportLeavesNothingBehind)
{
    QTemporaryDir out, root;
    const QString print = out.filePath(QStringLiteral("big.tif"));
    const QString sample = SourceFolder() + QStringLiteral("/sample/vistrel-sample.psd");
    auto temporaries = [&] { return QDir(out.path()).entryList({QStringLiteral("*.vistrel-*")}, QDir::Files); };
    // Started, and stopped by `signal` once its unfinished print is there.
    auto interrupted = [&](int signal, QProcess &p) {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("VISTREL_WORKROOT"), root.path());
        p.setProcessEnvironment(env);
        p.start(VistrelProgram(), {QStringLiteral("--export-tiff"), print, QStringLiteral("--dpi"),
                                   QStringLiteral("2880"), QStringLiteral("--width-cm"), QStringLiteral("21"), sample});
        EXPECT_TRUE(p.waitForStarted());
        QElapsedTimer waited;
        waited.start();
        while (temporaries().isEmpty() && p.state() == QProcess::Running && waited.elapsed() < 30000)
            QThread::usleep(500);
        ASSERT_EQ(p.state(), QProcess::Running) << "the export ended before it could be interrupted";
        ::kill(pid_t(p.processId()), signal);
        EXPECT_TRUE(p.waitForFinished(30000));
    };
    for (int signal : {SIGINT, SIGTERM}) {
        SCOPED_TRACE(signal);
        QProcess p;
        interrupted(signal, p);
        EXPECT_EQ(p.exitStatus(), QProcess::NormalExit);
        EXPECT_EQ(p.exitCode(), 128 + signal) << p.readAllStandardError().toStdString();
        EXPECT_TRUE(temporaries().isEmpty());
        EXPECT_FALSE(QFile::exists(print));
        EXPECT_TRUE(QDir(root.filePath(QStringLiteral("mavotemp"))).entryList(QDir::Files).isEmpty());
        EXPECT_TRUE(QDir(root.path()).entryList({QStringLiteral("*.lock")}, QDir::Files).isEmpty());
    }

    QProcess killed;
    interrupted(SIGKILL, killed);
    const QStringList left = temporaries();
    ASSERT_EQ(left.size(), 1);
    // Beside it: one of a live process (this one) written just now, which stays.
    // Named like the killed run's, this machine's tag taken from its name.
    const QString machine = left[0].section(QLatin1Char('-'), 1, 1);
    const QString live = QStringLiteral("big.tif.vistrel-%1-%2-0000abcd").arg(machine).arg(QCoreApplication::applicationPid());
    // And one of another machine sharing the folder, whose process cannot be asked: it stays too.
    const QString elsewhere = QStringLiteral("big.tif.vistrel-%1-999999-0000abcd").arg(machine == QStringLiteral("00000000") ? QStringLiteral("11111111") : QStringLiteral("00000000"));
    WriteFileBytes(out.filePath(elsewhere), "another machine's");
    WriteFileBytes(out.filePath(live), "being written");
    int code = -1;
    QByteArray err;
    RunProgram(VistrelProgram(), {QStringLiteral("--export-tiff"), print, sample}, &code, &err);
    ASSERT_EQ(code, 0) << err.toStdString();
    QStringList expected{live, elsewhere};
    expected.sort();
    EXPECT_EQ(temporaries(), expected);
}
