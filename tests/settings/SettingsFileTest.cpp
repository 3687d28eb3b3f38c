#include "Document.h"
#include "Errors.h"
#include "ScriptedPlatform.h"
#include "SettingsFile.h"
#include "TestSupport.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <functional>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>
#include <gtest/gtest.h>

namespace {

const QByteArray Maker = "Vistrel lenticular design tool settings\r\n";

class SettingsFileTest : public ::testing::Test {
protected:
    Document doc;
    void SetUp() override
    {
        doc = Document();
        path = platform.ProgramDir + QStringLiteral("/vistrelt.inf");
    }
    ScriptedPlatform platform;
    QString path;
};

}  // namespace

TEST_F(SettingsFileTest, MissingFileIsCreatedWithDefaults)
{
    ApplySettingsFile(doc);
    EXPECT_EQ(ReadFileBytes(path), QByteArray("0 0 0 0 0 0  1.00000000000000E+0000\r\n"
                                        " 4.24500000000000E+0001 7  7.20000000000000E+0002 "
                                        " 5.00000000000000E+0000  5.00000000000000E+0000 2 1\r\n") +
                                 Maker);
    EXPECT_EQ(doc.Lpi, 424500);
    EXPECT_EQ(doc.OutputDpi, 7200000);
    EXPECT_EQ(doc.Depth, Fixed4One);
}

TEST_F(SettingsFileTest, OutOfRangeValuesAreReplacedAndTheFileRewritten)
{
    struct Case {
        const char *name;
        double lpi, dpi, width, height;
        int colour, hscale;
        double depth;
        // expected after the checks
        double lpiOut, dpiOut, widthOut, heightOut;
        int colourOut, hscaleOut;
        double depthOut;
    };
    const Case cases[] = {
        {"all in range", 42.4775, 1440, 21, 14, 1, 2, 2.5, 42.4775, 1440, 21, 14, 1, 2, 2.5},
        {"edges in range", 9, 100, 1, 500, 0, 32, 100, 9, 100, 1, 500, 0, 32, 100},
        {"upper edges", 210, 10160, 500, 1, 2, 1, 0.0001, 210, 10160, 500, 1, 2, 1, 0.0001},
        {"(Auto)", 42.45, 10000, 5, 5, 2, 1, 1, 42.45, 10000, 5, 5, 2, 1, 1},
        {"lpi 300", 300, 720, 5, 5, 2, 1, 1, 42.45, 720, 5, 5, 2, 1, 1},
        {"numbers beyond any range", 1e300, -1e300, 1e300, 5, 2, 1, 1e300, 42.45, 1200, 5, 5, 2, 1, 1},
        {"lpi below 9", 8.9999, 720, 5, 5, 2, 1, 1, 42.45, 720, 5, 5, 2, 1, 1},
        {"dpi 99", 42.45, 99, 5, 5, 2, 1, 1, 42.45, 1200, 5, 5, 2, 1, 1},
        {"dpi 10161", 42.45, 10161, 5, 5, 2, 1, 1, 42.45, 1200, 5, 5, 2, 1, 1},
        {"width 0.5 height 501", 42.45, 720, 0.5, 501, 2, 1, 1, 42.45, 720, 5, 5, 2, 1, 1},
        {"colour 3", 42.45, 720, 5, 5, 3, 1, 1, 42.45, 720, 5, 5, 2, 1, 1},
        {"colour -1", 42.45, 720, 5, 5, -1, 1, 1, 42.45, 720, 5, 5, 2, 1, 1},
        {"hscale 0", 42.45, 720, 5, 5, 2, 0, 1, 42.45, 720, 5, 5, 2, 1, 1},
        {"hscale 33", 42.45, 720, 5, 5, 2, 33, 1, 42.45, 720, 5, 5, 2, 1, 1},
        {"depth 0", 42.45, 720, 5, 5, 2, 1, 0, 42.45, 720, 5, 5, 2, 1, 1},
        {"depth -1", 42.45, 720, 5, 5, 2, 1, -1, 42.45, 720, 5, 5, 2, 1, 1},
        {"depth 100.5", 42.45, 720, 5, 5, 2, 1, 100.5, 42.45, 720, 5, 5, 2, 1, 1},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        SettingsValues in;
        in.Lpi = ToFixed4(c.lpi);
        in.OutputDpi = ToFixed4(c.dpi);
        in.OutputWidthCm = ToFixed4(c.width);
        in.OutputHeightCm = ToFixed4(c.height);
        in.OutputColorMode = c.colour;
        in.HScale = c.hscale;
        in.Depth = ToFixed4(c.depth);
        WriteFileBytes(path, FormatSettings(in));

        ApplySettingsFile(doc);
        EXPECT_EQ(doc.Lpi, ToFixed4(c.lpiOut));
        EXPECT_EQ(doc.OutputDpi, ToFixed4(c.dpiOut));
        EXPECT_EQ(doc.OutputWidthCm, ToFixed4(c.widthOut));
        EXPECT_EQ(doc.OutputHeightCm, ToFixed4(c.heightOut));
        EXPECT_EQ(doc.OutputColorMode, c.colourOut);
        EXPECT_EQ(doc.HScale, c.hscaleOut);
        EXPECT_EQ(doc.Depth, ToFixed4(c.depthOut));

        // The rewritten file holds the corrected values.
        SettingsValues out;
        ParseSettings(ReadFileBytes(path), path, out);
        EXPECT_EQ(out.Lpi, ToFixed4(c.lpiOut));
        EXPECT_EQ(out.OutputDpi, ToFixed4(c.dpiOut));
        EXPECT_EQ(out.HScale, c.hscaleOut);
        EXPECT_EQ(out.Depth, ToFixed4(c.depthOut));
    }
}

TEST_F(SettingsFileTest, ReservedIntegersAndLanguageAreCarriedOver)
{
    // Numbers may stand anywhere after white space, even on later lines.
    WriteFileBytes(path, "7 8\t9 10 11 1 \r\n 2.00000000000000E+0000\r\n 4.24775000000000E+0001 7 "
                " 1.44000000000000E+0003  2.10000000000000E+0001  1.40000000000000E+0001 2 2\r\nmaker\r\n");
    ApplySettingsFile(doc);
    EXPECT_EQ(doc.Language, 1);
    EXPECT_EQ(doc.Depth, 2 * Fixed4One);
    EXPECT_EQ(doc.Lpi, 424775);
    const QByteArray rewritten = ReadFileBytes(path);
    EXPECT_TRUE(rewritten.startsWith("7 8 9 10 11 1  2.00000000000000E+0000\r\n 4.24775000000000E+0001 7 "))
        << rewritten.constData();

    // Written again at close with what the run holds then.
    doc.Lpi = ToFixed4(75.55);
    WriteSettingsFile(doc);
    EXPECT_TRUE(ReadFileBytes(path).startsWith("7 8 9 10 11 1  2.00000000000000E+0000\r\n 7.55500000000000E+0001 7 "));
    EXPECT_TRUE(ReadFileBytes(path).endsWith("\r\n" + Maker));
}

// A settings file that is not one is never fatal and never waited on: it is
// set aside as "vistrelt.inf.bad", replaced by what could be read and the
// defaults, and said once; the batch mode's reading says so and goes on.
TEST_F(SettingsFileTest, AFileThatIsNotSettingsIsSetAsideAndSaidOnce)
{
    struct Case {
        const char *name;
        std::function<void()> plant;
        const char *says;
        int language;  // read before the damage, or the default
    };
    const Case cases[] = {
        {"the LPI is not a number",
         [&] { WriteFileBytes(path, "0 0 0 0 0 1  3.00000000000000E+0000\r\nabc 7 1 2 3 4 5\r\n"); },
         "Invalid numeric input", 1},
        {"a pipe", [&] { ASSERT_EQ(::mkfifo(QFile::encodeName(path).constData(), 0600), 0); }, "not a regular file", 0},
        // A device of our own like /dev/zero, never the machine's own: a
        // slip here would replace it with a file.
        {"a link to an endless device", [&] {
             const QByteArray zero = QFile::encodeName(platform.Sandbox.path() + QStringLiteral("/zero"));
             if (::access(zero.constData(), F_OK) != 0 && ::mknod(zero.constData(), S_IFCHR | 0600, makedev(1, 5)) != 0) {
                 ASSERT_EQ(::mkfifo(zero.constData(), 0600), 0);  // no right to make devices: a pipe stands in
             }
             ASSERT_TRUE(QFile::link(QFile::decodeName(zero), path));
         },
         "not a regular file", 0},
        {"far too long", [&] { WriteFileBytes(path, "0 0 0 0 0 1 " + QByteArray(100000, ' ') + "2.0\r\n"); },
         "far longer than a settings file", 0},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        QFile::remove(path);
        QFile::remove(path + QStringLiteral(".bad"));
        c.plant();
        doc.Language = 9;
        try {
            ApplySettingsFile(doc);
            ADD_FAILURE() << "a settings file that is not one passed silently";
        } catch (const VistrelError &e) {
            EXPECT_TRUE(e.Message.contains(QLatin1String(c.says))) << e.Message.toStdString();
            EXPECT_TRUE(e.Message.contains(QStringLiteral("kept as \"%1.bad\"").arg(path))) << e.Message.toStdString();
        }
        EXPECT_EQ(doc.Language, c.language);
        EXPECT_EQ(doc.Lpi, 424500);
        EXPECT_TRUE(QFileInfo(path + QStringLiteral(".bad")).exists() ||
                    QFileInfo(path + QStringLiteral(".bad")).isSymLink());
        SettingsValues out;
        ParseSettings(ReadFileBytes(path), path, out);  // the new file reads cleanly
        EXPECT_EQ(out.Language, c.language);
        EXPECT_NO_THROW(ApplySettingsFile(doc));  // said once

        // The batch mode reads it without writing, and goes on with a warning.
        QFile::remove(path);
        c.plant();
        SettingsValues batch;
        EXPECT_TRUE(ReadSettingsFile(batch).contains(QLatin1String(c.says)));
        EXPECT_EQ(batch.Lpi, 424500);
        EXPECT_TRUE(ReadSettingsFile(batch).isEmpty());
    }
}

TEST_F(SettingsFileTest, NameComparesWithoutCaseAndUnwritableFolderUsesTheUserFolder)
{
    const QString upper = platform.ProgramDir + QStringLiteral("/VISTRELT.INF");
    SettingsValues in;
    in.HScale = 3;
    WriteFileBytes(upper, FormatSettings(in));
    ApplySettingsFile(doc);
    EXPECT_EQ(doc.HScale, 3);
    EXPECT_EQ(QDir(platform.ProgramDir).entryList(QDir::Files), QStringList{QStringLiteral("VISTRELT.INF")});

    // A program folder that cannot be written (here: not there at all).
    platform.ProgramDir = platform.Sandbox.path() + QStringLiteral("/installed/bin");
    ApplySettingsFile(doc);
    EXPECT_TRUE(QFile::exists(platform.ConfigDir + QStringLiteral("/vistrelt.inf")));
}
