// The texts of the main window as data: every control, by its name in the code
// (LpiEdit...), with its kind, English caption, hint and shortcut, in creation
// order. For the kinds that take part in the language switch the hint holds the
// Chinese caption; for the others it is the tooltip a person sees, in English
// in both languages.
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

// Push buttons, labels, group boxes, radio groups, panels, tab sheets and menu
// items exchange caption and hint when the language changes.
bool IsTranslatable(ControlKind kind);

struct ControlText {
    const char *Name;      // the control's name in the code: MainWindow::Control(Name)
    ControlKind Kind;
    const char *Caption;   // English
    const char *Hint;      // Chinese caption, or English tooltip (see above)
    const char *Shortcut;  // menu items: a QKeySequence text
};

const std::vector<ControlText> &MainWindowTexts();

// Texts that are not control captions, set explicitly for each language.
struct LanguageTexts {
    const char *GridLayer, *GridGroup, *GridOffset, *GridName;
    const char *Brand;
    const char *LayerViewAll, *LayerViewOne;
    const char *LanguageButton;
    const char *HintImport, *HintSetParameters, *HintStopPreview, *HintExport, *HintGlasses;
    const char *OriginalInfo, *SizeCm, *Color, *LayersLabel;
    // Line edits the editor refuses: an order already full, a selection already
    // full, a line that already has all the points it can have.
    const char *OrderFull, *SelectionFull, *LineFull;
    // After an export: "%1 written: %2 x %3 pixels, %4 x %5 cm."
    const char *Written;
};

const LanguageTexts &TextsForLanguage(uint8_t language);

// Status bar panel widths, left to right; the last panel takes the rest.
const std::vector<int> &StatusPanelWidths();
// The text of the status hint panel before anything happened.
extern const char *const InitialStatusHint;
// The product's web page, opened from the help window and the Help menu.
extern const char *const ProductWebAddress;
