#include "PsdReader.h"

#include "BmpCodec.h"
#include "ByteCursor.h"
#include "Parallel.h"
#include "Document.h"
#include "Errors.h"
#include "PsdFormat.h"
#include "Texts.h"
#include "WorkFolder.h"

#include <QFile>
#include <QFileInfo>
#include <algorithm>
#include <atomic>
#include <cstring>
#include <thread>
#include <zlib.h>

namespace {

// A layer may reach past the canvas, but not this far.
constexpr int32_t MaxCanvasSide = 300'000;
constexpr int16_t MaxChannels = 56;
constexpr qint64 MaxLayerArea = qint64(1) << 30;
constexpr qint64 FirstRecordChunk = 1 << 20;
QString NoLayersText()
{
    return Vistrel::tr(
        "it holds no layers. Vistrel works on the layers of a document; a flattened picture has none.");
}

QString Short(const QString &path)
{
    return QFileInfo(path).fileName();
}

[[noreturn]] void Refuse(const QString &path, const QString &why)
{
    throw VistrelError(Vistrel::tr("Cannot import \"%1\": %2").arg(Short(path), why), ErrorKind::Format);
}

QByteArray ReadAt(QIODevice &file, qint64 offset, qint64 size, const QString &path)
{
    if (!file.seek(offset))
        Refuse(path, Vistrel::tr("it cannot be read (%1).").arg(file.errorString()));
    QByteArray bytes = file.read(size);
    if (bytes.size() != size)
        Refuse(path, Vistrel::tr("it ends early, at byte %1.").arg(offset + bytes.size()));
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
    default: return Vistrel::tr("number %1").arg(mode);
    }
}

// Layer records, walked in a chunk of the file that may turn out too small.
void ParseLayerRecords(ByteCursor &in, int count, std::vector<PsdLayerEntry> &layers)
{
    layers.assign(count, {});
    for (int i = 0; i < count; ++i) {
        in.SetSection(Vistrel::tr("layer record %1").arg(i + 1));
        Layer &layer = layers[i].Record;
        layer.Top = in.I32BE();
        layer.Left = in.I32BE();
        layer.Bottom = in.I32BE();
        layer.Right = in.I32BE();
        // A reversed or absurd rectangle means the records are misread.
        if (layer.Bottom < layer.Top || layer.Right < layer.Left ||
            qint64(layer.Bottom) - layer.Top > MaxCanvasSide || qint64(layer.Right) - layer.Left > MaxCanvasSide)
            in.Fail(Vistrel::tr("the layer rectangle (%1, %2, %3, %4) is not possible")
                        .arg(layer.Top).arg(layer.Left).arg(layer.Bottom).arg(layer.Right));
        layer.Width = layer.Right - layer.Left;
        layer.Height = layer.Bottom - layer.Top;
        if (qint64(layer.Width) * layer.Height > MaxLayerArea)
            in.Fail(Vistrel::tr("a layer of %1 x %2 pixels is too large").arg(layer.Width).arg(layer.Height));
        layer.ChannelCount = in.I16BE();
        if (layer.ChannelCount < 0 || layer.ChannelCount > MaxChannels)
            in.Fail(Vistrel::tr("a layer cannot have %1 channels").arg(layer.ChannelCount));
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
            in.Fail(Vistrel::tr("the blend mode signature is missing"));
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
                in.Fail(Vistrel::tr("the layer's extra data are shorter than their mask, blending ranges and name"));
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
        const QByteArray pascal(reinterpret_cast<const char *>(in.Take(nameLength)), nameLength);
        // Image editors write the short name in UTF-8 or in a single-byte code page.
        const QString utf8 = QString::fromUtf8(pascal);
        layer.Name = utf8.contains(QChar::ReplacementCharacter) ? QString::fromLatin1(pascal) : utf8;
        // The additional information after the name: the Unicode name wins over
        // the short one, and a section divider marks a folder. A block that does
        // not fit is left alone: nothing of it is needed to show the layer.
        qint64 at = in.Pos() + (namePadded - nameLength);
        while (at + 12 <= extraEnd) {
            in.Seek(at);
            const QByteArray blockSignature(reinterpret_cast<const char *>(in.Take(4)), 4);
            if (blockSignature != "8BIM" && blockSignature != "8B64")
                break;
            const QByteArray key(reinterpret_cast<const char *>(in.Take(Psd::AdditionalInfoKeySize)), 4);
            const qint64 length = in.U32BE();
            const qint64 dataStart = in.Pos();
            if (length > extraEnd - dataStart)
                break;
            if (key == Psd::UnicodeNameKey && length >= 4) {
                const qint64 characters = std::min<qint64>(in.U32BE(), (length - 4) / 2);
                QString name;
                for (qint64 c = 0; c < characters; ++c)
                    name += QChar(in.U16BE());
                while (name.endsWith(QChar(0)))
                    name.chop(1);
                layer.Name = name;
            } else if (key == Psd::SectionDividerKey && length >= 4) {
                const uint32_t kind = in.U32BE();
                layer.FolderMark = kind == Psd::SectionEnd ? Layer::Folder::End
                                   : kind == Psd::SectionOpenFolder || kind == Psd::SectionClosedFolder
                                       ? Layer::Folder::Start
                                       : Layer::Folder::None;
            }
            at = dataStart + length;
        }
        in.Seek(extraEnd);
    }
}

// The image resources: the resolution (1005), the layer groups (1026) and
// the colour profile (1039), wherever they stand among the blocks.
void ReadResources(const QByteArray &resources, qint64 offset, Fixed4 &dpi, QByteArray &groups, QByteArray &icc)
{
    ByteCursor r(resources, QString(), offset);
    r.SetSection(Vistrel::tr("image resources"));
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
        } else if (id == Psd::IccProfileResource) {
            icc = QByteArray(reinterpret_cast<const char *>(data), size);
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
        Refuse(path, Vistrel::tr("it is not a Photoshop document (too short)."));
    const QByteArray header = ReadAt(file, 0, Psd::HeaderSize, path);
    ByteCursor h(header, QString());
    h.SetSection(Vistrel::tr("file header"));
    if (std::memcmp(h.Take(Psd::SignatureSize), Psd::Signature, Psd::SignatureSize) != 0)
        Refuse(path, Vistrel::tr("it is not a Photoshop document."));
    PsdFileHeader fh;
    fh.Version = h.U16BE();
    h.Skip(Psd::ReservedSize);
    fh.Channels = h.U16BE();  // of the merged image, not used
    fh.Height = h.U32BE();
    fh.Width = h.U32BE();
    fh.Depth = h.U16BE();
    fh.ColorMode = h.U16BE();
    if (fh.Version == Psd::LargeDocumentVersion)
        Refuse(path, Vistrel::tr("it is a large document (PSB). Vistrel reads Photoshop documents of format "
                                    "version 1; save it as PSD."));
    if (fh.Version != Psd::Version)
        Refuse(path, Vistrel::tr("its format version %1 is not known.").arg(fh.Version));
    if (fh.Depth != Psd::Depth8)
        Refuse(path, Vistrel::tr("it has %1 bit(s) per channel. Vistrel reads 8 bits per channel; convert the "
                                    "document to 8 bits.").arg(fh.Depth));
    if (fh.ColorMode != Psd::ModeGrey && fh.ColorMode != Psd::ModeRgb && fh.ColorMode != Psd::ModeCmyk)
        Refuse(path, Vistrel::tr("it is in %1 colour mode. Vistrel reads Grey, RGB and CMYK documents.")
                         .arg(ModeName(fh.ColorMode)));
    if (fh.Width == 0 || fh.Height == 0)
        Refuse(path, Vistrel::tr("its canvas of %1 x %2 pixels is not possible.").arg(fh.Width).arg(fh.Height));
    if (fh.Width > uint32_t(Psd::MaxSide) || fh.Height > uint32_t(Psd::MaxSide))
        Refuse(path, Vistrel::tr("its canvas of %1 x %2 pixels is larger than a Photoshop document can be (%3 "
                                    "pixels each way).")
                         .arg(fh.Width).arg(fh.Height).arg(Psd::MaxSide));
    index.Width = int32_t(fh.Width);
    index.Height = int32_t(fh.Height);
    index.ColorMode = fh.ColorMode;

    // --- Colour mode data and image resources: lengths checked against the file ---
    qint64 pos = Psd::HeaderSize;
    auto sectionLength = [&](const QString &section) {
        if (pos + Psd::LengthSize > fileSize)
            Refuse(path, Vistrel::tr("it ends early, in the %1.").arg(section));
        ByteCursor c(ReadAt(file, pos, Psd::LengthSize, path), QString(), pos);
        const qint64 length = c.U32BE();
        pos += Psd::LengthSize;
        if (pos + length > fileSize)
            Refuse(path, Vistrel::tr("the %1 runs %2 bytes past the end of the file.")
                             .arg(section).arg(pos + length - fileSize));
        return length;
    };
    pos += sectionLength(Vistrel::tr("colour mode data"));
    const qint64 resourcesLength = sectionLength(Vistrel::tr("image resources"));
    QByteArray groups;
    ReadResources(ReadAt(file, pos, resourcesLength, path), pos, index.Dpi, groups, index.IccProfile);
    pos += resourcesLength;

    // --- Layer and mask information ---
    const qint64 layerMaskLength = sectionLength(Vistrel::tr("layer and mask information"));
    const qint64 layerMaskEnd = pos + layerMaskLength;
    if (layerMaskLength < Psd::LengthSize)
        Refuse(path, NoLayersText());
    ByteCursor lengths(ReadAt(file, pos, Psd::LengthSize, path), QString(), pos);
    const qint64 layerInfoLength = lengths.U32BE();
    pos += Psd::LengthSize;
    const qint64 layerInfoEnd = pos + layerInfoLength;
    if (layerInfoEnd > layerMaskEnd)
        Refuse(path, Vistrel::tr("the layer information runs past its section (byte %1).").arg(pos));
    if (layerInfoLength < Psd::LayerCountSize)
        Refuse(path, NoLayersText());
    ByteCursor countCursor(ReadAt(file, pos, Psd::LayerCountSize, path), QString(), pos);
    // A negative count only says that the first alpha channel holds the
    // merged transparency.
    const int count = std::abs(int(countCursor.I16BE()));
    pos += Psd::LayerCountSize;
    if (count == 0)
        Refuse(path, NoLayersText());

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
                Refuse(path, Vistrel::tr("the data of layer %1, channel %2 run past the layer information "
                                            "(byte %3).").arg(i + 1).arg(channel.Id).arg(channelPos));
            if (channel.Length >= Psd::CompressionSize) {
                ByteCursor c(ReadAt(file, channelPos, Psd::CompressionSize, path), QString(), channelPos);
                channel.Compression = c.U16BE();
                if (channel.Compression > Psd::CompressionZipPrediction)
                    Refuse(path, Vistrel::tr("layer %1, channel %2 uses an unknown compression (%3).")
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
            Refuse(path, Vistrel::tr("the global layer mask runs past its section (byte %1); the layer "
                                        "information is damaged.").arg(layerInfoEnd));
    }

    bool anyPixels = false;
    for (const PsdLayerEntry &entry : index.Layers)
        anyPixels = anyPixels || (entry.Record.Width > 0 && entry.Record.Height > 0);
    if (!anyPixels)
        Refuse(path, Vistrel::tr("it holds no layer with pixels."));

    // Group numbers, two bytes per layer in record order; the low byte counts.
    constexpr int groupEntry = Psd::LayerGroupEntrySize;
    for (size_t i = 0; i < index.Layers.size() && qsizetype(groupEntry * i + 1) < groups.size(); ++i)
        index.Layers[i].Record.GroupId = uint8_t(groups[qsizetype(groupEntry * i + 1)]);
    return index;
}

namespace {

// Decodes PackBits row y from data[in, rowEnd) into `row`, `width` bytes.
void DecodePackBitsRow(const uint8_t *data, qint64 in, qint64 rowEnd, uint8_t *row, int width, int y,
                       const QString &what)
{
    qint64 x = 0;
    while (in < rowEnd) {
        const int count = int8_t(data[in++]);
        if (count >= 0) {
            const qint64 n = count + 1;
            // A literal run must fit both what is left of the row's input and of the output row.
            if (in + n > rowEnd || x + n > width)
                throw VistrelError(Vistrel::tr("%1: PackBits row %2 overflows the layer width.").arg(what).arg(y));
            std::memcpy(row + x, data + in, size_t(n));
            in += n;
            x += n;
        } else if (count != -128) {  // -128 is a no-op
            const qint64 n = 1 - count;
            if (in + 1 > rowEnd || x + n > width)
                throw VistrelError(Vistrel::tr("%1: PackBits row %2 overflows the layer width.").arg(what).arg(y));
            std::memset(row + x, data[in++], size_t(n));
            x += n;
        }
    }
    if (x != width)
        throw VistrelError(Vistrel::tr("%1: PackBits row %2 decodes to %3 bytes instead of %4.")
                               .arg(what).arg(y).arg(x).arg(width));
}

}  // namespace

QByteArray DecodePackBitsRows(const uint8_t *data, qint64 size, int width, int height, const QString &what)
{
    const qint64 countsSize = Psd::PackBitsRowCountSize * qint64(height);
    if (size < countsSize)
        throw VistrelError(Vistrel::tr("%1: the PackBits row counts are cut short.").arg(what));
    QByteArray plane(qint64(width) * height, '\0');
    uint8_t *out = reinterpret_cast<uint8_t *>(plane.data());
    qint64 in = countsSize;
    for (int y = 0; y < height; ++y) {
        const uint8_t *count = data + Psd::PackBitsRowCountSize * qint64(y);
        const qint64 rowSize = qint64(count[0] << 8 | count[1]);
        if (in + rowSize > size)
            throw VistrelError(Vistrel::tr("%1: PackBits row %2 runs past the channel data.").arg(what).arg(y));
        DecodePackBitsRow(data, in, in + rowSize, out + qint64(y) * width, width, y, what);
        in += rowSize;
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
            throw VistrelError(Vistrel::tr("%1: the ZIP decoder cannot start.").arg(what));
        z.next_in = const_cast<Bytef *>(data);
        z.avail_in = uInt(std::min<qint64>(size, UINT32_MAX));
        z.next_out = reinterpret_cast<Bytef *>(plane.data());
        z.avail_out = uInt(planeSize);
        const int result = inflate(&z, Z_FINISH);
        inflateEnd(&z);
        // Z_BUF_ERROR with a full plane means more data than the plane: cut.
        if (result != Z_STREAM_END && !(result == Z_BUF_ERROR && z.avail_out == 0) &&
            !(result == Z_BUF_ERROR && z.avail_in == 0))
            throw VistrelError(Vistrel::tr("%1: the ZIP data are damaged.").arg(what));
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
        throw VistrelError(Vistrel::tr("%1: unknown compression %2.").arg(what).arg(compression));
    }
}

namespace {

// The rows of one layer, decoded a band at a time so that a layer never has to
// be in memory whole: raw and PackBits channels are read from the file row by
// row; a ZIP channel, which inflates only from its start, is inflated once.
// Colour rows come out in the byte order of the work files (grey: the level;
// RGB: blue, green, red; CMYK: C, M, Y, K), coverage rows one byte a pixel.
class LayerRows {
public:
    LayerRows(QIODevice &file, const PsdIndex &index, int layerIndex)
        : File(file), Path(index.Path), Width(index.Layers[size_t(layerIndex)].Record.Width),
          Height(index.Layers[size_t(layerIndex)].Record.Height), Bytes(ChannelsOfColorMode(index.ColorMode))
    {
        const PsdLayerEntry &entry = index.Layers[size_t(layerIndex)];
        const int colourChannels = Bytes;
        for (const PsdChannel &c : entry.Channels) {
            // Channels are taken by ID: -1 transparency, 0.. colour; masks and
            // extra channels are skipped.
            const bool isAlpha = c.Id == Psd::TransparencyChannelId;
            if (!isAlpha && (c.Id < 0 || c.Id >= colourChannels))
                continue;
            Channel ch;
            ch.What = Vistrel::tr("layer %1, channel %2").arg(layerIndex + 1).arg(c.Id);
            ch.Slot = isAlpha ? -1 : Bytes == 3 ? 2 - c.Id : c.Id;
            ch.Data = c.DataOffset + Psd::CompressionSize;
            ch.Size = qint64(c.Length) - Psd::CompressionSize;
            if (ch.Size < 0) {  // no compression word at all: nothing stored
                ch.Compression = Psd::CompressionRaw;
                ch.Size = 0;
            } else {
                const QByteArray word = ReadAt(File, c.DataOffset, Psd::CompressionSize, Path);
                ch.Compression = uint16_t(uint8_t(word[0]) << 8 | uint8_t(word[1]));
            }
            switch (ch.Compression) {
            case Psd::CompressionRaw:
                break;
            case Psd::CompressionPackBits: {
                const qint64 countsSize = Psd::PackBitsRowCountSize * qint64(Height);
                if (ch.Size < countsSize)
                    throw VistrelError(Vistrel::tr("%1: the PackBits row counts are cut short.").arg(ch.What));
                const QByteArray counts = ReadAt(File, ch.Data, countsSize, Path);
                ch.RowStart.resize(size_t(Height) + 1);
                ch.RowStart[0] = countsSize;
                for (int y = 0; y < Height; ++y)
                    ch.RowStart[size_t(y) + 1] = ch.RowStart[size_t(y)] +
                                                 (uint8_t(counts[2 * y]) << 8 | uint8_t(counts[2 * y + 1]));
                break;
            }
            case Psd::CompressionZip:
            case Psd::CompressionZipPrediction: {
                const QByteArray data = ReadAt(File, c.DataOffset, c.Length, Path);
                ch.Plane = DecodeChannel(reinterpret_cast<const uint8_t *>(data.constData()), data.size(), Width,
                                         Height, ch.What);
                break;
            }
            default:
                throw VistrelError(Vistrel::tr("%1: unknown compression %2.").arg(ch.What).arg(ch.Compression));
            }
            Channels.push_back(std::move(ch));
        }
    }

    // Rows first .. first + count - 1 into `colour` (count x Width x Bytes) and
    // `alpha` (count x Width): black and opaque where no channel says otherwise.
    void Decode(int first, int count, uint8_t *colour, uint8_t *alpha)
    {
        const size_t pixels = size_t(Width) * size_t(count);
        // Each channel into a plane of its own; a later channel of the same
        // slot replaces an earlier one.
        if (Planes.size() < Channels.size())
            Planes.resize(Channels.size());
        std::vector<const uint8_t *> slot(size_t(Bytes), nullptr);
        const uint8_t *cover = nullptr;
        for (size_t c = 0; c < Channels.size(); ++c) {
            Planes[c].resize(pixels);
            ReadChannelRows(Channels[c], first, count, Planes[c].data());
            if (Channels[c].Slot < 0)
                cover = Planes[c].data();
            else
                slot[size_t(Channels[c].Slot)] = Planes[c].data();
        }
        if (cover)
            std::memcpy(alpha, cover, pixels);
        else
            std::memset(alpha, 255, pixels);  // no transparency channel: fully opaque
        Zeros.resize(pixels, 0);
        for (const uint8_t *&p : slot)
            if (!p)
                p = Zeros.data();  // a colour channel that is missing is black
        switch (Bytes) {
        case 1:
            std::memcpy(colour, slot[0], pixels);
            break;
        case 3:
            for (size_t i = 0; i < pixels; ++i) {
                colour[3 * i] = slot[0][i];
                colour[3 * i + 1] = slot[1][i];
                colour[3 * i + 2] = slot[2][i];
            }
            break;
        default:
            for (size_t i = 0; i < pixels; ++i) {
                colour[4 * i] = slot[0][i];
                colour[4 * i + 1] = slot[1][i];
                colour[4 * i + 2] = slot[2][i];
                colour[4 * i + 3] = slot[3][i];
            }
            break;
        }
    }

private:
    struct Channel {
        QString What;
        int Slot = 0;  // byte of the colour pixel; -1 for the coverage
        uint16_t Compression = Psd::CompressionRaw;
        qint64 Data = 0;  // file offset after the compression word
        qint64 Size = 0;  // bytes after the compression word
        std::vector<qint64> RowStart;  // PackBits: where each row starts, from Data
        QByteArray Plane;              // ZIP: the whole plane
    };

    void ReadChannelRows(const Channel &ch, int first, int count, uint8_t *out)
    {
        const qint64 w = Width;
        switch (ch.Compression) {
        case Psd::CompressionRaw: {  // short data leave zeros, longer data are cut
            std::memset(out, 0, size_t(w * count));
            const qint64 from = w * first, to = std::min(w * (first + count), ch.Size);
            if (to > from) {
                const QByteArray bytes = ReadAt(File, ch.Data + from, to - from, Path);
                std::memcpy(out, bytes.constData(), size_t(to - from));
            }
            return;
        }
        case Psd::CompressionPackBits: {
            const qint64 from = ch.RowStart[size_t(first)];
            const qint64 to = std::min(ch.RowStart[size_t(first + count)], ch.Size);
            const QByteArray bytes = to > from ? ReadAt(File, ch.Data + from, to - from, Path) : QByteArray();
            const uint8_t *data = reinterpret_cast<const uint8_t *>(bytes.constData()) - from;
            for (int y = first; y < first + count; ++y) {
                if (ch.RowStart[size_t(y) + 1] > ch.Size)
                    throw VistrelError(
                        Vistrel::tr("%1: PackBits row %2 runs past the channel data.").arg(ch.What).arg(y));
                DecodePackBitsRow(data, ch.RowStart[size_t(y)], ch.RowStart[size_t(y) + 1],
                                  out + w * (y - first), Width, y, ch.What);
            }
            return;
        }
        default:
            std::memcpy(out, ch.Plane.constData() + w * first, size_t(w * count));
            return;
        }
    }

    QIODevice &File;
    QString Path;
    int Width, Height, Bytes;
    std::vector<Channel> Channels;
    std::vector<std::vector<uint8_t>> Planes;
    std::vector<uint8_t> Zeros;
};

// Rows decoded per band: about a megabyte of colour.
int LayerBandRows(int width, int bytes)
{
    return std::max(1, (1 << 20) / std::max(1, width * bytes));
}

PsdDocument DocumentOf(const PsdIndex &index)
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
    doc.IccProfile = index.IccProfile;
    doc.WidthCm = ToFixed4(index.Width / FromFixed4(index.Dpi) * 2.54);
    doc.HeightCm = ToFixed4(index.Height / FromFixed4(index.Dpi) * 2.54);
    for (const PsdLayerEntry &entry : index.Layers)
        doc.Layers.push_back(entry.Record);
    doc.Images.resize(index.Layers.size());
    doc.Alphas.resize(index.Layers.size());
    return doc;
}

// A message of the decoders names the layer and channel; the import names the file too.
[[noreturn]] void RefuseDecoding(const PsdIndex &index, const VistrelError &error)
{
    if (error.Kind == ErrorKind::File || error.Kind == ErrorKind::Format)  // already says which file
        throw error;
    Refuse(index.Path, error.Message);
}

// Decodes layer i band by band from the bottom up: its work files are written
// as the bands come (the files hold the bottom row first) and its working-size
// copies take the rows they sample, as ScaleNearest would.
void StreamLayer(QIODevice &file, const PsdIndex &index, int i, const PsdDocument &doc, QImage &image, QImage &alpha)
{
    const Layer &layer = index.Layers[size_t(i)].Record;
    const int w = layer.Width, h = layer.Height;
    const int bytes = ChannelsOfColorMode(index.ColorMode);
    const int n = i + 1;
    BmpRowWriter colourFile(StagedName(WorkFileName(QStringLiteral("ly"), n)), w, h, 8 * bytes);
    BmpRowWriter alphaFile(StagedName(WorkFileName(QStringLiteral("lyt"), n)), w, h, 8);
    const double scale = FromFixed4(doc.WorkScale);
    const int ww = int(Round(w * scale)), wh = int(Round(h * scale));
    image = NewPicture(ww, wh, 8 * bytes);
    alpha = NewPicture(ww, wh, 8);
    if (w > 0 && h > 0) {
        LayerRows rows(file, index, i);
        std::vector<int> column(size_t(std::max(ww, 0)));
        for (int x = 0; x < ww; ++x)  // the source pixel under the target pixel's centre
            column[size_t(x)] = std::min(w - 1, int((2 * qint64(x) + 1) * w / (2 * qint64(ww))));
        const int band = LayerBandRows(w, bytes);
        std::vector<uint8_t> colour(size_t(w) * bytes * size_t(band)), cover(size_t(w) * size_t(band));
        int target = wh - 1;  // the working row to fill next, from the bottom
        for (int end = h; end > 0;) {
            const int first = std::max(0, end - band), count = end - first;
            rows.Decode(first, count, colour.data(), cover.data());
            // The band's rows in file order: its last row first.
            colourFile.AppendRows(colour.data() + size_t(count - 1) * w * bytes, count, -ptrdiff_t(w) * bytes);
            alphaFile.AppendRows(cover.data() + size_t(count - 1) * w, count, -ptrdiff_t(w));
            for (; target >= 0; --target) {
                const int sy = std::min(h - 1, int((2 * qint64(target) + 1) * h / (2 * qint64(wh))));
                if (sy < first)
                    break;
                const uint8_t *in = colour.data() + size_t(sy - first) * w * bytes;
                const uint8_t *inCover = cover.data() + size_t(sy - first) * w;
                uchar *out = image.scanLine(target);
                uchar *outCover = alpha.scanLine(target);
                for (int x = 0; x < ww; ++x) {
                    std::memcpy(out + size_t(x) * bytes, in + size_t(column[size_t(x)]) * bytes, size_t(bytes));
                    outCover[x] = inCover[column[size_t(x)]];
                }
            }
            end = first;
        }
    }
    colourFile.Commit();
    alphaFile.Commit();
}

}  // namespace

QString StagedName(const QString &finalName)
{
    return finalName + QStringLiteral(".part");
}

PsdDocument ReadPsdLayers(const PsdIndex &index, const std::function<void(int)> &progress)
{
    PsdDocument doc = DocumentOf(index);
    const int layerCount = int(index.Layers.size());
    // Layers are decoded on every core, each thread reading the file on its
    // own; progress is said on the calling thread only.
    std::atomic<int> done{0};
    const std::thread::id caller = std::this_thread::get_id();
    try {
        ParallelFor(layerCount, [&](int i) {
            QFile file(index.Path);
            if (!file.open(QIODevice::ReadOnly))
                throw FileError(index.Path, file.errorString());
            try {
                StreamLayer(file, index, i, doc, doc.Images[size_t(i)], doc.Alphas[size_t(i)]);
            } catch (const VistrelError &error) {
                RefuseDecoding(index, error);
            }
            const int finished = ++done;
            if (progress && std::this_thread::get_id() == caller)
                progress(int(Round(100.0 * finished / layerCount)));
        });
    } catch (...) {
        RemoveStagedPsdFiles(layerCount);
        throw;
    }
    if (progress)
        progress(100);
    return doc;
}

PsdDocument ReadPsdLayers(QIODevice &file, const PsdIndex &index, const LayerSink &sink,
                          const std::function<void(int)> &progress)
{
    PsdDocument doc = DocumentOf(index);
    const int layerCount = int(index.Layers.size());
    const int bits = BitsOfColorMode(index.ColorMode);
    const double scale = FromFixed4(doc.WorkScale);
    try {
        for (int i = 0; i < layerCount; ++i) {
            const Layer &layer = index.Layers[size_t(i)].Record;
            const int w = layer.Width;
            const int h = layer.Height;
            QImage colour = NewPicture(w, h, bits);
            QImage alpha = NewPicture(w, h, 8);
            if (w > 0 && h > 0) {
                LayerRows rows(file, index, i);
                std::vector<uint8_t> colourRow(size_t(w) * size_t(bits / 8));
                std::vector<uint8_t> coverRow(static_cast<size_t>(w));
                for (int y = 0; y < h; ++y) {
                    rows.Decode(y, 1, colourRow.data(), coverRow.data());
                    std::memcpy(colour.scanLine(y), colourRow.data(), colourRow.size());
                    std::memcpy(alpha.scanLine(y), coverRow.data(), coverRow.size());
                }
            }
            const int n = i + 1;
            sink(n, colour, alpha);
            const int ww = int(Round(w * scale));
            const int wh = int(Round(h * scale));
            doc.Images[size_t(i)] = ScaleNearest(colour, ww, wh);
            doc.Alphas[size_t(i)] = ScaleNearest(alpha, ww, wh);
            if (progress)
                progress(int(Round(100.0 * n / layerCount)));
        }
    } catch (const VistrelError &error) {
        RefuseDecoding(index, error);
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
                throw FileError(name, Vistrel::tr("The file cannot be renamed."));
            movedAside << name;
        }
        for (const QString &name : names) {
            FaultPoint("CommitLayerFile");
            if (!QFile::rename(StagedName(name), name))
                throw FileError(name, Vistrel::tr("The file cannot be renamed."));
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
