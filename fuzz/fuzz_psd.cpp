// libFuzzer target: any bytes as a PSD file, read from memory through both
// phases of the reader, the layers handed to a sink that keeps nothing. A
// refusal is fine; a crash, a read past the data or a hang is not.
#include "Document.h"
#include "Errors.h"
#include "PsdReader.h"

#include <QBuffer>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    QByteArray bytes = QByteArray::fromRawData(reinterpret_cast<const char *>(data), qsizetype(size));
    QBuffer device(&bytes);
    device.open(QIODevice::ReadOnly);
    try {
        const PsdIndex index = ReadPsdIndex(device, QStringLiteral("fuzz.psd"));
        // Decoding is bounded, so that each run stays short: the decoders work
        // the same on a few thousand pixels as on millions.
        qint64 pixels = 0;
        for (const PsdLayerEntry &entry : index.Layers)
            pixels += qint64(entry.Record.Width) * entry.Record.Height;
        if (pixels <= 60'000)
            ReadPsdLayers(device, index, [](int, const QImage &, const QImage &) {});
    } catch (const VistrelError &) {
    }
    return 0;
}
