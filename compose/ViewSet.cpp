#include "ViewSet.h"

#include "BmpCodec.h"
#include "Compositor.h"
#include "Document.h"
#include "Errors.h"
#include "WorkFolder.h"

#include <cstdlib>

void GenerateViewFiles(const std::vector<int32_t> &offsets, int32_t focusOffset,
                       const std::function<void(int)> &progress)
{
    FaultPoint("GenerateViewFiles");
    BuildGroupTables();
    if (progress)
        progress(10);
    CentreView = 4;
    for (int v = 1; v <= ViewCount; ++v) {
        // 90 / 7 per view, from 10.
        const int base = 10 + int(RoundDiv(int64_t(v - 1) * 90, 7));
        PlaceLayersForView(v, offsets, focusOffset);
        CurrentView = v - 1;
        ComposeView(Resolution::Working, 13, base, progress);
        SaveImage(ComposedImage, WorkFileName(QStringLiteral("vw"), v));
        SaveImage(ComposedAlpha, WorkFileName(QStringLiteral("vwt"), v));
        if (PsdColorMode != ModeRgb)
            SaveImage(ViewablePicture(ComposedImage), WorkFileName(QStringLiteral("vwv"), v));
    }
    if (progress)
        progress(100);
}

int ViewOfPreviewTick(int tick)
{
    return tick <= 7 ? tick : 15 - tick;
}

int NextPreviewTick(int tick)
{
    return tick >= 14 ? 1 : tick + 1;
}

void BeginPreview(const PreviewSettings &settings)
{
    ViewsCurrent = 0;
    FocusLayer = settings.FocusRow;
    // Depth or view count changed: relief layers must be rendered again.
    if (ViewsStale == 1)
        for (Tlayer &layer : Layers)
            if (layer.GroupId == GroupReliefRendered)
                layer.GroupId = GroupReliefToRender;
    ViewsStale = 0;
    Depth = settings.Depth;
    Lpi = settings.Lpi;
}

void PreviewStarted()
{
    AppState = StateAnimating;
    ViewsCurrent = 1;
    PreviewStop = 0;
    HintCurrent = HintStopPreview;
}

void StopPreview()
{
    PreviewStop = PreviewStopped;
    AppState = StateStopped;
    HintCurrent = HintExport;
}

DepthGuidance DepthGuidanceFor(const std::vector<int32_t> &offsets, int32_t focusOffset, int64_t lenses,
                               int64_t columns)
{
    DepthGuidance d;
    // Where the views put a layer, as the compositor places it.
    auto left = [&](size_t i, int view) {
        return RoundDiv(int64_t(offsets[i] - focusOffset) * (view - CentreView) * Depth, 6 * Fixed4One);
    };
    for (size_t i = 0; i < offsets.size() && i < Layers.size(); ++i)
        for (int v = 1; v < ViewCount; ++v) {
            const int64_t shift = std::abs(left(i, v + 1) - left(i, v));
            if (shift > d.CanvasPixels) {
                d.CanvasPixels = int32_t(shift);
                d.Row = int32_t(LayerCount - i);
            }
        }
    if (ImageWidth > 0) {
        d.PrintPixels = double(d.CanvasPixels) * double(columns) / ImageWidth;
        d.LensWidths = double(d.CanvasPixels) * double(lenses) / ImageWidth;
    }
    return d;
}

QString DepthGuidanceText(const DepthGuidance &d, uint8_t language)
{
    const bool chinese = language == 1;
    QString text = chinese ? QStringLiteral("相邻视图间最大位移：%1 打印像素，%2 个透镜宽度（第 %3 层）。")
                           : QStringLiteral("Largest shift between neighbouring views: %1 print pixels, %2 of a lens "
                                            "width (layer %3).");
    text = text.arg(QString::number(d.PrintPixels, 'f', 1), QString::number(d.LensWidths, 'f', 2))
               .arg(d.Row);
    if (d.Ghosts())
        text += chinese ? QStringLiteral(" 超过一个透镜宽度：画面会出现重影。请减小景深或移位。")
                        : QStringLiteral(" More than one lens width: the picture will ghost. Lower the depth or the "
                                         "offsets.");
    return text;
}
