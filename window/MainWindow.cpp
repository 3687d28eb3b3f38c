// The main window's controls: created in order, named, laid out, and given
// their texts from the table in ui/.
#include "MainWindow.h"

#include "AboutBox.h"
#include "Brand.h"
#include "Errors.h"
#include "Picture.h"
#include "Platform.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QPixmap>
#include <QCloseEvent>
#include <QComboBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollArea>
#include <QShortcut>
#include <QSlider>
#include <QStatusBar>
#include <QTabWidget>
#include <QTableWidget>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>

namespace {

constexpr int RightPanelWidth = 290;

QTabWidget *TabWidgetOf(QWidget *page)
{
    for (QWidget *w = page->parentWidget(); w; w = w->parentWidget())
        if (auto *tabs = qobject_cast<QTabWidget *>(w))
            return tabs;
    return nullptr;
}

}  // namespace

MainWindow::MainWindow(QWidget *parent) : QMainWindow(parent)
{
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(QStringLiteral("Vistrel"));
    setWindowIcon(QIcon(QPixmap::fromImage(DrawAppIcon(64))));
    CreateControls();
    ApplyControlTexts();
    ConnectHandlers();
    ApplyCommandStates();
}

MainWindow::~MainWindow() = default;

void MainWindow::Register(const char *name, ControlKind kind, QObject *object)
{
    object->setObjectName(QString::fromLatin1(name));
    ComponentList.push_back({QString::fromLatin1(name), kind, object, QString()});
}

void MainWindow::CreateControls()
{
    CreateMenus();
    CreateToolBars();
    CreateRightPanel();
    CreatePictureArea();
    CreateStatusBar();

    auto *central = new QWidget(this);
    auto *row = new QHBoxLayout(central);
    row->setContentsMargins(2, 2, 2, 2);
    row->setSpacing(2);
    row->addWidget(ProgressBar);
    row->addWidget(PictureArea, 1);
    row->addWidget(RightPanel);
    setCentralWidget(central);

    FrameTimer = new QTimer(this);
    FrameTimer->setObjectName(QStringLiteral("Timer1"));
    FrameTimer->setInterval(50);
    FrameTimer->setSingleShot(true);  // one frame of the animation, then off
    ReliefTimer = new QTimer(this);  // one frame of the relief preview, at FrameTimer's period
    ReliefTimer->setSingleShot(true);
}

void MainWindow::CreateMenus()
{
    auto item = [this](QMenu *menu, const char *name, QAction *&action) {
        action = menu->addAction(QString());
        Register(name, ControlKind::MenuItem, action);
    };
    auto separator = [this](QMenu *menu, const char *name) {
        Register(name, ControlKind::Separator, menu->addSeparator());
    };
    auto menu = [this](const char *name, QMenu *&m) {
        m = menuBar()->addMenu(QString());
        m->setObjectName(QString::fromLatin1(name));
        Register(name, ControlKind::Menu, m->menuAction());
    };

    menu("N2", FileMenu);
    item(FileMenu, "Openproject1", OpenProjectItem);
    item(FileMenu, "Saveproject1", SaveProjectItem);
    item(FileMenu, "N4", SaveProjectAsItem);
    separator(FileMenu, "N1");
    item(FileMenu, "N6", ImportPsdItem);
    item(FileMenu, "Importdefaultsettings1", ImportDefaultSettingsItem);
    item(FileMenu, "N3", ImportSettingsItem);
    separator(FileMenu, "N5");
    item(FileMenu, "N18", PreviewItem);
    item(FileMenu, "N25", StopPreviewItem);
    item(FileMenu, "N26", AnaglyphItem);
    separator(FileMenu, "N8");
    item(FileMenu, "N7", ExportTiffItem);
    item(FileMenu, "PSD1", ExportPsdItem);
    item(FileMenu, "ExportGif1", ExportGifItem);
    item(FileMenu, "AdaptiveGifPalette1", AdaptiveGifPaletteItem);
    AdaptiveGifPaletteItem->setCheckable(true);  // off: the halftone palette
    item(FileMenu, "PitchTest1", PitchTestItem);
    // The last files opened, shown when there are any.
    RecentSeparator = FileMenu->addSeparator();
    for (size_t i = 0; i < RecentFileItems.size(); ++i) {
        RecentFileItems[i] = FileMenu->addAction(QString());
        RecentFileItems[i]->setObjectName(QStringLiteral("RecentFile%1").arg(i + 1));
        RecentFileItems[i]->setVisible(false);
    }
    separator(FileMenu, "N19");
    item(FileMenu, "N9", QuitItem);

    menu("N10", EditMenu);
    item(EditMenu, "N23", BeginLineItem);
    item(EditMenu, "N14", UndoPointItem);
    item(EditMenu, "N11", DeleteLineItem);
    item(EditMenu, "N12", DeleteLayerLinesItem);
    item(EditMenu, "N13", DeleteAllLinesItem);
    separator(EditMenu, "N24");
    item(EditMenu, "DeleteSelect1", DeleteSelectionItem);
    item(EditMenu, "SelectAll1", SelectAllItem);
    item(EditMenu, "FreeTransform1", FreeTransformItem);
    separator(EditMenu, "N27");
    item(EditMenu, "Cut1", CutItem);
    item(EditMenu, "Copy1", CopyItem);
    item(EditMenu, "Pastup1", PasteItem);

    menu("N15", ViewMenu);
    item(ViewMenu, "N16", ZoomInItem);
    item(ViewMenu, "N17", ZoomOutItem);
    separator(ViewMenu, "N28");
    item(ViewMenu, "Showgrouptiff1", ShowWorkFolderItem);

    menu("N20", HelpMenu);
    item(HelpMenu, "N21", HelpItem);
    item(HelpMenu, "N22", AboutItem);
    separator(HelpMenu, "N29");
    item(HelpMenu, "Website1", WebsiteItem);
    item(HelpMenu, "Languages1", LanguageItem);

    // Hidden items still answer their shortcuts.
    ImportDefaultSettingsItem->setVisible(false);
    LanguageItem->setVisible(false);
}

void MainWindow::CreateToolBars()
{
    MainToolBar = new QToolBar(this);
    Register("ToolBar1", ControlKind::ToolBar, MainToolBar);
    MainToolBar->setMovable(false);
    MainToolBar->setFloatable(false);
    MainToolBar->setIconSize(QSize(24, 24));
    addToolBar(Qt::TopToolBarArea, MainToolBar);

    // The buttons sit in one strip so that each can be shown or hidden by itself.
    auto *strip = new QWidget(MainToolBar);
    auto *row = new QHBoxLayout(strip);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(1);
    auto button = [&](const char *name, QToolButton *&b, bool gapBefore = false) {
        if (gapBefore)
            row->addSpacing(10);
        b = new QToolButton(strip);
        b->setAutoRaise(true);
        b->setIconSize(QSize(24, 24));
        b->setIcon(ToolIcon(QString::fromLatin1(name)));
        b->setFocusPolicy(Qt::TabFocus);
        Register(name, ControlKind::SpeedButton, b);
        row->addWidget(b);
    };
    button("SpeedButton12", OpenProjectButton);
    button("SpeedButton15", SaveProjectButton);
    button("SpeedButton1", ImportPsdButton);
    button("SpeedButton3", ZoomInButton, true);
    button("SpeedButton4", ZoomOutButton);
    button("SpeedButton10", DeletePointButton, true);
    button("SpeedButton6", DeleteLineButton);
    button("SpeedButton7", DeleteLayerLinesButton);
    button("SpeedButton8", DeleteAllLinesButton);
    button("SpeedButton9", PreviewButton, true);
    button("SpeedButton2", StopButton);
    button("SpeedButton29", ExportTiffButton);
    button("SpeedButton13", BeginLineButton, true);
    button("SpeedButton5", AnaglyphButton);
    button("SpeedButton14", LanguageButton);
    LanguageButton->setToolButtonStyle(Qt::ToolButtonTextOnly);
    LanguageButton->setVisible(false);
    MainToolBar->addWidget(strip);

    // The line tools, shown only while the DrawLine page is.
    LineToolBar = new QToolBar(this);
    Register("ToolBar2", ControlKind::ToolBar, LineToolBar);
    LineToolBar->setMovable(false);
    LineToolBar->setFloatable(false);
    LineToolBar->setIconSize(QSize(24, 24));
    auto tool = [&](const char *name, QToolButton *&b) {
        b = new QToolButton(LineToolBar);
        b->setCheckable(true);
        b->setAutoExclusive(true);
        b->setAutoRaise(true);
        b->setIconSize(QSize(24, 24));
        b->setIcon(ToolIcon(QString::fromLatin1(name)));
        Register(name, ControlKind::ToolButton, b);
        LineToolBar->addWidget(b);
    };
    tool("ToolButton1", DrawLineTool);
    tool("ToolButton2", AddPointTool);
    tool("ToolButton3", DeletePointTool);
    tool("ToolButton4", MoveLineTool);
    tool("ToolButton5", MovePointTool);
    DrawLineTool->setChecked(true);
    // The selection commands act once; they are not tools.
    LineToolBar->addSeparator();
    auto command = [&](const char *name, QToolButton *&b) {
        tool(name, b);
        b->setCheckable(false);
        b->setAutoExclusive(false);
    };
    command("ToolButton8", LowerOrderButton);
    command("ToolButton7", HigherOrderButton);
    command("ToolButton9", CutLinesButton);
    command("ToolButton12", CopyLinesButton);
    command("ToolButton10", PasteLinesButton);
    PasteLinesButton->setEnabled(false);  // until the first cut or copy
    addToolBar(Qt::TopToolBarArea, LineToolBar);
    LineToolBar->setVisible(false);
}

void MainWindow::CreateRightPanel()
{
    RightPanel = new QGroupBox(this);
    Register("GroupBox2", ControlKind::GroupBox, RightPanel);
    RightPanel->setFixedWidth(RightPanelWidth);
    auto *panelLayout = new QVBoxLayout(RightPanel);
    panelLayout->setContentsMargins(2, 2, 2, 2);

    Pages = new QTabWidget(RightPanel);
    Register("PageControl1", ControlKind::PageControl, Pages);
    panelLayout->addWidget(Pages);

    CreateSetLayerPage();
    CreateDrawLinePage();
}

void MainWindow::CreateSetLayerPage()
{
    SetLayerPage = new QWidget;
    Register("TabSheet1", ControlKind::TabSheet, SetLayerPage);
    Pages->addTab(SetLayerPage, QString());
    auto *page = new QVBoxLayout(SetLayerPage);
    page->setContentsMargins(4, 4, 4, 4);

    LayerGrid = new QTableWidget(4, 3, SetLayerPage);
    Register("StringGrid1", ControlKind::Grid, LayerGrid);
    LayerGrid->horizontalHeader()->hide();
    LayerGrid->verticalHeader()->hide();
    LayerGrid->verticalHeader()->setDefaultSectionSize(22);
    LayerGrid->setColumnWidth(0, 70);
    LayerGrid->setColumnWidth(1, 60);
    LayerGrid->horizontalHeader()->setStretchLastSection(true);
    LayerGrid->setSelectionMode(QAbstractItemView::SingleSelection);
    page->addWidget(LayerGrid, 1);

    LayerViewGroup = new QGroupBox(SetLayerPage);
    Register("RadioGroup1", ControlKind::RadioGroup, LayerViewGroup);
    auto *radios = new QHBoxLayout(LayerViewGroup);
    LayerViewAll = new QRadioButton(LayerViewGroup);
    LayerViewAll->setObjectName(QStringLiteral("RadioGroup1All"));
    LayerViewOne = new QRadioButton(LayerViewGroup);
    LayerViewOne->setObjectName(QStringLiteral("RadioGroup1One"));
    LayerViewAll->setText(QString::fromUtf8(TextsForLanguage(0).LayerViewAll));
    LayerViewOne->setText(QString::fromUtf8(TextsForLanguage(0).LayerViewOne));
    LayerViewAll->setChecked(true);
    radios->addWidget(LayerViewAll);
    radios->addWidget(LayerViewOne);
    page->addWidget(LayerViewGroup);

    SettingsPages = new QTabWidget(SetLayerPage);
    Register("PageControl2", ControlKind::PageControl, SettingsPages);
    page->addWidget(SettingsPages);

    auto label = [this](QWidget *parent, const char *name, QLabel *&l) {
        l = new QLabel(parent);
        Register(name, ControlKind::Label, l);
    };
    auto edit = [this](QWidget *parent, const char *name, QLineEdit *&e, int maxLength) {
        e = new QLineEdit(parent);
        e->setMaxLength(maxLength);
        Register(name, ControlKind::Edit, e);
    };
    auto combo = [this](QWidget *parent, const char *name, QComboBox *&c, const QStringList &items) {
        c = new QComboBox(parent);
        c->addItems(items);
        Register(name, ControlKind::ComboBox, c);
    };

    ThreeDPage = new QWidget;
    Register("TabSheet3", ControlKind::TabSheet, ThreeDPage);
    SettingsPages->addTab(ThreeDPage, QString());
    auto *sets3d = new QGridLayout(ThreeDPage);
    label(ThreeDPage, "Label7", LpiLabel);
    edit(ThreeDPage, "Edit5", LpiEdit, 8);
    label(ThreeDPage, "Label5", ViewCountLabel);
    edit(ThreeDPage, "Edit4", ViewCountEdit, 3);
    label(ThreeDPage, "Label1", FocusLabel);
    edit(ThreeDPage, "Edit2", FocusEdit, 3);
    label(ThreeDPage, "Label2", DepthLabel);
    edit(ThreeDPage, "Edit3", DepthEdit, 7);
    QLabel *labels3d[] = {LpiLabel, ViewCountLabel, FocusLabel, DepthLabel};
    QLineEdit *edits3d[] = {LpiEdit, ViewCountEdit, FocusEdit, DepthEdit};
    for (int r = 0; r < 4; ++r) {
        sets3d->addWidget(labels3d[r], r, 0);
        sets3d->addWidget(edits3d[r], r, 1);
    }
    sets3d->setRowStretch(4, 1);

    OutputPage = new QWidget;
    Register("TabSheet4", ControlKind::TabSheet, OutputPage);
    SettingsPages->addTab(OutputPage, QString());
    auto *output = new QGridLayout(OutputPage);
    label(OutputPage, "Label25", DpiLabel);
    combo(OutputPage, "ComboBox2", DpiCombo,
          {QStringLiteral("(Auto)"), QStringLiteral("360"), QStringLiteral("720"), QStringLiteral("1200"),
           QStringLiteral("1440"), QStringLiteral("2400"), QStringLiteral("2880")});
    DpiCombo->setEditable(true);
    DpiCombo->setInsertPolicy(QComboBox::NoInsert);
    label(OutputPage, "Label26", WidthLabel);
    edit(OutputPage, "Edit9", WidthEdit, 8);
    label(OutputPage, "Label28", WidthUnitLabel);
    label(OutputPage, "Label27", HeightLabel);
    edit(OutputPage, "Edit10", HeightEdit, 32767);  // follows the width, never typed into
    label(OutputPage, "Label29", HeightUnitLabel);
    label(OutputPage, "Label31", HScaleLabel);
    edit(OutputPage, "Edit11", HScaleEdit, 2);
    label(OutputPage, "Label30", ColourModeLabel);
    combo(OutputPage, "ComboBox1", ColourModeCombo,
          {QStringLiteral("1bit x 4"), QStringLiteral("Gray X 4 "), QStringLiteral("Color"), QStringLiteral("4bit")});
    ColourModeCombo->setCurrentIndex(2);
    label(OutputPage, "Label23", VerticalDpiLabel);
    combo(OutputPage, "ComboBox3", VerticalDpiCombo,
          {QStringLiteral("300"), QStringLiteral("600"), QStringLiteral("800"), QStringLiteral("1200"),
           QStringLiteral("1600"), QStringLiteral("2400")});
    VerticalDpiCombo->setCurrentIndex(1);  // "600"; read by no command
    CropEdgesCheck = new QCheckBox(OutputPage);
    Register("CheckBox16", ControlKind::CheckBox, CropEdgesCheck);
    output->addWidget(DpiLabel, 0, 0);
    output->addWidget(DpiCombo, 0, 1);
    output->addWidget(WidthLabel, 1, 0);
    output->addWidget(WidthEdit, 1, 1);
    output->addWidget(WidthUnitLabel, 1, 2);
    output->addWidget(HeightLabel, 2, 0);
    output->addWidget(HeightEdit, 2, 1);
    output->addWidget(HeightUnitLabel, 2, 2);
    output->addWidget(HScaleLabel, 3, 0);
    output->addWidget(HScaleEdit, 3, 1);
    output->addWidget(ColourModeLabel, 4, 0);
    output->addWidget(ColourModeCombo, 4, 1);
    output->addWidget(VerticalDpiLabel, 5, 0);
    output->addWidget(VerticalDpiCombo, 5, 1);
    output->addWidget(CropEdgesCheck, 6, 0, 1, 3);
    output->setRowStretch(6, 1);
    for (QWidget *hidden : {static_cast<QWidget *>(ColourModeLabel), static_cast<QWidget *>(ColourModeCombo),
                            static_cast<QWidget *>(VerticalDpiLabel), static_cast<QWidget *>(VerticalDpiCombo)})
        hidden->setVisible(false);
    ViewCountEdit->setEnabled(false);
    HeightEdit->setEnabled(false);
    HScaleEdit->setEnabled(false);
    SettingsPages->setFixedHeight(190);
}

void MainWindow::CreateDrawLinePage()
{
    DrawLinePage = new QWidget;
    Register("TabSheet2", ControlKind::TabSheet, DrawLinePage);
    Pages->addTab(DrawLinePage, QString());
    auto *page = new QVBoxLayout(DrawLinePage);
    page->setContentsMargins(0, 0, 0, 0);

    // The DrawLine controls are placed by pixel: the marker bar beside the
    // current order moves in steps of one order row.
    DrawLinePanel = new QLabel(DrawLinePage);
    Register("Panel3", ControlKind::Panel, DrawLinePanel);
    DrawLinePanel->setMinimumSize(RightPanelWidth - 16, OrderFirstRowTop + 16 * OrderRowHeight + 12);
    page->addWidget(DrawLinePanel);
    page->addStretch(1);

    OrderGroup = new QGroupBox(DrawLinePanel);
    Register("RadioGroup2", ControlKind::RadioGroup, OrderGroup);
    OrderGroup->setGeometry(14, OrderFirstRowTop - 24, 64, 16 * OrderRowHeight + 30);
    for (int i = 0; i < 16; ++i) {
        auto *radio = new QRadioButton(i < 15 ? QString::number(i + 1) : QString(), OrderGroup);
        radio->setObjectName(QStringLiteral("RadioGroup2Item%1").arg(i + 1));
        radio->setGeometry(8, 24 + i * OrderRowHeight, 50, 20);
        OrderRadios.push_back(radio);
    }
    OrderRadios[0]->setChecked(true);

    OrderMarker = new QLabel(DrawLinePanel);
    Register("Panel4", ControlKind::Panel, OrderMarker);
    OrderMarker->setGeometry(4, OrderFirstRowTop, 8, 20);
    OrderMarker->setAutoFillBackground(true);
    OrderMarker->setStyleSheet(QStringLiteral("background-color: #e67828;"));

    ViewLabel = new QLabel(DrawLinePanel);
    Register("Panel5", ControlKind::Panel, ViewLabel);
    ViewLabel->setGeometry(86, OrderFirstRowTop - 22, 44, 18);
    QCheckBox **boxes[] = {&OrderCheck1, &OrderCheck2, &OrderCheck3, &OrderCheck4, &OrderCheck5,
                           &OrderCheck6, &OrderCheck7, &OrderCheck8, &OrderCheck9, &OrderCheck10,
                           &OrderCheck11, &OrderCheck12, &OrderCheck13, &OrderCheck14, &OrderCheck15};
    static const char *const boxNames[] = {"CheckBox1", "CheckBox2", "CheckBox3", "CheckBox4", "CheckBox5",
                                           "CheckBox6", "CheckBox7", "CheckBox8", "CheckBox9", "CheckBox10",
                                           "CheckBox11", "CheckBox12", "CheckBox13", "CheckBox14", "CheckBox15"};
    for (int k = 0; k < 15; ++k) {
        *boxes[k] = new QCheckBox(DrawLinePanel);
        Register(boxNames[k], ControlKind::CheckBox, *boxes[k]);
        (*boxes[k])->setGeometry(94, OrderFirstRowTop + k * OrderRowHeight, 24, 20);
        (*boxes[k])->setChecked(true);
        OrderCheckBoxes[size_t(k)] = *boxes[k];
    }

    const int x = 136;
    const int w = DrawLinePanel->minimumWidth() - x - 6;
    BaseOrderGroup = new QGroupBox(DrawLinePanel);
    Register("GroupBox1", ControlKind::GroupBox, BaseOrderGroup);
    BaseOrderGroup->setGeometry(x, OrderFirstRowTop - 24, w, 80);
    BaseOrderSlider = new QSlider(Qt::Horizontal, BaseOrderGroup);
    Register("TrackBar3", ControlKind::TrackBar, BaseOrderSlider);
    BaseOrderSlider->setRange(0, 15);
    BaseOrderSlider->setValue(7);
    BaseOrderSlider->setTickPosition(QSlider::TicksBelow);
    BaseOrderSlider->setGeometry(6, 22, w - 12, 26);
    BaseOrderLabel = new QLabel(BaseOrderGroup);
    Register("Panel6", ControlKind::Panel, BaseOrderLabel);
    BaseOrderLabel->setAlignment(Qt::AlignRight);
    BaseOrderLabel->setGeometry(6, 52, w - 12, 18);

    ReliefDepthLabel = new QLabel(DrawLinePanel);
    Register("Label22", ControlKind::Label, ReliefDepthLabel);
    ReliefDepthLabel->setGeometry(x, OrderFirstRowTop + 70, 60, 22);
    ReliefDepthEdit = new QLineEdit(DrawLinePanel);
    Register("Edit1", ControlKind::Edit, ReliefDepthEdit);
    ReliefDepthEdit->setGeometry(x + 62, OrderFirstRowTop + 70, w - 62, 22);

    SmoothLabel = new QLabel(DrawLinePanel);
    Register("Label21", ControlKind::Label, SmoothLabel);
    SmoothLabel->setGeometry(x, OrderFirstRowTop + 104, w, 20);
    SmoothSlider = new QSlider(Qt::Horizontal, DrawLinePanel);
    Register("TrackBar2", ControlKind::TrackBar, SmoothSlider);
    SmoothSlider->setRange(1, 9);
    SmoothSlider->setValue(5);
    SmoothSlider->setTickPosition(QSlider::TicksBelow);
    SmoothSlider->setGeometry(x, OrderFirstRowTop + 126, w, 26);

    ReliefPreviewButton = new QPushButton(DrawLinePanel);
    Register("BitBtn5", ControlKind::BitBtn, ReliefPreviewButton);
    ReliefPreviewButton->setGeometry(x, OrderFirstRowTop + 170, w, 30);
    ReliefStopButton = new QPushButton(DrawLinePanel);
    Register("BitBtn6", ControlKind::BitBtn, ReliefStopButton);
    ReliefStopButton->setGeometry(x, OrderFirstRowTop + 206, w, 30);
    ReliefStopButton->setEnabled(false);
}

void MainWindow::CreatePictureArea()
{
    // PictureView is placed by hand inside the scroll box: fitted, zoomed, scrolled.
    PictureArea = new QScrollArea(this);
    Register("ScrollBox1", ControlKind::ScrollBox, PictureArea);
    PictureArea->setWidgetResizable(false);
    PictureArea->setBackgroundRole(QPalette::Dark);
    ScrollContent = new QWidget;
    ScrollContent->setObjectName(QStringLiteral("ScrollBox1Content"));
    PictureView = new PictureControl(ScrollContent);
    Register("Image1", ControlKind::Image, PictureView);
    PictureView->setMouseTracking(true);  // the line tools show what lies under the pointer
    PictureArea->setWidget(ScrollContent);
    SetPictureTakesInput(false);  // takes the mouse only on the DrawLine page
    PictureArea->viewport()->installEventFilter(this);
    ScrollContent->installEventFilter(this);

    // The view marker floats over the picture area.
    FrontMarker = new QLabel(PictureArea);
    Register("Label24", ControlKind::Label, FrontMarker);
    FrontMarker->setStyleSheet(QStringLiteral("color: red; font-size: 32px; font-weight: bold;"));
    FrontMarker->setVisible(false);

    ProgressBar = new QProgressBar(this);
    Register("ProgressBar1", ControlKind::ProgressBar, ProgressBar);
    ProgressBar->setOrientation(Qt::Vertical);
    ProgressBar->setRange(0, 100);
    ProgressBar->setValue(0);
    ProgressBar->setTextVisible(false);
    ProgressBar->setFixedWidth(12);

    FramePeriodSlider = new QSlider(Qt::Horizontal, this);
    Register("TrackBar1", ControlKind::TrackBar, FramePeriodSlider);
    FramePeriodSlider->setRange(1, 11);
    FramePeriodSlider->setValue(6);
    FramePeriodSlider->setVisible(false);
}

void MainWindow::CreateStatusBar()
{
    MainStatusBar = new QStatusBar(this);
    Register("StatusBar1", ControlKind::StatusBar, MainStatusBar);
    MainStatusBar->setSizeGripEnabled(false);
    setStatusBar(MainStatusBar);
    const std::vector<int> &widths = StatusPanelWidths();
    for (size_t i = 0; i < widths.size(); ++i) {
        auto *panel = new QLabel(MainStatusBar);
        panel->setObjectName(QStringLiteral("StatusPanel%1").arg(i));
        panel->setFrameShape(QFrame::Panel);
        panel->setFrameShadow(QFrame::Sunken);
        panel->setMinimumWidth(widths[i]);
        if (i + 1 < widths.size())
            panel->setFixedWidth(widths[i]);
        MainStatusBar->addPermanentWidget(panel, i + 1 == widths.size() ? 1 : 0);
        StatusPanels.push_back(panel);
    }
    StatusPanels[0]->setText(QString::fromUtf8(TextsForLanguage(0).Brand));
    StatusPanels[1]->setText(QStringLiteral("Original info"));
    StatusPanels[2]->setText(QStringLiteral("Size (cm):"));
    StatusPanels[4]->setText(QStringLiteral("DPI:"));
    StatusPanels[6]->setText(QStringLiteral("Color:"));
    StatusPanels[8]->setText(QStringLiteral("Layers:"));
    StatusPanels[10]->setText(QString::fromLatin1(InitialStatusHint));
}

void MainWindow::ApplyControlTexts()
{
    for (const ControlText &text : MainWindowTexts()) {
        TComponent *component = FindComponent(QString::fromLatin1(text.Name));
        if (!component)
            continue;  // the test of the table reports names without a control
        const QString caption = QString::fromUtf8(text.Caption);
        if (!caption.isEmpty() || IsTranslatable(text.Kind))
            SetCaption(component->Name, caption);
        component->Hint = QString::fromUtf8(text.Hint);
        // The hint of a translatable control only stores the other language;
        // the hint of any other control is the tooltip a person sees.
        if (!IsTranslatable(text.Kind) && !component->Hint.isEmpty()) {
            if (auto *widget = qobject_cast<QWidget *>(component->Object))
                widget->setToolTip(component->Hint);
        }
        if (text.Shortcut[0] != '\0') {
            if (auto *action = qobject_cast<QAction *>(component->Object))
                action->setShortcut(QKeySequence(QString::fromLatin1(text.Shortcut)));
        }
    }
}

TComponent *MainWindow::FindComponent(const QString &name)
{
    for (TComponent &component : ComponentList)
        if (component.Name == name)
            return &component;
    return nullptr;
}

QString MainWindow::Caption(const QString &name)
{
    TComponent *c = FindComponent(name);
    if (!c)
        return {};
    QObject *o = c->Object;
    switch (c->Kind) {
    case ControlKind::Menu:
    case ControlKind::MenuItem:
    case ControlKind::Separator:
        return static_cast<QAction *>(o)->text();
    case ControlKind::SpeedButton:
    case ControlKind::ToolButton:
    case ControlKind::BitBtn:
    case ControlKind::CheckBox:
        return static_cast<QAbstractButton *>(o)->text();
    case ControlKind::Label:
    case ControlKind::Panel:
        return static_cast<QLabel *>(o)->text();
    case ControlKind::GroupBox:
    case ControlKind::RadioGroup:
        return static_cast<QGroupBox *>(o)->title();
    case ControlKind::TabSheet: {
        auto *page = static_cast<QWidget *>(o);
        QTabWidget *tabs = TabWidgetOf(page);
        return tabs ? tabs->tabText(tabs->indexOf(page)) : QString();
    }
    case ControlKind::Edit:
        return static_cast<QLineEdit *>(o)->text();
    case ControlKind::ComboBox:
        return static_cast<QComboBox *>(o)->currentText();
    default:
        return {};
    }
}

void MainWindow::SetCaption(const QString &name, const QString &caption)
{
    TComponent *c = FindComponent(name);
    if (!c)
        return;
    QObject *o = c->Object;
    switch (c->Kind) {
    case ControlKind::Menu:
    case ControlKind::MenuItem:
        static_cast<QAction *>(o)->setText(caption);
        break;
    case ControlKind::SpeedButton:
    case ControlKind::ToolButton:
    case ControlKind::BitBtn:
    case ControlKind::CheckBox:
        static_cast<QAbstractButton *>(o)->setText(caption);
        break;
    case ControlKind::Label:
    case ControlKind::Panel:
        static_cast<QLabel *>(o)->setText(caption);
        break;
    case ControlKind::GroupBox:
    case ControlKind::RadioGroup:
        static_cast<QGroupBox *>(o)->setTitle(caption);
        break;
    case ControlKind::TabSheet: {
        auto *page = static_cast<QWidget *>(o);
        if (QTabWidget *tabs = TabWidgetOf(page))
            tabs->setTabText(tabs->indexOf(page), caption);
        break;
    }
    case ControlKind::Edit:
        static_cast<QLineEdit *>(o)->setText(caption);
        break;
    case ControlKind::ComboBox:
        static_cast<QComboBox *>(o)->setEditText(caption);
        break;
    default:
        break;
    }
}

QString MainWindow::Hint(const QString &name)
{
    TComponent *c = FindComponent(name);
    return c ? c->Hint : QString();
}

QString MainWindow::PanelText(int panel) const
{
    return StatusPanels.at(panel)->text();
}

void MainWindow::SetPanelText(int panel, const QString &text)
{
    StatusPanels.at(panel)->setText(text);
}

QString MainWindow::Cells(int col, int row) const
{
    const QTableWidgetItem *item = LayerGrid->item(row, col);
    return item ? item->text() : QString();
}

void MainWindow::SetCells(int col, int row, const QString &text)
{
    QTableWidgetItem *item = LayerGrid->item(row, col);
    if (!item) {
        item = new QTableWidgetItem;
        // Row 0 (headers) and column 0 (row numbers) are fixed cells.
        if (row == 0 || col == 0) {
            item->setFlags(Qt::ItemIsEnabled);
            item->setBackground(LayerGrid->palette().button());
        }
        LayerGrid->setItem(row, col, item);
    }
    item->setText(text);
}

void MainWindow::ConnectHandlers()
{
    connect(QuitItem, &QAction::triggered, this, &MainWindow::Quit);
    connect(HelpItem, &QAction::triggered, this, &MainWindow::ShowHelp);
    connect(AboutItem, &QAction::triggered, this, &MainWindow::ShowAbout);
    connect(WebsiteItem, &QAction::triggered, this, &MainWindow::OpenWebsite);
    connect(LanguageItem, &QAction::triggered, this, &MainWindow::ToggleLanguage);
    connect(ImportPsdButton, &QToolButton::clicked, this, &MainWindow::ChooseAndImportPsd);
    connect(OpenProjectButton, &QToolButton::clicked, this, &MainWindow::ChooseAndOpenProject);
    connect(OpenProjectItem, &QAction::triggered, this, &MainWindow::ChooseAndOpenProject);
    connect(SaveProjectButton, &QToolButton::clicked, this, &MainWindow::SaveProjectBesidePsd);
    connect(SaveProjectItem, &QAction::triggered, this, &MainWindow::SaveProjectBesidePsd);
    connect(SaveProjectAsItem, &QAction::triggered, this, &MainWindow::SaveProjectAs);
    for (size_t i = 0; i < RecentFileItems.size(); ++i)
        connect(RecentFileItems[i], &QAction::triggered, this, [this, i] {
            if (i < size_t(RecentFiles.size()))
                OpenFile(RecentFiles[qsizetype(i)]);
        });
    connect(ImportSettingsItem, &QAction::triggered, this, &MainWindow::ImportProjectSettings);
    connect(ImportDefaultSettingsItem, &QAction::triggered, this, &MainWindow::ImportDefaultSettings);
    connect(ImportPsdItem, &QAction::triggered, this, &MainWindow::ImportPsdFromMenu);
    connect(ZoomInButton, &QToolButton::clicked, this, &MainWindow::ZoomIn);
    connect(ZoomOutButton, &QToolButton::clicked, this, &MainWindow::ZoomOut);
    connect(ZoomInItem, &QAction::triggered, this, &MainWindow::ZoomIn);
    connect(ZoomOutItem, &QAction::triggered, this, &MainWindow::ZoomOut);
    connect(ShowWorkFolderItem, &QAction::triggered, this, &MainWindow::ShowWorkFolder);
    connect(LayerViewAll, &QRadioButton::clicked, this, &MainWindow::LayerViewChanged);
    connect(LayerViewOne, &QRadioButton::clicked, this, &MainWindow::LayerViewChanged);
    connect(LayerGrid, &QTableWidget::cellClicked, this, &MainWindow::LayerGridClicked);
    connect(LayerGrid, &QTableWidget::currentCellChanged, this,
            [this](int row, int, int, int) { LayerGridRowChanged(row); });
    connect(LpiEdit, &QLineEdit::editingFinished, this, &MainWindow::LpiEdited);
    connect(FocusEdit, &QLineEdit::editingFinished, this, &MainWindow::FocusEdited);
    connect(DepthEdit, &QLineEdit::textChanged, this, &MainWindow::DepthChanged);
    connect(ViewCountEdit, &QLineEdit::textChanged, this, &MainWindow::ViewCountChanged);
    connect(WidthEdit, &QLineEdit::textChanged, this, &MainWindow::WidthChanged);
    connect(PreviewButton, &QToolButton::clicked, this, &MainWindow::PreviewViews);
    connect(PreviewItem, &QAction::triggered, this, &MainWindow::PreviewFromMenu);
    connect(StopButton, &QToolButton::clicked, this, &MainWindow::StopAnimation);
    connect(StopPreviewItem, &QAction::triggered, this, &MainWindow::StopAnimationFromMenu);
    connect(FrameTimer, &QTimer::timeout, this, &MainWindow::AnimationFrame);
    connect(ExportTiffButton, &QToolButton::clicked, this, &MainWindow::ExportInterlacedPrint);
    connect(ExportTiffItem, &QAction::triggered, this, &MainWindow::ExportPrintFromMenu);
    connect(ExportPsdItem, &QAction::triggered, this, &MainWindow::ExportLayeredPsd);
    connect(ExportGifItem, &QAction::triggered, this, &MainWindow::ExportAnimatedGif);
    connect(PitchTestItem, &QAction::triggered, this, &MainWindow::ExportPitchTest);
    connect(CropEdgesCheck, &QCheckBox::toggled, this, [this](bool on) {
        // Other columns make other views: they are made again before an export.
        CropEdges = on ? 1 : 0;
        ViewsCurrent = 0;
        ApplyCommandStates();
    });
    connect(AnaglyphButton, &QToolButton::clicked, this, &MainWindow::ShowAnaglyph);
    connect(AnaglyphItem, &QAction::triggered, this, &MainWindow::ShowAnaglyphFromMenu);
    qApp->installEventFilter(this);  // the window sees key strokes before its controls
    connect(Pages, &QTabWidget::currentChanged, this, &MainWindow::PageChanged);
    const std::pair<QToolButton *, uint8_t> tools[] = {{DrawLineTool, ToolDrawLine}, {AddPointTool, ToolAddPoint},
                                                       {DeletePointTool, ToolDeletePoint}, {MoveLineTool, ToolMoveLine},
                                                       {MovePointTool, ToolMovePoint}};
    for (const auto &[button, mode] : tools)
        connect(button, &QToolButton::clicked, this, [this, mode = mode] { ToolButtonClick(mode); });
    for (int i = 0; i < int(OrderRadios.size()); ++i)
        connect(OrderRadios[size_t(i)], &QRadioButton::clicked, this, [this, i] { OrderChosen(i); });
    for (int k = 0; k < OrderCount; ++k)
        connect(OrderCheckBoxes[size_t(k)], &QCheckBox::clicked, this, [this, k] { OrderCheckBoxClick(k); });
    connect(BeginLineButton, &QToolButton::clicked, this, &MainWindow::BeginLine);
    connect(BeginLineItem, &QAction::triggered, this, &MainWindow::BeginLineFromMenu);
    connect(DeletePointButton, &QToolButton::clicked, this, &MainWindow::DeleteLastPoint);
    connect(DeleteLineButton, &QToolButton::clicked, this, &MainWindow::DeleteLine);
    connect(DeleteLayerLinesButton, &QToolButton::clicked, this, &MainWindow::DeleteLayerLines);
    connect(DeleteAllLinesButton, &QToolButton::clicked, this, &MainWindow::ClearAllLines);
    // The menu items act through their buttons, so they do nothing while the page is hidden.
    const std::pair<QAction *, QToolButton *> lineItems[] = {
        {UndoPointItem, DeletePointButton}, {DeleteLineItem, DeleteLineButton}, {DeleteLayerLinesItem, DeleteLayerLinesButton}, {DeleteAllLinesItem, DeleteAllLinesButton}};
    for (const auto &[item, button] : lineItems)
        connect(item, &QAction::triggered, this, [button = button] {
            if (button->isEnabled())
                button->click();
        });
    connect(DeleteSelectionItem, &QAction::triggered, this, &MainWindow::DeleteSelection);
    connect(SelectAllItem, &QAction::triggered, this, &MainWindow::SelectAllLines);
    connect(FreeTransformItem, &QAction::triggered, this, &MainWindow::FreeTransform);
    connect(CutItem, &QAction::triggered, this, &MainWindow::CutLines);
    connect(CutLinesButton, &QToolButton::clicked, this, &MainWindow::CutLines);
    connect(CopyItem, &QAction::triggered, this, &MainWindow::CopyLines);
    connect(CopyLinesButton, &QToolButton::clicked, this, &MainWindow::CopyLines);
    connect(PasteItem, &QAction::triggered, this, &MainWindow::PasteLines);
    connect(PasteLinesButton, &QToolButton::clicked, this, &MainWindow::PasteLines);
    connect(LowerOrderButton, &QToolButton::clicked, this, &MainWindow::MoveSelectionToLowerOrder);
    connect(HigherOrderButton, &QToolButton::clicked, this, &MainWindow::MoveSelectionToHigherOrder);
    connect(ReliefPreviewButton, &QPushButton::clicked, this, &MainWindow::StartReliefPreview);
    connect(ReliefStopButton, &QPushButton::clicked, this, &MainWindow::StopReliefPreview);
    connect(ReliefTimer, &QTimer::timeout, this, &MainWindow::ReliefFrame);
    connect(FramePeriodSlider, &QSlider::valueChanged, this, [this](int position) { FrameTimer->setInterval(position * 10); });

    // A hidden menu item does not answer its shortcut in Qt; these two must.
    for (QAction *hidden : {ImportDefaultSettingsItem, LanguageItem}) {
        auto *shortcut = new QShortcut(hidden->shortcut(), this);
        connect(shortcut, &QShortcut::activated, hidden, &QAction::trigger);
    }
}

WindowState MainWindow::CurrentWindowState() const
{
    WindowState state;
    state.AppState = AppState;
    state.Generating = Generating;
    state.Shown = Pages->currentWidget() == DrawLinePage ? Page::DrawLine : Page::SetLayer;
    state.ViewsCurrent = ViewsCurrent != 0;
    state.PrintWritten = PrintWritten != 0;
    state.AnimationPlayed = AnimationPlayed != 0;
    state.LayerViewOne = LayerViewOne->isChecked();
    state.Relief = ReliefShown;
    return state;
}

void MainWindow::ApplyCommandStates()
{
    const WindowState state = CurrentWindowState();
    auto enable = [&](Command command, std::initializer_list<QWidget *> widgets,
                      std::initializer_list<QAction *> actions = {}) {
        const bool on = CommandEnabled(command, state);
        for (QWidget *w : widgets)
            w->setEnabled(on);
        for (QAction *a : actions)
            a->setEnabled(on);
    };
    enable(Command::OpenProject, {OpenProjectButton}, {OpenProjectItem});
    enable(Command::SaveProject, {SaveProjectButton}, {SaveProjectItem, SaveProjectAsItem});
    enable(Command::ImportPsd, {ImportPsdButton});
    enable(Command::ImportSettings, {}, {ImportSettingsItem});
    enable(Command::Zoom, {ZoomInButton, ZoomOutButton});
    enable(Command::Preview, {PreviewButton});
    enable(Command::Stop, {StopButton});
    enable(Command::ExportTiff, {ExportTiffButton}, {ExportTiffItem});
    enable(Command::Anaglyph, {AnaglyphButton});
    enable(Command::ExportPsd, {}, {ExportPsdItem});
    enable(Command::ExportGif, {}, {ExportGifItem});
    enable(Command::RightPanel, {RightPanel});
    enable(Command::LayerGrid, {LayerGrid, SettingsPages});
    enable(Command::LineDeletion, {DeletePointButton, DeleteLineButton, DeleteLayerLinesButton, DeleteAllLinesButton});
    enable(Command::BeginLine, {BeginLineButton});
    LineToolBar->setVisible(CommandEnabled(Command::LineToolBar, state));
    enable(Command::LineTools,
           {DrawLineTool, AddPointTool, DeletePointTool, MoveLineTool, MovePointTool, LowerOrderButton, HigherOrderButton, CutLinesButton,
            CopyLinesButton});
    PasteLinesButton->setEnabled(CommandEnabled(Command::LineTools, state) && Editor.PasteAvailable());
    enable(Command::ReliefControls, {OrderGroup, ViewLabel, BaseOrderGroup, ReliefDepthLabel, ReliefDepthEdit, SmoothLabel, SmoothSlider});
    for (QCheckBox *box : OrderCheckBoxes)
        box->setEnabled(CommandEnabled(Command::ReliefControls, state));
    enable(Command::ReliefPreview, {ReliefPreviewButton});
    enable(Command::ReliefStop, {ReliefStopButton});
    SetPictureTakesInput(PictureTakesMouse());
}

bool MainWindow::RunCommand(const std::function<void()> &body, bool busy)
{
    // A command can run inside another (a field's handler fired by a text the
    // outer one sets); only the outermost gives the window back.
    const bool outermost = CommandDepth++ == 0;
    if (busy) {
        Platform.SetBusyCursor(true);
        if (outermost)
            SetProgress(0);
    }
    QString failure;
    try {
        body();
    } catch (const VistrelError &error) {
        failure = error.Message;
    } catch (const std::bad_alloc &) {
        failure = QStringLiteral("Not enough memory for this command. Close other programs or choose a smaller "
                                 "print, then try again.");
    } catch (const std::exception &error) {
        failure = QString::fromLocal8Bit(error.what());
    }
    --CommandDepth;
    if (busy)
        Platform.SetBusyCursor(false);
    if (CommandDepth == 0) {
        Generating = false;
        setEnabled(true);
        if (busy)
            SetProgress(0);
        ApplyCommandStates();
    }
    if (!failure.isEmpty())
        Platform.ShowMessage(failure);
    // A close asked for while the command ran (it lets the window repaint)
    // waits until the command no longer needs the document.
    if (CommandDepth == 0 && CloseWaiting) {
        CloseWaiting = false;
        QTimer::singleShot(0, this, &QWidget::close);
    }
    return failure.isEmpty();
}

void MainWindow::closeEvent(QCloseEvent *event)
{
    if (CommandDepth > 0) {
        CloseWaiting = true;
        event->ignore();
        return;
    }
    ShutDown();
    event->accept();
}
