#include "Document.h"

alayers Layers;
uint16_t LayerCount;

Fixed4 Lpi;
Fixed4 Depth;
int32_t FocusLayer;
int32_t CentreView;

Fixed4 OutputDpi;
Fixed4 OutputWidthCm;
Fixed4 OutputHeightCm;
uint8_t OutputColorMode;
uint8_t HScale;
uint8_t Language;

int32_t ImageWidth, ImageHeight;
int32_t WorkWidth, WorkHeight;
Fixed4 WorkScale;
Fixed4 PsdDpi;
Fixed4 PsdWidthCm, PsdHeightCm;
Fixed4 AspectRatio;
uint16_t PsdColorMode;

abitmap LayerImages;
abitmap LayerAlphas;
QImage ComposedImage;
QImage ComposedAlpha;
QImage OrderMap;

Tnnlayer LayerLines;
Tnlayer CurrentLines;

uint8_t DocumentOpen;
uint8_t ViewsStale;
uint8_t AppState;
uint8_t ViewsCurrent;
uint8_t PrintWritten;
uint8_t AnimationPlayed;
int32_t PreviewStop;
int32_t ReliefPreviewStop;
int32_t CurrentLayer;
int32_t CurrentView;
uint8_t DrawLineActive;
uint8_t CropEdges;
int32_t CropLeft, CropWidth;

QString WorkFolder;
QString ProgramFolder;
QString PsdPath;
QString HintImport, HintSetParameters, HintStopPreview, HintExport, HintGlasses, HintCurrent;

Fixed4 OffsetSpan;
Fixed4 FrontStep, BackStep;
std::vector<uint16_t> UngroupedLayers;
int32_t UngroupedCount;
int32_t FocusPick;
std::vector<Fixed4> DefaultOffsets;
std::vector<std::vector<uint16_t>> GroupMembers;
std::vector<std::array<uint16_t, ViewCount>> GroupViewLayer;
std::vector<int32_t> LayerViewLeft;
std::array<int64_t, 5> SettingsReserved;

WorkingGeometry WorkingGeometryOf(int32_t canvasWidth, int32_t canvasHeight)
{
    if (canvasWidth <= 1500)
        return {canvasWidth, canvasHeight, Fixed4One};
    const Fixed4 scale = RoundDiv(1200 * Fixed4One, canvasWidth);
    return {1200, int32_t(ScaleByFixed4(canvasHeight, scale)), scale};
}

QString ColorModeName(uint16_t mode)
{
    switch (mode) {
    case ModeGrey: return QStringLiteral("Gray");
    case ModeRgb: return QStringLiteral("RGB");
    case ModeCmyk: return QStringLiteral("CMYK");
    default: return {};
    }
}

void ResetDocument()
{
    Layers.clear();
    LayerCount = 3;

    Lpi = ToFixed4(42.45);
    Depth = Fixed4One;
    FocusLayer = 2;
    CentreView = 4;

    OutputDpi = 720 * Fixed4One;
    OutputWidthCm = 5 * Fixed4One;
    OutputHeightCm = 5 * Fixed4One;
    OutputColorMode = 2;
    HScale = 1;
    Language = 0;

    ImageWidth = ImageHeight = 0;
    WorkWidth = WorkHeight = 0;
    WorkScale = Fixed4One;
    PsdDpi = 200 * Fixed4One;
    PsdWidthCm = PsdHeightCm = 0;
    AspectRatio = Fixed4One;
    PsdColorMode = 3;

    LayerImages.clear();
    LayerAlphas.clear();
    ComposedImage = QImage();
    ComposedAlpha = QImage();
    OrderMap = QImage();

    LayerLines.clear();
    CurrentLines.clear();

    DocumentOpen = 0;
    ViewsStale = 1;
    AppState = StateNothingImported;
    ViewsCurrent = PrintWritten = AnimationPlayed = 0;
    PreviewStop = 0;
    ReliefPreviewStop = 0;
    CurrentLayer = 0;
    CurrentView = 0;
    DrawLineActive = 0;
    CropEdges = 0;
    CropLeft = CropWidth = 0;

    WorkFolder.clear();
    ProgramFolder.clear();
    PsdPath.clear();
    HintImport = HintSetParameters = HintStopPreview = HintExport = HintGlasses = HintCurrent = QString();

    OffsetSpan = 0;
    FrontStep = BackStep = Fixed4One;
    UngroupedLayers.clear();
    UngroupedCount = 0;
    FocusPick = 0;
    DefaultOffsets.clear();
    GroupMembers.clear();
    GroupViewLayer.clear();
    LayerViewLeft.clear();
    SettingsReserved.fill(0);
}

// The variables hold their start-up values from the first instruction on.
static const bool DocumentInitialised = (ResetDocument(), true);
