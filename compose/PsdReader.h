// Our own reader of layered Photoshop documents: format version 1, 8 bits per
// channel, grey, RGB or CMYK; channels raw, PackBits, ZIP or ZIP with
// prediction. It takes the canvas size, colour mode, resolution (resource 1005),
// layer groups (resource 1026) and, per layer record, the rectangle, the blend
// fields and the channels; names, masks, effects and the merged image are
// skipped.
//
// Reading is in two phases so that a file that cannot be imported leaves the
// open document alone:
//   1. ReadPsdIndex checks the whole structure (header, every section length,
//      every layer record, every channel length and compression against the
//      file) and notes where each channel's data lie, decoding nothing;
//   2. ReadPsdLayers decodes one layer at a time, writes its full-size colour
//      and coverage pictures to the work folder under staging names and keeps
//      working-size copies. Only one layer's planes are in memory at a time.
// The caller commits the result (CommitPsdFiles) once everything succeeded.
#pragma once

#include "Document.h"
#include "PsdFormat.h"

#include <QIODevice>
#include <QImage>
#include <QString>
#include <functional>
#include <vector>

struct PsdChannel {
    int16_t Id = 0;
    uint32_t Length = 0;     // bytes, compression word included
    qint64 DataOffset = 0;   // file offset of the compression word
    uint16_t Compression = Psd::CompressionRaw;  // raw, PackBits, ZIP or ZIP with prediction
};

struct PsdLayerEntry {
    Layer Record;  // rectangle, channel count and lengths, blend fields, GroupId
    std::vector<PsdChannel> Channels;
};

struct PsdIndex {
    QString Path;
    int32_t Width = 0;
    int32_t Height = 0;
    uint16_t ColorMode = Psd::ModeRgb;
    Fixed4 Dpi = 200 * Fixed4One;  // 200 when the file states none or 0
    QByteArray IccProfile;         // resource 1039; empty when the file has none
    std::vector<PsdLayerEntry> Layers;  // record order: bottom layer first
};

// Throws VistrelError with a message naming what is unsupported or damaged.
PsdIndex ReadPsdIndex(const QString &path);
// The same from any device (a file, or bytes in memory); `path` names it in messages.
PsdIndex ReadPsdIndex(QIODevice &device, const QString &path);


struct PsdDocument {
    int32_t ImageWidth = 0, ImageHeight = 0;
    int32_t WorkWidth = 0, WorkHeight = 0;
    Fixed4 WorkScale = Fixed4One;
    uint16_t ColorMode = Psd::ModeRgb;
    Fixed4 Dpi = 200 * Fixed4One;
    QByteArray IccProfile;
    Fixed4 WidthCm = 0, HeightCm = 0;
    LayerTable Layers;
    PictureList Images;  // working-size copies
    PictureList Alphas;
};

// The staging name of a layer file until the import commits it.
QString StagedName(const QString &finalName);

// Decodes every layer of an index: writes "ly" n / "lyt" n under staging names
// in the work folder and returns the document. `progress` gets 0..100.
// On failure the staged files are removed and VistrelError is thrown.
PsdDocument ReadPsdLayers(const PsdIndex &index, const std::function<void(int)> &progress = {});
// The same from any device, each layer's full-size pictures handed to `sink`
// (layer number, colour, coverage) instead of being written.
using LayerSink = std::function<void(int layerNumber, const QImage &colour, const QImage &alpha)>;
PsdDocument ReadPsdLayers(QIODevice &device, const PsdIndex &index, const LayerSink &sink,
                          const std::function<void(int)> &progress = {});

// Deletes the staged layer files of a document with `layerCount` layers.
void RemoveStagedPsdFiles(int layerCount);

// Moves the staged layer files of a document with `layerCount` layers to their names.
// The old files step aside until every new one is in place; a failure puts them
// back and throws VistrelError.
void CommitPsdFiles(int layerCount);

// Both phases; for callers that have no document to protect.
PsdDocument ReadPsd(const QString &path, const std::function<void(int)> &progress = {});


// Decoders of one channel plane, exposed for tests. Each throws VistrelError
// (`what` names the layer and channel) when the data do not fit the plane.
QByteArray DecodePackBitsRows(const uint8_t *data, qint64 size, int width, int height, const QString &what);
QByteArray DecodeChannel(const uint8_t *data, qint64 size, int width, int height, const QString &what);
