// A hundred rounds of import, the preview views and the print export of a
// generated document in one process: the resident memory must not grow (by
// less than 10 MB from round 10 to round 100). Run with `ctest -L soak`; not
// part of the default test run.
#include "Document.h"
#include "Import.h"
#include "ParameterRules.h"
#include "PrintExport.h"
#include "PsdBuilder.h"
#include "ReliefRenderer.h"
#include "ViewSet.h"
#include "WorkFolder.h"

#include <QCoreApplication>
#include <QFile>
#include <QTemporaryDir>
#include <cstdio>
#include <cstring>

namespace {

double ResidentMB()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray &line : status.readAll().split('\n'))
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').first().toDouble() / 1024;
    return 0;
}

}  // namespace

int main(int argc, char **argv)
{
    Document doc;
    QCoreApplication app(argc, argv);
    QTemporaryDir dir;
    WorkFolder = dir.path() + QStringLiteral("/");
    PsdBuilder b;
    b.Width = 1600;
    b.Height = 900;
    b.AddLayer(0, 0, 1600, 900, {200, 210, 220});
    b.AddLayer(100, 100, 600, 400, {200, 30, 30}, 180);
    b.AddLayer(900, 300, 500, 500, {30, 30, 200});
    const QString psd = dir.path() + QStringLiteral("/doc.psd");
    {
        QFile f(psd);
        if (!f.open(QIODevice::WriteOnly) || f.write(b.Build()) < 0)
            return 2;
    }
    double atTen = 0;
    for (int round = 1; round <= 100; ++round) {
        ImportDocument(doc, psd);
        const std::vector<int32_t> offsets = DefaultGridOffsets(doc);
        const int32_t focus = FocusOffsetIn(offsets, doc.FocusLayer);
        RenderPendingReliefs(doc);
        GenerateViewFiles(doc, offsets, focus);
        ExportPrint(doc, {400000, 3000000, 60000, 30000, 1, {}}, offsets, focus, dir.path() + QStringLiteral("/print.tif"));
        if (round == 10)
            atTen = ResidentMB();
    }
    const double atHundred = ResidentMB();
    std::printf("resident memory: %.1f MB after round 10, %.1f MB after round 100 (grew %.1f MB)\n", atTen, atHundred,
                atHundred - atTen);
    if (atHundred - atTen >= 10) {
        std::printf("1 passed, 1 failed\n");
        return 1;
    }
    return 0;
}
