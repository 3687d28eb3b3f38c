// The interlacer: cuts the print into columns at the printer's resolution and
// fills each column from the view the lens above it shows there. Under each
// lens the seven views follow one another, view 7 first. A column that falls
// across the border of two views takes the following view in a share of its
// rows equal to how far it reaches into it, spread evenly down the column.
//
// The views are read from their TIFF files in bands of rows and the print is
// written row by row, so memory does not grow with the print size: about
// 1 000 000 source pixels for all views together, plus one print row.
#pragma once

#include "Numbers.h"
#include "PrintFinish.h"

#include <QString>
#include <QStringList>
#include <cstdint>
#include <functional>
#include <vector>

struct PrintGeometry {
    Fixed4 WidthInches = 0;
    Fixed4 HeightInches = 0;
    int64_t Lenses = 0;       // the print is a whole number of lenses wide
    int64_t Columns = 0;      // OW
    int64_t Rows = 0;         // R
    Fixed4 VerticalDpi = 0;   // dpi / HScale
};

// Centimetres to inches, four decimals.
Fixed4 CentimetresToInches(Fixed4 cm);
PrintGeometry ComputePrintGeometry(Fixed4 widthInches, Fixed4 heightInches, Fixed4 lpi, Fixed4 dpi, int hscale);

// Per output column: the list position of the view strip its left edge lies in,
// and how far into that strip, in thousandths. View has one entry more than the
// columns (the following column of the last one).
struct ColumnTables {
    int64_t ViewStep = 0;  // view strips per column, times 10^7
    std::vector<uint8_t> View;
    std::vector<int16_t> Frac;
};
// A print that would be empty, or longer on a side than TIFF counts, throws
// VistrelError saying what to change. Its file may pass 4 GB: it is then a BigTIFF.
void CheckPrintSize(const PrintGeometry &g, uint16_t colorMode);

// `firstColumn` below 0: the tables start that many columns left of the
// print, in its bleed, continuing the lenses.
ColumnTables BuildColumnTables(int32_t columns, Fixed4 lpi, Fixed4 dpi, int views, int32_t firstColumn = 0);

// Source rows read per band: 1 000 000 div (views x width), at most the height,
// at least one (views wider than 142 857 pixels get bands of one row).
int BandRows(int32_t width, int32_t height, int views);

// Rows of the views for the interlacer: rows first .. first + count - 1 of
// every view into bands[p] (list position p, count rows of the views' width),
// needed only at the columns columns[p] (ascending) the print reads.
using ViewBandFill = std::function<void(int first, int count, const std::vector<uint8_t *> &bands,
                                        const std::vector<std::vector<int32_t>> &columns)>;

// Writes the print from views `width` x `height` pixels given band by band,
// `bandRows` rows at a time. `progress` gets 0..100.
void InterlaceBands(int views, int32_t width, int32_t height, int bandRows, const ViewBandFill &fill, int hscale,
                    const QString &outputPath, Fixed4 dpi, Fixed4 lpi, Fixed4 widthInches, Fixed4 heightInches,
                    uint16_t colorMode, const std::function<void(int)> &progress = {},
                    const PrintFinish &finish = {});

// Writes the print. `viewFiles` are TIFF files of our layout, list position 0
// first (view 7 first). `progress` gets 0..100. The file appears under its
// name only when complete. CMYK samples are inverted (the views hold 255 for
// no ink, the print 0).
void InterlaceViews(const QStringList &viewFiles, int hscale, const QString &outputPath, Fixed4 dpi, Fixed4 lpi,
                    Fixed4 widthInches, Fixed4 heightInches, uint16_t colorMode,
                    const std::function<void(int)> &progress = {}, const PrintFinish &finish = {});
