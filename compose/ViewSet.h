// The seven views of the scene at working size, for the preview animation, the
// GIF and the anaglyph: "vw" v (the composed view), "vwt" v (its coverage) and,
// for grey and CMYK documents, "vwv" v (a copy the screen can show).
#pragma once

#include <cstdint>
#include <functional>
#include <vector>

// `offsets` is the Offset column by layer index. `progress` gets 10..100.
void GenerateViewFiles(const std::vector<int32_t> &offsets, int32_t focusOffset,
                       const std::function<void(int)> &progress = {});

// The animation: step 1..14 shows views 1..7, 7..1; each end view twice.
int ViewOfPreviewTick(int tick);
int NextPreviewTick(int tick);
// Left edge of the view marker over a picture area `areaWidth` wide, for view n (0: before the first frame).
int ViewMarkerLeft(int areaWidth, int view);
