// The open document and the named values it is made of.
//
// Units: layer rectangles and offsets are canvas pixels; contour-line points are
// working-image pixels; every fractional value is a Fixed4.
#pragma once

#include "Numbers.h"

#include <QByteArray>
#include <QImage>
#include <QString>
#include <array>
#include <cstdint>
#include <vector>

// One layer record of the PSD, plus the relief settings of the layer.
struct Layer {
    int32_t Top = 0;     // canvas pixels
    int32_t Left = 0;
    int32_t Bottom = 0;  // exclusive
    int32_t Right = 0;   // exclusive
    int32_t Width = 0;   // Right - Left
    int32_t Height = 0;  // Bottom - Top
    int16_t ChannelCount = 0;
    std::vector<uint32_t> ChannelLengths;  // bytes of each channel's pixel data, record order
    QString BlendMode;                     // four-character key
    uint8_t Opacity = 255;
    uint8_t Clipping = 0;
    uint8_t Flags = 0;
    // GroupPlain, a flip group (1..99, 101..254), GroupReliefRendered or GroupReliefToRender.
    uint8_t GroupId = 0;
    uint8_t BaseOrder = 0;    // contour order that is the relief's zero level (0..15)
    uint8_t Smooth = 0;       // edge smoothness 1..9
    Fixed4 ReliefDepth = 0;   // depth factor of the relief
    QString Name;             // as the designer named it in the PSD
    // A folder of the PSD is a record of its own above its layers, and a
    // hidden end marker below them.
    enum class Folder : uint8_t { None, Start, End } FolderMark = Folder::None;
    bool operator==(const Layer &) const = default;
};
using LayerTable = std::vector<Layer>;
using PictureList = std::vector<QImage>;

// Contour lines: points in working-image pixels.
struct LinePoint {
    int32_t x = 0;
    int32_t y = 0;
    bool operator==(const LinePoint &) const = default;
};
using ContourLine = std::vector<LinePoint>;
using OrderLines = std::vector<ContourLine>;  // the lines of one order
using LineSet = std::vector<OrderLines>;      // the 15 orders of one layer
using LineSets = std::vector<LineSet>;        // the line sets of all layers
// Names a line: its order index and its line index.
struct LineId {
    uint8_t Order = 0;
    uint8_t Line = 0;
    bool operator==(const LineId &) const = default;
};
using LineIds = std::vector<LineId>;

constexpr int ViewCount = 7;
constexpr int OrderCount = 15;
// OutputDpi holding this value means "(Auto)": 7 printer pixels under each lens.
constexpr Fixed4 AutoDpi = 10000 * Fixed4One;
// A preview loop runs while its stop code is at most this.
constexpr int32_t StopThreshold = 600;
// The stop codes: the 3D preview stopped (Stop, an export, closing), and the
// relief preview stopped (leaving the DrawLine page, closing).
constexpr int32_t PreviewStopped = 601;
constexpr int32_t ReliefPreviewStopped = 605;

// GroupId values besides the flip-group numbers.
constexpr uint8_t GroupPlain = 0;
constexpr uint8_t GroupReliefRendered = 100;  // its seven relief views are in the work folder
constexpr uint8_t GroupReliefToRender = 255;  // the next view generation renders its relief
// A layer of a flip group: every GroupId but plain and the two relief values.
// A relief layer not rendered yet shows as a plain layer in every view.
inline bool IsFlipGroup(uint8_t groupId)
{
    return groupId != GroupPlain && groupId != GroupReliefRendered && groupId != GroupReliefToRender;
}
// The flip group of a layer, 0 for a plain or relief layer.
inline uint8_t FlipGroupOf(uint8_t groupId) { return IsFlipGroup(groupId) ? groupId : GroupPlain; }
// The Group column's text for a layer: "A" for group 1 ...; empty for 0.
QString GroupLetter(uint8_t groupId);

// AppState: where the person is in the import, preview, export road.
enum AppStates : uint8_t {
    StateNothingImported = 0,
    StateImported = 1,
    StateAnimating = 2,
    StateStopped = 3,
};

// The colour modes a document can have (the PSD's own codes) and the pictures
// they give: 8-bit grey, 24-bit RGB, 32-bit CMYK.
constexpr uint16_t ModeGrey = 1;
constexpr uint16_t ModeRgb = 3;
constexpr uint16_t ModeCmyk = 4;
inline int ChannelsOfColorMode(uint16_t mode) { return mode == ModeGrey ? 1 : mode == ModeRgb ? 3 : 4; }
inline int BitsOfColorMode(uint16_t mode) { return 8 * ChannelsOfColorMode(mode); }

// The working size: a canvas wider than 1500 pixels is worked on 1200 wide,
// scaled by WorkScale (four decimals) with the height rounded from it exactly.
struct WorkingGeometry {
    int32_t Width = 0, Height = 0;
    Fixed4 Scale = Fixed4One;
};
WorkingGeometry WorkingGeometryOf(int32_t canvasWidth, int32_t canvasHeight);
// "Gray", "RGB", "CMYK"
QString ColorModeName(uint16_t mode);

// The open document: what the designer made (layers with their groups and relief
// settings, the 3D and print settings, every layer's contour lines), the picture
// it was imported from, and where the person is with it (views current, the
// preview's stop code, the layer and view shown). A Document{} is the state
// before any import, before the settings file is applied.
struct Document {
    // --- The layer table ---
    LayerTable Layers;
    uint16_t LayerCount = 3;  // 3 before any import; nothing reads Layers then

    // --- 3D settings ---
    Fixed4 Lpi = 424500;      // 42.45
    Fixed4 Depth = Fixed4One;
    int32_t FocusLayer = 2;   // grid row of the focus layer, 1 = top; 0 = none
    int32_t CentreView = 4;   // the view without parallax

    // --- Print settings ---
    Fixed4 OutputDpi = 720 * Fixed4One;  // AutoDpi means "(Auto)"
    Fixed4 OutputWidthCm = 5 * Fixed4One;
    Fixed4 OutputHeightCm = 5 * Fixed4One;
    // The widest print the width field takes: 21 cm (A4), unless the print
    // shop lifts it ("Print shop" page, --max-width-cm). Not stored in any file of the document.
    Fixed4 MaxWidthCm = 21 * Fixed4One;
    uint8_t OutputColorMode = 2;  // index into "1bit x 4", "Gray X 4 ", "Color", "4bit"
    uint8_t HScale = 1;
    uint8_t Language = 0;         // 0 English, 1 Chinese

    // --- Image geometry, set by import ---
    int32_t ImageWidth = 0, ImageHeight = 0;
    int32_t WorkWidth = 0, WorkHeight = 0;
    Fixed4 WorkScale = Fixed4One;
    Fixed4 PsdDpi = 200 * Fixed4One;
    QByteArray IccProfile;  // the PSD's embedded colour profile, as it stands; empty: none
    Fixed4 PsdWidthCm = 0, PsdHeightCm = 0;
    Fixed4 AspectRatio = Fixed4One;
    uint16_t PsdColorMode = ModeRgb;

    // --- Working images ---
    PictureList LayerImages;
    PictureList LayerAlphas;
    QImage ComposedImage;
    QImage ComposedAlpha;

    // --- Contour lines ---
    LineSets LayerLines;
    LineSet CurrentLines;

    // --- State flags and view state ---
    uint8_t DocumentOpen = 0;
    uint8_t ViewsStale = 1;
    uint8_t AppState = StateNothingImported;  // AppStates
    // What the output commands need: views that match the 3D settings (the print
    // export and the anaglyph), a print written since the import (the layered PSD,
    // from its full-resolution views), an animation played to its end (the GIF).
    uint8_t ViewsCurrent = 0;
    uint8_t PrintWritten = 0;
    uint8_t AnimationPlayed = 0;
    int32_t PreviewStop = 0;
    int32_t ReliefPreviewStop = 0;
    int32_t CurrentLayer = 0;  // layer index, 0 = bottom
    int32_t CurrentView = 0;   // 0..6
    uint8_t DrawLineActive = 0;
    // "Crop to the area every view covers": off unless chosen. When on, the views
    // of the print, the layered PSD, the GIF and the anaglyph keep canvas columns
    // CropLeft .. CropLeft + CropWidth - 1 only (CropWidth 0: the whole canvas).
    uint8_t CropEdges = 0;
    int32_t CropLeft = 0, CropWidth = 0;

    // --- Paths ---
    QString PsdPath;

    // --- Working state of import and composition ---
    // Layer indexes are 16-bit here so that documents of more than 256 layers work.
    Fixed4 OffsetSpan = 0;
    Fixed4 FrontStep = Fixed4One, BackStep = Fixed4One;
    std::vector<uint16_t> UngroupedLayers;  // layers of group 0, top first
    int32_t UngroupedCount = 0;
    int32_t FocusPick = 0;
    std::vector<Fixed4> DefaultOffsets;
    std::vector<std::vector<uint16_t>> GroupMembers;
    std::vector<std::array<uint16_t, ViewCount>> GroupViewLayer;
    std::vector<int32_t> LayerViewLeft;
    // The flip group of every layer as the PSD gave it (0: none), by layer index:
    // a project records groups only when the designer changed them.
    std::vector<uint8_t> ImportedGroups;

    // The five reserved integers of the settings file, written back as they were read.
    std::array<int64_t, 5> SettingsReserved{};

    // Every member alike, pictures by their pixels.
    bool operator==(const Document &) const = default;
};
