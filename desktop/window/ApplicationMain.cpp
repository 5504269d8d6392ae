#include "desktop/window/ApplicationMain.h"

#include "desktop/files/ImageLoading.h"
#include "desktop/window/FontWarmUp.h"
#include "desktop/window/MainWindow.h"
#include "desktop/window/PlotmeterStyle.h"
#include "desktop/window/QtPlatform.h"
#include "desktop/window/SessionBus.h"

#include <QApplication>
#include <QFileInfo>
#include <QIcon>
#include <QImage>
#include <QPixmap>
#include <QTimer>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

// Without a display, Qt would stop with a page about platform plugins; one plain line
// says what is wrong instead. An explicitly chosen platform (QT_QPA_PLATFORM or
// -platform) is left to Qt.
const char* missingDisplay(int argc, char** argv)
{
#if defined(Q_OS_LINUX)
    const char* platform = std::getenv("QT_QPA_PLATFORM");
    if (platform != nullptr && *platform != '\0')
        return nullptr;
    for (int i = 1; i < argc; ++i)
        if (std::strcmp(argv[i], "-platform") == 0)
            return nullptr;
    const char* wayland = std::getenv("WAYLAND_DISPLAY");
    if (wayland != nullptr && *wayland != '\0')
        return nullptr;
    const char* display = std::getenv("DISPLAY");
    if (display == nullptr || *display == '\0')
        return "plotmeter: no display to show the window on (DISPLAY is not set); "
               "start it from a desktop session, or under xvfb-run";
    // A local display ":N" has its socket in /tmp/.X11-unix.
    if (display[0] == ':') {
        const QString number = QString::fromLatin1(display + 1).section(QLatin1Char('.'), 0, 0);
        if (!QFileInfo::exists(QStringLiteral("/tmp/.X11-unix/X") + number))
            return "plotmeter: no display to show the window on (nothing answers at DISPLAY); "
                   "start it from a desktop session, or under xvfb-run";
    }
#else
    (void)argc;
    (void)argv;
#endif
    return nullptr;
}

} // namespace

int plotmeterApplicationMain(int argc, char** argv)
{
    if (const char* why = missingDisplay(argc, argv)) {
        std::fprintf(stderr, "%s\n", why);
        return 1;
    }
    BusLaunchSkip busLaunch; // first: it changes the environment
    FontWarmUp fonts;
    QApplication application(argc, argv);
    fonts.applicationMade();
    QApplication::setStyle(new PlotmeterStyle); // the desktop's style, or -style's
    QApplication::setOrganizationName(QStringLiteral("Plotmeter"));
    QApplication::setApplicationName(QStringLiteral("Plotmeter"));
    QApplication::setApplicationDisplayName(QStringLiteral("Plotmeter"));
    holdImagePlugins(); // before any picture is read: see ImageLoading.h
    QApplication::setWindowIcon(QIcon(QPixmap::fromImage(readImageAs(QStringLiteral(":/plotmeter.png"), "png"))));

    const QStringList arguments = QApplication::arguments().mid(1);
    if (!arguments.isEmpty())
        decodeAhead(arguments.constFirst()); // a PNG, while the window is built

    fonts.useStandIn(); // before the first widget
    QtPlatform platform;
    MainWindow window(platform);
    window.show();
    fonts.finish();
    busLaunch.end();
    window.launch(arguments);
    forgetDecodeAhead(); // what the start did not open
    // A second after the window shows, the plugins are there for whatever comes next.
    QTimer::singleShot(1000, &window, &releaseImagePlugins);
    return QApplication::exec();
}
