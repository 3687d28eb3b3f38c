// The work folder holds every intermediate image of a run. It is "mavotemp"
// below the first root with more than 10 000 000 000 bytes free (the last root
// when none has), or below the fallback root when the chosen one cannot be made.
// Its files are named after their family, a layer and/or view number and ".gjs".
#pragma once

#include <QString>
#include <QStringList>
#include <cstdint>
#include <functional>

constexpr int64_t WorkFolderFreeSpaceNeeded = 10'000'000'000;

// Returns the folder, ending with a separator. Throws VistrelError when neither
// the chosen folder nor the fallback can be made.
QString ChooseWorkFolder(const QStringList &roots, const QString &fallbackRoot,
                         const std::function<int64_t(const QString &)> &freeSpace,
                         const std::function<bool(const QString &)> &makeFolder);

// Every running Vistrel has a work folder of its own: the chosen one when it is
// free, else the same name with 2, 3 ... A lock file beside the folder
// ("mavotemp.lock") says it is taken while its process runs. A folder whose
// lock was left by a process that is gone is taken over and its old files are
// deleted; folders of running processes are never touched. Returns the folder
// claimed (ending with its separator) and keeps the lock until the process
// ends or ReleaseWorkFolder() is called. Throws VistrelError when none can be
// claimed.
QString ClaimWorkFolder(const QString &chosen, const std::function<bool(const QString &)> &makeFolder);
void ReleaseWorkFolder();

// Creates a folder (and its parents) unless it exists; true when it is there.
bool MakeFolder(const QString &folder);

// The work folder must be Vistrel's own: another user must not be able to
// make Vistrel empty a folder of theirs (or of root's) through a link planted
// under its name, nor read or replace its layer files. Creates the folder
// (its parents as usual) with mode 0700 unless it exists; true only when it is
// then a real folder, not a link, owned by this user and writable by no one
// else. A folder of this user that others may only read is made private.
bool MakePrivateFolder(const QString &folder);
// A folder of this user's own inside a folder every user shares (the system's
// temporary folder): "vistrel-<user id>/", made private; when that name is
// taken by something that is not ours, a new private folder with a random
// name made by the system. Ends with a separator.
QString PrivateFolderIn(const QString &sharedFolder);

// Deletes every file directly in the folder. Sub-folders and their contents
// stay; a file that cannot be deleted is passed over. A folder that is a link,
// or is not this user's, or others may write, is left alone; links inside it
// are removed, never followed.
void DeleteFilesInFolder(const QString &folder);

// The work folder this process claimed, ending with its separator; empty until
// start-up (or a batch run) sets it. It belongs to the process, not to a document.
extern QString WorkFolder;

// Whether a path is a file of the work folder (WorkFolder): such files need
// no durability, the folder being emptied after a crash.
bool IsWorkFile(const QString &path);

// The names of the files in the work folder (WorkFolder, which ends with its separator):
// "ly" 3 -> WorkFolder + "ly3.gjs"
QString WorkFileName(const QString &prefix, int number);
// 3, "gx", 5 -> WorkFolder + "3gx5.gjs"
QString WorkFileName(int layerNumber, const QString &prefix, int viewNumber);
// "vwd", 7 -> WorkFolder + "vwd007.gjs"
QString WorkFileName3(const QString &prefix, int number);

// 1 -> "001", 42 -> "042", 123 -> "123"
QString ThreeDigits(int number);

// The work folder of this run: chosen and claimed below the usual roots, or
// the folder asked for (--work-folder), made if need be. Throws VistrelError
// when none can be made.
QString WorkFolderFor(const QString &requested);
