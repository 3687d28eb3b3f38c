#include "SettingsFile.h"

#include "Document.h"
#include "Errors.h"
#include "Platform.h"
#include "Texts.h"
#include "WorkFolder.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

namespace {

const QString SettingsFileName = QStringLiteral("vistrelt.inf");
const QByteArray MakerLine = "Vistrel lenticular design tool settings";

bool InRange(Fixed4 value, double low, double high)
{
    return value >= ToFixed4(low) && value <= ToFixed4(high);
}

QString FindInFolder(const QString &folder, const QString &name)
{
    // File names compare without regard to case.
    const QStringList names = QDir(folder).entryList(QDir::Files);
    for (const QString &existing : names)
        if (existing.compare(name, Qt::CaseInsensitive) == 0)
            return folder + FolderSeparator() + existing;
    return folder + FolderSeparator() + name;
}

SettingsValues CurrentSettings(const Document &doc)
{
    SettingsValues v;
    v.Reserved = doc.SettingsReserved;
    v.Language = doc.Language;
    v.Depth = doc.Depth;
    v.Lpi = doc.Lpi;
    v.OutputDpi = doc.OutputDpi;
    v.OutputWidthCm = doc.OutputWidthCm;
    v.OutputHeightCm = doc.OutputHeightCm;
    v.OutputColorMode = doc.OutputColorMode;
    v.HScale = doc.HScale;
    return v;
}

void WriteSettingsValues(const SettingsValues &values)
{
    const QString path = SettingsFilePath();
    QSaveFile file(path);
    // A write that stops part of the way is a failure too: a short file
    // would be taken for the settings at the next start.
    const QByteArray bytes = FormatSettings(values);
    if (!file.open(QIODevice::WriteOnly))
        throw SaveError(path, file.errorString());
    if (CheckedWrite(file, bytes) != bytes.size())
        throw SaveError(path, WriteFailureReason(file));
    CommitSaveFile(file);
}

}  // namespace

void ParseSettings(const QByteArray &bytes, const QString &fileName, SettingsValues &values)
{
    NumberReader in(bytes, fileName);
    for (int64_t &reserved : values.Reserved)
        reserved = in.ReadInteger();
    values.Language = in.ReadInteger();
    values.Depth = in.ReadFixed4();
    in.SkipLine();
    values.Lpi = in.ReadFixed4();
    in.ReadInteger();  // the view count is always 7
    values.OutputDpi = in.ReadFixed4();
    values.OutputWidthCm = in.ReadFixed4();
    values.OutputHeightCm = in.ReadFixed4();
    values.OutputColorMode = in.ReadInteger();
    values.HScale = in.ReadInteger();
}

void CheckSettingsRanges(SettingsValues &v)
{
    if (!InRange(v.Lpi, 9, 210))
        v.Lpi = ToFixed4(42.45);
    if (!InRange(v.OutputDpi, 100, 10160))
        v.OutputDpi = 1200 * Fixed4One;
    if (!InRange(v.OutputWidthCm, 1, 500))
        v.OutputWidthCm = 5 * Fixed4One;
    if (!InRange(v.OutputHeightCm, 1, 500))
        v.OutputHeightCm = 5 * Fixed4One;
    if (v.OutputColorMode < 0 || v.OutputColorMode > 2)
        v.OutputColorMode = 2;
    if (v.HScale < 1 || v.HScale > 32)
        v.HScale = 1;
    if (v.Depth <= 0 || v.Depth > 100 * Fixed4One)
        v.Depth = Fixed4One;
    // Anything but Chinese is English.
    if (v.Language != 1)
        v.Language = 0;
}

QByteArray FormatSettings(const SettingsValues &v)
{
    QByteArray out;
    for (int64_t reserved : v.Reserved)
        out += QByteArray::number(reserved) + ' ';
    out += QByteArray::number(v.Language) + ' ' + RealText23(FromFixed4(v.Depth)) + "\r\n";
    out += RealText23(FromFixed4(v.Lpi)) + ' ' + QByteArray::number(ViewCount) + ' ' +
           RealText23(FromFixed4(v.OutputDpi)) + ' ' + RealText23(FromFixed4(v.OutputWidthCm)) + ' ' +
           RealText23(FromFixed4(v.OutputHeightCm)) + ' ' + QByteArray::number(v.OutputColorMode) + ' ' +
           QByteArray::number(v.HScale) + "\r\n";
    out += MakerLine + "\r\n";
    return out;
}

QString SettingsFilePath()
{
    const QString folder = Platform.ProgramFolder();
    const QFileInfo programFolder(folder);
    if (programFolder.isDir() && programFolder.isWritable())
        return FindInFolder(folder, SettingsFileName);
    // An installed program's folder cannot be written: keep the file with the user.
    const QString configFolder = Platform.UserConfigFolder();
    MakeFolder(configFolder);
    return FindInFolder(configFolder, SettingsFileName);
}

namespace {

// No settings file is anywhere near this long; a longer one is not one.
constexpr qint64 MostSettingsBytes = 64 * 1024;

// The settings file's values, checked. A file that cannot be taken for
// settings (not a regular file, far too long, unreadable, damaged) is set
// aside as "vistrelt.inf.bad" and replaced by one holding what could be read
// and the defaults for the rest; `problem` says so. Nothing here waits on a
// pipe or reads a device without end.
SettingsValues LoadSettings(QString &problem)
{
    SettingsValues values;
    const QString path = SettingsFilePath();
    const QFileInfo info(path);
    const FileKind kind = KindOfFile(path);
    if (kind == FileKind::Missing && !info.isSymLink())
        return values;  // the defaults
    if (kind != FileKind::Regular) {
        problem = Vistrel::tr("\"%1\" is not a regular file").arg(path);
    } else if (info.size() > MostSettingsBytes) {
        problem = Vistrel::tr("\"%1\" is %2 bytes long, far longer than a settings file").arg(path).arg(info.size());
    } else {
        QFile file(path);
        if (!file.open(QIODevice::ReadOnly)) {
            // A good file this run may not read (its rights, a passing fault)
            // is said and left alone: only what is not settings is set aside.
            problem = CannotOpenFileText(path, file.errorString());
            CheckSettingsRanges(values);
            return values;
        } else {
            try {
                ParseSettings(file.read(MostSettingsBytes), path, values);
            } catch (const VistrelError &error) {
                problem = error.Message;
            }
        }
    }
    CheckSettingsRanges(values);
    if (problem.isEmpty())
        return values;
    // An earlier file set aside is kept: the next free name.
    QString aside = path + QStringLiteral(".bad");
    for (int n = 2; QFileInfo(aside).exists() || QFileInfo(aside).isSymLink(); ++n)
        aside = path + QStringLiteral(".bad%1").arg(n);
    QFile::rename(path, aside);  // the name, never what a link leads to
    try {
        WriteSettingsValues(values);
    } catch (const VistrelError &) {
        // Said below all the same; the next run tries again.
    }
    problem = Vistrel::tr("The settings file could not be read (%1). It was kept as \"%2\", and the settings "
                             "that could be read and the defaults for the rest are used.")
                  .arg(problem, aside);
    return values;
}

}  // namespace

void ApplySettingsFile(Document &doc)
{
    QString problem;
    const SettingsValues values = LoadSettings(problem);
    doc.SettingsReserved = values.Reserved;
    doc.Language = static_cast<uint8_t>(values.Language);
    doc.Depth = values.Depth;
    doc.Lpi = values.Lpi;
    doc.OutputDpi = values.OutputDpi;
    doc.OutputWidthCm = values.OutputWidthCm;
    doc.OutputHeightCm = values.OutputHeightCm;
    doc.OutputColorMode = static_cast<uint8_t>(values.OutputColorMode);
    doc.HScale = static_cast<uint8_t>(values.HScale);

    WriteSettingsValues(values);
    if (!problem.isEmpty())
        throw VistrelError(problem);
}

QString ReadSettingsFile(SettingsValues &values)
{
    QString problem;
    values = LoadSettings(problem);
    return problem;
}

void WriteSettingsFile(const Document &doc)
{
    WriteSettingsValues(CurrentSettings(doc));
}
