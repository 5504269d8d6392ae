#include "calibration/CartesianPlotmeter.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

namespace {

struct Pair {
    DPoint screen;
    DPoint world;
};

void load(CartesianPlotmeter& plotmeter, const std::vector<Pair>& pairs)
{
    plotmeter.clear();
    for (const Pair& p : pairs) {
        plotmeter.addScreenPoint(p.screen);
        plotmeter.addWorldPoint(p.world);
    }
}

void expectPointNear(DPoint got, DPoint expected, double tolerance)
{
    EXPECT_NEAR(got.x, expected.x, tolerance);
    EXPECT_NEAR(got.y, expected.y, tolerance);
}

// --- the point store -------------------------------------------------------------

TEST(CalibrationPointStore, AppendsInOrderAndClearStartsAgain)
{
    CartesianPlotmeter plotmeter;
    EXPECT_FALSE(plotmeter.hasScreenList());
    // Enough points to make the lists grow more than once.
    for (int i = 0; i < 20; ++i)
        plotmeter.addScreenPoint({static_cast<double>(i), static_cast<double>(-i)});
    ASSERT_EQ(plotmeter.screenCount(), 20);
    for (int i = 0; i < 20; ++i)
        EXPECT_EQ(plotmeter.screenPoint(i), (DPoint{static_cast<double>(i), static_cast<double>(-i)}));
    EXPECT_EQ(plotmeter.worldCount(), 0);
    EXPECT_FALSE(plotmeter.hasWorldList());
    plotmeter.clear();
    EXPECT_FALSE(plotmeter.hasScreenList());
    plotmeter.addWorldPoint({7, 8});
    EXPECT_EQ(plotmeter.worldCount(), 1);
    EXPECT_EQ(plotmeter.worldPoint(0), (DPoint{7, 8}));
}

// --- the fit -----------------------------------------------------------------------

TEST(TransformFit, FourPairsAreAnchoredAtTheFirstPairNotTheMean)
{
    CartesianPlotmeter plotmeter;
    load(plotmeter, {{{0, 0}, {1, 1}}, {{2, 0}, {5, 1}}, {{0, 2}, {1, 7}}, {{2, 2}, {5, 8}}});
    ASSERT_TRUE(plotmeter.findTransform());
    EXPECT_NEAR(plotmeter.a(0, 0), 2.0, 1e-14);
    EXPECT_NEAR(plotmeter.a(0, 1), 0.0, 1e-14);
    EXPECT_NEAR(plotmeter.a(1, 0), 1.0 / 6.0, 1e-14);
    EXPECT_NEAR(plotmeter.a(1, 1), 19.0 / 6.0, 1e-14);
    EXPECT_NEAR(plotmeter.xOffset(), 1.0, 1e-14);
    EXPECT_NEAR(plotmeter.yOffset(), 11.0 / 12.0, 1e-14);
}

// Any number of pairs lying exactly on an affine map, axes coupled as in a turned scan,
// give that map back.
class ExactAffineMap : public testing::TestWithParam<int> {};

TEST_P(ExactAffineMap, IsRecoveredAndInvertible)
{
    const double a00 = 0.25, a01 = -0.04, a10 = 0.03, a11 = -1.5, bx = -12.0, by = 700.0;
    const auto map = [&](DPoint s) { return DPoint{a00 * s.x + a01 * s.y + bx, a10 * s.x + a11 * s.y + by}; };
    std::vector<Pair> pairs;
    for (int i = 0; i < GetParam(); ++i) {
        const DPoint s{37.0 * i + 3.0 * (i % 3), 11.0 * (i % 5) + 0.5 * i * i};
        pairs.push_back({s, map(s)});
    }
    CartesianPlotmeter plotmeter;
    load(plotmeter, pairs);
    ASSERT_TRUE(plotmeter.findTransform());
    EXPECT_NEAR(plotmeter.a(0, 0), a00, 1e-9);
    EXPECT_NEAR(plotmeter.a(0, 1), a01, 1e-9);
    EXPECT_NEAR(plotmeter.a(1, 0), a10, 1e-9);
    EXPECT_NEAR(plotmeter.a(1, 1), a11, 1e-9);
    EXPECT_NEAR(plotmeter.xOffset(), bx, 1e-7);
    EXPECT_NEAR(plotmeter.yOffset(), by, 1e-7);

    for (int i = 0; i < 2; ++i)
        for (int j = 0; j < 2; ++j) {
            EXPECT_EQ(plotmeter.aTrans(i, j), plotmeter.a(j, i));
            const double product =
                plotmeter.aInverse(i, 0) * plotmeter.a(0, j) + plotmeter.aInverse(i, 1) * plotmeter.a(1, j);
            EXPECT_NEAR(product, i == j ? 1.0 : 0.0, 1e-12);
        }
    const DPoint start{123.25, 456.5};
    expectPointNear(plotmeter.calcWorldFromScreen(start), map(start), 1e-9);
    expectPointNear(plotmeter.calcScreenFromWorld(map(start)), start, 1e-9);
}

INSTANTIATE_TEST_SUITE_P(PairCounts, ExactAffineMap, testing::Values(3, 4, 7, 50));

// --- refusals: one line on the standard error stream, previous transform kept ------

struct Refusal {
    const char* name;
    std::vector<DPoint> screen;
    std::vector<DPoint> world;
    const char* message;
    friend std::ostream& operator<<(std::ostream& out, const Refusal& r) { return out << r.name; }
};

class RefusedFit : public testing::TestWithParam<Refusal> {};

TEST_P(RefusedFit, KeepsThePreviousTransform)
{
    CartesianPlotmeter plotmeter;
    load(plotmeter, {{{0, 0}, {10, 20}}, {{1, 0}, {12, 20}}, {{0, 1}, {10, 23}}});
    ASSERT_TRUE(plotmeter.findTransform());

    plotmeter.clear();
    for (DPoint s : GetParam().screen)
        plotmeter.addScreenPoint(s);
    for (DPoint w : GetParam().world)
        plotmeter.addWorldPoint(w);
    testing::internal::CaptureStderr();
    const bool fitted = plotmeter.findTransform();
    EXPECT_EQ(testing::internal::GetCapturedStderr(), ""); // callers decide what to tell

    EXPECT_FALSE(fitted);
    EXPECT_EQ(plotmeter.problem() + "\n", GetParam().message);
    EXPECT_DOUBLE_EQ(plotmeter.a(0, 0), 2.0);
    EXPECT_DOUBLE_EQ(plotmeter.a(1, 1), 3.0);
    EXPECT_DOUBLE_EQ(plotmeter.xOffset(), 10.0);
    EXPECT_DOUBLE_EQ(plotmeter.yOffset(), 20.0);
}

const double inf = HUGE_VAL;

INSTANTIATE_TEST_SUITE_P(
    Inputs, RefusedFit,
    testing::Values(
        Refusal{"MissingWorldPoints", {{0, 0}, {1, 0}, {0, 1}}, {{0, 0}, {1, 0}}, "Missing world points\n"},
        Refusal{"MissingScreenPoints", {{0, 0}, {1, 0}}, {{0, 0}, {1, 0}, {0, 1}}, "Missing screen points\n"},
        Refusal{"NoPairs", {}, {}, "Too few calibration points to fit a transform: 0\n"},
        Refusal{"TwoPairs", {{0, 0}, {5, 1}}, {{0, 0}, {1, 1}}, "Too few calibration points to fit a transform: 2\n"},
        Refusal{"ScreenPointsShareOneX",
                {{10, 0}, {10, 5}, {10, 9}},
                {{0, 0}, {1, 0}, {0, 1}},
                "Calibration screen points do not span the plane\n"},
        Refusal{"ScreenPointsOnOneSlantedLine",
                {{0, 0}, {100, 50}, {300, 150}},
                {{0, 0}, {1, 0}, {0, 1}},
                "Calibration screen points do not span the plane\n"},
        Refusal{"WorldPointsShareOneY",
                {{0, 0}, {100, 0}, {0, 100}},
                {{0, 5}, {1, 5}, {2, 5}},
                "Calibration world points do not span the plane\n"},
        Refusal{"WorldPointsOnOneLineInSinglePrecision",
                {{0, 0}, {100, 0}, {0, 100}},
                {{0, 0}, {0.1f, 0.7f}, {0.3f, 2.1f}},
                "Calibration world points do not span the plane\n"},
        Refusal{"WorldPointsCoincide",
                {{0, 0}, {100, 0}, {0, 100}},
                {{1, 1}, {1, 1}, {1, 1}},
                "Calibration world points do not span the plane\n"},
        Refusal{"InfiniteWorldValue",
                {{0, 0}, {100, 0}, {0, 100}},
                {{0, 0}, {inf, 0}, {0, 1}},
                "Calibration world points do not span the plane\n"},
        Refusal{"WorldValuesTooSmallToInvert",
                {{0, 0}, {1.0009765625, 0}, {0, 1}},
                {{10, 0}, {0, 3.4732860262704e-310}, {0, 0}},
                "Calibration world points do not span the plane\n"},
        Refusal{"WorldAxesScaledBeyondTheInversion",
                {{0, 0}, {-60, -60}, {-1574.14892578125, 0}, {0, 9.000000118510846}},
                {{0, 0}, {-3.570773493936807e+250, 0}, {0, 0}, {0, 1e-180}},
                "Calibration world points do not span the plane\n"},
        Refusal{"NotANumberScreenValue",
                {{0, 0}, {std::nan(""), 0}, {0, 100}},
                {{0, 0}, {1, 0}, {0, 1}},
                "Calibration screen points do not span the plane\n"}),
    [](const testing::TestParamInfo<Refusal>& p) { return p.param.name; });

TEST(TransformFit, WidelyDifferentAxisUnitsAreStillAccepted)
{
    // Micro-units on one axis, mega-units on the other: the span test is scale-free.
    CartesianPlotmeter plotmeter;
    load(plotmeter, {{{0, 0}, {0, 0}}, {{100, 0}, {1e-6f, 0}}, {{0, 100}, {0, 1e6f}}});
    EXPECT_TRUE(plotmeter.findTransform());
    const DPoint w = plotmeter.calcWorldFromScreen({50, 50});
    EXPECT_NEAR(w.x, 0.5e-6, 1e-12);
    EXPECT_NEAR(w.y, 0.5e6, 1e-4);
}

} // namespace
