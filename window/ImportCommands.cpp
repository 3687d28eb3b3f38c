// The import command, the layer grid, and the pictures shown: the full picture
// or one layer alone.
#include "Compositor.h"
#include "Document.h"
#include "Errors.h"
#include "Import.h"
#include "Picture.h"
#include "Platform.h"
#include "Unit1.h"

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

void TForm1::SetProgress(int percent)
{
    ProgressBar1->setValue(std::clamp(percent, 0, 100));
}

void TForm1::ShowPicture(const QImage &picture)
{
    Image1->SetPicture(ViewablePicture(picture));
}

void TForm1::SpeedButton1Click()
{
    FileDialogRequest request;
    request.Title = QStringLiteral("Import *.psd");
    request.Filter = QStringLiteral("Photoshop file (*.psd)");
    request.DefaultExtension = QStringLiteral("psd");
    // The bundled sample: beside the program, or where an install put it.
    const QString beside = ProgramFolder + FolderSeparator() + QStringLiteral("sample");
    const QString installed = QDir(ProgramFolder + QStringLiteral("/../share/vistrel/sample")).absolutePath();
    request.InitialFolder = QDir(beside).exists() || !QDir(installed).exists() ? beside : installed;
    request.PromptOverwrite = false;
    const QString path = Platform.OpenFileName(request);
    if (path.isEmpty())
        return;
    ImportPsd(path);
}

void TForm1::N6Click()
{
    if (SpeedButton1->isEnabled())
        SpeedButton1Click();
}

bool TForm1::ImportPsd(const QString &path)
{
    const bool done = RunCommand([&] { ShowImported(ImportCommand({path, Edit5->text(), Edit9->text()},
                                                                  [this](int p) { SetProgress(p); })); });
    if (done) {
        Platform.Beep();
        RememberFile(path);
    }
    return done;
}

void TForm1::ShowImported(const ImportOutcome &out)
{
    SaveDialog2FileName = out.PrintName;
    SaveDialog5FileName = out.LayeredPsdName;
    SaveDialog3FileName = out.GifName;
    SaveDialog1FileName = out.ProjectName;
    SetPanelText(3, out.SizeText);
    SetPanelText(5, out.DpiText);
    SetPanelText(7, out.ModeText);
    SetPanelText(9, out.LayersText);
    if (out.HeightShown)
        Edit10->setText(*out.HeightShown);
    Edit2->setText(out.FocusText);
    StringGrid1->setRowCount(LayerCount + 1);
    for (int row = 1; row <= LayerCount; ++row) {
        SetCells(2, row, out.OffsetCells[row - 1]);
        SetCells(1, row, out.GroupCells[row - 1]);
    }
    ShowFocusMarker();
    // The top layer is the current one, in the grid and for "One".
    CurrentLayer = LayerCount - 1;
    StringGrid1->setCurrentCell(1, 2);

    SetImage1Enabled(false);
    RadioGroup1All->setChecked(true);
    ShowPicture(ComposedImage);
    FitPicture();
    TrackBar1->setEnabled(true);
    HintCurrent = HintSetParameters;
    SetPanelText(10, HintCurrent);
    setWindowTitle(out.Caption);
    PageControl1->setCurrentIndex(0);
    Editor.ChooseTool(ToolDrawLine);  // "Draw Line" is down when the page first shows
    ToolButton1->setChecked(true);
}

QStringList TForm1::OffsetCells() const
{
    QStringList cells;
    for (int row = 1; row <= LayerCount; ++row)
        cells << Cells(2, row);
    return cells;
}

PreviewFieldTexts TForm1::PreviewTexts(const QString &focus) const
{
    return {focus, Edit3->text(), Edit5->text(), OffsetCells()};
}

void TForm1::ComposeLayerAlone()
{
    if (DocumentOpen == 0 || CurrentLayer < 0 || CurrentLayer >= LayerCount)
        return;
    ComposeLayerAloneImage(CurrentLayer);
    ShowPicture(ComposedImage);
}

void TForm1::ShowFullPicture()
{
    if (DocumentOpen == 0)
        return;
    RunCommand([this] {
        BuildGroupTables();
        ComposeView(Resolution::Working, 0, ProgressBar1->value(), [this](int p) { SetProgress(p); });
    }, false);
    ShowPicture(ComposedImage);
}

void TForm1::RadioGroup1Click()
{
    if (RadioGroup1One->isChecked())
        ComposeLayerAlone();
    else
        ShowFullPicture();
    ApplyCommandStates();  // Begin Line follows the "One" view
}

void TForm1::StringGrid1Click(int row, int col)
{
    if (col == 1)  // the Group column is not edited: go on to the offset
        StringGrid1->setCurrentCell(row, 2);
    StringGrid1CurrentRowChanged(row);
}

void TForm1::StringGrid1CurrentRowChanged(int row)
{
    if (row < 1 || row > LayerCount || CurrentLayer == LayerCount - row)
        return;
    CurrentLayer = LayerCount - row;
    if (RadioGroup1One->isChecked())
        ComposeLayerAlone();
}
