#include "PrintExport.h"

#include "BmpCodec.h"
#include "Compositor.h"
#include "Document.h"
#include "Errors.h"
#include "Interlacer.h"
#include "ReliefRenderer.h"
#include "Tiff.h"
#include "WorkFolder.h"

#include <QElapsedTimer>
#include <new>

QStringList WriteFullResolutionViews(const std::vector<int32_t> &offsets, int32_t focusOffset,
                                     const std::function<void(int)> &progress, const PhaseReport &phases)
{
    QStringList views;
    RenderPendingReliefs(progress);
    BuildGroupTables();
    const int span = int(Round(70.0 / ViewCount));
    for (int n = ViewCount - 1; n >= 0; --n) {
        QElapsedTimer timer;
        timer.start();
        PlaceLayersForView(n + 1, offsets, focusOffset);
        CurrentView = n;
        const int base = int(Round(70.0 / ViewCount * (ViewCount - 1 - n))) + 5;
        ComposeView(Resolution::Full, span, base, progress);
        const QString path = WorkFileName3(QStringLiteral("vwd"), n + 1);
        SaveBitmapAsTiff(ComposedImage, path, PsdDpi, PsdDpi);
        views << path;
        SaveImage(ComposedAlpha, WorkFileName3(QStringLiteral("vwdt"), n + 1));
        if (phases)
            phases(QStringLiteral("view %1 composed and written").arg(n + 1), timer.elapsed());
    }
    return views;
}

void ExportPrint(const PrintSettings &settings, const std::vector<int32_t> &offsets, int32_t focusOffset,
                 const QString &path, const std::function<void(int)> &progress, const PhaseReport &phases)
{
    FaultPoint("ExportPrint");
    // A print the TIFF cannot hold is refused before any work starts.
    CheckPrintSize(ComputePrintGeometry(CentimetresToInches(settings.WidthCm), CentimetresToInches(settings.HeightCm),
                                        settings.Lpi, settings.Dpi, settings.HScale),
                   ChannelsOfColorMode(PsdColorMode), PsdColorMode);
    Lpi = settings.Lpi;
    const QStringList views = WriteFullResolutionViews(offsets, focusOffset, progress, phases);
    OutputDpi = settings.Dpi;
    OutputWidthCm = settings.WidthCm;
    OutputHeightCm = settings.HeightCm;
    HScale = uint8_t(settings.HScale);
    OutputColorMode = 2;
    QElapsedTimer timer;
    timer.start();
    try {
        FaultPoint("InterlaceViews");
        InterlaceViews(views, settings.HScale, path, settings.Dpi, settings.Lpi,
                       CentimetresToInches(settings.WidthCm), CentimetresToInches(settings.HeightCm), PsdColorMode,
                       progress);
    } catch (const std::bad_alloc &) {
        const PrintGeometry g =
            ComputePrintGeometry(CentimetresToInches(settings.WidthCm), CentimetresToInches(settings.HeightCm),
                                 settings.Lpi, settings.Dpi, settings.HScale);
        throw VistrelError(QStringLiteral("Not enough memory to make a print of %1 x %2 pixels.")
                               .arg(GroupedText(g.Columns), GroupedText(g.Rows)),
                           ErrorKind::Memory);
    }
    if (phases)
        phases(QStringLiteral("interlacing"), timer.elapsed());
}
