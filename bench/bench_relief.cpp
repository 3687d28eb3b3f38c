// Renders the relief of a 3000 x 2000 RGB layer at 300 dpi with nested lines in
// all fifteen orders, and prints the time of each step and the peak memory
// against the size of the padded layer (colour and coverage).
#include "BmpCodec.h"
#include "Document.h"
#include "LargeDocument.h"
#include "ReliefLines.h"
#include "ReliefRenderer.h"
#include "WorkFolder.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <cmath>
#include <cstdio>

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QTemporaryDir work;
    Document doc;
    WorkFolder = work.path() + QStringLiteral("/");
    doc.ImageWidth = 3000, doc.ImageHeight = 2000;
    doc.WorkWidth = 1200, doc.WorkHeight = 800, doc.WorkScale = 4000;
    doc.PsdDpi = 300 * Fixed4One;
    doc.PsdColorMode = ModeRgb;
    doc.Depth = Fixed4One;
    Layer layer;
    layer.Right = layer.Width = 3000;
    layer.Bottom = layer.Height = 2000;
    layer.BaseOrder = 7, layer.Smooth = 5, layer.ReliefDepth = Fixed4One;
    doc.Layers = {layer};
    doc.LayerCount = 1;
    {
        QImage colour = NewPicture(3000, 2000, 24), alpha = NewPicture(3000, 2000, 8);
        for (int y = 0; y < 2000; ++y) {
            uchar *c = colour.scanLine(y);
            for (int x = 0; x < 3000 * 3; ++x)
                c[x] = uchar((x * 7 + y * 3) & 0xff);
            std::memset(alpha.scanLine(y), 255, 3000);
        }
        SaveImage(colour, WorkFileName(QStringLiteral("ly"), 1));
        SaveImage(alpha, WorkFileName(QStringLiteral("lyt"), 1));
    }
    // Fifteen nested outlines, from the widest (order 14) to the innermost (order 0).
    LineSet lines = EmptyLineSet();
    for (int k = 0; k < OrderCount; ++k) {
        const double r = 30 + (OrderCount - 1 - k) * 24;
        ContourLine line;
        for (int p = 0; p < 60; ++p)
            line.push_back({int(600 + r * 1.5 * std::cos(p * 2 * M_PI / 60)), int(400 + r * std::sin(p * 2 * M_PI / 60))});
        lines[size_t(k)].push_back(line);
    }
    const ReliefGeometry g = ReliefGeometryOf(doc, doc.Layers[0]);
    const double paddedMB = double(g.PaddedWidth) * layer.Height * 4 / 1048576;

    // The whole render first, as the commands run it with its 35 files, so that
    // its peak memory is its own.
    const double before = PeakMemoryMB();
    QElapsedTimer t;
    t.start();
    RenderRelief(doc, 0, lines);
    const qint64 whole = t.elapsed();
    const double peak = PeakMemoryMB();
    std::printf("relief 3000x2000 RGB at 300 dpi, 15 orders: whole render %.2f s wall; peak %.0f MB, %.0f MB above "
                "the %.0f MB before it = %.1f padded layers of %.1f MB (colour and coverage)\n",
                whole / 1000.0, peak, peak - before, before, (peak - before) / paddedMB, paddedMB);

    // Then each step alone.
    t.restart();
    const QImage working = PaintHeightMap(doc, lines);
    const qint64 paint = t.restart();
    const QImage map = LayerReliefMap(doc, working, doc.Layers[0], g);
    const qint64 enlarge = t.restart();
    const QImage smooth = SmoothReliefMap(map, g.SmoothStep);
    const qint64 smoothing = t.restart();
    std::printf("  height map %lld ms, enlargement %lld ms, smoothing %lld ms\n", paint, enlarge, smoothing);
    const QImage source = NewPicture(g.PaddedWidth, layer.Height, 24), alpha = NewPicture(g.PaddedWidth, layer.Height, 8);
    QImage destination = source.copy(), destinationAlpha = alpha.copy();
    t.restart();
    for (int pass = 1; pass <= ViewCount; ++pass) {
        ReliefPass(source, alpha, smooth, g, pass - 4, destination, destinationAlpha);
        std::printf("  pass %d (view %d): %lld ms\n", pass, 8 - pass, t.restart());
    }
    return 0;
}
