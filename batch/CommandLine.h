// The command line of vistrel: options, and the modes that need no window.
#pragma once

#include "Document.h"
#include "ViewSet.h"
#include <QString>
#include <QStringList>
#include <cstdint>
#include <cstdio>
#include <vector>

struct CommandLine {
    bool Help = false;
    bool Info = false;
    QString PsdFile;     // imported at start: a PSD, or a project whose PSD is beside it
    QString WorkFolder;  // --work-folder: used as it is and left in place at the end
    QString Error;       // a wrong option; usage follows

    // Batch export: no window, the same functions as the window's commands.
    QString ExportTiff;
    QString ExportPsd;
    QString ExportGif;
    QString GifPalette;   // --gif-palette: "halftone" (empty) or "adaptive"
    QString PitchTest;    // --pitch-test OUT.tif, with --lpi-from, --lpi-to and --lpi-step
    QString LpiFrom, LpiTo, LpiStep;
    QString SaveProject;  // --save-project: the project of what the run imported and applied
    bool Anaglyph = false;
    bool CropEdges = false;  // --crop-edges: the views cut to the columns every view covers
    bool FoldersAsGroups = false;  // --folders-as-groups: each top-level folder of the PSD a flip group
    bool FailOnGhosting = false;  // --fail-on-ghosting: a print that would ghost fails with status 2
    QString Lpi, Dpi, WidthCm, HScale, Depth, Focus;  // as typed; empty: from the settings file
    QString Preset;  // --preset "SHEET" or "SHEET@PRINTER": its LPI and resolution, unless typed
    QString MaxWidthCm;  // --max-width-cm: the widest print (default 21)
    QString Compress;    // --compress lzw|zip: the print by compressed strips, through libtiff
    QString Icc;         // --icc FILE: a colour profile embedded in the print and the layered PSD
    bool EmbedIcc = false;  // --embed-icc: the PSD's own profile embedded in them
    QString BleedMm;        // --bleed-mm: the print continued past the trim, 0 to 50 mm
    bool Marks = false;     // --marks: crop marks, registration targets and a slug line around it
    QString Job;     // --job FILE.json: many designs in one run (batch/Jobs)
    QString Report;  // --report FILE.json, or - for standard output: a record per design
    bool Verbose = false;
    bool IsBatch() const
    {
        return !ExportTiff.isEmpty() || !ExportPsd.isEmpty() || !ExportGif.isEmpty() || Anaglyph ||
               !SaveProject.isEmpty() || !PitchTest.isEmpty() || !Job.isEmpty();
    }
};

CommandLine ParseCommandLine(const QStringList &arguments);
extern const char *const UsageText;

// --info: imports without a window and prints the document's facts.
// Returns the exit code: 0, or 1 with the import's message on `err`.
int RunInfo(const CommandLine &options, FILE *out, FILE *err);

// The facts --info prints, one per line, from the open document with the
// offsets by layer index.
QString DocumentFacts(const Document &doc, const std::vector<int32_t> &offsets);

// What a batch run made, for its report: every output written, the depth
// guidance of its print, the failure if it failed, the time it took.
struct BatchOutcome {
    struct Output {
        QString Kind;  // "tiff", "psd", "gif", "project", "anaglyph", "pitch-test"
        QString Path;  // absolute
    };
    std::vector<Output> Outputs;
    bool Weighed = false;  // the guidance below was computed
    DepthGuidance Guidance;
    QString Error;  // empty: it succeeded
    double Seconds = 0;
};

// The batch export. Returns the exit code: 0, or 1 with the message on `err`;
// 2 when --fail-on-ghosting refused a print that would ghost. `outcome`, when
// given, receives what the run made.
int RunBatch(const CommandLine &options, FILE *out, FILE *err, BatchOutcome *outcome = nullptr);

