// Goal 13, Find Axes on plots nobody here drew: the corpus of matplotlib and gnuplot plots
// that make-axes-corpus draws with the programs' own truth (bench/run draws it first).
// Reports the share calibrated right by itself (every point of the plot area within 1 px
// of the truth, plus the half pixel the programs round ticks by), the share confidently
// wrong (a calibration claimed with no doubt that is wrong, or claimed on a picture with
// no readable axes), and the time against Tesseract reading each whole picture once.
// Usage: bench_axes CORPUS-FOLDER
#include "AxesCorpus.h"
#include "axes/ocr/TesseractLabelReader.h"
#include "common/FigureTable.h"

#include <QCoreApplication>
#include <QImage>
#include <tesseract/baseapi.h>

#include <chrono>
#include <cstdio>
#include <map>
#include <memory>

namespace {

constexpr int item = 13;
constexpr double rightGoal = 0.95;
constexpr double timeGoal = 1.0;

std::string printed(const char* format, auto... values)
{
    char text[200];
    std::snprintf(text, sizeof text, format, values...);
    return text;
}

// The floor: a fresh Tesseract engine, as Find Axes starts one, reading the whole picture
// with its own page layout analysis.
double tesseractWholePicture(const CorpusPicture& picture)
{
    const QImage image = QImage(QString::fromStdString(picture.path)).convertToFormat(QImage::Format_Grayscale8);
    const auto start = std::chrono::steady_clock::now();
    tesseract::TessBaseAPI engine;
    std::vector<std::string> names = {"debug_file"};
    std::vector<std::string> values = {"/dev/null"};
    if (engine.Init(tesseractDataFolder().c_str(), "eng", tesseract::OEM_LSTM_ONLY, nullptr, 0, &names, &values,
                    false) != 0)
        return -1.0;
    engine.SetImage(image.constBits(), image.width(), image.height(), 1, static_cast<int>(image.bytesPerLine()));
    engine.SetSourceResolution(300);
    const std::unique_ptr<char[]> text(engine.GetUTF8Text());
    engine.End();
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

struct Tally {
    int pictures = 0, right = 0, unsure = 0, refused = 0;
};

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication application(argc, argv);
    if (argc < 2) {
        std::fprintf(stderr, "usage: bench_axes CORPUS-FOLDER\n");
        return 2;
    }
    const std::vector<CorpusPicture> corpus = readAxesCorpus(argv[1]);
    std::map<std::string, Tally> readable; // by program
    Tally needOffset;
    int unreadable = 0, confidentlyWrong = 0, claimedOnUnreadable = 0;
    double ours = 0.0, floor = 0.0;
    for (const CorpusPicture& picture : corpus) {
        double seconds = 0.0;
        const AxesProposal proposal = findAxesIn(picture, &seconds);
        const double whole = tesseractWholePicture(picture);
        const AxesVerdict verdict = judge(picture, proposal);
        ours += seconds;
        floor += whole;
        confidentlyWrong += verdict.confidentlyWrong() ? 1 : 0;
        if (picture.readable) {
            Tally& t = picture.labelsAlone ? readable[picture.drawnBy] : needOffset;
            ++t.pictures;
            t.right += verdict.confident && verdict.right ? 1 : 0;
            t.unsure += proposal.proposed() && !proposal.confident ? 1 : 0;
            t.refused += proposal.proposed() ? 0 : 1;
        } else {
            ++unreadable;
            claimedOnUnreadable += proposal.proposed() ? 1 : 0;
        }
        std::fprintf(stderr, "%-26s %-8s %s worst %.2f px, %.2f s (whole picture %.2f s)%s%s\n", picture.name.c_str(),
                     !proposal.proposed() ? "refused"
                     : proposal.confident ? "sure"
                                          : "unsure",
                     verdict.confidentlyWrong() ? "WRONG"
                     : verdict.right            ? "right"
                                                : "-",
                     verdict.worstMiss, seconds, whole, proposal.proposed() ? "" : ": ",
                     proposal.proposed() ? "" : proposal.problem.c_str());
    }

    Tally all;
    for (const auto& [program, t] : readable) {
        all.pictures += t.pictures;
        all.right += t.right;
        all.unsure += t.unsure;
        all.refused += t.refused;
    }
    std::vector<FigureRow> rows;
    const double share = all.pictures > 0 ? static_cast<double>(all.right) / all.pictures : 0.0;
    rows.push_back({item,
                    printed("Find Axes, %d plots whose tick labels give the values (matplotlib, gnuplot; JPEG, "
                            "turned): calibrated right by itself",
                            all.pictures),
                    printed("%d (%.0f %%)", all.right, 100.0 * share), "-", "-",
                    printed(">= %.0f %%", 100.0 * rightGoal), share >= rightGoal ? "pass" : "FAIL"});
    rows.push_back({item,
                    printed("Find Axes, all %zu pictures (%d without readable axes): confidently wrong", corpus.size(),
                            unreadable),
                    printed("%d", confidentlyWrong), "-", "-", "0", confidentlyWrong == 0 ? "pass" : "FAIL"});
    for (const auto& [program, t] : readable)
        rows.push_back(infoRow(item,
                               printed("Find Axes, %d %s plots: right by itself / written with doubts / refused",
                                       t.pictures, program.c_str()),
                               printed("%d / %d / %d", t.right, t.unsure, t.refused)));
    rows.push_back(infoRow(item,
                           printed("Find Axes, %d matplotlib plots whose labels need the offset or factor at the "
                                   "axis' end: right by itself / written with doubts / refused",
                                   needOffset.pictures),
                           printed("%d / %d / %d", needOffset.right, needOffset.unsure, needOffset.refused)));
    rows.push_back(infoRow(item,
                           printed("Find Axes, %d pictures without readable axes: a calibration proposed", unreadable),
                           printed("%d", claimedOnUnreadable)));
    rows.push_back(ratioRow(
        item, printed("Find Axes on all %zu pictures vs Tesseract reading each whole picture once", corpus.size()),
        ours, floor, timeGoal, formatSeconds));
    printRows(rows);
    return 0;
}
