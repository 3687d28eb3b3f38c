// The seven full-resolution views as one layered Photoshop document: format
// version 1, 8 bits, no image resources (but the colour profile, when one is
// asked for), one layer per view (view 1 at the
// bottom) with its transparency, raw channels, and the merged image from view 7.
// The layout is fixed byte for byte; every length follows from the canvas size
// and the colour mode, so the file is written in one forward pass, reading one
// view at a time.
#pragma once

#include "PsdFormat.h"

#include <QByteArray>
#include <QString>
#include <cstdint>

// The extra data of our records: no mask, ten blending ranges, the name and
// eight additional-information blocks.
constexpr int64_t LayeredPsdExtraSize = 210;
// Bytes of one layer record for `colourChannels` colour channels and the
// transparency: 250 + 6 C.
constexpr int64_t LayeredPsdRecordSize(int colourChannels)
{
    return Psd::RecordFixedSize + Psd::ChannelInfoSize * int64_t(colourChannels + 1) + LayeredPsdExtraSize;
}
static_assert(LayeredPsdRecordSize(0) == 250 && LayeredPsdRecordSize(1) == 256);
// The layer information length K.
int64_t LayeredPsdLayerInfoLength(int32_t width, int32_t height, int colourChannels);

// The record of layer j (1..7) of a W x H document.
QByteArray LayeredPsdRecord(int layer, int32_t width, int32_t height, int colourChannels);

// Refuses views a Photoshop document cannot hold: more than 30 000 pixels
// either way, or over 4 GB of layers. Asked before any work is done.
void CheckLayeredPsdSize(int32_t width, int32_t height, int colourChannels);

// Reads "vwd" NNN and "vwdt" NNN from the work folder and writes the document.
// The file appears under its name only when complete.
// `iccProfile`, when given, is the one image resource (1039).
void WriteLayeredPsd(const QString &path, int layers, uint16_t colorMode, const QByteArray &iccProfile = {});
