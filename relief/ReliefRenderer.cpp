#include "ReliefRenderer.h"

#include "BmpCodec.h"
#include "Compositor.h"
#include "Errors.h"
#include "ReliefLines.h"
#include "WorkFolder.h"

#include <QPainter>
#include <QPainterPath>
#include <algorithm>
#include <array>
#include <cstdlib>
#include <cstring>
#include <new>
#include <vector>

namespace {

// The kernel of the smoothing, rows and columns at -2a, -a, 0, +a, +2a.
constexpr std::array<std::array<int, 5>, 5> SmoothWeights = {{
    {0, 2, 2, 2, 0},
    {2, 3, 3, 3, 2},
    {2, 3, 4, 3, 2},
    {2, 3, 3, 3, 2},
    {0, 2, 2, 2, 0},
}};
constexpr int SmoothWeightSum = 52;

// The source pixel under the centre of target pixel `x` when `sourceSize`
// pixels are stretched to `targetSize`.
int32_t CentreSample(int64_t x, int64_t sourceSize, int64_t targetSize)
{
    return int32_t(std::min(sourceSize - 1, (2 * x + 1) * sourceSize / (2 * targetSize)));
}

// The layer's picture widened by `margin` on both sides, the margins filled
// with `fill` in every byte.
QImage Widened(const QImage &picture, int width, int height, int bits, int margin, uint8_t fill)
{
    QImage out = NewPicture(width + 2 * margin, height, bits);
    const int bytes = bits / 8;
    for (int y = 0; y < height; ++y) {
        uchar *row = out.scanLine(y);
        std::memset(row, fill, size_t(out.width()) * bytes);
        if (!picture.isNull())
            std::memcpy(row + size_t(margin) * bytes, picture.constScanLine(y), size_t(width) * bytes);
    }
    return out;
}

}  // namespace

ReliefGeometry ReliefGeometryOf(const Tlayer &layer)
{
    // A relief depth or a 3D depth read from a damaged file could ask for a
    // margin or a shift no picture can have; refuse before any arithmetic wraps.
    const __int128 shift = __int128(ImageWidth) * layer.ReliefDepth * Depth;
    const double margin = FromFixed4(PsdDpi) * std::abs(FromFixed4(layer.ReliefDepth)) / 4;
    if (margin > 100000 || shift > __int128(INT64_MAX) || shift < -__int128(INT64_MAX))
        throw VistrelError(QStringLiteral("A relief depth of %1 with a 3D depth of %2 is too large to render. "
                                          "Choose a smaller relief depth.")
                               .arg(ShortFixed4Text(layer.ReliefDepth), ShortFixed4Text(Depth)),
                           ErrorKind::Input);
    ReliefGeometry g;
    g.Margin = ReliefMargin(layer);
    g.PaddedWidth = layer.Width + 2 * g.Margin;
    // ImageWidth x layer depth x 3D depth / 30 000 pixels per grey step and view step.
    g.ShiftFactor = RoundDiv(int64_t(ImageWidth) * layer.ReliefDepth * Depth, int64_t(5000) * 6 * Fixed4One);
    g.BaseLevel = BaseLevelOf(layer);
    g.SmoothStep = int32_t(RoundDiv(int64_t(ImageWidth) * layer.Smooth, 500));
    return g;
}

QImage PaintHeightMap(const Tnlayer &lines)
{
    QImage canvas(WorkWidth, WorkHeight, QImage::Format_RGB888);
    if (canvas.isNull() && WorkWidth > 0 && WorkHeight > 0)
        throw std::bad_alloc();
    canvas.fill(QColor(BackgroundLevel, BackgroundLevel, BackgroundLevel));
    {
        QPainter painter(&canvas);
        painter.setRenderHint(QPainter::Antialiasing, false);
        const int outline = int(RoundDiv(WorkWidth, 200));
        // Higher orders first: the lower indices cover them, so nested lines
        // give rising plateaus with order "1" on top.
        for (int k = int(std::min<size_t>(lines.size(), OrderCount)) - 1; k >= 0; --k) {
            const int g = LevelOfOrder(k);
            // A picture under 100 pixels wide gets no outline rather than a hairline.
            if (outline > 0)
                painter.setPen(QPen(QColor(g, g, g), outline, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
            else
                painter.setPen(Qt::NoPen);
            painter.setBrush(QColor(g, g, g));
            for (const Tline &line : lines[size_t(k)]) {
                if (line.empty())
                    continue;
                QPolygonF polygon;
                for (const TPoint32 &p : line)
                    polygon << QPointF(p.x, p.y);
                QPainterPath path;
                path.setFillRule(Qt::OddEvenFill);
                path.addPolygon(polygon);
                path.closeSubpath();
                painter.drawPath(path);
            }
        }
    }
    // The levels are grey: the red channel is the map.
    QImage map = NewPicture(WorkWidth, WorkHeight, 8);
    for (int y = 0; y < WorkHeight; ++y) {
        const uchar *in = canvas.constScanLine(y);
        uchar *out = map.scanLine(y);
        for (int x = 0; x < WorkWidth; ++x)
            out[x] = in[3 * x];
    }
    return map;
}

QImage LayerReliefMap(const QImage &workingMap, const Tlayer &layer, const ReliefGeometry &g)
{
    // The working map enlarged to the canvas by nearest neighbour, read where
    // the padded layer lies: canvas pixel (X, Y) is map pixel (X - Left + M, Y - Top).
    const int64_t canvasWidth = RoundDiv(int64_t(WorkWidth) * Fixed4One, WorkScale);
    const int64_t canvasHeight = RoundDiv(int64_t(WorkHeight) * Fixed4One, WorkScale);
    QImage map = NewPicture(g.PaddedWidth, layer.Height, 8);
    map.fill(BackgroundLevel);
    if (workingMap.isNull() || canvasWidth <= 0 || canvasHeight <= 0)
        return map;
    const uint8_t fill = workingMap.constScanLine(CentreSample(0, WorkHeight, canvasHeight))
                             [CentreSample(0, WorkWidth, canvasWidth)];
    std::vector<int32_t> column(size_t(g.PaddedWidth), -1);
    for (int32_t i = 0; i < g.PaddedWidth; ++i) {
        const int64_t x = int64_t(i) - g.Margin + layer.Left;
        if (x >= 0 && x < canvasWidth)
            column[size_t(i)] = CentreSample(x, WorkWidth, canvasWidth);
    }
    for (int32_t y = 0; y < layer.Height; ++y) {
        uchar *out = map.scanLine(y);
        const int64_t canvasY = int64_t(y) + layer.Top;
        if (canvasY < 0 || canvasY >= canvasHeight) {
            std::memset(out, fill, size_t(g.PaddedWidth));
            continue;
        }
        const uchar *in = workingMap.constScanLine(CentreSample(canvasY, WorkHeight, canvasHeight));
        for (int32_t i = 0; i < g.PaddedWidth; ++i)
            out[i] = column[size_t(i)] < 0 ? fill : in[column[size_t(i)]];
    }
    return map;
}

QImage SmoothReliefMap(const QImage &map, int32_t step)
{
    if (step == 0 || map.isNull())
        return map;
    const int width = map.width(), height = map.height();
    // Each tap's column for every x, clamped to the map.
    std::array<std::vector<int32_t>, 5> columns;
    for (int t = 0; t < 5; ++t) {
        columns[size_t(t)].resize(size_t(width));
        for (int x = 0; x < width; ++x)
            columns[size_t(t)][size_t(x)] = std::clamp<int64_t>(int64_t(x) + int64_t(t - 2) * step, 0, width - 1);
    }
    QImage out = NewPicture(width, height, 8);
    for (int y = 0; y < height; ++y) {
        std::array<const uchar *, 5> rows;
        for (int t = 0; t < 5; ++t)
            rows[size_t(t)] = map.constScanLine(int(std::clamp<int64_t>(int64_t(y) + int64_t(t - 2) * step, 0,
                                                                       height - 1)));
        uchar *o = out.scanLine(y);
        for (int x = 0; x < width; ++x) {
            int sum = 0;
            for (int r = 0; r < 5; ++r)
                for (int c = 0; c < 5; ++c)
                    sum += SmoothWeights[size_t(r)][size_t(c)] * rows[size_t(r)][columns[size_t(c)][size_t(x)]];
            o[x] = uchar(RoundDiv(sum, SmoothWeightSum));
        }
    }
    return out;
}

void ReliefPass(const QImage &source, const QImage &sourceAlpha, const QImage &map, const ReliefGeometry &g,
                int viewStep, QImage &destination, QImage &destinationAlpha,
                const std::function<void(int row)> &beforeRow)
{
    const int bytes = BitsPerPixel(source) / 8;
    // In CMYK a gap always takes the pixel that opened it.
    const bool cmyk = bytes == 4;
    const int64_t width = g.PaddedWidth;
    const int64_t perStep = int64_t(g.ShiftFactor) * viewStep;
    for (int y = 0; y < source.height(); ++y) {
        if (beforeRow)
            beforeRow(y);
        const uchar *src = source.constScanLine(y);
        const uchar *srcAlpha = sourceAlpha.constScanLine(y);
        const uchar *heights = map.constScanLine(y);
        uchar *dst = destination.scanLine(y);
        uchar *dstAlpha = destinationAlpha.scanLine(y);
        // Writes source pixel `from` at positions first..last that lie in the row.
        auto write = [&](int64_t first, int64_t last, int64_t from) {
            first = std::max<int64_t>(first, 0);
            last = std::min(last, width - 1);
            for (int64_t t = first; t <= last; ++t) {
                std::memcpy(dst + t * bytes, src + from * bytes, size_t(bytes));
                dstAlpha[t] = srcAlpha[from];
            }
        };
        int64_t last = 0;
        for (int64_t i = 0; i < width; ++i) {
            const int64_t dv = int64_t(heights[i]) - g.BaseLevel;
            const int64_t pos = RoundDiv(dv * perStep + i * Fixed4One, Fixed4One);
            if (pos - last > 0) {
                if (i >= last) {
                    write(last + 1, pos, i);
                } else {
                    write(last + 1, pos - 1, cmyk ? i : i - 1);
                    write(pos, pos, i);
                }
                last = pos;
            } else if (i >= last) {
                last = pos;
                write(pos, pos, i);
            }
            // Otherwise the pixel is covered and dropped.
        }
    }
}

void RenderRelief(int layerIndex, const Tnlayer &lines, const std::function<void(int)> &progress)
{
    if (PsdColorMode != ModeGrey && PsdColorMode != ModeRgb && PsdColorMode != ModeCmyk)
        return;
    const Tlayer &layer = Layers[size_t(layerIndex)];
    const int n = layerIndex + 1;
    const ReliefGeometry g = ReliefGeometryOf(layer);
    const QImage map = SmoothReliefMap(LayerReliefMap(PaintHeightMap(lines), layer, g), g.SmoothStep);

    // The layer's pictures are only needed to make the padded source.
    QImage source, sourceAlpha;
    {
        const QImage colour = LoadImage(WorkFileName(QStringLiteral("ly"), n));
        const QImage alpha = LoadImage(WorkFileName(QStringLiteral("lyt"), n));
        const QSize size(layer.Width, layer.Height);
        if ((!colour.isNull() && colour.size() != size) || (!alpha.isNull() && alpha.size() != size) ||
            (!colour.isNull() && BitsPerPixel(colour) != DocumentBits()) ||
            (!alpha.isNull() && BitsPerPixel(alpha) != 8))
            throw VistrelError(QStringLiteral("The work files of layer %1 are not %2 x %3 pixels as the layer is: they "
                                              "were changed while Vistrel was working. Import the PSD again.")
                                   .arg(n).arg(layer.Width).arg(layer.Height),
                               ErrorKind::Format);
        source = Widened(colour, layer.Width, layer.Height, DocumentBits(), g.Margin,
                         PsdColorMode == ModeCmyk ? 255 : 0);
        sourceAlpha = Widened(alpha, layer.Width, layer.Height, 8, g.Margin, 0);
    }
    QImage destination = source.copy();
    QImage destinationAlpha = sourceAlpha.copy();

    const int smallWidth = int(ScaleByFixed4(g.PaddedWidth, WorkScale));
    const int smallHeight = int(ScaleByFixed4(layer.Height, WorkScale));
    for (int pass = 1; pass <= ViewCount; ++pass) {
        const int view = 8 - pass;
        const int base = int(Round((pass - 1) * 80.0 / 7)) + 20;
        int shown = -1;
        ReliefPass(source, sourceAlpha, map, g, pass - 4, destination, destinationAlpha, [&](int y) {
            const int percent = base + int(Round(80.0 / 7 / layer.Height * y));
            if (progress && percent != shown)
                progress(shown = percent);
        });
        SaveImage(destination, WorkFileName(n, QStringLiteral("gx"), view));
        SaveImage(destinationAlpha, WorkFileName(n, QStringLiteral("gxt"), view));
        const QImage small = ScaleNearest(destination, smallWidth, smallHeight);
        SaveImage(small, WorkFileName(n, QStringLiteral("xgx"), view));
        SaveImage(ScaleNearest(destinationAlpha, smallWidth, smallHeight), WorkFileName(n, QStringLiteral("xgxt"), view));
        if (PsdColorMode != ModeRgb)
            SaveImage(ViewablePicture(small), WorkFileName(n, QStringLiteral("xgxv"), view));
    }
    if (progress)
        progress(100);
}

void RenderPendingReliefs(const std::function<void(int)> &progress)
{
    for (size_t i = 0; i < Layers.size(); ++i) {
        if (Layers[i].GroupId != GroupReliefToRender)
            continue;
        const Tnlayer lines = i < LayerLines.size() && !LayerLines[i].empty() ? LayerLines[i] : EmptyLineSet();
        RenderRelief(int(i), lines, progress);
        // Only once its views are written does the compositor take them.
        Layers[i].GroupId = GroupReliefRendered;
    }
}
