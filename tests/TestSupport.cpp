#include "TestSupport.h"

#include <QFile>
#include <QProcess>

QByteArray ReadFileBytes(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void WriteFileBytes(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    if (f.open(QIODevice::WriteOnly))
        f.write(bytes);
}

QString SourceFolder()
{
    return QStringLiteral(VISTREL_SOURCE_DIR);
}

QString CorpusFolder()
{
    return SourceFolder() + QStringLiteral("/../shared/corpus/psd");
}

QByteArray RunProgram(const QString &program, const QStringList &arguments, int *exitCode)
{
    QProcess process;
    process.start(program, arguments);
    if (!process.waitForFinished(60000)) {
        if (exitCode)
            *exitCode = -1;
        return {};
    }
    if (exitCode)
        *exitCode = process.exitCode();
    return process.readAllStandardOutput();
}

namespace {

uint32_t Le32(const QByteArray &b, qsizetype at)
{
    return uint8_t(b[at]) | uint8_t(b[at + 1]) << 8 | uint8_t(b[at + 2]) << 16 | uint32_t(uint8_t(b[at + 3])) << 24;
}
uint16_t Le16(const QByteArray &b, qsizetype at) { return uint16_t(uint8_t(b[at]) | uint8_t(b[at + 1]) << 8); }

}  // namespace

QByteArray WithoutTiffDate(QByteArray bytes)
{
    if (!bytes.startsWith(QByteArray("II*\0", 4)) || bytes.size() < 8)
        return bytes;
    const qsizetype ifd = Le32(bytes, 4);
    const int entries = Le16(bytes, ifd);
    for (int e = 0; e < entries; ++e) {
        const qsizetype entry = ifd + 2 + 12 * e;
        if (Le16(bytes, entry) == 306) {
            const qsizetype count = Le32(bytes, entry + 4);
            const qsizetype at = Le32(bytes, entry + 8);
            bytes.replace(at, count, QByteArray(count, '\0'));
        }
    }
    return bytes;
}

QString VistrelProgram()
{
    return QStringLiteral(VISTREL_BINARY_DIR) + QStringLiteral("/vistrel");
}
