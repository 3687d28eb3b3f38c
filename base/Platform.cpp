#include "Platform.h"

#include "WorkFolder.h"

#include <QCoreApplication>
#include <QDir>
#include <QLocale>
#include <QStandardPaths>
#include <QStorageInfo>
#include <cstdio>

PlatformServices Platform;

QString FolderSeparator()
{
#ifdef Q_OS_WIN
    return QStringLiteral("\\");
#else
    return QStringLiteral("/");
#endif
}

static QString WithSeparator(QString folder)
{
    folder = QDir::toNativeSeparators(folder);
    if (!folder.endsWith(FolderSeparator()))
        folder += FolderSeparator();
    return folder;
}

void InstallBasicPlatform()
{
    Platform.ShowMessage = [](const QString &text) {
        std::fprintf(stderr, "%s\n", text.toLocal8Bit().constData());
    };
    Platform.AskYesNo = [](const QString &, const QString &) { return false; };
    Platform.AskProceed = [](const QString &, const QString &, const QString &) { return false; };
    Platform.AskSaveChanges = [](const QString &, const QString &) { return SaveChoice::Cancel; };
    Platform.OpenFileName = [](const FileDialogRequest &) { return QString(); };
    Platform.SaveFileName = [](const FileDialogRequest &) { return QString(); };
    Platform.Beep = [] {};
    Platform.AskPitchRange = [](QString &, QString &, QString &) { return true; };  // as offered
    Platform.SetBusyCursor = [](bool) {};
    Platform.ProcessMessages = [] {
        if (QCoreApplication::instance())
            QCoreApplication::processEvents();
    };
    Platform.ShellOpen = [](const QString &) {};
    Platform.FreeSpace = [](const QString &folder) -> int64_t {
        QStorageInfo storage(folder);
        if (!storage.isValid() || !storage.isReady())
            return -1;
        return storage.bytesAvailable();
    };
    Platform.ShortDateFormat = [] { return QLocale::system().dateFormat(QLocale::ShortFormat); };
    Platform.LongTimeFormat = [] { return QLocale::system().timeFormat(QLocale::LongFormat); };
    Platform.ProgramFolder = [] {
        return QCoreApplication::instance() ? QDir::toNativeSeparators(QCoreApplication::applicationDirPath())
                                            : QDir::toNativeSeparators(QDir::currentPath());
    };
    Platform.UserConfigFolder = [] {
        return QDir::toNativeSeparators(QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
                                        QStringLiteral("/vistrel"));
    };
    Platform.WorkRootCandidates = [] {
#ifdef Q_OS_WIN
        return QStringList{QStringLiteral("E:\\"), QStringLiteral("D:\\"), QStringLiteral("C:\\")};
#else
        // A root named by the person first, then the user's cache, then the
        // system's temporary folder.
        QStringList roots;
        const QString named = qEnvironmentVariable("VISTREL_WORKROOT");
        if (!named.isEmpty())
            roots << WithSeparator(named);
        const QString cache = QStandardPaths::writableLocation(QStandardPaths::GenericCacheLocation);
        if (!cache.isEmpty())
            roots << WithSeparator(cache);
        // Every user shares the temporary folder: a private folder of ours there.
        roots << PrivateFolderIn(QDir::tempPath());
        return roots;
#endif
    };
    Platform.WorkRootFallback = [] {
#ifdef Q_OS_WIN
        return QStringLiteral("d:\\");
#else
        return PrivateFolderIn(QDir::tempPath());
#endif
    };
}

// The services hold their defaults from the start.
static const bool PlatformInitialised = (InstallBasicPlatform(), true);
