// The 3D and print settings fields. Each handler converts its field, replaces a
// value outside its limits by the fixed replacement, and reports text that is
// not a number in a message box, leaving the variable as it was.
#include "Document.h"
#include "Errors.h"
#include "Platform.h"
#include "Unit1.h"

#include <QAction>
#include <QLineEdit>
#include <QToolButton>

void TForm1::Edit5Exit()
{
    if (Edit5->text().isEmpty())
        return;
    try {
        Lpi = StrToFixed4(Edit5->text());
    } catch (const VistrelError &error) {
        Platform.ShowMessage(error.Message);
        return;
    }
    if (Lpi < 9 * Fixed4One || Lpi > 210 * Fixed4One) {
        Lpi = ToFixed4(75.55);
        Edit5->setText(QStringLiteral("75.55"));
    }
}

void TForm1::ShowFocusMarker()
{
    for (int row = 1; row <= LayerCount; ++row)
        SetCells(0, row, QString::number(row) + (row == FocusLayer ? QStringLiteral(" <F>") : QString()));
}

void TForm1::Edit2Exit()
{
    if (Edit2->text().isEmpty())
        return;
    // The views no longer match the focus.
    SpeedButton29->setEnabled(false);
    N7->setEnabled(false);
    SpeedButton5->setEnabled(false);
    try {
        FocusLayer = StrToInt(Edit2->text());
    } catch (const VistrelError &error) {
        Platform.ShowMessage(error.Message);
        return;
    }
    if (FocusLayer < 1 || FocusLayer > LayerCount) {
        FocusLayer = 0;
        Edit2->setText(QStringLiteral("0"));
    }
    ShowFocusMarker();
}

void TForm1::Edit3Change()
{
    if (Edit3->text().isEmpty()) {
        Edit3->setText(QStringLiteral("1.0"));  // raises this handler again
        return;
    }
    try {
        Depth = StrToFixed4(Edit3->text());
    } catch (const VistrelError &error) {
        Platform.ShowMessage(error.Message);
        return;
    }
    SpeedButton29->setEnabled(false);
    SpeedButton5->setEnabled(false);
    ViewsStale = 1;
    // Out of range: the depth becomes 2 while the field keeps what was typed.
    if (Depth > 10 * Fixed4One || Depth < -10 * Fixed4One)
        Depth = 2 * Fixed4One;
}

void TForm1::Edit4Change()
{
    SpeedButton29->setEnabled(false);
    N7->setEnabled(false);
    SpeedButton5->setEnabled(false);
    ViewsStale = 1;
    if (Edit4->text().isEmpty())
        Edit4->setText(QStringLiteral("7"));
}

void TForm1::Edit9Change()
{
    if (Edit9->text().isEmpty())
        return;
    double width = 0;
    try {
        width = StrToFloat(Edit9->text());
    } catch (const VistrelError &error) {
        Platform.ShowMessage(error.Message);
        return;
    }
    if (width > 21) {
        Edit9->setText(QStringLiteral("21"));  // raises this handler again, which sets the height
        return;
    }
    // The height follows the width and the PSD's proportion.
    Edit10->setText(ShortText(width / FromFixed4(AspectRatio)));
}
