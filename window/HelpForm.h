// The help window: what Vistrel does and how to use it, and a picture that opens
// the product's web page when clicked.
#pragma once

#include <QWidget>

class QLabel;
class QTextBrowser;

class TForm2 : public QWidget {
    Q_OBJECT
public:
    explicit TForm2(QWidget *owner);

    QTextBrowser *Memo1;
    QLabel *Image1;

    static QString HelpText();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
};
