// Goal 11, time: following one curve in line mode over the whole plot area of a
// 12-megapixel PNG plot takes at most half the time QImage takes to decode the file.
// Reported beside it: the same on the JPEG (a far quicker floor), and markers mode.
#include "ExtractionBenchmarks.h"
#include "LargePlots.h"

#include <QElapsedTimer>

namespace {

void decode(benchmark::State& state, const QByteArray& bytes)
{
    for (auto _ : state) {
        QElapsedTimer clock;
        clock.start();
        const QImage image = QImage::fromData(bytes);
        state.SetIterationTime(static_cast<double>(clock.nsecsElapsed()) * 1e-9);
        if (image.isNull()) {
            state.SkipWithError("the picture did not decode");
            break;
        }
    }
}

void extract(benchmark::State& state, Extraction (*extraction)(const QImage&), const QImage& picture)
{
    for (auto _ : state) {
        QElapsedTimer clock;
        clock.start();
        const Extraction found = extraction(picture);
        state.SetIterationTime(static_cast<double>(clock.nsecsElapsed()) * 1e-9);
        if (found.points.empty()) {
            state.SkipWithError("nothing was found");
            break;
        }
    }
}

template <typename Run> void registerTimed(const char* name, Run run)
{
    benchmark::RegisterBenchmark(name, [run](benchmark::State& state) { run(state); })
        ->Iterations(1)
        ->Repetitions(15)
        ->DisplayAggregatesOnly(true)
        ->ComputeStatistics("fastest", fastestRepetition)
        ->UseManualTime()
        ->Unit(benchmark::kMillisecond);
}

} // namespace

void registerSpeedBenchmarks()
{
    const LargePlots& plots = largePlots();
    registerTimed("decode/line-png", [&plots](benchmark::State& state) { decode(state, plots.linePng); });
    registerTimed("extract/line-png",
                  [&plots](benchmark::State& state) { extract(state, extractCurve, plots.linePngPicture); });
    registerTimed("decode/line-jpeg", [&plots](benchmark::State& state) { decode(state, plots.lineJpeg); });
    registerTimed("extract/line-jpeg",
                  [&plots](benchmark::State& state) { extract(state, extractCurve, plots.lineJpegPicture); });
    registerTimed("decode/markers-png", [&plots](benchmark::State& state) { decode(state, plots.markersPng); });
    registerTimed("extract/markers-png",
                  [&plots](benchmark::State& state) { extract(state, extractMarkerPoints, plots.markersPngPicture); });
}

void speedRows(const RunTimes& times, std::vector<FigureRow>& rows)
{
    rows.push_back(timeRow(11,
                           "follow one curve in line mode, 12 MP PNG plot (4000 x 3000), whole plot area: time vs "
                           "decoding the PNG with QImage",
                           times, "extract/line-png", "decode/line-png", 0.5));
    rows.push_back(timeRow(11,
                           "follow one curve in line mode, 12 MP JPEG q75 plot, whole plot area: time vs decoding "
                           "the JPEG with QImage",
                           times, "extract/line-jpeg", "decode/line-jpeg", noGoal));
    rows.push_back(timeRow(11,
                           "find markers, 12 MP PNG scatter plot (2,000 markers), whole plot area: time vs "
                           "decoding the PNG with QImage",
                           times, "extract/markers-png", "decode/markers-png", noGoal));
}
