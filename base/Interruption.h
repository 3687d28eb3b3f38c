// Ctrl+C, or a polite kill (SIGTERM, SIGHUP), ends a run without leaving its
// temporaries behind: an unfinished output of a gigabyte beside its name, the
// work folder's files, its lock. A handler passes the signal through a pipe to
// a thread of its own (so the cleanup runs as ordinary code, not inside the
// handler, and programs Vistrel starts do not inherit blocked signals),
// which removes what is registered here and ends the process with status
// 128 + the signal's number. A kill -9 cannot be caught: its unfinished
// outputs carry the process's number in their names, and the next run that
// writes into that folder removes those whose process is gone (see
// RemoveStaleTemporaries).
#pragma once

#include <QString>
#include <functional>

// Call first in main.
void InstallInterruptionCleanup();

// Creates a file to remove if the run is interrupted, until it is
// unregistered: `create` makes it and says whether it did. Made and
// registered in one step, so that an interruption never falls in between.
bool CreateTemporary(const QString &path, const std::function<bool()> &create);
void UnregisterTemporary(const QString &path);
// The work folder to empty, and its lock file to remove, if the run is
// interrupted (empty: none).
void SetInterruptedWorkFolder(const QString &folder, const QString &lockFile);

// The name an unfinished output is written under beside `target`:
// target + ".vistrel-<machine>-<process number>-<8 hex digits>".
QString TemporaryNameFor(const QString &target, quint32 random);
// Removes, beside `target`, the unfinished outputs of this user whose process
// is gone, or whose process number now belongs to a process started after
// the file was last written.
void RemoveStaleTemporaries(const QString &target);
