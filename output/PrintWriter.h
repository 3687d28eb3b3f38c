// Where the print's rows go, top row first. A print asking no compression and
// no profile that fits 4 GB is our fixed TIFF layout, written as ever; any
// other goes through libtiff: LZW or Deflate (with the horizontal predictor) by
// strips, the ICC profile in its tag, and the 64-bit layout (BigTIFF) when the
// pixels alone pass 4 GB. Both write beside the target and rename into place
// on Commit, so a failure leaves no half print.
#pragma once

#include "Numbers.h"
#include "PrintFinish.h"

#include <QString>
#include <cstdint>
#include <memory>

class PrintWriter {
public:
    virtual ~PrintWriter() = default;
    // `count` whole rows, following the rows written before. The rows may be
    // written out on a thread of their own: the caller leaves them untouched
    // until its next call but one (two buffers taking turns are safe).
    virtual void WriteRows(const uint8_t *rows, int64_t count) = 0;
    // After the last row: the file under its name, or VistrelError.
    virtual void Commit() = 0;
};

// The pixels' bytes past which the print is a BigTIFF: 4 GB less room for
// the header and the strip tables.
inline constexpr int64_t ClassicTiffLimit = 0xFFFFFFFFll - (64 << 20);
bool NeedsBigTiff(int64_t width, int64_t height, int samples, int64_t limit = ClassicTiffLimit);

// `classicLimit` is for tests, which make a BigTIFF without writing 4 GB.
std::unique_ptr<PrintWriter> OpenPrintWriter(const QString &path, int samples, int64_t width, int64_t height,
                                             Fixed4 xDpi, Fixed4 yDpi, const PrintFinish &finish,
                                             int64_t classicLimit = ClassicTiffLimit);

// An ICC profile file as it stands, to embed. VistrelError when it cannot be
// read or is no profile: a profile states its own size in its first four
// bytes and has "acsp" at byte 36.
QByteArray ReadIccProfile(const QString &path);
