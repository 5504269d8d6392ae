// Goal 6: findTransform for 3, 100 and 10,000 calibration pairs, which must grow linearly;
// and, reported beside it, loading the pairs into the model as the switch to acquisition
// does before each fit.
#include "calibration/CartesianPlotmeter.h"
#include "common/PointSequence.h"
#include "controller/ControllerBenchmarks.h"

#include <map>
#include <memory>

namespace {

constexpr int pairCounts[] = {3, 100, 10'000};

// Screen points over a 4000 x 3000 picture, world points an affine image of them with a
// little noise, as a careful user's clicks would give.
std::vector<std::pair<DPoint, DPoint>> makePairs(int count)
{
    std::vector<std::pair<DPoint, DPoint>> pairs;
    PointSequence sequence(99);
    const auto next = [&sequence] { return sequence.nextUnit(); };
    for (int i = 0; i < count; ++i) {
        const DPoint s{next() * 4000.0, next() * 3000.0};
        const DPoint w{0.05 * s.x - 0.002 * s.y + 3.0 + 1e-3 * next(), 0.001 * s.x + 0.2 * s.y - 40.0 + 1e-3 * next()};
        pairs.push_back({s, w});
    }
    return pairs;
}

void load(CartesianPlotmeter& plotmeter, const std::vector<std::pair<DPoint, DPoint>>& pairs)
{
    plotmeter.clear();
    for (const auto& [screen, world] : pairs) {
        plotmeter.addScreenPoint(screen);
        plotmeter.addWorldPoint(world);
    }
}

// The loaded models are kept between repetitions: loading 10,000 pairs takes long.
CartesianPlotmeter& loaded(int count)
{
    static std::map<int, std::unique_ptr<CartesianPlotmeter>> models;
    auto& model = models[count];
    if (model == nullptr) {
        model = std::make_unique<CartesianPlotmeter>();
        load(*model, makePairs(count));
    }
    return *model;
}

std::string fitName(int count)
{
    return "fit/findTransform/" + std::to_string(count) + " pairs";
}

std::string loadName(int count)
{
    return "fit/load and fit/" + std::to_string(count) + " pairs";
}

} // namespace

void registerFitBenchmarks()
{
    for (int count : pairCounts) {
        benchmark::RegisterBenchmark(fitName(count).c_str(),
                                     [count](benchmark::State& state) {
                                         CartesianPlotmeter& plotmeter = loaded(count);
                                         for (auto _ : state) {
                                             bool fitted = plotmeter.findTransform();
                                             benchmark::DoNotOptimize(fitted);
                                         }
                                     })
            ->Repetitions(5)
            ->DisplayAggregatesOnly(true)
            ->ComputeStatistics("fastest", fastestRepetition)
            ->UseRealTime();
        benchmark::RegisterBenchmark(loadName(count).c_str(),
                                     [count](benchmark::State& state) {
                                         const auto pairs = makePairs(count);
                                         CartesianPlotmeter plotmeter;
                                         for (auto _ : state) {
                                             load(plotmeter, pairs);
                                             bool fitted = plotmeter.findTransform();
                                             benchmark::DoNotOptimize(fitted);
                                         }
                                     })
            ->Repetitions(3)
            ->DisplayAggregatesOnly(true)
            ->ComputeStatistics("fastest", fastestRepetition)
            ->UseRealTime();
    }
}

void fitRows(const RunTimes& times, std::vector<FigureRow>& rows)
{
    for (int count : pairCounts)
        rows.push_back(
            infoRow(6, "findTransform, " + withThousands(count) + " pairs", timeText(times, fitName(count))));
    // Linear growth: the time per pair at 10,000 pairs is no more than at 100.
    const double perPairLarge = times.seconds(fitName(10'000)) / 10'000.0;
    const double perPairSmall = times.seconds(fitName(100)) / 100.0;
    rows.push_back(ratioRow(6, "findTransform time per pair: 10,000 pairs vs 100", perPairLarge, perPairSmall, 1.5,
                            formatSeconds));
    const double loadLarge = times.seconds(loadName(10'000)) / 10'000.0;
    const double loadSmall = times.seconds(loadName(100)) / 100.0;
    // Not judged: the switch to acquisition reads the whole calibration table into the
    // model before it fits; shown so that growth there does not go unseen.
    rows.push_back(ratioRow(6, "load pairs and fit, time per pair: 10,000 pairs vs 100", loadLarge, loadSmall, noGoal,
                            formatSeconds));
}
