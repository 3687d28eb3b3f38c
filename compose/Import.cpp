#include "Import.h"

#include "Compositor.h"
#include "Document.h"
#include "Errors.h"
#include "ParameterRules.h"
#include "PsdReader.h"
#include "Texts.h"

#include <QFileInfo>
#include <algorithm>
#include <optional>

void ChooseDefaultFocus(Document &doc, bool passOverFolderMarks)
{
    doc.UngroupedLayers.clear();
    for (int i = int(doc.Layers.size()) - 1; i >= 0; --i)
        if (doc.Layers[i].GroupId == GroupPlain &&
            !(passOverFolderMarks && doc.Layers[i].FolderMark != Layer::Folder::None))
            doc.UngroupedLayers.push_back(uint16_t(i));
    doc.UngroupedCount = int32_t(doc.UngroupedLayers.size());
    if (doc.UngroupedCount == 0) {
        doc.FocusPick = 0;
        doc.FocusLayer = 0;
        return;
    }
    // About two fifths of the way down the ungrouped layers.
    doc.FocusPick = int32_t(RoundDiv(2 * int64_t(doc.UngroupedCount) - 2, 5));
    doc.FocusLayer = doc.LayerCount - doc.UngroupedLayers[doc.FocusPick];
}

void ComputeDefaultOffsets(Document &doc)
{
    doc.OffsetSpan = int64_t(doc.ImageWidth) * Fixed4One / 16;
    doc.DefaultOffsets.assign(doc.Layers.size(), 0);
    if (doc.UngroupedCount == 0)
        return;
    // The 0.001 and 0.999 keep the divisors off zero: with the focus on the top
    // layer the front step is only ever multiplied by 0, and with it on the
    // bottom one the back step is never used.
    const double span = FromFixed4(doc.OffsetSpan);
    doc.FrontStep = ToFixed4(span * 2.0 / 3.0 / (doc.FocusPick + 0.001));
    doc.BackStep = ToFixed4(span / (doc.UngroupedCount - doc.FocusPick - 0.999));
    for (int b = 0; b < doc.UngroupedCount; ++b) {
        const Fixed4 step = b <= doc.FocusPick ? doc.FrontStep : doc.BackStep;
        doc.DefaultOffsets[doc.UngroupedLayers[b]] = (b - doc.FocusPick) * step;
    }
}

std::vector<int32_t> DefaultGridOffsets(const Document &doc)
{
    std::vector<int32_t> offsets(doc.DefaultOffsets.size());
    for (size_t i = 0; i < offsets.size(); ++i)
        offsets[i] = int32_t(RoundDiv(doc.DefaultOffsets[i], Fixed4One));
    return offsets;
}

namespace {

// Once the layers and their groups are known: the focus, the default offsets,
// the group tables and the picture at working size.
void ComposeImported(Document &doc, bool passOverFolderMarks, const std::function<void(int)> &progress)
{
    ChooseDefaultFocus(doc, passOverFolderMarks);
    ComputeDefaultOffsets(doc);
    BuildGroupTables(doc);
    FaultPoint("ComposeImported");
    ComposeView(doc, Resolution::Working, progress ? 40 : 0, progress ? 60 : 0, progress);
}

}  // namespace

void MakeFoldersFlipGroups(Document &doc)
{
    int next = 0;
    for (const Layer &layer : doc.Layers)
        if (IsFlipGroup(layer.GroupId))
            next = std::max<int>(next, layer.GroupId);
    int depth = 0;
    uint8_t group = GroupPlain;
    bool changed = false;
    for (int i = int(doc.Layers.size()) - 1; i >= 0; --i) {  // from the top, where a folder starts
        Layer &layer = doc.Layers[size_t(i)];
        if (layer.FolderMark == Layer::Folder::Start) {
            if (depth++ == 0) {
                next = next + 1 == GroupReliefRendered ? next + 2 : next + 1;
                group = next <= 254 ? uint8_t(next) : GroupPlain;  // past 254 there are no numbers left
            }
        } else if (layer.FolderMark == Layer::Folder::End) {
            depth = std::max(0, depth - 1);
        } else if (depth > 0 && group != GroupPlain) {
            layer.GroupId = group;
            changed = true;
        }
    }
    if (changed)
        ComposeImported(doc, true, {});
}

QStringList LayerNameCells(const Document &doc)
{
    QStringList cells;
    int depth = 0;
    for (int i = int(doc.Layers.size()) - 1; i >= 0; --i) {  // the top layer first, as the grid shows them
        const Layer &layer = doc.Layers[size_t(i)];
        if (layer.FolderMark == Layer::Folder::End) {
            depth = std::max(0, depth - 1);
            cells << QString();
            continue;
        }
        const QString indent(2 * depth, QLatin1Char(' '));
        if (layer.FolderMark == Layer::Folder::Start) {
            cells << indent + QStringLiteral("\u25BE ") + layer.Name;
            ++depth;
        } else {
            cells << indent + layer.Name;
        }
    }
    return cells;
}

GroupCellOutcome ReadGroupCell(const QString &typed, int row, uint8_t currentGroup)
{
    const QString text = typed.trimmed();
    GroupCellOutcome out;
    auto accept = [&](int id) {
        out.Accepted = true;
        out.GroupId = uint8_t(id);
        out.Shown = GroupLetter(out.GroupId);
        return out;
    };
    if (text.isEmpty())
        return accept(GroupPlain);
    const auto isGroup = [](int id) { return id >= 1 && id <= 254 && id != GroupReliefRendered; };
    if (text.size() == 1 && text[0].isLetter() && text[0].toUpper() >= QLatin1Char('A') &&
        text[0].toUpper() <= QLatin1Char('Z'))
        return accept(text[0].toUpper().unicode() - 'A' + 1);
    bool number = false;
    const int typedNumber = text.toInt(&number);
    if (number && isGroup(typedNumber))
        return accept(typedNumber);
    if (isGroup(currentGroup) && text == GroupLetter(currentGroup))
        return accept(currentGroup);  // a PSD's group shown as another character, left as it is
    out.Message = Vistrel::tr("Row %1: a group is a letter from A to Z, or empty for none; \"%2\" is not a group.")
                      .arg(row)
                      .arg(text);
    return out;
}

QString ReplaceExtension(const QString &path, const QString &replacement)
{
    const QString suffix = QFileInfo(path).suffix();
    return suffix.isEmpty() ? path + replacement : path.left(path.size() - suffix.size() - 1) + replacement;
}

namespace {

// The decoded PSD into `doc`, up to its composed picture.
void TakeDocument(Document &doc, PsdDocument &psd, const std::function<void(int)> &progress)
{
    doc.ComposedImage = QImage();
    doc.ComposedAlpha = QImage();
    doc.DocumentOpen = 1;
    doc.AppState = StateImported;
    doc.LayerLines.clear();
    doc.CurrentLines.clear();
    doc.UngroupedLayers.clear();

    doc.ImageWidth = psd.ImageWidth;
    doc.ImageHeight = psd.ImageHeight;
    doc.WorkWidth = psd.WorkWidth;
    doc.WorkHeight = psd.WorkHeight;
    doc.WorkScale = psd.WorkScale;
    doc.PsdColorMode = psd.ColorMode;
    doc.PsdDpi = psd.Dpi;
    doc.IccProfile = psd.IccProfile;
    doc.PsdWidthCm = psd.WidthCm;
    doc.PsdHeightCm = psd.HeightCm;
    doc.Layers = std::move(psd.Layers);
    doc.LayerImages = std::move(psd.Images);
    doc.LayerAlphas = std::move(psd.Alphas);
    doc.LayerCount = uint16_t(doc.Layers.size());
    doc.AspectRatio = doc.PsdHeightCm == 0 ? Fixed4One : ToFixed4(FromFixed4(doc.PsdWidthCm) / FromFixed4(doc.PsdHeightCm));

    doc.LayerViewLeft.resize(doc.Layers.size());
    for (size_t i = 0; i < doc.Layers.size(); ++i) {
        doc.LayerViewLeft[i] = doc.Layers[i].Left;
        Layer &layer = doc.Layers[i];
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

    doc.ImportedGroups.clear();
    for (const Layer &layer : doc.Layers)
        doc.ImportedGroups.push_back(FlipGroupOf(layer.GroupId));
    ComposeImported(doc, false, progress);
}

}  // namespace

void ImportDocument(Document &doc, const QString &path, const std::function<void(int)> &progress)
{
    FaultPoint("ImportDocument");
    ImportDocument(doc, ReadPsdIndex(path), progress);
}

void ImportDocument(Document &doc, const PsdIndex &index, const std::function<void(int)> &progress,
                    const std::function<void(Document &)> &finish)
{
    // Check and decode everything first; the layer files are written under
    // staging names.
    PsdDocument psd = ReadPsdLayers(index, [&](int percent) {
        if (progress)
            progress(int(RoundDiv(int64_t(percent) * 60, 100)));
    });
    const int count = int(psd.Layers.size());

    // The new document is built aside and the old layer files stay until the
    // new ones are in, so a failure at any step leaves the open one as it was.
    Document next = doc;
    try {
        TakeDocument(next, psd, progress);
        if (finish)
            finish(next);
        CommitPsdFiles(count);
    } catch (...) {
        RemoveStagedPsdFiles(count);
        throw;
    }
    doc = std::move(next);
    if (progress)
        progress(100);
}

ImportOutcome ImportCommand(Document &doc, const ImportRequest &request, const std::function<void(int)> &progress)
{
    // The fields the import takes must hold numbers before anything changes.
    ImportOutcome out;
    out.Lpi = request.Lpi.isEmpty() ? doc.Lpi : StrToFixed4(request.Lpi);
    std::optional<double> width;
    if (!request.WidthCm.isEmpty())
        width = StrToFloat(request.WidthCm);

    std::optional<PsdIndex> read;
    if (!request.Index) {
        FaultPoint("ImportDocument");
        read = ReadPsdIndex(request.Path);
    }
    ImportDocument(doc, request.Index ? *request.Index : *read, progress, [&](Document &next) {
        next.PsdPath = request.Path;
        next.Lpi = out.Lpi;
        next.ViewsCurrent = next.PrintWritten = next.AnimationPlayed = 0;
        next.DrawLineActive = 0;
        if (request.FoldersAsGroups)
            MakeFoldersFlipGroups(next);
        if (request.Finish)
            request.Finish(next);
    });
    if (width)
        out.HeightShown = PrintHeightText(*width, doc.AspectRatio);

    out.Caption = QStringLiteral("Vistrel   ") + QFileInfo(doc.PsdPath).fileName();
    out.SizeText = ShortFixed4Text(doc.PsdWidthCm) + QStringLiteral(" x ") + ShortFixed4Text(doc.PsdHeightCm);
    out.DpiText = ShortFixed4Text(doc.PsdDpi);
    out.ModeText = ColorModeName(doc.PsdColorMode);
    out.LayersText = QString::number(doc.LayerCount);
    out.FocusText = QString::number(doc.FocusLayer);
    out.OffsetCells = OffsetCellTexts(DefaultGridOffsets(doc));
    for (int row = 1; row <= doc.LayerCount; ++row)
        out.GroupCells << GroupLetter(doc.Layers[size_t(doc.LayerCount - row)].GroupId);
    out.NameCells = LayerNameCells(doc);
    out.PrintName = ReplaceExtension(doc.PsdPath, QStringLiteral(".tif"));
    out.LayeredPsdName = ReplaceExtension(doc.PsdPath, QStringLiteral("_3D.psd"));
    out.GifName = ReplaceExtension(doc.PsdPath, QStringLiteral(".gif"));
    out.ProjectName = ReplaceExtension(doc.PsdPath, QStringLiteral(".hx4p2"));
    return out;
}

OpenedProject OpenProjectCommand(Document &doc, const QString &projectPath, ImportRequest request,
                                 const std::function<void(int)> &progress)
{
    const QByteArray bytes = ReadProjectFile(projectPath);
    request.Path = FindProjectPsd(projectPath, ProjectPsdPath(bytes));
    // The older layouts need the PSD's layer count to be read at all.
    const PsdIndex index = ReadPsdIndex(request.Path);
    const ProjectData project = ParseProject(bytes, projectPath, int(index.Layers.size()));
    request.Index = &index;
    OpenedProject opened;
    // The project is applied to the new document before it replaces the open
    // one, so a project refused at this step changes nothing either.
    request.Finish = [&](Document &next) { opened.Project = ApplyProject(next, project, projectPath); };
    opened.Import = ImportCommand(doc, request, progress);
    return opened;
}
