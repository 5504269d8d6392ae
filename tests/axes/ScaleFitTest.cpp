#include "axes/ScaleFit.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

// Labels placed by a known scale, with the half-pixel rounding that plotting programs apply
// to ticks, must give that scale back; a label read wrong must be left out.

namespace {

std::vector<ValueAt> placed(const std::vector<double>& values, AxisScale scale, double offset, double slope,
                            const std::vector<double>& rounding = {})
{
    std::vector<ValueAt> labels;
    for (std::size_t i = 0; i < values.size(); ++i) {
        const double f = scale == AxisScale::log10 ? std::log10(values[i]) : values[i];
        labels.push_back({values[i], offset + slope * f + (i < rounding.size() ? rounding[i] : 0.0)});
    }
    return labels;
}

TEST(AxisFits, RecoverLinearAndLogScalesWithinTheirRounding)
{
    struct Case {
        std::vector<double> values;
        AxisScale scale;
        double offset, slope;
    };
    const Case cases[] = {
        {{0, 2, 4, 6, 8, 10}, AxisScale::linear, 80.5, 47.25},
        {{-300, -250, -200, -150}, AxisScale::linear, 900.0, 1.76},
        {{0.001, 0.002, 0.003, 0.004, 0.005}, AxisScale::linear, 500.0, -56000.0},
        {{1e-3, 1e-2, 1e-1, 1, 10, 100, 1000}, AxisScale::log10, 400.0, -61.0},
        {{1, 100, 10000}, AxisScale::log10, 30.0, 169.5},
    };
    const std::vector<double> rounding = {0.3, -0.2, 0.1, -0.3, 0.25, 0.0, -0.1};
    for (const Case& c : cases) {
        const std::optional<AxisFit> fit = fitAxis(placed(c.values, c.scale, c.offset, c.slope, rounding));
        ASSERT_TRUE(fit);
        EXPECT_EQ(fit->scale, c.scale);
        EXPECT_EQ(fit->agreeing.size(), c.values.size());
        EXPECT_TRUE(fit->regular);
        EXPECT_LT(fit->rms, 0.3);
        for (const double v : c.values) {
            const double f = c.scale == AxisScale::log10 ? std::log10(v) : v;
            EXPECT_NEAR(fit->positionOf(v), c.offset + c.slope * f, 0.3) << v;
        }
    }
}

TEST(AxisFits, LeaveOutALabelReadWrong)
{
    std::vector<ValueAt> labels = placed({0, 1, 2, 3, 4, 5}, AxisScale::linear, 100.0, 50.0);
    labels[3].value = 8.0; // a 3 read as an 8
    const std::optional<AxisFit> fit = fitAxis(labels);
    ASSERT_TRUE(fit);
    EXPECT_EQ(fit->agreeing, (std::vector<std::size_t>{0, 1, 2, 4, 5}));
    EXPECT_NEAR(fit->slope, 50.0, 1e-9);
}

TEST(AxisFits, ClaimNothingFromLabelsThatCannotAgree)
{
    // Two labels always agree with some line; labels more than half a pixel off do not.
    const std::optional<AxisFit> two = fitAxis(placed({1, 2}, AxisScale::linear, 0.0, 10.0));
    ASSERT_TRUE(two);
    EXPECT_EQ(two->agreeing.size(), 2u);
    EXPECT_FALSE(two->regular);
    const std::optional<AxisFit> off =
        fitAxis(placed({1, 2, 3, 4}, AxisScale::linear, 0.0, 10.0, {0.0, 0.8, -0.8, 0.0}));
    ASSERT_TRUE(off);
    EXPECT_EQ(off->agreeing.size(), 2u);
    // Numbers beyond reason take no part.
    const double nan = std::nan("");
    EXPECT_FALSE(fitAxis({{nan, 10.0}, {2.0, nan}, {1e308, -1e308}, {-1e308, 1e308}}));
    // All one value, or none: no scale at all.
    EXPECT_FALSE(fitAxis({{5.0, 10.0}, {5.0, 20.0}, {5.0, 30.0}}));
    EXPECT_FALSE(fitAxis({}));
}

TEST(AxisFits, CallUnevenStepsIrregular)
{
    // 1, 2, 5, 10 fit a log axis, but are no whole steps of one step; 0, 1, 2, 4 are.
    const std::optional<AxisFit> uneven = fitAxis(placed({1, 2, 5, 10}, AxisScale::log10, 0.0, 100.0));
    ASSERT_TRUE(uneven);
    EXPECT_EQ(uneven->agreeing.size(), 4u);
    EXPECT_FALSE(uneven->regular);
    const std::optional<AxisFit> gap = fitAxis(placed({0, 1, 2, 4}, AxisScale::linear, 0.0, 100.0));
    ASSERT_TRUE(gap);
    EXPECT_TRUE(gap->regular);
}

} // namespace
