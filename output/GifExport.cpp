#include "GifExport.h"

#include "BmpCodec.h"
#include "Document.h"
#include "Errors.h"
#include "Texts.h"
#include "WorkFolder.h"

#include <gif_lib.h>
#include <algorithm>
#include <climits>
#include <cstdlib>
#include <memory>

namespace {

constexpr int CubeLevels = 6;
constexpr int Greys = 40;

int CubeLevel(int value)  // nearest of 0, 51, ..., 255
{
    return (value + 25) / 51;
}

// The grey entries lie between the cube's own greys: 40 evenly spaced levels.
int GreyValue(int i)
{
    return int(Round((i + 1) * 255.0 / (Greys + 1)));
}

struct GifCloser {
    void operator()(GifFileType *gif) const
    {
        int error = 0;
        EGifCloseFile(gif, &error);
    }
};

void Check(int result, GifFileType *gif, const QString &path)
{
    if (result == GIF_ERROR)
        throw VistrelError(Vistrel::tr("Cannot write the GIF \"%1\": %2")
                               .arg(path, QString::fromLatin1(GifErrorString(gif->Error))));
}

int WriteToArray(GifFileType *gif, const GifByteType *bytes, int length)
{
    static_cast<QByteArray *>(gif->UserData)->append(reinterpret_cast<const char *>(bytes), length);
    return length;
}

}  // namespace

QSize GifFrameSize(QSize view, int maxWidth)
{
    if (view.width() < maxWidth)
        return view;
    return QSize(maxWidth, int(RoundDiv(int64_t(maxWidth) * view.height(), view.width())));
}

const std::vector<uint8_t> &GifPalette()
{
    static const std::vector<uint8_t> palette = [] {
        std::vector<uint8_t> p;
        for (int r = 0; r < CubeLevels; ++r)
            for (int g = 0; g < CubeLevels; ++g)
                for (int b = 0; b < CubeLevels; ++b)
                    p.insert(p.end(), {uint8_t(51 * r), uint8_t(51 * g), uint8_t(51 * b)});
        for (int i = 0; i < Greys; ++i)
            p.insert(p.end(), 3, uint8_t(GreyValue(i)));
        return p;
    }();
    return palette;
}

uint8_t NearestPaletteIndex(uint8_t red, uint8_t green, uint8_t blue)
{
    // The nearest cube colour is the nearest level in each channel.
    const int r = CubeLevel(red), g = CubeLevel(green), b = CubeLevel(blue);
    auto distance = [&](int pr, int pg, int pb) {
        return (red - pr) * (red - pr) + (green - pg) * (green - pg) + (blue - pb) * (blue - pb);
    };
    int best = (r * CubeLevels + g) * CubeLevels + b;
    int bestDistance = distance(51 * r, 51 * g, 51 * b);
    // The nearest grey, for pixels near the grey axis.
    const int mean = (red + green + blue) / 3;
    const int grey = std::clamp(int(Round(mean * (Greys + 1) / 255.0)) - 1, 0, Greys - 1);
    for (int i = std::max(0, grey - 1); i <= std::min(Greys - 1, grey + 1); ++i) {
        const int v = GreyValue(i);
        const int d = distance(v, v, v);
        if (d < bestDistance) {
            bestDistance = d;
            best = CubeLevels * CubeLevels * CubeLevels + i;
        }
    }
    return uint8_t(best);
}

std::vector<uint8_t> GifFrame(const QImage &view, QSize frame)
{
    std::vector<uint8_t> pixels(size_t(frame.width()) * size_t(frame.height()));
    // Nearest neighbour: rows and columns are dropped (or repeated), never mixed.
    for (int y = 0; y < frame.height(); ++y) {
        const uchar *row = view.constScanLine(int(int64_t(y) * view.height() / frame.height()));
        for (int x = 0; x < frame.width(); ++x) {
            const uchar *p = row + 3 * (int64_t(x) * view.width() / frame.width());
            pixels[size_t(y) * size_t(frame.width()) + size_t(x)] = NearestPaletteIndex(p[2], p[1], p[0]);
        }
    }
    return pixels;
}

std::vector<uint8_t> GifFrameColours(const QImage &view, QSize frame)
{
    std::vector<uint8_t> colours(size_t(frame.width()) * size_t(frame.height()) * 3);
    uint8_t *out = colours.data();
    // The same rows and columns as GifFrame takes.
    for (int y = 0; y < frame.height(); ++y) {
        const uchar *row = view.constScanLine(int(int64_t(y) * view.height() / frame.height()));
        for (int x = 0; x < frame.width(); ++x, out += 3) {
            const uchar *p = row + 3 * (int64_t(x) * view.width() / frame.width());
            out[0] = p[2];
            out[1] = p[1];
            out[2] = p[0];
        }
    }
    return colours;
}

namespace {

// A box of the median cut: a run of the colour list.
struct ColourBox {
    size_t First = 0, Count = 0;  // colours
    int64_t Pixels = 0;
    int Channel = 0;              // its widest channel
    int Range = 0;                // and that channel's range
};

}  // namespace

std::vector<uint8_t> AdaptivePalette(const std::vector<std::vector<uint8_t>> &frames)
{
    // Every colour with the number of its pixels.
    std::unordered_map<uint32_t, int64_t> counts;
    for (const std::vector<uint8_t> &f : frames)
        for (size_t i = 0; i + 2 < f.size(); i += 3)
            ++counts[uint32_t(f[i]) << 16 | uint32_t(f[i + 1]) << 8 | f[i + 2]];
    std::vector<std::pair<uint32_t, int64_t>> colours(counts.begin(), counts.end());
    std::sort(colours.begin(), colours.end());  // a fixed order, whatever the hash did
    auto channel = [](uint32_t c, int k) { return int(c >> (16 - 8 * k) & 0xff); };
    auto measure = [&](ColourBox &box) {
        box.Pixels = 0;
        box.Range = -1;
        for (int k = 0; k < 3; ++k) {
            int low = 255, high = 0;
            for (size_t i = box.First; i < box.First + box.Count; ++i) {
                low = std::min(low, channel(colours[i].first, k));
                high = std::max(high, channel(colours[i].first, k));
            }
            if (high - low > box.Range) {
                box.Range = high - low;
                box.Channel = k;
            }
        }
        for (size_t i = box.First; i < box.First + box.Count; ++i)
            box.Pixels += colours[i].second;
    };
    std::vector<ColourBox> boxes;
    if (!colours.empty()) {
        boxes.push_back({0, colours.size()});
        measure(boxes[0]);
    }
    while (boxes.size() < 256) {
        // The box with the widest channel (the first of equals) is split.
        size_t widest = boxes.size();
        for (size_t b = 0; b < boxes.size(); ++b)
            if (boxes[b].Count > 1 && (widest == boxes.size() || boxes[b].Range > boxes[widest].Range))
                widest = b;
        if (widest == boxes.size())
            break;  // every box holds one colour
        ColourBox &box = boxes[widest];
        const int k = box.Channel;
        const auto begin = colours.begin() + ptrdiff_t(box.First), end = begin + ptrdiff_t(box.Count);
        std::sort(begin, end, [&](const auto &a, const auto &b) {
            return channel(a.first, k) != channel(b.first, k) ? channel(a.first, k) < channel(b.first, k)
                                                              : a.first < b.first;
        });
        // At the median pixel, keeping at least one colour on each side.
        int64_t seen = 0;
        size_t cut = 1;
        for (size_t i = 0; i < box.Count - 1; ++i) {
            seen += colours[box.First + i].second;
            cut = i + 1;
            if (2 * seen >= box.Pixels)
                break;
        }
        ColourBox upper{box.First + cut, box.Count - cut};
        box.Count = cut;
        measure(box);
        measure(upper);
        boxes.push_back(upper);
    }
    std::vector<uint8_t> palette(256 * 3, 0);
    for (size_t b = 0; b < boxes.size(); ++b) {
        int64_t sum[3] = {0, 0, 0};
        for (size_t i = boxes[b].First; i < boxes[b].First + boxes[b].Count; ++i)
            for (int k = 0; k < 3; ++k)
                sum[k] += int64_t(channel(colours[i].first, k)) * colours[i].second;
        for (int k = 0; k < 3; ++k)
            palette[3 * b + size_t(k)] = uint8_t(RoundDiv(sum[k], boxes[b].Pixels));
    }
    return palette;
}

uint8_t NearestColour::operator()(uint8_t red, uint8_t green, uint8_t blue)
{
    const uint32_t key = uint32_t(red) << 16 | uint32_t(green) << 8 | blue;
    const auto known = Known.find(key);
    if (known != Known.end())
        return known->second;
    int best = 0, bestDistance = INT32_MAX;
    for (int i = 0; i < 256; ++i) {
        const int dr = red - Palette[size_t(3 * i)], dg = green - Palette[size_t(3 * i + 1)],
                  db = blue - Palette[size_t(3 * i + 2)];
        const int d = dr * dr + dg * dg + db * db;
        if (d < bestDistance) {
            bestDistance = d;
            best = i;
        }
    }
    Known.emplace(key, uint8_t(best));
    return uint8_t(best);
}

double GifPaletteMeanError(const std::vector<std::vector<uint8_t>> &frames, NearestColour &nearest)
{
    int64_t error = 0, samples = 0;
    const std::vector<uint8_t> &p = nearest.Entries();
    for (const std::vector<uint8_t> &f : frames)
        for (size_t i = 0; i + 2 < f.size(); i += 3) {
            const size_t e = 3 * size_t(nearest(f[i], f[i + 1], f[i + 2]));
            for (int k = 0; k < 3; ++k)
                error += std::abs(int(f[i + size_t(k)]) - int(p[e + size_t(k)]));
            samples += 3;
        }
    return samples == 0 ? 0 : double(error) / double(samples);
}

void ExportViewsGif(int maxWidth, int delay, const QString &path, uint16_t colorMode,
                    const std::function<void(int)> &progress, GifPaletteKind paletteKind)
{
    auto report = [&](int percent) {
        if (progress)
            progress(percent);
    };
    report(0);
    const QString family = colorMode == 3 ? QStringLiteral("vw") : QStringLiteral("vwv");
    auto loadView = [&](int k) {
        QImage view = LoadImage(WorkFileName(family, k));
        if (BitsPerPixel(view) != 24)
            throw VistrelError(Vistrel::tr("\"%1\" is not a colour view.").arg(WorkFileName(family, k)));
        return view;
    };
    const QSize frame = GifFrameSize(loadView(1).size(), maxWidth);
    report(10);

    QByteArray bytes;
    int error = 0;
    std::unique_ptr<GifFileType, GifCloser> gif(EGifOpen(&bytes, WriteToArray, &error));
    if (!gif)
        throw VistrelError(Vistrel::tr("Cannot write the GIF \"%1\": %2")
                               .arg(path, QString::fromLatin1(GifErrorString(error))));
    EGifSetGifVersion(gif.get(), true);  // GIF89a: the file has extensions
    // The adaptive palette is cut from the frames of all seven views first.
    std::vector<std::vector<uint8_t>> frames;
    if (paletteKind == GifPaletteKind::Adaptive)
        for (int k = 1; k <= ViewCount; ++k)
            frames.push_back(GifFrameColours(loadView(k), frame));
    const std::vector<uint8_t> palette =
        paletteKind == GifPaletteKind::Adaptive ? AdaptivePalette(frames) : GifPalette();
    NearestColour nearest(palette);
    std::vector<GifColorType> colours(256);
    for (int i = 0; i < 256; ++i)
        colours[size_t(i)] = {palette[size_t(3 * i)], palette[size_t(3 * i + 1)], palette[size_t(3 * i + 2)]};
    ColorMapObject *map = GifMakeMapObject(256, colours.data());
    const int screen = EGifPutScreenDesc(gif.get(), frame.width(), frame.height(), 8, 0, map);
    GifFreeMapObject(map);
    Check(screen, gif.get(), path);

    auto addFrame = [&](int k) {
        std::vector<uint8_t> pixels;
        if (paletteKind == GifPaletteKind::Adaptive) {
            const std::vector<uint8_t> &rgb = frames[size_t(k - 1)];
            pixels.resize(rgb.size() / 3);
            for (size_t i = 0; i < pixels.size(); ++i)
                pixels[i] = nearest(rgb[3 * i], rgb[3 * i + 1], rgb[3 * i + 2]);
        } else {
            pixels = GifFrame(loadView(k), frame);
        }
        // Every frame carries the looping block (0 = for ever) and its delay.
        Check(EGifPutExtensionLeader(gif.get(), APPLICATION_EXT_FUNC_CODE), gif.get(), path);
        Check(EGifPutExtensionBlock(gif.get(), 11, "NETSCAPE2.0"), gif.get(), path);
        const unsigned char loop[3] = {1, 0, 0};
        Check(EGifPutExtensionBlock(gif.get(), 3, loop), gif.get(), path);
        Check(EGifPutExtensionTrailer(gif.get()), gif.get(), path);
        GraphicsControlBlock control{};
        control.DisposalMode = DISPOSAL_UNSPECIFIED;
        control.DelayTime = delay;
        control.TransparentColor = NO_TRANSPARENT_COLOR;
        GifByteType extension[4];
        const size_t length = EGifGCBToExtension(&control, extension);
        Check(EGifPutExtension(gif.get(), GRAPHICS_EXT_FUNC_CODE, int(length), extension), gif.get(), path);
        Check(EGifPutImageDesc(gif.get(), 0, 0, frame.width(), frame.height(), false, nullptr), gif.get(), path);
        for (int y = 0; y < frame.height(); ++y)
            Check(EGifPutLine(gif.get(), const_cast<GifPixelType *>(pixels.data() + size_t(y) * size_t(frame.width())),
                              frame.width()),
                  gif.get(), path);
    };
    for (int k = 1; k <= ViewCount; ++k) {
        addFrame(k);
        report(int(Round(k * 45.0 / 7)) + 10);
    }
    for (int k = ViewCount; k >= 1; --k) {
        addFrame(k);
        report(int(Round((8 - k) * 45.0 / 7)) + 55);
    }
    GifFileType *done = gif.release();
    if (EGifCloseFile(done, &error) == GIF_ERROR)
        throw VistrelError(Vistrel::tr("Cannot write the GIF \"%1\": %2")
                               .arg(path, QString::fromLatin1(GifErrorString(error))));
    WriteWholeFile(path, bytes);
    report(0);
}
