// The fixture every window test shares: scripted platform services, the main
// window started on them (its document is the window's own), and documents to import.
#pragma once

#include "Document.h"
#include "ScriptedPlatform.h"
#include "MainWindow.h"

#include <QByteArray>
#include <gtest/gtest.h>
#include <memory>

class WindowTest : public ::testing::Test {
protected:
    void TearDown() override;

    // A new main window, started up (work folder, settings file). Shown, at
    // the given size, unless `show` is false.
    MainWindow &Start(bool show = true, int width = 1000, int height = 700);
    // Writes a PSD into the sandbox and returns its path.
    QString WritePsd(const QString &name, const QByteArray &bytes);
    // Imports through the toolbar button, answering the open dialog.
    void Import(const QString &path);

    ScriptedPlatform platform;
    std::unique_ptr<MainWindow> form;
};

// The window with SevenLayerDocument(mode) imported, for the preview and the outputs.
class ImportedWindowTest : public WindowTest {
protected:
    void Open(uint16_t mode = 3);
    // The view file the animation shows for view 1..7.
    QImage ViewFile(int view) const;

    QString psd;
};

// Seven ungrouped layers on a 210 x 70 canvas, so that every view differs.
QByteArray SevenLayerDocument(uint16_t mode = 3);

// The caption as shown: Qt puts "*" for the "[*]" mark when the window is
// modified and nothing otherwise.
QString ShownTitle(const QWidget &window);
