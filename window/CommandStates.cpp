#include "CommandStates.h"

#include "Document.h"

namespace {

using enum Cell;

// Columns in the order of Command:
//  OpenProject SaveProject ImportPsd ImportSettings Zoom Preview Stop ExportTiff Anaglyph ExportPsd ExportGif
//  RightPanel LayerGrid LineDeletion BeginLine LineToolBar LineTools ReliefControls ReliefPreview ReliefStop
constexpr CommandRow NothingImported = {On, Off, On, Off, Off, Off, Off, Off, Off, Off, Off,
                                        Off, Off, Off, Off, Off, Off, Off, Off, Off};
constexpr CommandRow Imported = {On, On, On, On, On, On, Off, IfViewsCurrent, IfViewsCurrent, IfPrintWritten,
                                 IfAnimationPlayed, On, On, Off, IfLayerViewOne, Off, Off, Off, Off, Off};
// While the views are made, nothing may import a PSD or change the settings
// panel under them; the panel (and the grid inside it) is off.
constexpr CommandRow Generating = {On, On, Off, On, On, On, Off, Off, Off, IfPrintWritten, IfAnimationPlayed,
                                   Off, On, Off, Off, Off, Off, Off, Off, Off};
constexpr CommandRow Animating = {On, On, Off, On, On, On, On, IfViewsCurrent, IfViewsCurrent, IfPrintWritten,
                                  IfAnimationPlayed, Off, On, Off, Off, Off, Off, Off, Off, Off};
constexpr CommandRow Stopped = Imported;
// On the DrawLine page the line tools replace Begin Line.
constexpr CommandRow DrawLine = {On, On, On, On, On, On, Off, IfViewsCurrent, IfViewsCurrent, IfPrintWritten,
                                 IfAnimationPlayed, On, On, On, Off, On, On, On, On, Off};
// The relief preview plays: only Stop, the page tabs and zoom act. Opening a
// file would take the layer from under the preview, so that is off too.
constexpr CommandRow ReliefPlaying = {Off, On, Off, Off, On, Off, Off, Off, Off, IfPrintWritten,
                                      IfAnimationPlayed, On, Off, Off, Off, On, Off, Off, Off, On};
// Stopped on the last frame: "Begin Line" goes back to drawing.
constexpr CommandRow ReliefStopped = {On, On, On, On, On, On, Off, IfViewsCurrent, IfViewsCurrent, IfPrintWritten,
                                      IfAnimationPlayed, On, On, Off, On, On, Off, On, On, Off};

}  // namespace

const CommandRow &CommandRowFor(const WindowState &state)
{
    if (state.Generating)
        return Generating;
    switch (state.AppState) {
    case StateNothingImported: return NothingImported;
    case StateAnimating: return Animating;
    default:
        if (state.Shown != Page::DrawLine)
            return state.AppState == StateStopped ? Stopped : Imported;
        switch (state.Relief) {
        case ReliefPhase::Playing: return ReliefPlaying;
        case ReliefPhase::Stopped: return ReliefStopped;
        default: return DrawLine;
        }
    }
}

bool CommandEnabled(Command command, const WindowState &state)
{
    switch (CommandRowFor(state)[size_t(command)]) {
    case Off: return false;
    case On: return true;
    case IfViewsCurrent: return state.ViewsCurrent;
    case IfPrintWritten: return state.PrintWritten;
    case IfAnimationPlayed: return state.AnimationPlayed;
    case IfLayerViewOne: return state.LayerViewOne;
    }
    return false;
}
