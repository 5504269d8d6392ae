#include "calibration/FitDiagnostics.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

namespace {

const double degree = M_PI / 180.0;

// A known picture of a plot: screen = (100, 50) + R(turn) · diag(sx, sy) · world.
struct Picture {
    double turn = 0.0, sx = 8.0, sy = 1.5;
    DPoint screen(DPoint w) const
    {
        const double c = std::cos(turn * degree), s = std::sin(turn * degree);
        return {100 + c * sx * w.x - s * sy * w.y, 50 + s * sx * w.x + c * sy * w.y};
    }
    std::vector<DPoint> clicks(std::vector<DPoint> world) const
    {
        for (DPoint& w : world)
            w = screen(w);
        return world;
    }
};

const std::vector<DPoint> grid{{0, 0}, {100, 0}, {0, 200}, {100, 200}, {30, 70}, {60, 150}};
// Corners of a plot; typed with the last x 30 for 20 at 10 px per unit, the fit's world x
// grows by 0.05 per pixel upwards, so world y is drawn along (-0.05, 0.1).
const std::vector<DPoint> corners{{0, 0}, {20, 0}, {20, 20}}, typo{{0, 0}, {20, 0}, {30, 20}};
const char* const skewed = "x and y axes meet at 116.6 degrees in the picture";

struct Geometry {
    const char* name;
    Picture picture;
    std::vector<DPoint> world, typed; // clicked where `world` is drawn, typed as `typed` if given
    double axisAngle, rotation;
    const char* warning;
};

TEST(FitDiagnostics, ExactFitsHaveNoResidualsAndShowTheAxesTheyDraw)
{
    const Geometry table[] = {
        {"UprightThree", {}, corners, {}, 90, 0, ""},
        {"UprightSix", {}, grid, {}, 90, 0, ""},
        {"ScanTurnedFourDegrees", {4}, grid, {}, 90, 4, ""},
        {"XAxisRunningLeft", {-4, -8}, grid, {}, 90, 176, ""},
        {"ValueTypedWrong", {0, 10, 10}, corners, typo, std::atan2(2.0, -1.0) / degree, 0, skewed}};
    for (const Geometry& g : table) {
        SCOPED_TRACE(g.name);
        const auto report = diagnoseFit(g.picture.clicks(g.world), g.typed.empty() ? g.world : g.typed);
        ASSERT_TRUE(report);
        ASSERT_EQ(report->points.size(), g.world.size());
        for (const PointCheck& p : report->points)
            EXPECT_NEAR(p.pixels + std::hypot(p.residual.x, p.residual.y), 0.0, 1e-9);
        EXPECT_NEAR(report->rmsPixels, 0.0, 1e-9);
        EXPECT_EQ(report->exact, g.world.size() == 3);
        EXPECT_NEAR(report->axisAngleDegrees, g.axisAngle, 1e-6);
        EXPECT_NEAR(report->rotationDegrees, g.rotation, 1e-6);
        EXPECT_EQ(report->warnings, *g.warning ? std::vector<std::string>{g.warning} : std::vector<std::string>{});
    }
}

struct Displaced {
    const char* name;
    std::size_t count, index;
    double pixels; // how far it was clicked off, along (0.6, 0.8)
    bool named;
};

TEST(FitDiagnostics, OnePointClickedOffIsNamedWhenFourOthersOrMoreDisagree)
{
    const Displaced table[] = {{"FivePixelsInside", 6, 4, 5, true},
                               {"FivePixelsAtTheFirstPoint", 6, 0, 5, true},
                               {"TwoPixelsIsOrdinaryClicking", 6, 3, 2, false},
                               {"FourPointsAreNotJudged", 4, 3, 5, false}};
    const Picture picture{4};
    for (const Displaced& d : table) {
        SCOPED_TRACE(d.name);
        const std::vector<DPoint> world(grid.begin(), grid.begin() + static_cast<long>(d.count));
        std::vector<DPoint> screen = picture.clicks(world);
        screen[d.index] = {screen[d.index].x + 0.6 * d.pixels, screen[d.index].y + 0.8 * d.pixels};
        const auto report = diagnoseFit(screen, world);
        ASSERT_TRUE(report);
        ASSERT_EQ(report->outlier.has_value(), d.named);
        if (!d.named)
            continue;
        EXPECT_EQ(report->outlier->index, d.index);
        EXPECT_NEAR(report->outlier->pixels, d.pixels, 0.1);
        // The others' value at the clicked position, drawn through the known picture.
        const DPoint back = picture.screen(report->outlier->predicted);
        EXPECT_LT(std::hypot(back.x - screen[d.index].x, back.y - screen[d.index].y), 0.1);
    }
}

TEST(FitDiagnostics, SentencesForTheUser)
{
    std::vector<DPoint> world{{0, 0}, {40, 0}, {0, 40}, {40, 40}, {12.34, 20.02}};
    const std::vector<DPoint> screen = Picture{0, 10, 10}.clicks(world);
    world[4].y = 30;
    const auto report = diagnoseFit(screen, world);
    ASSERT_TRUE(report);
    EXPECT_EQ(report->warnings.at(0), "Point 5: typed (12.34, 30), the other points put it at (12.34, 20.02)");
    EXPECT_EQ(fitSummary(*diagnoseFit(corners, corners)), "3 points fit exactly: add a fourth to check them");
    const std::string turned = fitSummary(*diagnoseFit(Picture{-4}.clicks(grid), grid));
    EXPECT_TRUE(turned.starts_with("Fit: 6 points, RMS 0.00 px, worst point ")) << turned;
    EXPECT_TRUE(turned.ends_with(" (0.00 px), rotated 4.0 degrees clockwise")) << turned;
}

TEST(FitDiagnostics, NoReportForPairsThatCannotBeFitted)
{
    const std::vector<std::vector<DPoint>> unfit[] = {
        {{{0, 0}, {9, 1}}, {{0, 0}, {1, 1}}},                                 // two pairs
        {{{0, 0}, {9, 0}, {0, 9}}, {{0, 0}, {1, 0}}},                         // uneven lists
        {{{0, 0}, {5, 5}, {9, 9}, {2, 2}}, {{0, 0}, {1, 0}, {0, 1}, {1, 1}}}, // clicks on one line
        {{{0, 0}, {9, 0}, {0, 9}}, {{0, 0}, {1, 0}, {0, NAN}}}};              // not a number
    for (const auto& pairs : unfit)
        EXPECT_FALSE(diagnoseFit(pairs[0], pairs[1])) << &pairs - unfit;
}

} // namespace
