// The File menu's list of the last files opened, and PSD and project files
// dropped onto the window.
#include "Platform.h"
#include "ProjectFile.h"
#include "RecentFiles.h"
#include "Unit1.h"

#include <QAction>
#include <QDragEnterEvent>
#include <QDropEvent>
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

void TForm1::ShowRecentFiles()
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

void TForm1::RememberFile(const QString &path)
{
    RecentFiles = WithRecentFile(RecentFiles, path);
    WriteRecentFiles(RecentFiles);
    ShowRecentFiles();
}

void TForm1::OpenFile(const QString &path)
{
    // As the Import button and Open project would: not while the views are made.
    if (IsProjectFile(path)) {
        if (SpeedButton12->isEnabled())
            OpenProject(path);
    } else if (SpeedButton1->isEnabled()) {
        ImportPsd(path);
    }
}

void TForm1::dragEnterEvent(QDragEnterEvent *event)
{
    if (!DroppedFile(event->mimeData()).isEmpty())
        event->acceptProposedAction();
}

void TForm1::dropEvent(QDropEvent *event)
{
    const QString path = DroppedFile(event->mimeData());
    if (path.isEmpty())
        return;
    event->acceptProposedAction();
    OpenFile(path);
}
