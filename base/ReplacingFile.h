// An output written under a name of its own beside the file it is for and
// renamed over it when complete: a failure part of the way leaves the earlier
// file, or none, never half a file (unless the system itself stops before the
// bytes reach the disk: see below).
//
// Unlike QSaveFile it does not wait for the disk to hold the bytes before the
// rename. The large outputs are written this way (the print, the layered PSD,
// the pitch test): they can be made again from the document at any time, and
// waiting for a print of a gigabyte to reach the disk would keep the designer
// waiting most of a second longer. A power cut just after an export may leave
// that export empty or cut short under its name. The project, the settings
// and the recent files hold the designer's own work and are saved through
// QSaveFile, which syncs them; so are the work folder's files and the small
// outputs.
#pragma once

#include <QFile>
#include <QString>
#include <memory>

class ReplacingFile : public QFile {
public:
    // `removeStale`: first remove what interrupted runs left beside the
    // target (not needed in the work folder, which is emptied when claimed).
    explicit ReplacingFile(const QString &target, bool removeStale = true);
    // Removes the file written so far unless Commit() succeeded.
    ~ReplacingFile() override;

    // Creates the file beside the target. A target that is a folder or
    // read-only, or a folder that cannot take the file, is refused here, by
    // name, before any work.
    void Open();
    // Closes the file and renames it over the target; false with the reason
    // in errorString() when a write failed before or the rename fails.
    bool Commit();

    // The name the file takes at Commit(), where write errors are reported.
    const QString &TargetName() const { return Target; }

private:
    QString Target;     // the name as given
    QString Finished;   // where it goes: a link's target rather than the link
    bool RemoveStale = true;
    bool Committed = false;
};

class QSaveFile;
// A file written beside its name and renamed into place when complete:
// synced first (QSaveFile) for what the designer keeps, not synced
// (ReplacingFile) for the work folder's files, which need no durability (the
// folder is emptied after a crash) and were written twice as slowly synced.
class SavingFile {
public:
    SavingFile(const QString &path, bool synced);
    ~SavingFile();
    // Throws VistrelError naming the file, as the writes and the commit do.
    void Open();
    void Commit();
    QFileDevice &Device();
    const QString &Path() const { return Name; }

private:
    QString Name;
    std::unique_ptr<QSaveFile> Synced;
    std::unique_ptr<ReplacingFile> Unsynced;
};

