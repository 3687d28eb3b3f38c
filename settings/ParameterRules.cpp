#include "ParameterRules.h"

#include "Errors.h"
#include "Texts.h"

CheckedValue CheckLpi(Fixed4 lpi)
{
    if (lpi < LpiLow || lpi > LpiHigh)
        return {LpiReplacement, true, ShortFixed4Text(LpiReplacement)};
    return {lpi, false, {}};
}

CheckedValue CheckDepth(Fixed4 depth)
{
    if (depth > DepthLimit || depth < -DepthLimit)
        return {DepthReplacement, true, {}};
    return {depth, false, {}};
}

CheckedValue CheckWidthCm(Fixed4 widthCm, Fixed4 maxWidthCm)
{
    if (widthCm > maxWidthCm)
        return {maxWidthCm, true, ShortFixed4Text(maxWidthCm)};
    return {widthCm, false, {}};
}

int32_t CheckFocusRow(int32_t row, int layerCount)
{
    return row >= 1 && row <= layerCount ? row : 0;
}

int32_t FocusOffsetIn(const std::vector<int32_t> &offsets, int32_t focusRow)
{
    const int count = int(offsets.size());
    return CheckFocusRow(focusRow, count) == 0 ? 0 : offsets[size_t(count - focusRow)];
}

bool IsAutoDpiText(const QString &text)
{
    const QString t = text.trimmed();
    return t == QLatin1String("(Auto)") || t.compare(QLatin1String("auto"), Qt::CaseInsensitive) == 0;
}

Fixed4 AutoDpi7(Fixed4 lpi)
{
    return AutoPixelsPerLens * lpi;
}

Fixed4 PrintHeightCm(Fixed4 widthCm, Fixed4 aspectRatio)
{
    return ToFixed4(FromFixed4(widthCm) / FromFixed4(aspectRatio));
}

QString PrintHeightText(double widthCm, Fixed4 aspectRatio)
{
    return ShortText(widthCm / FromFixed4(aspectRatio));
}

QString OutOfLimitsText(const QString &what, Fixed4 low, Fixed4 high, const QString &typed)
{
    return Vistrel::tr("%1 must be between %2 and %3, not %4.")
        .arg(what, ShortFixed4Text(low), ShortFixed4Text(high), typed);
}

PrintSettingsOutcome ReadPrintSettings(const PrintFieldTexts &texts, Fixed4 aspectRatio, Fixed4 maxWidthCm)
{
    PrintSettingsOutcome out;
    out.Lpi = CheckLpi(StrToFixed4(texts.Lpi));
    out.AutoDpi = IsAutoDpiText(texts.Dpi);
    const Fixed4 dpi = out.AutoDpi ? AutoDpi7(out.Lpi.Value) : StrToFixed4(texts.Dpi.trimmed());
    out.WidthCm = CheckWidthCm(StrToFixed4(texts.WidthCm), maxWidthCm);
    const Fixed4 height =
        texts.HeightCm.isEmpty() ? PrintHeightCm(out.WidthCm.Value, aspectRatio) : StrToFixed4(texts.HeightCm);
    const int hscale = StrToInt(texts.HScale);

    // No print can be made with these; a huge typed resolution would ask for
    // more memory and disk than any machine has.
    if (dpi < DpiLow || dpi > DpiHigh)
        throw VistrelError(OutOfLimitsText(Vistrel::tr("The printer resolution"), DpiLow, DpiHigh,
                                           ShortFixed4Text(dpi)));
    if (out.WidthCm.Value <= 0)
        throw VistrelError(Vistrel::tr("The print must be more than 0 cm wide, not %1 cm.")
                               .arg(ShortFixed4Text(out.WidthCm.Value)));
    if (height <= 0)
        throw VistrelError(Vistrel::tr("The print must be more than 0 cm high, not %1 cm.")
                               .arg(ShortFixed4Text(height)));
    if (hscale < HScaleLow || hscale > HScaleHigh)
        throw VistrelError(OutOfLimitsText(Vistrel::tr("The H scale"), HScaleLow * Fixed4One,
                                           HScaleHigh * Fixed4One, QString::number(hscale)));

    out.Settings = {out.Lpi.Value, dpi, out.WidthCm.Value, height, hscale, {}};
    return out;
}

PreviewSettings ReadPreviewSettings(const PreviewFieldTexts &texts)
{
    PreviewSettings out;
    QString depth = texts.Depth, lpi = texts.Lpi;
    if (depth.isEmpty())
        out.DepthShown = depth = QStringLiteral("1.0");
    if (lpi.isEmpty())
        out.LpiShown = lpi = ShortFixed4Text(LpiReplacement);
    out.FocusRow = StrToInt(texts.Focus);
    out.Depth = StrToFixed4(depth);
    out.Lpi = StrToFixed4(lpi);
    const int count = int(texts.OffsetCells.size());
    out.Offsets.resize(size_t(count));
    for (int row = 1; row <= count; ++row)
        out.Offsets[size_t(count - row)] = StrToInt(texts.OffsetCells[row - 1]);
    out.FocusOffset = FocusOffsetIn(out.Offsets, out.FocusRow);
    return out;
}

QStringList OffsetCellTexts(const std::vector<int32_t> &offsets)
{
    QStringList cells;
    for (size_t row = 1; row <= offsets.size(); ++row)
        cells << QString::number(offsets[offsets.size() - row]);
    return cells;
}
