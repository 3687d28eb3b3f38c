// Fit, zoom and pan of the picture, the working-image mapping of the line
// editor, and "Show work folder".
#include "Document.h"
#include "Picture.h"
#include "Platform.h"
#include "Unit1.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMouseEvent>
#include <QScrollArea>
#include <QScrollBar>

void TForm1::SetImage1Enabled(bool enabled)
{
    Image1->setEnabled(enabled);
    // A disabled picture lets the mouse through to the scroll box, for panning.
    Image1->setAttribute(Qt::WA_TransparentForMouseEvents, !enabled);
}

void TForm1::LayoutScrollContent()
{
    const QSize client = ScrollBox1->viewport()->size();
    if (Image1Aligned) {
        ScrollContent->resize(client);
        Image1->setGeometry(QRect(QPoint(0, 0), client));
    } else {
        const QRect r = Image1->geometry();
        ScrollContent->resize(std::max(client.width(), r.right() + 1), std::max(client.height(), r.bottom() + 1));
    }
    QScrollBar *h = ScrollBox1->horizontalScrollBar();
    QScrollBar *v = ScrollBox1->verticalScrollBar();
    h->setRange(0, std::max(0, ScrollContent->width() - client.width()));
    v->setRange(0, std::max(0, ScrollContent->height() - client.height()));
}

void TForm1::FitPicture()
{
    if (WorkWidth <= 0 || WorkHeight <= 0)
        return;
    Image1Aligned = false;
    const QSize client = ScrollBox1->viewport()->size();
    int width = std::max(1, client.width() - 4);
    int height = std::max(1, client.height() - 4);
    // Reduce one side to the proportion of the working picture.
    if (int64_t(WorkWidth) * height > int64_t(WorkHeight) * width)
        height = int(RoundDiv(int64_t(width) * WorkHeight, WorkWidth));
    else
        width = int(RoundDiv(int64_t(height) * WorkWidth, WorkHeight));
    Image1->setGeometry(int(RoundDiv(client.width() - width, 2)), int(RoundDiv(client.height() - height, 2)), width,
                        height);
    LayoutScrollContent();
    ScrollBox1->horizontalScrollBar()->setValue(0);
    ScrollBox1->verticalScrollBar()->setValue(0);
}

void TForm1::ZoomBy(bool zoomIn)
{
    const QImage &picture = Image1->Picture();
    if (picture.isNull() || picture.width() == 0)
        return;
    Image1Aligned = false;
    // From the picture as drawn, and the control in the picture's own shape
    // either way, so that nothing is left around the picture to map wrongly.
    const QRect drawn = Image1->PictureRect();
    const int shown = drawn.isEmpty() ? Image1->width() : drawn.width();
    const int width = std::max(1, int(Round(zoomIn ? shown * 1.5 : shown / 1.5)));
    const int height = std::max(1, int(Round(double(picture.height()) / picture.width() * width)));
    const QSize client = ScrollBox1->viewport()->size();
    // Centre: where the picture is larger than the area, scroll to its middle.
    const int dx = int(RoundDiv(client.width() - width, 2));
    const int dy = int(RoundDiv(client.height() - height, 2));
    Image1->setGeometry(std::max(dx, 0), std::max(dy, 0), width, height);
    LayoutScrollContent();
    ScrollBox1->horizontalScrollBar()->setValue(dx < 0 ? -dx : 0);
    ScrollBox1->verticalScrollBar()->setValue(dy < 0 ? -dy : 0);
    FitEditorView();
    if (LineCommandsActive()) {
        // Outlines and point squares stay about two screen pixels wide.
        Editor.SetViewScale(ViewScale);
        Editor.Refresh();
        ShowEditor();
    }
}

void TForm1::SpeedButton3Click()
{
    ZoomBy(true);
}

void TForm1::SpeedButton4Click()
{
    ZoomBy(false);
}

void TForm1::Showgrouptiff1Click()
{
    Platform.ShellOpen(WorkFolder);
}

bool TForm1::HandlePanEvent(QObject *watched, QEvent *event)
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
            ScrollBox1->setFocus();
            SetImage1Enabled(false);
            ScrollBox1->viewport()->setCursor(Qt::PointingHandCursor);
            SpaceHeld = 1;
        } else {
            ScrollBox1->viewport()->unsetCursor();
            SpaceHeld = 0;
            SetImage1Enabled(PictureTakesMouse());
        }
        return true;
    }
    if (watched != ScrollBox1->viewport() && watched != ScrollContent)
        return false;
    if (event->type() != QEvent::MouseButtonPress && event->type() != QEvent::MouseMove &&
        event->type() != QEvent::MouseButtonRelease)
        return false;
    auto *mouse = static_cast<QMouseEvent *>(event);
    const QPoint p = ScrollBox1->viewport()->mapFromGlobal(mouse->globalPosition().toPoint());
    QScrollBar *h = ScrollBox1->horizontalScrollBar();
    QScrollBar *v = ScrollBox1->verticalScrollBar();
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

bool TForm1::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == ScrollBox1->viewport() && event->type() == QEvent::Resize)
        LayoutScrollContent();
    if (watched == Image1 && event->type() == QEvent::Resize) {
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
    if (watched == Image1 && HandlePictureMouse(event))
        return true;
    // Escape drops the line being drawn.
    if (event->type() == QEvent::KeyPress && DrawLineShown && DrawCount > 0 &&
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
