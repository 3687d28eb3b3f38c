#include "Jobs.h"

#include "Errors.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSaveFile>
#include <map>

namespace {

// The job file's keys: the options that take a value, and the switches.
const std::map<QString, QString CommandLine::*> &ValuedKeys()
{
    static const std::map<QString, QString CommandLine::*> keys = {
        {QStringLiteral("tiff"), &CommandLine::ExportTiff},     {QStringLiteral("psd"), &CommandLine::ExportPsd},
        {QStringLiteral("gif"), &CommandLine::ExportGif},       {QStringLiteral("project"), &CommandLine::SaveProject},
        {QStringLiteral("lpi"), &CommandLine::Lpi},             {QStringLiteral("dpi"), &CommandLine::Dpi},
        {QStringLiteral("width-cm"), &CommandLine::WidthCm},    {QStringLiteral("hscale"), &CommandLine::HScale},
        {QStringLiteral("depth"), &CommandLine::Depth},         {QStringLiteral("focus"), &CommandLine::Focus},
        {QStringLiteral("preset"), &CommandLine::Preset},       {QStringLiteral("gif-palette"), &CommandLine::GifPalette},
        {QStringLiteral("max-width-cm"), &CommandLine::MaxWidthCm}, {QStringLiteral("compress"), &CommandLine::Compress},
        {QStringLiteral("icc"), &CommandLine::Icc},             {QStringLiteral("bleed-mm"), &CommandLine::BleedMm},
        {QStringLiteral("work-folder"), &CommandLine::WorkFolder}};
    return keys;
}
const std::map<QString, bool CommandLine::*> &SwitchKeys()
{
    static const std::map<QString, bool CommandLine::*> keys = {
        {QStringLiteral("anaglyph"), &CommandLine::Anaglyph},
        {QStringLiteral("crop-edges"), &CommandLine::CropEdges},
        {QStringLiteral("folders-as-groups"), &CommandLine::FoldersAsGroups},
        {QStringLiteral("fail-on-ghosting"), &CommandLine::FailOnGhosting},
        {QStringLiteral("embed-icc"), &CommandLine::EmbedIcc},
        {QStringLiteral("marks"), &CommandLine::Marks},
        {QStringLiteral("verbose"), &CommandLine::Verbose}};
    return keys;
}
// Keys whose value is a path, taken from the job file's folder.
bool IsPathKey(const QString &key)
{
    return key == QLatin1String("input") || key == QLatin1String("tiff") || key == QLatin1String("psd") ||
           key == QLatin1String("gif") || key == QLatin1String("project") || key == QLatin1String("icc") ||
           key == QLatin1String("work-folder");
}

// Applies the keys of one object to `into`; the first problem, or empty.
QString Apply(const QJsonObject &object, const QDir &folder, CommandLine &into)
{
    for (auto it = object.begin(); it != object.end(); ++it) {
        const QString key = it.key();
        const QJsonValue value = it.value();
        if (const auto s = SwitchKeys().find(key); s != SwitchKeys().end()) {
            if (!value.isBool())
                return QStringLiteral("\"%1\" is true or false").arg(key);
            into.*(s->second) = value.toBool();
            continue;
        }
        QString text;
        if (value.isString())
            text = value.toString();
        else if (value.isDouble())
            text = QString::number(value.toDouble(), 'g', 15);
        else
            return QStringLiteral("\"%1\" is a number or a text").arg(key);
        if (IsPathKey(key))
            text = QDir::cleanPath(folder.absoluteFilePath(text));
        if (key == QLatin1String("input"))
            into.PsdFile = text;
        else if (const auto v = ValuedKeys().find(key); v != ValuedKeys().end())
            into.*(v->second) = text;
        else
            return QStringLiteral("\"%1\" is not an option of a design").arg(key);
    }
    return {};
}

QJsonObject Record(const CommandLine &design, const BatchOutcome &made)
{
    QJsonArray outputs;
    for (const BatchOutcome::Output &o : made.Outputs)
        outputs.append(QJsonObject{{QStringLiteral("kind"), o.Kind},
                                   {QStringLiteral("path"), o.Path},
                                   {QStringLiteral("bytes"), double(QFileInfo(o.Path).size())}});
    QJsonObject record{{QStringLiteral("input"), QFileInfo(design.PsdFile).absoluteFilePath()},
                       {QStringLiteral("ok"), made.Error.isEmpty()},
                       {QStringLiteral("seconds"), made.Seconds},
                       {QStringLiteral("outputs"), outputs}};
    if (made.Weighed)
        record.insert(QStringLiteral("ghosting"),
                      QJsonObject{{QStringLiteral("lens-widths"), made.Guidance.LensWidths},
                                  {QStringLiteral("print-pixels"), made.Guidance.PrintPixels},
                                  {QStringLiteral("row"), made.Guidance.Row},
                                  {QStringLiteral("ghosts"), made.Guidance.Ghosts()}});
    if (!made.Error.isEmpty())
        record.insert(QStringLiteral("error"), made.Error);
    return record;
}

// The report, to a file (replaced whole when complete) or to standard output.
bool WriteReport(const QString &where, const QJsonArray &records, int failed, FILE *out, FILE *err)
{
    const QByteArray bytes = QJsonDocument(QJsonObject{{QStringLiteral("designs"), records},
                                                       {QStringLiteral("failed"), failed}})
                                 .toJson(QJsonDocument::Indented);
    if (where == QLatin1String("-")) {
        std::fwrite(bytes.constData(), 1, size_t(bytes.size()), out);
        std::fflush(out);
        return true;
    }
    QSaveFile file(where);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit()) {
        std::fprintf(err, "%s\n", CannotOpenFileText(where, file.errorString()).toLocal8Bit().constData());
        return false;
    }
    return true;
}

// A report would replace what is not a regular file (a device, a pipe): refused
// before any design runs. The message, or empty.
QString ReportTargetProblem(const QString &where)
{
    if (where.isEmpty() || where == QLatin1String("-"))
        return {};
    try {
        RefuseSpecialTarget(where);
    } catch (const VistrelError &error) {
        return error.Message;
    }
    return {};
}

}  // namespace

int RunJob(const CommandLine &options, FILE *out, FILE *err)
{
    auto refuse = [&](const QString &why) {
        std::fprintf(err, "vistrel: the job \"%s\" cannot run: %s\n", options.Job.toLocal8Bit().constData(),
                     why.toLocal8Bit().constData());
        return 2;
    };
    if (const QString problem = ReportTargetProblem(options.Report); !problem.isEmpty())
        return refuse(problem);
    QFile file(options.Job);
    if (!file.open(QIODevice::ReadOnly))
        return refuse(file.errorString());
    QJsonParseError parse;
    const QJsonDocument json = QJsonDocument::fromJson(file.readAll(), &parse);
    if (parse.error != QJsonParseError::NoError)
        return refuse(QStringLiteral("%1 at byte %2").arg(parse.errorString()).arg(parse.offset));
    if (!json.isObject() || !json.object().value(QStringLiteral("designs")).isArray())
        return refuse(QStringLiteral("it holds no \"designs\" list"));
    const QDir folder = QFileInfo(options.Job).absoluteDir();

    // Every design is made and checked before the first runs.
    CommandLine base = options;
    base.Job.clear();
    base.Report.clear();
    if (const QString problem = Apply(json.object().value(QStringLiteral("defaults")).toObject(), folder, base);
        !problem.isEmpty())
        return refuse(QStringLiteral("defaults: %1").arg(problem));
    std::vector<CommandLine> designs;
    const QJsonArray list = json.object().value(QStringLiteral("designs")).toArray();
    for (qsizetype i = 0; i < list.size(); ++i) {
        CommandLine design = base;
        if (!list[i].isObject())
            return refuse(QStringLiteral("design %1 is not an object").arg(i + 1));
        if (const QString problem = Apply(list[i].toObject(), folder, design); !problem.isEmpty())
            return refuse(QStringLiteral("design %1: %2").arg(i + 1).arg(problem));
        if (design.PsdFile.isEmpty())
            return refuse(QStringLiteral("design %1 names no \"input\"").arg(i + 1));
        if (!design.IsBatch())
            return refuse(QStringLiteral("design %1 names no output").arg(i + 1));
        designs.push_back(design);
    }
    if (designs.empty())
        return refuse(QStringLiteral("its \"designs\" list is empty"));

    // Standard output carries the report when asked so; the designs' own lines go to errors then.
    FILE *lines = options.Report == QLatin1String("-") ? err : out;
    QJsonArray records;
    int failed = 0;
    for (size_t i = 0; i < designs.size(); ++i) {
        std::fprintf(lines, "design %d of %d: %s\n", int(i + 1), int(designs.size()),
                     designs[i].PsdFile.toLocal8Bit().constData());
        BatchOutcome made;
        if (RunBatch(designs[i], lines, err, &made) != 0)
            ++failed;
        records.append(Record(designs[i], made));
    }
    if (!options.Report.isEmpty() && !WriteReport(options.Report, records, failed, out, err))
        return 1;
    if (failed > 0)
        std::fprintf(err, "%d of %d designs failed\n", failed, int(designs.size()));
    return failed > 0 ? 1 : 0;
}

int RunReported(const CommandLine &options, FILE *out, FILE *err)
{
    if (const QString problem = ReportTargetProblem(options.Report); !problem.isEmpty()) {
        std::fprintf(err, "%s\n", problem.toLocal8Bit().constData());
        return 2;
    }
    BatchOutcome made;
    const int code = RunBatch(options, options.Report == QLatin1String("-") ? err : out, err, &made);
    if (!WriteReport(options.Report, QJsonArray{Record(options, made)}, code == 0 ? 0 : 1, out, err))
        return code == 0 ? 1 : code;
    return code;
}
