// The 3D and print settings fields. Each handler converts its field and keeps
// the value within its limits by the rules every command shares; text that is
// not a number is reported in a message box and the variable stays as it was.
#include "Document.h"
#include "Errors.h"
#include "ParameterRules.h"
#include "PresetsDialog.h"
#include "Platform.h"
#include "MainWindow.h"

#include <QComboBox>
#include <QLineEdit>

void MainWindow::LpiEdited()
{
    if (LpiEdit->text().isEmpty())
        return;
    RunCommand([this] {
        const CheckedValue lpi = CheckLpi(StrToFixed4(LpiEdit->text()));
        Doc.Lpi = lpi.Value;
        if (lpi.Replaced)
            LpiEdit->setText(lpi.Shown);
    }, false);
}

void MainWindow::ShowFocusMarker()
{
    for (int row = 1; row <= Doc.LayerCount; ++row)
        SetCells(0, row, QString::number(row) + (row == Doc.FocusLayer ? QStringLiteral(" <F>") : QString()));
}

void MainWindow::FocusEdited()
{
    if (FocusEdit->text().isEmpty())
        return;
    Doc.ViewsCurrent = 0;  // the views no longer match the focus
    RunCommand([this] {
        Doc.FocusLayer = StrToInt(FocusEdit->text());
        Doc.FocusLayer = CheckFocusRow(Doc.FocusLayer, Doc.LayerCount);
        if (Doc.FocusLayer == 0)
            FocusEdit->setText(QStringLiteral("0"));
        ShowFocusMarker();
    }, false);
}

void MainWindow::DepthChanged()
{
    if (DepthEdit->text().isEmpty()) {
        DepthEdit->setText(QStringLiteral("1.0"));  // raises this handler again
        return;
    }
    RunCommand([this] {
        const Fixed4 typed = StrToFixed4(DepthEdit->text());
        Doc.ViewsCurrent = 0;
        Doc.ViewsStale = 1;
        // Out of range: the depth becomes 2 while the field keeps what was typed.
        Doc.Depth = CheckDepth(typed).Value;
    }, false);
}

void MainWindow::ViewCountChanged()
{
    Doc.ViewsCurrent = 0;
    Doc.ViewsStale = 1;
    ApplyCommandStates();
    if (ViewCountEdit->text().isEmpty())
        ViewCountEdit->setText(QStringLiteral("7"));
}

void MainWindow::WidthChanged()
{
    if (WidthEdit->text().isEmpty())
        return;
    RunCommand([this] {
        const double width = StrToFloat(WidthEdit->text());
        const CheckedValue checked = CheckWidthCm(ToFixed4(width), Doc.MaxWidthCm);
        if (checked.Replaced) {
            WidthEdit->setText(checked.Shown);  // raises this handler again, which sets the height
            return;
        }
        // The height follows the width and the PSD's proportion.
        HeightEdit->setText(PrintHeightText(width, Doc.AspectRatio));
    }, false);
}

void MainWindow::MaxWidthEdited()
{
    // A value outside 1 cm .. 100 m, or no number, puts back the one in force.
    bool number = false;
    const Fixed4 typed = ToFixed4(MaxWidthEdit->text().toDouble(&number));
    if (number && MaxWidthCmInLimits(typed) && typed != Doc.MaxWidthCm) {
        Doc.MaxWidthCm = typed;
        Remembered.MaxWidthCm = typed == WidthCmHigh ? 0 : typed;
        WriteDialogMemory(Remembered);
        WidthChanged();  // a width above a lowered limit comes down to it
    }
    MaxWidthEdit->setText(ShortFixed4Text(Doc.MaxWidthCm));
}

void MainWindow::BleedEdited()
{
    // A value outside 0 .. 50 mm, or no number, puts back the one in force.
    bool number = false;
    const Fixed4 typed = ToFixed4(BleedEdit->text().toDouble(&number));
    if (number && BleedMmInLimits(typed) && typed != Remembered.BleedMm) {
        Remembered.BleedMm = typed;
        WriteDialogMemory(Remembered);
    }
    BleedEdit->setText(ShortFixed4Text(Remembered.BleedMm));
}

void MainWindow::LoadPresets()
{
    try {
        ShopPresets = ReadPresets();
    } catch (const VistrelError &error) {
        ShopPresets = {};
        Platform.ShowMessage(error.Message);  // the file stays as the shop wrote it
    }
    ShowPresetChoices();
}

void MainWindow::ShowPresetChoices()
{
    PresetCombo->clear();
    PresetCombo->addItem(tr("(none)"));
    for (const SheetPreset &sheet : ShopPresets.Sheets)
        PresetCombo->addItem(sheet.Name);
    for (const PrinterPreset &printer : ShopPresets.Printers)
        for (const SheetPreset &sheet : ShopPresets.Sheets)
            PresetCombo->addItem(sheet.Name + QStringLiteral(" @ ") + printer.Name);
}

void MainWindow::PresetChosen(int index)
{
    if (index <= 0)
        return;
    RunCommand([&] {
        const PresetChoice choice = ResolvePreset(ShopPresets, PresetCombo->itemText(index));
        LpiEdit->setText(ShortFixed4Text(choice.Lpi));
        LpiEdited();  // as if typed and left
        if (choice.Dpi)
            DpiCombo->setEditText(ShortFixed4Text(*choice.Dpi));
    }, false);
    RecordDesignEdit();
    ShowDesignModified();
}

void MainWindow::EditPresets()
{
    PresetsDialog dialog(ShopPresets, this);
    // Until what the tables hold can be written, or the dialog is cancelled.
    while (dialog.exec() == QDialog::Accepted) {
        try {
            const Presets edited = dialog.Edited();
            WritePresets(edited);
            ShopPresets = edited;
            ShowPresetChoices();
            return;
        } catch (const VistrelError &error) {
            Platform.ShowMessage(error.Message);
        }
    }
}
