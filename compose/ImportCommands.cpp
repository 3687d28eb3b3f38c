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

namespace {

// The busy cursor and the progress bar of a long command, put back however it ends.
class BusyScope {
public:
    explicit BusyScope(TForm1 &form) : Form(form) { Platform.SetBusyCursor(true); Form.SetProgress(0); }
    ~BusyScope() { Platform.SetBusyCursor(false); Form.SetProgress(0); }

private:
    TForm1 &Form;
};

}  // namespace

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
    request.InitialFolder = ProgramFolder + FolderSeparator() + QStringLiteral("sample");
    request.PromptOverwrite = false;
    const QString path = Platform.OpenFileName(request);
    if (path.isEmpty())
        return;
    const QString previous = PsdPath;
    PsdPath = path;
    if (!ImportPsd())
        PsdPath = previous;
}

void TForm1::N6Click()
{
    if (SpeedButton1->isEnabled())
        SpeedButton1Click();
}

bool TForm1::ImportPsd()
{
    // The fields the import takes must hold numbers before anything changes.
    Fixed4 lpi = Lpi;
    std::optional<double> width;  // an empty width field leaves the height as it is
    try {
        if (!Edit5->text().isEmpty())
            lpi = StrToFixed4(Edit5->text());
        if (!Edit9->text().isEmpty())
            width = StrToFloat(Edit9->text());
    } catch (const VistrelError &error) {
        Platform.ShowMessage(error.Message);
        return false;
    }

    {
        BusyScope busy(*this);
        try {
            ImportDocument(PsdPath, [this](int percent) { SetProgress(percent); });
        } catch (const VistrelError &error) {
            Platform.SetBusyCursor(false);
            Platform.ShowMessage(error.Message);
            Platform.SetBusyCursor(true);
            return false;
        }

        // The save dialogs offer names beside the PSD.
        SaveDialog2FileName = ReplaceExtension(PsdPath, QStringLiteral(".tif"));
        SaveDialog5FileName = ReplaceExtension(PsdPath, QStringLiteral("_3D.psd"));
        SaveDialog3FileName = ReplaceExtension(PsdPath, QStringLiteral(".gif"));
        SaveDialog1FileName = ReplaceExtension(PsdPath, QStringLiteral(".hx4p2"));

        SetPanelText(3, ShortFixed4Text(PsdWidthCm) + QStringLiteral(" x ") + ShortFixed4Text(PsdHeightCm));
        SetPanelText(5, ShortFixed4Text(PsdDpi));
        SetPanelText(7, ColorModeName(PsdColorMode));
        SetPanelText(9, QString::number(LayerCount));

        Lpi = lpi;
        if (width)
            Edit10->setText(ShortText(*width / FromFixed4(AspectRatio)));
        Edit2->setText(QString::number(FocusLayer));
        FillDefaultOffsets();

        DrawLineActive = 0;
        SetImage1Enabled(false);
        RadioGroup1All->setChecked(true);
        ShowPicture(ComposedImage);
        FitPicture();

        for (QWidget *on : std::initializer_list<QWidget *>{SpeedButton3, SpeedButton4, SpeedButton9, TrackBar1,
                                                            GroupBox2, PageControl2, StringGrid1, SpeedButton15})
            on->setEnabled(true);
        for (QAction *on : {N3, Saveproject1, N4})
            on->setEnabled(true);
        for (QWidget *off : std::initializer_list<QWidget *>{SpeedButton10, SpeedButton6, SpeedButton7, SpeedButton8,
                                                             SpeedButton29, SpeedButton5, SpeedButton13})
            off->setEnabled(false);
        for (QAction *off : {N7, ExportGif1, PSD1})
            off->setEnabled(false);

        HintCurrent = HintSetParameters;
        SetPanelText(10, HintCurrent);
        setWindowTitle(QStringLiteral("Vistrel   ") + QFileInfo(PsdPath).fileName());
        PageControl1->setCurrentIndex(0);
        ToolBar2->setVisible(false);
        ToolButton1->setChecked(true);
    }
    Platform.Beep();
    return true;
}

void TForm1::FillDefaultOffsets()
{
    StringGrid1->setRowCount(LayerCount + 1);
    const std::vector<int32_t> offsets = DefaultGridOffsets();
    for (int row = 1; row <= LayerCount; ++row)
        SetCells(2, row, QString::number(offsets[size_t(LayerCount - row)]));
    ShowFocusMarker();
    for (int row = 1; row <= LayerCount; ++row)
        SetCells(1, row, GroupLetter(Layers[size_t(LayerCount - row)].GroupId));
}

std::vector<int32_t> TForm1::GridOffsets()
{
    std::vector<int32_t> offsets(LayerCount);
    for (int row = 1; row <= LayerCount; ++row)
        offsets[size_t(LayerCount - row)] = StrToInt(Cells(2, row));
    return offsets;
}

int32_t TForm1::FocusOffset()
{
    if (FocusLayer < 1 || FocusLayer > LayerCount)
        return 0;
    return StrToInt(Cells(2, FocusLayer));
}

void TForm1::ComposeLayerAlone()
{
    const int row = StringGrid1->currentRow();
    if (DocumentOpen == 0 || row < 1 || row > LayerCount)
        return;
    CurrentLayer = LayerCount - row;
    ComposeLayerAloneImage(CurrentLayer);
    ShowPicture(ComposedImage);
}

void TForm1::ShowFullPicture()
{
    if (DocumentOpen == 0)
        return;
    try {
        BuildGroupTables();
        ComposeView(Resolution::Working, 0, ProgressBar1->value(), [this](int p) { SetProgress(p); });
    } catch (const VistrelError &error) {
        Platform.ShowMessage(error.Message);
    }
    SetProgress(0);
    ShowPicture(ComposedImage);
}

void TForm1::RadioGroup1Click()
{
    if (RadioGroup1One->isChecked()) {
        ComposeLayerAlone();
        SpeedButton13->setEnabled(true);
    } else {
        ShowFullPicture();
        SpeedButton13->setEnabled(false);
    }
}

void TForm1::StringGrid1Click(int row, int col)
{
    if (col == 1)  // the Group column is not edited: go on to the offset
        StringGrid1->setCurrentCell(row, 2);
    if (row < 1 || row > LayerCount)
        return;
    CurrentLayer = LayerCount - row;
    if (!RadioGroup1All->isChecked()) {
        ComposeLayerAlone();
        SpeedButton13->setEnabled(true);
    }
}
