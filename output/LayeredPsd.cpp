#include "LayeredPsd.h"

#include "BmpCodec.h"
#include "Document.h"
#include "Errors.h"
#include "PsdFormat.h"
#include "ReplacingFile.h"
#include "Texts.h"
#include "Tiff.h"
#include "WorkFolder.h"

#include <algorithm>
#include <vector>
#include <cstring>

namespace {

using Psd::PutU16;
using Psd::PutU32;
using Psd::PutU8;

// The flags byte of our records: bits 3 and 5 set.
constexpr uint8_t RecordFlags = 0x28;
// Blending ranges: grey and each channel, source and destination, each
// 00 00 FF FF (every level blends).
constexpr int BlendingRangeCount = 10;
const QByteArray BlendingRangeAll("\x00\x00\xff\xff", 4);
// After the global mask length (0) the layer section ends with the maker's
// tag "qz58mavo" and four zeros.
constexpr int MakerTagSize = 12;

// An additional-information block: "8BIM", its key, its length, its data.
void Block(QByteArray &out, const char *key, const QByteArray &data)
{
    out.append(Psd::BlockSignature, Psd::BlockSignatureSize);
    out.append(key, Psd::AdditionalInfoKeySize);
    PutU32(out, data.size());
    out += data;
}

QString LayerName(int layer)
{
    return QStringLiteral("lyr%1").arg(layer, 2, 10, QLatin1Char('0'));
}

}  // namespace

int64_t LayeredPsdLayerInfoLength(int32_t width, int32_t height, int colourChannels)
{
    const int64_t planeBytes = int64_t(width) * height + Psd::CompressionSize;
    return Psd::LayerCountSize + 7 * LayeredPsdRecordSize(colourChannels) +
           7 * int64_t(colourChannels + 1) * planeBytes;
}

QByteArray LayeredPsdRecord(int layer, int32_t width, int32_t height, int colourChannels)
{
    QByteArray r;
    PutU32(r, 0);  // top
    PutU32(r, 0);  // left
    PutU32(r, height);
    PutU32(r, width);
    PutU16(r, colourChannels + 1);
    for (int id = Psd::TransparencyChannelId; id < colourChannels; ++id) {  // transparency first
        PutU16(r, id);
        PutU32(r, int64_t(width) * height + Psd::CompressionSize);
    }
    r.append(Psd::BlockSignature, Psd::BlockSignatureSize);
    r.append(Psd::BlendNormal, Psd::BlendModeKeySize);
    PutU8(r, Psd::OpacityOpaque);
    PutU8(r, Psd::ClippingBase);
    PutU8(r, RecordFlags);
    PutU8(r, 0);  // filler
    PutU32(r, LayeredPsdExtraSize);
    PutU32(r, 0);  // no layer mask
    PutU32(r, BlendingRangeCount * BlendingRangeAll.size());
    for (int i = 0; i < BlendingRangeCount; ++i)
        r += BlendingRangeAll;
    const QByteArray name = LayerName(layer).toLatin1();
    PutU8(r, name.size());
    r += name;
    PutU16(r, 0);  // padded to a multiple of 4 ("lyrNN")
    QByteArray unicode;
    PutU32(unicode, name.size());
    for (char c : name)
        PutU16(unicode, c);
    Block(r, "luni", unicode);
    QByteArray id;
    PutU32(id, layer + 6);
    Block(r, "lyid", id);
    Block(r, "clbl", QByteArray("\x01\x00\x00\x00", 4));
    Block(r, "infx", QByteArray(4, '\0'));
    Block(r, "knko", QByteArray(4, '\0'));
    Block(r, "lspf", QByteArray(4, '\0'));
    Block(r, "lclr", QByteArray(8, '\0'));
    Block(r, "fxrp", QByteArray(16, '\0'));
    return r;
}

void CheckLayeredPsdSize(int32_t width, int32_t height, int colourChannels)
{
    if (width > Psd::MaxSide || height > Psd::MaxSide)
        throw VistrelError(Vistrel::tr("The views are %1 x %2 pixels; a Photoshop document holds at most %3 "
                                          "pixels each way.").arg(width).arg(height).arg(Psd::MaxSide));
    const int64_t layerInfo = LayeredPsdLayerInfoLength(width, height, colourChannels);
    // The section: the layer information with its length, the global mask length and the maker's tag.
    const int64_t layerSection = Psd::LengthSize + layerInfo + Psd::LengthSize + MakerTagSize;
    if (layerSection > int64_t(UINT32_MAX))
        throw VistrelError(Vistrel::tr("The views are too large for a Photoshop document (over 4 GB of layers)."));
}

void WriteLayeredPsd(const QString &path, int layers, uint16_t colorMode, const QByteArray &iccProfile)
{
    const int colours = ChannelsOfColorMode(colorMode);
    const TiffInfo first = ReadTiffInfo(WorkFileName3(QStringLiteral("vwd"), 1));
    const int32_t width = first.Width;
    const int32_t height = first.Height;
    CheckLayeredPsdSize(width, height, colours);
    const int64_t layerInfo = LayeredPsdLayerInfoLength(width, height, colours);
    const int64_t layerSection = Psd::LengthSize + layerInfo + Psd::LengthSize + MakerTagSize;

    ReplacingFile file(path);
    file.Open();
    auto write = [&](const QByteArray &bytes) {
        if (CheckedWrite(file, bytes) != bytes.size())
            throw StreamWriteError(file);
    };

    QByteArray head;
    PsdFileHeader header;
    header.Channels = uint16_t(colours);
    header.Height = uint32_t(height);
    header.Width = uint32_t(width);
    header.ColorMode = colorMode;
    AppendPsdFileHeader(head, header);
    PutU32(head, 0);  // colour mode data
    if (iccProfile.isEmpty()) {
        PutU32(head, 0);  // image resources
    } else {
        // One block: signature, id, an empty name padded to even, the size and the profile padded to even.
        const int64_t padded = iccProfile.size() + iccProfile.size() % 2;
        PutU32(head, Psd::BlockSignatureSize + 2 + 2 + Psd::LengthSize + padded);
        head += QByteArray("8BIM");
        PutU16(head, Psd::IccProfileResource);
        PutU16(head, 0);
        PutU32(head, iccProfile.size());
        head += iccProfile;
        if (iccProfile.size() % 2)
            head += '\0';
    }
    PutU32(head, layerSection);
    PutU32(head, layerInfo);
    PutU16(head, layers);
    for (int j = 1; j <= layers; ++j)
        head += LayeredPsdRecord(j, width, height, colours);
    write(head);

    // The views are read a band of rows at a time: a channel's plane is written
    // band by band, so memory does not grow with the views.
    QByteArray raw;
    PutU16(raw, Psd::CompressionRaw);
    const int band = std::max(1, int((1 << 20) / std::max<int64_t>(int64_t(width) * colours, 1)));
    std::vector<uint8_t> rows(size_t(width) * colours * size_t(band));
    QByteArray plane(qsizetype(width) * band, '\0');
    auto viewRecord = [&](int j) {
        const QString name = WorkFileName3(QStringLiteral("vwd"), j);
        const TiffInfo info = ReadTiffInfo(name);
        if (info.Width != width || info.Height != height || info.Samples != colours ||
            info.Compression != Tiff::CompressionNone)
            throw VistrelError(Vistrel::tr("The view files of view %1 do not match the document (%2 x %3).")
                                   .arg(j).arg(width).arg(height));
        return Rtif{name, info.Width, info.Height, info.DataOffset};
    };
    // A colour channel of a view: the files hold the samples in channel order.
    auto writeColourPlane = [&](const Rtif &view, int channel) {
        for (int b = 0; b * band < height; ++b) {
            const int count = std::min(band, height - b * band);
            ReadTiffRows(view, b, rows.data(), band, colours);
            uchar *out = reinterpret_cast<uchar *>(plane.data());
            const uint8_t *in = rows.data() + channel;
            for (int64_t i = 0; i < int64_t(width) * count; ++i)
                out[i] = in[i * colours];
            write(plane.left(qsizetype(width) * count));
        }
    };
    for (int j = 1; j <= layers; ++j) {
        const Rtif view = viewRecord(j);
        BmpRowReader coverage(WorkFileName3(QStringLiteral("vwdt"), j));
        if (coverage.Width() != width || coverage.Height() != height || coverage.Bits() != 8)
            throw VistrelError(Vistrel::tr("The view files of view %1 do not match the document (%2 x %3).")
                                   .arg(j).arg(width).arg(height));
        write(raw);
        for (int b = 0; b * band < height; ++b) {
            const int count = std::min(band, height - b * band);
            coverage.ReadRows(b * band, count);
            for (int r = 0; r < count; ++r)
                std::memcpy(plane.data() + qsizetype(width) * r, coverage.Row(b * band + r), size_t(width));
            write(plane.left(qsizetype(width) * count));
        }
        for (int c = 0; c < colours; ++c) {
            write(raw);
            writeColourPlane(view, c);
        }
    }
    // The end of the layer section: no global mask, then the maker's 12 bytes.
    QByteArray closing;
    PutU32(closing, 0);
    closing += "qz58mavo";
    PutU32(closing, 0);
    write(closing);
    // The merged image is the last view, without transparency.
    write(raw);
    const Rtif merged = viewRecord(layers);
    for (int c = 0; c < colours; ++c)
        writeColourPlane(merged, c);
    if (!file.Commit())
        throw CreateFileError(path, file.errorString());
}
