// The automatic extraction's benchmark: accuracy on plots drawn with known truth, time and
// working memory on 12-megapixel plots (ExtractionBenchmarks.h).
// Usage: bench_extraction [Google Benchmark flags]
#include "ExtractionBenchmarks.h"
#include "LargePlots.h"

#include <QGuiApplication>

namespace {

// Accuracy and memory are measured once, after the timed runs, on a quiet heap.
std::vector<FigureRow> allRows(const RunTimes& times)
{
    std::vector<FigureRow> rows;
    accuracyRows(rows);
    printedRows(rows);
    speedRows(times, rows);
    memoryRows(rows);
    return rows;
}

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    int qtArgc = 1;
    QGuiApplication application(qtArgc, argv);
    drawLargePlots();
    registerSpeedBenchmarks();
    return runBenchmarks(argc, argv, allRows);
}
