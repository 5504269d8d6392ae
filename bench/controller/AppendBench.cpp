// Goal 4, without a window: appending a data row through newScreenPoint costs the same
// with 100,000 rows in the table as with 1,000.
#include "controller/ControllerBenchmarks.h"
#include "controller/ControllerRig.h"

namespace {

constexpr int appendsPerRepetition = 500;

void appendRow(benchmark::State& state, int rows)
{
    ControllerRig rig;
    rig.calibrateAndAcquire();
    rig.addDataRows(rows);
    for (auto _ : state)
        rig.manager.newScreenPoint(rig.nextPoint());
    if (rig.platform.alerts != 0)
        state.SkipWithError(rig.platform.lastAlert.c_str());
}

std::string runName(int rows)
{
    return "append/controller/" + std::to_string(rows) + " rows";
}

} // namespace

void registerAppendBenchmarks()
{
    for (int rows : {1'000, 100'000})
        benchmark::RegisterBenchmark(runName(rows).c_str(), [rows](benchmark::State& state) { appendRow(state, rows); })
            ->Iterations(appendsPerRepetition)
            ->Repetitions(15)
            ->DisplayAggregatesOnly(true)
            ->ComputeStatistics("fastest", fastestRepetition)
            ->UseRealTime();
}

void appendRows(const RunTimes& times, std::vector<FigureRow>& rows)
{
    rows.push_back(timeRow(4, "append a data row via newScreenPoint, no window: at 100,000 rows vs at 1,000", times,
                           runName(100'000), runName(1'000), 1.5));
}
