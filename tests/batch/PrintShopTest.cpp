// The print shop's options on the command line: a compressed print, a colour
// profile carried into the print and the layered PSD, a print wider than A4.
// Each file is read back by libtiff or our PSD reader, and by a second reader.
#include "PsdBuilder.h"
#include "PsdReader.h"
#include "TestSupport.h"
#include "Tiff.h"

#include <QDir>
#include <QFileInfo>
#include <QImage>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <tiffio.h>

namespace {

// The smallest profile a reader takes: a 128-byte header that states its own
// size and "acsp", and no tags.
QByteArray SmallProfile()
{
    QByteArray p(132, '\0');
    const auto put32 = [&](int at, uint32_t v) {
        for (int i = 0; i < 4; ++i)
            p[at + i] = char(v >> (24 - 8 * i));
    };
    put32(0, 132);
    put32(8, 0x02100000);  // version 2.1
    p.replace(12, 4, "mntr");
    p.replace(16, 4, "RGB ");
    p.replace(20, 4, "XYZ ");
    p.replace(36, 4, "acsp");
    return p;
}

QString Program() { return QStringLiteral(VISTREL_BINARY_DIR) + QStringLiteral("/vistrel"); }

TEST(PrintShop, ACompressedProfiledPrintWiderThanA4)
{
    QTemporaryDir dir;
    PsdBuilder b;
    b.Width = 300;
    b.Height = 150;
    b.IccProfile = SmallProfile();
    b.AddLayer(0, 0, 300, 150, {1, 2, 3});
    b.AddLayer(100, 50, 50, 40, {200, 9, 9}, 50);
    const QString psd = dir.filePath(QStringLiteral("x.psd"));
    WriteFileBytes(psd, b.Build());
    const QString print = dir.filePath(QStringLiteral("x.tif")), layered = dir.filePath(QStringLiteral("x_3D.psd"));
    int code = -1;
    QByteArray err;
    const QByteArray out = RunProgram(
        Program(),
        {QStringLiteral("--export-tiff"), print, QStringLiteral("--export-psd"), layered, QStringLiteral("--compress"),
         QStringLiteral("zip"), QStringLiteral("--embed-icc"), QStringLiteral("--max-width-cm"), QStringLiteral("40"),
         QStringLiteral("--width-cm"), QStringLiteral("30"), QStringLiteral("--lpi"), QStringLiteral("40"),
         QStringLiteral("--dpi"), QStringLiteral("200"), psd},
        &code, &err);
    ASSERT_EQ(code, 0) << out.toStdString() << err.toStdString();

    // 30 cm = 11.811 in at 40 lpi: 472 lenses of 5 columns; 15 cm high at 200 dpi.
    TIFF *tif = TIFFOpen(QFile::encodeName(print).constData(), "r");
    ASSERT_NE(tif, nullptr);
    uint32_t width = 0, height = 0, iccSize = 0;
    uint16_t compression = 0;
    void *icc = nullptr;
    TIFFGetField(tif, TIFFTAG_IMAGEWIDTH, &width);
    TIFFGetField(tif, TIFFTAG_IMAGELENGTH, &height);
    TIFFGetField(tif, TIFFTAG_COMPRESSION, &compression);
    ASSERT_TRUE(TIFFGetField(tif, TIFFTAG_ICCPROFILE, &iccSize, &icc));
    EXPECT_EQ(width, 2360u);
    EXPECT_EQ(height, 1181u);
    EXPECT_EQ(compression, COMPRESSION_ADOBE_DEFLATE);
    EXPECT_EQ(QByteArray(static_cast<const char *>(icc), qsizetype(iccSize)), SmallProfile());
    TIFFClose(tif);
    EXPECT_EQ(ReadPsdIndex(layered).IccProfile, SmallProfile());

    // PIL reads both on its own.
    const QString python = QStringLiteral("/usr/bin/python3");
    if (ProgramInstalled(python)) {
        const QByteArray pil = RunProgram(
            python, {QStringLiteral("-c"),
                     QStringLiteral("import sys\nfrom PIL import Image\nfrom psd_tools import PSDImage\n"
                                    "t = Image.open(sys.argv[1]); t.load()\n"
                                    "print(t.size, len(t.info['icc_profile']), t.info['compression'])\n"
                                    "print(len(PSDImage.open(sys.argv[2]).image_resources.get_data(1039)))"),
                     print, layered});
        EXPECT_EQ(pil, QByteArray("(2360, 1181) 132 tiff_adobe_deflate\n132\n"));
    }

    // What a shop could mistype: each refused by name, nothing written.
    const QString notAProfile = dir.filePath(QStringLiteral("a.icc"));
    WriteFileBytes(notAProfile, QByteArray(200, 'x'));
    struct Case { QStringList args; const char *message; };
    const Case mistakes[] = {
        {{"--width-cm", "30"}, "--width-cm must be between 0 and 21, not 30."},
        {{"--max-width-cm", "20000"}, "--max-width-cm must be between 1 and 10000, not 20000."},
        {{"--icc", notAProfile}, "is not an ICC colour profile."},
        {{"--compress", "rar"}, "--compress is lzw, zip or none, not 'rar'"},
    };
    for (const Case &c : mistakes) {
        SCOPED_TRACE(c.args.join(' ').toStdString());
        QFile::remove(print);
        err.clear();
        RunProgram(Program(), QStringList{QStringLiteral("--export-tiff"), print} + c.args + QStringList{psd}, &code,
                   &err);
        EXPECT_NE(code, 0);
        EXPECT_TRUE(err.contains(c.message)) << err.toStdString();
        EXPECT_FALSE(QFile::exists(print));
    }
}

TEST(PrintShop, BleedAndMarksFromTheCommandLine)
{
    QTemporaryDir dir;
    PsdBuilder b;
    b.Width = 120;
    b.Height = 80;
    b.AddLayer(0, 0, 120, 80, {10, 20, 30});
    const QString psd = dir.filePath(QStringLiteral("x.psd")), print = dir.filePath(QStringLiteral("x.tif"));
    WriteFileBytes(psd, b.Build());
    const QStringList settings = {QStringLiteral("--lpi"), QStringLiteral("40"), QStringLiteral("--dpi"),
                                  QStringLiteral("300"), QStringLiteral("--width-cm"), QStringLiteral("4.1"), psd};
    int code = -1;
    QByteArray err;
    RunProgram(Program(),
               QStringList{QStringLiteral("--export-tiff"), print, QStringLiteral("--bleed-mm"), QStringLiteral("3"),
                           QStringLiteral("--marks")} + settings,
               &code, &err);
    ASSERT_EQ(code, 0) << err.toStdString();
    // 488 x 322 pixels of print (2.73 cm high: 322.8 rows, cut), 35 of bleed and 142 of margin on every side.
    const QImage file = LoadTiffBitmap(print);
    ASSERT_EQ(file.size(), QSize(488 + 2 * 177, 322 + 2 * 177));
    if (ProgramInstalled(QStringLiteral("identify"))) {
        EXPECT_EQ(RunProgram(QStringLiteral("identify"), {QStringLiteral("-format"), QStringLiteral("%w %h"), print}),
                  QByteArray("842 676"));
    }
    // The slug line was drawn (the batch has fonts): ink left of the bottom target.
    int ink = 0;
    for (int y = file.height() - 142; y < file.height(); ++y)
        for (int x = 177 + 30; x < 177 + 244 - 60; ++x)
            ink += qGray(file.pixel(x, y)) < 128;
    EXPECT_GT(ink, 5);

    RunProgram(Program(), QStringList{QStringLiteral("--export-tiff"), print, QStringLiteral("--bleed-mm"),
                                      QStringLiteral("60")} + settings,
               &code, &err);
    EXPECT_EQ(code, 1);
    EXPECT_TRUE(err.contains("--bleed-mm must be between 0 and 50, not 60.")) << err.toStdString();
}

TEST(PrintShop, AJobRunsEveryDesignAndReportsEach)
{
    QTemporaryDir dir;
    QFile::copy(SourceFolder() + QStringLiteral("/sample/vistrel-sample.psd"), dir.filePath(QStringLiteral("a.psd")));
    QDir(dir.path()).mkdir(QStringLiteral("out"));
    const QString job = dir.filePath(QStringLiteral("job.json"));
    WriteFileBytes(job, R"({"defaults": {"lpi": 40, "dpi": 200, "width-cm": 5},
        "designs": [
          {"input": "a.psd", "tiff": "out/a.tif", "gif": "out/a.gif", "compress": "lzw"},
          {"input": "missing.psd", "tiff": "out/m.tif"},
          {"input": "a.psd", "tiff": "out/g.tif", "depth": 10, "fail-on-ghosting": true},
          {"input": "a.psd", "project": "out/a.hx4p3", "width-cm": 8}]})");
    int code = -1;
    QByteArray err;
    const QByteArray out = RunProgram(Program(), {QStringLiteral("--job"), job, QStringLiteral("--report"),
                                                  QStringLiteral("-")}, &code, &err);
    EXPECT_EQ(code, 1) << err.toStdString();  // two of the four failed, the others ran
    const QJsonObject report = QJsonDocument::fromJson(out).object();
    EXPECT_EQ(report.value(QStringLiteral("failed")).toInt(), 2);
    const QJsonArray designs = report.value(QStringLiteral("designs")).toArray();
    ASSERT_EQ(designs.size(), 4) << out.toStdString();
    auto design = [&](int i) { return designs[i].toObject(); };

    // 1: both outputs, their sizes as on disk, the print by LZW strips.
    EXPECT_TRUE(design(0).value(QStringLiteral("ok")).toBool());
    const QJsonArray outputs = design(0).value(QStringLiteral("outputs")).toArray();
    ASSERT_EQ(outputs.size(), 2);
    for (const QJsonValue &o : outputs) {
        const QString path = o.toObject().value(QStringLiteral("path")).toString();
        EXPECT_EQ(o.toObject().value(QStringLiteral("bytes")).toDouble(), double(QFileInfo(path).size())) << path.toStdString();
    }
    EXPECT_EQ(outputs[0].toObject().value(QStringLiteral("path")).toString(), dir.filePath(QStringLiteral("out/a.tif")));
    EXPECT_TRUE(RunProgram(QStringLiteral("tiffinfo"), {dir.filePath(QStringLiteral("out/a.tif"))})
                    .contains("Compression Scheme: LZW"));
    EXPECT_LT(design(0).value(QStringLiteral("ghosting")).toObject().value(QStringLiteral("lens-widths")).toDouble(), 1);
    // 2: its error, and no output.
    EXPECT_FALSE(design(1).value(QStringLiteral("ok")).toBool());
    EXPECT_TRUE(design(1).value(QStringLiteral("error")).toString().contains(QLatin1String("missing.psd")));
    // 3: depth 10 ghosts (8.2 lens widths), refused by --fail-on-ghosting, nothing written.
    const QJsonObject ghosting = design(2).value(QStringLiteral("ghosting")).toObject();
    EXPECT_TRUE(ghosting.value(QStringLiteral("ghosts")).toBool());
    EXPECT_GT(ghosting.value(QStringLiteral("lens-widths")).toDouble(), 1);
    EXPECT_FALSE(design(2).value(QStringLiteral("ok")).toBool());
    EXPECT_FALSE(QFile::exists(dir.filePath(QStringLiteral("out/g.tif"))));
    // 4: ran after the failures.
    EXPECT_TRUE(design(3).value(QStringLiteral("ok")).toBool());
    EXPECT_TRUE(QFile::exists(dir.filePath(QStringLiteral("out/a.hx4p3"))));

    // A job with a mistake anywhere runs nothing.
    WriteFileBytes(job, R"({"designs": [{"input": "a.psd", "tiff": "out/b.tif"}, {"input": "a.psd", "tif": "x.tif"}]})");
    RunProgram(Program(), {QStringLiteral("--job"), job}, &code, &err);
    EXPECT_EQ(code, 2);
    EXPECT_TRUE(err.contains("design 2: \"tif\" is not an option of a design")) << err.toStdString();
    EXPECT_FALSE(QFile::exists(dir.filePath(QStringLiteral("out/b.tif"))));

    // A report never replaces what is not a regular file (here a pipe, as it
    // would a device), job or not; nothing runs.
    const QString pipe = dir.filePath(QStringLiteral("pipe"));
    ASSERT_EQ(::mkfifo(QFile::encodeName(pipe).constData(), 0600), 0);
    for (const QStringList &args : {QStringList{QStringLiteral("--job"), job},
                                    QStringList{QStringLiteral("--export-tiff"), dir.filePath(QStringLiteral("d.tif")),
                                                dir.filePath(QStringLiteral("a.psd"))}}) {
        RunProgram(Program(), args + QStringList{QStringLiteral("--report"), pipe}, &code, &err);
        EXPECT_EQ(code, 2);
        EXPECT_TRUE(err.contains("not a regular file")) << err.toStdString();
    }
    EXPECT_FALSE(QFile::exists(dir.filePath(QStringLiteral("d.tif"))));
    EXPECT_FALSE(QFileInfo(pipe).isFile());

    // One design of the command line, reported into a file.
    const QString reportFile = dir.filePath(QStringLiteral("report.json"));
    RunProgram(Program(), {QStringLiteral("--export-tiff"), dir.filePath(QStringLiteral("one.tif")),
                           QStringLiteral("--report"), reportFile, QStringLiteral("--width-cm"), QStringLiteral("4"),
                           dir.filePath(QStringLiteral("a.psd"))},
               &code, &err);
    EXPECT_EQ(code, 0) << err.toStdString();
    const QJsonArray one = QJsonDocument::fromJson(ReadFileBytes(reportFile)).object().value(QStringLiteral("designs")).toArray();
    ASSERT_EQ(one.size(), 1);
    EXPECT_TRUE(one[0].toObject().value(QStringLiteral("ok")).toBool());
}

}  // namespace
