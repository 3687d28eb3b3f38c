// Imports a large generated document (6000 x 4000 RGB, 12 layers, PackBits) the
// way the import command does, and prints the wall time and the peak memory.
// The generator runs in a child process first, so its memory does not count.
#include "Document.h"
#include "Import.h"
#include "LargeDocument.h"
#include "WorkFolder.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <cstdio>

int main(int argc, char **argv)
{
    Document doc;
    QCoreApplication app(argc, argv);
    const QString folder = QDir::tempPath() + QStringLiteral("/vistrel-bench");
    QDir().mkpath(folder);
    const QString psd = folder + QStringLiteral("/large-6000x4000-12.psd");
    if (argc > 1 && QString::fromLatin1(argv[1]) == QLatin1String("--generate")) {
        EnsureLargePsd(psd, 6000, 4000, 12);
        return 0;
    }
    if (!QFileInfo::exists(psd)) {
        QProcess::execute(QCoreApplication::applicationFilePath(), {QStringLiteral("--generate")});
    }
    const double baseline = PeakMemoryMB();
    QTemporaryDir work;
    WorkFolder = work.path() + QStringLiteral("/");
    QElapsedTimer timer;
    timer.start();
    ImportDocument(doc, psd);
    const double seconds = timer.elapsed() / 1000.0;
    const double peak = PeakMemoryMB();
    // One full-canvas layer: 4 planes being built (colour 3 bytes + coverage) plus one channel plane.
    const double layerMB = 6000.0 * 4000 * 5 / 1048576;
    std::printf("import 6000x4000, 12 layers (%.0f MB file): %.2f s wall, peak %.0f MB "
                "(%.0f MB before the import; one full-canvas layer's pictures and plane %.0f MB)\n",
                QFileInfo(psd).size() / 1048576.0, seconds, peak, baseline, layerMB);
    return 0;
}
