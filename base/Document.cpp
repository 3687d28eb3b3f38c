#include "Document.h"

WorkingGeometry WorkingGeometryOf(int32_t canvasWidth, int32_t canvasHeight)
{
    if (canvasWidth <= 1500)
        return {canvasWidth, canvasHeight, Fixed4One};
    const Fixed4 scale = RoundDiv(1200 * Fixed4One, canvasWidth);
    return {1200, int32_t(ScaleByFixed4(canvasHeight, scale)), scale};
}

QString ColorModeName(uint16_t mode)
{
    switch (mode) {
    case ModeGrey: return QStringLiteral("Gray");
    case ModeRgb: return QStringLiteral("RGB");
    case ModeCmyk: return QStringLiteral("CMYK");
    default: return {};
    }
}

QString GroupLetter(uint8_t groupId)
{
    if (groupId == 0)
        return {};
    return QString(QChar(uchar((groupId + 64) % 256)));
}
