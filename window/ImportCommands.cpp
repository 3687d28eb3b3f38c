// The import command, the layer grid, and the pictures shown: the full picture
// or one layer alone.
#include "Compositor.h"
#include "Document.h"
#include "Errors.h"
#include "Import.h"
#include "Picture.h"
#include "Platform.h"
#include "ReliefLines.h"
#include "MainWindow.h"

#include <QAction>
#include <algorithm>
#include <QDir>
#include <QApplication>
#include <QComboBox>
#include <QFileInfo>
#include <QGroupBox>
#include <QLineEdit>
#include <QMenu>
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
    request.Title = tr("Import *.psd");
    request.Filter = tr("Photoshop file (*.psd)");
    request.DefaultExtension = QStringLiteral("psd");
    // The bundled sample: beside the program, or where an install put it.
    const QString programFolder = Platform.ProgramFolder();
    const QString beside = programFolder + FolderSeparator() + QStringLiteral("sample");
    const QString installed = QDir(programFolder + QStringLiteral("/../share/vistrel/sample")).absolutePath();
    request.InitialFolder =
        RememberedFolder(QStringLiteral("psd"), QDir(beside).exists() || !QDir(installed).exists() ? beside : installed);
    request.PromptOverwrite = false;
    const QString path = Platform.OpenFileName(request);
    if (path.isEmpty())
        return;
    RememberFolder(QStringLiteral("psd"), path);
    ImportPsd(path);
}

bool MainWindow::ImportPsd(const QString &path)
{
    ImportRequest request{path, LpiEdit->text(), WidthEdit->text()};
    request.FoldersAsGroups = FoldersAsGroupsItem->isChecked();
    const bool done = RunCommand([&] { ShowImported(ImportCommand(Doc, request, [this](int p) { SetProgress(p); })); });
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
        SetCells(3, row, out.NameCells.value(row - 1));
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

void MainWindow::GroupCellChanged(int row, int col)
{
    if (SettingCell || col != 1)
        return;
    SetLayerGroup(row, Cells(1, row));
}

bool MainWindow::SetLayerGroup(int row, const QString &typed)
{
    if (Doc.DocumentOpen == 0 || row < 1 || row > Doc.LayerCount)
        return false;
    const size_t i = size_t(Doc.LayerCount - row);
    Layer &layer = Doc.Layers[i];
    const bool relief = i < Doc.LayerLines.size() && HasLines(Doc.LayerLines[i]);
    const QString before = relief ? QStringLiteral("+") : GroupLetter(layer.GroupId);
    if (typed.trimmed() == before) {
        SetCells(1, row, before);  // left as it was (an edit ended without a change)
        return true;
    }
    const GroupCellOutcome out = ReadGroupCell(typed, row, layer.GroupId);
    QString refusal = out.Message;
    if (out.Accepted && relief)
        refusal = tr("Row %1 is a relief layer: delete its lines before putting it in a group.").arg(row);
    if (!refusal.isEmpty()) {
        SetCells(1, row, before);
        Platform.ShowMessage(refusal);
        return false;
    }
    SetCells(1, row, out.Shown);
    if (layer.GroupId == out.GroupId)
        return true;
    // A flip group changes what every view shows: the views are stale, as after a 3D change.
    layer.GroupId = out.GroupId;
    BuildGroupTables(Doc);
    Doc.ViewsCurrent = 0;
    Doc.ViewsStale = 1;
    if (!LayerViewOne->isChecked())
        ShowFullPicture();
    ApplyCommandStates();
    return true;
}

QMenu *MainWindow::GroupMenuFor(int row)
{
    if (Doc.DocumentOpen == 0 || row < 1 || row > Doc.LayerCount || !LayerGrid->isEnabled())
        return nullptr;
    auto *menu = new QMenu(this);
    menu->setAttribute(Qt::WA_DeleteOnClose);
    auto choose = [this, row](const QString &typed) {
        SetLayerGroup(row, typed);
        RecordDesignEdit();
        ShowDesignModified();
    };
    menu->addAction(tr("No group"), this, [choose] { choose(QString()); });
    // The groups in use, and the next letter for a new one.
    uint8_t highest = 0;
    for (const Layer &layer : Doc.Layers)
        if (IsFlipGroup(layer.GroupId) && layer.GroupId <= 26)
            highest = std::max(highest, layer.GroupId);
    for (int id = 1; id <= std::min(26, highest + 1); ++id) {
        const QString letter = GroupLetter(uint8_t(id));
        menu->addAction(tr("Group %1").arg(letter), this, [choose, letter] { choose(letter); });
    }
    return menu;
}

void MainWindow::LayerGridRowChanged(int row)
{
    if (row < 1 || row > Doc.LayerCount || Doc.CurrentLayer == Doc.LayerCount - row)
        return;
    Doc.CurrentLayer = Doc.LayerCount - row;
    if (LayerViewOne->isChecked())
        ComposeLayerAlone();
}
