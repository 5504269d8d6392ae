#include "common/FigureTable.h"

#include <algorithm>
#include <cstdio>
#include <iostream>
#include <utility>

RunTimes::RunTimes() : ConsoleReporter(OO_Tabular)
{
    SetOutputStream(&std::cerr);
    SetErrorStream(&std::cerr);
}

void RunTimes::ReportRuns(const std::vector<Run>& runs)
{
    ConsoleReporter::ReportRuns(runs);
    for (const Run& run : runs) {
        const std::string& name = run.run_name.function_name;
        if (run.error_occurred) {
            errors_[name] = run.error_message;
            fastest_[name] = -1.0;
            continue;
        }
        const bool fastest = run.run_type == Run::RT_Aggregate && run.aggregate_name == "fastest";
        const bool single = run.run_type == Run::RT_Iteration && run.repetitions <= 1;
        if (fastest || single)
            fastest_[name] = run.GetAdjustedRealTime() / benchmark::GetTimeUnitMultiplier(run.time_unit);
    }
}

double RunTimes::seconds(const std::string& name) const
{
    const auto found = fastest_.find(name);
    return found == fastest_.end() ? -1.0 : found->second;
}

std::string RunTimes::error(const std::string& name) const
{
    const auto found = errors_.find(name);
    if (found != errors_.end())
        return found->second;
    return fastest_.count(name) == 0 ? "not run" : "";
}

namespace {

std::string printed(const char* format, double value, const char* unit)
{
    char text[64];
    std::snprintf(text, sizeof text, format, value, unit);
    return text;
}

std::string significant(double value, const char* unit)
{
    if (value >= 100.0)
        return printed("%.0f %s", value, unit);
    if (value >= 10.0)
        return printed("%.1f %s", value, unit);
    return printed("%.2f %s", value, unit);
}

} // namespace

std::string formatSeconds(double seconds)
{
    if (seconds >= 1.0)
        return significant(seconds, "s");
    if (seconds >= 1e-3)
        return significant(seconds * 1e3, "ms");
    if (seconds >= 1e-6)
        return significant(seconds * 1e6, "us");
    return significant(seconds * 1e9, "ns");
}

std::string formatBytes(double bytes)
{
    return significant(bytes / (1024.0 * 1024.0), "MiB");
}

std::string withThousands(long long count)
{
    const std::string digits = std::to_string(count < 0 ? -count : count);
    std::string text = count < 0 ? "-" : "";
    for (std::size_t i = 0; i < digits.size(); ++i) {
        if (i > 0 && (digits.size() - i) % 3 == 0)
            text.push_back(',');
        text.push_back(digits[i]);
    }
    return text;
}

double fastestRepetition(const std::vector<double>& times)
{
    return times.empty() ? 0.0 : *std::min_element(times.begin(), times.end());
}

std::string timeText(const RunTimes& times, const std::string& name)
{
    const std::string why = times.error(name);
    return why.empty() ? formatSeconds(times.seconds(name)) : "error: " + why;
}

FigureRow ratioRow(int item, std::string figure, double plotmeter, double floor, double goal,
                   std::string (*format)(double), const std::string& why)
{
    const bool judged = goal > noGoal;
    FigureRow row{item,
                  std::move(figure),
                  "-",
                  "-",
                  "-",
                  judged ? printed("<= %.2f%s", goal, "") : "-",
                  judged ? "FAIL" : "info"};
    if (plotmeter < 0.0 || floor <= 0.0) {
        row.plotmeter = why.empty() ? "missing" : why;
        return row;
    }
    const double ratio = plotmeter / floor;
    row.plotmeter = format(plotmeter);
    row.floor = format(floor);
    row.ratio = printed("%.2f%s", ratio, "");
    if (judged)
        row.verdict = ratio <= goal ? "pass" : "FAIL";
    return row;
}

FigureRow timeRow(int item, std::string figure, const RunTimes& times, const std::string& plotmeterRun,
                  const std::string& floorRun, double goal)
{
    std::string why = times.error(plotmeterRun);
    if (why.empty())
        why = times.error(floorRun);
    return ratioRow(item, std::move(figure), times.seconds(plotmeterRun), times.seconds(floorRun), goal, formatSeconds,
                    why.empty() ? why : "error: " + why);
}

FigureRow infoRow(int item, std::string figure, std::string value, std::string floor)
{
    return {item, std::move(figure), std::move(value), std::move(floor), "-", "-", "info"};
}

void printRows(const std::vector<FigureRow>& rows)
{
    for (const FigureRow& row : rows)
        std::cout << row.item << '\t' << row.figure << '\t' << row.plotmeter << '\t' << row.floor << '\t' << row.ratio
                  << '\t' << row.goal << '\t' << row.verdict << '\n';
    std::cout.flush();
}

int runBenchmarks(int argc, char** argv, std::vector<FigureRow> (*rows)(const RunTimes&))
{
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 2;
    RunTimes collector;
    benchmark::RunSpecifiedBenchmarks(&collector);
    benchmark::Shutdown();
    printRows(rows(collector));
    return 0;
}
