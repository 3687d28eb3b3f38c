// The bleed and the marks a press needs around a print, in print pixels. The
// print itself (a whole number of lenses across the trim) is unchanged: the
// bleed continues it past the trim on every side, and the marks stand in a
// margin of paper outside the bleed.
//
//   margin | bleed | trim (the print as ever) | bleed | margin
//
// Crop marks lie on the trim's lines, in the margin, from 1 mm outside the
// bleed; a registration target (a circle and a cross) sits on each side's
// middle; the slug line (file, LPI, DPI, size, date) runs along the bottom.
#pragma once

#include "Numbers.h"
#include "PrintFinish.h"

#include <QImage>
#include <QString>
#include <cstdint>
#include <vector>

// The margin the marks take outside the bleed.
constexpr Fixed4 MarksMarginMm = 12 * Fixed4One;

struct MarksLayout {
    int64_t Columns = 0, Rows = 0;     // the trim: the print as it is without bleed and marks
    int64_t BleedX = 0, BleedY = 0;    // bleed columns and rows on each side
    int64_t MarginX = 0, MarginY = 0;  // the marks' margin on each side; 0 without marks
    int64_t Width() const { return Columns + 2 * (BleedX + MarginX); }
    int64_t Height() const { return Rows + 2 * (BleedY + MarginY); }
    int64_t TrimLeft() const { return MarginX + BleedX; }
    int64_t TrimTop() const { return MarginY + BleedY; }
};

// Millimetres across at `dpi`: the nearest whole number of pixels.
int64_t PixelsOfMm(Fixed4 mm, Fixed4 dpi);
MarksLayout LayOutMarks(int64_t columns, int64_t rows, Fixed4 dpi, Fixed4 verticalDpi, const PrintFinish &finish);

// A piece of the marks: grey, 0 full ink .. 255 paper, at its place in the file.
struct MarkTile {
    int64_t Left = 0, Top = 0;
    QImage Picture;  // Format_Grayscale8
};
// The crop marks, the four targets and the slug line. The slug's text needs a
// QGuiApplication for its font; without one it is left out.
std::vector<MarkTile> DrawMarks(const MarksLayout &layout, Fixed4 dpi, Fixed4 verticalDpi, const QString &slug);

// "name.tif  75.55 lpi  720 dpi  30 x 20 cm  2026-12-10 14:05"
QString SlugLine(const QString &fileName, Fixed4 lpi, Fixed4 dpi, Fixed4 widthCm, Fixed4 heightCm,
                 const QString &dateTime);

// Paper over columns [0, MarginX) and [Width - MarginX, Width) of each row, the
// whole row for a margin row, then the tiles' ink over rows [first, first +
// count) of `rows`. `samples` 1, 3 (paper 255) or 4 (CMYK ink amounts: paper 0).
void LayMarks(const MarksLayout &layout, const std::vector<MarkTile> &tiles, int64_t first, int64_t count,
              uint8_t *rows, int samples);
