// The picture control: shows its picture stretched proportionally and centred in
// its own rectangle, with nearest-neighbour scaling so pixels stay crisp when
// zoomed in.
#pragma once

#include <QImage>
#include <QWidget>

class PictureControl : public QWidget {
    Q_OBJECT
public:
    explicit PictureControl(QWidget *parent = nullptr);

    const QImage &Picture() const { return Shown; }
    void SetPicture(const QImage &picture);
    // Where the picture is drawn inside the control.
    QRect PictureRect() const;

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QImage Shown;
};
