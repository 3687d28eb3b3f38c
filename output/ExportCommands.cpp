// The output commands: the interlaced print, the layered PSD, the animated GIF
// and the red/blue anaglyph.
#include "Anaglyph.h"
#include "BmpCodec.h"
#include "Document.h"
#include "Errors.h"
#include "GifExport.h"
#include "Import.h"
#include "LayeredPsd.h"
#include "Picture.h"
#include "Platform.h"
#include "PrintExport.h"
#include "Unit1.h"
#include "WorkFolder.h"

#include <QAction>
#include <QComboBox>
#include <QFileInfo>
#include <QGroupBox>
#include <QLineEdit>
#include <QToolButton>

namespace {

// The save dialog of an output: its title, filter and extension, the file name
// preset beside the PSD, and a question before an existing file is replaced.
QString AskSaveName(const QString &title, const QString &filter, const QString &extension, const QString &preset)
{
    FileDialogRequest request;
    request.Title = title;
    request.Filter = filter;
    request.DefaultExtension = extension;
    request.FileName = preset;
    request.InitialFolder = QFileInfo(preset).absolutePath();
    request.PromptOverwrite = true;
    return Platform.SaveFileName(request);
}

}  // namespace

void TForm1::N7Click()
{
    if (SpeedButton29->isEnabled())
        BitBtn3Click();
}

void TForm1::BitBtn3Click()
{
    const QString path = AskSaveName(QStringLiteral("Export  Line Tiff"), QStringLiteral("Tiff (*.tif)"),
                                     QStringLiteral("tif"), SaveDialog2FileName);
    if (path.isEmpty())
        return;

    // All fields are read before anything starts, so a bad one costs nothing.
    PrintSettings settings;
    std::vector<int32_t> offsets;
    int32_t focusOffset = 0;
    try {
        settings.Lpi = StrToFixed4(Edit5->text());
        offsets = GridOffsets();
        focusOffset = FocusOffset();
        const QString dpi = ComboBox2->currentText().trimmed();
        settings.Dpi = dpi == QLatin1String("(Auto)") ? 7 * settings.Lpi : StrToFixed4(dpi);
        settings.WidthCm = StrToFixed4(Edit9->text());
        settings.HeightCm = StrToFixed4(Edit10->text());
        settings.HScale = StrToInt(Edit11->text());
    } catch (const VistrelError &error) {
        Platform.ShowMessage(error.Message);
        return;
    }

    // The export ends a running animation, as Stop would.
    if (AnimationRunning)
        SpeedButton2Click();
    PreviewStop = 601;
    GroupBox2->setEnabled(true);
    Platform.SetBusyCursor(true);
    setEnabled(false);
    int shown = -1;
    QString failure;
    try {
        ExportPrint(settings, offsets, focusOffset, path, [this, &shown](int percent) {
            SetProgress(percent);
            if (percent != shown) {  // let the window repaint as the bar moves
                shown = percent;
                Platform.ProcessMessages();
            }
        });
        ListBox1.clear();
        for (int n = ViewCount; n >= 1; --n)
            ListBox1 << WorkFileName3(QStringLiteral("vwd"), n);
    } catch (const VistrelError &error) {
        failure = error.Message;
    }
    setEnabled(true);
    SetProgress(0);
    Platform.SetBusyCursor(false);
    if (!failure.isEmpty()) {
        Platform.ShowMessage(failure);
        return;
    }
    PSD1->setEnabled(true);
    Platform.Beep();
}

void TForm1::PSD1Click()
{
    if (!PSD1->isEnabled())
        return;
    const QString path = AskSaveName(QStringLiteral("Export *.psd"), QStringLiteral("Photoshop File (*.PSD *.psd)"),
                                     QStringLiteral("psd"), SaveDialog5FileName);
    if (path.isEmpty())
        return;
    Platform.SetBusyCursor(true);
    try {
        WriteLayeredPsd(path, ViewCount, PsdColorMode);
    } catch (const VistrelError &error) {
        Platform.SetBusyCursor(false);
        Platform.ShowMessage(error.Message);
        return;
    }
    Platform.Beep();
    Platform.SetBusyCursor(false);
}

void TForm1::ExportGif1Click()
{
    if (!ExportGif1->isEnabled())
        return;
    SaveDialog3FileName = ReplaceExtension(PsdPath, QStringLiteral(".gif"));
    const QString path =
        AskSaveName(QStringLiteral("Gif save"), QStringLiteral("Gif (*.gif)"), QStringLiteral("gif"), SaveDialog3FileName);
    if (path.isEmpty())
        return;
    Platform.SetBusyCursor(true);
    QString failure;
    try {
        ExportViewsGif(800, 10, path, PsdColorMode, [this](int p) { SetProgress(p); });
    } catch (const VistrelError &error) {
        failure = error.Message;
    }
    SetProgress(0);
    Platform.SetBusyCursor(false);
    if (!failure.isEmpty()) {
        Platform.ShowMessage(failure);
        return;
    }
    Platform.Beep();
}

void TForm1::N26Click()
{
    if (SpeedButton5->isEnabled())
        SpeedButton5Click();
}

void TForm1::SpeedButton5Click()
{
    // The animation must not put another view over the anaglyph.
    SpeedButton2Click();
    if (AnimationRunning)
        EndAnimation();
    try {
        const QImage anaglyph = AnaglyphOfViews(PsdColorMode);
        Image1->SetPicture(anaglyph);
        OpenDialog1FileName = ReplaceExtension(PsdPath, QStringLiteral(".hx4p3"));
        SaveImage(anaglyph, AnaglyphPath(PsdPath));
    } catch (const VistrelError &error) {
        Platform.ShowMessage(error.Message);
        return;
    }
    Platform.ShowMessage(HintGlasses);
}
