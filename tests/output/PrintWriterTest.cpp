// Prints through libtiff (compressed, with a colour profile): their pixels are
// the fixed-layout print's, as libtiff itself and ImageMagick decode them, and
// they carry what was asked in the tags readers look at.
#include "Document.h"
#include "Errors.h"
#include "Import.h"
#include "PrintExport.h"
#include "PrintMarks.h"
#include "PrintWriter.h"
#include "PsdBuilder.h"
#include "ScriptedPlatform.h"
#include "TestSupport.h"
#include "Tiff.h"

#include <QDir>
#include <cstring>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <tiffio.h>

namespace {

struct Decoded {
    uint32_t Width = 0, Height = 0;
    uint16_t Samples = 0, Compression = 0, Photometric = 0;
    QByteArray Icc, Pixels;
    bool BigTiff = false;
};

// The file as libtiff reads it, rows one after another.
Decoded DecodeWithLibTiff(const QString &path)
{
    Decoded d;
    TIFF *tif = TIFFOpen(QFile::encodeName(path).constData(), "r");
    if (!tif)
        return d;
    TIFFGetField(tif, TIFFTAG_IMAGEWIDTH, &d.Width);
    TIFFGetField(tif, TIFFTAG_IMAGELENGTH, &d.Height);
    TIFFGetField(tif, TIFFTAG_SAMPLESPERPIXEL, &d.Samples);
    TIFFGetField(tif, TIFFTAG_COMPRESSION, &d.Compression);
    TIFFGetField(tif, TIFFTAG_PHOTOMETRIC, &d.Photometric);
    uint32_t iccSize = 0;
    void *icc = nullptr;
    if (TIFFGetField(tif, TIFFTAG_ICCPROFILE, &iccSize, &icc))
        d.Icc = QByteArray(static_cast<const char *>(icc), qsizetype(iccSize));
    d.BigTiff = TIFFIsBigTIFF(tif);
    const tmsize_t row = TIFFScanlineSize(tif);
    d.Pixels.resize(qsizetype(row * d.Height));
    for (uint32_t y = 0; y < d.Height; ++y)
        if (TIFFReadScanline(tif, d.Pixels.data() + row * y, y) < 0)
            d.Pixels.clear();
    TIFFClose(tif);
    return d;
}

// A background and a square over it on a 120 x 80 canvas, in grey, RGB or CMYK.
PsdBuilder BackgroundAndSquare(uint16_t mode)
{
    PsdBuilder b;
    b.ColorMode = mode;
    b.Width = 120;
    b.Height = 80;
    b.AddLayer(0, 0, 120, 80, {10, 20, 30, 40});
    b.AddLayer(20, 20, 40, 40, {200, 20, 30, 0});
    return b;
}

TEST(PrintWriter, CompressedAndProfiledPrintsHoldTheFixedLayoutsPixels)
{
    const QByteArray profile = QByteArray("a profile's bytes, carried as they are ") + QByteArray(300, '\x7f');
    struct Finish { const char *name; TiffCompression compression; bool icc; uint16_t tag; };
    const Finish finishes[] = {{"lzw", TiffCompression::Lzw, false, COMPRESSION_LZW},
                               {"zip", TiffCompression::Zip, true, COMPRESSION_ADOBE_DEFLATE},
                               {"profile", TiffCompression::None, true, COMPRESSION_NONE}};
    for (const uint16_t mode : {uint16_t(1), uint16_t(3), uint16_t(4)}) {
        SCOPED_TRACE(mode);
        Document doc;
        ScriptedPlatform platform;
        ImportBuilt(doc, platform, BackgroundAndSquare(mode));
        PrintSettings s{400000, 300 * Fixed4One, 5 * Fixed4One, ToFixed4(5 * 80.0 / 120), 1, {}};
        const QString plain = platform.Sandbox.path() + QStringLiteral("/plain.tif");
        ExportPrint(doc, s, {0, 10}, 0, plain);
        const int samples = mode == 1 ? 1 : mode == 3 ? 3 : 4;
        const QByteArray pixels = ReadFileBytes(plain).mid(TiffHeaderSize(samples));

        for (const Finish &f : finishes) {
            SCOPED_TRACE(f.name);
            s.Finish = {f.compression, f.icc ? profile : QByteArray()};
            const QString path = platform.Sandbox.path() + QStringLiteral("/%1.tif").arg(QLatin1String(f.name));
            ExportPrint(doc, s, {0, 10}, 0, path);
            const Decoded d = DecodeWithLibTiff(path);
            EXPECT_EQ(d.Compression, f.tag);
            EXPECT_EQ(d.Samples, samples);
            EXPECT_EQ(d.Photometric, samples == 1 ? PHOTOMETRIC_MINISBLACK
                                     : samples == 3 ? PHOTOMETRIC_RGB
                                                    : PHOTOMETRIC_SEPARATED);
            EXPECT_EQ(d.Icc, f.icc ? profile : QByteArray());
            EXPECT_FALSE(d.BigTiff);
            EXPECT_TRUE(d.Pixels == pixels) << "libtiff decodes other pixels";
            // A second reader of its own.
            if (ProgramInstalled(QStringLiteral("compare"))) {
                int code = -1;
                const QByteArray differing = RunProgram(QStringLiteral("compare"),
                                                        {QStringLiteral("-metric"), QStringLiteral("AE"), plain, path,
                                                         QStringLiteral("null:")},
                                                        &code, nullptr);
                EXPECT_EQ(code, 0) << differing.toStdString();
            }
        }
    }
}

TEST(PrintWriter, PastFourGigabytesThePrintIsABigTiff)
{
    EXPECT_FALSE(NeedsBigTiff(23811, 47622, 3));  // 3.2 GB
    EXPECT_TRUE(NeedsBigTiff(23811, 47622, 4));   // 4.2 GB
    EXPECT_TRUE(NeedsBigTiff(65536, 65536, 1));   // 4 GiB exactly
    EXPECT_FALSE(NeedsBigTiff(65536, 64000, 1));  // 4.19 GB: room left for the tables
    EXPECT_TRUE(NeedsBigTiff(2'000'000'000, 2'000'000'000, 4));

    // The 64-bit layout, made here past a limit of 1 MB instead of 4 GB:
    // uncompressed and compressed, every row comes back.
    QTemporaryDir dir;
    for (const TiffCompression compression : {TiffCompression::None, TiffCompression::Lzw}) {
        const QString path = dir.filePath(QStringLiteral("big.tif"));
        const int64_t width = 1000, height = 1500, chunk = 100;
        {
            const std::unique_ptr<PrintWriter> writer = OpenPrintWriter(
                path, 3, width, height, 720 * Fixed4One, 720 * Fixed4One, {compression, {}}, 1 << 20);
            std::vector<uint8_t> rows[2];
            for (int64_t y = 0; y < height; y += chunk) {
                std::vector<uint8_t> &r = rows[(y / chunk) % 2];
                r.resize(size_t(width * 3 * chunk));
                for (int64_t k = 0; k < chunk; ++k)
                    for (int64_t x = 0; x < width * 3; ++x)
                        r[size_t(k * width * 3 + x)] = uint8_t((y + k + x) % 251);
                writer->WriteRows(r.data(), chunk);
            }
            writer->Commit();
        }
        const Decoded d = DecodeWithLibTiff(path);
        EXPECT_TRUE(d.BigTiff);
        ASSERT_EQ(d.Pixels.size(), qsizetype(width * height * 3));
        bool same = true;
        for (int64_t y = 0; y < height && same; ++y)
            for (int64_t x = 0; x < width * 3 && same; ++x)
                same = uint8_t(d.Pixels[qsizetype(y * width * 3 + x)]) == uint8_t((y + x) % 251);
        EXPECT_TRUE(same);
        // "II", then 43 where a classic TIFF has 42; and tiffinfo reads it.
        EXPECT_EQ(ReadFileBytes(path).left(4), QByteArray("II\x2b\x00", 4));
        int code = -1;
        const QByteArray info = RunProgram(QStringLiteral("tiffinfo"), {path}, &code);
        EXPECT_EQ(code, 0);
        EXPECT_TRUE(info.contains("Image Width: 1000 Image Length: 1500")) << info.toStdString();
        if (ProgramInstalled(QStringLiteral("identify"))) {
            EXPECT_EQ(RunProgram(QStringLiteral("identify"), {QStringLiteral("-format"), QStringLiteral("%w %h"), path}),
                      QByteArray("1000 1500"));
        }
    }
}

}  // namespace

namespace {

// The pixel at (x, y) of a fixed-layout file's rows.
const uint8_t *PixelAt(const QByteArray &file, const TiffInfo &info, int samples, int64_t x, int64_t y)
{
    return reinterpret_cast<const uint8_t *>(file.constData()) + info.DataOffset + (y * info.Width + x) * samples;
}

TEST(PrintMarks, BleedAndMarksGoAroundThePrintUnchanged)
{
    EXPECT_EQ(PixelsOfMm(3 * Fixed4One, 300 * Fixed4One), 35);   // 35.43
    EXPECT_EQ(PixelsOfMm(12 * Fixed4One, 300 * Fixed4One), 142); // 141.73
    EXPECT_EQ(PixelsOfMm(3 * Fixed4One, 720 * Fixed4One), 85);   // 85.04
    EXPECT_EQ(PixelsOfMm(50 * Fixed4One, 100000 * Fixed4One), 196850);
    for (const uint16_t mode : {uint16_t(3), uint16_t(4)}) {
        SCOPED_TRACE(mode);
        const int samples = mode == 3 ? 3 : 4;
        const uint8_t paper = mode == 3 ? 255 : 0, ink = mode == 3 ? 0 : 255;
        Document doc;
        ScriptedPlatform platform;
        PsdBuilder b = BackgroundAndSquare(mode);
        b.AddLayer(100, 0, 20, 80, {30, 200, 30, 90});  // at the right edge, moving: the views differ there
        ImportBuilt(doc, platform, b);
        // 4.1 cm at 40 lpi: the print's last column lies in view 1's strip and
        // reaches past it, where a bleed column would take another view.
        PrintSettings s{400000, 300 * Fixed4One, ToFixed4(4.1), ToFixed4(4.1 * 80.0 / 120), 1, {}};
        const QString plainPath = platform.Sandbox.path() + QStringLiteral("/plain.tif");
        ExportPrint(doc, s, {0, 10, -12}, 0, plainPath);
        s.Finish.BleedMm = 3 * Fixed4One;
        s.Finish.Marks = true;
        const QString markedPath = platform.Sandbox.path() + QStringLiteral("/marked.tif");
        ExportPrint(doc, s, {0, 10, -12}, 0, markedPath);
        const QByteArray plain = ReadFileBytes(plainPath), marked = ReadFileBytes(markedPath);
        const TiffInfo p = ReadTiffInfo(plainPath), m = ReadTiffInfo(markedPath);

        // At 300 dpi, 3 mm is 35 pixels of bleed and 12 mm 142 of margin.
        const int64_t trim = 35 + 142;
        ASSERT_EQ(m.Width, p.Width + 2 * trim);
        ASSERT_EQ(m.Height, p.Height + 2 * trim);
        // The print inside the trim is the print without bleed, byte for byte.
        bool same = true;
        for (int64_t y = 0; y < p.Height && same; ++y)
            same = std::memcmp(PixelAt(plain, p, samples, 0, y), PixelAt(marked, m, samples, trim, y + trim),
                               size_t(p.Width) * samples) == 0;
        EXPECT_TRUE(same) << "the trim differs from the print";
        // The bleed continues the picture: no paper in it.
        bool painted = true;
        for (int64_t y = 142; y < m.Height - 142 && painted; ++y)
            for (const int64_t x : {int64_t(142), int64_t(176), int64_t(m.Width - 177), int64_t(m.Width - 143)})
                painted = PixelAt(marked, m, samples, x, y)[0] != paper;
        for (int64_t x = 142; x < m.Width - 142 && painted; ++x)
            for (const int64_t y : {int64_t(142), int64_t(m.Height - 143)})
                painted = PixelAt(marked, m, samples, x, y)[0] != paper;
        EXPECT_TRUE(painted) << "paper in the bleed";
        // Paper in the margin's corner; the top-left crop mark on the trim's
        // line from 1 mm (12 pixels) outside the bleed, 8 mm (94 pixels) long.
        EXPECT_EQ(PixelAt(marked, m, samples, 0, 0)[0], paper);
        for (int64_t x = 0; x < 142; ++x) {
            const bool mark = x >= trim - 47 - 94 && x < trim - 47;
            ASSERT_EQ(PixelAt(marked, m, samples, x, trim)[samples - 1], mark ? ink : paper) << "column " << x;
        }
        // The top target: its cross at the middle, paper inside the circle off the cross.
        const int64_t cx = trim + p.Width / 2, cy = 142 / 2;
        EXPECT_EQ(PixelAt(marked, m, samples, cx, cy)[0], ink);
        EXPECT_EQ(PixelAt(marked, m, samples, cx + 15, cy + 15)[0], paper);
        // The slug line holds some ink, below the bleed, left of the bottom target.
        int slugInk = 0;
        for (int64_t y = m.Height - 142; y < m.Height; ++y)
            for (int64_t x = trim + 30; x < cx - 60; ++x)
                slugInk += std::abs(PixelAt(marked, m, samples, x, y)[0] - ink) < 128;
        EXPECT_GT(slugInk, 5);  // small on a print this narrow, but there
        // A print whose sides fit, but not with its bleed: refused before any work.
        // 54 546.0682 cm at 100 lpi and 100 000 dpi: 2 147 483 lenses of 1000 columns; 1 mm is 3937.
        PrintSettings huge{1000000, 100000 * Fixed4One, 545460682, Fixed4One, 1, {}};
        huge.Finish.BleedMm = Fixed4One;
        const QString hugePath = platform.Sandbox.path() + QStringLiteral("/huge.tif");
        try {
            ExportPrint(doc, huge, {0, 10, -12}, 0, hugePath);
            ADD_FAILURE() << "a print wider than TIFF counts was made";
        } catch (const VistrelError &error) {
            EXPECT_TRUE(error.Message.startsWith(QLatin1String("The print would be 2 147 490 874 x "))) << error.Message.toStdString();
        }
        EXPECT_FALSE(QFile::exists(hugePath));
        // ImageMagick reads the whole.
        if (ProgramInstalled(QStringLiteral("identify"))) {
            EXPECT_EQ(RunProgram(QStringLiteral("identify"), {QStringLiteral("-format"), QStringLiteral("%w %h"), markedPath}),
                      QByteArray::number(m.Width) + ' ' + QByteArray::number(m.Height));
        }
    }
}

}  // namespace
