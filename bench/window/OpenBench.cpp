// Goal 2, time: opening a large picture in the window, from the command to the picture
// painted, costs at most 1.15 times decoding the file with QImageReader alone.
// (Memory is measured on the whole process by bench/startup-figures.)
#include "desktop/PlotImageWidget.h"
#include "window/WindowBenchmarks.h"
#include "window/WindowRig.h"

#include <QElapsedTimer>
#include <QImageReader>
#include <memory>

namespace {

QStringList measured;

std::string runName(const QString& path, const char* who)
{
    return ("open/" + pictureLabel(path) + "/" + QLatin1String(who)).toStdString();
}

// Each open is in a freshly started window; making and closing it is not timed.
void openInWindow(benchmark::State& state, const QString& path)
{
    for (auto _ : state) {
        auto rig = std::make_unique<WindowRig>();
        QElapsedTimer clock;
        clock.start();
        const bool opened = rig->openPicture(path);
        state.SetIterationTime(static_cast<double>(clock.nsecsElapsed()) * 1e-9);
        if (!opened) {
            state.SkipWithError(rig->platform.lastAlert.c_str());
            break;
        }
    }
}

void decodeAlone(benchmark::State& state, const QString& path)
{
    for (auto _ : state) {
        QImageReader::setAllocationLimit(0);
        QElapsedTimer clock;
        clock.start();
        QImageReader reader(path);
        reader.setAutoTransform(true);
        const QImage image = reader.read();
        state.SetIterationTime(static_cast<double>(clock.nsecsElapsed()) * 1e-9);
        if (image.isNull()) {
            state.SkipWithError(reader.errorString().toStdString().c_str());
            break;
        }
    }
}

// Fewer repetitions at 120 megapixels, where one takes seconds.
void registerOpen(const std::string& name, void (*open)(benchmark::State&, const QString&), const QString& path)
{
    benchmark::RegisterBenchmark(name.c_str(), [open, path](benchmark::State& state) { open(state, path); })
        ->Iterations(1)
        ->Repetitions(path.contains(QLatin1String("120mp")) ? 11 : 15)
        ->DisplayAggregatesOnly(true)
        ->ComputeStatistics("fastest", fastestRepetition)
        ->UseManualTime()
        ->Unit(benchmark::kMillisecond);
}

} // namespace

void registerOpenBenchmarks(const QStringList& pictures)
{
    measured = pictures;
    for (const QString& path : pictures) {
        registerOpen(runName(path, "plotmeter"), openInWindow, path);
        registerOpen(runName(path, "QImageReader"), decodeAlone, path);
    }
}

void openRows(const RunTimes& times, std::vector<FigureRow>& rows)
{
    // The goal is for large pictures; the small sample plot shows what opening costs
    // besides decoding.
    for (const QString& path : std::as_const(measured))
        rows.push_back(timeRow(2, "open " + pictureLabel(path).toStdString() + ": time vs QImageReader alone", times,
                               runName(path, "plotmeter"), runName(path, "QImageReader"),
                               path.endsWith(QLatin1String("sample-plot.png")) ? noGoal : 1.15));
}
