#include "MainWindowTexts.h"

bool IsTranslatable(ControlKind kind)
{
    switch (kind) {
    case ControlKind::BitBtn:
    case ControlKind::Label:
    case ControlKind::GroupBox:
    case ControlKind::RadioGroup:
    case ControlKind::Panel:
    case ControlKind::TabSheet:
    case ControlKind::Menu:
    case ControlKind::MenuItem:
        return true;
    default:
        return false;
    }
}

const char *const InitialStatusHint = "  Please import *.psd.";
const char *const ProductWebAddress = "https://vistrel.app/";

const std::vector<ControlText> &MainWindowTexts()
{
    using K = ControlKind;
    static const std::vector<ControlText> texts = {
        // Menu
        {"FileMenu", K::Menu, "&File", "文件(&F)", ""},
        {"OpenProjectAction", K::MenuItem, "Open project", "打开工程文件(&O)", "Ctrl+O"},
        {"SaveProjectAction", K::MenuItem, "&Save project", "储存工程文件(&S)", "Ctrl+S"},
        {"SaveProjectAsItem", K::MenuItem, "Save as project", "输出设置(&T)", "Ctrl+Alt+S"},
        {"ImportPsdAction", K::MenuItem, "&Import *.psd", "导入PSD(&I)", "Ctrl+I"},
        {"ImportDefaultSettingsItem", K::MenuItem, "Import default settings", "导入默认设置", "Ctrl+F12"},
        {"ImportSettingsItem", K::MenuItem, "I&mport settings", "导入设置(&m)", "Ctrl+Alt+I"},
        {"PreviewAction", K::MenuItem, "Pre&View 3D animation", "动画预览3D(&V)", "F9"},
        {"StopAction", K::MenuItem, "S&top preview", "停止预览(&T)", "F10"},
        {"AnaglyphAction", K::MenuItem, "&Red/Blue Glasses preview", "红绿眼镜观看(&G)", "F11"},
        {"ExportTiffAction", K::MenuItem, "&Export *.tiff", "输出tiff(&E)", "Ctrl+E"},
        {"ExportPsdItem", K::MenuItem, "E&xport PSD", "输出PSD(&X)", "Ctrl+Alt+E"},
        {"ExportGifItem", K::MenuItem, "Export &Gif", "输出Gif", "Ctrl+G"},
        {"AdaptiveGifPaletteItem", K::MenuItem, "Adaptive GIF palette", "Gif 自适应调色板", ""},
        {"FoldersAsGroupsItem", K::MenuItem, "Import &folders as flip groups", "文件夹导入为翻转组(&F)", ""},
        {"PitchTestItem", K::MenuItem, "&Pitch test print...", "光栅节距测试图(&P)...", ""},
        {"QuitItem", K::MenuItem, "&Quit", "退出(&Q)", "Ctrl+Q"},
        {"EditMenu", K::Menu, "&Edit", "编辑(&E)", ""},
        {"BeginLineAction", K::MenuItem, "&Begin draw line", "开始勾线(&B)", "Ctrl+B"},
        // On the toolbar only: the Edit menu's Undo (Ctrl+Z) gives back a point
        // while a line is drawn.
        {"DeletePointAction", K::MenuItem, "&Undo", "反悔勾线(&U)", ""},
        {"DeleteLineAction", K::MenuItem, "&Delete line", "删除单条线(&D)", ""},
        {"DeleteLayerLinesAction", K::MenuItem, "Delete &Layer", "删除单层线(&L)", ""},
        {"DeleteAllLinesAction", K::MenuItem, "Delete A&ll", "删除所有线(&A)", ""},
        {"DeleteSelectionItem", K::MenuItem, "&Delete Select", "删除选中勾线", "Del"},
        {"SelectAllItem", K::MenuItem, "Select &All", "全选", "Ctrl+A"},
        {"FreeTransformItem", K::MenuItem, "Free &Transition", "自由转换", "Ctrl+T"},
        {"CutAction", K::MenuItem, "C&ut", "剪切(&X)", "Ctrl+X"},
        {"CopyAction", K::MenuItem, "&Copy", "拷贝(&C)", "Ctrl+C"},
        {"PasteAction", K::MenuItem, "Pastup", "粘贴(&V)", "Ctrl+V"},
        {"ViewMenu", K::Menu, "&View", "显示(&V)", ""},
        {"ZoomInAction", K::MenuItem, "Zoom &In", "放大(&I)", "F3; Ctrl+=; Ctrl++"},
        {"ZoomOutAction", K::MenuItem, "Zoom &Out", "缩小(&O)", "F4; Ctrl+-"},
        {"FitAction", K::MenuItem, "&Fit", "适合窗口(&F)", "Ctrl+0"},
        {"ActualSizeAction", K::MenuItem, "100 %", "100 %", "Ctrl+1"},
        {"ShowWorkFolderItem", K::MenuItem, "&Show work folder", "显示系列图(&S)", ""},
        {"HelpMenu", K::Menu, "&Help", "帮助(&H)", ""},
        {"HelpItem", K::MenuItem, "&Help", "帮助(&H)", "F1"},
        {"AboutItem", K::MenuItem, "&About", "关于(&A)", "F12"},
        {"WebsiteItem", K::MenuItem, "vistrel.app", "", ""},
        {"LanguageItem", K::MenuItem, "&Languages English/Chinese", "语言 英文/中文", "Ctrl+Alt+C"},

        // Main toolbar, left to right, and the line toolbar inside it
        {"MainToolBar", K::ToolBar, "", "", ""},
        {"OpenProjectButton", K::SpeedButton, "", "Open project", ""},
        {"SaveProjectButton", K::SpeedButton, "", "Save project", ""},
        {"ImportPsdButton", K::SpeedButton, "", "Import psd", ""},
        {"ZoomInButton", K::SpeedButton, "", "Zoom in", ""},
        {"ZoomOutButton", K::SpeedButton, "", "Zoom out", ""},
        {"DeletePointButton", K::SpeedButton, "", "Delete point", ""},
        {"DeleteLineButton", K::SpeedButton, "", "delete line", ""},
        {"DeleteLayerLinesButton", K::SpeedButton, "", "delete layer", ""},
        {"DeleteAllLinesButton", K::SpeedButton, "", "delete all", ""},
        {"PreviewButton", K::SpeedButton, "", "Preview", ""},
        {"StopButton", K::SpeedButton, "", "Stop", ""},
        {"ExportTiffButton", K::SpeedButton, "", "Export tiff", ""},
        {"BeginLineButton", K::SpeedButton, "", "Begin Line", ""},
        {"AnaglyphButton", K::SpeedButton, "", "Red/blue glasses preview", ""},
        {"LanguageButton", K::SpeedButton, "Chinese", "", ""},
        {"LineToolBar", K::ToolBar, "", "", ""},
        {"DrawLineTool", K::ToolButton, "", "Draw Line", ""},
        {"AddPointTool", K::ToolButton, "", "Add Point", ""},
        {"DeletePointTool", K::ToolButton, "", "Delete Point", ""},
        {"MoveLineTool", K::ToolButton, "", "Move Line", ""},
        {"MovePointTool", K::ToolButton, "", "Move Point", ""},
        {"LowerOrderButton", K::ToolButton, "", "Move to down Layer", ""},
        {"HigherOrderButton", K::ToolButton, "", "Move to up layer", ""},
        {"CutLinesButton", K::ToolButton, "", "Cut", ""},
        {"CopyLinesButton", K::ToolButton, "", "Copy", ""},
        {"PasteLinesButton", K::ToolButton, "", "Pastup", ""},

        // Right-hand panel: the SetLayer page
        {"RightPanel", K::GroupBox, "", "", ""},
        {"Pages", K::PageControl, "", "", ""},
        {"SetLayerPage", K::TabSheet, "SetLayer", "多层设置", ""},
        {"LayerGrid", K::Grid, "", "", ""},
        {"LayerViewGroup", K::RadioGroup, "Layer View", "图层显示", ""},
        {"SettingsPages", K::PageControl, "", "", ""},
        {"ThreeDPage", K::TabSheet, "3DSets", "立体设置", ""},
        {"LpiLabel", K::Label, "LPI:", "线数:", ""},
        {"LpiEdit", K::Edit, "", "lenticular total in 1 inch", ""},
        {"ViewCountLabel", K::Label, "Angles(L):", "镜头数(限):", ""},
        {"ViewCountEdit", K::Edit, "7", "angle total", ""},
        {"FocusLabel", K::Label, "Layer 0:", "焦点层:", ""},
        {"FocusEdit", K::Edit, "1", "focus layer index", ""},
        {"DepthLabel", K::Label, "Depth:", "景深:", ""},
        {"PresetLabel", K::Label, "Preset:", "预设:", ""},
        {"PresetCombo", K::ComboBox, "", "a lens sheet, at a printer, of the shop's presets", ""},
        {"EditPresetsButton", K::BitBtn, "Sheets and printers...", "光栅和打印机...", ""},
        {"DepthEdit", K::Edit, "", "3D depth", ""},
        {"OutputPage", K::TabSheet, "Output Sets", "输出设置", ""},
        {"DpiLabel", K::Label, "OutDPI:", "精度:", ""},
        {"DpiCombo", K::ComboBox, "", "DPI of printer", ""},
        {"WidthLabel", K::Label, "Width:", "宽度:", ""},
        {"WidthEdit", K::Edit, "", "output width(L)", ""},
        {"WidthUnitLabel", K::Label, "cm", "厘米", ""},
        {"HeightLabel", K::Label, "Height:", "高度:", ""},
        {"HeightEdit", K::Edit, "", "output height", ""},
        {"HeightUnitLabel", K::Label, "cm", "厘米", ""},
        {"HScaleLabel", K::Label, "H Scale:", "压缩:", ""},
        {"HScaleEdit", K::Edit, "", "Vertical compress", ""},
        {"ColourModeLabel", K::Label, "Color:", "色彩:", ""},
        {"ColourModeCombo", K::ComboBox, "", "color mode", ""},
        {"VerticalDpiLabel", K::Label, "Y dpi:", "Y dpi：", ""},
        {"VerticalDpiCombo", K::ComboBox, "", "vertical DPI", ""},
        {"CropEdgesCheck", K::CheckBox, "Crop to the area every view covers",
         "cut the columns at the edges that not every view covers", ""},

        // Right-hand panel: the DrawLine page
        {"DrawLinePage", K::TabSheet, "DrawLine", "单层勾线", ""},
        {"DrawLinePanel", K::Panel, "", "", ""},
        {"OrderGroup", K::RadioGroup, "Order", "", ""},
        {"OrderMarker", K::Panel, "", "", ""},
        {"ViewLabel", K::Panel, "View", "", ""},
        {"OrderCheck1", K::CheckBox, "", "", ""},
        {"OrderCheck2", K::CheckBox, "", "", ""},
        {"OrderCheck3", K::CheckBox, "", "", ""},
        {"OrderCheck4", K::CheckBox, "", "", ""},
        {"OrderCheck5", K::CheckBox, "", "", ""},
        {"OrderCheck6", K::CheckBox, "", "", ""},
        {"OrderCheck7", K::CheckBox, "", "", ""},
        {"OrderCheck8", K::CheckBox, "", "", ""},
        {"OrderCheck9", K::CheckBox, "", "", ""},
        {"OrderCheck10", K::CheckBox, "", "", ""},
        {"OrderCheck11", K::CheckBox, "", "", ""},
        {"OrderCheck12", K::CheckBox, "", "", ""},
        {"OrderCheck13", K::CheckBox, "", "", ""},
        {"OrderCheck14", K::CheckBox, "", "", ""},
        {"OrderCheck15", K::CheckBox, "", "", ""},
        {"BaseOrderGroup", K::GroupBox, "Layer0", "", ""},
        {"BaseOrderSlider", K::TrackBar, "", "basic layer select", ""},
        {"BaseOrderLabel", K::Panel, "Back", "背景", ""},
        {"ReliefDepthLabel", K::Label, "Depth:", "景深", ""},
        {"ReliefDepthEdit", K::Edit, "1.0", "relief depth", ""},
        {"SmoothLabel", K::Label, "Smooth:", "边界光滑度:", ""},
        {"SmoothSlider", K::TrackBar, "", "edge smoothness", ""},
        {"ReliefPreviewButton", K::BitBtn, "Preview", "单层预览", ""},
        {"ReliefStopButton", K::BitBtn, "Stop", "停止", ""},

        // Picture area and status bar
        {"PictureArea", K::ScrollBox, "", "", ""},
        {"PictureView", K::Image, "", "", ""},
        {"FrontMarker", K::Label, "Front", "", ""},
        {"ProgressBar", K::ProgressBar, "", "", ""},
        {"FramePeriodSlider", K::TrackBar, "", "frame period", ""},
        {"MainStatusBar", K::StatusBar, "", "", ""},
    };
    return texts;
}

const LanguageTexts &TextsForLanguage(uint8_t language)
{
    static const LanguageTexts english = {
        "Layer", "Group", "Offset", "Name",
        "Vistrel lenticular",
        "All", "One",
        "Chinese",
        " Please import *.psd",
        " Please set 3d parameters，and click the Preview button.",
        " Please stop preview",
        " Please export tiff file, or change 3d settings.",
        "Please put on 3d glasses to see the 3d picture.",
        "Original info", "Size (cm):", "Color:", "Layers:",
        "An order holds at most 255 lines. Delete some lines or choose another order.",
        "At most 255 lines can be selected at once.",
        "A line has at most 127 points.",
        "%1 written: %2 x %3 pixels, %4 x %5 cm.",
    };
    static const LanguageTexts chinese = {
        "图层", "群组", "移位", "名称",
        "Vistrel 光栅立体",
        "全部", "单层",
        "英文",
        " 请导入Psd图档",
        " 请设置参数,然后预览",
        " 请先停止预览",
        " 请输出立体图片。或重新设置立体参数。",
        "请戴上红绿立体眼镜,观看立体效果.",
        "原图信息", "尺寸(厘米):", "颜色:", "层数:",
        "每层最多255条线。请删除一些线或选择其他层。",
        "最多只能同时选中255条线。",
        "一条线最多127个点。",
        "已输出 %1：%2 x %3 像素，%4 x %5 厘米。",
    };
    return language == 0 ? english : chinese;
}

const std::vector<int> &StatusPanelWidths()
{
    static const std::vector<int> widths = {150, 100, 80, 120, 50, 50, 50, 40, 50, 40, 50};
    return widths;
}
