#include "BmpCodec.h"
#include "Errors.h"
#include "ScriptedPlatform.h"
#include "TestSupport.h"
#include "Tiff.h"
#include "TiffFormat.h"

#include <QBuffer>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <cstring>
#include <gtest/gtest.h>

namespace {

uint32_t U32At(const QByteArray &b, int at)
{
    return uint32_t(uchar(b[at])) | uint32_t(uchar(b[at + 1])) << 8 | uint32_t(uchar(b[at + 2])) << 16 |
           uint32_t(uchar(b[at + 3])) << 24;
}
uint16_t U16At(const QByteArray &b, int at) { return uint16_t(uchar(b[at]) | uchar(b[at + 1]) << 8); }

// Where the value (or offset) and the count of a tag's entry stand in our directory.
int ValueOf(uint16_t tag) { return Tiff::EntryOffset(tag) + Tiff::EntryValueField; }
int CountOf(uint16_t tag) { return Tiff::EntryOffset(tag) + Tiff::EntryCountField; }

}  // namespace

// The names the writer and the readers use stand for the published numbers
// and the offsets worked out by hand for a three-sample file.
TEST(Tiff, LayoutNamesHoldTheFixedNumbers)
{
    const uint16_t tags[] = {254, 256, 257, 258, 259, 262, 273, 277, 278, 279, 282, 283, 284, 296, 305, 306, 315};
    ASSERT_EQ(Tiff::EntryCount, 17);
    for (int i = 0; i < 17; ++i) {
        EXPECT_EQ(Tiff::DirectoryTags[i], tags[i]) << i;
        EXPECT_EQ(Tiff::EntryOffset(tags[i]), 10 + 12 * i) << i;
    }
    EXPECT_EQ(Tiff::EntryOffset(1), -1);
    EXPECT_EQ(Tiff::NextDirectoryField, 214);
    const TiffLayout rgb(3);
    EXPECT_EQ(rgb.BitsPerSampleValues(), 218);
    EXPECT_EQ(rgb.XResolution(), 224);
    EXPECT_EQ(rgb.YResolution(), 232);
    EXPECT_EQ(rgb.Software(), 240);
    EXPECT_EQ(rgb.DateTime(), 300);
    EXPECT_EQ(rgb.Artist(), 320);
    EXPECT_EQ(rgb.Pixels(), 332);
    EXPECT_EQ(TiffHeaderSize(1), 328);
    EXPECT_EQ(TiffHeaderSize(4), 334);
}

TEST(Tiff, OnePixelFileHasTheFixedLayout)
{
    ScriptedPlatform platform;
    QTemporaryDir dir;
    QImage pixel = NewPicture(1, 1, 24);
    pixel.scanLine(0)[0] = 1;  // B
    pixel.scanLine(0)[1] = 2;  // G
    pixel.scanLine(0)[2] = 3;  // R
    const QString path = dir.path() + QStringLiteral("/p.tif");
    SaveBitmapAsTiff(pixel, path, 720 * Fixed4One, 424775);
    const QByteArray f = ReadFileBytes(path);
    ASSERT_EQ(f.size(), 335);
    EXPECT_EQ(f.right(3), QByteArray("\x03\x02\x01"));
    EXPECT_EQ(f.left(4), QByteArray("II\x2a\x00", 4));
    EXPECT_EQ(U32At(f, Tiff::DirectoryOffsetField), 8u);
    EXPECT_EQ(U16At(f, Tiff::DirectoryOffset), 17);
    const uint16_t tags[] = {254, 256, 257, 258, 259, 262, 273, 277, 278, 279, 282, 283, 284, 296, 305, 306, 315};
    for (int i = 0; i < 17; ++i)
        EXPECT_EQ(U16At(f, Tiff::EntriesOffset + Tiff::EntrySize * i), tags[i]) << i;
    EXPECT_EQ(U32At(f, ValueOf(Tiff::TagStripOffsets)), 332u);
    EXPECT_EQ(U32At(f, Tiff::NextDirectoryField), 0u);
    // 720 dpi as 7 200 000 / 10 000; 42.4775 as 424 775 / 10 000.
    const TiffLayout layout(3);
    EXPECT_EQ(U32At(f, layout.XResolution()), 7200000u);
    EXPECT_EQ(U32At(f, layout.XResolution() + 4), 10000u);
    EXPECT_EQ(U32At(f, layout.YResolution()), 424775u);
}

TEST(Tiff, GreyFilesKeepTheBitsValueAndUnpaddedRows)
{
    ScriptedPlatform platform;
    QTemporaryDir dir;
    QImage grey = NewPicture(3, 2, 8);
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 3; ++x)
            grey.scanLine(y)[x] = uchar(10 * y + x);
    const QString path = dir.path() + QStringLiteral("/g.tif");
    SaveBitmapAsTiff(grey, path, 300 * Fixed4One, 300 * Fixed4One);
    const QByteArray f = ReadFileBytes(path);
    ASSERT_EQ(f.size(), 328 + 6);
    const TiffLayout layout(1);
    EXPECT_EQ(U32At(f, ValueOf(Tiff::TagBitsPerSample)), 8u);  // BitsPerSample holds 8 itself
    EXPECT_EQ(U16At(f, layout.BitsPerSampleValues()), 8);      // and 8 stands at 218 all the same
    EXPECT_EQ(layout.XResolution(), 220);
    EXPECT_EQ(U32At(f, layout.XResolution()), 3000000u);       // resolutions from 220
    EXPECT_EQ(f.right(6), QByteArray("\x00\x01\x02\x0a\x0b\x0c", 6));
}

TEST(Tiff, DateTimeTextIsCutToFitItsArea)
{
    const int area = TiffLayout(3).DateTime();
    const QByteArray h = TiffHeader(3, 1, 1, Fixed4One, Fixed4One, QStringLiteral("2026/12/09 10:04:06 +0100 x"));
    EXPECT_EQ(h.mid(area, 20), QByteArray("2026/12/09 10:04:06\0", 20));
    EXPECT_EQ(U32At(h, CountOf(Tiff::TagDateTime)), 20u);  // count: 19 characters and the zero
    const QByteArray s = TiffHeader(3, 1, 1, Fixed4One, Fixed4One, QStringLiteral("9/12/26 10:04"));
    EXPECT_EQ(s.mid(area, 20), QByteArray("9/12/26 10:04\0\0\0\0\0\0\0", 20));
    EXPECT_EQ(U32At(s, CountOf(Tiff::TagDateTime)), 14u);

    // A file written now carries the standard's own "YYYY:MM:DD HH:MM:SS",
    // whatever the person's date and time formats are.
    EXPECT_TRUE(QRegularExpression(QStringLiteral("^\\d{4}:\\d\\d:\\d\\d \\d\\d:\\d\\d:\\d\\d$"))
                    .match(TiffDateTimeNow())
                    .hasMatch())
        << TiffDateTimeNow().toStdString();
}

TEST(Tiff, ReadersTakeTheHeaderFromTheStartOfAnyDevice)
{
    // Found by fuzzing: a second read from the same device started where the
    // first had stopped, took bytes there for a header and asked for gigabytes.
    ScriptedPlatform platform;
    QTemporaryDir dir;
    QImage picture = NewPicture(6, 4, 24);
    picture.fill(0);
    picture.scanLine(2)[5] = 77;
    const QString path = dir.path() + QStringLiteral("/p.tif");
    SaveBitmapAsTiff(picture, path, Fixed4One, Fixed4One);
    QByteArray bytes = ReadFileBytes(path);
    // A second header where the first read stops must not be taken for it.
    bytes += QByteArray("II*\0\x08\0\0\0", 8).repeated(40);
    QBuffer device(&bytes);
    ASSERT_TRUE(device.open(QIODevice::ReadOnly));
    const TiffInfo first = ReadTiffInfo(device, QStringLiteral("p.tif"));
    const TiffInfo again = ReadTiffInfo(device, QStringLiteral("p.tif"));
    EXPECT_EQ(again.Width, first.Width);
    EXPECT_EQ(again.Height, first.Height);
    EXPECT_EQ(again.DataOffset, first.DataOffset);
    const QImage back = LoadTiffBitmap(device, QStringLiteral("p.tif"));
    ASSERT_EQ(back.size(), QSize(6, 4));
    EXPECT_EQ(back.constScanLine(2)[5], 77);
}

TEST(Tiff, SizesWhoseProductPassesTheEndOfANumberAreRefused)
{
    // Found by fuzzing: 2 086 759 545 x 2 147 483 647 x 4 bytes wraps a 64-bit
    // product to a small one that seemed to fit the file.
    QByteArray header = TiffHeader(4, 1, 1, Fixed4One, Fixed4One, QStringLiteral("2026:12:09 12:00:00"));
    auto setValue = [&](uint16_t tag, uint32_t value) {
        for (int e = 0; e < Tiff::EntryCount; ++e) {
            const int at = Tiff::EntriesOffset + Tiff::EntrySize * e;
            if (uint8_t(header[at]) == (tag & 0xff) && uint8_t(header[at + 1]) == tag >> 8)
                for (int k = 0; k < 4; ++k)
                    header[at + Tiff::EntryValueField + k] = char((value >> (8 * k)) & 0xff);
        }
    };
    setValue(Tiff::TagImageWidth, 2086759545u);
    setValue(Tiff::TagImageLength, 2147483647u);
    header += QByteArray(64, '\0');
    QBuffer device(&header);
    ASSERT_TRUE(device.open(QIODevice::ReadOnly));
    try {
        ReadTiffInfo(device, QStringLiteral("huge.tif"));
        ADD_FAILURE() << "a size past the file was taken";
    } catch (const VistrelError &error) {
        EXPECT_TRUE(error.Message.contains(QLatin1String("run past the end of the file"))) << error.Message.toStdString();
    }
}

TEST(Tiff, ReadersRoundTripAndReadBands)
{
    ScriptedPlatform platform;
    QTemporaryDir dir;
    for (int bits : {8, 24, 32}) {
        SCOPED_TRACE(bits);
        QImage picture = NewPicture(5, 7, bits);
        for (int y = 0; y < 7; ++y)
            for (int x = 0; x < 5 * bits / 8; ++x)
                picture.scanLine(y)[x] = uchar(y * 40 + x);
        const QString path = dir.path() + QStringLiteral("/r%1.tif").arg(bits);
        SaveBitmapAsTiff(picture, path, Fixed4One, Fixed4One);
        const QImage back = LoadTiffBitmap(path);
        ASSERT_EQ(back.size(), picture.size());
        for (int y = 0; y < 7; ++y)
            EXPECT_EQ(std::memcmp(back.constScanLine(y), picture.constScanLine(y), size_t(5 * bits / 8)), 0);
        // Saved again, the same pixel bytes.
        const QString again = dir.path() + QStringLiteral("/again.tif");
        SaveBitmapAsTiff(back, again, Fixed4One, Fixed4One);
        EXPECT_EQ(ReadFileBytes(again).mid(TiffHeaderSize(bits / 8)), ReadFileBytes(path).mid(TiffHeaderSize(bits / 8)));

        Rtif record;
        ReadTiffRecord(path, record);
        EXPECT_EQ(record.Width, 5);
        EXPECT_EQ(record.Height, 7);
        EXPECT_EQ(record.DataOffset, TiffHeaderSize(bits / 8));
        // The last band of 3 rows has 1 row: the rest of the buffer stays as it was.
        const int bpp = bits / 8;
        std::vector<uint8_t> buffer(size_t(3 * 5 * bpp), 0xee);
        ReadTiffRows(record, 2, buffer.data(), 3, bpp);
        EXPECT_EQ(buffer[0], bpp == 3 ? 6 * 40 + 2 : 6 * 40);  // row 6 (R first in the file)
        EXPECT_EQ(buffer[size_t(5 * bpp)], 0xee);
    }
}

TEST(Tiff, OtherLayoutsAreRefusedClearly)
{
    QTemporaryDir dir;
    const QString path = dir.path() + QStringLiteral("/other.tif");
    const QByteArray good = TiffHeader(3, 2, 2, Fixed4One, Fixed4One, QStringLiteral("x")) + QByteArray(12, '\0');
    struct Case { const char *name; QByteArray bytes; };
    auto patched = [&](int at, QByteArray with) { QByteArray b = good; b.replace(at, with.size(), with); return b; };
    const Case cases[] = {
        {"big endian", patched(0, "MM")},
        {"directory elsewhere", patched(Tiff::DirectoryOffsetField, QByteArray("\x10\0\0\0", 4))},
        {"empty", QByteArray()},
        {"cut in the directory", good.left(100)},
        {"pixels missing", good.left(good.size() - 1)},
        {"two samples", patched(CountOf(Tiff::TagBitsPerSample), QByteArray("\x02\0\0\0", 4))},
        {"zero width", patched(ValueOf(Tiff::TagImageWidth), QByteArray(4, '\0'))},
        {"huge entry count", patched(Tiff::DirectoryOffset, QByteArray("\xff\xff", 2))},
    };
    for (const Case &c : cases) {
        WriteFileBytes(path, c.bytes);
        Rtif record;
        EXPECT_THROW(ReadTiffRecord(path, record), VistrelError) << c.name;
        EXPECT_THROW(LoadTiffBitmap(path), VistrelError) << c.name;
    }
}

TEST(Tiff, ATiffOfAnotherProgramIsRefusedClearly)
{
    if (!ProgramInstalled(QStringLiteral("convert")))
        GTEST_SKIP() << NotInstalledReason(QStringLiteral("convert"), "imagemagick");
    QTemporaryDir dir;
    const QString path = dir.path() + QStringLiteral("/foreign.tif");
    int code = -1;
    QByteArray errors;
    RunProgram(QStringLiteral("convert"), {QStringLiteral("-size"), QStringLiteral("3x3"), QStringLiteral("xc:red"),
                                           QStringLiteral("-compress"), QStringLiteral("lzw"), path},
               &code, &errors);
    ASSERT_EQ(code, 0) << errors.toStdString();
    ASSERT_TRUE(errors.isEmpty()) << errors.toStdString();
    // It is a TIFF, only not of our layout.
    const QByteArray foreign = ReadFileBytes(path);
    ASSERT_TRUE(foreign.startsWith(QByteArray("II*\0", 4)) || foreign.startsWith(QByteArray("MM\0*", 4)))
        << "convert wrote no TIFF";
    try {
        LoadTiffBitmap(path);
        ADD_FAILURE() << "a foreign TIFF was read";
    } catch (const VistrelError &e) {
        EXPECT_TRUE(e.Message.contains(QLatin1String("Vistrel's own layout"))) << e.Message.toStdString();
    }
}

TEST(IndependentReaders, LibtiffAndImageMagickReadOurTiffsWithoutWarnings)
{
    if (!ProgramInstalled(QStringLiteral("tiffinfo")))
        GTEST_SKIP() << NotInstalledReason(QStringLiteral("tiffinfo"), "libtiff-tools");
    if (!ProgramInstalled(QStringLiteral("identify")))
        GTEST_SKIP() << NotInstalledReason(QStringLiteral("identify"), "imagemagick");
    ScriptedPlatform platform;
    QTemporaryDir dir;
    for (int bits : {8, 24, 32}) {
        QImage picture = NewPicture(4, 3, bits);
        picture.fill(0);
        picture.scanLine(1)[bits / 8] = 200;
        const QString path = dir.path() + QStringLiteral("/t%1.tif").arg(bits);
        SaveBitmapAsTiff(picture, path, 720 * Fixed4One, 360 * Fixed4One);
        QProcess tiffinfo;
        tiffinfo.start(QStringLiteral("tiffinfo"), {path});
        ASSERT_TRUE(tiffinfo.waitForFinished());
        const QByteArray complaints = tiffinfo.readAllStandardError();
        const QString both = QString::fromLatin1(tiffinfo.readAllStandardOutput() + complaints);
        EXPECT_EQ(tiffinfo.exitStatus(), QProcess::NormalExit);
        EXPECT_EQ(tiffinfo.exitCode(), 0);
        EXPECT_TRUE(complaints.isEmpty()) << complaints.toStdString();
        EXPECT_FALSE(both.contains(QLatin1String("Warning"), Qt::CaseInsensitive)) << both.toStdString();
        EXPECT_TRUE(both.contains(QLatin1String("Resolution: 720, 360 pixels/inch"))) << both.toStdString();
        int code = -1;
        QByteArray errors;
        const QByteArray size = RunProgram(QStringLiteral("identify"), {QStringLiteral("-format"),
                                                                        QStringLiteral("%w %h"), path},
                                           &code, &errors);
        EXPECT_EQ(code, 0) << errors.toStdString();
        EXPECT_TRUE(errors.isEmpty()) << errors.toStdString();
        EXPECT_EQ(size, QByteArray("4 3"));
    }
}
