#include "PsdReader.h"

#include "BmpCodec.h"
#include "ByteCursor.h"
#include "Document.h"
#include "Errors.h"
#include "PsdFormat.h"
#include "WorkFolder.h"

#include <QFile>
#include <QFileInfo>
#include <cstring>
#include <zlib.h>

namespace {

constexpr int32_t MaxCanvasSide = 300'000;
constexpr int16_t MaxChannels = 56;
constexpr qint64 MaxLayerArea = qint64(1) << 30;
constexpr qint64 FirstRecordChunk = 1 << 20;
const QString NoLayersText =
    QStringLiteral("it holds no layers. Vistrel works on the layers of a document; a flattened picture has none.");

QString Short(const QString &path)
{
    return QFileInfo(path).fileName();
}

[[noreturn]] void Refuse(const QString &path, const QString &why)
{
    throw VistrelError(QStringLiteral("Cannot import \"%1\": %2").arg(Short(path), why), ErrorKind::Format);
}

QByteArray ReadAt(QIODevice &file, qint64 offset, qint64 size, const QString &path)
{
    if (!file.seek(offset))
        Refuse(path, QStringLiteral("it cannot be read (%1).").arg(file.errorString()));
    QByteArray bytes = file.read(size);
    if (bytes.size() != size)
        Refuse(path, QStringLiteral("it ends early, at byte %1.").arg(offset + bytes.size()));
    return bytes;
}

QString ModeName(uint16_t mode)
{
    switch (mode) {
    case Psd::ModeBitmap: return QStringLiteral("Bitmap");
    case Psd::ModeIndexed: return QStringLiteral("Indexed");
    case Psd::ModeMultichannel: return QStringLiteral("Multichannel");
    case Psd::ModeDuotone: return QStringLiteral("Duotone");
    case Psd::ModeLab: return QStringLiteral("Lab");
    default: return QStringLiteral("number %1").arg(mode);
    }
}

// Layer records, walked in a chunk of the file that may turn out too small.
void ParseLayerRecords(ByteCursor &in, int count, std::vector<PsdLayerEntry> &layers)
{
    layers.assign(count, {});
    for (int i = 0; i < count; ++i) {
        in.SetSection(QStringLiteral("layer record %1").arg(i + 1));
        Tlayer &layer = layers[i].Layer;
        layer.Top = in.I32BE();
        layer.Left = in.I32BE();
        layer.Bottom = in.I32BE();
        layer.Right = in.I32BE();
        // A reversed or absurd rectangle means the records are misread.
        if (layer.Bottom < layer.Top || layer.Right < layer.Left ||
            qint64(layer.Bottom) - layer.Top > MaxCanvasSide || qint64(layer.Right) - layer.Left > MaxCanvasSide)
            in.Fail(QStringLiteral("the layer rectangle (%1, %2, %3, %4) is not possible")
                        .arg(layer.Top).arg(layer.Left).arg(layer.Bottom).arg(layer.Right));
        layer.Width = layer.Right - layer.Left;
        layer.Height = layer.Bottom - layer.Top;
        if (qint64(layer.Width) * layer.Height > MaxLayerArea)
            in.Fail(QStringLiteral("a layer of %1 x %2 pixels is too large").arg(layer.Width).arg(layer.Height));
        layer.ChannelCount = in.I16BE();
        if (layer.ChannelCount < 0 || layer.ChannelCount > MaxChannels)
            in.Fail(QStringLiteral("a layer cannot have %1 channels").arg(layer.ChannelCount));
        layers[i].Channels.resize(layer.ChannelCount);
        for (PsdChannel &channel : layers[i].Channels) {
            channel.Id = in.I16BE();
            channel.Length = in.U32BE();
            layer.ChannelLengths.push_back(channel.Length);
        }
        // Every record carries the blend signature; anything else means the
        // record before was longer or shorter than it said.
        const uint8_t *signature = in.Take(Psd::BlockSignatureSize);
        if (std::memcmp(signature, Psd::BlockSignature, Psd::BlockSignatureSize) != 0)
            in.Fail(QStringLiteral("the blend mode signature is missing"));
        layer.BlendMode =
            QString::fromLatin1(reinterpret_cast<const char *>(in.Take(Psd::BlendModeKeySize)), Psd::BlendModeKeySize);
        layer.Opacity = in.U8();
        layer.Clipping = in.U8();
        layer.Flags = in.U8();
        in.Skip(1);  // filler

        // Extra data: mask data, blending ranges and the name are mandatory and
        // must lie inside the extra-data length; the rest is skipped whole.
        const uint32_t extraLength = in.U32BE();
        in.Need(extraLength);
        const qint64 extraEnd = in.Pos() + extraLength;
        auto insideExtra = [&](qint64 bytes) {
            if (bytes < 0 || in.Pos() + bytes > extraEnd)
                in.Fail(QStringLiteral("the layer's extra data are shorter than their mask, blending ranges and name"));
        };
        insideExtra(Psd::LengthSize);
        const uint32_t maskLength = in.U32BE();
        insideExtra(maskLength);
        in.Skip(maskLength);
        insideExtra(Psd::LengthSize);
        const uint32_t rangesLength = in.U32BE();
        insideExtra(rangesLength);
        in.Skip(rangesLength);
        insideExtra(1);
        const int nameLength = in.U8();
        const int namePadded = Psd::PaddedTo(1 + nameLength, Psd::LayerNamePadding) - 1;  // Pascal string
        insideExtra(std::min<qint64>(nameLength, namePadded));
        in.Seek(extraEnd);
    }
}

// The image resources: the resolution (1005) and the layer groups (1026),
// wherever they stand among the blocks.
void ReadResources(const QByteArray &resources, qint64 offset, Fixed4 &dpi, QByteArray &groups)
{
    ByteCursor r(resources, QString(), offset);
    r.SetSection(QStringLiteral("image resources"));
    while (r.Remaining() >= Psd::ResourceBlockMinSize) {
        r.Skip(Psd::BlockSignatureSize);  // signature, not compared: programs use several
        const uint16_t id = r.U16BE();
        const int nameLength = r.U8();
        r.Skip(nameLength + ((1 + nameLength) % 2));  // Pascal name padded to even
        const uint32_t size = r.U32BE();
        r.Need(size);
        const uint8_t *data = r.Take(size);
        r.Skip(std::min<qint64>(size % 2, r.Remaining()));  // data padded to even
        if (id == Psd::ResolutionResource && size >= Psd::ResolutionFixedSize) {
            // 16.16 fixed point, taken as pixels per inch.
            const uint16_t whole = uint16_t(data[0] << 8 | data[1]);
            const uint16_t fraction = uint16_t(data[2] << 8 | data[3]);
            dpi = Fixed4(whole) * Fixed4One + Round(fraction / 65536.0 * 10000.0);
        } else if (id == Psd::LayerGroupsResource) {
            groups = QByteArray(reinterpret_cast<const char *>(data), size);
        }
    }
    if (dpi == 0)
        dpi = 200 * Fixed4One;
}

}  // namespace

static PsdIndex ReadPsdIndexUnchecked(QIODevice &file, const QString &path);

PsdIndex ReadPsdIndex(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw FileError(path, file.errorString());
    return ReadPsdIndex(file, path);
}

PsdIndex ReadPsdIndex(QIODevice &device, const QString &path)
{
    try {
        return ReadPsdIndexUnchecked(device, path);
    } catch (const VistrelError &error) {
        if (error.Kind == ErrorKind::File || error.Kind == ErrorKind::Format)  // already says which file
            throw;
        Refuse(path, error.Message);
    }
}

static PsdIndex ReadPsdIndexUnchecked(QIODevice &file, const QString &path)
{
    const qint64 fileSize = file.size();
    PsdIndex index;
    index.Path = path;

    // --- File header ---
    if (fileSize < Psd::HeaderSize)
        Refuse(path, QStringLiteral("it is not a Photoshop document (too short)."));
    const QByteArray header = ReadAt(file, 0, Psd::HeaderSize, path);
    ByteCursor h(header, QString());
    h.SetSection(QStringLiteral("file header"));
    if (std::memcmp(h.Take(Psd::SignatureSize), Psd::Signature, Psd::SignatureSize) != 0)
        Refuse(path, QStringLiteral("it is not a Photoshop document."));
    PsdFileHeader fh;
    fh.Version = h.U16BE();
    h.Skip(Psd::ReservedSize);
    fh.Channels = h.U16BE();  // of the merged image, not used
    fh.Height = h.U32BE();
    fh.Width = h.U32BE();
    fh.Depth = h.U16BE();
    fh.ColorMode = h.U16BE();
    if (fh.Version == Psd::LargeDocumentVersion)
        Refuse(path, QStringLiteral("it is a large document (PSB). Vistrel reads Photoshop documents of format "
                                    "version 1; save it as PSD."));
    if (fh.Version != Psd::Version)
        Refuse(path, QStringLiteral("its format version %1 is not known.").arg(fh.Version));
    if (fh.Depth != Psd::Depth8)
        Refuse(path, QStringLiteral("it has %1 bit(s) per channel. Vistrel reads 8 bits per channel; convert the "
                                    "document to 8 bits.").arg(fh.Depth));
    if (fh.ColorMode != Psd::ModeGrey && fh.ColorMode != Psd::ModeRgb && fh.ColorMode != Psd::ModeCmyk)
        Refuse(path, QStringLiteral("it is in %1 colour mode. Vistrel reads Grey, RGB and CMYK documents.")
                         .arg(ModeName(fh.ColorMode)));
    if (fh.Width == 0 || fh.Height == 0 || fh.Width > uint32_t(MaxCanvasSide) || fh.Height > uint32_t(MaxCanvasSide))
        Refuse(path, QStringLiteral("its canvas of %1 x %2 pixels is not possible.").arg(fh.Width).arg(fh.Height));
    index.Width = int32_t(fh.Width);
    index.Height = int32_t(fh.Height);
    index.ColorMode = fh.ColorMode;

    // --- Colour mode data and image resources: lengths checked against the file ---
    qint64 pos = Psd::HeaderSize;
    auto sectionLength = [&](const QString &section) {
        if (pos + Psd::LengthSize > fileSize)
            Refuse(path, QStringLiteral("it ends early, in the %1.").arg(section));
        ByteCursor c(ReadAt(file, pos, Psd::LengthSize, path), QString(), pos);
        const qint64 length = c.U32BE();
        pos += Psd::LengthSize;
        if (pos + length > fileSize)
            Refuse(path, QStringLiteral("the %1 runs %2 bytes past the end of the file.")
                             .arg(section).arg(pos + length - fileSize));
        return length;
    };
    pos += sectionLength(QStringLiteral("colour mode data"));
    const qint64 resourcesLength = sectionLength(QStringLiteral("image resources"));
    QByteArray groups;
    ReadResources(ReadAt(file, pos, resourcesLength, path), pos, index.Dpi, groups);
    pos += resourcesLength;

    // --- Layer and mask information ---
    const qint64 layerMaskLength = sectionLength(QStringLiteral("layer and mask information"));
    const qint64 layerMaskEnd = pos + layerMaskLength;
    if (layerMaskLength < Psd::LengthSize)
        Refuse(path, NoLayersText);
    ByteCursor lengths(ReadAt(file, pos, Psd::LengthSize, path), QString(), pos);
    const qint64 layerInfoLength = lengths.U32BE();
    pos += Psd::LengthSize;
    const qint64 layerInfoEnd = pos + layerInfoLength;
    if (layerInfoEnd > layerMaskEnd)
        Refuse(path, QStringLiteral("the layer information runs past its section (byte %1).").arg(pos));
    if (layerInfoLength < Psd::LayerCountSize)
        Refuse(path, NoLayersText);
    ByteCursor countCursor(ReadAt(file, pos, Psd::LayerCountSize, path), QString(), pos);
    // A negative count only says that the first alpha channel holds the
    // merged transparency.
    const int count = std::abs(int(countCursor.I16BE()));
    pos += Psd::LayerCountSize;
    if (count == 0)
        Refuse(path, NoLayersText);

    // The records are small, but their length is only known once read:
    // read a first part of the layer information and more when needed.
    qint64 chunk = std::min(FirstRecordChunk, layerInfoEnd - pos);
    qint64 recordsEnd = 0;
    for (;;) {
        ByteCursor records(ReadAt(file, pos, chunk, path), QString(), pos);
        records.SetChunk(chunk < layerInfoEnd - pos);
        try {
            ParseLayerRecords(records, count, index.Layers);
            recordsEnd = pos + records.Pos();
            break;
        } catch (const ByteCursor::ChunkTooSmall &) {
            chunk = std::min(chunk * 4, layerInfoEnd - pos);
        }
    }

    // --- Channel data: each channel starts where the one before ended ---
    qint64 channelPos = recordsEnd;
    for (size_t i = 0; i < index.Layers.size(); ++i) {
        PsdLayerEntry &entry = index.Layers[i];
        for (size_t j = 0; j < entry.Channels.size(); ++j) {
            PsdChannel &channel = entry.Channels[j];
            channel.DataOffset = channelPos;
            if (channelPos + channel.Length > layerInfoEnd)
                Refuse(path, QStringLiteral("the data of layer %1, channel %2 run past the layer information "
                                            "(byte %3).").arg(i + 1).arg(channel.Id).arg(channelPos));
            if (channel.Length >= Psd::CompressionSize) {
                ByteCursor c(ReadAt(file, channelPos, Psd::CompressionSize, path), QString(), channelPos);
                channel.Compression = c.U16BE();
                if (channel.Compression > Psd::CompressionZipPrediction)
                    Refuse(path, QStringLiteral("layer %1, channel %2 uses an unknown compression (%3).")
                                     .arg(i + 1).arg(channel.Id).arg(channel.Compression));
            }
            channelPos += channel.Length;
        }
    }

    // After the layer information comes the global layer mask; its length
    // must fit the section. A layer information length that counts bytes
    // that are not there shows up here.
    if (layerInfoEnd + Psd::LengthSize <= layerMaskEnd) {
        ByteCursor c(ReadAt(file, layerInfoEnd, Psd::LengthSize, path), QString(), layerInfoEnd);
        const qint64 globalMaskLength = c.U32BE();
        if (layerInfoEnd + Psd::LengthSize + globalMaskLength > layerMaskEnd)
            Refuse(path, QStringLiteral("the global layer mask runs past its section (byte %1); the layer "
                                        "information is damaged.").arg(layerInfoEnd));
    }

    bool anyPixels = false;
    for (const PsdLayerEntry &entry : index.Layers)
        anyPixels = anyPixels || (entry.Layer.Width > 0 && entry.Layer.Height > 0);
    if (!anyPixels)
        Refuse(path, QStringLiteral("it holds no layer with pixels."));

    // Group numbers, two bytes per layer in record order; the low byte counts.
    constexpr int groupEntry = Psd::LayerGroupEntrySize;
    for (size_t i = 0; i < index.Layers.size() && qsizetype(groupEntry * i + 1) < groups.size(); ++i)
        index.Layers[i].Layer.GroupId = uint8_t(groups[qsizetype(groupEntry * i + 1)]);
    return index;
}

QByteArray DecodePackBitsRows(const uint8_t *data, qint64 size, int width, int height, const QString &what)
{
    const qint64 countsSize = Psd::PackBitsRowCountSize * qint64(height);
    if (size < countsSize)
        throw VistrelError(QStringLiteral("%1: the PackBits row counts are cut short.").arg(what));
    QByteArray plane(qint64(width) * height, '\0');
    uint8_t *out = reinterpret_cast<uint8_t *>(plane.data());
    qint64 in = countsSize;
    for (int y = 0; y < height; ++y) {
        const uint8_t *count = data + Psd::PackBitsRowCountSize * qint64(y);
        const qint64 rowSize = qint64(count[0] << 8 | count[1]);
        if (in + rowSize > size)
            throw VistrelError(QStringLiteral("%1: PackBits row %2 runs past the channel data.").arg(what).arg(y));
        const qint64 rowEnd = in + rowSize;
        uint8_t *row = out + qint64(y) * width;
        qint64 x = 0;
        while (in < rowEnd) {
            const int count = int8_t(data[in++]);
            if (count >= 0) {
                const qint64 n = count + 1;
                // A literal run must fit both what is left of the row's input and of the output row.
                if (in + n > rowEnd || x + n > width)
                    throw VistrelError(QStringLiteral("%1: PackBits row %2 overflows the layer width.").arg(what).arg(y));
                std::memcpy(row + x, data + in, size_t(n));
                in += n;
                x += n;
            } else if (count != -128) {  // -128 is a no-op
                const qint64 n = 1 - count;
                if (in + 1 > rowEnd || x + n > width)
                    throw VistrelError(QStringLiteral("%1: PackBits row %2 overflows the layer width.").arg(what).arg(y));
                std::memset(row + x, data[in++], size_t(n));
                x += n;
            }
        }
        if (x != width)
            throw VistrelError(QStringLiteral("%1: PackBits row %2 decodes to %3 bytes instead of %4.")
                                   .arg(what).arg(y).arg(x).arg(width));
    }
    return plane;
}

QByteArray DecodeChannel(const uint8_t *data, qint64 size, int width, int height, const QString &what)
{
    const qint64 planeSize = qint64(width) * height;
    if (size < Psd::CompressionSize)  // no compression word at all: nothing stored
        return QByteArray(planeSize, '\0');
    const uint16_t compression = uint16_t(data[0] << 8 | data[1]);
    data += Psd::CompressionSize;
    size -= Psd::CompressionSize;
    switch (compression) {
    case Psd::CompressionRaw: {  // raw: short data leave zeros, longer data are cut
        QByteArray plane(planeSize, '\0');
        std::memcpy(plane.data(), data, size_t(std::min(size, planeSize)));
        return plane;
    }
    case Psd::CompressionPackBits:
        return DecodePackBitsRows(data, size, width, height, what);
    case Psd::CompressionZip:
    case Psd::CompressionZipPrediction: {
        QByteArray plane(planeSize, '\0');
        z_stream z{};
        if (inflateInit(&z) != Z_OK)
            throw VistrelError(QStringLiteral("%1: the ZIP decoder cannot start.").arg(what));
        z.next_in = const_cast<Bytef *>(data);
        z.avail_in = uInt(std::min<qint64>(size, UINT32_MAX));
        z.next_out = reinterpret_cast<Bytef *>(plane.data());
        z.avail_out = uInt(planeSize);
        const int result = inflate(&z, Z_FINISH);
        inflateEnd(&z);
        // Z_BUF_ERROR with a full plane means more data than the plane: cut.
        if (result != Z_STREAM_END && !(result == Z_BUF_ERROR && z.avail_out == 0) &&
            !(result == Z_BUF_ERROR && z.avail_in == 0))
            throw VistrelError(QStringLiteral("%1: the ZIP data are damaged.").arg(what));
        if (compression == Psd::CompressionZipPrediction) {  // each byte holds the difference to the one on its left
            uint8_t *p = reinterpret_cast<uint8_t *>(plane.data());
            for (int y = 0; y < height; ++y) {
                uint8_t *row = p + qint64(y) * width;
                for (int x = 1; x < width; ++x)
                    row[x] = uint8_t(row[x] + row[x - 1]);
            }
        }
        return plane;
    }
    default:
        throw VistrelError(QStringLiteral("%1: unknown compression %2.").arg(what).arg(compression));
    }
}

QString StagedName(const QString &finalName)
{
    return finalName + QStringLiteral(".part");
}

PsdDocument ReadPsdLayers(const PsdIndex &index, const std::function<void(int)> &progress)
{
    QFile file(index.Path);
    if (!file.open(QIODevice::ReadOnly))
        throw FileError(index.Path, file.errorString());
    const int layerCount = int(index.Layers.size());
    try {
        return ReadPsdLayers(file, index, [](int n, const QImage &colour, const QImage &alpha) {
            SaveImage(colour, StagedName(WorkFileName(QStringLiteral("ly"), n)));
            SaveImage(alpha, StagedName(WorkFileName(QStringLiteral("lyt"), n)));
        }, progress);
    } catch (...) {
        RemoveStagedPsdFiles(layerCount);
        throw;
    }
}

PsdDocument ReadPsdLayers(QIODevice &file, const PsdIndex &index, const LayerSink &sink,
                          const std::function<void(int)> &progress)
{
    PsdDocument doc;
    doc.ImageWidth = index.Width;
    doc.ImageHeight = index.Height;
    const WorkingGeometry working = WorkingGeometryOf(index.Width, index.Height);
    doc.WorkScale = working.Scale;
    doc.WorkWidth = working.Width;
    doc.WorkHeight = working.Height;
    doc.ColorMode = index.ColorMode;
    doc.Dpi = index.Dpi;
    doc.WidthCm = ToFixed4(index.Width / FromFixed4(index.Dpi) * 2.54);
    doc.HeightCm = ToFixed4(index.Height / FromFixed4(index.Dpi) * 2.54);

    const int layerCount = int(index.Layers.size());
    const int colourChannels = ChannelsOfColorMode(index.ColorMode);
    const int bits = 8 * colourChannels;
    const double scale = FromFixed4(doc.WorkScale);

    try {
        for (int i = 0; i < layerCount; ++i) {
            const PsdLayerEntry &entry = index.Layers[i];
            const Tlayer &layer = entry.Layer;
            const int w = layer.Width;
            const int h = layer.Height;
            QImage colour = NewPicture(w, h, bits);
            QImage alpha = NewPicture(w, h, 8);
            if (w > 0 && h > 0) {
                colour.fill(0);
                alpha.fill(255);  // no transparency channel: fully opaque
                for (const PsdChannel &channel : entry.Channels) {
                    // Channels are taken by ID: -1 transparency, 0.. colour; masks
                    // and extra channels are skipped.
                    const bool isAlpha = channel.Id == Psd::TransparencyChannelId;
                    if (!isAlpha && (channel.Id < 0 || channel.Id >= colourChannels))
                        continue;
                    const QByteArray data = ReadAt(file, channel.DataOffset, channel.Length, index.Path);
                    const QString what = QStringLiteral("layer %1, channel %2").arg(i + 1).arg(channel.Id);
                    const QByteArray plane =
                        DecodeChannel(reinterpret_cast<const uint8_t *>(data.constData()), data.size(), w, h, what);
                    const uint8_t *p = reinterpret_cast<const uint8_t *>(plane.constData());
                    if (isAlpha) {
                        for (int y = 0; y < h; ++y)
                            std::memcpy(alpha.scanLine(y), p + qint64(y) * w, size_t(w));
                        continue;
                    }
                    // Grey: the level. RGB: blue, green, red bytes. CMYK: C, M, Y, K bytes.
                    const int slot = bits == 24 ? 2 - channel.Id : channel.Id;
                    const int step = bits / 8;
                    for (int y = 0; y < h; ++y) {
                        uchar *row = colour.scanLine(y) + slot;
                        const uint8_t *src = p + qint64(y) * w;
                        for (int x = 0; x < w; ++x)
                            row[x * step] = src[x];
                    }
                }
            }
            const int n = i + 1;
            sink(n, colour, alpha);
            const int ww = int(Round(w * scale));
            const int wh = int(Round(h * scale));
            doc.Images.push_back(ScaleNearest(colour, ww, wh));
            doc.Alphas.push_back(ScaleNearest(alpha, ww, wh));
            Tlayer record = layer;
            doc.Layers.push_back(record);
            if (progress)
                progress(int(Round(100.0 * n / layerCount)));
        }
    } catch (const VistrelError &error) {
        if (error.Kind == ErrorKind::File || error.Kind == ErrorKind::Format)  // already says which file
            throw;
        Refuse(index.Path, error.Message);
    }
    return doc;
}

void RemoveStagedPsdFiles(int layerCount)
{
    for (int n = 1; n <= layerCount; ++n) {
        QFile::remove(StagedName(WorkFileName(QStringLiteral("ly"), n)));
        QFile::remove(StagedName(WorkFileName(QStringLiteral("lyt"), n)));
    }
}

void CommitPsdFiles(int layerCount)
{
    // The old files step aside first and come back if any new one cannot be
    // put in place, so a failure half-way leaves the old document's files.
    QStringList names;
    for (int n = 1; n <= layerCount; ++n)
        names << WorkFileName(QStringLiteral("ly"), n) << WorkFileName(QStringLiteral("lyt"), n);
    auto aside = [](const QString &name) { return name + QStringLiteral(".old"); };
    QStringList movedAside, placed;
    auto undo = [&] {
        for (const QString &name : placed)
            QFile::remove(name);
        for (const QString &name : movedAside)
            QFile::rename(aside(name), name);
    };
    try {
        for (const QString &name : names) {
            if (!QFile::exists(name))
                continue;
            QFile::remove(aside(name));
            if (!QFile::rename(name, aside(name)))
                throw FileError(name, QStringLiteral("The file cannot be renamed."));
            movedAside << name;
        }
        for (const QString &name : names) {
            FaultPoint("CommitLayerFile");
            if (!QFile::rename(StagedName(name), name))
                throw FileError(name, QStringLiteral("The file cannot be renamed."));
            placed << name;
        }
    } catch (...) {
        undo();
        throw;
    }
    for (const QString &name : movedAside)
        QFile::remove(aside(name));
}

PsdDocument ReadPsd(const QString &path, const std::function<void(int)> &progress)
{
    PsdDocument doc = ReadPsdLayers(ReadPsdIndex(path), progress);
    CommitPsdFiles(int(doc.Layers.size()));
    return doc;
}
