// Writes the program's icon in the sizes a desktop looks for:
// make_icons DIR writes DIR/vistrel-N.png for N = 16, 32, 48, 64, 128, 256.
#include "Brand.h"

#include <QGuiApplication>
#include <QString>
#include <cstdio>

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    if (argc < 2) {
        std::fprintf(stderr, "usage: make_icons DIR\n");
        return 2;
    }
    for (int size : {16, 32, 48, 64, 128, 256}) {
        const QString path = QStringLiteral("%1/vistrel-%2.png").arg(QString::fromLocal8Bit(argv[1])).arg(size);
        if (!DrawAppIcon(size).save(path, "PNG")) {
            std::fprintf(stderr, "cannot write %s\n", path.toLocal8Bit().constData());
            return 1;
        }
    }
    return 0;
}
