// The output commands: the interlaced print, the layered PSD, the animated GIF
// and the red/blue anaglyph.
#include "Anaglyph.h"
#include "BmpCodec.h"
#include "Document.h"
#include "Errors.h"
#include "GifExport.h"
#include "Import.h"
#include "Interlacer.h"
#include "LayeredPsd.h"
#include "Picture.h"
#include "Platform.h"
#include "PitchTest.h"
#include "PrintExport.h"
#include "ReliefLines.h"
#include "ReliefRenderer.h"
#include "MainWindow.h"
#include "ViewSet.h"
#include "WorkFolder.h"

#include <QAction>
#include <algorithm>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
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

PrintFinish MainWindow::FinishAsked() const
{
    PrintFinish finish;
    finish.Compression = CompressionCombo->currentIndex() == 1   ? TiffCompression::Lzw
                         : CompressionCombo->currentIndex() == 2 ? TiffCompression::Zip
                                                                 : TiffCompression::None;
    if (EmbedIccCheck->isChecked())
        finish.IccProfile = Doc.IccProfile;  // none when the PSD has none
    finish.BleedMm = Remembered.BleedMm;
    finish.Marks = MarksCheck->isChecked();
    return finish;
}

PrintFieldTexts MainWindow::PrintTexts() const
{
    return {LpiEdit->text(), DpiCombo->currentText(), WidthEdit->text(), HeightEdit->text(), HScaleEdit->text()};
}

void MainWindow::ExportInterlacedPrint()
{
    const QString path = AskSaveName(tr("Export  Line Tiff"), tr("Tiff (*.tif)"),
                                     QStringLiteral("tif"), RememberedName(QStringLiteral("print"), PrintFileName));
    RememberFolder(QStringLiteral("print"), path);
    if (path.isEmpty())
        return;
    RunCommand([&] {
        RefuseSpecialTarget(path);  // before any work
        // All fields are read before anything starts, so a bad one costs nothing.
        ReadPrintSettings(PrintTexts(), Doc.AspectRatio, Doc.MaxWidthCm);
        if (Doc.DrawLineActive == 1)
            StoreCurrentLines(Doc);  // a relief still to render takes the lines as drawn
        const PreviewSettings views = ReadPreviewSettings(PreviewTexts(QString::number(Doc.FocusLayer)));
        const PreparedPrint prepared = PreparePrint(Doc, PrintTexts(), views.Offsets, views.FocusOffset);
        PrintSettingsOutcome print = prepared.Print;
        print.Settings.Finish = FinishAsked();
        const PrintGeometry &geometry = prepared.Geometry;
        if (print.Lpi.Replaced)
            LpiEdit->setText(print.Lpi.Shown);
        if (print.WidthCm.Replaced)
            WidthEdit->setText(print.WidthCm.Shown);
        // A print whose views move a layer more than one lens width ghosts:
        // the designer decides before the work starts.
        if (prepared.Guidance.Ghosts() &&
            !Platform.AskProceed(DepthGuidanceText(prepared.Guidance), QStringLiteral("Vistrel"),
                                 tr("Export anyway")))
            return;

        // The export ends a running animation, as Stop would.
        if (AnimationRunning)
            StopAnimation();
        Doc.PreviewStop = PreviewStopped;
        setEnabled(false);
        int shown = -1;
        ExportPrint(Doc, print.Settings, views.Offsets, views.FocusOffset, path, [this, &shown](int percent) {
            SetProgress(percent);
            if (percent != shown) {  // let the window repaint as the bar moves
                shown = percent;
                Platform.ProcessMessages();
            }
        });
        FullViewFiles.clear();
        for (int n = ViewCount; n >= 1; --n)
            FullViewFiles << WorkFileName3(QStringLiteral("vwd"), n);
        // The print was made without view files; the layered PSD makes them
        // when asked, from the views as printed.
        PrintedViews = {views.Offsets, views.FocusOffset, Doc.Depth, Doc.CentreView, Doc.Layers, Doc.LayerLines, Doc.CropLeft, Doc.CropWidth};
        FullViewsWritten = false;
        Doc.PrintWritten = 1;
        ShowWritten(path, geometry.Columns, geometry.Rows, Doc.OutputWidthCm, Doc.OutputHeightCm);
        if (Doc.CropWidth > 0)
            SetPanelText(10, PanelText(10) + QStringLiteral("  ") +
                                 CropText(Doc, print.Settings.WidthCm, print.Settings.HeightCm));
        if (EmbedIccCheck->isChecked() && Doc.IccProfile.isEmpty())
            SetPanelText(10, PanelText(10) + QStringLiteral("  ") +
                                 tr("The PSD holds no colour profile; none is embedded."));
        Platform.Beep();
    });
}

void MainWindow::ShowWritten(const QString &path, int64_t width, int64_t height, Fixed4 widthCm, Fixed4 heightCm)
{
    SetPanelText(10, tr("%1 written: %2 x %3 pixels, %4 x %5 cm.")
                         .arg(QFileInfo(path).fileName(), GroupedText(width), GroupedText(height), CentimetresText(widthCm),
                              CentimetresText(heightCm)));
}

namespace {

// Whether two layer tables compose the same views: groups and relief settings.
bool SameComposition(const LayerTable &a, const LayerTable &b)
{
    return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](const Layer &x, const Layer &y) {
        return x.GroupId == y.GroupId && x.BaseOrder == y.BaseOrder && x.Smooth == y.Smooth &&
               x.ReliefDepth == y.ReliefDepth && x.Left == y.Left && x.Top == y.Top;
    });
}

}  // namespace

void MainWindow::ExportLayeredPsd()
{
    if (!ExportPsdItem->isEnabled())
        return;
    const QString path = AskSaveName(tr("Export *.psd"), tr("Photoshop File (*.PSD *.psd)"),
                                     QStringLiteral("psd"), RememberedName(QStringLiteral("layered-psd"), LayeredPsdFileName));
    RememberFolder(QStringLiteral("layered-psd"), path);
    if (path.isEmpty())
        return;
    RunCommand([&] {
        RefuseSpecialTarget(path);  // before any work
        CheckLayeredPsdSize(PrintedViews.CropWidth > 0 ? PrintedViews.CropWidth : Doc.ImageWidth, Doc.ImageHeight,
                            ChannelsOfColorMode(Doc.PsdColorMode));
        if (!FullViewsWritten) {
            // The views are made as they were printed; a relief or a group
            // changed since then would give other views than the print's.
            if (Doc.DrawLineActive == 1)
                StoreCurrentLines(Doc);
            if (!SameComposition(PrintedViews.Layers, Doc.Layers) || PrintedViews.Lines != Doc.LayerLines)
                throw VistrelError(tr("The layers have changed since the print was made. Export the "
                                                  "print again, then the layered PSD."));
            const Fixed4 depth = Doc.Depth;
            const int32_t centre = Doc.CentreView, cropLeft = Doc.CropLeft, cropWidth = Doc.CropWidth;
            auto putBack = [&] {
                Doc.Depth = depth;
                Doc.CentreView = centre;
                Doc.CropLeft = cropLeft;
                Doc.CropWidth = cropWidth;
            };
            Doc.Depth = PrintedViews.Depth;
            Doc.CentreView = PrintedViews.CentreView;
            Doc.CropLeft = PrintedViews.CropLeft;
            Doc.CropWidth = PrintedViews.CropWidth;
            try {
                WriteFullResolutionViews(Doc, PrintedViews.Offsets, PrintedViews.FocusOffset,
                                         [this](int p) { SetProgress(p); });
            } catch (...) {
                putBack();
                throw;
            }
            putBack();
            FullViewsWritten = true;
        }
        SetProgress(80);
        WriteLayeredPsd(path, ViewCount, Doc.PsdColorMode, FinishAsked().IccProfile);
        SetProgress(100);
        ShowWritten(path, Doc.ImageWidth, Doc.ImageHeight, Doc.PsdWidthCm, Doc.PsdHeightCm);
        Platform.Beep();
    });
}

void MainWindow::ExportAnimatedGif()
{
    if (!ExportGifItem->isEnabled())
        return;
    GifFileName = ReplaceExtension(Doc.PsdPath, QStringLiteral(".gif"));
    const QString path =
        AskSaveName(tr("Gif save"), tr("Gif (*.gif)"), QStringLiteral("gif"),
                    RememberedName(QStringLiteral("gif"), GifFileName));
    RememberFolder(QStringLiteral("gif"), path);
    if (path.isEmpty())
        return;
    RunCommand([&] {
        RefuseSpecialTarget(path);  // before any work
        ExportViewsGif(800, 10, path, Doc.PsdColorMode, [this](int p) { SetProgress(p); },
                       AdaptiveGifPaletteItem->isChecked() ? GifPaletteKind::Adaptive : GifPaletteKind::Halftone);
        // The frames show the whole picture, so they stand for its size in centimetres.
        const QSize frame = GifFrameSize(QSize(Doc.WorkWidth, Doc.WorkHeight), 800);
        ShowWritten(path, frame.width(), frame.height(), Doc.PsdWidthCm, Doc.PsdHeightCm);
        Platform.Beep();
    });
}

void MainWindow::ExportPitchTest()
{
    // The range, offered half an LPI either side of the LPI typed in steps of 0.1.
    Fixed4 typed = LpiReplacement;  // the field's own replacement when it holds no number
    try {
        typed = CheckLpi(StrToFixed4(LpiEdit->text())).Value;
    } catch (const VistrelError &) {
    }
    QString from = ShortFixed4Text(std::max(LpiLow, typed - Fixed4One / 2));
    QString to = ShortFixed4Text(std::min(LpiHigh, typed + Fixed4One / 2));
    QString step = QStringLiteral("0.1");
    if (!Platform.AskPitchRange(from, to, step))
        return;
    FileDialogRequest request;
    request.Title = tr("Pitch test print");
    request.Filter = tr("Tiff (*.tif)");
    request.DefaultExtension = QStringLiteral("tif");
    request.FileName = Doc.PsdPath.isEmpty() ? QStringLiteral("pitch-test.tif")
                                         : QFileInfo(Doc.PsdPath).absoluteDir().filePath(QStringLiteral("pitch-test.tif"));
    request.FileName = RememberedName(QStringLiteral("print"), request.FileName);
    const QString path = Platform.SaveFileName(request);
    RememberFolder(QStringLiteral("print"), path);
    if (path.isEmpty())
        return;
    RunCommand([&] {
        const PrintSettingsOutcome print = ReadPrintSettings(PrintTexts(), Doc.AspectRatio, Doc.MaxWidthCm);
        const PitchTestSettings settings{StrToFixed4(from), StrToFixed4(to), StrToFixed4(step), print.Settings.Dpi,
                                         print.Settings.WidthCm};
        const PitchTestLayout layout = WritePitchTest(settings, path, [this](int p) { SetProgress(p); });
        ShowWritten(path, layout.Width, layout.Height, settings.WidthCm,
                    RoundDiv(int64_t(layout.Height) * 254 * 1'000'000, settings.Dpi));  // 2.54 cm an inch
        Platform.Beep();
    });
}

void MainWindow::ShowAnaglyph()
{
    // The animation must not put another view over the anaglyph.
    StopAnimation();
    if (AnimationRunning)
        EndAnimation();
    const bool done = RunCommand([this] {
        const QImage anaglyph = AnaglyphOfViews(Doc.PsdColorMode);
        PictureView->SetPicture(anaglyph);
        OpenProjectFileName = ReplaceExtension(Doc.PsdPath, QStringLiteral(".hx4p3"));
        SaveImage(anaglyph, AnaglyphPath(Doc.PsdPath));
        ShowWritten(AnaglyphPath(Doc.PsdPath), anaglyph.width(), anaglyph.height(), Doc.PsdWidthCm, Doc.PsdHeightCm);
    }, false);
    if (done)
        Platform.ShowMessage(HintGlasses);
}
