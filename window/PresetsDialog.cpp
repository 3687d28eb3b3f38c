#include "PresetsDialog.h"

#include "Errors.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLineEdit>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

namespace {

QTableWidget *Table(QWidget *parent, const QStringList &headers)
{
    auto *table = new QTableWidget(0, int(headers.size()), parent);
    table->setHorizontalHeaderLabels(headers);
    table->horizontalHeader()->setStretchLastSection(true);
    table->verticalHeader()->hide();
    return table;
}

void AddRow(QTableWidget *table, const QStringList &cells)
{
    const int row = table->rowCount();
    table->insertRow(row);
    for (int col = 0; col < cells.size(); ++col)
        table->setItem(row, col, new QTableWidgetItem(cells[col]));
}

QString Cell(const QTableWidget *table, int row, int col)
{
    const QTableWidgetItem *item = table->item(row, col);
    return item ? item->text().trimmed() : QString();
}

Fixed4 Number(const QString &text, const QString &where)
{
    bool ok = false;
    const double value = text.toDouble(&ok);
    if (!ok)
        throw VistrelError(PresetsDialog::tr("%1: \"%2\" is not a number.").arg(where, text), ErrorKind::Input);
    return ToFixed4(value);
}

}  // namespace

PresetsDialog::PresetsDialog(const Presets &presets, QWidget *parent) : QDialog(parent)
{
    setWindowTitle(tr("Lens sheets and printers"));
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(tr("Lens sheets"), this));
    Sheets = Table(this, {tr("Name"), tr("LPI")});
    for (const SheetPreset &sheet : presets.Sheets)
        AddRow(Sheets, {sheet.Name, ShortFixed4Text(sheet.Lpi)});
    layout->addWidget(Sheets);
    auto *addSheet = new QPushButton(tr("Add a lens sheet"), this);
    connect(addSheet, &QPushButton::clicked, this, [this] { AddRow(Sheets, {QString(), QString()}); });
    layout->addWidget(addSheet);

    layout->addWidget(new QLabel(tr("Printers (pitch found by the pitch test, by sheet: \"Sheet=75.25; ...\")"), this));
    Printers = Table(this, {tr("Name"), tr("DPI"), tr("Calibrated pitch")});
    for (const PrinterPreset &printer : presets.Printers) {
        QStringList pitches;
        for (auto it = printer.CalibratedLpi.cbegin(); it != printer.CalibratedLpi.cend(); ++it)
            pitches << it.key() + QLatin1Char('=') + ShortFixed4Text(it.value());
        AddRow(Printers, {printer.Name, ShortFixed4Text(printer.Dpi), pitches.join(QStringLiteral("; "))});
    }
    layout->addWidget(Printers);
    auto *addPrinter = new QPushButton(tr("Add a printer"), this);
    connect(addPrinter, &QPushButton::clicked, this, [this] { AddRow(Printers, {QString(), QString(), QString()}); });
    layout->addWidget(addPrinter);

    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);
    resize(520, 440);
}

Presets PresetsDialog::Edited() const
{
    Presets presets;
    for (int row = 0; row < Sheets->rowCount(); ++row) {
        const QString name = Cell(Sheets, row, 0), lpi = Cell(Sheets, row, 1);
        if (name.isEmpty() && lpi.isEmpty())
            continue;
        presets.Sheets.push_back({name, Number(lpi, tr("Lens sheet %1, LPI").arg(row + 1))});
    }
    for (int row = 0; row < Printers->rowCount(); ++row) {
        const QString name = Cell(Printers, row, 0), dpi = Cell(Printers, row, 1);
        if (name.isEmpty() && dpi.isEmpty())
            continue;
        PrinterPreset printer{name, Number(dpi, tr("Printer %1, DPI").arg(row + 1)), {}};
        for (const QString &pair : Cell(Printers, row, 2).split(QLatin1Char(';'), Qt::SkipEmptyParts)) {
            const qsizetype equals = pair.indexOf(QLatin1Char('='));
            const QString where = tr("Printer %1, calibrated pitch").arg(row + 1);
            if (equals <= 0)
                throw VistrelError(tr("%1: \"%2\" is not \"Sheet=LPI\".").arg(where, pair.trimmed()),
                                   ErrorKind::Input);
            printer.CalibratedLpi.insert(pair.left(equals).trimmed(), Number(pair.mid(equals + 1).trimmed(), where));
        }
        presets.Printers.push_back(printer);
    }
    return presets;
}

PitchRangeDialog::PitchRangeDialog(const QString &from, const QString &to, const QString &step, QWidget *parent)
    : QDialog(parent)
{
    setWindowTitle(tr("Pitch test print"));
    auto *form = new QFormLayout(this);
    From = new QLineEdit(from, this);
    To = new QLineEdit(to, this);
    Step = new QLineEdit(step, this);
    form->addRow(tr("LPI from:"), From);
    form->addRow(tr("to:"), To);
    form->addRow(tr("in steps of:"), Step);
    auto *note = new QLabel(tr("Print it on the lens sheet and look for the strip that shows cleanest; its "
                                           "LPI is this printer's pitch for the sheet (\"Sheets and printers...\")."),
                            this);
    note->setWordWrap(true);
    form->addRow(note);
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    form->addRow(buttons);
}
