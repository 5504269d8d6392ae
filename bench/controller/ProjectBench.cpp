// Goal 7: a project of 100,000 points opens in at most 1.5 times what nlohmann::json's own
// parse of the same text takes, and saves in at most 1.5 times what its own dump() of the
// same JSON takes (with the bytes written to a file when Plotmeter writes one).
#include "controller/ControllerBenchmarks.h"

#include "common/PointSequence.h"
#include "document/Document.h"
#include "document/ProjectFile.h"

#include <nlohmann/json.hpp>

#include <chrono>
#include <cmath>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <sstream>
#include <unistd.h>

namespace {

using json = nlohmann::json;

constexpr std::size_t seriesCount = 4;
constexpr std::size_t pointsPerSeries = 25'000;

// Where a click lands at a zoom of `zoom`: on a multiple of 1/zoom picture pixel.
DPoint clickAtZoom(PointSequence& sequence, double zoom)
{
    const double x = std::round(sequence.nextUnit() * 4000.0 * zoom) / zoom;
    const double y = std::round(sequence.nextUnit() * 3000.0 * zoom) / zoom;
    return {x, y};
}

// A project as a user leaves it after a long session on a 4000 x 3000 picture: four
// calibration points and four series of 25,000 points each, clicked at 100 %, 200 %,
// 400 % and 300 % (whole pixels, halves, quarters, and thirds, whose shortest text has
// sixteen or seventeen digits).
Document makeProject(const std::string& folder)
{
    Document document;
    document.setPicture(folder + "/plot.png");
    const CalibrationPoint calibration[] = {{{212.0, 187.5}, 0.0, 100.0},
                                            {{3804.25, 187.5}, 50.0, 100.0},
                                            {{212.0, 2790.75}, 0.0, -25.5},
                                            {{3804.25, 2790.75}, 50.0, -25.5}};
    for (std::size_t i = 0; i < std::size(calibration); ++i)
        document.apply(change::InsertCalibration{i, calibration[i]});
    const double zooms[seriesCount] = {1.0, 2.0, 4.0, 3.0};
    PointSequence sequence(2024);
    for (std::size_t s = 0; s < seriesCount; ++s) {
        std::vector<DPoint> points;
        points.reserve(pointsPerSeries);
        for (std::size_t p = 0; p < pointsPerSeries; ++p)
            points.push_back(clickAtZoom(sequence, zooms[s]));
        if (s > 0)
            document.apply(change::InsertSeries{s, {defaultLook(document.unusedSeriesName(), s), {}}, 0});
        document.apply(change::InsertPoints{s, 0, std::move(points)});
    }
    return document;
}

std::string contents(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

bool writeFile(const std::string& path, const std::string& bytes)
{
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
    if (fd < 0)
        return false;
    const char* data = bytes.data();
    std::size_t left = bytes.size();
    while (left > 0) {
        const ssize_t written = ::write(fd, data, left);
        if (written < 0) {
            ::close(fd);
            return false;
        }
        data += written;
        left -= static_cast<std::size_t>(written);
    }
    return ::close(fd) == 0;
}

// A memory-backed folder when there is one, so that the figures are of the program and not
// of the disk; otherwise the temporary folder.
std::string temporaryFolder()
{
    std::error_code failed;
    const char* base = std::filesystem::is_directory("/dev/shm", failed) && ::access("/dev/shm", W_OK) == 0
                           ? "/dev/shm"
                           : (std::getenv("TMPDIR") != nullptr ? std::getenv("TMPDIR") : "/tmp");
    std::string pattern = std::string(base) + "/plotmeter-bench-project-XXXXXX";
    return mkdtemp(pattern.data()) == nullptr ? std::string() : pattern;
}

// The project, its text, the same text parsed by nlohmann::json, and the file it is read
// from; made and checked once.
struct ProjectFixture {
    ProjectFixture()
    {
        folder = temporaryFolder();
        if (folder.empty()) {
            problem = "cannot make a temporary folder";
            return;
        }
        document = makeProject(folder);
        text = projectText(document, folder);
        tree = json::parse(text);
        std::string error;
        if (!writeProjectFile(document, file(), error)) {
            problem = "the project could not be written: " + error;
            return;
        }
        const ProjectReading parsed = parseProject(text, folder);
        const ProjectReading read = readProjectFile(file());
        std::size_t treePoints = 0;
        for (const json& series : tree.at("series"))
            treePoints += series.at("points").size();
        if (!parsed.document || !(*parsed.document == document) || !read.document || !(*read.document == document))
            problem = "the project does not read back as it was written: " + parsed.error + read.error;
        else if (contents(file()) != text)
            problem = "writeProjectFile did not write projectText";
        else if (treePoints != seriesCount * pointsPerSeries)
            problem = "json::parse did not find every point";
        std::cerr << "project of " << treePoints << " points in " << folder << ": projectText " << text.size()
                  << " bytes, json dump() " << tree.dump().size() << " bytes\n";
    }
    ~ProjectFixture()
    {
        if (!folder.empty())
            std::filesystem::remove_all(folder);
    }
    ProjectFixture(const ProjectFixture&) = delete;
    ProjectFixture& operator=(const ProjectFixture&) = delete;

    std::string file() const { return folder + "/project.plotmeter"; }
    std::string path(const char* name) const { return folder + "/" + name; }

    std::string folder;
    Document document;
    std::string text;
    json tree;
    std::string problem;
};

ProjectFixture& fixture()
{
    static ProjectFixture made;
    return made;
}

double secondsSince(std::chrono::steady_clock::time_point start)
{
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

// Runs `work`, which stops the clock itself so that what it made is let go untimed, and
// returns false on failure; then, untimed, removes the file `written` in the folder.
template <typename Work> void measure(benchmark::State& state, Work work, const char* written = nullptr)
{
    ProjectFixture& f = fixture();
    if (!f.problem.empty()) {
        state.SkipWithError(f.problem.c_str());
        return;
    }
    for (auto _ : state) {
        const auto start = std::chrono::steady_clock::now();
        const bool done = work(f, start, state);
        if (!done) {
            state.SkipWithError("the work failed");
            break;
        }
        if (written != nullptr)
            std::filesystem::remove(f.path(written));
    }
}

void registerProject(const char* name, void (*run)(benchmark::State&))
{
    benchmark::RegisterBenchmark(name, run)
        ->Iterations(2)
        ->Repetitions(11)
        ->DisplayAggregatesOnly(true)
        ->ComputeStatistics("fastest", fastestRepetition)
        ->UseManualTime()
        ->Unit(benchmark::kMillisecond);
}

using Start = std::chrono::steady_clock::time_point;

} // namespace

void registerProjectBenchmarks()
{
    registerProject("project/open/parseProject", [](benchmark::State& state) {
        measure(state, [](ProjectFixture& f, Start start, benchmark::State& s) {
            const ProjectReading reading = parseProject(f.text, f.folder);
            s.SetIterationTime(secondsSince(start));
            return reading.document.has_value();
        });
    });
    registerProject("project/open/json::parse", [](benchmark::State& state) {
        measure(state, [](ProjectFixture& f, Start start, benchmark::State& s) {
            const json tree = json::parse(f.text);
            s.SetIterationTime(secondsSince(start));
            return tree.is_object();
        });
    });
    registerProject("project/open/readProjectFile", [](benchmark::State& state) {
        measure(state, [](ProjectFixture& f, Start start, benchmark::State& s) {
            const ProjectReading reading = readProjectFile(f.file());
            s.SetIterationTime(secondsSince(start));
            return reading.document.has_value();
        });
    });
    registerProject("project/open/read file, json::parse", [](benchmark::State& state) {
        measure(state, [](ProjectFixture& f, Start start, benchmark::State& s) {
            const json tree = json::parse(contents(f.file()));
            s.SetIterationTime(secondsSince(start));
            return tree.is_object();
        });
    });
    registerProject("project/save/projectText", [](benchmark::State& state) {
        measure(state, [](ProjectFixture& f, Start start, benchmark::State& s) {
            const std::string text = projectText(f.document, f.folder);
            s.SetIterationTime(secondsSince(start));
            return !text.empty();
        });
    });
    registerProject("project/save/json dump", [](benchmark::State& state) {
        measure(state, [](ProjectFixture& f, Start start, benchmark::State& s) {
            const std::string text = f.tree.dump();
            s.SetIterationTime(secondsSince(start));
            return !text.empty();
        });
    });
    registerProject("project/save/writeProjectFile", [](benchmark::State& state) {
        measure(
            state,
            [](ProjectFixture& f, Start start, benchmark::State& s) {
                std::string error;
                const bool written = writeProjectFile(f.document, f.path("saved.plotmeter"), error);
                s.SetIterationTime(secondsSince(start));
                return written;
            },
            "saved.plotmeter");
    });
    registerProject("project/save/json dump, write", [](benchmark::State& state) {
        measure(
            state,
            [](ProjectFixture& f, Start start, benchmark::State& s) {
                const bool written = writeFile(f.path("dumped.json"), f.tree.dump());
                s.SetIterationTime(secondsSince(start));
                return written;
            },
            "dumped.json");
    });
}

void projectRows(const RunTimes& times, std::vector<FigureRow>& rows)
{
    rows.push_back(timeRow(7, "open a 100,000-point project: parseProject vs json::parse of the same text", times,
                           "project/open/parseProject", "project/open/json::parse", 1.5));
    rows.push_back(timeRow(7, "open a 100,000-point project file: readProjectFile vs reading it + json::parse", times,
                           "project/open/readProjectFile", "project/open/read file, json::parse", 1.5));
    rows.push_back(timeRow(7, "save a 100,000-point project: projectText vs json dump() of the same JSON", times,
                           "project/save/projectText", "project/save/json dump", 1.5));
    rows.push_back(timeRow(7, "save a 100,000-point project file: writeProjectFile vs json dump() + write", times,
                           "project/save/writeProjectFile", "project/save/json dump, write", 1.5));
}
