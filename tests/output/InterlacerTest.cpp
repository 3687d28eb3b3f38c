#include "BmpCodec.h"
#include "Document.h"
#include "Errors.h"
#include "Import.h"
#include "Interlacer.h"
#include "PrintExport.h"
#include "PsdBuilder.h"
#include "ScriptedPlatform.h"
#include "TestSupport.h"
#include "Tiff.h"
#include "WorkFolder.h"

#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

// Seven view files whose every pixel names its view: grey level 10 x view.
QStringList ConstantViews(const QString &folder, int width, int height, int bits)
{
    QStringList files;
    for (int v = 7; v >= 1; --v) {
        QImage view = NewPicture(width, height, bits);
        for (int y = 0; y < height; ++y)
            std::memset(view.scanLine(y), 10 * v, size_t(view.bytesPerLine()));
        const QString path = folder + QStringLiteral("/vwd%1.gjs").arg(v);
        SaveBitmapAsTiff(view, path, Fixed4One, Fixed4One);
        files << path;
    }
    return files;
}

}  // namespace

TEST(Interlacer, PrintGeometryOfTheReferencePrint)
{
    const Fixed4 lpi = 424775;
    const Fixed4 width = CentimetresToInches(21 * Fixed4One);
    const Fixed4 height = CentimetresToInches(5 * Fixed4One);
    EXPECT_EQ(width, 82677);
    EXPECT_EQ(height, 19685);
    const PrintGeometry g = ComputePrintGeometry(width, height, lpi, 720 * Fixed4One, 1);
    EXPECT_EQ(g.Lenses, 351);
    EXPECT_EQ(g.Columns, 5950);
    EXPECT_EQ(g.Rows, 1417);
    EXPECT_EQ(g.VerticalDpi, 720 * Fixed4One);

    const ColumnTables t = BuildColumnTables(g.Columns, lpi, 720 * Fixed4One, 7);
    EXPECT_EQ(t.ViewStep, 4129757);
    struct Entry { int x, view, frac; };
    for (const Entry e : {Entry{0, 0, 0}, Entry{1, 0, 413}, Entry{2, 0, 826}, Entry{3, 1, 239}, Entry{17, 0, 21}}) {
        EXPECT_EQ(t.View[size_t(e.x)], e.view) << e.x;
        EXPECT_EQ(t.Frac[size_t(e.x)], e.frac) << e.x;
    }
    EXPECT_EQ(t.View.back(), 6);

    // "(Auto)": 7 printer pixels per lens.
    const PrintGeometry a = ComputePrintGeometry(width, height, lpi, 7 * lpi, 1);
    EXPECT_EQ(7 * lpi, 2973425);
    EXPECT_EQ(a.Columns, 2457);
    EXPECT_EQ(a.Rows, 585);
    const ColumnTables at = BuildColumnTables(a.Columns, lpi, 7 * lpi, 7);
    EXPECT_EQ(at.ViewStep, 10000000);
    for (int x = 0; x < a.Columns; ++x) {
        ASSERT_EQ(at.View[size_t(x)], x % 7);
        ASSERT_EQ(at.Frac[size_t(x)], 0);
    }

    // H scale 2 halves the rows and the vertical resolution.
    const PrintGeometry h = ComputePrintGeometry(width, height, lpi, 720 * Fixed4One, 2);
    EXPECT_EQ(h.Rows, int(1.9685 * 720 / 2));
    EXPECT_EQ(h.VerticalDpi, 360 * Fixed4One);

    EXPECT_EQ(BandRows(6000, 4000, 7), 23);
    EXPECT_EQ(BandRows(6000, 10, 7), 10);
    EXPECT_EQ(BandRows(150000, 10, 7), 1);  // wider than 142 857 pixels: one row per band
}

TEST(Interlacer, ColumnsTakeTheirViewsRowByRow)
{
    ScriptedPlatform platform;
    QTemporaryDir dir;
    const QStringList views = ConstantViews(dir.path(), 60, 40, 8);
    const QString out = dir.path() + QStringLiteral("/print.tif");
    const Fixed4 lpi = 424775;
    InterlaceViews(views, 1, out, 720 * Fixed4One, lpi, 82677, 19685, 1);
    const QImage print = LoadTiffBitmap(out);
    ASSERT_EQ(print.size(), QSize(5950, 1417));
    // Column 2 reaches 826 thousandths into the next strip: position 0 in row 0,
    // position 1 in rows 1 to 4, position 0 in row 5 ...
    const int expected[] = {0, 1, 1, 1, 1, 0, 1, 1, 1, 1};
    int following = 0;
    for (int y = 0; y < 1000; ++y) {
        const int position = 7 - print.constScanLine(y)[2] / 10;
        if (y < 10)
            EXPECT_EQ(position, expected[y]) << y;
        following += position == 1;
    }
    EXPECT_NEAR(following, 826, 1);  // about 83 % of the rows
    // Columns within one strip are uniform.
    for (int y = 0; y < 50; ++y)
        ASSERT_EQ(print.constScanLine(y)[0], 70);  // position 0 = view 7

    // "(Auto)": column x takes position x mod 7 in every row.
    InterlaceViews(views, 1, out, 7 * lpi, lpi, 82677, 19685, 1);
    const QImage automatic = LoadTiffBitmap(out);
    ASSERT_EQ(automatic.size(), QSize(2457, 585));
    for (int y = 0; y < automatic.height(); y += 37)
        for (int x = 0; x < automatic.width(); ++x)
            ASSERT_EQ(automatic.constScanLine(y)[x], 10 * (7 - x % 7)) << x << "," << y;
}

TEST(Interlacer, CmykSamplesAreInvertedAndFailuresLeaveNoFile)
{
    ScriptedPlatform platform;
    QTemporaryDir dir;
    QStringList views;
    for (int v = 7; v >= 1; --v) {
        QImage view = NewPicture(4, 4, 32);
        for (int y = 0; y < 4; ++y)
            std::memset(view.scanLine(y), 255, 16);  // no ink
        view.scanLine(0)[0] = 5;
        const QString path = dir.path() + QStringLiteral("/v%1.gjs").arg(v);
        SaveBitmapAsTiff(view, path, Fixed4One, Fixed4One);
        views << path;
    }
    const QString out = dir.path() + QStringLiteral("/cmyk.tif");
    InterlaceViews(views, 1, out, 70 * Fixed4One, 10 * Fixed4One, 10 * Fixed4One, 10 * Fixed4One, 4);
    const QImage print = LoadTiffBitmap(out);
    ASSERT_EQ(BitsPerPixel(print), 32);
    EXPECT_EQ(print.constScanLine(0)[0], 250);
    EXPECT_EQ(print.constScanLine(0)[1], 0);
    EXPECT_EQ(print.constScanLine(print.height() - 1)[4 * (print.width() - 1) + 3], 0);

    // A view missing half-way: the message, and nothing under the print's name.
    const QString fresh = dir.path() + QStringLiteral("/fresh.tif");
    QFile::remove(views[3]);
    EXPECT_THROW(InterlaceViews(views, 1, fresh, 70 * Fixed4One, 10 * Fixed4One, 10 * Fixed4One, 10 * Fixed4One, 4),
                 VistrelError);
    EXPECT_FALSE(QFile::exists(fresh));
}

// A generated document exported end to end: every print pixel is the pixel of
// the view file the tables name, at the sampled place.
TEST(Interlacer, PrintPixelsComeFromTheViewFiles)
{
    ScriptedPlatform platform;
    QTemporaryDir dir;
    ResetDocument();
    WorkFolder = dir.path() + QStringLiteral("/");
    PsdBuilder b;
    b.Width = 240;
    b.Height = 90;
    b.Groups = {0, 1, 1, 0};
    PsdBuilderLayer &bg = b.AddLayer(0, 0, 240, 90, {0, 0, 0});
    for (int i = 0; i < 240 * 90; ++i) {
        bg.Channels[1].Plane[i] = char(i % 240);
        bg.Channels[2].Plane[i] = char(i / 240);
    }
    b.AddLayer(30, 20, 50, 40, {255, 0, 0});
    b.AddLayer(30, 20, 50, 40, {0, 255, 0});
    b.AddLayer(150, 10, 60, 60, {0, 0, 255}, 180);
    const QString psd = dir.path() + QStringLiteral("/doc.psd");
    WriteFileBytes(psd, b.Build());
    ImportDocument(psd);
    const std::vector<int32_t> offsets = DefaultGridOffsets();
    PrintSettings s;
    s.Lpi = 424775;
    s.Dpi = 300 * Fixed4One;
    s.WidthCm = 6 * Fixed4One;
    s.HeightCm = ToFixed4(6 / (240.0 / 90));
    s.HScale = 1;
    const QString out = dir.path() + QStringLiteral("/print.tif");
    ExportPrint(s, offsets, FocusOffsetIn(offsets), out);

    const QImage print = LoadTiffBitmap(out);
    const PrintGeometry g = ComputePrintGeometry(CentimetresToInches(s.WidthCm), CentimetresToInches(s.HeightCm),
                                                 s.Lpi, s.Dpi, 1);
    ASSERT_EQ(print.size(), QSize(g.Columns, g.Rows));
    std::vector<QImage> views;  // list position 0 = view 7
    for (int v = 7; v >= 1; --v)
        views.push_back(LoadTiffBitmap(WorkFileName3(QStringLiteral("vwd"), v)));
    // The views differ: the flip group shows another member in view 7 than in view 1.
    EXPECT_NE(std::memcmp(views[0].constScanLine(45) + 3 * 40, views[6].constScanLine(45) + 3 * 40, 3), 0);
    const ColumnTables t = BuildColumnTables(g.Columns, s.Lpi, s.Dpi, 7);
    const int64_t ratioX = RoundDiv(240 * int64_t(10'000'000), g.Columns);
    const int64_t ratioY = RoundDiv(90 * int64_t(10'000'000), g.Rows);
    for (int x = 0; x < g.Columns; ++x) {
        int acc = 0;
        const int sx = int(x * ratioX / 10'000'000);
        for (int y = 0; y < g.Rows; ++y) {
            acc += t.Frac[size_t(x)];
            int position = t.View[size_t(x)];
            if (acc > 999) {
                position = t.View[size_t(x) + 1];
                acc -= 1000;
            }
            const int sy = int(y * ratioY / 10'000'000);
            ASSERT_EQ(std::memcmp(print.constScanLine(y) + 3 * x, views[size_t(position)].constScanLine(sy) + 3 * sx, 3),
                      0)
                << x << "," << y;
        }
    }
    // The coverage of each view is written beside it.
    EXPECT_EQ(LoadImage(WorkFileName3(QStringLiteral("vwdt"), 4)).size(), QSize(240, 90));
    EXPECT_EQ(OutputColorMode, 2);
    EXPECT_EQ(CurrentView, 0);
}
