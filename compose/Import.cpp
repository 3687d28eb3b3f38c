#include "Import.h"

#include "Compositor.h"
#include "Document.h"
#include "Errors.h"
#include "ParameterRules.h"
#include "PsdReader.h"

#include <QFileInfo>
#include <optional>

void ChooseDefaultFocus()
{
    UngroupedLayers.clear();
    for (int i = int(Layers.size()) - 1; i >= 0; --i)
        if (Layers[i].GroupId == GroupPlain)
            UngroupedLayers.push_back(uint16_t(i));
    UngroupedCount = int32_t(UngroupedLayers.size());
    if (UngroupedCount == 0) {
        FocusPick = 0;
        FocusLayer = 0;
        return;
    }
    // About two fifths of the way down the ungrouped layers.
    FocusPick = int32_t(RoundDiv(2 * int64_t(UngroupedCount) - 2, 5));
    FocusLayer = LayerCount - UngroupedLayers[FocusPick];
}

void ComputeDefaultOffsets()
{
    OffsetSpan = int64_t(ImageWidth) * Fixed4One / 16;
    DefaultOffsets.assign(Layers.size(), 0);
    if (UngroupedCount == 0)
        return;
    // The 0.001 and 0.999 keep the divisors off zero: with the focus on the top
    // layer the front step is only ever multiplied by 0, and with it on the
    // bottom one the back step is never used.
    const double span = FromFixed4(OffsetSpan);
    FrontStep = ToFixed4(span * 2.0 / 3.0 / (FocusPick + 0.001));
    BackStep = ToFixed4(span / (UngroupedCount - FocusPick - 0.999));
    for (int b = 0; b < UngroupedCount; ++b) {
        const Fixed4 step = b <= FocusPick ? FrontStep : BackStep;
        DefaultOffsets[UngroupedLayers[b]] = (b - FocusPick) * step;
    }
}

std::vector<int32_t> DefaultGridOffsets()
{
    std::vector<int32_t> offsets(DefaultOffsets.size());
    for (size_t i = 0; i < offsets.size(); ++i)
        offsets[i] = int32_t(RoundDiv(DefaultOffsets[i], Fixed4One));
    return offsets;
}

QString GroupLetter(uint8_t groupId)
{
    if (groupId == 0)
        return {};
    return QString(QChar(uchar((groupId + 64) % 256)));
}

QString ReplaceExtension(const QString &path, const QString &replacement)
{
    const QString suffix = QFileInfo(path).suffix();
    return suffix.isEmpty() ? path + replacement : path.left(path.size() - suffix.size() - 1) + replacement;
}

namespace {

// The variables an import replaces, kept so that an import that fails after
// it began to replace them can put the open document back as it was.
struct ImportedState {
    QImage Composed, ComposedCoverage, Orders;
    uint8_t Open, State;
    Tnnlayer Lines;
    Tnlayer Current;
    int32_t Width, Height, WWidth, WHeight, View, Focus, Pick, Ungrouped;
    Fixed4 Scale, Dpi, WidthCm, HeightCm, Aspect, Span, Front, Back;
    uint16_t Mode, Count;
    alayers LayerTable;
    abitmap Images, Alphas;
    std::vector<int32_t> Lefts;
    std::vector<uint16_t> UngroupedTable;
    std::vector<Fixed4> Defaults;
    std::vector<std::vector<uint16_t>> Members;
    std::vector<std::array<uint16_t, ViewCount>> ViewLayers;

    static ImportedState Take()
    {
        return {ComposedImage, ComposedAlpha, OrderMap, DocumentOpen, AppState, LayerLines, CurrentLines,
                ImageWidth, ImageHeight, WorkWidth, WorkHeight, CurrentView, FocusLayer, FocusPick, UngroupedCount,
                WorkScale, PsdDpi, PsdWidthCm, PsdHeightCm, AspectRatio, OffsetSpan, FrontStep, BackStep,
                PsdColorMode, LayerCount, Layers, LayerImages, LayerAlphas, LayerViewLeft, UngroupedLayers,
                DefaultOffsets, GroupMembers, GroupViewLayer};
    }
    void PutBack() const
    {
        ComposedImage = Composed;
        ComposedAlpha = ComposedCoverage;
        OrderMap = Orders;
        DocumentOpen = Open;
        AppState = State;
        LayerLines = Lines;
        CurrentLines = Current;
        ImageWidth = Width;
        ImageHeight = Height;
        WorkWidth = WWidth;
        WorkHeight = WHeight;
        CurrentView = View;
        FocusLayer = Focus;
        FocusPick = Pick;
        UngroupedCount = Ungrouped;
        WorkScale = Scale;
        PsdDpi = Dpi;
        PsdWidthCm = WidthCm;
        PsdHeightCm = HeightCm;
        AspectRatio = Aspect;
        OffsetSpan = Span;
        FrontStep = Front;
        BackStep = Back;
        PsdColorMode = Mode;
        LayerCount = Count;
        Layers = LayerTable;
        LayerImages = Images;
        LayerAlphas = Alphas;
        LayerViewLeft = Lefts;
        UngroupedLayers = UngroupedTable;
        DefaultOffsets = Defaults;
        GroupMembers = Members;
        GroupViewLayer = ViewLayers;
    }
};

// The new document in the variables, up to its composed picture.
void TakeDocument(PsdDocument &doc, const std::function<void(int)> &progress)
{
    ComposedImage = QImage();
    ComposedAlpha = QImage();
    OrderMap = QImage();
    DocumentOpen = 1;
    AppState = StateImported;
    LayerLines.clear();
    CurrentLines.clear();
    UngroupedLayers.clear();

    ImageWidth = doc.ImageWidth;
    ImageHeight = doc.ImageHeight;
    WorkWidth = doc.WorkWidth;
    WorkHeight = doc.WorkHeight;
    WorkScale = doc.WorkScale;
    PsdColorMode = doc.ColorMode;
    PsdDpi = doc.Dpi;
    PsdWidthCm = doc.WidthCm;
    PsdHeightCm = doc.HeightCm;
    Layers = std::move(doc.Layers);
    LayerImages = std::move(doc.Images);
    LayerAlphas = std::move(doc.Alphas);
    LayerCount = uint16_t(Layers.size());
    AspectRatio = PsdHeightCm == 0 ? Fixed4One : ToFixed4(FromFixed4(PsdWidthCm) / FromFixed4(PsdHeightCm));

    LayerViewLeft.resize(Layers.size());
    for (size_t i = 0; i < Layers.size(); ++i) {
        LayerViewLeft[i] = Layers[i].Left;
        Tlayer &layer = Layers[i];
        if (layer.ReliefDepth == 0)
            layer.ReliefDepth = Fixed4One;
        if (layer.Smooth == 0)
            layer.Smooth = 5;
        if (layer.BaseOrder == 0)
            layer.BaseOrder = 7;
        // A PSD may carry the value of a rendered relief, whose views no
        // work folder holds yet: it is rendered at the next view generation.
        if (layer.GroupId == GroupReliefRendered)
            layer.GroupId = GroupReliefToRender;
    }

    ChooseDefaultFocus();
    ComputeDefaultOffsets();
    BuildGroupTables();
    FaultPoint("ComposeImported");
    ComposeView(Resolution::Working, 40, 60, progress);
}

}  // namespace

void ImportDocument(const QString &path, const std::function<void(int)> &progress)
{
    FaultPoint("ImportDocument");
    // Check and decode everything first; the layer files are written under
    // staging names, and the open document stays as it is.
    ImportDocument(ReadPsdIndex(path), progress);
}

void ImportDocument(const PsdIndex &index, const std::function<void(int)> &progress)
{
    PsdDocument doc = ReadPsdLayers(index, [&](int percent) {
        if (progress)
            progress(int(RoundDiv(int64_t(percent) * 60, 100)));
    });
    const int count = int(doc.Layers.size());

    // Then every step that can still fail, with the way back kept: the
    // variables as they were, the old layer files until the new ones are in.
    std::optional<ImportedState> before;
    try {
        before = ImportedState::Take();
        TakeDocument(doc, progress);
        CommitPsdFiles(count);
    } catch (...) {
        if (before)
            before->PutBack();
        RemoveStagedPsdFiles(count);
        throw;
    }
    if (progress)
        progress(100);
}

ImportOutcome ImportCommand(const ImportRequest &request, const std::function<void(int)> &progress)
{
    // The fields the import takes must hold numbers before anything changes.
    ImportOutcome out;
    out.Lpi = request.Lpi.isEmpty() ? Lpi : StrToFixed4(request.Lpi);
    std::optional<double> width;
    if (!request.WidthCm.isEmpty())
        width = StrToFloat(request.WidthCm);

    if (request.Index)
        ImportDocument(*request.Index, progress);
    else
        ImportDocument(request.Path, progress);
    PsdPath = request.Path;
    Lpi = out.Lpi;
    ViewsCurrent = PrintWritten = AnimationPlayed = 0;
    DrawLineActive = 0;
    if (width)
        out.HeightShown = PrintHeightText(*width, AspectRatio);

    out.Caption = QStringLiteral("Vistrel   ") + QFileInfo(PsdPath).fileName();
    out.SizeText = ShortFixed4Text(PsdWidthCm) + QStringLiteral(" x ") + ShortFixed4Text(PsdHeightCm);
    out.DpiText = ShortFixed4Text(PsdDpi);
    out.ModeText = ColorModeName(PsdColorMode);
    out.LayersText = QString::number(LayerCount);
    out.FocusText = QString::number(FocusLayer);
    out.OffsetCells = OffsetCellTexts(DefaultGridOffsets());
    for (int row = 1; row <= LayerCount; ++row)
        out.GroupCells << GroupLetter(Layers[size_t(LayerCount - row)].GroupId);
    out.PrintName = ReplaceExtension(PsdPath, QStringLiteral(".tif"));
    out.LayeredPsdName = ReplaceExtension(PsdPath, QStringLiteral("_3D.psd"));
    out.GifName = ReplaceExtension(PsdPath, QStringLiteral(".gif"));
    out.ProjectName = ReplaceExtension(PsdPath, QStringLiteral(".hx4p2"));
    return out;
}

OpenedProject OpenProjectCommand(const QString &projectPath, ImportRequest request,
                                 const std::function<void(int)> &progress)
{
    const QByteArray bytes = ReadProjectFile(projectPath);
    request.Path = FindProjectPsd(projectPath, ProjectPsdPath(bytes));
    // The older layouts need the PSD's layer count to be read at all.
    const PsdIndex index = ReadPsdIndex(request.Path);
    const ProjectData project = ParseProject(bytes, projectPath, int(index.Layers.size()));
    request.Index = &index;
    OpenedProject opened;
    opened.Import = ImportCommand(request, progress);
    opened.Project = ApplyProject(project, projectPath);
    return opened;
}
