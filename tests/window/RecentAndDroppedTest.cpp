// The File menu's last eight files, files dropped onto the window, and the
// question every path that would replace unsaved work asks first.
#include "RecentFiles.h"
#include "TestSupport.h"
#include "WindowTest.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QDropEvent>
#include <QFile>
#include <QMimeData>
#include <QUrl>
#include <functional>

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
    EXPECT_TRUE(ShownTitle(again).endsWith(QLatin1String("doc7.psd"))) << ShownTitle(again).toStdString();
    EXPECT_EQ(VisibleRecentItems().first(), QStringLiteral("&1 doc7.psd"));
}

TEST_F(RecentAndDroppedTest, APsdOrAProjectDroppedOntoTheWindowIsOpened)
{
    MainWindow &f = Start();
    const QString psd = WritePsd(QStringLiteral("dropped.psd"), SevenLayerDocument());
    const QString text = platform.Sandbox.path() + QStringLiteral("/notes.txt");
    WriteFileBytes(text, "not a picture");
    EXPECT_FALSE(Drop({text}));  // refused at the door
    EXPECT_EQ(f.Doc.DocumentOpen, 0);
    EXPECT_TRUE(Drop({text, psd}));
    EXPECT_EQ(f.Doc.DocumentOpen, 1);
    EXPECT_TRUE(ShownTitle(f).endsWith(QLatin1String("dropped.psd")));

    // A project saved for it, dropped, opens the PSD beside it.
    const QString project = platform.Sandbox.path() + QStringLiteral("/dropped.hx4p3");
    platform.SaveAnswers.push_back(project);
    f.SaveProjectAs();
    ASSERT_TRUE(QFile::exists(project));
    const QString other = WritePsd(QStringLiteral("other.psd"), SevenLayerDocument());
    ASSERT_TRUE(f.ImportPsd(other));
    EXPECT_TRUE(Drop({project}));
    EXPECT_TRUE(ShownTitle(f).contains(QLatin1String("dropped.psd"))) << ShownTitle(f).toStdString();
    EXPECT_TRUE(ShownTitle(f).endsWith(QLatin1String("dropped.hx4p3"))) << ShownTitle(f).toStdString();
    EXPECT_EQ(VisibleRecentItems().first(), QStringLiteral("&1 dropped.hx4p3"));
}

TEST_F(RecentAndDroppedTest, EveryPathThatWouldLoseUnsavedWorkAsksFirst)
{
    Start();
    const QString first = WritePsd(QStringLiteral("first.psd"), SevenLayerDocument());
    const QString other = WritePsd(QStringLiteral("other.psd"), SevenLayerDocument());
    const QString saved = platform.Sandbox.path() + QStringLiteral("/first.hx4p3");  // where Save puts it
    // A project of the other PSD, for the Open path.
    ASSERT_TRUE(form->ImportPsd(other));
    form->SaveProjectBesidePsd();
    const QString otherProject = platform.Sandbox.path() + QStringLiteral("/other.hx4p3");
    ASSERT_TRUE(QFile::exists(otherProject));

    const struct {
        const char *Name;
        std::function<void()> Go;
        std::function<bool()> WentOn;
    } paths[] = {
        {"Quit", [&] { form->QuitItem->trigger(); }, [&] { return !form->isVisible(); }},
        {"closing the window", [&] { form->close(); }, [&] { return !form->isVisible(); }},
        {"Import", [&] { platform.OpenAnswers.push_back(other); form->ImportPsdAction->trigger(); },
         [&] { return form->Doc.PsdPath == other; }},
        {"Open project",
         [&] {
             platform.YesNoAnswers.push_back(true);  // "continue?"
             platform.OpenAnswers.push_back(otherProject);
             form->OpenProjectAction->trigger();
         },
         [&] { return form->Doc.PsdPath == other; }},
        {"a recent file", [&] { form->RecentFileItems[0]->trigger(); }, [&] { return form->Doc.PsdPath == other; }},
        {"a dropped file", [&] { Drop({other}); }, [&] { return form->Doc.PsdPath == other; }},
    };
    for (const auto &path : paths) {
        for (const SaveChoice choice : {SaveChoice::Cancel, SaveChoice::Discard, SaveChoice::Save}) {
            SCOPED_TRACE(testing::Message() << path.Name << ", answer " << int(choice));
            QFile::remove(saved);
            if (form->isVisible())
                form->close();  // the last case's design is thrown away unasked (an empty queue discards)
            Start();
            ASSERT_TRUE(form->ImportPsd(first));
            form->RememberFile(other);  // the newest recent file
            EXPECT_FALSE(form->isWindowModified());
            form->SetCells(2, 1, QStringLiteral("-50"));  // an offset typed: unsaved work
            EXPECT_TRUE(form->isWindowModified());
            platform.SaveChangesQuestions = 0;
            platform.SaveChangesAnswers = {choice};
            platform.OpenAnswers.clear();  // what a cancelled case left unasked
            platform.YesNoAnswers.clear();
            path.Go();
            EXPECT_EQ(platform.SaveChangesQuestions, 1);
            EXPECT_EQ(path.WentOn(), choice != SaveChoice::Cancel);
            EXPECT_EQ(QFile::exists(saved), choice == SaveChoice::Save);
            if (choice == SaveChoice::Save) {
                EXPECT_TRUE(ReadFileBytes(saved).contains("\r\n-50\r\n"));
            }
            if (choice == SaveChoice::Cancel) {  // everything as it was
                EXPECT_EQ(form->Doc.PsdPath, first);
                EXPECT_EQ(form->Cells(2, 1), QStringLiteral("-50"));
                EXPECT_TRUE(form->isWindowModified());
            }
        }
    }

    // Nothing unsaved: no question. Typing the offset back, or saving, clears the mark.
    form->close();
    Start();
    ASSERT_TRUE(form->ImportPsd(first));
    const QString before = form->Cells(2, 1);
    form->SetCells(2, 1, QStringLiteral("-50"));
    form->SetCells(2, 1, before);
    EXPECT_FALSE(form->isWindowModified());
    form->SetCells(2, 1, QStringLiteral("-50"));
    form->SaveProjectBesidePsd();
    EXPECT_FALSE(form->isWindowModified());
    platform.SaveChangesQuestions = 0;
    Drop({other});
    EXPECT_EQ(platform.SaveChangesQuestions, 0);
    EXPECT_EQ(form->Doc.PsdPath, other);
}

TEST_F(RecentAndDroppedTest, DialogsOpenWhereTheLastOfTheirKindWasLeftAndTheGifPaletteIsKept)
{
    MainWindow &f = Start();
    const QString psd = WritePsd(QStringLiteral("art/card.psd"), SevenLayerDocument());
    const QString sample = platform.ProgramDir + QStringLiteral("/sample");
    platform.OpenAnswers.push_back(psd);
    f.ImportPsdAction->trigger();
    EXPECT_EQ(platform.DialogRequests.back().InitialFolder, sample);  // nothing remembered yet
    // A print saved into another folder: the next print is offered there, under the PSD's name.
    const QString prints = platform.Sandbox.path() + QStringLiteral("/prints");
    QDir().mkpath(prints);
    f.PreviewViews();
    f.StopAnimation();
    platform.SaveAnswers.push_back(prints + QStringLiteral("/first.tif"));
    f.ExportInterlacedPrint();
    platform.SaveAnswers.push_back(QString());  // cancelled
    f.ExportInterlacedPrint();
    EXPECT_EQ(platform.DialogRequests.back().FileName, prints + QStringLiteral("/card.tif"));
    f.AdaptiveGifPaletteItem->setChecked(true);

    // The next run: the import opens in the PSD's folder, the GIF palette is the one chosen.
    form.reset();
    MainWindow &again = Start();
    EXPECT_TRUE(again.AdaptiveGifPaletteItem->isChecked());
    platform.OpenAnswers.push_back(QString());
    again.ImportPsdAction->trigger();
    EXPECT_EQ(platform.DialogRequests.back().InitialFolder, platform.Sandbox.path() + QStringLiteral("/art"));
    // A folder since removed is forgotten: the dialog opens where it would have.
    QDir(platform.Sandbox.path() + QStringLiteral("/art")).removeRecursively();
    platform.OpenAnswers.push_back(QString());
    again.ImportPsdAction->trigger();
    EXPECT_EQ(platform.DialogRequests.back().InitialFolder, sample);
}
