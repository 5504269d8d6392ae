// The benchmarks of the code without a window: tables, saving, the fit, projects, undo.
#include "controller/ControllerBenchmarks.h"

namespace {

std::vector<FigureRow> allRows(const RunTimes& times)
{
    std::vector<FigureRow> rows;
    appendRows(times, rows);
    saveRows(times, rows);
    fitRows(times, rows);
    projectRows(times, rows);
    undoRows(times, rows);
    return rows;
}

} // namespace

int main(int argc, char** argv)
{
    registerAppendBenchmarks();
    registerSaveBenchmarks();
    registerFitBenchmarks();
    registerProjectBenchmarks();
    registerUndoBenchmarks();
    return runBenchmarks(argc, argv, allRows);
}
