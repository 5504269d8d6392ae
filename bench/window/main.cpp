// The benchmarks of the assembled window under the offscreen platform: opening large
// pictures, painting and scrolling them, zooming them and following the cursor over them,
// long tables.
// Usage: bench_window --pictures=<folder> [Google Benchmark flags]
#include "window/WindowBenchmarks.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <cstring>

namespace {

std::vector<FigureRow> allRows(const RunTimes& times)
{
    std::vector<FigureRow> rows;
    openRows(times, rows);
    paintRows(times, rows);
    zoomRows(times, rows);
    pointerRows(times, rows);
    tableRows(times, rows);
    recoveryRows(times, rows);
    return rows;
}

// The pictures in the order of the table: the sample plot, then by size, PNG, JPEG, TIFF.
QStringList picturesIn(const QString& folder)
{
    QStringList found;
    const QString sample = QDir(folder).filePath(QStringLiteral("sample-plot.png"));
    if (QFileInfo::exists(sample))
        found << sample;
    for (const char* size : {"12", "48", "120"})
        for (const char* suffix : {"png", "jpg", "tif"}) {
            const QString path =
                QDir(folder).filePath(QStringLiteral("plot-%1mp.%2").arg(QLatin1String(size), QLatin1String(suffix)));
            if (QFileInfo::exists(path))
                found << path;
        }
    return found;
}

// The offscreen platform warns about every window it cannot hint sizes for; the rest is
// shown as usual.
QtMessageHandler standardHandler = nullptr;

void quietOffscreenWarnings(QtMsgType type, const QMessageLogContext& context, const QString& message)
{
    if (!message.contains(QLatin1String("does not support propagateSizeHints")))
        standardHandler(type, context, message);
}

} // namespace

int main(int argc, char** argv)
{
    // Our own flag is taken out before Google Benchmark reads the rest.
    QString folder;
    int kept = 1;
    for (int i = 1; i < argc; ++i) {
        if (std::strncmp(argv[i], "--pictures=", 11) == 0)
            folder = QString::fromLocal8Bit(argv[i] + 11);
        else
            argv[kept++] = argv[i];
    }
    argc = kept;
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    standardHandler = qInstallMessageHandler(quietOffscreenWarnings);

    int qtArgc = 1;
    QApplication application(qtArgc, argv);
    const QStringList pictures = picturesIn(folder);
    registerOpenBenchmarks(pictures);
    registerPaintBenchmarks(pictures);
    registerZoomBenchmarks(pictures);
    registerPointerBenchmarks(pictures);
    registerTableBenchmarks();
    registerRecoveryBenchmarks();
    const int status = runBenchmarks(argc, argv, allRows);
    closeKeptWindows();
    return status;
}
