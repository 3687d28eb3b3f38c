#include "Picture.h"

#include <QPainter>

PictureControl::PictureControl(QWidget *parent) : QWidget(parent)
{
    setAttribute(Qt::WA_OpaquePaintEvent, false);
}

void PictureControl::SetPicture(const QImage &picture)
{
    Shown = picture;
    update();
}

QRect PictureControl::PictureRect() const
{
    if (Shown.isNull() || Shown.width() == 0 || Shown.height() == 0)
        return {};
    const QSize fitted = Shown.size().scaled(size(), Qt::KeepAspectRatio);
    return QRect(QPoint((width() - fitted.width()) / 2, (height() - fitted.height()) / 2), fitted);
}

void PictureControl::paintEvent(QPaintEvent *)
{
    if (Shown.isNull())
        return;
    QPainter painter(this);
    painter.setRenderHint(QPainter::SmoothPixmapTransform, false);
    painter.drawImage(PictureRect(), Shown);
}
