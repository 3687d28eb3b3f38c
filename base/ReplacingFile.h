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

class ReplacingFile : public QFile {
public:
    explicit ReplacingFile(const QString &target);
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
    bool Committed = false;
};
