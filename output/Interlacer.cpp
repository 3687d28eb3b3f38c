#include "Interlacer.h"

#include "Document.h"
#include "Errors.h"
#include "Tiff.h"

#include <QSaveFile>
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

void CheckPrintSize(const PrintGeometry &g, int samples, uint16_t colorMode)
{
    if (g.Columns <= 0 || g.Rows <= 0)
        throw VistrelError(QStringLiteral("The print would be empty: %1 x %2 pixels. Check its width, height and "
                                          "resolution.").arg(g.Columns).arg(g.Rows));
    // Checked in steps so that the product itself cannot overflow.
    constexpr int64_t Largest = 0xFFFFFFFF;  // the TIFF layout's sizes and offsets are 32-bit
    const int64_t pixels = Largest / g.Columns >= g.Rows ? g.Columns * g.Rows : Largest + 1;
    const int64_t bytes = pixels > (Largest - TiffHeaderSize(samples)) / samples
                              ? Largest + 1
                              : TiffHeaderSize(samples) + pixels * samples;
    if (bytes > Largest) {
        const double gigabytes = double(g.Columns) * double(g.Rows) * samples / (1024.0 * 1024 * 1024);
        throw VistrelError(QStringLiteral("The print would be %1 x %2 pixels in %3, %4 GB: more than the 4 GB a "
                                          "TIFF file can hold. Make it narrower, or choose a lower printer "
                                          "resolution or a larger H scale.")
                               .arg(GroupedText(g.Columns), GroupedText(g.Rows),
                                    ColorModeName(colorMode),
                                    QString::number(gigabytes, 'f', 1)),
                           ErrorKind::Input);
    }
}

ColumnTables BuildColumnTables(int32_t columns, Fixed4 lpi, Fixed4 dpi, int views)
{
    ColumnTables t;
    t.ViewStep = RoundDiv(int64_t(views) * lpi * Seven, dpi);
    t.View.resize(size_t(columns) + 1);
    t.Frac.resize(size_t(columns));
    for (int32_t x = 0; x < columns; ++x) {
        const int64_t q = int64_t(x) * t.ViewStep;
        t.View[size_t(x)] = uint8_t((q / Seven) % views);
        t.Frac[size_t(x)] = int16_t(RoundDiv(q % Seven, 10000));
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

void InterlaceViews(const QStringList &viewFiles, int hscale, const QString &outputPath, Fixed4 dpi, Fixed4 lpi,
                    Fixed4 widthInches, Fixed4 heightInches, uint16_t colorMode,
                    const std::function<void(int)> &progress)
{
    auto report = [&](int percent) {
        if (progress)
            progress(percent);
    };
    const int views = int(viewFiles.size());
    if (views == 0)
        throw VistrelError(QStringLiteral("There are no views to interlace."));
    if (hscale < 1)
        throw VistrelError(QStringLiteral("The H scale must be at least 1."));
    if (lpi <= 0 || dpi <= 0)
        throw VistrelError(QStringLiteral("The lens pitch and the printer resolution must be above 0."));
    const PrintGeometry g = ComputePrintGeometry(widthInches, heightInches, lpi, dpi, hscale);
    const int samples = ChannelsOfColorMode(colorMode);
    CheckPrintSize(g, samples, colorMode);

    std::vector<Rtif> records(static_cast<size_t>(views));
    int32_t minW = 300'000, minH = 300'000;
    for (int i = 0; i < views; ++i) {
        const TiffInfo info = ReadTiffInfo(viewFiles[i]);
        if (info.Samples != samples)
            throw VistrelError(QStringLiteral("\"%1\" has %2 samples per pixel instead of %3.")
                                   .arg(viewFiles[i]).arg(info.Samples).arg(samples));
        records[size_t(i)] = {viewFiles[i], info.Width, info.Height, info.DataOffset};
        // Every band buffer has the size of one view's band: a view of another
        // size was not made for this print (another process, a file replaced).
        if (info.Width != records[0].Width || info.Height != records[0].Height)
            throw VistrelError(QStringLiteral("The views do not match: \"%1\" is %2 x %3 pixels, \"%4\" %5 x %6. "
                                              "A view file was changed while Vistrel was working; make the print "
                                              "again.")
                                   .arg(viewFiles[0]).arg(records[0].Width).arg(records[0].Height)
                                   .arg(viewFiles[i]).arg(info.Width).arg(info.Height),
                               ErrorKind::Format);
        minW = std::min(minW, info.Width);
        minH = std::min(minH, info.Height);
        report(int(Round((i + 1) * 20.0 / views)));
    }

    const int band = BandRows(minW, minH, views);
    const int64_t ratioX = RoundDiv(int64_t(minW) * Seven, g.Columns);
    const int64_t ratioY = RoundDiv(int64_t(minH) * Seven, g.Rows);
    const ColumnTables tables = BuildColumnTables(int32_t(g.Columns), lpi, dpi, views);
    std::vector<int32_t> sourceColumn(size_t(g.Columns));
    for (int32_t x = 0; x < g.Columns; ++x)
        sourceColumn[size_t(x)] = int32_t(std::min<int64_t>(int64_t(x) * ratioX / Seven, minW - 1));
    std::vector<int32_t> acc(size_t(g.Columns), 0);

    QSaveFile file(outputPath);
    OpenForSaving(file);
    WriteTiffHeader(file, samples, int32_t(g.Columns), int32_t(g.Rows), dpi, g.VerticalDpi);
    report(25);

    std::vector<std::vector<uint8_t>> buffers(size_t(views),
                                              std::vector<uint8_t>(size_t(minW) * size_t(band) * samples));
    std::vector<uint8_t> row(size_t(g.Columns) * samples);
    const bool invert = samples == 4;
    int lastBand = -1;
    for (int32_t y = 0; y < g.Rows; ++y) {
        const int64_t sy = std::min<int64_t>(int64_t(y) * ratioY / Seven, minH - 1);
        const int rowBand = int(sy / band);
        const int r = int(sy % band);
        if (rowBand > lastBand) {  // bands only advance: each is read once
            for (int v = 0; v < views; ++v)
                ReadTiffRows(records[size_t(v)], rowBand, buffers[size_t(v)].data(), band, samples);
            lastBand = rowBand;
        }
        const size_t rowOffset = size_t(r) * size_t(minW);
        uint8_t *out = row.data();
        for (int32_t x = 0; x < g.Columns; ++x, out += samples) {
            int32_t &a = acc[size_t(x)];
            a += tables.Frac[size_t(x)];
            int view = tables.View[size_t(x)];
            if (a > 999) {
                view = tables.View[size_t(x) + 1];
                a -= 1000;
            }
            const uint8_t *in = buffers[size_t(view)].data() + (rowOffset + size_t(sourceColumn[size_t(x)])) * samples;
            if (invert) {
                for (int k = 0; k < samples; ++k)
                    out[k] = uint8_t(255 - in[k]);
            } else {
                std::memcpy(out, in, size_t(samples));
            }
        }
        const qint64 rowSize = qint64(row.size());
        if (CheckedWrite(file, reinterpret_cast<const char *>(row.data()), rowSize) != rowSize)
            throw VistrelError(QStringLiteral("Stream write error: %1").arg(file.errorString()));
        report(int(Round(y * 73.0 / g.Rows + 25)));
    }
    if (!file.commit())
        throw CreateFileError(outputPath, file.errorString());
    report(100);
}
