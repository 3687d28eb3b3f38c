// The settings file "vistrelt.inf" carries the 3D and print settings and the
// interface language from one run to the next. Three CR LF lines:
//   1: five reserved integers (carried over as read), Language, Depth
//   2: Lpi, the view count (always 7), OutputDpi (10 000 = "(Auto)"),
//      OutputWidthCm, OutputHeightCm, OutputColorMode, HScale
//   3: a maker line, not read
// Reals are in the 23-character form of Numbers.h.
#pragma once

#include "Document.h"

#include "Numbers.h"

#include <QByteArray>
#include <QString>
#include <array>
#include <cstdint>

struct SettingsValues {
    std::array<int64_t, 5> Reserved{};
    int64_t Language = 0;
    Fixed4 Depth = Fixed4One;
    Fixed4 Lpi = 424500;
    Fixed4 OutputDpi = 720 * Fixed4One;
    Fixed4 OutputWidthCm = 5 * Fixed4One;
    Fixed4 OutputHeightCm = 5 * Fixed4One;
    int64_t OutputColorMode = 2;
    int64_t HScale = 1;
};

// Reads the fields in file order into `values`; what was read before a
// malformed or missing field stays in `values` when this throws VistrelError.
void ParseSettings(const QByteArray &bytes, const QString &fileName, SettingsValues &values);
// Replaces each value outside its range by its fixed replacement.
void CheckSettingsRanges(SettingsValues &values);
QByteArray FormatSettings(const SettingsValues &values);

// Where the settings file is: beside the program, or in the user's configuration
// folder when the program's folder cannot be written. An existing file whose
// name differs only in case is used.
QString SettingsFilePath();

// Start-up: reads the file (or takes the defaults when it does not exist),
// checks the ranges, sets the settings of `doc` and rewrites the file.
// Throws VistrelError after applying what it could when reading or writing
// fails. A file that is not settings (damaged, a pipe, a device, far too
// long) is never fatal: it is kept aside as "vistrelt.inf.bad", replaced by
// what could be read and the defaults, and said once.
void ApplySettingsFile(Document &doc);
// Reads and checks the file without writing it (the batch mode); the
// defaults when there is none. A damaged file is set aside and replaced as at
// start-up; the text returned says so (empty when all was well).
QString ReadSettingsFile(SettingsValues &values);
// Close: writes the file from the settings of `doc`, with the reserved
// integers as they were read. Throws VistrelError when it cannot be written.
void WriteSettingsFile(const Document &doc);
