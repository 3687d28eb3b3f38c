#include "CommandLine.h"

#include "Anaglyph.h"
#include "BmpCodec.h"
#include "Document.h"
#include "Errors.h"
#include "GifExport.h"
#include "Import.h"
#include "Presets.h"
#include "PsdReader.h"
#include "Interlacer.h"
#include "LayeredPsd.h"
#include "ParameterRules.h"
#include "PitchTest.h"
#include "Platform.h"
#include "PrintExport.h"
#include "PrintWriter.h"
#include "ProjectFile.h"
#include "ReliefRenderer.h"
#include "SettingsFile.h"
#include "ViewSet.h"
#include "WorkFolder.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <algorithm>
#include <cstdio>
#include <new>
#include <optional>
#ifdef _WIN32
#include <io.h>
#define isatty _isatty
#define fileno _fileno
#else
#include <unistd.h>
#endif

const char *const UsageText =
    "Usage: vistrel [options] [FILE.psd | PROJECT.hx4p3]\n"
    "\n"
    "Vistrel designs lenticular prints from layered PSD files.\n"
    "\n"
    "  vistrel                    open the window\n"
    "  vistrel FILE.psd           open the window with FILE.psd imported\n"
    "  vistrel PROJECT.hx4p3      open the window with the project opened (its PSD beside it)\n"
    "  vistrel --info [settings] FILE.psd\n"
    "                             import FILE.psd without a window and print its facts, its offsets,\n"
    "                             the print the settings describe and its depth guidance\n"
    "  vistrel --export-tiff OUT.tif [settings] FILE.psd\n"
    "                             import FILE.psd and write the interlaced print, without a window\n"
    "  vistrel [--export-tiff OUT.tif] [--export-psd OUT.psd] [--export-gif OUT.gif] [--anaglyph]\n"
    "          [settings] FILE.psd\n"
    "                             any of the outputs in one run: the print, the views as a layered\n"
    "                             PSD, an animated GIF, the red/blue anaglyph (FILE_qz58.bmp)\n"
    "  --save-project OUT.hx4p3   also save the project of what the run imported and applied\n"
    "  --gif-palette adaptive     the GIF's 256 colours cut from its views instead of the halftone ones\n"
    "  --fail-on-ghosting         a print that would ghost is not made: exit status 2, nothing written\n"
    "  --folders-as-groups        each top-level folder of the PSD becomes a flip group\n"
    "  --preset SHEET[@PRINTER]   the LPI of a lens sheet of the presets (the printer's calibrated\n"
    "                             pitch for it) and the printer's resolution; --lpi and --dpi win\n"
    "  --compress lzw|zip         the print in compressed strips (written by libtiff); default: none\n"
    "  --embed-icc                the PSD's own colour profile embedded in the print and the layered PSD\n"
    "  --icc FILE                 this ICC profile embedded instead\n"
    "  --bleed-mm N               the print continued N mm past the trim on every side (up to 50)\n"
    "  --marks                    crop marks, registration targets and a slug line outside the bleed\n"
    "  --crop-edges               cut the views to the columns that all seven cover; the print keeps\n"
    "                             its width and its height follows, so the picture keeps its proportions\n"
    "  vistrel --job JOB.json [--report REPORT.json|-] [settings]\n"
    "                             every design of the job file in one run: its input, settings and\n"
    "                             outputs (see the README); one failing does not stop the others\n"
    "  --report REPORT.json|-     a JSON record per design: its outputs and their sizes, the time,\n"
    "                             the ghosting figure and any error (- for standard output)\n"
    "  vistrel --pitch-test OUT.tif --lpi-from A --lpi-to B --lpi-step S [--dpi N] [--width-cm W]\n"
    "                             strips interlaced at each LPI from A to B, to find a lens sheet's\n"
    "                             true pitch on a printer; no PSD is needed\n"
    "\n"
    "Wherever FILE.psd stands, a project (.hx4p3, .hx4p2, .hx4p) may stand instead: the PSD\n"
    "beside it is imported and the project applied; settings given here win over the project's.\n"
    "\n"
    "Print settings (those not given come from the settings file, as in the window):\n"
    "  --lpi N         lenses per inch of the lens sheet (9 to 210)\n"
    "  --dpi N|auto    printer resolution; auto puts 7 printer pixels under each lens\n"
    "  --width-cm N    print width in centimetres (up to 21, or --max-width-cm); the height follows\n"
    "  --max-width-cm N  the widest print (default 21, up to 10000): for large-format printers\n"
    "  --hscale N      vertical reduction factor (1 to 32)\n"
    "  --depth N       depth factor (-10 to 10)\n"
    "  --focus ROW     grid row of the focus layer (1 = top layer, a row of the document); default: chosen at import\n"
    "  --verbose       print each phase with its wall time\n"
    "\n"
    "Options:\n"
    "  --work-folder DIR   keep the intermediate images in DIR and leave them there at the end\n"
    "  --help              print this text and exit\n";

CommandLine ParseCommandLine(const QStringList &arguments)
{
    CommandLine options;
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        const QString &a = arguments[i];
        auto value = [&](QString &into) {
            if (i + 1 >= arguments.size()) {
                options.Error = QStringLiteral("%1 needs a value").arg(a);
                return;
            }
            into = arguments[++i];
        };
        // Options that take a value, and switches.
        static const std::pair<const char *, QString CommandLine::*> valued[] = {
            {"--work-folder", &CommandLine::WorkFolder}, {"--export-tiff", &CommandLine::ExportTiff},
            {"--export-psd", &CommandLine::ExportPsd},   {"--export-gif", &CommandLine::ExportGif},
            {"--save-project", &CommandLine::SaveProject}, {"--lpi", &CommandLine::Lpi},
            {"--preset", &CommandLine::Preset},          {"--max-width-cm", &CommandLine::MaxWidthCm},
            {"--compress", &CommandLine::Compress},      {"--icc", &CommandLine::Icc},
            {"--bleed-mm", &CommandLine::BleedMm},        {"--job", &CommandLine::Job},
            {"--report", &CommandLine::Report},
            {"--dpi", &CommandLine::Dpi},                {"--width-cm", &CommandLine::WidthCm},
            {"--hscale", &CommandLine::HScale},          {"--depth", &CommandLine::Depth},
            {"--focus", &CommandLine::Focus},            {"--gif-palette", &CommandLine::GifPalette},
            {"--pitch-test", &CommandLine::PitchTest},   {"--lpi-from", &CommandLine::LpiFrom},
            {"--lpi-to", &CommandLine::LpiTo},           {"--lpi-step", &CommandLine::LpiStep}};
        static const std::pair<const char *, bool CommandLine::*> switches[] = {
            {"--help", &CommandLine::Help}, {"-h", &CommandLine::Help}, {"--info", &CommandLine::Info},
            {"--anaglyph", &CommandLine::Anaglyph}, {"--verbose", &CommandLine::Verbose},
            {"--crop-edges", &CommandLine::CropEdges}, {"--fail-on-ghosting", &CommandLine::FailOnGhosting},
            {"--folders-as-groups", &CommandLine::FoldersAsGroups}, {"--embed-icc", &CommandLine::EmbedIcc},
            {"--marks", &CommandLine::Marks}};
        const auto takes = std::find_if(std::begin(valued), std::end(valued),
                                        [&](const auto &o) { return a == QLatin1String(o.first); });
        const auto flag = std::find_if(std::begin(switches), std::end(switches),
                                       [&](const auto &o) { return a == QLatin1String(o.first); });
        if (takes != std::end(valued)) {
            value(options.*(takes->second));
        } else if (flag != std::end(switches)) {
            options.*(flag->second) = true;
        } else if (a.startsWith(QLatin1Char('-')) && a.size() > 1) {
            options.Error = QStringLiteral("unknown option '%1'").arg(a);
        } else if (options.PsdFile.isEmpty()) {
            options.PsdFile = a;
        } else {
            options.Error = QStringLiteral("only one PSD file can be opened ('%1')").arg(a);
        }
        if (!options.Error.isEmpty())
            break;
    }
    if (options.Error.isEmpty() && !options.GifPalette.isEmpty() && options.GifPalette != QLatin1String("halftone") &&
        options.GifPalette != QLatin1String("adaptive"))
        options.Error = QStringLiteral("--gif-palette is halftone or adaptive, not '%1'").arg(options.GifPalette);
    TiffCompression compression;
    if (options.Error.isEmpty() && !options.Compress.isEmpty() && !ParseCompression(options.Compress, compression))
        options.Error = QStringLiteral("--compress is lzw, zip or none, not '%1'").arg(options.Compress);
    if (options.Error.isEmpty() && !options.Report.isEmpty() && !options.IsBatch())
        options.Error = QStringLiteral("--report needs an export or a job to report on");
    if (options.Error.isEmpty() && !options.Job.isEmpty() && !options.PsdFile.isEmpty())
        options.Error = QStringLiteral("a job names its inputs in its file ('%1')").arg(options.PsdFile);
    if (options.Error.isEmpty() && options.Info && options.PsdFile.isEmpty())
        options.Error = QStringLiteral("--info needs a PSD or project file");
    const bool pitchTestOnly = !options.PitchTest.isEmpty() && options.ExportTiff.isEmpty() &&
                               options.ExportPsd.isEmpty() && options.ExportGif.isEmpty() && !options.Anaglyph &&
                               options.SaveProject.isEmpty();
    if (options.Error.isEmpty() && options.IsBatch() && !pitchTestOnly && options.PsdFile.isEmpty() &&
        options.Job.isEmpty())
        options.Error = QStringLiteral("an export needs a PSD or project file");
    if (options.Error.isEmpty() && !options.PitchTest.isEmpty() &&
        (options.LpiFrom.isEmpty() || options.LpiTo.isEmpty() || options.LpiStep.isEmpty()))
        options.Error = QStringLiteral("--pitch-test needs --lpi-from, --lpi-to and --lpi-step");
    return options;
}

namespace {

// The message of a failed run: the text of a VistrelError, a plain sentence for
// an allocation that failed.
QString BatchFailureText(const std::exception &error)
{
    if (const auto *vistrel = dynamic_cast<const VistrelError *>(&error))
        return vistrel->Message;
    if (dynamic_cast<const std::bad_alloc *>(&error))
        return QStringLiteral("Not enough memory for this run. Close other programs or choose a smaller print.");
    return QString::fromLocal8Bit(error.what());
}

// Imports the file of the command line: a PSD, or the PSD beside a project
// and then the project, both read and checked first. The messages of an
// applied project go to `err`.
std::optional<ProjectOutcome> OpenForBatch(Document &doc, const QString &file, bool foldersAsGroups, FILE *err,
                                           const std::function<void(int)> &progress = {})
{
    if (!IsProjectFile(file)) {
        if (foldersAsGroups)
            ImportDocument(doc, ReadPsdIndex(file), progress, MakeFoldersFlipGroups);
        else
            ImportDocument(doc, file, progress);
        doc.PsdPath = QFileInfo(file).absoluteFilePath();
        return std::nullopt;
    }
    ImportRequest request;
    request.FoldersAsGroups = foldersAsGroups;
    ProjectOutcome outcome = OpenProjectCommand(doc, file, request, progress).Project;
    for (const QString &message : outcome.Messages)
        std::fprintf(err, "%s\n", message.toLocal8Bit().constData());
    return outcome;
}

}  // namespace

QString DocumentFacts(const Document &doc, const std::vector<int32_t> &offsets)
{
    QStringList lines;
    lines << QStringLiteral("canvas: %1 x %2").arg(doc.ImageWidth).arg(doc.ImageHeight);
    lines << QStringLiteral("dpi: %1").arg(ShortFixed4Text(doc.PsdDpi));
    lines << QStringLiteral("size cm: %1 x %2").arg(ShortFixed4Text(doc.PsdWidthCm), ShortFixed4Text(doc.PsdHeightCm));
    lines << QStringLiteral("colour mode: %1").arg(ColorModeName(doc.PsdColorMode));
    lines << QStringLiteral("working size: %1 x %2").arg(doc.WorkWidth).arg(doc.WorkHeight);
    lines << QStringLiteral("working scale: %1").arg(ShortFixed4Text(doc.WorkScale));
    lines << QStringLiteral("layers: %1").arg(doc.LayerCount);
    for (int row = 1; row <= doc.LayerCount; ++row) {
        const int i = doc.LayerCount - row;
        const Layer &l = doc.Layers[size_t(i)];
        // The name last and quoted, so that a script reads the fields before it as always.
        const QString folder = l.FolderMark == Layer::Folder::Start ? QStringLiteral(", folder")
                               : l.FolderMark == Layer::Folder::End ? QStringLiteral(", folder end")
                                                                    : QString();
        lines << QStringLiteral("layer %1: row %2, rect left %3 top %4 right %5 bottom %6, group %7, channels %8, "
                                "offset %9%10%11, name \"%12\"")
                     .arg(i + 1)
                     .arg(row)
                     .arg(l.Left)
                     .arg(l.Top)
                     .arg(l.Right)
                     .arg(l.Bottom)
                     .arg(l.GroupId)
                     .arg(l.ChannelCount)
                     .arg(offsets[size_t(i)])
                     .arg(row == doc.FocusLayer ? QStringLiteral(", focus") : QString(), folder, l.Name);
    }
    return lines.join(QLatin1Char('\n')) + QLatin1Char('\n');
}

namespace {

// The print fields as the window would show them from the settings file, with
// what the command line typed in their place.
QString Typed(const QString &option, const QString &fromSettings)
{
    return option.isEmpty() ? fromSettings : option;
}

PrintFieldTexts PrintTextsOf(const SettingsValues &settings, const CommandLine &options)
{
    return {Typed(options.Lpi, ShortFixed4Text(settings.Lpi)),
            Typed(options.Dpi, settings.OutputDpi == AutoDpi ? QStringLiteral("auto")
                                                             : ShortFixed4Text(settings.OutputDpi)),
            Typed(options.WidthCm, ShortFixed4Text(settings.OutputWidthCm)), QString(),
            Typed(options.HScale, QString::number(settings.HScale))};
}

// A typed value that the window would replace is refused: a script should
// not get a print at another pitch or size than it asked for.
void RefuseReplaced(const CheckedValue &value, const QString &option, const QString &typed, Fixed4 low, Fixed4 high)
{
    if (value.Replaced && !typed.isEmpty())
        throw VistrelError(OutOfLimitsText(option, low, high, typed));
}

// The settings file's values and what the command line typed, checked by the
// window's own rules before any work is done.
struct TypedSettings {
    SettingsValues File;
    PrintFieldTexts Print;
    std::optional<int32_t> FocusRow;  // none: as the import or the project chose
    Fixed4 MaxWidthCm = WidthCmHigh;
    QByteArray IccProfile;  // --icc: the file's bytes
    Fixed4 BleedMm = 0;
};

TypedSettings CheckTypedSettings(const CommandLine &options, FILE *err)
{
    TypedSettings typed;
    const QString problem = ReadSettingsFile(typed.File);
    if (!problem.isEmpty())
        std::fprintf(err, "warning: %s\n", problem.toLocal8Bit().constData());
    typed.Print = PrintTextsOf(typed.File, options);
    if (!options.MaxWidthCm.isEmpty()) {
        typed.MaxWidthCm = StrToFixed4(options.MaxWidthCm);
        if (!MaxWidthCmInLimits(typed.MaxWidthCm))
            throw VistrelError(
                OutOfLimitsText(QStringLiteral("--max-width-cm"), MaxWidthCmLow, MaxWidthCmHigh, options.MaxWidthCm));
    }
    if (!options.Icc.isEmpty())
        typed.IccProfile = ReadIccProfile(options.Icc);
    if (!options.BleedMm.isEmpty()) {
        typed.BleedMm = StrToFixed4(options.BleedMm);
        if (!BleedMmInLimits(typed.BleedMm))
            throw VistrelError(OutOfLimitsText(QStringLiteral("--bleed-mm"), 0, BleedMmHigh, options.BleedMm));
    }
    // The height follows the width once the picture's proportion is known.
    const PrintSettingsOutcome print = ReadPrintSettings(typed.Print, Fixed4One, typed.MaxWidthCm);
    RefuseReplaced(print.Lpi, QStringLiteral("--lpi"), options.Lpi, LpiLow, LpiHigh);
    RefuseReplaced(print.WidthCm, QStringLiteral("--width-cm"), options.WidthCm, 0, typed.MaxWidthCm);
    if (!options.Depth.isEmpty())
        RefuseReplaced(CheckDepth(StrToFixed4(options.Depth)), QStringLiteral("--depth"), options.Depth, -DepthLimit,
                       DepthLimit);
    if (!options.Focus.isEmpty())
        typed.FocusRow = StrToInt(options.Focus);
    return typed;
}

// The settings a run works with once the document is open: the settings
// file's, then a project's, then what the command line typed.
struct RunSettings {
    PrintFieldTexts Print;  // the height empty when it follows the width
    QString DepthText;
    QStringList OffsetCells;  // grid rows, top first
    PreviewSettings Views;    // offsets by layer index and the focus offset
};

RunSettings SettingsOfRun(Document &doc, const TypedSettings &typed, const CommandLine &options,
                          const std::optional<ProjectOutcome> &project)
{
    RunSettings run;
    run.Print = typed.Print;
    run.DepthText = Typed(options.Depth, ShortFixed4Text(typed.File.Depth));
    run.OffsetCells = OffsetCellTexts(DefaultGridOffsets(doc));
    if (project) {
        run.Print.Lpi = Typed(options.Lpi, project->LpiText);
        run.DepthText = Typed(options.Depth, project->DepthText);
        if (project->HasResolution) {
            run.Print.Dpi = Typed(options.Dpi, project->DpiText);
            run.Print.WidthCm = Typed(options.WidthCm, project->WidthText);
            run.Print.HScale = Typed(options.HScale, project->HScaleText);
            // The stored height goes with the stored width, as in the window.
            if (options.WidthCm.isEmpty() && project->HeightText)
                run.Print.HeightCm = *project->HeightText;
        }
        for (int row = 1; row <= int(project->RowOffsets.size()); ++row)
            if (const auto &offset = project->RowOffsets[size_t(row - 1)])
                run.OffsetCells[row - 1] = QString::number(*offset);
    }
    doc.Depth = CheckDepth(StrToFixed4(run.DepthText)).Value;
    if (typed.FocusRow) {
        // A row the document does not have is refused, as a typed LPI outside
        // its limits is: a script should not get a print without the focus it named.
        if (CheckFocusRow(*typed.FocusRow, doc.LayerCount) == 0)
            throw VistrelError(OutOfLimitsText(QStringLiteral("--focus"), Fixed4One, int64_t(doc.LayerCount) * Fixed4One,
                                               options.Focus));
        doc.FocusLayer = *typed.FocusRow;
    }
    // The same reading of the fields as the window's Preview and export.
    run.Views = ReadPreviewSettings({QString::number(doc.FocusLayer), run.DepthText, run.Print.Lpi, run.OffsetCells});
    doc.CentreView = 4;
    return run;
}

}  // namespace

namespace {

// The preset's LPI and resolution in place of the settings file's; what the
// command line typed itself stays.
std::optional<CommandLine> WithPreset(const CommandLine &typed, FILE *err, QString *failure = nullptr)
{
    CommandLine options = typed;
    if (typed.Preset.isEmpty())
        return options;
    try {
        const PresetChoice choice = ResolvePreset(ReadPresets(), typed.Preset);
        if (options.Lpi.isEmpty())
            options.Lpi = ShortFixed4Text(choice.Lpi);
        if (options.Dpi.isEmpty() && choice.Dpi)
            options.Dpi = ShortFixed4Text(*choice.Dpi);
    } catch (const std::exception &error) {
        std::fprintf(err, "%s\n", BatchFailureText(error).toLocal8Bit().constData());
        if (failure)
            *failure = BatchFailureText(error);
        return std::nullopt;
    }
    return options;
}

}  // namespace

int RunInfo(const CommandLine &typedOptions, FILE *out, FILE *err)
{
    const std::optional<CommandLine> withPreset = WithPreset(typedOptions, err);
    if (!withPreset)
        return 1;
    const CommandLine &options = *withPreset;
    Document doc;
    RunSettings run;
    try {
        const TypedSettings typed = CheckTypedSettings(options, err);
        doc.MaxWidthCm = typed.MaxWidthCm;
        WorkFolder = WorkFolderFor(options.WorkFolder);
        const std::optional<ProjectOutcome> project = OpenForBatch(doc, options.PsdFile, options.FoldersAsGroups, err);
        run = SettingsOfRun(doc, typed, options, project);
    } catch (const std::exception &error) {
        std::fprintf(err, "%s\n", BatchFailureText(error).toLocal8Bit().constData());
        if (options.WorkFolder.isEmpty() && !WorkFolder.isEmpty())
            DeleteFilesInFolder(WorkFolder);
        ReleaseWorkFolder();
        return 1;
    }
    std::fputs(DocumentFacts(doc, run.Views.Offsets).toLocal8Bit().constData(), out);
    // The print these settings describe, and how far its views move the layers.
    try {
        const PrintSettingsOutcome print = ReadPrintSettings(run.Print, doc.AspectRatio, doc.MaxWidthCm);
        const PrintSettings &p = print.Settings;
        std::fprintf(out, "print: %s lpi, %s dpi%s, %s x %s cm, H scale %d, depth %s\n",
                     ShortFixed4Text(p.Lpi).toLocal8Bit().constData(), ShortFixed4Text(p.Dpi).toLocal8Bit().constData(),
                     print.AutoDpi ? " (auto)" : "", ShortFixed4Text(p.WidthCm).toLocal8Bit().constData(),
                     ShortFixed4Text(p.HeightCm).toLocal8Bit().constData(), p.HScale,
                     ShortFixed4Text(doc.Depth).toLocal8Bit().constData());
        const PrintGeometry g = PrintGeometryOf(p);
        const DepthGuidance guidance = DepthGuidanceFor(doc, run.Views.Offsets, run.Views.FocusOffset, g.Lenses, g.Columns);
        std::fprintf(out, "depth guidance at %s lpi, %s dpi, %s cm wide: %s\n",
                     ShortFixed4Text(p.Lpi).toLocal8Bit().constData(), ShortFixed4Text(p.Dpi).toLocal8Bit().constData(),
                     ShortFixed4Text(p.WidthCm).toLocal8Bit().constData(),
                     DepthGuidanceText(guidance).toLocal8Bit().constData());
    } catch (const std::exception &error) {
        std::fprintf(err, "no depth guidance: %s\n", BatchFailureText(error).toLocal8Bit().constData());
    }
    if (options.WorkFolder.isEmpty())
        DeleteFilesInFolder(WorkFolder);
    ReleaseWorkFolder();
    return 0;
}

namespace {

// Progress on the terminal: a line that counts up.
// The progress of a phase on standard error: on a terminal one line that
// rewrites itself; into a file or a pipe plain lines at each quarter, so that
// logs stay readable.
class TerminalProgress {
public:
    TerminalProgress(FILE *err, const char *phase) : Err(err), Phase(phase), Terminal(isatty(fileno(err)) != 0) {}
    ~TerminalProgress()
    {
        if (Terminal && Shown >= 0)
            std::fputc('\n', Err);
    }
    void operator()(int percent)
    {
        const int step = Terminal ? 5 : 25;
        if (Shown >= 0 && percent / step <= Shown / step)
            return;
        Shown = percent;
        if (Terminal)
            std::fprintf(Err, "\r%s: %3d%%", Phase, percent);
        else
            std::fprintf(Err, "%s: %d%%\n", Phase, percent / step * step);
        std::fflush(Err);
    }

private:
    FILE *Err;
    const char *Phase;
    bool Terminal;
    int Shown = -1;
};

}  // namespace

int RunBatch(const CommandLine &typedOptions, FILE *out, FILE *err, BatchOutcome *outcome)
{
    BatchOutcome unused;
    BatchOutcome &made = outcome ? *outcome : unused;
    made = {};
    QElapsedTimer total;
    total.start();
    const std::optional<CommandLine> withPreset = WithPreset(typedOptions, err, &made.Error);
    if (!withPreset)
        return 1;
    const CommandLine &options = *withPreset;
    Document doc;
    auto madeAt = [&](const char *kind, const QString &path) {
        made.Outputs.push_back({QLatin1String(kind), QFileInfo(path).absoluteFilePath()});
    };
    auto phase = [&](const QString &what, qint64 ms) {
        if (options.Verbose)
            std::fprintf(out, "%s: %.3f s\n", what.toLocal8Bit().constData(), ms / 1000.0);
    };
    bool ghosts = false;  // --fail-on-ghosting refused the print: exit status 2
    try {
        // Outputs that would replace a device, a pipe or a socket are refused
        // before any work.
        for (const QString &target : {options.ExportTiff, options.ExportPsd, options.ExportGif, options.SaveProject,
                                      options.PitchTest})
            if (!target.isEmpty())
                RefuseSpecialTarget(target);
        // The settings of the window (rewritten only when damaged), and what
        // the command line typed, checked before any work is done.
        const TypedSettings typed = CheckTypedSettings(options, err);
        doc.HScale = uint8_t(typed.File.HScale);
        doc.OutputColorMode = uint8_t(typed.File.OutputColorMode);
        doc.MaxWidthCm = typed.MaxWidthCm;
        PrintSettingsOutcome print = ReadPrintSettings(typed.Print, Fixed4One, doc.MaxWidthCm);

        // The pitch test needs no document: strips at each LPI of the range.
        if (!options.PitchTest.isEmpty()) {
            PitchTestSettings pitch{StrToFixed4(options.LpiFrom), StrToFixed4(options.LpiTo),
                                    StrToFixed4(options.LpiStep), print.Settings.Dpi, print.Settings.WidthCm};
            if (print.AutoDpi)  // 7 printer pixels under the lens in the middle of the range
                pitch.Dpi = 7 * ((pitch.LpiFrom + pitch.LpiTo) / 2);
            PitchTestLayout layout;
            {
                TerminalProgress progress(err, "pitch test");
                layout = WritePitchTest(pitch, options.PitchTest, [&](int p) { progress(p); });
            }
            madeAt("pitch-test", options.PitchTest);
            std::fprintf(out, "pitch test written: %s (%d strips, %d x %d pixels at %s dpi)\n",
                         QFileInfo(options.PitchTest).absoluteFilePath().toLocal8Bit().constData(),
                         int(layout.Lpis.size()), layout.Width, layout.Height,
                         ShortFixed4Text(pitch.Dpi).toLocal8Bit().constData());
            if (options.PsdFile.isEmpty()) {
                made.Seconds = total.elapsed() / 1000.0;
                return 0;
            }
        }

        WorkFolder = WorkFolderFor(options.WorkFolder);
        QElapsedTimer timer;
        timer.start();
        std::optional<ProjectOutcome> project;
        {
            TerminalProgress progress(err, "import");
            project = OpenForBatch(doc, options.PsdFile, options.FoldersAsGroups, err, [&](int p) { progress(p); });
        }
        phase(QStringLiteral("import"), timer.elapsed());

        // A project's settings stand where the settings file's did; the
        // command line still wins.
        const RunSettings run = SettingsOfRun(doc, typed, options, project);
        const PrintFieldTexts &texts = run.Print;
        const std::vector<int32_t> &offsets = run.Views.Offsets;
        const int32_t focusOffset = run.Views.FocusOffset;
        print = ReadPrintSettings(texts, doc.AspectRatio, doc.MaxWidthCm);
        doc.Lpi = print.Settings.Lpi;
        // Relief layers of a project are rendered once, for every output.
        {
            TerminalProgress progress(err, "relief");
            RenderPendingReliefs(doc, [&](int p) { progress(p); });
        }
        // The crop, when asked for: the print's width applies to the columns
        // kept and its height follows them. A saved project keeps the print as
        // set, uncropped: the crop is made again from it.
        const PrintSettingsOutcome uncropped = print;
        doc.CropEdges = options.CropEdges ? 1 : 0;
        const PreparedPrint prepared = PreparePrint(doc, texts, offsets, focusOffset);
        made.Weighed = true;
        made.Guidance = prepared.Guidance;
        print = prepared.Print;
        ParseCompression(options.Compress.isEmpty() ? QStringLiteral("none") : options.Compress,
                         print.Settings.Finish.Compression);
        print.Settings.Finish.IccProfile = !typed.IccProfile.isEmpty() ? typed.IccProfile
                                           : options.EmbedIcc          ? doc.IccProfile
                                                                       : QByteArray();
        print.Settings.Finish.BleedMm = typed.BleedMm;
        print.Settings.Finish.Marks = options.Marks;
        if (options.EmbedIcc && typed.IccProfile.isEmpty() && doc.IccProfile.isEmpty())
            std::fprintf(err, "warning: the PSD holds no colour profile; none is embedded\n");
        if (doc.CropWidth > 0)
            std::fprintf(out, "crop: %s\n",
                         CropText(doc, print.Settings.WidthCm, print.Settings.HeightCm).toLocal8Bit().constData());
        // How far the views move the layers under the lenses of the print as
        // it will be made (cropped or not), before any output is made.
        if (prepared.Guidance.Ghosts() && options.FailOnGhosting) {
            ghosts = true;
            throw VistrelError(QStringLiteral("%1 Nothing was written (--fail-on-ghosting).")
                                   .arg(DepthGuidanceText(prepared.Guidance)));
        }
        if (prepared.Guidance.Ghosts())
            std::fprintf(err, "warning: %s\n", DepthGuidanceText(prepared.Guidance).toLocal8Bit().constData());

        // Every output's size is checked before any of them is made.
        if (!options.ExportTiff.isEmpty())
            CheckPrintSize(prepared.Geometry, doc.PsdColorMode);
        if (!options.ExportPsd.isEmpty())
            CheckLayeredPsdSize(doc.CropWidth > 0 ? doc.CropWidth : doc.ImageWidth, doc.ImageHeight, ChannelsOfColorMode(doc.PsdColorMode));
        auto written = [&](const char *kind, const char *what, const QString &path) {
            madeAt(kind, path);
            std::fprintf(out, "%s written: %s\n", what, QFileInfo(path).absoluteFilePath().toLocal8Bit().constData());
        };
        // The working-size views once, for the GIF and the anaglyph.
        if (!options.ExportGif.isEmpty() || options.Anaglyph) {
            timer.restart();
            {
                TerminalProgress progress(err, "views");
                GenerateViewFiles(doc, offsets, focusOffset, [&](int p) { progress(p); });
            }
            phase(QStringLiteral("preview views"), timer.elapsed());
        }
        // The full-resolution views once, for the print and the layered PSD.
        if (!options.ExportTiff.isEmpty()) {
            {
                TerminalProgress progress(err, "print");
                // The view files are written when the layered PSD needs them or the
                // work folder is kept; otherwise the views go straight into the print.
                const bool viewFiles = !options.ExportPsd.isEmpty() || !options.WorkFolder.isEmpty();
                ExportPrint(doc, print.Settings, offsets, focusOffset, options.ExportTiff, [&](int p) { progress(p); },
                            phase, viewFiles);
            }
            madeAt("tiff", options.ExportTiff);
            std::fprintf(out, "print written: %s (%.4g x %.4g cm at %s dpi)\n",
                         QFileInfo(options.ExportTiff).absoluteFilePath().toLocal8Bit().constData(),
                         FromFixed4(print.Settings.WidthCm), FromFixed4(print.Settings.HeightCm),
                         ShortFixed4Text(print.Settings.Dpi).toLocal8Bit().constData());
        } else if (!options.ExportPsd.isEmpty()) {
            TerminalProgress progress(err, "views");
            WriteFullResolutionViews(doc, offsets, focusOffset, [&](int p) { progress(p); }, phase);
        }
        if (!options.ExportPsd.isEmpty()) {
            timer.restart();
            WriteLayeredPsd(options.ExportPsd, ViewCount, doc.PsdColorMode, print.Settings.Finish.IccProfile);
            phase(QStringLiteral("layered PSD"), timer.elapsed());
            written("psd", "layered PSD", options.ExportPsd);
        }
        if (!options.ExportGif.isEmpty()) {
            timer.restart();
            ExportViewsGif(800, 10, options.ExportGif, doc.PsdColorMode, {},
                           options.GifPalette == QLatin1String("adaptive") ? GifPaletteKind::Adaptive
                                                                             : GifPaletteKind::Halftone);
            phase(QStringLiteral("GIF"), timer.elapsed());
            written("gif", "GIF", options.ExportGif);
        }
        if (!options.SaveProject.isEmpty()) {
            const PrintSettings &p = uncropped.Settings;
            SaveProject(doc, options.SaveProject,
                        {ShortFixed4Text(p.Lpi), QString::number(doc.FocusLayer), run.DepthText,
                         uncropped.AutoDpi ? QStringLiteral("(Auto)") : ShortFixed4Text(p.Dpi),
                         ShortFixed4Text(p.WidthCm), ShortFixed4Text(p.HeightCm), QString::number(p.HScale),
                         doc.OutputColorMode, run.OffsetCells});
            written("project", "project", options.SaveProject);
        }
        if (options.Anaglyph) {
            const QString path = AnaglyphPath(doc.PsdPath);
            SaveImage(AnaglyphOfViews(doc.PsdColorMode), path);
            written("anaglyph", "anaglyph", path);
        }
        phase(QStringLiteral("total"), total.elapsed());
    } catch (const std::exception &error) {
        made.Error = BatchFailureText(error);
        made.Seconds = total.elapsed() / 1000.0;
        std::fprintf(err, "%s\n", made.Error.toLocal8Bit().constData());
        if (options.WorkFolder.isEmpty() && !WorkFolder.isEmpty())
            DeleteFilesInFolder(WorkFolder);
        ReleaseWorkFolder();
        return ghosts ? 2 : 1;
    }
    if (options.WorkFolder.isEmpty())
        DeleteFilesInFolder(WorkFolder);
    ReleaseWorkFolder();
    made.Seconds = total.elapsed() / 1000.0;
    return 0;
}
