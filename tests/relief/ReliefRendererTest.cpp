// The relief renderer on real calls: the rules of a view pass, the geometry of
// a render, the smoothing at the edges, a nested-rectangles row worked out by
// hand, the files of a render, and a project with lines exported by the batch
// mode.
#include "BmpCodec.h"
#include "Compositor.h"
#include "Document.h"
#include "Errors.h"
#include "Import.h"
#include "PsdBuilder.h"
#include "ReliefLines.h"
#include "ReliefRenderer.h"
#include "ScriptedPlatform.h"
#include "TestSupport.h"
#include "Tiff.h"
#include "ViewSet.h"
#include "WorkFolder.h"

#include <QDir>
#include <QFile>
#include <gtest/gtest.h>

namespace {

// One grey row as a picture: each value a pixel.
QImage Row(const std::vector<int> &values)
{
    QImage row = NewPicture(int(values.size()), 1, 8);
    for (size_t i = 0; i < values.size(); ++i)
        row.scanLine(0)[i] = uchar(values[i]);
    return row;
}

std::vector<int> RowValues(const QImage &picture, int y = 0)
{
    std::vector<int> values;
    for (int x = 0; x < picture.width(); ++x)
        values.push_back(picture.constScanLine(y)[x * (BitsPerPixel(picture) / 8)]);
    return values;
}

ContourLine Rectangle(int left, int top, int right, int bottom)
{
    return {{left, top}, {right, top}, {right, bottom}, {left, bottom}};
}

}  // namespace

TEST(ReliefRenderer, ThePassRulesOfGapsAndCoveredPixels)
{
    // K = 10 000: a pixel moves by its height above the base level, in view step 1.
    struct Case {
        const char *what;
        std::vector<int> heights;  // base level 150
        int bits;
        std::vector<int> expected;  // the pixels are 1..6 (a..f); 99 was there before
    };
    const Case cases[] = {
        {"targets 0,1,4,5,4,5: c fills the gap, d is replaced by f, e is covered", {150, 150, 152, 152, 150, 150}, 8,
         {1, 2, 3, 3, 3, 6}},
        {"targets 0,1,0,1,4,5: the pair covers a and b, e fills the gap", {150, 150, 148, 148, 150, 150}, 8,
         {3, 4, 5, 5, 5, 6}},
        {"the first pixel to 3: positions 1..3 take it, 0 keeps what it had", {153, 153, 153, 153, 153, 153}, 8,
         {99, 1, 1, 1, 2, 3}},
        // Targets 2, 5, 2, 3, 4, 5: a fills 1..2; b jumps to 5 while the scan is
        // still behind, so the gap 3..4 takes a; c, d and e are covered; f
        // lands on 5 ...
        {"a gap behind the scan takes the pixel before", {152, 154, 150, 150, 150, 150}, 8, {99, 1, 1, 1, 1, 6}},
        // ... except in CMYK, where the gap takes b, the pixel that opened it.
        {"in CMYK the gap takes the pixel itself", {152, 154, 150, 150, 150, 150}, 32, {99, 1, 1, 2, 2, 6}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        ReliefGeometry g;
        g.PaddedWidth = 6;
        g.ShiftFactor = 10000;
        g.BaseLevel = 150;
        QImage source = NewPicture(6, 1, c.bits), alpha = NewPicture(6, 1, 8);
        const int bytes = c.bits / 8;
        for (int i = 0; i < 6; ++i) {
            std::memset(source.scanLine(0) + i * bytes, i + 1, size_t(bytes));
            alpha.scanLine(0)[i] = uchar(10 * (i + 1));
        }
        QImage destination = NewPicture(6, 1, c.bits), destinationAlpha = NewPicture(6, 1, 8);
        std::memset(destination.scanLine(0), 99, size_t(6 * bytes));
        std::memset(destinationAlpha.scanLine(0), 99, 6);
        ReliefPass(source, alpha, Row(c.heights), g, 1, destination, destinationAlpha);
        EXPECT_EQ(RowValues(destination), c.expected);
        // The coverage travels with its pixel.
        std::vector<int> coverage;
        for (int v : c.expected)
            coverage.push_back(v == 99 ? 99 : 10 * v);
        EXPECT_EQ(RowValues(destinationAlpha), coverage);
        for (int i = 0; i < 6; ++i)  // all four CMYK bytes move together
            for (int k = 1; k < bytes; ++k)
                EXPECT_EQ(destination.constScanLine(0)[i * bytes + k], destination.constScanLine(0)[i * bytes]);
    }
}

TEST(ReliefRenderer, NestedRectanglesMoveAsWorkedOutByHand)
{
    Document doc;
    doc = Document();
    doc.WorkWidth = 24;  // under 100 pixels: no outline
    doc.WorkHeight = 3;
    doc.WorkScale = Fixed4One;
    // Order 10 (level 105) over columns 4..21, order 4 (195) over 8..19,
    // order 0 (255) over 12..15; the background is 30.
    LineSet lines = EmptyLineSet();
    lines[10] = {Rectangle(4, 0, 22, 3)};
    lines[4] = {Rectangle(8, 0, 20, 3)};
    lines[0] = {Rectangle(12, 0, 16, 3)};
    const QImage working = PaintHeightMap(doc, lines);
    const std::vector<int> levels = {30,  30,  30,  30,  105, 105, 105, 105, 195, 195, 195, 195,
                                     255, 255, 255, 255, 195, 195, 195, 195, 105, 105, 30,  30};
    ASSERT_EQ(RowValues(working, 1), levels);

    Layer layer;
    layer.Width = 24;
    layer.Height = 3;
    layer.BaseOrder = 7;  // level 150 stays in the picture plane
    ReliefGeometry g;
    g.PaddedWidth = 24;
    g.ShiftFactor = 200;  // dv / 50 pixels per view step: -120 -> -2.4, -45 -> -0.9, 45 -> 0.9, 105 -> 2.1
    g.BaseLevel = BaseLevelOf(layer);
    const QImage map = LayerReliefMap(doc, working, layer, g);
    ASSERT_EQ(RowValues(map, 1), levels);

    std::vector<int> pixels;
    for (int i = 0; i < 24; ++i)
        pixels.push_back(10 + i);  // pixel i is 10 + i
    const QImage source = Row(pixels);
    const QImage alpha = Row(std::vector<int>(24, 255));
    struct Case { int step; std::vector<int> expected; };
    const Case cases[] = {
        // View 4 keeps every pixel in its column.
        {0, pixels},
        // View 3: the background moves 2 to the left, order 10 one, order 4 one
        // to the right and order 0 two. Rising edges open gaps that the pixel
        // at the edge fills (4 twice, 8 three times, 12 twice); falling edges
        // cover: 16 is dropped, 18 and 19 are written over by 20, 21 and 22;
        // 22 and 23 keep what they held.
        {1, {12, 13, 14, 14, 15, 16, 17, 18, 18, 18, 19, 20, 21, 22, 22, 23, 24, 25, 27, 30, 32, 33, 32, 33}},
        // View 5 the other way: the background moves 2 to the right, order 10
        // one, order 4 one to the left and order 0 two. 0 fills 1..2; 4 lands
        // on 3's place and is dropped; 6 and 7 are written over by 8 and 9, 11
        // by 12; the gaps behind the raised parts take 16 twice and 20 three
        // times; 22 lands at 23 and 23 falls off the row.
        {-1, {10, 10, 10, 11, 12, 13, 15, 18, 19, 20, 22, 23, 24, 25, 26, 26, 27, 28, 29, 30, 30, 30, 31, 32}},
        // View 2: shifts -5, -2, +2, +4. The background falls off the left, 4
        // fills 0..2; 8 fills 6..10; order 0 jumps ahead of the scan and 11
        // fills 14..15; 13..15 and 16..17 are covered by 21, 22 and 23 coming
        // back, and 18, 19 land past them.
        {2, {14, 14, 14, 15, 16, 17, 18, 18, 18, 18, 18, 19, 20, 21, 21, 21, 22, 32, 33, 31, 28, 29, 32, 33}},
        // View 6: shifts +5, +2, -2, -4. 0 fills 1..5; 4..6 and 8 are covered;
        // 9 is the first pixel the scan reaches again and lands on 7 over 2;
        // 3, 7, 10 and 11 are written over by 12..15; 16 fills 12..14 and 20
        // fills 18..22.
        {-2, {10, 10, 10, 10, 10, 10, 11, 19, 22, 23, 24, 25, 26, 26, 26, 27, 28, 29, 30, 30, 30, 30, 30, 31}},
        // View 1: shifts -7, -3, +3, +6. 4 fills 0..1, 8 fills 5..11, 11 the
        // gap 15..17 before 22 and 23 land on 15 and 16 again; 16..18, 20
        // and 21 are covered.
        {3, {14, 14, 15, 16, 17, 18, 18, 18, 18, 18, 18, 18, 19, 20, 21, 32, 33, 21, 22, 23, 24, 25, 29, 33}},
        // View 7: shifts +7, +3, -3, -6. 0 fills 1..7; orders 4 and 0 move
        // back over it; 16 fills 10..13 and 20 fills 17..23.
        {-3, {10, 10, 10, 10, 10, 10, 22, 23, 24, 25, 26, 26, 26, 26, 27, 28, 29, 30, 30, 30, 30, 30, 30, 30}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.step);
        QImage destination = source.copy(), destinationAlpha = alpha.copy();
        ReliefPass(source, alpha, Row(levels), g, c.step, destination, destinationAlpha);
        EXPECT_EQ(RowValues(destination), c.expected);
    }
}

TEST(ReliefRenderer, SmoothingWorkedOutByHand)
{
    // One bright pixel of value v in a dark map: pixel (x, y) within 2a of it
    // holds Round(weight x v / 52), the weight of the tap that reaches it.
    // v = 13 puts the weights 2 on a tie (0.5 -> 0) and the weights 3 on 0.75;
    // v = 39 gives 1.5 -> 2 (ties to even), 2.25 -> 2 and 3.
    struct Case { int value, step; int patch[5][5]; };
    const Case cases[] = {
        {13, 1, {{0, 0, 0, 0, 0}, {0, 1, 1, 1, 0}, {0, 1, 1, 1, 0}, {0, 1, 1, 1, 0}, {0, 0, 0, 0, 0}}},
        {39, 1, {{0, 2, 2, 2, 0}, {2, 2, 2, 2, 2}, {2, 2, 3, 2, 2}, {2, 2, 2, 2, 2}, {0, 2, 2, 2, 0}}},
        {39, 2, {{0, 2, 2, 2, 0}, {2, 2, 2, 2, 2}, {2, 2, 3, 2, 2}, {2, 2, 2, 2, 2}, {0, 2, 2, 2, 0}}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(testing::Message() << "v " << c.value << ", a " << c.step);
        QImage map = NewPicture(13, 13, 8);
        map.fill(0);
        map.scanLine(6)[6] = uchar(c.value);
        const QImage smooth = SmoothReliefMap(map, c.step);
        for (int y = 0; y < 13; ++y)
            for (int x = 0; x < 13; ++x) {
                const int dx = x - 6, dy = y - 6;
                const bool tap = dx % c.step == 0 && dy % c.step == 0 && std::abs(dx) <= 2 * c.step &&
                                 std::abs(dy) <= 2 * c.step;
                const int expected = tap ? c.patch[dy / c.step + 2][dx / c.step + 2] : 0;
                EXPECT_EQ(smooth.constScanLine(y)[x], expected) << x << ", " << y;
            }
    }

    // Taps outside the map take the nearest row: a one-column map, 255 on
    // row 0 and 0 below, a = 30. Row 0 takes row 0 for its -2a, -a and
    // centre rows (6 + 13 + 14 of 52 weights), row 30 for -2a and -a (19),
    // row 60 for -2a only (6).
    QImage column = NewPicture(1, 100, 8);
    for (int y = 0; y < 100; ++y)
        column.scanLine(y)[0] = y == 0 ? 255 : 0;
    const QImage smooth = SmoothReliefMap(column, 30);
    const int rows[][2] = {{0, 162}, {1, 93}, {30, 93}, {31, 29}, {60, 29}, {61, 0}, {99, 0}};
    for (const auto &r : rows)
        EXPECT_EQ(smooth.constScanLine(r[0])[0], r[1]) << r[0];
    EXPECT_EQ(RowValues(SmoothReliefMap(column, 0), 0), RowValues(column, 0));  // a = 0: unchanged
}

TEST(ReliefRenderer, TheHeightMapFillsEvenOddAndOutlinesFrom200PixelsOn)
{
    Document doc;
    doc = Document();
    doc.WorkScale = Fixed4One;
    struct Case {
        const char *what;
        int width, height;
        ContourLine line;
        int row;
        std::vector<std::pair<int, int>> pixels;  // column, level
    };
    const Case cases[] = {
        // A square with a square inside it, both drawn the same way round:
        // even-odd leaves the inner one empty, where the winding rule fills it.
        {"even-odd", 24, 24, {{2, 2}, {22, 2}, {22, 22}, {2, 22}, {2, 2}, {8, 8}, {16, 8}, {16, 16}, {8, 16}, {8, 8}},
         12, {{1, 30}, {2, 255}, {7, 255}, {8, 30}, {15, 30}, {16, 255}, {21, 255}, {22, 30}}},
        // 800 pixels wide: an outline of 4 widens the plateau 400..599 by 2 a side.
        {"outline 4", 800, 10, Rectangle(400, 0, 600, 10), 5, {{397, 30}, {398, 255}, {601, 255}, {602, 30}}},
        // Under 100 pixels no outline: the fill alone.
        {"no outline", 98, 10, Rectangle(40, 0, 60, 10), 5, {{39, 30}, {40, 255}, {59, 255}, {60, 30}}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        doc.WorkWidth = c.width;
        doc.WorkHeight = c.height;
        LineSet lines = EmptyLineSet();
        lines[0] = {c.line};
        const QImage map = PaintHeightMap(doc, lines);
        for (const auto &[x, level] : c.pixels)
            EXPECT_EQ(map.constScanLine(c.row)[x], level) << "column " << x;
    }
}

TEST(ReliefRenderer, TheMapIsPlacedWhereTheLayerLiesAndFilledOutsideTheCanvas)
{
    Document doc;
    // A 10 x 4 working map on a 20 x 8 canvas (scale 0.5): canvas pixel (X, Y)
    // shows map pixel (X / 2, Y / 2), which holds 100 + 10 x row + column.
    // Pixel i of map row r of a layer with margin 2 is canvas pixel
    // (i - 2 + Left, r + Top); off the canvas it takes the map's top-left, 100.
    doc = Document();
    doc.WorkWidth = 10;
    doc.WorkHeight = 4;
    doc.WorkScale = Fixed4One / 2;
    QImage working = NewPicture(10, 4, 8);
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 10; ++x)
            working.scanLine(y)[x] = uchar(100 + 10 * y + x);
    struct Case { int left, top, width, height; };
    const Case cases[] = {{-3, 2, 6, 8}, {15, -3, 4, 5}};
    for (const Case &c : cases) {
        SCOPED_TRACE(testing::Message() << "left " << c.left << ", top " << c.top);
        Layer layer;
        layer.Left = c.left;
        layer.Top = c.top;
        layer.Width = c.width;
        layer.Height = c.height;
        ReliefGeometry g;
        g.Margin = 2;
        g.PaddedWidth = c.width + 4;
        const QImage map = LayerReliefMap(doc, working, layer, g);
        ASSERT_EQ(map.size(), QSize(c.width + 4, c.height));
        for (int r = 0; r < c.height; ++r)
            for (int i = 0; i < c.width + 4; ++i) {
                const int X = i - 2 + c.left, Y = r + c.top;
                const bool onCanvas = X >= 0 && X < 20 && Y >= 0 && Y < 8;
                EXPECT_EQ(map.constScanLine(r)[i], onCanvas ? 100 + 10 * (Y / 2) + X / 2 : 100) << i << ", " << r;
            }
    }
}

TEST(ReliefRenderer, GeometryRoundsHalfToEven)
{
    Document doc;
    doc = Document();
    struct Case {
        int32_t imageWidth, dpi;
        Fixed4 reliefDepth, depth;
        int smooth;
        int32_t margin, shift, step;
    };
    const Case cases[] = {
        // K = width x relief depth x depth / 30 000 pixels, times 10 000.
        {3002, 300, 10000, 10000, 5, 75, 1001, 30},   // 1000.67; a = 30.02
        {3000, 302, 10005, 10000, 1, 76, 1000, 6},    // 1000.5 -> 1000; M = 75.54
        {3000, 298, 10015, 10000, 1, 75, 1002, 6},    // 1001.5 -> 1002; M = 74.61
        {3000, 298, -10015, 10000, 1, 75, -1002, 6},  // an inverted relief, the same margin
        {1250, 298, 10000, 10000, 1, 74, 417, 2},     // 416.67; a = 2.5 -> 2; M = 74.5 -> 74
        {1750, 302, 10000, 20000, 1, 76, 1167, 4},    // 1166.67; a = 3.5 -> 4; M = 75.5 -> 76
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.imageWidth);
        doc.ImageWidth = c.imageWidth;
        doc.PsdDpi = c.dpi * Fixed4One;
        doc.Depth = c.depth;
        Layer layer;
        layer.Width = 10;
        layer.ReliefDepth = c.reliefDepth;
        layer.Smooth = c.smooth;
        const ReliefGeometry g = ReliefGeometryOf(doc, layer);
        EXPECT_EQ(g.Margin, c.margin);
        EXPECT_EQ(g.PaddedWidth, 10 + 2 * c.margin);
        EXPECT_EQ(g.ShiftFactor, c.shift);
        EXPECT_EQ(g.SmoothStep, c.step);
    }
}

TEST(ReliefRenderer, GeometryAndTheFilesOfARender)
{
    Document doc;
    ScriptedPlatform platform;
    // 3000 x 300 at 300 dpi: worked on 1200 wide, scale 0.4.
    PsdBuilder b;
    b.Width = 3000;
    b.Height = 300;
    b.DpiWhole = 300;
    b.AddLayer(0, 0, 3000, 300, {200, 200, 200});
    b.AddLayer(1000, 50, 102, 199, {20, 40, 60}, 220);
    ImportBuilt(doc, platform, b);
    ASSERT_EQ(doc.WorkScale, 4000);
    Layer &layer = doc.Layers[1];
    ReliefGeometry g = ReliefGeometryOf(doc, layer);
    EXPECT_EQ(g.Margin, 75);  // 300 dpi x 1.0 / 4
    EXPECT_EQ(g.PaddedWidth, 252);
    EXPECT_EQ(g.SmoothStep, 30);  // 3000 / 500 x 5
    EXPECT_EQ(g.ShiftFactor, 1000);  // 3000 x 1 x 1 / 30 000 pixels, times 10 000
    layer.ReliefDepth = 1000000 * Fixed4One;  // from a damaged project: refused, nothing wraps
    EXPECT_THROW(ReliefGeometryOf(doc, layer), VistrelError);
    layer.ReliefDepth = Fixed4One;

    // Lines that would move pixels: with BaseOrder 15 and no lines, or with a
    // depth of 0, every view is the padded layer; view 4 is always.
    const QImage padded = [&] {
        QImage p = NewPicture(252, 199, 24);
        for (int y = 0; y < 199; ++y) {
            std::memset(p.scanLine(y), 0, 252 * 3);
            for (int x = 75; x < 177; ++x) {
                p.scanLine(y)[3 * x] = 60;  // B, G, R
                p.scanLine(y)[3 * x + 1] = 40;
                p.scanLine(y)[3 * x + 2] = 20;
            }
        }
        return p;
    }();
    LineSet lines = EmptyLineSet();
    lines[2] = {Rectangle(390, 20, 450, 100)};
    lines[0] = {Rectangle(410, 40, 430, 80)};
    struct Case { const char *what; int baseOrder; Fixed4 depth; const LineSet *set; std::vector<int> sameViews; };
    const LineSet none = EmptyLineSet();
    const Case cases[] = {
        {"no lines, base order 15", 15, Fixed4One, &none, {1, 2, 3, 4, 5, 6, 7}},
        {"depth 0", 7, 0, &lines, {1, 2, 3, 4, 5, 6, 7}},
        {"lines", 7, Fixed4One, &lines, {4}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        layer.BaseOrder = uint8_t(c.baseOrder);
        doc.Depth = c.depth;
        std::vector<int> progress;
        RenderRelief(doc, 1, *c.set, [&](int p) { progress.push_back(p); });
        EXPECT_EQ(progress.front(), 20);
        EXPECT_EQ(progress.back(), 100);
        EXPECT_TRUE(std::is_sorted(progress.begin(), progress.end()));
        for (int v = 1; v <= 7; ++v) {
            const QImage view = LoadImage(WorkFileName(2, QStringLiteral("gx"), v));
            ASSERT_EQ(view.size(), QSize(252, 199));
            const bool same = view == padded;
            const bool expected = std::find(c.sameViews.begin(), c.sameViews.end(), v) != c.sameViews.end();
            EXPECT_EQ(same, expected) << "view " << v;
            // 252 x 199 at 0.4 is 100.8 x 79.6: 101 x 80.
            EXPECT_EQ(LoadImage(WorkFileName(2, QStringLiteral("xgx"), v)).size(), QSize(101, 80));
            EXPECT_EQ(LoadImage(WorkFileName(2, QStringLiteral("gxt"), v)).size(), QSize(252, 199));
            EXPECT_EQ(LoadImage(WorkFileName(2, QStringLiteral("xgxt"), v)).size(), QSize(101, 80));
        }
    }
}

TEST(ReliefRenderer, AProjectWithLinesIsExportedByTheBatchMode)
{
    QTemporaryDir dir;
    PsdBuilder b;
    b.Width = 400;
    b.Height = 200;
    b.DpiWhole = 100;
    b.AddLayer(0, 0, 400, 200, {230, 230, 230});
    b.AddLayer(100, 40, 200, 120, {30, 90, 160});
    WriteFileBytes(dir.path() + QStringLiteral("/doc.psd"), b.Build());
    const QByteArray head = "doc.psd\r\n 4.00000000000000E+0001 7 2  1.00000000000000E+0000\r\n"
                            "99101 2 400 200\r\na\r\nb\r\nc\r\nd\r\ndate\r\n"
                            " 3.00000000000000E+0002  6.00000000000000E+0000  3.00000000000000E+0000 2 1\r\n"
                            "0\r\n0\r\n7 5  1.00000000000000E+0000\r\n7 5  1.00000000000000E+0000\r\n";
    WriteFileBytes(dir.path() + QStringLiteral("/relief.hx4p3"),
                   head + "1 1 0 3\r\n120 50 280 50 280 150 120 150 \r\r\n1 0 0 3\r\n160 80 240 80 240 120 160 120 \r\r\n");
    WriteFileBytes(dir.path() + QStringLiteral("/flat.hx4p3"), head);

    auto run = [&](const QString &project, const QString &work) {
        int code = -1;
        QByteArray err;
        RunProgram(VistrelProgram(), {QStringLiteral("--export-tiff"), work + QStringLiteral(".tif"),
                                      QStringLiteral("--work-folder"), work, dir.path() + QLatin1Char('/') + project},
                   &code, &err);
        EXPECT_EQ(code, 0) << err.toStdString();
    };
    const QString relief = dir.path() + QStringLiteral("/relief");
    const QString flat = dir.path() + QStringLiteral("/flat");
    run(QStringLiteral("relief.hx4p3"), relief);
    run(QStringLiteral("flat.hx4p3"), flat);
    for (int v = 1; v <= 7; ++v)
        for (const char *kind : {"gx", "gxt", "xgx", "xgxt"})
            EXPECT_TRUE(QFile::exists(relief + QStringLiteral("/2%1%2.gjs").arg(QLatin1String(kind)).arg(v)))
                << kind << v;
    // The middle view is the plain composite; the others are not.
    auto view = [](const QString &work, int v) { return LoadTiffBitmap(work + QStringLiteral("/vwd%1.gjs").arg(ThreeDigits(v))); };
    EXPECT_TRUE(view(relief, 4) == view(flat, 4));
    EXPECT_FALSE(view(relief, 1) == view(flat, 1));
    EXPECT_FALSE(view(relief, 7) == view(flat, 7));
    EXPECT_TRUE(QFile::exists(relief + QStringLiteral(".tif")));
}

TEST(ReliefRenderer, APsdThatSaysItsReliefIsRenderedGetsItRenderedAtThePreview)
{
    Document doc;
    // A stored group value of 100 promises relief views no work folder holds:
    // the layer arrives as a relief to render, so the import and the views work.
    ScriptedPlatform platform;
    PsdBuilder b;
    b.Width = 200;
    b.Height = 100;
    b.Groups = {0, 100};
    b.AddLayer(0, 0, 200, 100, {250, 250, 250});
    b.AddLayer(50, 20, 60, 40, {10, 20, 30});
    ImportBuilt(doc, platform, b);
    EXPECT_EQ(doc.Layers[1].GroupId, GroupReliefToRender);
    EXPECT_FALSE(IsFlipGroup(doc.Layers[1].GroupId));  // shown in every view until rendered
    RenderPendingReliefs(doc);
    EXPECT_EQ(doc.Layers[1].GroupId, GroupReliefRendered);
    EXPECT_TRUE(QFile::exists(WorkFileName(2, QStringLiteral("xgx"), 4)));
    GenerateViewFiles(doc, {0, 0}, 0);
    EXPECT_TRUE(QFile::exists(WorkFileName(QStringLiteral("vw"), 7)));
}

TEST(ReliefRenderer, ARenderBandByBandWritesWhatTheWholeLayerGives)
{
    Document doc;
    // The layer reaches past the canvas on the left, so the map is filled
    // there; smoothing taps reach across bands. Bands of 1, 7 and 64 rows and
    // one band give the files the whole-layer functions give.
    for (const uint16_t mode : {ModeRgb, ModeCmyk}) {
        SCOPED_TRACE(mode);
        ScriptedPlatform platform;
        PsdBuilder b;
        b.Width = 900;
        b.Height = 120;
        b.DpiWhole = 300;
        b.ColorMode = mode;
        const size_t channels = mode == ModeRgb ? 3 : 4;
        b.AddLayer(0, 0, 900, 120, std::vector<uint8_t>(channels, 200));
        PsdBuilderLayer &l = b.AddLayer(-30, 10, 400, 100, std::vector<uint8_t>(channels, 0), 255);
        for (qsizetype i = 0; i < l.Channels[1].Plane.size(); ++i)
            l.Channels[1].Plane[i] = char(i * 13 % 256);
        ImportBuilt(doc, platform, b);
        Layer &layer = doc.Layers[1];
        layer.Smooth = 3;
        layer.ReliefDepth = 2 * Fixed4One;
        doc.Depth = 4 * Fixed4One;
        LineSet lines = EmptyLineSet();
        lines[3] = {Rectangle(10, 20, 300, 100)};
        lines[0] = {Rectangle(60, 40, 200, 80), Rectangle(250, 10, 380, 60)};

        // The reference: the whole layer at once, each pass over the one before.
        const ReliefGeometry g = ReliefGeometryOf(doc, layer);
        ASSERT_GT(g.SmoothStep, 0);
        const QImage map = SmoothReliefMap(LayerReliefMap(doc, PaintHeightMap(doc, lines), layer, g), g.SmoothStep);
        const QImage colour = LoadImage(WorkFileName(QStringLiteral("ly"), 2));
        const QImage alpha = LoadImage(WorkFileName(QStringLiteral("lyt"), 2));
        const int bytes = int(channels);
        QImage source = NewPicture(g.PaddedWidth, layer.Height, 8 * bytes);
        QImage sourceAlpha = NewPicture(g.PaddedWidth, layer.Height, 8);
        for (int y = 0; y < layer.Height; ++y) {
            std::memset(source.scanLine(y), mode == ModeCmyk ? 255 : 0, size_t(g.PaddedWidth) * bytes);
            std::memcpy(source.scanLine(y) + g.Margin * bytes, colour.constScanLine(y), size_t(layer.Width) * bytes);
            std::memset(sourceAlpha.scanLine(y), 0, size_t(g.PaddedWidth));
            std::memcpy(sourceAlpha.scanLine(y) + g.Margin, alpha.constScanLine(y), size_t(layer.Width));
        }
        QImage destination = source.copy(), destinationAlpha = sourceAlpha.copy();
        std::vector<QImage> expected, expectedAlpha;
        for (int pass = 1; pass <= 7; ++pass) {
            ReliefPass(source, sourceAlpha, map, g, pass - 4, destination, destinationAlpha);
            expected.push_back(destination.copy());
            expectedAlpha.push_back(destinationAlpha.copy());
        }
        for (const int band : {1, 7, 64, 0}) {
            SCOPED_TRACE(band);
            RenderRelief(doc, 1, lines, {}, band);
            for (int pass = 1; pass <= 7; ++pass) {
                const int view = 8 - pass;
                EXPECT_TRUE(LoadImage(WorkFileName(2, QStringLiteral("gx"), view)) == expected[size_t(pass - 1)])
                    << "view " << view;
                EXPECT_TRUE(LoadImage(WorkFileName(2, QStringLiteral("gxt"), view)) ==
                            expectedAlpha[size_t(pass - 1)]);
                const QImage small = LoadImage(WorkFileName(2, QStringLiteral("xgx"), view));
                EXPECT_TRUE(small == ScaleNearest(expected[size_t(pass - 1)], small.width(), small.height()));
                EXPECT_TRUE(LoadImage(WorkFileName(2, QStringLiteral("xgxt"), view)) ==
                            ScaleNearest(expectedAlpha[size_t(pass - 1)], small.width(), small.height()));
            }
        }
        // The views differ from each other: the lines moved pixels.
        EXPECT_FALSE(expected[0] == expected[6]);
    }
}
