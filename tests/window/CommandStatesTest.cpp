// The enabled commands follow the road import, preview, stop, export; each
// step leaves the controls as the table's row for the new state says, and a
// command that fails, even for want of memory, leaves the window usable.
#include "CommandStates.h"
#include "Document.h"
#include "Errors.h"
#include "WindowTest.h"

#include <QAction>
#include <QGroupBox>
#include <QLineEdit>
#include <QProgressBar>
#include <QTest>
#include <QToolBar>
#include <QToolButton>
#include <new>

namespace {

class CommandStatesTest : public WindowTest {
protected:
    void TearDown() override
    {
        FaultHook = nullptr;
        WindowTest::TearDown();
    }
    // Every control of every command as the table's row for the window's state says.
    void ExpectTheTableRow()
    {
        MainWindow &f = *form;
        const WindowState s = f.CurrentWindowState();
        struct Control { Command command; bool enabled; const char *name; };
        const Control controls[] = {
            {Command::OpenProject, f.OpenProjectButton->isEnabled(), "OpenProjectButton"},
            {Command::SaveProject, f.SaveProjectAsItem->isEnabled(), "SaveProjectAsItem"},
            {Command::ImportPsd, f.ImportPsdButton->isEnabled(), "ImportPsdButton"},
            {Command::ImportSettings, f.ImportSettingsItem->isEnabled(), "ImportSettingsItem"},
            {Command::Zoom, f.ZoomInButton->isEnabled(), "ZoomInButton"},
            {Command::Preview, f.PreviewButton->isEnabled(), "PreviewButton"},
            {Command::Stop, f.StopButton->isEnabled(), "StopButton"},
            {Command::ExportTiff, f.ExportTiffAction->isEnabled(), "ExportTiffAction"},
            {Command::Anaglyph, f.AnaglyphButton->isEnabled(), "AnaglyphButton"},
            {Command::ExportPsd, f.ExportPsdItem->isEnabled(), "ExportPsdItem"},
            {Command::ExportGif, f.ExportGifItem->isEnabled(), "ExportGifItem"},
            {Command::RightPanel, f.RightPanel->isEnabled(), "RightPanel"},
            {Command::LineDeletion, f.DeleteLayerLinesButton->isEnabled(), "DeleteLayerLinesButton"},
            {Command::BeginLine, f.BeginLineButton->isEnabled(), "BeginLineButton"},
        };
        for (const Control &c : controls)
            EXPECT_EQ(c.enabled, CommandEnabled(c.command, s)) << c.name;
        EXPECT_TRUE(f.isEnabled());
        EXPECT_EQ(platform.BusyDepth, 0);
        EXPECT_EQ(f.ProgressBar->value(), 0);
    }
};

}  // namespace

TEST_F(CommandStatesTest, EachStepOfTheRoadLeavesTheRowOfItsState)
{
    MainWindow &f = Start();
    ExpectTheTableRow();
    EXPECT_TRUE(f.ImportPsdButton->isEnabled());
    EXPECT_FALSE(f.PreviewButton->isEnabled());
    EXPECT_FALSE(f.RightPanel->isEnabled());

    ASSERT_TRUE(f.ImportPsd(WritePsd(QStringLiteral("doc.psd"), SevenLayerDocument())));
    ExpectTheTableRow();
    EXPECT_TRUE(f.PreviewButton->isEnabled());
    EXPECT_FALSE(f.ExportTiffButton->isEnabled());
    EXPECT_FALSE(f.ExportGifItem->isEnabled());

    QTest::mouseClick(f.PreviewButton, Qt::LeftButton);  // Preview
    EXPECT_EQ(f.Doc.AppState, StateAnimating);
    ExpectTheTableRow();
    EXPECT_TRUE(f.ExportTiffButton->isEnabled());
    EXPECT_TRUE(f.StopButton->isEnabled());
    EXPECT_FALSE(f.ImportPsdButton->isEnabled());
    EXPECT_FALSE(f.RightPanel->isEnabled());

    QTest::mouseClick(f.StopButton, Qt::LeftButton);  // Stop
    QTest::qWait(120);                                   // the animation ends at its next frame
    EXPECT_FALSE(f.Animating());
    ExpectTheTableRow();
    EXPECT_TRUE(f.ImportPsdButton->isEnabled());
    EXPECT_TRUE(f.ExportGifItem->isEnabled());
    EXPECT_FALSE(f.StopButton->isEnabled());

    f.FocusEdit->setText(QStringLiteral("2"));  // a new focus layer: the views no longer match
    f.FocusEdited();
    ExpectTheTableRow();
    EXPECT_FALSE(f.ExportTiffButton->isEnabled());
    EXPECT_FALSE(f.ExportTiffAction->isEnabled());

    QTest::mouseClick(f.PreviewButton, Qt::LeftButton);
    platform.SaveAnswers.push_back(platform.Sandbox.path() + QStringLiteral("/doc.tif"));
    QTest::mouseClick(f.ExportTiffButton, Qt::LeftButton);  // the export stops the animation
    QTest::qWait(120);
    ASSERT_TRUE(platform.Messages.isEmpty()) << platform.Messages.join('\n').toStdString();
    ExpectTheTableRow();
    EXPECT_TRUE(f.ExportPsdItem->isEnabled());
    EXPECT_EQ(f.Doc.AppState, StateStopped);
}

TEST_F(CommandStatesTest, AnAllocationThatFailsIsAMessageAndTheWindowStaysUsable)
{
    MainWindow &f = Start();
    ASSERT_TRUE(f.ImportPsd(WritePsd(QStringLiteral("doc.psd"), SevenLayerDocument())));

    struct Case { const char *point; void (MainWindow::*command)(); const char *message; uint8_t state; };
    const Case cases[] = {
        {"GenerateViewFiles", &MainWindow::PreviewViews,
         "Not enough memory for this command. Close other programs or choose a smaller print, then try again.",
         StateImported},
        // 5 cm = 1.9685 in at 42.45 lpi: 84 lenses, 1425 columns at 720 dpi; the
        // height follows the 3:1 picture, 1.6667 cm: 472 rows.
        {"InterlaceViews", &MainWindow::ExportInterlacedPrint, "Not enough memory to make a print of 1 425 x 472 pixels.",
         StateImported},
        {"ImportDocument", &MainWindow::ChooseAndImportPsd,
         "Not enough memory for this command. Close other programs or choose a smaller print, then try again.",
         StateImported},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.point);
        platform.Messages.clear();
        platform.SaveAnswers.push_back(platform.Sandbox.path() + QStringLiteral("/doc.tif"));
        platform.OpenAnswers.push_back(platform.Sandbox.path() + QStringLiteral("/doc.psd"));
        FaultHook = [&](const char *point) {
            if (QByteArray(point) == c.point)
                throw std::bad_alloc();
        };
        (f.*c.command)();
        FaultHook = nullptr;
        EXPECT_EQ(platform.Messages, QStringList{QString::fromUtf8(c.message)});
        EXPECT_EQ(f.Doc.AppState, c.state);
        EXPECT_EQ(f.Doc.DocumentOpen, 1);
        ExpectTheTableRow();
        EXPECT_TRUE(f.ImportPsdButton->isEnabled());
        EXPECT_TRUE(f.RightPanel->isEnabled());
        EXPECT_FALSE(f.StopButton->isEnabled());
    }
    // And the window still works.
    platform.Messages.clear();
    QTest::mouseClick(f.PreviewButton, Qt::LeftButton);
    EXPECT_TRUE(platform.Messages.isEmpty()) << platform.Messages.join('\n').toStdString();
    EXPECT_EQ(f.Doc.AppState, StateAnimating);
}

TEST_F(CommandStatesTest, ClosingWhileACommandRunsWaitsForItsEnd)
{
    // A long command lets the window repaint; a close asked for then must not
    // free the document under it.
    MainWindow &f = Start();
    ASSERT_TRUE(f.ImportPsd(WritePsd(QStringLiteral("doc.psd"), SevenLayerDocument())));
    bool stillThere = false;
    f.RunCommand([&] {
        f.close();
        stillThere = f.isVisible() && f.Doc.Layers.size() == 7 && f.Doc.DocumentOpen == 1;
        // An inner command gives nothing back before the outer one ends.
        f.setEnabled(false);
        f.RunCommand([] {}, false);
        stillThere = stillThere && !f.isEnabled();
    });
    EXPECT_TRUE(stillThere);
    QTest::qWait(50);
    EXPECT_FALSE(f.isVisible());  // closed once the command had ended
    EXPECT_TRUE(f.Doc.Layers.empty());
}
