// The about window: a borderless, stay-on-top, screen-centred 600 x 450 picture
// with a 2000 ms timer. At start-up it is the splash; the timer switches itself
// off after 2000 ms, and a click on the picture stops the timer and hides it.
#pragma once

#include <QWidget>

class QTimer;

class AboutBox : public QWidget {
    Q_OBJECT
public:
    explicit AboutBox(QWidget *parent = nullptr);

    QTimer *FrameTimer;
    bool TimerRunning() const;

protected:
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;

private:
    QImage Picture;
};
