// The main window: its controls, named by role and kind (LpiEdit, LayerGrid,
// PreviewButton...), and its handlers, named by what they do. The handler
// bodies live in a file a subsystem: start-up and shut-down in Startup.cpp, the
// language switch in Language.cpp, the import, preview, export, project and
// DrawLine commands in their *Commands.cpp.
#pragma once

#include "CommandStates.h"
#include "DesignHistory.h"
#include "Document.h"
#include "Presets.h"
#include "RecentFiles.h"
#include "Import.h"
#include "LineEditor.h"
#include "ProjectFile.h"
#include "MainWindowTexts.h"
#include "ParameterRules.h"

#include <QMainWindow>
#include <QPointer>
#include <QString>
#include <array>
#include <functional>
#include <memory>
#include <vector>

class QAction;
class QUndoStack;
class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QMenu;
class QProgressBar;
class QPushButton;
class QRadioButton;
class QScrollArea;
class QSlider;
class QStatusBar;
class QTabWidget;
class QTableWidget;
class QTimer;
class QTranslator;
class QActionGroup;
class QToolBar;
class QToolButton;
class QWidget;
class AboutBox;
class HelpWindow;
class PictureControl;

// A language of the interface: its code and its name in itself.
struct InterfaceLanguage {
    QString Code;
    QString Name;
};
// English, then one language per translation compiled in, by code.
std::vector<InterfaceLanguage> InterfaceLanguages();

// A control of this window, its original name (kept as its object name) and
// the name this code gives it.
struct NamedControl {
    const char *Original;
    const char *Name;
    QObject *Object;
};

// Rows of the order list, its check boxes and its marker bar are 22 pixels
// apart, the first at 44 pixels from the top of the DrawLine controls.
constexpr int OrderRowHeight = 22;
constexpr int OrderFirstRowTop = 44;

// Left edge of the view marker over a picture area `areaWidth` wide, for view n
// (0: before the first frame); it slides 50 / 7 pixels to the left per view.
int ViewMarkerLeft(int areaWidth, int view);

class MainWindow : public QMainWindow {
    Q_OBJECT
public:
    explicit MainWindow(QWidget *parent = nullptr);
    ~MainWindow() override;

    // The open document: the window's commands work on it, and on nothing else.
    Document Doc;

    // Start-up: work folder, settings file, initial state. False when the
    // program cannot run (no work folder); the message has been shown.
    // A work folder given on the command line is used as it is, and its files
    // are left in place at the end.
    bool StartUp(const QString &workFolderOverride = QString());
    // Shut-down: settings file, document freed, work folder emptied. Runs once.
    void ShutDown();

    // The one table of original control names (ControlNames.cpp), and a
    // control by the name this code gives it (a menu: its QMenu), or null.
    std::vector<NamedControl> ControlNames();
    QObject *Control(const QString &name);
    // The caption of a control of the texts table, by its name in this code.
    QString Caption(const QString &name);
    void SetCaption(const QString &name, const QString &caption);

    // The text of a status bar panel (0..10).
    QString PanelText(int panel) const;
    void SetPanelText(int panel, const QString &text);
    // The cells of the layer grid: column, row (row 0 holds the headers).
    QString Cells(int col, int row) const;
    void SetCells(int col, int row, const QString &text);

    // The guard of every command: the busy cursor (when `busy`), the progress
    // bar and the enabled commands are put back however the body ends, and a
    // failure of any kind, an allocation failure included, becomes one message.
    // True when the body ran to its end.
    bool RunCommand(const std::function<void()> &body, bool busy = true);
    // Enables and shows the commands as the table's row for the current state says.
    void ApplyCommandStates();
    WindowState CurrentWindowState() const;
    // True while the views are being made.
    bool Generating = false;
    // Commands running, one inside another; a close waits for them.
    int CommandDepth = 0;
    bool CloseWaiting = false;

    // Interface language: "en", or the code of a translation the program
    // carries ("zh_CN"). UseLanguage installs its translation and shows every
    // text of the window in it, then the status hint of the current state.
    QString LanguageCode = QStringLiteral("en");
    void UseLanguage(const QString &code);
    // At start-up: Chinese when the settings file says so, else a language
    // remembered by code, else English.
    void UseStartLanguage();
    // Every caption, tooltip, hint, header and panel label in the language installed.
    void RetranslateTexts();
    void ShowLanguageChoices();
    std::unique_ptr<QTranslator> Translation, QtTranslation;

    // --- Menu: a command with a button too (an ...Action) is one QAction,
    // in the menu and on a toolbar, enabled from the command table ---
    QMenu *FileMenu, *EditMenu, *ViewMenu, *HelpMenu;
    QMenu *LanguageMenu;  // in the View menu: one checkable item a language
    QActionGroup *LanguageChoices;
    QAction *OpenProjectAction, *SaveProjectAction, *SaveProjectAsItem, *ImportPsdAction, *ImportDefaultSettingsItem, *ImportSettingsItem, *PreviewAction, *StopAction, *AnaglyphAction, *ExportTiffAction,
        *ExportPsdItem, *ExportGifItem, *AdaptiveGifPaletteItem, *PitchTestItem, *QuitItem,
        *FoldersAsGroupsItem;
    QAction *BeginLineAction, *DeletePointAction, *DeleteLineAction, *DeleteLayerLinesAction, *DeleteAllLinesAction, *DeleteSelectionItem, *SelectAllItem, *FreeTransformItem, *CutAction, *CopyAction,
        *PasteAction;
    QAction *ZoomInAction, *ZoomOutAction, *FitAction, *ActualSizeAction, *ShowWorkFolderItem;
    QAction *HelpItem, *AboutItem, *WebsiteItem, *LanguageItem;

    // --- Toolbars: the buttons the toolbars made for the actions above ---
    QToolBar *MainToolBar;
    QToolButton *OpenProjectButton, *SaveProjectButton, *ImportPsdButton, *ZoomInButton, *ZoomOutButton, *DeletePointButton,
        *DeleteLineButton, *DeleteLayerLinesButton, *DeleteAllLinesButton, *PreviewButton, *StopButton, *ExportTiffButton,
        *BeginLineButton, *AnaglyphButton, *LanguageButton;
    QToolBar *LineToolBar;
    QToolButton *DrawLineTool, *AddPointTool, *DeletePointTool, *MoveLineTool, *MovePointTool;
    QToolButton *LowerOrderButton, *HigherOrderButton, *CutLinesButton, *CopyLinesButton, *PasteLinesButton;

    // --- Right-hand panel ---
    QGroupBox *RightPanel;
    QTabWidget *Pages;
    QWidget *SetLayerPage;
    QTableWidget *LayerGrid;
    QGroupBox *LayerViewGroup;
    QRadioButton *LayerViewAll, *LayerViewOne;
    QTabWidget *SettingsPages;
    QWidget *ThreeDPage;
    QLabel *LpiLabel, *ViewCountLabel, *FocusLabel, *DepthLabel, *PresetLabel;
    QComboBox *PresetCombo;
    QPushButton *EditPresetsButton;
    QLineEdit *LpiEdit, *ViewCountEdit, *FocusEdit, *DepthEdit;
    QWidget *OutputPage;
    QLabel *DpiLabel, *WidthLabel, *WidthUnitLabel, *HeightLabel, *HeightUnitLabel, *HScaleLabel, *ColourModeLabel, *VerticalDpiLabel;
    QComboBox *DpiCombo, *ColourModeCombo, *VerticalDpiCombo;
    QLineEdit *WidthEdit, *HeightEdit, *HScaleEdit;
    QCheckBox *CropEdgesCheck;  // "Crop to the area every view covers"
    // For the print shop, each remembered for the next run: the widest print
    // the width field takes, the print's compression, and its colour profile.
    QWidget *PressPage;  // "Print shop"
    QLabel *MaxWidthLabel, *MaxWidthUnitLabel, *CompressionLabel, *BleedLabel, *BleedUnitLabel;
    QLineEdit *MaxWidthEdit, *BleedEdit;  // BleedEdit: 0 .. 50 mm
    QCheckBox *MarksCheck;                // crop marks, registration targets, slug line
    void BleedEdited();
    QComboBox *CompressionCombo;  // none, LZW, ZIP
    QCheckBox *EmbedIccCheck;     // the PSD's own profile, when it has one
    void MaxWidthEdited();
    // What the print and the layered PSD are asked beyond the settings.
    PrintFinish FinishAsked() const;
    QWidget *DrawLinePage;
    QLabel *DrawLinePanel;
    QGroupBox *OrderGroup;
    std::vector<QRadioButton *> OrderRadios;  // "1".."15" and the empty 16th
    QLabel *OrderMarker, *ViewLabel, *BaseOrderLabel;
    std::array<QCheckBox *, OrderCount> OrderCheckBoxes{};  // OrderCheck1 .. OrderCheck15
    QCheckBox *OrderCheck1, *OrderCheck2, *OrderCheck3, *OrderCheck4, *OrderCheck5, *OrderCheck6, *OrderCheck7, *OrderCheck8,
        *OrderCheck9, *OrderCheck10, *OrderCheck11, *OrderCheck12, *OrderCheck13, *OrderCheck14, *OrderCheck15;
    QGroupBox *BaseOrderGroup;
    QSlider *BaseOrderSlider, *SmoothSlider;
    QLabel *ReliefDepthLabel, *SmoothLabel;
    QLineEdit *ReliefDepthEdit;
    QPushButton *ReliefPreviewButton, *ReliefStopButton;

    // --- Picture area ---
    QScrollArea *PictureArea;
    PictureControl *PictureView;
    QLabel *FrontMarker;
    QProgressBar *ProgressBar;
    QSlider *FramePeriodSlider;
    QTimer *FrameTimer;

    // --- Status bar ---
    QStatusBar *MainStatusBar;
    std::vector<QLabel *> StatusPanels;
    // The hints of panel 10 in the language shown, and the one the state calls for.
    QString HintImport, HintSetParameters, HintStopPreview, HintExport, HintGlasses, HintCurrent;

    // --- Commands of this window ---
    void Quit();          // "&Quit"
    void ShowHelp();         // "&Help": a new help window
    void ShowAbout();         // "&About": a new about window
    void OpenWebsite();    // the product's web page
    void ToggleLanguage();  // the next language the program carries (Ctrl+Alt+C)

    // --- Import and the pictures shown (window/ImportCommands.cpp) ---
    void ChooseAndImportPsd();   // toolbar "Import psd"
    // Imports the file. False, with the message shown, when the file cannot be
    // imported; the open document is then unchanged.
    bool ImportPsd(const QString &path);
    // The window after an import: status, grid, picture, caption.
    void ShowImported(const ImportOutcome &outcome);
    void ComposeLayerAlone();   // the selected layer alone on the checkerboard
    void ShowFullPicture();     // "Layer View" All
    void LayerViewChanged();    // "Layer View" All / One
    void LayerGridClicked(int row, int col);
    // A click or the keyboard made another row current: its layer is the current layer.
    void LayerGridRowChanged(int row);
    // Flip groups made in the grid: a Group cell typed (a letter typed on a
    // row goes to its Group cell, not to the offset), double-clicked or chosen
    // from the grid's context menu. A wrong entry is refused naming the row.
    void GroupCellChanged(int row, int col);
    bool SetLayerGroup(int row, const QString &typed);
    QMenu *GroupMenuFor(int row);  // "No group", "Group A" ...: the grid's context menu on a row
    bool SettingCell = false;  // the code, not the designer, is writing a cell
    void ShowPicture(const QImage &picture);  // in PictureView, as the screen shows it
    void SetProgress(int percent);
    // The Offset column as typed, grid rows top first.
    QStringList OffsetCells() const;
    // The fields the preview takes; `focus` is the focus row's text.
    PreviewFieldTexts PreviewTexts(const QString &focus) const;
    // File names the save dialogs offer, preset from PsdPath at import.
    QString PrintFileName;  // interlaced TIFF
    QString LayeredPsdFileName;  // layered PSD
    QString GifFileName;  // GIF
    QString ProjectFileName;  // project

    // --- Preview (window/PreviewCommands.cpp) ---
    void PreviewViews();  // "Preview": generate the views and play them
    void StopAnimation();  // "Stop"
    // Composes and writes the seven views, then starts the animation. Throws
    // VistrelError when the views could not be made.
    void GenerateViews(const std::vector<int32_t> &offsets, int32_t focusOffset);
    void AnimationFrame();     // one frame of the animation, on FrameTimer
    bool Animating() const { return AnimationRunning; }
    int32_t PreviewTick = 0;

    // --- Print export (window/ExportCommands.cpp) ---
    void ExportInterlacedPrint();       // export the interlaced print
    PrintFieldTexts PrintTexts() const;  // the fields the print export takes
    QStringList FullViewFiles;      // the full-resolution view files, view 7 first
    // How the last print placed its views, for the layered PSD, which composes
    // the view files only when first asked.
    struct {
        std::vector<int32_t> Offsets;
        int32_t FocusOffset = 0;
        Fixed4 Depth = 0;
        int32_t CentreView = 4;
        LayerTable Layers;    // groups and reliefs as printed
        LineSets Lines;
        int32_t CropLeft = 0, CropWidth = 0;
    } PrintedViews;
    bool FullViewsWritten = false;
    void ExportLayeredPsd();          // "E&xport PSD": the views as a layered PSD
    // The status bar names a file written and its size.
    void ShowWritten(const QString &path, int64_t width, int64_t height, Fixed4 widthCm, Fixed4 heightCm);
    void ExportAnimatedGif();    // "Export &Gif": the preview views as an animated GIF
    // "Pitch test print": strips from 0.5 below to 0.5 above the LPI typed, in
    // steps of 0.1, at the resolution and width of the print.
    void ExportPitchTest();
    void ShowAnaglyph();  // "Red/blue glasses preview": the anaglyph
    QString OpenProjectFileName;  // the project the open dialog offers

    // --- What the file dialogs remember (window/RecentAndDropped.cpp) ---
    DialogMemory Remembered;
    // The folder a dialog of this kind opens in: where the last one was left, else `fallback`.
    QString RememberedFolder(const QString &kind, const QString &fallback) const;
    // `preset` (a file name beside the PSD) in the folder remembered for the kind.
    QString RememberedName(const QString &kind, const QString &preset) const;
    void RememberFolder(const QString &kind, const QString &chosenFile);

    // --- Recent files and dropped files (window/RecentAndDropped.cpp) ---
    QStringList RecentFiles;                       // newest first
    std::array<QAction *, 8> RecentFileItems{};    // in the File menu, before Quit
    QAction *RecentSeparator = nullptr;
    void ShowRecentFiles();
    void RememberFile(const QString &path);        // after a PSD or project was opened
    void OpenFile(const QString &path);            // a PSD is imported, a project opened

    // --- Project files (window/ProjectCommands.cpp) ---
    void ChooseAndOpenProject();        // "Open project"
    void SaveProjectBesidePsd();        // "Save project": beside the PSD, without asking
    void SaveProjectAs();                   // "Save as project"
    void ImportProjectSettings();                   // "Import settings": a project's settings for the open document
    void ImportDefaultSettings();  // the project beside the PSD, without a dialog
    // Opens a project: its PSD (beside it) is imported and the file applied.
    // Both files are read and checked before the open document changes.
    bool OpenProject(const QString &path);
    // Applies a project file to the open document.
    bool ApplyProjectFile(const QString &path);
    void ShowProject(const ProjectOutcome &outcome);
    bool RunProjectCommand(const std::function<ProjectOutcome()> &body);
    ProjectFieldTexts ProjectTexts();  // what a save takes from the window (the lines on the page stored first)
    ProjectFieldTexts FieldTexts() const;    // the same, the lines on the DrawLine page not stored first

    // --- Unsaved changes (window/ProjectCommands.cpp) ---
    QByteArray SavedDesign;  // what the last save, open or import left, the date aside
    QByteArray DesignText() const;
    bool DesignModified() const;
    void MarkDesignSaved();
    void ShowDesignModified();  // the caption's "*"
    // Before the design is replaced or the window closes: "Save changes to the
    // design?" when it is modified. False when the designer cancels or the
    // save fails: the caller stops and everything stays as it was.
    bool MayReplaceDesign();

    // --- Undo and redo of the design (DesignHistory.cpp) ---
    QUndoStack *History = nullptr;
    QAction *UndoAction = nullptr, *RedoAction = nullptr;
    DesignState LastDesign;        // the state the last recorded edit left
    bool RestoringDesign = false;  // an undo or redo is putting a state back
    DesignState CaptureDesign() const;
    void RestoreDesign(const DesignState &state);
    // Records what changed since the last record as one step: after every
    // command, a finished gesture on the picture, a field left, a cell typed.
    void RecordDesignEdit();
    void StartDesignHistory();  // after an import or an open: a new history
    bool DrawingALine() const;
    void UndoEdit();  // while a line is drawn: its last point
    void RedoEdit();
    void ShowUndoRedo();

    // --- Parameter panel (window/ParameterPanel.cpp) ---
    void LpiEdited();    // LPI, on leaving
    void FocusEdited();    // focus layer, on leaving
    void DepthChanged();  // depth, on every change
    void ViewCountChanged();  // view count, on every change
    void WidthChanged();  // print width, on every change
    void ShowFocusMarker();  // column 0: row numbers, " <F>" on the focus row
    // The shop's lens sheets and printers: chosen in the 3D panel, edited in a small dialog.
    Presets ShopPresets;
    void LoadPresets();        // at start-up; a damaged file is said once and left alone
    void ShowPresetChoices();  // "(none)", each sheet, each sheet at each printer
    void PresetChosen(int index);
    void EditPresets();

    // --- The DrawLine page (window/DrawLineCommands.cpp) ---
    LineEditor Editor{Doc};
    bool DrawLineShown = false;
    ReliefPhase ReliefShown = ReliefPhase::Editing;
    int ReliefTick = 0;
    QTimer *ReliefTimer;
    void PageChanged();        // the shown page changed
    void EnterDrawLinePage();         // the page's show event
    void LeaveDrawLinePage();         // its hide event
    void ReloadDrawLinePage();        // the lines were replaced under the page
    void FitEditorView();             // ViewScale and offsets for the picture control
    LinePoint WorkingPosition(int x, int y) const;  // a point of PictureView in working pixels
    bool PictureTakesMouse() const;
    bool LineCommandsActive() const;  // the page is shown and no relief preview is on
    bool HandlePictureMouse(QEvent *event);
    // The editor's picture, cursor, tool, order, refusal; records the edit made.
    void ShowEditor(bool recordEdit = true);
    void ShowCurrentOrder();          // the "Order" choice and its marker
    void ToolButtonClick(uint8_t toolMode);
    void OrderChosen(int item);
    void OrderCheckBoxClick(int order);
    void BeginLine();        // "Begin Line"
    void DeleteLastPoint();        // "Delete point": the last point of the line being drawn
    void DeleteLine();         // "delete line"
    void DeleteLayerLines();         // "delete layer"
    void ClearAllLines();         // "delete all"
    void DeleteSelection();
    void SelectAllLines();
    void FreeTransform();
    void MoveSelectionToLowerOrder();          // the selection to the next lower order
    void MoveSelectionToHigherOrder();          // the selection to the next higher order
    void CutLines();
    void CopyLines();
    void PasteLines();
    void StartReliefPreview();              // relief "Preview"
    void StopReliefPreview();              // relief "Stop"
    void ReliefFrame();               // one frame of the relief preview

    // --- View navigation (window/ViewNavigation.cpp) ---
    void FitPicture();     // "Fit" (Ctrl+0); the fitted picture follows the window's size
    void ShowActualSize();  // "100 %" (Ctrl+1): one screen pixel per canvas pixel
    void ZoomIn();  // zoom in (F3, Ctrl+=, Ctrl and the wheel)
    void ZoomOut();  // zoom out (F4, Ctrl+-)
    void ShowZoom();  // the zoom in the status bar, in per cent of the canvas
    QLabel *ZoomLabel;
    bool PictureFitted = false;  // fitted, and fitted again when the window changes size
    void ShowWorkFolder();  // "&Show work folder"
    // The window's own view state: the space-bar pan and the mapping of the
    // picture for the line editor (working pixels per screen pixel, and where
    // the drawn picture starts, both times 10 000).
    uint8_t SpaceHeld = 0, PanDragging = 0;
    int32_t PanStartX = 0, PanStartY = 0, PanStartH = 0, PanStartV = 0;
    Fixed4 ViewScale = Fixed4One;
    Fixed4 ViewOffsetX = 0, ViewOffsetY = 0;
    // PictureView fills the scroll box until the first fit or zoom.
    bool PictureFillsArea = true;
    void SetPictureTakesInput(bool enabled);
    void LayoutScrollContent();
    QWidget *ScrollContent;

protected:
    void closeEvent(QCloseEvent *event) override;
    void dragEnterEvent(QDragEnterEvent *event) override;
    void dropEvent(QDropEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void CreateControls();
    void CreateMenus();
    void CreateToolBars();
    void CreateRightPanel();
    void CreateSetLayerPage();
    void CreateDrawLinePage();
    void CreatePictureArea();
    void CreateStatusBar();
    void ApplyControlTexts();  // the fields' first values and the shortcuts of the texts table
    void ConnectHandlers();
    void ShowSettingsInFields();
    void ZoomBy(bool zoomIn);
    void ZoomTo(int width);  // the picture drawn `width` pixels wide, centred
    bool HandlePanEvent(QObject *watched, QEvent *event);

    bool Closed = false;
    bool AnimationRunning = false;
    void EndAnimation();
    bool KeepWorkFiles = false;
    QPointer<AboutBox> AboutWindow;
};
