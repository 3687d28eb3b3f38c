// Project files: the current layout written byte for byte, every layout read
// and applied, rescaling, bad files that change nothing, and the window and the
// batch mode making the same print from one project.
#include "CommandLine.h"
#include "Document.h"
#include "Errors.h"
#include "ProjectFile.h"
#include "PsdBuilder.h"
#include "TestSupport.h"
#include "WindowTest.h"
#include "WorkFolder.h"

#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QTableWidget>
#include <QTest>
#include <QToolButton>

namespace {

// Three layers on a canvas of the given width (height 200, 100 dpi).
QByteArray ThreeLayers(int width, uint16_t mode = 3)
{
    PsdBuilder b;
    b.Width = width;
    b.Height = 200;
    b.DpiWhole = 100;
    b.ColorMode = mode;
    const size_t channels = mode == 4 ? 4 : 3;
    b.AddLayer(0, 0, width, 200, std::vector<uint8_t>(channels, 240));
    b.AddLayer(40, 30, 100, 80, std::vector<uint8_t>(channels, 90));
    b.AddLayer(width / 2, 60, 60, 60, std::vector<uint8_t>(channels, 20), 200);
    return b.Build();
}

ContourLine Points(std::initializer_list<int> xy)
{
    ContourLine line;
    for (auto p = xy.begin(); p != xy.end(); p += 2)
        line.push_back({p[0], p[1]});
    return line;
}

class ProjectWindowTest : public WindowTest {
protected:
    QStringList GridColumn(int col) const
    {
        QStringList cells;
        for (int row = 1; row <= form->Doc.LayerCount; ++row)
            cells << form->Cells(col, row);
        return cells;
    }
    // Everything an open document shows or keeps, to compare before and after.
    QStringList Snapshot() const
    {
        MainWindow &f = *form;
        QStringList s{ShownTitle(f), f.LpiEdit->text(), f.FocusEdit->text(), f.DepthEdit->text(), f.WidthEdit->text(),
                      f.HeightEdit->text(), f.HScaleEdit->text(), f.DpiCombo->currentText(), QString::number(form->Doc.LayerCount),
                      QString::number(form->Doc.ImageWidth), form->Doc.PsdPath};
        s << GridColumn(1) << GridColumn(2);
        for (const Layer &l : form->Doc.Layers)
            s << QStringLiteral("%1 %2 %3 %4").arg(l.GroupId).arg(l.BaseOrder).arg(l.Smooth).arg(l.ReliefDepth);
        for (const QString &name : QDir(WorkFolder).entryList(QDir::Files, QDir::Name))
            s << name + QLatin1Char('=') + QString::number(qHash(ReadFileBytes(WorkFolder + name)));
        return s;
    }
};

}  // namespace

TEST(ProjectFile, TheCurrentLayoutIsWrittenByteForByte)
{
    Document doc;
    doc = Document();
    doc.PsdPath = QStringLiteral("/art/card.psd");
    doc.LayerCount = 2;
    doc.ImageWidth = 300;
    doc.ImageHeight = 200;
    doc.Layers.resize(2);
    doc.Layers[0].BaseOrder = 7, doc.Layers[0].Smooth = 5, doc.Layers[0].ReliefDepth = Fixed4One;
    doc.Layers[1].BaseOrder = 3, doc.Layers[1].Smooth = 9, doc.Layers[1].ReliefDepth = 25000;
    doc.LayerLines.assign(2, LineSet(OrderCount));
    doc.LayerLines[0][2] = {Points({1, 1, 5, 1, 3, 9}), Points({-4, 0, 8, 0, 8, 7, 0, 7})};
    doc.LayerLines[1][0] = {Points({10, 20, 30, 40, 50, 60})};

    const QByteArray bytes = FormatProject(doc, {QStringLiteral("42.4775"), QStringLiteral("1"), QStringLiteral("1.5"),
                                            QStringLiteral("(Auto)"), QStringLiteral("5"), QStringLiteral("3.3333"),
                                            QStringLiteral("3"), 2, {QStringLiteral("-5"), QStringLiteral("12")}},
                                           QStringLiteral("2026/12/9 14:05:00"));
    const QByteArray expected =
        "/art/card.psd\r\n"
        " 4.24775000000000E+0001 7 1  1.50000000000000E+0000\r\n"
        "99101 2 300 200\r\n"
        "Vistrel lenticular design tool\r\n"
        "Version 1.0\r\n"
        "Project of one design: the PSD, its settings, offsets and contour lines\r\n"
        "https://vistrel.app/\r\n"
        "2026/12/9 14:05:00\r\n"
        " 1.00000000000000E+0004  5.00000000000000E+0000  3.33330000000000E+0000 2 3\r\n"
        "-5\r\n"
        "12\r\n"
        "3 9  2.50000000000000E+0000\r\n"  // relief settings, top layer first
        "7 5  1.00000000000000E+0000\r\n"
        "0 2 0 2\r\n"
        "1 1 5 1 3 9 \r\r\n"
        "0 2 1 3\r\n"
        "-4 0 8 0 8 7 0 7 \r\r\n"
        "1 0 0 2\r\n"
        "10 20 30 40 50 60 \r\r\n";
    EXPECT_EQ(bytes, expected);
    // Taken into the document: LPI, focus row, depth and "(Auto)" as 10 000.
    EXPECT_EQ(doc.Lpi, 424775);
    EXPECT_EQ(doc.FocusLayer, 1);
    EXPECT_EQ(doc.Depth, 15000);
    EXPECT_EQ(doc.OutputDpi, AutoDpi);

    // And read back as written.
    const ProjectData d = ParseProject(bytes, QStringLiteral("card.hx4p3"), 2);
    EXPECT_EQ(d.Layout, 99101);
    EXPECT_EQ(d.Lpi, 424775);
    EXPECT_EQ(d.HeightCm, 3.3333);
    EXPECT_EQ(d.HScale, 3);
    ASSERT_EQ(d.RowOffsets.size(), 2u);
    EXPECT_EQ(*d.RowOffsets[0], -5);
    EXPECT_EQ(d.Relief[1]->ReliefDepth, 25000);
    ASSERT_EQ(d.Lines.size(), 3u);
    EXPECT_EQ(d.Lines[1].Points, doc.LayerLines[0][2][1]);
}

TEST_F(ProjectWindowTest, ADesignSavedAndOpenedAgainIsTheSameDesign)
{
    MainWindow &f = Start();
    const QString psd = WritePsd(QStringLiteral("art/card.psd"), ThreeLayers(300, 4));
    ASSERT_TRUE(f.ImportPsd(psd));
    f.SetCells(2, 1, QStringLiteral("-17"));
    f.SetCells(2, 2, QStringLiteral("4"));
    f.SetCells(2, 3, QStringLiteral("23"));
    f.FocusEdit->setText(QStringLiteral("2"));
    f.DepthEdit->setText(QStringLiteral("2.5"));
    f.LpiEdit->setText(QStringLiteral("42.4775"));
    f.DpiCombo->setEditText(QStringLiteral("(Auto)"));
    f.WidthEdit->setText(QStringLiteral("6.5"));
    f.HScaleEdit->setText(QStringLiteral("3"));
    f.Doc.Layers[2].BaseOrder = 4, f.Doc.Layers[2].Smooth = 8, f.Doc.Layers[2].ReliefDepth = 17500;
    f.Doc.Layers[0].BaseOrder = 11;
    f.Doc.LayerLines.assign(3, LineSet(OrderCount));
    f.Doc.LayerLines[2][0] = {Points({10, 10, 60, 10, 60, 50})};
    f.Doc.LayerLines[2][6] = {Points({20, 20, 40, 20, 30, 35}), Points({1, 2, 3, 4, 5, 6, 7, 8})};
    f.Doc.LayerLines[0][14] = {Points({100, 100, 200, 100, 150, 180})};
    const LineSets lines = f.Doc.LayerLines;

    QTest::mouseClick(f.SaveProjectButton, Qt::LeftButton);  // save beside the PSD
    ASSERT_TRUE(platform.Messages.isEmpty()) << platform.Messages.join('\n').toStdString();
    const QString project = platform.Sandbox.path() + QStringLiteral("/art/card.hx4p3");
    ASSERT_TRUE(QFile::exists(project));
    const QStringList fields{f.LpiEdit->text(), f.FocusEdit->text(), f.DepthEdit->text(), f.DpiCombo->currentText(),
                             f.WidthEdit->text(), f.HeightEdit->text(), f.HScaleEdit->text()};
    const QStringList offsets = GridColumn(2);
    TearDown();
    MainWindow &g = Start();
    platform.OpenAnswers.push_back(project);
    QTest::mouseClick(g.OpenProjectButton, Qt::LeftButton);
    ASSERT_TRUE(platform.Messages.isEmpty()) << platform.Messages.join('\n').toStdString();
    EXPECT_EQ(platform.DialogRequests.back().InitialFolder, platform.ProgramDir + QStringLiteral("/sample"));
    EXPECT_EQ((QStringList{g.LpiEdit->text(), g.FocusEdit->text(), g.DepthEdit->text(), g.DpiCombo->currentText(),
                           g.WidthEdit->text(), g.HeightEdit->text(), g.HScaleEdit->text()}),
              fields);
    EXPECT_EQ(GridColumn(2), offsets);
    EXPECT_EQ(GridColumn(1), (QStringList{QStringLiteral("+"), QString(), QStringLiteral("+")}));
    EXPECT_EQ(g.Doc.LayerLines, lines);
    EXPECT_EQ(g.Doc.Lpi, 424775);
    EXPECT_EQ(g.Doc.FocusLayer, 2);
    EXPECT_EQ(g.Doc.Depth, 25000);
    EXPECT_EQ(g.Doc.OutputDpi, AutoDpi);
    EXPECT_EQ(g.Doc.HScale, 3);
    EXPECT_EQ(g.Doc.Layers[2].GroupId, GroupReliefToRender);
    EXPECT_EQ(g.Doc.Layers[1].GroupId, GroupPlain);
    EXPECT_EQ(g.Doc.Layers[2].ReliefDepth, 17500);
    EXPECT_EQ(g.Doc.Layers[2].Smooth, 8);
    EXPECT_EQ(g.Doc.Layers[0].BaseOrder, 11);
    EXPECT_EQ(ShownTitle(g), QStringLiteral("Vistrel    card.psd    card.hx4p3"));
    EXPECT_TRUE(g.SaveProjectButton->isEnabled());

    // Saved again, the file is the same apart from the date line.
    const QByteArray first = ReadFileBytes(project);
    QTest::mouseClick(g.SaveProjectButton, Qt::LeftButton);
    auto withoutDate = [](QByteArray b) {
        QList<QByteArray> textLines = b.split('\n');
        textLines.removeAt(7);
        return textLines;
    };
    EXPECT_TRUE(withoutDate(ReadFileBytes(project)) == withoutDate(first));
}

TEST_F(ProjectWindowTest, EveryOlderLayoutIsAppliedAsItWasWritten)
{
    MainWindow &f = Start();
    // 1100 wide, worked on at 1100: a 99100 file saved at 1200 is rescaled by
    // 1100 / 1200 = 0.91666.. rounded to 0.9167. 18 x 0.9167 = 16.5006 -> 17
    // (the unrounded ratio would give the tie 16.5 -> 16) and 30 -> 27.501 -> 28
    // (0.9166 would give 27.498 -> 27).
    ASSERT_TRUE(f.ImportPsd(WritePsd(QStringLiteral("doc.psd"), ThreeLayers(1100))));
    const QByteArray head = "D:\\old\\doc.psd\r\n 4.00000000000000E+0001 7 2  1.20000000000000E+0000\r\n";
    const QByteArray resolution = " 7.20000000000000E+0002  6.00000000000000E+0000  5.00000000000000E+0000 2 2\r\n";
    const QByteArray line = "2 1 0 2\r\n18 30 14 8 7 21 \r\r\n";  // top layer, order 1, three points
    struct Case {
        const char *layout;
        QByteArray file;
        QStringList offsets;     // grid rows 1..3
        QString height;          // HeightEdit
        int topBaseOrder;        // relief settings of the top layer (index 2)
        ContourLine points;            // the line as stored in the document
    };
    const Case cases[] = {
        {"39550", head + "39550 1 2 3\r\na\r\nb\r\n 9.00000000000000E+0000\r\n" + resolution + "10\r\n20\r\n30\r\n" +
                      "1 2  1.00000000000000E+0000\r\n3 4  1.00000000000000E+0000\r\n"
                      "5 6  1.00000000000000E+0000\r\n" + line,
         {"30", "20", "10"}, "5", 5, Points({18, 30, 14, 8, 7, 21})},
        {"99100", head + "99100 3 1200 200\r\na\r\nb\r\nc\r\n" + "2026\r\n" + resolution + "10\r\n20\r\n30\r\n" +
                      "1 2  1.00000000000000E+0000\r\n3 4  1.00000000000000E+0000\r\n"
                      "5 6  1.00000000000000E+0000\r\n" + line,
         {"28", "18", "9"}, "1.09090909090909", 5, Points({17, 28, 13, 7, 6, 19})},  // bottom first; height 6 cm / 5.5
        {"39300", head + "39300 10 20 30\r\n" + "0 0 0 2 5 5\r\n" + line,
         {"30", "20", "10"}, "", 7, Points({31, 51, 24, 14, 12, 36})},  // times 12 / 7; the "0 0 0" header dropped
        {"3099", head + "3099 10 20 30\r\n" + "1 2  1.00000000000000E+0000\r\n3 4  1.00000000000000E+0000\r\n"
                      "5 6  1.00000000000000E+0000\r\n" + line,
         {"30", "20", "10"}, "", 5, Points({18, 30, 14, 8, 7, 21})},
        {"unversioned", head + line, {}, "", 7, Points({18, 30, 14, 8, 7, 21})},
    };
    // 39550 before 99100: the width field already shows 6 when 99100 comes,
    // and the height must still follow it.
    const QStringList defaults = GridColumn(2);
    for (const Case &c : cases) {
        SCOPED_TRACE(c.layout);
        f.Doc.Layers[2].BaseOrder = 7;
        f.Doc.Layers[2].GroupId = GroupPlain;
        if (QByteArray(c.layout) != "99100")
            f.HeightEdit->setText(QString());
        const QString path = platform.Sandbox.path() + QStringLiteral("/doc.hx4p2");
        WriteFileBytes(path, c.file);
        platform.Messages.clear();
        ASSERT_TRUE(f.ApplyProjectFile(path));
        EXPECT_TRUE(platform.Messages.isEmpty()) << platform.Messages.join('\n').toStdString();
        EXPECT_EQ(GridColumn(2), c.offsets.isEmpty() ? defaults : c.offsets);
        EXPECT_EQ(f.LpiEdit->text(), QStringLiteral("40"));
        EXPECT_EQ(f.DepthEdit->text(), QStringLiteral("1.2"));
        EXPECT_EQ(f.HeightEdit->text(), c.height);
        EXPECT_EQ(int(f.Doc.Layers[2].BaseOrder), c.topBaseOrder);
        EXPECT_EQ(f.Doc.Layers[2].GroupId, GroupReliefToRender);
        EXPECT_EQ(f.Cells(1, 1), QStringLiteral("+"));
        ASSERT_EQ(f.Doc.LayerLines[2][1].size(), 1u);
        EXPECT_EQ(f.Doc.LayerLines[2][1][0], c.points);
        EXPECT_EQ(ShownTitle(f), QStringLiteral("Vistrel    doc.psd    doc.hx4p2*"));  // applied, not saved
        f.SetCells(2, 1, defaults[0]);
        f.SetCells(2, 2, defaults[1]);
        f.SetCells(2, 3, defaults[2]);
    }

    // The oldest files may hold the settings and nothing else.
    const QString path = platform.Sandbox.path() + QStringLiteral("/old.hx4p");
    WriteFileBytes(path, "doc.psd\r\n 3.00000000000000E+0001 7 1  2.00000000000000E+0000\r\n");
    f.Doc.LayerLines.clear();
    ASSERT_TRUE(f.ApplyProjectFile(path));
    EXPECT_EQ(f.LpiEdit->text(), QStringLiteral("30"));
    EXPECT_EQ(f.DepthEdit->text(), QStringLiteral("2"));
    EXPECT_EQ(f.Doc.LayerLines.size(), 3u);
}

TEST_F(ProjectWindowTest, PointsAndOffsetsFollowTheCanvasAndAProjectMovesWithItsPsd)
{
    EXPECT_EQ(RescaleFactor(2000, 2000), Fixed4One);
    EXPECT_EQ(RescaleFactor(2000, 1000), 8333);  // 1000 / 1200
    EXPECT_EQ(RescaleFactor(1000, 2000), 12000);
    EXPECT_EQ(RescaleFactor(1200, 1100), 9167);  // 0.91666..
    EXPECT_EQ(RescaleFactor(800, 701), 8762);    // 0.87625: ties to even
    EXPECT_EQ(RescaleFactor(0, 2000), Fixed4One);

    MainWindow &f = Start();
    const QString psd = WritePsd(QStringLiteral("first/doc.psd"), ThreeLayers(1000));
    // Saved for a 2000-pixel canvas: its working pixels are 1200 wide.
    const QByteArray file = "C:\\elsewhere\\doc.psd\r\n 4.00000000000000E+0001 7 1  1.00000000000000E+0000\r\n"
                            "99101 3 2000 400\r\na\r\nb\r\nc\r\nd\r\ndate\r\n"
                            " 7.20000000000000E+0002  5.00000000000000E+0000  1.00000000000000E+0000 2 1\r\n"
                            "120\r\n-60\r\n0\r\n"
                            "7 5  1.00000000000000E+0000\r\n7 5  1.00000000000000E+0000\r\n"
                            "7 5  1.00000000000000E+0000\r\n"
                            "0 0 0 2\r\n600 300 1199 0 0 599 \r\r\n";
    const QString project = platform.Sandbox.path() + QStringLiteral("/first/doc.hx4p3");
    WriteFileBytes(project, file);
    ASSERT_TRUE(f.OpenProject(project));
    EXPECT_EQ(GridColumn(2), (QStringList{"100", "-50", "0"}));
    EXPECT_EQ(f.Doc.LayerLines[0][0][0], Points({500, 250, 999, 0, 0, 499}));

    // Project and PSD moved together to another folder, the old one gone.
    QDir().mkpath(platform.Sandbox.path() + QStringLiteral("/moved"));
    ASSERT_TRUE(QFile::rename(psd, platform.Sandbox.path() + QStringLiteral("/moved/doc.psd")));
    ASSERT_TRUE(QFile::rename(project, platform.Sandbox.path() + QStringLiteral("/moved/doc.hx4p3")));
    platform.YesNoAnswers.push_back(true);  // "continue?"
    platform.OpenAnswers.push_back(platform.Sandbox.path() + QStringLiteral("/moved/doc.hx4p3"));
    QTest::mouseClick(f.OpenProjectButton, Qt::LeftButton);
    EXPECT_EQ(platform.Messages, QStringList{QStringLiteral("Confirm: continue?")});
    EXPECT_EQ(f.Doc.PsdPath, platform.Sandbox.path() + QStringLiteral("/moved/doc.psd"));

    // "continue?" answered No changes nothing.
    platform.OpenAnswers.clear();
    platform.YesNoAnswers.push_back(false);
    const int dialogs = int(platform.DialogRequests.size());
    QTest::mouseClick(f.OpenProjectButton, Qt::LeftButton);
    EXPECT_EQ(int(platform.DialogRequests.size()), dialogs);
}

TEST_F(ProjectWindowTest, ABadProjectIsAMessageAndTheDocumentStaysAsItWas)
{
    MainWindow &f = Start();
    ASSERT_TRUE(f.ImportPsd(WritePsd(QStringLiteral("doc.psd"), ThreeLayers(300))));
    WritePsd(QStringLiteral("other.psd"), ThreeLayers(500));
    QTest::mouseClick(f.SaveProjectButton, Qt::LeftButton);
    const QString good = platform.Sandbox.path() + QStringLiteral("/doc.hx4p3");
    const QByteArray saved = ReadFileBytes(good);
    ASSERT_FALSE(saved.isEmpty());
    QByteArray notANumber = saved;
    notANumber.replace("99101 3", "99101 x3");
    QByteArray otherPsd = saved;
    otherPsd.replace("doc.psd", "other.psd");
    QByteArray noPsd = saved;
    noPsd.replace("doc.psd", "gone.psd");
    // Fine on this 300-pixel canvas, out of range on the other's 500 (x 1.6667):
    // refused while the other PSD is being opened, after its layers were read.
    const QByteArray wraps = otherPsd + "0 0 0 2\r\n2000000000 1 2 2 3 3 \r\r\n";

    const QStringList before = Snapshot();
    const Document beforeDocument = f.Doc;
    struct Case { const char *what; QByteArray bytes; bool open; const char *message; };
    const Case cases[] = {
        {"cut short", saved.left(saved.size() / 2), false, "bad.hx4p3"},
        {"cut short, opened", otherPsd.left(otherPsd.size() - 40), true, "bad.hx4p3"},
        {"not a number", notANumber, false, "Invalid numeric input in"},
        {"missing PSD", noPsd, true, "Can not found the specified psd file!"},
        {"missing project", QByteArray(), false, "The file not found!"},
        {"a point that would wrap on the other canvas, opened", wraps, true, "2000000000 rescaled to this document"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        const QString path = platform.Sandbox.path() + QStringLiteral("/bad.hx4p3");
        QFile::remove(path);
        if (!c.bytes.isEmpty())
            WriteFileBytes(path, c.bytes);
        platform.Messages.clear();
        EXPECT_FALSE(c.open ? f.OpenProject(path) : f.ApplyProjectFile(path));
        ASSERT_EQ(platform.Messages.size(), 1);
        EXPECT_TRUE(platform.Messages[0].contains(QLatin1String(c.message))) << platform.Messages[0].toStdString();
        EXPECT_EQ(Snapshot(), before);
        EXPECT_TRUE(f.Doc == beforeDocument);
    }

    // A header naming layer 40 of this three-layer document: that line is
    // skipped and said once, the rest applied.
    const QString path = platform.Sandbox.path() + QStringLiteral("/bad.hx4p3");
    WriteFileBytes(path, saved + "40 0 0 2\r\n1 1 2 2 3 3 \r\r\n1 16 0 2\r\n1 1 2 2 3 3 \r\r\n"
                                 "1 3 0 2\r\n1 1 2 2 3 3 \r\r\n");
    platform.Messages.clear();
    EXPECT_TRUE(f.ApplyProjectFile(path));
    EXPECT_EQ(platform.Messages, QStringList{QStringLiteral(
                                     "2 contour line(s) of the project name a layer, an order or a line number this "
                                     "document does not have; they were skipped.")});
    EXPECT_EQ(f.Doc.LayerLines[1][3].size(), 1u);
    EXPECT_EQ(f.Cells(1, 2), QStringLiteral("+"));

    // A project of two layers on this three-layer document says so and applies what fits.
    const QList<QByteArray> lines = saved.split('\n');
    QByteArray twoLayers;
    for (int i = 0; i < 9; ++i)  // up to the resolution line
        twoLayers += lines[i] + '\n';
    twoLayers.replace("99101 3", "99101 2");
    WriteFileBytes(path, twoLayers + "5\r\n6\r\n7 5  1.00000000000000E+0000\r\n7 5  1.00000000000000E+0000\r\n");
    platform.Messages.clear();
    EXPECT_TRUE(f.ApplyProjectFile(path));
    EXPECT_EQ(platform.Messages, QStringList{QStringLiteral("The total number of layers is wrong!")});
    EXPECT_EQ(f.Cells(2, 1), QStringLiteral("5"));
    EXPECT_EQ(f.Cells(2, 2), QStringLiteral("6"));
}

TEST_F(ProjectWindowTest, SavingWithoutADocumentOrIntoAFolderThatCannotBeWritten)
{
    MainWindow &f = Start();
    f.SaveProjectBesidePsd();
    EXPECT_EQ(platform.Messages, QStringList{QStringLiteral("There is no design to save yet: import a PSD first.")});
    EXPECT_TRUE(QDir(platform.Sandbox.path()).entryList({QStringLiteral("*.hx4p3")}, QDir::Files).isEmpty());

    ASSERT_TRUE(f.ImportPsd(WritePsd(QStringLiteral("doc.psd"), ThreeLayers(300))));
    const QString target = platform.Sandbox.path() + QStringLiteral("/no/such/folder/doc.hx4p3");
    platform.SaveAnswers.push_back(target);
    platform.Messages.clear();
    f.SaveProjectAs();
    ASSERT_EQ(platform.Messages.size(), 1);
    EXPECT_TRUE(platform.Messages[0].startsWith(QStringLiteral("Cannot save \"%1\": the folder").arg(target)))
        << platform.Messages[0].toStdString();
    EXPECT_FALSE(QFile::exists(target));
}

TEST_F(ProjectWindowTest, TheBatchModeMakesTheWindowsPrintOfAProject)
{
    MainWindow &f = Start();
    const QString psd = WritePsd(QStringLiteral("job/doc.psd"), ThreeLayers(300));
    const QString project = platform.Sandbox.path() + QStringLiteral("/job/doc.hx4p3");
    WriteFileBytes(project, "doc.psd\r\n 5.00000000000000E+0001 7 3  1.50000000000000E+0000\r\n"
                            "99101 3 300 200\r\na\r\nb\r\nc\r\nd\r\ndate\r\n"
                            " 3.60000000000000E+0002  7.00000000000000E+0000  4.00000000000000E+0000 2 2\r\n"
                            "-30\r\n12\r\n25\r\n"
                            "7 5  1.00000000000000E+0000\r\n7 5  1.00000000000000E+0000\r\n"
                            "7 5  1.00000000000000E+0000\r\n");
    ASSERT_TRUE(f.OpenProject(project));
    const QString windowPrint = platform.Sandbox.path() + QStringLiteral("/window.tif");
    platform.SaveAnswers.push_back(windowPrint);
    f.ExportInterlacedPrint();
    ASSERT_TRUE(platform.Messages.isEmpty()) << platform.Messages.join('\n').toStdString();
    const QByteArray expected = WithoutTiffDate(ReadFileBytes(windowPrint));
    ASSERT_FALSE(expected.isEmpty());

    const QString batchPrint = platform.Sandbox.path() + QStringLiteral("/batch.tif");
    const QString saved = platform.Sandbox.path() + QStringLiteral("/job/again.hx4p3");
    int code = -1;
    QByteArray err;
    const QByteArray out = RunProgram(VistrelProgram(), {QStringLiteral("--export-tiff"), batchPrint,
                                                         QStringLiteral("--save-project"), saved, project},
                                      &code, &err);
    ASSERT_EQ(code, 0) << out.toStdString() << err.toStdString();
    EXPECT_TRUE(WithoutTiffDate(ReadFileBytes(batchPrint)) == expected);

    // The saved project makes the same print again.
    QFile::remove(batchPrint);
    RunProgram(VistrelProgram(), {QStringLiteral("--export-tiff"), batchPrint, saved}, &code, &err);
    ASSERT_EQ(code, 0) << err.toStdString();
    EXPECT_TRUE(WithoutTiffDate(ReadFileBytes(batchPrint)) == expected);

    // The command line wins over the project.
    RunProgram(VistrelProgram(), {QStringLiteral("--export-tiff"), batchPrint, QStringLiteral("--dpi"),
                                  QStringLiteral("720"), saved},
               &code, &err);
    ASSERT_EQ(code, 0) << err.toStdString();
    EXPECT_FALSE(WithoutTiffDate(ReadFileBytes(batchPrint)) == expected);
}

namespace {

// A project of the current layout for a three-layer canvas 300 wide: offsets
// top first, relief lines top first, then `lines` as written.
QByteArray Project99101(const QByteArray &psd, const QByteArray &offsets, const QByteArray &relief,
                        const QByteArray &lines, const QByteArray &print = "3.6E+0002 7.0E+0000 4.0E+0000 2 1",
                        const QByteArray &layers = "3 300 200")
{
    return psd + "\r\n 5.00000000000000E+0001 7 3  1.00000000000000E+0000\r\n99101 " + layers +
           "\r\na\r\nb\r\nc\r\nd\r\ndate\r\n" + print + "\r\n" + offsets + relief + lines;
}

}  // namespace

// Import settings replaces the lines: a relief layer that receives none is a
// plain layer again, so the window prints what the batch mode prints of the
// applied project.
TEST_F(ProjectWindowTest, ImportSettingsOverAReliefPrintsWhatTheBatchPrints)
{
    MainWindow &f = Start();
    WritePsd(QStringLiteral("job/doc.psd"), ThreeLayers(300));
    const QByteArray offsets = "-30\r\n12\r\n25\r\n";
    const QString first = platform.Sandbox.path() + QStringLiteral("/job/first.hx4p3");
    WriteFileBytes(first, Project99101("doc.psd", offsets,
                                       "7 5 1.0\r\n3 5 3.0\r\n7 5 1.0\r\n",
                                       "1 3 0 3\r\n30 20 130 20 130 90 30 90 \r\r\n"));
    const QString second = platform.Sandbox.path() + QStringLiteral("/job/second.hx4p3");
    WriteFileBytes(second, Project99101("doc.psd", offsets, "7 5 2.0\r\n7 5 1.0\r\n7 5 1.0\r\n",
                                        "2 2 0 2\r\n160 70 200 70 180 110 \r\r\n"));
    ASSERT_TRUE(f.OpenProject(first));
    f.PreviewViews();  // renders the relief of layer 1
    ASSERT_EQ(f.Doc.Layers[1].GroupId, GroupReliefRendered);
    f.StopAnimation();
    ASSERT_TRUE(f.ApplyProjectFile(second));
    EXPECT_EQ(f.Doc.Layers[1].GroupId, GroupPlain);
    EXPECT_EQ(f.Doc.Layers[2].GroupId, GroupReliefToRender);
    EXPECT_EQ(GridColumn(1), (QStringList{QStringLiteral("+"), QString(), QString()}));

    const QString windowPrint = platform.Sandbox.path() + QStringLiteral("/window.tif");
    platform.SaveAnswers.push_back(windowPrint);
    f.ExportInterlacedPrint();
    ASSERT_TRUE(platform.Messages.isEmpty()) << platform.Messages.join('\n').toStdString();
    const QString batchPrint = platform.Sandbox.path() + QStringLiteral("/batch.tif");
    int code = -1;
    QByteArray err;
    RunProgram(VistrelProgram(), {QStringLiteral("--export-tiff"), batchPrint, second}, &code, &err);
    ASSERT_EQ(code, 0) << err.toStdString();
    EXPECT_TRUE(WithoutTiffDate(ReadFileBytes(batchPrint)) == WithoutTiffDate(ReadFileBytes(windowPrint)));
}

// Where the PSD is looked for, files that name none, CR-only line ends, relief
// settings of a file with another layer count, values that would wrap once
// rescaled, and a stored width above the limit.
TEST_F(ProjectWindowTest, OpeningAndApplyingProjectsOfEveryKind)
{
    MainWindow &f = Start();
    const QString psd = WritePsd(QStringLiteral("art/doc.psd"), ThreeLayers(300));
    ASSERT_TRUE(f.ImportPsd(psd));

    // Saved into another folder, it opens from there: the PSD is not beside it.
    const QString away = platform.Sandbox.path() + QStringLiteral("/out/design.hx4p3");
    QDir().mkpath(platform.Sandbox.path() + QStringLiteral("/out"));
    platform.SaveAnswers.push_back(away);
    f.SaveProjectAs();
    ASSERT_TRUE(platform.Messages.isEmpty()) << platform.Messages.join('\n').toStdString();
    ASSERT_TRUE(f.OpenProject(away));
    EXPECT_EQ(f.Doc.PsdPath, psd);
    // Neither beside it nor where it was: both places are named.
    QByteArray gone = ReadFileBytes(away);
    gone.replace("art/doc.psd", "art/gone.psd");
    WriteFileBytes(away, gone);
    platform.Messages.clear();
    EXPECT_FALSE(f.OpenProject(away));
    EXPECT_EQ(platform.Messages, QStringList{QStringLiteral("Can not found the specified psd file! Looked for \"%1\" and "
                                                            "\"%2\".")
                                                 .arg(platform.Sandbox.path() + QStringLiteral("/out/gone.psd"),
                                                      platform.Sandbox.path() + QStringLiteral("/art/gone.psd"))});
    for (const QByteArray &line1 : {QByteArray(""), QByteArray("C:\\designs\\"), QByteArray("/art/")}) {
        WriteFileBytes(away, Project99101(line1, "1\r\n2\r\n3\r\n", "", ""));
        platform.Messages.clear();
        EXPECT_FALSE(f.OpenProject(away));
        EXPECT_EQ(platform.Messages, QStringList{QStringLiteral("The project names no PSD file.")}) << line1.data();
    }

    // CR alone ends the lines of this one, and reads as CR LF does.
    const QString beside = platform.Sandbox.path() + QStringLiteral("/art/doc.hx4p3");
    QByteArray crOnly = Project99101("doc.psd", "1\r\n2\r\n3\r\n", "7 5 1.0\r\n7 5 1.0\r\n7 5 1.0\r\n",
                                     "0 0 0 2\r\n10 20 30 40 50 60 \r\r\n");
    crOnly.replace("\r\n", "\r");
    WriteFileBytes(beside, crOnly);
    platform.Messages.clear();
    ASSERT_TRUE(f.OpenProject(beside)) << platform.Messages.join('\n').toStdString();
    EXPECT_EQ(GridColumn(2), (QStringList{"1", "2", "3"}));
    EXPECT_EQ(f.Doc.LayerLines[0][0], (OrderLines{Points({10, 20, 30, 40, 50, 60})}));

    // A file of two layers: its relief lines, top first, are its layers 1 and 0,
    // the same layers its contour lines count from the bottom.
    WriteFileBytes(beside, Project99101("doc.psd", "1\r\n2\r\n", "9 2 2.0\r\n4 3 3.0\r\n", "",
                                        "3.6E+0002 7.0E+0000 4.0E+0000 2 1", "2 300 200"));
    platform.Messages.clear();
    ASSERT_TRUE(f.ApplyProjectFile(beside));
    EXPECT_EQ(f.Doc.Layers[1].BaseOrder, 9);
    EXPECT_EQ(f.Doc.Layers[1].ReliefDepth, 20000);
    EXPECT_EQ(f.Doc.Layers[0].BaseOrder, 4);
    EXPECT_EQ(f.Doc.Layers[0].Smooth, 3);
    EXPECT_EQ(f.Doc.Layers[2].BaseOrder, 7);

    // Saved for a canvas 60 wide, applied to one 300 wide: a factor of 5 that
    // 2 000 000 000 does not survive. The line is named and nothing applied.
    const QStringList before = Snapshot();
    const LineSets linesBefore = f.Doc.LayerLines;
    const std::pair<QByteArray, int> wraps[] = {
        {Project99101("doc.psd", "1\r\n2000000000\r\n3\r\n", "7 5 1.0\r\n7 5 1.0\r\n7 5 1.0\r\n", "", "3.6E+0002 7.0E+0000 4.0E+0000 2 1",
                      "3 60 40"), 11},
        {Project99101("doc.psd", "1\r\n2\r\n3\r\n", "7 5 1.0\r\n7 5 1.0\r\n7 5 1.0\r\n",
                      "0 0 0 2\r\n1 1 2 2 3 3 \r\r\n1 0 0 2\r\n1 1 2 -2000000000 3 3 \r\r\n",
                      "3.6E+0002 7.0E+0000 4.0E+0000 2 1", "3 60 40"), 19},
    };
    for (const auto &[bytes, line] : wraps) {
        WriteFileBytes(beside, bytes);
        platform.Messages.clear();
        EXPECT_FALSE(f.ApplyProjectFile(beside));
        ASSERT_EQ(platform.Messages.size(), 1);
        EXPECT_TRUE(platform.Messages[0].startsWith(QStringLiteral("Line %1 of \"%2\"").arg(line).arg(beside)))
            << platform.Messages[0].toStdString();
        EXPECT_EQ(Snapshot(), before);
        EXPECT_EQ(f.Doc.LayerLines, linesBefore);
    }

    // 30 x 20 cm stored: 21 cm wide at most, and the height keeps the proportion.
    WriteFileBytes(beside, Project99101("doc.psd", "1\r\n2\r\n3\r\n", "7 5 1.0\r\n7 5 1.0\r\n7 5 1.0\r\n", "",
                                        "3.6E+0002 3.0E+0001 2.0E+0001 2 1"));
    ASSERT_TRUE(f.ApplyProjectFile(beside));
    EXPECT_EQ(f.WidthEdit->text(), QStringLiteral("21"));
    EXPECT_EQ(f.HeightEdit->text(), QStringLiteral("14"));
    // A height no print has is scaled without overflowing (the sanitizer build says so).
    WriteFileBytes(beside, Project99101("doc.psd", "1\r\n2\r\n3\r\n", "7 5 1.0\r\n7 5 1.0\r\n7 5 1.0\r\n", "",
                                        "3.6E+0002 3.0E+0001 1.0E+0300 2 1"));
    ASSERT_TRUE(f.ApplyProjectFile(beside));
    EXPECT_EQ(f.WidthEdit->text(), QStringLiteral("21"));
}
