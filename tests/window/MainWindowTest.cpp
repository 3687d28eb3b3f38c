#include "AboutBox.h"
#include "Errors.h"
#include "Document.h"
#include "MainWindowTexts.h"
#include "Picture.h"
#include "RecentFiles.h"
#include "ScriptedPlatform.h"
#include "SettingsFile.h"
#include "TestSupport.h"
#include "WorkFolder.h"
#include "MainWindow.h"
#include "WindowTest.h"

#include <QAction>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QTableWidget>
#include <QTest>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>
#include <QSet>
#include <QSlider>
#include <QCheckBox>
#include <gtest/gtest.h>
#include <memory>

namespace {

class MainWindowTest : public WindowTest {
protected:
    MainWindow &Start() { return WindowTest::Start(false); }
    QString SettingsPath() const { return platform.ProgramDir + QStringLiteral("/vistrelt.inf"); }
};

}  // namespace

TEST_F(MainWindowTest, EveryOriginalNameFindsItsControlOfTheKindItsTextSays)
{
    MainWindow &f = Start();
    // Every row: its control carries the original name as its object name,
    // and Qt's findChild finds it by that name.
    const std::vector<NamedControl> table = f.ControlNames();
    QSet<QString> originals, names;
    for (const NamedControl &row : table) {
        ASSERT_NE(row.Object, nullptr) << row.Name;
        EXPECT_EQ(row.Object->objectName(), QLatin1String(row.Original)) << row.Name;
        if (row.Object != &f) {
            EXPECT_EQ(f.findChild<QObject *>(QLatin1String(row.Original)), row.Object) << row.Original;
        }
        EXPECT_EQ(f.Control(QLatin1String(row.Name)), row.Object) << row.Name;
        originals << QLatin1String(row.Original);
        names << QLatin1String(row.Name);
    }
    EXPECT_EQ(originals.size(), qsizetype(table.size()));
    EXPECT_EQ(names.size(), qsizetype(table.size()));
    const auto isA = [](QObject *o, ControlKind kind) {
        switch (kind) {
        case ControlKind::Menu: return qobject_cast<QMenu *>(o) != nullptr;
        case ControlKind::MenuItem: return qobject_cast<QAction *>(o) != nullptr;
        case ControlKind::SpeedButton:
        case ControlKind::ToolButton: return qobject_cast<QToolButton *>(o) != nullptr;
        case ControlKind::BitBtn: return qobject_cast<QPushButton *>(o) != nullptr;
        case ControlKind::Label:
        case ControlKind::Panel: return qobject_cast<QLabel *>(o) != nullptr;
        case ControlKind::GroupBox:
        case ControlKind::RadioGroup: return qobject_cast<QGroupBox *>(o) != nullptr;
        case ControlKind::Edit: return qobject_cast<QLineEdit *>(o) != nullptr;
        case ControlKind::ComboBox: return qobject_cast<QComboBox *>(o) != nullptr;
        case ControlKind::CheckBox: return qobject_cast<QCheckBox *>(o) != nullptr;
        case ControlKind::TrackBar: return qobject_cast<QSlider *>(o) != nullptr;
        default: return o != nullptr;
        }
    };
    // Every row of the texts table names a control of the table, of its kind.
    for (const ControlText &text : MainWindowTexts()) {
        const QString name = QLatin1String(text.Name);
        EXPECT_TRUE(names.contains(name)) << text.Name << " has no row";
        EXPECT_TRUE(isA(f.Control(name), text.Kind)) << text.Name;
    }
}

TEST_F(MainWindowTest, StartUpShowsTheSettingsAndTheInitialStates)
{
    MainWindow &f = Start();
    EXPECT_EQ(WorkFolder, platform.WorkFolderPath());
    EXPECT_TRUE(QDir(WorkFolder).exists());
    EXPECT_TRUE(QFile::exists(SettingsPath()));
    EXPECT_EQ(ShownTitle(f), QStringLiteral("Vistrel"));
    EXPECT_TRUE(platform.Messages.isEmpty()) << platform.Messages.join('\n').toStdString();

    // Fields
    EXPECT_EQ(f.LpiEdit->text(), QStringLiteral("42.45"));
    EXPECT_EQ(f.ViewCountEdit->text(), QStringLiteral("7"));
    EXPECT_EQ(f.FocusEdit->text(), QStringLiteral("1"));
    EXPECT_EQ(f.DepthEdit->text(), QStringLiteral("1"));
    EXPECT_EQ(f.DpiCombo->currentText(), QStringLiteral("720"));
    EXPECT_EQ(f.WidthEdit->text(), QStringLiteral("5"));
    EXPECT_EQ(f.HeightEdit->text(), QStringLiteral("5"));
    EXPECT_EQ(f.HScaleEdit->text(), QStringLiteral("1"));
    EXPECT_EQ(f.ColourModeCombo->currentIndex(), 2);
    EXPECT_EQ(f.LpiEdit->maxLength(), 8);
    EXPECT_EQ(f.DepthEdit->maxLength(), 7);
    EXPECT_EQ(f.HScaleEdit->maxLength(), 2);

    // Document
    EXPECT_EQ(f.Doc.LayerCount, 3);
    EXPECT_EQ(f.Doc.FocusLayer, 2);
    EXPECT_EQ(f.Doc.DocumentOpen, 0);
    EXPECT_EQ(f.Doc.ViewsStale, 1);
    EXPECT_EQ(f.Doc.AppState, 0);
    EXPECT_EQ(f.Doc.AspectRatio, Fixed4One);
    EXPECT_EQ(f.OrderCheckBoxes[0], f.OrderCheck1);
    EXPECT_EQ(f.OrderCheckBoxes[14], f.OrderCheck15);
    EXPECT_EQ(f.HintImport, QStringLiteral(" Please import *.psd"));

    // Status bar, grid, tabs
    ASSERT_EQ(f.StatusPanels.size(), 11u);
    EXPECT_EQ(f.PanelText(1), QStringLiteral("Original info"));
    EXPECT_EQ(f.PanelText(2), QStringLiteral("Size (cm):"));
    EXPECT_EQ(f.PanelText(4), QStringLiteral("DPI:"));
    EXPECT_EQ(f.PanelText(6), QStringLiteral("Color:"));
    EXPECT_EQ(f.PanelText(8), QStringLiteral("Layers:"));
    EXPECT_EQ(f.PanelText(10), QStringLiteral("  Please import *.psd."));
    EXPECT_EQ(f.StatusPanels[3]->width(), 120);
    EXPECT_EQ(f.Cells(0, 0), QStringLiteral("Layer"));
    EXPECT_EQ(f.Cells(1, 0), QStringLiteral("Group"));
    EXPECT_EQ(f.Cells(2, 0), QStringLiteral("Offset"));
    EXPECT_EQ(f.Cells(3, 0), QStringLiteral("Name"));  // added after the three the layout had
    EXPECT_EQ(f.LayerGrid->columnCount(), 4);
    EXPECT_EQ(f.Pages->currentIndex(), 0);
    EXPECT_EQ(f.Caption(QStringLiteral("SetLayerPage")), QStringLiteral("SetLayer"));
    EXPECT_EQ(f.Caption(QStringLiteral("DrawLinePage")), QStringLiteral("DrawLine"));
    EXPECT_EQ(f.Caption(QStringLiteral("OutputPage")), QStringLiteral("Output Sets"));
    EXPECT_EQ(f.FrameTimer->interval(), 50);
    EXPECT_TRUE(f.FrameTimer->isSingleShot());

    // Enabled states of the start-up row
    for (QWidget *on : std::initializer_list<QWidget *>{f.OpenProjectButton, f.ImportPsdButton})
        EXPECT_TRUE(on->isEnabled()) << on->objectName().toStdString();
    for (QWidget *off : std::initializer_list<QWidget *>{
             f.RightPanel, f.LayerGrid, f.SaveProjectButton, f.ZoomInButton, f.ZoomOutButton, f.DeletePointButton,
             f.DeleteLineButton, f.DeleteLayerLinesButton, f.DeleteAllLinesButton, f.PreviewButton, f.StopButton, f.ExportTiffButton,
             f.BeginLineButton, f.AnaglyphButton, f.ReliefStopButton})
        EXPECT_FALSE(off->isEnabled()) << off->objectName().toStdString();
    // A command's menu item is its button's action: on and off with it.
    for (QAction *on : {f.OpenProjectAction, f.ImportPsdAction, f.QuitItem, f.HelpItem, f.AboutItem})
        EXPECT_TRUE(on->isEnabled()) << on->objectName().toStdString();
    for (QAction *off : {f.SaveProjectAction, f.SaveProjectAsItem, f.ImportSettingsItem, f.ExportTiffAction, f.ExportPsdItem,
                         f.ExportGifItem, f.PreviewAction, f.StopAction, f.AnaglyphAction, f.ZoomInAction, f.ZoomOutAction})
        EXPECT_FALSE(off->isEnabled()) << off->objectName().toStdString();
    EXPECT_FALSE(f.ImportDefaultSettingsItem->isVisible());
    EXPECT_TRUE(f.ViewMenu->actions().contains(f.LanguageItem));  // no longer hidden
    EXPECT_TRUE(f.LanguageItem->isVisible());
    EXPECT_FALSE(f.LineToolBar->isVisibleTo(&f));
    EXPECT_FALSE(f.FrontMarker->isVisibleTo(&f));
    EXPECT_FALSE(f.ColourModeCombo->isVisibleTo(&f));
    EXPECT_FALSE(f.PictureView->isEnabled());

    // Menu texts and shortcuts
    EXPECT_EQ(f.FileMenu->title(), QStringLiteral("&File"));
    EXPECT_EQ(f.QuitItem->shortcut(), QKeySequence(QStringLiteral("Ctrl+Q")));
    EXPECT_EQ(f.SaveProjectAsItem->shortcut(), QKeySequence(QStringLiteral("Ctrl+Alt+S")));
    EXPECT_EQ(f.ImportDefaultSettingsItem->shortcut(), QKeySequence(QStringLiteral("Ctrl+F12")));
    EXPECT_EQ(f.DeleteSelectionItem->shortcut(), QKeySequence(QKeySequence::Delete));
    EXPECT_EQ(f.AnaglyphAction->text(), QStringLiteral("&Red/Blue Glasses preview"));
    EXPECT_EQ(f.ExportTiffButton->toolTip(), QStringLiteral("Export tiff"));
    EXPECT_EQ(f.LpiEdit->toolTip(), QStringLiteral("lenticular total in 1 inch"));
}

TEST_F(MainWindowTest, SettingsAreShownAsRead)
{
    SettingsValues values;
    values.OutputDpi = AutoDpi;
    values.Lpi = 424775;
    values.Depth = ToFixed4(2.5);
    values.HScale = 2;
    WriteFileBytes(SettingsPath(), FormatSettings(values));
    MainWindow &f = Start();
    EXPECT_EQ(f.DpiCombo->currentText(), QStringLiteral("(Auto)"));
    EXPECT_EQ(f.LpiEdit->text(), QStringLiteral("42.4775"));
    EXPECT_EQ(f.DepthEdit->text(), QStringLiteral("2.5"));
    EXPECT_EQ(f.HScaleEdit->text(), QStringLiteral("2"));
}

TEST_F(MainWindowTest, ClosingWritesSettingsAndEmptiesTheWorkFolderButKeepsSubFolders)
{
    MainWindow &f = Start();
    // Quitting before any import: settings written, no image touched.
    QFile::remove(SettingsPath());
    for (const char *name : {"ly1.gjs", "vw3.gjs", "other-program.txt"})
        WriteFileBytes(WorkFolder + QString::fromLatin1(name), "x");
    QDir(WorkFolder).mkpath(QStringLiteral("keep"));
    WriteFileBytes(WorkFolder + QStringLiteral("keep/inside.gjs"), "y");

    f.close();
    EXPECT_TRUE(QFile::exists(SettingsPath()));
    EXPECT_EQ(QDir(WorkFolder).entryList(QDir::Files), QStringList());
    EXPECT_TRUE(QFile::exists(WorkFolder + QStringLiteral("keep/inside.gjs")));
    EXPECT_EQ(f.Doc.PreviewStop, 601);
    EXPECT_EQ(f.Doc.ReliefPreviewStop, 605);
}

TEST_F(MainWindowTest, ResolutionResolvedFromAutoIsSavedAsAuto)
{
    Start();
    form->Doc.Lpi = ToFixed4(42.4775);
    form->Doc.OutputDpi = 7 * form->Doc.Lpi;  // as an export with "(Auto)" leaves it
    form->ShutDown();
    SettingsValues saved;
    ParseSettings(ReadFileBytes(SettingsPath()), SettingsPath(), saved);
    EXPECT_EQ(saved.OutputDpi, AutoDpi);

    // Any other resolution is saved as it is.
    form = std::make_unique<MainWindow>();
    ASSERT_TRUE(form->StartUp());
    form->Doc.OutputDpi = 1440 * Fixed4One;
    form->ShutDown();
    ParseSettings(ReadFileBytes(SettingsPath()), SettingsPath(), saved);
    EXPECT_EQ(saved.OutputDpi, 1440 * Fixed4One);
}

TEST_F(MainWindowTest, QuitShortcutClosesTheWindow)
{
    MainWindow &f = Start();
    WriteFileBytes(WorkFolder + QStringLiteral("ly1.gjs"), "x");
    QFile::remove(SettingsPath());
    f.show();
    f.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&f));
    QTest::keyClick(&f, Qt::Key_Q, Qt::ControlModifier);
    EXPECT_FALSE(f.isVisible());
    EXPECT_TRUE(QFile::exists(SettingsPath()));
    EXPECT_EQ(QDir(WorkFolder).entryList(QDir::Files), QStringList());
}

TEST_F(MainWindowTest, NoWorkFolderMeansNoStart)
{
    // A root that is a file: nothing can be made below it.
    const QString blocked = platform.Sandbox.path() + QStringLiteral("/blocked");
    WriteFileBytes(blocked, "file, not folder");
    platform.Roots = {blocked + QStringLiteral("/")};
    platform.Fallback = blocked + QStringLiteral("/");
    form = std::make_unique<MainWindow>();
    EXPECT_FALSE(form->StartUp());
    ASSERT_EQ(platform.Messages.size(), 1);
    EXPECT_TRUE(platform.Messages[0].contains(QLatin1String("work folder")));
}

TEST_F(MainWindowTest, ChineseFromTheSettingsFile)
{
    SettingsValues values;
    values.Language = 1;
    WriteFileBytes(SettingsPath(), FormatSettings(values));
    MainWindow &f = Start();
    EXPECT_EQ(f.Caption(QStringLiteral("SetLayerPage")), QStringLiteral("多层设置"));
    EXPECT_EQ(f.FileMenu->title(), QStringLiteral("文件(&F)"));
    EXPECT_EQ(f.OpenProjectAction->text(), QStringLiteral("打开工程文件(&O)"));
    EXPECT_EQ(f.LpiLabel->text(), QStringLiteral("线数:"));
    EXPECT_EQ(f.ReliefPreviewButton->text(), QStringLiteral("单层预览"));
    EXPECT_EQ(f.Caption(QStringLiteral("LayerViewGroup")), QStringLiteral("图层显示"));
    EXPECT_EQ(f.Cells(0, 0), QStringLiteral("图层"));
    EXPECT_EQ(f.Cells(2, 0), QStringLiteral("移位"));
    EXPECT_EQ(f.PanelText(1), QStringLiteral("原图信息"));
    EXPECT_EQ(f.PanelText(10), QStringLiteral(" 请导入Psd图档"));
    EXPECT_EQ(f.LayerViewOne->text(), QStringLiteral("单层"));
    EXPECT_EQ(f.HintGlasses, QStringLiteral("请戴上红绿立体眼镜,观看立体效果."));
    // Every caption and tooltip is translated, the toolbar's too; the same
    // English word gets the translation of its place.
    EXPECT_EQ(f.Caption(QStringLiteral("OrderGroup")), QStringLiteral("层次"));
    EXPECT_EQ(f.PreviewButton->toolTip(), QStringLiteral("动画预览"));
    EXPECT_EQ(f.DepthEdit->toolTip(), QStringLiteral("立体景深"));
    EXPECT_TRUE(f.LpiLabel->toolTip().isEmpty());
}

TEST_F(MainWindowTest, TheLanguageItemGoesToTheOtherLanguageAndBack)
{
    MainWindow &f = Start();
    EXPECT_EQ(f.LpiLabel->text(), QStringLiteral("LPI:"));

    f.LanguageItem->trigger();  // to Chinese
    EXPECT_EQ(f.Doc.Language, 1);
    EXPECT_EQ(f.LpiLabel->text(), QStringLiteral("线数:"));
    EXPECT_EQ(f.QuitItem->text(), QStringLiteral("退出(&Q)"));
    EXPECT_EQ(f.Caption(QStringLiteral("LanguageItem")), QStringLiteral("语言 英文/中文"));
    EXPECT_EQ(f.AnaglyphButton->toolTip(), QStringLiteral("红绿眼镜观看"));
    EXPECT_EQ(f.LanguageButton->text(), QStringLiteral("英文"));
    EXPECT_EQ(f.UndoAction->text(), QStringLiteral("撤销(&U)"));
    // The core's messages come in the window's language.
    EXPECT_TRUE(CannotOpenFileText(QStringLiteral("a.psd"), QString()).startsWith(QStringLiteral("无法打开文件")));
    // The language menu marks the language in force.
    QStringList checked;
    for (QAction *choice : f.LanguageMenu->actions())
        if (choice->isChecked())
            checked << choice->data().toString();
    EXPECT_EQ(checked, QStringList{QStringLiteral("zh_CN")});

    f.LanguageItem->trigger();  // back to English
    EXPECT_EQ(f.Doc.Language, 0);
    EXPECT_EQ(f.LpiLabel->text(), QStringLiteral("LPI:"));
    EXPECT_EQ(f.Cells(1, 0), QStringLiteral("Group"));
    EXPECT_EQ(f.AnaglyphButton->toolTip(), QStringLiteral("Red/blue glasses preview"));
    EXPECT_EQ(CannotOpenFileText(QStringLiteral("a.psd"), QString()), QStringLiteral("Cannot open file \"a.psd\". "));

    // The menu's Chinese item does the same; a language the program does not
    // carry leaves English in force.
    for (QAction *choice : f.LanguageMenu->actions())
        if (choice->data().toString() == QLatin1String("zh_CN"))
            choice->trigger();
    EXPECT_EQ(f.Doc.Language, 1);
    EXPECT_EQ(f.LayerViewAll->text(), QStringLiteral("全部"));
    f.UseLanguage(QStringLiteral("xx"));
    EXPECT_EQ(f.LanguageCode, QStringLiteral("en"));
    EXPECT_EQ(f.LayerViewAll->text(), QStringLiteral("All"));
}

TEST_F(MainWindowTest, ALanguageRememberedByItsCodeComesBackAtStart)
{
    // The settings file names English or Chinese only; a language it cannot
    // name is kept by code beside the dialogs' folders.
    QDir().mkpath(platform.ConfigDir);
    WriteFileBytes(DialogMemoryPath(), "language=zh_CN\n");
    MainWindow &f = Start();
    EXPECT_EQ(f.LanguageCode, QStringLiteral("zh_CN"));
    EXPECT_EQ(f.LpiLabel->text(), QStringLiteral("线数:"));
    // Going back to English forgets it; a code the program does not carry starts English.
    f.LanguageItem->trigger();
    EXPECT_FALSE(ReadFileBytes(DialogMemoryPath()).contains("language="));
    form.reset();
    WriteFileBytes(DialogMemoryPath(), "language=xx\n");
    EXPECT_EQ(Start().LpiLabel->text(), QStringLiteral("LPI:"));
}

TEST_F(MainWindowTest, StatusHintFollowsTheStateAfterASwitch)
{
    MainWindow &f = Start();
    struct Case { uint8_t state; const char *chinese; };
    const Case cases[] = {{0, " 请导入Psd图档"}, {1, " 请设置参数,然后预览"}, {2, " 请先停止预览"},
                          {3, " 请输出立体图片。或重新设置立体参数。"}};
    for (const Case &c : cases) {
        f.Doc.AppState = c.state;
        f.LanguageItem->trigger();  // to Chinese
        EXPECT_EQ(f.PanelText(10), QString::fromUtf8(c.chinese));
        f.LanguageItem->trigger();  // back
        EXPECT_EQ(f.PanelText(10), f.HintCurrent);
    }
    f.Doc.AppState = 2;
    f.LanguageItem->trigger();
    f.LanguageItem->trigger();
    EXPECT_EQ(f.PanelText(10), QStringLiteral(" Please stop preview"));
    // Another state leaves the hint as it was.
    f.Doc.AppState = 9;
    f.LanguageItem->trigger();
    EXPECT_EQ(f.PanelText(10), QStringLiteral(" Please stop preview"));
}

TEST_F(MainWindowTest, TheLanguageItemAnswersCtrlAltC)
{
    MainWindow &f = Start();
    f.show();
    f.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&f));
    QTest::keyClick(&f, Qt::Key_C, Qt::ControlModifier | Qt::AltModifier);
    EXPECT_EQ(f.Doc.Language, 1);
    EXPECT_EQ(f.DepthLabel->text(), QStringLiteral("景深:"));
    // The choice is remembered at close.
    f.close();
    SettingsValues saved;
    ParseSettings(ReadFileBytes(SettingsPath()), SettingsPath(), saved);
    EXPECT_EQ(saved.Language, 1);
}

TEST_F(MainWindowTest, HelpAndWebPageUseTheShell)
{
    MainWindow &f = Start();
    f.WebsiteItem->trigger();
    EXPECT_EQ(platform.ShellOpened, QStringList{QString::fromLatin1(ProductWebAddress)});
    f.HelpItem->trigger();
    auto *help = f.findChild<QWidget *>(QStringLiteral("Form2"));
    ASSERT_NE(help, nullptr);
    EXPECT_TRUE(help->isVisible());
    auto *picture = help->findChild<QLabel *>(QStringLiteral("Image1"));
    ASSERT_NE(picture, nullptr);
    QTest::mouseClick(picture, Qt::LeftButton);
    EXPECT_EQ(platform.ShellOpened.size(), 2);
}

TEST_F(MainWindowTest, SplashStaysTwoSecondsOrUntilClicked)
{
    AboutBox splash;
    splash.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&splash));
    EXPECT_EQ(splash.size(), QSize(600, 450));
    EXPECT_TRUE(splash.windowFlags() & Qt::FramelessWindowHint);
    EXPECT_TRUE(splash.windowFlags() & Qt::WindowStaysOnTopHint);
    EXPECT_EQ(splash.FrameTimer->interval(), 2000);
    EXPECT_TRUE(splash.TimerRunning());
    QTest::mouseClick(&splash, Qt::LeftButton);
    EXPECT_FALSE(splash.TimerRunning());
    EXPECT_FALSE(splash.isVisible());

    // About shows it again, modeless, with its timer running.
    MainWindow &f = Start();
    f.AboutItem->trigger();
    auto *about = f.findChild<AboutBox *>();
    ASSERT_NE(about, nullptr);
    EXPECT_TRUE(about->isVisible());
    EXPECT_TRUE(about->TimerRunning());
}
