// The DrawLine page: entering and leaving it, the mouse on the picture and the
// line commands (all carried out by the line editor), the order choice and its
// check boxes, the layer's relief parameters and the relief preview.
#include "BmpCodec.h"
#include "Compositor.h"
#include "Document.h"
#include "Errors.h"
#include "Picture.h"
#include "Platform.h"
#include "ReliefLines.h"
#include "ReliefRenderer.h"
#include "Unit1.h"
#include "ViewSet.h"
#include "WorkFolder.h"

#include <QAction>
#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>
#include <QTabWidget>
#include <QTimer>
#include <QToolButton>

namespace {

Qt::CursorShape ShapeOf(EditorCursor cursor)
{
    switch (cursor) {
    case EditorCursor::Cross: return Qt::CrossCursor;
    case EditorCursor::NoEntry: return Qt::ForbiddenCursor;
    case EditorCursor::MoveAll: return Qt::SizeAllCursor;
    case EditorCursor::SizeVertical: return Qt::SizeVerCursor;
    case EditorCursor::SizeHorizontal: return Qt::SizeHorCursor;
    case EditorCursor::SizeDiagonalDown: return Qt::SizeFDiagCursor;
    case EditorCursor::SizeDiagonalUp: return Qt::SizeBDiagCursor;
    default: return Qt::ArrowCursor;
    }
}

}  // namespace

// --- Entering and leaving ---

void TForm1::PageControl1Change()
{
    const bool shown = PageControl1->currentWidget() == TabSheet2;
    if (DrawLineShown && !shown)
        LeaveDrawLinePage();
    else if (!DrawLineShown && shown)
        EnterDrawLinePage();
}

void TForm1::EnterDrawLinePage()
{
    // A layer of a flip group has no relief: back to the layer grid at once.
    if (DocumentOpen == 0 || CurrentLayer < 0 || CurrentLayer >= LayerCount ||
        IsFlipGroup(Layers[size_t(CurrentLayer)].GroupId)) {
        PageControl1->setCurrentWidget(TabSheet1);
        ApplyCommandStates();
        return;
    }
    const bool entered = RunCommand([this] {
        RadioGroup1One->setChecked(true);
        ComposeLayerAloneImage(CurrentLayer);
        EnterLineSets();
        DrawLineActive = 1;
        DrawLineShown = true;
        ReliefShown = ReliefPhase::Editing;
        FitEditorView();
        Editor.SetViewScale(ViewScale);
        for (int k = 0; k < OrderCount; ++k)
            Editor.SetOrderVisible(k, OrderCheckBoxes[size_t(k)]->isChecked());
        Editor.SetLayerPicture(ViewablePicture(ComposedImage));
        Editor.Enter();
        const Tlayer &layer = Layers[size_t(CurrentLayer)];
        Edit1->setText(ShortFixed4Text(layer.ReliefDepth));
        TrackBar2->setValue(layer.Smooth);
        TrackBar3->setValue(layer.BaseOrder);
        ShowEditor();
    }, false);
    if (!entered) {
        DrawLineActive = 0;
        DrawLineShown = false;
        CurrentLines.clear();
        PageControl1->setCurrentWidget(TabSheet1);
        ApplyCommandStates();
    }
}

void TForm1::LeaveDrawLinePage()
{
    ReliefPreviewStop = ReliefPreviewStopped;
    ReliefTimer->stop();
    ReliefShown = ReliefPhase::Editing;
    Editor.Leave();
    // After an import the lines on the page belonged to the document before it.
    if (DrawLineActive == 1)
        LeaveLineSets();
    else
        CurrentLines.clear();
    DrawLineActive = 0;
    DrawLineShown = false;
    DrawCount = 0;
    ApplyCommandStates();
    if (DocumentOpen == 1 && RadioGroup1One->isChecked())
        ComposeLayerAlone();
}

void TForm1::ReloadDrawLinePage()
{
    if (!DrawLineShown)
        return;
    Editor.Leave();
    DrawLineShown = false;
    EnterDrawLinePage();
}

void TForm1::FitEditorView()
{
    // The picture control shows the working picture scaled proportionally and
    // centred, wherever fit, zoom, resizing or a preview left the control.
    // ViewScale is working pixels per screen pixel, times 10 000 (the editor
    // keeps its outlines about two screen pixels wide by it); the offsets are
    // where the drawn picture starts, in screen pixels times 10 000.
    const QRect drawn = Image1->PictureRect();
    if (drawn.isEmpty() || WorkWidth <= 0 || WorkHeight <= 0)
        return;
    ViewScale = RoundDiv(int64_t(WorkWidth) * Fixed4One, drawn.width());
    ViewOffsetX = int64_t(drawn.left()) * Fixed4One;
    ViewOffsetY = int64_t(drawn.top()) * Fixed4One;
}

TPoint32 TForm1::WorkingPosition(int x, int y) const
{
    // Read from where the picture is drawn at this moment, not from a scale
    // kept aside, so that the mouse lands on what it points at after any
    // sequence of fit, zoom, pan, resize, preview and page changes. The centre
    // of screen pixel s shows working pixel floor((s + 0.5 - start) x size /
    // extent); a position left of or above the picture is negative.
    const QRect drawn = Image1->PictureRect();
    if (drawn.isEmpty() || WorkWidth <= 0 || WorkHeight <= 0)
        return {0, 0};
    const auto map = [](int screen, int start, int extent, int32_t size) {
        const int64_t num = (2 * int64_t(screen - start) + 1) * size, den = 2 * int64_t(extent);
        return int32_t(num >= 0 ? num / den : -((-num + den - 1) / den));
    };
    return {map(x, drawn.left(), drawn.width(), WorkWidth), map(y, drawn.top(), drawn.height(), WorkHeight)};
}

bool TForm1::LineCommandsActive() const
{
    return DrawLineShown && ReliefShown == ReliefPhase::Editing;
}

bool TForm1::PictureTakesMouse() const
{
    return DrawLineActive == 1 && LineCommandsActive() && SpaceHeld == 0;
}

// --- The picture and the editor ---

bool TForm1::HandlePictureMouse(QEvent *event)
{
    const QEvent::Type type = event->type();
    if (type != QEvent::MouseButtonPress && type != QEvent::MouseButtonDblClick && type != QEvent::MouseMove &&
        type != QEvent::MouseButtonRelease)
        return false;
    if (!PictureTakesMouse())
        return false;
    auto *mouse = static_cast<QMouseEvent *>(event);
    const QPoint p = mouse->position().toPoint();
    const TPoint32 at = WorkingPosition(p.x(), p.y());
    switch (type) {
    case QEvent::MouseButtonDblClick:
        if (Editor.DoubleClick())
            break;  // the line is ended; its last point came with the first click
        [[fallthrough]];
    case QEvent::MouseButtonPress:
        Editor.Press(at, mouse->button(), mouse->modifiers().testFlag(Qt::ShiftModifier));
        break;
    case QEvent::MouseMove: {
        // The rubber band snaps to the top and bottom edge of the control, so a
        // line can run out of the picture where the edge is hard to hit.
        int y = p.y();
        if (y < 9)
            y = 0;
        else if (y > Image1->height() - 9)
            y = Image1->height();
        Editor.Move(at, WorkingPosition(p.x(), y));
        break;
    }
    default:
        Editor.Release(at, mouse->button());
        break;
    }
    ShowEditor();
    return true;
}

void TForm1::ShowEditor()
{
    Image1->SetPicture(Editor.Picture());
    Image1->setCursor(ShapeOf(Editor.Cursor()));
    switch (Editor.Tool()) {
    case ToolDrawLine: ToolButton1->setChecked(true); break;
    case ToolAddPoint: ToolButton2->setChecked(true); break;
    case ToolDeletePoint: ToolButton3->setChecked(true); break;
    case ToolMoveLine: ToolButton4->setChecked(true); break;
    case ToolMovePoint: ToolButton5->setChecked(true); break;
    default: break;  // the free transform and its end keep the button pressed
    }
    ShowCurrentOrder();
    ToolButton10->setEnabled(ToolButton9->isEnabled() && Editor.PasteAvailable());
    const LanguageTexts &texts = TextsForLanguage(Language);
    switch (Editor.LastRefusal()) {
    case Refusal::OrderFull: SetPanelText(10, QString::fromUtf8(texts.OrderFull)); break;
    case Refusal::SelectionFull: SetPanelText(10, QString::fromUtf8(texts.SelectionFull)); break;
    case Refusal::LineFull: SetPanelText(10, QString::fromUtf8(texts.LineFull)); break;
    default: break;
    }
    const int beeps = Editor.Beeps() + (Editor.LastRefusal() != Refusal::None ? 1 : 0);
    for (int i = 0; i < beeps; ++i)
        Platform.Beep();
}

void TForm1::ShowCurrentOrder()
{
    const int order = std::clamp<int>(CurrentOrder, 0, OrderCount - 1);
    RadioGroup2Items[size_t(order)]->setChecked(true);
    Panel4->move(Panel4->x(), OrderRowHeight * order + OrderFirstRowTop);
}

void TForm1::ToolButtonClick(uint8_t toolMode)
{
    if (!LineCommandsActive())
        return;
    Editor.ChooseTool(toolMode);
    ShowEditor();
}

void TForm1::RadioGroup2Click(int item)
{
    // The 16th item is no order: it stands for the last one.
    CurrentOrder = uint8_t(std::clamp(item, 0, OrderCount - 1));
    ShowCurrentOrder();
}

void TForm1::OrderCheckBoxClick(int order)
{
    Editor.SetOrderVisible(order, OrderCheckBoxes[size_t(order)]->isChecked());
    if (!LineCommandsActive())
        return;
    Editor.Refresh();
    ShowEditor();
}

// --- Line commands ---

void TForm1::SpeedButton13Click()
{
    // Leaving and entering again stores the lines and reloads them.
    if (DrawLineShown) {
        LeaveDrawLinePage();
        EnterDrawLinePage();
    } else {
        PageControl1->setCurrentWidget(TabSheet2);
    }
    if (!DrawLineShown)
        return;
    Editor.BeginLine();
    ShowEditor();
}

void TForm1::N23Click()
{
    if (SpeedButton13->isEnabled() || LineCommandsActive())
        SpeedButton13Click();
}

void TForm1::SpeedButton10Click()
{
    if (!LineCommandsActive())
        return;
    Editor.UndoPoint();
    ShowEditor();
}

void TForm1::SpeedButton6Click()
{
    if (!LineCommandsActive())
        return;
    Editor.DeleteLastLine();
    ShowEditor();
}

void TForm1::SpeedButton7Click()
{
    if (!LineCommandsActive())
        return;
    Editor.EmptyCurrentOrder();
    ShowEditor();
}

void TForm1::SpeedButton8Click()
{
    if (!LineCommandsActive())
        return;
    RunCommand([this] {
        // The page's relief depth is read first: a bad text changes nothing.
        const Fixed4 depth = StrToFixed4(Edit1->text());
        Editor.DeleteAll();
        StoreCurrentLines();
        Tlayer &layer = Layers[size_t(CurrentLayer)];
        if (layer.GroupId != GroupPlain)
            ViewsCurrent = 0;  // the views showed the relief
        layer.GroupId = GroupPlain;
        layer.Smooth = uint8_t(TrackBar2->value());
        layer.BaseOrder = uint8_t(TrackBar3->value());
        layer.ReliefDepth = depth;
        SetCells(1, LayerCount - CurrentLayer, QString());
        ShowEditor();
    }, false);
}

void TForm1::DeleteSelect1Click()
{
    if (!LineCommandsActive())
        return;
    Editor.DeleteSelected();
    ShowEditor();
}

void TForm1::SelectAll1Click()
{
    if (!LineCommandsActive())
        return;
    Editor.SelectAll();
    ShowEditor();
}

void TForm1::FreeTransform1Click()
{
    if (!LineCommandsActive())
        return;
    Editor.FreeTransform();
    ShowEditor();
}

void TForm1::ToolButton8Click()
{
    if (!LineCommandsActive())
        return;
    Editor.MoveSelectionOrder(+1);
    ShowEditor();
}

void TForm1::ToolButton7Click()
{
    if (!LineCommandsActive())
        return;
    Editor.MoveSelectionOrder(-1);
    ShowEditor();
}

void TForm1::Cut1Click()
{
    if (!LineCommandsActive())
        return;
    Editor.Cut();
    ShowEditor();
}

void TForm1::Copy1Click()
{
    if (!LineCommandsActive())
        return;
    Editor.Copy();
    ShowEditor();
}

void TForm1::Pastup1Click()
{
    if (!LineCommandsActive() || !Editor.PasteAvailable())
        return;
    Editor.Paste();
    ShowEditor();
}

// --- The relief preview ---

void TForm1::BitBtn5Click()
{
    if (!LineCommandsActive())
        return;
    const int row = LayerCount - CurrentLayer;
    RunCommand([this, row] {
        // The depth is read before anything changes, so a bad text leaves the
        // layer as it was.
        const Fixed4 depth = StrToFixed4(Edit1->text());
        Tlayer &layer = Layers[size_t(CurrentLayer)];
        const Tlayer before = layer;
        const QString cellBefore = Cells(1, row);
        SetImage1Enabled(false);
        SetCells(1, row, QStringLiteral("+"));
        StoreCurrentLines();
        layer.GroupId = GroupReliefRendered;
        layer.Smooth = uint8_t(TrackBar2->value());
        layer.BaseOrder = uint8_t(TrackBar3->value());
        layer.ReliefDepth = depth;
        try {
            RenderRelief(CurrentLayer, CurrentLines, [this](int p) { SetProgress(p); });
        } catch (...) {
            // Views half written are not the views of a rendered relief: the
            // next view generation renders them again.
            layer = before;
            if (before.GroupId == GroupReliefRendered)
                layer.GroupId = GroupReliefToRender;
            SetCells(1, row, cellBefore);
            throw;
        }
        ViewsCurrent = 0;  // the 3D views do not have this relief yet
        SetProgress(100);
        SetProgress(0);
        ReliefPreviewStop = 0;
        ReliefTick = 0;
        ReliefShown = ReliefPhase::Playing;
        ReliefTimer->setInterval(Timer1->interval());
        ReliefTimer->start();
    });
}

void TForm1::ReliefFrame()
{
    // Once a stop code is set no frame is loaded: closing has deleted the files.
    if (ReliefPreviewStop > StopThreshold || !DrawLineShown || ReliefShown != ReliefPhase::Playing)
        return;
    ReliefTick = NextPreviewTick(ReliefTick);
    const int view = ViewOfPreviewTick(ReliefTick);
    const bool shown = RunCommand([&] {
        const QString family = PsdColorMode == ModeRgb ? QStringLiteral("xgx") : QStringLiteral("xgxv");
        Image1->SetPicture(LoadImage(WorkFileName(CurrentLayer + 1, family, view)));
    }, false);
    if (!shown) {
        BitBtn6Click();
        return;
    }
    ReliefTimer->start();
}

void TForm1::BitBtn6Click()
{
    ReliefPreviewStop = ReliefPreviewStopped;
    ReliefTimer->stop();
    if (ReliefShown == ReliefPhase::Playing)
        ReliefShown = ReliefPhase::Stopped;
    ApplyCommandStates();
}
