// Making a PSD the current document, without the window: read and check the
// file, replace the document's layers and pictures, choose the focus layer and
// the default offsets, build the flip-group tables and compose the full picture
// at working size. The window's import command and the command line share it.
#pragma once

#include "Document.h"
#include "Numbers.h"
#include "ProjectFile.h"

#include <QString>
#include <QStringList>
#include <cstdint>
#include <functional>
#include <optional>
#include <vector>

// Everything up to the composed picture, into `doc`. A file that cannot be
// imported throws VistrelError and leaves `doc` and the work folder as they were.
// `progress` receives 0..100.
void ImportDocument(Document &doc, const QString &path, const std::function<void(int)> &progress = {});
// The same for a file whose structure was already read and checked. `finish`
// completes the new document before it replaces `doc`; what it throws cancels
// the import as well.
struct PsdIndex;
void ImportDocument(Document &doc, const PsdIndex &index, const std::function<void(int)> &progress = {},
                    const std::function<void(Document &)> &finish = {});

// The import command: the fields it takes, as typed, and what the window shows
// afterwards. ImportCommand checks the fields, imports and describes the result;
// it throws VistrelError before anything has changed.
struct ImportRequest {
    QString Path;
    QString Lpi;      // empty: the LPI stays as it is
    QString WidthCm;  // empty: the print height stays as it is
    const PsdIndex *Index = nullptr;  // Path already read and checked, when the caller has it
    std::function<void(Document &)> Finish = {};  // completes the new document before it is taken
    bool FoldersAsGroups = false;  // each top-level folder of the PSD becomes a flip group
};
struct ImportOutcome {
    Fixed4 Lpi = 0;
    std::optional<QString> HeightShown;  // the print height field
    QString Caption;                     // the window's caption
    QString SizeText, DpiText, ModeText, LayersText;  // status panels 3, 5, 7, 9
    QString FocusText;
    QStringList OffsetCells, GroupCells;  // grid rows top first
    QStringList NameCells;  // the layers' names, grid rows top first, indented by folder
    // The names the save dialogs offer, beside the PSD.
    QString PrintName, LayeredPsdName, GifName, ProjectName;
};
ImportOutcome ImportCommand(Document &doc, const ImportRequest &request, const std::function<void(int)> &progress = {});

// Opening a project: the PSD beside it is imported (with the fields of
// `request`, whose Path is not used) and the project applied. The project and
// the PSD are both read and checked before anything of the open document
// changes.
struct OpenedProject {
    ImportOutcome Import;
    ProjectOutcome Project;
};
OpenedProject OpenProjectCommand(Document &doc, const QString &projectPath, ImportRequest request,
                                 const std::function<void(int)> &progress = {});

// UngroupedLayers (top first), UngroupedCount, FocusPick and FocusLayer.
// With `passOverFolderMarks` (folders made flip groups), a folder's records,
// which are empty, are neither the focus nor given an offset.
void ChooseDefaultFocus(Document &doc, bool passOverFolderMarks = false);
// OffsetSpan, FrontStep, BackStep and DefaultOffsets from the focus choice.
void ComputeDefaultOffsets(Document &doc);
// The Offset column as import fills it, by layer index: Round(DefaultOffsets).
std::vector<int32_t> DefaultGridOffsets(const Document &doc);

// A Group cell as typed for grid row `row`: empty (no group), a letter A..Z
// (either case; group 1..26), a group number 1..254 but 100 (as a PSD may
// bring), or the character the cell shows for `currentGroup`, left as it is.
// Anything else is refused with a message naming the row.
struct GroupCellOutcome {
    bool Accepted = false;
    uint8_t GroupId = GroupPlain;
    QString Shown;    // the cell's text once accepted
    QString Message;  // when refused
};
// Each top-level folder of the PSD becomes one flip group, numbered on from the
// highest group the PSD gives (100 passed over): every layer inside it, at any
// depth, joins it; the folder records themselves stay plain (they are empty).
// Then the focus, the default offsets, the group tables and the picture follow.
// Off by default: without it a folder's layers stay as the PSD groups them.
// The groups the PSD gave stay the document's ImportedGroups, so a project
// saved afterwards keeps the folder groups as the designer's own.
void MakeFoldersFlipGroups(Document &doc);

// The Name column, grid rows top first: a folder shows as "▾ name" and the
// layers inside it are indented by two spaces a level; a folder's end marker
// shows empty.
QStringList LayerNameCells(const Document &doc);
GroupCellOutcome ReadGroupCell(const QString &typed, int row, uint8_t currentGroup);
// The path with its extension (and dot) replaced: "card.psd" -> "card" + replacement.
QString ReplaceExtension(const QString &path, const QString &replacement);
