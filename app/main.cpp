// Program entry: the main window, the splash, the message loop.
#include "AboutBox.h"
#include "CommandLine.h"
#include "Jobs.h"
#include "Document.h"
#include "Interruption.h"
#include "ProjectFile.h"
#include "PlatformQt.h"
#include "MainWindow.h"

#include <QApplication>
#include <QFileInfo>
#include <QScreen>
#include <cstdio>

namespace {

bool HasDisplay()
{
#if defined(Q_OS_LINUX) || defined(Q_OS_FREEBSD)
    return !qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") || !qEnvironmentVariableIsEmpty("DISPLAY") ||
           !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY");
#else
    return true;
#endif
}

QStringList Arguments(int argc, char **argv)
{
    QStringList arguments;
    for (int i = 1; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    return arguments;
}

}  // namespace

int main(int argc, char **argv)
{
    // Before any thread starts, so that every thread inherits it.
    InstallInterruptionCleanup();
    const CommandLine options = ParseCommandLine(Arguments(argc, argv));
    if (options.Help) {
        std::fputs(UsageText, stdout);
        return 0;
    }
    if (!options.Error.isEmpty()) {
        std::fprintf(stderr, "vistrel: %s\n\n%s", options.Error.toLocal8Bit().constData(), UsageText);
        return 2;
    }
    if (options.Info) {
        QCoreApplication app(argc, argv);
        return RunInfo(options, stdout, stderr);
    }
    if (!options.Job.isEmpty() || (!options.Report.isEmpty() && options.IsBatch())) {
        // A design of a job may ask for marks, whose slug line needs fonts (see below).
        if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
            qputenv("QT_QPA_PLATFORM", "offscreen");
        QGuiApplication app(argc, argv);
        return options.Job.isEmpty() ? RunReported(options, stdout, stderr) : RunJob(options, stdout, stderr);
    }
    if (options.IsBatch()) {
        if (options.Marks) {
            // The slug line's text needs fonts, which need a GUI application:
            // one without a screen, so that a batch runs anywhere.
            if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
                qputenv("QT_QPA_PLATFORM", "offscreen");
            QGuiApplication app(argc, argv);
            return RunBatch(options, stdout, stderr);
        }
        QCoreApplication app(argc, argv);
        return RunBatch(options, stdout, stderr);
    }
    if (!HasDisplay()) {
        std::fputs("vistrel: no display found (DISPLAY is not set). Vistrel is a desktop program: run it on a "
                   "desktop, or under a virtual display with 'xvfb-run -a vistrel'.\n",
                   stderr);
        return 2;
    }

    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Vistrel"));
    InstallQtPlatform();

    MainWindow form;
    if (!form.StartUp(options.WorkFolder))
        return 1;

    // The about window is the splash: up for two seconds, or until clicked.
    {
        AboutBox splash;
        splash.show();
        splash.repaint();
        while (splash.TimerRunning() && splash.isVisible())
            QApplication::processEvents(QEventLoop::WaitForMoreEvents);
    }

    // Without a window manager "maximised" means nothing: fill the screen first.
    if (QScreen *screen = QGuiApplication::primaryScreen())
        form.setGeometry(screen->availableGeometry());
    form.showMaximized();
    if (!options.PsdFile.isEmpty()) {
        QApplication::processEvents();  // the picture area has its size before the fit
        const QString file = QFileInfo(options.PsdFile).absoluteFilePath();
        if (IsProjectFile(file))
            form.OpenProject(file);
        else
            form.ImportPsd(file);
    }
    return app.exec();
}
