// The command line of vistrel: options, and the modes that need no window.
#pragma once

#include <QString>
#include <QStringList>
#include <cstdio>

struct CommandLine {
    bool Help = false;
    bool Info = false;
    QString PsdFile;     // imported at start
    QString WorkFolder;  // --work-folder: used as it is and left in place at the end
    QString Error;       // a wrong option; usage follows

    // Batch export: no window, the same functions as the window's commands.
    QString ExportTiff;
    QString ExportPsd;
    QString ExportGif;
    bool Anaglyph = false;
    QString Lpi, Dpi, WidthCm, HScale, Depth, Focus;  // as typed; empty: from the settings file
    bool Verbose = false;
    bool IsBatch() const { return !ExportTiff.isEmpty() || !ExportPsd.isEmpty() || !ExportGif.isEmpty() || Anaglyph; }
};

CommandLine ParseCommandLine(const QStringList &arguments);
extern const char *const UsageText;

// --info: imports without a window and prints the document's facts.
// Returns the exit code: 0, or 1 with the import's message on `err`.
int RunInfo(const CommandLine &options, FILE *out, FILE *err);

// The facts --info prints, one per line, from the open document.
QString DocumentFacts();

// The batch export. Returns the exit code: 0, or 1 with the message on `err`.
int RunBatch(const CommandLine &options, FILE *out, FILE *err);

// Chooses the work folder as the window does, or takes --work-folder.
// Throws VistrelError when none can be made.
QString WorkFolderFor(const CommandLine &options);
