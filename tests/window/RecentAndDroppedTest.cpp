// The File menu's last eight files and files dropped onto the window.
#include "RecentFiles.h"
#include "TestSupport.h"
#include "WindowTest.h"

#include <QAction>
#include <QApplication>
#include <QDropEvent>
#include <QFile>
#include <QMimeData>
#include <QUrl>

namespace {

class RecentAndDroppedTest : public WindowTest {
protected:
    QStringList VisibleRecentItems() const
    {
        QStringList texts;
        for (QAction *item : form->RecentFileItems)
            if (item->isVisible())
                texts << item->text();
        return texts;
    }
    // A drop of `paths` onto the window, as the window system sends it.
    bool Drop(const QStringList &paths)
    {
        QMimeData data;
        QList<QUrl> urls;
        for (const QString &p : paths)
            urls << QUrl::fromLocalFile(p);
        data.setUrls(urls);
        QDragEnterEvent enter(QPoint(10, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(form.get(), &enter);
        if (!enter.isAccepted())
            return false;
        QDropEvent drop(QPointF(10, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(form.get(), &drop);
        return true;
    }
};

}  // namespace

TEST_F(RecentAndDroppedTest, TheLastEightFilesOpenedNewestFirstAndKeptApart)
{
    MainWindow &f = Start();
    EXPECT_TRUE(VisibleRecentItems().isEmpty());
    QStringList psds;
    for (int i = 1; i <= 9; ++i)
        psds << WritePsd(QStringLiteral("doc%1.psd").arg(i), SevenLayerDocument());
    for (const QString &psd : psds)
        ASSERT_TRUE(f.ImportPsd(psd));
    ASSERT_TRUE(f.ImportPsd(psds[4]));  // opened again: back to the top, once
    const QStringList shown = VisibleRecentItems();
    ASSERT_EQ(shown.size(), RecentFileCount);
    EXPECT_EQ(shown[0], QStringLiteral("&1 doc5.psd"));
    EXPECT_EQ(shown[1], QStringLiteral("&2 doc9.psd"));
    EXPECT_EQ(shown[7], QStringLiteral("&8 doc2.psd"));  // doc1 fell off the end

    // Kept in a file of their own, not in the settings file; a new window reads them.
    EXPECT_TRUE(QFile::exists(RecentFilesPath()));
    EXPECT_EQ(ReadRecentFiles().first(), psds[4]);
    form.reset();
    MainWindow &again = Start();
    EXPECT_EQ(VisibleRecentItems().size(), RecentFileCount);
    // Choosing one opens it.
    again.RecentFileItems[3]->trigger();  // doc7
    EXPECT_TRUE(again.windowTitle().endsWith(QLatin1String("doc7.psd"))) << again.windowTitle().toStdString();
    EXPECT_EQ(VisibleRecentItems().first(), QStringLiteral("&1 doc7.psd"));
}

TEST_F(RecentAndDroppedTest, APsdOrAProjectDroppedOntoTheWindowIsOpened)
{
    MainWindow &f = Start();
    const QString psd = WritePsd(QStringLiteral("dropped.psd"), SevenLayerDocument());
    const QString text = platform.Sandbox.path() + QStringLiteral("/notes.txt");
    WriteFileBytes(text, "not a picture");
    EXPECT_FALSE(Drop({text}));  // refused at the door
    EXPECT_EQ(DocumentOpen, 0);
    EXPECT_TRUE(Drop({text, psd}));
    EXPECT_EQ(DocumentOpen, 1);
    EXPECT_TRUE(f.windowTitle().endsWith(QLatin1String("dropped.psd")));

    // A project saved for it, dropped, opens the PSD beside it.
    const QString project = platform.Sandbox.path() + QStringLiteral("/dropped.hx4p3");
    platform.SaveAnswers.push_back(project);
    f.SaveProjectAs();
    ASSERT_TRUE(QFile::exists(project));
    const QString other = WritePsd(QStringLiteral("other.psd"), SevenLayerDocument());
    ASSERT_TRUE(f.ImportPsd(other));
    EXPECT_TRUE(Drop({project}));
    EXPECT_TRUE(f.windowTitle().contains(QLatin1String("dropped.psd"))) << f.windowTitle().toStdString();
    EXPECT_TRUE(f.windowTitle().endsWith(QLatin1String("dropped.hx4p3"))) << f.windowTitle().toStdString();
    EXPECT_EQ(VisibleRecentItems().first(), QStringLiteral("&1 dropped.hx4p3"));
}
