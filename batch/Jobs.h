// Many designs in one run, and the machine-readable report of a run.
//
// A job file is JSON: {"defaults": {...}, "designs": [{...}, ...]}. Each design
// names its "input" (a PSD or a project) and its outputs ("tiff", "psd",
// "gif", "project", "anaglyph": true), and any setting of the command line by
// the option's name without its dashes ("lpi": 75.55, "dpi": "auto",
// "width-cm": 20, "compress": "lzw", "marks": true ...). "defaults" hold
// settings every design takes unless it names its own; options typed beside
// --job come first of all. Paths are taken from the job file's folder.
//
// The whole file is checked before any design runs: a key that is no option,
// a design without input or outputs, refuse the job (exit status 2). Then one
// design failing does not stop the others; the exit status is 1 when any
// failed, else 0.
#pragma once

#include "CommandLine.h"

#include <QString>
#include <cstdio>

int RunJob(const CommandLine &options, FILE *out, FILE *err);

// One design of the command line, with its report written (--report without --job).
int RunReported(const CommandLine &options, FILE *out, FILE *err);
