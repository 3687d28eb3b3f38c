#include "ProjectFile.h"

#include "Errors.h"
#include "ParameterRules.h"
#include "Platform.h"
#include "Texts.h"
#include "Version.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <algorithm>
#include <cmath>

namespace {

constexpr int Layout99100 = 99100;
constexpr int Layout39550 = 39550;
constexpr int Layout39300 = 39300;
constexpr int Layout3099 = 3099;
// An order holds at most 255 lines: the hit-test map codes a line in one byte.
constexpr int LinesPerOrder = 255;

bool Rescaled(int layout)
{
    return layout == ProjectLayout || layout == ProjectLayoutWithGroups || layout == Layout99100;
}

// One contour line after its header: c + 1 points, or a skipped line when the
// count is below 1.
void ReadLine(NumberReader &in, ProjectData &d, int layer, int order, int index, int64_t c)
{
    if (c < 1) {
        in.SkipLine();  // the rest of the header
        in.SkipLine();  // and its points
        return;
    }
    ProjectLine line{layer, order, index, {}, 0};
    for (int64_t p = 0; p <= c; ++p) {
        const int32_t x = in.ReadInt32();
        const int32_t y = in.ReadInt32();
        line.Points.push_back({x, y});
    }
    line.FileLine = in.LineNumber();
    d.Lines.push_back(std::move(line));
}

// A file saved with CR alone at the end of its lines (an old Mac editor) is
// read as if they were CR LF: a CR followed by LF, or by the CR LF that ends a
// points line, stays; any other CR ends a line.
QByteArray WithLineFeeds(QByteArray bytes)
{
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        if (bytes[i] != '\r')
            continue;
        const bool endsHere = i + 1 < bytes.size() && bytes[i + 1] == '\n';
        const bool pointsEnd = i + 2 < bytes.size() && bytes[i + 1] == '\r' && bytes[i + 2] == '\n';
        if (!endsHere && !pointsEnd)
            bytes[i] = '\n';
    }
    return bytes;
}

// The file name part of a stored path, which may come from Windows.
QString StoredFileName(const QString &storedPath)
{
    return storedPath.mid(std::max(storedPath.lastIndexOf(QLatin1Char('/')), storedPath.lastIndexOf(QLatin1Char('\\'))) + 1);
}

}  // namespace

QByteArray ReadProjectFile(const QString &path)
{
    if (!QFileInfo::exists(path))
        throw VistrelError(Vistrel::tr("The file not found! \"%1\"").arg(QDir::toNativeSeparators(path)));
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw FileError(path, file.errorString());
    return file.readAll();
}

QString ProjectPsdPath(const QByteArray &bytes)
{
    NumberReader in(WithLineFeeds(bytes), QString());
    return QString::fromLocal8Bit(in.ReadLine());
}

QString FindProjectPsd(const QString &projectPath, const QString &storedPsdPath)
{
    if (StoredFileName(storedPsdPath).trimmed().isEmpty())
        throw VistrelError(Vistrel::tr("The project names no PSD file."));
    // Beside the project first, so that a project moved with its PSD opens;
    // then where the PSD was when the project was saved.
    const QString beside = QFileInfo(projectPath).absoluteDir().filePath(StoredFileName(storedPsdPath));
    if (QFileInfo(beside).isFile())
        return beside;
    const QFileInfo stored(storedPsdPath);
    if (stored.isAbsolute() && stored.isFile())
        return stored.absoluteFilePath();
    QString looked = QStringLiteral("\"%1\"").arg(QDir::toNativeSeparators(beside));
    if (QFileInfo(storedPsdPath).absoluteFilePath() != QFileInfo(beside).absoluteFilePath())
        looked += Vistrel::tr(" and \"%1\"").arg(QDir::toNativeSeparators(storedPsdPath));
    throw VistrelError(Vistrel::tr("Can not found the specified psd file! Looked for %1.").arg(looked));
}

ProjectData ParseProject(const QByteArray &bytes, const QString &fileName, int layerCount)
{
    ProjectData d;
    NumberReader in(WithLineFeeds(bytes), fileName);
    d.PsdPath = QString::fromLocal8Bit(in.ReadLine());
    d.Lpi = in.ReadFixed4();
    in.ReadInteger();  // the view count is always 7
    d.FocusRow = in.ReadInt32();
    d.Depth = in.ReadFixed4();

    const int n = layerCount;
    d.RowOffsets.assign(size_t(n), std::nullopt);
    d.RowOffsetLines.assign(size_t(n), 0);
    auto skipTextLines = [&](int lines) {
        in.SkipLine();  // the end of the line of numbers
        for (int i = 0; i < lines; ++i)
            in.SkipLine();
    };
    auto readResolution = [&] {
        d.HasResolution = true;
        d.Dpi = in.ReadFixed4();
        d.WidthCm = in.ReadReal();
        d.HeightCm = in.ReadReal();
        d.ColorMode = in.ReadInt32();
        d.HScale = in.ReadInt32();
    };
    // `count` values, the first for the top layer or the bottom one; values for
    // layers the document does not have are read and dropped.
    auto readOffsets = [&](int count, bool topFirst) {
        for (int k = 0; k < count; ++k) {
            const int32_t value = in.ReadInt32();
            const int row = topFirst ? k + 1 : n - k;
            if (row >= 1 && row <= n) {
                d.RowOffsets[size_t(row - 1)] = value;
                d.RowOffsetLines[size_t(row - 1)] = in.LineNumber();
            }
        }
    };
    // Relief line k of a file that lists them top first belongs to layer
    // count - 1 - k of the file's own document, like its contour lines, which
    // name layers counted from the bottom.
    auto readRelief = [&](int count, bool topFirst) {
        d.Relief.assign(size_t(n), std::nullopt);
        for (int k = 0; k < count; ++k) {
            ProjectRelief r;
            r.BaseOrder = in.ReadInt32();
            r.Smooth = in.ReadInt32();
            r.ReliefDepth = in.ReadFixed4();
            const int layer = topFirst ? count - 1 - k : k;
            if (layer >= 0 && layer < n)
                d.Relief[size_t(layer)] = r;
        }
    };

    // Groups are listed top first, like the relief settings.
    auto readGroups = [&](int count) {
        d.Groups.assign(size_t(n), std::nullopt);
        for (int k = 0; k < count; ++k) {
            const int32_t group = in.ReadInt32();
            if (group < 0 || group > 254 || group == GroupReliefRendered)
                throw VistrelError(Vistrel::tr("Line %1 of \"%2\": %3 is not a group number.")
                                       .arg(in.LineNumber())
                                       .arg(fileName)
                                       .arg(group));
            const int layer = count - 1 - k;
            if (layer >= 0 && layer < n)
                d.Groups[size_t(layer)] = uint8_t(group);
        }
    };

    if (in.AtEndAfterSpace())
        return d;  // settings only: an old file without lines
    const int64_t first = in.ReadInteger();
    switch (first) {
    case ProjectLayout:
    case ProjectLayoutWithGroups:
    case Layout99100: {
        d.Layout = int(first);
        const bool topFirst = first != Layout99100;
        d.StoredLayerCount = in.ReadInt32();
        d.StoredWidth = in.ReadInt32();
        in.ReadInt32();  // canvas height
        skipTextLines(topFirst ? 5 : 4);
        readResolution();
        // The file holds as many offsets as its own document had layers.
        const int stored = d.StoredLayerCount > 0 ? d.StoredLayerCount : n;
        readOffsets(stored, topFirst);
        readRelief(stored, topFirst);
        if (first == ProjectLayoutWithGroups)
            readGroups(stored);
        break;
    }
    case Layout39550:
        d.Layout = Layout39550;
        in.ReadInteger();
        in.ReadInteger();
        in.ReadInteger();
        skipTextLines(2);
        in.ReadReal();
        readResolution();
        readOffsets(n, false);
        readRelief(n, false);
        break;
    case Layout39300:
    case Layout3099:
        d.Layout = int(first);
        readOffsets(3, false);  // rows N, N - 1, N - 2 on line 3
        for (int row = n - 3; row >= 1; --row)
        {
            d.RowOffsets[size_t(row - 1)] = in.ReadInt32();
            d.RowOffsetLines[size_t(row - 1)] = in.LineNumber();
        }
        if (first == Layout3099)
            readRelief(n, false);
        break;
    default: {
        // No layout number: line 3 is the header of the first contour line.
        if (first < std::numeric_limits<int32_t>::min() || first > std::numeric_limits<int32_t>::max())
            throw VistrelError(Vistrel::tr("Integer out of range in \"%1\".").arg(fileName));
        const int32_t order = in.ReadInt32();
        const int32_t index = in.ReadInt32();
        ReadLine(in, d, int(first), order, index, in.ReadInteger());
        break;
    }
    }

    while (!in.AtEndAfterSpace()) {
        const int32_t layer = in.ReadInt32();
        const int32_t order = in.ReadInt32();
        const int32_t index = in.ReadInt32();
        const int64_t c = in.ReadInteger();
        if (d.Layout == Layout39300 && layer == 0 && order == 0 && index == 0) {
            in.ReadInteger();  // two numbers that old layout kept there, not a line
            in.ReadInteger();
            continue;
        }
        ReadLine(in, d, layer, order, index, c);
    }
    return d;
}

Fixed4 RescaleFactor(int32_t storedCanvasWidth, int32_t canvasWidth)
{
    if (storedCanvasWidth <= 0)
        return Fixed4One;
    const int32_t stored = WorkingGeometryOf(storedCanvasWidth, 1).Width;
    const int32_t current = WorkingGeometryOf(canvasWidth, 1).Width;
    return RoundDiv(int64_t(current) * Fixed4One, stored);
}

namespace {

// A stored value rescaled to this document; refused, naming its line, when it
// would not fit the 32 bits points and offsets are kept in.
int32_t Fitting(int64_t scaled, int32_t stored, const QString &factor, int fileLine, const QString &projectPath)
{
    if (scaled < std::numeric_limits<int32_t>::min() || scaled > std::numeric_limits<int32_t>::max())
        throw VistrelError(Vistrel::tr("Line %1 of \"%2\": %3 rescaled to this document (x %4) is out of range; "
                                          "nothing was applied.")
                               .arg(fileLine)
                               .arg(QDir::toNativeSeparators(projectPath))
                               .arg(stored)
                               .arg(factor));
    return int32_t(scaled);
}

}  // namespace

ProjectOutcome ApplyProject(Document &doc, const ProjectData &d, const QString &projectPath)
{
    ProjectOutcome out;
    const int n = doc.LayerCount;
    Fixed4 factor = Fixed4One;
    if (Rescaled(d.Layout))
        factor = RescaleFactor(d.StoredWidth, doc.ImageWidth);

    // Everything that can be refused is worked out before anything changes.
    out.RowOffsets.assign(size_t(n), std::nullopt);
    for (int row = 1; row <= n && row <= int(d.RowOffsets.size()); ++row)
        if (const auto &offset = d.RowOffsets[size_t(row - 1)])
            out.RowOffsets[size_t(row - 1)] =
                Rescaled(d.Layout) ? Fitting(ScaleByFixed4(*offset, factor), *offset, ShortFixed4Text(factor),
                                             d.RowOffsetLines[size_t(row - 1)], projectPath)
                                   : *offset;
    auto inDocument = [n](const ProjectLine &line) {
        return line.Layer >= 0 && line.Layer < n && line.Order >= 0 && line.Order < OrderCount && line.Index >= 0 &&
               line.Index < LinesPerOrder;
    };
    std::vector<ContourLine> rescaledLines;
    rescaledLines.reserve(d.Lines.size());
    for (const ProjectLine &line : d.Lines) {
        ContourLine points = inDocument(line) ? line.Points : ContourLine();
        for (LinePoint &p : points)
            for (int32_t *v : {&p.x, &p.y}) {
                if (Rescaled(d.Layout))
                    *v = Fitting(ScaleByFixed4(*v, factor), *v, ShortFixed4Text(factor), line.FileLine, projectPath);
                else if (d.Layout == Layout39300)
                    *v = Fitting(RoundDiv(int64_t(*v) * 12, 7), *v, QStringLiteral("12 / 7"), line.FileLine,
                                 projectPath);
            }
        rescaledLines.push_back(std::move(points));
    }

    doc.Lpi = d.Lpi;
    doc.FocusLayer = d.FocusRow;
    doc.Depth = d.Depth;
    out.LpiText = ShortFixed4Text(d.Lpi);
    out.FocusText = QString::number(d.FocusRow);
    out.DepthText = ShortFixed4Text(d.Depth);

    if (Rescaled(d.Layout) && d.StoredLayerCount != 0 && d.StoredLayerCount != n)
        out.Messages << Vistrel::tr("The total number of layers is wrong!");

    if (d.HasResolution) {
        // A colour mode or H scale no print can have is replaced as the
        // settings file does.
        doc.OutputDpi = d.Dpi;
        doc.OutputWidthCm = ToFixed4(d.WidthCm);
        doc.OutputHeightCm = ToFixed4(d.HeightCm);
        // A width above the limit is brought to it, and a stored height with
        // it, so that the print keeps the picture's proportions.
        const bool tooWide = CheckWidthCm(doc.OutputWidthCm, doc.MaxWidthCm).Replaced;
        if (tooWide) {
            // In long double: any stored height times the limit would not fit 64 bits;
            // the result, smaller than the height, does.
            doc.OutputHeightCm =
                Fixed4(std::llroundl((long double)doc.OutputHeightCm * doc.MaxWidthCm / doc.OutputWidthCm));
            doc.OutputWidthCm = doc.MaxWidthCm;
        }
        doc.OutputColorMode = uint8_t(d.ColorMode >= 0 && d.ColorMode <= 3 ? d.ColorMode : 2);  // the four items
        doc.HScale = uint8_t(d.HScale >= HScaleLow && d.HScale <= HScaleHigh ? d.HScale : 1);
        out.HasResolution = true;
        out.DpiText = d.Dpi == AutoDpi ? QStringLiteral("(Auto)") : ShortFixed4Text(d.Dpi);
        out.WidthText = tooWide ? ShortFixed4Text(doc.OutputWidthCm) : ShortText(d.WidthCm);
        if (d.Layout != Layout99100)
            out.HeightText = tooWide ? ShortFixed4Text(doc.OutputHeightCm) : ShortText(d.HeightCm);
        out.ColorModeIndex = doc.OutputColorMode;
        out.HScaleText = QString::number(doc.HScale);
    }

    for (int i = 0; i < n && i < int(d.Relief.size()); ++i) {
        if (const auto &r = d.Relief[size_t(i)]) {
            Layer &layer = doc.Layers[size_t(i)];
            layer.BaseOrder = uint8_t(std::clamp(r->BaseOrder, 0, OrderCount));
            layer.Smooth = uint8_t(std::clamp(r->Smooth, 1, 9));
            layer.ReliefDepth = r->ReliefDepth;
        }
    }

    doc.LayerLines.assign(size_t(n), LineSet(OrderCount));
    std::vector<bool> receivesLines(size_t(n), false);
    int skipped = 0;
    for (size_t l = 0; l < d.Lines.size(); ++l) {
        const ProjectLine &line = d.Lines[l];
        if (!inDocument(line)) {
            ++skipped;
            continue;
        }
        ContourLine &points = rescaledLines[l];
        receivesLines[size_t(line.Layer)] = true;
        OrderLines &order = doc.LayerLines[size_t(line.Layer)][size_t(line.Order)];
        // A later line of lower index never drops the lines read before it.
        if (int(order.size()) < line.Index + 1)
            order.resize(size_t(line.Index + 1));
        order[size_t(line.Index)] = std::move(points);
        doc.Layers[size_t(line.Layer)].GroupId = GroupReliefToRender;
        const int row = n - line.Layer;
        if (std::find(out.ReliefRows.begin(), out.ReliefRows.end(), row) == out.ReliefRows.end())
            out.ReliefRows.push_back(row);
    }
    // The lines replace the document's: a relief layer that receives none is a
    // plain layer again, and its rendered relief files are no longer used. A
    // flip group stays as the PSD made it.
    for (int i = 0; i < n; ++i) {
        Layer &layer = doc.Layers[size_t(i)];
        if (!receivesLines[size_t(i)] &&
            (layer.GroupId == GroupReliefRendered || layer.GroupId == GroupReliefToRender)) {
            layer.GroupId = GroupPlain;
            out.PlainRows.push_back(n - i);
        }
    }
    // The project's groups, where it has them; a layer with lines is a relief.
    for (int i = 0; i < n && i < int(d.Groups.size()); ++i)
        if (d.Groups[size_t(i)] && !receivesLines[size_t(i)]) {
            doc.Layers[size_t(i)].GroupId = *d.Groups[size_t(i)];
            out.GroupCells.push_back({n - i, GroupLetter(*d.Groups[size_t(i)])});
        }
    if (skipped > 0)
        out.Messages << Vistrel::tr("%1 contour line(s) of the project name a layer, an order or a line number "
                                       "this document does not have; they were skipped.")
                            .arg(skipped);

    doc.CurrentLayer = n == 0 ? 0 : std::clamp(doc.CurrentLayer, 0, n - 1);
    doc.CurrentLines = n == 0 ? LineSet() : doc.LayerLines[size_t(doc.CurrentLayer)];
    out.Caption = QStringLiteral("Vistrel    ") + QFileInfo(doc.PsdPath).fileName() + QStringLiteral("    ") +
                  QFileInfo(projectPath).fileName();
    return out;
}

QString SavingDateText()
{
    const QDateTime now = QDateTime::currentDateTime();
    return now.toString(Platform.ShortDateFormat()) + QLatin1Char(' ') + now.toString(Platform.LongTimeFormat());
}

QByteArray ProjectText(const Document &doc, const ProjectFieldTexts &texts, const QString &savedAt)
{
    const Fixed4 lpi = StrToFixed4(texts.Lpi);
    const int32_t focus = StrToInt(texts.Focus);
    const Fixed4 depth = StrToFixed4(texts.Depth);
    const Fixed4 dpi = IsAutoDpiText(texts.Dpi) ? AutoDpi : StrToFixed4(texts.Dpi);
    const double width = StrToFloat(texts.WidthCm);
    const double height = StrToFloat(texts.HeightCm);
    const int32_t hscale = StrToInt(texts.HScale);
    std::vector<int32_t> offsets;
    for (const QString &cell : texts.OffsetCells)
        offsets.push_back(StrToInt(cell));

    const QByteArray end = "\r\n";
    QByteArray out;
    out += doc.PsdPath.toLocal8Bit() + end;
    out += RealText23(FromFixed4(lpi)) + ' ' + QByteArray::number(ViewCount) + ' ' + QByteArray::number(focus) + ' ' +
           RealText23(FromFixed4(depth)) + end;
    // Groups are written only when the designer changed one from the PSD's.
    bool groupsChanged = false;
    for (size_t i = 0; !groupsChanged && i < doc.Layers.size(); ++i)
        groupsChanged = FlipGroupOf(doc.Layers[i].GroupId) != (i < doc.ImportedGroups.size() ? doc.ImportedGroups[i] : 0);
    const int layout = groupsChanged ? ProjectLayoutWithGroups : ProjectLayout;
    out += QByteArray::number(layout) + ' ' + QByteArray::number(doc.LayerCount) + ' ' +
           QByteArray::number(doc.ImageWidth) + ' ' + QByteArray::number(doc.ImageHeight) + end;
    out += "Vistrel lenticular design tool" + end;
    out += QByteArray("Version ") + VistrelVersion + end;
    out += "Project of one design: the PSD, its settings, offsets and contour lines" + end;
    out += "https://vistrel.app/" + end;
    out += savedAt.toLocal8Bit() + end;
    out += RealText23(FromFixed4(dpi)) + ' ' + RealText23(width) + ' ' + RealText23(height) + ' ' +
           QByteArray::number(texts.ColorModeIndex) + ' ' + QByteArray::number(hscale) + end;
    for (int32_t offset : offsets)
        out += QByteArray::number(offset) + end;
    for (int i = int(doc.Layers.size()) - 1; i >= 0; --i) {
        const Layer &layer = doc.Layers[size_t(i)];
        out += QByteArray::number(layer.BaseOrder) + ' ' + QByteArray::number(layer.Smooth) + ' ' +
               RealText23(FromFixed4(layer.ReliefDepth)) + end;
    }
    if (groupsChanged)
        for (int i = int(doc.Layers.size()) - 1; i >= 0; --i)
            out += QByteArray::number(FlipGroupOf(doc.Layers[size_t(i)].GroupId)) + end;
    for (size_t i = 0; i < doc.LayerLines.size(); ++i)
        for (size_t k = 0; k < doc.LayerLines[i].size(); ++k)
            for (size_t j = 0; j < doc.LayerLines[i][k].size(); ++j) {
                const ContourLine &line = doc.LayerLines[i][k][j];
                out += QByteArray::number(qulonglong(i)) + ' ' + QByteArray::number(qulonglong(k)) + ' ' +
                       QByteArray::number(qulonglong(j)) + ' ' + QByteArray::number(qlonglong(line.size()) - 1) + end;
                for (const LinePoint &p : line)
                    out += QByteArray::number(p.x) + ' ' + QByteArray::number(p.y) + ' ';
                out += '\r' + end;
            }
    return out;
}

QByteArray FormatProject(Document &doc, const ProjectFieldTexts &texts, const QString &savedAt)
{
    // Every field is converted before anything is taken.
    const QByteArray out = ProjectText(doc, texts, savedAt);
    doc.Lpi = StrToFixed4(texts.Lpi);
    doc.FocusLayer = StrToInt(texts.Focus);
    doc.Depth = StrToFixed4(texts.Depth);
    doc.OutputDpi = IsAutoDpiText(texts.Dpi) ? AutoDpi : StrToFixed4(texts.Dpi);
    return out;
}

void SaveProject(Document &doc, const QString &path, const ProjectFieldTexts &texts)
{
    const QByteArray bytes = FormatProject(doc, texts, SavingDateText());
    QSaveFile file(path);
    OpenForSaving(file);
    if (CheckedWrite(file, bytes) != bytes.size())
        throw CreateFileError(path, WriteFailureReason(file));
    CommitSaveFile(file);
}

bool IsProjectFile(const QString &path)
{
    const QString suffix = QFileInfo(path).suffix().toLower();
    return suffix == QLatin1String("hx4p3") || suffix == QLatin1String("hx4p2") || suffix == QLatin1String("hx4p");
}
