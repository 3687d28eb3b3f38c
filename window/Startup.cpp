// Start-up and shut-down of the main window, and the commands of the Help menu.
#include "AboutBox.h"
#include "Document.h"
#include "Errors.h"
#include "HelpWindow.h"
#include "Platform.h"
#include "ParameterRules.h"
#include "SettingsFile.h"
#include "RecentFiles.h"
#include "MainWindow.h"
#include "WorkFolder.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QTabWidget>
#include <QTimer>

bool MainWindow::StartUp(const QString &workFolderOverride)
{
    // 1. The work folder comes first: nothing else works without it.
    try {
        WorkFolder = WorkFolderFor(workFolderOverride);
        KeepWorkFiles = !workFolderOverride.isEmpty();
    } catch (const VistrelError &error) {
        Platform.ShowMessage(error.Message);
        return false;
    }

    // 2. An empty document.
    Doc.AspectRatio = Fixed4One;
    Pages->setCurrentIndex(0);
    Doc.DocumentOpen = 0;
    Doc.ViewsStale = 1;
    Doc.FrontStep = Doc.BackStep = Fixed4One;
    Doc.LayerCount = 3;
    Doc.FocusLayer = 2;
    Doc.Depth = Fixed4One;

    // 3. The settings of the last run. A broken file is reported; what could be
    // read and the defaults for the rest are used, and the file is rewritten.
    try {
        ApplySettingsFile(Doc);
    } catch (const VistrelError &error) {
        Platform.ShowMessage(error.Message);
    }

    // 4. Show them.
    ShowSettingsInFields();

    // 5.-7. The window is built in English; the language of the last run follows.
    Doc.AppState = StateNothingImported;
    Remembered = ReadDialogMemory();
    UseStartLanguage();

    // 8.
    Doc.CurrentView = 0;
    Doc.CurrentLayer = 0;
    RecentFiles = ReadRecentFiles();
    LoadPresets();
    AdaptiveGifPaletteItem->setChecked(Remembered.AdaptiveGifPalette);
    if (MaxWidthCmInLimits(Remembered.MaxWidthCm))
        Doc.MaxWidthCm = Remembered.MaxWidthCm;
    MaxWidthEdit->setText(ShortFixed4Text(Doc.MaxWidthCm));
    CompressionCombo->setCurrentIndex(Remembered.Compression == QLatin1String("lzw")   ? 1
                                      : Remembered.Compression == QLatin1String("zip") ? 2
                                                                                        : 0);
    EmbedIccCheck->setChecked(Remembered.EmbedIcc);
    if (!BleedMmInLimits(Remembered.BleedMm))
        Remembered.BleedMm = 0;
    BleedEdit->setText(ShortFixed4Text(Remembered.BleedMm));
    MarksCheck->setChecked(Remembered.Marks);
    ShowRecentFiles();
    setAcceptDrops(true);  // PSD and project files dropped onto the window are opened
    return true;
}

void MainWindow::ShowSettingsInFields()
{
    LpiEdit->setText(ShortFixed4Text(Doc.Lpi));
    ViewCountEdit->setText(QStringLiteral("7"));
    DpiCombo->setEditText(Doc.OutputDpi == AutoDpi ? QStringLiteral("(Auto)") : ShortFixed4Text(Doc.OutputDpi));
    WidthEdit->setText(ShortFixed4Text(Doc.OutputWidthCm));
    HeightEdit->setText(ShortFixed4Text(Doc.OutputHeightCm));
    HScaleEdit->setText(QString::number(Doc.HScale));
    DepthEdit->setText(ShortFixed4Text(Doc.Depth));
    ColourModeCombo->setCurrentIndex(Doc.OutputColorMode);
}

void MainWindow::ShutDown()
{
    if (Closed)
        return;
    Closed = true;

    // A running animation or relief preview ends at its next frame and must not
    // read the work files deleted below.
    Doc.PreviewStop = PreviewStopped;
    Doc.ReliefPreviewStop = ReliefPreviewStopped;
    if (AnimationRunning)
        EndAnimation();

    // A resolution derived from "(Auto)" is remembered as "(Auto)".
    if (Doc.OutputDpi == AutoDpi7(Doc.Lpi))
        Doc.OutputDpi = AutoDpi;

    try {
        WriteSettingsFile(Doc);
    } catch (const VistrelError &error) {
        Platform.ShowMessage(error.Message);
    }

    if (Doc.DocumentOpen == 1) {
        Doc.ComposedImage = QImage();
        Doc.ComposedAlpha = QImage();
        Editor.OrderMap = QImage();
    }
    Doc.Layers.clear();
    Doc.LayerImages.clear();
    Doc.LayerAlphas.clear();
    Doc.DefaultOffsets.clear();

    if (!WorkFolder.isEmpty() && !KeepWorkFiles)
        DeleteFilesInFolder(WorkFolder);
    ReleaseWorkFolder();
}

void MainWindow::Quit()
{
    close();
}

void MainWindow::ShowHelp()
{
    auto *help = new HelpWindow(this);
    help->show();
}

void MainWindow::ShowAbout()
{
    if (!AboutWindow)
        AboutWindow = new AboutBox(this);
    AboutWindow->FrameTimer->start();
    AboutWindow->show();
    AboutWindow->raise();
}

void MainWindow::OpenWebsite()
{
    Platform.ShellOpen(QString::fromLatin1(ProductWebAddress));
}
