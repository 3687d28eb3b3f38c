// libFuzzer target: any bytes as a TIFF of Vistrel's own layout, through the
// header reader and the picture reader.
#include "Errors.h"
#include "Tiff.h"

#include <QBuffer>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    QByteArray bytes = QByteArray::fromRawData(reinterpret_cast<const char *>(data), qsizetype(size));
    QBuffer device(&bytes);
    device.open(QIODevice::ReadOnly);
    try {
        ReadTiffInfo(device, QStringLiteral("fuzz.tif"));
        LoadTiffBitmap(device, QStringLiteral("fuzz.tif"));
    } catch (const VistrelError &) {
    }
    return 0;
}
