// The texts of the main window as data: every control, by its name in the code
// (LpiEdit...), with its kind, caption, tooltip and shortcut, in creation
// order. Captions and tooltips are English, marked for translation (contexts
// "MainWindow" and "Tooltip") and shown translated by RetranslateTexts; an
// edit field's caption is its first value.
#pragma once

#include <cstdint>
#include <vector>

enum class ControlKind {
    Menu,         // a top-level menu
    MenuItem,
    SpeedButton,  // flat button of the main toolbar
    ToolButton,   // check button of the line toolbar
    BitBtn,       // push button
    Label,
    GroupBox,
    RadioGroup,
    Panel,
    TabSheet,
    PageControl,
    ToolBar,
    Edit,
    ComboBox,
    CheckBox,
    TrackBar,
    Grid,
    ScrollBox,
    Image,
    ProgressBar,
    StatusBar,
};

struct ControlText {
    const char *Name;      // the control's name in the code: MainWindow::Control(Name)
    ControlKind Kind;
    const char *Caption;
    const char *Tooltip;
    const char *Shortcut;  // menu items: a QKeySequence text
};

const std::vector<ControlText> &MainWindowTexts();

// Status bar panel widths, left to right; the last panel takes the rest.
const std::vector<int> &StatusPanelWidths();
// The product's web page, opened from the help window and the Help menu.
extern const char *const ProductWebAddress;
