// What a print shop may ask of a print beyond its settings, each off by
// default: a print that asks none of it is written byte for byte as ever, in
// the fixed TIFF layout.
#pragma once

#include "Numbers.h"

#include <QByteArray>
#include <QString>
#include <cstdint>

enum class TiffCompression : uint8_t { None, Lzw, Zip };

struct PrintFinish {
    TiffCompression Compression = TiffCompression::None;  // by strips, through libtiff
    QByteArray IccProfile;  // embedded in the print (TIFF tag 34675); empty: none
    // The print goes on past the trim by this much on every side: the views'
    // edge columns and rows continue the interlace. 0 .. BleedMmHigh.
    Fixed4 BleedMm = 0;
    // Crop marks at the trim's corners, a registration target on each side
    // and a slug line (file, LPI, DPI, size, date), outside the bleed.
    bool Marks = false;
    bool operator==(const PrintFinish &) const = default;
};
constexpr Fixed4 BleedMmHigh = 50 * Fixed4One;
inline bool BleedMmInLimits(Fixed4 mm) { return mm >= 0 && mm <= BleedMmHigh; }

// "lzw", "zip" or "none" (the command line's and the job file's words);
// false for another word.
bool ParseCompression(const QString &word, TiffCompression &compression);
