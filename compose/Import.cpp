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
    Doc.UngroupedLayers.clear();
    for (int i = int(Doc.Layers.size()) - 1; i >= 0; --i)
        if (Doc.Layers[i].GroupId == GroupPlain)
            Doc.UngroupedLayers.push_back(uint16_t(i));
    Doc.UngroupedCount = int32_t(Doc.UngroupedLayers.size());
    if (Doc.UngroupedCount == 0) {
        Doc.FocusPick = 0;
        Doc.FocusLayer = 0;
        return;
    }
    // About two fifths of the way down the ungrouped layers.
    Doc.FocusPick = int32_t(RoundDiv(2 * int64_t(Doc.UngroupedCount) - 2, 5));
    Doc.FocusLayer = Doc.LayerCount - Doc.UngroupedLayers[Doc.FocusPick];
}

void ComputeDefaultOffsets()
{
    Doc.OffsetSpan = int64_t(Doc.ImageWidth) * Fixed4One / 16;
    Doc.DefaultOffsets.assign(Doc.Layers.size(), 0);
    if (Doc.UngroupedCount == 0)
        return;
    // The 0.001 and 0.999 keep the divisors off zero: with the focus on the top
    // layer the front step is only ever multiplied by 0, and with it on the
    // bottom one the back step is never used.
    const double span = FromFixed4(Doc.OffsetSpan);
    Doc.FrontStep = ToFixed4(span * 2.0 / 3.0 / (Doc.FocusPick + 0.001));
    Doc.BackStep = ToFixed4(span / (Doc.UngroupedCount - Doc.FocusPick - 0.999));
    for (int b = 0; b < Doc.UngroupedCount; ++b) {
        const Fixed4 step = b <= Doc.FocusPick ? Doc.FrontStep : Doc.BackStep;
        Doc.DefaultOffsets[Doc.UngroupedLayers[b]] = (b - Doc.FocusPick) * step;
    }
}

std::vector<int32_t> DefaultGridOffsets()
{
    std::vector<int32_t> offsets(Doc.DefaultOffsets.size());
    for (size_t i = 0; i < offsets.size(); ++i)
        offsets[i] = int32_t(RoundDiv(Doc.DefaultOffsets[i], Fixed4One));
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
        return {Doc.ComposedImage, Doc.ComposedAlpha, Doc.OrderMap, Doc.DocumentOpen, Doc.AppState, Doc.LayerLines, Doc.CurrentLines,
                Doc.ImageWidth, Doc.ImageHeight, Doc.WorkWidth, Doc.WorkHeight, Doc.CurrentView, Doc.FocusLayer, Doc.FocusPick, Doc.UngroupedCount,
                Doc.WorkScale, Doc.PsdDpi, Doc.PsdWidthCm, Doc.PsdHeightCm, Doc.AspectRatio, Doc.OffsetSpan, Doc.FrontStep, Doc.BackStep,
                Doc.PsdColorMode, Doc.LayerCount, Doc.Layers, Doc.LayerImages, Doc.LayerAlphas, Doc.LayerViewLeft, Doc.UngroupedLayers,
                Doc.DefaultOffsets, Doc.GroupMembers, Doc.GroupViewLayer};
    }
    void PutBack() const
    {
        Doc.ComposedImage = Composed;
        Doc.ComposedAlpha = ComposedCoverage;
        Doc.OrderMap = Orders;
        Doc.DocumentOpen = Open;
        Doc.AppState = State;
        Doc.LayerLines = Lines;
        Doc.CurrentLines = Current;
        Doc.ImageWidth = Width;
        Doc.ImageHeight = Height;
        Doc.WorkWidth = WWidth;
        Doc.WorkHeight = WHeight;
        Doc.CurrentView = View;
        Doc.FocusLayer = Focus;
        Doc.FocusPick = Pick;
        Doc.UngroupedCount = Ungrouped;
        Doc.WorkScale = Scale;
        Doc.PsdDpi = Dpi;
        Doc.PsdWidthCm = WidthCm;
        Doc.PsdHeightCm = HeightCm;
        Doc.AspectRatio = Aspect;
        Doc.OffsetSpan = Span;
        Doc.FrontStep = Front;
        Doc.BackStep = Back;
        Doc.PsdColorMode = Mode;
        Doc.LayerCount = Count;
        Doc.Layers = LayerTable;
        Doc.LayerImages = Images;
        Doc.LayerAlphas = Alphas;
        Doc.LayerViewLeft = Lefts;
        Doc.UngroupedLayers = UngroupedTable;
        Doc.DefaultOffsets = Defaults;
        Doc.GroupMembers = Members;
        Doc.GroupViewLayer = ViewLayers;
    }
};

// The new document in the variables, up to its composed picture.
void TakeDocument(PsdDocument &doc, const std::function<void(int)> &progress)
{
    Doc.ComposedImage = QImage();
    Doc.ComposedAlpha = QImage();
    Doc.OrderMap = QImage();
    Doc.DocumentOpen = 1;
    Doc.AppState = StateImported;
    Doc.LayerLines.clear();
    Doc.CurrentLines.clear();
    Doc.UngroupedLayers.clear();

    Doc.ImageWidth = doc.ImageWidth;
    Doc.ImageHeight = doc.ImageHeight;
    Doc.WorkWidth = doc.WorkWidth;
    Doc.WorkHeight = doc.WorkHeight;
    Doc.WorkScale = doc.WorkScale;
    Doc.PsdColorMode = doc.ColorMode;
    Doc.PsdDpi = doc.Dpi;
    Doc.PsdWidthCm = doc.WidthCm;
    Doc.PsdHeightCm = doc.HeightCm;
    Doc.Layers = std::move(doc.Layers);
    Doc.LayerImages = std::move(doc.Images);
    Doc.LayerAlphas = std::move(doc.Alphas);
    Doc.LayerCount = uint16_t(Doc.Layers.size());
    Doc.AspectRatio = Doc.PsdHeightCm == 0 ? Fixed4One : ToFixed4(FromFixed4(Doc.PsdWidthCm) / FromFixed4(Doc.PsdHeightCm));

    Doc.LayerViewLeft.resize(Doc.Layers.size());
    for (size_t i = 0; i < Doc.Layers.size(); ++i) {
        Doc.LayerViewLeft[i] = Doc.Layers[i].Left;
        Tlayer &layer = Doc.Layers[i];
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
    out.Lpi = request.Lpi.isEmpty() ? Doc.Lpi : StrToFixed4(request.Lpi);
    std::optional<double> width;
    if (!request.WidthCm.isEmpty())
        width = StrToFloat(request.WidthCm);

    if (request.Index)
        ImportDocument(*request.Index, progress);
    else
        ImportDocument(request.Path, progress);
    Doc.PsdPath = request.Path;
    Doc.Lpi = out.Lpi;
    Doc.ViewsCurrent = Doc.PrintWritten = Doc.AnimationPlayed = 0;
    Doc.DrawLineActive = 0;
    if (width)
        out.HeightShown = PrintHeightText(*width, Doc.AspectRatio);

    out.Caption = QStringLiteral("Vistrel   ") + QFileInfo(Doc.PsdPath).fileName();
    out.SizeText = ShortFixed4Text(Doc.PsdWidthCm) + QStringLiteral(" x ") + ShortFixed4Text(Doc.PsdHeightCm);
    out.DpiText = ShortFixed4Text(Doc.PsdDpi);
    out.ModeText = ColorModeName(Doc.PsdColorMode);
    out.LayersText = QString::number(Doc.LayerCount);
    out.FocusText = QString::number(Doc.FocusLayer);
    out.OffsetCells = OffsetCellTexts(DefaultGridOffsets());
    for (int row = 1; row <= Doc.LayerCount; ++row)
        out.GroupCells << GroupLetter(Doc.Layers[size_t(Doc.LayerCount - row)].GroupId);
    out.PrintName = ReplaceExtension(Doc.PsdPath, QStringLiteral(".tif"));
    out.LayeredPsdName = ReplaceExtension(Doc.PsdPath, QStringLiteral("_3D.psd"));
    out.GifName = ReplaceExtension(Doc.PsdPath, QStringLiteral(".gif"));
    out.ProjectName = ReplaceExtension(Doc.PsdPath, QStringLiteral(".hx4p2"));
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
