#include "CommandLine.h"
#include "Document.h"
#include "PsdBuilder.h"
#include "TestSupport.h"
#include "Tiff.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>

TEST(CommandLine, OptionsAndMistakes)
{
    struct Case { QStringList args; bool help, info; const char *psd, *work; bool error; };
    const Case cases[] = {
        {{}, false, false, "", "", false},
        {{"--help"}, true, false, "", "", false},
        {{"a.psd"}, false, false, "a.psd", "", false},
        {{"--info", "a.psd", "--work-folder", "/w"}, false, true, "a.psd", "/w", false},
        {{"--info"}, false, true, "", "", true},
        {{"--work-folder"}, false, false, "", "", true},
        {{"--frobnicate"}, false, false, "", "", true},
        {{"a.psd", "b.psd"}, false, false, "a.psd", "", true},
        {{"--folders-as-groups", "a.psd"}, false, false, "a.psd", "", false},
        {{"--report", "r.json", "a.psd"}, false, false, "a.psd", "", true},  // nothing to report on
        {{"--job", "j.json", "a.psd"}, false, false, "a.psd", "", true},     // a job names its inputs itself
        {{"--job", "j.json", "--report", "-"}, false, false, "", "", false},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.args.join(' ').toStdString());
        const CommandLine o = ParseCommandLine(c.args);
        EXPECT_EQ(o.Help, c.help);
        EXPECT_EQ(o.Info, c.info);
        EXPECT_EQ(o.PsdFile, QString::fromLatin1(c.psd));
        EXPECT_EQ(o.WorkFolder, QString::fromLatin1(c.work));
        EXPECT_EQ(!o.Error.isEmpty(), c.error);
        EXPECT_EQ(o.FoldersAsGroups, c.args.contains(QStringLiteral("--folders-as-groups")));
    }
}

TEST(CommandLine, InfoPrintsTheFactsAndKeepsAGivenWorkFolder)
{
    Document doc;
    QTemporaryDir dir;
    PsdBuilder b;
    b.Width = 300;
    b.Height = 200;
    b.DpiWhole = 300;
    b.AddLayer(0, 0, 300, 200, {1, 2, 3});
    b.AddLayer(-10, 5, 50, 40, {9, 9, 9}, 50).UnicodeName = QStringLiteral("Balloon \u6c14\u7403");
    const QString psd = dir.path() + QStringLiteral("/x.psd");
    WriteFileBytes(psd, b.Build());
    const QString work = dir.path() + QStringLiteral("/work");
    doc = Document();
    const QString program = QStringLiteral(VISTREL_BINARY_DIR) + QStringLiteral("/vistrel");
    int code = -1;
    const QString out = QString::fromLocal8Bit(
        RunProgram(program, {QStringLiteral("--info"), psd, QStringLiteral("--work-folder"), work}, &code));
    EXPECT_EQ(code, 0);
    const QString facts = QStringLiteral("canvas: 300 x 200\ndpi: 300\nsize cm: 2.54 x 1.6933\ncolour mode: RGB\n"
                                         "working size: 300 x 200\nworking scale: 1\nlayers: 2\n"
                                         "layer 2: row 1, rect left -10 top 5 right 40 bottom 45, group 0, channels 4, "
                                         "offset 0, focus, name \"Balloon \u6c14\u7403\"\n"
                                         "layer 1: row 2, rect left 0 top 0 right 300 bottom 200, group 0, channels 4, "
                                         "offset 19, name \"Layer\"\n");
    // Then the print the settings file describes and its depth guidance.
    EXPECT_TRUE(out.startsWith(facts)) << out.toStdString();
    const QStringList rest = out.mid(facts.size()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    ASSERT_EQ(rest.size(), 2) << out.toStdString();
    EXPECT_TRUE(rest[0].startsWith(QLatin1String("print: "))) << out.toStdString();
    EXPECT_TRUE(rest[1].startsWith(QLatin1String("depth guidance at "))) << out.toStdString();
    EXPECT_EQ(QDir(work).entryList(QDir::Files).size(), 4);  // ly1, lyt1, ly2, lyt2 stay

    WriteFileBytes(psd, "not a PSD");
    const QByteArray none = RunProgram(program, {QStringLiteral("--info"), psd}, &code);
    EXPECT_EQ(code, 1);
    EXPECT_TRUE(none.isEmpty());
}

TEST(CommandLine, BatchExportWritesThePrint)
{
    QTemporaryDir dir;
    PsdBuilder b;
    b.Width = 300;
    b.Height = 150;
    b.AddLayer(0, 0, 300, 150, {1, 2, 3});
    b.AddLayer(100, 50, 50, 40, {200, 9, 9}, 50);
    const QString psd = dir.path() + QStringLiteral("/x.psd");
    WriteFileBytes(psd, b.Build());
    const QString program = QStringLiteral(VISTREL_BINARY_DIR) + QStringLiteral("/vistrel");
    const QString print = dir.path() + QStringLiteral("/x.tif");
    int code = -1;
    QByteArray err;
    const QString out = QString::fromLocal8Bit(RunProgram(
        program, {QStringLiteral("--export-tiff"), print, QStringLiteral("--lpi"), QStringLiteral("40"),
                  QStringLiteral("--dpi"), QStringLiteral("auto"), QStringLiteral("--width-cm"), QStringLiteral("10"),
                  QStringLiteral("--verbose"), QStringLiteral("--work-folder"), dir.path() + QStringLiteral("/w"), psd},
        &code, &err));
    EXPECT_EQ(code, 0) << out.toStdString();
    // Into a pipe the progress is plain lines, one phase after another, each
    // once from 0 to 100.
    EXPECT_FALSE(err.contains('\r')) << err.toStdString();
    const QList<QByteArray> lines = err.trimmed().split('\n');
    EXPECT_TRUE(lines.contains("import: 100%")) << err.toStdString();
    EXPECT_TRUE(lines.contains("print: 100%")) << err.toStdString();
    const qsizetype printStart = lines.indexOf("print: 0%");
    ASSERT_GE(printStart, 0) << err.toStdString();
    EXPECT_EQ(lines.mid(printStart, 5),
              (QList<QByteArray>{"print: 0%", "print: 25%", "print: 50%", "print: 75%", "print: 100%"}));
    EXPECT_TRUE(out.contains(QLatin1String("view 4 composed and written:"))) << out.toStdString();
    EXPECT_TRUE(out.contains(QLatin1String("interlacing:")));
    EXPECT_TRUE(out.contains(QLatin1String("print written:")));
    // 10 cm = 3.937 in at 40 lpi: 157 lenses of 7 columns; height 5 cm at 280 dpi.
    const TiffInfo size = ReadTiffInfo(print);
    EXPECT_EQ(QSize(size.Width, size.Height), QSize(1099, 551));
    EXPECT_TRUE(QFile::exists(dir.path() + QStringLiteral("/w/vwd001.gjs")));

    for (const QStringList &bad : {QStringList{QStringLiteral("--lpi"), QStringLiteral("300")},
                                   QStringList{QStringLiteral("--depth"), QStringLiteral("deep")},
                                   QStringList{QStringLiteral("--width-cm"), QStringLiteral("30")}}) {
        QFile::remove(print);
        RunProgram(program, QStringList{QStringLiteral("--export-tiff"), print} + bad + QStringList{psd}, &code);
        EXPECT_EQ(code, 1) << bad.join(' ').toStdString();
        EXPECT_FALSE(QFile::exists(print));
    }
}

TEST(CommandLine, SeveralOutputsInOneRun)
{
    QTemporaryDir dir;
    PsdBuilder b;
    b.Width = 200;
    b.Height = 100;
    b.AddLayer(0, 0, 200, 100, {10, 20, 30});
    b.AddLayer(60, 20, 50, 40, {200, 9, 9});
    const QString psd = dir.path() + QStringLiteral("/art.psd");
    WriteFileBytes(psd, b.Build());
    const QString program = QStringLiteral(VISTREL_BINARY_DIR) + QStringLiteral("/vistrel");
    int code = -1;
    const QString out = QString::fromLocal8Bit(RunProgram(
        program, {QStringLiteral("--export-psd"), dir.path() + QStringLiteral("/v.psd"), QStringLiteral("--export-gif"),
                  dir.path() + QStringLiteral("/v.gif"), QStringLiteral("--anaglyph"), psd},
        &code));
    EXPECT_EQ(code, 0) << out.toStdString();
    EXPECT_EQ(ReadFileBytes(dir.path() + QStringLiteral("/v.psd")).size(),
              26 + 4 + 4 + 4 + 2 + 7 * 268 + 7 * 4 * (20000 + 2) + 20 + 2 + 3 * 20000);
    EXPECT_EQ(ReadFileBytes(dir.path() + QStringLiteral("/v.gif")).count("NETSCAPE2.0"), 14);
    EXPECT_TRUE(QFile::exists(dir.path() + QStringLiteral("/art_qz58.bmp")));
    EXPECT_TRUE(out.contains(QLatin1String("anaglyph written:")));
}

TEST(CommandLine, DepthGuidanceInTheFactsAndAWarningWhenThePrintWouldGhost)
{
    QTemporaryDir dir;
    PsdBuilder b;
    b.Width = 300;
    b.Height = 150;
    b.AddLayer(0, 0, 300, 150, {1, 2, 3});
    b.AddLayer(100, 50, 50, 40, {200, 9, 9});
    b.AddLayer(150, 60, 50, 40, {9, 200, 9});
    const QString psd = dir.path() + QStringLiteral("/x.psd");
    WriteFileBytes(psd, b.Build());
    const QString program = QStringLiteral(VISTREL_BINARY_DIR) + QStringLiteral("/vistrel");
    int code = -1;
    const QString facts = QString::fromLocal8Bit(RunProgram(program, {QStringLiteral("--info"), psd}, &code));
    EXPECT_EQ(code, 0);
    EXPECT_TRUE(facts.contains(QLatin1String("depth guidance at "))) << facts.toStdString();
    EXPECT_TRUE(facts.contains(QLatin1String("Largest shift between neighbouring views: "))) << facts.toStdString();

    // A small depth prints quietly; the largest on a fine pitch ghosts and says
    // so, or with --fail-on-ghosting fails with status 2 and writes nothing.
    struct Case {
        const char *Depth, *Lpi;
        bool FailOnGhosting, Warned;
        int Code;
    } cases[] = {{"0.2", "20", false, false, 0}, {"10", "100", false, true, 0}, {"0.2", "20", true, false, 0},
                 {"10", "100", true, false, 2}};
    for (const Case &c : cases) {
        SCOPED_TRACE(std::string(c.Depth) + (c.FailOnGhosting ? " failing" : ""));
        const QString print = dir.path() + QStringLiteral("/x.tif");
        QFile::remove(print);
        QStringList args{QStringLiteral("--export-tiff"), print, QStringLiteral("--depth"),
                         QString::fromLatin1(c.Depth), QStringLiteral("--lpi"), QString::fromLatin1(c.Lpi), psd};
        if (c.FailOnGhosting)
            args.prepend(QStringLiteral("--fail-on-ghosting"));
        QByteArray err;
        RunProgram(program, args, &code, &err);
        EXPECT_EQ(code, c.Code) << err.toStdString();
        EXPECT_EQ(err.contains("warning: Largest shift"), c.Warned) << err.toStdString();
        EXPECT_EQ(QFile::exists(print), c.Code == 0);
        if (c.Code == 2) {
            EXPECT_TRUE(err.contains("the picture will ghost")) << err.toStdString();
        }
    }
}

// --info of a project shows the project's offsets and print, and the typed
// print settings stand in for the guidance as they do for an export.
TEST(CommandLine, InfoOfAProjectShowsItsOffsetsAndPrint)
{
    QTemporaryDir dir;
    PsdBuilder b;
    b.Width = 300;
    b.Height = 200;
    b.AddLayer(0, 0, 300, 200, {1, 2, 3});
    b.AddLayer(40, 30, 100, 80, {9, 9, 9});
    b.AddLayer(150, 60, 60, 60, {200, 9, 9});
    WriteFileBytes(dir.filePath(QStringLiteral("doc.psd")), b.Build());
    const QString project = dir.filePath(QStringLiteral("doc.hx4p3"));
    WriteFileBytes(project, "doc.psd\r\n 5.00000000000000E+0001 7 3  1.50000000000000E+0000\r\n"
                            "99101 3 300 200\r\na\r\nb\r\nc\r\nd\r\ndate\r\n"
                            " 3.60000000000000E+0002  7.00000000000000E+0000  4.00000000000000E+0000 2 2\r\n"
                            "-30\r\n12\r\n25\r\n7 5 1.0\r\n7 5 1.0\r\n7 5 1.0\r\n");
    struct Case {
        QStringList typed;
        int code;
        const char *print, *guidance;  // for a refused run: its message, then nothing
    } cases[] = {
        {{}, 0, "print: 50 lpi, 360 dpi, 7 x 4 cm, H scale 2, depth 1.5", "depth guidance at 50 lpi, 360 dpi, 7 cm wide"},
        {{"--lpi", "80", "--dpi", "720", "--width-cm", "5", "--depth", "2", "--hscale", "1"}, 0,
         "print: 80 lpi, 720 dpi, 5 x 3.3333 cm, H scale 1, depth 2", "depth guidance at 80 lpi, 720 dpi, 5 cm wide"},
        {{"--lpi", "300"}, 1, "--lpi must be between 9 and 210, not 300.", nullptr},
        {{"--focus", "4"}, 1, "--focus must be between 1 and 3, not 4.", nullptr},
        {{"--focus", "0"}, 1, "--focus must be between 1 and 3, not 0.", nullptr},
        {{"--focus", "-1"}, 1, "--focus must be between 1 and 3, not -1.", nullptr},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.typed.join(' ').toStdString());
        int code = -1;
        QByteArray err;
        const QString out = QString::fromLocal8Bit(
            RunProgram(VistrelProgram(), QStringList{QStringLiteral("--info")} + c.typed + QStringList{project}, &code,
                       &err));
        ASSERT_EQ(code, c.code) << err.toStdString();
        if (c.code != 0) {
            EXPECT_TRUE(err.contains(c.print)) << err.toStdString();
            continue;
        }
        EXPECT_TRUE(out.contains(QLatin1String("row 1, rect left 150 top 60 right 210 bottom 120, group 0, channels 4, "
                                               "offset -30, name")))
            << out.toStdString();
        EXPECT_TRUE(out.contains(QLatin1String("row 2, rect left 40 top 30 right 140 bottom 110, group 0, channels 4, "
                                               "offset 12, name")))
            << out.toStdString();
        EXPECT_TRUE(out.contains(QLatin1String("offset 25, focus, name"))) << out.toStdString();
        EXPECT_TRUE(out.contains(QLatin1String(c.print))) << out.toStdString();
        EXPECT_TRUE(out.contains(QLatin1String(c.guidance))) << out.toStdString();
    }
}

// Outputs too large for their format are refused before any work: a layered
// PSD of over 4 GB is refused before the print of the same run is written.
TEST(CommandLine, AnOutputTooLargeForItsFormatIsRefusedBeforeAnyWork)
{
    QTemporaryDir dir;
    PsdBuilder b;  // seven views of 30 000 x 6 000 with transparency: 5 GB of layers
    b.Width = 30000;
    b.Height = 6000;
    b.AddLayer(100, 100, 20, 20, {200, 10, 10});
    const QString psd = dir.filePath(QStringLiteral("wide.psd"));
    WriteFileBytes(psd, b.Build());
    const QString print = dir.filePath(QStringLiteral("wide.tif"));
    int code = -1;
    QByteArray err;
    const QByteArray out = RunProgram(VistrelProgram(),
                                      {QStringLiteral("--export-tiff"), print, QStringLiteral("--width-cm"),
                                       QStringLiteral("2"), QStringLiteral("--export-psd"),
                                       dir.filePath(QStringLiteral("wide_3D.psd")), psd},
                                      &code, &err);
    EXPECT_EQ(code, 1);
    EXPECT_TRUE(err.contains("over 4 GB of layers")) << err.toStdString();
    EXPECT_FALSE(out.contains("written")) << out.toStdString();
    EXPECT_FALSE(QFile::exists(print));
}
