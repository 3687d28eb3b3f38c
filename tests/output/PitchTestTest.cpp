// The pitch test print: strips at each LPI of a range, each following the
// interlacing rule at its own LPI, labelled, readable by libtiff.
#include "Errors.h"
#include "Interlacer.h"
#include "PitchTest.h"
#include "TestSupport.h"
#include "Tiff.h"
#include "WindowTest.h"

#include <QAction>
#include <QComboBox>
#include <QFile>
#include <QLineEdit>
#include <QTemporaryDir>
#include <gtest/gtest.h>

TEST(PitchTest, EveryStripFollowsTheRuleAtItsOwnLpi)
{
    QTemporaryDir dir;
    const QString path = dir.path() + QStringLiteral("/pitch.tif");
    const PitchTestSettings s{595000, 605000, 1000, 720 * Fixed4One, 21 * Fixed4One};
    const PitchTestLayout l = WritePitchTest(s, path);
    ASSERT_EQ(l.Lpis.size(), 11u);
    EXPECT_EQ(l.Lpis.front(), 595000);
    EXPECT_EQ(l.Lpis.back(), 605000);
    const QImage print = LoadTiffBitmap(path);
    ASSERT_EQ(print.size(), QSize(l.Width, l.Height));
    auto black = [&](int x, int y) { return qRed(print.pixel(x, y)) == 0; };
    for (size_t k = 0; k < l.Lpis.size(); ++k) {
        SCOPED_TRACE(ShortFixed4Text(l.Lpis[k]).toStdString());
        // A whole number of lenses of this LPI at 720 dpi.
        const int64_t lenses = RoundDiv(int64_t(l.StripColumns[k]) * l.Lpis[k], 720 * Fixed4One);
        EXPECT_EQ(RoundDiv(lenses * 720 * Fixed4One, l.Lpis[k]), l.StripColumns[k]);
        // The rule, worked here: column x shows view position View[x], or the
        // next one in the rows where its running share passes a thousand;
        // position 6 is view 1, the black one.
        const ColumnTables t = BuildColumnTables(l.StripColumns[k], l.Lpis[k], 720 * Fixed4One, 7);
        std::vector<int> acc(size_t(l.StripColumns[k]), 0);
        int mismatches = 0, blacks = 0;
        for (int row = 0; row < 12; ++row)
            for (int32_t x = 0; x < l.StripColumns[k]; ++x) {
                int a = acc[size_t(x)] + t.Frac[size_t(x)];
                int position = t.View[size_t(x)];
                if (a > 999) {
                    position = t.View[size_t(x) + 1];
                    a -= 1000;
                }
                acc[size_t(x)] = a;
                const bool expected = position == 6;
                blacks += expected;
                mismatches += black(l.StripLeft[k] + x, l.LabelRows + row) != expected;
            }
        EXPECT_EQ(mismatches, 0);
        EXPECT_GT(blacks, 12 * int(lenses) / 2);  // about one black column a lens
        // The label above the strip has ink; the gap beside it has none.
        bool ink = false;
        for (int y = 0; y < l.LabelRows; ++y)
            for (int32_t x = l.StripLeft[k]; x < l.StripLeft[k] + l.StripColumns[k]; ++x)
                ink = ink || black(x, y);
        EXPECT_TRUE(ink);
        if (k + 1 < l.Lpis.size()) {
            for (int y = 0; y < l.Height; y += 97)
                EXPECT_FALSE(black(l.StripLeft[k] + l.StripColumns[k], y));
        }
    }
    if (ProgramInstalled(QStringLiteral("tiffinfo"))) {
        int code = -1;
        QByteArray err;
        RunProgram(QStringLiteral("tiffinfo"), {path}, &code, &err);
        EXPECT_EQ(code, 0);
        EXPECT_TRUE(err.trimmed().isEmpty()) << err.toStdString();
    }

    struct Bad {
        PitchTestSettings Settings;
        const char *Message;
    } bad[] = {
        {{605000, 595000, 1000, 720 * Fixed4One, 21 * Fixed4One}, "a step above 0 and a first LPI not above the last"},
        {{595000, 605000, 0, 720 * Fixed4One, 21 * Fixed4One}, "a step above 0"},
        {{400000, 1000000, 1000, 720 * Fixed4One, 21 * Fixed4One}, "is too many"},
        {{80000, 90000, 10000, 720 * Fixed4One, 21 * Fixed4One}, "between 9 and 210"},
        {{595000, 605000, 1000, 720 * Fixed4One, 30 * Fixed4One}, "at most 21 cm"},
    };
    for (const Bad &b : bad) {
        try {
            PitchTestLpis(b.Settings);
            ADD_FAILURE() << b.Message;
        } catch (const VistrelError &error) {
            EXPECT_TRUE(error.Message.contains(QLatin1String(b.Message))) << error.Message.toStdString();
        }
    }
}

TEST(PitchTest, TheBatchModeWritesItWithoutADocument)
{
    QTemporaryDir dir;
    const QString out = dir.path() + QStringLiteral("/pitch.tif");
    int code = -1;
    QByteArray err;
    const QByteArray said = RunProgram(VistrelProgram(),
                                       {QStringLiteral("--pitch-test"), out, QStringLiteral("--lpi-from"),
                                        QStringLiteral("59.5"), QStringLiteral("--lpi-to"), QStringLiteral("60.5"),
                                        QStringLiteral("--lpi-step"), QStringLiteral("0.1"), QStringLiteral("--dpi"),
                                        QStringLiteral("720")},
                                       &code, &err);
    EXPECT_EQ(code, 0) << err.toStdString();
    EXPECT_TRUE(said.contains("pitch test written:")) << said.toStdString();
    EXPECT_TRUE(said.contains("(11 strips")) << said.toStdString();
    EXPECT_EQ(ReadTiffInfo(out).Samples, 3);
    RunProgram(VistrelProgram(), {QStringLiteral("--pitch-test"), out, QStringLiteral("--lpi-from"),
                                  QStringLiteral("59.5")}, &code, &err);
    EXPECT_EQ(code, 2);
    EXPECT_TRUE(err.contains("--pitch-test needs --lpi-from, --lpi-to and --lpi-step")) << err.toStdString();
}

TEST_F(WindowTest, ThePitchTestFromTheFileMenuSpansTheLpiTyped)
{
    MainWindow &f = Start();
    f.LpiEdit->setText(QStringLiteral("60"));
    const QString out = platform.Sandbox.path() + QStringLiteral("/pitch.tif");
    platform.SaveAnswers.push_back(out);
    f.PitchTestItem->trigger();
    ASSERT_TRUE(platform.Messages.isEmpty()) << platform.Messages.join('\n').toStdString();
    EXPECT_TRUE(QFile::exists(out));
    EXPECT_TRUE(f.PanelText(10).startsWith(QStringLiteral("pitch.tif written: "))) << f.PanelText(10).toStdString();
    EXPECT_EQ(platform.PitchRangeOffers, QStringList{QStringLiteral("59.5 60.5 0.1")});  // offered around the LPI

    // A range typed in the dialog is the one printed; a cancelled dialog asks for no file.
    platform.PitchRangeAnswers.push_back({QStringLiteral("60"), QStringLiteral("60.4"), QStringLiteral("0.2")});
    platform.SaveAnswers.push_back(out);
    f.PitchTestItem->trigger();
    const QString expected = platform.Sandbox.path() + QStringLiteral("/expected.tif");
    ASSERT_EQ(f.DpiCombo->currentText(), QStringLiteral("720"));
    WritePitchTest({600000, 604000, 2000, 720 * Fixed4One, StrToFixed4(f.WidthEdit->text())}, expected);
    EXPECT_TRUE(WithoutTiffDate(ReadFileBytes(out)) == WithoutTiffDate(ReadFileBytes(expected)));
    const size_t asked = platform.DialogRequests.size();
    platform.PitchRangeAnswers.push_back({});
    f.PitchTestItem->trigger();
    EXPECT_EQ(platform.DialogRequests.size(), asked);
    platform.PitchRangeAnswers.push_back({QStringLiteral("60"), QStringLiteral("80"), QStringLiteral("0.1")});
    platform.SaveAnswers.push_back(out);
    f.PitchTestItem->trigger();  // 201 strips: refused with the rule's message
    ASSERT_EQ(platform.Messages.size(), 1);
}
