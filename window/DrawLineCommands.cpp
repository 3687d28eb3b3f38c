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
#include "MainWindow.h"
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

void MainWindow::PageChanged()
{
    const bool shown = Pages->currentWidget() == DrawLinePage;
    if (DrawLineShown && !shown)
        LeaveDrawLinePage();
    else if (!DrawLineShown && shown)
        EnterDrawLinePage();
}

void MainWindow::EnterDrawLinePage()
{
    // A layer of a flip group has no relief: back to the layer grid at once.
    if (Doc.DocumentOpen == 0 || Doc.CurrentLayer < 0 || Doc.CurrentLayer >= Doc.LayerCount ||
        IsFlipGroup(Doc.Layers[size_t(Doc.CurrentLayer)].GroupId)) {
        Pages->setCurrentWidget(SetLayerPage);
        ApplyCommandStates();
        return;
    }
    const bool entered = RunCommand([this] {
        LayerViewOne->setChecked(true);
        ComposeLayerAloneImage(Doc, Doc.CurrentLayer);
        EnterLineSets(Doc);
        Doc.DrawLineActive = 1;
        DrawLineShown = true;
        ReliefShown = ReliefPhase::Editing;
        FitEditorView();
        Editor.SetViewScale(ViewScale);
        for (int k = 0; k < OrderCount; ++k)
            Editor.SetOrderVisible(k, OrderCheckBoxes[size_t(k)]->isChecked());
        Editor.SetLayerPicture(ViewablePicture(Doc.ComposedImage));
        Editor.Enter();
        const Layer &layer = Doc.Layers[size_t(Doc.CurrentLayer)];
        ReliefDepthEdit->setText(ShortFixed4Text(layer.ReliefDepth));
        SmoothSlider->setValue(layer.Smooth);
        BaseOrderSlider->setValue(layer.BaseOrder);
        ShowEditor();
    }, false);
    if (!entered) {
        Doc.DrawLineActive = 0;
        DrawLineShown = false;
        Doc.CurrentLines.clear();
        Pages->setCurrentWidget(SetLayerPage);
        ApplyCommandStates();
    }
}

void MainWindow::LeaveDrawLinePage()
{
    Doc.ReliefPreviewStop = ReliefPreviewStopped;
    ReliefTimer->stop();
    ReliefShown = ReliefPhase::Editing;
    Editor.Leave();
    // After an import the lines on the page belonged to the document before it.
    if (Doc.DrawLineActive == 1)
        LeaveLineSets(Doc);
    else
        Doc.CurrentLines.clear();
    Doc.DrawLineActive = 0;
    DrawLineShown = false;
    Editor.DrawCount = 0;
    ApplyCommandStates();
    if (Doc.DocumentOpen == 1 && LayerViewOne->isChecked())
        ComposeLayerAlone();
}

void MainWindow::ReloadDrawLinePage()
{
    if (!DrawLineShown)
        return;
    Editor.Leave();
    DrawLineShown = false;
    EnterDrawLinePage();
}

void MainWindow::FitEditorView()
{
    // The picture control shows the working picture scaled proportionally and
    // centred, wherever fit, zoom, resizing or a preview left the control.
    // ViewScale is working pixels per screen pixel, times 10 000 (the editor
    // keeps its outlines about two screen pixels wide by it); the offsets are
    // where the drawn picture starts, in screen pixels times 10 000.
    const QRect drawn = PictureView->PictureRect();
    if (drawn.isEmpty() || Doc.WorkWidth <= 0 || Doc.WorkHeight <= 0)
        return;
    ViewScale = RoundDiv(int64_t(Doc.WorkWidth) * Fixed4One, drawn.width());
    ViewOffsetX = int64_t(drawn.left()) * Fixed4One;
    ViewOffsetY = int64_t(drawn.top()) * Fixed4One;
}

LinePoint MainWindow::WorkingPosition(int x, int y) const
{
    // Read from where the picture is drawn at this moment, not from a scale
    // kept aside, so that the mouse lands on what it points at after any
    // sequence of fit, zoom, pan, resize, preview and page changes. The centre
    // of screen pixel s shows working pixel floor((s + 0.5 - start) x size /
    // extent); a position left of or above the picture is negative.
    const QRect drawn = PictureView->PictureRect();
    if (drawn.isEmpty() || Doc.WorkWidth <= 0 || Doc.WorkHeight <= 0)
        return {0, 0};
    const auto map = [](int screen, int start, int extent, int32_t size) {
        const int64_t num = (2 * int64_t(screen - start) + 1) * size, den = 2 * int64_t(extent);
        return int32_t(num >= 0 ? num / den : -((-num + den - 1) / den));
    };
    return {map(x, drawn.left(), drawn.width(), Doc.WorkWidth), map(y, drawn.top(), drawn.height(), Doc.WorkHeight)};
}

bool MainWindow::LineCommandsActive() const
{
    return DrawLineShown && ReliefShown == ReliefPhase::Editing;
}

bool MainWindow::PictureTakesMouse() const
{
    return Doc.DrawLineActive == 1 && LineCommandsActive() && SpaceHeld == 0;
}

// --- The picture and the editor ---

bool MainWindow::HandlePictureMouse(QEvent *event)
{
    const QEvent::Type type = event->type();
    if (type != QEvent::MouseButtonPress && type != QEvent::MouseButtonDblClick && type != QEvent::MouseMove &&
        type != QEvent::MouseButtonRelease)
        return false;
    if (!PictureTakesMouse())
        return false;
    auto *mouse = static_cast<QMouseEvent *>(event);
    const QPoint p = mouse->position().toPoint();
    const LinePoint at = WorkingPosition(p.x(), p.y());
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
        else if (y > PictureView->height() - 9)
            y = PictureView->height();
        Editor.Move(at, WorkingPosition(p.x(), y));
        break;
    }
    default:
        Editor.Release(at, mouse->button());
        break;
    }
    ShowEditor(type != QEvent::MouseMove);  // a drag is one edit, recorded when it ends
    return true;
}

void MainWindow::ShowEditor(bool recordEdit)
{
    if (recordEdit)
        RecordDesignEdit();
    ShowUndoRedo();
    PictureView->SetPicture(Editor.Picture());
    PictureView->setCursor(ShapeOf(Editor.Cursor()));
    switch (Editor.Tool()) {
    case ToolDrawLine: DrawLineTool->setChecked(true); break;
    case ToolAddPoint: AddPointTool->setChecked(true); break;
    case ToolDeletePoint: DeletePointTool->setChecked(true); break;
    case ToolMoveLine: MoveLineTool->setChecked(true); break;
    case ToolMovePoint: MovePointTool->setChecked(true); break;
    default: break;  // the free transform and its end keep the button pressed
    }
    ShowCurrentOrder();
    PasteAction->setEnabled(CutAction->isEnabled() && Editor.PasteAvailable());
    switch (Editor.LastRefusal()) {
    case Refusal::OrderFull:
        SetPanelText(10, tr("An order holds at most 255 lines. Delete some lines or choose another order."));
        break;
    case Refusal::SelectionFull: SetPanelText(10, tr("At most 255 lines can be selected at once.")); break;
    case Refusal::LineFull: SetPanelText(10, tr("A line has at most 127 points.")); break;
    default: break;
    }
    const int beeps = Editor.Beeps() + (Editor.LastRefusal() != Refusal::None ? 1 : 0);
    for (int i = 0; i < beeps; ++i)
        Platform.Beep();
}

void MainWindow::ShowCurrentOrder()
{
    const int order = std::clamp<int>(Editor.CurrentOrder, 0, OrderCount - 1);
    OrderRadios[size_t(order)]->setChecked(true);
    OrderMarker->move(OrderMarker->x(), OrderRowHeight * order + OrderFirstRowTop);
}

void MainWindow::ToolButtonClick(uint8_t toolMode)
{
    if (!LineCommandsActive())
        return;
    Editor.ChooseTool(toolMode);
    ShowEditor();
}

void MainWindow::OrderChosen(int item)
{
    // The 16th item is no order: it stands for the last one.
    Editor.CurrentOrder = uint8_t(std::clamp(item, 0, OrderCount - 1));
    ShowCurrentOrder();
}

void MainWindow::OrderCheckBoxClick(int order)
{
    Editor.SetOrderVisible(order, OrderCheckBoxes[size_t(order)]->isChecked());
    if (!LineCommandsActive())
        return;
    Editor.Refresh();
    ShowEditor();
}

// --- Line commands ---

void MainWindow::BeginLine()
{
    // Leaving and entering again stores the lines and reloads them.
    if (DrawLineShown) {
        LeaveDrawLinePage();
        EnterDrawLinePage();
    } else {
        Pages->setCurrentWidget(DrawLinePage);
    }
    if (!DrawLineShown)
        return;
    Editor.BeginLine();
    ShowEditor();
}

void MainWindow::DeleteLastPoint()
{
    if (!LineCommandsActive())
        return;
    Editor.UndoPoint();
    ShowEditor();
}

void MainWindow::DeleteLine()
{
    if (!LineCommandsActive())
        return;
    Editor.DeleteLastLine();
    ShowEditor();
}

void MainWindow::DeleteLayerLines()
{
    if (!LineCommandsActive())
        return;
    Editor.EmptyCurrentOrder();
    ShowEditor();
}

void MainWindow::ClearAllLines()
{
    if (!LineCommandsActive())
        return;
    RunCommand([this] {
        // The page's relief depth is read first: a bad text changes nothing.
        const Fixed4 depth = StrToFixed4(ReliefDepthEdit->text());
        Editor.DeleteAll();
        StoreCurrentLines(Doc);
        Layer &layer = Doc.Layers[size_t(Doc.CurrentLayer)];
        if (layer.GroupId != GroupPlain)
            Doc.ViewsCurrent = 0;  // the views showed the relief
        layer.GroupId = GroupPlain;
        layer.Smooth = uint8_t(SmoothSlider->value());
        layer.BaseOrder = uint8_t(BaseOrderSlider->value());
        layer.ReliefDepth = depth;
        SetCells(1, Doc.LayerCount - Doc.CurrentLayer, QString());
        ShowEditor();
    }, false);
}

void MainWindow::DeleteSelection()
{
    if (!LineCommandsActive())
        return;
    Editor.DeleteSelected();
    ShowEditor();
}

void MainWindow::SelectAllLines()
{
    if (!LineCommandsActive())
        return;
    Editor.SelectAll();
    ShowEditor();
}

void MainWindow::FreeTransform()
{
    if (!LineCommandsActive())
        return;
    Editor.FreeTransform();
    ShowEditor();
}

void MainWindow::MoveSelectionToLowerOrder()
{
    if (!LineCommandsActive())
        return;
    Editor.MoveSelectionOrder(+1);
    ShowEditor();
}

void MainWindow::MoveSelectionToHigherOrder()
{
    if (!LineCommandsActive())
        return;
    Editor.MoveSelectionOrder(-1);
    ShowEditor();
}

void MainWindow::CutLines()
{
    if (!LineCommandsActive())
        return;
    Editor.Cut();
    ShowEditor();
}

void MainWindow::CopyLines()
{
    if (!LineCommandsActive())
        return;
    Editor.Copy();
    ShowEditor();
}

void MainWindow::PasteLines()
{
    if (!LineCommandsActive() || !Editor.PasteAvailable())
        return;
    Editor.Paste();
    ShowEditor();
}

// --- The relief preview ---

void MainWindow::StartReliefPreview()
{
    if (!LineCommandsActive())
        return;
    const int row = Doc.LayerCount - Doc.CurrentLayer;
    RunCommand([this, row] {
        // The depth is read before anything changes, so a bad text leaves the
        // layer as it was.
        const Fixed4 depth = StrToFixed4(ReliefDepthEdit->text());
        Layer &layer = Doc.Layers[size_t(Doc.CurrentLayer)];
        const Layer before = layer;
        const QString cellBefore = Cells(1, row);
        SetPictureTakesInput(false);
        SetCells(1, row, QStringLiteral("+"));
        StoreCurrentLines(Doc);
        layer.GroupId = GroupReliefRendered;
        layer.Smooth = uint8_t(SmoothSlider->value());
        layer.BaseOrder = uint8_t(BaseOrderSlider->value());
        layer.ReliefDepth = depth;
        try {
            RenderRelief(Doc, Doc.CurrentLayer, Doc.CurrentLines, [this](int p) { SetProgress(p); });
        } catch (...) {
            // Views half written are not the views of a rendered relief: the
            // next view generation renders them again.
            layer = before;
            if (before.GroupId == GroupReliefRendered)
                layer.GroupId = GroupReliefToRender;
            SetCells(1, row, cellBefore);
            throw;
        }
        Doc.ViewsCurrent = 0;  // the 3D views do not have this relief yet
        SetProgress(100);
        SetProgress(0);
        Doc.ReliefPreviewStop = 0;
        ReliefTick = 0;
        ReliefShown = ReliefPhase::Playing;
        ReliefTimer->setInterval(FrameTimer->interval());
        ReliefTimer->start();
    });
}

void MainWindow::ReliefFrame()
{
    // Once a stop code is set no frame is loaded: closing has deleted the files.
    if (Doc.ReliefPreviewStop > StopThreshold || !DrawLineShown || ReliefShown != ReliefPhase::Playing)
        return;
    ReliefTick = NextPreviewTick(ReliefTick);
    const int view = ViewOfPreviewTick(ReliefTick);
    const bool shown = RunCommand([&] {
        const QString family = Doc.PsdColorMode == ModeRgb ? QStringLiteral("xgx") : QStringLiteral("xgxv");
        PictureView->SetPicture(LoadImage(WorkFileName(Doc.CurrentLayer + 1, family, view)));
    }, false);
    if (!shown) {
        StopReliefPreview();
        return;
    }
    ReliefTimer->start();
}

void MainWindow::StopReliefPreview()
{
    Doc.ReliefPreviewStop = ReliefPreviewStopped;
    ReliefTimer->stop();
    if (ReliefShown == ReliefPhase::Playing)
        ReliefShown = ReliefPhase::Stopped;
    ApplyCommandStates();
}
