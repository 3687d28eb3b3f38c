// The seven views of the scene at working size, for the preview animation, the
// GIF and the anaglyph: "vw" v (the composed view), "vwt" v (its coverage) and,
// for grey and CMYK documents, "vwv" v (a copy the screen can show).
#pragma once

#include "ParameterRules.h"

#include <cstdint>
#include <functional>
#include <vector>

// `offsets` is the Offset column by layer index. `progress` gets 10..100.
// Relief layers must have been rendered (RenderPendingReliefs) first.
void GenerateViewFiles(const std::vector<int32_t> &offsets, int32_t focusOffset,
                       const std::function<void(int)> &progress = {});

// The start of the Preview command, once its fields have been read: the focus
// row, depth and LPI become the document's, relief layers whose views no longer
// match the depth are marked to be rendered again, and the print export and the
// anaglyph wait for the new views. Throws VistrelError for what cannot be
// previewed.
void BeginPreview(const PreviewSettings &settings);
// The views are ready and the animation starts.
void PreviewStarted();
// Stop: the animation ends at its next frame.
void StopPreview();

// The animation: step 1..14 shows views 1..7, 7..1; each end view twice.
int ViewOfPreviewTick(int tick);
int NextPreviewTick(int tick);
