#include "TestSupport.h"

#include "Document.h"
#include "Import.h"
#include "PsdBuilder.h"
#include "ScriptedPlatform.h"
#include "TiffFormat.h"
#include "WorkFolder.h"

#include <QDir>

#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>

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

bool CorpusPresent()
{
    return QFileInfo(CorpusFolder()).isDir();
}

std::string NoCorpusReason()
{
    return "the PSD corpus is not there: " + QFileInfo(CorpusFolder()).absoluteFilePath().toStdString() +
           " (it is kept beside the project, in shared/corpus/psd)";
}

bool ProgramInstalled(const QString &program)
{
    if (program.contains(QLatin1Char('/')))
        return QFileInfo(program).isExecutable();
    return !QStandardPaths::findExecutable(program).isEmpty();
}

bool PsdToolsInstalled()
{
    const QString python = QStringLiteral("/usr/bin/python3");
    int found = -1;
    if (ProgramInstalled(python))
        RunProgram(python, {QStringLiteral("-c"), QStringLiteral("import psd_tools")}, &found);
    return found == 0;
}

std::string NotInstalledReason(const QString &program, const char *package)
{
    return program.toStdString() + " is not installed (Debian package " + package +
           ", see scripts/install-deps); this independent check is not made";
}

QByteArray RunProgram(const QString &program, const QStringList &arguments, int *exitCode, QByteArray *errorOutput)
{
    QProcess process;
    process.start(program, arguments);
    if (!process.waitForFinished(60000)) {
        if (exitCode)
            *exitCode = -1;
        if (errorOutput)
            *errorOutput = process.errorString().toLocal8Bit();
        return {};
    }
    if (exitCode)  // a crash counts as a failure whatever the code
        *exitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    if (errorOutput)
        *errorOutput = process.readAllStandardError();
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
    if (!bytes.startsWith(QByteArray("II*\0", 4)) || bytes.size() < Tiff::DirectoryOffset)
        return bytes;
    const qsizetype ifd = Le32(bytes, Tiff::DirectoryOffsetField);
    const int entries = Le16(bytes, ifd);
    for (int e = 0; e < entries; ++e) {
        const qsizetype entry = ifd + Tiff::EntryCountSize + Tiff::EntrySize * e;
        if (Le16(bytes, entry) == Tiff::TagDateTime) {
            const qsizetype count = Le32(bytes, entry + Tiff::EntryCountField);
            const qsizetype at = Le32(bytes, entry + Tiff::EntryValueField);
            bytes.replace(at, count, QByteArray(count, '\0'));
            // Its length too: the person's date format decides it.
            bytes.replace(entry + Tiff::EntryCountField, 4, QByteArray(4, '\0'));
        }
    }
    return bytes;
}

QString VistrelProgram()
{
    return QStringLiteral(VISTREL_BINARY_DIR) + QStringLiteral("/vistrel");
}

void ImportBuilt(Document &doc, const ScriptedPlatform &platform, const PsdBuilder &builder)
{
    doc = Document();
    WorkFolder = platform.WorkFolderPath();
    QDir().mkpath(WorkFolder);
    const QString psd = platform.Sandbox.path() + QStringLiteral("/doc.psd");
    WriteFileBytes(psd, builder.Build());
    ImportDocument(doc, psd);
}
