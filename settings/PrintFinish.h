// What a print shop may ask of a print beyond its settings, each off by
// default: a print that asks none of it is written byte for byte as ever, in
// the fixed TIFF layout.
#pragma once

#include <QByteArray>
#include <QString>
#include <cstdint>

enum class TiffCompression : uint8_t { None, Lzw, Zip };

struct PrintFinish {
    TiffCompression Compression = TiffCompression::None;  // by strips, through libtiff
    QByteArray IccProfile;  // embedded in the print (TIFF tag 34675); empty: none
    bool operator==(const PrintFinish &) const = default;
};

// "lzw", "zip" or "none" (the command line's and the job file's words);
// false for another word.
bool ParseCompression(const QString &word, TiffCompression &compression);
