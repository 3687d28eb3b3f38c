#include "ViewSet.h"

#include "BmpCodec.h"
#include "Compositor.h"
#include "Document.h"
#include "Errors.h"
#include "Texts.h"
#include "WorkFolder.h"

#include <algorithm>
#include <cstdlib>

void GenerateViewFiles(Document &doc, const std::vector<int32_t> &offsets, int32_t focusOffset,
                       const std::function<void(int)> &progress)
{
    FaultPoint("GenerateViewFiles");
    BuildGroupTables(doc);
    if (progress)
        progress(10);
    doc.CentreView = 4;
    for (int v = 1; v <= ViewCount; ++v) {
        // 90 / 7 per view, from 10.
        const int base = 10 + int(RoundDiv(int64_t(v - 1) * 90, 7));
        PlaceLayersForView(doc, v, offsets, focusOffset);
        doc.CurrentView = v - 1;
        ComposeView(doc, Resolution::Working, 13, base, progress);
        if (doc.CropWidth > 0) {  // the working columns of the crop
            const int left = int(ScaleByFixed4(doc.CropLeft, doc.WorkScale));
            const int right = std::max(left + 1, int(ScaleByFixed4(int64_t(doc.CropLeft) + doc.CropWidth, doc.WorkScale)));
            doc.ComposedImage = doc.ComposedImage.copy(left, 0, std::min(right, doc.WorkWidth) - left, doc.WorkHeight);
            doc.ComposedAlpha = doc.ComposedAlpha.copy(left, 0, std::min(right, doc.WorkWidth) - left, doc.WorkHeight);
        }
        SaveImage(doc.ComposedImage, WorkFileName(QStringLiteral("vw"), v));
        SaveImage(doc.ComposedAlpha, WorkFileName(QStringLiteral("vwt"), v));
        if (doc.PsdColorMode != ModeRgb)
            SaveImage(ViewablePicture(doc.ComposedImage), WorkFileName(QStringLiteral("vwv"), v));
    }
    if (progress)
        progress(100);
}

int ViewOfPreviewTick(int tick)
{
    return tick <= 7 ? tick : 15 - tick;
}

int NextPreviewTick(int tick)
{
    return tick >= 14 ? 1 : tick + 1;
}

void BeginPreview(Document &doc, const PreviewSettings &settings)
{
    doc.ViewsCurrent = 0;
    doc.FocusLayer = settings.FocusRow;
    // Depth or view count changed: relief layers must be rendered again.
    if (doc.ViewsStale == 1)
        for (Layer &layer : doc.Layers)
            if (layer.GroupId == GroupReliefRendered)
                layer.GroupId = GroupReliefToRender;
    doc.ViewsStale = 0;
    doc.Depth = settings.Depth;
    doc.Lpi = settings.Lpi;
}

void PreviewStarted(Document &doc)
{
    doc.AppState = StateAnimating;
    doc.ViewsCurrent = 1;
    doc.PreviewStop = 0;
}

void StopPreview(Document &doc)
{
    doc.PreviewStop = PreviewStopped;
    doc.AppState = StateStopped;
}

DepthGuidance DepthGuidanceFor(const Document &doc, const std::vector<int32_t> &offsets, int32_t focusOffset, int64_t lenses,
                               int64_t columns)
{
    DepthGuidance d;
    // Where the views put a layer, as the compositor places it.
    auto left = [&](size_t i, int view) {
        return RoundDiv((int64_t(offsets[i]) - focusOffset) * (view - doc.CentreView) * doc.Depth, 6 * Fixed4One);
    };
    for (size_t i = 0; i < offsets.size() && i < doc.Layers.size(); ++i)
        for (int v = 1; v < ViewCount; ++v) {
            const int64_t shift = std::abs(left(i, v + 1) - left(i, v));
            if (shift > d.CanvasPixels) {
                d.CanvasPixels = SaturatedInt32(shift);
                d.Row = int32_t(doc.LayerCount - i);
            }
        }
    // The print's lenses lie over the columns printed: all of them, or the crop's.
    const int64_t printed = doc.CropWidth > 0 ? doc.CropWidth : doc.ImageWidth;
    if (printed > 0) {
        d.PrintPixels = double(d.CanvasPixels) * double(columns) / double(printed);
        d.LensWidths = double(d.CanvasPixels) * double(lenses) / double(printed);
    }
    return d;
}

QString DepthGuidanceText(const DepthGuidance &d)
{
    QString text = Vistrel::tr("Largest shift between neighbouring views: %1 print pixels, %2 of a lens width "
                               "(layer %3).")
                       .arg(QString::number(d.PrintPixels, 'f', 1), QString::number(d.LensWidths, 'f', 2))
                       .arg(d.Row);
    if (d.Ghosts())
        text += Vistrel::tr(" More than one lens width: the picture will ghost. Lower the depth or the offsets.");
    return text;
}

void ChooseCrop(Document &doc, const std::vector<int32_t> &offsets, int32_t focusOffset)
{
    doc.CropLeft = 0;
    doc.CropWidth = 0;
    if (doc.CropEdges == 0 || doc.ImageWidth <= 0 || doc.ImageHeight <= 0)
        return;
    BuildGroupTables(doc);
    std::vector<int> views;
    std::vector<std::vector<int32_t>> lefts;
    for (int n = 0; n < ViewCount; ++n) {
        PlaceLayersForView(doc, n + 1, offsets, focusOffset);
        views.push_back(n);
        lefts.push_back(doc.LayerViewLeft);
    }
    FullResolutionBands bands(doc, views, lefts);
    const int bytes = DocumentBits(doc) / 8;
    const int band = std::max(1, int((4 << 20) / (int64_t(ViewCount) * doc.ImageWidth * (bytes + 1))));
    std::vector<std::vector<uint8_t>> colour(ViewCount), coverage(ViewCount);
    std::vector<uint8_t *> colourRows, coverageRows;
    for (int v = 0; v < ViewCount; ++v) {
        colour[size_t(v)].resize(size_t(doc.ImageWidth) * bytes * size_t(band));
        coverage[size_t(v)].resize(size_t(doc.ImageWidth) * size_t(band));
        colourRows.push_back(colour[size_t(v)].data());
        coverageRows.push_back(coverage[size_t(v)].data());
    }
    // A column is kept when every view covers it fully in every row.
    std::vector<uint8_t> covered(size_t(doc.ImageWidth), 1);
    for (int first = 0; first < doc.ImageHeight; first += band) {
        const int count = std::min(band, doc.ImageHeight - first);
        bands.ComposeWhole(first, count, colourRows, coverageRows);
        for (int v = 0; v < ViewCount; ++v)
            for (size_t i = 0; i < size_t(doc.ImageWidth) * size_t(count); ++i)
                if (coverage[size_t(v)][i] != 255)
                    covered[i % size_t(doc.ImageWidth)] = 0;
    }
    const auto firstKept = std::find(covered.begin(), covered.end(), 1);
    if (firstKept == covered.end())
        throw VistrelError(Vistrel::tr("No column of the picture is covered by every view, so there is nothing "
                                          "to crop to. Turn the crop off, or lower the depth or the offsets."),
                           ErrorKind::Input);
    const auto lastKept = std::find(covered.rbegin(), covered.rend(), 1);
    doc.CropLeft = int32_t(firstKept - covered.begin());
    doc.CropWidth = int32_t(covered.rend() - lastKept) - doc.CropLeft;
}

Fixed4 CroppedAspectRatio(const Document &doc)
{
    if (doc.CropWidth <= 0 || doc.ImageWidth <= 0)
        return doc.AspectRatio;
    return RoundDiv(doc.AspectRatio * doc.CropWidth, doc.ImageWidth);
}

PrintSettingsOutcome ReadCroppedPrintSettings(const Document &doc, PrintFieldTexts texts)
{
    if (doc.CropWidth > 0)
        texts.HeightCm.clear();
    return ReadPrintSettings(texts, CroppedAspectRatio(doc), doc.MaxWidthCm);
}

QString CropText(const Document &doc, Fixed4 widthCm, Fixed4 heightCm)
{
    if (doc.CropWidth <= 0)
        return {};
    const int32_t cut = doc.ImageWidth - doc.CropWidth;
    QString text = Vistrel::tr("%1 columns cut at the edges that not every view covers.").arg(cut);
    if (widthCm > 0) {
        text += Vistrel::tr(" The height follows to keep the picture's proportions: %1 x %2 cm.")
                    .arg(CentimetresText(widthCm), CentimetresText(heightCm));
    }
    return text;
}
