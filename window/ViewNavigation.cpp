// Fit, zoom and pan of the picture, the working-image mapping of the line
// editor, and "Show work folder".
#include "Document.h"
#include "WorkFolder.h"
#include "Picture.h"
#include "Platform.h"
#include "MainWindow.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QTableWidget>
#include <QMouseEvent>
#include <QScrollArea>
#include <QScrollBar>
#include <QWheelEvent>

void MainWindow::SetPictureTakesInput(bool enabled)
{
    PictureView->setEnabled(enabled);
    // A disabled picture lets the mouse through to the scroll box, for panning.
    PictureView->setAttribute(Qt::WA_TransparentForMouseEvents, !enabled);
}

void MainWindow::LayoutScrollContent()
{
    const QSize client = PictureArea->viewport()->size();
    if (PictureFillsArea) {
        ScrollContent->resize(client);
        PictureView->setGeometry(QRect(QPoint(0, 0), client));
    } else {
        const QRect r = PictureView->geometry();
        ScrollContent->resize(std::max(client.width(), r.right() + 1), std::max(client.height(), r.bottom() + 1));
    }
    QScrollBar *h = PictureArea->horizontalScrollBar();
    QScrollBar *v = PictureArea->verticalScrollBar();
    h->setRange(0, std::max(0, ScrollContent->width() - client.width()));
    v->setRange(0, std::max(0, ScrollContent->height() - client.height()));
}

void MainWindow::FitPicture()
{
    if (Doc.WorkWidth <= 0 || Doc.WorkHeight <= 0)
        return;
    PictureFillsArea = false;
    const QSize client = PictureArea->viewport()->size();
    int width = std::max(1, client.width() - 4);
    int height = std::max(1, client.height() - 4);
    // Reduce one side to the proportion of the working picture.
    if (int64_t(Doc.WorkWidth) * height > int64_t(Doc.WorkHeight) * width)
        height = int(RoundDiv(int64_t(width) * Doc.WorkHeight, Doc.WorkWidth));
    else
        width = int(RoundDiv(int64_t(height) * Doc.WorkWidth, Doc.WorkHeight));
    PictureView->setGeometry(int(RoundDiv(client.width() - width, 2)), int(RoundDiv(client.height() - height, 2)), width,
                        height);
    LayoutScrollContent();
    PictureArea->horizontalScrollBar()->setValue(0);
    PictureArea->verticalScrollBar()->setValue(0);
    PictureFitted = true;
    ShowZoom();
}

namespace {

// The width of the shown picture in canvas pixels: the picture is the working
// image (or its crop), so canvas pixels over working ones.
double CanvasWidthOf(const QImage &picture, const Document &doc)
{
    return double(picture.width()) * doc.ImageWidth / std::max(1, doc.WorkWidth);
}

}  // namespace

void MainWindow::ShowActualSize()
{
    const QImage &picture = PictureView->Picture();
    if (picture.isNull() || Doc.WorkWidth <= 0)
        return;
    ZoomTo(std::max(1, int(Round(CanvasWidthOf(picture, Doc)))));
}

void MainWindow::ShowZoom()
{
    const QRect drawn = PictureView->PictureRect();
    const QImage &picture = PictureView->Picture();
    if (Doc.DocumentOpen == 0 || drawn.isEmpty() || picture.isNull() || Doc.ImageWidth <= 0) {
        ZoomLabel->clear();
        return;
    }
    ZoomLabel->setText(QStringLiteral("%1 %").arg(qRound(100.0 * drawn.width() / CanvasWidthOf(picture, Doc))));
}

void MainWindow::ZoomBy(bool zoomIn)
{
    const QImage &picture = PictureView->Picture();
    if (picture.isNull() || picture.width() == 0)
        return;
    // From the picture as drawn, and the control in the picture's own shape
    // either way, so that nothing is left around the picture to map wrongly.
    const QRect drawn = PictureView->PictureRect();
    const int shown = drawn.isEmpty() ? PictureView->width() : drawn.width();
    ZoomTo(std::max(1, int(Round(zoomIn ? shown * 1.5 : shown / 1.5))));
}

void MainWindow::ZoomTo(int width)
{
    const QImage &picture = PictureView->Picture();
    if (picture.isNull() || picture.width() == 0)
        return;
    PictureFillsArea = false;
    PictureFitted = false;
    const int height = std::max(1, int(Round(double(picture.height()) / picture.width() * width)));
    const QSize client = PictureArea->viewport()->size();
    // Centre: where the picture is larger than the area, scroll to its middle.
    const int dx = int(RoundDiv(client.width() - width, 2));
    const int dy = int(RoundDiv(client.height() - height, 2));
    PictureView->setGeometry(std::max(dx, 0), std::max(dy, 0), width, height);
    LayoutScrollContent();
    PictureArea->horizontalScrollBar()->setValue(dx < 0 ? -dx : 0);
    PictureArea->verticalScrollBar()->setValue(dy < 0 ? -dy : 0);
    FitEditorView();
    if (LineCommandsActive()) {
        // Outlines and point squares stay about two screen pixels wide.
        Editor.SetViewScale(ViewScale);
        Editor.Refresh();
        ShowEditor();
    }
    ShowZoom();
}

void MainWindow::ZoomIn()
{
    ZoomBy(true);
}

void MainWindow::ZoomOut()
{
    ZoomBy(false);
}

void MainWindow::ShowWorkFolder()
{
    Platform.ShellOpen(WorkFolder);
}

bool MainWindow::HandlePanEvent(QObject *watched, QEvent *event)
{
    // Space held: the scroll box takes the focus (so a focused button is not
    // pressed), the picture lets the mouse through, and dragging scrolls.
    if (event->type() == QEvent::KeyPress || event->type() == QEvent::KeyRelease) {
        auto *key = static_cast<QKeyEvent *>(event);
        auto *widget = qobject_cast<QWidget *>(watched);
        if (key->key() != Qt::Key_Space || !widget || widget->window() != this)
            return false;
        if (key->isAutoRepeat())
            return true;
        if (event->type() == QEvent::KeyPress) {
            PictureArea->setFocus();
            SetPictureTakesInput(false);
            PictureArea->viewport()->setCursor(Qt::PointingHandCursor);
            SpaceHeld = 1;
        } else {
            PictureArea->viewport()->unsetCursor();
            SpaceHeld = 0;
            SetPictureTakesInput(PictureTakesMouse());
        }
        return true;
    }
    if (watched != PictureArea->viewport() && watched != ScrollContent)
        return false;
    if (event->type() != QEvent::MouseButtonPress && event->type() != QEvent::MouseMove &&
        event->type() != QEvent::MouseButtonRelease)
        return false;
    auto *mouse = static_cast<QMouseEvent *>(event);
    const QPoint p = PictureArea->viewport()->mapFromGlobal(mouse->globalPosition().toPoint());
    QScrollBar *h = PictureArea->horizontalScrollBar();
    QScrollBar *v = PictureArea->verticalScrollBar();
    switch (event->type()) {
    case QEvent::MouseButtonPress:
        PanStartX = p.x();
        PanStartY = p.y();
        PanStartH = h->value();
        PanStartV = v->value();
        PanDragging = 1;
        break;
    case QEvent::MouseMove:
        if (SpaceHeld == 1 && PanDragging == 1) {
            h->setValue(PanStartH + PanStartX - p.x());
            v->setValue(PanStartV + PanStartY - p.y());
        }
        break;
    default:
        PanDragging = 0;
        break;
    }
    return false;
}

bool MainWindow::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == PictureArea->viewport() && event->type() == QEvent::Resize) {
        if (PictureFitted)
            FitPicture();  // the fitted picture follows the window
        else
            LayoutScrollContent();
    }
    // Ctrl and the wheel zoom, over the picture.
    if (event->type() == QEvent::Wheel && (watched == PictureArea->viewport() || watched == PictureView) &&
        (static_cast<QWheelEvent *>(event)->modifiers() & Qt::ControlModifier) && ZoomInAction->isEnabled()) {
        const int steps = static_cast<QWheelEvent *>(event)->angleDelta().y();
        if (steps != 0)
            ZoomBy(steps > 0);
        return true;
    }
    if (watched == PictureView && event->type() == QEvent::Resize) {
        // The picture is drawn at another size: outlines keep their screen width.
        FitEditorView();
        if (LineCommandsActive()) {
            Editor.SetViewScale(ViewScale);
            Editor.Refresh();
            ShowEditor();
        }
    }
    if (HandlePanEvent(watched, event))
        return true;
    // A letter typed on a row of the grid names its flip group: it never lands in
    // the offset. (While a cell is edited, its editor has the keys, not the grid.)
    if (event->type() == QEvent::KeyPress && watched == LayerGrid &&
        !(static_cast<QKeyEvent *>(event)->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier))) {
        const QString text = static_cast<QKeyEvent *>(event)->text();
        const int row = LayerGrid->currentRow();
        if (text.size() == 1 && text[0].isLetter() && LayerGrid->currentColumn() >= 1 && row >= 1) {
            if (SetLayerGroup(row, text)) {
                RecordDesignEdit();
                ShowDesignModified();
            }
            return true;
        }
    }
    if (watched == PictureView && HandlePictureMouse(event))
        return true;
    // Escape drops the line being drawn.
    if (event->type() == QEvent::KeyPress && DrawLineShown && Editor.DrawCount > 0 &&
        static_cast<QKeyEvent *>(event)->key() == Qt::Key_Escape) {
        auto *widget = qobject_cast<QWidget *>(watched);
        if (widget && widget->window() == this && LineCommandsActive()) {
            Editor.DropLine();
            ShowEditor();
            return true;
        }
    }
    // Enter ends the free transform, unless a text field takes it.
    if (event->type() == QEvent::KeyPress && DrawLineShown && Editor.Tool() == ToolFreeTransform) {
        const int key = static_cast<QKeyEvent *>(event)->key();
        auto *widget = qobject_cast<QWidget *>(watched);
        if ((key == Qt::Key_Return || key == Qt::Key_Enter) && widget && widget->window() == this &&
            !qobject_cast<QLineEdit *>(QApplication::focusWidget()) && LineCommandsActive()) {
            Editor.EndFreeTransform();
            ShowEditor();
            return true;
        }
    }
    return QMainWindow::eventFilter(watched, event);
}
