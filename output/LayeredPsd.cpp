#include "LayeredPsd.h"

#include "BmpCodec.h"
#include "Errors.h"
#include "Tiff.h"
#include "WorkFolder.h"

#include <QSaveFile>
#include <cstring>

namespace {

constexpr int32_t MaxPsdSide = 30000;  // the limit of format version 1

void U8(QByteArray &out, int v) { out.append(char(v & 0xff)); }
void U16(QByteArray &out, int v) { U8(out, v >> 8); U8(out, v); }
void U32(QByteArray &out, int64_t v) { U16(out, int((v >> 16) & 0xffff)); U16(out, int(v & 0xffff)); }

// An additional-information block: "8BIM", its key, its length, its data.
void Block(QByteArray &out, const char *key, const QByteArray &data)
{
    out += "8BIM";
    out += key;
    U32(out, data.size());
    out += data;
}

QString LayerName(int layer)
{
    return QStringLiteral("lyr%1").arg(layer, 2, 10, QLatin1Char('0'));
}

}  // namespace

int64_t LayeredPsdLayerInfoLength(int32_t width, int32_t height, int colourChannels)
{
    const int64_t planeBytes = int64_t(width) * height + 2;
    return 2 + 7 * LayeredPsdRecordSize(colourChannels) + 7 * int64_t(colourChannels + 1) * planeBytes;
}

QByteArray LayeredPsdRecord(int layer, int32_t width, int32_t height, int colourChannels)
{
    QByteArray r;
    U32(r, 0);
    U32(r, 0);
    U32(r, height);
    U32(r, width);
    U16(r, colourChannels + 1);
    for (int id = -1; id < colourChannels; ++id) {  // transparency first
        U16(r, id);
        U32(r, int64_t(width) * height + 2);
    }
    r += "8BIMnorm";
    U8(r, 255);   // opacity
    U8(r, 0);     // clipping
    U8(r, 0x28);  // flags
    U8(r, 0);     // filler
    U32(r, 210);  // extra data
    U32(r, 0);    // no layer mask
    U32(r, 40);   // blending ranges: ten times 00 00 FF FF
    for (int i = 0; i < 10; ++i)
        r += QByteArray("\x00\x00\xff\xff", 4);
    const QByteArray name = LayerName(layer).toLatin1();
    U8(r, name.size());
    r += name;
    U16(r, 0);  // padded to a multiple of 4
    QByteArray unicode;
    U32(unicode, name.size());
    for (char c : name)
        U16(unicode, c);
    Block(r, "luni", unicode);
    QByteArray id;
    U32(id, layer + 6);
    Block(r, "lyid", id);
    Block(r, "clbl", QByteArray("\x01\x00\x00\x00", 4));
    Block(r, "infx", QByteArray(4, '\0'));
    Block(r, "knko", QByteArray(4, '\0'));
    Block(r, "lspf", QByteArray(4, '\0'));
    Block(r, "lclr", QByteArray(8, '\0'));
    Block(r, "fxrp", QByteArray(16, '\0'));
    return r;
}

void WriteLayeredPsd(const QString &path, int layers, uint16_t colorMode)
{
    const int colours = colorMode == 1 ? 1 : colorMode == 3 ? 3 : 4;
    const TiffInfo first = ReadTiffInfo(WorkFileName3(QStringLiteral("vwd"), 1));
    const int32_t width = first.Width;
    const int32_t height = first.Height;
    if (width > MaxPsdSide || height > MaxPsdSide)
        throw VistrelError(QStringLiteral("The views are %1 x %2 pixels; a Photoshop document holds at most %3 "
                                          "pixels each way.").arg(width).arg(height).arg(MaxPsdSide));
    const int64_t layerInfo = LayeredPsdLayerInfoLength(width, height, colours);
    if (layerInfo + 20 > int64_t(UINT32_MAX))
        throw VistrelError(QStringLiteral("The views are too large for a Photoshop document (over 4 GB of layers)."));

    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        throw VistrelError(QStringLiteral("Cannot create file \"%1\". %2").arg(path, file.errorString()));
    auto write = [&](const QByteArray &bytes) {
        if (file.write(bytes) != bytes.size())
            throw VistrelError(QStringLiteral("Stream write error: %1").arg(file.errorString()));
    };

    QByteArray head = "8BPS";
    U16(head, 1);
    head.append(6, '\0');
    U16(head, colours);
    U32(head, height);
    U32(head, width);
    U16(head, 8);
    U16(head, colorMode);
    U32(head, 0);  // colour mode data
    U32(head, 0);  // image resources
    U32(head, layerInfo + 20);
    U32(head, layerInfo);
    U16(head, layers);
    for (int j = 1; j <= layers; ++j)
        head += LayeredPsdRecord(j, width, height, colours);
    write(head);

    // One plane buffer, reused for every channel of every layer.
    QByteArray plane(qsizetype(width) * height, '\0');
    QImage view;
    auto writePlane = [&](bool withCompression) {
        if (withCompression)
            write(QByteArray(2, '\0'));  // raw
        write(plane);
    };
    auto colourPlane = [&](int channel) {
        const int bytes = BitsPerPixel(view) / 8;
        // 24-bit pictures hold blue, green, red: red is the third byte.
        const int slot = bytes == 3 ? 2 - channel : channel;
        uchar *out = reinterpret_cast<uchar *>(plane.data());
        for (int y = 0; y < height; ++y) {
            const uchar *in = view.constScanLine(y) + slot;
            for (int x = 0; x < width; ++x)
                *out++ = in[x * bytes];
        }
    };
    for (int j = 1; j <= layers; ++j) {
        view = LoadTiffBitmap(WorkFileName3(QStringLiteral("vwd"), j));
        const QImage coverage = LoadImage(WorkFileName3(QStringLiteral("vwdt"), j));
        if (view.isNull() || view.size() != QSize(width, height) || coverage.size() != QSize(width, height) ||
            BitsPerPixel(view) != colours * 8)
            throw VistrelError(QStringLiteral("The view files of view %1 do not match the document (%2 x %3).")
                                   .arg(j).arg(width).arg(height));
        for (int y = 0; y < height; ++y)
            std::memcpy(plane.data() + qsizetype(y) * width, coverage.constScanLine(y), size_t(width));
        writePlane(true);
        for (int c = 0; c < colours; ++c) {
            colourPlane(c);
            writePlane(true);
        }
    }
    // The end of the layer section: no global mask, then the maker's 12 bytes.
    QByteArray closing;
    U32(closing, 0);
    closing += "qz58mavo";
    U32(closing, 0);
    write(closing);
    // The merged image is the last view, without transparency.
    write(QByteArray(2, '\0'));
    for (int c = 0; c < colours; ++c) {
        colourPlane(c);
        writePlane(false);
    }
    if (!file.commit())
        throw VistrelError(QStringLiteral("Cannot create file \"%1\". %2").arg(path, file.errorString()));
}
