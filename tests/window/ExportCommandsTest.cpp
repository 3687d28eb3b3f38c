#include "BmpCodec.h"
#include "Document.h"
#include "Picture.h"
#include "PsdBuilder.h"
#include "ReliefLines.h"
#include "ScriptedPlatform.h"
#include "TestSupport.h"
#include "Tiff.h"
#include "MainWindow.h"
#include "WindowTest.h"
#include "ViewSet.h"
#include "WorkFolder.h"

#include <QAction>
#include <algorithm>
#include <QCheckBox>
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

using ExportWindowTest = ImportedWindowTest;

TEST_F(ExportWindowTest, ExportWritesThePrintAndEndsTheAnimation)
{
    Open();
    MainWindow &f = *form;
    f.PreviewViews();
    const QString print = platform.Sandbox.path() + QStringLiteral("/doc.tif");
    platform.SaveAnswers.push_back(print);
    f.DpiCombo->setEditText(QStringLiteral("(Auto)"));
    QTest::mouseClick(f.ExportTiffButton, Qt::LeftButton);
    ASSERT_TRUE(platform.Messages.isEmpty()) << platform.Messages.join('\n').toStdString();
    ASSERT_EQ(platform.DialogRequests.size(), 1u);
    EXPECT_EQ(platform.DialogRequests[0].Title, QStringLiteral("Export  Line Tiff"));
    EXPECT_EQ(platform.DialogRequests[0].FileName, platform.Sandbox.path() + QStringLiteral("/doc.tif"));
    EXPECT_TRUE(platform.DialogRequests[0].PromptOverwrite);
    const TiffInfo info = ReadTiffInfo(print);
    EXPECT_EQ(info.Width % 7, 0);  // "(Auto)": 7 columns per lens
    EXPECT_EQ(f.Doc.OutputDpi, 7 * f.Doc.Lpi);
    EXPECT_EQ(f.FullViewFiles.size(), 7);
    EXPECT_TRUE(f.FullViewFiles[0].endsWith(QLatin1String("vwd007.gjs")));
    EXPECT_TRUE(f.ExportPsdItem->isEnabled());
    EXPECT_TRUE(f.isEnabled());
    EXPECT_EQ(f.ProgressBar->value(), 0);
    EXPECT_EQ(platform.BusyDepth, 0);
    EXPECT_EQ(platform.Beeps, 2);  // import and export
    EXPECT_EQ(f.Doc.PreviewStop, 601);
    f.AnimationFrame();
    EXPECT_FALSE(f.Animating());

    // Closing after an export with "(Auto)" remembers "(Auto)".
    f.close();
    const QByteArray settings = ReadFileBytes(platform.ProgramDir + QStringLiteral("/vistrelt.inf"));
    EXPECT_TRUE(settings.contains(" 1.00000000000000E+0004")) << settings.constData();
}

TEST_F(ExportWindowTest, AFailedExportLeavesTheWindowUsableAndNoFile)
{
    Open();
    MainWindow &f = *form;
    f.PreviewViews();
    // A folder that is not there.
    const QString print = platform.Sandbox.path() + QStringLiteral("/missing/doc.tif");
    platform.SaveAnswers.push_back(print);
    f.ExportInterlacedPrint();
    ASSERT_EQ(platform.Messages.size(), 1);
    EXPECT_TRUE(platform.Messages[0].contains(QLatin1String("doc.tif"))) << platform.Messages[0].toStdString();
    EXPECT_TRUE(f.isEnabled());
    EXPECT_EQ(platform.BusyDepth, 0);
    EXPECT_FALSE(f.ExportPsdItem->isEnabled());
    EXPECT_FALSE(QFile::exists(print));

    // A field that is not a number: its message, nothing composed.
    platform.Messages.clear();
    f.WidthEdit->blockSignals(true);
    f.WidthEdit->setText(QStringLiteral("wide"));
    f.WidthEdit->blockSignals(false);
    QFile::remove(WorkFileName3(QStringLiteral("vwd"), 7));
    platform.SaveAnswers.push_back(platform.Sandbox.path() + QStringLiteral("/doc.tif"));
    f.ExportInterlacedPrint();
    EXPECT_EQ(platform.Messages, QStringList{QStringLiteral("'wide' is not a valid floating point value")});
    EXPECT_FALSE(QFile::exists(WorkFileName3(QStringLiteral("vwd"), 7)));
    // Cancelling the dialog does nothing at all.
    platform.Messages.clear();
    f.ExportInterlacedPrint();
    EXPECT_TRUE(platform.Messages.isEmpty());
}

TEST_F(ExportWindowTest, OtherOutputsFromTheWindow)
{
    Open();
    MainWindow &f = *form;
    f.PreviewViews();
    // The anaglyph stops the animation, shows the picture, saves it beside the PSD.
    QTest::mouseClick(f.AnaglyphButton, Qt::LeftButton);
    EXPECT_FALSE(f.Animating());
    EXPECT_EQ(f.Doc.AppState, 3);
    const QString anaglyph = platform.Sandbox.path() + QStringLiteral("/doc_qz58.bmp");
    ASSERT_TRUE(QFile::exists(anaglyph));
    EXPECT_EQ(f.PictureView->Picture(), LoadImage(anaglyph));
    EXPECT_EQ(platform.Messages, QStringList{QStringLiteral("Please put on 3d glasses to see the 3d picture.")});
    EXPECT_EQ(f.OpenProjectFileName, platform.Sandbox.path() + QStringLiteral("/doc.hx4p3"));
    // In Chinese the message is Chinese.
    platform.Messages.clear();
    f.LanguageItem->trigger();
    f.ShowAnaglyph();
    EXPECT_EQ(platform.Messages, QStringList{QStringLiteral("请戴上红绿立体眼镜,观看立体效果.")});
    f.LanguageItem->trigger();  // English again

    // The GIF, once the animation has ended.
    ASSERT_TRUE(f.ExportGifItem->isEnabled());
    const QString gif = platform.Sandbox.path() + QStringLiteral("/doc.gif");
    platform.SaveAnswers.push_back(gif);
    f.ExportAnimatedGif();
    EXPECT_EQ(platform.DialogRequests.back().Title, QStringLiteral("Gif save"));
    EXPECT_EQ(platform.DialogRequests.back().FileName, gif);
    EXPECT_EQ(ReadFileBytes(gif).count("NETSCAPE2.0"), 14);

    // The layered PSD needs the views of a print export first.
    EXPECT_FALSE(f.ExportPsdItem->isEnabled());
    platform.SaveAnswers.push_back(platform.Sandbox.path() + QStringLiteral("/doc.tif"));
    f.ExportInterlacedPrint();
    ASSERT_TRUE(f.ExportPsdItem->isEnabled());
    const QString layered = platform.Sandbox.path() + QStringLiteral("/doc_3D.psd");
    platform.SaveAnswers.push_back(layered);
    f.ExportLayeredPsd();
    EXPECT_EQ(platform.DialogRequests.back().Title, QStringLiteral("Export *.psd"));
    EXPECT_EQ(platform.DialogRequests.back().FileName, layered);
    EXPECT_EQ(ReadFileBytes(layered).left(4), QByteArray("8BPS"));
    EXPECT_EQ(platform.BusyDepth, 0);
}

TEST_F(ExportWindowTest, AnOutputThatFailsHalfWayLeavesNoBrokenFile)
{
    Open();
    MainWindow &f = *form;
    f.PreviewViews();
    platform.SaveAnswers.push_back(platform.Sandbox.path() + QStringLiteral("/doc.tif"));
    f.ExportInterlacedPrint();
    f.StopAnimation();
    f.AnimationFrame();
    // The first layered PSD composes the full-resolution view files.
    platform.SaveAnswers.push_back(platform.Sandbox.path() + QStringLiteral("/first_3D.psd"));
    f.ExportLayeredPsd();
    ASSERT_TRUE(platform.Messages.isEmpty());
    EXPECT_TRUE(QFile::exists(WorkFileName3(QStringLiteral("vwd"), 4)));

    // Earlier outputs of the same names stay whole when a view file has gone.
    const QString layered = platform.Sandbox.path() + QStringLiteral("/doc_3D.psd");
    const QString gif = platform.Sandbox.path() + QStringLiteral("/doc.gif");
    WriteFileBytes(layered, "earlier PSD");
    WriteFileBytes(gif, "earlier GIF");
    QFile::remove(WorkFileName3(QStringLiteral("vwd"), 4));
    QFile::remove(WorkFileName(QStringLiteral("vw"), 6));
    platform.SaveAnswers = {layered, gif};
    f.ExportLayeredPsd();
    f.ExportAnimatedGif();
    f.ShowAnaglyph();
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
    EXPECT_EQ(f.ProgressBar->value(), 0);

    // A folder that cannot be written: the message, nothing made.
    platform.Messages.clear();
    platform.SaveAnswers = {platform.Sandbox.path() + QStringLiteral("/gone/doc.gif")};
    QFile::copy(WorkFileName(QStringLiteral("vw"), 5), WorkFileName(QStringLiteral("vw"), 6));
    f.ExportAnimatedGif();
    EXPECT_EQ(platform.Messages.size(), 1);
    EXPECT_FALSE(QFile::exists(platform.Sandbox.path() + QStringLiteral("/gone/doc.gif")));
}

TEST_F(ExportWindowTest, EachCommandRunsTheProgressBarOnceFromZeroToAHundred)
{
    Open();
    MainWindow &f = *form;
    // A relief still to render makes the preview and the export longer roads.
    f.Doc.LayerLines.assign(size_t(f.Doc.LayerCount), EmptyLineSet());
    f.Doc.LayerLines[size_t(f.Doc.LayerCount - 1)][0] = {ContourLine{{100, 5}, {200, 5}, {200, 60}, {100, 60}}};
    f.Doc.Layers[size_t(f.Doc.LayerCount - 1)].GroupId = GroupReliefToRender;
    std::vector<int> seen;
    QObject::connect(f.ProgressBar, &QProgressBar::valueChanged, [&](int v) { seen.push_back(v); });
    struct Case {
        const char *Name;
        std::function<void()> Run;
    };
    const Case commands[] = {
        {"preview", [&] { f.PreviewViews(); f.StopAnimation(); }},
        {"print", [&] {
             f.Doc.Layers[size_t(f.Doc.LayerCount - 1)].GroupId = GroupReliefToRender;
             platform.SaveAnswers.push_back(platform.Sandbox.path() + QStringLiteral("/doc.tif"));
             f.ExportInterlacedPrint();
         }},
        {"layered PSD", [&] {
             platform.SaveAnswers.push_back(platform.Sandbox.path() + QStringLiteral("/doc_3D.psd"));
             f.ExportLayeredPsd();
         }},
    };
    for (const Case &c : commands) {
        SCOPED_TRACE(c.Name);
        seen.clear();
        c.Run();
        ASSERT_TRUE(platform.Messages.isEmpty()) << platform.Messages.join('\n').toStdString();
        // Up to 100 without going back, then 0 when the command is over.
        ASSERT_GE(seen.size(), 2u);
        EXPECT_EQ(seen.back(), 0);
        seen.pop_back();
        EXPECT_TRUE(std::is_sorted(seen.begin(), seen.end())) << testing::PrintToString(seen);
        EXPECT_EQ(seen.back(), 100);
    }
}

TEST_F(ExportWindowTest, TheLayeredPsdIsMadeOfTheViewsAsPrinted)
{
    Open();
    MainWindow &f = *form;
    platform.SaveAnswers.push_back(platform.Sandbox.path() + QStringLiteral("/doc.tif"));
    f.ExportInterlacedPrint();
    ASSERT_TRUE(platform.Messages.isEmpty()) << platform.Messages.join('\n').toStdString();
    // A relief given to a layer after the print: the PSD would not show the
    // print's views, so it is refused until the print is made again.
    f.Doc.Layers[size_t(f.Doc.LayerCount - 1)].GroupId = GroupReliefToRender;
    const QString layered = platform.Sandbox.path() + QStringLiteral("/doc_3D.psd");
    platform.SaveAnswers.push_back(layered);
    f.ExportLayeredPsd();
    EXPECT_EQ(platform.Messages, QStringList{QStringLiteral("The layers have changed since the print was made. Export "
                                                            "the print again, then the layered PSD.")});
    EXPECT_FALSE(QFile::exists(layered));
    platform.Messages.clear();
    platform.SaveAnswers = {platform.Sandbox.path() + QStringLiteral("/doc.tif"), layered};
    f.ExportInterlacedPrint();
    f.ExportLayeredPsd();
    EXPECT_TRUE(platform.Messages.isEmpty()) << platform.Messages.join('\n').toStdString();
    EXPECT_TRUE(QFile::exists(layered));
}

TEST_F(ExportWindowTest, TheStatusBarNamesEachFileWrittenAndItsSize)
{
    Open();
    MainWindow &f = *form;
    f.PreviewViews();
    f.StopAnimation();
    f.AnimationFrame();
    f.DpiCombo->setEditText(QStringLiteral("720"));
    f.WidthEdit->setText(QStringLiteral("5"));
    const QString folder = platform.Sandbox.path() + QLatin1Char('/');
    platform.SaveAnswers = {folder + QStringLiteral("doc.tif"), folder + QStringLiteral("doc_3D.psd"),
                            folder + QStringLiteral("doc.gif")};
    // 5 cm at 42.45 lpi: 84 lenses, 1425 columns at 720 dpi; 1.6667 cm high: 472 rows.
    f.ExportInterlacedPrint();
    EXPECT_EQ(f.PanelText(10), QStringLiteral("doc.tif written: 1 425 x 472 pixels, 5 x 1.67 cm."));
    // The layered PSD has the canvas: 210 x 70 pixels, and its size at the document's resolution.
    f.ExportLayeredPsd();
    EXPECT_EQ(f.PanelText(10), QStringLiteral("doc_3D.psd written: 210 x 70 pixels, %1 x %2 cm.")
                                   .arg(ShortText(double(RoundDiv(f.Doc.PsdWidthCm, 100)) / 100),
                                        ShortText(double(RoundDiv(f.Doc.PsdHeightCm, 100)) / 100)));
    f.ExportAnimatedGif();
    EXPECT_TRUE(f.PanelText(10).startsWith(QStringLiteral("doc.gif written: 210 x 70 pixels, "))) << f.PanelText(10).toStdString();
    f.ShowAnaglyph();
    EXPECT_TRUE(f.PanelText(10).startsWith(QStringLiteral("doc_qz58.bmp written: 210 x 70 pixels, ")))
        << f.PanelText(10).toStdString();
    ASSERT_EQ(platform.Messages.size(), 1);  // the anaglyph's hint
}

TEST_F(ExportWindowTest, TheCropCheckBoxCutsTheViewsOfThePreviewAndThePrint)
{
    Open();
    MainWindow &f = *form;
    EXPECT_FALSE(f.CropEdgesCheck->isChecked());  // off: the outputs stay as they were
    f.DepthEdit->setText(QStringLiteral("10"));
    f.CropEdgesCheck->setChecked(true);
    f.PreviewViews();
    ASSERT_TRUE(platform.Messages.isEmpty()) << platform.Messages.join('\n').toStdString();
    ASSERT_GT(f.Doc.CropWidth, 0);
    EXPECT_TRUE(f.PanelText(10).contains(QLatin1String("columns cut at the edges"))) << f.PanelText(10).toStdString();
    EXPECT_LT(LoadImage(WorkFileName(QStringLiteral("vw"), 1)).width(), f.Doc.WorkWidth);
    f.StopAnimation();
    f.AnimationFrame();
    platform.SaveAnswers.push_back(platform.Sandbox.path() + QStringLiteral("/doc.tif"));
    f.ExportInterlacedPrint();
    ASSERT_TRUE(platform.Messages.isEmpty()) << platform.Messages.join('\n').toStdString();
    EXPECT_TRUE(f.PanelText(10).contains(QLatin1String("columns cut at the edges"))) << f.PanelText(10).toStdString();
    // Off again: the whole canvas.
    f.CropEdgesCheck->setChecked(false);
    f.PreviewViews();
    EXPECT_EQ(f.Doc.CropWidth, 0);
    EXPECT_EQ(LoadImage(WorkFileName(QStringLiteral("vw"), 1)).width(), f.Doc.WorkWidth);
    f.StopAnimation();
    f.AnimationFrame();
}

// A square in the artwork stays square in a cropped print, from the window and
// from the batch mode with a project that stores a height; the project the
// batch mode saves keeps the print as set, uncropped.
TEST_F(WindowTest, ACroppedPrintKeepsASquareSquare)
{
    PsdBuilder b;
    b.Width = 300;
    b.Height = 200;
    b.AddLayer(0, 0, 300, 200, {255, 255, 255});  // moves: the outer views leave the edges bare
    b.AddLayer(120, 70, 60, 60, {0, 0, 0});       // the square, at the focus: never moves
    b.AddLayer(10, 10, 20, 20, {200, 200, 200});
    MainWindow &f = Start();
    ASSERT_TRUE(f.ImportPsd(WritePsd(QStringLiteral("doc.psd"), b.Build())));
    f.SetCells(2, 1, QStringLiteral("0"));
    f.SetCells(2, 2, QStringLiteral("0"));
    f.SetCells(2, 3, QStringLiteral("40"));
    f.FocusEdit->setText(QStringLiteral("2"));
    f.DepthEdit->setText(QStringLiteral("1"));
    f.LpiEdit->setText(QStringLiteral("60"));
    f.DpiCombo->setEditText(QStringLiteral("600"));
    f.WidthEdit->setText(QStringLiteral("10"));
    const QString storedHeight = f.HeightEdit->text();
    f.CropEdgesCheck->setChecked(true);
    f.PreviewViews();
    f.StopAnimation();
    const QString windowPrint = platform.Sandbox.path() + QStringLiteral("/window.tif");
    platform.SaveAnswers.push_back(windowPrint);
    f.ExportInterlacedPrint();
    ASSERT_TRUE(platform.Messages.isEmpty()) << platform.Messages.join('\n').toStdString();
    ASSERT_EQ(f.Doc.CropWidth, 260);  // the outer views move the background 20 columns
    EXPECT_EQ(f.HeightEdit->text(), storedHeight);
    QTest::mouseClick(f.SaveProjectButton, Qt::LeftButton);  // doc.hx4p3 beside the PSD
    ASSERT_TRUE(platform.Messages.isEmpty()) << platform.Messages.join('\n').toStdString();

    const QString project = platform.Sandbox.path() + QStringLiteral("/doc.hx4p3");
    const QString batchPrint = platform.Sandbox.path() + QStringLiteral("/batch.tif");
    const QString saved = platform.Sandbox.path() + QStringLiteral("/again.hx4p3");
    int code = -1;
    QByteArray err;
    RunProgram(VistrelProgram(), {QStringLiteral("--crop-edges"), QStringLiteral("--export-tiff"), batchPrint,
                                  QStringLiteral("--save-project"), saved, project},
               &code, &err);
    ASSERT_EQ(code, 0) << err.toStdString();
    // The resolution line (the ninth) of the saved project holds the width and
    // height as set, uncropped (the crop's height would be 7.69 cm).
    auto widthAndHeight = [](const QString &file) {
        const QList<QByteArray> fields = ReadFileBytes(file).split('\n').value(8).simplified().split(' ');
        return std::make_pair(fields.value(1).toDouble(), fields.value(2).toDouble());
    };
    EXPECT_NEAR(widthAndHeight(saved).first, 10, 1e-4);
    EXPECT_NEAR(widthAndHeight(saved).second, widthAndHeight(project).second, 1e-4);

    for (const QString &path : {windowPrint, batchPrint}) {
        SCOPED_TRACE(path.toStdString());
        const QImage print = LoadTiffBitmap(path);
        ASSERT_FALSE(print.isNull());
        int left = print.width(), right = -1, top = print.height(), bottom = -1;
        for (int y = 0; y < print.height(); ++y)
            for (int x = 0; x < print.width(); ++x)
                if (qGray(print.pixel(x, y)) < 50) {
                    left = std::min(left, x), right = std::max(right, x);
                    top = std::min(top, y), bottom = std::max(bottom, y);
                }
        ASSERT_GE(right, left);
        const int width = right - left + 1, height = bottom - top + 1;
        // 60 of 260 columns of a 10 cm print at 600 dpi: about 545 pixels.
        EXPECT_NEAR(width, 545, 15);
        EXPECT_NEAR(double(width) / height, 1.0, 0.02) << width << " x " << height;
    }
}

// A print that would ghost is exported only when the designer says so.
TEST_F(ExportWindowTest, APrintThatWouldGhostAsksBeforeItIsMade)
{
    Open();
    MainWindow &f = *form;
    f.DepthEdit->setText(QStringLiteral("10"));
    f.LpiEdit->setText(QStringLiteral("100"));
    f.PreviewViews();
    f.StopAnimation();
    const QString print = platform.Sandbox.path() + QStringLiteral("/doc.tif");
    for (bool anyway : {false, true}) {
        SCOPED_TRACE(anyway);
        platform.ProceedQuestions.clear();
        platform.SaveAnswers.push_back(print);
        platform.ProceedAnswers.push_back(anyway);
        f.ExportInterlacedPrint();
        EXPECT_TRUE(platform.Messages.isEmpty()) << platform.Messages.join('\n').toStdString();
        ASSERT_EQ(platform.ProceedQuestions.size(), 1);
        EXPECT_TRUE(platform.ProceedQuestions[0].contains(QLatin1String("the picture will ghost")) &&
                    platform.ProceedQuestions[0].endsWith(QLatin1String("[Export anyway / Cancel]")))
            << platform.ProceedQuestions[0].toStdString();
        EXPECT_EQ(QFile::exists(print), anyway);
        EXPECT_EQ(f.Doc.PrintWritten, anyway ? 1 : 0);
    }
    // A depth that does not ghost is not asked about.
    f.DepthEdit->setText(QStringLiteral("0.2"));
    f.PreviewViews();
    f.StopAnimation();
    platform.ProceedQuestions.clear();
    platform.SaveAnswers.push_back(print);
    f.ExportInterlacedPrint();
    EXPECT_TRUE(platform.ProceedQuestions.isEmpty()) << platform.ProceedQuestions.join('\n').toStdString();
}

TEST_F(ExportWindowTest, TheOutputPageLiftsTheWidthAndAsksCompressionBleedAndMarksKeptForTheNextRun)
{
    Open();
    MainWindow &f = *form;
    // 30 cm is brought to 21 until the widest print is lifted.
    f.WidthEdit->setText(QStringLiteral("30"));
    EXPECT_EQ(f.WidthEdit->text(), QStringLiteral("21"));
    f.MaxWidthEdit->setText(QStringLiteral("no"));
    emit f.MaxWidthEdit->editingFinished();
    EXPECT_EQ(f.MaxWidthEdit->text(), QStringLiteral("21"));  // no number: the one in force stays
    f.MaxWidthEdit->setText(QStringLiteral("40"));
    emit f.MaxWidthEdit->editingFinished();
    f.WidthEdit->setText(QStringLiteral("30"));
    EXPECT_EQ(f.WidthEdit->text(), QStringLiteral("30"));

    f.CompressionCombo->setCurrentIndex(1);
    emit f.CompressionCombo->activated(1);
    const QString print = platform.Sandbox.path() + QStringLiteral("/wide.tif");
    platform.SaveAnswers.push_back(print);
    f.ExportInterlacedPrint();
    ASSERT_TRUE(platform.Messages.isEmpty()) << platform.Messages.join('\n').toStdString();
    int code = -1;
    const QByteArray info = RunProgram(QStringLiteral("tiffinfo"), {print}, &code);
    EXPECT_TRUE(info.contains("Compression Scheme: LZW")) << info.toStdString();
    // Bleed and marks: at 720 dpi 3 mm of bleed is 85 pixels and the marks' 12 mm 340, on every side.
    f.CompressionCombo->setCurrentIndex(0);
    const QString plain = platform.Sandbox.path() + QStringLiteral("/plain.tif");
    platform.SaveAnswers.push_back(plain);
    f.ExportInterlacedPrint();
    f.BleedEdit->setText(QStringLiteral("3"));
    emit f.BleedEdit->editingFinished();
    f.MarksCheck->setChecked(true);
    const QString marked = platform.Sandbox.path() + QStringLiteral("/marked.tif");
    platform.SaveAnswers.push_back(marked);
    f.ExportInterlacedPrint();
    ASSERT_TRUE(platform.Messages.isEmpty()) << platform.Messages.join('\n').toStdString();
    EXPECT_EQ(ReadTiffInfo(marked).Width, ReadTiffInfo(plain).Width + 2 * (85 + 340));
    EXPECT_EQ(ReadTiffInfo(marked).Height, ReadTiffInfo(plain).Height + 2 * (85 + 340));
    // The profile asked of a PSD that has none: the status says so.
    f.EmbedIccCheck->setChecked(true);
    platform.SaveAnswers.push_back(plain);
    f.ExportInterlacedPrint();
    EXPECT_TRUE(f.PanelText(10).contains(QLatin1String("The PSD holds no colour profile; none is embedded.")));

    // The next run starts with all of them.
    form.reset();
    MainWindow &again = Start();
    EXPECT_EQ(again.MaxWidthEdit->text(), QStringLiteral("40"));
    EXPECT_EQ(again.Doc.MaxWidthCm, 40 * Fixed4One);
    EXPECT_EQ(again.CompressionCombo->currentIndex(), 1);
    EXPECT_EQ(again.BleedEdit->text(), QStringLiteral("3"));
    EXPECT_TRUE(again.MarksCheck->isChecked());
    EXPECT_TRUE(again.EmbedIccCheck->isChecked());
}
