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
        {"N2", K::Menu, "&File", "文件(&F)", ""},
        {"Openproject1", K::MenuItem, "Open project", "打开工程文件(&O)", "Ctrl+O"},
        {"Saveproject1", K::MenuItem, "&Save project", "储存工程文件(&S)", "Ctrl+S"},
        {"N4", K::MenuItem, "Save as project", "输出设置(&T)", "Ctrl+Alt+S"},
        {"N1", K::Separator, "-", "", ""},
        {"N6", K::MenuItem, "&Import *.psd", "导入PSD(&I)", "Ctrl+I"},
        {"Importdefaultsettings1", K::MenuItem, "Import default settings", "导入默认设置", "Ctrl+F12"},
        {"N3", K::MenuItem, "I&mport settings", "导入设置(&m)", "Ctrl+Alt+I"},
        {"N5", K::Separator, "-", "", ""},
        {"N18", K::MenuItem, "Pre&View 3D animation", "动画预览3D(&V)", "F9"},
        {"N25", K::MenuItem, "S&top preview", "停止预览(&T)", "F10"},
        {"N26", K::MenuItem, "&Red/Blue Glasses preview", "红绿眼镜观看(&G)", "F11"},
        {"N8", K::Separator, "-", "", ""},
        {"N7", K::MenuItem, "&Export *.tiff", "输出tiff(&E)", "Ctrl+E"},
        {"PSD1", K::MenuItem, "E&xport PSD", "输出PSD(&X)", "Ctrl+Alt+E"},
        {"ExportGif1", K::MenuItem, "Export &Gif", "输出Gif", "Ctrl+G"},
        {"AdaptiveGifPalette1", K::MenuItem, "Adaptive GIF palette", "Gif 自适应调色板", ""},
        {"PitchTest1", K::MenuItem, "&Pitch test print...", "光栅节距测试图(&P)...", ""},
        {"N19", K::Separator, "-", "", ""},
        {"N9", K::MenuItem, "&Quit", "退出(&Q)", "Ctrl+Q"},
        {"N10", K::Menu, "&Edit", "编辑(&E)", ""},
        {"N23", K::MenuItem, "&Begin draw line", "开始勾线(&B)", "Ctrl+B"},
        {"N14", K::MenuItem, "&Undo", "反悔勾线(&U)", "Ctrl+Z"},
        {"N11", K::MenuItem, "&Delete line", "删除单条线(&D)", ""},
        {"N12", K::MenuItem, "Delete &Layer", "删除单层线(&L)", ""},
        {"N13", K::MenuItem, "Delete A&ll", "删除所有线(&A)", ""},
        {"N24", K::Separator, "-", "", ""},
        {"DeleteSelect1", K::MenuItem, "&Delete Select", "删除选中勾线", "Del"},
        {"SelectAll1", K::MenuItem, "Select &All", "全选", "Ctrl+A"},
        {"FreeTransform1", K::MenuItem, "Free &Transition", "自由转换", "Ctrl+T"},
        {"N27", K::Separator, "-", "", ""},
        {"Cut1", K::MenuItem, "C&ut", "剪切(&X)", "Ctrl+X"},
        {"Copy1", K::MenuItem, "&Copy", "拷贝(&C)", "Ctrl+C"},
        {"Pastup1", K::MenuItem, "Pastup", "粘贴(&V)", "Ctrl+V"},
        {"N15", K::Menu, "&View", "显示(&V)", ""},
        {"N16", K::MenuItem, "Zoom &In", "放大(&I)", "F3"},
        {"N17", K::MenuItem, "Zoom &Out", "缩小(&O)", "F4"},
        {"N28", K::Separator, "-", "", ""},
        {"Showgrouptiff1", K::MenuItem, "&Show work folder", "显示系列图(&S)", ""},
        {"N20", K::Menu, "&Help", "帮助(&H)", ""},
        {"N21", K::MenuItem, "&Help", "帮助(&H)", "F1"},
        {"N22", K::MenuItem, "&About", "关于(&A)", "F12"},
        {"N29", K::Separator, "-", "", ""},
        {"Website1", K::MenuItem, "vistrel.app", "", ""},
        {"Languages1", K::MenuItem, "&Languages English/Chinese", "语言 英文/中文", "Ctrl+Alt+C"},

        // Main toolbar, left to right, and the line toolbar inside it
        {"ToolBar1", K::ToolBar, "", "", ""},
        {"SpeedButton12", K::SpeedButton, "", "Open project", ""},
        {"SpeedButton15", K::SpeedButton, "", "Save project", ""},
        {"SpeedButton1", K::SpeedButton, "", "Import psd", ""},
        {"SpeedButton3", K::SpeedButton, "", "Zoom in", ""},
        {"SpeedButton4", K::SpeedButton, "", "Zoom out", ""},
        {"SpeedButton10", K::SpeedButton, "", "Delete point", ""},
        {"SpeedButton6", K::SpeedButton, "", "delete line", ""},
        {"SpeedButton7", K::SpeedButton, "", "delete layer", ""},
        {"SpeedButton8", K::SpeedButton, "", "delete all", ""},
        {"SpeedButton9", K::SpeedButton, "", "Preview", ""},
        {"SpeedButton2", K::SpeedButton, "", "Stop", ""},
        {"SpeedButton29", K::SpeedButton, "", "Export tiff", ""},
        {"SpeedButton13", K::SpeedButton, "", "Begin Line", ""},
        {"SpeedButton5", K::SpeedButton, "", "Red/blue glasses preview", ""},
        {"SpeedButton14", K::SpeedButton, "Chinese", "", ""},
        {"ToolBar2", K::ToolBar, "", "", ""},
        {"ToolButton1", K::ToolButton, "", "Draw Line", ""},
        {"ToolButton2", K::ToolButton, "", "Add Point", ""},
        {"ToolButton3", K::ToolButton, "", "Delete Point", ""},
        {"ToolButton4", K::ToolButton, "", "Move Line", ""},
        {"ToolButton5", K::ToolButton, "", "Move Point", ""},
        {"ToolButton8", K::ToolButton, "", "Move to down Layer", ""},
        {"ToolButton7", K::ToolButton, "", "Move to up layer", ""},
        {"ToolButton9", K::ToolButton, "", "Cut", ""},
        {"ToolButton12", K::ToolButton, "", "Copy", ""},
        {"ToolButton10", K::ToolButton, "", "Pastup", ""},

        // Right-hand panel: the SetLayer page
        {"GroupBox2", K::GroupBox, "", "", ""},
        {"PageControl1", K::PageControl, "", "", ""},
        {"TabSheet1", K::TabSheet, "SetLayer", "多层设置", ""},
        {"StringGrid1", K::Grid, "", "", ""},
        {"RadioGroup1", K::RadioGroup, "Layer View", "图层显示", ""},
        {"PageControl2", K::PageControl, "", "", ""},
        {"TabSheet3", K::TabSheet, "3DSets", "立体设置", ""},
        {"Label7", K::Label, "LPI:", "线数:", ""},
        {"Edit5", K::Edit, "", "lenticular total in 1 inch", ""},
        {"Label5", K::Label, "Angles(L):", "镜头数(限):", ""},
        {"Edit4", K::Edit, "7", "angle total", ""},
        {"Label1", K::Label, "Layer 0:", "焦点层:", ""},
        {"Edit2", K::Edit, "1", "focus layer index", ""},
        {"Label2", K::Label, "Depth:", "景深:", ""},
        {"Edit3", K::Edit, "", "3D depth", ""},
        {"TabSheet4", K::TabSheet, "Output Sets", "输出设置", ""},
        {"Label25", K::Label, "OutDPI:", "精度:", ""},
        {"ComboBox2", K::ComboBox, "", "DPI of printer", ""},
        {"Label26", K::Label, "Width:", "宽度:", ""},
        {"Edit9", K::Edit, "", "output width(L)", ""},
        {"Label28", K::Label, "cm", "厘米", ""},
        {"Label27", K::Label, "Height:", "高度:", ""},
        {"Edit10", K::Edit, "", "output height", ""},
        {"Label29", K::Label, "cm", "厘米", ""},
        {"Label31", K::Label, "H Scale:", "压缩:", ""},
        {"Edit11", K::Edit, "", "Vertical compress", ""},
        {"Label30", K::Label, "Color:", "色彩:", ""},
        {"ComboBox1", K::ComboBox, "", "color mode", ""},
        {"Label23", K::Label, "Y dpi:", "Y dpi：", ""},
        {"ComboBox3", K::ComboBox, "", "vertical DPI", ""},
        {"CheckBox16", K::CheckBox, "Crop to the area every view covers",
         "cut the columns at the edges that not every view covers", ""},

        // Right-hand panel: the DrawLine page
        {"TabSheet2", K::TabSheet, "DrawLine", "单层勾线", ""},
        {"Panel3", K::Panel, "", "", ""},
        {"RadioGroup2", K::RadioGroup, "Order", "", ""},
        {"Panel4", K::Panel, "", "", ""},
        {"Panel5", K::Panel, "View", "", ""},
        {"CheckBox1", K::CheckBox, "", "", ""},
        {"CheckBox2", K::CheckBox, "", "", ""},
        {"CheckBox3", K::CheckBox, "", "", ""},
        {"CheckBox4", K::CheckBox, "", "", ""},
        {"CheckBox5", K::CheckBox, "", "", ""},
        {"CheckBox6", K::CheckBox, "", "", ""},
        {"CheckBox7", K::CheckBox, "", "", ""},
        {"CheckBox8", K::CheckBox, "", "", ""},
        {"CheckBox9", K::CheckBox, "", "", ""},
        {"CheckBox10", K::CheckBox, "", "", ""},
        {"CheckBox11", K::CheckBox, "", "", ""},
        {"CheckBox12", K::CheckBox, "", "", ""},
        {"CheckBox13", K::CheckBox, "", "", ""},
        {"CheckBox14", K::CheckBox, "", "", ""},
        {"CheckBox15", K::CheckBox, "", "", ""},
        {"GroupBox1", K::GroupBox, "Layer0", "", ""},
        {"TrackBar3", K::TrackBar, "", "basic layer select", ""},
        {"Panel6", K::Panel, "Back", "背景", ""},
        {"Label22", K::Label, "Depth:", "景深", ""},
        {"Edit1", K::Edit, "1.0", "relief depth", ""},
        {"Label21", K::Label, "Smooth:", "边界光滑度:", ""},
        {"TrackBar2", K::TrackBar, "", "edge smoothness", ""},
        {"BitBtn5", K::BitBtn, "Preview", "单层预览", ""},
        {"BitBtn6", K::BitBtn, "Stop", "停止", ""},

        // Picture area and status bar
        {"ScrollBox1", K::ScrollBox, "", "", ""},
        {"Image1", K::Image, "", "", ""},
        {"Label24", K::Label, "Front", "", ""},
        {"ProgressBar1", K::ProgressBar, "", "", ""},
        {"TrackBar1", K::TrackBar, "", "frame period", ""},
        {"StatusBar1", K::StatusBar, "", "", ""},
    };
    return texts;
}

const LanguageTexts &TextsForLanguage(uint8_t language)
{
    static const LanguageTexts english = {
        "Layer", "Group", "Offset",
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
        "图层", "群组", "移位",
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
