// The BMP layout of the work folder's pictures, in numbers: a 14-byte file
// header, a 40-byte information header, for 8-bit files a 256-entry grey
// table, then the rows bottom row first, each padded to 4 bytes. Every number
// is little-endian; offsets are from the start of the file.
#pragma once

#include <cstdint>

namespace Bmp {

// --- File header ---
inline constexpr char Signature[] = "BM";
inline constexpr int FileHeaderSize = 14;
inline constexpr int FileSizeField = 2;     // 4 bytes
inline constexpr int PixelOffsetField = 10; // 4 bytes: where the rows start

// --- Information header ---
inline constexpr int InfoHeaderSize = 40;
inline constexpr int InfoSizeField = 14;    // 4 bytes, the information header's size
inline constexpr int WidthField = 18;       // 4 bytes, signed
inline constexpr int HeightField = 22;      // 4 bytes, signed; positive: bottom row first
inline constexpr int PlanesField = 26;      // 2 bytes
inline constexpr int BitsField = 28;        // 2 bytes
inline constexpr int CompressionField = 30; // 4 bytes
inline constexpr int ImageSizeField = 34;   // 4 bytes
inline constexpr int XPixelsPerMetreField = 38;
inline constexpr int YPixelsPerMetreField = 42;
inline constexpr int ColoursUsedField = 46;
static_assert(ColoursUsedField + 8 == FileHeaderSize + InfoHeaderSize);

inline constexpr uint16_t Planes = 1;
inline constexpr uint32_t CompressionNone = 0;
inline constexpr uint32_t PixelsPerMetre72Dpi = 2835;

// --- Colour table of 8-bit files: 256 entries of blue, green, red, 0 ---
inline constexpr int ColourTableOffset = FileHeaderSize + InfoHeaderSize;
inline constexpr int GreyTableEntries = 256;
inline constexpr int ColourTableEntrySize = 4;
inline constexpr int GreyTableSize = GreyTableEntries * ColourTableEntrySize;

// Rows are padded with zeros to a multiple of this.
inline constexpr int RowAlignment = 4;

}  // namespace Bmp
