// Goal 8, without a window: undoing a Clear Data of 10,000 points takes no longer than the
// Clear itself. Both are timed one at a time on the same controller, which goes back and
// forth between 10,000 points (the clear is timed from there) and none with the clear
// to undo (the undo is timed from there); the other half of each round is not timed.
#include "controller/ControllerBenchmarks.h"
#include "controller/ControllerRig.h"

#include <chrono>

namespace {

constexpr int clearedPoints = 10'000;

double secondsSince(std::chrono::steady_clock::time_point start)
{
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

void clearAndUndo(benchmark::State& state, bool timeTheUndo)
{
    ControllerRig rig;
    rig.calibrateAndAcquire();
    rig.addDataRows(clearedPoints);
    const auto pointCount = [&rig] { return static_cast<int>(rig.manager.document().active().points.size()); };
    for (auto _ : state) {
        auto start = std::chrono::steady_clock::now();
        rig.manager.clearData();
        if (!timeTheUndo)
            state.SetIterationTime(secondsSince(start));
        const int cleared = pointCount();

        start = std::chrono::steady_clock::now();
        rig.manager.undo();
        if (timeTheUndo)
            state.SetIterationTime(secondsSince(start));
        if (cleared != 0 || pointCount() != clearedPoints) {
            state.SkipWithError("the clear or its undo did not do what it says");
            break;
        }
    }
    if (rig.platform.alerts != 0)
        state.SkipWithError(rig.platform.lastAlert.c_str());
}

const char* const clearName = "clear data/controller/clear 10,000 points";
const char* const undoName = "clear data/controller/undo the clear";

void registerHalf(const char* name, bool timeTheUndo)
{
    benchmark::RegisterBenchmark(name, [timeTheUndo](benchmark::State& state) { clearAndUndo(state, timeTheUndo); })
        ->Iterations(2'000)
        ->Repetitions(15)
        ->DisplayAggregatesOnly(true)
        ->ComputeStatistics("fastest", fastestRepetition)
        ->UseManualTime()
        ->Unit(benchmark::kNanosecond);
}

} // namespace

void registerUndoBenchmarks()
{
    registerHalf(clearName, false);
    registerHalf(undoName, true);
}

void undoRows(const RunTimes& times, std::vector<FigureRow>& rows)
{
    rows.push_back(
        timeRow(8, "undo Clear Data of 10,000 points, no window: undo vs the clear", times, undoName, clearName, 1.0));
}
