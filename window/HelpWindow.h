// The help window: what Vistrel does and how to use it, and a picture that opens
// the product's web page when clicked.
#pragma once

#include <QWidget>

class QLabel;
class QTextBrowser;

class HelpWindow : public QWidget {
    Q_OBJECT
public:
    explicit HelpWindow(QWidget *owner);

    QTextBrowser *Memo1;
    QLabel *PictureView;

    static QString HelpText();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
};
