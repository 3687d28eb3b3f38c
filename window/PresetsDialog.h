// The small dialog where a print shop names its lens sheets and printers: a
// table of sheets (name, LPI) and one of printers (name, resolution, and the
// pitch the pitch test found for each sheet, "Sheet=75.25; Other=40.1").
#pragma once

#include "Presets.h"

#include <QDialog>

class QLineEdit;
class QTableWidget;

class PresetsDialog : public QDialog {
    Q_OBJECT
public:
    PresetsDialog(const Presets &presets, QWidget *parent = nullptr);
    // The presets as the tables hold them; a number that is not one throws
    // VistrelError naming its table and row. Empty rows are left out.
    Presets Edited() const;

    QTableWidget *Sheets, *Printers;
};

// The pitch test's LPI range: from, to and step, offered around the LPI typed.
// Its best strip, once printed, is the printer's pitch for the sheet, kept in
// the dialog above.
class PitchRangeDialog : public QDialog {
    Q_OBJECT
public:
    PitchRangeDialog(const QString &from, const QString &to, const QString &step, QWidget *parent = nullptr);
    QLineEdit *From, *To, *Step;
};
