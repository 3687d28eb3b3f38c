// Everything that talks to the person or to the operating system: message boxes,
// questions, file dialogs, the beep, the busy cursor, pending events, the shell,
// free space, the user's date and time formats and the standard folders.
//
// `Platform` is a record of replaceable functions. The defaults here need no
// window (messages go to standard error, questions answer No, dialogs cancel);
// InstallQtPlatform() (window side) puts in the Qt dialogs, and tests put in
// scripted ones, so no test ever blocks on a modal window.
#pragma once

#include <QString>
#include <QStringList>
#include <cstdint>
#include <functional>

struct FileDialogRequest {
    QString Title;
    QString Filter;            // Qt filter text: "Tiff files (*.tif);;All files (*)"
    QString DefaultExtension;  // without the dot; appended when the name has none
    QString InitialFolder;
    QString FileName;          // preset name
    bool PromptOverwrite = true;
};

// The answer to "Save changes to the design?".
enum class SaveChoice { Save, Discard, Cancel };

struct PlatformServices {
    std::function<void(const QString &text)> ShowMessage;
    // Yes/No question with a title; true for Yes.
    std::function<bool(const QString &text, const QString &title)> AskYesNo;
    // A question whose buttons are `proceed` and Cancel (the default); true to proceed.
    std::function<bool(const QString &text, const QString &title, const QString &proceed)> AskProceed;
    // "Save changes to the design?" with Save, Discard and Cancel (the default).
    std::function<SaveChoice(const QString &text, const QString &title)> AskSaveChanges;
    // The LPI range of a pitch test, as typed: from, to and step, offered
    // filled in; false when cancelled.
    std::function<bool(QString &from, QString &to, QString &step)> AskPitchRange;
    // The chosen path, or empty when cancelled.
    std::function<QString(const FileDialogRequest &)> OpenFileName;
    std::function<QString(const FileDialogRequest &)> SaveFileName;
    std::function<void()> Beep;
    std::function<void(bool busy)> SetBusyCursor;
    std::function<void()> ProcessMessages;
    // Opens a folder in the file browser or an address in the web browser.
    std::function<void(const QString &folderOrAddress)> ShellOpen;
    // Free bytes of the drive holding a folder; -1 when there is no such drive.
    std::function<int64_t(const QString &folder)> FreeSpace;
    std::function<QString()> ShortDateFormat;  // Qt date format text, e.g. "yyyy/M/d"
    std::function<QString()> LongTimeFormat;   // Qt time format text, e.g. "H:mm:ss"
    // The folder of the program file, without a trailing separator.
    std::function<QString()> ProgramFolder;
    // Where the settings file goes when the program's folder cannot be written.
    std::function<QString()> UserConfigFolder;
    // Roots to try for the work folder, best first, and the root used when the
    // chosen one cannot be created. Each ends with a separator.
    std::function<QStringList()> WorkRootCandidates;
    std::function<QString()> WorkRootFallback;
};

// The process's services, set once at start-up (the tests put scripted ones in);
// process-wide by nature, not part of any document.
extern PlatformServices Platform;

// Back to the defaults that need no window.
void InstallBasicPlatform();

// The folder separator of this platform ("\" on Windows, "/" elsewhere).
QString FolderSeparator();
