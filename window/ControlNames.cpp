// The one table of the window's original control names. Each control keeps
// its original name as its object name (the texts table, and the scripts and
// tests that drive the window, find it by that name); the code calls it by the
// name on the right.
#include "MainWindow.h"

#include "Picture.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollArea>
#include <QSlider>
#include <QStatusBar>
#include <QTabWidget>
#include <QTableWidget>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>

std::vector<NamedControl> MainWindow::ControlNames()
{
#define CONTROL(original, member) NamedControl{original, #member, member}
    return {
        NamedControl{"Form1", "MainWindow", this},
        CONTROL("N2", FileMenu),
        CONTROL("Openproject1", OpenProjectAction),
        CONTROL("Saveproject1", SaveProjectAction),
        CONTROL("N4", SaveProjectAsItem),
        CONTROL("N6", ImportPsdAction),
        CONTROL("Importdefaultsettings1", ImportDefaultSettingsItem),
        CONTROL("N3", ImportSettingsItem),
        CONTROL("N18", PreviewAction),
        CONTROL("N25", StopAction),
        CONTROL("N26", AnaglyphAction),
        CONTROL("N7", ExportTiffAction),
        CONTROL("PSD1", ExportPsdItem),
        CONTROL("ExportGif1", ExportGifItem),
        CONTROL("AdaptiveGifPalette1", AdaptiveGifPaletteItem),
        CONTROL("FoldersAsGroups1", FoldersAsGroupsItem),
        CONTROL("PitchTest1", PitchTestItem),
        CONTROL("N9", QuitItem),
        CONTROL("N10", EditMenu),
        CONTROL("N23", BeginLineAction),
        CONTROL("N14", DeletePointAction),
        CONTROL("N11", DeleteLineAction),
        CONTROL("N12", DeleteLayerLinesAction),
        CONTROL("N13", DeleteAllLinesAction),
        CONTROL("DeleteSelect1", DeleteSelectionItem),
        CONTROL("SelectAll1", SelectAllItem),
        CONTROL("FreeTransform1", FreeTransformItem),
        CONTROL("Cut1", CutAction),
        CONTROL("Copy1", CopyAction),
        CONTROL("Pastup1", PasteAction),
        CONTROL("N15", ViewMenu),
        CONTROL("N16", ZoomInAction),
        CONTROL("N17", ZoomOutAction),
        CONTROL("Fit1", FitAction),
        CONTROL("ActualSize1", ActualSizeAction),
        CONTROL("Showgrouptiff1", ShowWorkFolderItem),
        CONTROL("N20", HelpMenu),
        CONTROL("N21", HelpItem),
        CONTROL("N22", AboutItem),
        CONTROL("Website1", WebsiteItem),
        CONTROL("Languages1", LanguageItem),
        CONTROL("ToolBar1", MainToolBar),
        CONTROL("SpeedButton12", OpenProjectButton),
        CONTROL("SpeedButton15", SaveProjectButton),
        CONTROL("SpeedButton1", ImportPsdButton),
        CONTROL("SpeedButton3", ZoomInButton),
        CONTROL("SpeedButton4", ZoomOutButton),
        CONTROL("SpeedButton10", DeletePointButton),
        CONTROL("SpeedButton6", DeleteLineButton),
        CONTROL("SpeedButton7", DeleteLayerLinesButton),
        CONTROL("SpeedButton8", DeleteAllLinesButton),
        CONTROL("SpeedButton9", PreviewButton),
        CONTROL("SpeedButton2", StopButton),
        CONTROL("SpeedButton29", ExportTiffButton),
        CONTROL("SpeedButton13", BeginLineButton),
        CONTROL("SpeedButton5", AnaglyphButton),
        CONTROL("SpeedButton14", LanguageButton),
        CONTROL("ToolBar2", LineToolBar),
        CONTROL("ToolButton1", DrawLineTool),
        CONTROL("ToolButton2", AddPointTool),
        CONTROL("ToolButton3", DeletePointTool),
        CONTROL("ToolButton4", MoveLineTool),
        CONTROL("ToolButton5", MovePointTool),
        CONTROL("ToolButton8", LowerOrderButton),
        CONTROL("ToolButton7", HigherOrderButton),
        CONTROL("ToolButton9", CutLinesButton),
        CONTROL("ToolButton12", CopyLinesButton),
        CONTROL("ToolButton10", PasteLinesButton),
        CONTROL("GroupBox2", RightPanel),
        CONTROL("PageControl1", Pages),
        CONTROL("TabSheet1", SetLayerPage),
        CONTROL("StringGrid1", LayerGrid),
        CONTROL("RadioGroup1", LayerViewGroup),
        CONTROL("PageControl2", SettingsPages),
        CONTROL("TabSheet3", ThreeDPage),
        CONTROL("Label7", LpiLabel),
        CONTROL("Edit5", LpiEdit),
        CONTROL("Label5", ViewCountLabel),
        CONTROL("Edit4", ViewCountEdit),
        CONTROL("Label1", FocusLabel),
        CONTROL("Edit2", FocusEdit),
        CONTROL("Label2", DepthLabel),
        CONTROL("PresetLabel1", PresetLabel),
        CONTROL("Preset1", PresetCombo),
        CONTROL("EditPresets1", EditPresetsButton),
        CONTROL("Edit3", DepthEdit),
        CONTROL("TabSheet4", OutputPage),
        CONTROL("Label25", DpiLabel),
        CONTROL("ComboBox2", DpiCombo),
        CONTROL("Label26", WidthLabel),
        CONTROL("Edit9", WidthEdit),
        CONTROL("Label28", WidthUnitLabel),
        CONTROL("Label27", HeightLabel),
        CONTROL("Edit10", HeightEdit),
        CONTROL("Label29", HeightUnitLabel),
        CONTROL("Label31", HScaleLabel),
        CONTROL("Edit11", HScaleEdit),
        CONTROL("Label30", ColourModeLabel),
        CONTROL("ComboBox1", ColourModeCombo),
        CONTROL("Label23", VerticalDpiLabel),
        CONTROL("ComboBox3", VerticalDpiCombo),
        CONTROL("CheckBox16", CropEdgesCheck),
        CONTROL("TabSheet2", DrawLinePage),
        CONTROL("Panel3", DrawLinePanel),
        CONTROL("RadioGroup2", OrderGroup),
        CONTROL("Panel4", OrderMarker),
        CONTROL("Panel5", ViewLabel),
        CONTROL("CheckBox1", OrderCheck1),
        CONTROL("CheckBox2", OrderCheck2),
        CONTROL("CheckBox3", OrderCheck3),
        CONTROL("CheckBox4", OrderCheck4),
        CONTROL("CheckBox5", OrderCheck5),
        CONTROL("CheckBox6", OrderCheck6),
        CONTROL("CheckBox7", OrderCheck7),
        CONTROL("CheckBox8", OrderCheck8),
        CONTROL("CheckBox9", OrderCheck9),
        CONTROL("CheckBox10", OrderCheck10),
        CONTROL("CheckBox11", OrderCheck11),
        CONTROL("CheckBox12", OrderCheck12),
        CONTROL("CheckBox13", OrderCheck13),
        CONTROL("CheckBox14", OrderCheck14),
        CONTROL("CheckBox15", OrderCheck15),
        CONTROL("GroupBox1", BaseOrderGroup),
        CONTROL("TrackBar3", BaseOrderSlider),
        CONTROL("Panel6", BaseOrderLabel),
        CONTROL("Label22", ReliefDepthLabel),
        CONTROL("Edit1", ReliefDepthEdit),
        CONTROL("Label21", SmoothLabel),
        CONTROL("TrackBar2", SmoothSlider),
        CONTROL("BitBtn5", ReliefPreviewButton),
        CONTROL("BitBtn6", ReliefStopButton),
        CONTROL("ScrollBox1", PictureArea),
        CONTROL("Image1", PictureView),
        CONTROL("Label24", FrontMarker),
        CONTROL("ProgressBar1", ProgressBar),
        CONTROL("TrackBar1", FramePeriodSlider),
        CONTROL("StatusBar1", MainStatusBar),
        CONTROL("Timer1", FrameTimer),
        CONTROL("RadioGroup1All", LayerViewAll),
        CONTROL("RadioGroup1One", LayerViewOne),
        CONTROL("ScrollBox1Content", ScrollContent),
    };
#undef CONTROL
}

QObject *MainWindow::Control(const QString &name)
{
    for (const NamedControl &control : ControlNames())
        if (name == QLatin1String(control.Name))
            return control.Object;
    return nullptr;
}
