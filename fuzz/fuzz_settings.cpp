// libFuzzer target: any bytes as the settings file, read and range-checked.
#include "Errors.h"
#include "SettingsFile.h"

#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    SettingsValues values;
    try {
        ParseSettings(QByteArray::fromRawData(reinterpret_cast<const char *>(data), qsizetype(size)),
                      QStringLiteral("vistrelt.inf"), values);
    } catch (const VistrelError &) {
    }
    CheckSettingsRanges(values);
    // Whatever was read, what is written reads back.
    SettingsValues again;
    ParseSettings(FormatSettings(values), QStringLiteral("again.inf"), again);
    return 0;
}
