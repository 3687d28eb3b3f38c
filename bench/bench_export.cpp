// The whole print export of the large generated document (6000 x 4000 RGB, 12
// layers): import, seven full-resolution views, interlacing, to a print 21 cm
// wide at 720 and at 2880 dpi. Each resolution runs in a process of its own so
// that its peak memory is its own; a plain copy of the print file is timed in
// the same run as the baseline.
#include "Document.h"
#include "Import.h"
#include "Interlacer.h"
#include "LargeDocument.h"
#include "PrintExport.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <cstdio>

namespace {

const QString Folder = QDir::tempPath() + QStringLiteral("/vistrel-bench");
const QString Psd = Folder + QStringLiteral("/large-6000x4000-12.psd");

int ExportOnce(int dpi)
{
    QTemporaryDir work;
    WorkFolder = work.path() + QStringLiteral("/");
    const QString print = Folder + QStringLiteral("/print-%1.tif").arg(dpi);
    QElapsedTimer timer;
    timer.start();
    ImportDocument(Psd);
    PrintSettings s;
    s.Lpi = ToFixed4(42.45);
    s.Dpi = dpi * Fixed4One;
    s.WidthCm = 21 * Fixed4One;
    s.HeightCm = ToFixed4(21.0 / FromFixed4(AspectRatio));
    s.HScale = 1;
    const std::vector<int32_t> offsets = DefaultGridOffsets();
    ExportPrint(s, offsets, FocusOffsetIn(offsets, FocusLayer), print);
    const double seconds = timer.elapsed() / 1000.0;
    std::printf("%d dpi: print %lld MB, export %.2f s wall, peak %.0f MB\n", dpi,
                QFileInfo(print).size() / 1048576, seconds, PeakMemoryMB());
    return 0;
}

}  // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QDir().mkpath(Folder);
    const QStringList args = QCoreApplication::arguments();
    if (args.size() > 2 && args[1] == QLatin1String("--one"))
        return ExportOnce(args[2].toInt());
    EnsureLargePsd(Psd, 6000, 4000, 12);
    for (int dpi : {720, 2880}) {
        QProcess::execute(QCoreApplication::applicationFilePath(), {QStringLiteral("--one"), QString::number(dpi)});
        const QString print = Folder + QStringLiteral("/print-%1.tif").arg(dpi);
        QElapsedTimer timer;
        timer.start();
        QProcess::execute(QStringLiteral("cp"), {print, print + QStringLiteral(".copy")});
        std::printf("%d dpi: baseline cp of the print %.2f s\n", dpi, timer.elapsed() / 1000.0);
        QFile::remove(print + QStringLiteral(".copy"));
        QFile::remove(print);
    }
    return 0;
}
