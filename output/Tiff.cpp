#include "Tiff.h"

#include "BmpCodec.h"
#include "ByteCursor.h"
#include "Errors.h"
#include "Texts.h"
#include "WorkFolder.h"
#include "ReplacingFile.h"
#include "TiffFormat.h"

#include <QDateTime>
#include <QFile>
#include <QSaveFile>
#include <cstring>

using namespace Tiff;

// The three texts sit in areas of 60, 20 and 12 bytes. Each is ended by a zero
// byte counted in its entry, as TIFF readers require of ASCII values; the rest
// of the area stays zero.
const char TiffSoftwareText[] = "Vistrel lenticular design tool";
const char TiffArtistText[] = "vistrel.app";
static_assert(sizeof(TiffSoftwareText) <= Tiff::SoftwareArea && sizeof(TiffArtistText) <= Tiff::ArtistArea);

namespace {

void PutU16(QByteArray &out, int at, uint32_t v)
{
    out[at] = char(v & 0xff);
    out[at + 1] = char((v >> 8) & 0xff);
}

void PutU32(QByteArray &out, int at, uint32_t v)
{
    for (int i = 0; i < 4; ++i)
        out[at + i] = char((v >> (8 * i)) & 0xff);
}

[[noreturn]] void NotOurs(const QString &path, const QString &why)
{
    throw VistrelError(Vistrel::tr("\"%1\" is not a TIFF file of Vistrel's own layout: %2.").arg(path, why));
}

}  // namespace

QString TiffDateTimeNow()
{
    // The TIFF standard's own form, which every reader understands and which
    // fills the area exactly with its ending zero; the person's own formats
    // could be longer and lose the last digits.
    return QDateTime::currentDateTime().toString(QStringLiteral("yyyy:MM:dd HH:mm:ss"));
}

QByteArray TiffHeader(int samples, int32_t width, int32_t height, Fixed4 xDpi, Fixed4 yDpi, const QString &dateTime)
{
    const TiffLayout layout(samples);
    QByteArray out(layout.Pixels(), '\0');
    PutU16(out, 0, LittleEndian);
    PutU16(out, 2, Magic);
    PutU32(out, DirectoryOffsetField, DirectoryOffset);
    PutU16(out, int(DirectoryOffset), EntryCount);
    int index = 0;
    auto entry = [&](uint16_t tag, uint16_t type, uint32_t count, uint32_t value) {
        const int at = EntriesOffset + EntrySize * index++;
        PutU16(out, at, tag);
        PutU16(out, at + EntryTypeField, type);
        PutU32(out, at + EntryCountField, count);
        PutU32(out, at + EntryValueField, value);  // a SHORT takes the first two bytes, the others stay zero
    };
    const uint32_t photometric =
        samples == 1 ? PhotometricBlackIsZero : samples == 3 ? PhotometricRgb : PhotometricSeparated;
    // The user's date and time, cut so that its ending zero fits the area.
    const QByteArray stamp = dateTime.toLatin1().left(DateTimeArea - 1);
    // In the order of DirectoryTags.
    entry(TagNewSubfileType, TypeLong, 1, 0);
    entry(TagImageWidth, TypeLong, 1, uint32_t(width));
    entry(TagImageLength, TypeLong, 1, uint32_t(height));
    // One value fits the entry; more stand at their own offset.
    entry(TagBitsPerSample, TypeShort, uint32_t(samples), samples == 1 ? SampleBits : layout.BitsPerSampleValues());
    entry(TagCompression, TypeShort, 1, CompressionNone);
    entry(TagPhotometricInterpretation, TypeShort, 1, photometric);
    entry(TagStripOffsets, TypeLong, 1, uint32_t(layout.Pixels()));
    entry(TagSamplesPerPixel, TypeShort, 1, uint32_t(samples));
    entry(TagRowsPerStrip, TypeLong, 1, uint32_t(height));
    entry(TagStripByteCounts, TypeLong, 1, uint32_t(int64_t(width) * height * samples));
    entry(TagXResolution, TypeRational, 1, uint32_t(layout.XResolution()));
    entry(TagYResolution, TypeRational, 1, uint32_t(layout.YResolution()));
    entry(TagPlanarConfiguration, TypeShort, 1, PlanarChunky);
    entry(TagResolutionUnit, TypeShort, 1, ResolutionUnitInch);
    entry(TagSoftware, TypeAscii, sizeof(TiffSoftwareText), uint32_t(layout.Software()));
    entry(TagDateTime, TypeAscii, uint32_t(stamp.size() + 1), uint32_t(layout.DateTime()));
    entry(TagArtist, TypeAscii, sizeof(TiffArtistText), uint32_t(layout.Artist()));
    Q_ASSERT(index == EntryCount);
    PutU32(out, NextDirectoryField, 0);  // no further directory
    for (int i = 0; i < samples; ++i)  // BitsPerSample values, also for one sample
        PutU16(out, layout.BitsPerSampleValues() + 2 * i, SampleBits);
    // Resolutions: the Fixed4 value itself over 10 000.
    PutU32(out, layout.XResolution(), uint32_t(xDpi));
    PutU32(out, layout.XResolution() + 4, ResolutionDenominator);
    PutU32(out, layout.YResolution(), uint32_t(yDpi));
    PutU32(out, layout.YResolution() + 4, ResolutionDenominator);
    std::memcpy(out.data() + layout.Software(), TiffSoftwareText, sizeof(TiffSoftwareText) - 1);
    std::memcpy(out.data() + layout.DateTime(), stamp.constData(), size_t(stamp.size()));
    std::memcpy(out.data() + layout.Artist(), TiffArtistText, sizeof(TiffArtistText) - 1);
    return out;
}

qint64 WriteTiffHeader(QIODevice &stream, int samples, int32_t width, int32_t height, Fixed4 xDpi, Fixed4 yDpi)
{
    const QByteArray header = TiffHeader(samples, width, height, xDpi, yDpi, TiffDateTimeNow());
    if (!stream.seek(0) || CheckedWrite(stream, header) != header.size())
        throw StreamWriteError(stream);
    return header.size();
}

void SaveBitmapAsTiff(const QImage &picture, const QString &path, Fixed4 xDpi, Fixed4 yDpi)
{
    const int bits = BitsPerPixel(picture);
    const int samples = bits / 8;
    SavingFile saving(path, !IsWorkFile(path));
    saving.Open();
    QFileDevice &file = saving.Device();
    WriteTiffHeader(file, samples, picture.width(), picture.height(), xDpi, yDpi);
    QByteArray row(qsizetype(picture.width()) * samples, '\0');
    for (int y = 0; y < picture.height(); ++y) {
        const uchar *in = picture.constScanLine(y);
        if (samples == 3) {
            uchar *out = reinterpret_cast<uchar *>(row.data());
            for (int x = 0; x < picture.width(); ++x, in += 3, out += 3) {
                out[0] = in[2];
                out[1] = in[1];
                out[2] = in[0];
            }
        } else {
            std::memcpy(row.data(), in, size_t(row.size()));
        }
        if (CheckedWrite(file, row) != row.size())
            throw StreamWriteError(file);
    }
    saving.Commit();
}

TiffInfo ReadTiffInfo(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw FileError(path, file.errorString());
    return ReadTiffInfo(file, path);
}

TiffInfo ReadTiffInfo(QIODevice &file, const QString &path)
{
    // The header is at the start, wherever an earlier read left the device.
    const qint64 size = file.size();
    if (!file.seek(0))
        NotOurs(path, Vistrel::tr("it cannot be read from its start"));
    ByteCursor in(file.read(std::min<qint64>(size, EntriesOffset + EntrySize * MaxEntries)), path);
    in.SetSection(Vistrel::tr("TIFF header"));
    if (size < EntriesOffset || in.U16LE() != LittleEndian || in.U16LE() != Magic || in.U32LE() != DirectoryOffset)
        NotOurs(path, Vistrel::tr("it does not start with a little-endian header and a directory at byte 8"));
    const int count = in.U16LE();
    if (count < 1 || count > MaxEntries)
        NotOurs(path, Vistrel::tr("its directory holds %1 entries").arg(count));
    TiffInfo info;
    in.SetSection(Vistrel::tr("TIFF directory"));
    for (int i = 0; i < count; ++i) {
        const uint16_t tag = in.U16LE();
        in.U16LE();  // field type
        const uint32_t entryCount = in.U32LE();
        const uint32_t value = in.U32LE();
        switch (tag) {
        case TagImageWidth: info.Width = int32_t(value); break;
        case TagImageLength: info.Height = int32_t(value); break;
        case TagBitsPerSample: info.Samples = int(entryCount); break;  // one value per sample
        case TagCompression: info.Compression = int(value & 0xffff); break;
        case TagStripOffsets: info.DataOffset = int32_t(value); break;
        default: break;
        }
    }
    if (info.Samples != 1 && info.Samples != 3 && info.Samples != 4)
        NotOurs(path, Vistrel::tr("it has %1 samples per pixel").arg(info.Samples));
    if (info.Width <= 0 || info.Height <= 0 || info.DataOffset < TiffHeaderSize(1))
        NotOurs(path, Vistrel::tr("its size or data offset is not possible"));
    // Compared by division: the product of a damaged width and height can pass
    // the end of a 64-bit number (found by fuzzing).
    if (info.Compression == CompressionNone &&
        (info.DataOffset > size || (size - info.DataOffset) / info.Samples / info.Width < info.Height))
        NotOurs(path, Vistrel::tr("its pixel rows run past the end of the file"));
    return info;
}

void ReadTiffRecord(const QString &path, Rtif &record)
{
    const TiffInfo info = ReadTiffInfo(path);
    record.FileName = path;
    record.Width = info.Width;
    record.Height = info.Height;
    record.DataOffset = info.DataOffset;
}

QImage LoadTiffBitmap(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw FileError(path, file.errorString());
    return LoadTiffBitmap(file, path);
}

QImage LoadTiffBitmap(QIODevice &file, const QString &path)
{
    const TiffInfo info = ReadTiffInfo(file, path);
    if (info.Compression != CompressionNone)
        return {};
    QImage picture = NewPicture(info.Width, info.Height, info.Samples * 8);
    const qsizetype rowBytes = qsizetype(info.Width) * info.Samples;
    QByteArray row(rowBytes, '\0');
    if (!file.seek(info.DataOffset))
        throw VistrelError(Vistrel::tr("Stream read error"));
    for (int y = 0; y < info.Height; ++y) {
        if (file.read(row.data(), rowBytes) != rowBytes)
            throw VistrelError(Vistrel::tr("Stream read error"));
        uchar *out = picture.scanLine(y);
        if (info.Samples == 3) {
            const uchar *in = reinterpret_cast<const uchar *>(row.constData());
            for (int x = 0; x < info.Width; ++x, in += 3, out += 3) {
                out[0] = in[2];
                out[1] = in[1];
                out[2] = in[0];
            }
        } else {
            std::memcpy(out, row.constData(), size_t(rowBytes));
        }
    }
    return picture;
}

void ReadTiffRows(const Rtif &record, int band, uint8_t *buffer, int bandRows, int bytesPerPixel)
{
    QFile file(record.FileName);
    if (!file.open(QIODevice::ReadOnly))
        throw FileError(record.FileName, file.errorString());
    // The buffer was made for the file as first read; a file that has changed
    // since (replaced, cut short, grown) is refused rather than read into it.
    if (file.size() != record.DataOffset + qint64(record.Width) * record.Height * bytesPerPixel)
        throw VistrelError(Vistrel::tr("The view file \"%1\" changed while the print was being made. Make the "
                                          "print again.").arg(record.FileName),
                           ErrorKind::Format);
    const qint64 bandBytes = qint64(bandRows) * record.Width * bytesPerPixel;
    const qint64 start = record.DataOffset + qint64(band) * bandBytes;
    if (!file.seek(start))
        throw VistrelError(Vistrel::tr("Stream read error"));
    const qint64 wanted = std::min(bandBytes, std::max<qint64>(0, file.size() - start));
    if (file.read(reinterpret_cast<char *>(buffer), wanted) != wanted)
        throw VistrelError(Vistrel::tr("Stream read error"));
}
