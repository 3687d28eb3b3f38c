// The main window's controls: created in order, laid out, given their original
// names from ControlNames.cpp and their texts from MainWindowTexts.
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
#include <QMenu>
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
#include <QTranslator>
#include <QActionGroup>
#include <QToolBar>
#include <QToolButton>
#include <QUndoStack>
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
    setWindowTitle(QStringLiteral("Vistrel"));
    setWindowIcon(QIcon(QPixmap::fromImage(DrawAppIcon(64))));
    CreateControls();
    ApplyControlTexts();
    RetranslateTexts();  // English until start-up chooses the language
    ConnectHandlers();
    ApplyCommandStates();
}

MainWindow::~MainWindow() = default;

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
    FrameTimer->setInterval(50);
    FrameTimer->setSingleShot(true);  // one frame of the animation, then off
    ReliefTimer = new QTimer(this);  // one frame of the relief preview, at FrameTimer's period
    ReliefTimer->setSingleShot(true);

    for (const NamedControl &control : ControlNames())
        control.Object->setObjectName(QString::fromLatin1(control.Original));
}

void MainWindow::CreateMenus()
{
    auto item = [](QMenu *menu, QAction *&action) { action = menu->addAction(QString()); };
    auto menu = [this](QMenu *&m) { m = menuBar()->addMenu(QString()); };

    menu(FileMenu);
    item(FileMenu, OpenProjectAction);
    item(FileMenu, SaveProjectAction);
    item(FileMenu, SaveProjectAsItem);
    FileMenu->addSeparator();
    item(FileMenu, ImportPsdAction);
    item(FileMenu, FoldersAsGroupsItem);
    FoldersAsGroupsItem->setCheckable(true);  // off: a folder's layers stay as the PSD groups them
    item(FileMenu, ImportDefaultSettingsItem);
    item(FileMenu, ImportSettingsItem);
    FileMenu->addSeparator();
    item(FileMenu, PreviewAction);
    item(FileMenu, StopAction);
    item(FileMenu, AnaglyphAction);
    FileMenu->addSeparator();
    item(FileMenu, ExportTiffAction);
    item(FileMenu, ExportPsdItem);
    item(FileMenu, ExportGifItem);
    item(FileMenu, AdaptiveGifPaletteItem);
    AdaptiveGifPaletteItem->setCheckable(true);  // off: the halftone palette
    item(FileMenu, PitchTestItem);
    // The last files opened, shown when there are any.
    RecentSeparator = FileMenu->addSeparator();
    for (size_t i = 0; i < RecentFileItems.size(); ++i) {
        RecentFileItems[i] = FileMenu->addAction(QString());
        RecentFileItems[i]->setObjectName(QStringLiteral("RecentFile%1").arg(i + 1));
        RecentFileItems[i]->setVisible(false);
    }
    FileMenu->addSeparator();
    item(FileMenu, QuitItem);

    menu(EditMenu);
    // Undo and redo of the design; "Undo" gives back a point while a line is drawn.
    History = new QUndoStack(this);
    History->setUndoLimit(200);
    item(EditMenu, UndoAction);
    UndoAction->setShortcut(QKeySequence::Undo);
    item(EditMenu, RedoAction);
    RedoAction->setShortcuts({QKeySequence(QStringLiteral("Ctrl+Shift+Z")), QKeySequence(QStringLiteral("Ctrl+Y"))});
    EditMenu->addSeparator();
    item(EditMenu, BeginLineAction);
    // "Delete point" stays on the toolbar; in the menu the Undo above does it
    // while a line is drawn, so the menu has one Undo.
    DeletePointAction = new QAction(this);
    item(EditMenu, DeleteLineAction);
    item(EditMenu, DeleteLayerLinesAction);
    item(EditMenu, DeleteAllLinesAction);
    EditMenu->addSeparator();
    item(EditMenu, DeleteSelectionItem);
    item(EditMenu, SelectAllItem);
    item(EditMenu, FreeTransformItem);
    EditMenu->addSeparator();
    item(EditMenu, CutAction);
    item(EditMenu, CopyAction);
    item(EditMenu, PasteAction);

    menu(ViewMenu);
    item(ViewMenu, ZoomInAction);
    item(ViewMenu, ZoomOutAction);
    item(ViewMenu, FitAction);
    item(ViewMenu, ActualSizeAction);
    ViewMenu->addSeparator();
    item(ViewMenu, ShowWorkFolderItem);
    item(ViewMenu, LanguageItem);  // the next language, Ctrl+Alt+C
    LanguageMenu = ViewMenu->addMenu(QString());
    LanguageMenu->setObjectName(QStringLiteral("LanguageMenu"));
    LanguageChoices = new QActionGroup(this);

    menu(HelpMenu);
    item(HelpMenu, HelpItem);
    item(HelpMenu, AboutItem);
    HelpMenu->addSeparator();
    item(HelpMenu, WebsiteItem);

    // A hidden item still answers its shortcut.
    ImportDefaultSettingsItem->setVisible(false);
}

void MainWindow::CreateToolBars()
{
    MainToolBar = new QToolBar(this);
    MainToolBar->setMovable(false);
    MainToolBar->setFloatable(false);
    MainToolBar->setIconSize(QSize(24, 24));
    addToolBar(Qt::TopToolBarArea, MainToolBar);

    // A command's button is its menu item's action on the toolbar: one
    // object, enabled once from the command table.
    auto button = [](QToolBar *bar, QToolButton *&b, QAction *action, ToolImage image) {
        action->setIcon(ToolIcon(image));
        bar->addAction(action);
        b = qobject_cast<QToolButton *>(bar->widgetForAction(action));
        b->setFocusPolicy(Qt::TabFocus);
    };
    button(MainToolBar, OpenProjectButton, OpenProjectAction, ToolImage::OpenProject);
    button(MainToolBar, SaveProjectButton, SaveProjectAction, ToolImage::SaveProject);
    button(MainToolBar, ImportPsdButton, ImportPsdAction, ToolImage::ImportPsd);
    MainToolBar->addSeparator();
    button(MainToolBar, ZoomInButton, ZoomInAction, ToolImage::ZoomIn);
    button(MainToolBar, ZoomOutButton, ZoomOutAction, ToolImage::ZoomOut);
    MainToolBar->addSeparator();
    button(MainToolBar, DeletePointButton, DeletePointAction, ToolImage::DeletePoint);
    button(MainToolBar, DeleteLineButton, DeleteLineAction, ToolImage::DeleteLine);
    button(MainToolBar, DeleteLayerLinesButton, DeleteLayerLinesAction, ToolImage::DeleteLayerLines);
    button(MainToolBar, DeleteAllLinesButton, DeleteAllLinesAction, ToolImage::DeleteAllLines);
    MainToolBar->addSeparator();
    button(MainToolBar, PreviewButton, PreviewAction, ToolImage::Preview);
    button(MainToolBar, StopButton, StopAction, ToolImage::Stop);
    button(MainToolBar, ExportTiffButton, ExportTiffAction, ToolImage::ExportTiff);
    MainToolBar->addSeparator();
    button(MainToolBar, BeginLineButton, BeginLineAction, ToolImage::DrawLine);
    button(MainToolBar, AnaglyphButton, AnaglyphAction, ToolImage::Anaglyph);
    LanguageButton = new QToolButton(MainToolBar);
    LanguageButton->setToolButtonStyle(Qt::ToolButtonTextOnly);
    MainToolBar->addWidget(LanguageButton)->setVisible(false);

    // The line tools, shown only while the DrawLine page is.
    LineToolBar = new QToolBar(this);
    LineToolBar->setMovable(false);
    LineToolBar->setFloatable(false);
    LineToolBar->setIconSize(QSize(24, 24));
    auto tool = [&](QToolButton *&b, ToolImage image) {
        b = new QToolButton(LineToolBar);
        b->setCheckable(true);
        b->setAutoExclusive(true);
        b->setAutoRaise(true);
        b->setIconSize(QSize(24, 24));
        b->setIcon(ToolIcon(image));
        LineToolBar->addWidget(b);
    };
    tool(DrawLineTool, ToolImage::DrawLine);
    tool(AddPointTool, ToolImage::AddPoint);
    tool(DeletePointTool, ToolImage::DeletePointTool);
    tool(MoveLineTool, ToolImage::MoveLine);
    tool(MovePointTool, ToolImage::MovePoint);
    DrawLineTool->setChecked(true);
    // The selection commands act once; they are not tools.
    LineToolBar->addSeparator();
    auto command = [&](QToolButton *&b, ToolImage image) {
        tool(b, image);
        b->setCheckable(false);
        b->setAutoExclusive(false);
    };
    command(LowerOrderButton, ToolImage::LowerOrder);
    command(HigherOrderButton, ToolImage::HigherOrder);
    button(LineToolBar, CutLinesButton, CutAction, ToolImage::Cut);
    button(LineToolBar, CopyLinesButton, CopyAction, ToolImage::Copy);
    button(LineToolBar, PasteLinesButton, PasteAction, ToolImage::Paste);
    PasteAction->setEnabled(false);  // until the first cut or copy
    addToolBar(Qt::TopToolBarArea, LineToolBar);
    LineToolBar->setVisible(false);
}

void MainWindow::CreateRightPanel()
{
    RightPanel = new QGroupBox(this);
    RightPanel->setFixedWidth(RightPanelWidth);
    auto *panelLayout = new QVBoxLayout(RightPanel);
    panelLayout->setContentsMargins(2, 2, 2, 2);

    Pages = new QTabWidget(RightPanel);
    panelLayout->addWidget(Pages);

    CreateSetLayerPage();
    CreateDrawLinePage();
}

void MainWindow::CreateSetLayerPage()
{
    SetLayerPage = new QWidget;
    Pages->addTab(SetLayerPage, QString());
    auto *page = new QVBoxLayout(SetLayerPage);
    page->setContentsMargins(4, 4, 4, 4);

    LayerGrid = new QTableWidget(4, 4, SetLayerPage);
    LayerGrid->horizontalHeader()->hide();
    LayerGrid->verticalHeader()->hide();
    LayerGrid->verticalHeader()->setDefaultSectionSize(22);
    // Narrow enough that a layer's name shows beside its number, group and offset.
    LayerGrid->setColumnWidth(0, 56);
    LayerGrid->setColumnWidth(1, 46);
    LayerGrid->setColumnWidth(2, 52);
    LayerGrid->horizontalHeader()->setStretchLastSection(true);
    LayerGrid->setSelectionMode(QAbstractItemView::SingleSelection);
    page->addWidget(LayerGrid, 1);

    LayerViewGroup = new QGroupBox(SetLayerPage);
    auto *radios = new QHBoxLayout(LayerViewGroup);
    LayerViewAll = new QRadioButton(LayerViewGroup);
    LayerViewOne = new QRadioButton(LayerViewGroup);
    LayerViewAll->setChecked(true);
    radios->addWidget(LayerViewAll);
    radios->addWidget(LayerViewOne);
    page->addWidget(LayerViewGroup);

    SettingsPages = new QTabWidget(SetLayerPage);
    page->addWidget(SettingsPages);

    auto label = [](QWidget *parent, QLabel *&l) { l = new QLabel(parent); };
    auto edit = [](QWidget *parent, QLineEdit *&e, int maxLength) {
        e = new QLineEdit(parent);
        e->setMaxLength(maxLength);
    };
    auto combo = [](QWidget *parent, QComboBox *&c, const QStringList &items) {
        c = new QComboBox(parent);
        c->addItems(items);
    };

    ThreeDPage = new QWidget;
    SettingsPages->addTab(ThreeDPage, QString());
    auto *sets3d = new QGridLayout(ThreeDPage);
    label(ThreeDPage, LpiLabel);
    edit(ThreeDPage, LpiEdit, 8);
    label(ThreeDPage, ViewCountLabel);
    edit(ThreeDPage, ViewCountEdit, 3);
    label(ThreeDPage, FocusLabel);
    edit(ThreeDPage, FocusEdit, 3);
    label(ThreeDPage, DepthLabel);
    edit(ThreeDPage, DepthEdit, 7);
    QLabel *labels3d[] = {LpiLabel, ViewCountLabel, FocusLabel, DepthLabel};
    QLineEdit *edits3d[] = {LpiEdit, ViewCountEdit, FocusEdit, DepthEdit};
    for (int r = 0; r < 4; ++r) {
        sets3d->addWidget(labels3d[r], r, 0);
        sets3d->addWidget(edits3d[r], r, 1);
    }
    // A lens sheet (and printer) of the shop's presets sets the LPI (and resolution).
    label(ThreeDPage, PresetLabel);
    PresetCombo = new QComboBox(ThreeDPage);
    EditPresetsButton = new QPushButton(ThreeDPage);
    sets3d->addWidget(PresetLabel, 4, 0);
    sets3d->addWidget(PresetCombo, 4, 1);
    sets3d->addWidget(EditPresetsButton, 5, 1);
    sets3d->setRowStretch(6, 1);

    OutputPage = new QWidget;
    SettingsPages->addTab(OutputPage, QString());
    auto *output = new QGridLayout(OutputPage);
    label(OutputPage, DpiLabel);
    combo(OutputPage, DpiCombo,
          {QStringLiteral("(Auto)"), QStringLiteral("360"), QStringLiteral("720"), QStringLiteral("1200"),
           QStringLiteral("1440"), QStringLiteral("2400"), QStringLiteral("2880")});
    DpiCombo->setEditable(true);
    DpiCombo->setInsertPolicy(QComboBox::NoInsert);
    label(OutputPage, WidthLabel);
    edit(OutputPage, WidthEdit, 8);
    label(OutputPage, WidthUnitLabel);
    label(OutputPage, HeightLabel);
    edit(OutputPage, HeightEdit, 32767);  // follows the width, never typed into
    label(OutputPage, HeightUnitLabel);
    label(OutputPage, HScaleLabel);
    edit(OutputPage, HScaleEdit, 2);
    label(OutputPage, ColourModeLabel);
    combo(OutputPage, ColourModeCombo, QStringList(4));  // the four modes, named with the language
    ColourModeCombo->setCurrentIndex(2);
    label(OutputPage, VerticalDpiLabel);
    combo(OutputPage, VerticalDpiCombo,
          {QStringLiteral("300"), QStringLiteral("600"), QStringLiteral("800"), QStringLiteral("1200"),
           QStringLiteral("1600"), QStringLiteral("2400")});
    VerticalDpiCombo->setCurrentIndex(1);  // "600"; read by no command
    CropEdgesCheck = new QCheckBox(OutputPage);
    // The print shop's page: what a press or a large-format printer asks.
    PressPage = new QWidget;
    SettingsPages->addTab(PressPage, QString());
    auto *press = new QGridLayout(PressPage);
    label(PressPage, MaxWidthLabel);
    edit(PressPage, MaxWidthEdit, 8);
    label(PressPage, MaxWidthUnitLabel);
    label(PressPage, CompressionLabel);
    combo(PressPage, CompressionCombo, QStringList(3));  // named with the language
    EmbedIccCheck = new QCheckBox(PressPage);
    label(PressPage, BleedLabel);
    edit(PressPage, BleedEdit, 6);
    label(PressPage, BleedUnitLabel);
    MarksCheck = new QCheckBox(PressPage);
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
    press->addWidget(MaxWidthLabel, 0, 0);
    press->addWidget(MaxWidthEdit, 0, 1);
    press->addWidget(MaxWidthUnitLabel, 0, 2);
    press->addWidget(BleedLabel, 1, 0);
    press->addWidget(BleedEdit, 1, 1);
    press->addWidget(BleedUnitLabel, 1, 2);
    press->addWidget(MarksCheck, 2, 0, 1, 3);
    press->addWidget(CompressionLabel, 3, 0);
    press->addWidget(CompressionCombo, 3, 1);
    press->addWidget(EmbedIccCheck, 4, 0, 1, 3);
    press->setRowStretch(5, 1);
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
    Pages->addTab(DrawLinePage, QString());
    auto *page = new QVBoxLayout(DrawLinePage);
    page->setContentsMargins(0, 0, 0, 0);

    // The DrawLine controls are placed by pixel: the marker bar beside the
    // current order moves in steps of one order row.
    DrawLinePanel = new QLabel(DrawLinePage);
    DrawLinePanel->setMinimumSize(RightPanelWidth - 16, OrderFirstRowTop + 16 * OrderRowHeight + 12);
    page->addWidget(DrawLinePanel);
    page->addStretch(1);

    OrderGroup = new QGroupBox(DrawLinePanel);
    OrderGroup->setGeometry(14, OrderFirstRowTop - 24, 64, 16 * OrderRowHeight + 30);
    for (int i = 0; i < 16; ++i) {
        auto *radio = new QRadioButton(i < 15 ? QString::number(i + 1) : QString(), OrderGroup);
        radio->setObjectName(QStringLiteral("RadioGroup2Item%1").arg(i + 1));
        radio->setGeometry(8, 24 + i * OrderRowHeight, 50, 20);
        OrderRadios.push_back(radio);
    }
    OrderRadios[0]->setChecked(true);

    OrderMarker = new QLabel(DrawLinePanel);
    OrderMarker->setGeometry(4, OrderFirstRowTop, 8, 20);
    OrderMarker->setAutoFillBackground(true);
    OrderMarker->setStyleSheet(QStringLiteral("background-color: #e67828;"));

    ViewLabel = new QLabel(DrawLinePanel);
    ViewLabel->setGeometry(86, OrderFirstRowTop - 22, 44, 18);
    QCheckBox **boxes[] = {&OrderCheck1, &OrderCheck2, &OrderCheck3, &OrderCheck4, &OrderCheck5,
                           &OrderCheck6, &OrderCheck7, &OrderCheck8, &OrderCheck9, &OrderCheck10,
                           &OrderCheck11, &OrderCheck12, &OrderCheck13, &OrderCheck14, &OrderCheck15};
    for (int k = 0; k < 15; ++k) {
        *boxes[k] = new QCheckBox(DrawLinePanel);
        (*boxes[k])->setGeometry(94, OrderFirstRowTop + k * OrderRowHeight, 24, 20);
        (*boxes[k])->setChecked(true);
        OrderCheckBoxes[size_t(k)] = *boxes[k];
    }

    const int x = 136;
    const int w = DrawLinePanel->minimumWidth() - x - 6;
    BaseOrderGroup = new QGroupBox(DrawLinePanel);
    BaseOrderGroup->setGeometry(x, OrderFirstRowTop - 24, w, 80);
    BaseOrderSlider = new QSlider(Qt::Horizontal, BaseOrderGroup);
    BaseOrderSlider->setRange(0, 15);
    BaseOrderSlider->setValue(7);
    BaseOrderSlider->setTickPosition(QSlider::TicksBelow);
    BaseOrderSlider->setGeometry(6, 22, w - 12, 26);
    BaseOrderLabel = new QLabel(BaseOrderGroup);
    BaseOrderLabel->setAlignment(Qt::AlignRight);
    BaseOrderLabel->setGeometry(6, 52, w - 12, 18);

    ReliefDepthLabel = new QLabel(DrawLinePanel);
    ReliefDepthLabel->setGeometry(x, OrderFirstRowTop + 70, 60, 22);
    ReliefDepthEdit = new QLineEdit(DrawLinePanel);
    ReliefDepthEdit->setGeometry(x + 62, OrderFirstRowTop + 70, w - 62, 22);

    SmoothLabel = new QLabel(DrawLinePanel);
    SmoothLabel->setGeometry(x, OrderFirstRowTop + 104, w, 20);
    SmoothSlider = new QSlider(Qt::Horizontal, DrawLinePanel);
    SmoothSlider->setRange(1, 9);
    SmoothSlider->setValue(5);
    SmoothSlider->setTickPosition(QSlider::TicksBelow);
    SmoothSlider->setGeometry(x, OrderFirstRowTop + 126, w, 26);

    ReliefPreviewButton = new QPushButton(DrawLinePanel);
    ReliefPreviewButton->setGeometry(x, OrderFirstRowTop + 170, w, 30);
    ReliefStopButton = new QPushButton(DrawLinePanel);
    ReliefStopButton->setGeometry(x, OrderFirstRowTop + 206, w, 30);
    ReliefStopButton->setEnabled(false);
}

void MainWindow::CreatePictureArea()
{
    // PictureView is placed by hand inside the scroll box: fitted, zoomed, scrolled.
    PictureArea = new QScrollArea(this);
    PictureArea->setWidgetResizable(false);
    PictureArea->setBackgroundRole(QPalette::Dark);
    ScrollContent = new QWidget;
    PictureView = new PictureControl(ScrollContent);
    PictureView->setMouseTracking(true);  // the line tools show what lies under the pointer
    PictureArea->setWidget(ScrollContent);
    SetPictureTakesInput(false);  // takes the mouse only on the DrawLine page
    PictureArea->viewport()->installEventFilter(this);
    ScrollContent->installEventFilter(this);

    // The view marker floats over the picture area.
    FrontMarker = new QLabel(PictureArea);
    FrontMarker->setStyleSheet(QStringLiteral("color: red; font-size: 32px; font-weight: bold;"));
    FrontMarker->setVisible(false);

    ProgressBar = new QProgressBar(this);
    ProgressBar->setOrientation(Qt::Vertical);
    ProgressBar->setRange(0, 100);
    ProgressBar->setValue(0);
    ProgressBar->setTextVisible(false);
    ProgressBar->setFixedWidth(12);

    FramePeriodSlider = new QSlider(Qt::Horizontal, this);
    FramePeriodSlider->setRange(1, 11);
    FramePeriodSlider->setValue(6);
    FramePeriodSlider->setVisible(false);
}

void MainWindow::CreateStatusBar()
{
    MainStatusBar = new QStatusBar(this);
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
    ZoomLabel = new QLabel(MainStatusBar);  // beside the panels, which keep their places
    ZoomLabel->setObjectName(QStringLiteral("ZoomLabel"));
    MainStatusBar->addWidget(ZoomLabel);
    StatusPanels[10]->setText(tr("  Please import *.psd."));  // the labels come with the language
}

namespace {

const ControlText *TextOf(const QString &name)
{
    for (const ControlText &text : MainWindowTexts())
        if (name == QLatin1String(text.Name))
            return &text;
    return nullptr;
}

}  // namespace

void MainWindow::ApplyControlTexts()
{
    for (const ControlText &text : MainWindowTexts()) {
        const QString name = QString::fromLatin1(text.Name);
        QObject *object = Control(name);
        if (!object)
            continue;  // the test of the table reports names without a control
        if (text.Kind == ControlKind::Edit && text.Caption[0] != '\0')
            SetCaption(name, QString::fromLatin1(text.Caption));  // a field's first value
        if (text.Shortcut[0] != '\0') {
            // "F3; Ctrl+=": the first, and the others as alternatives.
            QList<QKeySequence> keys;
            for (const QString &key : QString::fromLatin1(text.Shortcut).split(QLatin1Char(';')))
                keys << QKeySequence(key.trimmed());
            if (auto *action = qobject_cast<QAction *>(object))
                action->setShortcuts(keys);
        }
    }
}

QString MainWindow::Caption(const QString &name)
{
    const ControlText *text = TextOf(name);
    QObject *o = Control(name);
    if (!text || !o)
        return {};
    switch (text->Kind) {
    case ControlKind::Menu:
        return static_cast<QMenu *>(o)->title();
    case ControlKind::MenuItem:
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
    const ControlText *text = TextOf(name);
    QObject *o = Control(name);
    if (!text || !o)
        return;
    switch (text->Kind) {
    case ControlKind::Menu:
        static_cast<QMenu *>(o)->setTitle(caption);
        break;
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
    SettingCell = true;  // a new item is a change of the cell too
    QTableWidgetItem *item = LayerGrid->item(row, col);
    if (!item) {
        item = new QTableWidgetItem;
        // Row 0 (headers), column 0 (row numbers) and the names are fixed cells.
        if (row == 0 || col == 0 || col == 3) {
            item->setFlags(Qt::ItemIsEnabled);
            item->setBackground(LayerGrid->palette().button());
        }
        LayerGrid->setItem(row, col, item);
    }
    item->setText(text);
    SettingCell = false;
}

void MainWindow::ConnectHandlers()
{
    connect(QuitItem, &QAction::triggered, this, &MainWindow::Quit);
    connect(HelpItem, &QAction::triggered, this, &MainWindow::ShowHelp);
    connect(AboutItem, &QAction::triggered, this, &MainWindow::ShowAbout);
    connect(WebsiteItem, &QAction::triggered, this, &MainWindow::OpenWebsite);
    connect(LanguageItem, &QAction::triggered, this, &MainWindow::ToggleLanguage);
    connect(LanguageChoices, &QActionGroup::triggered, this,
            [this](QAction *choice) { UseLanguage(choice->data().toString()); });
    connect(OpenProjectAction, &QAction::triggered, this, &MainWindow::ChooseAndOpenProject);
    connect(SaveProjectAction, &QAction::triggered, this, &MainWindow::SaveProjectBesidePsd);
    connect(SaveProjectAsItem, &QAction::triggered, this, &MainWindow::SaveProjectAs);
    for (size_t i = 0; i < RecentFileItems.size(); ++i)
        connect(RecentFileItems[i], &QAction::triggered, this, [this, i] {
            if (i < size_t(RecentFiles.size()))
                OpenFile(RecentFiles[qsizetype(i)]);
        });
    connect(ImportSettingsItem, &QAction::triggered, this, &MainWindow::ImportProjectSettings);
    connect(ImportDefaultSettingsItem, &QAction::triggered, this, &MainWindow::ImportDefaultSettings);
    connect(ImportPsdAction, &QAction::triggered, this, &MainWindow::ChooseAndImportPsd);
    connect(ZoomInAction, &QAction::triggered, this, &MainWindow::ZoomIn);
    connect(ZoomOutAction, &QAction::triggered, this, &MainWindow::ZoomOut);
    connect(FitAction, &QAction::triggered, this, &MainWindow::FitPicture);
    connect(ActualSizeAction, &QAction::triggered, this, &MainWindow::ShowActualSize);
    connect(ShowWorkFolderItem, &QAction::triggered, this, &MainWindow::ShowWorkFolder);
    connect(AdaptiveGifPaletteItem, &QAction::toggled, this, [this](bool adaptive) {
        if (Remembered.AdaptiveGifPalette == adaptive)
            return;
        Remembered.AdaptiveGifPalette = adaptive;  // kept for the next run
        WriteDialogMemory(Remembered);
    });
    connect(LayerViewAll, &QRadioButton::clicked, this, &MainWindow::LayerViewChanged);
    connect(LayerViewOne, &QRadioButton::clicked, this, &MainWindow::LayerViewChanged);
    connect(LayerGrid, &QTableWidget::cellClicked, this, &MainWindow::LayerGridClicked);
    connect(LayerGrid, &QTableWidget::currentCellChanged, this,
            [this](int row, int, int, int) { LayerGridRowChanged(row); });
    connect(LpiEdit, &QLineEdit::editingFinished, this, &MainWindow::LpiEdited);
    connect(PresetCombo, &QComboBox::activated, this, &MainWindow::PresetChosen);
    connect(EditPresetsButton, &QPushButton::clicked, this, &MainWindow::EditPresets);
    connect(FocusEdit, &QLineEdit::editingFinished, this, &MainWindow::FocusEdited);
    connect(DepthEdit, &QLineEdit::textChanged, this, &MainWindow::DepthChanged);
    connect(ViewCountEdit, &QLineEdit::textChanged, this, &MainWindow::ViewCountChanged);
    connect(WidthEdit, &QLineEdit::textChanged, this, &MainWindow::WidthChanged);
    connect(PreviewAction, &QAction::triggered, this, &MainWindow::PreviewViews);
    connect(StopAction, &QAction::triggered, this, &MainWindow::StopAnimation);
    connect(FrameTimer, &QTimer::timeout, this, &MainWindow::AnimationFrame);
    connect(ExportTiffAction, &QAction::triggered, this, &MainWindow::ExportInterlacedPrint);
    connect(ExportPsdItem, &QAction::triggered, this, &MainWindow::ExportLayeredPsd);
    connect(ExportGifItem, &QAction::triggered, this, &MainWindow::ExportAnimatedGif);
    connect(PitchTestItem, &QAction::triggered, this, &MainWindow::ExportPitchTest);
    connect(MaxWidthEdit, &QLineEdit::editingFinished, this, &MainWindow::MaxWidthEdited);
    connect(CompressionCombo, &QComboBox::activated, this, [this](int index) {
        Remembered.Compression = index == 1 ? QStringLiteral("lzw") : index == 2 ? QStringLiteral("zip") : QString();
        WriteDialogMemory(Remembered);
    });
    connect(BleedEdit, &QLineEdit::editingFinished, this, &MainWindow::BleedEdited);
    connect(MarksCheck, &QCheckBox::toggled, this, [this](bool on) {
        if (Remembered.Marks == on)
            return;
        Remembered.Marks = on;
        WriteDialogMemory(Remembered);
    });
    connect(EmbedIccCheck, &QCheckBox::toggled, this, [this](bool on) {
        if (Remembered.EmbedIcc == on)
            return;
        Remembered.EmbedIcc = on;
        WriteDialogMemory(Remembered);
    });
    connect(CropEdgesCheck, &QCheckBox::toggled, this, [this](bool on) {
        // Other columns make other views: they are made again before an export.
        Doc.CropEdges = on ? 1 : 0;
        Doc.ViewsCurrent = 0;
        ApplyCommandStates();
    });
    connect(AnaglyphAction, &QAction::triggered, this, &MainWindow::ShowAnaglyph);
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
    connect(BeginLineAction, &QAction::triggered, this, &MainWindow::BeginLine);
    connect(DeletePointAction, &QAction::triggered, this, &MainWindow::DeleteLastPoint);
    connect(DeleteLineAction, &QAction::triggered, this, &MainWindow::DeleteLine);
    connect(DeleteLayerLinesAction, &QAction::triggered, this, &MainWindow::DeleteLayerLines);
    connect(DeleteAllLinesAction, &QAction::triggered, this, &MainWindow::ClearAllLines);
    connect(DeleteSelectionItem, &QAction::triggered, this, &MainWindow::DeleteSelection);
    connect(SelectAllItem, &QAction::triggered, this, &MainWindow::SelectAllLines);
    connect(FreeTransformItem, &QAction::triggered, this, &MainWindow::FreeTransform);
    connect(CutAction, &QAction::triggered, this, &MainWindow::CutLines);
    connect(CopyAction, &QAction::triggered, this, &MainWindow::CopyLines);
    connect(PasteAction, &QAction::triggered, this, &MainWindow::PasteLines);
    connect(LowerOrderButton, &QToolButton::clicked, this, &MainWindow::MoveSelectionToLowerOrder);
    connect(HigherOrderButton, &QToolButton::clicked, this, &MainWindow::MoveSelectionToHigherOrder);
    connect(ReliefPreviewButton, &QPushButton::clicked, this, &MainWindow::StartReliefPreview);
    connect(ReliefStopButton, &QPushButton::clicked, this, &MainWindow::StopReliefPreview);
    connect(ReliefTimer, &QTimer::timeout, this, &MainWindow::ReliefFrame);
    connect(FramePeriodSlider, &QSlider::valueChanged, this, [this](int position) { FrameTimer->setInterval(position * 10); });

    connect(UndoAction, &QAction::triggered, this, &MainWindow::UndoEdit);
    connect(RedoAction, &QAction::triggered, this, &MainWindow::RedoEdit);
    // A cell typed or a choice made is one edit; a field is one edit when it
    // is left, while the caption's mark of unsaved changes follows each key.
    // Commands record theirs when they end (ApplyCommandStates).
    const auto edited = [this] {
        RecordDesignEdit();
        ShowDesignModified();
    };
    connect(LayerGrid, &QTableWidget::cellChanged, this, &MainWindow::GroupCellChanged);  // before the edit is recorded
    connect(LayerGrid, &QTableWidget::cellChanged, this, edited);
    // A plain click on a Group cell goes on to the offset; a double click edits the group.
    connect(LayerGrid, &QTableWidget::cellDoubleClicked, this, [this](int row, int col) {
        if (col == 1 && row >= 1 && LayerGrid->item(row, 1)) {
            LayerGrid->setCurrentCell(row, 1);
            LayerGrid->editItem(LayerGrid->item(row, 1));
        }
    });
    LayerGrid->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(LayerGrid, &QWidget::customContextMenuRequested, this, [this](const QPoint &at) {
        if (QMenu *menu = GroupMenuFor(LayerGrid->rowAt(at.y())))
            menu->popup(LayerGrid->viewport()->mapToGlobal(at));
    });
    connect(DpiCombo, &QComboBox::currentTextChanged, this, edited);
    connect(ColourModeCombo, &QComboBox::currentIndexChanged, this, edited);
    for (QLineEdit *field : {LpiEdit, FocusEdit, DepthEdit, WidthEdit, HeightEdit, HScaleEdit}) {
        connect(field, &QLineEdit::editingFinished, this, [this] { RecordDesignEdit(); });
        connect(field, &QLineEdit::textChanged, this, [this] { ShowDesignModified(); });
    }

    // A hidden menu item does not answer its shortcut in Qt; this one must.
    auto *shortcut = new QShortcut(ImportDefaultSettingsItem->shortcut(), this);
    connect(shortcut, &QShortcut::activated, ImportDefaultSettingsItem, &QAction::trigger);
}

WindowState MainWindow::CurrentWindowState() const
{
    WindowState state;
    state.AppState = Doc.AppState;
    state.Generating = Generating;
    state.Shown = Pages->currentWidget() == DrawLinePage ? Page::DrawLine : Page::SetLayer;
    state.ViewsCurrent = Doc.ViewsCurrent != 0;
    state.PrintWritten = Doc.PrintWritten != 0;
    state.AnimationPlayed = Doc.AnimationPlayed != 0;
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
    enable(Command::OpenProject, {}, {OpenProjectAction});
    enable(Command::SaveProject, {}, {SaveProjectAction, SaveProjectAsItem});
    enable(Command::ImportPsd, {}, {ImportPsdAction});
    enable(Command::ImportSettings, {}, {ImportSettingsItem});
    enable(Command::Zoom, {}, {ZoomInAction, ZoomOutAction, FitAction, ActualSizeAction});
    enable(Command::Preview, {}, {PreviewAction});
    enable(Command::Stop, {}, {StopAction});
    enable(Command::ExportTiff, {}, {ExportTiffAction});
    enable(Command::Anaglyph, {}, {AnaglyphAction});
    enable(Command::ExportPsd, {}, {ExportPsdItem});
    enable(Command::ExportGif, {}, {ExportGifItem});
    enable(Command::RightPanel, {RightPanel});
    enable(Command::LayerGrid, {LayerGrid, SettingsPages});
    enable(Command::LineDeletion, {}, {DeletePointAction, DeleteLineAction, DeleteLayerLinesAction, DeleteAllLinesAction});
    enable(Command::BeginLine, {}, {BeginLineAction});
    LineToolBar->setVisible(CommandEnabled(Command::LineToolBar, state));
    enable(Command::LineTools,
           {DrawLineTool, AddPointTool, DeletePointTool, MoveLineTool, MovePointTool, LowerOrderButton, HigherOrderButton},
           {CutAction, CopyAction});
    PasteAction->setEnabled(CommandEnabled(Command::LineTools, state) && Editor.PasteAvailable());
    enable(Command::ReliefControls, {OrderGroup, ViewLabel, BaseOrderGroup, ReliefDepthLabel, ReliefDepthEdit, SmoothLabel, SmoothSlider});
    for (QCheckBox *box : OrderCheckBoxes)
        box->setEnabled(CommandEnabled(Command::ReliefControls, state));
    enable(Command::ReliefPreview, {ReliefPreviewButton});
    enable(Command::ReliefStop, {ReliefStopButton});
    SetPictureTakesInput(PictureTakesMouse());
    RecordDesignEdit();
    ShowUndoRedo();
    ShowDesignModified();
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
        failure = tr("Not enough memory for this command. Close other programs or choose a smaller "
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
    if (!Closed && !MayReplaceDesign()) {
        event->ignore();
        return;
    }
    ShutDown();
    event->accept();
}
