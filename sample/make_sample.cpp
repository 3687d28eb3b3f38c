// Makes the bundled sample: a small layered RGB PSD that shows what Vistrel
// does. A sky and a landscape far back, hills, a house and a tree at different
// depths, a balloon in front, and a flip group of three layers (a sign that
// turns from a circle to a square to a star as the viewer moves).
// Usage: make_sample OUT.psd
#include "PsdBuilder.h"

#include <QFile>
#include <QGuiApplication>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>
#include <cmath>
#include <cstdio>
#include <functional>

namespace {

constexpr int Width = 1200;
constexpr int Height = 800;

// Draws into a transparent picture of the layer's size and adds it as a layer
// at (left, top) with its coverage as the transparency channel.
void AddDrawnLayer(PsdBuilder &psd, const char *name, int left, int top, int width, int height,
                   const std::function<void(QPainter &)> &draw)
{
    QImage picture(width, height, QImage::Format_ARGB32);
    picture.fill(Qt::transparent);
    {
        QPainter p(&picture);
        p.setRenderHint(QPainter::Antialiasing);
        draw(p);
    }
    PsdBuilderLayer layer;
    layer.Left = left;
    layer.Top = top;
    layer.Right = left + width;
    layer.Bottom = top + height;
    layer.Name = name;
    QByteArray alpha(qsizetype(width) * height, '\0'), red = alpha, green = alpha, blue = alpha;
    for (int y = 0; y < height; ++y) {
        const auto *row = reinterpret_cast<const QRgb *>(picture.constScanLine(y));
        for (int x = 0; x < width; ++x) {
            const qsizetype i = qsizetype(y) * width + x;
            alpha[i] = char(qAlpha(row[x]));
            red[i] = char(qRed(row[x]));
            green[i] = char(qGreen(row[x]));
            blue[i] = char(qBlue(row[x]));
        }
    }
    layer.Channels = {{Psd::TransparencyChannelId, alpha}, {0, red}, {1, green}, {2, blue}};
    psd.Layers.push_back(layer);
}

}  // namespace

int main(int argc, char **argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: make_sample OUT.psd\n");
        return 2;
    }
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);

    PsdBuilder psd;
    psd.Width = Width;
    psd.Height = Height;
    psd.DpiWhole = 150;

    AddDrawnLayer(psd, "Sky", 0, 0, Width, Height, [](QPainter &p) {
        QLinearGradient sky(0, 0, 0, Height);
        sky.setColorAt(0, QColor(60, 120, 210));
        sky.setColorAt(0.7, QColor(190, 220, 245));
        sky.setColorAt(1, QColor(235, 240, 230));
        p.fillRect(0, 0, Width, Height, sky);
        QRadialGradient sun(950, 160, 90);
        sun.setColorAt(0, QColor(255, 250, 210));
        sun.setColorAt(0.6, QColor(255, 220, 120));
        sun.setColorAt(1, QColor(255, 220, 120, 0));
        p.setPen(Qt::NoPen);
        p.setBrush(sun);
        p.drawEllipse(QPointF(950, 160), 90, 90);
    });
    AddDrawnLayer(psd, "Far hills", 0, 380, Width, 420, [](QPainter &p) {
        QPainterPath hills;
        hills.moveTo(0, 140);
        hills.cubicTo(250, 20, 450, 180, 700, 80);
        hills.cubicTo(900, 10, 1050, 120, Width, 60);
        hills.lineTo(Width, 420);
        hills.lineTo(0, 420);
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(110, 150, 120));
        p.drawPath(hills);
    });
    AddDrawnLayer(psd, "Meadow", 0, 560, Width, 240, [](QPainter &p) {
        QLinearGradient grass(0, 0, 0, 240);
        grass.setColorAt(0, QColor(90, 160, 70));
        grass.setColorAt(1, QColor(50, 110, 40));
        QPainterPath field;
        field.moveTo(0, 60);
        field.cubicTo(400, 0, 800, 90, Width, 30);
        field.lineTo(Width, 240);
        field.lineTo(0, 240);
        p.setPen(Qt::NoPen);
        p.setBrush(grass);
        p.drawPath(field);
    });
    AddDrawnLayer(psd, "House", 180, 420, 300, 260, [](QPainter &p) {
        p.setPen(QPen(QColor(70, 40, 30), 3));
        p.setBrush(QColor(230, 200, 160));
        p.drawRect(30, 110, 240, 140);
        p.setBrush(QColor(170, 60, 50));
        p.drawPolygon(QPolygonF({QPointF(10, 115), QPointF(150, 10), QPointF(290, 115)}));
        p.setBrush(QColor(110, 70, 40));
        p.drawRect(125, 170, 50, 80);
        p.setBrush(QColor(160, 210, 240));
        p.drawRect(60, 140, 45, 40);
        p.drawRect(195, 140, 45, 40);
    });
    AddDrawnLayer(psd, "Tree", 760, 330, 220, 380, [](QPainter &p) {
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(100, 70, 40));
        p.drawRect(95, 220, 30, 160);
        p.setBrush(QColor(40, 120, 50));
        p.drawEllipse(QPointF(110, 130), 100, 120);
        p.setBrush(QColor(60, 150, 60));
        p.drawEllipse(QPointF(80, 110), 50, 55);
    });
    // The flip group: the same sign as a circle, a square and a star.
    const int signLeft = 520, signTop = 470, signSize = 170;
    AddDrawnLayer(psd, "Sign circle", signLeft, signTop, signSize, signSize, [](QPainter &p) {
        p.setPen(QPen(Qt::white, 8));
        p.setBrush(QColor(220, 60, 60));
        p.drawEllipse(QPointF(85, 85), 75, 75);
    });
    AddDrawnLayer(psd, "Sign square", signLeft, signTop, signSize, signSize, [](QPainter &p) {
        p.setPen(QPen(Qt::white, 8));
        p.setBrush(QColor(60, 90, 220));
        p.drawRoundedRect(QRectF(15, 15, 140, 140), 12, 12);
    });
    AddDrawnLayer(psd, "Sign star", signLeft, signTop, signSize, signSize, [](QPainter &p) {
        QPolygonF star;
        for (int i = 0; i < 10; ++i) {
            const double r = i % 2 ? 34 : 80;
            const double a = -M_PI / 2 + i * M_PI / 5;
            star << QPointF(85 + r * std::cos(a), 88 + r * std::sin(a));
        }
        p.setPen(QPen(Qt::white, 6));
        p.setBrush(QColor(240, 190, 30));
        p.drawPolygon(star);
    });
    AddDrawnLayer(psd, "Balloon", 60, 60, 200, 320, [](QPainter &p) {
        QRadialGradient skin(80, 70, 110);
        skin.setColorAt(0, QColor(255, 170, 170));
        skin.setColorAt(1, QColor(200, 30, 60));
        p.setPen(Qt::NoPen);
        p.setBrush(skin);
        p.drawEllipse(QPointF(100, 100), 85, 100);
        p.setPen(QPen(QColor(80, 60, 40), 2));
        p.drawLine(QPointF(100, 200), QPointF(100, 280));
        p.setBrush(QColor(150, 100, 50));
        p.drawRect(85, 280, 30, 25);
    });
    // Group 1: the three signs (records 6, 7 and 8 counted from 1).
    psd.Groups = {0, 0, 0, 0, 0, 1, 1, 1, 0};
    psd.Packing = PsdBuilder::Compression::PackBits;

    QFile out(QString::fromLocal8Bit(argv[1]));
    if (!out.open(QIODevice::WriteOnly) || out.write(psd.Build()) < 0) {
        std::fprintf(stderr, "make_sample: cannot write %s\n", argv[1]);
        return 1;
    }
    return 0;
}
