// The project commands: open a project (its PSD is imported and the file
// applied), save it beside the PSD or under a chosen name, and apply a
// project's settings to the open document.
#include "BmpCodec.h"
#include "Document.h"
#include "Errors.h"
#include "Import.h"
#include "Platform.h"
#include "ProjectFile.h"
#include "ReliefLines.h"
#include "MainWindow.h"

#include <QComboBox>
#include <QFileInfo>
#include <QLineEdit>

namespace {

const QString ProjectFilter = QStringLiteral(
    "hx4p3 (*.hx4p3);;hx4p2 (*.hx4p2);;hx4p (*.hx4p);;hx4p3,hx4p2,hx4p (*.hx4p3 *.hx4p2 *.hx4p)");

QString AskProjectToOpen(const QString &title, const QString &initialFolder, const QString &preset)
{
    FileDialogRequest request;
    request.Title = title;
    request.Filter = ProjectFilter;
    request.DefaultExtension = QStringLiteral("hx4p3");
    request.InitialFolder = initialFolder;
    request.FileName = preset;
    request.PromptOverwrite = false;
    return Platform.OpenFileName(request);
}

}  // namespace

void MainWindow::ChooseAndOpenProject()
{
    if (!MayReplaceDesign())
        return;
    if (Doc.DocumentOpen == 1 && !Platform.AskYesNo(tr("continue?"), tr("Confirm")))
        return;
    const QString path = AskProjectToOpen(
        tr("Open project"),
        RememberedFolder(QStringLiteral("project"), Platform.ProgramFolder() + FolderSeparator() + QStringLiteral("sample")),
        QString());
    RememberFolder(QStringLiteral("project"), path);
    if (!path.isEmpty() && !OpenProject(path))
        return;
    Platform.Beep();
}

// Runs a project command and shows the messages of the applied file after it.
bool MainWindow::RunProjectCommand(const std::function<ProjectOutcome()> &body)
{
    ProjectOutcome outcome;
    const bool done = RunCommand([&] { outcome = body(); });
    for (const QString &message : outcome.Messages)
        Platform.ShowMessage(message);
    return done;
}

bool MainWindow::OpenProject(const QString &path)
{
    const bool opened = RunProjectCommand([&] {
        ImportRequest request{QString(), LpiEdit->text(), WidthEdit->text()};
        request.FoldersAsGroups = FoldersAsGroupsItem->isChecked();
        const OpenedProject project = OpenProjectCommand(Doc, path, request, [this](int p) { SetProgress(p); });
        DepthEdit->setText(QStringLiteral("1.0"));
        ShowImported(project.Import);
        ShowProject(project.Project);
        return project.Project;
    });
    if (opened) {
        StartDesignHistory();
        MarkDesignSaved();
        RememberFile(path);
    }
    return opened;
}

bool MainWindow::ApplyProjectFile(const QString &path)
{
    if (Doc.DocumentOpen == 0)
        return false;  // there is no layer table to apply it to
    return RunProjectCommand([&] {
        const ProjectData project = ParseProject(ReadProjectFile(path), path, Doc.LayerCount);
        const ProjectOutcome outcome = ApplyProject(Doc, project, path);
        ShowProject(outcome);
        return outcome;
    });
}

void MainWindow::ShowProject(const ProjectOutcome &out)
{
    LpiEdit->setText(out.LpiText);
    ViewCountEdit->setText(QStringLiteral("7"));
    FocusEdit->setText(out.FocusText);
    DepthEdit->setText(out.DepthText);  // its own handler takes the depth and its limit
    if (out.HasResolution) {
        DpiCombo->setEditText(out.DpiText);
        WidthEdit->setText(out.WidthText);  // its own handler keeps the limit and sets the height
        if (out.HeightText)
            HeightEdit->setText(*out.HeightText);
        else
            WidthChanged();  // the height follows the width even when the width field kept its text
        ColourModeCombo->setCurrentIndex(out.ColorModeIndex);
        HScaleEdit->setText(out.HScaleText);
    }
    for (int row = 1; row <= int(out.RowOffsets.size()); ++row)
        if (const auto &offset = out.RowOffsets[size_t(row - 1)])
            SetCells(2, row, QString::number(*offset));
    for (int row : out.PlainRows)
        SetCells(1, row, QString());
    for (int row : out.ReliefRows)
        SetCells(1, row, QStringLiteral("+"));
    for (const auto &[row, text] : out.GroupCells)
        SetCells(1, row, text);
    setWindowTitle(out.Caption + QStringLiteral("[*]"));  // "[*]": the mark of unsaved changes
    ReloadDrawLinePage();  // the project's lines replace those on the page
}

ProjectFieldTexts MainWindow::ProjectTexts()
{
    // Lines being edited on the DrawLine page belong to the project too.
    if (Doc.DrawLineActive == 1)
        StoreCurrentLines(Doc);
    return FieldTexts();
}

ProjectFieldTexts MainWindow::FieldTexts() const
{
    return {LpiEdit->text(),  FocusEdit->text(),  DepthEdit->text(),  DpiCombo->currentText(), WidthEdit->text(),
            HeightEdit->text(), HScaleEdit->text(), ColourModeCombo->currentIndex(), OffsetCells()};
}

// What a save would write now, the date aside: the design is modified when
// this differs from what the last save, open or import left. Lines on the
// DrawLine page count once stored (leaving the page, a save, or the question
// below stores them), so that reading this never changes the document.
QByteArray MainWindow::DesignText() const
{
    if (Doc.DocumentOpen == 0)
        return {};
    try {
        return ProjectText(Doc, FieldTexts(), QString());
    } catch (const VistrelError &error) {
        // A field that no save would take (half typed): not what was saved.
        return "unsaved: " + error.Message.toUtf8();
    }
}

bool MainWindow::DesignModified() const
{
    return DesignText() != SavedDesign;
}

void MainWindow::MarkDesignSaved()
{
    SavedDesign = DesignText();
    ShowDesignModified();
}

void MainWindow::ShowDesignModified()
{
    setWindowModified(DesignModified());
}

bool MainWindow::MayReplaceDesign()
{
    if (Doc.DocumentOpen == 0)
        return true;
    if (Doc.DrawLineActive == 1)
        StoreCurrentLines(Doc);
    if (!DesignModified())
        return true;
    switch (Platform.AskSaveChanges(tr("Save changes to the design?"), QStringLiteral("Vistrel"))) {
    case SaveChoice::Save:
        SaveProjectBesidePsd();
        return !DesignModified();  // a save that failed keeps the design open
    case SaveChoice::Discard:
        return true;
    case SaveChoice::Cancel:
        break;
    }
    return false;
}

void MainWindow::SaveProjectBesidePsd()
{
    if (Doc.DocumentOpen == 0) {
        Platform.ShowMessage(tr("There is no design to save yet: import a PSD first."));
        return;
    }
    const QString path = ReplaceExtension(Doc.PsdPath, QStringLiteral(".hx4p3"));
    if (RunCommand([&] { SaveProject(Doc, path, ProjectTexts()); })) {
        MarkDesignSaved();
        Platform.Beep();
    }
}

void MainWindow::SaveProjectAs()
{
    if (Doc.DocumentOpen == 0) {
        SaveProjectBesidePsd();  // says why nothing is saved
        return;
    }
    FileDialogRequest request;
    request.Title = tr("Save as project");
    request.Filter = QStringLiteral("hx4p3 (*.hx4p3)");
    request.DefaultExtension = QStringLiteral("hx4p3");
    request.FileName = RememberedName(QStringLiteral("project"), ReplaceExtension(Doc.PsdPath, QStringLiteral(".hx4p3")));
    request.InitialFolder = QFileInfo(request.FileName).absolutePath();
    request.PromptOverwrite = true;
    const QString path = Platform.SaveFileName(request);
    if (path.isEmpty())
        return;
    RememberFolder(QStringLiteral("project"), path);
    if (RunCommand([&] { SaveProject(Doc, path, ProjectTexts()); })) {
        MarkDesignSaved();
        Platform.Beep();
    }
}

void MainWindow::ImportProjectSettings()
{
    if (Doc.DocumentOpen == 0)
        return;
    const QString preset = RememberedName(QStringLiteral("project"), ReplaceExtension(Doc.PsdPath, QStringLiteral(".hx4p2")));
    const QString path = AskProjectToOpen(tr("Import settings"), QFileInfo(preset).absolutePath(), preset);
    RememberFolder(QStringLiteral("project"), path);
    if (!path.isEmpty())
        ApplyProjectFile(path);
}

void MainWindow::ImportDefaultSettings()
{
    ApplyProjectFile(ReplaceExtension(Doc.PsdPath, QStringLiteral(".hx4p3")));
}
