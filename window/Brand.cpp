#include "Brand.h"

#include "Version.h"

#include "Texts.h"
#include <QFont>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <cmath>

namespace {

const QColor Ink(32, 40, 56);
const QColor Accent(230, 120, 40);

// Vertical stripes of a scene seen through lenses: each lens shows seven thin
// columns, one per view, of a picture that shifts from view to view.
void DrawLensStripes(QPainter &p, const QRect &area, int lensWidth)
{
    const int views = 7;
    for (int x = area.left(); x < area.right(); ++x) {
        const int view = ((x - area.left()) % lensWidth) * views / lensWidth;
        for (int y = area.top(); y < area.bottom(); y += 2) {
            const double cx = area.center().x() + (view - 3) * 6.0;
            const double d = std::hypot((x - cx) / area.width(), (y - area.center().y()) / double(area.height()));
            const int shade = d < 0.28 ? 200 - view * 12 : 40 + view * 8;
            p.fillRect(x, y, 1, 2, d < 0.28 ? QColor(shade, 90 + view * 14, 60) : QColor(20, 30 + shade / 2, 60 + shade));
        }
    }
    // The lens ridges.
    p.setPen(QColor(255, 255, 255, 40));
    for (int x = area.left(); x < area.right(); x += lensWidth)
        p.drawLine(x, area.top(), x, area.bottom());
}

}  // namespace

QImage DrawAppIcon(int size)
{
    QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(size / 64.0, size / 64.0);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(18, 24, 40));
    p.drawRoundedRect(QRectF(2, 2, 60, 60), 12, 12);
    for (int i = 0; i < 3; ++i) {
        p.setBrush(QColor(60 + i * 60, 110 + i * 30, 200 - i * 50));
        p.drawRoundedRect(QRectF(9 + i * 8, 12 + i * 9, 30, 22), 4, 4);
    }
    // The lens sheet over them.
    for (int x = 8; x < 58; x += 6)
        p.fillRect(QRectF(x, 8, 2, 48), QColor(255, 255, 255, 70));
    p.setBrush(Accent);
    p.drawEllipse(QPointF(48, 48), 6, 6);
    p.end();
    return image;
}

QImage DrawAboutPicture(int width, int height)
{
    QImage image(width, height, QImage::Format_RGB32);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    QLinearGradient sky(0, 0, 0, height);
    sky.setColorAt(0, QColor(18, 24, 40));
    sky.setColorAt(1, QColor(44, 58, 92));
    p.fillRect(image.rect(), sky);

    DrawLensStripes(p, QRect(width / 2 - 10, 40, width / 2 - 30, height - 160), 14);

    // Three cards at different depths, the way layers stand apart in a print.
    for (int i = 0; i < 3; ++i) {
        const QRect card(40 + i * 34, 90 + i * 40, 190, 120);
        p.setPen(QPen(QColor(255, 255, 255, 160), 2));
        p.setBrush(QColor(60 + i * 60, 110 + i * 30, 200 - i * 50, 200));
        p.drawRoundedRect(card, 10, 10);
    }

    p.setPen(Qt::white);
    QFont title(QStringLiteral("DejaVu Sans"), 54, QFont::Bold);
    p.setFont(title);
    p.drawText(QRect(36, height - 150, width - 60, 80), Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("Vistrel"));
    QFont line(QStringLiteral("DejaVu Sans"), 14);
    p.setFont(line);
    p.setPen(Accent);
    p.drawText(QRect(40, height - 76, width - 60, 26), Qt::AlignLeft | Qt::AlignVCenter,
               Vistrel::tr("Lenticular print design: depth, flip and relief"));
    p.setPen(QColor(200, 205, 215));
    QFont small(QStringLiteral("DejaVu Sans"), 10);
    p.setFont(small);
    p.drawText(QRect(40, height - 44, width - 80, 24), Qt::AlignLeft | Qt::AlignVCenter,
               Vistrel::tr("Version %1").arg(QString::fromLatin1(VistrelVersion)));
    p.drawText(QRect(40, height - 44, width - 80, 24), Qt::AlignRight | Qt::AlignVCenter,
               Vistrel::tr("Click to close"));
    return image;
}

QImage DrawHelpPicture(int width, int height)
{
    QImage image(width, height, QImage::Format_RGB32);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.fillRect(image.rect(), QColor(28, 36, 58));
    DrawLensStripes(p, QRect(width / 2, 8, width / 2 - 8, height - 16), 10);
    p.setPen(Qt::white);
    p.setFont(QFont(QStringLiteral("DejaVu Sans"), 20, QFont::Bold));
    p.drawText(QRect(14, 8, width / 2, height / 2), Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("Vistrel"));
    p.setPen(Accent);
    p.setFont(QFont(QStringLiteral("DejaVu Sans"), 9));
    p.drawText(QRect(14, height / 2, width / 2, height / 2 - 8), Qt::AlignLeft | Qt::AlignVCenter,
               Vistrel::tr("Click for the web page"));
    return image;
}

QIcon ToolIcon(ToolImage kind)
{
    QImage image(24, 24, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    QPen pen(Ink, 1.6);
    pen.setJoinStyle(Qt::RoundJoin);
    pen.setCapStyle(Qt::RoundCap);
    p.setPen(pen);

    auto layers = [&](int count) {
        for (int i = count - 1; i >= 0; --i) {
            QPolygonF sheet({QPointF(12, 4 + i * 4), QPointF(21, 8 + i * 4), QPointF(12, 12 + i * 4), QPointF(3, 8 + i * 4)});
            p.setBrush(i == 0 ? QColor(120, 170, 230) : QColor(200, 215, 235));
            p.drawPolygon(sheet);
        }
    };
    auto cross = [&] {
        p.setPen(QPen(QColor(200, 40, 40), 2.2, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(15, 15), QPointF(21, 21));
        p.drawLine(QPointF(21, 15), QPointF(15, 21));
        p.setPen(pen);
    };
    auto magnifier = [&](bool plus) {
        p.setBrush(QColor(220, 235, 250));
        p.drawEllipse(QPointF(10, 10), 6.5, 6.5);
        p.setPen(QPen(Ink, 3, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(15, 15), QPointF(21, 21));
        p.setPen(pen);
        p.drawLine(QPointF(7, 10), QPointF(13, 10));
        if (plus)
            p.drawLine(QPointF(10, 7), QPointF(10, 13));
    };
    auto polyline = [&] {
        p.setBrush(Qt::NoBrush);
        p.drawPolyline(QPolygonF({QPointF(3, 18), QPointF(8, 6), QPointF(14, 14), QPointF(20, 4)}));
    };
    auto point = [&](QColor fill) {
        p.setBrush(fill);
        p.drawRect(QRectF(4, 4, 8, 8));
    };

    if (kind == ToolImage::OpenProject) {  // open project: a folder
        p.setBrush(QColor(240, 200, 90));
        p.drawPolygon(QPolygonF({QPointF(2, 6), QPointF(9, 6), QPointF(11, 8), QPointF(22, 8), QPointF(22, 20), QPointF(2, 20)}));
    } else if (kind == ToolImage::SaveProject) {  // save project: a disk
        p.setBrush(QColor(90, 130, 200));
        p.drawRoundedRect(QRectF(3, 3, 18, 18), 2, 2);
        p.setBrush(Qt::white);
        p.drawRect(QRectF(7, 3, 10, 6));
        p.drawRect(QRectF(6, 13, 12, 8));
    } else if (kind == ToolImage::ImportPsd) {  // import psd: layers and an arrow
        layers(2);
        p.setPen(QPen(Accent, 2.2, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(18, 13), QPointF(18, 22));
        p.drawLine(QPointF(15, 19), QPointF(18, 22));
        p.drawLine(QPointF(21, 19), QPointF(18, 22));
    } else if (kind == ToolImage::ZoomIn) {
        magnifier(true);
    } else if (kind == ToolImage::ZoomOut) {
        magnifier(false);
    } else if (kind == ToolImage::DeletePoint) {  // delete point
        point(QColor(120, 170, 230));
        cross();
    } else if (kind == ToolImage::DeleteLine) {  // delete line
        polyline();
        cross();
    } else if (kind == ToolImage::DeleteLayerLines) {  // delete layer
        layers(1);
        cross();
    } else if (kind == ToolImage::DeleteAllLines) {  // delete all
        layers(3);
        cross();
    } else if (kind == ToolImage::Preview) {  // preview: play
        p.setBrush(QColor(60, 160, 80));
        p.drawPolygon(QPolygonF({QPointF(6, 4), QPointF(20, 12), QPointF(6, 20)}));
    } else if (kind == ToolImage::Stop) {  // stop
        p.setBrush(QColor(200, 60, 60));
        p.drawRoundedRect(QRectF(5, 5, 14, 14), 2, 2);
    } else if (kind == ToolImage::ExportTiff) {  // export tiff: a print with lens stripes
        p.setBrush(Qt::white);
        p.drawRect(QRectF(4, 2, 14, 19));
        for (int x = 6; x < 17; x += 3) {
            p.fillRect(QRectF(x, 5, 1.5, 13), QColor(90, 130, 200));
        }
        p.setPen(QPen(Accent, 2.2, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(14, 17), QPointF(22, 17));
        p.drawLine(QPointF(19, 14), QPointF(22, 17));
        p.drawLine(QPointF(19, 20), QPointF(22, 17));
    } else if (kind == ToolImage::DrawLine) {  // a pen
        polyline();
        p.setBrush(Accent);
        p.drawPolygon(QPolygonF({QPointF(14, 20), QPointF(22, 12), QPointF(20, 10), QPointF(12, 18)}));
    } else if (kind == ToolImage::Anaglyph) {  // red/blue glasses
        p.setBrush(QColor(220, 40, 40, 200));
        p.drawEllipse(QPointF(8, 13), 5.5, 5);
        p.setBrush(QColor(40, 120, 230, 200));
        p.drawEllipse(QPointF(16, 13), 5.5, 5);
        p.drawLine(QPointF(2, 10), QPointF(2.5, 8));
        p.drawLine(QPointF(22, 10), QPointF(21.5, 8));
    } else if (kind == ToolImage::AddPoint) {  // add point
        polyline();
        p.setPen(QPen(QColor(40, 140, 60), 2.2));
        p.drawLine(QPointF(17, 14), QPointF(17, 22));
        p.drawLine(QPointF(13, 18), QPointF(21, 18));
    } else if (kind == ToolImage::DeletePointTool) {  // delete point
        polyline();
        p.setPen(QPen(QColor(200, 40, 40), 2.2));
        p.drawLine(QPointF(13, 18), QPointF(21, 18));
    } else if (kind == ToolImage::MoveLine) {  // move line
        polyline();
        p.setPen(QPen(Accent, 2));
        p.drawLine(QPointF(12, 20), QPointF(22, 20));
        p.drawLine(QPointF(19, 17), QPointF(22, 20));
    } else if (kind == ToolImage::MovePoint) {  // move point
        point(QColor(240, 200, 90));
        p.setPen(QPen(Accent, 2));
        p.drawLine(QPointF(10, 16), QPointF(20, 16));
        p.drawLine(QPointF(17, 13), QPointF(20, 16));
    } else if (kind == ToolImage::LowerOrder || kind == ToolImage::HigherOrder) {  // order down / up
        layers(2);
        const bool down = kind == ToolImage::LowerOrder;
        p.setPen(QPen(Accent, 2.2, Qt::SolidLine, Qt::RoundCap));
        const qreal from = down ? 13 : 22, to = down ? 22 : 13, tip = down ? -3 : 3;
        p.drawLine(QPointF(19, from), QPointF(19, to));
        p.drawLine(QPointF(16, to + tip), QPointF(19, to));
        p.drawLine(QPointF(22, to + tip), QPointF(19, to));
    } else if (kind == ToolImage::Cut) {  // cut: scissors
        p.setBrush(Qt::NoBrush);
        p.drawEllipse(QPointF(7, 18), 3, 3);
        p.drawEllipse(QPointF(17, 18), 3, 3);
        p.drawLine(QPointF(9, 16), QPointF(17, 3));
        p.drawLine(QPointF(15, 16), QPointF(7, 3));
    } else if (kind == ToolImage::Copy) {  // copy: two sheets
        p.setBrush(Qt::white);
        p.drawRect(QRectF(3, 3, 11, 14));
        p.drawRect(QRectF(9, 7, 11, 14));
    } else if (kind == ToolImage::Paste) {  // paste: a sheet on a board
        p.setBrush(QColor(200, 160, 100));
        p.drawRoundedRect(QRectF(4, 4, 14, 18), 2, 2);
        p.setBrush(Qt::white);
        p.drawRect(QRectF(9, 9, 11, 13));
    }
    p.end();
    return QIcon(QPixmap::fromImage(image));
}
