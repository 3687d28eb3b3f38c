#include "HelpWindow.h"

#include "Brand.h"
#include "MainWindowTexts.h"
#include "Platform.h"

#include <QEvent>
#include <QLabel>
#include <QPixmap>
#include <QTextBrowser>
#include <QVBoxLayout>

HelpWindow::HelpWindow(QWidget *owner) : QWidget(owner, Qt::Window)
{
    setObjectName(QStringLiteral("Form2"));
    setWindowTitle(tr("Vistrel Help"));
    setAttribute(Qt::WA_DeleteOnClose);
    resize(620, 560);

    PictureView = new QLabel(this);
    PictureView->setObjectName(QStringLiteral("Image1"));
    PictureView->setPixmap(QPixmap::fromImage(DrawHelpPicture(600, 90)));
    PictureView->setCursor(Qt::PointingHandCursor);
    PictureView->setToolTip(QString::fromLatin1(ProductWebAddress));
    PictureView->installEventFilter(this);

    Memo1 = new QTextBrowser(this);
    Memo1->setObjectName(QStringLiteral("Memo1"));
    Memo1->setPlainText(HelpText());

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(PictureView);
    layout->addWidget(Memo1, 1);
}

bool HelpWindow::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == PictureView && event->type() == QEvent::MouseButtonRelease) {
        Platform.ShellOpen(QString::fromLatin1(ProductWebAddress));
        return true;
    }
    return QWidget::eventFilter(watched, event);
}

QString HelpWindow::HelpText()
{
    return tr(
        "Vistrel designs lenticular prints: pictures printed behind a sheet of lenses, so that "
        "each eye and each angle sees a different picture.\n"
        "\n"
        "WHAT IT DOES\n"
        "- 3D by moving layers: every layer of a PSD gets a depth (a horizontal offset). Vistrel "
        "makes seven views by shifting the layers in proportion to their offsets; layers above "
        "the focus layer come forward, layers below it go back.\n"
        "- Simulated 3D from a single layer: sketch nested closed paths over a flat layer, each "
        "on one of fifteen levels, and the layer becomes a relief.\n"
        "- 3D from camera shots: put the shots of a moving camera on layers and group them.\n"
        "- Flip pictures: group layers in the PSD and they alternate from view to view, for "
        "changes of scale, colour, motion or rotation.\n"
        "\n"
        "HOW TO USE IT\n"
        "1. Import a PSD (File > Import *.psd, Ctrl+I). The layers appear in the grid, top layer "
        "first; the focus layer is marked <F>.\n"
        "2. Adjust the depth, the focus layer, the offsets in the grid and the lens and printer "
        "settings (LPI, OutDPI, width).\n"
        "3. Optionally, on the DrawLine page, draw paths on a single layer from near to far; "
        "double-click to close a path.\n"
        "4. Preview (F9): the seven views play back and forth. Stop (F10) when you are happy.\n"
        "5. Save the picture: export the interlaced TIFF for printing (Ctrl+E), and if you like "
        "the views as a layered PSD, an animated GIF or a red/blue anaglyph. Save the project "
        "(Ctrl+S) to come back to the design later.\n");
}
