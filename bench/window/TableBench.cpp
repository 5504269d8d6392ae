// Goal 4, in the window: a data row appended through newScreenPoint, with the window
// catching up (rows announced, layout, repaint), costs the same at 100,000 rows as at
// 1,000; and one repaint of the table at 100,000 rows at most 1.2 times one at 1,000.
#include "desktop/PointTableView.h"
#include "window/WindowBenchmarks.h"
#include "window/WindowRig.h"

#include <memory>

namespace {

constexpr int fewRows = 1'000;
constexpr int manyRows = 100'000;

std::string runName(const char* what, int rows)
{
    return std::string(what) + "/" + std::to_string(rows) + " rows";
}

// Each repetition starts from a window with exactly `rows` rows.
void appendRow(benchmark::State& state, int rows)
{
    auto rig = std::make_unique<WindowRig>(WindowRig::Start::acquiring);
    rig->addDataRows(rows);
    for (auto _ : state) {
        rig->manager().newScreenPoint(rig->nextPoint());
        WindowRig::settle();
    }
    if (!rig->platform.lastAlert.empty())
        state.SkipWithError(rig->platform.lastAlert.c_str());
}

void repaintTable(benchmark::State& state, int rows)
{
    WindowRig& rig = keptWindowWithDataRows(rows);
    PointTableView* table = rig.shownTable();
    if (table == nullptr) {
        state.SkipWithError("no table on show");
        return;
    }
    table->scrollToBottom();
    WindowRig::settle();
    const PaintCounter paints(table->viewport());
    for (auto _ : state)
        table->viewport()->repaint();
    if (paints.count < state.iterations())
        state.SkipWithError("the table was not painted at every repaint");
}

} // namespace

void registerTableBenchmarks()
{
    for (int rows : {fewRows, manyRows}) {
        benchmark::RegisterBenchmark(runName("append/window", rows).c_str(),
                                     [rows](benchmark::State& state) { appendRow(state, rows); })
            ->Iterations(200)
            ->Repetitions(7)
            ->DisplayAggregatesOnly(true)
            ->ComputeStatistics("fastest", fastestRepetition)
            ->UseRealTime();
        benchmark::RegisterBenchmark(runName("repaint table", rows).c_str(),
                                     [rows](benchmark::State& state) { repaintTable(state, rows); })
            ->Repetitions(9)
            ->DisplayAggregatesOnly(true)
            ->ComputeStatistics("fastest", fastestRepetition)
            ->UseRealTime()
            ->MinTime(0.2);
    }
}

void tableRows(const RunTimes& times, std::vector<FigureRow>& rows)
{
    rows.push_back(timeRow(4, "append a data row via newScreenPoint, window shown: at 100,000 rows vs at 1,000", times,
                           runName("append/window", manyRows), runName("append/window", fewRows), 1.5));
    rows.push_back(timeRow(4, "repaint the data table: at 100,000 rows vs at 1,000", times,
                           runName("repaint table", manyRows), runName("repaint table", fewRows), 1.2));
}
