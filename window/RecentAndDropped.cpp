// The File menu's list of the last files opened, and PSD and project files
// dropped onto the window.
#include "Platform.h"
#include "ProjectFile.h"
#include "RecentFiles.h"
#include "MainWindow.h"

#include <QAction>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QDir>
#include <QFileInfo>
#include <QMimeData>
#include <QToolButton>
#include <QUrl>

namespace {

bool IsOpenable(const QString &path)
{
    const QString suffix = QFileInfo(path).suffix().toLower();
    return suffix == QLatin1String("psd") || IsProjectFile(path);
}

// The first local PSD or project file among dropped things.
QString DroppedFile(const QMimeData *data)
{
    if (!data || !data->hasUrls())
        return {};
    for (const QUrl &url : data->urls())
        if (url.isLocalFile() && IsOpenable(url.toLocalFile()))
            return url.toLocalFile();
    return {};
}

}  // namespace

void MainWindow::ShowRecentFiles()
{
    for (size_t i = 0; i < RecentFileItems.size(); ++i) {
        const bool used = i < size_t(RecentFiles.size());
        RecentFileItems[i]->setVisible(used);
        if (used)
            RecentFileItems[i]->setText(QStringLiteral("&%1 %2").arg(i + 1).arg(
                QFileInfo(RecentFiles[qsizetype(i)]).fileName()));
        RecentFileItems[i]->setToolTip(used ? RecentFiles[qsizetype(i)] : QString());
    }
    RecentSeparator->setVisible(!RecentFiles.isEmpty());
}

void MainWindow::RememberFile(const QString &path)
{
    RecentFiles = WithRecentFile(RecentFiles, path);
    WriteRecentFiles(RecentFiles);
    ShowRecentFiles();
}

void MainWindow::OpenFile(const QString &path)
{
    // As the Import button and Open project would: not while the views are
    // made, and not over unsaved changes the designer wants to keep.
    if (!MayReplaceDesign())
        return;
    if (IsProjectFile(path)) {
        if (OpenProjectAction->isEnabled())
            OpenProject(path);
    } else if (ImportPsdAction->isEnabled()) {
        ImportPsd(path);
    }
}

void MainWindow::dragEnterEvent(QDragEnterEvent *event)
{
    if (!DroppedFile(event->mimeData()).isEmpty())
        event->acceptProposedAction();
}

void MainWindow::dropEvent(QDropEvent *event)
{
    const QString path = DroppedFile(event->mimeData());
    if (path.isEmpty())
        return;
    event->acceptProposedAction();
    OpenFile(path);
}

QString MainWindow::RememberedFolder(const QString &kind, const QString &fallback) const
{
    const QString folder = Remembered.Folders.value(kind);
    return !folder.isEmpty() && QDir(folder).exists() ? folder : fallback;
}

QString MainWindow::RememberedName(const QString &kind, const QString &preset) const
{
    const QFileInfo info(preset);
    return QDir(RememberedFolder(kind, info.absolutePath())).filePath(info.fileName());
}

void MainWindow::RememberFolder(const QString &kind, const QString &chosenFile)
{
    if (chosenFile.isEmpty())
        return;
    Remembered.Folders[kind] = QFileInfo(chosenFile).absolutePath();
    WriteDialogMemory(Remembered);
}
