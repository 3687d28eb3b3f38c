#include "ViewSet.h"

#include "BmpCodec.h"
#include "Compositor.h"
#include "Document.h"
#include "BmpCodec.h"
#include "Errors.h"
#include "WorkFolder.h"

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
