// The last eight PSD and project files opened, newest first, kept in a file of
// their own in the user's config folder ("vistrel-recent.txt", one absolute
// path a line, UTF-8), apart from the settings file whose layout is fixed.
#pragma once

#include "Numbers.h"

#include <QMap>
#include <QString>
#include <QStringList>

constexpr int RecentFileCount = 8;

QString RecentFilesPath();
// The list as stored; an unreadable or missing file is an empty list, and
// lines beyond the eighth are dropped.
QStringList ReadRecentFiles();
// `file` first, once, then the others in their order, eight at most.
QStringList WithRecentFile(const QStringList &recent, const QString &file);
// Writes the list; a folder that cannot be written loses it quietly, since the
// list is a convenience and nothing of the design.
void WriteRecentFiles(const QStringList &recent);

// What the file dialogs remember between runs, in a file of its own beside the
// recent files ("vistrel-dialogs.txt", "key=value" a line, UTF-8): the last
// folder of each kind of file ("psd", "project", "print", "layered-psd",
// "gif"), the GIF palette chosen ("gif-palette=adaptive" or "halftone"), and
// an interface language the settings file cannot name ("language=fr": it
// names English and Chinese only).
// Read quietly, like the recent files: a missing or damaged file remembers nothing.
struct DialogMemory {
    QMap<QString, QString> Folders;
    bool AdaptiveGifPalette = false;
    QString Language;  // empty: the settings file's language
    // The print shop's: "max-width-cm=120", "compress=lzw", "embed-icc=yes",
    // "bleed-mm=3", "marks=yes".
    Fixed4 MaxWidthCm = 0;  // 0: the default, 21 cm
    QString Compression;    // "lzw", "zip", or empty for none
    bool EmbedIcc = false;
    Fixed4 BleedMm = 0;
    bool Marks = false;
};
QString DialogMemoryPath();
DialogMemory ReadDialogMemory();
void WriteDialogMemory(const DialogMemory &memory);
