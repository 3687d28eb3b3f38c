// The interface language: English or Chinese. Translatable controls carry the
// other language's caption in their hint slot; a switch exchanges the two, so
// every switch goes with a change of Language.
#include "Document.h"
#include "MainWindow.h"

#include <QRadioButton>
#include <QToolButton>

void MainWindow::ShowLanguageTexts(const LanguageTexts &texts)
{
    HintImport = QString::fromUtf8(texts.HintImport);
    HintSetParameters = QString::fromUtf8(texts.HintSetParameters);
    HintStopPreview = QString::fromUtf8(texts.HintStopPreview);
    HintExport = QString::fromUtf8(texts.HintExport);
    HintGlasses = QString::fromUtf8(texts.HintGlasses);
    SetPanelText(1, QString::fromUtf8(texts.OriginalInfo));
    SetPanelText(2, QString::fromUtf8(texts.SizeCm));
    SetPanelText(6, QString::fromUtf8(texts.Color));
    SetPanelText(8, QString::fromUtf8(texts.LayersLabel));
    SetCells(0, 0, QString::fromUtf8(texts.GridLayer));
    SetCells(1, 0, QString::fromUtf8(texts.GridGroup));
    SetCells(2, 0, QString::fromUtf8(texts.GridOffset));
    SetCells(3, 0, QString::fromUtf8(texts.GridName));
}

void MainWindow::SwitchLanguage()
{
    // 1. The texts that are not control captions.
    const LanguageTexts &texts = TextsForLanguage(Doc.Language);
    ShowLanguageTexts(texts);
    SetPanelText(0, QString::fromUtf8(texts.Brand));
    LayerViewAll->setText(QString::fromUtf8(texts.LayerViewAll));
    LayerViewOne->setText(QString::fromUtf8(texts.LayerViewOne));
    LanguageButton->setText(QString::fromUtf8(texts.LanguageButton));

    // 2. The status hint of the current state.
    switch (Doc.AppState) {
    case StateNothingImported: HintCurrent = HintImport; break;
    case StateImported: HintCurrent = HintSetParameters; break;
    case StateAnimating: HintCurrent = HintStopPreview; break;
    case StateStopped: HintCurrent = HintExport; break;
    default: break;
    }
    SetPanelText(10, HintCurrent);

    // 3. Caption and hint change places.
    SwapCaptionsAndHints();
}

void MainWindow::ToggleLanguage()
{
    Doc.Language = Doc.Language == 0 ? 1 : 0;
    SwitchLanguage();
}
