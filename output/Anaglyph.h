// The red/blue anaglyph: red carries the grey of view 2, green and blue the
// grey of view 6, so that red/blue glasses show the depth on screen.
#pragma once

#include <QImage>
#include <QString>
#include <cstdint>

// Round(0.3 R + 0.59 G + 0.11 B), ties to even, exactly.
uint8_t AnaglyphGrey(uint8_t red, uint8_t green, uint8_t blue);
// Both views 24-bit and of one size.
QImage MakeAnaglyph(const QImage &view2, const QImage &view6);
// The PSD path without its last four characters, then "_qz58.bmp".
QString AnaglyphPath(const QString &psdPath);
// Reads views 2 and 6 of the work folder and returns the anaglyph.
QImage AnaglyphOfViews(uint16_t colorMode);
