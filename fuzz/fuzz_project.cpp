// libFuzzer target: any bytes as a project file, read for a document of three
// layers and applied to it.
#include "Document.h"
#include "Errors.h"
#include "ProjectFile.h"

#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    ResetDocument();
    Doc.LayerCount = 3;
    Doc.Layers.resize(3);
    Doc.ImageWidth = 2000;
    Doc.ImageHeight = 1000;
    try {
        const ProjectData project =
            ParseProject(QByteArray::fromRawData(reinterpret_cast<const char *>(data), qsizetype(size)),
                         QStringLiteral("fuzz.hx4p3"), Doc.LayerCount);
        ApplyProject(Doc, project, QStringLiteral("fuzz.hx4p3"));
    } catch (const VistrelError &) {
    }
    return 0;
}
