// libFuzzer target: any bytes as a PSD file, through both phases of the reader.
// A refusal is fine; a crash, a read past the data or a hang is not.
#include "Document.h"
#include "Errors.h"
#include "PsdReader.h"

#include <QFile>
#include <QTemporaryDir>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    static QTemporaryDir dir;
    WorkFolder = dir.path() + QStringLiteral("/");
    const QString path = dir.path() + QStringLiteral("/in.psd");
    {
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly))
            return 0;
        file.write(reinterpret_cast<const char *>(data), qint64(size));
    }
    try {
        const PsdIndex index = ReadPsdIndex(path);
        // Decoding is bounded by what a real document of this size could need.
        qint64 pixels = 0;
        for (const PsdLayerEntry &entry : index.Layers)
            pixels += qint64(entry.Layer.Width) * entry.Layer.Height;
        if (pixels <= 4'000'000)
            ReadPsdLayers(index);
    } catch (const VistrelError &) {
    }
    return 0;
}
