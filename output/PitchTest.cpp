#include "PitchTest.h"

#include "Document.h"
#include "Errors.h"
#include "Interlacer.h"
#include "ParameterRules.h"
#include "ReplacingFile.h"
#include "Texts.h"
#include "Tiff.h"

#include <QTemporaryDir>
#include <algorithm>
#include <array>
#include <cstring>

namespace {

// The strips are two inches high.
constexpr Fixed4 StripHeightInches = 2 * Fixed4One;

// Digits and the point in a 5 x 7 font, a row a byte, the high bit on the left.
const std::array<std::array<uint8_t, 7>, 11> Glyphs = {{
    {0x0E, 0x11, 0x13, 0x15, 0x19, 0x11, 0x0E},  // 0
    {0x04, 0x0C, 0x04, 0x04, 0x04, 0x04, 0x0E},  // 1
    {0x0E, 0x11, 0x01, 0x02, 0x04, 0x08, 0x1F},  // 2
    {0x1F, 0x02, 0x04, 0x02, 0x01, 0x11, 0x0E},  // 3
    {0x02, 0x06, 0x0A, 0x12, 0x1F, 0x02, 0x02},  // 4
    {0x1F, 0x10, 0x1E, 0x01, 0x01, 0x11, 0x0E},  // 5
    {0x06, 0x08, 0x10, 0x1E, 0x11, 0x11, 0x0E},  // 6
    {0x1F, 0x01, 0x02, 0x04, 0x08, 0x08, 0x08},  // 7
    {0x0E, 0x11, 0x11, 0x0E, 0x11, 0x11, 0x0E},  // 8
    {0x0E, 0x11, 0x11, 0x0F, 0x01, 0x02, 0x0C},  // 9
    {0x00, 0x00, 0x00, 0x00, 0x00, 0x0C, 0x0C},  // .
}};

// Whether the label `text` has ink at (x, y) of its own box, in font pixels
// (6 a character: 5 and a space).
bool LabelInk(const QString &text, int x, int y)
{
    const int c = x / 6, col = x % 6;
    if (c >= text.size() || col == 5 || y < 0 || y >= 7)
        return false;
    const QChar ch = text[c];
    const int glyph = ch == QLatin1Char('.') ? 10 : ch.digitValue();
    if (glyph < 0)
        return false;
    return (Glyphs[size_t(glyph)][size_t(y)] >> (4 - col)) & 1;
}

}  // namespace

std::vector<Fixed4> PitchTestLpis(const PitchTestSettings &s)
{
    if (s.LpiStep <= 0 || s.LpiFrom > s.LpiTo)
        throw VistrelError(Vistrel::tr("A pitch test needs a step above 0 and a first LPI not above the last."),
                           ErrorKind::Input);
    const int64_t strips = (s.LpiTo - s.LpiFrom) / s.LpiStep + 1;
    if (strips > MaxPitchStrips)
        throw VistrelError(Vistrel::tr("A pitch test of %1 strips is too many; it takes at most %2. Choose a "
                                          "larger step or a narrower range.").arg(strips).arg(MaxPitchStrips),
                           ErrorKind::Input);
    if (s.LpiFrom < LpiLow || s.LpiTo > LpiHigh)
        throw VistrelError(Vistrel::tr("The LPI of a pitch test must be between 9 and 210."), ErrorKind::Input);
    if (s.Dpi < DpiLow || s.Dpi > DpiHigh)
        throw VistrelError(Vistrel::tr("The printer resolution must be between 1 and 100 000 dpi."),
                           ErrorKind::Input);
    if (s.WidthCm <= 0 || s.WidthCm > WidthCmHigh)
        throw VistrelError(Vistrel::tr("The width of a pitch test must be above 0 and at most 21 cm."),
                           ErrorKind::Input);
    std::vector<Fixed4> lpis;
    for (int64_t k = 0; k < strips; ++k)
        lpis.push_back(s.LpiFrom + k * s.LpiStep);
    return lpis;
}

PitchTestLayout PitchTestLayoutOf(const PitchTestSettings &s)
{
    PitchTestLayout l;
    l.Lpis = PitchTestLpis(s);
    const int64_t strips = int64_t(l.Lpis.size());
    // A tenth of an inch of white between strips; the rest shared by the strips,
    // each a whole number of its lenses wide.
    const int64_t gap = std::max<int64_t>(1, RoundDiv(s.Dpi, 10 * Fixed4One));
    const Fixed4 widthInches = CentimetresToInches(s.WidthCm);
    const int64_t totalColumns = RoundDiv(widthInches * s.Dpi, Fixed4One * Fixed4One);
    const int64_t stripColumns = (totalColumns - gap * (strips - 1)) / strips;
    if (stripColumns < 1)
        throw VistrelError(Vistrel::tr("A pitch test of %1 strips does not fit %2 cm at %3 dpi.")
                               .arg(strips).arg(ShortFixed4Text(s.WidthCm), ShortFixed4Text(s.Dpi)),
                           ErrorKind::Input);
    const Fixed4 stripInches = RoundDiv(stripColumns * Fixed4One * Fixed4One, s.Dpi);
    int64_t left = 0;
    int64_t rows = 0;
    for (const Fixed4 lpi : l.Lpis) {
        const PrintGeometry g = ComputePrintGeometry(stripInches, StripHeightInches, lpi, s.Dpi, 1);
        CheckPrintSize(g, 3);
        l.StripLeft.push_back(int32_t(left));
        l.StripColumns.push_back(int32_t(g.Columns));
        left += g.Columns + gap;
        rows = g.Rows;
    }
    l.Width = int32_t(left - gap);
    l.Scale = int32_t(std::max<int64_t>(1, RoundDiv(s.Dpi, 100 * Fixed4One)));
    l.LabelRows = 12 * l.Scale;
    l.Height = int32_t(l.LabelRows + rows);
    return l;
}

PitchTestLayout WritePitchTest(const PitchTestSettings &s, const QString &path,
                               const std::function<void(int)> &progress)
{
    auto report = [&](int p) {
        if (progress)
            progress(p);
    };
    report(0);
    const PitchTestLayout l = PitchTestLayoutOf(s);
    // Each strip is made by the interlacer itself, from seven views of one
    // pixel: view 1 (list position 6) black, the others white.
    QTemporaryDir temporary;
    if (!temporary.isValid())
        throw VistrelError(Vistrel::tr("No folder for the strips of the pitch test: %1")
                               .arg(temporary.errorString()), ErrorKind::File);
    std::vector<Rtif> strips;
    const int32_t stripRows = l.Height - l.LabelRows;
    for (size_t k = 0; k < l.Lpis.size(); ++k) {
        const QString strip = temporary.filePath(QStringLiteral("strip%1.tif").arg(k));
        const Fixed4 inches = RoundDiv(int64_t(l.StripColumns[k]) * Fixed4One * Fixed4One, s.Dpi);
        InterlaceBands(
            ViewCount, 1, 1, 1,
            [](int, int, const std::vector<uint8_t *> &bands, const std::vector<std::vector<int32_t>> &) {
                for (size_t p = 0; p < bands.size(); ++p)
                    std::memset(bands[p], p == ViewCount - 1 ? 0 : 255, 3);
            },
            1, strip, s.Dpi, l.Lpis[k], inches, StripHeightInches, 3);
        const TiffInfo info = ReadTiffInfo(strip);
        if (info.Width != l.StripColumns[k] || info.Height != stripRows)
            throw VistrelError(Vistrel::tr("The strip at %1 lpi came out %2 x %3 pixels instead of %4 x %5.")
                                   .arg(ShortFixed4Text(l.Lpis[k])).arg(info.Width).arg(info.Height)
                                   .arg(l.StripColumns[k]).arg(stripRows));
        strips.push_back({strip, info.Width, info.Height, info.DataOffset});
        report(int(5 + 45 * (k + 1) / l.Lpis.size()));
    }

    ReplacingFile file(path);
    file.Open();
    WriteTiffHeader(file, 3, l.Width, l.Height, s.Dpi, s.Dpi);
    const size_t rowBytes = size_t(l.Width) * 3;
    std::vector<uint8_t> row(rowBytes);
    auto writeRow = [&] {
        if (CheckedWrite(file, reinterpret_cast<const char *>(row.data()), qint64(rowBytes)) != qint64(rowBytes))
            throw StreamWriteError(file);
    };
    // The band of labels: each strip's LPI, centred over it, in black on white.
    std::vector<QString> labels;
    for (const Fixed4 lpi : l.Lpis)
        labels.push_back(ShortFixed4Text(lpi));
    for (int32_t y = 0; y < l.LabelRows; ++y) {
        std::fill(row.begin(), row.end(), uint8_t(255));
        const int fy = (y - 2 * l.Scale) / l.Scale;  // two font pixels of margin on top
        for (size_t k = 0; k < labels.size(); ++k) {
            const int32_t textWidth = int32_t(labels[k].size()) * 6 * l.Scale;
            const int32_t x0 = l.StripLeft[k] + (l.StripColumns[k] - textWidth) / 2;
            for (int32_t x = std::max(0, x0); x < std::min(l.Width, x0 + textWidth); ++x)
                if (y >= 2 * l.Scale && LabelInk(labels[k], (x - x0) / l.Scale, fy))
                    std::memset(row.data() + size_t(x) * 3, 0, 3);
        }
        writeRow();
    }
    // The strips, row by row, white between them.
    std::vector<uint8_t> stripRow;
    for (int32_t y = 0; y < stripRows; ++y) {
        std::fill(row.begin(), row.end(), uint8_t(255));
        for (size_t k = 0; k < strips.size(); ++k) {
            stripRow.resize(size_t(strips[k].Width) * 3);
            ReadTiffRows(strips[k], y, stripRow.data(), 1, 3);
            std::memcpy(row.data() + size_t(l.StripLeft[k]) * 3, stripRow.data(), stripRow.size());
        }
        writeRow();
        if (y % 256 == 0)
            report(int(50 + int64_t(50) * y / std::max(stripRows, 1)));
    }
    if (!file.Commit())
        throw CreateFileError(path, file.errorString());
    report(100);
    return l;
}
