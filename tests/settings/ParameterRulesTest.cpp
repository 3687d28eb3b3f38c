// The print settings are read by one function for the window's export and for
// the batch mode: the same texts must give the same print through both, and a
// value the window replaces must be refused by the batch mode, never silently
// changed.
#include "CommandLine.h"
#include "Document.h"
#include "ParameterRules.h"
#include "PsdBuilder.h"
#include "TestSupport.h"
#include "Tiff.h"
#include "WindowTest.h"

#include <QComboBox>
#include <QFile>
#include <QLineEdit>
#include <cstdio>

namespace {

struct Printed {
    Fixed4 Lpi = 0, Dpi = 0, WidthCm = 0, HeightCm = 0;  // as the window's document holds them
    QSize Pixels;
    QByteArray Bytes;  // the print, its date left out
    QString Message;   // the refusal, if any
};

class PrintSettingsTest : public WindowTest {
protected:
    void SetUp() override
    {
        WindowTest::SetUp();
        PsdBuilder b;
        b.Width = 300;
        b.Height = 150;
        b.DpiWhole = 100;
        b.AddLayer(0, 0, 300, 150, {10, 200, 30});
        b.AddLayer(40, 20, 80, 60, {250, 9, 9}, 160);
        psd = WritePsd(QStringLiteral("doc.psd"), b.Build());
    }

    static Printed Result(const Document &doc, const QString &print)
    {
        Printed p{doc.Lpi, doc.OutputDpi, doc.OutputWidthCm, doc.OutputHeightCm, {}, {}, {}};
        if (QFile::exists(print)) {
            const TiffInfo info = ReadTiffInfo(print);
            p.Pixels = QSize(info.Width, info.Height);
            p.Bytes = WithoutTiffDate(ReadFileBytes(print));
        }
        return p;
    }

    Printed ThroughTheWindow(const QString &lpi, const QString &dpi, const QString &width)
    {
        MainWindow &f = Start();
        f.ImportPsd(psd);
        f.LpiEdit->setText(lpi);
        f.DpiCombo->setEditText(dpi);
        f.WidthEdit->setText(width);  // its own handler keeps the limit and sets the height
        const QString print = platform.Sandbox.path() + QStringLiteral("/window.tif");
        QFile::remove(print);
        platform.Messages.clear();
        platform.SaveAnswers.push_back(print);
        f.ExportInterlacedPrint();
        Printed p = Result(f.Doc, print);
        p.Message = platform.Messages.join('\n');
        TearDown();
        return p;
    }

    Printed ThroughTheBatchMode(const QString &lpi, const QString &dpi, const QString &width)
    {
        const QString print = platform.Sandbox.path() + QStringLiteral("/batch.tif");
        QFile::remove(print);
        CommandLine options = ParseCommandLine({QStringLiteral("--export-tiff"), print, QStringLiteral("--lpi"), lpi,
                                                QStringLiteral("--dpi"), dpi, QStringLiteral("--width-cm"), width,
                                                QStringLiteral("--work-folder"),
                                                platform.Sandbox.path() + QStringLiteral("/batchwork"), psd});
        FILE *out = std::tmpfile();
        FILE *err = std::tmpfile();
        const int code = RunBatch(options, out, err);
        QByteArray said(4096, '\0');
        std::rewind(err);
        said.resize(qsizetype(std::fread(said.data(), 1, size_t(said.size()), err)));
        std::fclose(out);
        std::fclose(err);
        Printed p = Result(Document(), print);  // the batch run's document is its own
        if (code != 0)
            p.Message = QString::fromLocal8Bit(said).trimmed();
        return p;
    }

    QString psd;
};

}  // namespace

TEST_F(PrintSettingsTest, TheSameTextsGiveTheSamePrintThroughTheWindowAndTheBatchMode)
{
    struct Case {
        const char *lpi, *windowDpi, *batchDpi, *width;
        Fixed4 lpiValue, dpiValue, widthValue;
        const char *windowMessage;  // empty: the print is made
        const char *batchMessage;   // empty: as the window
    };
    const Case cases[] = {
        // "(Auto)" is 7 x LPI exactly; the height follows the width and the 2:1 picture.
        {"40", "(Auto)", "auto", "6", 400000, 2800000, 60000, "", ""},
        {"42.4775", "(Auto)", "AUTO", "5", 424775, 2973425, 50000, "", ""},
        {"60", "720", "720", "4.5", 600000, 7200000, 45000, "", ""},
        {"9", "300", "300", "21", 90000, 3000000, 210000, "", ""},
        {"210", "1440", "1440", "2", 2100000, 14400000, 20000, "", ""},
        // Outside the LPI range the window prints at 75.55; a script is told.
        {"300", "600", "600", "5", 755500, 6000000, 50000, "", "--lpi must be between 9 and 210, not 300."},
        {"8.5", "600", "600", "5", 755500, 6000000, 50000, "", "--lpi must be between 9 and 210, not 8.5."},
        // Wider than 21 cm: the window's field becomes 21.
        {"60", "600", "600", "25", 600000, 6000000, 210000, "", "--width-cm must be between 0 and 21, not 25."},
        // No print can be made: both refuse with the same message.
        {"60", "0", "0", "5", 0, 0, 0, "The printer resolution must be between 1 and 100000, not 0.", ""},
        {"60", "1000000000", "1000000000", "5", 0, 0, 0,
         "The printer resolution must be between 1 and 100000, not 1000000000.", ""},
        {"60", "600", "600", "-3", 0, 0, 0, "The print must be more than 0 cm wide, not -3 cm.", ""},
        {"sixty", "600", "600", "5", 0, 0, 0, "'sixty' is not a valid floating point value", ""},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(QStringLiteral("%1 lpi, %2 dpi, %3 cm").arg(c.lpi, c.windowDpi, c.width).toStdString());
        const Printed window = ThroughTheWindow(c.lpi, c.windowDpi, c.width);
        const Printed batch = ThroughTheBatchMode(c.lpi, c.batchDpi, c.width);
        EXPECT_EQ(window.Message, QString::fromUtf8(c.windowMessage));
        const QString batchMessage = QString::fromUtf8(*c.batchMessage ? c.batchMessage : c.windowMessage);
        EXPECT_EQ(batch.Message, batchMessage);
        if (!window.Message.isEmpty())
            continue;
        EXPECT_EQ(window.Lpi, c.lpiValue);
        EXPECT_EQ(window.Dpi, c.dpiValue);
        EXPECT_EQ(window.WidthCm, c.widthValue);
        EXPECT_EQ(window.HeightCm, c.widthValue / 2);
        EXPECT_FALSE(window.Pixels.isEmpty());
        if (!batchMessage.isEmpty()) {
            EXPECT_TRUE(batch.Pixels.isEmpty()) << "a refused batch run must write no print";
            continue;
        }
        // The same print, byte for byte: the same LPI, resolution and size.
        EXPECT_EQ(batch.Pixels, window.Pixels);
        EXPECT_TRUE(batch.Bytes == window.Bytes) << "the batch mode's print differs from the window's";
    }
}

TEST(ParameterRules, LimitsAndTheirReplacements)
{
    struct Case { double typed; Fixed4 lpi; bool lpiReplaced; Fixed4 depth; Fixed4 width; };
    const Case cases[] = {
        {9, 90000, false, 90000, 90000},
        {210, 2100000, false, DepthReplacement, WidthCmHigh},
        {210.5, LpiReplacement, true, DepthReplacement, WidthCmHigh},
        {-10, LpiReplacement, true, -100000, -100000},
        {-10.5, LpiReplacement, true, DepthReplacement, -105000},
        {10, 100000, false, 100000, 100000},
        {21, 210000, false, DepthReplacement, 210000},
        {22, 220000, false, DepthReplacement, WidthCmHigh},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.typed);
        const CheckedValue lpi = CheckLpi(ToFixed4(c.typed));
        EXPECT_EQ(lpi.Value, c.lpi);
        EXPECT_EQ(lpi.Replaced, c.lpiReplaced);
        EXPECT_EQ(lpi.Shown, c.lpiReplaced ? QStringLiteral("75.55") : QString());
        EXPECT_EQ(CheckDepth(ToFixed4(c.typed)).Value, c.depth);
        EXPECT_TRUE(CheckDepth(ToFixed4(c.typed)).Shown.isEmpty());  // the depth field keeps what was typed
        EXPECT_EQ(CheckWidthCm(ToFixed4(c.typed)).Value, c.width);
    }
    EXPECT_EQ(CheckFocusRow(0, 5), 0);
    EXPECT_EQ(CheckFocusRow(5, 5), 5);
    EXPECT_EQ(CheckFocusRow(6, 5), 0);
    EXPECT_EQ(FocusOffsetIn({5, 6, 7}, 1), 7);  // row 1 is the top layer
    EXPECT_EQ(FocusOffsetIn({5, 6, 7}, 4), 0);
}
