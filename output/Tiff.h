// Our own TIFF layout for the print and the full-resolution views: little
// endian, uncompressed, one strip, 8-bit samples (1 grey, 3 RGB, 4 CMYK),
// chunky. The directory sits at offset 8 with the same 17 entries always, and
// the pixel rows start at 326 + 2 x samples, top row first, without padding
// (TiffFormat.h has every tag and offset).
//
// The readers take only this layout: they check it and refuse anything else
// with a clear message, never reading past the file.
#pragma once

#include "Numbers.h"
#include "TiffFormat.h"

#include <QByteArray>
#include <QIODevice>
#include <QImage>
#include <QString>
#include <cstdint>

// One view file for the interlacer.
struct Rtif {
    QString FileName;
    int32_t Width = 0;
    int32_t Height = 0;
    int32_t DataOffset = 0;
};

struct TiffInfo {
    int32_t Width = 0;
    int32_t Height = 0;
    int Samples = 4;
    int Compression = Tiff::CompressionNone;
    int32_t DataOffset = 0;
};

// The Software and Artist texts of every TIFF Vistrel writes.
extern const char TiffSoftwareText[];
extern const char TiffArtistText[];

// The DateTime text of a TIFF written now: "YYYY:MM:DD HH:MM:SS".
QString TiffDateTimeNow();

// The header bytes of a file of `samples` samples, W x H pixels.
QByteArray TiffHeader(int samples, int32_t width, int32_t height, Fixed4 xDpi, Fixed4 yDpi,
                      const QString &dateTime);
// Writes the header at the start of the stream; returns the position after it.
qint64 WriteTiffHeader(QIODevice &stream, int samples, int32_t width, int32_t height, Fixed4 xDpi, Fixed4 yDpi);

// Writes a picture of the work folder (8, 24 or 32 bits) as a TIFF; 24-bit
// pixels go from B, G, R to R, G, B. Nothing is left under the name on failure.
void SaveBitmapAsTiff(const QImage &picture, const QString &path, Fixed4 xDpi, Fixed4 yDpi);

// The directory of a file of our layout. Throw VistrelError for any other file.
void ReadTiffRecord(const QString &path, Rtif &record);
TiffInfo ReadTiffInfo(const QString &path);
// The same from any device (a file, or bytes in memory); `path` names it in messages.
TiffInfo ReadTiffInfo(QIODevice &device, const QString &path);
// Null for a compressed file; 3 samples come back as B, G, R.
QImage LoadTiffBitmap(const QString &path);
QImage LoadTiffBitmap(QIODevice &device, const QString &path);
// Band `band` of `bandRows` rows into `buffer`; the last band may be short, and
// the rest of the buffer is then left as it was.
void ReadTiffRows(const Rtif &record, int band, uint8_t *buffer, int bandRows, int bytesPerPixel);
