#include "PrintFinish.h"

bool ParseCompression(const QString &word, TiffCompression &compression)
{
    if (word == QLatin1String("none"))
        compression = TiffCompression::None;
    else if (word == QLatin1String("lzw"))
        compression = TiffCompression::Lzw;
    else if (word == QLatin1String("zip"))
        compression = TiffCompression::Zip;
    else
        return false;
    return true;
}
