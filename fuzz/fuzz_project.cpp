// libFuzzer target: any bytes as a project file, read for a document of three
// layers and applied to it.
#include "Document.h"
#include "Errors.h"
#include "ProjectFile.h"

#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    Document doc;
    doc.LayerCount = 3;
    doc.Layers.resize(3);
    doc.ImageWidth = 2000;
    doc.ImageHeight = 1000;
    try {
        const ProjectData project =
            ParseProject(QByteArray::fromRawData(reinterpret_cast<const char *>(data), qsizetype(size)),
                         QStringLiteral("fuzz.hx4p3"), doc.LayerCount);
        ApplyProject(doc, project, QStringLiteral("fuzz.hx4p3"));
    } catch (const VistrelError &) {
    }
    return 0;
}
