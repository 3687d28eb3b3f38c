#include "BmpCodec.h"
#include "Document.h"
#include "Picture.h"
#include "PsdBuilder.h"
#include "ReliefLines.h"
#include "ScriptedPlatform.h"
#include "TestSupport.h"
#include "Tiff.h"
#include "Unit1.h"
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

TEST_F(ExportWindowTest, AFailedExportLeavesTheWindowUsableAndNoFile)
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

TEST_F(ExportWindowTest, OtherOutputsFromTheWindow)
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

TEST_F(ExportWindowTest, AnOutputThatFailsHalfWayLeavesNoBrokenFile)
{
    Open();
    TForm1 &f = *form;
    f.SpeedButton9Click();
    platform.SaveAnswers.push_back(platform.Sandbox.path() + QStringLiteral("/doc.tif"));
    f.BitBtn3Click();
    f.SpeedButton2Click();
    f.AnimationFrame();
    // The first layered PSD composes the full-resolution view files.
    platform.SaveAnswers.push_back(platform.Sandbox.path() + QStringLiteral("/first_3D.psd"));
    f.PSD1Click();
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

TEST_F(ExportWindowTest, EachCommandRunsTheProgressBarOnceFromZeroToAHundred)
{
    Open();
    TForm1 &f = *form;
    // A relief still to render makes the preview and the export longer roads.
    LayerLines.assign(size_t(LayerCount), EmptyLineSet());
    LayerLines[size_t(LayerCount - 1)][0] = {Tline{{100, 5}, {200, 5}, {200, 60}, {100, 60}}};
    Layers[size_t(LayerCount - 1)].GroupId = GroupReliefToRender;
    std::vector<int> seen;
    QObject::connect(f.ProgressBar1, &QProgressBar::valueChanged, [&](int v) { seen.push_back(v); });
    struct Case {
        const char *Name;
        std::function<void()> Run;
    };
    const Case commands[] = {
        {"preview", [&] { f.SpeedButton9Click(); f.SpeedButton2Click(); }},
        {"print", [&] {
             Layers[size_t(LayerCount - 1)].GroupId = GroupReliefToRender;
             platform.SaveAnswers.push_back(platform.Sandbox.path() + QStringLiteral("/doc.tif"));
             f.BitBtn3Click();
         }},
        {"layered PSD", [&] {
             platform.SaveAnswers.push_back(platform.Sandbox.path() + QStringLiteral("/doc_3D.psd"));
             f.PSD1Click();
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
    TForm1 &f = *form;
    platform.SaveAnswers.push_back(platform.Sandbox.path() + QStringLiteral("/doc.tif"));
    f.BitBtn3Click();
    ASSERT_TRUE(platform.Messages.isEmpty()) << platform.Messages.join('\n').toStdString();
    // A relief given to a layer after the print: the PSD would not show the
    // print's views, so it is refused until the print is made again.
    Layers[size_t(LayerCount - 1)].GroupId = GroupReliefToRender;
    const QString layered = platform.Sandbox.path() + QStringLiteral("/doc_3D.psd");
    platform.SaveAnswers.push_back(layered);
    f.PSD1Click();
    EXPECT_EQ(platform.Messages, QStringList{QStringLiteral("The layers have changed since the print was made. Export "
                                                            "the print again, then the layered PSD.")});
    EXPECT_FALSE(QFile::exists(layered));
    platform.Messages.clear();
    platform.SaveAnswers = {platform.Sandbox.path() + QStringLiteral("/doc.tif"), layered};
    f.BitBtn3Click();
    f.PSD1Click();
    EXPECT_TRUE(platform.Messages.isEmpty()) << platform.Messages.join('\n').toStdString();
    EXPECT_TRUE(QFile::exists(layered));
}

TEST_F(ExportWindowTest, TheStatusBarNamesEachFileWrittenAndItsSize)
{
    Open();
    TForm1 &f = *form;
    f.SpeedButton9Click();
    f.SpeedButton2Click();
    f.AnimationFrame();
    f.ComboBox2->setEditText(QStringLiteral("720"));
    f.Edit9->setText(QStringLiteral("5"));
    const QString folder = platform.Sandbox.path() + QLatin1Char('/');
    platform.SaveAnswers = {folder + QStringLiteral("doc.tif"), folder + QStringLiteral("doc_3D.psd"),
                            folder + QStringLiteral("doc.gif")};
    // 5 cm at 42.45 lpi: 84 lenses, 1425 columns at 720 dpi; 1.6667 cm high: 472 rows.
    f.BitBtn3Click();
    EXPECT_EQ(f.PanelText(10), QStringLiteral("doc.tif written: 1 425 x 472 pixels, 5 x 1.67 cm."));
    // The layered PSD has the canvas: 210 x 70 pixels, and its size at the document's resolution.
    f.PSD1Click();
    EXPECT_EQ(f.PanelText(10), QStringLiteral("doc_3D.psd written: 210 x 70 pixels, %1 x %2 cm.")
                                   .arg(ShortText(double(RoundDiv(PsdWidthCm, 100)) / 100),
                                        ShortText(double(RoundDiv(PsdHeightCm, 100)) / 100)));
    f.ExportGif1Click();
    EXPECT_TRUE(f.PanelText(10).startsWith(QStringLiteral("doc.gif written: 210 x 70 pixels, "))) << f.PanelText(10).toStdString();
    f.SpeedButton5Click();
    EXPECT_TRUE(f.PanelText(10).startsWith(QStringLiteral("doc_qz58.bmp written: 210 x 70 pixels, ")))
        << f.PanelText(10).toStdString();
    ASSERT_EQ(platform.Messages.size(), 1);  // the anaglyph's hint
}

TEST_F(ExportWindowTest, TheCropCheckBoxCutsTheViewsOfThePreviewAndThePrint)
{
    Open();
    TForm1 &f = *form;
    EXPECT_FALSE(f.CheckBox16->isChecked());  // off: the outputs stay as they were
    f.Edit3->setText(QStringLiteral("10"));
    f.CheckBox16->setChecked(true);
    f.SpeedButton9Click();
    ASSERT_TRUE(platform.Messages.isEmpty()) << platform.Messages.join('\n').toStdString();
    ASSERT_GT(CropWidth, 0);
    EXPECT_TRUE(f.PanelText(10).contains(QLatin1String("columns cut at the edges"))) << f.PanelText(10).toStdString();
    EXPECT_LT(LoadImage(WorkFileName(QStringLiteral("vw"), 1)).width(), WorkWidth);
    f.SpeedButton2Click();
    f.AnimationFrame();
    platform.SaveAnswers.push_back(platform.Sandbox.path() + QStringLiteral("/doc.tif"));
    f.BitBtn3Click();
    ASSERT_TRUE(platform.Messages.isEmpty()) << platform.Messages.join('\n').toStdString();
    EXPECT_TRUE(f.PanelText(10).contains(QLatin1String("columns cut at the edges"))) << f.PanelText(10).toStdString();
    // Off again: the whole canvas.
    f.CheckBox16->setChecked(false);
    f.SpeedButton9Click();
    EXPECT_EQ(CropWidth, 0);
    EXPECT_EQ(LoadImage(WorkFileName(QStringLiteral("vw"), 1)).width(), WorkWidth);
    f.SpeedButton2Click();
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
    TForm1 &f = Start();
    ASSERT_TRUE(f.ImportPsd(WritePsd(QStringLiteral("doc.psd"), b.Build())));
    f.SetCells(2, 1, QStringLiteral("0"));
    f.SetCells(2, 2, QStringLiteral("0"));
    f.SetCells(2, 3, QStringLiteral("40"));
    f.Edit2->setText(QStringLiteral("2"));
    f.Edit3->setText(QStringLiteral("1"));
    f.Edit5->setText(QStringLiteral("60"));
    f.ComboBox2->setEditText(QStringLiteral("600"));
    f.Edit9->setText(QStringLiteral("10"));
    const QString storedHeight = f.Edit10->text();
    f.CheckBox16->setChecked(true);
    f.SpeedButton9Click();
    f.SpeedButton2Click();
    const QString windowPrint = platform.Sandbox.path() + QStringLiteral("/window.tif");
    platform.SaveAnswers.push_back(windowPrint);
    f.BitBtn3Click();
    ASSERT_TRUE(platform.Messages.isEmpty()) << platform.Messages.join('\n').toStdString();
    ASSERT_EQ(CropWidth, 260);  // the outer views move the background 20 columns
    EXPECT_EQ(f.Edit10->text(), storedHeight);
    QTest::mouseClick(f.SpeedButton15, Qt::LeftButton);  // doc.hx4p3 beside the PSD
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
    TForm1 &f = *form;
    f.Edit3->setText(QStringLiteral("10"));
    f.Edit5->setText(QStringLiteral("100"));
    f.SpeedButton9Click();
    f.SpeedButton2Click();
    const QString print = platform.Sandbox.path() + QStringLiteral("/doc.tif");
    for (bool anyway : {false, true}) {
        SCOPED_TRACE(anyway);
        platform.ProceedQuestions.clear();
        platform.SaveAnswers.push_back(print);
        platform.ProceedAnswers.push_back(anyway);
        f.BitBtn3Click();
        EXPECT_TRUE(platform.Messages.isEmpty()) << platform.Messages.join('\n').toStdString();
        ASSERT_EQ(platform.ProceedQuestions.size(), 1);
        EXPECT_TRUE(platform.ProceedQuestions[0].contains(QLatin1String("the picture will ghost")) &&
                    platform.ProceedQuestions[0].endsWith(QLatin1String("[Export anyway / Cancel]")))
            << platform.ProceedQuestions[0].toStdString();
        EXPECT_EQ(QFile::exists(print), anyway);
        EXPECT_EQ(PrintWritten, anyway ? 1 : 0);
    }
    // A depth that does not ghost is not asked about.
    f.Edit3->setText(QStringLiteral("0.2"));
    f.SpeedButton9Click();
    f.SpeedButton2Click();
    platform.ProceedQuestions.clear();
    platform.SaveAnswers.push_back(print);
    f.BitBtn3Click();
    EXPECT_TRUE(platform.ProceedQuestions.isEmpty()) << platform.ProceedQuestions.join('\n').toStdString();
}
