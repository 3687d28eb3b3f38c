// The Chinese translation is complete: every text the window, its dialogs and
// the core show changes when the window speaks Chinese, and every text marked
// for translation in the code has its Chinese in translations/vistrel_zh_CN.ts.
#include "HelpWindow.h"
#include "MainWindow.h"
#include "PresetsDialog.h"
#include "WindowTest.h"

#include <QAbstractButton>
#include <QAction>
#include <QComboBox>
#include <QDomDocument>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QMenu>
#include <QPlainTextEdit>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTabWidget>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTextEdit>
#include <gtest/gtest.h>
#include <map>

namespace {

using Texts = std::map<QString, QString>;  // "where" -> text shown

// Every text a widget tree shows: captions, titles, tooltips, tab texts, cells
// and combo items, keyed by object and role so that two languages compare.
void Gather(QObject *root, Texts &texts)
{
    // An object's place: class, name and index among its siblings, up to the root.
    auto place = [root](QObject *o) {
        QString path;
        for (; o && o != root->parent(); o = o->parent())
            path.prepend(QStringLiteral("/%1:%2:%3")
                             .arg(QLatin1String(o->metaObject()->className()), o->objectName())
                             .arg(o->parent() ? o->parent()->children().indexOf(o) : 0));
        return path;
    };
    auto put = [&](QObject *o, const char *role, const QString &text) {
        texts[place(o) + QLatin1Char('#') + QLatin1String(role)] = text;
    };
    QList<QObject *> objects = root->findChildren<QObject *>();
    objects << root;
    for (QObject *o : objects) {
        if (auto *a = qobject_cast<QAction *>(o)) {
            put(o, "text", a->text());
            put(o, "tip", a->toolTip());
        }
        if (auto *m = qobject_cast<QMenu *>(o))
            put(o, "title", m->title());
        if (auto *l = qobject_cast<QLabel *>(o))
            put(o, "text", l->text());
        if (auto *b = qobject_cast<QAbstractButton *>(o))
            put(o, "text", b->text());
        if (auto *g = qobject_cast<QGroupBox *>(o))
            put(o, "title", g->title());
        if (auto *w = qobject_cast<QWidget *>(o)) {
            put(o, "tip", w->toolTip());
            put(o, "window", w->isWindow() ? w->windowTitle() : QString());
        }
        if (auto *t = qobject_cast<QTabWidget *>(o))
            for (int i = 0; i < t->count(); ++i)
                put(o, qPrintable(QStringLiteral("tab%1").arg(i)), t->tabText(i));
        if (auto *t = qobject_cast<QTableWidget *>(o))
            for (int c = 0; c < t->columnCount(); ++c) {
                if (t->item(0, c))
                    put(o, qPrintable(QStringLiteral("cell%1").arg(c)), t->item(0, c)->text());
                if (t->horizontalHeaderItem(c))
                    put(o, qPrintable(QStringLiteral("head%1").arg(c)), t->horizontalHeaderItem(c)->text());
            }
        if (auto *c = qobject_cast<QComboBox *>(o))
            for (int i = 0; i < c->count(); ++i)
                put(o, qPrintable(QStringLiteral("item%1").arg(i)), c->itemText(i));
        if (auto *e = qobject_cast<QPlainTextEdit *>(o))
            put(o, "text", e->toPlainText());
        if (auto *e = qobject_cast<QTextEdit *>(o))
            put(o, "text", e->toPlainText());
    }
}

// The window and its dialogs as they are built in the language installed.
Texts Shown(MainWindow &window)
{
    Texts texts;
    Gather(&window, texts);
    PresetsDialog presets(Presets{{{QStringLiteral("S"), 750000}}, {{QStringLiteral("P"), 7200000, {}}}});
    Gather(&presets, texts);
    PitchRangeDialog range(QStringLiteral("75"), QStringLiteral("76"), QStringLiteral("0.1"));
    Gather(&range, texts);
    HelpWindow help(&window);
    Gather(&help, texts);
    help.close();
    return texts;
}

class TranslationsTest : public WindowTest {};

TEST_F(TranslationsTest, EveryTextOfTheWindowAndItsDialogsChangesInChinese)
{
    MainWindow &f = Start();
    const Texts english = Shown(f);
    f.LanguageItem->trigger();
    ASSERT_EQ(f.Doc.Language, 1);
    const Texts chinese = Shown(f);
    ASSERT_EQ(english.size(), chinese.size());

    // A text with a word in it that reads the same in both is one nobody translated.
    // What stays as it is: the product's name and web address, the language
    // list (each language named in itself), the names LZW and ZIP, and "(Auto)", a value the DPI
    // field reads back.
    const QRegularExpression word(QStringLiteral("[A-Za-z]{2,}"));
    const QStringList same = {QStringLiteral("Vistrel"), QStringLiteral("vistrel.app"), QStringLiteral("https://vistrel.app/"), QStringLiteral("English"), QStringLiteral("LZW"), QStringLiteral("ZIP"),
                              QStringLiteral("(Auto)")};
    int compared = 0;
    for (const auto &[where, text] : english) {
        if (!text.contains(word) || same.contains(text))
            continue;
        ++compared;
        EXPECT_NE(chinese.at(where), text) << where.toStdString() << ": \"" << text.toStdString() << "\"";
    }
    EXPECT_GT(compared, 150);  // the walk reached the menus, panels, toolbars and dialogs
}

// The messages of the Chinese file, by context and source.
std::map<std::pair<QString, QString>, QDomElement> Messages(const QString &tsPath)
{
    std::map<std::pair<QString, QString>, QDomElement> messages;
    QFile file(tsPath);
    if (!file.open(QIODevice::ReadOnly))
        return messages;
    QDomDocument ts;
    ts.setContent(&file);
    for (QDomElement c = ts.documentElement().firstChildElement(QStringLiteral("context")); !c.isNull();
         c = c.nextSiblingElement(QStringLiteral("context"))) {
        const QString context = c.firstChildElement(QStringLiteral("name")).text();
        for (QDomElement m = c.firstChildElement(QStringLiteral("message")); !m.isNull();
             m = m.nextSiblingElement(QStringLiteral("message")))
            messages[{context, m.firstChildElement(QStringLiteral("source")).text()}] = m;
    }
    return messages;
}

TEST(Translations, TheChineseFileHoldsEveryTextOfTheCodeTranslated)
{
    const QString source = QStringLiteral(VISTREL_SOURCE_DIR);
    QString lupdate = QStandardPaths::findExecutable(QStringLiteral("lupdate"));
    if (lupdate.isEmpty())
        lupdate = QStandardPaths::findExecutable(QStringLiteral("lupdate"), {QStringLiteral("/usr/lib/qt6/bin")});
    ASSERT_FALSE(lupdate.isEmpty()) << "lupdate is installed by scripts/install-deps";

    // The texts the code marks today, gathered afresh.
    QTemporaryDir dir;
    const QString fresh = dir.filePath(QStringLiteral("vistrel_zh_CN.ts"));
    QProcess run;
    run.setWorkingDirectory(source);
    run.start(lupdate, {QStringLiteral("-silent"), QStringLiteral("-locations"), QStringLiteral("none"),
                        QStringLiteral("base"), QStringLiteral("settings"), QStringLiteral("compose"),
                        QStringLiteral("relief"), QStringLiteral("output"), QStringLiteral("window"),
                        QStringLiteral("-ts"), fresh});
    ASSERT_TRUE(run.waitForFinished(60000));
    ASSERT_EQ(run.exitCode(), 0) << run.readAllStandardError().toStdString();

    const auto marked = Messages(fresh);
    const auto kept = Messages(source + QStringLiteral("/translations/vistrel_zh_CN.ts"));
    ASSERT_GT(marked.size(), 300u);
    const QRegularExpression placeholder(QStringLiteral("%\\d"));
    for (const auto &[key, message] : marked) {
        const auto it = kept.find(key);
        ASSERT_NE(it, kept.end()) << key.first.toStdString() << ": \"" << key.second.toStdString()
                                  << "\" is not in the Chinese file (scripts/update-translations)";
        const QDomElement translation = it->second.firstChildElement(QStringLiteral("translation"));
        EXPECT_FALSE(translation.hasAttribute(QStringLiteral("type"))) << key.second.toStdString();
        EXPECT_FALSE(translation.text().isEmpty()) << key.second.toStdString();
        // Every %1.. of the English comes back in the Chinese, or .arg() puts a value nowhere.
        QStringList wanted, found;
        for (const auto &m : placeholder.globalMatch(key.second))
            wanted << m.captured();
        for (const auto &m : placeholder.globalMatch(translation.text()))
            found << m.captured();
        wanted.sort();
        found.sort();
        EXPECT_EQ(found, wanted) << key.second.toStdString();
    }
}

}  // namespace
