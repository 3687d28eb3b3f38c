#include "PrintMarks.h"

#include <QFont>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QPainter>
#include <algorithm>
#include <cstring>

namespace {

constexpr double MmPerInch = 25.4;
constexpr double LineMm = 0.1;          // a hairline, as presses draw marks
constexpr double MarkGapMm = 1.0;       // between the bleed and a crop mark
constexpr double CropMarkMm = 8.0;      // a crop mark's length
constexpr double TargetRadiusMm = 3.0;  // a registration target's circle
constexpr double TargetArmMm = 4.5;     // half its cross
constexpr double SlugHeightMm = 2.5;

}  // namespace

int64_t PixelsOfMm(Fixed4 mm, Fixed4 dpi)
{
    // mm / 25.4 x dpi with both in ten-thousandths: mm x (dpi / 100) / (25.4 x 10^6).
    return RoundDiv(mm * (dpi / 100), 254 * 100'000);
}

MarksLayout LayOutMarks(int64_t columns, int64_t rows, Fixed4 dpi, Fixed4 verticalDpi, const PrintFinish &finish)
{
    MarksLayout l;
    l.Columns = columns;
    l.Rows = rows;
    l.BleedX = PixelsOfMm(finish.BleedMm, dpi);
    l.BleedY = PixelsOfMm(finish.BleedMm, verticalDpi);
    if (finish.Marks) {
        l.MarginX = PixelsOfMm(MarksMarginMm, dpi);
        l.MarginY = PixelsOfMm(MarksMarginMm, verticalDpi);
    }
    return l;
}

QString SlugLine(const QString &fileName, Fixed4 lpi, Fixed4 dpi, Fixed4 widthCm, Fixed4 heightCm,
                 const QString &dateTime)
{
    return QStringLiteral("%1  %2 lpi  %3 dpi  %4 x %5 cm  %6")
        .arg(fileName, ShortFixed4Text(lpi), ShortFixed4Text(dpi), CentimetresText(widthCm), CentimetresText(heightCm),
             dateTime);
}

std::vector<MarkTile> DrawMarks(const MarksLayout &l, Fixed4 dpi, Fixed4 verticalDpi, const QString &slug)
{
    std::vector<MarkTile> tiles;
    if (l.MarginX == 0)
        return tiles;
    const double px = FromFixed4(dpi) / MmPerInch, py = FromFixed4(verticalDpi) / MmPerInch;  // pixels a mm
    const int64_t lineX = std::max<int64_t>(1, std::llround(LineMm * px));
    const int64_t lineY = std::max<int64_t>(1, std::llround(LineMm * py));
    auto solid = [&](int64_t left, int64_t top, int64_t width, int64_t height) {
        QImage ink(int(width), int(height), QImage::Format_Grayscale8);
        ink.fill(0);
        tiles.push_back({left, top, ink});
    };
    // Crop marks: on the trim's lines, from 1 mm outside the bleed outwards.
    const int64_t gapX = l.BleedX + std::llround(MarkGapMm * px), gapY = l.BleedY + std::llround(MarkGapMm * py);
    const int64_t lengthX = std::min<int64_t>(std::llround(CropMarkMm * px), l.MarginX - std::llround(MarkGapMm * px));
    const int64_t lengthY = std::min<int64_t>(std::llround(CropMarkMm * py), l.MarginY - std::llround(MarkGapMm * py));
    const int64_t left = l.TrimLeft(), top = l.TrimTop(), right = left + l.Columns, bottom = top + l.Rows;
    for (const int64_t y : {top, bottom}) {
        const int64_t lineTop = std::clamp<int64_t>(y - lineY / 2, 0, l.Height() - lineY);
        solid(left - gapX - lengthX, lineTop, lengthX, lineY);
        solid(right + gapX, lineTop, lengthX, lineY);
    }
    for (const int64_t x : {left, right}) {
        const int64_t lineLeft = std::clamp<int64_t>(x - lineX / 2, 0, l.Width() - lineX);
        solid(lineLeft, top - gapY - lengthY, lineX, lengthY);
        solid(lineLeft, bottom + gapY, lineX, lengthY);
    }
    // Registration targets in the middle of each side's margin.
    const int64_t armX = std::llround(TargetArmMm * px), armY = std::llround(TargetArmMm * py);
    auto target = [&](int64_t cx, int64_t cy) {
        QImage t(int(2 * armX + 1), int(2 * armY + 1), QImage::Format_Grayscale8);
        t.fill(255);
        QPainter p(&t);
        p.setRenderHint(QPainter::Antialiasing, false);  // solid ink, as a press registers on
        p.setBrush(Qt::NoBrush);
        p.setPen(QPen(Qt::black, double(std::max(lineX, lineY))));
        p.drawEllipse(QPointF(armX, armY), TargetRadiusMm * px, TargetRadiusMm * py);
        p.fillRect(QRectF(armX - lineX / 2.0, 0, double(lineX), double(t.height())), Qt::black);
        p.fillRect(QRectF(0, armY - lineY / 2.0, double(t.width()), double(lineY)), Qt::black);
        p.end();
        tiles.push_back({cx - armX, cy - armY, t});
    };
    const int64_t midX = left + l.Columns / 2, midY = top + l.Rows / 2;
    target(midX, l.MarginY / 2);
    target(midX, l.Height() - 1 - l.MarginY / 2);
    target(l.MarginX / 2, midY);
    target(l.Width() - 1 - l.MarginX / 2, midY);
    // The slug line, under the bleed, on the wider side of the bottom target,
    // made smaller when it would not fit; only where a font is at hand.
    if (!slug.isEmpty() && qobject_cast<QGuiApplication *>(QCoreApplication::instance())) {
        const int64_t indent = std::llround(2 * px);  // clear of the crop marks and the target
        const int64_t leftRoom = midX - armX - left - 2 * indent, rightRoom = right - (midX + armX) - 2 * indent;
        const int64_t width = std::max<int64_t>(1, std::max(leftRoom, rightRoom));
        const int64_t start = leftRoom >= rightRoom ? left + indent : midX + armX + indent;
        const int64_t height = std::max<int64_t>(8, std::llround(SlugHeightMm * py));
        QFont font(QStringLiteral("DejaVu Sans"));
        font.setPixelSize(int(height * 3 / 4));
        const int natural = QFontMetrics(font).horizontalAdvance(slug);
        if (natural > width)
            font.setPixelSize(std::max(4, int(height * 3 / 4 * width / natural)));
        QImage text(int(width), int(height), QImage::Format_Grayscale8);
        text.fill(255);
        QPainter p(&text);
        p.setFont(font);
        p.setPen(Qt::black);
        p.drawText(QRect(0, 0, int(width), int(height)), Qt::AlignLeft | Qt::AlignVCenter, slug);
        p.end();
        tiles.push_back({start, l.Height() - l.MarginY / 2 - height / 2, text});
    }
    return tiles;
}

void LayMarks(const MarksLayout &l, const std::vector<MarkTile> &tiles, int64_t first, int64_t count, uint8_t *rows,
              int samples)
{
    const uint8_t paper = samples == 4 ? 0 : 255;
    const int64_t width = l.Width(), rowBytes = width * samples;
    const int64_t printTop = l.MarginY, printBottom = l.Height() - l.MarginY;
    for (int64_t r = 0; r < count; ++r) {
        const int64_t y = first + r;
        uint8_t *row = rows + r * rowBytes;
        if (y < printTop || y >= printBottom) {
            std::memset(row, paper, size_t(rowBytes));
        } else if (l.MarginX > 0) {
            std::memset(row, paper, size_t(l.MarginX * samples));
            std::memset(row + (width - l.MarginX) * samples, paper, size_t(l.MarginX * samples));
        }
        for (const MarkTile &tile : tiles) {
            if (y < tile.Top || y >= tile.Top + tile.Picture.height())
                continue;
            const uint8_t *grey = tile.Picture.constScanLine(int(y - tile.Top));
            for (int x = 0; x < tile.Picture.width(); ++x) {
                const int64_t at = tile.Left + x;
                if (at < 0 || at >= width || grey[x] == 255)
                    continue;
                uint8_t *pixel = row + at * samples;
                for (int k = 0; k < samples; ++k)  // registration colour: every ink, or black
                    pixel[k] = samples == 4 ? uint8_t(std::max<int>(pixel[k], 255 - grey[x]))
                                            : std::min(pixel[k], grey[x]);
            }
        }
    }
}
