#include "BmpCodec.h"

#include "BmpFormat.h"
#include "ByteCursor.h"
#include "Errors.h"
#include "Texts.h"
#include "WorkFolder.h"

#include <QFile>
#include <QSaveFile>
#include <algorithm>
#include <cstring>
#include <functional>
#include <new>

using namespace Bmp;

namespace {

int RowBytes(int width, int bits)
{
    return (width * (bits / 8) + RowAlignment - 1) / RowAlignment * RowAlignment;
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

QImage NewPicture(int width, int height, int bitsPerPixel)
{
    const QImage::Format format = bitsPerPixel == 8    ? QImage::Format_Grayscale8
                                  : bitsPerPixel == 24 ? QImage::Format_BGR888
                                                       : QImage::Format_RGBA8888;
    QImage picture(width, height, format);
    // QImage says "no memory" by coming back empty; its rows would then be
    // null pointers. A command's guard turns this into its message.
    if (picture.isNull() && width > 0 && height > 0)
        throw std::bad_alloc();
    return picture;
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

namespace {

// The headers (and colour table) of a BMP file for a picture.
QByteArray BmpHeaders(int width, int height, int bits)
{
    const int rowBytes = RowBytes(width, bits);
    const int tableSize = bits == 8 ? GreyTableSize : 0;
    const qsizetype offset = FileHeaderSize + InfoHeaderSize + tableSize;
    const qsizetype imageSize = qsizetype(rowBytes) * height;
    QByteArray out(offset, '\0');
    out[0] = Signature[0];
    out[1] = Signature[1];
    PutU32(out, FileSizeField, uint32_t(offset + imageSize));
    PutU32(out, PixelOffsetField, uint32_t(offset));
    PutU32(out, InfoSizeField, InfoHeaderSize);
    PutU32(out, WidthField, uint32_t(width));
    PutU32(out, HeightField, uint32_t(height));
    PutU16(out, PlanesField, Planes);
    PutU16(out, BitsField, uint16_t(bits));
    PutU32(out, CompressionField, CompressionNone);
    PutU32(out, ImageSizeField, uint32_t(imageSize));
    PutU32(out, XPixelsPerMetreField, PixelsPerMetre72Dpi);  // for other programs
    PutU32(out, YPixelsPerMetreField, PixelsPerMetre72Dpi);
    if (bits == 8) {
        PutU32(out, ColoursUsedField, GreyTableEntries);
        for (int i = 0; i < GreyTableEntries; ++i) {  // a grey ramp makes the file viewable elsewhere
            const int entry = ColourTableOffset + ColourTableEntrySize * i;
            out[entry] = out[entry + 1] = out[entry + 2] = char(i);  // blue, green, red
        }
    }
    return out;
}

bool IsEmpty(const QImage &picture)
{
    return picture.isNull() || picture.width() == 0 || picture.height() == 0;
}

}  // namespace

// The one BMP encoder: headers, then the rows bottom first, each padded with
// zeros to 4 bytes, handed to `sink` one piece at a time (no second copy of
// the picture). False as soon as the sink fails.
static bool WriteBmp(const QImage &picture, const std::function<bool(const QByteArray &)> &sink)
{
    if (IsEmpty(picture))
        return true;
    const int bits = BitsPerPixel(picture);
    const int rowBytes = RowBytes(picture.width(), bits);
    if (!sink(BmpHeaders(picture.width(), picture.height(), bits)))
        return false;
    QByteArray row(rowBytes, '\0');
    const int used = picture.width() * (bits / 8);
    for (int y = picture.height() - 1; y >= 0; --y) {
        std::memcpy(row.data(), picture.constScanLine(y), size_t(used));
        if (!sink(row))
            return false;
    }
    return true;
}

QByteArray EncodeBmp(const QImage &picture)
{
    QByteArray out;
    WriteBmp(picture, [&out](const QByteArray &piece) {
        out += piece;
        return true;
    });
    return out;
}

namespace {

struct BmpHeader {
    int32_t Width = 0;
    int32_t Height = 0;
    int Bits = 0;
    qint64 PixelOffset = 0;
    qint64 RowBytes = 0;
};

// Checks the headers against our layout and the size of the whole file.
BmpHeader ParseBmpHeader(ByteCursor &in, qint64 fileSize)
{
    in.SetSection(Vistrel::tr("BMP header"));
    if (in.U8() != Signature[0] || in.U8() != Signature[1])
        in.Fail(Vistrel::tr("it is not a BMP picture"));
    in.Skip(PixelOffsetField - in.Pos());  // the file size and two reserved words
    BmpHeader h;
    h.PixelOffset = in.U32LE();
    const uint32_t infoSize = in.U32LE();
    h.Width = in.I32LE();
    h.Height = in.I32LE();
    const uint16_t planes = in.U16LE();
    h.Bits = in.U16LE();
    const uint32_t compression = in.U32LE();
    if (infoSize != InfoHeaderSize || planes != Planes || compression != CompressionNone ||
        (h.Bits != 8 && h.Bits != 24 && h.Bits != 32))
        in.Fail(Vistrel::tr("only uncompressed 8, 24 and 32-bit BMP pictures of Vistrel's own layout are read"));
    // Top-down (negative height) files and absurd sizes are not of our layout.
    if (h.Width <= 0 || h.Height <= 0 || h.Width > 1'000'000 || h.Height > 1'000'000)
        in.Fail(Vistrel::tr("the picture size %1 x %2 is not possible").arg(h.Width).arg(h.Height));
    h.RowBytes = RowBytes(h.Width, h.Bits);
    if (h.PixelOffset < FileHeaderSize + InfoHeaderSize || h.PixelOffset + h.RowBytes * h.Height > fileSize)
        in.Fail(Vistrel::tr("the pixel rows run past the end of the file"));
    return h;
}

}  // namespace

QImage DecodeBmp(const QByteArray &bytes, const QString &fileName)
{
    if (bytes.isEmpty())
        return {};
    ByteCursor in(bytes, fileName);
    const BmpHeader h = ParseBmpHeader(in, bytes.size());
    QImage picture = NewPicture(h.Width, h.Height, h.Bits);
    if (picture.isNull())
        in.Fail(Vistrel::tr("the picture is too large to hold in memory"));
    in.Seek(h.PixelOffset);
    const uint8_t *pixels = in.Take(h.RowBytes * h.Height);
    const int used = h.Width * (h.Bits / 8);
    for (int y = 0; y < h.Height; ++y)
        std::memcpy(picture.scanLine(y), pixels + qint64(h.Height - 1 - y) * h.RowBytes, size_t(used));
    return picture;
}

void WriteWholeFile(const QString &path, const QByteArray &bytes)
{
    QSaveFile file(path);
    OpenForSaving(file);
    if (CheckedWrite(file, bytes) != bytes.size())
        throw FileError(path, WriteFailureReason(file));
    CommitSaveFile(file);
}

void SaveImage(const QImage &picture, const QString &path)
{
    FaultPoint("WriteWorkFile");
    SavingFile file(path, !IsWorkFile(path));
    file.Open();
    const bool ok = WriteBmp(
        picture, [&file](const QByteArray &piece) { return CheckedWrite(file.Device(), piece) == piece.size(); });
    if (!ok)
        throw FileError(path, WriteFailureReason(file.Device()));
    file.Commit();
}

BmpRowWriter::BmpRowWriter(const QString &path, int width, int height, int bitsPerPixel)
    : Path(path), File(std::make_unique<SavingFile>(path, !IsWorkFile(path)))
{
    FaultPoint("WriteWorkFile");
    File->Open();
    if (width <= 0 || height <= 0)
        return;  // an empty picture is a file of zero bytes
    Padded = RowBytes(width, bitsPerPixel);
    Used = width * (bitsPerPixel / 8);
    const QByteArray headers = BmpHeaders(width, height, bitsPerPixel);
    if (CheckedWrite(File->Device(), headers) != headers.size())
        throw FileError(path, WriteFailureReason(File->Device()));
}

BmpRowWriter::~BmpRowWriter() = default;

void BmpRowWriter::AppendRows(const uchar *pixels, int count, ptrdiff_t step)
{
    if (count <= 0 || Padded == 0)
        return;
    if (Rows.size() < qsizetype(Padded) * count)
        Rows = QByteArray(qsizetype(Padded) * count, '\0');  // the padding stays zero
    for (int k = 0; k < count; ++k)
        std::memcpy(Rows.data() + qsizetype(Padded) * k, pixels + step * k, size_t(Used));
    const qint64 bytes = qint64(Padded) * count;
    if (CheckedWrite(File->Device(), Rows.constData(), bytes) != bytes)
        throw FileError(Path, WriteFailureReason(File->Device()));
}

void BmpRowWriter::Commit()
{
    File->Commit();
}

QImage LoadImage(const QString &path)
{
    // The headers first, then the rows straight into the picture.
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw FileError(path, file.errorString());
    const qint64 size = file.size();
    if (size == 0)
        return {};
    ByteCursor in(file.read(FileHeaderSize + InfoHeaderSize), path);
    const BmpHeader h = ParseBmpHeader(in, size);
    QImage picture = NewPicture(h.Width, h.Height, h.Bits);
    if (picture.isNull())
        in.Fail(Vistrel::tr("the picture is too large to hold in memory"));
    const int used = h.Width * (h.Bits / 8);
    QByteArray row(h.RowBytes, '\0');
    file.seek(h.PixelOffset);
    for (int y = h.Height - 1; y >= 0; --y) {
        if (file.read(row.data(), h.RowBytes) != h.RowBytes)
            throw FileError(path, file.errorString());
        std::memcpy(picture.scanLine(y), row.constData(), size_t(used));
    }
    return picture;
}

BmpRowReader::BmpRowReader(const QString &path) : Path(path), File(std::make_unique<QFile>(path))
{
    if (!File->open(QIODevice::ReadOnly))
        throw FileError(path, File->errorString());
    const qint64 size = File->size();
    Size = size;
    if (size == 0)
        return;
    ByteCursor in(File->read(FileHeaderSize + InfoHeaderSize), path);
    const BmpHeader h = ParseBmpHeader(in, size);
    Header = {h.Width, h.Height, h.Bits, h.PixelOffset, h.RowBytes};
}

void BmpRowReader::ReadRows(int first, int count)
{
    first = std::max(first, 0);
    count = std::min(count, Header.Height - first);
    First = first;
    Count = std::max(count, 0);
    if (Count == 0)
        return;
    // Rows are stored bottom row first: rows first .. first + count - 1 are one
    // block, the last of them at its start.
    const qint64 bytes = Header.RowBytes * Count;
    if (Rows.size() < bytes)
        Rows.resize(bytes);
    const qint64 at = Header.PixelOffset + Header.RowBytes * (Header.Height - first - Count);
    if (!File->isOpen()) {
        if (!File->open(QIODevice::ReadOnly))
            throw FileError(Path, File->errorString());
        if (File->size() != Size)
            throw VistrelError(Vistrel::tr("The work file \"%1\" was changed while Vistrel was working. Import the "
                                              "PSD again.")
                                   .arg(Path),
                               ErrorKind::Format);
    }
    if (!File->seek(at) || File->read(Rows.data(), bytes) != bytes)
        throw FileError(Path, File->errorString());
}

void BmpRowReader::Close()
{
    File->close();
}

const uchar *BmpRowReader::Row(int y) const
{
    return reinterpret_cast<const uchar *>(Rows.constData()) + Header.RowBytes * (First + Count - 1 - y);
}

QImage ScaleNearest(const QImage &source, int width, int height)
{
    QImage target = NewPicture(width, height, BitsPerPixel(source));
    if (width <= 0 || height <= 0 || source.isNull() || source.width() == 0 || source.height() == 0)
        return target;
    const int bytes = BitsPerPixel(source) / 8;
    std::vector<int> column(width);
    for (int x = 0; x < width; ++x)  // the source pixel under the target pixel's centre
        column[x] = std::min(source.width() - 1, int((2 * qint64(x) + 1) * source.width() / (2 * qint64(width))));
    for (int y = 0; y < height; ++y) {
        const int sy = std::min(source.height() - 1, int((2 * qint64(y) + 1) * source.height() / (2 * qint64(height))));
        const uchar *in = source.constScanLine(sy);
        uchar *out = target.scanLine(y);
        for (int x = 0; x < width; ++x)
            std::memcpy(out + x * bytes, in + column[x] * bytes, size_t(bytes));
    }
    return target;
}
