#include "BmpCodec.h"
#include "BmpFormat.h"
#include "Errors.h"
#include "TestSupport.h"

#include <QTemporaryDir>
#include <cstring>
#include <gtest/gtest.h>
#include <new>

// The names the codec uses stand for the offsets of the published layout.
TEST(BmpCodec, LayoutNamesHoldTheFixedNumbers)
{
    EXPECT_EQ(Bmp::FileHeaderSize, 14);
    EXPECT_EQ(Bmp::InfoHeaderSize, 40);
    EXPECT_EQ(Bmp::PixelOffsetField, 10);
    EXPECT_EQ(Bmp::WidthField, 18);
    EXPECT_EQ(Bmp::HeightField, 22);
    EXPECT_EQ(Bmp::BitsField, 28);
    EXPECT_EQ(Bmp::CompressionField, 30);
    EXPECT_EQ(Bmp::ColourTableOffset, 54);
    EXPECT_EQ(Bmp::GreyTableSize, 1024);
}

TEST(BmpCodec, BmpLayoutRoundTripsEveryFormat)
{
    struct Case { int bits; int width; int height; qsizetype fileSize; };
    // One pixel wide: rows padded to 4 bytes; 8-bit files carry a 1024-byte grey table.
    const Case cases[] = {{8, 1, 3, 54 + 1024 + 3 * 4}, {24, 1, 3, 54 + 3 * 4}, {32, 1, 2, 54 + 2 * 4},
                          {24, 5, 2, 54 + 2 * 16}, {8, 6, 1, 54 + 1024 + 8}};
    for (const Case &c : cases) {
        SCOPED_TRACE(c.bits * 100 + c.width);
        QImage picture = NewPicture(c.width, c.height, c.bits);
        for (int y = 0; y < c.height; ++y)
            for (int x = 0; x < c.width * c.bits / 8; ++x)
                picture.scanLine(y)[x] = uchar(10 * y + x + 1);
        const QByteArray bmp = EncodeBmp(picture);
        ASSERT_EQ(bmp.size(), c.fileSize);
        EXPECT_EQ(bmp.left(2), QByteArray("BM"));
        // The top row is stored last.
        const int rowBytes = (c.width * c.bits / 8 + 3) / 4 * 4;
        EXPECT_EQ(uchar(bmp[bmp.size() - rowBytes]), 1);
        const QImage back = DecodeBmp(bmp, QStringLiteral("t.gjs"));
        ASSERT_EQ(back.size(), picture.size());
        EXPECT_EQ(BitsPerPixel(back), c.bits);
        for (int y = 0; y < c.height; ++y)
            EXPECT_EQ(std::memcmp(back.constScanLine(y), picture.constScanLine(y), size_t(c.width * c.bits / 8)), 0);
    }
}

TEST(BmpCodec, CmykBytesKeepTheirOrderAndEmptyPicturesAreEmptyFiles)
{
    QImage cmyk = NewPicture(1, 1, 32);
    const uchar pixel[4] = {10, 20, 30, 40};
    std::memcpy(cmyk.scanLine(0), pixel, 4);
    const QByteArray bmp = EncodeBmp(cmyk);
    EXPECT_EQ(bmp.mid(Bmp::FileHeaderSize + Bmp::InfoHeaderSize, 4), QByteArray("\x0a\x14\x1e\x28"));

    QTemporaryDir dir;
    const QString path = dir.path() + QStringLiteral("/ly1.gjs");
    SaveImage(NewPicture(0, 0, 24), path);
    EXPECT_EQ(ReadFileBytes(path).size(), 0);
    EXPECT_TRUE(LoadImage(path).isNull());
}

TEST(BmpCodec, ForeignOrDamagedFilesGiveAClearError)
{
    QImage picture = NewPicture(4, 3, 24);
    picture.fill(0);
    const QByteArray good = EncodeBmp(picture);
    struct Case { const char *name; QByteArray bytes; };
    auto patched = [&](int at, QByteArray with) { QByteArray b = good; b.replace(at, with.size(), with); return b; };
    const Case cases[] = {
        {"not a BMP", QByteArray("PNG....") + QByteArray(60, '\0')},
        {"cut in the header", good.left(20)},
        {"cut in the pixels", good.left(good.size() - 5)},
        {"compressed", patched(Bmp::CompressionField, QByteArray("\x01\0\0\0", 4))},
        {"16 bits", patched(Bmp::BitsField, QByteArray("\x10\0", 2))},
        {"top-down", patched(Bmp::HeightField, QByteArray("\xfd\xff\xff\xff", 4))},
        {"huge", patched(Bmp::WidthField, QByteArray("\xff\xff\xff\x7f", 4))},
        {"pixels offset past the end", patched(Bmp::PixelOffsetField, QByteArray("\xff\xff\0\0", 4))},
    };
    QTemporaryDir dir;
    const QString path = dir.path() + QStringLiteral("/vw1.gjs");
    for (const Case &c : cases) {
        try {
            DecodeBmp(c.bytes, QStringLiteral("vw1.gjs"));
            ADD_FAILURE() << c.name << ": accepted";
        } catch (const VistrelError &e) {
            EXPECT_TRUE(e.Message.contains(QLatin1String("vw1.gjs"))) << c.name;
        }
        // The file reader, which reads rows straight from the file, refuses it too.
        WriteFileBytes(path, c.bytes);
        EXPECT_THROW(LoadImage(path), VistrelError) << c.name;
    }
    EXPECT_THROW(LoadImage(QStringLiteral("/no/such/folder/ly1.gjs")), VistrelError);

    // A row reader closed between bands (as with many layers open) finds its
    // file rewritten, even when the rows it wants can still be read.
    WriteFileBytes(path, good);
    BmpRowReader reader(path);
    reader.ReadRows(0, 1);
    reader.Close();
    WriteFileBytes(path, good + QByteArray(16, '\0'));
    try {
        reader.ReadRows(1, 1);
        ADD_FAILURE() << "a changed file was read";
    } catch (const VistrelError &e) {
        EXPECT_TRUE(e.Message.contains(QLatin1String("was changed"))) << e.Message.toStdString();
    }
}

TEST(IndependentReaders, ImageMagickReadsOurBmpFiles)
{
    if (!ProgramInstalled(QStringLiteral("convert")))
        GTEST_SKIP() << NotInstalledReason(QStringLiteral("convert"), "imagemagick");
    QTemporaryDir dir;
    for (int bits : {8, 24}) {
        QImage picture = NewPicture(7, 5, bits);
        picture.fill(0);
        picture.scanLine(0)[0] = 200;  // top-left: blue byte (24-bit) or grey level
        const QString path = dir.path() + QStringLiteral("/p%1.bmp").arg(bits);
        SaveImage(picture, path);
        int code = -1;
        QByteArray errors;
        const QByteArray out = RunProgram(QStringLiteral("convert"),
                                          {path, QStringLiteral("-format"), QStringLiteral("%w %h %[pixel:p{0,0}]"),
                                           QStringLiteral("info:")},
                                          &code, &errors);
        EXPECT_EQ(code, 0) << errors.toStdString();
        EXPECT_TRUE(errors.isEmpty()) << errors.toStdString();
        const QString text = QString::fromLatin1(out);
        EXPECT_TRUE(text.startsWith(QLatin1String("7 5 "))) << text.toStdString();
        if (bits == 24)
            EXPECT_TRUE(text.contains(QLatin1String("(0,0,200)"))) << text.toStdString();
        else
            EXPECT_TRUE(text.contains(QLatin1String("200"))) << text.toStdString();
    }
}

TEST(BmpCodec, APictureThatCannotBeHadIsAnAllocationFailure)
{
    // QImage answers "no memory" with an empty picture whose rows are null;
    // NewPicture says it aloud, so a command's guard can give its message.
    EXPECT_THROW(NewPicture(1 << 30, 4, 32), std::bad_alloc);
    EXPECT_TRUE(NewPicture(0, 0, 24).isNull());  // an empty layer is no failure
}
