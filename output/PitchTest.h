// The pitch test print: a lens sheet's true pitch on a given printer is found
// by printing strips side by side, each interlaced by the print's own
// interlacer at one LPI from a range, from seven views of which view 1 is
// black and the others white. Looked at through the sheet, the strip whose
// flip from black to white is cleanest across its width has the sheet's pitch.
// Each strip is a whole number of lenses wide, with a white band above it that
// carries its LPI, and a gap of white between strips.
#pragma once

#include "Numbers.h"

#include <QString>
#include <cstdint>
#include <functional>
#include <vector>

struct PitchTestSettings {
    Fixed4 LpiFrom = 0, LpiTo = 0, LpiStep = 0;
    Fixed4 Dpi = 0;
    Fixed4 WidthCm = 0;
};

// The LPI of every strip: From, From + Step, ... up to To. Throws VistrelError
// for a range that gives no strip or more than MaxPitchStrips, an LPI outside
// 9..210, a resolution outside 1..100 000 dpi or a width outside 0..21 cm.
constexpr int MaxPitchStrips = 60;
std::vector<Fixed4> PitchTestLpis(const PitchTestSettings &settings);

struct PitchTestLayout {
    std::vector<Fixed4> Lpis;
    std::vector<int32_t> StripLeft, StripColumns;  // print columns
    int32_t Width = 0, Height = 0;                 // the whole print
    int32_t LabelRows = 0;                         // the white band of labels above the strips
    int32_t Scale = 1;                             // print pixels per pixel of the label font
};
PitchTestLayout PitchTestLayoutOf(const PitchTestSettings &settings);

// Writes the pitch test as an RGB TIFF of the print's layout. The file appears
// only when complete. `progress` gets 0..100.
PitchTestLayout WritePitchTest(const PitchTestSettings &settings, const QString &path,
                               const std::function<void(int)> &progress = {});
