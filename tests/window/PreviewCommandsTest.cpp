#include "Document.h"
#include "Picture.h"
#include "PsdBuilder.h"
#include "ScriptedPlatform.h"
#include "TestSupport.h"
#include "Tiff.h"
#include "MainWindow.h"
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
    MainWindow &f = *form;
    QTest::mouseClick(f.PreviewButton, Qt::LeftButton);
    ASSERT_TRUE(platform.Messages.isEmpty()) << platform.Messages.join('\n').toStdString();
    EXPECT_EQ(f.Doc.AppState, 2);
    // The hint, then how far the views move under the lenses.
    EXPECT_TRUE(f.PanelText(10).startsWith(f.HintStopPreview + QStringLiteral("  Largest shift")))
        << f.PanelText(10).toStdString();
    EXPECT_TRUE(f.ExportTiffButton->isEnabled());
    EXPECT_TRUE(f.AnaglyphButton->isEnabled());
    EXPECT_TRUE(f.StopButton->isEnabled());
    EXPECT_FALSE(f.ImportPsdButton->isEnabled());
    EXPECT_FALSE(f.RightPanel->isEnabled());
    EXPECT_FALSE(f.ExportGifItem->isEnabled());
    EXPECT_EQ(f.ProgressBar->value(), 0);
    EXPECT_EQ(platform.BusyDepth, 0);
    for (int v = 1; v <= 7; ++v)
        ASSERT_TRUE(QFile::exists(WorkFileName(QStringLiteral("vw"), v)));
    EXPECT_FALSE(QFile::exists(WorkFileName(QStringLiteral("vwv"), 1)));  // RGB needs no display copy
    EXPECT_TRUE(f.FrontMarker->isVisible());
    EXPECT_EQ(f.FrontMarker->x(), ViewMarkerLeft(f.PictureArea->width(), 0));
    EXPECT_EQ(f.FrameTimer->interval(), 50);
    EXPECT_TRUE(f.FrameTimer->isActive());

    // Frame by frame: 1..7, 7..1, 1, 2 ...
    const int expected[] = {1, 2, 3, 4, 5, 6, 7, 7, 6, 5, 4, 3, 2, 1, 1, 2};
    for (int view : expected) {
        f.AnimationFrame();
        EXPECT_EQ(ViewOfPreviewTick(f.PreviewTick), view);
        EXPECT_EQ(f.PictureView->Picture(), ViewFile(view)) << view;
        EXPECT_EQ(f.FrontMarker->x(), ViewMarkerLeft(f.PictureArea->width(), view));
    }
    // The timer itself advances the frames too.
    const int tick = f.PreviewTick;
    QTest::qWait(200);
    EXPECT_NE(f.PreviewTick, tick);

    QTest::mouseClick(f.StopButton, Qt::LeftButton);
    EXPECT_EQ(f.Doc.PreviewStop, 601);
    EXPECT_EQ(f.Doc.AppState, 3);
    EXPECT_EQ(f.PanelText(10), f.HintExport);
    EXPECT_TRUE(f.ImportPsdButton->isEnabled());
    EXPECT_TRUE(f.RightPanel->isEnabled());
    EXPECT_FALSE(f.StopButton->isEnabled());
    // No frame is loaded once stopped, even with the files gone.
    for (int v = 1; v <= 7; ++v)
        QFile::remove(WorkFileName(QStringLiteral("vw"), v));
    f.AnimationFrame();
    EXPECT_FALSE(f.Animating());
    EXPECT_FALSE(f.FrontMarker->isVisible());
    EXPECT_TRUE(f.ExportGifItem->isEnabled());
    EXPECT_TRUE(platform.Messages.isEmpty());
}

TEST_F(PreviewWindowTest, GreyAndCmykDocumentsPlayTheirDisplayCopies)
{
    for (uint16_t mode : {uint16_t(1), uint16_t(4)}) {
        SCOPED_TRACE(mode);
        Open(mode);
        form->PreviewViews();
        form->AnimationFrame();
        ASSERT_TRUE(QFile::exists(WorkFileName(QStringLiteral("vwv"), 1)));
        EXPECT_EQ(BitsPerPixel(LoadImage(WorkFileName(QStringLiteral("vw"), 1))), mode == 1 ? 8 : 32);
        EXPECT_EQ(BitsPerPixel(form->PictureView->Picture()), 24);
        EXPECT_EQ(form->PictureView->Picture(), ViewFile(1));
        form->ShutDown();
        form.reset();
    }
}

TEST_F(PreviewWindowTest, ABadCellIsReportedBeforeAnythingChanges)
{
    Open();
    MainWindow &f = *form;
    f.SetCells(2, 3, QStringLiteral("x7"));
    f.PreviewViews();
    ASSERT_EQ(platform.Messages.size(), 1);
    EXPECT_EQ(platform.Messages[0], QStringLiteral("'x7' is not a valid integer value"));
    EXPECT_TRUE(f.RightPanel->isEnabled());
    EXPECT_TRUE(f.ImportPsdButton->isEnabled());
    EXPECT_FALSE(f.Animating());
    EXPECT_FALSE(QFile::exists(WorkFileName(QStringLiteral("vw"), 1)));
    // Corrected, it goes.
    f.SetCells(2, 3, QStringLiteral("7"));
    f.LpiEdit->clear();
    f.PreviewViews();
    EXPECT_EQ(f.LpiEdit->text(), QStringLiteral("75.55"));
    EXPECT_TRUE(f.Animating());
}

TEST_F(PreviewWindowTest, ClosingDuringTheAnimationEndsItCleanly)
{
    Open();
    MainWindow &f = *form;
    f.PreviewViews();
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
    Document doc;
    doc.ImageWidth = 600;
    doc.Layers.resize(3);
    doc.LayerCount = 3;
    doc.CentreView = 4;
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
        doc.Depth = c.Depth;
        doc.CropWidth = c.Crop;
        const DepthGuidance d = DepthGuidanceFor(doc, c.Offsets, 0, c.Lenses, c.Columns);
        EXPECT_EQ(d.Row, c.Row);
        EXPECT_EQ(d.CanvasPixels, c.Canvas);
        EXPECT_DOUBLE_EQ(d.PrintPixels, c.Print);
        EXPECT_DOUBLE_EQ(d.LensWidths, c.Lens);
        EXPECT_EQ(d.Ghosts(), c.Ghosts);
        EXPECT_EQ(DepthGuidanceText(d).contains(QLatin1String("will ghost")), c.Ghosts);
    }
    doc.Depth = Fixed4One;
    doc.CropWidth = 0;
    EXPECT_EQ(DepthGuidanceText(DepthGuidanceFor(doc, {-60, 30, 0}, 0, 30, 420)),
              QStringLiteral("Largest shift between neighbouring views: 7.0 print pixels, 0.50 of a lens width "
                             "(layer 3)."));
}

TEST_F(PreviewWindowTest, ThePreviewSaysHowFarTheViewsMoveUnderTheLenses)
{
    Open();
    MainWindow &f = *form;
    f.PreviewViews();
    EXPECT_TRUE(f.PanelText(10).contains(QLatin1String("Largest shift between neighbouring views: ")))
        << f.PanelText(10).toStdString();
    EXPECT_FALSE(f.PanelText(10).contains(QLatin1String("ghost")));
    f.StopAnimation();
    f.AnimationFrame();
    f.DepthEdit->setText(QStringLiteral("10"));  // the largest depth: more than a lens
    f.PreviewViews();
    EXPECT_TRUE(f.PanelText(10).contains(QLatin1String("the picture will ghost"))) << f.PanelText(10).toStdString();
    f.StopAnimation();
    f.AnimationFrame();
}
