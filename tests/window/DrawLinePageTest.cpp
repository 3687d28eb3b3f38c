// The DrawLine page in the window, driven by real mouse events on the picture:
// a line drawn, moved and taken back point by point, the relief previewed and
// stopped, the page left; the controls follow the command table at each step;
// the page's own rules; and a line drawn here printed alike by the window and
// by the batch mode from the saved project.
#include "BmpCodec.h"
#include "CommandStates.h"
#include "Document.h"
#include "Picture.h"
#include "ReliefLines.h"
#include "TestSupport.h"
#include "WindowTest.h"
#include "WorkFolder.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QComboBox>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>
#include <QTabWidget>
#include <QTableWidget>
#include <QTest>
#include <QToolBar>
#include <QToolButton>
#include <functional>

namespace {

class DrawLinePageTest : public ImportedWindowTest {
protected:
    // The point of the picture control that maps to working pixel (x, y), or
    // the nearest one when the control is coarser than the picture.
    QPoint ScreenOf(int32_t x, int32_t y) const
    {
        const auto screen = [scale = form->ViewScale](int32_t w, Fixed4 offset) {
            return int(RoundDiv(int64_t(w) * Fixed4One * Fixed4One / scale + offset, Fixed4One));
        };
        QPoint best(screen(x, form->ViewOffsetX), screen(y, form->ViewOffsetY));
        for (int dx = -3; dx <= 3; ++dx)
            for (int dy = -3; dy <= 3; ++dy) {
                const QPoint p = best + QPoint(dx, dy);
                if (form->WorkingPosition(p.x(), p.y()) == LinePoint{x, y})
                    return p;
            }
        return best;
    }
    LinePoint WorkingOf(QPoint p) const { return form->WorkingPosition(p.x(), p.y()); }
    void ClickAt(QPoint p, Qt::MouseButton button = Qt::LeftButton)
    {
        QTest::mouseMove(form->PictureView, p);
        QTest::mouseClick(form->PictureView, button, Qt::NoModifier, p);
    }
    void DragOnPicture(QPoint from, QPoint to)
    {
        QTest::mouseMove(form->PictureView, from);
        QTest::mousePress(form->PictureView, Qt::LeftButton, Qt::NoModifier, from);
        QTest::mouseMove(form->PictureView, (from + to) / 2);
        QTest::mouseMove(form->PictureView, to);
        QTest::mouseRelease(form->PictureView, Qt::LeftButton, Qt::NoModifier, to);
    }
    // The controls of the DrawLine page and the main tool bar as the command
    // table's row for the window's state says.
    void ExpectTheTableRow()
    {
        MainWindow &f = *form;
        const WindowState s = f.CurrentWindowState();
        const struct {
            Command Which;
            bool Enabled;
            const char *Name;
        } controls[] = {
            {Command::ImportPsd, f.ImportPsdButton->isEnabled(), "ImportPsdButton"},
            {Command::Preview, f.PreviewButton->isEnabled(), "PreviewButton"},
            {Command::ExportTiff, f.ExportTiffButton->isEnabled(), "ExportTiffButton"},
            {Command::LineDeletion, f.DeleteLineButton->isEnabled(), "DeleteLineButton"},
            {Command::LineDeletion, f.DeletePointButton->isEnabled(), "DeletePointButton"},
            {Command::BeginLine, f.BeginLineButton->isEnabled(), "BeginLineButton"},
            {Command::LineToolBar, f.LineToolBar->isVisible(), "LineToolBar shown"},
            {Command::LineTools, f.MoveLineTool->isEnabled(), "MoveLineTool"},
            {Command::ReliefControls, f.OrderGroup->isEnabled(), "OrderGroup"},
            {Command::ReliefControls, f.ReliefDepthEdit->isEnabled(), "ReliefDepthEdit"},
            {Command::ReliefControls, f.OrderCheck3->isEnabled(), "OrderCheck3"},
            {Command::ReliefPreview, f.ReliefPreviewButton->isEnabled(), "ReliefPreviewButton"},
            {Command::ReliefStop, f.ReliefStopButton->isEnabled(), "ReliefStopButton"},
        };
        for (const auto &c : controls)
            EXPECT_EQ(c.Enabled, CommandEnabled(c.Which, s)) << c.Name;
        EXPECT_EQ(f.PictureView->isEnabled(), f.PictureTakesMouse());
    }
    void ShowPage(QWidget *page) { form->Pages->setCurrentWidget(page); }
};

ContourLine Shifted(ContourLine line, int32_t dx, int32_t dy)
{
    for (LinePoint &p : line)
        p = {p.x + dx, p.y + dy};
    return line;
}

}  // namespace

TEST_F(DrawLinePageTest, DrawMoveUndoPreviewStopAndLeave)
{
    Open();
    MainWindow &f = *form;
    ShowPage(f.DrawLinePage);
    ASSERT_EQ(f.Doc.DrawLineActive, 1);
    ExpectTheTableRow();
    EXPECT_TRUE(f.LineToolBar->isVisible());
    EXPECT_TRUE(f.PictureView->isEnabled());
    EXPECT_FALSE(f.BeginLineButton->isEnabled());
    EXPECT_TRUE(f.DrawLineTool->isChecked());
    EXPECT_TRUE(f.LayerViewOne->isChecked());
    EXPECT_EQ(f.ReliefDepthEdit->text(), QStringLiteral("1"));
    const QImage plain = f.PictureView->Picture();

    // A closed line: three left clicks and a right click.
    const QPoint corners[] = {ScreenOf(20, 10), ScreenOf(120, 10), ScreenOf(120, 60), ScreenOf(20, 60)};
    ContourLine drawn;
    for (const QPoint &p : corners)
        drawn.push_back(WorkingOf(p));
    for (int i = 0; i < 3; ++i)
        ClickAt(corners[i]);
    EXPECT_EQ(form->Editor.DrawCount, 3);
    ClickAt(corners[3], Qt::RightButton);
    ASSERT_EQ(f.Doc.CurrentLines[0].size(), 1u);
    EXPECT_EQ(f.Doc.CurrentLines[0][0], drawn);
    EXPECT_EQ(form->Editor.SelIds, (LineIds{{0, 0}}));
    EXPECT_NE(f.PictureView->Picture(), plain);  // tinted inside the line

    // Move Line: the cursor shows what lies under the pointer, a drag moves it.
    QTest::mouseClick(f.MoveLineTool, Qt::LeftButton);
    EXPECT_TRUE(f.MoveLineTool->isChecked());
    QTest::mouseMove(f.PictureView, ScreenOf(200, 65));
    EXPECT_EQ(f.PictureView->cursor().shape(), Qt::ForbiddenCursor);
    const QPoint from = ScreenOf(70, 35), to = ScreenOf(90, 40);
    QTest::mouseMove(f.PictureView, from);
    EXPECT_EQ(f.PictureView->cursor().shape(), Qt::SizeAllCursor);
    DragOnPicture(from, to);
    const ContourLine moved = Shifted(drawn, WorkingOf(to).x - WorkingOf(from).x, WorkingOf(to).y - WorkingOf(from).y);
    EXPECT_EQ(f.Doc.CurrentLines[0][0], moved);

    // A line in progress loses its last point to "Delete point".
    QTest::mouseClick(f.DrawLineTool, Qt::LeftButton);
    ClickAt(ScreenOf(150, 20));
    ClickAt(ScreenOf(180, 20));
    QTest::mouseClick(f.DeletePointButton, Qt::LeftButton);
    EXPECT_EQ(form->Editor.EditLine, (ContourLine{WorkingOf(ScreenOf(150, 20))}));
    EXPECT_EQ(form->Editor.DrawCount, 1);

    // The relief preview renders the layer and plays its views.
    f.ReliefDepthEdit->setText(QStringLiteral("2.5"));
    f.SmoothSlider->setValue(3);
    QTest::mouseClick(f.ReliefPreviewButton, Qt::LeftButton);
    ASSERT_TRUE(platform.Messages.isEmpty()) << platform.Messages.join('\n').toStdString();
    const Layer &layer = f.Doc.Layers[size_t(f.Doc.CurrentLayer)];
    EXPECT_EQ(layer.GroupId, GroupReliefRendered);
    EXPECT_EQ(layer.ReliefDepth, 25000);
    EXPECT_EQ(layer.Smooth, 3);
    EXPECT_EQ(f.Cells(1, f.Doc.LayerCount - f.Doc.CurrentLayer), QStringLiteral("+"));
    EXPECT_EQ(f.Doc.LayerLines[size_t(f.Doc.CurrentLayer)][0], (OrderLines{moved}));
    ExpectTheTableRow();
    EXPECT_FALSE(f.PictureView->isEnabled());
    EXPECT_FALSE(f.PreviewButton->isEnabled());
    EXPECT_TRUE(f.ReliefStopButton->isEnabled());
    EXPECT_FALSE(f.ReliefPreviewButton->isEnabled());
    EXPECT_FALSE(f.ImportPsdButton->isEnabled());   // no import under the preview
    EXPECT_FALSE(f.OpenProjectButton->isEnabled());  // nor a project
    EXPECT_FALSE(f.BeginLineButton->isEnabled());
    EXPECT_FALSE(f.DeleteLineButton->isEnabled());
    EXPECT_FALSE(f.ExportTiffButton->isEnabled());
    EXPECT_FALSE(f.MoveLineTool->isEnabled());
    EXPECT_FALSE(f.ReliefDepthEdit->isEnabled());
    EXPECT_FALSE(f.OrderGroup->isEnabled());
    EXPECT_TRUE(f.RightPanel->isEnabled());       // the page can be left
    QTest::qWait(250);
    bool aFrame = false;
    for (int view = 1; view <= ViewCount; ++view)
        aFrame |= f.PictureView->Picture() == LoadImage(WorkFileName(f.Doc.CurrentLayer + 1, QStringLiteral("xgx"), view));
    EXPECT_TRUE(aFrame);

    // Stop keeps the last frame and the picture ignores the mouse.
    QTest::mouseClick(f.ReliefStopButton, Qt::LeftButton);
    ExpectTheTableRow();
    EXPECT_TRUE(f.BeginLineButton->isEnabled());
    EXPECT_TRUE(f.ReliefPreviewButton->isEnabled());
    EXPECT_FALSE(f.ReliefStopButton->isEnabled());
    EXPECT_TRUE(f.ImportPsdButton->isEnabled());
    EXPECT_TRUE(f.PreviewButton->isEnabled());
    EXPECT_TRUE(f.ReliefDepthEdit->isEnabled());
    EXPECT_FALSE(f.DeleteLineButton->isEnabled());
    const QImage last = f.PictureView->Picture();
    QTest::qWait(150);
    EXPECT_EQ(f.PictureView->Picture(), last);
    ClickAt(ScreenOf(30, 30));
    EXPECT_EQ(form->Editor.DrawCount, 1);

    // "Begin Line" goes back to drawing, with the lines reloaded.
    QTest::mouseClick(f.BeginLineButton, Qt::LeftButton);
    ExpectTheTableRow();
    EXPECT_TRUE(f.PictureView->isEnabled());
    EXPECT_EQ(form->Editor.DrawCount, 0);
    EXPECT_EQ(f.Doc.CurrentLines[0], (OrderLines{moved}));

    // Leaving stores the lines and hides the line tools.
    ShowPage(f.SetLayerPage);
    EXPECT_EQ(f.Doc.DrawLineActive, 0);
    ExpectTheTableRow();
    EXPECT_FALSE(f.LineToolBar->isVisible());
    EXPECT_FALSE(f.PictureView->isEnabled());
    EXPECT_TRUE(f.BeginLineButton->isEnabled());
    EXPECT_TRUE(f.Doc.CurrentLines.empty());
    EXPECT_EQ(f.Doc.LayerLines[size_t(f.Doc.CurrentLayer)][0], (OrderLines{moved}));
}

TEST_F(DrawLinePageTest, ThePagesOwnRules)
{
    Open();
    MainWindow &f = *form;
    const int row = f.Doc.LayerCount - f.Doc.CurrentLayer;

    // A layer of a flip group has no relief: the grid comes back at once.
    f.Doc.Layers[size_t(f.Doc.CurrentLayer)].GroupId = 3;
    ShowPage(f.DrawLinePage);
    EXPECT_EQ(f.Pages->currentWidget(), f.SetLayerPage);
    EXPECT_EQ(f.Doc.DrawLineActive, 0);
    EXPECT_FALSE(f.LineToolBar->isVisible());
    f.Doc.Layers[size_t(f.Doc.CurrentLayer)].GroupId = GroupPlain;

    f.Doc.Layers[size_t(f.Doc.CurrentLayer)].ReliefDepth = 25000;
    f.Doc.LayerLines.assign(size_t(f.Doc.LayerCount), EmptyLineSet());
    f.Doc.LayerLines[size_t(f.Doc.CurrentLayer)][2] = {ContourLine{{10, 10}, {60, 10}, {60, 50}}};
    ShowPage(f.DrawLinePage);
    EXPECT_EQ(f.ReliefDepthEdit->text(), QStringLiteral("2.5"));

    // The 16th order item stands for order "15".
    QRadioButton *empty = f.OrderRadios[15];
    QTest::mouseClick(empty, Qt::LeftButton, Qt::NoModifier, QPoint(8, empty->height() / 2));  // its button
    EXPECT_EQ(form->Editor.CurrentOrder, 14);
    EXPECT_TRUE(f.OrderRadios[14]->isChecked());
    EXPECT_EQ(f.OrderMarker->y(), 22 * 14 + 44);

    // A relief depth that is no number: the message, and nothing changes.
    for (void (MainWindow::*command)() : {&MainWindow::StartReliefPreview, &MainWindow::ClearAllLines}) {
        platform.Messages.clear();
        f.ReliefDepthEdit->setText(QStringLiteral("deep"));
        (f.*command)();
        EXPECT_EQ(platform.Messages, QStringList{QStringLiteral("'deep' is not a valid floating point value")});
        EXPECT_EQ(f.Doc.Layers[size_t(f.Doc.CurrentLayer)].GroupId, GroupPlain);
        EXPECT_EQ(f.Doc.Layers[size_t(f.Doc.CurrentLayer)].ReliefDepth, 25000);
        EXPECT_EQ(f.Cells(1, row), QString());
        EXPECT_EQ(f.Doc.CurrentLines[2].size(), 1u);
        ExpectTheTableRow();
        EXPECT_TRUE(f.PictureView->isEnabled());
    }

    // A refused edit beeps and says why in the status bar.
    f.Doc.CurrentLines[0].assign(size_t(MaxLinesPerOrder), ContourLine{{1, 1}, {5, 1}, {1, 5}});
    form->Editor.CurrentOrder = 0;
    ClickAt(ScreenOf(100, 20));
    ClickAt(ScreenOf(150, 20));
    const int beeps = platform.Beeps;
    ClickAt(ScreenOf(150, 60), Qt::RightButton);
    EXPECT_EQ(platform.Beeps, beeps + 1);
    EXPECT_EQ(f.PanelText(10), QStringLiteral("An order holds at most 255 lines. Delete some lines or choose another order."));
    EXPECT_EQ(f.Doc.CurrentLines[0].size(), size_t(MaxLinesPerOrder));
    f.Doc.CurrentLines[0].clear();
    QTest::mouseClick(f.OrderRadios[4], Qt::LeftButton);
    ClickAt(ScreenOf(150, 60), Qt::RightButton);  // another order takes the line
    EXPECT_EQ(f.Doc.CurrentLines[4].size(), 1u);

    // Delete all with a good depth: no lines, a plain layer with the page's values.
    f.Doc.Layers[size_t(f.Doc.CurrentLayer)].GroupId = GroupReliefRendered;
    f.SetCells(1, row, QStringLiteral("+"));
    f.ReliefDepthEdit->setText(QStringLiteral("3"));
    f.SmoothSlider->setValue(8);
    f.BaseOrderSlider->setValue(15);
    f.ClearAllLines();
    EXPECT_EQ(f.Doc.LayerLines[size_t(f.Doc.CurrentLayer)], EmptyLineSet());
    const Layer &plain = f.Doc.Layers[size_t(f.Doc.CurrentLayer)];
    EXPECT_EQ(plain.GroupId, GroupPlain);
    EXPECT_EQ(plain.ReliefDepth, 30000);
    EXPECT_EQ(plain.Smooth, 8);
    EXPECT_EQ(plain.BaseOrder, 15);
    EXPECT_EQ(f.Cells(1, row), QString());

    // Away from the page the Edit menu leaves every line alone.
    f.Doc.LayerLines[size_t(f.Doc.CurrentLayer)][1] = {ContourLine{{10, 10}, {60, 10}, {60, 50}}};
    f.Doc.CurrentLines = f.Doc.LayerLines[size_t(f.Doc.CurrentLayer)];
    f.SelectAllItem->trigger();
    f.CopyAction->trigger();  // the clipboard has a line to paste
    ShowPage(f.SetLayerPage);
    const LineSets before = f.Doc.LayerLines;
    for (QAction *item : {f.SelectAllItem, f.CutAction, f.DeleteSelectionItem, f.PasteAction, f.DeleteLineAction, f.DeleteLayerLinesAction, f.DeleteAllLinesAction, f.DeletePointAction,
                          f.FreeTransformItem})
        item->trigger();
    EXPECT_EQ(f.Doc.LayerLines, before);
    EXPECT_TRUE(f.Doc.CurrentLines.empty());
    EXPECT_EQ(f.Pages->currentWidget(), f.SetLayerPage);
    // "Begin draw line" is the one that shows the page.
    f.BeginLineAction->trigger();
    EXPECT_EQ(f.Pages->currentWidget(), f.DrawLinePage);
    EXPECT_TRUE(f.DrawLineTool->isChecked());
    f.PasteAction->trigger();
    EXPECT_EQ(f.Doc.CurrentLines[1].size(), 2u);

    // The shortcuts of the Edit menu.
    f.activateWindow();
    QTest::keyClick(&f, Qt::Key_A, Qt::ControlModifier);
    EXPECT_EQ(form->Editor.SelCount, 2);
    QTest::keyClick(&f, Qt::Key_X, Qt::ControlModifier);
    EXPECT_TRUE(f.Doc.CurrentLines[1].empty());
    QTest::keyClick(&f, Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(f.Doc.CurrentLines[1].size(), 2u);
    QTest::keyClick(&f, Qt::Key_Delete);
    EXPECT_TRUE(f.Doc.CurrentLines[1].empty());
}

TEST_F(DrawLinePageTest, ALineDrawnHereIsPrintedAlikeByTheWindowAndTheBatchMode)
{
    Open();
    MainWindow &f = *form;
    ShowPage(f.DrawLinePage);
    for (const QPoint &p : {ScreenOf(150, 5), ScreenOf(205, 5), ScreenOf(205, 60)})
        ClickAt(p);
    ClickAt(ScreenOf(150, 60), Qt::RightButton);
    ASSERT_EQ(f.Doc.CurrentLines[0].size(), 1u);
    f.ReliefDepthEdit->setText(QStringLiteral("3"));
    QTest::mouseClick(f.ReliefPreviewButton, Qt::LeftButton);
    QTest::mouseClick(f.ReliefStopButton, Qt::LeftButton);

    const QString project = platform.Sandbox.path() + QStringLiteral("/doc.hx4p3");
    platform.SaveAnswers.push_back(project);
    f.SaveProjectAs();
    const QString windowPrint = platform.Sandbox.path() + QStringLiteral("/window.tif");
    platform.SaveAnswers.push_back(windowPrint);
    f.ExportInterlacedPrint();
    ASSERT_TRUE(platform.Messages.isEmpty()) << platform.Messages.join('\n').toStdString();
    const QByteArray expected = WithoutTiffDate(ReadFileBytes(windowPrint));
    ASSERT_FALSE(expected.isEmpty());

    // Without the relief the print differs: the line shows in the print.
    const QString plainPrint = platform.Sandbox.path() + QStringLiteral("/plain.tif");
    const QString batchPrint = platform.Sandbox.path() + QStringLiteral("/batch.tif");
    int code = -1;
    QByteArray err;
    RunProgram(VistrelProgram(), {QStringLiteral("--export-tiff"), plainPrint, psd}, &code, &err);
    ASSERT_EQ(code, 0) << err.toStdString();
    EXPECT_FALSE(WithoutTiffDate(ReadFileBytes(plainPrint)) == expected);

    RunProgram(VistrelProgram(), {QStringLiteral("--export-tiff"), batchPrint, project}, &code, &err);
    ASSERT_EQ(code, 0) << err.toStdString();
    EXPECT_TRUE(WithoutTiffDate(ReadFileBytes(batchPrint)) == expected);
}

TEST_F(DrawLinePageTest, PointToolsAndTheFreeTransformWithTheMouseAndKeys)
{
    Open();
    MainWindow &f = *form;
    ShowPage(f.DrawLinePage);
    const QPoint corners[] = {ScreenOf(20, 10), ScreenOf(120, 10), ScreenOf(120, 60), ScreenOf(20, 60)};
    for (int i = 0; i < 3; ++i)
        ClickAt(corners[i]);
    ClickAt(corners[3], Qt::RightButton);
    ASSERT_EQ(f.Doc.CurrentLines[0].size(), 1u);

    // Add Point on the top edge, then Move Point drags the new point.
    QTest::mouseClick(f.AddPointTool, Qt::LeftButton);
    const QPoint onTop = ScreenOf(70, 10);
    QTest::mouseMove(f.PictureView, onTop);
    EXPECT_EQ(f.PictureView->cursor().shape(), Qt::CrossCursor);
    QTest::mouseClick(f.PictureView, Qt::LeftButton, Qt::NoModifier, onTop);
    ASSERT_EQ(f.Doc.CurrentLines[0][0].size(), 5u);
    EXPECT_EQ(f.Doc.CurrentLines[0][0][1], WorkingOf(onTop));
    QTest::mouseClick(f.MovePointTool, Qt::LeftButton);
    DragOnPicture(onTop, ScreenOf(70, 2));
    EXPECT_EQ(f.Doc.CurrentLines[0][0][1], WorkingOf(ScreenOf(70, 2)));

    // Delete Point removes it again.
    QTest::mouseClick(f.DeletePointTool, Qt::LeftButton);
    ClickAt(ScreenOf(70, 2));
    EXPECT_EQ(f.Doc.CurrentLines[0][0].size(), 4u);

    // Free transform: a drag inside the box moves the line; Enter ends it, and
    // after the next click the Move Line cursors are back.
    f.SelectAllItem->trigger();
    f.FreeTransformItem->trigger();
    const ContourLine before = f.Doc.CurrentLines[0][0];
    const QPoint inside = ScreenOf(50, 30), moved = ScreenOf(60, 35);
    QTest::mouseMove(f.PictureView, inside);
    EXPECT_EQ(f.PictureView->cursor().shape(), Qt::SizeAllCursor);
    DragOnPicture(inside, moved);
    const int32_t dx = WorkingOf(moved).x - WorkingOf(inside).x, dy = WorkingOf(moved).y - WorkingOf(inside).y;
    EXPECT_EQ(f.Doc.CurrentLines[0][0], Shifted(before, dx, dy));
    QTest::keyClick(f.PictureView, Qt::Key_Return);
    EXPECT_EQ(f.Editor.Tool(), ToolIdle);
    ClickAt(ScreenOf(200, 65));
    EXPECT_EQ(f.Editor.Tool(), ToolMoveLine);
    QTest::mouseMove(f.PictureView, ScreenOf(200, 66));
    EXPECT_EQ(f.PictureView->cursor().shape(), Qt::ForbiddenCursor);

    // A double click ends it as well.
    f.FreeTransformItem->trigger();
    ASSERT_EQ(f.Editor.Tool(), ToolFreeTransform);
    // As a window system sends it: a click, then the double click and its release.
    const QPoint at = ScreenOf(200, 65);
    QTest::mouseClick(f.PictureView, Qt::LeftButton, Qt::NoModifier, at);
    QTest::mouseDClick(f.PictureView, Qt::LeftButton, Qt::NoModifier, at);
    QTest::mouseRelease(f.PictureView, Qt::LeftButton, Qt::NoModifier, at);
    EXPECT_EQ(f.Editor.Tool(), ToolMoveLine);
}

TEST_F(DrawLinePageTest, GreyAndCmykDocumentsShowTheirScreenCopies)
{
    for (const uint16_t mode : {ModeGrey, ModeCmyk}) {
        SCOPED_TRACE(mode);
        TearDown();
        SetUp();
        Open(mode);
        MainWindow &f = *form;
        ShowPage(f.DrawLinePage);
        ASSERT_EQ(f.Doc.DrawLineActive, 1);
        // The editor shows the layer as the screen does, tinted where a line is.
        EXPECT_EQ(f.PictureView->Picture().format(), QImage::Format_RGB32);
        for (const QPoint &p : {ScreenOf(150, 5), ScreenOf(205, 5), ScreenOf(205, 60)})
            ClickAt(p);
        ClickAt(ScreenOf(150, 60), Qt::RightButton);
        ASSERT_EQ(f.Doc.CurrentLines[0].size(), 1u);
        QTest::mouseClick(f.ReliefPreviewButton, Qt::LeftButton);
        ASSERT_TRUE(platform.Messages.isEmpty()) << platform.Messages.join('\n').toStdString();
        QTest::qWait(200);
        QTest::mouseClick(f.ReliefStopButton, Qt::LeftButton);
        bool aFrame = false;
        for (int view = 1; view <= ViewCount; ++view)
            aFrame |= f.PictureView->Picture() == LoadImage(WorkFileName(f.Doc.CurrentLayer + 1, QStringLiteral("xgxv"), view));
        EXPECT_TRUE(aFrame);
    }
}

TEST_F(DrawLinePageTest, AnExportFromThePageRendersTheLinesAsDrawn)
{
    Open();
    MainWindow &f = *form;
    f.Doc.Layers[size_t(f.Doc.CurrentLayer)].GroupId = GroupReliefToRender;  // as a project leaves a relief
    ShowPage(f.DrawLinePage);
    for (const QPoint &p : {ScreenOf(150, 5), ScreenOf(205, 5), ScreenOf(205, 60)})
        ClickAt(p);
    ClickAt(ScreenOf(150, 60), Qt::RightButton);
    platform.SaveAnswers.push_back(platform.Sandbox.path() + QStringLiteral("/page.tif"));
    f.ExportInterlacedPrint();
    ASSERT_TRUE(platform.Messages.isEmpty()) << platform.Messages.join('\n').toStdString();
    EXPECT_EQ(f.Doc.Layers[size_t(f.Doc.CurrentLayer)].GroupId, GroupReliefRendered);
    ASSERT_EQ(f.Doc.LayerLines[size_t(f.Doc.CurrentLayer)].size(), size_t(OrderCount));
    EXPECT_EQ(f.Doc.LayerLines[size_t(f.Doc.CurrentLayer)][0], f.Doc.CurrentLines[0]);
    EXPECT_EQ(f.Doc.CurrentLines[0].size(), 1u);
}

// Pictures of the page for a person to look at, made only when
// VISTREL_SCREENSHOTS names a folder (under a real display, e.g. Xvfb).
TEST_F(DrawLinePageTest, Screenshots)
{
    const QString folder = qEnvironmentVariable("VISTREL_SCREENSHOTS");
    if (folder.isEmpty())
        GTEST_SKIP() << "VISTREL_SCREENSHOTS is not set: no pictures wanted";
    MainWindow &f = Start(true, 1200, 800);
    ASSERT_TRUE(f.ImportPsd(SourceFolder() + QStringLiteral("/sample/vistrel-sample.psd")));
    // The topmost layer that is in no flip group.
    for (int row = 1; row <= f.Doc.LayerCount && IsFlipGroup(f.Doc.Layers[size_t(f.Doc.LayerCount - row)].GroupId); ++row)
        f.LayerGrid->setCurrentCell(row + 1, 2);
    ShowPage(f.DrawLinePage);
    ASSERT_EQ(f.Doc.DrawLineActive, 1);
    const int32_t w = f.Doc.WorkWidth, h = f.Doc.WorkHeight;
    // Nested lines in orders "1", "3" and "5", and one in "4" beside them.
    const struct {
        int Order;
        int32_t Inset;
    } rings[] = {{4, 10}, {2, 22}, {0, 34}};
    for (const auto &r : rings) {
        QTest::mouseClick(f.OrderRadios[size_t(r.Order)], Qt::LeftButton, Qt::NoModifier, QPoint(8, 10));
        const int32_t left = w / 8 + r.Inset * w / 200, right = w / 2 - r.Inset * w / 200;
        const int32_t top = h / 8 + r.Inset * h / 200, bottom = h - h / 8 - r.Inset * h / 200;
        ClickAt(ScreenOf(left, top));
        ClickAt(ScreenOf((left + right) / 2, top - h / 20));
        ClickAt(ScreenOf(right, top));
        ClickAt(ScreenOf(right, bottom));
        ClickAt(ScreenOf(left, bottom), Qt::RightButton);
    }
    QTest::mouseClick(f.OrderRadios[3], Qt::LeftButton, Qt::NoModifier, QPoint(8, 10));
    ClickAt(ScreenOf(w * 6 / 10, h / 4));
    ClickAt(ScreenOf(w * 9 / 10, h / 3));
    ClickAt(ScreenOf(w * 8 / 10, h * 3 / 4));
    ClickAt(ScreenOf(w * 6 / 10, h * 2 / 3), Qt::RightButton);
    QTest::mouseClick(f.OrderCheck3, Qt::LeftButton);  // order "3" hidden
    QTest::qWait(100);
    f.grab().save(folder + QStringLiteral("/drawline-orders.png"));

    QTest::mouseClick(f.OrderCheck3, Qt::LeftButton);
    QTest::mouseClick(f.MoveLineTool, Qt::LeftButton);
    ClickAt(ScreenOf(w * 3 / 4, h / 2));
    f.FreeTransformItem->trigger();
    const QPoint corner = ScreenOf(w * 9 / 10, h * 3 / 4);
    QTest::mouseMove(f.PictureView, corner);
    QTest::qWait(100);
    f.grab().save(folder + QStringLiteral("/drawline-free-transform.png"));

    f.ReliefDepthEdit->setText(QStringLiteral("4"));
    QTest::mouseClick(f.ReliefPreviewButton, Qt::LeftButton);
    ASSERT_TRUE(platform.Messages.isEmpty()) << platform.Messages.join('\n').toStdString();
    QTest::qWait(130);
    f.grab().save(folder + QStringLiteral("/drawline-relief-preview.png"));
    QTest::mouseClick(f.ReliefStopButton, Qt::LeftButton);
}

// The mouse lands where the picture is drawn, after any sequence of fit, zoom,
// preview and resizing. What a click stored is found in the control's own
// pixels, not through the window's mapping: the box of what changed on the
// screen when a triangle was clicked must be the box of the clicks.
TEST_F(DrawLinePageTest, ClicksLandWhereThePictureIsDrawn)
{
    Open();
    MainWindow &f = *form;
    ShowPage(f.DrawLinePage);
    const struct {
        const char *Name;
        std::function<void()> Before;
    } sequences[] = {
        {"fitted", [] {}},
        {"relief preview, zoom in while it plays, stop, begin line, zoom out",
         [&] {
             // A deep relief: its views are wider than the layer by their margin.
             ClickAt(ScreenOf(20, 10));
             ClickAt(ScreenOf(120, 10));
             ClickAt(ScreenOf(70, 60), Qt::RightButton);
             f.ReliefDepthEdit->setText(QStringLiteral("8"));
             f.StartReliefPreview();
             QTest::qWait(120);  // a frame of the preview shows
             f.ZoomIn();
             f.StopReliefPreview();
             f.BeginLine();
             f.ZoomOut();
         }},
        {"zoomed in twice", [&f] { f.ZoomIn(), f.ZoomIn(); }},
        {"the window made smaller", [&f] { f.resize(760, 560), QApplication::processEvents(); }},
    };
    for (const auto &s : sequences) {
        SCOPED_TRACE(s.Name);
        s.Before();
        ASSERT_TRUE(f.PictureTakesMouse());
        const QRect shown = f.PictureView->visibleRegion().boundingRect();
        const QPoint c = shown.center();
        const QPoint a(c.x() - 40, c.y() - 25), b(c.x() + 40, c.y() - 25), d(c.x(), c.y() + 25);
        const QImage before = f.PictureView->grab().toImage();
        ClickAt(a);
        ClickAt(b);
        ClickAt(d, Qt::RightButton);
        ASSERT_FALSE(f.Doc.CurrentLines[0].empty());
        const QImage after = f.PictureView->grab().toImage();
        ASSERT_EQ(after.size(), before.size());
        QRect changed;
        for (int y = 0; y < after.height(); ++y)
            for (int x = 0; x < after.width(); ++x)
                if (after.pixel(x, y) != before.pixel(x, y))
                    changed |= QRect(x, y, 1, 1);
        // The outline is a few screen pixels wide.
        EXPECT_NEAR(changed.left(), a.x(), 6);
        EXPECT_NEAR(changed.right(), b.x(), 6);
        EXPECT_NEAR(changed.top(), a.y(), 6);
        EXPECT_NEAR(changed.bottom(), d.y(), 6);
        f.ClearAllLines();  // delete all, for the next sequence
    }
}

// A double click ends the line at the point it was clicked on, once; Escape
// drops a line in progress.
TEST_F(DrawLinePageTest, ADoubleClickEndsTheLineAndEscapeDropsIt)
{
    Open();
    MainWindow &f = *form;
    ShowPage(f.DrawLinePage);
    const QPoint a = ScreenOf(20, 10), b = ScreenOf(120, 10), c = ScreenOf(70, 60);
    ClickAt(a);
    ClickAt(b);
    // What a widget receives of a double click: press, release, double click, release.
    ClickAt(c);
    QTest::mouseDClick(f.PictureView, Qt::LeftButton, Qt::NoModifier, c);
    QTest::mouseRelease(f.PictureView, Qt::LeftButton, Qt::NoModifier, c);
    ASSERT_EQ(f.Doc.CurrentLines[0].size(), 1u);
    EXPECT_EQ(f.Doc.CurrentLines[0][0], (ContourLine{WorkingOf(a), WorkingOf(b), WorkingOf(c)}));
    EXPECT_EQ(form->Editor.DrawCount, 0);

    ClickAt(ScreenOf(150, 20));
    ClickAt(ScreenOf(180, 20));
    QTest::keyClick(f.PictureView, Qt::Key_Escape);
    EXPECT_EQ(form->Editor.DrawCount, 0);
    EXPECT_EQ(f.Doc.CurrentLines[0].size(), 1u);
}

// Worked out by hand: the 210 x 70 picture in a 330 x 130 control is drawn
// 330 x 110, 10 pixels from the top; the centre of screen pixel s shows
// working pixel floor((s + 0.5 - start) x 7 / 11).
TEST_F(DrawLinePageTest, AClickLandsOnTheWorkingPixelUnderItsCentre)
{
    Open();
    MainWindow &f = *form;
    ShowPage(f.DrawLinePage);
    ASSERT_EQ(QSize(f.Doc.WorkWidth, f.Doc.WorkHeight), QSize(210, 70));
    f.PictureView->setGeometry(f.PictureView->x(), f.PictureView->y(), 330, 130);
    f.PictureFitted = false;  // as a zoom leaves it: a scroll bar coming does not fit it again
    const struct {
        QPoint Screen;
        LinePoint Working;
    } cases[] = {
        {{3, 13}, {2, 2}},         // 3.5 x 7 / 11 = 2.23; from the pixel's edge 1.91
        {{329, 119}, {209, 69}},   // the last pixel: 209.68, 69.68
        {{170, 60}, {108, 32}},    // 108.5, 32.14
        {{0, 9}, {0, -1}},         // the row above the picture
    };
    for (const auto &c : cases)
        EXPECT_EQ(WorkingOf(c.Screen), c.Working) << c.Screen.x() << ", " << c.Screen.y();
    ClickAt(cases[0].Screen);
    ClickAt(cases[1].Screen);
    ClickAt(cases[2].Screen, Qt::RightButton);
    ASSERT_EQ(f.Doc.CurrentLines[0].size(), 1u);
    EXPECT_EQ(f.Doc.CurrentLines[0][0], (ContourLine{cases[0].Working, cases[1].Working, cases[2].Working}));
}

// Every kind of edit is one step back and one step forward again: the whole
// design state compared by value before and after.
TEST_F(DrawLinePageTest, EveryEditIsUndoneAndRedone)
{
    Open();
    MainWindow &f = *form;
    const QString project = platform.Sandbox.path() + QStringLiteral("/start.hx4p3");
    platform.SaveAnswers.push_back(project);
    f.SaveProjectAs();  // the design as opened, for "Import settings" below
    ASSERT_TRUE(QFile::exists(project));
    EXPECT_FALSE(f.UndoAction->isEnabled());
    const auto typed = [](QLineEdit *field, const char *text) {
        field->setText(QString::fromLatin1(text));
        emit field->editingFinished();
    };
    const auto onPage = [&](QWidget *page) { return [&f, this, page] { ShowPage(page); (void)f; }; };
    const auto tool = [&](QToolButton *button) { return [&f, button] { button->click(); (void)f; }; };
    // Each edit runs after its preparation (a page shown, a tool chosen, lines
    // selected), which is not an edit itself.
    const struct {
        const char *Name;
        std::function<void()> Prepare, Edit;
    } edits[] = {
        {"an offset typed", onPage(f.SetLayerPage), [&] { f.SetCells(2, 2, QStringLiteral("33")); }},
        {"a flip group typed", {}, [&] { f.LayerGrid->item(3, 1)->setText(QStringLiteral("B")); }},
        {"the LPI typed", {}, [&] { typed(f.LpiEdit, "50"); }},
        {"the focus row typed", {}, [&] { typed(f.FocusEdit, "2"); }},
        {"the depth typed", {}, [&] { typed(f.DepthEdit, "2.5"); }},
        {"the print width typed, the height following", {}, [&] { typed(f.WidthEdit, "6"); }},
        {"the H scale typed", {}, [&] { typed(f.HScaleEdit, "3"); }},
        {"a resolution chosen", {}, [&] { f.DpiCombo->setCurrentIndex(3); }},
        {"a colour mode chosen", {}, [&] { f.ColourModeCombo->setCurrentIndex(1); }},
        {"a line drawn", onPage(f.DrawLinePage),
         [&] {
             ClickAt(ScreenOf(20, 10));
             ClickAt(ScreenOf(120, 10));
             ClickAt(ScreenOf(70, 50), Qt::RightButton);
         }},
        {"a second line drawn", {},
         [&] {
             ClickAt(ScreenOf(140, 20));
             ClickAt(ScreenOf(190, 20));
             ClickAt(ScreenOf(165, 60), Qt::RightButton);
         }},
        {"a point added", tool(f.AddPointTool), [&] { ClickAt(ScreenOf(70, 10)); }},
        {"a point moved", tool(f.MovePointTool), [&] { DragOnPicture(ScreenOf(70, 50), ScreenOf(70, 60)); }},
        {"a point deleted", tool(f.DeletePointTool), [&] { ClickAt(ScreenOf(120, 10)); }},
        {"a line moved", tool(f.MoveLineTool), [&] { DragOnPicture(ScreenOf(165, 40), ScreenOf(160, 45)); }},
        {"the lines transformed", [&] { f.SelectAllLines(); },
         [&] {
             f.FreeTransform();
             DragOnPicture(ScreenOf(100, 30), ScreenOf(104, 33));
             QTest::keyClick(f.PictureView, Qt::Key_Return);
         }},
        {"the selection moved to the next order", [&] { f.SelectAllLines(); }, [&] { f.MoveSelectionToLowerOrder(); }},
        {"the selection cut", [&] { f.SelectAllLines(); }, [&] { f.CutLines(); }},
        {"the lines pasted", {}, [&] { f.PasteLines(); }},
        {"the last line deleted", {}, [&] { f.DeleteLine(); }},
        {"the order's lines deleted", {}, [&] { f.DeleteLayerLines(); }},
        {"the relief settings changed and previewed", [&] { f.PasteLines(); },
         [&] {
             f.SmoothSlider->setValue(8);
             f.BaseOrderSlider->setValue(3);
             f.ReliefDepthEdit->setText(QStringLiteral("2.5"));
             QTest::mouseClick(f.ReliefPreviewButton, Qt::LeftButton);  // takes them into the layer
             QTest::mouseClick(f.ReliefStopButton, Qt::LeftButton);
         }},
        {"every line deleted", {}, [&] { f.ClearAllLines(); }},
        {"Import settings", onPage(f.SetLayerPage), [&] { ASSERT_TRUE(f.ApplyProjectFile(project)); }},
    };
    // The whole document, with what an undo rightly leaves aside: the page's
    // lines are the current layer's, a set without lines is one however it is
    // held, a relief put back is rendered again, and the relief preview stays stopped.
    const auto settled = [&] {
        Document d = f.Doc;
        if (d.DrawLineActive == 1)
            d.LayerLines[size_t(d.CurrentLayer)] = d.CurrentLines;
        const auto noLines = [](const LineSet &set) {
            return std::all_of(set.begin(), set.end(), [](const OrderLines &o) { return o.empty(); });
        };
        for (LineSet &set : d.LayerLines)
            if (noLines(set))
                set.clear();
        if (noLines(d.CurrentLines))
            d.CurrentLines.clear();
        for (Layer &layer : d.Layers)
            if (layer.GroupId == GroupReliefRendered)
                layer.GroupId = GroupReliefToRender;
        d.ReliefPreviewStop = 0;
        return d;
    };
    for (const auto &e : edits) {
        SCOPED_TRACE(e.Name);
        if (e.Prepare)
            e.Prepare();
        const DesignState before = f.CaptureDesign();
        const Document documentBefore = settled();
        e.Edit();
        const DesignState after = f.CaptureDesign();
        const Document documentAfter = settled();
        ASSERT_FALSE(before == after) << "the edit changed nothing";
        ASSERT_TRUE(f.UndoAction->isEnabled());
        f.UndoAction->trigger();
        EXPECT_TRUE(f.CaptureDesign() == before);
        EXPECT_TRUE(settled() == documentBefore);
        f.RedoAction->trigger();
        EXPECT_TRUE(f.CaptureDesign() == after);
        EXPECT_TRUE(settled() == documentAfter);
    }

    // While a line is drawn, Ctrl+Z gives back its last point and leaves the history alone.
    ShowPage(f.DrawLinePage);
    f.DrawLineTool->click();
    const QString undoText = f.UndoAction->text();
    ClickAt(ScreenOf(30, 20));
    ClickAt(ScreenOf(90, 20));
    ASSERT_EQ(form->Editor.DrawCount, 2);
    QTest::keyClick(&f, Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(form->Editor.DrawCount, 1);
    QTest::keyClick(f.PictureView, Qt::Key_Escape);
    EXPECT_EQ(f.UndoAction->text(), undoText);

    // Undoing back to what was saved clears the mark; an import starts a new history.
    ShowPage(f.SetLayerPage);
    f.SaveProjectBesidePsd();
    f.SetCells(2, 1, QStringLiteral("-44"));
    EXPECT_TRUE(f.isWindowModified());
    f.UndoAction->trigger();
    EXPECT_FALSE(f.isWindowModified());
    ASSERT_TRUE(f.ImportPsd(psd));
    EXPECT_FALSE(f.UndoAction->isEnabled());
    EXPECT_FALSE(f.RedoAction->isEnabled());
}
