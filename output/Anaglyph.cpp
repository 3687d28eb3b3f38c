#include "Anaglyph.h"

#include "BmpCodec.h"
#include "Errors.h"
#include "Numbers.h"
#include "Texts.h"
#include "WorkFolder.h"

uint8_t AnaglyphGrey(uint8_t red, uint8_t green, uint8_t blue)
{
    return uint8_t(RoundDiv(30 * red + 59 * green + 11 * blue, 100));
}

QImage MakeAnaglyph(const QImage &view2, const QImage &view6)
{
    if (view2.size() != view6.size() || BitsPerPixel(view2) != 24 || BitsPerPixel(view6) != 24)
        throw VistrelError(Vistrel::tr("Views 2 and 6 do not match; make the preview again."));
    QImage result = NewPicture(view6.width(), view6.height(), 24);
    for (int y = 0; y < view6.height(); ++y) {
        const uchar *left = view2.constScanLine(y);
        const uchar *right = view6.constScanLine(y);
        uchar *out = result.scanLine(y);
        for (int x = 0; x < view6.width(); ++x, left += 3, right += 3, out += 3) {
            const uint8_t grey6 = AnaglyphGrey(right[2], right[1], right[0]);
            out[0] = grey6;                                     // blue
            out[1] = grey6;                                     // green
            out[2] = AnaglyphGrey(left[2], left[1], left[0]);  // red
        }
    }
    return result;
}

QString AnaglyphPath(const QString &psdPath)
{
    return psdPath.left(psdPath.size() - 4) + QStringLiteral("_qz58.bmp");
}

QImage AnaglyphOfViews(uint16_t colorMode)
{
    const QString family = colorMode == 3 ? QStringLiteral("vw") : QStringLiteral("vwv");
    return MakeAnaglyph(LoadImage(WorkFileName(family, 2)), LoadImage(WorkFileName(family, 6)));
}
