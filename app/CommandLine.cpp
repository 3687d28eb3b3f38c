#include "CommandLine.h"

#include "Document.h"
#include "Errors.h"
#include "Import.h"
#include "Platform.h"
#include "WorkFolder.h"

#include <QDir>
#include <QFileInfo>

const char *const UsageText =
    "Usage: vistrel [options] [FILE.psd]\n"
    "\n"
    "Vistrel designs lenticular prints from layered PSD files.\n"
    "\n"
    "  vistrel                    open the window\n"
    "  vistrel FILE.psd           open the window with FILE.psd imported\n"
    "  vistrel --info FILE.psd    import FILE.psd without a window and print its facts\n"
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
        if (a == QLatin1String("--help") || a == QLatin1String("-h")) {
            options.Help = true;
        } else if (a == QLatin1String("--info")) {
            options.Info = true;
        } else if (a == QLatin1String("--work-folder")) {
            value(options.WorkFolder);
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
    if (options.Error.isEmpty() && options.Info && options.PsdFile.isEmpty())
        options.Error = QStringLiteral("--info needs a PSD file");
    return options;
}

QString WorkFolderFor(const CommandLine &options)
{
    if (options.WorkFolder.isEmpty())
        return ChooseWorkFolder(Platform.WorkRootCandidates(), Platform.WorkRootFallback(), Platform.FreeSpace,
                                MakeFolder);
    QString folder = QDir::toNativeSeparators(QFileInfo(options.WorkFolder).absoluteFilePath());
    if (!folder.endsWith(FolderSeparator()))
        folder += FolderSeparator();
    if (!MakeFolder(folder))
        throw VistrelError(QStringLiteral("Cannot create the work folder \"%1\".").arg(folder));
    return folder;
}

QString DocumentFacts()
{
    QStringList lines;
    lines << QStringLiteral("canvas: %1 x %2").arg(ImageWidth).arg(ImageHeight);
    lines << QStringLiteral("dpi: %1").arg(ShortFixed4Text(PsdDpi));
    lines << QStringLiteral("size cm: %1 x %2").arg(ShortFixed4Text(PsdWidthCm), ShortFixed4Text(PsdHeightCm));
    lines << QStringLiteral("colour mode: %1").arg(ColorModeName(PsdColorMode));
    lines << QStringLiteral("working size: %1 x %2").arg(WorkWidth).arg(WorkHeight);
    lines << QStringLiteral("working scale: %1").arg(ShortFixed4Text(WorkScale));
    lines << QStringLiteral("layers: %1").arg(LayerCount);
    const std::vector<int32_t> offsets = DefaultGridOffsets();
    for (int row = 1; row <= LayerCount; ++row) {
        const int i = LayerCount - row;
        const Tlayer &l = Layers[size_t(i)];
        lines << QStringLiteral("layer %1: row %2, rect left %3 top %4 right %5 bottom %6, group %7, channels %8, "
                                "offset %9%10")
                     .arg(i + 1)
                     .arg(row)
                     .arg(l.Left)
                     .arg(l.Top)
                     .arg(l.Right)
                     .arg(l.Bottom)
                     .arg(l.GroupId)
                     .arg(l.ChannelCount)
                     .arg(offsets[size_t(i)])
                     .arg(row == FocusLayer ? QStringLiteral(", focus") : QString());
    }
    return lines.join(QLatin1Char('\n')) + QLatin1Char('\n');
}

int RunInfo(const CommandLine &options, FILE *out, FILE *err)
{
    try {
        WorkFolder = WorkFolderFor(options);
        ImportDocument(options.PsdFile);
    } catch (const VistrelError &error) {
        std::fprintf(err, "%s\n", error.Message.toLocal8Bit().constData());
        if (options.WorkFolder.isEmpty() && !WorkFolder.isEmpty())
            DeleteFilesInFolder(WorkFolder);
        return 1;
    }
    std::fputs(DocumentFacts().toLocal8Bit().constData(), out);
    if (options.WorkFolder.isEmpty())
        DeleteFilesInFolder(WorkFolder);
    return 0;
}
