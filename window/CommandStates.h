// Which of the window's commands can be used, as one table: a row for each
// application state and page, a cell for each command. A cell is on, off, or
// on under one condition of the document (views that match the settings, a
// print written, an animation played, the "One" layer view). The window
// applies the whole row after every command, so no handler keeps a list of its
// own.
#pragma once

#include <array>
#include <cstdint>

enum class Command : uint8_t {
    OpenProject,     // OpenProjectAction (menu and toolbar)
    SaveProject,     // SaveProjectAction, SaveProjectAsItem (save as)
    ImportPsd,       // ImportPsdAction
    ImportSettings,  // ImportSettingsItem
    Zoom,            // ZoomInAction, ZoomOutAction
    Preview,         // PreviewAction
    Stop,            // StopAction
    ExportTiff,      // ExportTiffAction
    Anaglyph,        // AnaglyphAction
    ExportPsd,       // ExportPsdItem
    ExportGif,       // ExportGifItem
    RightPanel,      // RightPanel
    LayerGrid,       // LayerGrid, SettingsPages
    LineDeletion,    // DeletePointAction, DeleteLineAction, DeleteLayerLinesAction, DeleteAllLinesAction
    BeginLine,       // BeginLineAction
    LineToolBar,     // LineToolBar, shown or hidden
    LineTools,       // the tools of LineToolBar, CutAction, CopyAction, PasteAction and the picture's mouse
    ReliefControls,  // the order choice, its check boxes and the relief parameters
    ReliefPreview,   // ReliefPreviewButton
    ReliefStop,      // ReliefStopButton
    Count
};
constexpr int CommandCount = int(Command::Count);

enum class Cell : uint8_t { Off, On, IfViewsCurrent, IfPrintWritten, IfAnimationPlayed, IfLayerViewOne };

enum class Page : uint8_t { SetLayer, DrawLine };
// On the DrawLine page: drawing, the relief preview playing, or stopped on its
// last frame.
enum class ReliefPhase : uint8_t { Editing, Playing, Stopped };

// The row key: AppState, and whether views are being generated right now.
struct WindowState {
    uint8_t AppState = 0;
    bool Generating = false;
    Page Shown = Page::SetLayer;
    ReliefPhase Relief = ReliefPhase::Editing;
    // The conditions of the cells.
    bool ViewsCurrent = false;
    bool PrintWritten = false;
    bool AnimationPlayed = false;
    bool LayerViewOne = false;
};

using CommandRow = std::array<Cell, CommandCount>;
// The row that holds in a state.
const CommandRow &CommandRowFor(const WindowState &state);
// The cell of a command in a state, with its condition decided.
bool CommandEnabled(Command command, const WindowState &state);
