// The print export command.
#include "Document.h"
#include "Errors.h"
#include "Platform.h"
#include "PrintExport.h"
#include "Unit1.h"
#include "WorkFiles.h"

#include <QAction>
#include <QComboBox>
#include <QFileInfo>
#include <QGroupBox>
#include <QLineEdit>
#include <QToolButton>

void TForm1::N7Click()
{
    if (SpeedButton29->isEnabled())
        BitBtn3Click();
}

void TForm1::BitBtn3Click()
{
    FileDialogRequest request;
    request.Title = QStringLiteral("Export  Line Tiff");
    request.Filter = QStringLiteral("Tiff (*.tif)");
    request.DefaultExtension = QStringLiteral("tif");
    request.FileName = SaveDialog2FileName;
    request.InitialFolder = QFileInfo(SaveDialog2FileName).absolutePath();
    request.PromptOverwrite = true;
    const QString path = Platform.SaveFileName(request);
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
