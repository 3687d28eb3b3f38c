// The preview views as an animated GIF that loops forth and back: 14 frames
// (views 1..7, 7..1) of at most 800 pixels wide, each with a looping
// application block and a graphic control block of the given delay, all in one
// 256-colour palette, each pixel the nearest palette colour without dithering.
// The palette is the fixed halftone one (a 6 x 6 x 6 colour cube and 40 greys)
// unless an adaptive one is asked for: cut from the colours of all seven views
// by median cut, shared by every frame.
#pragma once

#include <QImage>
#include <QSize>
#include <QString>
#include <cstdint>
#include <functional>
#include <unordered_map>
#include <vector>

// Frames keep the view's size below `maxWidth`, else `maxWidth` wide in proportion.
QSize GifFrameSize(QSize view, int maxWidth);

// The fixed palette, 256 entries of red, green, blue.
const std::vector<uint8_t> &GifPalette();
uint8_t NearestPaletteIndex(uint8_t red, uint8_t green, uint8_t blue);

// Frame pixels (palette indexes) of a 24-bit view scaled to the frame size.
std::vector<uint8_t> GifFrame(const QImage &view, QSize frame);

enum class GifPaletteKind { Halftone, Adaptive };

// A 24-bit view scaled to the frame size, as red, green, blue triples.
std::vector<uint8_t> GifFrameColours(const QImage &view, QSize frame);
// 256 entries of red, green, blue cut from the colours of the frames by median
// cut: the box with the widest channel is split at its median until there are
// 256 boxes, each entry its box's mean. Fewer colours than 256 are kept
// exactly; the entries left over are black.
std::vector<uint8_t> AdaptivePalette(const std::vector<std::vector<uint8_t>> &frames);
// The nearest entry of any 256-entry palette (the first of equals).
class NearestColour {
public:
    explicit NearestColour(std::vector<uint8_t> palette) : Palette(std::move(palette)) {}
    uint8_t operator()(uint8_t red, uint8_t green, uint8_t blue);
    const std::vector<uint8_t> &Entries() const { return Palette; }

private:
    std::vector<uint8_t> Palette;
    std::unordered_map<uint32_t, uint8_t> Known;
};
// The mean difference per channel (0..255) between frames and their pixels in a palette.
double GifPaletteMeanError(const std::vector<std::vector<uint8_t>> &frames, NearestColour &nearest);

// Reads the working-size views of the work folder ("vw" k for RGB documents,
// "vwv" k otherwise) and writes the GIF; the file appears only when complete.
// `progress` gets 0..100.
void ExportViewsGif(int maxWidth, int delay, const QString &path, uint16_t colorMode,
                    const std::function<void(int)> &progress = {}, GifPaletteKind palette = GifPaletteKind::Halftone);
