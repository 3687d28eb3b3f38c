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
#include <array>
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
        if (y < 10) {
            EXPECT_EQ(position, expected[y]) << y;
        }
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

// A generated document exported end to end: print pixels worked out by hand
// are the pixels of the view files they should come from, at the sampled place.
TEST(Interlacer, PrintPixelsComeFromTheViewFiles)
{
    Document doc;
    ScriptedPlatform platform;
    QTemporaryDir dir;
    doc = Document();
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
    ImportDocument(doc, psd);
    const std::vector<int32_t> offsets = DefaultGridOffsets(doc);
    PrintSettings s;
    s.Lpi = 424775;
    s.Dpi = 300 * Fixed4One;
    s.WidthCm = 6 * Fixed4One;
    s.HeightCm = ToFixed4(6 / (240.0 / 90));
    s.HScale = 1;
    const QString out = dir.path() + QStringLiteral("/print.tif");
    ExportPrint(doc, s, offsets, FocusOffsetIn(offsets, doc.FocusLayer), out, {}, {}, true);

    const QImage print = LoadTiffBitmap(out);
    const PrintGeometry g = ComputePrintGeometry(CentimetresToInches(s.WidthCm), CentimetresToInches(s.HeightCm),
                                                 s.Lpi, s.Dpi, 1);
    ASSERT_EQ(print.size(), QSize(g.Columns, g.Rows));
    std::vector<QImage> views;  // list position 0 = view 7
    for (int v = 7; v >= 1; --v)
        views.push_back(LoadTiffBitmap(WorkFileName3(QStringLiteral("vwd"), v)));
    // The views differ: the flip group shows another member in view 7 than in view 1.
    EXPECT_NE(std::memcmp(views[0].constScanLine(45) + 3 * 40, views[6].constScanLine(45) + 3 * 40, 3), 0);
    // Worked by hand. 6 cm are 2.3622 in: 100.34 -> 100 lenses of 1 / 42.4775 in,
    // and 100 / 42.4775 x 300 dpi = 706.26 -> 706 columns. 2.25 cm are 0.8858 in,
    // x 300 dpi = 265.7 -> 265 rows.
    ASSERT_EQ(print.size(), QSize(706, 265));
    // A column advances 7 x 42.4775 / 300 = 0.9911417 view strips, and 240 / 706
    // = 0.3399433 source columns; a row 90 / 265 = 0.3396226 source rows.
    //
    // Column 31 starts 30.7254 strips in: position 30 mod 7 = 2, 725 thousandths
    // into it; column 32 starts in position 3. A row takes position 3 when its
    // 725 carries the running sum past a thousand: row 0 (725) does not, rows 1
    // and 2 (1450, 2175) do, row 3 (2900) does not, row 53 (39 150) does, row 54
    // (39 875) does not, row 264 (192 125) does. Source column 31 x 0.3399433 =
    // 10.5 -> 10.
    //
    // Column 35 starts 34.6900 strips in: position 34 mod 7 = 6 (view 1), 690
    // thousandths into it, and column 36 begins the next lens at position 0
    // (view 7). Position 0 in rows 1 (1380) and 4 (3450), position 6 in rows 0
    // (690), 3 (2760) and 264 (182 850). Source column 11.9 -> 11.
    //
    // Column 166 starts 164.5295 strips in: position 164 mod 7 = 3 (view 4), 530
    // thousandths, then position 4 (view 3). Rows 89 (47 700) and 91 (48 760)
    // stay, rows 88 (47 170) and 90 (48 230) follow. Source column 56.4 -> 56,
    // inside the flip group, which shows another member in view 3 than in view 4.
    //
    // Source rows: row 3 -> 1.02 -> 1; row 53 -> 17.999998 -> 17 (90 / 265 is
    // kept as 0.3396226, a hair under 0.33962264), row 54 -> 18.3 -> 18, rows 88
    // to 91 -> 29.9, 30.2, 30.6, 30.9, row 264 -> 89.7 -> 89.
    const ColumnTables t = BuildColumnTables(g.Columns, s.Lpi, s.Dpi, 7);
    for (const auto &[x, view, frac, next] : {std::array{31, 2, 725, 3}, std::array{35, 6, 690, 0},
                                              std::array{166, 3, 530, 4}}) {
        EXPECT_EQ(t.View[size_t(x)], view) << x;
        EXPECT_EQ(t.Frac[size_t(x)], frac) << x;
        EXPECT_EQ(t.View[size_t(x) + 1], next) << x;
    }
    struct Worked { int x, y, position, other, sx, sy; };
    const Worked worked[] = {
        {31, 0, 2, 3, 10, 0},    {31, 1, 3, 2, 10, 0},   {31, 2, 3, 2, 10, 0},   {31, 3, 2, 3, 10, 1},
        {31, 53, 3, 2, 10, 17},  {31, 54, 2, 3, 10, 18}, {31, 264, 3, 2, 10, 89},
        {35, 0, 6, 0, 11, 0},    {35, 1, 0, 6, 11, 0},   {35, 3, 6, 0, 11, 1},   {35, 4, 0, 6, 11, 1},
        {35, 264, 6, 0, 11, 89},
        {166, 88, 4, 3, 56, 29}, {166, 89, 3, 4, 56, 30}, {166, 90, 4, 3, 56, 30}, {166, 91, 3, 4, 56, 30},
    };
    for (const Worked &w : worked) {
        const uchar *printed = print.constScanLine(w.y) + 3 * w.x;
        const uchar *shown = views[size_t(w.position)].constScanLine(w.sy) + 3 * w.sx;
        const uchar *passed = views[size_t(w.other)].constScanLine(w.sy) + 3 * w.sx;
        // The other view differs there, so the pixel tells which one was taken.
        ASSERT_NE(std::memcmp(shown, passed, 3), 0) << w.x << "," << w.y;
        EXPECT_EQ(std::memcmp(printed, shown, 3), 0) << w.x << "," << w.y;
    }
    // Source columns 10 and 11 lie on the background, whose red stays the same
    // down a column: each print row of columns 31 and 35 is one of the two
    // views, the following one in 265 x 0.725 = 192.1 -> 192 and 265 x 0.690 =
    // 182.9 -> 182 rows.
    struct Column { int x, position, other, sx, following; };
    for (const Column &c : {Column{31, 2, 3, 10, 192}, Column{35, 6, 0, 11, 182}}) {
        const uchar own = views[size_t(c.position)].constScanLine(0)[3 * c.sx + 2];
        const uchar next = views[size_t(c.other)].constScanLine(0)[3 * c.sx + 2];
        ASSERT_NE(own, next) << c.x;
        int following = 0;
        for (int y = 0; y < print.height(); ++y) {
            const uchar red = print.constScanLine(y)[3 * c.x + 2];
            ASSERT_TRUE(red == own || red == next) << c.x << "," << y;
            following += red == next;
        }
        EXPECT_EQ(following, c.following) << c.x;
    }
    // The coverage of each view is written beside it.
    EXPECT_EQ(LoadImage(WorkFileName3(QStringLiteral("vwdt"), 4)).size(), QSize(240, 90));
    EXPECT_EQ(doc.OutputColorMode, 2);
    EXPECT_EQ(doc.CurrentView, 0);
}
