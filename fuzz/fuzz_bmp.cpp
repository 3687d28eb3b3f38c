// libFuzzer target: any bytes as a work-folder BMP file.
#include "BmpCodec.h"
#include "Errors.h"

#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    try {
        const QImage picture =
            DecodeBmp(QByteArray::fromRawData(reinterpret_cast<const char *>(data), qsizetype(size)),
                      QStringLiteral("fuzz.gjs"));
        // What was read must survive a round trip through the writer.
        if (!picture.isNull() && DecodeBmp(EncodeBmp(picture), QStringLiteral("again.gjs")) != picture)
            __builtin_trap();
    } catch (const VistrelError &) {
    }
    return 0;
}
