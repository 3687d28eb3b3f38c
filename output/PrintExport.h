// The print export without the window. The seven views at full resolution are
// composed band by band straight into the interlacer, so memory does not grow
// with the canvas or the print; when the view files are wanted (the layered
// PSD, a work folder that is kept) they are composed whole and written first
// ("vwd" NNN as TIFF, "vwdt" NNN as BMP, view 7 first) and the print is made
// from them. Both ways give the same print. The window's export command and
// the batch mode share it.
#pragma once

#include "Document.h"
#include "Interlacer.h"
#include "Numbers.h"
#include "ParameterRules.h"
#include "ViewSet.h"

#include <QString>
#include <QStringList>
#include <functional>
#include <vector>

// Phases for a verbose caller: ("view 7 composed and written", ms) ...
using PhaseReport = std::function<void(const QString &phase, qint64 milliseconds)>;

// The print's size in columns, rows and lenses for the settings.
PrintGeometry PrintGeometryOf(const PrintSettings &settings);

// A print about to be made, as the window and the batch mode both make it.
struct PreparedPrint {
    PrintSettingsOutcome Print;  // for the columns the print keeps
    PrintGeometry Geometry;
    DepthGuidance Guidance;      // how far the views move a layer under its lenses
};
// The steps before any print is written: with the crop on, the reliefs still
// to render are rendered (the crop is taken from the views as they will be)
// and the crop chosen; the print settings are read for the columns kept, the
// width applying to them and the height following; and the depth is weighed
// against the print's lenses. Nothing is written; the caller decides what a
// print that would ghost does. Throws VistrelError for a field no print can
// be made with.
PreparedPrint PreparePrint(Document &doc, const PrintFieldTexts &texts, const std::vector<int32_t> &offsets, int32_t focusOffset,
                           const std::function<void(int)> &reliefProgress = {});

// Composes the seven views whole and writes their files. Returns the view
// files, list position 0 (view 7) first. `progress` gets 5..75.
QStringList WriteFullResolutionViews(Document &doc, const std::vector<int32_t> &offsets, int32_t focusOffset,
                                     const std::function<void(int)> &progress = {},
                                     const PhaseReport &phases = {});

// The print; a print too large for the memory throws VistrelError of kind
// Memory naming its size. Sets Lpi, OutputDpi, OutputWidthCm, OutputHeightCm,
// OutputColorMode (2) and HScale of the document from `settings`. `progress`
// runs once from 0 to 100.
void ExportPrint(Document &doc, const PrintSettings &settings, const std::vector<int32_t> &offsets, int32_t focusOffset,
                 const QString &path, const std::function<void(int)> &progress = {}, const PhaseReport &phases = {},
                 bool writeViewFiles = false);
