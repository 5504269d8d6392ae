// Goal 5: saving 1,000,000 data rows through saveData() costs at most 1.3 times a bare loop
// that formats the same values (the doubles the data table shows) with snprintf and the
// same format and writes them, in the same process, to the same folder.
#include "controller/ControllerBenchmarks.h"
#include "controller/ControllerRig.h"

#include <array>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <limits>
#include <sstream>
#include <unistd.h>

namespace {

constexpr int savedRows = 1'000'000;

using Values = std::vector<std::array<double, 4>>;

bool writeAll(int fd, const char* data, std::size_t size)
{
    while (size > 0) {
        const ssize_t written = ::write(fd, data, size);
        if (written < 0)
            return false;
        data += written;
        size -= static_cast<std::size_t>(written);
    }
    return true;
}

// The plainest way to write the file: snprintf into a buffer, 64 KiB writes. With
// `durable`, also what a safe save adds: a temporary name, fsync, rename. A world value
// below 0.001 in magnitude but not zero is written in exponent form, as the data file
// has it.
bool bareSave(const Values& values, const std::string& path, bool durable)
{
    const std::string target = durable ? path + ".tmp" : path;
    const int fd = ::open(target.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
    if (fd < 0)
        return false;
    constexpr std::size_t chunk = 1 << 16;
    std::vector<char> buffer(chunk + 1024);
    std::size_t used = 0;
    bool ok = true;
    const auto tiny = [](double value) { return value != 0.0 && std::fabs(value) < 0.001; };
    for (const auto& v : values) {
        const char* format = tiny(v[2]) ? (tiny(v[3]) ? "  %8.3f  %8.3f   %14.6e  %14.6e\n" : "  %8.3f  %8.3f   %14.6e  %14.6f\n")
                                        : (tiny(v[3]) ? "  %8.3f  %8.3f   %14.6f  %14.6e\n" : "  %8.3f  %8.3f   %14.6f  %14.6f\n");
        const int n = std::snprintf(buffer.data() + used, buffer.size() - used, format, v[0], v[1], v[2], v[3]);
        used += static_cast<std::size_t>(n);
        if (used >= chunk) {
            ok = ok && writeAll(fd, buffer.data(), used);
            used = 0;
        }
    }
    ok = ok && writeAll(fd, buffer.data(), used);
    if (durable)
        ok = ok && ::fsync(fd) == 0;
    ok = ::close(fd) == 0 && ok;
    if (durable)
        ok = ok && std::rename(target.c_str(), path.c_str()) == 0;
    return ok;
}

std::string contents(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

// One controller with a million data rows, their values, and a folder to save into; made
// once, checked once: the bare loop must write exactly the file Plotmeter writes.
struct SaveFixture {
    SaveFixture()
    {
        char pattern[] = "/tmp/plotmeter-bench-save-XXXXXX";
        if (mkdtemp(pattern) == nullptr) {
            problem = "cannot make a temporary folder";
            return;
        }
        folder = pattern;
        rig.calibrateAndAcquire();
        rig.addDataRows(savedRows);
        const PointTable& table = *rig.manager.acquireMatrix();
        values.reserve(savedRows);
        const auto shown = [&table](int row, int column) {
            return table.cellAtRow(row, column).number.value_or(std::numeric_limits<double>::quiet_NaN());
        };
        for (int i = 0; i < table.numberOfRows(); ++i)
            values.push_back({shown(i, 0), shown(i, 1), shown(i, 2), shown(i, 3)});

        rig.platform.savePath = path("check-plotmeter.txt");
        rig.manager.saveData();
        if (rig.platform.alerts != 0 || !bareSave(values, path("check-bare.txt"), false))
            problem = "the check save failed: " + rig.platform.lastAlert;
        else if (contents(path("check-plotmeter.txt")) != contents(path("check-bare.txt")))
            problem = "the bare loop does not write the file Plotmeter writes";
        std::filesystem::remove(path("check-plotmeter.txt"));
        std::filesystem::remove(path("check-bare.txt"));
    }
    ~SaveFixture()
    {
        if (!folder.empty())
            std::filesystem::remove_all(folder);
    }
    SaveFixture(const SaveFixture&) = delete;
    SaveFixture& operator=(const SaveFixture&) = delete;

    std::string path(const char* name) const { return folder + "/" + name; }

    ControllerRig rig;
    Values values;
    std::string folder;
    std::string problem;
};

SaveFixture& fixture()
{
    static SaveFixture made;
    return made;
}

// Each save starts with no file at the target, so that no run pays for deleting the last.
template <typename Save> void measureSave(benchmark::State& state, const char* file, Save save)
{
    SaveFixture& f = fixture();
    if (!f.problem.empty()) {
        state.SkipWithError(f.problem.c_str());
        return;
    }
    const std::string target = f.path(file);
    for (auto _ : state) {
        if (!save(f, target)) {
            state.SkipWithError("the save failed");
            break;
        }
        state.PauseTiming();
        std::filesystem::remove(target);
        state.ResumeTiming();
    }
}

void registerSave(const char* name, const char* file, bool (*save)(SaveFixture&, const std::string&))
{
    benchmark::RegisterBenchmark(name, [file, save](benchmark::State& state) { measureSave(state, file, save); })
        ->Iterations(1)
        ->Repetitions(7)
        ->DisplayAggregatesOnly(true)
        ->ComputeStatistics("fastest", fastestRepetition)
        ->UseRealTime()
        ->Unit(benchmark::kMillisecond);
}

} // namespace

void registerSaveBenchmarks()
{
    registerSave("save/plotmeter", "plotmeter.txt", [](SaveFixture& f, const std::string& path) {
        f.rig.platform.savePath = path;
        f.rig.manager.saveData();
        return f.rig.platform.alerts == 0;
    });
    registerSave("save/bare loop", "bare.txt",
                 [](SaveFixture& f, const std::string& path) { return bareSave(f.values, path, false); });
    registerSave("save/bare loop, fsync, rename", "durable.txt",
                 [](SaveFixture& f, const std::string& path) { return bareSave(f.values, path, true); });
}

void saveRows(const RunTimes& times, std::vector<FigureRow>& rows)
{
    rows.push_back(
        timeRow(5, "save 1,000,000 data rows vs bare snprintf loop", times, "save/plotmeter", "save/bare loop", 1.3));
    // Not a goal: shows how much of the figure the flush to disk accounts for.
    rows.push_back(timeRow(5, "save 1,000,000 data rows vs bare loop + fsync + rename", times, "save/plotmeter",
                           "save/bare loop, fsync, rename", noGoal));
}
