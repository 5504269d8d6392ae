// Goal 10, accuracy: on plots drawn with known truth, one curve followed in line mode lies
// within 0.15 px RMS and 1 px at worst of the true centreline, covers at least 98 % of its
// visible x-range and has no point off it; every marker is found, no other, centres within
// 0.1 px RMS. The same cases as the accuracy test (tools/plots/AccuracyCases.h).
#include "ExtractionBenchmarks.h"

#include "plots/AccuracyCases.h"

#include <cstdio>

namespace {

std::string printed(const char* format, auto... values)
{
    char text[160];
    std::snprintf(text, sizeof text, format, values...);
    return text;
}

} // namespace

void accuracyRows(std::vector<FigureRow>& rows)
{
    for (const LineCase& given : lineCases()) {
        const LineFigures figures = measureLine(given);
        const bool met = figures.rms <= lineRmsGoal && figures.worst <= lineWorstGoal &&
                         figures.coverage >= lineCoverageGoal && figures.offCurve == 0;
        rows.push_back(
            {10, "accuracy, " + describe(given) + ": RMS / worst distance to the curve, coverage, points off it",
             printed("%.3f / %.2f px, %.1f %%, %d", figures.rms, figures.worst, 100.0 * figures.coverage,
                     figures.offCurve),
             "-", "-",
             printed("<= %.2f / %.0f px, >= %.0f %%, 0", lineRmsGoal, lineWorstGoal, 100.0 * lineCoverageGoal),
             met ? "pass" : "FAIL"});
    }
    for (const Encoding encoding : markerCases) {
        const MarkerFigures figures = measureMarkers(encoding);
        const bool met = figures.matched == figures.truth && figures.falsePoints == 0 && figures.rms <= markerRmsGoal;
        rows.push_back(
            {10, printed("accuracy, markers, %s: found of true, false, centre RMS", encodingName(encoding)),
             printed("%zu of %zu, %zu, %.3f px", figures.matched, figures.truth, figures.falsePoints, figures.rms), "-",
             "-", printed("all, 0, <= %.2f px", markerRmsGoal), met ? "pass" : "FAIL"});
    }
}
