// The import command, the layer grid, and the pictures shown: the full picture
// or one layer alone.
#include "Compositor.h"
#include "Document.h"
#include "Errors.h"
#include "Import.h"
#include "Picture.h"
#include "Platform.h"
#include "MainWindow.h"

#include <QAction>
#include <QDir>
#include <QApplication>
#include <QComboBox>
#include <QFileInfo>
#include <QGroupBox>
#include <QLineEdit>
#include <QProgressBar>
#include <QRadioButton>
#include <QTabWidget>
#include <QTableWidget>
#include <QToolBar>
#include <QToolButton>
#include <optional>

void MainWindow::SetProgress(int percent)
{
    ProgressBar->setValue(std::clamp(percent, 0, 100));
}

void MainWindow::ShowPicture(const QImage &picture)
{
    PictureView->SetPicture(ViewablePicture(picture));
}

void MainWindow::ChooseAndImportPsd()
{
    if (!MayReplaceDesign())
        return;
    FileDialogRequest request;
    request.Title = QStringLiteral("Import *.psd");
    request.Filter = QStringLiteral("Photoshop file (*.psd)");
    request.DefaultExtension = QStringLiteral("psd");
    // The bundled sample: beside the program, or where an install put it.
    const QString programFolder = Platform.ProgramFolder();
    const QString beside = programFolder + FolderSeparator() + QStringLiteral("sample");
    const QString installed = QDir(programFolder + QStringLiteral("/../share/vistrel/sample")).absolutePath();
    request.InitialFolder = QDir(beside).exists() || !QDir(installed).exists() ? beside : installed;
    request.PromptOverwrite = false;
    const QString path = Platform.OpenFileName(request);
    if (path.isEmpty())
        return;
    ImportPsd(path);
}

bool MainWindow::ImportPsd(const QString &path)
{
    const bool done = RunCommand([&] { ShowImported(ImportCommand(Doc, {path, LpiEdit->text(), WidthEdit->text()},
                                                                  [this](int p) { SetProgress(p); })); });
    if (done) {
        StartDesignHistory();
        MarkDesignSaved();
        Platform.Beep();
        RememberFile(path);
    }
    return done;
}

void MainWindow::ShowImported(const ImportOutcome &out)
{
    PrintFileName = out.PrintName;
    LayeredPsdFileName = out.LayeredPsdName;
    GifFileName = out.GifName;
    ProjectFileName = out.ProjectName;
    SetPanelText(3, out.SizeText);
    SetPanelText(5, out.DpiText);
    SetPanelText(7, out.ModeText);
    SetPanelText(9, out.LayersText);
    if (out.HeightShown)
        HeightEdit->setText(*out.HeightShown);
    FocusEdit->setText(out.FocusText);
    LayerGrid->setRowCount(Doc.LayerCount + 1);
    for (int row = 1; row <= Doc.LayerCount; ++row) {
        SetCells(2, row, out.OffsetCells[row - 1]);
        SetCells(1, row, out.GroupCells[row - 1]);
    }
    ShowFocusMarker();
    // The top layer is the current one, in the grid and for "One".
    Doc.CurrentLayer = Doc.LayerCount - 1;
    LayerGrid->setCurrentCell(1, 2);

    SetPictureTakesInput(false);
    LayerViewAll->setChecked(true);
    ShowPicture(Doc.ComposedImage);
    FitPicture();
    FramePeriodSlider->setEnabled(true);
    HintCurrent = HintSetParameters;
    SetPanelText(10, HintCurrent);
    setWindowTitle(out.Caption + QStringLiteral("[*]"));  // "[*]": the mark of unsaved changes
    Pages->setCurrentIndex(0);
    Editor.CurrentOrder = 0;  // new lines go to order "1" of the new document
    Editor.ChooseTool(ToolDrawLine);  // "Draw Line" is down when the page first shows
    DrawLineTool->setChecked(true);
}

QStringList MainWindow::OffsetCells() const
{
    QStringList cells;
    for (int row = 1; row <= Doc.LayerCount; ++row)
        cells << Cells(2, row);
    return cells;
}

PreviewFieldTexts MainWindow::PreviewTexts(const QString &focus) const
{
    return {focus, DepthEdit->text(), LpiEdit->text(), OffsetCells()};
}

void MainWindow::ComposeLayerAlone()
{
    if (Doc.DocumentOpen == 0 || Doc.CurrentLayer < 0 || Doc.CurrentLayer >= Doc.LayerCount)
        return;
    ComposeLayerAloneImage(Doc, Doc.CurrentLayer);
    ShowPicture(Doc.ComposedImage);
}

void MainWindow::ShowFullPicture()
{
    if (Doc.DocumentOpen == 0)
        return;
    RunCommand([this] {
        BuildGroupTables(Doc);
        ComposeView(Doc, Resolution::Working, 0, ProgressBar->value(), [this](int p) { SetProgress(p); });
    }, false);
    ShowPicture(Doc.ComposedImage);
}

void MainWindow::LayerViewChanged()
{
    if (LayerViewOne->isChecked())
        ComposeLayerAlone();
    else
        ShowFullPicture();
    ApplyCommandStates();  // Begin Line follows the "One" view
}

void MainWindow::LayerGridClicked(int row, int col)
{
    if (col == 1)  // the Group column is not edited: go on to the offset
        LayerGrid->setCurrentCell(row, 2);
    LayerGridRowChanged(row);
}

void MainWindow::LayerGridRowChanged(int row)
{
    if (row < 1 || row > Doc.LayerCount || Doc.CurrentLayer == Doc.LayerCount - row)
        return;
    Doc.CurrentLayer = Doc.LayerCount - row;
    if (LayerViewOne->isChecked())
        ComposeLayerAlone();
}
