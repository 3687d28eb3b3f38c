// Undo and redo of the design. A design state is what the designer edits and a
// project keeps: the settings fields, the layer grid's group and offset
// cells, every layer's relief settings and lines. An edit is recorded by
// comparing the state after a command or a finished gesture with the state
// recorded last, so no edit path needs to announce itself.
#pragma once

#include "Document.h"
#include "ProjectFile.h"

#include <QString>
#include <QStringList>
#include <QUndoCommand>
#include <array>
#include <vector>

struct DesignState {
    ProjectFieldTexts Fields;  // the settings fields and the Offset column, as a save takes them
    QStringList Groups;        // the Group column, grid rows top first
    // By layer index: GroupId (a relief rendered or not is one value), base
    // order, smoothing, relief depth.
    std::vector<std::array<int64_t, 4>> Layers;
    LineSets Lines;       // by layer index; a set without lines is empty
    // The settings as the document last took them (an export, a project, a
    // field's own handler), which the settings file keeps at the end: put back
    // with the rest, but not an edit of their own (an export that resolves
    // "(Auto)" edits nothing).
    struct TakenSettings {
        Fixed4 Lpi = 0, Depth = 0, OutputDpi = 0, OutputWidthCm = 0, OutputHeightCm = 0;
        int32_t FocusLayer = 0;
        uint8_t OutputColorMode = 0, HScale = 0;
    } Taken;

    bool operator==(const DesignState &other) const
    {
        return Fields == other.Fields && Groups == other.Groups && Layers == other.Layers && Lines == other.Lines;
    }
    // What differs from `before`, for "Undo <what>".
    QString ChangeFrom(const DesignState &before) const;
};

class MainWindow;

// One recorded edit: the states before and after. Pushed once the edit is
// made, so its first redo does nothing.
class DesignEdit : public QUndoCommand {
public:
    DesignEdit(MainWindow &window, DesignState before, DesignState after);
    void undo() override;
    void redo() override;

private:
    MainWindow &Window;
    DesignState Before, After;
    bool Made = true;
};
