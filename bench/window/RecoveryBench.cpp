// Goal 14: keeping a recovery copy of a 100,000-point document never holds up the window:
// the window's part of a copy (the document copied and handed to a worker, which makes the
// text and writes it) takes a fraction of saving the project once.
#include "desktop/window/RecoveryCopy.h"
#include "document/ProjectFile.h"
#include "window/WindowBenchmarks.h"
#include "window/WindowRig.h"

#include <QDir>
#include <QElapsedTimer>
#include <QTemporaryDir>

namespace {

constexpr int rows = 100'000;
const char* const copyName = "recovery copy/window's part, 100,000 points";
const char* const saveName = "recovery copy/save the project once, 100,000 points";

void windowsPart(benchmark::State& state)
{
    WindowRig& rig = keptWindowWithDataRows(rows);
    RecoveryCopy& copy = rig.window.recovery();
    for (auto _ : state) {
        QElapsedTimer clock;
        clock.start();
        copy.writeNow();
        state.SetIterationTime(static_cast<double>(clock.nsecsElapsed()) * 1e-9);
        copy.waitForWriting(); // the worker's part, not the window's
    }
    if (!copy.exists())
        state.SkipWithError("no recovery copy was written");
}

void saveOnce(benchmark::State& state)
{
    WindowRig& rig = keptWindowWithDataRows(rows);
    QTemporaryDir folder;
    const std::string path = QFile::encodeName(folder.filePath(QStringLiteral("saved.plotmeter"))).toStdString();
    for (auto _ : state) {
        std::string error;
        if (!writeProjectFile(rig.manager().document(), path, error)) {
            state.SkipWithError(error.c_str());
            break;
        }
    }
}

} // namespace

void registerRecoveryBenchmarks()
{
    benchmark::RegisterBenchmark(copyName, windowsPart)
        ->Iterations(20)
        ->Repetitions(7)
        ->DisplayAggregatesOnly(true)
        ->ComputeStatistics("fastest", fastestRepetition)
        ->UseManualTime()
        ->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark(saveName, saveOnce)
        ->Iterations(10)
        ->Repetitions(7)
        ->DisplayAggregatesOnly(true)
        ->ComputeStatistics("fastest", fastestRepetition)
        ->UseRealTime()
        ->Unit(benchmark::kMillisecond);
}

void recoveryRows(const RunTimes& times, std::vector<FigureRow>& rows)
{
    rows.push_back(timeRow(14, "keep a recovery copy of a 100,000-point document: the window's part vs saving the project once",
                           times, copyName, saveName, 0.25));
}
