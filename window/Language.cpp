// The interface language. The texts are written in English; every other
// language is a Qt translation compiled into the program from
// translations/vistrel_<code>.ts, so a new .ts file is a new language and
// nothing else. Qt's own texts (the buttons of its dialogs) follow when Qt's
// translation of that language is on the machine.
#include "Document.h"
#include "MainWindow.h"

#include <QAbstractButton>
#include <QAction>
#include <QActionGroup>
#include <QComboBox>
#include <QCoreApplication>
#include <QDir>
#include <QLabel>
#include <QLibraryInfo>
#include <QLocale>
#include <QMenu>
#include <QRadioButton>
#include <QTranslator>
#include <QToolButton>

namespace {

// The one translation of the settings file's language 1.
const QString ChineseCode = QStringLiteral("zh_CN");
const QString EnglishCode = QStringLiteral("en");

}  // namespace

std::vector<InterfaceLanguage> InterfaceLanguages()
{
    std::vector<InterfaceLanguage> languages{{EnglishCode, QStringLiteral("English")}};
    // ":/i18n/vistrel_zh_CN.qm" ...: the translations the build compiled in.
    const QStringList files = QDir(QStringLiteral(":/i18n")).entryList({QStringLiteral("vistrel_*.qm")}, QDir::Files,
                                                                      QDir::Name);
    for (const QString &file : files) {
        const QString code = file.mid(8, file.size() - 8 - 3);
        languages.push_back({code, QLocale(code).nativeLanguageName()});
    }
    return languages;
}

void MainWindow::UseLanguage(const QString &code)
{
    // Out with the translations in force, then in with the new ones.
    Translation.reset();
    QtTranslation.reset();
    if (code != EnglishCode) {
        auto ours = std::make_unique<QTranslator>();
        if (ours->load(QStringLiteral(":/i18n/vistrel_") + code)) {
            QCoreApplication::installTranslator(ours.get());
            Translation = std::move(ours);
        }
        auto qts = std::make_unique<QTranslator>();
        if (qts->load(QStringLiteral("qtbase_") + code, QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
            QCoreApplication::installTranslator(qts.get());
            QtTranslation = std::move(qts);
        }
    }
    LanguageCode = Translation || code == EnglishCode ? code : EnglishCode;
    // The settings file says English (0) or Chinese (1); any other language
    // is remembered by its code beside the file dialogs' folders.
    Doc.Language = LanguageCode == ChineseCode ? 1 : 0;
    const QString remembered = Doc.Language == 0 && LanguageCode != EnglishCode ? LanguageCode : QString();
    if (remembered != Remembered.Language) {
        Remembered.Language = remembered;
        WriteDialogMemory(Remembered);
    }
    RetranslateTexts();

    // The status hint of the current state; another state keeps the hint it has.
    switch (Doc.AppState) {
    case StateNothingImported: HintCurrent = HintImport; break;
    case StateImported: HintCurrent = HintSetParameters; break;
    case StateAnimating: HintCurrent = HintStopPreview; break;
    case StateStopped: HintCurrent = HintExport; break;
    default: break;
    }
    SetPanelText(10, HintCurrent);
}

void MainWindow::UseStartLanguage()
{
    if (Doc.Language == 1)
        UseLanguage(ChineseCode);
    else if (!Remembered.Language.isEmpty())
        UseLanguage(Remembered.Language);
    else
        RetranslateTexts();
}

void MainWindow::ToggleLanguage()
{
    // The next language the program carries; with English and Chinese, the other one.
    const std::vector<InterfaceLanguage> languages = InterfaceLanguages();
    size_t next = 0;
    for (size_t i = 0; i < languages.size(); ++i)
        if (languages[i].Code == LanguageCode)
            next = (i + 1) % languages.size();
    UseLanguage(languages[next].Code);
}

void MainWindow::ShowLanguageChoices()
{
    // Made once: each language named in itself, whatever the language in
    // force; a switch only moves the check (the item chosen may be the one
    // whose signal is running).
    if (LanguageMenu->actions().isEmpty()) {
        for (const InterfaceLanguage &language : InterfaceLanguages()) {
            QAction *choice = LanguageMenu->addAction(language.Name);
            choice->setCheckable(true);
            choice->setData(language.Code);
            LanguageChoices->addAction(choice);
        }
    }
    for (QAction *choice : LanguageMenu->actions())
        choice->setChecked(choice->data().toString() == LanguageCode);
}

void MainWindow::RetranslateTexts()
{
    // 1. The controls of the texts table: captions and tooltips.
    for (const ControlText &text : MainWindowTexts()) {
        const QString name = QString::fromLatin1(text.Name);
        QObject *object = Control(name);
        if (!object)
            continue;  // the test of the table reports names without a control
        if (text.Caption[0] != '\0' && text.Kind != ControlKind::Edit && text.Kind != ControlKind::SpeedButton)
            SetCaption(name, QCoreApplication::translate("MainWindow", text.Caption));
        if (text.Tooltip[0] != '\0') {
            const QString tooltip = QCoreApplication::translate("Tooltip", text.Tooltip);
            // A toolbar button takes its tooltip from its action, again at every change of it.
            auto *button = qobject_cast<QToolButton *>(object);
            if (button && button->defaultAction())
                button->defaultAction()->setToolTip(tooltip);
            else if (auto *widget = qobject_cast<QWidget *>(object))
                widget->setToolTip(tooltip);
        }
    }

    // 2. The texts that are no control's caption.
    HintImport = tr(" Please import *.psd");
    HintSetParameters = tr(" Please set 3d parameters，and click the Preview button.");
    HintStopPreview = tr(" Please stop preview");
    HintExport = tr(" Please export tiff file, or change 3d settings.");
    HintGlasses = tr("Please put on 3d glasses to see the 3d picture.");
    SetPanelText(0, tr("Vistrel lenticular"));
    SetPanelText(1, tr("Original info"));
    SetPanelText(2, tr("Size (cm):"));
    SetPanelText(4, tr("DPI:"));
    SetPanelText(6, tr("Color:"));
    SetPanelText(8, tr("Layers:"));
    SetCells(0, 0, tr("Layer"));
    SetCells(1, 0, tr("Group"));
    SetCells(2, 0, tr("Offset"));
    SetCells(3, 0, tr("Name"));
    const QStringList colourModes = {tr("1bit x 4"), tr("Gray X 4 "), tr("Color"), tr("4bit")};
    for (int i = 0; i < colourModes.size(); ++i)
        ColourModeCombo->setItemText(i, colourModes[i]);
    const QStringList compressions = {tr("None"), QStringLiteral("LZW"), QStringLiteral("ZIP")};
    for (int i = 0; i < compressions.size(); ++i)
        CompressionCombo->setItemText(i, compressions[i]);
    LayerViewAll->setText(tr("All"));
    LayerViewOne->setText(tr("One"));
    // The hidden language button names the language a click goes to.
    LanguageButton->setText(LanguageCode == EnglishCode ? tr("Chinese") : tr("English"));
    LanguageMenu->setTitle(tr("Interface language"));
    ShowLanguageChoices();
    ShowUndoRedo();
    if (PresetCombo->count() > 0)
        PresetCombo->setItemText(0, tr("(none)"));
}
