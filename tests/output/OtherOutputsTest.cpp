#include "Anaglyph.h"
#include "BmpCodec.h"
#include "Document.h"
#include "Errors.h"
#include "GifExport.h"
#include "Import.h"
#include "LayeredPsd.h"
#include "PrintExport.h"
#include "PsdBuilder.h"
#include "ScriptedPlatform.h"
#include "TestSupport.h"
#include "Tiff.h"
#include "ViewSet.h"
#include "WorkFolder.h"

#include <QDir>
#include <algorithm>
#include <cstdio>
#include <QTemporaryDir>
#include <cstring>
#include <gtest/gtest.h>

namespace {

uint32_t U32BE(const QByteArray &b, qsizetype at)
{
    return uint32_t(uchar(b[at])) << 24 | uint32_t(uchar(b[at + 1])) << 16 | uint32_t(uchar(b[at + 2])) << 8 |
           uchar(b[at + 3]);
}

// A small document imported, with its preview and full-resolution views written.
class ViewsReady : public ::testing::Test {
protected:
    Document doc;
    void Make(uint16_t mode, int width, int height)
    {
        doc = Document();
        WorkFolder = dir.path() + QStringLiteral("/");
        PsdBuilder b;
        b.Width = width;
        b.Height = height;
        b.ColorMode = mode;
        const size_t channels = mode == 1 ? 1 : mode == 3 ? 3 : 4;
        PsdBuilderLayer &bg = b.AddLayer(0, 0, width, height, std::vector<uint8_t>(channels, 0), -1);
        for (size_t c = 0; c < channels; ++c)
            for (int i = 0; i < width * height; ++i)
                bg.Channels[c].Plane[i] = char((i % width) * (c + 1) + i / width);
        std::vector<uint8_t> ink(channels, 40);
        ink[0] = 250;
        b.AddLayer(width / 4, height / 4, width / 3, height / 2, ink, 160);
        b.AddLayer(width / 2, 2, width / 5, height - 4, std::vector<uint8_t>(channels, 90));
        psd = dir.path() + QStringLiteral("/art.psd");
        WriteFileBytes(psd, b.Build());
        ImportDocument(doc, psd);
        const std::vector<int32_t> offsets = DefaultGridOffsets(doc);
        const int32_t focus = FocusOffsetIn(offsets, doc.FocusLayer);
        GenerateViewFiles(doc, offsets, focus);
        WriteFullResolutionViews(doc, offsets, focus);
    }
    QTemporaryDir dir;
    QString psd;
};

}  // namespace

TEST(LayeredPsd, LengthsAndRecordsOfTheReferenceDocument)
{
    const QByteArray record = LayeredPsdRecord(3, 100, 50, 3);
    EXPECT_EQ(record.size(), 268);
    EXPECT_EQ(LayeredPsdLayerInfoLength(100, 50, 3), 141934);
    EXPECT_EQ(U32BE(record, 8), 50u);   // bottom
    EXPECT_EQ(U32BE(record, 12), 100u); // right
    EXPECT_EQ(record.mid(16, 2), QByteArray("\x00\x04", 2));
    EXPECT_EQ(record.mid(18, 6), QByteArray("\xff\xff\x00\x00\x13\x8a", 6));  // id -1, 5002 bytes
    EXPECT_EQ(record.mid(42, 8), QByteArray("8BIMnorm"));
    EXPECT_EQ(record.mid(50, 4), QByteArray("\xff\x00\x28\x00", 4));
    EXPECT_EQ(U32BE(record, 54), 210u);
    EXPECT_EQ(record.mid(106, 8), QByteArray("\x05lyr03\0\0", 8));
    EXPECT_TRUE(record.contains(QByteArray("8BIMluni\0\0\0\x0e\0\0\0\x05\0l\0y\0r\0" "0\0" "3", 26)));
    EXPECT_TRUE(record.contains(QByteArray("8BIMlyid\0\0\0\x04\0\0\0\x09", 16)));  // layer id 3 + 6
    EXPECT_TRUE(record.endsWith(QByteArray("8BIMfxrp\0\0\0\x10", 12) + QByteArray(16, '\0')));
    EXPECT_EQ(LayeredPsdRecord(1, 4, 4, 1).size(), 256);  // grey: 250 + 6
}

TEST_F(ViewsReady, LayeredPsdHasTheExactLengthAndTheViewsAsLayers)
{
    ScriptedPlatform platform;
    WorkFolder = dir.path() + QStringLiteral("/");
    Make(3, 100, 50);
    const QString out = dir.path() + QStringLiteral("/views.psd");
    WriteLayeredPsd(out, 7, 3);
    const QByteArray f = ReadFileBytes(out);
    ASSERT_EQ(f.size(), 156994);
    EXPECT_EQ(U32BE(f, 34), 141954u);
    EXPECT_EQ(U32BE(f, 38), 141934u);
    EXPECT_EQ(f.mid(42, 2), QByteArray("\x00\x07", 2));
    EXPECT_EQ(f.mid(34 + 4 + 141954 - 12, 12), QByteArray("qz58mavo\0\0\0\0", 12));
    // The merged image is view 7's red, green and blue.
    const QImage view7 = LoadTiffBitmap(WorkFileName3(QStringLiteral("vwd"), 7));
    EXPECT_EQ(uchar(f[156994 - 15000]), view7.constScanLine(0)[2]);

    // psd_tools reads seven layers whose pixels and transparency are the views'.
    if (!PsdToolsInstalled())
        GTEST_SKIP() << NotInstalledReason(QStringLiteral("psd_tools"), "python3-psd-tools");
    QTemporaryDir planes;
    int code = -1;
    const QByteArray count = RunProgram(QStringLiteral("/usr/bin/python3"),
                                        {SourceFolder() + QStringLiteral("/tests/tools/psd_planes.py"), out,
                                         planes.path()},
                                        &code);
    ASSERT_EQ(code, 0);
    EXPECT_EQ(count.trimmed(), QByteArray("7"));
    for (int j = 1; j <= 7; ++j) {
        const QImage view = LoadTiffBitmap(WorkFileName3(QStringLiteral("vwd"), j));
        const QImage coverage = LoadImage(WorkFileName3(QStringLiteral("vwdt"), j));
        const QString prefix = planes.path() + QStringLiteral("/%1_").arg(j - 1);
        const QByteArray alpha = ReadFileBytes(prefix + QStringLiteral("-1.raw"));
        ASSERT_EQ(alpha.size(), 5000);
        for (int y = 0; y < 50; ++y)
            ASSERT_EQ(std::memcmp(alpha.constData() + y * 100, coverage.constScanLine(y), 100), 0) << j;
        for (int c = 0; c < 3; ++c) {
            const QByteArray plane = ReadFileBytes(prefix + QString::number(c) + QStringLiteral(".raw"));
            ASSERT_EQ(plane.size(), 5000);
            for (int y = 0; y < 50; ++y)
                for (int x = 0; x < 100; ++x)
                    ASSERT_EQ(uchar(plane[y * 100 + x]), view.constScanLine(y)[3 * x + 2 - c]) << j << " " << c;
        }
    }
    // ImageMagick reads the merged image and the seven layers.
    if (!ProgramInstalled(QStringLiteral("identify")))
        GTEST_SKIP() << NotInstalledReason(QStringLiteral("identify"), "imagemagick");
    EXPECT_EQ(RunProgram(QStringLiteral("identify"), {QStringLiteral("-format"), QStringLiteral("%w %h\n"), out}),
              QByteArray("100 50\n").repeated(8));
}

TEST_F(ViewsReady, GreyLayeredPsdHasTwoChannelsPerLayer)
{
    ScriptedPlatform platform;
    Make(1, 20, 10);
    const QString out = dir.path() + QStringLiteral("/grey.psd");
    WriteLayeredPsd(out, 7, 1);
    const QByteArray f = ReadFileBytes(out);
    EXPECT_EQ(f.mid(24, 2), QByteArray("\x00\x01", 2));  // colour mode 1
    EXPECT_EQ(f.mid(12, 2), QByteArray("\x00\x01", 2));  // one channel
    EXPECT_EQ(f.mid(44 + 16, 2), QByteArray("\x00\x02", 2));
    EXPECT_EQ(f.size(), 26 + 4 + 4 + 4 + LayeredPsdLayerInfoLength(20, 10, 1) + 20 + 2 + 200);
}

TEST(Gif, FrameSizesAndPalette)
{
    struct Case { QSize view, frame; };
    for (const Case c : {Case{{1200, 900}, {800, 600}}, Case{{799, 500}, {799, 500}}, Case{{800, 601}, {800, 601}},
                         Case{{1100, 825}, {800, 600}}})
        EXPECT_EQ(GifFrameSize(c.view, 800), c.frame) << c.view.width();
    const std::vector<uint8_t> &p = GifPalette();
    ASSERT_EQ(p.size(), 768u);
    auto colourOf = [&](uint8_t i) { return QColor(p[3 * i], p[3 * i + 1], p[3 * i + 2]); };
    // Colours of the cube are themselves; greys stay grey.
    for (QColor c : {QColor(255, 0, 0), QColor(0, 0, 255), QColor(51, 102, 204), QColor(255, 255, 255), QColor(0, 0, 0)})
        EXPECT_EQ(colourOf(NearestPaletteIndex(uchar(c.red()), uchar(c.green()), uchar(c.blue()))), c);
    for (int g = 0; g < 256; g += 7) {
        const QColor c = colourOf(NearestPaletteIndex(uchar(g), uchar(g), uchar(g)));
        EXPECT_EQ(c.red(), c.green());
        EXPECT_EQ(c.green(), c.blue());
        EXPECT_LE(std::abs(c.red() - g), 4) << g;
    }
}

TEST_F(ViewsReady, GifHasFourteenLoopingFramesOfTheRightSize)
{
    ScriptedPlatform platform;
    Make(4, 1100, 60);  // CMYK: the display copies are used
    const QString out = dir.path() + QStringLiteral("/anim.gif");
    std::vector<int> progress;
    ExportViewsGif(800, 10, out, 4, [&](int p) { progress.push_back(p); });
    EXPECT_EQ(progress, (std::vector<int>{0, 10, 16, 23, 29, 36, 42, 49, 55, 61, 68, 74, 81, 87, 94, 100, 0}));
    const QByteArray f = ReadFileBytes(out);
    EXPECT_TRUE(f.startsWith("GIF89a"));
    EXPECT_EQ(f.count("NETSCAPE2.0"), 14);
    if (!ProgramInstalled(QStringLiteral("identify")) || !ProgramInstalled(QStringLiteral("convert")))
        GTEST_SKIP() << NotInstalledReason(QStringLiteral("identify and convert"), "imagemagick");
    const QByteArray frames = RunProgram(QStringLiteral("identify"),
                                         {QStringLiteral("-format"), QStringLiteral("%w %h %T\n"), out});
    EXPECT_EQ(frames, QByteArray("800 44 10\n").repeated(14));
    const QByteArray verbose = RunProgram(QStringLiteral("identify"), {QStringLiteral("-verbose"), out + "[0]"});
    EXPECT_TRUE(verbose.contains("Iterations: 0")) << verbose.left(2000).constData();
    // Frame 8 (view 7 again) equals frame 7; frame 1 differs from frame 7.
    const QByteArray f1 = RunProgram(QStringLiteral("convert"), {out + "[0]", QStringLiteral("rgb:-")});
    const QByteArray f7 = RunProgram(QStringLiteral("convert"), {out + "[6]", QStringLiteral("rgb:-")});
    const QByteArray f8 = RunProgram(QStringLiteral("convert"), {out + "[7]", QStringLiteral("rgb:-")});
    EXPECT_EQ(f7, f8);
    EXPECT_NE(f1, f7);

    // A view gone: the message, and the file of that name is left as it was.
    WriteFileBytes(out, "an older animation");
    QFile::remove(WorkFileName(QStringLiteral("vwv"), 5));
    EXPECT_THROW(ExportViewsGif(800, 10, out, 4), VistrelError);
    EXPECT_EQ(ReadFileBytes(out), QByteArray("an older animation"));
    EXPECT_EQ(QDir(dir.path()).entryList({QStringLiteral("anim.gif*")}, QDir::Files),
              QStringList{QStringLiteral("anim.gif")});
}

TEST(Anaglyph, GreyValuesAndTheFileName)
{
    EXPECT_EQ(AnaglyphGrey(255, 0, 0), 76);  // 76.5 goes to the even 76
    EXPECT_EQ(AnaglyphGrey(0, 0, 255), 28);  // 28.05
    EXPECT_EQ(AnaglyphGrey(0, 255, 0), 150);
    EXPECT_EQ(AnaglyphGrey(255, 255, 255), 255);
    QImage left = NewPicture(2, 1, 24), right = NewPicture(2, 1, 24);
    const uchar red[6] = {0, 0, 255, 10, 20, 30}, blue[6] = {255, 0, 0, 10, 20, 30};
    std::memcpy(left.scanLine(0), red, 6);
    std::memcpy(right.scanLine(0), blue, 6);
    const QImage a = MakeAnaglyph(left, right);
    EXPECT_EQ(QByteArray(reinterpret_cast<const char *>(a.constScanLine(0)), 3), QByteArray("\x1c\x1c\x4c", 3));
    EXPECT_EQ(AnaglyphPath(QStringLiteral("C:\\art\\scene.psd")), QStringLiteral("C:\\art\\scene_qz58.bmp"));
    EXPECT_EQ(AnaglyphPath(QStringLiteral("/art/scene.jpeg")), QStringLiteral("/art/scene._qz58.bmp"));
    EXPECT_THROW(MakeAnaglyph(left, NewPicture(3, 1, 24)), VistrelError);
}

TEST(Gif, TheAdaptivePaletteIsCutFromTheViews)
{
    // Up to 256 colours are kept exactly; the entries left over are black.
    std::vector<std::vector<uint8_t>> few(2);
    for (int i = 0; i < 40; ++i)
        for (auto &f : few)
            f.insert(f.end(), {uint8_t(i * 6), uint8_t(255 - i), uint8_t(i % 7 * 30)});
    const std::vector<uint8_t> exact = AdaptivePalette(few);
    ASSERT_EQ(exact.size(), 768u);
    NearestColour nearestExact(exact);
    EXPECT_EQ(GifPaletteMeanError(few, nearestExact), 0.0);
    EXPECT_EQ(std::vector<uint8_t>(exact.begin() + 120, exact.end()), std::vector<uint8_t>(648, 0));
    EXPECT_EQ(AdaptivePalette(few), exact);  // the same colours give the same palette

    // Many colours: a smooth gradient is followed much more closely than by
    // the halftone palette.
    std::vector<std::vector<uint8_t>> many(1);
    for (int y = 0; y < 64; ++y)
        for (int x = 0; x < 256; ++x)
            many[0].insert(many[0].end(), {uint8_t(x), uint8_t(y * 4), uint8_t(128)});
    NearestColour adaptive(AdaptivePalette(many)), halftone(GifPalette());
    const double adaptiveError = GifPaletteMeanError(many, adaptive), halftoneError = GifPaletteMeanError(many, halftone);
    EXPECT_LT(adaptiveError, halftoneError / 2);

    // A nearest colour is the nearest entry, the first of equals.
    std::vector<uint8_t> twoEntries(768, 0);
    std::copy_n(std::begin({uint8_t(10), uint8_t(10), uint8_t(10), uint8_t(30), uint8_t(30), uint8_t(30)}), 6,
                twoEntries.begin());
    NearestColour two(twoEntries);
    EXPECT_EQ(two(12, 12, 12), 0);
    EXPECT_EQ(two(25, 25, 25), 1);
    EXPECT_EQ(two(3, 3, 3), 2);  // black (entry 2 on) is nearer than grey 10: the first black
}

TEST(Gif, OnTheBundledSampleTheAdaptivePaletteIsCloserThanTheHalftone)
{
    Document doc;
    ScriptedPlatform platform;
    doc = Document();
    WorkFolder = platform.WorkFolderPath();
    QDir().mkpath(WorkFolder);
    ImportDocument(doc, SourceFolder() + QStringLiteral("/sample/vistrel-sample.psd"));
    const std::vector<int32_t> offsets = DefaultGridOffsets(doc);
    GenerateViewFiles(doc, offsets, FocusOffsetIn(offsets, doc.FocusLayer));
    std::vector<std::vector<uint8_t>> frames;
    const QSize frame = GifFrameSize(QSize(doc.WorkWidth, doc.WorkHeight), 800);
    for (int k = 1; k <= ViewCount; ++k)
        frames.push_back(GifFrameColours(LoadImage(WorkFileName(QStringLiteral("vw"), k)), frame));
    NearestColour adaptive(AdaptivePalette(frames)), halftone(GifPalette());
    const double adaptiveError = GifPaletteMeanError(frames, adaptive);
    const double halftoneError = GifPaletteMeanError(frames, halftone);
    std::printf("mean error per channel on the sample: halftone %.2f, adaptive %.2f\n", halftoneError, adaptiveError);
    EXPECT_LT(adaptiveError, halftoneError);

    // The batch mode writes either palette into the GIF's colour table.
    const QString program = VistrelProgram();
    const QString psd = SourceFolder() + QStringLiteral("/sample/vistrel-sample.psd");
    QTemporaryDir dir;
    int code = -1;
    QByteArray tables[2];
    const char *kinds[2] = {"halftone", "adaptive"};
    for (int i = 0; i < 2; ++i) {
        const QString gif = dir.path() + QStringLiteral("/%1.gif").arg(QLatin1String(kinds[i]));
        QByteArray err;
        RunProgram(program, {QStringLiteral("--export-gif"), gif, QStringLiteral("--gif-palette"),
                             QLatin1String(kinds[i]), psd}, &code, &err);
        ASSERT_EQ(code, 0) << err.toStdString();
        tables[i] = ReadFileBytes(gif).mid(13, 768);  // the global colour table after the screen descriptor
    }
    EXPECT_EQ(tables[0], QByteArray(reinterpret_cast<const char *>(GifPalette().data()), 768));
    EXPECT_NE(tables[1], tables[0]);
    QByteArray err;
    RunProgram(program, {QStringLiteral("--export-gif"), dir.path() + QStringLiteral("/x.gif"),
                         QStringLiteral("--gif-palette"), QStringLiteral("fancy"), psd}, &code, &err);
    EXPECT_EQ(code, 2);  // a wrong option: the usage follows
    EXPECT_TRUE(err.contains("--gif-palette is halftone or adaptive, not 'fancy'")) << err.toStdString();
}
