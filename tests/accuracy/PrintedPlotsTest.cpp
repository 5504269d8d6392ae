// The extraction on plots as papers print them, drawn by matplotlib at test time with
// known truth (tools/plots/PrintedPlots.h): each black curve of its line style followed
// from a point on it among the others, gridlines, legend and note; two red curves
// crossing at 15 degrees each followed through the crossing; black hollow circles and
// filled squares found among text. One seed, PNG; `make bench` measures more.
#include "../fakes/TempFolder.h"
#include "plots/PrintedPlots.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <memory>

namespace {

class Printed : public testing::Test {
  protected:
    static void SetUpTestSuite()
    {
        folder_ = std::make_unique<TempFolder>();
        drawn_ = drawPrintedPlots(folder_->path.string(), 1, false);
    }
    static void TearDownTestSuite() { folder_.reset(); }

    // The plot's truth and picture; fails the test (never skips it) when matplotlib drew nothing.
    static std::pair<PrintedTruth, QImage> plot(const std::string& name)
    {
        EXPECT_EQ(drawn_, "");
        const std::optional<PrintedTruth> truth = readPrintedTruth(folder_->path.string(), name);
        if (!truth) {
            ADD_FAILURE() << "no truth for " << name;
            return {};
        }
        QImage picture((folder_->path / truth->picture).string().c_str());
        EXPECT_FALSE(picture.isNull()) << truth->picture;
        return {*truth, picture.convertToFormat(QImage::Format_RGB32)};
    }

    static std::unique_ptr<TempFolder> folder_;
    static std::string drawn_;
};

std::unique_ptr<TempFolder> Printed::folder_;
std::string Printed::drawn_;

void report(const char* what, const PrintedLineFigures& f)
{
    std::printf("%s: %zu points, coverage %.1f %%, RMS %.3f px, %.2f %% off the curve\n", what, f.points,
                100.0 * f.coverage, f.rms, 100.0 * f.offShare);
}

// Each line style, followed from a point near the middle of its x-range: over black
// gridlines, through crossings with the other black curves, past the legend and the note.
TEST_F(Printed, EachLineStyleFollowedFromAPointOnIt)
{
    const auto [truth, picture] = plot("lines");
    ASSERT_EQ(truth.curves.size(), 4u);
    for (std::size_t curve = 0; curve < truth.curves.size(); ++curve) {
        const PixelPoint start = startOn(truth, curve, 0.5);
        const PrintedLineFigures f =
            printedLineFigures(extractPrinted(picture, truth, ExtractionMode::line, start), truth, curve);
        report(truth.curves[curve].style.c_str(), f);
        EXPECT_GE(f.coverage, printedCoverageGoal) << truth.curves[curve].style;
        EXPECT_LE(f.rms, printedRmsGoal) << truth.curves[curve].style;
        EXPECT_LE(f.offShare, printedOffShareGoal) << truth.curves[curve].style;
    }
}

// Two curves of one colour crossing at 15 degrees: each, followed from a point before the
// crossing, is followed through it and not switched for the other.
TEST_F(Printed, CurvesCrossingAtFifteenDegreesAreToldApart)
{
    const auto [truth, picture] = plot("crossing");
    ASSERT_EQ(truth.curves.size(), 2u);
    for (std::size_t curve = 0; curve < 2; ++curve)
        for (const double from : {0.2, 0.8}) {
            const PrintedLineFigures f = printedLineFigures(
                extractPrinted(picture, truth, ExtractionMode::line, startOn(truth, curve, from)), truth, curve);
            report((truth.curves[curve].style + (from < 0.5 ? ", from the left" : ", from the right")).c_str(), f);
            EXPECT_GE(f.coverage, printedCrossingGoal) << truth.curves[curve].style << " from " << from;
            EXPECT_LE(f.rms, printedRmsGoal) << truth.curves[curve].style << " from " << from;
            EXPECT_LE(f.offShare, printedOffShareGoal) << truth.curves[curve].style << " from " << from;
        }
}

// Hollow circles and filled squares, some on a line of their colour, some beside labels,
// among notes: every marker at its centre, and characters of text not taken for markers.
TEST_F(Printed, MarkersAmongTextAtTheirCentres)
{
    const auto [truth, picture] = plot("markers");
    const PrintedMarkerFigures f =
        printedMarkerFigures(extractPrinted(picture, truth, ExtractionMode::markers, std::nullopt), truth);
    std::printf("markers: %zu points, %zu of %zu found, recall %.3f, precision %.3f, centre RMS %.3f px\n", f.points,
                f.matched, f.truth, f.recall, f.precision, f.rms);
    EXPECT_GE(f.recall, printedRecallGoal);
    EXPECT_GE(f.precision, printedPrecisionGoal);
    EXPECT_LE(f.rms, printedMarkerRmsGoal);
}

} // namespace
