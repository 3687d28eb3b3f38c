#include "Document.h"
#include "Errors.h"
#include "Picture.h"
#include "Presets.h"
#include "PresetsDialog.h"
#include "PsdBuilder.h"
#include "ReliefLines.h"
#include "ScriptedPlatform.h"
#include "TestSupport.h"
#include "MainWindow.h"
#include "BmpCodec.h"
#include "WindowTest.h"
#include "WorkFolder.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QGroupBox>
#include <QLineEdit>
#include <QProgressBar>
#include <QRadioButton>
#include <QAbstractItemDelegate>
#include <QLabel>
#include <QMenu>
#include <QScrollArea>
#include <QScrollBar>
#include <QTableWidget>
#include <QTest>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>
#include <QWheelEvent>
#include <gtest/gtest.h>
#include <memory>

namespace {

// Five plain layers on a 1000 x 500 canvas at 100 dpi, and a flip group of two.
QByteArray SampleDocument()
{
    PsdBuilder b;
    b.Width = 1000;
    b.Height = 500;
    b.DpiWhole = 100;
    b.Groups = {0, 0, 3, 3, 0, 0, 0};
    b.AddLayer(0, 0, 1000, 500, {200, 220, 255});
    b.AddLayer(100, 100, 200, 200, {255, 0, 0});
    b.AddLayer(400, 100, 200, 200, {0, 255, 0}, 200);
    b.AddLayer(400, 100, 200, 200, {0, 0, 255}, 200);
    b.AddLayer(700, 50, 100, 100, {255, 255, 0});
    b.AddLayer(-50, 400, 300, 200, {0, 0, 0}, 128);
    b.AddLayer(800, 300, 100, 100, {10, 10, 10});
    return b.Build();
}

class ImportWindowTest : public WindowTest {
protected:
    void SetUp() override
    {
        WindowTest::SetUp();
        Start(true, 1200, 800);
        psd = WritePsd(QStringLiteral("pics/card.psd"), SampleDocument());
    }

    QString psd;
};

}  // namespace

TEST_F(ImportWindowTest, ImportFillsTheGridStatusAndCommands)
{
    MainWindow &f = *form;
    Import(psd);
    ASSERT_TRUE(platform.Messages.isEmpty()) << platform.Messages.join('\n').toStdString();
    ASSERT_EQ(platform.DialogRequests.size(), 1u);
    EXPECT_EQ(platform.DialogRequests[0].InitialFolder, platform.ProgramDir + QStringLiteral("/sample"));
    EXPECT_EQ(platform.DialogRequests[0].Filter, QStringLiteral("Photoshop file (*.psd)"));
    EXPECT_EQ(f.Doc.PsdPath, psd);
    EXPECT_EQ(ShownTitle(f), QStringLiteral("Vistrel   card.psd"));
    EXPECT_EQ(platform.Beeps, 1);
    EXPECT_EQ(platform.BusyDepth, 0);
    EXPECT_EQ(f.ProgressBar->value(), 0);

    // Status bar: 1000 px at 100 dpi = 25.4 cm; 500 px = 12.7 cm.
    EXPECT_EQ(f.PanelText(3), QStringLiteral("25.4 x 12.7"));
    EXPECT_EQ(f.PanelText(5), QStringLiteral("100"));
    EXPECT_EQ(f.PanelText(7), QStringLiteral("RGB"));
    EXPECT_EQ(f.PanelText(9), QStringLiteral("7"));
    EXPECT_EQ(f.PanelText(10), f.HintSetParameters);
    EXPECT_EQ(f.Doc.AspectRatio, 20000);
    EXPECT_EQ(f.HeightEdit->text(), QStringLiteral("2.5"));  // width 5 / 2

    // Grid: top layer first; five ungrouped layers, focus the third from the top.
    ASSERT_EQ(f.LayerGrid->rowCount(), 8);
    const char *col0[] = {"1", "2", "3 <F>", "4", "5", "6", "7"};
    const char *col1[] = {"", "", "", "C", "C", "", ""};
    const char *col2[] = {"-42", "-21", "0", "0", "0", "31", "62"};
    for (int r = 1; r <= 7; ++r) {
        EXPECT_EQ(f.Cells(0, r), QString::fromLatin1(col0[r - 1])) << r;
        EXPECT_EQ(f.Cells(1, r), QString::fromLatin1(col1[r - 1])) << r;
        EXPECT_EQ(f.Cells(2, r), QString::fromLatin1(col2[r - 1])) << r;
    }
    EXPECT_EQ(f.FocusEdit->text(), QStringLiteral("3"));
    EXPECT_EQ(f.Doc.FocusLayer, 3);

    // Commands of an open document.
    for (QWidget *on : std::initializer_list<QWidget *>{f.ZoomInButton, f.ZoomOutButton, f.PreviewButton, f.RightPanel,
                                                         f.LayerGrid, f.SaveProjectButton})
        EXPECT_TRUE(on->isEnabled()) << on->objectName().toStdString();
    for (QWidget *off : std::initializer_list<QWidget *>{f.ExportTiffButton, f.AnaglyphButton, f.DeletePointButton})
        EXPECT_FALSE(off->isEnabled()) << off->objectName().toStdString();
    EXPECT_TRUE(f.ImportSettingsItem->isEnabled());
    EXPECT_TRUE(f.SaveProjectAction->isEnabled());
    EXPECT_FALSE(f.ExportTiffAction->isEnabled());
    EXPECT_FALSE(f.ExportPsdItem->isEnabled());

    // Save dialogs are preset beside the PSD.
    const QString base = platform.Sandbox.path() + QStringLiteral("/pics/card");
    EXPECT_EQ(f.PrintFileName, base + QStringLiteral(".tif"));
    EXPECT_EQ(f.LayeredPsdFileName, base + QStringLiteral("_3D.psd"));
    EXPECT_EQ(f.GifFileName, base + QStringLiteral(".gif"));
    EXPECT_EQ(f.ProjectFileName, base + QStringLiteral(".hx4p2"));

    // The picture is shown and fitted to the proportion of the document.
    EXPECT_EQ(f.PictureView->Picture().size(), QSize(1000, 500));
    const QSize client = f.PictureArea->viewport()->size();
    EXPECT_EQ(f.PictureView->width(), client.width() - 4);
    EXPECT_NEAR(f.PictureView->height(), f.PictureView->width() / 2, 1);
}

TEST_F(ImportWindowTest, ARefusedFileLeavesTheOpenDocumentAlone)
{
    MainWindow &f = *form;
    Import(psd);
    f.SetCells(2, 1, QStringLiteral("-50"));  // the designer's own offset
    const QByteArray ly1 = ReadFileBytes(WorkFileName(QStringLiteral("ly"), 1));
    // Files of other programs that are refused come from the corpus when it is there.
    QStringList refused;
    if (CorpusPresent())
        refused << CorpusFolder() + QStringLiteral("/lab8-4x4-layers.psd")
                << CorpusFolder() + QStringLiteral("/bad-rle-rect-x.psd");
    refused << platform.Sandbox.path() + QStringLiteral("/missing.psd");
    for (const QString &bad : refused) {
        platform.Messages.clear();
        Import(bad);
        ASSERT_EQ(platform.Messages.size(), 1) << bad.toStdString();
        EXPECT_EQ(f.Doc.PsdPath, psd);
        EXPECT_EQ(f.Doc.LayerCount, 7);
        EXPECT_EQ(f.Doc.Layers.size(), 7u);
        EXPECT_EQ(f.Cells(2, 1), QStringLiteral("-50"));
        EXPECT_EQ(ShownTitle(f), QStringLiteral("Vistrel   card.psd*"));  // the offset typed, still unsaved
        EXPECT_EQ(ReadFileBytes(WorkFileName(QStringLiteral("ly"), 1)), ly1);
        EXPECT_TRUE(f.PreviewButton->isEnabled());
        EXPECT_EQ(platform.BusyDepth, 0);
    }
    // Cancelling the dialog changes nothing either.
    QTest::mouseClick(f.ImportPsdButton, Qt::LeftButton);
    EXPECT_EQ(f.Doc.PsdPath, psd);
    if (!CorpusPresent())
        GTEST_SKIP() << "only a missing file was tried; " << NoCorpusReason();
}

TEST_F(ImportWindowTest, FlipGroupsAreMadeInTheGridAndKeptInTheProject)
{
    MainWindow &f = *form;
    Import(psd);
    ASSERT_EQ(f.Cells(1, 4), QStringLiteral("C"));  // layers 3 and 2 came as group 3
    const QString offset1 = f.Cells(2, 1);

    // A letter typed on a row whose offset is current joins the top layer to group C.
    f.LayerGrid->setFocus();
    f.LayerGrid->setCurrentCell(1, 2);
    QTest::keyClick(f.LayerGrid, Qt::Key_C);
    EXPECT_EQ(f.Cells(1, 1), QStringLiteral("C"));
    EXPECT_EQ(f.Cells(2, 1), offset1);
    EXPECT_EQ(f.Doc.Layers[6].GroupId, 3);
    EXPECT_EQ(f.Doc.GroupMembers[2], (std::vector<uint16_t>{2, 3, 6}));  // rebuilt at once
    EXPECT_EQ(f.Doc.ViewsCurrent, 0);
    EXPECT_TRUE(f.UndoAction->isEnabled());
    EXPECT_TRUE(f.isWindowModified());

    // A double click edits the Group cell itself; a wrong entry is refused
    // there, naming the row; a relief layer is not grouped.
    emit f.LayerGrid->cellDoubleClicked(3, 1);
    auto *editor = f.LayerGrid->viewport()->findChild<QLineEdit *>();
    ASSERT_NE(editor, nullptr);
    EXPECT_EQ(f.LayerGrid->currentColumn(), 1);
    editor->setText(QStringLiteral("7x"));
    emit f.LayerGrid->itemDelegate()->commitData(editor);  // what Enter in the editor does
    emit f.LayerGrid->itemDelegate()->closeEditor(editor);
    EXPECT_EQ(platform.Messages.value(0),
              QStringLiteral("Row 3: a group is a letter from A to Z, or empty for none; \"7x\" is not a group."));
    EXPECT_EQ(f.Cells(1, 3), QString());
    EXPECT_EQ(f.Doc.Layers[4].GroupId, GroupPlain);
    f.Doc.LayerLines.assign(7, EmptyLineSet());
    f.Doc.LayerLines[5][0] = {{{1, 1}, {9, 1}, {5, 9}}};
    f.Doc.Layers[5].GroupId = GroupReliefToRender;
    f.SetCells(1, 2, QStringLiteral("+"));
    f.LayerGrid->item(2, 1)->setText(QStringLiteral("A"));
    EXPECT_EQ(platform.Messages.value(1),
              QStringLiteral("Row 2 is a relief layer: delete its lines before putting it in a group."));
    EXPECT_EQ(f.Cells(1, 2), QStringLiteral("+"));
    f.LayerGrid->item(2, 1)->setText(QStringLiteral(" + "));  // an edit ended without a change says nothing
    EXPECT_EQ(platform.Messages.size(), 2);
    // A letter with Ctrl or Alt is a shortcut, not a group.
    f.LayerGrid->setCurrentCell(6, 2);
    QTest::keyClick(f.LayerGrid, Qt::Key_D, Qt::AltModifier);
    QTest::keyClick(f.LayerGrid, Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(f.Cells(1, 6), QString());
    f.Doc.LayerLines.clear();
    f.Doc.Layers[5].GroupId = GroupPlain;
    f.SetCells(1, 2, QString());

    // The context menu: no group, the groups in use and the next letter.
    QMenu *menu = f.GroupMenuFor(5);
    ASSERT_NE(menu, nullptr);
    QStringList items;
    for (QAction *action : menu->actions())
        items << action->text();
    EXPECT_EQ(items, (QStringList{QStringLiteral("No group"), QStringLiteral("Group A"), QStringLiteral("Group B"),
                                  QStringLiteral("Group C"), QStringLiteral("Group D")}));
    menu->actions()[0]->trigger();  // row 5 (layer 2) leaves group C
    delete menu;
    EXPECT_EQ(f.Cells(1, 5), QString());
    EXPECT_EQ(f.Doc.GroupMembers[2], (std::vector<uint16_t>{3, 6}));

    // Saved, the project holds the groups (a layout of its own); opened again, they come back.
    const QString project = platform.Sandbox.path() + QStringLiteral("/pics/card.hx4p3");
    f.SaveProjectBesidePsd();
    const QList<QByteArray> lines = ReadFileBytes(project).split('\n');
    ASSERT_GT(lines.size(), 23);
    EXPECT_TRUE(lines[2].startsWith("99102 7 ")) << lines[2].constData();
    QStringList groups;  // after the 7 offsets and the 7 relief lines, top first
    for (int k = 23; k < 30; ++k)
        groups << QString::fromLatin1(lines[k]).trimmed();
    EXPECT_EQ(groups, (QStringList{"3", "0", "0", "3", "0", "0", "0"}));
    ASSERT_TRUE(f.ImportPsd(psd));  // the PSD's own groups again
    EXPECT_EQ(f.Cells(1, 5), QStringLiteral("C"));
    ASSERT_TRUE(f.OpenProject(project));
    EXPECT_EQ(f.Cells(1, 1), QStringLiteral("C"));
    EXPECT_EQ(f.Cells(1, 5), QString());
    EXPECT_EQ(f.Doc.Layers[6].GroupId, 3);
    EXPECT_EQ(f.Doc.Layers[2].GroupId, GroupPlain);
}

TEST_F(ImportWindowTest, APresetSetsTheLpiAndTheResolutionAndIsEditedInItsDialog)
{
    MainWindow &f = *form;
    WritePresets({{{QStringLiteral("Lens 75"), 75 * Fixed4One}, {QStringLiteral("Lens 40"), 40 * Fixed4One}},
                  {{QStringLiteral("Epson"), 720 * Fixed4One, {{QStringLiteral("Lens 75"), 752500}}}}});
    f.LoadPresets();
    Import(psd);
    QStringList items;
    for (int i = 0; i < f.PresetCombo->count(); ++i)
        items << f.PresetCombo->itemText(i);
    EXPECT_EQ(items, (QStringList{QStringLiteral("(none)"), QStringLiteral("Lens 75"), QStringLiteral("Lens 40"),
                                  QStringLiteral("Lens 75 @ Epson"), QStringLiteral("Lens 40 @ Epson")}));
    f.PresetCombo->setCurrentIndex(3);
    emit f.PresetCombo->activated(3);
    EXPECT_EQ(f.LpiEdit->text(), QStringLiteral("75.25"));  // the pitch the pitch test found on this printer
    EXPECT_EQ(f.Doc.Lpi, 752500);
    EXPECT_EQ(f.DpiCombo->currentText(), QStringLiteral("720"));
    EXPECT_TRUE(f.UndoAction->isEnabled());

    // The dialog: a pitch that is not a number is said and the dialog stays; a good one is kept.
    const auto inDialog = [](const std::function<void(PresetsDialog &)> &act) {
        QTimer::singleShot(0, [act] {
            if (auto *dialog = qobject_cast<PresetsDialog *>(QApplication::activeModalWidget()))
                act(*dialog);
        });
    };
    inDialog([&](PresetsDialog &d) {
        d.Printers->item(0, 2)->setText(QStringLiteral("Lens 75=75.25; Lens 40=forty"));
        d.accept();
        inDialog([](PresetsDialog &again) {
            again.Printers->item(0, 2)->setText(QStringLiteral("Lens 75=75.25; Lens 40=40.1"));
            again.accept();
        });
    });
    f.EditPresets();
    EXPECT_EQ(platform.Messages,
              QStringList{QStringLiteral("Printer 1, calibrated pitch: \"forty\" is not a number.")});
    EXPECT_EQ(ReadPresets().Printers[0].CalibratedLpi.value(QStringLiteral("Lens 40")), 401000);
    emit f.PresetCombo->activated(4);
    EXPECT_EQ(f.LpiEdit->text(), QStringLiteral("40.1"));
}

TEST_F(ImportWindowTest, LayerViewAndGridClicks)
{
    MainWindow &f = *form;
    Import(psd);
    f.LayerGrid->setCurrentCell(7, 2);
    f.LayerViewOne->click();
    EXPECT_EQ(f.Doc.CurrentLayer, 0);
    EXPECT_TRUE(f.BeginLineButton->isEnabled());
    // The bottom layer alone: opaque, no checkerboard visible.
    EXPECT_EQ(f.PictureView->Picture().pixelColor(0, 0), QColor(200, 220, 255));
    f.LayerGrid->setCurrentCell(1, 1);
    f.LayerGridClicked(1, 1);
    EXPECT_EQ(f.LayerGrid->currentColumn(), 2);  // the Group column passes the cursor on
    EXPECT_EQ(f.Doc.CurrentLayer, 6);
    EXPECT_EQ(f.PictureView->Picture().pixelColor(0, 0), QColor(200, 200, 200));  // checkerboard
    f.LayerViewAll->click();
    EXPECT_FALSE(f.BeginLineButton->isEnabled());
    EXPECT_EQ(f.PictureView->Picture().pixelColor(0, 0), QColor(200, 220, 255));
}

TEST_F(ImportWindowTest, TheTopLayerIsCurrentAfterAnImportAndTheKeyboardMovesIt)
{
    MainWindow &f = *form;
    Import(psd);
    EXPECT_EQ(f.Doc.CurrentLayer, 6);
    f.LayerViewOne->click();
    // The top layer alone (10, 10, 10 at 800..900 x 300..400 of a 1000-pixel canvas).
    EXPECT_EQ(f.PictureView->Picture().pixelColor(850, 350), QColor(10, 10, 10));
    EXPECT_EQ(f.PictureView->Picture().pixelColor(0, 0), QColor(200, 200, 200));

    // Moving down the grid with the keyboard is a click on the next row.
    f.LayerGrid->setFocus();
    struct Step { Qt::Key key; int row; int layer; };
    const Step steps[] = {{Qt::Key_Down, 2, 5}, {Qt::Key_Down, 3, 4}, {Qt::Key_End, 3, 4},
                          {Qt::Key_Up, 2, 5}, {Qt::Key_PageDown, 7, 0}};
    for (const Step &s : steps) {
        QTest::keyClick(f.LayerGrid, s.key, s.key == Qt::Key_PageDown ? Qt::ControlModifier : Qt::NoModifier);
        EXPECT_EQ(f.LayerGrid->currentRow(), s.row) << s.key;
        EXPECT_EQ(f.Doc.CurrentLayer, s.layer) << s.key;
    }
    // The bottom layer alone covers the canvas.
    EXPECT_EQ(f.PictureView->Picture().pixelColor(0, 0), QColor(200, 220, 255));
}

TEST_F(ImportWindowTest, TheImportShortcutWorksWheneverImportIsAllowed)
{
    MainWindow &f = *form;
    f.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&f));
    platform.OpenAnswers.push_back(psd);
    QTest::keyClick(&f, Qt::Key_I, Qt::ControlModifier);  // nothing imported yet
    EXPECT_EQ(f.Doc.DocumentOpen, 1);
    EXPECT_EQ(platform.DialogRequests.size(), 1u);

    // With the keyboard focus in the layer grid and in a field.
    for (QWidget *focus : std::initializer_list<QWidget *>{f.LayerGrid, f.DepthEdit}) {
        focus->setFocus();
        platform.OpenAnswers.push_back(psd);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_I, Qt::ControlModifier);
        EXPECT_TRUE(platform.OpenAnswers.empty()) << focus->objectName().toStdString();
    }
    EXPECT_EQ(platform.DialogRequests.size(), 3u);

    // Not while the animation plays: the table turns the import off.
    QTest::mouseClick(f.PreviewButton, Qt::LeftButton);
    ASSERT_FALSE(f.ImportPsdButton->isEnabled());
    QTest::keyClick(&f, Qt::Key_I, Qt::ControlModifier);
    EXPECT_EQ(platform.DialogRequests.size(), 3u);
    QTest::mouseClick(f.StopButton, Qt::LeftButton);
    platform.OpenAnswers.push_back(psd);
    QTest::keyClick(&f, Qt::Key_I, Qt::ControlModifier);
    EXPECT_EQ(platform.DialogRequests.size(), 4u);
}

TEST_F(ImportWindowTest, AnImportThatFailsAtAnyStepLeavesEverythingAsItWas)
{
    MainWindow &f = *form;
    Import(psd);
    ASSERT_EQ(f.Doc.LayerCount, 7);
    // A second document of another size and layer count.
    PsdBuilder b;
    b.Width = 300;
    b.Height = 300;
    b.AddLayer(0, 0, 300, 300, {1, 2, 3});
    b.AddLayer(10, 10, 50, 50, {9, 8, 7});
    const QString other = WritePsd(QStringLiteral("pics/other.psd"), b.Build());

    // What the window shows and the work folder holds; the document is compared whole.
    auto snapshot = [&] {
        QStringList s{ShownTitle(f)};
        for (int panel : {3, 5, 7, 9, 10})
            s << f.PanelText(panel);
        for (int row = 0; row < f.LayerGrid->rowCount(); ++row)
            for (int col = 0; col < 3; ++col)
                s << f.Cells(col, row);
        for (const QString &name : QDir(WorkFolder).entryList(QDir::Files, QDir::Name))
            s << name + QLatin1Char('=') + QString::number(qHash(ReadFileBytes(WorkFolder + name)));
        return s;
    };
    const QStringList before = snapshot();
    const Document beforeDocument = f.Doc;

    // Each step of the import fails once: at the start, while a layer file is
    // written (a full disk), while the new picture is composed, and half-way
    // through putting the new layer files in place.
    struct Case { const char *point; int when; const char *message; };
    const Case cases[] = {
        {"ImportDocument", 1, "The disk is full."},
        {"WriteWorkFile", 3, "The disk is full."},
        {"ComposeImported", 1, "The disk is full."},
        {"CommitLayerFile", 2, "The disk is full."},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.point);
        int seen = 0;
        FaultHook = [&](const char *point) {
            if (QByteArray(point) == c.point && ++seen == c.when)
                throw VistrelError(QStringLiteral("The disk is full."), ErrorKind::File);
        };
        platform.Messages.clear();
        Import(other);
        FaultHook = nullptr;
        // Layers are decoded on every core: another thread may reach the point
        // again before the failure stops it.
        EXPECT_GE(seen, c.when);
        EXPECT_EQ(platform.Messages, QStringList{QString::fromLatin1(c.message)});
        EXPECT_EQ(snapshot(), before);
        EXPECT_TRUE(f.Doc == beforeDocument);
        EXPECT_TRUE(QDir(WorkFolder).entryList({QStringLiteral("*.part"), QStringLiteral("*.old")}).isEmpty());
    }
    // The same import without a fault goes through.
    Import(other);
    EXPECT_EQ(f.Doc.LayerCount, 2);
    EXPECT_EQ(ShownTitle(f), QStringLiteral("Vistrel   other.psd"));
}

TEST_F(ImportWindowTest, ParameterFieldsReplaceValuesOutsideTheirLimits)
{
    MainWindow &f = *form;
    Import(psd);
    struct LpiCase { const char *typed; const char *shown; Fixed4 lpi; };
    const LpiCase lpiCases[] = {{"300", "75.55", 755500}, {"9", "9", 90000}, {"210", "210", 2100000},
                                {"210.5", "75.55", 755500}, {"42.4775", "42.4775", 424775}};
    for (const LpiCase &c : lpiCases) {
        f.LpiEdit->setText(QString::fromLatin1(c.typed));
        f.LpiEdited();
        EXPECT_EQ(f.LpiEdit->text(), QString::fromLatin1(c.shown));
        EXPECT_EQ(f.Doc.Lpi, c.lpi);
    }
    f.LpiEdit->setText(QString());
    f.LpiEdited();
    EXPECT_EQ(f.Doc.Lpi, 424775);  // empty: nothing happens
    f.LpiEdit->setText(QStringLiteral("4x"));
    f.LpiEdited();
    EXPECT_EQ(platform.Messages.last(), QStringLiteral("'4x' is not a valid floating point value"));
    EXPECT_EQ(f.Doc.Lpi, 424775);

    // Width: above 21 becomes 21 at once; the height follows the proportion (2:1).
    f.WidthEdit->setText(QStringLiteral("22"));
    EXPECT_EQ(f.WidthEdit->text(), QStringLiteral("21"));
    EXPECT_EQ(f.HeightEdit->text(), QStringLiteral("10.5"));
    f.WidthEdit->setText(QStringLiteral("3"));
    EXPECT_EQ(f.HeightEdit->text(), QStringLiteral("1.5"));

    // Depth: 12 gives 2 while the field keeps 12; -10 is kept; empty becomes "1.0".
    f.ExportTiffAction->setEnabled(true);
    f.DepthEdit->setText(QStringLiteral("12"));
    EXPECT_EQ(f.Doc.Depth, 2 * Fixed4One);
    EXPECT_EQ(f.DepthEdit->text(), QStringLiteral("12"));
    EXPECT_FALSE(f.ExportTiffAction->isEnabled());
    EXPECT_EQ(f.Doc.ViewsStale, 1);
    f.DepthEdit->setText(QStringLiteral("-10"));
    EXPECT_EQ(f.Doc.Depth, -10 * Fixed4One);
    f.DepthEdit->setText(QString());
    EXPECT_EQ(f.DepthEdit->text(), QStringLiteral("1.0"));
    EXPECT_EQ(f.Doc.Depth, Fixed4One);

    // Focus: 0 or above the layer count shows 0 and removes the marker.
    for (const char *typed : {"0", "8"}) {
        f.ExportTiffAction->setEnabled(true);
        f.FocusEdit->setText(QString::fromLatin1(typed));
        f.FocusEdited();
        EXPECT_EQ(f.FocusEdit->text(), QStringLiteral("0"));
        EXPECT_EQ(f.Doc.FocusLayer, 0);
        EXPECT_FALSE(f.ExportTiffAction->isEnabled());
        for (int r = 1; r <= 7; ++r)
            EXPECT_EQ(f.Cells(0, r), QString::number(r));
    }
    f.FocusEdit->setText(QStringLiteral("5"));
    f.FocusEdited();
    EXPECT_EQ(f.Cells(0, 5), QStringLiteral("5 <F>"));
    EXPECT_EQ(f.Cells(0, 3), QStringLiteral("3"));

    // The view count field puts 7 back.
    f.ViewCountEdit->setText(QString());
    EXPECT_EQ(f.ViewCountEdit->text(), QStringLiteral("7"));
}

TEST_F(ImportWindowTest, FitOneHundredPerCentAndTheZoomShown)
{
    MainWindow &f = *form;
    Import(psd);  // a 1000 x 500 canvas, worked on at its own size
    f.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&f));
    // Fitted: the largest 2:1 rectangle inside the area, 2 pixels clear of each side.
    const auto fittedWidth = [&] {
        const QSize area = f.PictureArea->viewport()->size();
        return std::min(area.width() - 4, 2 * (area.height() - 4));
    };
    const auto zoomShown = [&](double perCent) { return QStringLiteral("%1 %").arg(qRound(perCent)); };
    EXPECT_EQ(f.PictureView->width(), fittedWidth());
    EXPECT_EQ(f.ZoomLabel->text(), zoomShown(fittedWidth() / 10.0));

    QTest::keyClick(&f, Qt::Key_1, Qt::ControlModifier);  // 100 %: a screen pixel per canvas pixel
    EXPECT_EQ(f.PictureView->width(), 1000);
    EXPECT_EQ(f.ZoomLabel->text(), QStringLiteral("100 %"));
    QTest::keyClick(&f, Qt::Key_Equal, Qt::ControlModifier);
    EXPECT_EQ(f.PictureView->width(), 1500);
    EXPECT_EQ(f.ZoomLabel->text(), QStringLiteral("150 %"));
    QTest::keyClick(&f, Qt::Key_Minus, Qt::ControlModifier);
    EXPECT_EQ(f.PictureView->width(), 1000);
    QWheelEvent wheel(QPointF(50, 50), f.PictureArea->viewport()->mapToGlobal(QPointF(50, 50)), QPoint(),
                      QPoint(0, 120), Qt::NoButton, Qt::ControlModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(f.PictureArea->viewport(), &wheel);
    EXPECT_EQ(f.PictureView->width(), 1500);

    // Fit, and the fitted picture follows the window; a zoomed one stays as it is.
    QTest::keyClick(&f, Qt::Key_0, Qt::ControlModifier);
    EXPECT_EQ(f.PictureView->width(), fittedWidth());
    f.resize(f.width() - 300, f.height() - 100);
    QApplication::processEvents();
    EXPECT_EQ(f.PictureView->width(), fittedWidth());
    EXPECT_EQ(f.ZoomLabel->text(), zoomShown(fittedWidth() / 10.0));
    f.ZoomIn();
    const int zoomed = f.PictureView->width();
    f.resize(f.width() + 200, f.height());
    QApplication::processEvents();
    EXPECT_EQ(f.PictureView->width(), zoomed);
}

TEST_F(ImportWindowTest, ZoomAndPan)
{
    MainWindow &f = *form;
    Import(psd);
    const int fitted = f.PictureView->width();
    f.ZoomIn();
    EXPECT_EQ(f.PictureView->width(), int(Round(fitted * 1.5)));
    EXPECT_EQ(f.ViewOffsetX, 0);
    f.ZoomIn();
    const int wide = f.PictureView->width();
    ASSERT_GT(wide, f.PictureArea->viewport()->width());
    // Wider than the area: scrolled so that the middle of the picture shows.
    EXPECT_EQ(f.PictureView->x(), 0);
    EXPECT_EQ(f.PictureArea->horizontalScrollBar()->value(),
              -int(RoundDiv(f.PictureArea->viewport()->width() - wide, 2)));
    EXPECT_EQ(f.ViewScale, ToFixed4(double(f.Doc.WorkHeight) / f.PictureView->height()));
    f.ZoomOut();
    f.ZoomOut();
    EXPECT_NEAR(f.PictureView->width(), fitted, 1);

    // Dragging without the space bar does not scroll; with it held it does.
    f.ZoomIn();
    f.ZoomIn();
    QWidget *viewport = f.PictureArea->viewport();
    QScrollBar *h = f.PictureArea->horizontalScrollBar();
    const int start = h->value();
    QTest::mousePress(viewport, Qt::LeftButton, {}, QPoint(300, 100));
    QTest::mouseMove(viewport, QPoint(250, 100));
    QTest::mouseRelease(viewport, Qt::LeftButton, {}, QPoint(250, 100));
    EXPECT_EQ(h->value(), start);
    f.PreviewButton->setFocus();
    QTest::keyPress(f.PreviewButton, Qt::Key_Space);
    EXPECT_EQ(f.SpaceHeld, 1);
    EXPECT_TRUE(f.PictureArea->hasFocus());  // the focused button is not pressed
    QTest::mousePress(viewport, Qt::LeftButton, {}, QPoint(300, 100));
    QTest::mouseMove(viewport, QPoint(250, 100));
    QTest::mouseRelease(viewport, Qt::LeftButton, {}, QPoint(250, 100));
    EXPECT_EQ(h->value(), start + 50);
    QTest::keyRelease(f.PictureArea, Qt::Key_Space);
    EXPECT_EQ(f.SpaceHeld, 0);
    EXPECT_FALSE(f.PictureView->isEnabled());  // the SetLayer page: the picture stays off

    f.ShowWorkFolderItem->trigger();
    EXPECT_EQ(platform.ShellOpened.last(), WorkFolder);
}
