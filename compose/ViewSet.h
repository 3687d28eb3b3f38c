// The seven views of the scene at working size, for the preview animation, the
// GIF and the anaglyph: "vw" v (the composed view), "vwt" v (its coverage) and,
// for grey and CMYK documents, "vwv" v (a copy the screen can show).
#pragma once

#include "Document.h"
#include "ParameterRules.h"

#include <QString>
#include <cstdint>
#include <functional>
#include <vector>

// `offsets` is the Offset column by layer index. `progress` gets 10..100.
// Relief layers must have been rendered (RenderPendingReliefs) first.
void GenerateViewFiles(Document &doc, const std::vector<int32_t> &offsets, int32_t focusOffset,
                       const std::function<void(int)> &progress = {});

// The start of the Preview command, once its fields have been read: the focus
// row, depth and LPI become the document's, relief layers whose views no longer
// match the depth are marked to be rendered again, and the print export and the
// anaglyph wait for the new views. Throws VistrelError for what cannot be
// previewed.
void BeginPreview(Document &doc, const PreviewSettings &settings);
// The views are ready and the animation starts.
void PreviewStarted(Document &doc);
// Stop: the animation ends at its next frame.
void StopPreview(Document &doc);

// With CropEdges on: CropLeft and CropWidth become the canvas columns that
// every view covers in every row, from the first to the last, for the views
// of `offsets`; with it off, the whole canvas (CropWidth 0). Reliefs must have
// been rendered. Throws VistrelError when no column is covered by all views.
void ChooseCrop(Document &doc, const std::vector<int32_t> &offsets, int32_t focusOffset);
// The proportion of what is printed: the canvas's, or the crop's.
Fixed4 CroppedAspectRatio(const Document &doc);
// The print of a crop: its width applies to the columns kept and its height
// follows their proportion, whatever height the field or the project holds,
// so that the picture is never stretched. Without a crop, the fields as they are.
PrintSettingsOutcome ReadCroppedPrintSettings(const Document &doc, PrintFieldTexts texts);
// "37 columns cut at the edges that not every view covers." (empty without a
// crop), followed by the print's size when `widthCm` is given.
QString CropText(const Document &doc, Fixed4 widthCm = 0, Fixed4 heightCm = 0);

// How far the views move a layer against the print's lenses. A point of a
// layer that moves more than one lens width between neighbouring views falls
// under another lens in the next view: the picture ghosts.
struct DepthGuidance {
    int32_t Row = 0;           // grid row of the layer that moves most (1 = top); 0 when none moves
    int32_t CanvasPixels = 0;  // its largest shift between neighbouring views
    double PrintPixels = 0;    // the same in print columns
    double LensWidths = 0;     // the same in lens widths
    bool Ghosts() const { return LensWidths > 1; }
};
// For `offsets` by layer index, the document's Depth and CentreView, and a
// print `lenses` lenses and `columns` columns wide.
DepthGuidance DepthGuidanceFor(const Document &doc, const std::vector<int32_t> &offsets, int32_t focusOffset, int64_t lenses,
                               int64_t columns);
// One line for the status bar and the batch mode, with the warning when it ghosts.
QString DepthGuidanceText(const DepthGuidance &guidance);

// The animation: step 1..14 shows views 1..7, 7..1; each end view twice.
int ViewOfPreviewTick(int tick);
int NextPreviewTick(int tick);
