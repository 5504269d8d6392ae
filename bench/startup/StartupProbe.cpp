// Linked into benchmark builds of a window program (Plotmeter's own main, or the bare
// window the benchmark holds it against); never into the program users get.
//
// It notes when the program has put something on screen and prints, on one line,
//     shown shown_ms=<ms since PLOTMETER_BENCH_T0> cpu_ms=<user + system> peak_kb=<VmHWM> rss_kb=<VmRSS>
// then ends the process at once. Without arguments "on screen" is the first top-level
// window exposed and painted; with a picture named on the command line, it is the first
// paint of the widget that shows it (objectName "plotImage"); either way the note is taken
// once the display server has drawn what the program sent. PLOTMETER_BENCH_T0 is the
// wall-clock time, in seconds, at which the driving script started the process.
//
// In Plotmeter (built with PROBE_KNOWS_PLOT_IMAGE_WIDGET) and with
// PLOTMETER_BENCH_AFTER_REDUCED_COPIES=1 in the environment, the note is taken only once
// the picture's reduced copies are all made as well, so that the peak memory includes
// them; the line then ends with copies=<how many>. A picture shown without them ends the
// process with "nocopies".
#ifdef PROBE_KNOWS_PLOT_IMAGE_WIDGET
#include "desktop/picture/PicturePyramid.h"
#include "desktop/picture/PlotImageWidget.h"
#endif

#include <QApplication>
#include <QDialog>
#include <QEvent>
#include <QFile>
#include <QPixmap>
#include <QScreen>
#include <QTimer>
#include <QWidget>
#include <QWindow>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <sys/resource.h>

namespace {

double wallClockSeconds()
{
    timespec now{};
    clock_gettime(CLOCK_REALTIME, &now);
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) * 1e-9;
}

// The script's stamp may carry a decimal comma, as bash prints it under some locales.
double startStamp()
{
    QByteArray stamp = qgetenv("PLOTMETER_BENCH_T0");
    stamp.replace(',', '.');
    bool ok = false;
    const double seconds = stamp.toDouble(&ok);
    return ok ? seconds : -1.0;
}

QByteArray statusField(const QByteArray& status, const char* name)
{
    for (const QByteArray& line : status.split('\n'))
        if (line.startsWith(name))
            return line.mid(static_cast<int>(qstrlen(name))).replace("kB", "").trimmed();
    return "?";
}

// A round trip to the display server: once it returns, the server has carried out
// every drawing request the program sent before, so the window is on screen.
void waitForDisplayServer()
{
    if (QScreen* screen = QGuiApplication::primaryScreen())
        screen->grabWindow(0, 0, 0, 1, 1);
}

// Reduced copies made when the note was taken; negative when not asked for.
int copiesMade = -1;

[[noreturn]] void finish(const char* outcome, int exitStatus)
{
    waitForDisplayServer();
    const double start = startStamp();
    const double elapsedMs = start > 0.0 ? (wallClockSeconds() - start) * 1e3 : -1.0;
    QFile file(QStringLiteral("/proc/self/status"));
    const QByteArray status = file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    const double cpuMs = static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) * 1e3 +
                         static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) * 1e-3;
    std::printf("%s shown_ms=%.3f cpu_ms=%.3f peak_kb=%s rss_kb=%s", outcome, elapsedMs, cpuMs,
                statusField(status, "VmHWM:").constData(), statusField(status, "VmRSS:").constData());
    if (copiesMade >= 0)
        std::printf(" copies=%d", copiesMade);
    std::printf("\n");
    std::fflush(stdout);
    std::_Exit(exitStatus);
}

class StartupProbe : public QObject {
  public:
    StartupProbe(bool waitForPicture, bool waitForCopies)
        : waitForPicture_(waitForPicture), waitForCopies_(waitForPicture && waitForCopies)
    {
        // A program that never shows what it should must not hang the benchmark.
        QTimer::singleShot(120'000, this, [] { finish("timeout", 4); });
    }

  protected:
    bool eventFilter(QObject* object, QEvent* event) override
    {
        if (armed_)
            return false;
        if (event->type() == QEvent::Show && object->isWidgetType()) {
            // An alert instead of the picture: the program refused it.
            if (qobject_cast<QDialog*>(object) != nullptr)
                finish("alert", 3);
        } else if (!waitForPicture_ && event->type() == QEvent::Expose) {
            auto* window = qobject_cast<QWindow*>(object);
            if (window != nullptr && window->isTopLevel() && window->isExposed())
                arm();
        } else if (waitForPicture_ && event->type() == QEvent::Paint &&
                   object->objectName() == QLatin1String("plotImage")) {
            if (waitForCopies_)
                waitForCopies(object);
            else
                arm();
        }
        return false;
    }

  private:
    // The picture is painted; the note waits for its reduced copies, made in a worker
    // thread and handed over one by one.
    void waitForCopies([[maybe_unused]] QObject* shown)
    {
        armed_ = true;
#ifdef PROBE_KNOWS_PLOT_IMAGE_WIDGET
        const auto* widget = qobject_cast<const PlotImageWidget*>(shown);
        const PicturePyramid* copies = widget != nullptr ? widget->pyramid() : nullptr;
        if (copies == nullptr)
            finish("nocopies", 5);
        const auto noteWhenComplete = [this, copies] {
            if (copies->complete()) {
                copiesMade = static_cast<int>(copies->levels());
                QTimer::singleShot(0, this, [] { finish("shown", 0); });
            }
        };
        connect(copies, &PicturePyramid::levelReady, this, noteWhenComplete);
        noteWhenComplete();
#else
        finish("nocopies", 5);
#endif
    }

    // The event under way paints and flushes the window; the note is taken right after.
    void arm()
    {
        armed_ = true;
        QTimer::singleShot(0, this, [] { finish("shown", 0); });
    }

    bool waitForPicture_;
    bool waitForCopies_;
    bool armed_ = false;
};

void installStartupProbe()
{
    auto* application = QCoreApplication::instance();
    application->installEventFilter(new StartupProbe(QCoreApplication::arguments().size() > 1,
                                                     qgetenv("PLOTMETER_BENCH_AFTER_REDUCED_COPIES") == "1"));
}

} // namespace

Q_COREAPP_STARTUP_FUNCTION(installStartupProbe)
