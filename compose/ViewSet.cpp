#include "ViewSet.h"

#include "BmpCodec.h"
#include "Compositor.h"
#include "Document.h"
#include "WorkFolder.h"

void GenerateViewFiles(const std::vector<int32_t> &offsets, int32_t focusOffset,
                       const std::function<void(int)> &progress)
{
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
        if (PsdColorMode != 3)
            SaveImage(ViewablePicture(ComposedImage), WorkFileName(QStringLiteral("vwv"), v));
    }
}

int ViewOfPreviewTick(int tick)
{
    return tick <= 7 ? tick : 15 - tick;
}

int NextPreviewTick(int tick)
{
    return tick >= 14 ? 1 : tick + 1;
}

int ViewMarkerLeft(int areaWidth, int view)
{
    // Slides 50 / 7 pixels to the left per view.
    return int(Round(areaWidth / 2.0 - 20 - view * 50.0 / 7));
}
