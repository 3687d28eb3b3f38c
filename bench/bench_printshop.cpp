// The print shop's prints on a large generated document (6000 x 4000 RGB, 12
// layers): a poster 120 x 80 cm at 720 dpi, uncompressed (the baseline of this
// run), with LZW and ZIP compression, and with bleed and marks; and one past
// 4 GB, 180 x 120 cm, written as a BigTIFF. Each print is a process of its own
// so that its peak memory is its own, and tiffinfo reads each file back.
// Figures are quoted as ratios to the uncompressed poster of the same run.
#include "Document.h"
#include "Import.h"
#include "Interlacer.h"
#include "LargeDocument.h"
#include "PrintExport.h"
#include "ViewSet.h"
#include "WorkFolder.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QGuiApplication>
#include <QProcess>
#include <QTemporaryDir>
#include <cstdio>

namespace {

const QString Folder = QDir::tempPath() + QStringLiteral("/vistrel-bench");
const QString Psd = Folder + QStringLiteral("/large-6000x4000-12.psd");

// One print: "export S peak MB bytes N".
int RunOnce(const QString &kind, int widthCm)
{
    Document doc;
    QTemporaryDir work;
    WorkFolder = work.path() + QStringLiteral("/");
    doc.MaxWidthCm = 10000 * Fixed4One;
    ImportDocument(doc, Psd);
    const std::vector<int32_t> offsets = DefaultGridOffsets(doc);
    const int32_t focus = FocusOffsetIn(offsets, doc.FocusLayer);
    PrintSettings s;
    s.Lpi = 40 * Fixed4One;
    s.Dpi = 720 * Fixed4One;
    s.WidthCm = widthCm * Fixed4One;
    s.HeightCm = ToFixed4(widthCm / FromFixed4(doc.AspectRatio));
    s.HScale = 1;
    if (kind == QLatin1String("lzw"))
        s.Finish.Compression = TiffCompression::Lzw;
    if (kind == QLatin1String("zip"))
        s.Finish.Compression = TiffCompression::Zip;
    if (kind == QLatin1String("marks")) {
        s.Finish.BleedMm = 3 * Fixed4One;
        s.Finish.Marks = true;
    }
    QElapsedTimer timer;
    timer.start();
    const QString print = Folder + QStringLiteral("/poster-%1.tif").arg(kind);
    ExportPrint(doc, s, offsets, focus, print);
    std::printf("export %.3f peak %.0f bytes %lld\n", timer.elapsed() / 1000.0, PeakMemoryMB(),
                QFileInfo(print).size());
    return 0;
}

struct Run {
    double Seconds = 0, PeakMB = 0, InfoSeconds = 0;
    qint64 Bytes = 0;
    QString Info;  // tiffinfo's first lines
};

Run Measure(const QString &kind, int widthCm)
{
    QProcess child;
    child.start(QCoreApplication::applicationFilePath(), {QStringLiteral("--one"), kind, QString::number(widthCm)});
    child.waitForFinished(-1);
    const QStringList f = QString::fromLatin1(child.readAllStandardOutput()).simplified().split(QLatin1Char(' '));
    Run r;
    if (f.size() >= 6) {
        r.Seconds = f[1].toDouble();
        r.PeakMB = f[3].toDouble();
        r.Bytes = f[5].toLongLong();
    }
    const QString print = Folder + QStringLiteral("/poster-%1.tif").arg(kind);
    QElapsedTimer timer;
    timer.start();
    QProcess info;
    info.start(QStringLiteral("tiffinfo"), {print});
    info.waitForFinished(-1);
    r.InfoSeconds = timer.elapsed() / 1000.0;
    const QString text = QString::fromLatin1(info.readAllStandardOutput());
    for (const QString &line : text.split(QLatin1Char('\n')))
        if (line.contains(QLatin1String("Image Width")) || line.contains(QLatin1String("Compression Scheme")))
            r.Info += line.trimmed() + QStringLiteral("; ");
    if (info.exitCode() != 0)
        r.Info += QStringLiteral("tiffinfo failed: ") + QString::fromLatin1(info.readAllStandardError());
    QFile::remove(print);
    return r;
}

}  // namespace

int main(int argc, char **argv)
{
    // A GUI application without a screen: the slug line's font needs one.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    QDir().mkpath(Folder);
    const QStringList args = QCoreApplication::arguments();
    if (args.size() > 3 && args[1] == QLatin1String("--one"))
        return RunOnce(args[2], args[3].toInt());
    if (args.size() > 1 && args[1] == QLatin1String("--generate")) {
        EnsureLargePsd(Psd, 6000, 4000, 12);
        return 0;
    }
    QProcess::execute(QCoreApplication::applicationFilePath(), {QStringLiteral("--generate")});

    const Run plain = Measure(QStringLiteral("none"), 120);
    auto show = [&](const char *what, const Run &r) {
        std::printf("%-28s %7.2f s (x %.2f)  peak %5.0f MB (x %.2f)  %6.0f MB (x %.3f)  tiffinfo %.2f s: %s\n", what,
                    r.Seconds, r.Seconds / plain.Seconds, r.PeakMB, r.PeakMB / plain.PeakMB, r.Bytes / 1048576.0,
                    double(r.Bytes) / double(plain.Bytes), r.InfoSeconds, r.Info.toLocal8Bit().constData());
    };
    show("120 x 80 cm uncompressed", plain);
    show("120 x 80 cm LZW", Measure(QStringLiteral("lzw"), 120));
    show("120 x 80 cm ZIP", Measure(QStringLiteral("zip"), 120));
    show("120 x 80 cm bleed + marks", Measure(QStringLiteral("marks"), 120));
    show("180 x 120 cm BigTIFF", Measure(QStringLiteral("none"), 180));
    return 0;
}
