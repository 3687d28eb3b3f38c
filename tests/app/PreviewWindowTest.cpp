#include "BmpCodec.h"
#include "Document.h"
#include "Picture.h"
#include "PsdBuilder.h"
#include "ScriptedPlatform.h"
#include "TestSupport.h"
#include "Tiff.h"
#include "Unit1.h"
#include "ViewSet.h"
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

namespace {

// Seven ungrouped layers so that every view differs.
QByteArray Document(uint16_t mode)
{
    PsdBuilder b;
    b.Width = 210;
    b.Height = 70;
    b.ColorMode = mode;
    const size_t channels = mode == 1 ? 1 : mode == 3 ? 3 : 4;
    b.AddLayer(0, 0, 210, 70, std::vector<uint8_t>(channels, 250));
    for (int i = 0; i < 6; ++i)
        b.AddLayer(20 + 30 * i, 10, 20, 40, std::vector<uint8_t>(channels, uint8_t(30 * i)));
    return b.Build();
}

class PreviewWindowTest : public ::testing::Test {
protected:
    void Open(uint16_t mode = 3)
    {
        ResetDocument();
        form = std::make_unique<TForm1>();
        form->resize(1000, 700);
        form->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(form.get()));
        ASSERT_TRUE(form->FormCreate());
        psd = platform.Sandbox.path() + QStringLiteral("/doc.psd");
        WriteFileBytes(psd, Document(mode));
        PsdPath = psd;
        ASSERT_TRUE(form->ImportPsd());
    }
    void TearDown() override
    {
        if (form)
            form->FormClose();
    }
    QImage ViewFile(int view) const
    {
        return LoadImage(WorkFileName(PsdColorMode == 3 ? QStringLiteral("vw") : QStringLiteral("vwv"), view));
    }

    ScriptedPlatform platform;
    std::unique_ptr<TForm1> form;
    QString psd;
};

}  // namespace

TEST_F(PreviewWindowTest, ViewsPlayForthAndBackUntilStopped)
{
    Open();
    TForm1 &f = *form;
    QTest::mouseClick(f.SpeedButton9, Qt::LeftButton);
    ASSERT_TRUE(platform.Messages.isEmpty()) << platform.Messages.join('\n').toStdString();
    EXPECT_EQ(AppState, 2);
    EXPECT_EQ(f.PanelText(10), HintStopPreview);
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

TEST_F(PreviewWindowTest, ExportWritesThePrintAndEndsTheAnimation)
{
    Open();
    TForm1 &f = *form;
    f.SpeedButton9Click();
    const QString print = platform.Sandbox.path() + QStringLiteral("/doc.tif");
    platform.SaveAnswers.push_back(print);
    f.ComboBox2->setEditText(QStringLiteral("(Auto)"));
    QTest::mouseClick(f.SpeedButton29, Qt::LeftButton);
    ASSERT_TRUE(platform.Messages.isEmpty()) << platform.Messages.join('\n').toStdString();
    ASSERT_EQ(platform.DialogRequests.size(), 1u);
    EXPECT_EQ(platform.DialogRequests[0].Title, QStringLiteral("Export  Line Tiff"));
    EXPECT_EQ(platform.DialogRequests[0].FileName, platform.Sandbox.path() + QStringLiteral("/doc.tif"));
    EXPECT_TRUE(platform.DialogRequests[0].PromptOverwrite);
    const TiffInfo info = ReadTiffInfo(print);
    EXPECT_EQ(info.Width % 7, 0);  // "(Auto)": 7 columns per lens
    EXPECT_EQ(OutputDpi, 7 * Lpi);
    EXPECT_EQ(f.ListBox1.size(), 7);
    EXPECT_TRUE(f.ListBox1[0].endsWith(QLatin1String("vwd007.gjs")));
    EXPECT_TRUE(f.PSD1->isEnabled());
    EXPECT_TRUE(f.isEnabled());
    EXPECT_EQ(f.ProgressBar1->value(), 0);
    EXPECT_EQ(platform.BusyDepth, 0);
    EXPECT_EQ(platform.Beeps, 2);  // import and export
    EXPECT_EQ(PreviewStop, 601);
    f.AnimationFrame();
    EXPECT_FALSE(f.Animating());

    // Closing after an export with "(Auto)" remembers "(Auto)".
    f.close();
    const QByteArray settings = ReadFileBytes(platform.ProgramDir + QStringLiteral("/vistrelt.inf"));
    EXPECT_TRUE(settings.contains(" 1.00000000000000E+0004")) << settings.constData();
}

TEST_F(PreviewWindowTest, AFailedExportLeavesTheWindowUsableAndNoFile)
{
    Open();
    TForm1 &f = *form;
    f.SpeedButton9Click();
    // A folder that is not there.
    const QString print = platform.Sandbox.path() + QStringLiteral("/missing/doc.tif");
    platform.SaveAnswers.push_back(print);
    f.BitBtn3Click();
    ASSERT_EQ(platform.Messages.size(), 1);
    EXPECT_TRUE(platform.Messages[0].contains(QLatin1String("doc.tif"))) << platform.Messages[0].toStdString();
    EXPECT_TRUE(f.isEnabled());
    EXPECT_EQ(platform.BusyDepth, 0);
    EXPECT_FALSE(f.PSD1->isEnabled());
    EXPECT_FALSE(QFile::exists(print));

    // A field that is not a number: its message, nothing composed.
    platform.Messages.clear();
    f.Edit9->blockSignals(true);
    f.Edit9->setText(QStringLiteral("wide"));
    f.Edit9->blockSignals(false);
    QFile::remove(WorkFileName3(QStringLiteral("vwd"), 7));
    platform.SaveAnswers.push_back(platform.Sandbox.path() + QStringLiteral("/doc.tif"));
    f.BitBtn3Click();
    EXPECT_EQ(platform.Messages, QStringList{QStringLiteral("'wide' is not a valid floating point value")});
    EXPECT_FALSE(QFile::exists(WorkFileName3(QStringLiteral("vwd"), 7)));
    // Cancelling the dialog does nothing at all.
    platform.Messages.clear();
    f.BitBtn3Click();
    EXPECT_TRUE(platform.Messages.isEmpty());
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

TEST_F(PreviewWindowTest, OtherOutputsFromTheWindow)
{
    Open();
    TForm1 &f = *form;
    f.SpeedButton9Click();
    // The anaglyph stops the animation, shows the picture, saves it beside the PSD.
    QTest::mouseClick(f.SpeedButton5, Qt::LeftButton);
    EXPECT_FALSE(f.Animating());
    EXPECT_EQ(AppState, 3);
    const QString anaglyph = platform.Sandbox.path() + QStringLiteral("/doc_qz58.bmp");
    ASSERT_TRUE(QFile::exists(anaglyph));
    EXPECT_EQ(f.Image1->Picture(), LoadImage(anaglyph));
    EXPECT_EQ(platform.Messages, QStringList{QStringLiteral("Please put on 3d glasses to see the 3d picture.")});
    EXPECT_EQ(f.OpenDialog1FileName, platform.Sandbox.path() + QStringLiteral("/doc.hx4p3"));
    // In Chinese the message is Chinese.
    platform.Messages.clear();
    f.Languages1->trigger();
    f.SpeedButton5Click();
    EXPECT_EQ(platform.Messages, QStringList{QStringLiteral("请戴上红绿立体眼镜,观看立体效果.")});

    // The GIF, once the animation has ended.
    ASSERT_TRUE(f.ExportGif1->isEnabled());
    const QString gif = platform.Sandbox.path() + QStringLiteral("/doc.gif");
    platform.SaveAnswers.push_back(gif);
    f.ExportGif1Click();
    EXPECT_EQ(platform.DialogRequests.back().Title, QStringLiteral("Gif save"));
    EXPECT_EQ(platform.DialogRequests.back().FileName, gif);
    EXPECT_EQ(ReadFileBytes(gif).count("NETSCAPE2.0"), 14);

    // The layered PSD needs the views of a print export first.
    EXPECT_FALSE(f.PSD1->isEnabled());
    platform.SaveAnswers.push_back(platform.Sandbox.path() + QStringLiteral("/doc.tif"));
    f.BitBtn3Click();
    ASSERT_TRUE(f.PSD1->isEnabled());
    const QString layered = platform.Sandbox.path() + QStringLiteral("/doc_3D.psd");
    platform.SaveAnswers.push_back(layered);
    f.PSD1Click();
    EXPECT_EQ(platform.DialogRequests.back().Title, QStringLiteral("Export *.psd"));
    EXPECT_EQ(platform.DialogRequests.back().FileName, layered);
    EXPECT_EQ(ReadFileBytes(layered).left(4), QByteArray("8BPS"));
    EXPECT_EQ(platform.BusyDepth, 0);
}

TEST_F(PreviewWindowTest, AnOutputThatFailsHalfWayLeavesNoBrokenFile)
{
    Open();
    TForm1 &f = *form;
    f.SpeedButton9Click();
    platform.SaveAnswers.push_back(platform.Sandbox.path() + QStringLiteral("/doc.tif"));
    f.BitBtn3Click();
    f.SpeedButton2Click();
    f.AnimationFrame();
    ASSERT_TRUE(platform.Messages.isEmpty());

    // Earlier outputs of the same names stay whole when a view file has gone.
    const QString layered = platform.Sandbox.path() + QStringLiteral("/doc_3D.psd");
    const QString gif = platform.Sandbox.path() + QStringLiteral("/doc.gif");
    WriteFileBytes(layered, "earlier PSD");
    WriteFileBytes(gif, "earlier GIF");
    QFile::remove(WorkFileName3(QStringLiteral("vwd"), 4));
    QFile::remove(WorkFileName(QStringLiteral("vw"), 6));
    platform.SaveAnswers = {layered, gif};
    f.PSD1Click();
    f.ExportGif1Click();
    f.SpeedButton5Click();
    ASSERT_EQ(platform.Messages.size(), 3) << platform.Messages.join('\n').toStdString();
    EXPECT_TRUE(platform.Messages[0].contains(QLatin1String("vwd004.gjs"))) << platform.Messages[0].toStdString();
    EXPECT_TRUE(platform.Messages[1].contains(QLatin1String("vw6.gjs"))) << platform.Messages[1].toStdString();
    EXPECT_TRUE(platform.Messages[2].contains(QLatin1String("vw6.gjs"))) << platform.Messages[2].toStdString();
    EXPECT_EQ(ReadFileBytes(layered), QByteArray("earlier PSD"));
    EXPECT_EQ(ReadFileBytes(gif), QByteArray("earlier GIF"));
    EXPECT_FALSE(QFile::exists(platform.Sandbox.path() + QStringLiteral("/doc_qz58.bmp")));
    EXPECT_EQ(QDir(platform.Sandbox.path()).entryList(QDir::Files).filter(QStringLiteral("doc")).size(), 4)
        << QDir(platform.Sandbox.path()).entryList(QDir::Files).join(' ').toStdString();  // psd, tif, _3D.psd, gif
    EXPECT_TRUE(f.isEnabled());
    EXPECT_EQ(platform.BusyDepth, 0);
    EXPECT_EQ(f.ProgressBar1->value(), 0);

    // A folder that cannot be written: the message, nothing made.
    platform.Messages.clear();
    platform.SaveAnswers = {platform.Sandbox.path() + QStringLiteral("/gone/doc.gif")};
    QFile::copy(WorkFileName(QStringLiteral("vw"), 5), WorkFileName(QStringLiteral("vw"), 6));
    f.ExportGif1Click();
    EXPECT_EQ(platform.Messages.size(), 1);
    EXPECT_FALSE(QFile::exists(platform.Sandbox.path() + QStringLiteral("/gone/doc.gif")));
}
