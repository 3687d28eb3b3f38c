// The 3D preview: the seven views at working size, then an animation that
// plays them forth and back, one frame per tick of FrameTimer, until a stop code is
// set (Stop, the print export, closing the window).
#include "BmpCodec.h"
#include "Compositor.h"
#include "Document.h"
#include "Errors.h"
#include "Interlacer.h"
#include "PrintExport.h"
#include "Picture.h"
#include "Platform.h"
#include "ReliefLines.h"
#include "ReliefRenderer.h"
#include "MainWindow.h"
#include "ViewSet.h"
#include "WorkFolder.h"

#include <QAction>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QScrollArea>
#include <QTabWidget>
#include <QTimer>
#include <QToolButton>

void MainWindow::PreviewViews()
{
    if (Doc.DocumentOpen == 0)
        return;
    RunCommand([this] {
        // Every field the preview takes is read before anything changes, so a
        // bad cell gives its message and leaves the window as it was.
        const PreviewSettings settings = ReadPreviewSettings(PreviewTexts(FocusEdit->text()));
        if (ViewCountEdit->text().isEmpty())
            ViewCountEdit->setText(QStringLiteral("7"));
        if (settings.DepthShown)
            DepthEdit->setText(*settings.DepthShown);
        if (settings.LpiShown)
            LpiEdit->setText(*settings.LpiShown);
        BeginPreview(Doc, settings);
        if (Doc.DrawLineActive == 1)
            StoreCurrentLines(Doc);  // a relief still to render takes the lines as drawn
        // One run of the bar: reliefs still to render to 10, the views on to 100.
        RenderPendingReliefs(Doc, [this](int p) { SetProgress(p / 10); });
        ChooseCrop(Doc, settings.Offsets, settings.FocusOffset);
        GenerateViews(settings.Offsets, settings.FocusOffset);
    });
}

void MainWindow::GenerateViews(const std::vector<int32_t> &offsets, int32_t focusOffset)
{
    Generating = true;
    Pages->setCurrentIndex(0);
    ApplyCommandStates();
    GenerateViewFiles(Doc, offsets, focusOffset, [this](int p) { SetProgress(p); });
    Generating = false;

    PreviewStarted(Doc);
    HintCurrent = HintStopPreview;
    SetPanelText(10, HintCurrent);
    // How far the views move the layers under the lenses of the print as set.
    try {
        const PrintSettingsOutcome print = ReadPrintSettings(PrintTexts(), Doc.AspectRatio, Doc.MaxWidthCm);
        const PrintGeometry g = PrintGeometryOf(print.Settings);
        SetPanelText(10, HintCurrent + QStringLiteral("  ") +
                             DepthGuidanceText(DepthGuidanceFor(Doc, offsets, focusOffset, g.Lenses, g.Columns)) +
                             (Doc.CropWidth > 0 ? QStringLiteral("  ") + CropText(Doc) : QString()));
    } catch (const VistrelError &) {
        // Print fields that do not hold numbers give no guidance; the export says why.
    }
    Pages->setCurrentIndex(0);
    if (!LayerViewAll->isChecked()) {
        LayerViewAll->setChecked(true);
        ShowFullPicture();
    }
    PreviewTick = 0;
    FrontMarker->move(ViewMarkerLeft(PictureArea->width(), 0), 6);
    FrontMarker->show();
    FrontMarker->raise();
    AnimationRunning = true;
    FrameTimer->start();
}

int ViewMarkerLeft(int areaWidth, int view)
{
    return int(Round(areaWidth / 2.0 - 20 - view * 50.0 / 7));
}

void MainWindow::AnimationFrame()
{
    if (!AnimationRunning)
        return;
    // Once a stop code is set no frame is loaded: closing has deleted the files.
    if (Doc.PreviewStop > StopThreshold) {
        EndAnimation();
        return;
    }
    PreviewTick = NextPreviewTick(PreviewTick);
    const int view = ViewOfPreviewTick(PreviewTick);
    FrontMarker->move(ViewMarkerLeft(PictureArea->width(), view), 6);
    const bool shown = RunCommand([&] {
        const QString name = Doc.PsdColorMode == ModeRgb ? QStringLiteral("vw") : QStringLiteral("vwv");
        PictureView->SetPicture(LoadImage(WorkFileName(name, view)));
    }, false);
    if (!shown) {
        EndAnimation();
        return;
    }
    FrameTimer->start();
}

void MainWindow::EndAnimation()
{
    AnimationRunning = false;
    FrameTimer->stop();
    FrontMarker->hide();
    Doc.AnimationPlayed = 1;
    ApplyCommandStates();
}

void MainWindow::StopAnimation()
{
    StopPreview(Doc);
    HintCurrent = HintExport;
    SetPanelText(10, HintCurrent);
    ApplyCommandStates();
}
