// The 3D preview: the seven views at working size, then an animation that
// plays them forth and back, one frame per tick of Timer1, until a stop code is
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
#include "Unit1.h"
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

void TForm1::N18Click()
{
    if (SpeedButton9->isEnabled())
        SpeedButton9Click();
}

void TForm1::N25Click()
{
    if (SpeedButton2->isEnabled())
        SpeedButton2Click();
}

void TForm1::SpeedButton9Click()
{
    if (DocumentOpen == 0)
        return;
    RunCommand([this] {
        // Every field the preview takes is read before anything changes, so a
        // bad cell gives its message and leaves the window as it was.
        const PreviewSettings settings = ReadPreviewSettings(PreviewTexts(Edit2->text()));
        if (Edit4->text().isEmpty())
            Edit4->setText(QStringLiteral("7"));
        if (settings.DepthShown)
            Edit3->setText(*settings.DepthShown);
        if (settings.LpiShown)
            Edit5->setText(*settings.LpiShown);
        BeginPreview(settings);
        if (DrawLineActive == 1)
            StoreCurrentLines();  // a relief still to render takes the lines as drawn
        // One run of the bar: reliefs still to render to 10, the views on to 100.
        RenderPendingReliefs([this](int p) { SetProgress(p / 10); });
        ChooseCrop(settings.Offsets, settings.FocusOffset);
        GenerateViews(settings.Offsets, settings.FocusOffset);
    });
}

void TForm1::GenerateViews(const std::vector<int32_t> &offsets, int32_t focusOffset)
{
    Generating = true;
    PageControl1->setCurrentIndex(0);
    ApplyCommandStates();
    GenerateViewFiles(offsets, focusOffset, [this](int p) { SetProgress(p); });
    Generating = false;

    PreviewStarted();
    SetPanelText(10, HintCurrent);
    // How far the views move the layers under the lenses of the print as set.
    try {
        const PrintSettingsOutcome print = ReadPrintSettings(PrintTexts(), AspectRatio);
        const PrintGeometry g = PrintGeometryOf(print.Settings);
        SetPanelText(10, HintCurrent + QStringLiteral("  ") +
                             DepthGuidanceText(DepthGuidanceFor(offsets, focusOffset, g.Lenses, g.Columns), Language) +
                             (CropWidth > 0 ? QStringLiteral("  ") + CropText(Language) : QString()));
    } catch (const VistrelError &) {
        // Print fields that do not hold numbers give no guidance; the export says why.
    }
    PageControl1->setCurrentIndex(0);
    if (!RadioGroup1All->isChecked()) {
        RadioGroup1All->setChecked(true);
        ShowFullPicture();
    }
    PreviewTick = 0;
    Label24->move(ViewMarkerLeft(ScrollBox1->width(), 0), 6);
    Label24->show();
    Label24->raise();
    AnimationRunning = true;
    Timer1->start();
}

int ViewMarkerLeft(int areaWidth, int view)
{
    return int(Round(areaWidth / 2.0 - 20 - view * 50.0 / 7));
}

void TForm1::AnimationFrame()
{
    if (!AnimationRunning)
        return;
    // Once a stop code is set no frame is loaded: closing has deleted the files.
    if (PreviewStop > StopThreshold) {
        EndAnimation();
        return;
    }
    PreviewTick = NextPreviewTick(PreviewTick);
    const int view = ViewOfPreviewTick(PreviewTick);
    Label24->move(ViewMarkerLeft(ScrollBox1->width(), view), 6);
    const bool shown = RunCommand([&] {
        const QString name = PsdColorMode == ModeRgb ? QStringLiteral("vw") : QStringLiteral("vwv");
        Image1->SetPicture(LoadImage(WorkFileName(name, view)));
    }, false);
    if (!shown) {
        EndAnimation();
        return;
    }
    Timer1->start();
}

void TForm1::EndAnimation()
{
    AnimationRunning = false;
    Timer1->stop();
    Label24->hide();
    AnimationPlayed = 1;
    ApplyCommandStates();
}

void TForm1::SpeedButton2Click()
{
    StopPreview();
    SetPanelText(10, HintCurrent);
    ApplyCommandStates();
}
