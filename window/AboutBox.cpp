#include "AboutBox.h"

#include "Brand.h"

#include <QGuiApplication>
#include <QPainter>
#include <QScreen>
#include <QTimer>

TAboutBox::TAboutBox(QWidget *parent)
    : QWidget(parent, Qt::Window | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint)
{
    setObjectName(QStringLiteral("AboutBox"));
    setAttribute(Qt::WA_DeleteOnClose, false);
    setFixedSize(600, 450);
    Picture = DrawAboutPicture(600, 450);
    if (QScreen *screen = QGuiApplication::primaryScreen())
        move(screen->geometry().center() - rect().center());

    Timer1 = new QTimer(this);
    Timer1->setInterval(2000);
    Timer1->setSingleShot(true);  // the timer switches itself off when it fires
    Timer1->start();
}

bool TAboutBox::TimerRunning() const
{
    return Timer1->isActive();
}

void TAboutBox::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.drawImage(0, 0, Picture);
}

void TAboutBox::mousePressEvent(QMouseEvent *)
{
    Timer1->stop();
    hide();
}
