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
    ProgramFolder = Platform.ProgramFolder();

    // 2. An empty document.
    AspectRatio = Fixed4One;
    Pages->setCurrentIndex(0);
    DocumentOpen = 0;
    ViewsStale = 1;
    FrontStep = BackStep = Fixed4One;
    LayerCount = 3;
    FocusLayer = 2;
    Depth = Fixed4One;

    // 3. The settings of the last run. A broken file is reported; what could be
    // read and the defaults for the rest are used, and the file is rewritten.
    try {
        ApplySettingsFile();
    } catch (const VistrelError &error) {
        Platform.ShowMessage(error.Message);
    }

    // 4. Show them.
    ShowSettingsInFields();

    // 5., 6. English texts first; the window is built in English.
    AppState = StateNothingImported;
    ShowLanguageTexts(TextsForLanguage(0));

    // 7.
    if (Language == 1)
        SwitchLanguage();

    // 8.
    CurrentView = 0;
    CurrentLayer = 0;
    RecentFiles = ReadRecentFiles();
    ShowRecentFiles();
    setAcceptDrops(true);  // PSD and project files dropped onto the window are opened
    return true;
}

void MainWindow::ShowSettingsInFields()
{
    LpiEdit->setText(ShortFixed4Text(Lpi));
    ViewCountEdit->setText(QStringLiteral("7"));
    DpiCombo->setEditText(OutputDpi == AutoDpi ? QStringLiteral("(Auto)") : ShortFixed4Text(OutputDpi));
    WidthEdit->setText(ShortFixed4Text(OutputWidthCm));
    HeightEdit->setText(ShortFixed4Text(OutputHeightCm));
    HScaleEdit->setText(QString::number(HScale));
    DepthEdit->setText(ShortFixed4Text(Depth));
    ColourModeCombo->setCurrentIndex(OutputColorMode);
}

void MainWindow::ShutDown()
{
    if (Closed)
        return;
    Closed = true;

    // A running animation or relief preview ends at its next frame and must not
    // read the work files deleted below.
    PreviewStop = PreviewStopped;
    ReliefPreviewStop = ReliefPreviewStopped;
    if (AnimationRunning)
        EndAnimation();

    // A resolution derived from "(Auto)" is remembered as "(Auto)".
    if (OutputDpi == AutoDpi7(Lpi))
        OutputDpi = AutoDpi;

    try {
        WriteSettingsFile();
    } catch (const VistrelError &error) {
        Platform.ShowMessage(error.Message);
    }

    if (DocumentOpen == 1) {
        ComposedImage = QImage();
        ComposedAlpha = QImage();
        OrderMap = QImage();
    }
    Layers.clear();
    LayerImages.clear();
    LayerAlphas.clear();
    DefaultOffsets.clear();

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
