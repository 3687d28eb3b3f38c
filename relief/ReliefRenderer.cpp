#include "ReliefRenderer.h"

#include "BmpCodec.h"
#include "Compositor.h"
#include "Errors.h"
#include "Parallel.h"
#include "ReliefLines.h"
#include "Texts.h"
#include "WorkFolder.h"

#include <QPainter>
#include <QPainterPath>
#include <algorithm>
#include <array>
#include <cstdlib>
#include <cstring>
#include <memory>
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

}  // namespace

ReliefGeometry ReliefGeometryOf(const Document &doc, const Layer &layer)
{
    // A relief depth or a 3D depth read from a damaged file could ask for a
    // margin or a shift no picture can have; refuse before any arithmetic wraps.
    const __int128 shift = __int128(doc.ImageWidth) * layer.ReliefDepth * doc.Depth;
    const double margin = FromFixed4(doc.PsdDpi) * std::abs(FromFixed4(layer.ReliefDepth)) / 4;
    if (margin > 100000 || shift > __int128(INT64_MAX) || shift < -__int128(INT64_MAX))
        throw VistrelError(Vistrel::tr("A relief depth of %1 with a 3D depth of %2 is too large to render. "
                                          "Choose a smaller relief depth.")
                               .arg(ShortFixed4Text(layer.ReliefDepth), ShortFixed4Text(doc.Depth)),
                           ErrorKind::Input);
    ReliefGeometry g;
    g.Margin = ReliefMargin(doc, layer);
    g.PaddedWidth = layer.Width + 2 * g.Margin;
    // ImageWidth x layer depth x 3D depth / 30 000 pixels per grey step and view step.
    g.ShiftFactor = RoundDiv(int64_t(doc.ImageWidth) * layer.ReliefDepth * doc.Depth, int64_t(5000) * 6 * Fixed4One);
    g.BaseLevel = BaseLevelOf(layer);
    g.SmoothStep = int32_t(RoundDiv(int64_t(doc.ImageWidth) * layer.Smooth, 500));
    return g;
}

QImage PaintHeightMap(const Document &doc, const LineSet &lines)
{
    QImage canvas(doc.WorkWidth, doc.WorkHeight, QImage::Format_RGB888);
    if (canvas.isNull() && doc.WorkWidth > 0 && doc.WorkHeight > 0)
        throw std::bad_alloc();
    canvas.fill(QColor(BackgroundLevel, BackgroundLevel, BackgroundLevel));
    {
        QPainter painter(&canvas);
        painter.setRenderHint(QPainter::Antialiasing, false);
        const int outline = int(RoundDiv(doc.WorkWidth, 200));
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
            for (const ContourLine &line : lines[size_t(k)]) {
                if (line.empty())
                    continue;
                QPolygonF polygon;
                for (const LinePoint &p : line)
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
    QImage map = NewPicture(doc.WorkWidth, doc.WorkHeight, 8);
    for (int y = 0; y < doc.WorkHeight; ++y) {
        const uchar *in = canvas.constScanLine(y);
        uchar *out = map.scanLine(y);
        for (int x = 0; x < doc.WorkWidth; ++x)
            out[x] = in[3 * x];
    }
    return map;
}

void LayerReliefMapRows(const Document &doc, const QImage &workingMap, const Layer &layer, const ReliefGeometry &g, int first, int count,
                        uchar *out)
{
    // The working map enlarged to the canvas by nearest neighbour, read where
    // the padded layer lies: canvas pixel (X, Y) is map pixel (X - Left + M, Y - Top).
    const int64_t canvasWidth = RoundDiv(int64_t(doc.WorkWidth) * Fixed4One, doc.WorkScale);
    const int64_t canvasHeight = RoundDiv(int64_t(doc.WorkHeight) * Fixed4One, doc.WorkScale);
    const size_t width = size_t(g.PaddedWidth);
    if (workingMap.isNull() || canvasWidth <= 0 || canvasHeight <= 0) {
        std::memset(out, BackgroundLevel, width * size_t(count));
        return;
    }
    const uint8_t fill = workingMap.constScanLine(CentreSample(0, doc.WorkHeight, canvasHeight))
                             [CentreSample(0, doc.WorkWidth, canvasWidth)];
    std::vector<int32_t> column(width, -1);
    for (int32_t i = 0; i < g.PaddedWidth; ++i) {
        const int64_t x = int64_t(i) - g.Margin + layer.Left;
        if (x >= 0 && x < canvasWidth)
            column[size_t(i)] = CentreSample(x, doc.WorkWidth, canvasWidth);
    }
    for (int32_t r = 0; r < count; ++r) {
        uchar *row = out + width * size_t(r);
        const int64_t canvasY = int64_t(first + r) + layer.Top;
        if (canvasY < 0 || canvasY >= canvasHeight) {
            std::memset(row, fill, width);
            continue;
        }
        const uchar *in = workingMap.constScanLine(CentreSample(canvasY, doc.WorkHeight, canvasHeight));
        for (size_t i = 0; i < width; ++i)
            row[i] = column[i] < 0 ? fill : in[column[i]];
    }
}

QImage LayerReliefMap(const Document &doc, const QImage &workingMap, const Layer &layer, const ReliefGeometry &g)
{
    QImage map = NewPicture(g.PaddedWidth, layer.Height, 8);
    std::vector<uchar> rows(size_t(g.PaddedWidth) * size_t(std::max(layer.Height, 0)));
    LayerReliefMapRows(doc, workingMap, layer, g, 0, layer.Height, rows.data());
    for (int y = 0; y < layer.Height; ++y)
        std::memcpy(map.scanLine(y), rows.data() + size_t(g.PaddedWidth) * size_t(y), size_t(g.PaddedWidth));
    return map;
}

void SmoothReliefMapRows(const std::function<const uchar *(int y)> &mapRow, int width, int height, int32_t step,
                         int first, int count, uchar *out)
{
    // Each tap's column for every x, clamped to the map.
    std::array<std::vector<int32_t>, 5> columns;
    for (int t = 0; t < 5; ++t) {
        columns[size_t(t)].resize(size_t(width));
        for (int x = 0; x < width; ++x)
            columns[size_t(t)][size_t(x)] = int32_t(std::clamp<int64_t>(int64_t(x) + int64_t(t - 2) * step, 0, width - 1));
    }
    for (int r = 0; r < count; ++r) {
        const int y = first + r;
        std::array<const uchar *, 5> rows;
        for (int t = 0; t < 5; ++t)
            rows[size_t(t)] = mapRow(int(std::clamp<int64_t>(int64_t(y) + int64_t(t - 2) * step, 0, height - 1)));
        uchar *o = out + size_t(width) * size_t(r);
        for (int x = 0; x < width; ++x) {
            int sum = 0;
            for (int tr = 0; tr < 5; ++tr)
                for (int tc = 0; tc < 5; ++tc)
                    sum += SmoothWeights[size_t(tr)][size_t(tc)] * rows[size_t(tr)][columns[size_t(tc)][size_t(x)]];
            o[x] = uchar(RoundDiv(sum, SmoothWeightSum));
        }
    }
}

QImage SmoothReliefMap(const QImage &map, int32_t step)
{
    if (step == 0 || map.isNull())
        return map;
    const int width = map.width(), height = map.height();
    std::vector<uchar> rows(size_t(width) * size_t(height));
    SmoothReliefMapRows([&](int y) { return map.constScanLine(y); }, width, height, step, 0, height, rows.data());
    QImage out = NewPicture(width, height, 8);
    for (int y = 0; y < height; ++y)
        std::memcpy(out.scanLine(y), rows.data() + size_t(width) * size_t(y), size_t(width));
    return out;
}

void ReliefPassRow(const uchar *src, const uchar *srcAlpha, const uchar *heights, const ReliefGeometry &g,
                   int viewStep, int bytes, uchar *dst, uchar *dstAlpha)
{
    // In CMYK a gap always takes the pixel that opened it.
    const bool cmyk = bytes == 4;
    const int64_t width = g.PaddedWidth;
    const int64_t perStep = int64_t(g.ShiftFactor) * viewStep;
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

void ReliefPass(const QImage &source, const QImage &sourceAlpha, const QImage &map, const ReliefGeometry &g,
                int viewStep, QImage &destination, QImage &destinationAlpha,
                const std::function<void(int row)> &beforeRow)
{
    const int bytes = BitsPerPixel(source) / 8;
    for (int y = 0; y < source.height(); ++y) {
        if (beforeRow)
            beforeRow(y);
        ReliefPassRow(source.constScanLine(y), sourceAlpha.constScanLine(y), map.constScanLine(y), g, viewStep, bytes,
                      destination.scanLine(y), destinationAlpha.scanLine(y));
    }
}

void RenderRelief(const Document &doc, int layerIndex, const LineSet &lines, const std::function<void(int)> &progress, int bandRows)
{
    if (doc.PsdColorMode != ModeGrey && doc.PsdColorMode != ModeRgb && doc.PsdColorMode != ModeCmyk)
        return;
    const Layer &layer = doc.Layers[size_t(layerIndex)];
    const int n = layerIndex + 1;
    const ReliefGeometry g = ReliefGeometryOf(doc, layer);
    const QImage workingMap = PaintHeightMap(doc, lines);
    const int bits = DocumentBits(doc), bytes = bits / 8;
    const int height = std::max(layer.Height, 0);
    const size_t width = size_t(g.PaddedWidth);

    // The layer's rows are read a band at a time; a file of another size than
    // its layer was changed under us.
    BmpRowReader colour(WorkFileName(QStringLiteral("ly"), n));
    BmpRowReader alpha(WorkFileName(QStringLiteral("lyt"), n));
    const bool colourThere = colour.Height() > 0, alphaThere = alpha.Height() > 0;
    if ((colourThere && (colour.Width() != layer.Width || colour.Height() != layer.Height || colour.Bits() != bits)) ||
        (alphaThere && (alpha.Width() != layer.Width || alpha.Height() != layer.Height || alpha.Bits() != 8)))
        throw VistrelError(Vistrel::tr("The work files of layer %1 are not %2 x %3 pixels as the layer is: they "
                                          "were changed while Vistrel was working. Import the PSD again.")
                               .arg(n).arg(layer.Width).arg(layer.Height),
                           ErrorKind::Format);

    // The seven views' files are written as the bands come, from the bottom
    // up (the files hold the bottom row first); the working-size copies take
    // the rows and columns they sample.
    const int smallWidth = int(ScaleByFixed4(g.PaddedWidth, doc.WorkScale));
    const int smallHeight = int(ScaleByFixed4(layer.Height, doc.WorkScale));
    std::vector<std::unique_ptr<BmpRowWriter>> full, fullAlpha;
    std::vector<QImage> small, smallAlpha;
    for (int view = 1; view <= ViewCount; ++view) {
        full.push_back(std::make_unique<BmpRowWriter>(WorkFileName(n, QStringLiteral("gx"), view), g.PaddedWidth,
                                                      height, bits));
        fullAlpha.push_back(std::make_unique<BmpRowWriter>(WorkFileName(n, QStringLiteral("gxt"), view),
                                                           g.PaddedWidth, height, 8));
        small.push_back(NewPicture(smallWidth, smallHeight, bits));
        smallAlpha.push_back(NewPicture(smallWidth, smallHeight, 8));
    }
    std::vector<int32_t> smallColumn(size_t(std::max(smallWidth, 0)));
    for (int x = 0; x < smallWidth; ++x)  // the pixel under the small pixel's centre
        smallColumn[size_t(x)] = std::min(g.PaddedWidth - 1, int32_t((2 * int64_t(x) + 1) * g.PaddedWidth /
                                                                     (2 * int64_t(smallWidth))));

    // A band's smoothed map needs the map 2a rows above and below it.
    const int band = bandRows > 0 ? bandRows : std::max(64, int((8 << 20) / std::max<size_t>(width * (2 * bytes + 4), 1)));
    const int halo = int(std::min<int64_t>(2 * int64_t(g.SmoothStep), height));
    std::vector<uchar> mapRows, smooth(width * size_t(band)), source(width * bytes * size_t(band)),
        sourceAlpha(width * size_t(band)), destination(source.size()), destinationAlpha(sourceAlpha.size());
    int smallRow = smallHeight - 1;  // the working-size row to fill next, from the bottom
    if (progress)
        progress(20);
    for (int end = height; end > 0;) {
        const int first = std::max(0, end - band), count = end - first;
        // The map: smoothed from the enlarged rows around the band.
        const int mapFirst = std::max(0, first - halo), mapEnd = std::min(height, end + halo);
        mapRows.resize(width * size_t(mapEnd - mapFirst));
        LayerReliefMapRows(doc, workingMap, layer, g, mapFirst, mapEnd - mapFirst, mapRows.data());
        if (g.SmoothStep == 0)
            std::memcpy(smooth.data(), mapRows.data() + width * size_t(first - mapFirst), width * size_t(count));
        else
            SmoothReliefMapRows([&](int y) { return mapRows.data() + width * size_t(y - mapFirst); }, g.PaddedWidth,
                                height, g.SmoothStep, first, count, smooth.data());
        // The padded source: the layer's rows with a margin on both sides.
        std::memset(source.data(), doc.PsdColorMode == ModeCmyk ? 255 : 0, source.size());
        std::memset(sourceAlpha.data(), 0, sourceAlpha.size());
        if (colourThere) {
            colour.ReadRows(first, count);
            for (int r = 0; r < count; ++r)
                std::memcpy(source.data() + (width * size_t(r) + size_t(g.Margin)) * bytes, colour.Row(first + r),
                            size_t(layer.Width) * bytes);
        }
        if (alphaThere) {
            alpha.ReadRows(first, count);
            for (int r = 0; r < count; ++r)
                std::memcpy(sourceAlpha.data() + width * size_t(r) + size_t(g.Margin), alpha.Row(first + r),
                            size_t(layer.Width));
        }
        std::memcpy(destination.data(), source.data(), width * bytes * size_t(count));
        std::memcpy(destinationAlpha.data(), sourceAlpha.data(), width * size_t(count));
        // Views 7 to 1, each pass over what the one before it left.
        const int firstSmall = smallRow;
        for (int pass = 1; pass <= ViewCount; ++pass) {
            const int view = 8 - pass;
            ParallelFor(count, [&](int r) {
                ReliefPassRow(source.data() + width * bytes * size_t(r), sourceAlpha.data() + width * size_t(r),
                              smooth.data() + width * size_t(r), g, pass - 4, bytes,
                              destination.data() + width * bytes * size_t(r), destinationAlpha.data() + width * size_t(r));
            });
            full[size_t(view - 1)]->AppendRows(destination.data() + width * bytes * size_t(count - 1), count,
                                               -ptrdiff_t(width) * bytes);
            fullAlpha[size_t(view - 1)]->AppendRows(destinationAlpha.data() + width * size_t(count - 1), count,
                                                    -ptrdiff_t(width));
            QImage &sm = small[size_t(view - 1)];
            QImage &sa = smallAlpha[size_t(view - 1)];
            for (smallRow = firstSmall; smallRow >= 0; --smallRow) {
                const int sy = std::min(height - 1, int((2 * int64_t(smallRow) + 1) * height / (2 * int64_t(smallHeight))));
                if (sy < first)
                    break;
                const uchar *in = destination.data() + width * bytes * size_t(sy - first);
                const uchar *inAlpha = destinationAlpha.data() + width * size_t(sy - first);
                uchar *out = sm.scanLine(smallRow);
                uchar *outAlpha = sa.scanLine(smallRow);
                for (int x = 0; x < smallWidth; ++x) {
                    std::memcpy(out + size_t(x) * bytes, in + size_t(smallColumn[size_t(x)]) * bytes, size_t(bytes));
                    outAlpha[x] = inAlpha[smallColumn[size_t(x)]];
                }
            }
        }
        end = first;
        if (progress)
            progress(20 + int(RoundDiv(int64_t(80) * (height - end), std::max(height, 1))));
    }
    for (int view = 1; view <= ViewCount; ++view) {
        full[size_t(view - 1)]->Commit();
        fullAlpha[size_t(view - 1)]->Commit();
        SaveImage(small[size_t(view - 1)], WorkFileName(n, QStringLiteral("xgx"), view));
        SaveImage(smallAlpha[size_t(view - 1)], WorkFileName(n, QStringLiteral("xgxt"), view));
        if (doc.PsdColorMode != ModeRgb)
            SaveImage(ViewablePicture(small[size_t(view - 1)]), WorkFileName(n, QStringLiteral("xgxv"), view));
    }
    if (progress)
        progress(100);
}

void RenderPendingReliefs(Document &doc, const std::function<void(int)> &progress)
{
    // One run of the progress over all the layers to render.
    const int pending = int(std::count_if(doc.Layers.begin(), doc.Layers.end(),
                                          [](const Layer &l) { return l.GroupId == GroupReliefToRender; }));
    int done = 0;
    for (size_t i = 0; i < doc.Layers.size(); ++i) {
        if (doc.Layers[i].GroupId != GroupReliefToRender)
            continue;
        const LineSet lines = i < doc.LayerLines.size() && !doc.LayerLines[i].empty() ? doc.LayerLines[i] : EmptyLineSet();
        RenderRelief(doc, int(i), lines, [&](int p) {
            if (progress)
                progress((done * 100 + p) / pending);
        });
        ++done;
        // Only once its views are written does the compositor take them.
        doc.Layers[i].GroupId = GroupReliefRendered;
    }
}
