// Named lens sheets and printers: kept in a file of their own, checked before
// they are written, and resolved by "SHEET" or "SHEET@PRINTER".
#include "CommandLine.h"
#include "Errors.h"
#include "Presets.h"
#include "PsdBuilder.h"
#include "ScriptedPlatform.h"
#include "TestSupport.h"

#include <QFile>
#include <cstdio>
#include <gtest/gtest.h>

TEST(Presets, WrittenReadBackAndResolved)
{
    ScriptedPlatform platform;
    const Presets shop{{{QStringLiteral("Lens 75"), 75 * Fixed4One}, {QStringLiteral("Lens 40"), 40 * Fixed4One}},
                       {{QStringLiteral("Epson"), 720 * Fixed4One, {{QStringLiteral("Lens 75"), 752500}}}}};
    EXPECT_EQ(ReadPresets(), Presets());  // no file yet: none
    WritePresets(shop);
    EXPECT_EQ(ReadPresets(), shop);

    struct Case {
        const char *name;
        Fixed4 lpi;
        Fixed4 dpi;  // 0: the preset names no printer
        const char *refusal;
    };
    const Case cases[] = {
        {"Lens 75", 75 * Fixed4One, 0, ""},
        {"Lens 75@Epson", 752500, 720 * Fixed4One, ""},        // the pitch the pitch test found
        {" Lens 40 @ Epson ", 40 * Fixed4One, 720 * Fixed4One, ""},  // not calibrated: the sheet's own
        {"Lens 99", 0, 0, "There is no lens sheet \"Lens 99\" among the presets."},
        {"Lens 75@Canon", 0, 0, "There is no printer \"Canon\" among the presets."},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        try {
            const PresetChoice choice = ResolvePreset(shop, QString::fromUtf8(c.name));
            EXPECT_STREQ(c.refusal, "");
            EXPECT_EQ(choice.Lpi, c.lpi);
            EXPECT_EQ(choice.Dpi.value_or(0), c.dpi);
        } catch (const VistrelError &error) {
            EXPECT_EQ(error.Message, QString::fromUtf8(c.refusal));
        }
    }

    // A wrong preset is refused before anything is written; a damaged file is said, not overwritten.
    const QByteArray before = ReadFileBytes(PresetsPath());
    Presets wrong = shop;
    wrong.Sheets[1].Lpi = 300 * Fixed4One;
    EXPECT_THROW(WritePresets(wrong), VistrelError);
    wrong = shop;
    wrong.Printers[0].Name = QStringLiteral("Epson@Shop");
    EXPECT_THROW(WritePresets(wrong), VistrelError);
    EXPECT_EQ(ReadFileBytes(PresetsPath()), before);
    WriteFileBytes(PresetsPath(), "{\"sheets\": [{\"name\": \"Lens 75\", \"lpi\": \"75\"}]}");
    try {
        ReadPresets();
        ADD_FAILURE() << "a damaged presets file was read";
    } catch (const VistrelError &error) {
        EXPECT_TRUE(error.Message.endsWith(QStringLiteral("cannot be read: the LPI of \"Lens 75\" is not a number.")))
            << error.Message.toStdString();
    }

    // The batch mode takes a preset's LPI and resolution; what is typed wins.
    WritePresets(shop);
    PsdBuilder b;
    b.Width = 200;
    b.Height = 100;
    b.AddLayer(0, 0, 200, 100, {1, 2, 3});
    const QString psd = platform.Sandbox.path() + QStringLiteral("/p.psd");
    WriteFileBytes(psd, b.Build());
    const auto info = [&](const QStringList &args) {
        FILE *out = std::tmpfile();
        FILE *err = std::tmpfile();
        const int code = RunInfo(ParseCommandLine(QStringList{QStringLiteral("--info")} + args + QStringList{psd}), out, err);
        QByteArray said(8192, '\0');
        std::rewind(code == 0 ? out : err);
        said.resize(qsizetype(std::fread(said.data(), 1, size_t(said.size()), code == 0 ? out : err)));
        std::fclose(out);
        std::fclose(err);
        return QString::fromLocal8Bit(said);
    };
    EXPECT_TRUE(info({QStringLiteral("--preset"), QStringLiteral("Lens 75@Epson")}).contains(QLatin1String("print: 75.25 lpi, 720 dpi")));
    EXPECT_TRUE(info({QStringLiteral("--preset"), QStringLiteral("Lens 75@Epson"), QStringLiteral("--lpi"), QStringLiteral("60")})
                    .contains(QLatin1String("print: 60 lpi, 720 dpi")));
    EXPECT_EQ(info({QStringLiteral("--preset"), QStringLiteral("Lens 99")}).trimmed(),
              QStringLiteral("There is no lens sheet \"Lens 99\" among the presets."));
}
