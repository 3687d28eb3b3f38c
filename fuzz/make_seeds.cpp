// Writes small seed files for the fuzz targets: PSD documents of a few
// kilobytes in every colour mode and compression, with groups, resolution and
// layers reaching past the canvas, and work-folder BMP pictures of every depth.
// Small seeds keep each run short, so a target runs millions of times in the
// minutes it is given. Usage: make_seeds PSD_FOLDER BMP_FOLDER
#include "BmpCodec.h"
#include "PsdBuilder.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <cstdio>

namespace {

void Write(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
        std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
}

}  // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    if (argc < 3) {
        std::fprintf(stderr, "usage: make_seeds PSD_FOLDER BMP_FOLDER\n");
        return 2;
    }
    const QString psds = QString::fromLocal8Bit(argv[1]), bmps = QString::fromLocal8Bit(argv[2]);
    QDir().mkpath(psds);
    QDir().mkpath(bmps);
    const struct {
        uint16_t mode;
        int channels;
    } modes[] = {{Psd::ModeGrey, 1}, {Psd::ModeRgb, 3}, {Psd::ModeCmyk, 4}};
    const PsdBuilder::Compression packings[] = {PsdBuilder::Compression::Raw, PsdBuilder::Compression::PackBits,
                                                PsdBuilder::Compression::Zip,
                                                PsdBuilder::Compression::ZipPrediction};
    int n = 0;
    for (const auto &m : modes)
        for (PsdBuilder::Compression packing : packings) {
            PsdBuilder b;
            b.Width = 23;
            b.Height = 17;
            b.ColorMode = m.mode;
            b.Packing = packing;
            b.Groups = {0, 1, 1, 0};
            b.AddLayer(0, 0, 23, 17, std::vector<uint8_t>(size_t(m.channels), 200));
            b.AddLayer(-3, 2, 9, 7, std::vector<uint8_t>(size_t(m.channels), 40), 128);
            b.AddLayer(15, 10, 12, 9, std::vector<uint8_t>(size_t(m.channels), 90));
            b.AddLayer(4, 4, 5, 5, std::vector<uint8_t>(size_t(m.channels), 10), -1);  // no transparency channel
            Write(QStringLiteral("%1/seed%2.psd").arg(psds).arg(++n), b.Build());
        }
    for (int bits : {8, 24, 32}) {
        QImage picture = NewPicture(13, 7, bits);
        for (int y = 0; y < picture.height(); ++y)
            for (int x = 0; x < picture.bytesPerLine(); ++x)
                picture.scanLine(y)[x] = uchar(x * 17 + y * 29);
        Write(QStringLiteral("%1/seed%2.gjs").arg(bmps).arg(bits), EncodeBmp(picture));
    }
    return 0;
}
