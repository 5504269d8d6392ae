#pragma once

#include <benchmark/benchmark.h>

#include <map>
#include <string>
#include <vector>

// One row of the performance table: a figure of Plotmeter's, the floor it is held against
// (the same work done the plainest way, measured in the same run), their ratio, the goal
// for that ratio and whether it was met. `item` is the number of the goal it belongs to,
// so that rows from several programs can be put in order.
struct FigureRow {
    int item = 0;
    std::string figure;
    std::string plotmeter;
    std::string floor;
    std::string ratio;
    std::string goal;
    std::string verdict; // "pass", "FAIL" or "info"
};

// Shows the usual console report (on the standard error stream) and keeps, by benchmark
// name, the real time per iteration of its fastest repetition. On a shared machine other
// work only ever adds time, so the fastest repetition is the least disturbed one; the
// same holds for Plotmeter and for its floor. (The console report and the log show the
// median and the spread as well.)
class RunTimes : public benchmark::ConsoleReporter {
  public:
    RunTimes();
    void ReportRuns(const std::vector<Run>& runs) override;

    // Seconds per iteration; negative when the benchmark did not run or failed.
    double seconds(const std::string& name) const;
    // Why a benchmark failed; empty when it did not.
    std::string error(const std::string& name) const;

  private:
    std::map<std::string, double> fastest_;
    std::map<std::string, std::string> errors_;
};

std::string formatSeconds(double seconds);
std::string formatBytes(double bytes);
// 10000 -> "10,000"
std::string withThousands(long long count);
// The statistic the table is made from, to be computed over every benchmark's
// repetitions as "fastest".
double fastestRepetition(const std::vector<double>& times);

// The time of a benchmark, or why there is none.
std::string timeText(const RunTimes& times, const std::string& name);

// Plotmeter's figure against its floor: passes when plotmeter / floor is at most `goal`.
// A figure that is missing (negative) fails, with `why` in its place. With `noGoal` the
// ratio is only reported, to show what bounds another figure.
constexpr double noGoal = 0.0;
FigureRow ratioRow(int item, std::string figure, double plotmeter, double floor, double goal,
                   std::string (*format)(double), const std::string& why = {});
// The same, with both figures the times of the named benchmarks.
FigureRow timeRow(int item, std::string figure, const RunTimes& times, const std::string& plotmeterRun,
                  const std::string& floorRun, double goal);
// A figure that is reported, not judged.
FigureRow infoRow(int item, std::string figure, std::string value, std::string floor = "-");

// Tab-separated, one row a line, on the standard output stream: what bench/run gathers.
void printRows(const std::vector<FigureRow>& rows);

// Runs the registered benchmarks (command-line flags as Google Benchmark takes them) and
// hands their times to `rows`, whose rows are then printed. Returns the exit status.
int runBenchmarks(int argc, char** argv, std::vector<FigureRow> (*rows)(const RunTimes&));
