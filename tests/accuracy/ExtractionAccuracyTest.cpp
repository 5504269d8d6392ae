// The automatic extraction held to its accuracy goals on plots drawn at test time with
// known truth (tools/plots), after a round trip through PNG or JPEG at quality 75.
#include "plots/AccuracyCases.h"

#include <cmath>
#include <cstdio>
#include <gtest/gtest.h>

// How Google Test names the cases in its messages.
void PrintTo(Encoding encoding, std::ostream* out)
{
    *out << encodingName(encoding);
}

void PrintTo(const LineCase& given, std::ostream* out)
{
    *out << describe(given);
}

namespace {

// How much of a pixel the mark covers, from the green channel (the colour's darkest one)
// of a mark of `colour` drawn over white; QPainter blends linearly in these values.
double coverage(const QImage& image, int column, int row, Rgb colour)
{
    return (255.0 - qGreen(image.pixel(column, row))) / (255.0 - colour.green);
}

// The truth itself, without the extraction: the coverage-weighted centre of what was
// drawn lies on the true centreline (of a level line, also turned) and at the true centre
// of each marker. An error in the half pixel between QPainter's pixel centres and ours
// would show as 0.5 px. Weighting by pixel centres is itself exact only for whole-pixel
// widths: a partly covered edge pixel counts at its centre, not at its covered part's, which
// moves a marker's centre by up to 1 / (8 x size) px each way, 0.04 px for the smallest.
TEST(RenderedTruth, CoverageCentresLieOnTheTruth)
{
    double worstOnLines = 0.0;
    for (const double rotation : {0.0, 4.0})
        for (const double width : {1.0, 2.0, 3.0})
            for (const double offset : {0.0, 0.3, 0.5, 0.77}) {
                const LinePlot plot = renderLinePlot({.penWidth = width,
                                                      .rotation = rotation,
                                                      .secondCurve = false,
                                                      .grid = false,
                                                      .levelCurve = true,
                                                      .levelOffset = offset});
                const int middle = static_cast<int>(plot.curve.at(0.0).column);
                double worst = 0.0;
                for (int column = middle - 200; column < middle + 200; ++column) {
                    double sum = 0.0, weighted = 0.0;
                    for (int row = plot.plotArea.top; row < plot.plotArea.bottom; ++row) {
                        sum += coverage(plot.image, column, row, plot.curveColour);
                        weighted += row * coverage(plot.image, column, row, plot.curveColour);
                    }
                    worst = std::max(worst, plot.curve.distance({double(column), weighted / sum}));
                }
                EXPECT_LT(worst, 0.02) << "width " << width << ", turned " << rotation << ", offset " << offset;
                worstOnLines = std::max(worstOnLines, worst);
            }

    const MarkerPlot plot = renderMarkerPlot({.otherMarkers = 0, .grid = false});
    ASSERT_GT(plot.centres.size(), 50u);
    double worstOnMarkers = 0.0;
    for (std::size_t i = 0; i < plot.centres.size(); ++i) {
        const PixelPoint centre = plot.centres[i];
        const double reach = plot.sizes[i] / std::sqrt(2.0) + 1.5;
        double sum = 0.0, column = 0.0, row = 0.0;
        for (int r = int(centre.row - reach); r <= int(centre.row + reach) + 1; ++r)
            for (int c = int(centre.column - reach); c <= int(centre.column + reach) + 1; ++c)
                if (std::hypot(c - centre.column, r - centre.row) <= reach) {
                    const double w = coverage(plot.image, c, r, plot.markerColour);
                    sum += w;
                    column += c * w;
                    row += r * w;
                }
        const double error = std::hypot(column / sum - centre.column, row / sum - centre.row);
        EXPECT_LT(error, 0.05) << "marker " << i;
        worstOnMarkers = std::max(worstOnMarkers, error);
    }
    std::printf("truth: coverage centres within %.4f px of lines, %.4f px of markers\n", worstOnLines, worstOnMarkers);
}

class LineAccuracy : public testing::TestWithParam<LineCase> {};

TEST_P(LineAccuracy, FollowsTheCurveThroughCrossingsAndGrid)
{
    const LineFigures figures = measureLine(GetParam());
    std::printf("%s: %zu points, RMS %.3f px, worst %.3f px, coverage %.2f %% (%.1f %% hidden), %d off the curve\n",
                describe(GetParam()).c_str(), figures.points, figures.rms, figures.worst, 100.0 * figures.coverage,
                100.0 * figures.hidden, figures.offCurve);
    EXPECT_LE(figures.rms, lineRmsGoal);
    EXPECT_LE(figures.worst, lineWorstGoal);
    EXPECT_GE(figures.coverage, lineCoverageGoal);
    EXPECT_EQ(figures.offCurve, 0);
}

INSTANTIATE_TEST_SUITE_P(Cases, LineAccuracy, testing::ValuesIn(lineCases()),
                         [](const testing::TestParamInfo<LineCase>& named) {
                             return std::to_string(int(named.param.penWidth)) + "px" +
                                    (named.param.rotation == 0.0 ? "Straight" : "Turned") +
                                    (named.param.encoding == Encoding::png ? "Png" : "Jpeg75");
                         });

class MarkerAccuracy : public testing::TestWithParam<Encoding> {};

TEST_P(MarkerAccuracy, FindsEveryMarkerAndOnlyThem)
{
    const MarkerFigures figures = measureMarkers(GetParam());
    std::printf("markers, %s: %zu of %zu found, %zu false, centre RMS %.3f px\n", encodingName(GetParam()),
                figures.matched, figures.truth, figures.falsePoints, figures.rms);
    EXPECT_EQ(figures.matched, figures.truth);
    EXPECT_EQ(figures.falsePoints, 0u);
    EXPECT_LE(figures.rms, markerRmsGoal);
}

INSTANTIATE_TEST_SUITE_P(Cases, MarkerAccuracy, testing::ValuesIn(markerCases),
                         [](const testing::TestParamInfo<Encoding>& named) {
                             return std::string(named.param == Encoding::png ? "Png" : "Jpeg75");
                         });

} // namespace
