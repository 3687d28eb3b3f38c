#include "BmpCodec.h"
#include "Compositor.h"
#include "Document.h"
#include "Errors.h"
#include "WorkFolder.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

QImage Filled(int w, int h, int bits, uchar value)
{
    QImage image = NewPicture(w, h, bits);
    for (int y = 0; y < h; ++y)
        std::memset(image.scanLine(y), value, size_t(image.bytesPerLine()));
    return image;
}

// A document of `count` layers, all plain, in memory at working size.
void MakeDocument(Document &doc, int width, int height, uint16_t mode, int count)
{
    doc = Document();
    doc.ImageWidth = doc.WorkWidth = width;
    doc.ImageHeight = doc.WorkHeight = height;
    doc.PsdColorMode = mode;
    doc.DocumentOpen = 1;
    doc.Layers.assign(count, {});
    doc.LayerCount = uint16_t(count);
    doc.LayerImages.assign(count, {});
    doc.LayerAlphas.assign(count, {});
    doc.LayerViewLeft.assign(count, 0);
}

}  // namespace

TEST(Compositor, PlacementShiftsByOffsetDepthAndView)
{
    Document doc;
    MakeDocument(doc, 100, 10, 3, 2);
    doc.Layers[0].Left = 5;
    doc.Layers[1].Left = 0;
    const int expected[] = {-31, -21, -10, 0, 10, 21, 31};
    for (int v = 1; v <= 7; ++v) {
        PlaceLayersForView(doc, v, {62, 7}, 0);
        EXPECT_EQ(doc.LayerViewLeft[0], 5 + expected[v - 1]) << v;
        PlaceLayersForView(doc, v, {62, 7}, 7);  // offset 7 with focus offset 7 never moves
        EXPECT_EQ(doc.LayerViewLeft[1], 0) << v;
    }
    doc.Depth = 2 * Fixed4One;
    PlaceLayersForView(doc, 7, {62, 7}, 0);
    EXPECT_EQ(doc.LayerViewLeft[0], 5 + 62);
    doc.Depth = -Fixed4One;
    PlaceLayersForView(doc, 1, {62, 7}, 0);
    EXPECT_EQ(doc.LayerViewLeft[0], 5 + 31);
}

TEST(Compositor, FlipGroupsSpreadTheirMembersOverTheViews)
{
    Document doc;
    struct Case { int members; std::vector<int> shown; };
    const Case cases[] = {
        {1, {0, 0, 0, 0, 0, 0, 0}}, {2, {0, 0, 0, 1, 1, 1, 1}}, {3, {0, 0, 1, 1, 2, 2, 2}},
        {7, {0, 1, 2, 3, 4, 5, 6}}, {10, {1, 2, 4, 5, 7, 8, 9}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.members);
        MakeDocument(doc, 10, 10, 3, c.members + 2);
        for (int i = 0; i < c.members; ++i)
            doc.Layers[i + 1].GroupId = 2;  // layer 0 plain, the last one relief
        doc.Layers[c.members + 1].GroupId = 100;
        BuildGroupTables(doc);
        ASSERT_EQ(doc.GroupMembers.size(), 2u);
        EXPECT_TRUE(doc.GroupMembers[0].empty());
        for (int v = 0; v < 7; ++v) {
            EXPECT_EQ(doc.GroupViewLayer[1][v], c.shown[v] + 1) << v;
            for (int i = 0; i < c.members; ++i)
                EXPECT_EQ(LayerVisibleInView(doc, i + 1, v), i == c.shown[v]) << v;
            EXPECT_TRUE(LayerVisibleInView(doc, 0, v));
            EXPECT_TRUE(LayerVisibleInView(doc, c.members + 1, v));
        }
    }
}

TEST(Compositor, BlendingIsExactAndClipped)
{
    struct Case { uchar c, A, s, a, outC, outA; };
    const Case cases[] = {
        {255, 255, 0, 128, 127, 255}, {255, 0, 0, 128, 127, 128}, {255, 0, 9, 255, 9, 255},
        {40, 77, 200, 0, 40, 77},     {100, 10, 200, 1, 100, 11},
    };
    for (const Case &c : cases) {
        QImage target = Filled(3, 1, 24, c.c);
        QImage targetAlpha = Filled(3, 1, 8, c.A);
        BlendOver(target, targetAlpha, Filled(1, 1, 24, c.s), Filled(1, 1, 8, c.a), 1, 0);
        EXPECT_EQ(target.constScanLine(0)[3], c.outC) << int(c.a);
        EXPECT_EQ(target.constScanLine(0)[5], c.outC);
        EXPECT_EQ(targetAlpha.constScanLine(0)[1], c.outA);
        EXPECT_EQ(target.constScanLine(0)[0], c.c);  // the pixel left of it is untouched
    }
    // A layer at -10 is composed from its column 10 on; one wholly outside changes nothing.
    QImage target = Filled(20, 4, 8, 255);
    QImage alpha = Filled(20, 4, 8, 0);
    QImage source = NewPicture(30, 2, 8);
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 30; ++x)
            source.scanLine(y)[x] = uchar(x);
    BlendOver(target, alpha, source, Filled(30, 2, 8, 255), -10, 3);
    EXPECT_EQ(target.constScanLine(3)[0], 10);
    EXPECT_EQ(target.constScanLine(3)[19], 29);
    EXPECT_EQ(target.constScanLine(2)[0], 255);
    BlendOver(target, alpha, source, Filled(30, 2, 8, 255), 20, 0);
    BlendOver(target, alpha, source, Filled(30, 2, 8, 255), 0, 4);
    BlendOver(target, alpha, source, Filled(30, 2, 8, 255), -30, 0);
    EXPECT_EQ(target.constScanLine(0)[19], 255);
}

TEST(Compositor, ViewsComposeBottomToTopAtBothResolutions)
{
    Document doc;
    QTemporaryDir dir;
    MakeDocument(doc, 8, 4, 4, 2);  // CMYK
    WorkFolder = dir.path() + QStringLiteral("/");
    for (int i = 0; i < 2; ++i) {
        doc.Layers[i].Left = i * 2;
        doc.Layers[i].Top = 0;
        doc.Layers[i].Width = 4;
        doc.Layers[i].Height = 4;
        doc.LayerViewLeft[i] = doc.Layers[i].Left;
        doc.LayerImages[i] = Filled(4, 4, 32, uchar(10 + i));
        doc.LayerAlphas[i] = Filled(4, 4, 8, 255);
        SaveImage(doc.LayerImages[i], WorkFileName(QStringLiteral("ly"), i + 1));
        SaveImage(doc.LayerAlphas[i], WorkFileName(QStringLiteral("lyt"), i + 1));
    }
    BuildGroupTables(doc);
    for (Resolution r : {Resolution::Working, Resolution::Full}) {
        std::vector<int> progress;
        ComposeView(doc, r, 40, 60, [&](int p) { progress.push_back(p); });
        EXPECT_EQ(progress, (std::vector<int>{60, 80}));
        ASSERT_EQ(doc.ComposedImage.size(), QSize(8, 4));
        const uchar *row = doc.ComposedImage.constScanLine(1);
        EXPECT_EQ(row[0], 10);       // lower layer only
        EXPECT_EQ(row[2 * 4], 11);   // the higher layer wins where both are opaque
        EXPECT_EQ(row[5 * 4 + 3], 11);
        EXPECT_EQ(row[6 * 4 + 3], 255);  // nothing there: white
        // Working coverage stays 255; full resolution starts transparent.
        EXPECT_EQ(doc.ComposedAlpha.constScanLine(0)[7], r == Resolution::Working ? 255 : 0);
        EXPECT_EQ(doc.ComposedAlpha.constScanLine(0)[5], 255);
    }
    // A CMYK composite starts white (no ink) in every byte.
    doc.LayerAlphas[0] = doc.LayerAlphas[1] = Filled(4, 4, 8, 0);
    ComposeView(doc, Resolution::Working);
    for (int x = 0; x < 32; ++x)
        ASSERT_EQ(doc.ComposedImage.constScanLine(3)[x], 255);
}

TEST(Compositor, ReliefLayersUseTheirViewFiles)
{
    Document doc;
    QTemporaryDir dir;
    MakeDocument(doc, 300, 2, 3, 1);
    WorkFolder = dir.path() + QStringLiteral("/");
    doc.PsdDpi = 300 * Fixed4One;
    doc.Layers[0] = Layer{};
    doc.Layers[0].Left = 100;
    doc.Layers[0].Width = 10;
    doc.Layers[0].Height = 2;
    doc.Layers[0].GroupId = 100;
    doc.Layers[0].ReliefDepth = Fixed4One;  // M = Round(300 x 1 / 4) = 75
    doc.LayerViewLeft[0] = 100;
    EXPECT_EQ(ReliefMargin(doc, doc.Layers[0]), 75);
    doc.CurrentView = 2;
    SaveImage(Filled(160, 2, 24, 7), WorkFileName(1, QStringLiteral("xgx"), 3));
    SaveImage(Filled(160, 2, 8, 255), WorkFileName(1, QStringLiteral("xgxt"), 3));
    BuildGroupTables(doc);
    ComposeView(doc, Resolution::Working);
    EXPECT_EQ(doc.ComposedImage.constScanLine(0)[24 * 3], 255);
    EXPECT_EQ(doc.ComposedImage.constScanLine(0)[25 * 3], 7);  // placed at 100 - 75
    // No rendered files for the view: the file error stops the composition.
    doc.CurrentView = 3;
    EXPECT_THROW(ComposeView(doc, Resolution::Working), VistrelError);
}

TEST(Compositor, LayerAloneOnTheCheckerboardAndDisplayConversions)
{
    Document doc;
    MakeDocument(doc, 40, 20, 4, 1);
    doc.Layers[0].Left = 30;
    doc.LayerImages[0] = Filled(5, 5, 32, 0);
    doc.LayerAlphas[0] = Filled(5, 5, 8, 255);
    ComposeLayerAloneImage(doc, 0);
    auto pixel = [&](int x, int y) { return doc.ComposedImage.constScanLine(y)[x * 4]; };
    EXPECT_EQ(pixel(0, 0), 200);
    EXPECT_EQ(pixel(15, 0), 200);
    EXPECT_EQ(pixel(7, 0), 255);
    EXPECT_EQ(pixel(7, 7), 200);
    EXPECT_EQ(pixel(30, 2), 0);  // the layer at its own position
    const QImage rgb = CmykToViewable(doc.ComposedImage);
    ASSERT_EQ(BitsPerPixel(rgb), 24);
    EXPECT_EQ(rgb.constScanLine(0)[0], 157);  // (200 x 200 + 127) div 255
    EXPECT_EQ(rgb.constScanLine(0)[7 * 3], 255);
    QImage cmyk = NewPicture(1, 1, 32);
    const uchar ink[4] = {255, 0, 128, 255};
    std::memcpy(cmyk.scanLine(0), ink, 4);
    const QImage shown = CmykToViewable(cmyk);
    EXPECT_EQ(shown.constScanLine(0)[2], 255);  // red
    EXPECT_EQ(shown.constScanLine(0)[1], 0);    // green
    EXPECT_EQ(shown.constScanLine(0)[0], 128);  // blue
    const QImage grey = GreyToViewable(Filled(2, 1, 8, 33));
    EXPECT_EQ(QByteArray(reinterpret_cast<const char *>(grey.constScanLine(0)), 6), QByteArray(6, 33));
    EXPECT_EQ(BitsPerPixel(GreyToViewable(rgb)), 24);
}

// The print's composer, band by band, gives each view's rows as composing the
// whole view does: with bands of one row (the views shared out over the
// cores), of two rows and of every row (the rows shared out).
TEST(Compositor, BandsOfAnyHeightEqualTheWholeViews)
{
    Document doc;
    QTemporaryDir dir;
    constexpr int Width = 40, Height = 6;
    MakeDocument(doc, Width, Height, 4, 3);  // CMYK: the bytes go through unswapped
    WorkFolder = dir.path() + QStringLiteral("/");
    const int lefts[] = {0, -5, 28}, tops[] = {0, 2, -1}, widths[] = {40, 20, 17}, heights[] = {6, 3, 6};
    for (int i = 0; i < 3; ++i) {
        Layer &l = doc.Layers[size_t(i)];
        l.Left = lefts[i];
        l.Top = tops[i];
        l.Width = widths[i];
        l.Height = heights[i];
        QImage colour = NewPicture(l.Width, l.Height, 32), alpha = NewPicture(l.Width, l.Height, 8);
        for (int y = 0; y < l.Height; ++y)
            for (int x = 0; x < l.Width; ++x) {
                for (int k = 0; k < 4; ++k)
                    colour.scanLine(y)[x * 4 + k] = uchar(30 * i + 7 * x + 11 * y + 50 * k);
                alpha.scanLine(y)[x] = uchar(i == 0 ? 255 : (x * 37 + y * 91 + i * 13) % 256);
            }
        SaveImage(colour, WorkFileName(QStringLiteral("ly"), i + 1));
        SaveImage(alpha, WorkFileName(QStringLiteral("lyt"), i + 1));
    }
    BuildGroupTables(doc);
    doc.Depth = 3 * Fixed4One;
    const std::vector<int32_t> offsets = {0, 9, -6};
    std::vector<int> viewIndexes;
    std::vector<std::vector<int32_t>> viewLefts;
    std::vector<QImage> whole, wholeCover;
    for (int n = 0; n < ViewCount; ++n) {
        PlaceLayersForView(doc, n + 1, offsets, 0);
        viewIndexes.push_back(n);
        viewLefts.push_back(doc.LayerViewLeft);
        doc.CurrentView = n;
        ComposeView(doc, Resolution::Full);
        whole.push_back(doc.ComposedImage);
        wholeCover.push_back(doc.ComposedAlpha);
    }
    for (const int band : {1, 2, Height}) {
        SCOPED_TRACE(band);
        FullResolutionBands bands(doc, viewIndexes, viewLefts);
        std::vector<std::vector<uint8_t>> colour(ViewCount, std::vector<uint8_t>(size_t(Width) * 4 * size_t(band)));
        std::vector<std::vector<uint8_t>> cover(ViewCount, std::vector<uint8_t>(size_t(Width) * size_t(band)));
        std::vector<uint8_t *> colourRows, coverRows;
        for (int n = 0; n < ViewCount; ++n) {
            colourRows.push_back(colour[size_t(n)].data());
            coverRows.push_back(cover[size_t(n)].data());
        }
        for (int first = 0; first < Height; first += band) {
            const int count = std::min(band, Height - first);
            bands.ComposeWhole(first, count, colourRows, coverRows);
            for (int n = 0; n < ViewCount; ++n)
                for (int r = 0; r < count; ++r) {
                    ASSERT_EQ(std::memcmp(colour[size_t(n)].data() + size_t(r) * Width * 4,
                                          whole[size_t(n)].constScanLine(first + r), size_t(Width) * 4), 0)
                        << "view " << n << " row " << first + r;
                    ASSERT_EQ(std::memcmp(cover[size_t(n)].data() + size_t(r) * Width,
                                          wholeCover[size_t(n)].constScanLine(first + r), size_t(Width)), 0)
                        << "view " << n << " row " << first + r;
                }
        }
    }
}
