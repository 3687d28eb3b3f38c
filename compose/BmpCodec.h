// Our own BMP codec for the 8-, 24- and 32-bit pictures of the work folder.
//
// Layout written and read: a 14-byte file header, a 40-byte information header
// (positive height, one plane, no compression), for 8-bit files a 256-entry grey
// ramp as colour table, then the rows bottom row first, each padded with zeros
// to a multiple of 4 bytes. 8-bit pixels are levels (grey or coverage), 24-bit
// ones blue, green, red, 32-bit ones the CMYK bytes of the PSD. An empty picture
// is a file of zero bytes. The reader takes only this layout and refuses
// anything else with a clear message. BmpFormat.h names every offset and size.
#pragma once

#include "ReplacingFile.h"

#include <QByteArray>
#include <QImage>
#include <QFile>
#include <QSaveFile>
#include <QString>
#include <memory>

// The picture formats of the work folder.
QImage NewPicture(int width, int height, int bitsPerPixel);
int BitsPerPixel(const QImage &picture);
// Nearest-neighbour copy at another size: every target pixel takes the source
// pixel under its centre.
QImage ScaleNearest(const QImage &source, int width, int height);  // 8, 24 or 32; 0 for a null picture

QByteArray EncodeBmp(const QImage &picture);
QImage DecodeBmp(const QByteArray &bytes, const QString &fileName);

// Throw VistrelError with the file error text on failure.
void SaveImage(const QImage &picture, const QString &path);
QImage LoadImage(const QString &path);

// Reads rows of a work-folder picture without loading it whole: the print
// composes its views band by band from the layer files. An empty picture
// (a file of zero bytes) has no rows.
class BmpRowReader {
public:
    explicit BmpRowReader(const QString &path);
    int Width() const { return Header.Width; }
    int Height() const { return Header.Height; }
    int Bits() const { return Header.Bits; }
    // Reads rows first .. first + count - 1 (within the picture) in one go,
    // opening the file again when it was closed.
    void ReadRows(int first, int count);
    // Lets go of the file between reads, so that a document of a thousand
    // layers does not hold two thousand files open; the rows read stay.
    void Close();
    // A row of the last ReadRows.
    const uchar *Row(int y) const;

private:
    struct Layout {
        int32_t Width = 0, Height = 0;
        int Bits = 0;
        qint64 PixelOffset = 0, RowBytes = 0;
    } Header;
    QString Path;
    std::unique_ptr<QFile> File;
    qint64 Size = 0;  // checked when the file is opened again
    QByteArray Rows;
    int First = 0, Count = 0;
};

// Writes a work-folder picture a row at a time, bottom row first, giving the
// same bytes as SaveImage of the whole picture without holding it. The file
// appears under its name at Commit().
class BmpRowWriter {
public:
    BmpRowWriter(const QString &path, int width, int height, int bitsPerPixel);
    ~BmpRowWriter();
    // The next rows in file order (row height - 1 first): row k of them at
    // pixels + k x step.
    void AppendRows(const uchar *pixels, int count, ptrdiff_t step);
    void Commit();

private:
    QString Path;
    std::unique_ptr<SavingFile> File;
    QByteArray Rows;
    int Used = 0, Padded = 0;
};

// Writes a whole file in one go through a temporary file, so that a failure
// leaves no half-written file under the name.
void WriteWholeFile(const QString &path, const QByteArray &bytes);
