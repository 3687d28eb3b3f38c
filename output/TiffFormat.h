// Our own TIFF layout, in numbers: little endian, uncompressed, one strip,
// 8-bit chunky samples (1 grey, 3 RGB, 4 CMYK). The writer, the readers and
// the tests that look inside our TIFF files take every tag and offset from here.
//
//   0    "II", 42, the directory offset (8)
//   8    the entry count (17) and the 17 entries of 12 bytes, in DirectoryTags order
//   214  the offset of a further directory: 0
//   218  BitsPerSample values, 2 bytes per sample (written for one sample too)
//   then XResolution (8), YResolution (8), Software (60), DateTime (20),
//   Artist (12), and the pixel rows, top row first, without padding.
#pragma once

#include <cstdint>

namespace Tiff {

// --- File header ---
inline constexpr uint16_t LittleEndian = 0x4949;  // "II"
inline constexpr uint16_t Magic = 42;
inline constexpr int DirectoryOffsetField = 4;    // where the header names the directory
inline constexpr uint32_t DirectoryOffset = 8;    // where our directory is

// --- Directory entries: tag (2), field type (2), count (4), value or offset (4) ---
inline constexpr int EntrySize = 12;
inline constexpr int EntryCountSize = 2;
inline constexpr int EntryTypeField = 2;
inline constexpr int EntryCountField = 4;
inline constexpr int EntryValueField = 8;

// Field types.
inline constexpr uint16_t TypeAscii = 2;
inline constexpr uint16_t TypeShort = 3;
inline constexpr uint16_t TypeLong = 4;
inline constexpr uint16_t TypeRational = 5;

// Tags.
inline constexpr uint16_t TagNewSubfileType = 254;
inline constexpr uint16_t TagImageWidth = 256;
inline constexpr uint16_t TagImageLength = 257;
inline constexpr uint16_t TagBitsPerSample = 258;
inline constexpr uint16_t TagCompression = 259;
inline constexpr uint16_t TagPhotometricInterpretation = 262;
inline constexpr uint16_t TagStripOffsets = 273;
inline constexpr uint16_t TagSamplesPerPixel = 277;
inline constexpr uint16_t TagRowsPerStrip = 278;
inline constexpr uint16_t TagStripByteCounts = 279;
inline constexpr uint16_t TagXResolution = 282;
inline constexpr uint16_t TagYResolution = 283;
inline constexpr uint16_t TagPlanarConfiguration = 284;
inline constexpr uint16_t TagResolutionUnit = 296;
inline constexpr uint16_t TagSoftware = 305;
inline constexpr uint16_t TagDateTime = 306;
inline constexpr uint16_t TagArtist = 315;

// Values.
inline constexpr uint16_t CompressionNone = 1;
inline constexpr uint16_t PhotometricBlackIsZero = 1;  // grey
inline constexpr uint16_t PhotometricRgb = 2;
inline constexpr uint16_t PhotometricSeparated = 5;    // CMYK
inline constexpr uint16_t PlanarChunky = 1;
inline constexpr uint16_t ResolutionUnitInch = 2;
inline constexpr uint32_t ResolutionDenominator = 10000;  // a Fixed4 value over 10 000
inline constexpr uint16_t SampleBits = 8;

// Our directory: always these 17 entries in this order.
inline constexpr uint16_t DirectoryTags[] = {
    TagNewSubfileType, TagImageWidth, TagImageLength, TagBitsPerSample, TagCompression,
    TagPhotometricInterpretation, TagStripOffsets, TagSamplesPerPixel, TagRowsPerStrip, TagStripByteCounts,
    TagXResolution, TagYResolution, TagPlanarConfiguration, TagResolutionUnit, TagSoftware, TagDateTime, TagArtist};
inline constexpr int EntryCount = int(sizeof(DirectoryTags) / sizeof(DirectoryTags[0]));
static_assert(EntryCount == 17);

inline constexpr int EntriesOffset = int(DirectoryOffset) + EntryCountSize;
// The file offset of the entry of a tag in our directory; -1 for a tag we do not write.
constexpr int EntryOffset(uint16_t tag)
{
    for (int i = 0; i < EntryCount; ++i)
        if (DirectoryTags[i] == tag)
            return EntriesOffset + EntrySize * i;
    return -1;
}
inline constexpr int NextDirectoryField = EntriesOffset + EntrySize * EntryCount;
inline constexpr int NextDirectorySize = 4;
inline constexpr int BitsPerSampleOffset = NextDirectoryField + NextDirectorySize;
static_assert(NextDirectoryField == 214 && BitsPerSampleOffset == 218);

// The reader takes directories of at most this many entries.
inline constexpr int MaxEntries = 64;

// The areas after the BitsPerSample values. The three texts are ended by a
// zero byte counted in their entries; the rest of each area stays zero.
inline constexpr int RationalSize = 8;
inline constexpr int SoftwareArea = 60;
inline constexpr int DateTimeArea = 20;
inline constexpr int ArtistArea = 12;

}  // namespace Tiff

// Where everything after the directory stands for a given number of samples.
struct TiffLayout {
    int Samples = 1;

    constexpr explicit TiffLayout(int samples) : Samples(samples) {}
    constexpr int BitsPerSampleValues() const { return Tiff::BitsPerSampleOffset; }
    constexpr int XResolution() const { return BitsPerSampleValues() + 2 * Samples; }
    constexpr int YResolution() const { return XResolution() + Tiff::RationalSize; }
    constexpr int Software() const { return YResolution() + Tiff::RationalSize; }
    constexpr int DateTime() const { return Software() + Tiff::SoftwareArea; }
    constexpr int Artist() const { return DateTime() + Tiff::DateTimeArea; }
    constexpr int Pixels() const { return Artist() + Tiff::ArtistArea; }
};
static_assert(TiffLayout(1).Pixels() == 328 && TiffLayout(3).Pixels() == 332 && TiffLayout(4).Pixels() == 334);

// The header (everything before the pixel rows) of a file of `samples` samples.
constexpr int TiffHeaderSize(int samples) { return TiffLayout(samples).Pixels(); }
