// The main window. Every control keeps its name (Edit5, StringGrid1,
// SpeedButton9...) so that commands read as "take Edit5 into Lpi". The handler
// bodies live with their subsystem: start-up and shut-down in Startup.cpp, the
// language switch in Language.cpp, later the import, preview and export commands
// in their own folders.
#pragma once

#include "CommandStates.h"
#include "Document.h"
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
#include <vector>

class QAction;
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
class QToolBar;
class QToolButton;
class QWidget;
class TAboutBox;
class TForm2;
class TPicture;

// One entry of the window's components, in creation order. `Hint` is the hint
// slot: the other language's caption for translatable kinds, the tooltip for the
// others.
struct TComponent {
    QString Name;
    ControlKind Kind;
    QObject *Object;
    QString Hint;
};

// Rows of the order list, its check boxes and its marker bar are 22 pixels
// apart, the first at 44 pixels from the top of the DrawLine controls.
constexpr int OrderRowHeight = 22;
constexpr int OrderFirstRowTop = 44;

// Left edge of the view marker over a picture area `areaWidth` wide, for view n
// (0: before the first frame); it slides 50 / 7 pixels to the left per view.
int ViewMarkerLeft(int areaWidth, int view);

class TForm1 : public QMainWindow {
    Q_OBJECT
public:
    explicit TForm1(QWidget *parent = nullptr);
    ~TForm1() override;

    // Start-up: work folder, settings file, initial state. False when the
    // program cannot run (no work folder); the message has been shown.
    // A work folder given on the command line is used as it is, and its files
    // are left in place at the end.
    bool FormCreate(const QString &workFolderOverride = QString());
    // Shut-down: settings file, document freed, work folder emptied. Runs once.
    void FormClose();

    // The components in creation order, and access by name.
    const std::vector<TComponent> &Components() const { return ComponentList; }
    TComponent *FindComponent(const QString &name);
    QString Caption(const QString &name);
    void SetCaption(const QString &name, const QString &caption);
    QString Hint(const QString &name);

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

    // Interface language: applies Language on the assumption that the window
    // shows the other one.
    void SwitchLanguage();
    // The hints, status panel labels and grid headers of a language.
    void ShowLanguageTexts(const LanguageTexts &texts);

    // --- Menu ---
    QMenu *N2, *N10, *N15, *N20;
    QAction *Openproject1, *Saveproject1, *N4, *N6, *Importdefaultsettings1, *N3, *N18, *N25, *N26, *N7,
        *PSD1, *ExportGif1, *AdaptiveGifPalette1, *PitchTest1, *N9;
    QAction *N23, *N14, *N11, *N12, *N13, *DeleteSelect1, *SelectAll1, *FreeTransform1, *Cut1, *Copy1,
        *Pastup1;
    QAction *N16, *N17, *Showgrouptiff1;
    QAction *N21, *N22, *Website1, *Languages1;

    // --- Toolbars ---
    QToolBar *ToolBar1;
    QToolButton *SpeedButton12, *SpeedButton15, *SpeedButton1, *SpeedButton3, *SpeedButton4, *SpeedButton10,
        *SpeedButton6, *SpeedButton7, *SpeedButton8, *SpeedButton9, *SpeedButton2, *SpeedButton29,
        *SpeedButton13, *SpeedButton5, *SpeedButton14;
    QToolBar *ToolBar2;
    QToolButton *ToolButton1, *ToolButton2, *ToolButton3, *ToolButton4, *ToolButton5;
    QToolButton *ToolButton8, *ToolButton7, *ToolButton9, *ToolButton12, *ToolButton10;

    // --- Right-hand panel ---
    QGroupBox *GroupBox2;
    QTabWidget *PageControl1;
    QWidget *TabSheet1;
    QTableWidget *StringGrid1;
    QGroupBox *RadioGroup1;
    QRadioButton *RadioGroup1All, *RadioGroup1One;
    QTabWidget *PageControl2;
    QWidget *TabSheet3;
    QLabel *Label7, *Label5, *Label1, *Label2;
    QLineEdit *Edit5, *Edit4, *Edit2, *Edit3;
    QWidget *TabSheet4;
    QLabel *Label25, *Label26, *Label28, *Label27, *Label29, *Label31, *Label30, *Label23;
    QComboBox *ComboBox2, *ComboBox1, *ComboBox3;
    QLineEdit *Edit9, *Edit10, *Edit11;
    QCheckBox *CheckBox16;  // "Crop to the area every view covers"
    QWidget *TabSheet2;
    QLabel *Panel3;
    QGroupBox *RadioGroup2;
    std::vector<QRadioButton *> RadioGroup2Items;  // "1".."15" and the empty 16th
    QLabel *Panel4, *Panel5, *Panel6;
    std::array<QCheckBox *, OrderCount> OrderCheckBoxes{};  // CheckBox1 .. CheckBox15
    QCheckBox *CheckBox1, *CheckBox2, *CheckBox3, *CheckBox4, *CheckBox5, *CheckBox6, *CheckBox7, *CheckBox8,
        *CheckBox9, *CheckBox10, *CheckBox11, *CheckBox12, *CheckBox13, *CheckBox14, *CheckBox15;
    QGroupBox *GroupBox1;
    QSlider *TrackBar3, *TrackBar2;
    QLabel *Label22, *Label21;
    QLineEdit *Edit1;
    QPushButton *BitBtn5, *BitBtn6;

    // --- Picture area ---
    QScrollArea *ScrollBox1;
    TPicture *Image1;
    QLabel *Label24;
    QProgressBar *ProgressBar1;
    QSlider *TrackBar1;
    QTimer *Timer1;

    // --- Status bar ---
    QStatusBar *StatusBar1;
    std::vector<QLabel *> StatusPanels;

    // --- Commands of this window ---
    void N9Click();          // "&Quit"
    void N21Click();         // "&Help": a new help window
    void N22Click();         // "&About": a new about window
    void Website1Click();    // the product's web page
    void Languages1Click();  // hidden language switch (Ctrl+Alt+C)

    // --- Import and the pictures shown (compose/ImportCommands.cpp) ---
    void SpeedButton1Click();   // toolbar "Import psd"
    void N6Click();             // menu "&Import *.psd"
    // Imports the file. False, with the message shown, when the file cannot be
    // imported; the open document is then unchanged.
    bool ImportPsd(const QString &path);
    // The window after an import: status, grid, picture, caption.
    void ShowImported(const ImportOutcome &outcome);
    void ComposeLayerAlone();   // the selected layer alone on the checkerboard
    void ShowFullPicture();     // "Layer View" All
    void RadioGroup1Click();    // "Layer View" All / One
    void StringGrid1Click(int row, int col);
    // A click or the keyboard made another row current: its layer is the current layer.
    void StringGrid1CurrentRowChanged(int row);
    void ShowPicture(const QImage &picture);  // in Image1, as the screen shows it
    void SetProgress(int percent);
    // The Offset column as typed, grid rows top first.
    QStringList OffsetCells() const;
    // The fields the preview takes; `focus` is the focus row's text.
    PreviewFieldTexts PreviewTexts(const QString &focus) const;
    // File names the save dialogs offer, preset from PsdPath at import.
    QString SaveDialog2FileName;  // interlaced TIFF
    QString SaveDialog5FileName;  // layered PSD
    QString SaveDialog3FileName;  // GIF
    QString SaveDialog1FileName;  // project

    // --- Preview (compose/PreviewCommands.cpp) ---
    void SpeedButton9Click();  // "Preview": generate the views and play them
    void N18Click();           // menu "Pre&View 3D animation"
    void SpeedButton2Click();  // "Stop"
    void N25Click();           // menu "S&top preview"
    // Composes and writes the seven views, then starts the animation. Throws
    // VistrelError when the views could not be made.
    void GenerateViews(const std::vector<int32_t> &offsets, int32_t focusOffset);
    void AnimationFrame();     // one frame of the animation, on Timer1
    bool Animating() const { return AnimationRunning; }
    int32_t PreviewTick = 0;

    // --- Print export (output/ExportCommands.cpp) ---
    void BitBtn3Click();       // export the interlaced print
    PrintFieldTexts PrintTexts() const;  // the fields the print export takes
    void N7Click();            // menu "&Export *.tiff"
    QStringList ListBox1;      // the full-resolution view files, view 7 first
    // How the last print placed its views, for the layered PSD, which composes
    // the view files only when first asked.
    struct {
        std::vector<int32_t> Offsets;
        int32_t FocusOffset = 0;
        Fixed4 Depth = 0;
        int32_t CentreView = 4;
        alayers Layers;    // groups and reliefs as printed
        Tnnlayer Lines;
        int32_t CropLeft = 0, CropWidth = 0;
    } PrintedViews;
    bool FullViewsWritten = false;
    void PSD1Click();          // "E&xport PSD": the views as a layered PSD
    // The status bar names a file written and its size.
    void ShowWritten(const QString &path, int64_t width, int64_t height, Fixed4 widthCm, Fixed4 heightCm);
    void ExportGif1Click();    // "Export &Gif": the preview views as an animated GIF
    // "Pitch test print": strips from 0.5 below to 0.5 above the LPI typed, in
    // steps of 0.1, at the resolution and width of the print.
    void PitchTest1Click();
    void SpeedButton5Click();  // "Red/blue glasses preview": the anaglyph
    void N26Click();           // menu "&Red/Blue Glasses preview"
    QString OpenDialog1FileName;  // the project the open dialog offers

    // --- Recent files and dropped files (app/RecentAndDropped.cpp) ---
    QStringList RecentFiles;                       // newest first
    std::array<QAction *, 8> RecentFileItems{};    // in the File menu, before Quit
    QAction *RecentSeparator = nullptr;
    void ShowRecentFiles();
    void RememberFile(const QString &path);        // after a PSD or project was opened
    void OpenFile(const QString &path);            // a PSD is imported, a project opened

    // --- Project files (settings/ProjectCommands.cpp) ---
    void SpeedButton12Click();        // "Open project"
    void SpeedButton15Click();        // "Save project": beside the PSD, without asking
    void N4Click();                   // "Save as project"
    void N3Click();                   // "Import settings": a project's settings for the open document
    void Importdefaultsettings1Click();  // the project beside the PSD, without a dialog
    // Opens a project: its PSD (beside it) is imported and the file applied.
    // Both files are read and checked before the open document changes.
    bool OpenProject(const QString &path);
    // Applies a project file to the open document.
    bool ApplyProjectFile(const QString &path);
    void ShowProject(const ProjectOutcome &outcome);
    bool RunProjectCommand(const std::function<ProjectOutcome()> &body);
    ProjectFieldTexts ProjectTexts() const;  // what a save takes from the window

    // --- Parameter panel (app/ParameterPanel.cpp) ---
    void Edit5Exit();    // LPI, on leaving
    void Edit2Exit();    // focus layer, on leaving
    void Edit3Change();  // depth, on every change
    void Edit4Change();  // view count, on every change
    void Edit9Change();  // print width, on every change
    void ShowFocusMarker();  // column 0: row numbers, " <F>" on the focus row

    // --- The DrawLine page (relief/DrawLineCommands.cpp) ---
    LineEditor Editor;
    bool DrawLineShown = false;
    ReliefPhase ReliefShown = ReliefPhase::Editing;
    int ReliefTick = 0;
    QTimer *ReliefTimer;
    void PageControl1Change();        // the shown page changed
    void EnterDrawLinePage();         // the page's show event
    void LeaveDrawLinePage();         // its hide event
    void ReloadDrawLinePage();        // the lines were replaced under the page
    void FitEditorView();             // ViewScale and offsets for the picture control
    TPoint32 WorkingPosition(int x, int y) const;  // a point of Image1 in working pixels
    bool PictureTakesMouse() const;
    bool LineCommandsActive() const;  // the page is shown and no relief preview is on
    bool HandlePictureMouse(QEvent *event);
    void ShowEditor();                // the editor's picture, cursor, tool, order, refusal
    void ShowCurrentOrder();          // the "Order" choice and its marker
    void ToolButtonClick(uint8_t toolMode);
    void RadioGroup2Click(int item);
    void OrderCheckBoxClick(int order);
    void SpeedButton13Click();        // "Begin Line"
    void N23Click();                  // menu "&Begin draw line"
    void SpeedButton10Click();        // "Delete point": the last point of the line being drawn
    void SpeedButton6Click();         // "delete line"
    void SpeedButton7Click();         // "delete layer"
    void SpeedButton8Click();         // "delete all"
    void DeleteSelect1Click();
    void SelectAll1Click();
    void FreeTransform1Click();
    void ToolButton8Click();          // the selection to the next lower order
    void ToolButton7Click();          // the selection to the next higher order
    void Cut1Click();
    void Copy1Click();
    void Pastup1Click();
    void BitBtn5Click();              // relief "Preview"
    void BitBtn6Click();              // relief "Stop"
    void ReliefFrame();               // one frame of the relief preview

    // --- View navigation (app/ViewNavigation.cpp) ---
    void FitPicture();
    void SpeedButton3Click();  // zoom in
    void SpeedButton4Click();  // zoom out
    void Showgrouptiff1Click();  // "&Show work folder"
    // Image1 fills the scroll box until the first fit or zoom.
    bool Image1Aligned = true;
    void SetImage1Enabled(bool enabled);
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
    void ApplyControlTexts();
    void ConnectHandlers();
    void ShowSettingsInFields();
    void SetExplicitTexts();
    void Register(const char *name, ControlKind kind, QObject *object);
    void ZoomBy(bool zoomIn);
    bool HandlePanEvent(QObject *watched, QEvent *event);

    std::vector<TComponent> ComponentList;
    bool Closed = false;
    bool AnimationRunning = false;
    void EndAnimation();
    bool KeepWorkFiles = false;
    QPointer<TAboutBox> AboutWindow;
};
