#include "DesignHistory.h"

#include "Compositor.h"
#include "MainWindow.h"
#include "ReliefLines.h"

#include "Texts.h"
#include <QAction>
#include <QComboBox>
#include <QLineEdit>
#include <QUndoStack>
#include <algorithm>

QString DesignState::ChangeFrom(const DesignState &before) const
{
    QStringList parts;
    ProjectFieldTexts settings = Fields, settingsBefore = before.Fields;
    settings.OffsetCells = settingsBefore.OffsetCells = {};
    if (!(settings == settingsBefore))
        parts << Vistrel::tr("settings");
    if (Fields.OffsetCells != before.Fields.OffsetCells)
        parts << Vistrel::tr("offsets");
    if (Groups != before.Groups || Layers != before.Layers)
        parts << Vistrel::tr("relief settings");
    if (Lines != before.Lines)
        parts << Vistrel::tr("lines");
    return parts.join(Vistrel::tr(", "));
}

DesignEdit::DesignEdit(MainWindow &window, DesignState before, DesignState after)
    : Window(window), Before(std::move(before)), After(std::move(after))
{
    setText(After.ChangeFrom(Before));
}

void DesignEdit::undo()
{
    Window.RestoreDesign(Before);
}

void DesignEdit::redo()
{
    if (Made) {
        Made = false;  // the edit itself did it
        return;
    }
    Window.RestoreDesign(After);
}

// --- The window's side: what the state is read from and put back into ---

namespace {

// A relief layer is one value whether or not its views are rendered yet.
int64_t GroupValue(uint8_t groupId)
{
    return groupId == GroupReliefRendered ? GroupReliefToRender : groupId;
}

}  // namespace

DesignState MainWindow::CaptureDesign() const
{
    DesignState s;
    s.Fields = FieldTexts();
    s.Taken = {Doc.Lpi,        Doc.Depth,      Doc.OutputDpi,       Doc.OutputWidthCm, Doc.OutputHeightCm,
               Doc.FocusLayer, Doc.OutputColorMode, Doc.HScale};
    if (Doc.DocumentOpen == 0)
        return s;
    for (int row = 1; row <= Doc.LayerCount; ++row)
        s.Groups << Cells(1, row);
    for (const Layer &layer : Doc.Layers)
        s.Layers.push_back({GroupValue(layer.GroupId), layer.BaseOrder, layer.Smooth, layer.ReliefDepth});
    s.Lines.resize(size_t(Doc.LayerCount));
    for (size_t i = 0; i < s.Lines.size() && i < Doc.LayerLines.size(); ++i)
        if (HasLines(Doc.LayerLines[i]))
            s.Lines[i] = Doc.LayerLines[i];
    // The page's lines as drawn, read without storing them.
    if (Doc.DrawLineActive == 1 && Doc.CurrentLayer >= 0 && size_t(Doc.CurrentLayer) < s.Lines.size())
        s.Lines[size_t(Doc.CurrentLayer)] = HasLines(Doc.CurrentLines) ? Doc.CurrentLines : LineSet();
    return s;
}

void MainWindow::RestoreDesign(const DesignState &s)
{
    const DesignState now = CaptureDesign();
    RestoringDesign = true;
    const ProjectFieldTexts &f = s.Fields;
    LpiEdit->setText(f.Lpi);
    LpiEdited();
    FocusEdit->setText(f.Focus);
    FocusEdited();
    DepthEdit->setText(f.Depth);  // its own handler takes it, as typing would
    DpiCombo->setEditText(f.Dpi);
    WidthEdit->setText(f.WidthCm);  // the height follows, then is put back as it was
    HeightEdit->setText(f.HeightCm);
    HScaleEdit->setText(f.HScale);
    ColourModeCombo->setCurrentIndex(f.ColorModeIndex);
    for (int row = 1; row <= Doc.LayerCount && row <= s.Groups.size() && row <= f.OffsetCells.size(); ++row) {
        SetCells(1, row, s.Groups[row - 1]);
        SetCells(2, row, f.OffsetCells[row - 1]);
    }
    // Only the line sets that change are written, so a document whose lines
    // stay is left exactly as it was.
    if (now.Lines != s.Lines)
        Doc.LayerLines.resize(s.Lines.size());
    for (size_t i = 0; i < Doc.Layers.size() && i < s.Layers.size(); ++i) {
        Layer &layer = Doc.Layers[i];
        const bool same = i < now.Layers.size() && now.Layers[i] == s.Layers[i] && now.Lines[i] == s.Lines[i];
        // A relief whose lines or settings change is rendered again before it is shown.
        if (!(same && layer.GroupId == GroupReliefRendered))
            layer.GroupId = uint8_t(s.Layers[i][0]);
        layer.BaseOrder = uint8_t(s.Layers[i][1]);
        layer.Smooth = uint8_t(s.Layers[i][2]);
        layer.ReliefDepth = Fixed4(s.Layers[i][3]);
        if (i >= now.Lines.size() || now.Lines[i] != s.Lines[i])
            Doc.LayerLines[i] = s.Lines[i];
    }
    if (now.Lines != s.Lines || now.Layers != s.Layers) {
        Doc.ViewsCurrent = 0;
        BuildGroupTables(Doc);  // a flip group may have changed
    }
    // After the fields' own handlers, which take some of them from the fields.
    Doc.Lpi = s.Taken.Lpi;
    Doc.Depth = s.Taken.Depth;
    Doc.OutputDpi = s.Taken.OutputDpi;
    Doc.OutputWidthCm = s.Taken.OutputWidthCm;
    Doc.OutputHeightCm = s.Taken.OutputHeightCm;
    Doc.FocusLayer = s.Taken.FocusLayer;
    Doc.OutputColorMode = s.Taken.OutputColorMode;
    Doc.HScale = s.Taken.HScale;
    if (Doc.DrawLineActive == 1 && Doc.CurrentLayer >= 0 && size_t(Doc.CurrentLayer) < Doc.LayerLines.size()) {
        Doc.CurrentLines = Doc.LayerLines[size_t(Doc.CurrentLayer)].empty() ? EmptyLineSet() : Doc.LayerLines[size_t(Doc.CurrentLayer)];
        ReloadDrawLinePage();
    }
    RestoringDesign = false;
    LastDesign = CaptureDesign();
    ApplyCommandStates();
}

void MainWindow::RecordDesignEdit()
{
    if (RestoringDesign || CommandDepth > 0 || Doc.DocumentOpen == 0 || !History)
        return;
    DesignState now = CaptureDesign();
    if (now == LastDesign) {
        LastDesign.Taken = now.Taken;  // an export or a handler took them: not an edit, but the latest
        return;
    }
    History->push(new DesignEdit(*this, LastDesign, now));
    LastDesign = std::move(now);
    ShowUndoRedo();
}

void MainWindow::StartDesignHistory()
{
    History->clear();
    LastDesign = CaptureDesign();
    ShowUndoRedo();
}

bool MainWindow::DrawingALine() const
{
    return LineCommandsActive() && Editor.DrawCount > 0;
}

void MainWindow::UndoEdit()
{
    if (DrawingALine()) {  // a line being drawn gives back its last point first
        DeleteLastPoint();
        return;
    }
    RecordDesignEdit();  // a field typed into and not yet left is an edit too
    if (History->canUndo())
        History->undo();
    ShowUndoRedo();
}

void MainWindow::RedoEdit()
{
    if (History->canRedo())
        History->redo();
    ShowUndoRedo();
}

void MainWindow::ShowUndoRedo()
{
    UndoAction->setText(DrawingALine()       ? tr("&Undo point")
                        : History->canUndo() ? tr("&Undo %1").arg(History->undoText())
                                             : tr("&Undo"));
    RedoAction->setText(History->canRedo() ? tr("&Redo %1").arg(History->redoText()) : tr("&Redo"));
    UndoAction->setEnabled(DrawingALine() || History->canUndo());
    RedoAction->setEnabled(History->canRedo());
}
