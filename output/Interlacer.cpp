#include "Interlacer.h"

#include "Document.h"
#include "Errors.h"
#include "Parallel.h"
#include "PrintMarks.h"
#include "PrintWriter.h"
#include "Texts.h"
#include "Tiff.h"

#include <QDateTime>
#include <QFileInfo>
#include <algorithm>
#include <cstring>

namespace {

constexpr int64_t Seven = 10'000'000;  // fixed point with seven decimals

}  // namespace

Fixed4 CentimetresToInches(Fixed4 cm)
{
    return RoundDiv(cm * 100, 254);
}

PrintGeometry ComputePrintGeometry(Fixed4 widthInches, Fixed4 heightInches, Fixed4 lpi, Fixed4 dpi, int hscale)
{
    PrintGeometry g;
    g.WidthInches = widthInches;
    g.HeightInches = heightInches;
    // The exact product of the two Fixed4 values, over 10^8.
    g.Lenses = RoundDiv(widthInches * lpi, Fixed4One * Fixed4One);
    g.Columns = RoundDiv(g.Lenses * dpi, lpi);
    g.Rows = Truncate(FromFixed4(heightInches) * FromFixed4(dpi) / hscale);
    g.VerticalDpi = RoundDiv(dpi, hscale);
    return g;
}

void CheckPrintSize(const PrintGeometry &g, uint16_t colorMode)
{
    if (g.Columns <= 0 || g.Rows <= 0)
        throw VistrelError(Vistrel::tr("The print would be empty: %1 x %2 pixels. Check its width, height and "
                                          "resolution.").arg(g.Columns).arg(g.Rows));
    // A side is a 32-bit count in the TIFF directory and in the column tables;
    // the size of the file is not limited (past 4 GB it is a BigTIFF).
    constexpr int64_t LongestSide = INT32_MAX;
    if (g.Columns > LongestSide || g.Rows > LongestSide)
        throw VistrelError(Vistrel::tr("The print would be %1 x %2 pixels in %3: no side can be longer than %4 "
                                          "pixels. Make it narrower, or choose a lower printer resolution or a "
                                          "larger H scale.")
                               .arg(GroupedText(g.Columns), GroupedText(g.Rows), ColorModeName(colorMode),
                                    GroupedText(LongestSide)),
                           ErrorKind::Input);
}

ColumnTables BuildColumnTables(int32_t columns, Fixed4 lpi, Fixed4 dpi, int views, int32_t firstColumn)
{
    ColumnTables t;
    t.ViewStep = RoundDiv(int64_t(views) * lpi * Seven, dpi);
    t.View.resize(size_t(columns) + 1);
    t.Frac.resize(size_t(columns));
    for (int32_t i = 0; i < columns; ++i) {
        // Columns left of the print (its bleed) continue the lenses leftwards.
        const int64_t q = int64_t(firstColumn + i) * t.ViewStep;
        const int64_t strip = q >= 0 ? q / Seven : -((-q + Seven - 1) / Seven);
        t.View[size_t(i)] = uint8_t(((strip % views) + views) % views);
        t.Frac[size_t(i)] = int16_t(RoundDiv(q - strip * Seven, 10000));
    }
    t.View[size_t(columns)] = uint8_t(views - 1);
    return t;
}

int BandRows(int32_t width, int32_t height, int views)
{
    int rows = int(1'000'000 / (int64_t(views) * width));
    rows = std::min(rows, int(height));
    return std::max(rows, 1);
}

namespace {

// One print row's pixels from columns [from, to). A column takes its source
// pixel from the view its lens shows there, or from the following view in a
// share of its rows: its accumulator gains the column's fraction every row and
// the row that carries it past a thousand reads the following view. The views'
// bands lie one after another, so a view is an offset: `now` and `next` hold
// each column's source offset in its own and in the following view.
template <int Samples, bool Invert>
void InterlaceRowPart(const ColumnTables &tables, const uint32_t *now, const uint32_t *next, int16_t *acc,
                      const uint8_t *rows, uint8_t *out, int32_t from, int32_t to)
{
    const int16_t *frac = tables.Frac.data();
    for (int32_t x = from; x < to; ++x) {
        const int a = acc[x] + frac[x];
        const bool carry = a > 999;
        acc[x] = int16_t(carry ? a - 1000 : a);
        const uint8_t *in = rows + (carry ? next[x] : now[x]);
        uint8_t *o = out + size_t(x) * Samples;
        if (Samples == 3 && x + 1 < to) {
            // Four bytes at once; the fourth is the next pixel's, written next.
            uint32_t pixel;
            std::memcpy(&pixel, in, 4);
            std::memcpy(o, &pixel, 4);
        } else if (Samples == 4) {
            uint32_t pixel;
            std::memcpy(&pixel, in, 4);
            if (Invert)
                pixel = ~pixel;  // 255 - b for every byte
            std::memcpy(o, &pixel, 4);
        } else {
            for (int k = 0; k < Samples; ++k)
                o[k] = Invert ? uint8_t(255 - in[k]) : in[k];
        }
    }
}

}  // namespace

void InterlaceBands(int views, int32_t width, int32_t height, int bandRows, const ViewBandFill &fill, int hscale,
                    const QString &outputPath, Fixed4 dpi, Fixed4 lpi, Fixed4 widthInches, Fixed4 heightInches,
                    uint16_t colorMode, const std::function<void(int)> &progress, const PrintFinish &finish)
{
    auto report = [&](int percent) {
        if (progress)
            progress(percent);
    };
    if (views <= 0)
        throw VistrelError(Vistrel::tr("There are no views to interlace."));
    if (hscale < 1)
        throw VistrelError(Vistrel::tr("The H scale must be at least 1."));
    if (lpi <= 0 || dpi <= 0)
        throw VistrelError(Vistrel::tr("The lens pitch and the printer resolution must be above 0."));
    const PrintGeometry g = ComputePrintGeometry(widthInches, heightInches, lpi, dpi, hscale);
    const int samples = ChannelsOfColorMode(colorMode);
    CheckPrintSize(g, colorMode);
    if (width <= 0 || height <= 0)
        throw VistrelError(Vistrel::tr("The views are empty."));

    // A column's source offsets are 32-bit: the bands of all views together
    // stay under 4 GB.
    const int64_t widestBand = (int64_t(UINT32_MAX) - 4) / (int64_t(views) * width * samples);
    const int band = int(std::max<int64_t>(1, std::min<int64_t>({bandRows, height, widestBand})));
    const int64_t ratioX = RoundDiv(int64_t(width) * Seven, g.Columns);
    const int64_t ratioY = RoundDiv(int64_t(height) * Seven, g.Rows);
    // The bleed's columns and rows continue the print; the marks' margin is paper.
    const MarksLayout layout = LayOutMarks(g.Columns, g.Rows, dpi, g.VerticalDpi, finish);
    PrintGeometry whole = g;  // the file's sides, bleed and margin included, must be countable too
    whole.Columns = layout.Width();
    whole.Rows = layout.Height();
    CheckPrintSize(whole, colorMode);
    const int64_t interlaced = g.Columns + 2 * layout.BleedX;  // columns made from the views
    const ColumnTables tables = BuildColumnTables(int32_t(interlaced), lpi, dpi, views, int32_t(-layout.BleedX));
    // The views' bands lie one after another in one buffer.
    const size_t viewRowBytes = size_t(width) * samples;
    const size_t viewBandBytes = viewRowBytes * size_t(band);
    // Four bytes more: a pixel of three is read as four.
    std::vector<uint8_t> buffer(viewBandBytes * size_t(views) + 4);
    std::vector<uint8_t *> bands(static_cast<size_t>(views));
    for (int v = 0; v < views; ++v)
        bands[size_t(v)] = buffer.data() + viewBandBytes * size_t(v);
    // The columns each view is read at: its own columns, and those of the
    // columns that reach into it from the view before. A bleed column takes
    // the view's edge column.
    std::vector<uint32_t> now(static_cast<size_t>(interlaced)), next(static_cast<size_t>(interlaced));
    std::vector<std::vector<int32_t>> columns(static_cast<size_t>(views));
    const int64_t lastOfPrint = layout.BleedX + g.Columns - 1;
    for (int64_t i = 0; i < interlaced; ++i) {
        const int64_t x = i - layout.BleedX;
        const int32_t sx = int32_t(std::clamp<int64_t>(x * ratioX / Seven, 0, width - 1));
        // The print's last column mixes with nothing beyond it, bleed or not.
        const int view = tables.View[size_t(i)];
        const int following = i == lastOfPrint ? views - 1 : tables.View[size_t(i) + 1];
        now[size_t(i)] = uint32_t(viewBandBytes * size_t(view) + size_t(sx) * samples);
        next[size_t(i)] = uint32_t(viewBandBytes * size_t(following) + size_t(sx) * samples);
        columns[size_t(view)].push_back(sx);
        if (tables.Frac[size_t(i)] > 0)
            columns[size_t(following)].push_back(sx);
    }
    for (std::vector<int32_t> &c : columns) {
        std::sort(c.begin(), c.end());
        c.erase(std::unique(c.begin(), c.end()), c.end());
    }
    std::vector<int16_t> acc(static_cast<size_t>(interlaced), 0);

    const std::unique_ptr<PrintWriter> file =
        OpenPrintWriter(outputPath, samples, layout.Width(), layout.Height(), dpi, g.VerticalDpi, finish);
    const std::vector<MarkTile> tiles =
        DrawMarks(layout, dpi, g.VerticalDpi,
                  SlugLine(QFileInfo(outputPath).fileName(), lpi, dpi, ToFixed4(g.Columns / FromFixed4(dpi) * 2.54),
                           ToFixed4(g.Rows / FromFixed4(g.VerticalDpi) * 2.54),
                           QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-dd HH:mm"))));
    report(1);

    const size_t printRowBytes = size_t(layout.Width()) * samples;
    const size_t leftMargin = size_t(layout.MarginX) * samples;
    // Print rows are made a chunk at a time, the columns shared out over the
    // cores; a chunk holds at most about 8 MB and never crosses a band.
    const int64_t chunkRows = std::max<int64_t>(1, (8 << 20) / int64_t(printRowBytes));
    // Two chunks take turns: one is written out on a thread of its own while
    // the next is made.
    std::vector<uint8_t> chunks[2];
    for (std::vector<uint8_t> &c : chunks)
        c.resize(printRowBytes * size_t(std::min<int64_t>(chunkRows, layout.Height())));
    int turn = 0;
    const int parts = int(std::min<int64_t>(WorkerCount(), std::max<int64_t>(1, interlaced / 1024)));
    // Print row y (negative in the top bleed) comes from source row ...
    auto sourceRow = [&](int64_t y) { return std::clamp<int64_t>(y * ratioY / Seven, 0, height - 1); };
    // ... and file row o is print row o - top; the margin's rows are paper.
    const int64_t top = layout.TrimTop(), firstMade = layout.MarginY, endMade = layout.Height() - layout.MarginY;
    int lastBand = -1;
    for (int64_t o = 0; o < layout.Height();) {
        std::vector<uint8_t> &chunk = chunks[turn];
        int64_t end = o + 1;
        if (o < firstMade || o >= endMade) {
            end = std::min(o < firstMade ? firstMade : layout.Height(), o + chunkRows);
        } else {
            const int rowBand = int(sourceRow(o - top) / band);
            if (rowBand > lastBand) {  // bands only advance: each is made once
                const int first = rowBand * band;
                fill(first, std::min(band, int(height) - first), bands, columns);
                lastBand = rowBand;
            }
            while (end < endMade && end - o < chunkRows && sourceRow(end - top) / band == rowBand)
                ++end;
            ParallelFor(parts, [&](int part) {
                const int32_t from = int32_t(interlaced * part / parts), to = int32_t(interlaced * (part + 1) / parts);
                for (int64_t row = o; row < end; ++row) {
                    // The trim's first row starts the carries afresh, so that the
                    // print is the same with a bleed above it or none.
                    if (row == top)
                        std::fill(acc.begin() + from, acc.begin() + to, int16_t(0));
                    const uint8_t *rows = buffer.data() + size_t(sourceRow(row - top) % band) * viewRowBytes;
                    uint8_t *out = chunk.data() + size_t(row - o) * printRowBytes + leftMargin;
                    switch (samples) {
                    case 1: InterlaceRowPart<1, false>(tables, now.data(), next.data(), acc.data(), rows, out, from, to); break;
                    case 3: InterlaceRowPart<3, false>(tables, now.data(), next.data(), acc.data(), rows, out, from, to); break;
                    default:  // CMYK: the views hold 255 for no ink, the print 0
                        InterlaceRowPart<4, true>(tables, now.data(), next.data(), acc.data(), rows, out, from, to);
                        break;
                    }
                }
            });
        }
        if (layout.MarginX > 0)
            LayMarks(layout, tiles, o, end - o, chunk.data(), samples);
        file->WriteRows(chunk.data(), end - o);
        turn = 1 - turn;
        o = end;
        report(int(1 + o * 98 / layout.Height()));
    }
    file->Commit();
    report(100);
}

void InterlaceViews(const QStringList &viewFiles, int hscale, const QString &outputPath, Fixed4 dpi, Fixed4 lpi,
                    Fixed4 widthInches, Fixed4 heightInches, uint16_t colorMode,
                    const std::function<void(int)> &progress, const PrintFinish &finish)
{
    const int views = int(viewFiles.size());
    if (views == 0)
        throw VistrelError(Vistrel::tr("There are no views to interlace."));
    const int samples = ChannelsOfColorMode(colorMode);
    std::vector<Rtif> records(static_cast<size_t>(views));
    for (int i = 0; i < views; ++i) {
        const TiffInfo info = ReadTiffInfo(viewFiles[i]);
        if (info.Samples != samples)
            throw VistrelError(Vistrel::tr("\"%1\" has %2 samples per pixel instead of %3.")
                                   .arg(viewFiles[i]).arg(info.Samples).arg(samples));
        records[size_t(i)] = {viewFiles[i], info.Width, info.Height, info.DataOffset};
        // Every band buffer has the size of one view's band: a view of another
        // size was not made for this print (another process, a file replaced).
        if (info.Width != records[0].Width || info.Height != records[0].Height)
            throw VistrelError(Vistrel::tr("The views do not match: \"%1\" is %2 x %3 pixels, \"%4\" %5 x %6. "
                                              "A view file was changed while Vistrel was working; make the print "
                                              "again.")
                                   .arg(viewFiles[0]).arg(records[0].Width).arg(records[0].Height)
                                   .arg(viewFiles[i]).arg(info.Width).arg(info.Height),
                               ErrorKind::Format);
    }
    const int32_t width = records[0].Width, height = records[0].Height;
    const int band = BandRows(width, height, views);
    InterlaceBands(
        views, width, height, band,
        [&](int first, int, const std::vector<uint8_t *> &buffers, const std::vector<std::vector<int32_t>> &) {
            for (int v = 0; v < views; ++v)
                ReadTiffRows(records[size_t(v)], first / band, buffers[size_t(v)], band, samples);
        },
        hscale, outputPath, dpi, lpi, widthInches, heightInches, colorMode, progress, finish);
}
