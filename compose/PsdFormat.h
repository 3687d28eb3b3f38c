// The layout of a layered Photoshop document (format version 1) as far as
// Vistrel reads and writes it. The reader, the layered-PSD writer and the test
// builder all spell the format with these names.
//
//   file header          26 bytes, see PsdFileHeader
//   colour mode data     length (4) and data
//   image resources      length (4), then blocks: "8BIM", id (2), Pascal name
//                        padded to even, data length (4), data padded to even
//   layer and mask info  length (4), then the layer information: length (4),
//                        layer count (2), the layer records, the channel data
//                        of every layer in record order; then the global mask
//   merged image         compression (2) and the planes of every channel
//
// Every number is big-endian.
#pragma once

#include <QByteArray>
#include <cstdint>

namespace Psd {

// --- File header ---
inline constexpr char Signature[] = "8BPS";
inline constexpr int SignatureSize = 4;
inline constexpr uint16_t Version = 1;
inline constexpr uint16_t LargeDocumentVersion = 2;  // PSB, which we do not read
inline constexpr int ReservedSize = 6;               // zeros after the version
inline constexpr int HeaderSize = 26;
inline constexpr uint16_t Depth8 = 8;                // bits per channel
inline constexpr int32_t MaxSide = 30000;            // pixels each way in format version 1

// Colour modes of the header.
inline constexpr uint16_t ModeBitmap = 0;
inline constexpr uint16_t ModeGrey = 1;
inline constexpr uint16_t ModeIndexed = 2;
inline constexpr uint16_t ModeRgb = 3;
inline constexpr uint16_t ModeCmyk = 4;
inline constexpr uint16_t ModeMultichannel = 7;
inline constexpr uint16_t ModeDuotone = 8;
inline constexpr uint16_t ModeLab = 9;

// Every section and channel starts with a four-byte length.
inline constexpr int LengthSize = 4;

// `size` rounded up to a multiple of `multiple`.
constexpr int PaddedTo(int size, int multiple) { return (size + multiple - 1) / multiple * multiple; }

// --- Image resources ---
inline constexpr char BlockSignature[] = "8BIM";  // resource blocks, blend modes, additional layer information
inline constexpr int BlockSignatureSize = 4;
// Signature, id, the shortest (empty, padded) name and the data length.
inline constexpr int ResourceBlockMinSize = 12;
inline constexpr uint16_t ResolutionResource = 1005;  // starts with the horizontal resolution, 16.16 fixed point
inline constexpr uint16_t LayerGroupsResource = 1026;  // two bytes per layer record
inline constexpr uint16_t IccProfileResource = 1039;   // the document's colour profile, an ICC file as it stands
inline constexpr int ResolutionFixedSize = 4;
inline constexpr int LayerGroupEntrySize = 2;
inline constexpr uint16_t ResolutionUnitInch = 1;     // pixels per inch
inline constexpr uint16_t SizeUnitInch = 1;

// --- Layer information ---
// The layer count (2 bytes) comes first; a negative count says that the first
// alpha channel of the merged image holds its transparency.
inline constexpr int LayerCountSize = 2;

// --- Layer records ---
inline constexpr int RectangleSize = 16;     // top, left, bottom, right, 4 bytes each
inline constexpr int ChannelCountSize = 2;
inline constexpr int ChannelInfoSize = 6;    // id (2) and data length (4) per channel
inline constexpr int BlendModeKeySize = 4;
inline constexpr char BlendNormal[] = "norm";
inline constexpr int BlendFieldsSize = 4;    // opacity, clipping, flags, a filler byte
inline constexpr uint8_t OpacityOpaque = 255;
inline constexpr uint8_t ClippingBase = 0;
// The record up to its extra data: rectangle, channel count, the blend
// signature, key and fields, and the extra-data length; 6 bytes per channel more.
inline constexpr int RecordFixedSize =
    RectangleSize + ChannelCountSize + BlockSignatureSize + BlendModeKeySize + BlendFieldsSize + LengthSize;
static_assert(RecordFixedSize == 34);
// Layer names are Pascal strings padded to a multiple of 4 bytes.
inline constexpr int LayerNamePadding = 4;
// Additional layer information: "8BIM", a four-letter key, a length, the data.
inline constexpr int AdditionalInfoKeySize = 4;
inline constexpr char UnicodeNameKey[] = "luni";     // a 4-byte count, then UTF-16 big-endian characters
inline constexpr char SectionDividerKey[] = "lsct";  // a 4-byte kind: 1, 2 a folder (open, closed), 3 its end
inline constexpr uint32_t SectionOpenFolder = 1, SectionClosedFolder = 2, SectionEnd = 3;

// Channel ids of a layer record: 0.. the colour channels, -1 the transparency;
// lower ids are masks.
inline constexpr int16_t TransparencyChannelId = -1;

// --- Channel data ---
// Each channel starts with its compression.
inline constexpr int CompressionSize = 2;
inline constexpr uint16_t CompressionRaw = 0;
inline constexpr uint16_t CompressionPackBits = 1;      // a row count (2 bytes) per row, then the rows
inline constexpr uint16_t CompressionZip = 2;
inline constexpr uint16_t CompressionZipPrediction = 3;  // ZIP of each byte's difference to the one on its left
inline constexpr int PackBitsRowCountSize = 2;

// --- Writing big-endian numbers ---
inline void PutU8(QByteArray &out, int v) { out.append(char(v & 0xff)); }
inline void PutU16(QByteArray &out, int v) { PutU8(out, v >> 8); PutU8(out, v); }
inline void PutU32(QByteArray &out, int64_t v) { PutU16(out, int((v >> 16) & 0xffff)); PutU16(out, int(v & 0xffff)); }

}  // namespace Psd

// The fields of the 26-byte file header, in file order after the signature
// (with 6 reserved zero bytes after the version).
struct PsdFileHeader {
    uint16_t Version = Psd::Version;
    uint16_t Channels = 3;  // of the merged image
    uint32_t Height = 0;
    uint32_t Width = 0;
    uint16_t Depth = Psd::Depth8;
    uint16_t ColorMode = Psd::ModeRgb;
};

// Appends the 26 header bytes.
inline void AppendPsdFileHeader(QByteArray &out, const PsdFileHeader &header)
{
    out.append(Psd::Signature, Psd::SignatureSize);
    Psd::PutU16(out, header.Version);
    out.append(Psd::ReservedSize, '\0');
    Psd::PutU16(out, header.Channels);
    Psd::PutU32(out, header.Height);
    Psd::PutU32(out, header.Width);
    Psd::PutU16(out, header.Depth);
    Psd::PutU16(out, header.ColorMode);
}
