#include "WorkFiles.h"

#include "ByteCursor.h"
#include "Document.h"
#include "Errors.h"

#include <QFile>
#include <QSaveFile>
#include <cstring>

namespace {

constexpr int FileHeaderSize = 14;
constexpr int InfoHeaderSize = 40;
constexpr int GreyTableSize = 256 * 4;

int RowBytes(int width, int bits)
{
    return (width * (bits / 8) + 3) / 4 * 4;
}

void PutU16(QByteArray &out, qsizetype at, uint16_t v)
{
    out[at] = char(v & 0xff);
    out[at + 1] = char(v >> 8);
}

void PutU32(QByteArray &out, qsizetype at, uint32_t v)
{
    for (int i = 0; i < 4; ++i)
        out[at + i] = char((v >> (8 * i)) & 0xff);
}

}  // namespace

QString WorkFileName(const QString &prefix, int number)
{
    return WorkFolder + prefix + QString::number(number) + QStringLiteral(".gjs");
}

QString WorkFileName(int layerNumber, const QString &prefix, int viewNumber)
{
    return WorkFolder + QString::number(layerNumber) + prefix + QString::number(viewNumber) + QStringLiteral(".gjs");
}

QString ThreeDigits(int number)
{
    if (number < 10)
        return QStringLiteral("00") + QString::number(number);
    if (number < 100)
        return QStringLiteral("0") + QString::number(number);
    return QString::number(number);
}

QString WorkFileName3(const QString &prefix, int number)
{
    return WorkFolder + prefix + ThreeDigits(number) + QStringLiteral(".gjs");
}

QImage NewPicture(int width, int height, int bitsPerPixel)
{
    switch (bitsPerPixel) {
    case 8: return QImage(width, height, QImage::Format_Grayscale8);
    case 24: return QImage(width, height, QImage::Format_BGR888);
    default: return QImage(width, height, QImage::Format_RGBA8888);
    }
}

int BitsPerPixel(const QImage &picture)
{
    if (picture.isNull())
        return 0;
    switch (picture.format()) {
    case QImage::Format_Grayscale8: return 8;
    case QImage::Format_BGR888: return 24;
    case QImage::Format_RGBA8888: return 32;
    default: return picture.depth();
    }
}

QByteArray EncodeBmp(const QImage &picture)
{
    if (picture.isNull() || picture.width() == 0 || picture.height() == 0)
        return {};
    const int bits = BitsPerPixel(picture);
    const int width = picture.width();
    const int height = picture.height();
    const int rowBytes = RowBytes(width, bits);
    const int tableSize = bits == 8 ? GreyTableSize : 0;
    const qsizetype offset = FileHeaderSize + InfoHeaderSize + tableSize;
    const qsizetype imageSize = qsizetype(rowBytes) * height;
    QByteArray out(offset + imageSize, '\0');

    out[0] = 'B';
    out[1] = 'M';
    PutU32(out, 2, uint32_t(out.size()));
    PutU32(out, 10, uint32_t(offset));
    PutU32(out, 14, InfoHeaderSize);
    PutU32(out, 18, uint32_t(width));
    PutU32(out, 22, uint32_t(height));
    PutU16(out, 26, 1);
    PutU16(out, 28, uint16_t(bits));
    PutU32(out, 30, 0);  // no compression
    PutU32(out, 34, uint32_t(imageSize));
    PutU32(out, 38, 2835);  // 72 dpi, for other programs
    PutU32(out, 42, 2835);
    if (bits == 8) {
        PutU32(out, 46, 256);
        for (int i = 0; i < 256; ++i) {  // a grey ramp makes the file viewable elsewhere
            out[54 + 4 * i] = out[55 + 4 * i] = out[56 + 4 * i] = char(i);
        }
    }
    const int used = width * (bits / 8);
    for (int y = 0; y < height; ++y)
        std::memcpy(out.data() + offset + qsizetype(height - 1 - y) * rowBytes, picture.constScanLine(y), used);
    return out;
}

QImage DecodeBmp(const QByteArray &bytes, const QString &fileName)
{
    if (bytes.isEmpty())
        return {};
    ByteCursor in(bytes, fileName);
    in.SetSection(QStringLiteral("BMP header"));
    if (in.U8() != 'B' || in.U8() != 'M')
        in.Fail(QStringLiteral("it is not a BMP picture"));
    in.Skip(8);
    const uint32_t offset = in.U32LE();
    const uint32_t infoSize = in.U32LE();
    const int32_t width = in.I32LE();
    const int32_t height = in.I32LE();
    const uint16_t planes = in.U16LE();
    const uint16_t bits = in.U16LE();
    const uint32_t compression = in.U32LE();
    if (infoSize != InfoHeaderSize || planes != 1 || compression != 0 || (bits != 8 && bits != 24 && bits != 32))
        in.Fail(QStringLiteral("only uncompressed 8, 24 and 32-bit BMP pictures of Vistrel's own layout are read"));
    // Top-down (negative height) files and absurd sizes are not of our layout.
    if (width <= 0 || height <= 0 || width > 1'000'000 || height > 1'000'000)
        in.Fail(QStringLiteral("the picture size %1 x %2 is not possible").arg(width).arg(height));
    const qint64 rowBytes = RowBytes(width, bits);
    in.Seek(offset);
    in.Need(rowBytes * height);

    QImage picture = NewPicture(width, height, bits);
    if (picture.isNull())
        in.Fail(QStringLiteral("the picture is too large to hold in memory"));
    const uint8_t *pixels = in.Take(rowBytes * height);
    const int used = width * (bits / 8);
    for (int y = 0; y < height; ++y)
        std::memcpy(picture.scanLine(y), pixels + qint64(height - 1 - y) * rowBytes, used);
    return picture;
}

QByteArray ReadWholeFile(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw VistrelError(CannotOpenFileText(path, file.errorString()));
    return file.readAll();
}

void WriteWholeFile(const QString &path, const QByteArray &bytes)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit())
        throw VistrelError(CannotOpenFileText(path, file.errorString()));
}

void SaveImage(const QImage &picture, const QString &path)
{
    WriteWholeFile(path, EncodeBmp(picture));
}

QImage LoadImage(const QString &path)
{
    return DecodeBmp(ReadWholeFile(path), path);
}
