#include "PrintExport.h"

#include "BmpCodec.h"
#include "Compositor.h"
#include "Document.h"
#include "Errors.h"
#include "Interlacer.h"
#include "ReplacingFile.h"
#include "ReliefRenderer.h"
#include "Texts.h"
#include "Tiff.h"
#include "WorkFolder.h"

#include <QElapsedTimer>
#include <QSaveFile>
#include <algorithm>
#include <new>

PrintGeometry PrintGeometryOf(const PrintSettings &s)
{
    return ComputePrintGeometry(CentimetresToInches(s.WidthCm), CentimetresToInches(s.HeightCm), s.Lpi, s.Dpi,
                                s.HScale);
}

PreparedPrint PreparePrint(Document &doc, const PrintFieldTexts &texts, const std::vector<int32_t> &offsets, int32_t focusOffset,
                           const std::function<void(int)> &reliefProgress)
{
    if (doc.CropEdges == 1)
        RenderPendingReliefs(doc, reliefProgress);
    ChooseCrop(doc, offsets, focusOffset);
    PreparedPrint p;
    p.Print = ReadCroppedPrintSettings(doc, texts);
    p.Geometry = PrintGeometryOf(p.Print.Settings);
    p.Guidance = DepthGuidanceFor(doc, offsets, focusOffset, p.Geometry.Lenses, p.Geometry.Columns);
    return p;
}

QStringList WriteFullResolutionViews(Document &doc, const std::vector<int32_t> &offsets, int32_t focusOffset,
                                     const std::function<void(int)> &progress, const PhaseReport &phases)
{
    QStringList views;
    // Reliefs still to render take the bar to 5, the views on to 75.
    RenderPendingReliefs(doc, [&](int p) {
        if (progress)
            progress(p * 5 / 100);
    });
    BuildGroupTables(doc);
    const int bits = DocumentBits(doc), bytes = bits / 8;
    const int32_t width = doc.CropWidth > 0 ? doc.CropWidth : doc.ImageWidth;  // the crop, when one is set
    const size_t rowBytes = size_t(width) * bytes;
    // A view at a time, a band of rows at a time from the bottom up: the
    // coverage file holds the bottom row first, the TIFF the top row first.
    const int band = std::max(1, int((4 << 20) / std::max<size_t>(rowBytes + size_t(width), 1)));
    std::vector<uint8_t> colour(rowBytes * size_t(band)), coverage(size_t(width) * size_t(band));
    for (int n = ViewCount - 1; n >= 0; --n) {
        QElapsedTimer timer;
        timer.start();
        PlaceLayersForView(doc, n + 1, offsets, focusOffset);
        doc.CurrentView = n;
        const int base = int(Round(70.0 / ViewCount * (ViewCount - 1 - n))) + 5;
        if (progress)
            progress(base);
        FullResolutionBands bands(doc, {n}, {doc.LayerViewLeft});
        const QString path = WorkFileName3(QStringLiteral("vwd"), n + 1);
        SavingFile saving(path, !IsWorkFile(path));
        saving.Open();
        QFileDevice &tiff = saving.Device();
        WriteTiffHeader(tiff, bytes, width, doc.ImageHeight, doc.PsdDpi, doc.PsdDpi);
        const qint64 dataOffset = tiff.pos();
        BmpRowWriter alpha(WorkFileName3(QStringLiteral("vwdt"), n + 1), width, doc.ImageHeight, 8);
        for (int end = doc.ImageHeight; end > 0;) {
            const int first = std::max(0, end - band), count = end - first;
            bands.ComposeWhole(first, count, {colour.data()}, {coverage.data()});
            const qint64 size = qint64(rowBytes) * count;
            if (!tiff.seek(dataOffset + qint64(rowBytes) * first) ||
                CheckedWrite(tiff, reinterpret_cast<const char *>(colour.data()), size) != size)
                throw StreamWriteError(tiff);
            alpha.AppendRows(coverage.data() + size_t(width) * size_t(count - 1), count, -ptrdiff_t(width));
            end = first;
        }
        saving.Commit();
        alpha.Commit();
        views << path;
        if (phases)
            phases(QStringLiteral("view %1 composed and written").arg(n + 1), timer.elapsed());
    }
    return views;
}

namespace {

// Rows of full-resolution views the print composes per band: about 4 MB for
// all seven views together.
int ComposeBandRows(int32_t width, int bytes)
{
    return int(std::clamp<int64_t>((4 << 20) / (int64_t(ViewCount) * std::max(width, 1) * bytes), 1, 4096));
}

}  // namespace

void ExportPrint(Document &doc, const PrintSettings &settings, const std::vector<int32_t> &offsets, int32_t focusOffset,
                 const QString &path, const std::function<void(int)> &progress, const PhaseReport &phases,
                 bool writeViewFiles)
{
    FaultPoint("ExportPrint");
    // A print the TIFF cannot hold is refused before any work starts.
    CheckPrintSize(PrintGeometryOf(settings), doc.PsdColorMode);
    doc.Lpi = settings.Lpi;
    auto report = [&](int percent) {
        if (progress)
            progress(percent);
    };
    // One run from 0 to 100: the views (or the reliefs) first, then the print.
    const int viewsShare = writeViewFiles ? 75 : 10;
    QStringList views;
    std::vector<int> viewIndexes;
    std::vector<std::vector<int32_t>> viewLefts;
    if (writeViewFiles) {
        views = WriteFullResolutionViews(doc, offsets, focusOffset, progress, phases);
    } else {
        QElapsedTimer timer;
        timer.start();
        RenderPendingReliefs(doc, [&](int p) { report(p * viewsShare / 100); });
        BuildGroupTables(doc);
        for (int n = ViewCount - 1; n >= 0; --n) {  // view 7 first
            PlaceLayersForView(doc, n + 1, offsets, focusOffset);
            viewIndexes.push_back(n);
            viewLefts.push_back(doc.LayerViewLeft);
        }
        if (phases)
            phases(QStringLiteral("views placed"), timer.elapsed());
    }
    doc.OutputDpi = settings.Dpi;
    doc.OutputWidthCm = settings.WidthCm;
    doc.OutputHeightCm = settings.HeightCm;
    doc.HScale = uint8_t(settings.HScale);
    doc.OutputColorMode = 2;
    QElapsedTimer timer;
    timer.start();
    auto printProgress = [&](int p) { report(viewsShare + p * (100 - viewsShare) / 100); };
    try {
        FaultPoint("InterlaceViews");
        const Fixed4 width = CentimetresToInches(settings.WidthCm), height = CentimetresToInches(settings.HeightCm);
        if (writeViewFiles) {
            InterlaceViews(views, settings.HScale, path, settings.Dpi, settings.Lpi, width, height, doc.PsdColorMode,
                           printProgress, settings.Finish);
        } else {
            // The views are composed band by band straight into the print.
            FullResolutionBands bands(doc, viewIndexes, viewLefts);
            InterlaceBands(
                ViewCount, bands.Width(), doc.ImageHeight, ComposeBandRows(bands.Width(), DocumentBits(doc) / 8),
                [&](int first, int count, const std::vector<uint8_t *> &buffers,
                    const std::vector<std::vector<int32_t>> &columns) { bands.Compose(first, count, buffers, columns); },
                settings.HScale, path, settings.Dpi, settings.Lpi, width, height, doc.PsdColorMode, printProgress,
                settings.Finish);
        }
    } catch (const std::bad_alloc &) {
        const PrintGeometry g = PrintGeometryOf(settings);
        throw VistrelError(Vistrel::tr("Not enough memory to make a print of %1 x %2 pixels.")
                               .arg(GroupedText(g.Columns), GroupedText(g.Rows)),
                           ErrorKind::Memory);
    }
    if (phases)
        phases(writeViewFiles ? QStringLiteral("interlacing") : QStringLiteral("views composed and interlaced"),
               timer.elapsed());
}
