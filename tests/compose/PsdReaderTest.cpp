#include "BmpCodec.h"
#include "Document.h"
#include "Errors.h"
#include "Import.h"
#include "PsdBuilder.h"
#include "PsdReader.h"
#include "TestSupport.h"
#include "WorkFolder.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <cstring>
#include <gtest/gtest.h>

namespace {

class PsdReaderTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        WorkFolder = dir.path() + QStringLiteral("/");
    }
    QString Write(const QByteArray &bytes, const QString &name = QStringLiteral("t.psd"))
    {
        const QString path = dir.path() + QStringLiteral("/") + name;
        WriteFileBytes(path, bytes);
        return path;
    }
    QTemporaryDir dir;
};

QString RefusalOf(const QString &path)
{
    try {
        ReadPsd(path);
    } catch (const VistrelError &e) {
        return e.Message;
    }
    return {};
}

}  // namespace

TEST_F(PsdReaderTest, WorkingGeometryFollowsTheCanvasWidth)
{
    struct Case { int width, height; Fixed4 scale; int workWidth, workHeight; };
    // 1529 x 625: the scale 0.7848 gives exactly 490.5 rows, which rounds to the even 490.
    const Case cases[] = {{1500, 10, 10000, 1500, 10}, {1501, 10, 7995, 1200, 8}, {3000, 2000, 4000, 1200, 800},
                          {1600, 900, 7500, 1200, 675}, {1529, 625, 7848, 1200, 490}};
    for (const Case &c : cases) {
        SCOPED_TRACE(c.width);
        PsdBuilder b;
        b.Width = c.width;
        b.Height = c.height;
        b.AddLayer(0, 0, 2, 2, {1, 2, 3});
        const PsdDocument doc = ReadPsd(Write(b.Build()));
        EXPECT_EQ(doc.WorkScale, c.scale);
        EXPECT_EQ(doc.WorkWidth, c.workWidth);
        EXPECT_EQ(doc.WorkHeight, c.workHeight);
    }
}

TEST_F(PsdReaderTest, ResolutionAndGroupResources)
{
    struct Case {
        const char *name;
        bool writeResolution;
        int whole, fraction;
        std::vector<uint16_t> groups;
        bool groupsFirst;
        Fixed4 dpi;
        std::vector<uint8_t> groupIds;
    };
    const Case cases[] = {
        {"72.5 dpi", true, 72, 32768, {3, 259, 256}, false, 725000, {3, 3, 0}},
        {"stored 0", true, 0, 0, {}, false, 2000000, {0, 0, 0}},
        {"no resolution", false, 0, 0, {}, false, 2000000, {0, 0, 0}},
        {"groups before the resolution", true, 300, 0, {1, 1, 2}, true, 3000000, {1, 1, 2}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        PsdBuilder b;
        b.Width = 3000;
        b.Height = 300;
        b.WriteResolution = c.writeResolution;
        b.DpiWhole = c.whole;
        b.DpiFraction = c.fraction;
        b.Groups = c.groups;
        b.GroupsBeforeResolution = c.groupsFirst;
        for (int i = 0; i < 3; ++i)
            b.AddLayer(i, 0, 4, 4, {1, 2, 3});
        const PsdDocument doc = ReadPsd(Write(b.Build()));
        EXPECT_EQ(doc.Dpi, c.dpi);
        for (int i = 0; i < 3; ++i)
            EXPECT_EQ(doc.Layers[i].GroupId, c.groupIds[i]) << i;
        if (c.whole == 300) {  // 3000 pixels at 300 dpi are 25.4 cm
            EXPECT_EQ(doc.WidthCm, 254000);
        }
    }
}

TEST_F(PsdReaderTest, LayerNamesAndFoldersAreRead)
{
    PsdBuilder b;
    b.Width = 40;
    b.Height = 20;
    // Record order, bottom first: a folder's end marker, its two layers, the folder, a layer above it.
    b.AddLayer(0, 0, 0, 0, {0, 0, 0}).Name = "</Layer group>";
    b.Layers.back().SectionKind = 3;
    b.AddLayer(0, 0, 10, 10, {1, 2, 3}).Name = "Balloon";
    b.Layers.back().UnicodeName = QStringLiteral("Ballon rouge \u00e0 \u6c14\u7403");  // wins over the short name
    b.AddLayer(0, 0, 10, 10, {1, 2, 3}).Name = "Ciel \xc3\xa9";                       // UTF-8
    b.AddLayer(0, 0, 0, 0, {0, 0, 0}).Name = "Flip";
    b.Layers.back().SectionKind = 2;  // a closed folder
    b.AddLayer(0, 0, 10, 10, {1, 2, 3}).Name = "Caf\xe9";  // a single-byte code page
    const PsdIndex index = ReadPsdIndex(Write(b.Build()));
    ASSERT_EQ(index.Layers.size(), 5u);
    const QStringList names{QStringLiteral("</Layer group>"), QStringLiteral("Ballon rouge \u00e0 \u6c14\u7403"),
                            QStringLiteral("Ciel \u00e9"), QStringLiteral("Flip"), QStringLiteral("Caf\u00e9")};
    const Layer::Folder marks[] = {Layer::Folder::End, Layer::Folder::None, Layer::Folder::None,
                                   Layer::Folder::Start, Layer::Folder::None};
    for (size_t i = 0; i < 5; ++i) {
        EXPECT_EQ(index.Layers[i].Record.Name, names[qsizetype(i)]) << i;
        EXPECT_EQ(index.Layers[i].Record.FolderMark, marks[i]) << i;
    }
    // The Name column: top first, the folder's layers indented under it.
    Document doc;
    for (const PsdLayerEntry &entry : index.Layers)
        doc.Layers.push_back(entry.Record);
    EXPECT_EQ(LayerNameCells(doc),
              (QStringList{QStringLiteral("Caf\u00e9"), QStringLiteral("\u25BE Flip"), QStringLiteral("  Ciel \u00e9"),
                           QStringLiteral("  Ballon rouge \u00e0 \u6c14\u7403"), QString()}));
}

TEST_F(PsdReaderTest, EveryCompressionDecodesToTheSamePixels)
{
    for (auto packing : {PsdBuilder::Compression::Raw, PsdBuilder::Compression::PackBits,
                         PsdBuilder::Compression::Zip, PsdBuilder::Compression::ZipPrediction}) {
        SCOPED_TRACE(int(packing));
        PsdBuilder b;
        b.Width = 20;
        b.Height = 10;
        b.Packing = packing;
        b.NegativeCount = true;  // -3 means three layers
        b.AddLayer(0, 0, 20, 10, {255, 255, 255});
        PsdBuilderLayer &l = b.AddLayer(-5, 2, 13, 6, {0, 0, 0}, 128);
        for (int i = 0; i < 13 * 6; ++i) {
            l.Channels[1].Plane[i] = char(i);       // red
            l.Channels[2].Plane[i] = char(i * 3);   // green
            l.Channels[3].Plane[i] = char(200 - i); // blue
            l.Channels[0].Plane[i] = char(i % 7 == 0 ? 0 : 255);
        }
        b.AddLayer(0, 0, 0, 0, {}, -1);  // an empty record, as a folder divider has
        const QString path = Write(b.Build());
        const PsdDocument doc = ReadPsd(path);
        ASSERT_EQ(doc.Layers.size(), 3u);
        const Layer &layer = doc.Layers[1];
        EXPECT_EQ(layer.Left, -5);
        EXPECT_EQ(layer.Width, 13);
        EXPECT_EQ(layer.Height, 6);
        EXPECT_EQ(layer.ChannelCount, 4);
        EXPECT_EQ(layer.BlendMode, QStringLiteral("norm"));
        const QImage colour = LoadImage(WorkFileName(QStringLiteral("ly"), 2));
        const QImage alpha = LoadImage(WorkFileName(QStringLiteral("lyt"), 2));
        ASSERT_EQ(colour.size(), QSize(13, 6));
        for (int i = 0; i < 13 * 6; ++i) {
            const uchar *p = colour.constScanLine(i / 13) + (i % 13) * 3;
            ASSERT_EQ(p[0], uchar(200 - i));  // blue, green, red
            ASSERT_EQ(p[1], uchar(i * 3));
            ASSERT_EQ(p[2], uchar(i));
            ASSERT_EQ(alpha.constScanLine(i / 13)[i % 13], i % 7 == 0 ? 0 : 255);
        }
        EXPECT_EQ(ReadFileBytes(WorkFileName(QStringLiteral("ly"), 3)).size(), 0);
        EXPECT_EQ(ReadFileBytes(WorkFileName(QStringLiteral("lyt"), 3)).size(), 0);
        EXPECT_TRUE(doc.Images[2].isNull() || doc.Images[2].width() == 0);
    }
}

TEST_F(PsdReaderTest, ChannelsAreTakenByIdInEveryColourMode)
{
    struct Case { uint16_t mode; std::vector<uint8_t> colour; QByteArray expected; bool alphaLast; bool alpha; };
    const Case cases[] = {
        {1, {77}, QByteArray("\x4d", 1), false, true},
        {3, {10, 20, 30}, QByteArray("\x1e\x14\x0a", 3), true, true},   // stored B, G, R
        {3, {10, 20, 30}, QByteArray("\x1e\x14\x0a", 3), false, false}, // no transparency: opaque
        {4, {10, 20, 30, 40}, QByteArray("\x0a\x14\x1e\x28", 4), true, true},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.mode * 10 + c.alphaLast);
        PsdBuilder b;
        b.Width = b.Height = 4;
        b.ColorMode = c.mode;
        PsdBuilderLayer &l = b.AddLayer(0, 0, 4, 4, c.colour, c.alpha ? 99 : -1);
        if (c.alphaLast)
            std::rotate(l.Channels.begin(), l.Channels.begin() + 1, l.Channels.end());
        l.Channels.push_back({-2, QByteArray(16, '\x11')});  // a mask: skipped
        b.ColorMode = c.mode;
        ReadPsd(Write(b.Build()));
        const QImage colour = LoadImage(WorkFileName(QStringLiteral("ly"), 1));
        EXPECT_EQ(QByteArray(reinterpret_cast<const char *>(colour.constScanLine(3)) + 3 * c.expected.size(),
                             c.expected.size()),
                  c.expected);
        EXPECT_EQ(LoadImage(WorkFileName(QStringLiteral("lyt"), 1)).constScanLine(2)[1], c.alpha ? 99 : 255);
    }
}

TEST_F(PsdReaderTest, PackBitsRowsAreCheckedAtBothEnds)
{
    struct Case { const char *name; QByteArray rows; int width; QByteArray plane; };
    const Case cases[] = {
        {"literal and repeat", QByteArray("\x00\x05" "\x01\x07\x08\xfe\x09", 7), 5, QByteArray("\x07\x08\x09\x09\x09", 5)},
        {"-128 is a no-op", QByteArray("\x00\x06" "\x80\x00\x07\x80\xfe\x01", 8), 4, QByteArray("\x07\x01\x01\x01", 4)},
        {"repeat overflows the row", QByteArray("\x00\x02" "\xfc\x01", 4), 3, {}},
        {"literal overflows the row", QByteArray("\x00\x05" "\x03\x01\x02\x03\x04", 7), 3, {}},
        {"literal runs past the data", QByteArray("\x00\x03" "\x05\x01\x02", 5), 6, {}},
        {"row decodes short", QByteArray("\x00\x02" "\xfe\x01", 4), 4, {}},
        {"row count past the data", QByteArray("\x00\x09" "\xfe\x01", 4), 3, {}},
        {"no row counts", QByteArray("\x00", 1), 3, {}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        const auto *data = reinterpret_cast<const uint8_t *>(c.rows.constData());
        if (c.plane.isEmpty()) {
            EXPECT_THROW(DecodePackBitsRows(data, c.rows.size(), c.width, 1, QStringLiteral("x")), VistrelError);
        } else {
            EXPECT_EQ(DecodePackBitsRows(data, c.rows.size(), c.width, 1, QStringLiteral("x")), c.plane);
        }
    }
    // Raw data shorter than the plane leave zeros; longer data are cut.
    const QByteArray shortRaw("\x00\x00\x05\x06", 4);
    EXPECT_EQ(DecodeChannel(reinterpret_cast<const uint8_t *>(shortRaw.constData()), 4, 2, 2, QStringLiteral("x")),
              QByteArray("\x05\x06\x00\x00", 4));
    const QByteArray longRaw("\x00\x00\x05\x06\x07", 5);
    EXPECT_EQ(DecodeChannel(reinterpret_cast<const uint8_t *>(longRaw.constData()), 5, 2, 1, QStringLiteral("x")),
              QByteArray("\x05\x06", 2));
}

TEST_F(PsdReaderTest, UnsupportedDocumentsAreRefusedByName)
{
    struct Case { const char *name; std::function<void(PsdBuilder &)> change; const char *says; };
    const Case cases[] = {
        {"PSB", [](PsdBuilder &b) { b.Version = 2; }, "PSB"},
        {"16 bits", [](PsdBuilder &b) { b.Depth = 16; }, "16 bit"},
        {"Lab", [](PsdBuilder &b) { b.ColorMode = 9; }, "Lab"},
        {"indexed", [](PsdBuilder &b) { b.ColorMode = 2; }, "Indexed"},
        {"no layers", [](PsdBuilder &b) { b.Layers.clear(); }, "no layers"},
        {"no pixels", [](PsdBuilder &b) { b.Layers.clear(); b.AddLayer(0, 0, 0, 0, {}, -1); }, "no layer with pixels"},
        {"wider than the format allows", [](PsdBuilder &b) { b.Width = 30001; }, "30000 pixels each way"},
        {"higher than the format allows", [](PsdBuilder &b) { b.Height = 30001; }, "30000 pixels each way"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        PsdBuilder b;
        b.Width = b.Height = 4;
        b.AddLayer(0, 0, 4, 4, {1, 2, 3});
        c.change(b);
        const QString message = RefusalOf(Write(b.Build()));
        EXPECT_TRUE(message.contains(QLatin1String(c.says))) << message.toStdString();
        EXPECT_TRUE(message.startsWith(QLatin1String("Cannot import \"t.psd\""))) << message.toStdString();
    }
    EXPECT_TRUE(RefusalOf(Write("GIF89a....")).contains(QLatin1String("not a Photoshop document")));
}

TEST_F(PsdReaderTest, TruncatedOrCorruptedFilesNeverCrash)
{
    PsdBuilder b;
    b.Width = 16;
    b.Height = 8;
    b.Groups = {0, 1};
    b.AddLayer(0, 0, 16, 8, {1, 2, 3});
    b.AddLayer(3, 1, 9, 5, {9, 8, 7}, 200);
    const QByteArray good = b.Build();
    ASSERT_TRUE(RefusalOf(Write(good)).isEmpty());
    // The merged image after the layer section is not read: cut anywhere before it.
    // It is PackBits: compression word, 24 row counts, 24 rows of 2 bytes.
    const qsizetype mergedStart = good.size() - (2 + 2 * 8 * 3 + 2 * 8 * 3);
    for (qsizetype cut = 0; cut < mergedStart; ++cut) {
        const QString message = RefusalOf(Write(good.left(cut)));
        ASSERT_FALSE(message.isEmpty()) << "cut at " << cut;
    }
    // Every byte of the header and the layer records changed in turn: refused
    // or read, never a crash or a read past the data (the sanitizers watch).
    // A refusal is a clear message naming the file and leaves the work folder
    // as it was; a document that is read has a colour and a coverage file of
    // each layer's size.
    const QDir work(WorkFolder);
    int refused = 0, read = 0;
    for (qsizetype at = 0; at < mergedStart; at += 1) {
        for (char value : {char(0xff), char(0x7f), char(0x00)}) {
            SCOPED_TRACE(testing::Message() << "byte " << at << " set to " << int(uchar(value)));
            QByteArray bad = good;
            bad[at] = value;
            const QString path = Write(bad);
            const QStringList before = work.entryList(QDir::Files);
            PsdDocument doc;
            try {
                doc = ReadPsd(path);
            } catch (const VistrelError &e) {
                ++refused;
                ASSERT_TRUE(e.Message.startsWith(QLatin1String("Cannot import \"t.psd\": "))) << e.Message.toStdString();
                ASSERT_EQ(work.entryList(QDir::Files), before);
                continue;
            } catch (...) {
                FAIL() << "neither read nor refused with a message";
            }
            ++read;
            ASSERT_FALSE(doc.Layers.empty());
            ASSERT_EQ(doc.Images.size(), doc.Layers.size());
            ASSERT_EQ(doc.Alphas.size(), doc.Layers.size());
            for (size_t i = 0; i < doc.Layers.size(); ++i) {
                const Layer &layer = doc.Layers[i];
                const int n = int(i) + 1;
                const QSize size = layer.Width > 0 && layer.Height > 0 ? QSize(layer.Width, layer.Height) : QSize();
                const QImage colour = LoadImage(WorkFileName(QStringLiteral("ly"), n));
                const QImage alpha = LoadImage(WorkFileName(QStringLiteral("lyt"), n));
                ASSERT_EQ(colour.isNull() ? QSize() : colour.size(), size) << "layer " << n;
                ASSERT_EQ(alpha.isNull() ? QSize() : alpha.size(), size) << "layer " << n;
            }
            ASSERT_TRUE(work.entryList({QStringLiteral("*.part")}, QDir::Files).isEmpty());
        }
    }
    // Both ends are reached: some changes are refused, others only change pixels or fields we skip.
    EXPECT_GT(refused, 0);
    EXPECT_GT(read, 0);
}

TEST(PsdCorpus, ImportsWhatItShouldAndRefusesTheRest)
{
    if (!CorpusPresent())
        GTEST_SKIP() << NoCorpusReason();
    const QString manifest = QString::fromUtf8(ReadFileBytes(CorpusFolder() + QStringLiteral("/MANIFEST.md")));
    ASSERT_FALSE(manifest.isEmpty()) << "no corpus at " << CorpusFolder().toStdString();
    int imported = 0, refused = 0;
    for (const QString &line : manifest.split(QLatin1Char('\n'))) {
        const QStringList cells = line.split(QLatin1Char('|'));
        if (cells.size() < 12 || !(cells[1].trimmed().endsWith(QLatin1String(".psd")) ||
                                   cells[1].trimmed().endsWith(QLatin1String(".psb"))))
            continue;
        const QString file = cells[1].trimmed();
        const QString expect = cells[10].trimmed();
        SCOPED_TRACE(file.toStdString());
        QTemporaryDir work;
        WorkFolder = work.path() + QStringLiteral("/");
        const QString message = RefusalOf(CorpusFolder() + QStringLiteral("/") + file);
        if (expect == QLatin1String("import")) {
            EXPECT_TRUE(message.isEmpty()) << message.toStdString();
            ++imported;
        } else {
            ASSERT_TRUE(expect.startsWith(QLatin1String("reject"))) << expect.toStdString();
            EXPECT_TRUE(message.startsWith(QStringLiteral("Cannot import \"%1\": ").arg(file))) << message.toStdString();
            // Nothing is left in the work folder by a refused file.
            EXPECT_EQ(QDir(work.path()).entryList(QDir::Files), QStringList());
            ++refused;
        }
    }
    EXPECT_EQ(imported + refused, 43);
    EXPECT_GE(imported, 28);
    EXPECT_GE(refused, 14);
}

// Our layer pictures against the channel planes psd_tools decodes on its own.
TEST(IndependentReaders, CorpusLayersEqualWhatPsdToolsReads)
{
    if (!CorpusPresent())
        GTEST_SKIP() << NoCorpusReason();
    const QString python = QStringLiteral("/usr/bin/python3");
    if (!PsdToolsInstalled())
        GTEST_SKIP() << NotInstalledReason(QStringLiteral("psd_tools"), "python3-psd-tools");
    const QDir corpus(CorpusFolder());
    const QStringList files = corpus.entryList({QStringLiteral("*.psd")}, QDir::Files);
    ASSERT_FALSE(files.isEmpty());
    int compared = 0;
    for (const QString &file : files) {
        QTemporaryDir work;
        WorkFolder = work.path() + QStringLiteral("/");
        PsdIndex index;
        PsdDocument doc;
        try {
            index = ReadPsdIndex(corpus.filePath(file));
            doc = ReadPsd(corpus.filePath(file));
        } catch (const VistrelError &) {
            continue;  // refused files are the other test's business
        }
        SCOPED_TRACE(file.toStdString());
        QTemporaryDir planes;
        int exitCode = 0;
        RunProgram(python,
                   {SourceFolder() + QStringLiteral("/tests/tools/psd_planes.py"), corpus.filePath(file), planes.path()},
                   &exitCode);
        if (exitCode != 0)
            continue;  // psd_tools cannot open a few odd files that we read
        const int bytes = index.ColorMode == 1 ? 1 : index.ColorMode == 3 ? 3 : 4;
        for (size_t i = 0; i < doc.Layers.size(); ++i) {
            const Layer &layer = doc.Layers[i];
            if (layer.Width == 0 || layer.Height == 0)
                continue;
            const QImage colour = LoadImage(WorkFileName(QStringLiteral("ly"), int(i) + 1));
            const QImage alpha = LoadImage(WorkFileName(QStringLiteral("lyt"), int(i) + 1));
            const QString prefix = planes.path() + QStringLiteral("/%1_").arg(i);
            QByteArray alphaPlane = ReadFileBytes(prefix + QStringLiteral("-1.raw"));
            if (alphaPlane.isEmpty())
                alphaPlane = QByteArray(qsizetype(layer.Width) * layer.Height, char(255));
            for (int c = 0; c < bytes; ++c) {
                const QByteArray plane = ReadFileBytes(prefix + QString::number(c) + QStringLiteral(".raw"));
                ASSERT_EQ(plane.size(), qsizetype(layer.Width) * layer.Height) << "layer " << i << " channel " << c;
                const int slot = bytes == 3 ? 2 - c : c;
                for (int y = 0; y < layer.Height; ++y)
                    for (int x = 0; x < layer.Width; ++x)
                        ASSERT_EQ(colour.constScanLine(y)[x * bytes + slot], uchar(plane[y * layer.Width + x]))
                            << "layer " << i << " channel " << c << " at " << x << "," << y;
            }
            for (int y = 0; y < layer.Height; ++y)
                ASSERT_EQ(std::memcmp(alpha.constScanLine(y), alphaPlane.constData() + y * layer.Width,
                                      size_t(layer.Width)), 0)
                    << "layer " << i << " transparency row " << y;
            ++compared;
        }
    }
    EXPECT_GT(compared, 40);
}

// Every PSD we write opens in psd_tools and ImageMagick without an error: the
// bundled sample, the test builder's documents in each colour mode and the
// layered PSD of the views.
TEST(IndependentReaders, EveryPsdWeWriteOpensElsewhere)
{
    if (!PsdToolsInstalled())
        GTEST_SKIP() << NotInstalledReason(QStringLiteral("psd_tools"), "python3-psd-tools");
    if (!ProgramInstalled(QStringLiteral("identify")))
        GTEST_SKIP() << NotInstalledReason(QStringLiteral("identify"), "imagemagick");
    QTemporaryDir dir;
    const QString sample = SourceFolder() + QStringLiteral("/sample/vistrel-sample.psd");
    struct Case {
        const char *name;
        QString path;
        int layers;
    };
    std::vector<Case> cases{{"sample", sample, 9}};
    for (uint16_t mode : {Psd::ModeGrey, Psd::ModeRgb, Psd::ModeCmyk}) {
        PsdBuilder b;
        b.Width = 40;
        b.Height = 30;
        b.ColorMode = mode;
        b.Groups = {0, 1, 1};
        const std::vector<uint8_t> colour(mode == Psd::ModeGrey ? 1 : mode == Psd::ModeRgb ? 3 : 4, 90);
        b.AddLayer(0, 0, 40, 30, colour);
        b.AddLayer(5, 5, 10, 10, colour, 128);
        b.AddLayer(12, 3, 20, 8, colour);
        const QString path = dir.filePath(QStringLiteral("built%1.psd").arg(mode));
        WriteFileBytes(path, b.Build());
        cases.push_back({"builder", path, 3});
    }
    const QString layered = dir.filePath(QStringLiteral("views.psd"));
    int code = -1;
    RunProgram(VistrelProgram(),
               {QStringLiteral("--work-folder"), dir.filePath(QStringLiteral("work")), QStringLiteral("--export-psd"),
                layered, sample},
               &code);
    ASSERT_EQ(code, 0);
    cases.push_back({"layered views", layered, 7});

    for (const Case &c : cases) {
        SCOPED_TRACE(c.name + (" " + c.path.toStdString()));
        QByteArray errors;
        const QByteArray count = RunProgram(QStringLiteral("/usr/bin/python3"),
                                            {SourceFolder() + QStringLiteral("/tests/tools/psd_open.py"), c.path},
                                            &code, &errors);
        EXPECT_EQ(code, 0) << errors.toStdString();
        EXPECT_EQ(count.trimmed().toInt(), c.layers);
        RunProgram(QStringLiteral("identify"), {c.path}, &code, &errors);
        EXPECT_EQ(code, 0) << errors.toStdString();
    }
}
