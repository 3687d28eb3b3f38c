#include "AboutBox.h"

#include "Brand.h"

#include <QGuiApplication>
#include <QPainter>
#include <QScreen>
#include <QTimer>

AboutBox::AboutBox(QWidget *parent)
    : QWidget(parent, Qt::Window | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint)
{
    setObjectName(QStringLiteral("AboutBox"));
    setAttribute(Qt::WA_DeleteOnClose, false);
    setFixedSize(600, 450);
    Picture = DrawAboutPicture(600, 450);
    if (QScreen *screen = QGuiApplication::primaryScreen())
        move(screen->geometry().center() - rect().center());

    FrameTimer = new QTimer(this);
    FrameTimer->setInterval(2000);
    FrameTimer->setSingleShot(true);  // the timer switches itself off when it fires
    FrameTimer->start();
}

bool AboutBox::TimerRunning() const
{
    return FrameTimer->isActive();
}

void AboutBox::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.drawImage(0, 0, Picture);
}

void AboutBox::mousePressEvent(QMouseEvent *)
{
    FrameTimer->stop();
    hide();
}
