// Project files keep one design: the PSD it was made from, the 3D and print
// settings, the offsets of the layers, their relief settings and every
// contour line. Vistrel writes the current layout, 99101 (".hx4p3"), and reads
// it and five older ones (".hx4p2", ".hx4p"):
//
//   line 1   the PSD's path
//   line 2   LPI, the view count (7), the focus row, the depth
//   line 3   the layout number, then what the layout keeps there
//   99101    layer count, canvas width and height; 4 maker lines and the date
//            of saving; the resolution line (dpi, 10 000 = "(Auto)", width
//            cm, height cm, colour mode, H scale); an offset per grid row, top
//            first; a relief line per layer (base order, smoothness, relief
//            depth), top first
//   99100    as 99101 with 3 maker lines, offsets and relief lines bottom first
//   39550    three numbers; 2 text lines and a line of one number; the
//            resolution line; offsets and relief lines bottom first
//   39300    the offsets of the bottom three rows on line 3, the others one per
//            line from row N - 3 up to row 1; no relief lines; points times 12/7
//   3099     as 39300, with relief lines bottom first
//   other    line 3 is the header of the first contour line
//
// and then the contour lines: a header "layer order line count-1", and a line
// of the points "x y x y ... " ended by CR before the CR LF. Points and offsets
// of 99101 and 99100 are in working pixels of the canvas width they name, and
// are rescaled to the document they are applied to.
#pragma once

#include "Document.h"

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <optional>
#include <vector>

constexpr int ProjectLayout = 99101;
// The same with the flip group of every layer after the relief settings: written
// only when the designer changed a group from the PSD's, so that every other
// project stays readable by the releases that know 99101 alone.
constexpr int ProjectLayoutWithGroups = 99102;

struct ProjectRelief {
    int BaseOrder = 7;
    int Smooth = 5;
    Fixed4 ReliefDepth = Fixed4One;
};

struct ProjectLine {
    int Layer = 0, Order = 0, Index = 0;
    ContourLine Points;      // as stored, before any rescaling
    int FileLine = 0;  // the line of the file that holds the points
};

// A project file as read, every number checked, nothing applied yet.
struct ProjectData {
    QString PsdPath;  // as stored
    Fixed4 Lpi = 0;
    int32_t FocusRow = 0;
    Fixed4 Depth = Fixed4One;
    int Layout = 0;  // 99101, 99100, 39550, 39300, 3099; 0 for a file without a layout number
    int StoredLayerCount = 0;
    int32_t StoredWidth = 0;  // canvas width the points were saved for (99101, 99100)
    bool HasResolution = false;
    Fixed4 Dpi = 0;
    double WidthCm = 0, HeightCm = 0;  // shown in the fields as stored
    int ColorMode = 2, HScale = 1;
    // Offsets by grid row (index 0 = row 1, the top layer); a row the file does
    // not give is empty.
    std::vector<std::optional<int32_t>> RowOffsets;
    std::vector<int> RowOffsetLines;  // the line of the file each offset is on
    // Relief settings by layer index (0 = bottom); empty when the layout has none.
    std::vector<std::optional<ProjectRelief>> Relief;
    // Flip group by layer index (0: none); empty unless the layout holds groups.
    std::vector<std::optional<uint8_t>> Groups;
    std::vector<ProjectLine> Lines;
};

// Reads and checks a whole project file for a document of `layerCount` layers
// (the older layouts do not say how many offsets they hold). A number that is
// missing or malformed throws VistrelError naming the file.
ProjectData ParseProject(const QByteArray &bytes, const QString &fileName, int layerCount);
// The bytes of a project file; "The file not found!" when there is none.
QByteArray ReadProjectFile(const QString &path);
// Only line 1: the PSD the project was made from.
QString ProjectPsdPath(const QByteArray &bytes);
// The PSD to open with a project: beside it (so a project moved with its PSD
// opens), else at the full path stored (a project saved into another folder).
// Throws VistrelError naming every path looked at, or saying that the project
// names no file at all.
QString FindProjectPsd(const QString &projectPath, const QString &storedPsdPath);

// The factor points and offsets are rescaled by: the document's working width
// over the working width of the canvas the file was saved for, four decimals.
Fixed4 RescaleFactor(int32_t storedCanvasWidth, int32_t canvasWidth);

// What the window shows after a project was applied.
struct ProjectOutcome {
    QString LpiText, FocusText, DepthText;
    bool HasResolution = false;
    QString DpiText, WidthText;
    std::optional<QString> HeightText;  // empty: the height follows the width
    int ColorModeIndex = 2;
    QString HScaleText;
    std::vector<std::optional<int32_t>> RowOffsets;  // rescaled, by grid row
    std::vector<int> ReliefRows;                     // grid rows that show "+"
    std::vector<int> PlainRows;  // grid rows whose relief the project took away: the Group cell empties
    std::vector<std::pair<int, QString>> GroupCells;  // grid row and its Group cell, for the groups the project sets
    QStringList Messages;
    QString Caption;
};
// Applies a project read for `doc`: the settings, the relief
// settings and the contour lines go into the document (layers with lines are
// marked to have their relief rendered, and a relief layer that receives no
// lines becomes a plain layer); the fields and the grid are left to the
// caller, which shows the outcome. Lines naming a layer, order or line index
// outside the document are skipped and counted in a message. A point or offset
// that would not fit 32 bits once rescaled throws VistrelError naming its line
// before anything is applied. A stored print width above the limit is brought
// to it with the height scaled by the same factor.
ProjectOutcome ApplyProject(Document &doc, const ProjectData &project, const QString &projectPath);

// What a save takes from the window, as typed.
struct ProjectFieldTexts {
    QString Lpi, Focus, Depth;
    QString Dpi, WidthCm, HeightCm, HScale;
    int ColorModeIndex = 2;
    QStringList OffsetCells;  // grid rows top first

    bool operator==(const ProjectFieldTexts &) const = default;
};
// The project file of `doc` in the current layout; changes nothing.
// Throws VistrelError for a field that is not a number.
QByteArray ProjectText(const Document &doc, const ProjectFieldTexts &texts, const QString &savedAt);
// The same, and takes LPI, focus row and depth into the document, and the
// resolution ("(Auto)" is 10 000): what a save does.
QByteArray FormatProject(Document &doc, const ProjectFieldTexts &texts, const QString &savedAt);
// Writes it through a temporary file beside `path`, renamed into place only
// when complete. Throws VistrelError, leaving any earlier file as it was.
void SaveProject(Document &doc, const QString &path, const ProjectFieldTexts &texts);
// The saving date and time in the person's own formats.
QString SavingDateText();

// ".hx4p3", ".hx4p2" and ".hx4p" files are projects.
bool IsProjectFile(const QString &path);
