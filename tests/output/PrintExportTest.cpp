// A print is refused before any work when its TIFF could not hold it: the
// layout's sizes are 32-bit, and a wrapped byte count would be a broken file
// reported as a success.
#include "Compositor.h"
#include "Document.h"
#include "Errors.h"
#include "Import.h"
#include "Interlacer.h"
#include "PrintExport.h"
#include "PsdBuilder.h"
#include "ScriptedPlatform.h"
#include "Tiff.h"
#include "TestSupport.h"
#include "BmpCodec.h"
#include "ViewSet.h"
#include "WorkFolder.h"
#include "ReliefLines.h"

#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

// A background and one smaller layer on a 120 x 80 canvas.
PsdBuilder TwoLayers()
{
    PsdBuilder b;
    b.Width = 120;
    b.Height = 80;
    b.AddLayer(0, 0, 120, 80, {10, 20, 30});
    b.AddLayer(20, 20, 40, 40, {200, 20, 30});
    return b;
}

}  // namespace

TEST(PrintExport, APrintTheTiffCannotHoldIsRefusedBeforeAnyWork)
{
    Document doc;
    struct Case {
        int64_t columns, rows;
        uint16_t mode;
        const char *message;  // empty: it can be made (past 4 GB as a BigTIFF)
    };
    const Case cases[] = {
        {23811, 47622, ModeRgb, ""},   // 21 x 42 cm at 2880 dpi in RGB: 3.2 GB
        {23811, 47622, ModeCmyk, ""},  // 4.2 GB
        {2147483647, 1, ModeGrey, ""},
        {2147483648, 1, ModeGrey,
         "The print would be 2 147 483 648 x 1 pixels in Gray: no side can be longer than 2 147 483 647 pixels. "
         "Make it narrower, or choose a lower printer resolution or a larger H scale."},
        // Sizes whose product would overflow 64-bit arithmetic if taken at once.
        {4000000000, 4000000000, ModeCmyk,
         "The print would be 4 000 000 000 x 4 000 000 000 pixels in CMYK: no side can be longer than "
         "2 147 483 647 pixels. Make it narrower, or choose a lower printer resolution or a larger H scale."},
        {0, 100, ModeRgb, "The print would be empty: 0 x 100 pixels. Check its width, height and resolution."},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.columns);
        PrintGeometry g;
        g.Columns = c.columns;
        g.Rows = c.rows;
        try {
            CheckPrintSize(g, c.mode);
            EXPECT_STREQ(c.message, "");
        } catch (const VistrelError &error) {
            EXPECT_EQ(error.Message, QString::fromUtf8(c.message));
        }
    }

    // Through the export: nothing is composed, and a print of that name stays.
    ScriptedPlatform platform;
    PsdBuilder b;
    b.ColorMode = 4;
    b.Width = 100;
    b.Height = 200;
    b.AddLayer(0, 0, 100, 200, {10, 20, 30, 40});
    ImportBuilt(doc, platform, b);
    const QString print = platform.Sandbox.path() + QStringLiteral("/tall.tif");
    WriteFileBytes(print, "an earlier print");
    PrintSettings s{600000, 100000 * Fixed4One, 60000 * Fixed4One, 42 * Fixed4One, 1, {}};
    try {
        ExportPrint(doc, s, {0}, 0, print);
        ADD_FAILURE() << "a print 2.4 billion columns wide was not refused";
    } catch (const VistrelError &error) {
        // 23 622.0472 in at 60 lpi: 1 417 323 lenses of 1 666.67 columns; 16.5354 in at 100 000 dpi.
        EXPECT_TRUE(error.Message.startsWith(QLatin1String("The print would be 2 362 205 000 x 1 653 540 pixels in CMYK")))
            << error.Message.toStdString();
    }
    EXPECT_EQ(ReadFileBytes(print), QByteArray("an earlier print"));
    EXPECT_FALSE(QFile::exists(WorkFileName3(QStringLiteral("vwd"), 7)));
}

TEST(PrintExport, AViewFileThatIsNotWhatWasMadeIsRefusedBeforeThePrint)
{
    Document doc;
    ScriptedPlatform platform;
    ImportBuilt(doc, platform, TwoLayers());
    const QStringList views = WriteFullResolutionViews(doc, {0, 10}, 0);
    const QString third = views[2];
    const QByteArray original = ReadFileBytes(third);
    const QString print = platform.Sandbox.path() + QStringLiteral("/doc.tif");

    struct Case { const char *what; std::function<void()> spoil; const char *message; };
    const Case cases[] = {
        {"wider", [&] { SaveBitmapAsTiff(NewPicture(140, 80, 24), third, doc.PsdDpi, doc.PsdDpi); },
         "The views do not match"},
        {"taller", [&] { SaveBitmapAsTiff(NewPicture(120, 90, 24), third, doc.PsdDpi, doc.PsdDpi); },
         "The views do not match"},
        {"cut short", [&] { WriteFileBytes(third, original.left(original.size() - 100)); }, "is not a TIFF file"},
        {"a BMP", [&] { SaveImage(NewPicture(120, 80, 24), third); }, "is not a TIFF file"},
        {"grey", [&] { SaveBitmapAsTiff(NewPicture(120, 80, 8), third, doc.PsdDpi, doc.PsdDpi); }, "samples per pixel"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        c.spoil();
        WriteFileBytes(print, "an earlier print");
        try {
            InterlaceViews(views, 1, print, 300 * Fixed4One, 40 * Fixed4One, 20000, 13333, ModeRgb);
            ADD_FAILURE() << "a spoiled view was interlaced";
        } catch (const VistrelError &error) {
            EXPECT_TRUE(error.Message.contains(QLatin1String(c.message))) << error.Message.toStdString();
        }
        EXPECT_EQ(ReadFileBytes(print), QByteArray("an earlier print"));
    }
    // Swapped half-way through the print, after the views were checked.
    WriteFileBytes(third, original);
    bool swapped = false;
    try {
        InterlaceViews(views, 1, print, 300 * Fixed4One, 40 * Fixed4One, 20000, 13333, ModeRgb, [&](int percent) {
            if (percent >= 1 && !swapped) {  // after the views were checked, before the first band
                swapped = true;
                SaveBitmapAsTiff(NewPicture(400, 300, 24), third, doc.PsdDpi, doc.PsdDpi);
            }
        });
        ADD_FAILURE() << "a view swapped half-way was read";
    } catch (const VistrelError &error) {
        EXPECT_TRUE(error.Message.contains(QLatin1String("changed while the print was being made")))
            << error.Message.toStdString();
    }
    EXPECT_TRUE(swapped);
    EXPECT_EQ(ReadFileBytes(print), QByteArray("an earlier print"));

    WriteFileBytes(third, original);
    InterlaceViews(views, 1, print, 300 * Fixed4One, 40 * Fixed4One, 20000, 13333, ModeRgb);
    EXPECT_EQ(ReadTiffInfo(print).Width, 600);  // 2 in at 40 lpi: 80 lenses of 7.5 columns at 300 dpi
}

TEST(PrintExport, ALayerFileThatIsNotWhatWasImportedIsRefused)
{
    Document doc;
    ScriptedPlatform platform;
    ImportBuilt(doc, platform, TwoLayers());
    const QString colour = WorkFileName(QStringLiteral("ly"), 2);
    const QString coverage = WorkFileName(QStringLiteral("lyt"), 2);
    const QByteArray colourBytes = ReadFileBytes(colour), coverageBytes = ReadFileBytes(coverage);

    struct Case { const char *what; QString file; QImage picture; const char *message; };
    const Case cases[] = {
        {"a larger picture", colour, NewPicture(400, 300, 24), "is 400 x 300 pixels, but its layer is 40 x 40"},
        {"a larger coverage", coverage, NewPicture(400, 300, 8), "with a coverage of 400 x 300"},
        {"a grey picture", colour, NewPicture(40, 40, 8), "at 8 bits"},
        {"a colour coverage", coverage, NewPicture(40, 40, 24), "with a coverage of 40 x 40"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        WriteFileBytes(colour, colourBytes);
        WriteFileBytes(coverage, coverageBytes);
        SaveImage(c.picture, c.file);
        try {
            WriteFullResolutionViews(doc, {0, 10}, 0);
            ADD_FAILURE() << "a changed layer file was composed";
        } catch (const VistrelError &error) {
            EXPECT_TRUE(error.Message.contains(QLatin1String(c.message))) << error.Message.toStdString();
        }
    }
}

TEST(PrintExport, TheViewsComposedBandByBandGiveThePrintOfTheViewFiles)
{
    Document doc;
    // Layers that reach past the canvas on every side, half-covering ones, a
    // flip group and a relief layer, in each colour mode, at resolutions below
    // and above the canvas and with an H scale.
    struct Case {
        uint16_t Mode;
        Fixed4 Dpi;
        int HScale;
    };
    const Case cases[] = {{ModeRgb, 300 * Fixed4One, 1}, {ModeRgb, 1440 * Fixed4One, 2},
                          {ModeGrey, 720 * Fixed4One, 1}, {ModeCmyk, 600 * Fixed4One, 3}};
    for (const Case &c : cases) {
        SCOPED_TRACE(testing::Message() << c.Mode << " at " << c.Dpi / Fixed4One << " dpi");
        ScriptedPlatform platform;
        PsdBuilder b;
        b.Width = 230;
        b.Height = 97;
        b.ColorMode = c.Mode;
        b.Groups = {0, 0, 2, 2, 0, 0};
        const size_t channels = c.Mode == ModeGrey ? 1 : c.Mode == ModeRgb ? 3 : 4;
        // Every channel of its own value, so that a channel out of place shows.
        auto colours = [&](uint8_t first) {
            std::vector<uint8_t> values;
            for (size_t k = 0; k < channels; ++k)
                values.push_back(uint8_t(first + 60 * k));
            return values;
        };
        PsdBuilderLayer &bg = b.AddLayer(0, 0, 230, 97, colours(0), -1);
        for (int i = 0; i < 230 * 97; ++i)
            bg.Channels[0].Plane[qsizetype(i)] = char((i * 7) % 251);
        b.AddLayer(-20, -10, 80, 50, colours(200), 128);
        b.AddLayer(100, 30, 60, 40, colours(40));
        b.AddLayer(110, 20, 60, 40, colours(90), 200);
        b.AddLayer(190, 60, 70, 60, colours(150), 77);
        b.AddLayer(30, 40, 90, 50, colours(10));
        ImportBuilt(doc, platform, b);
        // The top layer becomes a relief of one line.
        doc.LayerLines.assign(size_t(doc.LayerCount), LineSet(OrderCount));
        doc.LayerLines[size_t(doc.LayerCount - 1)][0] = {ContourLine{{60, 45}, {110, 45}, {110, 85}, {60, 85}}};
        doc.Layers[size_t(doc.LayerCount - 1)].GroupId = GroupReliefToRender;
        doc.Layers[size_t(doc.LayerCount - 1)].ReliefDepth = 2 * Fixed4One;
        doc.Depth = 5 * Fixed4One;
        const std::vector<int32_t> offsets = {0, 30, -20, -20, 12, 25};
        const PrintSettings s{600000, c.Dpi, 8 * Fixed4One, ToFixed4(8 * 97.0 / 230), c.HScale, {}};
        const QString fromFiles = platform.Sandbox.path() + QStringLiteral("/files.tif");
        const QString banded = platform.Sandbox.path() + QStringLiteral("/banded.tif");
        ExportPrint(doc, s, offsets, 25, fromFiles, {}, {}, true);
        QFile::remove(WorkFileName3(QStringLiteral("vwd"), 1));
        int last = -1;
        bool rising = true;
        ExportPrint(doc, s, offsets, 25, banded, [&](int p) {
            rising = rising && p >= last;
            last = p;
        });
        EXPECT_TRUE(rising);
        EXPECT_EQ(last, 100);
        // No view file was needed for the banded print.
        EXPECT_FALSE(QFile::exists(WorkFileName3(QStringLiteral("vwd"), 1)));
        const QByteArray expected = WithoutTiffDate(ReadFileBytes(fromFiles));
        ASSERT_GT(expected.size(), 1000);
        EXPECT_TRUE(WithoutTiffDate(ReadFileBytes(banded)) == expected);
    }
}

// The view files, written a band at a time from the bottom up, hold what
// composing each whole view gives, with its coverage.
TEST(PrintExport, TheViewFilesHoldTheWholeComposedViews)
{
    Document doc;
    ScriptedPlatform platform;
    PsdBuilder b;
    b.Width = 240;
    b.Height = 90;
    b.Groups = {0, 1, 1, 0};
    b.AddLayer(0, 0, 240, 90, {10, 70, 130});
    b.AddLayer(30, 20, 50, 40, {255, 0, 0});
    b.AddLayer(30, 20, 50, 40, {0, 255, 0});
    b.AddLayer(150, 10, 60, 60, {0, 0, 255}, 180);
    ImportBuilt(doc, platform, b);
    const std::vector<int32_t> offsets = DefaultGridOffsets(doc);
    WriteFullResolutionViews(doc, offsets, 0);
    BuildGroupTables(doc);
    for (int n = 0; n < 7; ++n) {
        PlaceLayersForView(doc, n + 1, offsets, 0);
        doc.CurrentView = n;
        ComposeView(doc, Resolution::Full);
        const QImage file = LoadTiffBitmap(WorkFileName3(QStringLiteral("vwd"), n + 1));
        EXPECT_TRUE(file == doc.ComposedImage) << "view " << n + 1;
        EXPECT_TRUE(LoadImage(WorkFileName3(QStringLiteral("vwdt"), n + 1)) == doc.ComposedAlpha) << n;
    }
}

TEST(PrintExport, ALayerWithAnEmptyCoverageFileLaysNothing)
{
    Document doc;
    ScriptedPlatform platform;
    ImportBuilt(doc, platform, TwoLayers());
    SaveImage(QImage(), WorkFileName(QStringLiteral("lyt"), 2));  // a file of no bytes
    const PrintSettings s{400000, 300 * Fixed4One, 5 * Fixed4One, ToFixed4(5 * 80.0 / 120), 1, {}};
    const QString fromFiles = platform.Sandbox.path() + QStringLiteral("/files.tif");
    const QString banded = platform.Sandbox.path() + QStringLiteral("/banded.tif");
    ExportPrint(doc, s, {0, 10}, 0, fromFiles, {}, {}, true);
    ExportPrint(doc, s, {0, 10}, 0, banded);
    EXPECT_TRUE(WithoutTiffDate(ReadFileBytes(banded)) == WithoutTiffDate(ReadFileBytes(fromFiles)));
    // The layer is not there: the view is the background alone.
    const QImage view = LoadTiffBitmap(WorkFileName3(QStringLiteral("vwd"), 4));
    EXPECT_EQ(view.pixel(30, 30), view.pixel(5, 5));
}

TEST(PrintExport, TheCropKeepsOnlyTheColumnsEveryViewCovers)
{
    Document doc;
    // The bundled sample at a large depth: the outer views pull its layers
    // away from the canvas edges.
    ScriptedPlatform platform;
    doc = Document();
    WorkFolder = platform.WorkFolderPath();
    QDir().mkpath(WorkFolder);
    ImportDocument(doc, SourceFolder() + QStringLiteral("/sample/vistrel-sample.psd"));
    doc.Depth = 6 * Fixed4One;
    doc.CentreView = 4;
    const std::vector<int32_t> offsets = DefaultGridOffsets(doc);
    const int32_t focus = FocusOffsetIn(offsets, doc.FocusLayer);
    // A print column all white shows no view's picture at all.
    auto whiteColumns = [](const QImage &print) {
        int white = 0;
        for (int x = 0; x < print.width(); ++x) {
            bool all = true;
            for (int y = 0; y < print.height() && all; y += 7)
                all = (print.pixel(x, y) & 0xFFFFFF) == 0xFFFFFF;
            white += all;
        }
        return white;
    };
    struct Case {
        bool Crop;
    } cases[] = {{false}, {true}};
    for (const Case &c : cases) {
        SCOPED_TRACE(c.Crop);
        doc.CropEdges = c.Crop ? 1 : 0;
        ChooseCrop(doc, offsets, focus);
        const Fixed4 aspect = CroppedAspectRatio(doc);
        const PrintSettings s{400000, 300 * Fixed4One, 10 * Fixed4One, RoundDiv(10 * Fixed4One * Fixed4One, aspect), 1, {}};
        const QString path = platform.Sandbox.path() + QStringLiteral("/print.tif");
        ExportPrint(doc, s, offsets, focus, path);
        const QImage print = LoadTiffBitmap(path);
        if (!c.Crop) {
            EXPECT_EQ(doc.CropWidth, 0);
            EXPECT_GT(whiteColumns(print), 0);
            continue;
        }
        ASSERT_GT(doc.CropWidth, 0);
        EXPECT_LT(doc.CropWidth, doc.ImageWidth);
        EXPECT_EQ(whiteColumns(print), 0);
        // Its proportion is that of the columns kept.
        const double printed = double(print.height()) / print.width();
        const double kept = double(doc.ImageHeight) / doc.CropWidth;
        EXPECT_NEAR(printed / kept, 1.0, 0.01) << printed << " against " << kept;
        EXPECT_TRUE(CropText(doc).startsWith(QString::number(doc.ImageWidth - doc.CropWidth) + QStringLiteral(" columns cut")));
    }
}

// A document of more layers than the process may open files: every output is
// made, the layer files opened a band at a time.
TEST(PrintExport, MoreLayersThanOpenFilesAllowed)
{
    QTemporaryDir dir;
    PsdBuilder b;
    b.Width = 120;
    b.Height = 80;
    for (int i = 0; i < 300; ++i)
        b.AddLayer(i % 110, (i * 7) % 70, 10, 10, {uint8_t(i), uint8_t(255 - i % 256), 90}, 200);
    const QString psd = dir.filePath(QStringLiteral("many.psd"));
    WriteFileBytes(psd, b.Build());
    const QString command = QStringLiteral("ulimit -n 128 && exec \"%1\" --export-tiff \"%2\" --export-psd \"%3\" "
                                           "--export-gif \"%4\" \"%5\"")
                                .arg(VistrelProgram(), dir.filePath(QStringLiteral("many.tif")),
                                     dir.filePath(QStringLiteral("many_3D.psd")), dir.filePath(QStringLiteral("many.gif")),
                                     psd);
    int code = -1;
    QByteArray err;
    RunProgram(QStringLiteral("/bin/sh"), {QStringLiteral("-c"), command}, &code, &err);
    EXPECT_EQ(code, 0) << err.toStdString();
    for (const char *name : {"many.tif", "many_3D.psd", "many.gif"})
        EXPECT_GT(QFileInfo(dir.filePath(QString::fromLatin1(name))).size(), 0) << name;
}

// A layer placed as far off the canvas as 32 bits reach moves and composes
// without overflowing anything: the print is that of the same layer placed
// merely far away.
TEST(PrintExport, ALayerAtTheEndOfThe32BitRangeComposesLikeAnyLayerOffTheCanvas)
{
    QTemporaryDir dir;
    QList<QByteArray> prints;
    for (int32_t far : {INT32_MIN, -1'000'000}) {
        PsdBuilder b;
        b.Width = 90;
        b.Height = 60;
        b.AddLayer(0, 0, 90, 60, {200, 210, 220});
        b.AddLayer(far, far, 8, 8, {10, 20, 30});
        b.AddLayer(20, 10, 30, 30, {90, 20, 30}, 180);
        const QString psd = dir.filePath(QStringLiteral("far.psd"));
        WriteFileBytes(psd, b.Build());
        const QString print = dir.filePath(QStringLiteral("far.tif"));
        int code = -1;
        QByteArray err;
        RunProgram(VistrelProgram(), {QStringLiteral("--export-tiff"), print, QStringLiteral("--depth"),
                                      QStringLiteral("10"), psd},
                   &code, &err);
        ASSERT_EQ(code, 0) << err.toStdString();
        prints << WithoutTiffDate(ReadFileBytes(print));
    }
    EXPECT_TRUE(prints[0] == prints[1]);
}
