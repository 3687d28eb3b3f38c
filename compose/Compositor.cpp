#include "Compositor.h"

#include "BmpCodec.h"
#include "Errors.h"
#include "Parallel.h"
#include "Texts.h"
#include "WorkFolder.h"

#include <QString>
#include <algorithm>
#include <cstdlib>
#include <cstring>

int DocumentBits(const Document &doc)
{
    return BitsOfColorMode(doc.PsdColorMode);
}

void PlaceLayersForView(Document &doc, int view, const std::vector<int32_t> &offsets, int32_t focusOffset)
{
    doc.LayerViewLeft.resize(doc.Layers.size());
    for (size_t i = 0; i < doc.Layers.size(); ++i) {
        const int64_t d = (int64_t(offsets[i]) - focusOffset) * (view - doc.CentreView);
        // d / 6 x Depth, Depth holding a value times 10 000.
        doc.LayerViewLeft[i] = SaturatedInt32(doc.Layers[i].Left + RoundDiv(d * doc.Depth, 6 * Fixed4One));
    }
}

void BuildGroupTables(Document &doc)
{
    int highest = 0;
    for (const Layer &layer : doc.Layers)
        if (IsFlipGroup(layer.GroupId))
            highest = std::max<int>(highest, layer.GroupId);
    doc.GroupMembers.assign(highest, {});
    doc.GroupViewLayer.assign(highest, {});
    for (size_t i = 0; i < doc.Layers.size(); ++i) {
        const int g = doc.Layers[i].GroupId;
        if (IsFlipGroup(g))
            doc.GroupMembers[g - 1].push_back(uint16_t(i));
    }
    for (int g = 0; g < highest; ++g) {
        const int64_t members = int64_t(doc.GroupMembers[g].size());
        // The step between views, times 10 000: members spread evenly over 7 views.
        const int64_t step = RoundDiv(members * 10000, 7);
        for (int v = 1; v <= ViewCount; ++v)
            if (v * step > 0)
                doc.GroupViewLayer[g][v - 1] = doc.GroupMembers[g][size_t((v * step - 1000) / 10000)];
    }
}

bool LayerVisibleInView(const Document &doc, int layerIndex, int viewIndex)
{
    const int g = doc.Layers[layerIndex].GroupId;
    if (!IsFlipGroup(g))
        return true;
    return g <= int(doc.GroupViewLayer.size()) && doc.GroupViewLayer[g - 1][viewIndex] == layerIndex;
}

int32_t ReliefMargin(const Document &doc, const Layer &layer)
{
    // PsdDpi x ReliefDepth / 4, both held times 10 000. A negative relief depth
    // inverts the relief; its margin is as wide as the positive one's.
    return int32_t(RoundDiv(doc.PsdDpi * std::abs(layer.ReliefDepth), 4 * Fixed4One * Fixed4One));
}

void BlendOver(QImage &target, QImage &targetAlpha, const QImage &source, const QImage &sourceAlpha, int left,
               int top)
{
    if (source.isNull() || sourceAlpha.isNull())
        return;
    // The loops below read the source by the target's pixel size and the
    // coverage by the source's size.
    if (BitsPerPixel(source) != BitsPerPixel(target) || BitsPerPixel(sourceAlpha) != 8 ||
        sourceAlpha.size() != source.size())
        throw VistrelError(Vistrel::tr("A layer picture of %1 x %2 pixels at %3 bits with a coverage of %4 x %5 "
                                          "pixels cannot be laid over a %6-bit view: a work file was changed while "
                                          "Vistrel was working.")
                               .arg(source.width()).arg(source.height()).arg(BitsPerPixel(source))
                               .arg(sourceAlpha.width()).arg(sourceAlpha.height()).arg(BitsPerPixel(target)),
                           ErrorKind::Format);
    const int bytes = BitsPerPixel(target) / 8;
    // In 64 bits: a layer may lie as far off the canvas as 32 bits reach.
    const int x0 = int(std::max<int64_t>(0, left));
    const int x1 = int(std::min<int64_t>(int64_t(left) + source.width(), target.width()));  // exclusive
    const int y0 = int(std::max<int64_t>(0, top));
    const int y1 = int(std::min<int64_t>(int64_t(top) + source.height(), target.height()));
    if (x0 >= x1 || y0 >= y1)
        return;
    for (int y = y0; y < y1; ++y) {
        const uchar *s = source.constScanLine(y - top) + qsizetype(x0 - left) * bytes;
        const uchar *sa = sourceAlpha.constScanLine(y - top) + (x0 - left);
        uchar *c = target.scanLine(y) + qsizetype(x0) * bytes;
        uchar *ca = targetAlpha.scanLine(y) + x0;
        for (int x = x0; x < x1; ++x, s += bytes, c += bytes, ++sa, ++ca) {
            const unsigned a = *sa;
            if (a == 0)
                continue;
            if (a == 255) {
                std::memcpy(c, s, size_t(bytes));
                *ca = 255;
                continue;
            }
            // Round(c x (255 - a) / 255 + s x a / 255); never exactly a half.
            for (int k = 0; k < bytes; ++k)
                c[k] = uchar((c[k] * (255 - a) + s[k] * a + 127) / 255);
            *ca = uchar((*ca * (255 - a) + 255 * a + 127) / 255);
        }
    }
}

void ComposeView(Document &doc, Resolution resolution, int progressSpan, int progressBase, const std::function<void(int)> &setProgress)
{
    if (doc.PsdColorMode != ModeGrey && doc.PsdColorMode != ModeRgb && doc.PsdColorMode != ModeCmyk)
        return;
    const bool full = resolution == Resolution::Full;
    const int width = full ? doc.ImageWidth : doc.WorkWidth;
    const int height = full ? doc.ImageHeight : doc.WorkHeight;
    doc.ComposedImage = NewPicture(width, height, DocumentBits(doc));
    doc.ComposedAlpha = NewPicture(width, height, 8);
    doc.ComposedAlpha.fill(full ? 0 : 255);
    // White is 255 in every byte: grey, RGB and CMYK (no ink) alike.
    for (int y = 0; y < height; ++y)
        std::memset(doc.ComposedImage.scanLine(y), 255, size_t(doc.ComposedImage.bytesPerLine()));
    for (int y = 0; y < height; ++y)
        std::memset(doc.ComposedAlpha.scanLine(y), full ? 0 : 255, size_t(doc.ComposedAlpha.bytesPerLine()));

    const int count = int(doc.Layers.size());
    const int viewNumber = doc.CurrentView + 1;
    for (int i = 0; i < count; ++i) {
        if (setProgress)
            setProgress(int(RoundDiv(int64_t(progressSpan) * i, count)) + progressBase);
        if (!LayerVisibleInView(doc, i, doc.CurrentView))
            continue;
        const Layer &layer = doc.Layers[i];
        const int n = i + 1;
        const int32_t viewLeft = i < int(doc.LayerViewLeft.size()) ? doc.LayerViewLeft[i] : layer.Left;
        const bool relief = layer.GroupId == GroupReliefRendered;
        const int32_t left = relief ? SaturatedInt32(int64_t(viewLeft) - ReliefMargin(doc, layer)) : viewLeft;
        if (full) {
            const QImage colour = LoadImage(relief ? WorkFileName(n, QStringLiteral("gx"), viewNumber)
                                                   : WorkFileName(QStringLiteral("ly"), n));
            const QImage alpha = LoadImage(relief ? WorkFileName(n, QStringLiteral("gxt"), viewNumber)
                                                  : WorkFileName(QStringLiteral("lyt"), n));
            if (!relief && !colour.isNull() && colour.size() != QSize(layer.Width, layer.Height))
                throw VistrelError(Vistrel::tr("The work file \"%1\" is %2 x %3 pixels, but its layer is %4 x %5: "
                                                  "it was changed while Vistrel was working. Import the PSD again.")
                                       .arg(WorkFileName(QStringLiteral("ly"), n))
                                       .arg(colour.width()).arg(colour.height()).arg(layer.Width).arg(layer.Height),
                                   ErrorKind::Format);
            BlendOver(doc.ComposedImage, doc.ComposedAlpha, colour, alpha, left, layer.Top);
        } else {
            const int wl = int(ScaleByFixed4(left, doc.WorkScale));
            const int wt = int(ScaleByFixed4(layer.Top, doc.WorkScale));
            if (relief) {
                const QImage colour = LoadImage(WorkFileName(n, QStringLiteral("xgx"), viewNumber));
                const QImage alpha = LoadImage(WorkFileName(n, QStringLiteral("xgxt"), viewNumber));
                BlendOver(doc.ComposedImage, doc.ComposedAlpha, colour, alpha, wl, wt);
            } else {
                BlendOver(doc.ComposedImage, doc.ComposedAlpha, doc.LayerImages[i], doc.LayerAlphas[i], wl, wt);
            }
        }
    }
}

struct FullResolutionBands::Files {
    BmpRowReader Colour, Alpha;
    int32_t Top = 0;
    Files(const QString &colour, const QString &alpha) : Colour(colour), Alpha(alpha) {}
};

FullResolutionBands::FullResolutionBands(const Document &doc, const std::vector<int> &viewIndexes,
                                         const std::vector<std::vector<int32_t>> &viewLefts)
{
    const int bits = Bits = DocumentBits(doc);
    First = doc.CropWidth > 0 ? doc.CropLeft : 0;
    Columns = doc.CropWidth > 0 ? doc.CropWidth : doc.ImageWidth;
    // Two files a layer, fourteen a relief layer: past a couple of hundred,
    // each file is opened for its band's rows only, so that the print never
    // holds more open than a few per thread (a process may have 1024 at most).
    size_t fileCount = 0;
    for (const Layer &layer : doc.Layers)
        fileCount += layer.GroupId == GroupReliefRendered ? 2 * size_t(ViewCount) : 2;
    ReopenPerBand = fileCount > OpenFilesKept;
    // A layer's files are opened once; a relief layer has a pair per view.
    std::vector<int> plainFiles(doc.Layers.size(), -1);
    auto open = [&](const QString &colour, const QString &alpha, const Layer &layer, bool relief) {
        auto files = std::make_unique<Files>(colour, alpha);
        files->Top = layer.Top;
        // The same checks, in the same order, as composing a whole view makes.
        if (!relief && files->Colour.Height() != 0 &&
            (files->Colour.Width() != layer.Width || files->Colour.Height() != layer.Height))
            throw VistrelError(Vistrel::tr("The work file \"%1\" is %2 x %3 pixels, but its layer is %4 x %5: "
                                              "it was changed while Vistrel was working. Import the PSD again.")
                                   .arg(colour).arg(files->Colour.Width()).arg(files->Colour.Height())
                                   .arg(layer.Width).arg(layer.Height),
                               ErrorKind::Format);
        if (ReopenPerBand) {
            files->Colour.Close();
            files->Alpha.Close();
        }
        // A picture or a coverage of no pixels lays nothing over the view.
        if (files->Colour.Height() == 0 || files->Alpha.Height() == 0)
            return -1;
        if ((files->Colour.Bits() != bits || files->Alpha.Bits() != 8 ||
                       files->Alpha.Width() != files->Colour.Width() || files->Alpha.Height() != files->Colour.Height()))
            throw VistrelError(Vistrel::tr("A layer picture of %1 x %2 pixels at %3 bits with a coverage of %4 x %5 "
                                              "pixels cannot be laid over a %6-bit view: a work file was changed while "
                                              "Vistrel was working.")
                                   .arg(files->Colour.Width()).arg(files->Colour.Height()).arg(files->Colour.Bits())
                                   .arg(files->Alpha.Width()).arg(files->Alpha.Height()).arg(bits),
                               ErrorKind::Format);
        Sources.push_back(std::move(files));
        return int(Sources.size()) - 1;
    };
    for (size_t p = 0; p < viewIndexes.size(); ++p) {
        const int viewIndex = viewIndexes[p];
        std::vector<Placed> placed;
        for (int i = 0; i < int(doc.Layers.size()); ++i) {
            if (!LayerVisibleInView(doc, i, viewIndex))
                continue;
            const Layer &layer = doc.Layers[size_t(i)];
            const int n = i + 1;
            const int32_t viewLeft = i < int(viewLefts[p].size()) ? viewLefts[p][size_t(i)] : layer.Left;
            if (layer.GroupId == GroupReliefRendered) {
                const int f = open(WorkFileName(n, QStringLiteral("gx"), viewIndex + 1),
                                   WorkFileName(n, QStringLiteral("gxt"), viewIndex + 1), layer, true);
                if (f >= 0)
                    placed.push_back({f, SaturatedInt32(int64_t(viewLeft) - ReliefMargin(doc, layer)), layer.Top});
            } else {
                if (plainFiles[size_t(i)] == -1)
                    plainFiles[size_t(i)] = open(WorkFileName(QStringLiteral("ly"), n),
                                                 WorkFileName(QStringLiteral("lyt"), n), layer, false);
                if (plainFiles[size_t(i)] >= 0)
                    placed.push_back({plainFiles[size_t(i)], viewLeft, layer.Top});
                else
                    plainFiles[size_t(i)] = -2;  // opened, and empty
            }
        }
        Views.push_back(std::move(placed));
    }
}

FullResolutionBands::~FullResolutionBands() = default;

void FullResolutionBands::Compose(int first, int count, const std::vector<uint8_t *> &bands,
                                  const std::vector<std::vector<int32_t>> &columns)
{
    switch (Bits) {
    case 8: ComposeViews<1>(first, count, bands, &columns, {}); break;
    case 24: ComposeViews<3>(first, count, bands, &columns, {}); break;
    default: ComposeViews<4>(first, count, bands, &columns, {}); break;
    }
}

void FullResolutionBands::ComposeWhole(int first, int count, const std::vector<uint8_t *> &bands,
                                       const std::vector<uint8_t *> &coverage)
{
    switch (Bits) {
    case 8: ComposeViews<1>(first, count, bands, nullptr, coverage); break;
    case 24: ComposeViews<3>(first, count, bands, nullptr, coverage); break;
    default: ComposeViews<4>(first, count, bands, nullptr, coverage); break;
    }
}

namespace {

// Counts through a run of columns, for the loop below that also takes a list.
struct ColumnCounter {
    int32_t Column;
    int32_t operator*() const { return Column; }
    ColumnCounter &operator++()
    {
        ++Column;
        return *this;
    }
    bool operator!=(const ColumnCounter &other) const { return Column != other.Column; }
};

// Lays one row of a layer over one row of a view at the columns [x, end):
// column c of the view is pixel c of `view` and `cover`, and pixel c - shift
// of the layer's `colour` and `alpha`. Everything the loop needs is a local,
// so the byte stores cannot make the compiler read it again.
template <int Bytes, typename Columns>
void BlendLayerRow(uchar *view, uchar *cover, const uchar *colour, const uchar *alpha, int32_t shift, Columns x,
                   Columns end)
{
    for (; x != end; ++x) {
        const int32_t c = *x, sx = c - shift;
        const unsigned a = alpha[sx];
        if (a == 0)
            continue;
        uchar *out = view + size_t(c) * Bytes;
        const uchar *in = colour + size_t(sx) * Bytes;
        // The layer files hold blue, green, red; the views red, green, blue.
        auto source = [in](int k) { return Bytes == 3 ? in[2 - k] : in[k]; };
        if (a == 255) {
            for (int k = 0; k < Bytes; ++k)
                out[k] = source(k);
            if (cover)
                cover[c] = 255;
            continue;
        }
        for (int k = 0; k < Bytes; ++k)
            out[k] = uchar((out[k] * (255 - a) + source(k) * a + 127) / 255);
        if (cover)
            cover[c] = uchar((cover[c] * (255 - a) + 255 * a + 127) / 255);
    }
}

}  // namespace

template <int Bytes>
void FullResolutionBands::ComposeViews(int first, int count, const std::vector<uint8_t *> &bands,
                                       const std::vector<std::vector<int32_t>> *columns,
                                       const std::vector<uint8_t *> &coverage)
{
    // The rows of every file that reach into the band, read once.
    ParallelFor(int(Sources.size()), [&](int f) {
        Files &files = *Sources[size_t(f)];
        // In 64 bits: a layer may lie as far off the canvas as 32 bits reach.
        const int64_t from = std::max<int64_t>(int64_t(first) - files.Top, 0);
        const int64_t to = std::min<int64_t>(int64_t(first) + count - files.Top, files.Colour.Height());
        const int rows = int(std::max<int64_t>(to - from, 0));
        const int start = int(std::min<int64_t>(from, files.Colour.Height()));
        files.Colour.ReadRows(start, rows);
        files.Alpha.ReadRows(start, rows);
        if (ReopenPerBand) {
            files.Colour.Close();
            files.Alpha.Close();
        }
    });
    const size_t rowBytes = size_t(Columns) * Bytes;
    // A row of every view at a time: the layer rows it reads stay in the
    // core's cache from one view to the next. A band of fewer rows than there
    // are cores (very wide views) shares out its views instead.
    const size_t views = Views.size();
    const bool byRow = count >= WorkerCount();
    ParallelFor(byRow ? count : count * int(views), [&](int task) {
        const int r = byRow ? task : task / int(views);
        const int y = first + r;
        const size_t fromView = byRow ? 0 : size_t(task) % views, toView = byRow ? views : fromView + 1;
        for (size_t p = fromView; p < toView; ++p) {
            // Columns are counted from the first column made.
            uchar *row = bands[p] + rowBytes * size_t(r);
            uchar *cover = coverage.empty() ? nullptr : coverage[p] + size_t(Columns) * size_t(r);
            // White is 255 in every byte: grey, RGB and CMYK (no ink) alike;
            // nothing covers the view yet.
            std::memset(row, 255, rowBytes);
            if (cover)
                std::memset(cover, 0, size_t(Columns));
            for (const Placed &placed : Views[p]) {
                const Files &files = *Sources[size_t(placed.FilesIndex)];
                const int64_t ly = int64_t(y) - placed.Top;
                if (ly < 0 || ly >= files.Colour.Height())
                    continue;
                // The layer's columns, counted from the first column made;
                // where any are made, the shift fits 32 bits.
                const int64_t shift64 = int64_t(placed.Left) - First;
                const int32_t x0 = int32_t(std::max<int64_t>(0, shift64));
                const int32_t x1 = int32_t(std::min<int64_t>(shift64 + files.Colour.Width(), Columns));
                if (x0 >= x1)
                    continue;
                const int32_t shift = int32_t(shift64);
                const uchar *colour = files.Colour.Row(int(ly)), *alpha = files.Alpha.Row(int(ly));
                if (!columns) {
                    BlendLayerRow<Bytes>(row, cover, colour, alpha, shift, ColumnCounter{x0}, ColumnCounter{x1});
                    continue;
                }
                const std::vector<int32_t> &wanted = (*columns)[p];
                const int32_t *from = std::lower_bound(wanted.data(), wanted.data() + wanted.size(), x0);
                const int32_t *to = std::lower_bound(from, wanted.data() + wanted.size(), x1);
                BlendLayerRow<Bytes>(row, cover, colour, alpha, shift, from, to);
            }
        }
    });
}

void ComposeLayerAloneImage(Document &doc, int layerIndex)
{
    const int bytes = DocumentBits(doc) / 8;
    doc.ComposedImage = NewPicture(doc.WorkWidth, doc.WorkHeight, DocumentBits(doc));
    doc.ComposedAlpha = NewPicture(doc.WorkWidth, doc.WorkHeight, 8);
    for (int y = 0; y < doc.WorkHeight; ++y) {
        std::memset(doc.ComposedAlpha.scanLine(y), 255, size_t(doc.ComposedAlpha.bytesPerLine()));
        uchar *row = doc.ComposedImage.scanLine(y);
        const int r = (y + 1) % 16;
        for (int x = 0; x < doc.WorkWidth; ++x) {
            const int q = (x + 1) % 16;
            // The first square each way is 7 pixels, all others 8.
            const bool grey = (r < 8 && q < 8) || (r > 7 && q > 7);
            std::memset(row + qsizetype(x) * bytes, grey ? 200 : 255, size_t(bytes));
        }
    }
    if (layerIndex < 0 || layerIndex >= int(doc.Layers.size()))
        return;
    const Layer &layer = doc.Layers[layerIndex];
    BlendOver(doc.ComposedImage, doc.ComposedAlpha, doc.LayerImages[layerIndex], doc.LayerAlphas[layerIndex],
              int(ScaleByFixed4(layer.Left, doc.WorkScale)), int(ScaleByFixed4(layer.Top, doc.WorkScale)));
}

QImage CmykToViewable(const QImage &picture)
{
    if (BitsPerPixel(picture) != 32)
        return picture;
    QImage rgb = NewPicture(picture.width(), picture.height(), 24);
    for (int y = 0; y < picture.height(); ++y) {
        const uchar *in = picture.constScanLine(y);
        uchar *out = rgb.scanLine(y);
        for (int x = 0; x < picture.width(); ++x, in += 4, out += 3) {
            const unsigned k = in[3];
            out[2] = uchar((k * in[0] + 127) / 255);  // red from cyan
            out[1] = uchar((k * in[1] + 127) / 255);  // green from magenta
            out[0] = uchar((k * in[2] + 127) / 255);  // blue from yellow
        }
    }
    return rgb;
}

QImage GreyToViewable(const QImage &picture)
{
    if (BitsPerPixel(picture) != 8)
        return picture;
    QImage rgb = NewPicture(picture.width(), picture.height(), 24);
    for (int y = 0; y < picture.height(); ++y) {
        const uchar *in = picture.constScanLine(y);
        uchar *out = rgb.scanLine(y);
        for (int x = 0; x < picture.width(); ++x, out += 3)
            out[0] = out[1] = out[2] = in[x];
    }
    return rgb;
}

QImage ViewablePicture(const QImage &picture)
{
    return GreyToViewable(CmykToViewable(picture));
}
