// Goal 15, plots as papers print them (tools/plots/PrintedPlots.h), drawn by matplotlib
// with three seeds, as PNG and as JPEG at quality 75: each black line style followed from a
// point on it covers at least 90 % of its x-range within 0.3 px RMS with at most 2 % of its
// points elsewhere; two red curves crossing at 15 degrees are each followed through the
// crossing over at least 95 %; markers among text are found with recall >= 0.95, precision
// >= 0.90 and centres within 0.3 px RMS. Each row gives the worst case over the pictures.
#include "ExtractionBenchmarks.h"

#include "plots/PrintedPlots.h"

#include <QDir>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <map>

namespace {

constexpr unsigned seeds = 3;

std::string printed(const char* format, auto... values)
{
    char text[200];
    std::snprintf(text, sizeof text, format, values...);
    return text;
}

struct Worst {
    double coverage = 1.0;
    double rms = 0.0;
    double offShare = 0.0;
    void add(const PrintedLineFigures& f)
    {
        coverage = std::min(coverage, f.coverage);
        rms = std::max(rms, f.rms);
        offShare = std::max(offShare, f.offShare);
    }
};

std::pair<PrintedTruth, QImage> plot(const QString& folder, const std::string& name)
{
    const std::optional<PrintedTruth> truth = readPrintedTruth(folder.toStdString(), name);
    if (!truth)
        return {};
    QImage picture(QDir(folder).filePath(QString::fromStdString(truth->picture)));
    return {*truth, picture.convertToFormat(QImage::Format_RGB32)};
}

} // namespace

void printedRows(std::vector<FigureRow>& rows)
{
    std::map<std::string, Worst> styles; // and "crossing"
    double recall = 1.0, precision = 1.0, markerRms = 0.0;
    std::string failure;
    for (const bool jpeg : {false, true})
        for (unsigned seed = 1; seed <= seeds; ++seed) {
            QTemporaryDir folder;
            const std::string why = drawPrintedPlots(folder.path().toStdString(), seed, jpeg);
            if (!why.empty()) {
                failure = why;
                continue;
            }
            const auto [lines, linePicture] = plot(folder.path(), "lines");
            for (std::size_t curve = 0; curve < lines.curves.size(); ++curve)
                styles[lines.curves[curve].style].add(printedLineFigures(
                    extractPrinted(linePicture, lines, ExtractionMode::line, startOn(lines, curve, 0.5)), lines,
                    curve));
            const auto [crossing, crossingPicture] = plot(folder.path(), "crossing");
            for (std::size_t curve = 0; curve < crossing.curves.size(); ++curve)
                for (const double from : {0.2, 0.8})
                    styles["crossing at 15 degrees"].add(printedLineFigures(
                        extractPrinted(crossingPicture, crossing, ExtractionMode::line,
                                       startOn(crossing, curve, from)),
                        crossing, curve));
            const auto [markers, markerPicture] = plot(folder.path(), "markers");
            const PrintedMarkerFigures f = printedMarkerFigures(
                extractPrinted(markerPicture, markers, ExtractionMode::markers, std::nullopt), markers);
            recall = std::min(recall, f.recall);
            precision = std::min(precision, f.precision);
            markerRms = std::max(markerRms, f.rms);
        }
    if (!failure.empty() || styles.empty()) {
        rows.push_back({15, "printed plots: matplotlib could not draw them (" + failure + ")", "-", "-", "-", "-",
                        "FAIL"});
        return;
    }
    for (const auto& [style, worst] : styles) {
        const bool crossing = style.starts_with("crossing");
        const double coverageGoal = crossing ? printedCrossingGoal : printedCoverageGoal;
        const bool met =
            worst.coverage >= coverageGoal && worst.rms <= printedRmsGoal && worst.offShare <= printedOffShareGoal;
        rows.push_back({15,
                        printed("printed plots, %s%s from a start point (%u seeds, PNG and JPEG): coverage, RMS, "
                                "points elsewhere, worst case",
                                crossing ? "two red curves " : "black ", style.c_str(), seeds),
                        printed("%.1f %%, %.3f px, %.1f %%", 100.0 * worst.coverage, worst.rms,
                                100.0 * worst.offShare),
                        "-", "-",
                        printed(">= %.0f %%, <= %.1f px, <= %.0f %%", 100.0 * coverageGoal, printedRmsGoal,
                                100.0 * printedOffShareGoal),
                        met ? "pass" : "FAIL"});
    }
    const bool met = recall >= printedRecallGoal && precision >= printedPrecisionGoal && markerRms <= printedMarkerRmsGoal;
    rows.push_back({15,
                    printed("printed plots, black hollow circles and filled squares among text (%u seeds, PNG and "
                            "JPEG): recall, precision, centre RMS, worst case",
                            seeds),
                    printed("%.3f, %.3f, %.3f px", recall, precision, markerRms), "-", "-",
                    printed(">= %.2f, >= %.2f, <= %.1f px", printedRecallGoal, printedPrecisionGoal,
                            printedMarkerRmsGoal),
                    met ? "pass" : "FAIL"});
}
