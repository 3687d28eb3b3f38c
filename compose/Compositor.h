// The compositor: places the layers for a view (parallax), decides which member
// of each flip group a view shows, and lays the visible layers bottom to top
// over a white background, each mixed in by its own coverage. Works at full
// resolution (layers read from the work folder one at a time) or at working
// size (the in-memory copies). Results go to ComposedImage / ComposedAlpha.
#pragma once

#include "Document.h"

#include <QImage>
#include <functional>
#include <memory>
#include <vector>

enum class Resolution { Full, Working };

// Left edges of every layer for view v (1..7): Left + Round((o - f) x (v - 4) / 6 x Depth),
// with `offsets` the Offset column by layer index and `focusOffset` the focus row's.
void PlaceLayersForView(Document &doc, int view, const std::vector<int32_t> &offsets, int32_t focusOffset);

// GroupMembers and GroupViewLayer from the GroupId of every layer.
void BuildGroupTables(Document &doc);

// Whether layer i is composed in view index `viewIndex` (0..6).
bool LayerVisibleInView(const Document &doc, int layerIndex, int viewIndex);

// The relief margin M of a layer: Round(PsdDpi x ReliefDepth / 4) pixels.
int32_t ReliefMargin(const Document &doc, const Layer &layer);

// Composes view CurrentView. `setProgress` (may be empty) receives
// Round(span / LayerCount x i) + base while layer i is composed.
void ComposeView(Document &doc, Resolution resolution, int progressSpan = 0, int progressBase = 0,
                 const std::function<void(int)> &setProgress = {});

// The views at full resolution composed band by band, for the print: a band's
// rows of every layer file are read once for all views, and each view is
// composed only at the columns asked for. Each row composed equals that row of
// ComposeView(Resolution::Full) in the view.
class FullResolutionBands {
public:
    // `viewIndexes[p]` is the view index (0..6) at list position p;
    // `viewLefts[p]` the left edge of every layer in that view. The rows made
    // are those of the crop (CropLeft, CropWidth) when one is set. The layer
    // files are opened here; `doc` is not read afterwards.
    FullResolutionBands(const Document &doc, const std::vector<int> &viewIndexes, const std::vector<std::vector<int32_t>> &viewLefts);
    int32_t Width() const { return Columns; }
    ~FullResolutionBands();
    // Rows first .. first + count - 1 of every view into bands[p] (count rows
    // of Width() pixels, in the byte order of the view files: red, green,
    // blue for RGB), at the columns columns[p] (ascending, counted from the
    // first column made) only.
    void Compose(int first, int count, const std::vector<uint8_t *> &bands,
                 const std::vector<std::vector<int32_t>> &columns);
    // Every column, and the views' coverage into coverage[p] (count rows of
    // Width() bytes), as the view files hold them.
    void ComposeWhole(int first, int count, const std::vector<uint8_t *> &bands, const std::vector<uint8_t *> &coverage);

private:
    struct Files;
    struct Placed {
        int FilesIndex;
        int32_t Left, Top;
    };
    template <int Bytes>
    void ComposeViews(int first, int count, const std::vector<uint8_t *> &bands,
                      const std::vector<std::vector<int32_t>> *columns, const std::vector<uint8_t *> &coverage);
    std::vector<std::unique_ptr<Files>> Sources;
    // Files kept open between bands at most; past that, opened per band.
    static constexpr size_t OpenFilesKept = 200;
    bool ReopenPerBand = false;
    int32_t First = 0, Columns = 0;  // the canvas columns made
    int Bits = 24;  // of the document's colour pictures
    std::vector<std::vector<Placed>> Views;  // bottom layer first
};

// Layer `layerIndex` alone at its PSD position over a checkerboard, working size.
void ComposeLayerAloneImage(Document &doc, int layerIndex);

// Lays `source` with coverage `sourceAlpha` over `target`/`targetAlpha` with its
// top-left corner at (left, top), clipped to the target.
void BlendOver(QImage &target, QImage &targetAlpha, const QImage &source, const QImage &sourceAlpha, int left,
               int top);

// Display conversions: a 32-bit CMYK or 8-bit grey picture as 24-bit RGB; any
// other picture unchanged.
QImage CmykToViewable(const QImage &picture);
QImage GreyToViewable(const QImage &picture);
// Either conversion as the picture needs, as shown on the screen.
QImage ViewablePicture(const QImage &picture);

// Bits per pixel of a document's colour pictures: 8 grey, 24 RGB, 32 CMYK.
int DocumentBits(const Document &doc);
