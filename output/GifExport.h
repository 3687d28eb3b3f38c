// The preview views as an animated GIF that loops forth and back: 14 frames
// (views 1..7, 7..1) of at most 800 pixels wide, each with a looping
// application block and a graphic control block of the given delay, all in one
// fixed 256-colour palette (a 6 x 6 x 6 colour cube and 40 greys), each pixel
// the nearest palette colour without dithering.
#pragma once

#include <QImage>
#include <QSize>
#include <QString>
#include <cstdint>
#include <functional>
#include <vector>

// Frames keep the view's size below `maxWidth`, else `maxWidth` wide in proportion.
QSize GifFrameSize(QSize view, int maxWidth);

// The fixed palette, 256 entries of red, green, blue.
const std::vector<uint8_t> &GifPalette();
uint8_t NearestPaletteIndex(uint8_t red, uint8_t green, uint8_t blue);

// Frame pixels (palette indexes) of a 24-bit view scaled to the frame size.
std::vector<uint8_t> GifFrame(const QImage &view, QSize frame);

// Reads the working-size views of the work folder ("vw" k for RGB documents,
// "vwv" k otherwise) and writes the GIF; the file appears only when complete.
// `progress` gets 0..100.
void ExportViewsGif(int maxWidth, int delay, const QString &path, uint16_t colorMode,
                    const std::function<void(int)> &progress = {});
