// The 3D preview: the seven views at working size, then an animation that
// plays them forth and back, one frame per tick of Timer1, until a stop code is
// set (Stop, the print export, closing the window).
#include "BmpCodec.h"
#include "Compositor.h"
#include "Document.h"
#include "Errors.h"
#include "Picture.h"
#include "Platform.h"
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
    // Every field the preview takes is checked before anything changes, so a
    // bad cell gives its message and leaves the window as it was.
    int32_t focus = 0;
    Fixed4 depth = 0, lpi = 0;
    std::vector<int32_t> offsets;
    try {
        if (Edit4->text().isEmpty())
            Edit4->setText(QStringLiteral("7"));
        if (Edit3->text().isEmpty())
            Edit3->setText(QStringLiteral("1.0"));
        if (Edit5->text().isEmpty())
            Edit5->setText(QStringLiteral("75.55"));
        focus = StrToInt(Edit2->text());
        depth = StrToFixed4(Edit3->text());
        lpi = StrToFixed4(Edit5->text());
        offsets = GridOffsets();
    } catch (const VistrelError &error) {
        Platform.ShowMessage(error.Message);
        return;
    }

    SpeedButton29->setEnabled(false);
    N7->setEnabled(false);
    SpeedButton5->setEnabled(false);
    FocusLayer = focus;
    // Depth or view count changed: relief layers must be rendered again.
    if (ViewsStale == 1)
        for (Tlayer &layer : Layers)
            if (layer.GroupId == 100)
                layer.GroupId = 255;
    ViewsStale = 0;
    Depth = depth;
    Lpi = lpi;
    for (const Tlayer &layer : Layers) {
        if (layer.GroupId == 255) {
            // The relief renderer takes these layers here (GroupId 255 -> 100).
            Platform.ShowMessage(QStringLiteral("This document has relief layers, which this version of Vistrel "
                                                "cannot render yet."));
            return;
        }
    }
    int32_t focusOffset = 0;
    try {
        focusOffset = FocusOffset();
    } catch (const VistrelError &error) {
        Platform.ShowMessage(error.Message);
        return;
    }
    GenerateViews(offsets, focusOffset);
}

bool TForm1::GenerateViews(const std::vector<int32_t> &offsets, int32_t focusOffset)
{
    const uint8_t previousState = AppState;
    AppState = 2;
    for (QWidget *off : std::initializer_list<QWidget *>{SpeedButton1, SpeedButton10, SpeedButton6, SpeedButton7,
                                                          SpeedButton8, SpeedButton13, GroupBox2})
        off->setEnabled(false);
    PageControl1->setCurrentIndex(0);
    Platform.SetBusyCursor(true);
    SetProgress(0);
    try {
        GenerateViewFiles(offsets, focusOffset, [this](int p) { SetProgress(p); });
    } catch (const VistrelError &error) {
        // The window stays usable: the fields can be corrected and Preview pressed again.
        AppState = previousState;
        SpeedButton1->setEnabled(true);
        GroupBox2->setEnabled(true);
        SetProgress(0);
        Platform.SetBusyCursor(false);
        Platform.ShowMessage(error.Message);
        return false;
    }

    PreviewStop = 0;
    SpeedButton29->setEnabled(true);
    N7->setEnabled(true);
    SpeedButton5->setEnabled(true);
    SpeedButton2->setEnabled(true);
    HintCurrent = HintStopPreview;
    SetPanelText(10, HintCurrent);
    PageControl1->setCurrentIndex(0);
    if (!RadioGroup1All->isChecked()) {
        RadioGroup1All->setChecked(true);
        ShowFullPicture();
    }
    SetProgress(0);
    Platform.SetBusyCursor(false);

    PreviewTick = 0;
    Label24->move(ViewMarkerLeft(ScrollBox1->width(), 0), 6);
    Label24->show();
    Label24->raise();
    AnimationRunning = true;
    Timer1->start();
    return true;
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
    try {
        const QString name = PsdColorMode == 3 ? QStringLiteral("vw") : QStringLiteral("vwv");
        Image1->SetPicture(LoadImage(WorkFileName(name, view)));
    } catch (const VistrelError &error) {
        EndAnimation();
        Platform.ShowMessage(error.Message);
        return;
    }
    Timer1->start();
}

void TForm1::EndAnimation()
{
    AnimationRunning = false;
    Timer1->stop();
    Label24->hide();
    ExportGif1->setEnabled(true);
}

void TForm1::SpeedButton2Click()
{
    PreviewStop = 601;
    AppState = 3;
    SpeedButton1->setEnabled(true);
    GroupBox2->setEnabled(true);
    HintCurrent = HintExport;
    SetPanelText(10, HintCurrent);
    SpeedButton2->setEnabled(false);
}
