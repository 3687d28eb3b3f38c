#include "Document.h"
#include "Picture.h"
#include "PsdBuilder.h"
#include "ScriptedPlatform.h"
#include "TestSupport.h"
#include "Tiff.h"
#include "Unit1.h"
#include "WindowTest.h"
#include "ViewSet.h"
#include "BmpCodec.h"
#include "WorkFolder.h"

#include <QAction>
#include <QComboBox>
#include <QDir>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QScrollArea>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <gtest/gtest.h>
#include <memory>

using PreviewWindowTest = ImportedWindowTest;

TEST_F(PreviewWindowTest, ViewsPlayForthAndBackUntilStopped)
{
    Open();
    TForm1 &f = *form;
    QTest::mouseClick(f.SpeedButton9, Qt::LeftButton);
    ASSERT_TRUE(platform.Messages.isEmpty()) << platform.Messages.join('\n').toStdString();
    EXPECT_EQ(AppState, 2);
    // The hint, then how far the views move under the lenses.
    EXPECT_TRUE(f.PanelText(10).startsWith(HintStopPreview + QStringLiteral("  Largest shift")))
        << f.PanelText(10).toStdString();
    EXPECT_TRUE(f.SpeedButton29->isEnabled());
    EXPECT_TRUE(f.SpeedButton5->isEnabled());
    EXPECT_TRUE(f.SpeedButton2->isEnabled());
    EXPECT_FALSE(f.SpeedButton1->isEnabled());
    EXPECT_FALSE(f.GroupBox2->isEnabled());
    EXPECT_FALSE(f.ExportGif1->isEnabled());
    EXPECT_EQ(f.ProgressBar1->value(), 0);
    EXPECT_EQ(platform.BusyDepth, 0);
    for (int v = 1; v <= 7; ++v)
        ASSERT_TRUE(QFile::exists(WorkFileName(QStringLiteral("vw"), v)));
    EXPECT_FALSE(QFile::exists(WorkFileName(QStringLiteral("vwv"), 1)));  // RGB needs no display copy
    EXPECT_TRUE(f.Label24->isVisible());
    EXPECT_EQ(f.Label24->x(), ViewMarkerLeft(f.ScrollBox1->width(), 0));
    EXPECT_EQ(f.Timer1->interval(), 50);
    EXPECT_TRUE(f.Timer1->isActive());

    // Frame by frame: 1..7, 7..1, 1, 2 ...
    const int expected[] = {1, 2, 3, 4, 5, 6, 7, 7, 6, 5, 4, 3, 2, 1, 1, 2};
    for (int view : expected) {
        f.AnimationFrame();
        EXPECT_EQ(ViewOfPreviewTick(f.PreviewTick), view);
        EXPECT_EQ(f.Image1->Picture(), ViewFile(view)) << view;
        EXPECT_EQ(f.Label24->x(), ViewMarkerLeft(f.ScrollBox1->width(), view));
    }
    // The timer itself advances the frames too.
    const int tick = f.PreviewTick;
    QTest::qWait(200);
    EXPECT_NE(f.PreviewTick, tick);

    QTest::mouseClick(f.SpeedButton2, Qt::LeftButton);
    EXPECT_EQ(PreviewStop, 601);
    EXPECT_EQ(AppState, 3);
    EXPECT_EQ(f.PanelText(10), HintExport);
    EXPECT_TRUE(f.SpeedButton1->isEnabled());
    EXPECT_TRUE(f.GroupBox2->isEnabled());
    EXPECT_FALSE(f.SpeedButton2->isEnabled());
    // No frame is loaded once stopped, even with the files gone.
    for (int v = 1; v <= 7; ++v)
        QFile::remove(WorkFileName(QStringLiteral("vw"), v));
    f.AnimationFrame();
    EXPECT_FALSE(f.Animating());
    EXPECT_FALSE(f.Label24->isVisible());
    EXPECT_TRUE(f.ExportGif1->isEnabled());
    EXPECT_TRUE(platform.Messages.isEmpty());
}

TEST_F(PreviewWindowTest, GreyAndCmykDocumentsPlayTheirDisplayCopies)
{
    for (uint16_t mode : {uint16_t(1), uint16_t(4)}) {
        SCOPED_TRACE(mode);
        Open(mode);
        form->SpeedButton9Click();
        form->AnimationFrame();
        ASSERT_TRUE(QFile::exists(WorkFileName(QStringLiteral("vwv"), 1)));
        EXPECT_EQ(BitsPerPixel(LoadImage(WorkFileName(QStringLiteral("vw"), 1))), mode == 1 ? 8 : 32);
        EXPECT_EQ(BitsPerPixel(form->Image1->Picture()), 24);
        EXPECT_EQ(form->Image1->Picture(), ViewFile(1));
        form->FormClose();
        form.reset();
    }
}

TEST_F(PreviewWindowTest, ABadCellIsReportedBeforeAnythingChanges)
{
    Open();
    TForm1 &f = *form;
    f.SetCells(2, 3, QStringLiteral("x7"));
    f.SpeedButton9Click();
    ASSERT_EQ(platform.Messages.size(), 1);
    EXPECT_EQ(platform.Messages[0], QStringLiteral("'x7' is not a valid integer value"));
    EXPECT_TRUE(f.GroupBox2->isEnabled());
    EXPECT_TRUE(f.SpeedButton1->isEnabled());
    EXPECT_FALSE(f.Animating());
    EXPECT_FALSE(QFile::exists(WorkFileName(QStringLiteral("vw"), 1)));
    // Corrected, it goes.
    f.SetCells(2, 3, QStringLiteral("7"));
    f.Edit5->clear();
    f.SpeedButton9Click();
    EXPECT_EQ(f.Edit5->text(), QStringLiteral("75.55"));
    EXPECT_TRUE(f.Animating());
}

TEST_F(PreviewWindowTest, ClosingDuringTheAnimationEndsItCleanly)
{
    Open();
    TForm1 &f = *form;
    f.SpeedButton9Click();
    f.AnimationFrame();
    QTest::qWait(120);
    f.close();
    EXPECT_EQ(QDir(WorkFolder).entryList(QDir::Files), QStringList());
    EXPECT_FALSE(f.Animating());
    QTest::qWait(120);  // a tick after closing reads nothing
    EXPECT_TRUE(platform.Messages.isEmpty()) << platform.Messages.join('\n').toStdString();
}


TEST(DepthGuidance, TheLargestShiftBetweenNeighbouringViewsAgainstTheLens)
{
    ResetDocument();
    ImageWidth = 600;
    Layers.resize(3);
    LayerCount = 3;
    CentreView = 4;
    struct Case {
        Fixed4 Depth;
        std::vector<int32_t> Offsets;  // by layer index, focus 0
        int64_t Lenses, Columns;
        int32_t Row, Canvas;
        double Print, Lens;
        bool Ghosts;
        int32_t Crop = 0;  // columns kept: the print's lenses lie over them alone
    };
    const Case cases[] = {
        // The first case cropped to 300 columns: the same lenses over half the
        // columns, 20 x 60 / 300 = 4 lens widths.
        {2 * Fixed4One, {-60, 30, 0}, 60, 420, 3, 20, 28.0, 4.0, true, 300},
        // 10 pixels a step, 15 lenses over 600 columns: 0.25; over 100 kept: 1.5.
        {Fixed4One, {-60, 30, 0}, 15, 420, 3, 10, 42.0, 1.5, true, 100},
        // -60 x 2 / 6 = 20 pixels a view step, bottom layer (row 3): 20 x 60 / 600 = 2 lens widths.
        {2 * Fixed4One, {-60, 30, 0}, 60, 420, 3, 20, 14.0, 2.0, true},
        // 25 x 2 / 6 = 8.33 a step: the rounded places differ by 8 or 9.
        {2 * Fixed4One, {0, 25, 0}, 100, 700, 2, 9, 10.5, 1.5, true},
        // Half the depth, a quarter of the lenses: under one lens width.
        {Fixed4One, {-60, 30, 0}, 15, 420, 3, 10, 7.0, 0.25, false},
        // Nothing moves with a depth of 0.
        {0, {-60, 30, 0}, 60, 420, 0, 0, 0.0, 0.0, false},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(testing::Message() << c.Depth << " " << c.Lenses);
        Depth = c.Depth;
        CropWidth = c.Crop;
        const DepthGuidance d = DepthGuidanceFor(c.Offsets, 0, c.Lenses, c.Columns);
        EXPECT_EQ(d.Row, c.Row);
        EXPECT_EQ(d.CanvasPixels, c.Canvas);
        EXPECT_DOUBLE_EQ(d.PrintPixels, c.Print);
        EXPECT_DOUBLE_EQ(d.LensWidths, c.Lens);
        EXPECT_EQ(d.Ghosts(), c.Ghosts);
        EXPECT_EQ(DepthGuidanceText(d, 0).contains(QLatin1String("will ghost")), c.Ghosts);
    }
    Depth = Fixed4One;
    CropWidth = 0;
    EXPECT_EQ(DepthGuidanceText(DepthGuidanceFor({-60, 30, 0}, 0, 30, 420), 0),
              QStringLiteral("Largest shift between neighbouring views: 7.0 print pixels, 0.50 of a lens width "
                             "(layer 3)."));
}

TEST_F(PreviewWindowTest, ThePreviewSaysHowFarTheViewsMoveUnderTheLenses)
{
    Open();
    TForm1 &f = *form;
    f.SpeedButton9Click();
    EXPECT_TRUE(f.PanelText(10).contains(QLatin1String("Largest shift between neighbouring views: ")))
        << f.PanelText(10).toStdString();
    EXPECT_FALSE(f.PanelText(10).contains(QLatin1String("ghost")));
    f.SpeedButton2Click();
    f.AnimationFrame();
    f.Edit3->setText(QStringLiteral("10"));  // the largest depth: more than a lens
    f.SpeedButton9Click();
    EXPECT_TRUE(f.PanelText(10).contains(QLatin1String("the picture will ghost"))) << f.PanelText(10).toStdString();
    f.SpeedButton2Click();
    f.AnimationFrame();
}
