#include "Presets.h"

#include "Errors.h"
#include "ParameterRules.h"
#include "Platform.h"
#include "Texts.h"

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSaveFile>
#include <algorithm>

namespace {

// Four decimals, as every setting: a number in the file is read that way too.
double Decimal(Fixed4 value) { return FromFixed4(value); }

void CheckPresets(const Presets &presets)
{
    for (const SheetPreset &sheet : presets.Sheets) {
        if (sheet.Name.trimmed().isEmpty() || sheet.Name.contains(QLatin1Char('@')))
            throw VistrelError(Vistrel::tr("A lens sheet needs a name without \"@\"."), ErrorKind::Input);
        if (CheckLpi(sheet.Lpi).Replaced)
            throw VistrelError(OutOfLimitsText(Vistrel::tr("The lens sheet \"%1\": the LPI").arg(sheet.Name), LpiLow,
                                               LpiHigh, ShortFixed4Text(sheet.Lpi)),
                               ErrorKind::Input);
    }
    for (const PrinterPreset &printer : presets.Printers) {
        if (printer.Name.trimmed().isEmpty() || printer.Name.contains(QLatin1Char('@')))
            throw VistrelError(Vistrel::tr("A printer needs a name without \"@\"."), ErrorKind::Input);
        if (printer.Dpi < DpiLow || printer.Dpi > DpiHigh)
            throw VistrelError(OutOfLimitsText(Vistrel::tr("The printer \"%1\": the resolution").arg(printer.Name),
                                               DpiLow, DpiHigh, ShortFixed4Text(printer.Dpi)),
                               ErrorKind::Input);
        for (auto it = printer.CalibratedLpi.cbegin(); it != printer.CalibratedLpi.cend(); ++it)
            if (CheckLpi(it.value()).Replaced)
                throw VistrelError(OutOfLimitsText(Vistrel::tr("The printer \"%1\": the pitch for \"%2\"")
                                                       .arg(printer.Name, it.key()),
                                                   LpiLow, LpiHigh, ShortFixed4Text(it.value())),
                                   ErrorKind::Input);
    }
}

}  // namespace

QString PresetsPath()
{
    return QDir(Platform.UserConfigFolder()).filePath(QStringLiteral("vistrel-presets.json"));
}

QByteArray PresetsText(const Presets &presets)
{
    QJsonArray sheets, printers;
    for (const SheetPreset &sheet : presets.Sheets)
        sheets.append(QJsonObject{{QStringLiteral("name"), sheet.Name}, {QStringLiteral("lpi"), Decimal(sheet.Lpi)}});
    for (const PrinterPreset &printer : presets.Printers) {
        QJsonObject calibrated;
        for (auto it = printer.CalibratedLpi.cbegin(); it != printer.CalibratedLpi.cend(); ++it)
            calibrated.insert(it.key(), Decimal(it.value()));
        printers.append(QJsonObject{{QStringLiteral("name"), printer.Name},
                                    {QStringLiteral("dpi"), Decimal(printer.Dpi)},
                                    {QStringLiteral("calibrated-lpi"), calibrated}});
    }
    return QJsonDocument(QJsonObject{{QStringLiteral("sheets"), sheets}, {QStringLiteral("printers"), printers}})
        .toJson(QJsonDocument::Indented);
}

Presets ParsePresets(const QByteArray &bytes, const QString &fileName)
{
    const auto bad = [&](const QString &why) {
        return VistrelError(Vistrel::tr("The presets in \"%1\" cannot be read: %2.")
                                .arg(QDir::toNativeSeparators(fileName), why),
                            ErrorKind::Format);
    };
    QJsonParseError error;
    const QJsonDocument json = QJsonDocument::fromJson(bytes, &error);
    if (json.isNull() || !json.isObject())
        throw bad(error.error != QJsonParseError::NoError ? error.errorString() : Vistrel::tr("not an object"));
    const auto number = [&](const QJsonValue &v, const QString &what) {
        if (!v.isDouble())
            throw bad(Vistrel::tr("%1 is not a number").arg(what));
        return ToFixed4(v.toDouble());
    };
    Presets presets;
    for (const QJsonValue &v : json.object().value(QStringLiteral("sheets")).toArray()) {
        const QJsonObject o = v.toObject();
        const QString name = o.value(QStringLiteral("name")).toString();
        presets.Sheets.push_back({name, number(o.value(QStringLiteral("lpi")), Vistrel::tr("the LPI of \"%1\"").arg(name))});
    }
    for (const QJsonValue &v : json.object().value(QStringLiteral("printers")).toArray()) {
        const QJsonObject o = v.toObject();
        PrinterPreset printer;
        printer.Name = o.value(QStringLiteral("name")).toString();
        printer.Dpi = number(o.value(QStringLiteral("dpi")), Vistrel::tr("the resolution of \"%1\"").arg(printer.Name));
        const QJsonObject calibrated = o.value(QStringLiteral("calibrated-lpi")).toObject();
        for (auto it = calibrated.begin(); it != calibrated.end(); ++it)
            printer.CalibratedLpi.insert(it.key(), number(it.value(), Vistrel::tr("a pitch of \"%1\"").arg(printer.Name)));
        presets.Printers.push_back(printer);
    }
    try {
        CheckPresets(presets);
    } catch (const VistrelError &wrong) {
        throw bad(wrong.Message.chopped(1));  // without its full stop
    }
    return presets;
}

Presets ReadPresets()
{
    QFile file(PresetsPath());
    if (!file.exists())
        return {};
    if (!file.open(QIODevice::ReadOnly) || file.size() > 1024 * 1024)
        throw VistrelError(Vistrel::tr("The presets in \"%1\" cannot be read.").arg(QDir::toNativeSeparators(PresetsPath())),
                           ErrorKind::File);
    return ParsePresets(file.readAll(), PresetsPath());
}

void WritePresets(const Presets &presets)
{
    CheckPresets(presets);
    QDir().mkpath(Platform.UserConfigFolder());
    QSaveFile file(PresetsPath());
    const QByteArray bytes = PresetsText(presets);
    OpenForSaving(file);
    if (file.write(bytes) != bytes.size())
        throw CreateFileError(PresetsPath(), WriteFailureReason(file));
    CommitSaveFile(file);
}

PresetChoice ResolvePreset(const Presets &presets, const QString &name)
{
    const qsizetype at = name.indexOf(QLatin1Char('@'));
    const QString sheetName = (at < 0 ? name : name.left(at)).trimmed();
    const QString printerName = at < 0 ? QString() : name.mid(at + 1).trimmed();
    const auto sheet = std::find_if(presets.Sheets.begin(), presets.Sheets.end(),
                                    [&](const SheetPreset &s) { return s.Name == sheetName; });
    if (sheet == presets.Sheets.end())
        throw VistrelError(Vistrel::tr("There is no lens sheet \"%1\" among the presets.").arg(sheetName), ErrorKind::Input);
    PresetChoice choice{sheet->Lpi, std::nullopt};
    if (at < 0)
        return choice;
    const auto printer = std::find_if(presets.Printers.begin(), presets.Printers.end(),
                                      [&](const PrinterPreset &p) { return p.Name == printerName; });
    if (printer == presets.Printers.end())
        throw VistrelError(Vistrel::tr("There is no printer \"%1\" among the presets.").arg(printerName), ErrorKind::Input);
    choice.Dpi = printer->Dpi;
    choice.Lpi = printer->CalibratedLpi.value(sheetName, sheet->Lpi);
    return choice;
}
