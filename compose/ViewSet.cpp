#include "ViewSet.h"

#include "BmpCodec.h"
#include "Compositor.h"
#include "Document.h"
#include "Errors.h"
#include "WorkFolder.h"

#include <algorithm>
#include <cstdlib>

void GenerateViewFiles(const std::vector<int32_t> &offsets, int32_t focusOffset,
                       const std::function<void(int)> &progress)
{
    FaultPoint("GenerateViewFiles");
    BuildGroupTables();
    if (progress)
        progress(10);
    Doc.CentreView = 4;
    for (int v = 1; v <= ViewCount; ++v) {
        // 90 / 7 per view, from 10.
        const int base = 10 + int(RoundDiv(int64_t(v - 1) * 90, 7));
        PlaceLayersForView(v, offsets, focusOffset);
        Doc.CurrentView = v - 1;
        ComposeView(Resolution::Working, 13, base, progress);
        if (Doc.CropWidth > 0) {  // the working columns of the crop
            const int left = int(ScaleByFixed4(Doc.CropLeft, Doc.WorkScale));
            const int right = std::max(left + 1, int(ScaleByFixed4(int64_t(Doc.CropLeft) + Doc.CropWidth, Doc.WorkScale)));
            Doc.ComposedImage = Doc.ComposedImage.copy(left, 0, std::min(right, Doc.WorkWidth) - left, Doc.WorkHeight);
            Doc.ComposedAlpha = Doc.ComposedAlpha.copy(left, 0, std::min(right, Doc.WorkWidth) - left, Doc.WorkHeight);
        }
        SaveImage(Doc.ComposedImage, WorkFileName(QStringLiteral("vw"), v));
        SaveImage(Doc.ComposedAlpha, WorkFileName(QStringLiteral("vwt"), v));
        if (Doc.PsdColorMode != ModeRgb)
            SaveImage(ViewablePicture(Doc.ComposedImage), WorkFileName(QStringLiteral("vwv"), v));
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

void BeginPreview(const PreviewSettings &settings)
{
    Doc.ViewsCurrent = 0;
    Doc.FocusLayer = settings.FocusRow;
    // Depth or view count changed: relief layers must be rendered again.
    if (Doc.ViewsStale == 1)
        for (Tlayer &layer : Doc.Layers)
            if (layer.GroupId == GroupReliefRendered)
                layer.GroupId = GroupReliefToRender;
    Doc.ViewsStale = 0;
    Doc.Depth = settings.Depth;
    Doc.Lpi = settings.Lpi;
}

void PreviewStarted()
{
    Doc.AppState = StateAnimating;
    Doc.ViewsCurrent = 1;
    Doc.PreviewStop = 0;
    Doc.HintCurrent = Doc.HintStopPreview;
}

void StopPreview()
{
    Doc.PreviewStop = PreviewStopped;
    Doc.AppState = StateStopped;
    Doc.HintCurrent = Doc.HintExport;
}

DepthGuidance DepthGuidanceFor(const std::vector<int32_t> &offsets, int32_t focusOffset, int64_t lenses,
                               int64_t columns)
{
    DepthGuidance d;
    // Where the views put a layer, as the compositor places it.
    auto left = [&](size_t i, int view) {
        return RoundDiv((int64_t(offsets[i]) - focusOffset) * (view - Doc.CentreView) * Doc.Depth, 6 * Fixed4One);
    };
    for (size_t i = 0; i < offsets.size() && i < Doc.Layers.size(); ++i)
        for (int v = 1; v < ViewCount; ++v) {
            const int64_t shift = std::abs(left(i, v + 1) - left(i, v));
            if (shift > d.CanvasPixels) {
                d.CanvasPixels = SaturatedInt32(shift);
                d.Row = int32_t(Doc.LayerCount - i);
            }
        }
    // The print's lenses lie over the columns printed: all of them, or the crop's.
    const int64_t printed = Doc.CropWidth > 0 ? Doc.CropWidth : Doc.ImageWidth;
    if (printed > 0) {
        d.PrintPixels = double(d.CanvasPixels) * double(columns) / double(printed);
        d.LensWidths = double(d.CanvasPixels) * double(lenses) / double(printed);
    }
    return d;
}

QString DepthGuidanceText(const DepthGuidance &d, uint8_t language)
{
    const bool chinese = language == 1;
    QString text = chinese ? QStringLiteral("相邻视图间最大位移：%1 打印像素，%2 个透镜宽度（第 %3 层）。")
                           : QStringLiteral("Largest shift between neighbouring views: %1 print pixels, %2 of a lens "
                                            "width (layer %3).");
    text = text.arg(QString::number(d.PrintPixels, 'f', 1), QString::number(d.LensWidths, 'f', 2))
               .arg(d.Row);
    if (d.Ghosts())
        text += chinese ? QStringLiteral(" 超过一个透镜宽度：画面会出现重影。请减小景深或移位。")
                        : QStringLiteral(" More than one lens width: the picture will ghost. Lower the depth or the "
                                         "offsets.");
    return text;
}

void ChooseCrop(const std::vector<int32_t> &offsets, int32_t focusOffset)
{
    Doc.CropLeft = 0;
    Doc.CropWidth = 0;
    if (Doc.CropEdges == 0 || Doc.ImageWidth <= 0 || Doc.ImageHeight <= 0)
        return;
    BuildGroupTables();
    std::vector<int> views;
    std::vector<std::vector<int32_t>> lefts;
    for (int n = 0; n < ViewCount; ++n) {
        PlaceLayersForView(n + 1, offsets, focusOffset);
        views.push_back(n);
        lefts.push_back(Doc.LayerViewLeft);
    }
    FullResolutionBands bands(views, lefts);
    const int bytes = DocumentBits() / 8;
    const int band = std::max(1, int((4 << 20) / (int64_t(ViewCount) * Doc.ImageWidth * (bytes + 1))));
    std::vector<std::vector<uint8_t>> colour(ViewCount), coverage(ViewCount);
    std::vector<uint8_t *> colourRows, coverageRows;
    for (int v = 0; v < ViewCount; ++v) {
        colour[size_t(v)].resize(size_t(Doc.ImageWidth) * bytes * size_t(band));
        coverage[size_t(v)].resize(size_t(Doc.ImageWidth) * size_t(band));
        colourRows.push_back(colour[size_t(v)].data());
        coverageRows.push_back(coverage[size_t(v)].data());
    }
    // A column is kept when every view covers it fully in every row.
    std::vector<uint8_t> covered(size_t(Doc.ImageWidth), 1);
    for (int first = 0; first < Doc.ImageHeight; first += band) {
        const int count = std::min(band, Doc.ImageHeight - first);
        bands.ComposeWhole(first, count, colourRows, coverageRows);
        for (int v = 0; v < ViewCount; ++v)
            for (size_t i = 0; i < size_t(Doc.ImageWidth) * size_t(count); ++i)
                if (coverage[size_t(v)][i] != 255)
                    covered[i % size_t(Doc.ImageWidth)] = 0;
    }
    const auto firstKept = std::find(covered.begin(), covered.end(), 1);
    if (firstKept == covered.end())
        throw VistrelError(QStringLiteral("No column of the picture is covered by every view, so there is nothing "
                                          "to crop to. Turn the crop off, or lower the depth or the offsets."),
                           ErrorKind::Input);
    const auto lastKept = std::find(covered.rbegin(), covered.rend(), 1);
    Doc.CropLeft = int32_t(firstKept - covered.begin());
    Doc.CropWidth = int32_t(covered.rend() - lastKept) - Doc.CropLeft;
}

Fixed4 CroppedAspectRatio()
{
    if (Doc.CropWidth <= 0 || Doc.ImageWidth <= 0)
        return Doc.AspectRatio;
    return RoundDiv(Doc.AspectRatio * Doc.CropWidth, Doc.ImageWidth);
}

PrintSettingsOutcome ReadCroppedPrintSettings(PrintFieldTexts texts)
{
    if (Doc.CropWidth > 0)
        texts.HeightCm.clear();
    return ReadPrintSettings(texts, CroppedAspectRatio());
}

QString CropText(uint8_t language, Fixed4 widthCm, Fixed4 heightCm)
{
    if (Doc.CropWidth <= 0)
        return {};
    const int32_t cut = Doc.ImageWidth - Doc.CropWidth;
    QString text = language == 1 ? QStringLiteral("边缘裁去 %1 列（并非每个视图都覆盖）。").arg(cut)
                                 : QStringLiteral("%1 columns cut at the edges that not every view covers.").arg(cut);
    if (widthCm > 0) {
        // Centimetres to two decimals, as short as they go.
        auto cm = [](Fixed4 v) { return ShortText(double(RoundDiv(v, 100)) / 100); };
        text += language == 1 ? QStringLiteral("打印高度随之改变，保持画面比例：%1 x %2 厘米。").arg(cm(widthCm), cm(heightCm))
                              : QStringLiteral(" The height follows to keep the picture's proportions: %1 x %2 cm.")
                                    .arg(cm(widthCm), cm(heightCm));
    }
    return text;
}
