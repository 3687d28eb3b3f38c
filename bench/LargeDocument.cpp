#include "LargeDocument.h"

#include "PsdBuilder.h"

#include <QFile>
#include <QFileInfo>
#include <cmath>
#include <sys/resource.h>

QByteArray MakeLargePsd(int width, int height, int layers)
{
    PsdBuilder b;
    b.Width = width;
    b.Height = height;
    b.DpiWhole = 300;
    // Background: a gradient, different in every row and column.
    PsdBuilderLayer &bg = b.AddLayer(0, 0, width, height, {0, 0, 0}, -1);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            const qsizetype i = qsizetype(y) * width + x;
            bg.Channels[0].Plane[i] = char(x * 255 / width);
            bg.Channels[1].Plane[i] = char(y * 255 / height);
            bg.Channels[2].Plane[i] = char((x + y) / 16);
        }
    // Discs of different colours and sizes, with soft edges.
    for (int n = 1; n < layers; ++n) {
        const int w = width / 2 - n * width / (4 * layers);
        const int h = height / 2 - n * height / (4 * layers);
        const int left = (n * width / layers) - w / 4;
        const int top = (n % 3) * height / 4;
        PsdBuilderLayer &l = b.AddLayer(left, top, w, h, {uint8_t(40 * n), uint8_t(255 - 20 * n), uint8_t(90)}, 0);
        const double cx = w / 2.0, cy = h / 2.0, r = std::min(w, h) / 2.0;
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x) {
                const double d = std::hypot(x - cx, y - cy) / r;
                const qsizetype i = qsizetype(y) * w + x;
                l.Channels[0].Plane[i] = char(d >= 1 ? 0 : d > 0.9 ? int((1 - d) * 2550) : 255);
                l.Channels[1].Plane[i] = char(40 * n + (x / 64) * 8);
            }
    }
    return b.Build();
}

void EnsureLargePsd(const QString &path, int width, int height, int layers)
{
    if (QFileInfo::exists(path))
        return;
    QFile file(path);
    if (file.open(QIODevice::WriteOnly))
        file.write(MakeLargePsd(width, height, layers));
}

double PeakMemoryMB()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss / 1024.0;
}
