// The 3D and print settings fields. Each handler converts its field and keeps
// the value within its limits by the rules every command shares; text that is
// not a number is reported in a message box and the variable stays as it was.
#include "Document.h"
#include "Errors.h"
#include "ParameterRules.h"
#include "Platform.h"
#include "Unit1.h"

#include <QLineEdit>

void TForm1::Edit5Exit()
{
    if (Edit5->text().isEmpty())
        return;
    RunCommand([this] {
        const CheckedValue lpi = CheckLpi(StrToFixed4(Edit5->text()));
        Lpi = lpi.Value;
        if (lpi.Replaced)
            Edit5->setText(lpi.Shown);
    }, false);
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
    ViewsCurrent = 0;  // the views no longer match the focus
    RunCommand([this] {
        FocusLayer = StrToInt(Edit2->text());
        FocusLayer = CheckFocusRow(FocusLayer, LayerCount);
        if (FocusLayer == 0)
            Edit2->setText(QStringLiteral("0"));
        ShowFocusMarker();
    }, false);
}

void TForm1::Edit3Change()
{
    if (Edit3->text().isEmpty()) {
        Edit3->setText(QStringLiteral("1.0"));  // raises this handler again
        return;
    }
    RunCommand([this] {
        const Fixed4 typed = StrToFixed4(Edit3->text());
        ViewsCurrent = 0;
        ViewsStale = 1;
        // Out of range: the depth becomes 2 while the field keeps what was typed.
        Depth = CheckDepth(typed).Value;
    }, false);
}

void TForm1::Edit4Change()
{
    ViewsCurrent = 0;
    ViewsStale = 1;
    ApplyCommandStates();
    if (Edit4->text().isEmpty())
        Edit4->setText(QStringLiteral("7"));
}

void TForm1::Edit9Change()
{
    if (Edit9->text().isEmpty())
        return;
    RunCommand([this] {
        const double width = StrToFloat(Edit9->text());
        const CheckedValue checked = CheckWidthCm(ToFixed4(width));
        if (checked.Replaced) {
            Edit9->setText(checked.Shown);  // raises this handler again, which sets the height
            return;
        }
        // The height follows the width and the PSD's proportion.
        Edit10->setText(PrintHeightText(width, AspectRatio));
    }, false);
}
