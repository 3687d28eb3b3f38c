#include "PlatformQt.h"

#include "Document.h"
#include "Platform.h"
#include "PresetsDialog.h"

#include <QApplication>
#include <QDesktopServices>
#include <QDir>
#include <QFileDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QUrl>

namespace {

QString RunFileDialog(const FileDialogRequest &request, QFileDialog::AcceptMode mode)
{
    QFileDialog dialog(QApplication::activeWindow(), request.Title, request.InitialFolder, request.Filter);
    dialog.setAcceptMode(mode);
    dialog.setFileMode(mode == QFileDialog::AcceptOpen ? QFileDialog::ExistingFile : QFileDialog::AnyFile);
    dialog.setDefaultSuffix(request.DefaultExtension);
    if (!request.FileName.isEmpty())
        dialog.selectFile(request.FileName);
    if (!request.PromptOverwrite)
        dialog.setOption(QFileDialog::DontConfirmOverwrite);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    return QDir::toNativeSeparators(dialog.selectedFiles().first());
}

}  // namespace

void InstallQtPlatform()
{
    Platform.ShowMessage = [](const QString &text) {
        QMessageBox::information(QApplication::activeWindow(), QStringLiteral("Vistrel"), text);
    };
    Platform.AskYesNo = [](const QString &text, const QString &title) {
        return QMessageBox::question(QApplication::activeWindow(), title, text, QMessageBox::Yes | QMessageBox::No) ==
               QMessageBox::Yes;
    };
    Platform.AskProceed = [](const QString &text, const QString &title, const QString &proceed) {
        QMessageBox box(QMessageBox::Warning, title, text, QMessageBox::NoButton, QApplication::activeWindow());
        QPushButton *go = box.addButton(proceed, QMessageBox::AcceptRole);
        box.setDefaultButton(box.addButton(QMessageBox::Cancel));
        box.exec();
        return box.clickedButton() == go;
    };
    Platform.AskPitchRange = [](QString &from, QString &to, QString &step) {
        PitchRangeDialog dialog(from, to, step, QApplication::activeWindow());
        if (dialog.exec() != QDialog::Accepted)
            return false;
        from = dialog.From->text(), to = dialog.To->text(), step = dialog.Step->text();
        return true;
    };
    Platform.AskSaveChanges = [](const QString &text, const QString &title) {
        QMessageBox box(QMessageBox::Warning, title, text, QMessageBox::NoButton, QApplication::activeWindow());
        QPushButton *save = box.addButton(QMessageBox::Save);
        QPushButton *discard = box.addButton(QMessageBox::Discard);
        box.setDefaultButton(box.addButton(QMessageBox::Cancel));
        box.exec();
        return box.clickedButton() == save      ? SaveChoice::Save
               : box.clickedButton() == discard ? SaveChoice::Discard
                                                : SaveChoice::Cancel;
    };
    Platform.OpenFileName = [](const FileDialogRequest &r) { return RunFileDialog(r, QFileDialog::AcceptOpen); };
    Platform.SaveFileName = [](const FileDialogRequest &r) { return RunFileDialog(r, QFileDialog::AcceptSave); };
    Platform.Beep = [] { QApplication::beep(); };
    // Nested busy commands each set the cursor once; only as many are put back.
    Platform.SetBusyCursor = [busyDepth = 0](bool busy) mutable {
        if (busy) {
            ++busyDepth;
            QApplication::setOverrideCursor(Qt::WaitCursor);
        } else if (busyDepth > 0) {
            --busyDepth;
            QApplication::restoreOverrideCursor();
        }
    };
    Platform.ProcessMessages = [] { QApplication::processEvents(); };
    Platform.ShellOpen = [](const QString &target) {
        const QUrl url = target.contains(QLatin1String("://")) ? QUrl(target) : QUrl::fromLocalFile(target);
        QDesktopServices::openUrl(url);
    };
}
