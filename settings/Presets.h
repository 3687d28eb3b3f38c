// Named lens sheets and printers, so that a print shop types "Lens 75 @ Epson"
// instead of an LPI and a resolution. A printer keeps, for each sheet, the
// pitch the pitch test found for it on that printer (a sheet's nominal LPI
// seldom prints true). Kept in the user's config folder ("vistrel-presets.json"),
// apart from the settings file, whose layout is fixed.
#pragma once

#include "Numbers.h"

#include <QMap>
#include <QString>
#include <optional>
#include <vector>

struct SheetPreset {
    QString Name;
    Fixed4 Lpi = 0;
    bool operator==(const SheetPreset &) const = default;
};
struct PrinterPreset {
    QString Name;
    Fixed4 Dpi = 0;
    QMap<QString, Fixed4> CalibratedLpi;  // by sheet name
    bool operator==(const PrinterPreset &) const = default;
};
struct Presets {
    std::vector<SheetPreset> Sheets;
    std::vector<PrinterPreset> Printers;
    bool operator==(const Presets &) const = default;
};

QString PresetsPath();
// No file: no presets. A file that cannot be read as presets throws
// VistrelError naming it, so that nothing overwrites what the shop wrote.
Presets ReadPresets();
// Checks every preset (a name, an LPI within the limits, a resolution of
// 1 to 100 000 dpi), then writes them; throws VistrelError, leaving the file
// as it was, when one is wrong or the file cannot be written.
void WritePresets(const Presets &presets);
QByteArray PresetsText(const Presets &presets);
Presets ParsePresets(const QByteArray &bytes, const QString &fileName);

// "SHEET" or "SHEET@PRINTER" (spaces around "@" are ignored): the sheet's LPI,
// or the printer's calibrated pitch for that sheet when it has one, and the
// printer's resolution. Throws VistrelError naming what is not there.
struct PresetChoice {
    Fixed4 Lpi = 0;
    std::optional<Fixed4> Dpi;
};
PresetChoice ResolvePreset(const Presets &presets, const QString &name);
