// The rules of the 3D and print settings, shared by the window's fields and
// commands and by the batch mode: the limits of each value and what replaces a
// value outside them, "(Auto)" resolution, the print height that follows the
// width, and the reading of every field a command takes. Each function takes
// the texts as typed and returns what to store and what the fields must show;
// a text that is not a number throws VistrelError with the conversion message.
#pragma once

#include "Numbers.h"
#include "PrintFinish.h"

#include <QString>
#include <QStringList>
#include <cstdint>
#include <optional>
#include <vector>

constexpr Fixed4 LpiLow = 9 * Fixed4One;
constexpr Fixed4 LpiHigh = 210 * Fixed4One;
constexpr Fixed4 LpiReplacement = 755500;  // 75.55
constexpr Fixed4 DepthLimit = 10 * Fixed4One;  // -10 .. 10
constexpr Fixed4 DepthReplacement = 2 * Fixed4One;
constexpr Fixed4 WidthCmHigh = 21 * Fixed4One;
constexpr Fixed4 DpiLow = 1 * Fixed4One;
constexpr Fixed4 DpiHigh = 100000 * Fixed4One;
constexpr int HScaleLow = 1;
constexpr int HScaleHigh = 32;
// "(Auto)" puts one printer pixel of each of the seven views under every lens.
constexpr int AutoPixelsPerLens = 7;

// A value after its limits; `Shown` is the text its field must show when the
// value was replaced (empty: the field keeps what was typed).
struct CheckedValue {
    Fixed4 Value = 0;
    bool Replaced = false;
    QString Shown;
};

CheckedValue CheckLpi(Fixed4 lpi);          // outside 9..210: 75.55, shown
CheckedValue CheckDepth(Fixed4 depth);      // outside -10..10: 2, the field keeps its text
// Above the widest print (21 cm unless lifted): the widest, shown.
CheckedValue CheckWidthCm(Fixed4 widthCm, Fixed4 maxWidthCm = WidthCmHigh);
// What a print shop may lift the widest print to: 1 cm to 100 m.
constexpr Fixed4 MaxWidthCmLow = 1 * Fixed4One;
constexpr Fixed4 MaxWidthCmHigh = 10000 * Fixed4One;
inline bool MaxWidthCmInLimits(Fixed4 cm) { return cm >= MaxWidthCmLow && cm <= MaxWidthCmHigh; }
// A focus row outside 1..layerCount means no focus row: 0.
int32_t CheckFocusRow(int32_t row, int layerCount);

// The offset of the focus row among offsets by layer index; 0 without a focus row.
int32_t FocusOffsetIn(const std::vector<int32_t> &offsets, int32_t focusRow);

// "(Auto)" in the window, "auto" on the command line.
bool IsAutoDpiText(const QString &text);
// The resolution a print is made at: 7 x LPI for "(Auto)", exactly.
Fixed4 AutoDpi7(Fixed4 lpi);
// The print height that keeps the picture's proportion.
Fixed4 PrintHeightCm(Fixed4 widthCm, Fixed4 aspectRatio);
QString PrintHeightText(double widthCm, Fixed4 aspectRatio);

// The message for a value a script typed outside its limits.
QString OutOfLimitsText(const QString &what, Fixed4 low, Fixed4 high, const QString &typed);

// What the print export takes from the fields: LPI, resolution, width, height
// (empty: from the width and the proportion) and H scale, as typed.
struct PrintFieldTexts {
    QString Lpi, Dpi, WidthCm, HeightCm, HScale;
};
struct PrintSettings {
    Fixed4 Lpi = 0;
    Fixed4 Dpi = 0;  // resolved: "(Auto)" is 7 x Lpi
    Fixed4 WidthCm = 0;
    Fixed4 HeightCm = 0;
    int HScale = 1;
    PrintFinish Finish;  // none unless the caller asks
};
struct PrintSettingsOutcome {
    PrintSettings Settings;
    bool AutoDpi = false;
    CheckedValue Lpi;      // Replaced: the LPI field shows Lpi.Shown
    CheckedValue WidthCm;  // Replaced: the width field shows WidthCm.Shown
};
// Throws VistrelError for a text that is not a number, and for a resolution,
// a width or an H scale that no print can be made with.
PrintSettingsOutcome ReadPrintSettings(const PrintFieldTexts &texts, Fixed4 aspectRatio,
                                       Fixed4 maxWidthCm = WidthCmHigh);

// What the preview takes: the focus row, depth and LPI fields and the Offset
// column, grid rows 1..LayerCount (top layer first).
struct PreviewFieldTexts {
    QString Focus, Depth, Lpi;
    QStringList OffsetCells;
};
struct PreviewSettings {
    int32_t FocusRow = 0;   // as typed; a row outside the grid means no focus row
    Fixed4 Depth = 0;       // as typed: the field's own handler keeps the limits
    Fixed4 Lpi = 0;
    std::vector<int32_t> Offsets;  // by layer index, bottom layer first
    int32_t FocusOffset = 0;       // the focus row's offset; 0 without a focus row
    // Texts the window puts into fields left empty.
    std::optional<QString> DepthShown, LpiShown;
};
// Throws VistrelError for a field or cell that is not a number.
PreviewSettings ReadPreviewSettings(const PreviewFieldTexts &texts);

// The Offset column as texts, grid rows top first, from offsets by layer index.
QStringList OffsetCellTexts(const std::vector<int32_t> &offsets);
