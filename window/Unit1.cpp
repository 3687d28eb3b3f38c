// The main window's controls: created in order, named, laid out, and given
// their texts from the table in ui/.
#include "Unit1.h"

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

TForm1::TForm1(QWidget *parent) : QMainWindow(parent)
{
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(QStringLiteral("Vistrel"));
    setWindowIcon(QIcon(QPixmap::fromImage(DrawAppIcon(64))));
    CreateControls();
    ApplyControlTexts();
    ConnectHandlers();
    ApplyCommandStates();
}

TForm1::~TForm1() = default;

void TForm1::Register(const char *name, ControlKind kind, QObject *object)
{
    object->setObjectName(QString::fromLatin1(name));
    ComponentList.push_back({QString::fromLatin1(name), kind, object, QString()});
}

void TForm1::CreateControls()
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
    row->addWidget(ProgressBar1);
    row->addWidget(ScrollBox1, 1);
    row->addWidget(GroupBox2);
    setCentralWidget(central);

    Timer1 = new QTimer(this);
    Timer1->setObjectName(QStringLiteral("Timer1"));
    Timer1->setInterval(50);
    Timer1->setSingleShot(true);  // one frame of the animation, then off
    ReliefTimer = new QTimer(this);  // one frame of the relief preview, at Timer1's period
    ReliefTimer->setSingleShot(true);
}

void TForm1::CreateMenus()
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

    menu("N2", N2);
    item(N2, "Openproject1", Openproject1);
    item(N2, "Saveproject1", Saveproject1);
    item(N2, "N4", N4);
    separator(N2, "N1");
    item(N2, "N6", N6);
    item(N2, "Importdefaultsettings1", Importdefaultsettings1);
    item(N2, "N3", N3);
    separator(N2, "N5");
    item(N2, "N18", N18);
    item(N2, "N25", N25);
    item(N2, "N26", N26);
    separator(N2, "N8");
    item(N2, "N7", N7);
    item(N2, "PSD1", PSD1);
    item(N2, "ExportGif1", ExportGif1);
    item(N2, "AdaptiveGifPalette1", AdaptiveGifPalette1);
    AdaptiveGifPalette1->setCheckable(true);  // off: the halftone palette
    item(N2, "PitchTest1", PitchTest1);
    // The last files opened, shown when there are any.
    RecentSeparator = N2->addSeparator();
    for (size_t i = 0; i < RecentFileItems.size(); ++i) {
        RecentFileItems[i] = N2->addAction(QString());
        RecentFileItems[i]->setObjectName(QStringLiteral("RecentFile%1").arg(i + 1));
        RecentFileItems[i]->setVisible(false);
    }
    separator(N2, "N19");
    item(N2, "N9", N9);

    menu("N10", N10);
    item(N10, "N23", N23);
    item(N10, "N14", N14);
    item(N10, "N11", N11);
    item(N10, "N12", N12);
    item(N10, "N13", N13);
    separator(N10, "N24");
    item(N10, "DeleteSelect1", DeleteSelect1);
    item(N10, "SelectAll1", SelectAll1);
    item(N10, "FreeTransform1", FreeTransform1);
    separator(N10, "N27");
    item(N10, "Cut1", Cut1);
    item(N10, "Copy1", Copy1);
    item(N10, "Pastup1", Pastup1);

    menu("N15", N15);
    item(N15, "N16", N16);
    item(N15, "N17", N17);
    separator(N15, "N28");
    item(N15, "Showgrouptiff1", Showgrouptiff1);

    menu("N20", N20);
    item(N20, "N21", N21);
    item(N20, "N22", N22);
    separator(N20, "N29");
    item(N20, "Website1", Website1);
    item(N20, "Languages1", Languages1);

    // Hidden items still answer their shortcuts.
    Importdefaultsettings1->setVisible(false);
    Languages1->setVisible(false);
}

void TForm1::CreateToolBars()
{
    ToolBar1 = new QToolBar(this);
    Register("ToolBar1", ControlKind::ToolBar, ToolBar1);
    ToolBar1->setMovable(false);
    ToolBar1->setFloatable(false);
    ToolBar1->setIconSize(QSize(24, 24));
    addToolBar(Qt::TopToolBarArea, ToolBar1);

    // The buttons sit in one strip so that each can be shown or hidden by itself.
    auto *strip = new QWidget(ToolBar1);
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
    button("SpeedButton12", SpeedButton12);
    button("SpeedButton15", SpeedButton15);
    button("SpeedButton1", SpeedButton1);
    button("SpeedButton3", SpeedButton3, true);
    button("SpeedButton4", SpeedButton4);
    button("SpeedButton10", SpeedButton10, true);
    button("SpeedButton6", SpeedButton6);
    button("SpeedButton7", SpeedButton7);
    button("SpeedButton8", SpeedButton8);
    button("SpeedButton9", SpeedButton9, true);
    button("SpeedButton2", SpeedButton2);
    button("SpeedButton29", SpeedButton29);
    button("SpeedButton13", SpeedButton13, true);
    button("SpeedButton5", SpeedButton5);
    button("SpeedButton14", SpeedButton14);
    SpeedButton14->setToolButtonStyle(Qt::ToolButtonTextOnly);
    SpeedButton14->setVisible(false);
    ToolBar1->addWidget(strip);

    // The line tools, shown only while the DrawLine page is.
    ToolBar2 = new QToolBar(this);
    Register("ToolBar2", ControlKind::ToolBar, ToolBar2);
    ToolBar2->setMovable(false);
    ToolBar2->setFloatable(false);
    ToolBar2->setIconSize(QSize(24, 24));
    auto tool = [&](const char *name, QToolButton *&b) {
        b = new QToolButton(ToolBar2);
        b->setCheckable(true);
        b->setAutoExclusive(true);
        b->setAutoRaise(true);
        b->setIconSize(QSize(24, 24));
        b->setIcon(ToolIcon(QString::fromLatin1(name)));
        Register(name, ControlKind::ToolButton, b);
        ToolBar2->addWidget(b);
    };
    tool("ToolButton1", ToolButton1);
    tool("ToolButton2", ToolButton2);
    tool("ToolButton3", ToolButton3);
    tool("ToolButton4", ToolButton4);
    tool("ToolButton5", ToolButton5);
    ToolButton1->setChecked(true);
    // The selection commands act once; they are not tools.
    ToolBar2->addSeparator();
    auto command = [&](const char *name, QToolButton *&b) {
        tool(name, b);
        b->setCheckable(false);
        b->setAutoExclusive(false);
    };
    command("ToolButton8", ToolButton8);
    command("ToolButton7", ToolButton7);
    command("ToolButton9", ToolButton9);
    command("ToolButton12", ToolButton12);
    command("ToolButton10", ToolButton10);
    ToolButton10->setEnabled(false);  // until the first cut or copy
    addToolBar(Qt::TopToolBarArea, ToolBar2);
    ToolBar2->setVisible(false);
}

void TForm1::CreateRightPanel()
{
    GroupBox2 = new QGroupBox(this);
    Register("GroupBox2", ControlKind::GroupBox, GroupBox2);
    GroupBox2->setFixedWidth(RightPanelWidth);
    auto *panelLayout = new QVBoxLayout(GroupBox2);
    panelLayout->setContentsMargins(2, 2, 2, 2);

    PageControl1 = new QTabWidget(GroupBox2);
    Register("PageControl1", ControlKind::PageControl, PageControl1);
    panelLayout->addWidget(PageControl1);

    CreateSetLayerPage();
    CreateDrawLinePage();
}

void TForm1::CreateSetLayerPage()
{
    TabSheet1 = new QWidget;
    Register("TabSheet1", ControlKind::TabSheet, TabSheet1);
    PageControl1->addTab(TabSheet1, QString());
    auto *page = new QVBoxLayout(TabSheet1);
    page->setContentsMargins(4, 4, 4, 4);

    StringGrid1 = new QTableWidget(4, 3, TabSheet1);
    Register("StringGrid1", ControlKind::Grid, StringGrid1);
    StringGrid1->horizontalHeader()->hide();
    StringGrid1->verticalHeader()->hide();
    StringGrid1->verticalHeader()->setDefaultSectionSize(22);
    StringGrid1->setColumnWidth(0, 70);
    StringGrid1->setColumnWidth(1, 60);
    StringGrid1->horizontalHeader()->setStretchLastSection(true);
    StringGrid1->setSelectionMode(QAbstractItemView::SingleSelection);
    page->addWidget(StringGrid1, 1);

    RadioGroup1 = new QGroupBox(TabSheet1);
    Register("RadioGroup1", ControlKind::RadioGroup, RadioGroup1);
    auto *radios = new QHBoxLayout(RadioGroup1);
    RadioGroup1All = new QRadioButton(RadioGroup1);
    RadioGroup1All->setObjectName(QStringLiteral("RadioGroup1All"));
    RadioGroup1One = new QRadioButton(RadioGroup1);
    RadioGroup1One->setObjectName(QStringLiteral("RadioGroup1One"));
    RadioGroup1All->setText(QString::fromUtf8(TextsForLanguage(0).LayerViewAll));
    RadioGroup1One->setText(QString::fromUtf8(TextsForLanguage(0).LayerViewOne));
    RadioGroup1All->setChecked(true);
    radios->addWidget(RadioGroup1All);
    radios->addWidget(RadioGroup1One);
    page->addWidget(RadioGroup1);

    PageControl2 = new QTabWidget(TabSheet1);
    Register("PageControl2", ControlKind::PageControl, PageControl2);
    page->addWidget(PageControl2);

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

    TabSheet3 = new QWidget;
    Register("TabSheet3", ControlKind::TabSheet, TabSheet3);
    PageControl2->addTab(TabSheet3, QString());
    auto *sets3d = new QGridLayout(TabSheet3);
    label(TabSheet3, "Label7", Label7);
    edit(TabSheet3, "Edit5", Edit5, 8);
    label(TabSheet3, "Label5", Label5);
    edit(TabSheet3, "Edit4", Edit4, 3);
    label(TabSheet3, "Label1", Label1);
    edit(TabSheet3, "Edit2", Edit2, 3);
    label(TabSheet3, "Label2", Label2);
    edit(TabSheet3, "Edit3", Edit3, 7);
    QLabel *labels3d[] = {Label7, Label5, Label1, Label2};
    QLineEdit *edits3d[] = {Edit5, Edit4, Edit2, Edit3};
    for (int r = 0; r < 4; ++r) {
        sets3d->addWidget(labels3d[r], r, 0);
        sets3d->addWidget(edits3d[r], r, 1);
    }
    sets3d->setRowStretch(4, 1);

    TabSheet4 = new QWidget;
    Register("TabSheet4", ControlKind::TabSheet, TabSheet4);
    PageControl2->addTab(TabSheet4, QString());
    auto *output = new QGridLayout(TabSheet4);
    label(TabSheet4, "Label25", Label25);
    combo(TabSheet4, "ComboBox2", ComboBox2,
          {QStringLiteral("(Auto)"), QStringLiteral("360"), QStringLiteral("720"), QStringLiteral("1200"),
           QStringLiteral("1440"), QStringLiteral("2400"), QStringLiteral("2880")});
    ComboBox2->setEditable(true);
    ComboBox2->setInsertPolicy(QComboBox::NoInsert);
    label(TabSheet4, "Label26", Label26);
    edit(TabSheet4, "Edit9", Edit9, 8);
    label(TabSheet4, "Label28", Label28);
    label(TabSheet4, "Label27", Label27);
    edit(TabSheet4, "Edit10", Edit10, 32767);  // follows the width, never typed into
    label(TabSheet4, "Label29", Label29);
    label(TabSheet4, "Label31", Label31);
    edit(TabSheet4, "Edit11", Edit11, 2);
    label(TabSheet4, "Label30", Label30);
    combo(TabSheet4, "ComboBox1", ComboBox1,
          {QStringLiteral("1bit x 4"), QStringLiteral("Gray X 4 "), QStringLiteral("Color"), QStringLiteral("4bit")});
    ComboBox1->setCurrentIndex(2);
    label(TabSheet4, "Label23", Label23);
    combo(TabSheet4, "ComboBox3", ComboBox3,
          {QStringLiteral("300"), QStringLiteral("600"), QStringLiteral("800"), QStringLiteral("1200"),
           QStringLiteral("1600"), QStringLiteral("2400")});
    ComboBox3->setCurrentIndex(1);  // "600"; read by no command
    CheckBox16 = new QCheckBox(TabSheet4);
    Register("CheckBox16", ControlKind::CheckBox, CheckBox16);
    output->addWidget(Label25, 0, 0);
    output->addWidget(ComboBox2, 0, 1);
    output->addWidget(Label26, 1, 0);
    output->addWidget(Edit9, 1, 1);
    output->addWidget(Label28, 1, 2);
    output->addWidget(Label27, 2, 0);
    output->addWidget(Edit10, 2, 1);
    output->addWidget(Label29, 2, 2);
    output->addWidget(Label31, 3, 0);
    output->addWidget(Edit11, 3, 1);
    output->addWidget(Label30, 4, 0);
    output->addWidget(ComboBox1, 4, 1);
    output->addWidget(Label23, 5, 0);
    output->addWidget(ComboBox3, 5, 1);
    output->addWidget(CheckBox16, 6, 0, 1, 3);
    output->setRowStretch(6, 1);
    for (QWidget *hidden : {static_cast<QWidget *>(Label30), static_cast<QWidget *>(ComboBox1),
                            static_cast<QWidget *>(Label23), static_cast<QWidget *>(ComboBox3)})
        hidden->setVisible(false);
    Edit4->setEnabled(false);
    Edit10->setEnabled(false);
    Edit11->setEnabled(false);
    PageControl2->setFixedHeight(190);
}

void TForm1::CreateDrawLinePage()
{
    TabSheet2 = new QWidget;
    Register("TabSheet2", ControlKind::TabSheet, TabSheet2);
    PageControl1->addTab(TabSheet2, QString());
    auto *page = new QVBoxLayout(TabSheet2);
    page->setContentsMargins(0, 0, 0, 0);

    // The DrawLine controls are placed by pixel: the marker bar beside the
    // current order moves in steps of one order row.
    Panel3 = new QLabel(TabSheet2);
    Register("Panel3", ControlKind::Panel, Panel3);
    Panel3->setMinimumSize(RightPanelWidth - 16, OrderFirstRowTop + 16 * OrderRowHeight + 12);
    page->addWidget(Panel3);
    page->addStretch(1);

    RadioGroup2 = new QGroupBox(Panel3);
    Register("RadioGroup2", ControlKind::RadioGroup, RadioGroup2);
    RadioGroup2->setGeometry(14, OrderFirstRowTop - 24, 64, 16 * OrderRowHeight + 30);
    for (int i = 0; i < 16; ++i) {
        auto *radio = new QRadioButton(i < 15 ? QString::number(i + 1) : QString(), RadioGroup2);
        radio->setObjectName(QStringLiteral("RadioGroup2Item%1").arg(i + 1));
        radio->setGeometry(8, 24 + i * OrderRowHeight, 50, 20);
        RadioGroup2Items.push_back(radio);
    }
    RadioGroup2Items[0]->setChecked(true);

    Panel4 = new QLabel(Panel3);
    Register("Panel4", ControlKind::Panel, Panel4);
    Panel4->setGeometry(4, OrderFirstRowTop, 8, 20);
    Panel4->setAutoFillBackground(true);
    Panel4->setStyleSheet(QStringLiteral("background-color: #e67828;"));

    Panel5 = new QLabel(Panel3);
    Register("Panel5", ControlKind::Panel, Panel5);
    Panel5->setGeometry(86, OrderFirstRowTop - 22, 44, 18);
    QCheckBox **boxes[] = {&CheckBox1, &CheckBox2, &CheckBox3, &CheckBox4, &CheckBox5,
                           &CheckBox6, &CheckBox7, &CheckBox8, &CheckBox9, &CheckBox10,
                           &CheckBox11, &CheckBox12, &CheckBox13, &CheckBox14, &CheckBox15};
    static const char *const boxNames[] = {"CheckBox1", "CheckBox2", "CheckBox3", "CheckBox4", "CheckBox5",
                                           "CheckBox6", "CheckBox7", "CheckBox8", "CheckBox9", "CheckBox10",
                                           "CheckBox11", "CheckBox12", "CheckBox13", "CheckBox14", "CheckBox15"};
    for (int k = 0; k < 15; ++k) {
        *boxes[k] = new QCheckBox(Panel3);
        Register(boxNames[k], ControlKind::CheckBox, *boxes[k]);
        (*boxes[k])->setGeometry(94, OrderFirstRowTop + k * OrderRowHeight, 24, 20);
        (*boxes[k])->setChecked(true);
        OrderCheckBoxes[size_t(k)] = *boxes[k];
    }

    const int x = 136;
    const int w = Panel3->minimumWidth() - x - 6;
    GroupBox1 = new QGroupBox(Panel3);
    Register("GroupBox1", ControlKind::GroupBox, GroupBox1);
    GroupBox1->setGeometry(x, OrderFirstRowTop - 24, w, 80);
    TrackBar3 = new QSlider(Qt::Horizontal, GroupBox1);
    Register("TrackBar3", ControlKind::TrackBar, TrackBar3);
    TrackBar3->setRange(0, 15);
    TrackBar3->setValue(7);
    TrackBar3->setTickPosition(QSlider::TicksBelow);
    TrackBar3->setGeometry(6, 22, w - 12, 26);
    Panel6 = new QLabel(GroupBox1);
    Register("Panel6", ControlKind::Panel, Panel6);
    Panel6->setAlignment(Qt::AlignRight);
    Panel6->setGeometry(6, 52, w - 12, 18);

    Label22 = new QLabel(Panel3);
    Register("Label22", ControlKind::Label, Label22);
    Label22->setGeometry(x, OrderFirstRowTop + 70, 60, 22);
    Edit1 = new QLineEdit(Panel3);
    Register("Edit1", ControlKind::Edit, Edit1);
    Edit1->setGeometry(x + 62, OrderFirstRowTop + 70, w - 62, 22);

    Label21 = new QLabel(Panel3);
    Register("Label21", ControlKind::Label, Label21);
    Label21->setGeometry(x, OrderFirstRowTop + 104, w, 20);
    TrackBar2 = new QSlider(Qt::Horizontal, Panel3);
    Register("TrackBar2", ControlKind::TrackBar, TrackBar2);
    TrackBar2->setRange(1, 9);
    TrackBar2->setValue(5);
    TrackBar2->setTickPosition(QSlider::TicksBelow);
    TrackBar2->setGeometry(x, OrderFirstRowTop + 126, w, 26);

    BitBtn5 = new QPushButton(Panel3);
    Register("BitBtn5", ControlKind::BitBtn, BitBtn5);
    BitBtn5->setGeometry(x, OrderFirstRowTop + 170, w, 30);
    BitBtn6 = new QPushButton(Panel3);
    Register("BitBtn6", ControlKind::BitBtn, BitBtn6);
    BitBtn6->setGeometry(x, OrderFirstRowTop + 206, w, 30);
    BitBtn6->setEnabled(false);
}

void TForm1::CreatePictureArea()
{
    // Image1 is placed by hand inside the scroll box: fitted, zoomed, scrolled.
    ScrollBox1 = new QScrollArea(this);
    Register("ScrollBox1", ControlKind::ScrollBox, ScrollBox1);
    ScrollBox1->setWidgetResizable(false);
    ScrollBox1->setBackgroundRole(QPalette::Dark);
    ScrollContent = new QWidget;
    ScrollContent->setObjectName(QStringLiteral("ScrollBox1Content"));
    Image1 = new TPicture(ScrollContent);
    Register("Image1", ControlKind::Image, Image1);
    Image1->setMouseTracking(true);  // the line tools show what lies under the pointer
    ScrollBox1->setWidget(ScrollContent);
    SetImage1Enabled(false);  // takes the mouse only on the DrawLine page
    ScrollBox1->viewport()->installEventFilter(this);
    ScrollContent->installEventFilter(this);

    // The view marker floats over the picture area.
    Label24 = new QLabel(ScrollBox1);
    Register("Label24", ControlKind::Label, Label24);
    Label24->setStyleSheet(QStringLiteral("color: red; font-size: 32px; font-weight: bold;"));
    Label24->setVisible(false);

    ProgressBar1 = new QProgressBar(this);
    Register("ProgressBar1", ControlKind::ProgressBar, ProgressBar1);
    ProgressBar1->setOrientation(Qt::Vertical);
    ProgressBar1->setRange(0, 100);
    ProgressBar1->setValue(0);
    ProgressBar1->setTextVisible(false);
    ProgressBar1->setFixedWidth(12);

    TrackBar1 = new QSlider(Qt::Horizontal, this);
    Register("TrackBar1", ControlKind::TrackBar, TrackBar1);
    TrackBar1->setRange(1, 11);
    TrackBar1->setValue(6);
    TrackBar1->setVisible(false);
}

void TForm1::CreateStatusBar()
{
    StatusBar1 = new QStatusBar(this);
    Register("StatusBar1", ControlKind::StatusBar, StatusBar1);
    StatusBar1->setSizeGripEnabled(false);
    setStatusBar(StatusBar1);
    const std::vector<int> &widths = StatusPanelWidths();
    for (size_t i = 0; i < widths.size(); ++i) {
        auto *panel = new QLabel(StatusBar1);
        panel->setObjectName(QStringLiteral("StatusPanel%1").arg(i));
        panel->setFrameShape(QFrame::Panel);
        panel->setFrameShadow(QFrame::Sunken);
        panel->setMinimumWidth(widths[i]);
        if (i + 1 < widths.size())
            panel->setFixedWidth(widths[i]);
        StatusBar1->addPermanentWidget(panel, i + 1 == widths.size() ? 1 : 0);
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

void TForm1::ApplyControlTexts()
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

TComponent *TForm1::FindComponent(const QString &name)
{
    for (TComponent &component : ComponentList)
        if (component.Name == name)
            return &component;
    return nullptr;
}

QString TForm1::Caption(const QString &name)
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

void TForm1::SetCaption(const QString &name, const QString &caption)
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

QString TForm1::Hint(const QString &name)
{
    TComponent *c = FindComponent(name);
    return c ? c->Hint : QString();
}

QString TForm1::PanelText(int panel) const
{
    return StatusPanels.at(panel)->text();
}

void TForm1::SetPanelText(int panel, const QString &text)
{
    StatusPanels.at(panel)->setText(text);
}

QString TForm1::Cells(int col, int row) const
{
    const QTableWidgetItem *item = StringGrid1->item(row, col);
    return item ? item->text() : QString();
}

void TForm1::SetCells(int col, int row, const QString &text)
{
    QTableWidgetItem *item = StringGrid1->item(row, col);
    if (!item) {
        item = new QTableWidgetItem;
        // Row 0 (headers) and column 0 (row numbers) are fixed cells.
        if (row == 0 || col == 0) {
            item->setFlags(Qt::ItemIsEnabled);
            item->setBackground(StringGrid1->palette().button());
        }
        StringGrid1->setItem(row, col, item);
    }
    item->setText(text);
}

void TForm1::ConnectHandlers()
{
    connect(N9, &QAction::triggered, this, &TForm1::N9Click);
    connect(N21, &QAction::triggered, this, &TForm1::N21Click);
    connect(N22, &QAction::triggered, this, &TForm1::N22Click);
    connect(Website1, &QAction::triggered, this, &TForm1::Website1Click);
    connect(Languages1, &QAction::triggered, this, &TForm1::Languages1Click);
    connect(SpeedButton1, &QToolButton::clicked, this, &TForm1::SpeedButton1Click);
    connect(SpeedButton12, &QToolButton::clicked, this, &TForm1::SpeedButton12Click);
    connect(Openproject1, &QAction::triggered, this, &TForm1::SpeedButton12Click);
    connect(SpeedButton15, &QToolButton::clicked, this, &TForm1::SpeedButton15Click);
    connect(Saveproject1, &QAction::triggered, this, &TForm1::SpeedButton15Click);
    connect(N4, &QAction::triggered, this, &TForm1::N4Click);
    for (size_t i = 0; i < RecentFileItems.size(); ++i)
        connect(RecentFileItems[i], &QAction::triggered, this, [this, i] {
            if (i < size_t(RecentFiles.size()))
                OpenFile(RecentFiles[qsizetype(i)]);
        });
    connect(N3, &QAction::triggered, this, &TForm1::N3Click);
    connect(Importdefaultsettings1, &QAction::triggered, this, &TForm1::Importdefaultsettings1Click);
    connect(N6, &QAction::triggered, this, &TForm1::N6Click);
    connect(SpeedButton3, &QToolButton::clicked, this, &TForm1::SpeedButton3Click);
    connect(SpeedButton4, &QToolButton::clicked, this, &TForm1::SpeedButton4Click);
    connect(N16, &QAction::triggered, this, &TForm1::SpeedButton3Click);
    connect(N17, &QAction::triggered, this, &TForm1::SpeedButton4Click);
    connect(Showgrouptiff1, &QAction::triggered, this, &TForm1::Showgrouptiff1Click);
    connect(RadioGroup1All, &QRadioButton::clicked, this, &TForm1::RadioGroup1Click);
    connect(RadioGroup1One, &QRadioButton::clicked, this, &TForm1::RadioGroup1Click);
    connect(StringGrid1, &QTableWidget::cellClicked, this, &TForm1::StringGrid1Click);
    connect(StringGrid1, &QTableWidget::currentCellChanged, this,
            [this](int row, int, int, int) { StringGrid1CurrentRowChanged(row); });
    connect(Edit5, &QLineEdit::editingFinished, this, &TForm1::Edit5Exit);
    connect(Edit2, &QLineEdit::editingFinished, this, &TForm1::Edit2Exit);
    connect(Edit3, &QLineEdit::textChanged, this, &TForm1::Edit3Change);
    connect(Edit4, &QLineEdit::textChanged, this, &TForm1::Edit4Change);
    connect(Edit9, &QLineEdit::textChanged, this, &TForm1::Edit9Change);
    connect(SpeedButton9, &QToolButton::clicked, this, &TForm1::SpeedButton9Click);
    connect(N18, &QAction::triggered, this, &TForm1::N18Click);
    connect(SpeedButton2, &QToolButton::clicked, this, &TForm1::SpeedButton2Click);
    connect(N25, &QAction::triggered, this, &TForm1::N25Click);
    connect(Timer1, &QTimer::timeout, this, &TForm1::AnimationFrame);
    connect(SpeedButton29, &QToolButton::clicked, this, &TForm1::BitBtn3Click);
    connect(N7, &QAction::triggered, this, &TForm1::N7Click);
    connect(PSD1, &QAction::triggered, this, &TForm1::PSD1Click);
    connect(ExportGif1, &QAction::triggered, this, &TForm1::ExportGif1Click);
    connect(PitchTest1, &QAction::triggered, this, &TForm1::PitchTest1Click);
    connect(CheckBox16, &QCheckBox::toggled, this, [this](bool on) {
        // Other columns make other views: they are made again before an export.
        CropEdges = on ? 1 : 0;
        ViewsCurrent = 0;
        ApplyCommandStates();
    });
    connect(SpeedButton5, &QToolButton::clicked, this, &TForm1::SpeedButton5Click);
    connect(N26, &QAction::triggered, this, &TForm1::N26Click);
    qApp->installEventFilter(this);  // the window sees key strokes before its controls
    connect(PageControl1, &QTabWidget::currentChanged, this, &TForm1::PageControl1Change);
    const std::pair<QToolButton *, uint8_t> tools[] = {{ToolButton1, ToolDrawLine}, {ToolButton2, ToolAddPoint},
                                                       {ToolButton3, ToolDeletePoint}, {ToolButton4, ToolMoveLine},
                                                       {ToolButton5, ToolMovePoint}};
    for (const auto &[button, mode] : tools)
        connect(button, &QToolButton::clicked, this, [this, mode = mode] { ToolButtonClick(mode); });
    for (int i = 0; i < int(RadioGroup2Items.size()); ++i)
        connect(RadioGroup2Items[size_t(i)], &QRadioButton::clicked, this, [this, i] { RadioGroup2Click(i); });
    for (int k = 0; k < OrderCount; ++k)
        connect(OrderCheckBoxes[size_t(k)], &QCheckBox::clicked, this, [this, k] { OrderCheckBoxClick(k); });
    connect(SpeedButton13, &QToolButton::clicked, this, &TForm1::SpeedButton13Click);
    connect(N23, &QAction::triggered, this, &TForm1::N23Click);
    connect(SpeedButton10, &QToolButton::clicked, this, &TForm1::SpeedButton10Click);
    connect(SpeedButton6, &QToolButton::clicked, this, &TForm1::SpeedButton6Click);
    connect(SpeedButton7, &QToolButton::clicked, this, &TForm1::SpeedButton7Click);
    connect(SpeedButton8, &QToolButton::clicked, this, &TForm1::SpeedButton8Click);
    // The menu items act through their buttons, so they do nothing while the page is hidden.
    const std::pair<QAction *, QToolButton *> lineItems[] = {
        {N14, SpeedButton10}, {N11, SpeedButton6}, {N12, SpeedButton7}, {N13, SpeedButton8}};
    for (const auto &[item, button] : lineItems)
        connect(item, &QAction::triggered, this, [button = button] {
            if (button->isEnabled())
                button->click();
        });
    connect(DeleteSelect1, &QAction::triggered, this, &TForm1::DeleteSelect1Click);
    connect(SelectAll1, &QAction::triggered, this, &TForm1::SelectAll1Click);
    connect(FreeTransform1, &QAction::triggered, this, &TForm1::FreeTransform1Click);
    connect(Cut1, &QAction::triggered, this, &TForm1::Cut1Click);
    connect(ToolButton9, &QToolButton::clicked, this, &TForm1::Cut1Click);
    connect(Copy1, &QAction::triggered, this, &TForm1::Copy1Click);
    connect(ToolButton12, &QToolButton::clicked, this, &TForm1::Copy1Click);
    connect(Pastup1, &QAction::triggered, this, &TForm1::Pastup1Click);
    connect(ToolButton10, &QToolButton::clicked, this, &TForm1::Pastup1Click);
    connect(ToolButton8, &QToolButton::clicked, this, &TForm1::ToolButton8Click);
    connect(ToolButton7, &QToolButton::clicked, this, &TForm1::ToolButton7Click);
    connect(BitBtn5, &QPushButton::clicked, this, &TForm1::BitBtn5Click);
    connect(BitBtn6, &QPushButton::clicked, this, &TForm1::BitBtn6Click);
    connect(ReliefTimer, &QTimer::timeout, this, &TForm1::ReliefFrame);
    connect(TrackBar1, &QSlider::valueChanged, this, [this](int position) { Timer1->setInterval(position * 10); });

    // A hidden menu item does not answer its shortcut in Qt; these two must.
    for (QAction *hidden : {Importdefaultsettings1, Languages1}) {
        auto *shortcut = new QShortcut(hidden->shortcut(), this);
        connect(shortcut, &QShortcut::activated, hidden, &QAction::trigger);
    }
}

WindowState TForm1::CurrentWindowState() const
{
    WindowState state;
    state.AppState = AppState;
    state.Generating = Generating;
    state.Shown = PageControl1->currentWidget() == TabSheet2 ? Page::DrawLine : Page::SetLayer;
    state.ViewsCurrent = ViewsCurrent != 0;
    state.PrintWritten = PrintWritten != 0;
    state.AnimationPlayed = AnimationPlayed != 0;
    state.LayerViewOne = RadioGroup1One->isChecked();
    state.Relief = ReliefShown;
    return state;
}

void TForm1::ApplyCommandStates()
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
    enable(Command::OpenProject, {SpeedButton12}, {Openproject1});
    enable(Command::SaveProject, {SpeedButton15}, {Saveproject1, N4});
    enable(Command::ImportPsd, {SpeedButton1});
    enable(Command::ImportSettings, {}, {N3});
    enable(Command::Zoom, {SpeedButton3, SpeedButton4});
    enable(Command::Preview, {SpeedButton9});
    enable(Command::Stop, {SpeedButton2});
    enable(Command::ExportTiff, {SpeedButton29}, {N7});
    enable(Command::Anaglyph, {SpeedButton5});
    enable(Command::ExportPsd, {}, {PSD1});
    enable(Command::ExportGif, {}, {ExportGif1});
    enable(Command::RightPanel, {GroupBox2});
    enable(Command::LayerGrid, {StringGrid1, PageControl2});
    enable(Command::LineDeletion, {SpeedButton10, SpeedButton6, SpeedButton7, SpeedButton8});
    enable(Command::BeginLine, {SpeedButton13});
    ToolBar2->setVisible(CommandEnabled(Command::LineToolBar, state));
    enable(Command::LineTools,
           {ToolButton1, ToolButton2, ToolButton3, ToolButton4, ToolButton5, ToolButton8, ToolButton7, ToolButton9,
            ToolButton12});
    ToolButton10->setEnabled(CommandEnabled(Command::LineTools, state) && Editor.PasteAvailable());
    enable(Command::ReliefControls, {RadioGroup2, Panel5, GroupBox1, Label22, Edit1, Label21, TrackBar2});
    for (QCheckBox *box : OrderCheckBoxes)
        box->setEnabled(CommandEnabled(Command::ReliefControls, state));
    enable(Command::ReliefPreview, {BitBtn5});
    enable(Command::ReliefStop, {BitBtn6});
    SetImage1Enabled(PictureTakesMouse());
}

bool TForm1::RunCommand(const std::function<void()> &body, bool busy)
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

void TForm1::closeEvent(QCloseEvent *event)
{
    if (CommandDepth > 0) {
        CloseWaiting = true;
        event->ignore();
        return;
    }
    FormClose();
    event->accept();
}
