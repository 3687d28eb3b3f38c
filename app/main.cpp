// Program entry: the main window, the splash, the message loop.
#include "AboutBox.h"
#include "PlatformQt.h"
#include "Unit1.h"

#include <QApplication>
#include <QScreen>
#include <cstdio>
#include <cstring>

namespace {

const char *const Usage =
    "Usage: vistrel [options]\n"
    "\n"
    "Vistrel designs lenticular prints from layered PSD files.\n"
    "\n"
    "Options:\n"
    "  --help    print this text and exit\n";

bool HasDisplay()
{
#if defined(Q_OS_LINUX) || defined(Q_OS_FREEBSD)
    return !qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") || !qEnvironmentVariableIsEmpty("DISPLAY") ||
           !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY");
#else
    return true;
#endif
}

}  // namespace

int main(int argc, char **argv)
{
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--help") == 0 || std::strcmp(argv[i], "-h") == 0) {
            std::fputs(Usage, stdout);
            return 0;
        }
        std::fprintf(stderr, "vistrel: unknown option '%s'\n\n%s", argv[i], Usage);
        return 2;
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

    TForm1 form;
    if (!form.FormCreate())
        return 1;

    // The about window is the splash: up for two seconds, or until clicked.
    {
        TAboutBox splash;
        splash.show();
        splash.repaint();
        while (splash.TimerRunning() && splash.isVisible())
            QApplication::processEvents(QEventLoop::WaitForMoreEvents);
    }

    // Without a window manager "maximised" means nothing: fill the screen first.
    if (QScreen *screen = QGuiApplication::primaryScreen())
        form.setGeometry(screen->availableGeometry());
    form.showMaximized();
    return app.exec();
}
