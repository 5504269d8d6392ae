// Goal 4, without a window: adding data points costs the same per point however many the
// document already holds.
// - One append through newScreenPoint with 100,000 points in the table against one with
//   1,000.
// - 1,000, 10,000 and 100,000 points added one by one to an empty series, through the
//   controller (newScreenPoint in acquisition) and through the document and its history
//   alone: the time per point at 10,000 and at 100,000 against that at 1,000.
#include "controller/ControllerBenchmarks.h"
#include "controller/ControllerRig.h"

#include "document/Document.h"
#include "document/History.h"

#include <chrono>
#include <memory>

namespace {

constexpr int appendsPerRepetition = 500;
constexpr int addedCounts[] = {1'000, 10'000, 100'000};

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

std::vector<DPoint> clicks(int count)
{
    PointSequence sequence(12345);
    std::vector<DPoint> points;
    points.reserve(static_cast<std::size_t>(count));
    for (int i = 0; i < count; ++i)
        points.push_back(sequence.nextPoint());
    return points;
}

double secondsSince(std::chrono::steady_clock::time_point start)
{
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

// Each iteration starts from a freshly calibrated controller in acquisition with no data
// point; making it, and letting it go with its history afterwards, is not timed.
void addThroughController(benchmark::State& state, const std::vector<DPoint>& points)
{
    for (auto _ : state) {
        auto rig = std::make_unique<ControllerRig>();
        rig->calibrateAndAcquire();
        const auto start = std::chrono::steady_clock::now();
        for (const DPoint& point : points)
            rig->manager.newScreenPoint(point);
        state.SetIterationTime(secondsSince(start));
        if (rig->platform.alerts != 0 || rig->manager.document().active().points.size() != points.size()) {
            state.SkipWithError(rig->platform.alerts != 0 ? rig->platform.lastAlert.c_str()
                                                          : "the points did not all reach the document");
            break;
        }
    }
}

// The same steps without the controller: one history step a point, as Add Point makes.
void addThroughHistory(benchmark::State& state, const std::vector<DPoint>& points)
{
    for (auto _ : state) {
        auto document = std::make_unique<Document>();
        auto history = std::make_unique<History>();
        const auto start = std::chrono::steady_clock::now();
        for (const DPoint& point : points)
            history->perform(*document, "Add Point",
                             change::InsertPoints{0, document->active().points.size(), {point}});
        state.SetIterationTime(secondsSince(start));
        if (document->active().points.size() != points.size()) {
            state.SkipWithError("the points did not all reach the document");
            break;
        }
    }
}

std::string addName(const char* through, int count)
{
    return std::string("add from empty/") + through + "/" + std::to_string(count) + " points";
}

// About the same time a repetition whatever the count.
void registerAdd(const char* through, void (*add)(benchmark::State&, const std::vector<DPoint>&), int count)
{
    benchmark::RegisterBenchmark(addName(through, count).c_str(),
                                 [add, count](benchmark::State& state) { add(state, clicks(count)); })
        ->Iterations(count >= 100'000 ? 1 : 100'000 / count)
        ->Repetitions(11)
        ->DisplayAggregatesOnly(true)
        ->ComputeStatistics("fastest", fastestRepetition)
        ->UseManualTime()
        ->Unit(benchmark::kMillisecond);
}

void perPointRows(const RunTimes& times, std::vector<FigureRow>& rows, const char* through, const std::string& how)
{
    const auto perPoint = [&](int count) {
        const double seconds = times.seconds(addName(through, count));
        return seconds < 0.0 ? seconds : seconds / count;
    };
    for (int count : {10'000, 100'000}) {
        std::string why = times.error(addName(through, count));
        if (why.empty())
            why = times.error(addName(through, 1'000));
        rows.push_back(ratioRow(
            4, "add points one by one " + how + ", time per point: " + withThousands(count) + " points vs 1,000",
            perPoint(count), perPoint(1'000), 1.5, formatSeconds, why.empty() ? why : "error: " + why));
    }
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
    for (int count : addedCounts) {
        registerAdd("controller", addThroughController, count);
        registerAdd("document and history", addThroughHistory, count);
    }
}

void appendRows(const RunTimes& times, std::vector<FigureRow>& rows)
{
    rows.push_back(timeRow(4, "append a data row via newScreenPoint, no window: at 100,000 rows vs at 1,000", times,
                           runName(100'000), runName(1'000), 1.5));
    perPointRows(times, rows, "controller", "via newScreenPoint, no window");
    perPointRows(times, rows, "document and history", "via Document + History alone");
}
