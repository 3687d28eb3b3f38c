// The relief renderer: turns one layer and its contour lines into seven views
// of that layer as a relief. The lines are painted into a height map (one grey
// level per order) at working size, enlarged to the canvas, cut to the layer
// padded by a margin M on both sides and smoothed; then each view re-maps every
// row of the layer horizontally, each pixel moving by its height above or below
// the layer's zero plane times the view's distance from the middle view. Gaps
// take a copy of a neighbouring pixel, covered pixels are dropped.
//
// Per view v it writes n "gx" v and n "gxt" v (colour and coverage of the
// padded layer at full resolution), n "xgx" v and n "xgxt" v (the same at
// working size) and, for grey and CMYK documents, n "xgxv" v (a copy the
// screen can show). The compositor puts them in place of a layer whose
// GroupId is GroupReliefRendered.
#pragma once

#include "Document.h"

#include <QImage>
#include <functional>

// The values a render derives from the document and the layer.
struct ReliefGeometry {
    int32_t Margin = 0;       // M
    int32_t PaddedWidth = 0;  // Wp = Width + 2M
    int64_t ShiftFactor = 0;  // K: the shift per grey step per view step, times 10 000
    uint8_t BaseLevel = 0;    // the level that does not move
    int32_t SmoothStep = 0;   // a
};
ReliefGeometry ReliefGeometryOf(const Document &doc, const Layer &layer);

// The height map of a line set at working size: 8-bit, background 30, orders
// painted from 14 down to 0 with the even-odd rule and an outline.
QImage PaintHeightMap(const Document &doc, const LineSet &lines);
// The map of the padded layer: the working map enlarged to the canvas and cut
// to the layer's rectangle widened by M on both sides; outside the canvas it
// keeps the level of the canvas' top-left pixel.
QImage LayerReliefMap(const Document &doc, const QImage &workingMap, const Layer &layer, const ReliefGeometry &g);
// The same for rows first .. first + count - 1 only, into `out` (count rows
// of PaddedWidth bytes).
void LayerReliefMapRows(const Document &doc, const QImage &workingMap, const Layer &layer, const ReliefGeometry &g, int first, int count,
                        uchar *out);
// One pass of the sparse 5 x 5 kernel with taps a apart, edges clamped.
QImage SmoothReliefMap(const QImage &map, int32_t step);
// The same for rows first .. first + count - 1 of a map `height` rows high
// whose row y `mapRow` gives (rows up to 2 x step away are read).
void SmoothReliefMapRows(const std::function<const uchar *(int y)> &mapRow, int width, int height, int32_t step,
                         int first, int count, uchar *out);
// One view pass over the padded source into the destination (which keeps what
// a pass does not write): `viewStep` is 4 - view number.
void ReliefPass(const QImage &source, const QImage &sourceAlpha, const QImage &map, const ReliefGeometry &g,
                int viewStep, QImage &destination, QImage &destinationAlpha,
                const std::function<void(int row)> &beforeRow = {});
// One row of a pass; `bytes` per colour pixel.
void ReliefPassRow(const uchar *src, const uchar *srcAlpha, const uchar *heights, const ReliefGeometry &g,
                   int viewStep, int bytes, uchar *dst, uchar *dstAlpha);

// Renders layer `layerIndex` with its lines and writes the files of its seven
// views, a band of rows at a time (`bandRows`, 0: about 8 MB of rows), so that
// memory does not grow with the layer. `progress` runs from 20 to 100.
void RenderRelief(const Document &doc, int layerIndex, const LineSet &lines, const std::function<void(int)> &progress = {},
                  int bandRows = 0);

// Renders every layer whose relief is to be rendered (GroupId
// GroupReliefToRender) and marks it rendered. Used before views are composed.
void RenderPendingReliefs(Document &doc, const std::function<void(int)> &progress = {});
