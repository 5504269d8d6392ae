#include "view/GridTicks.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <cmath>
#include <functional>
#include <limits>

namespace {

constexpr AxisScale lin = AxisScale::linear, lg = AxisScale::log10, date = AxisScale::date;
constexpr double day = 86400.0, year = 365 * day;
constexpr double mar2024 = 19783 * day; // 2024-03-01T00:00Z: 54 years and 13 leap days, then Jan and Feb

struct Range {
    AxisScale scale;
    double low, high;
    int wanted;
};

// The step 1, 2 or 5 times a power of ten that `v` is but for rounding; 0 for none.
double oneTwoFive(double v)
{
    const double power = std::pow(10.0, std::floor(std::log10(v) + 1e-6));
    for (const double m : {1.0, 2.0, 5.0, 10.0})
        if (std::abs(v / (m * power) - 1) < 1e-5)
            return m * power;
    return 0;
}

// The step a scale may use that lines `spacing` apart are but for rounding; 0 for none.
double allowedStep(AxisScale scale, double spacing)
{
    const double dateSteps[] = {1,     2,   5,       10,      15,       30,       60,       120,
                                300,   600, 900,     1800,    3600,     7200,     10800,    21600,
                                43200, day, 2 * day, 7 * day, 14 * day, 30 * day, 91 * day, 182 * day};
    if (scale == lg) // whole decades
        return spacing >= 1 ? oneTwoFive(spacing) : 0;
    if (scale == lin || spacing < 1)
        return oneTwoFive(spacing);
    for (const double s : dateSteps)
        if (std::abs(spacing / s - 1) < 1e-9)
            return s;
    return spacing < year ? 0 : year * oneTwoFive(spacing / year);
}

TEST(GridTicks, AreEvenMultiplesOfARoundStepCoveringTheRange)
{
    const Range ranges[] = {{lin, -1.3, 11.8, 9},
                            {lin, 0.001, 0.0037, 5},
                            {lin, 1.7e9, 1.7e9 + 0.1, 10},
                            {lin, -1e300, 1e300, 50},
                            {lg, -2, 6, 8},
                            {lg, -40.5, 300, 10},
                            {lg, 0.2, 3.9, 8},
                            {date, mar2024 + 0.05, mar2024 + 0.52, 5},
                            {date, mar2024 + 100, mar2024 + 3 * 3600, 6},
                            {date, mar2024 + 1000, mar2024 + 40 * day, 8},
                            {date, mar2024 + 5, mar2024 + 2 * year, 8},
                            {date, -300 * year, 30 * year, 6}};
    for (const auto& r : ranges) {
        const std::vector<double> ticks = gridTicks(r.scale, r.low, r.high, r.wanted);
        const auto count = static_cast<double>(ticks.size());
        ASSERT_GE(count, 2) << r.low << ".." << r.high;
        const double step = allowedStep(r.scale, (ticks.back() - ticks.front()) / (count - 1));
        ASSERT_GT(step, 0) << "lines " << ticks[1] - ticks[0] << " apart in " << r.low << ".." << r.high;
        EXPECT_TRUE(ticks.front() >= r.low && ticks.front() - step < r.low && ticks.back() <= r.high &&
                    ticks.back() + step > r.high);
        for (std::size_t i = 0; i < ticks.size(); ++i) {
            const double rounding = std::abs(ticks[i]) * 4e-16 + step * 1e-9;
            EXPECT_NEAR(ticks[i], std::round(ticks[i] / step) * step, rounding);
            EXPECT_NEAR(ticks[i] - ticks[i > 0 ? i - 1 : 0], i > 0 ? step : 0, 2 * rounding);
            EXPECT_TRUE(r.scale != date || step < day || std::fmod(ticks[i], day) == 0.0) << ticks[i]; // UTC midnights
        }
        EXPECT_TRUE(count >= r.wanted / 2.0 - 1 && count <= r.wanted * 2.0 + 1) << count;
    }
    EXPECT_EQ(gridTicks(lin, 10, -1, 2), (std::vector<double>{0, 5, 10}));
}

TEST(GridTicks, LogAxesUnderThreeDecadesAlsoGetTwoAndFiveTimesEachDecade)
{
    const double l2 = std::log10(2.0), l5 = std::log10(5.0), expected[] = {0, l2, l5, 1, 1 + l2, 1 + l5, 2};
    const std::vector<double> ticks = gridTicks(lg, -0.1, 2.1, 10);
    for (std::size_t i = 0; i < std::size(expected); ++i)
        EXPECT_NEAR(ticks.at(i), expected[i], 1e-12);
    // Within one decade, round values of the axis itself: 100, 101, ... 110.
    const std::vector<double> narrow = gridTicks(lg, 2.0, std::log10(110.5), 10);
    ASSERT_EQ(narrow.size(), 11u);
    EXPECT_NEAR(std::pow(10.0, narrow[1]), 101, 1e-9);
    EXPECT_NEAR(std::pow(10.0, narrow[10]), 110, 1e-9);
}

TEST(GridTicks, HostileRangesGiveFewTicksInsideOrNone)
{
    const double nan = std::numeric_limits<double>::quiet_NaN(), inf = std::numeric_limits<double>::infinity();
    const double huge = std::numeric_limits<double>::max();
    const double none[][2] = {{nan, 1}, {0, inf}, {-inf, inf}, {3, 3}, {1e15, 1e15 + 1}, {0, 1e-320}};
    const double wide[][2] = {{-huge, huge}, {-1e308, 1e308}, {0, 1e300}, {5, -5}};
    for (AxisScale s : {lin, lg, date})
        for (int wanted : {INT_MIN, 0, 1, INT_MAX}) {
            for (const auto& r : none)
                EXPECT_TRUE(gridTicks(s, r[0], r[1], wanted).empty()) << r[0] << ".." << r[1];
            for (const auto& r : wide) {
                const std::vector<double> ticks = gridTicks(s, r[0], r[1], wanted);
                EXPECT_TRUE(!ticks.empty() && ticks.size() <= 300u) << ticks.size();
                EXPECT_TRUE(std::adjacent_find(ticks.begin(), ticks.end(), std::greater_equal<>()) == ticks.end());
                for (double t : ticks)
                    EXPECT_TRUE(t >= std::min(r[0], r[1]) && t <= std::max(r[0], r[1])) << t;
            }
        }
}

TEST(GridLabel, ShowsTheDigitsThatTellNeighboursApart)
{
    EXPECT_EQ(
        (std::vector<std::string>{gridLabel(lin, 0.1 * 3, 0.1), gridLabel(lin, -1e-17, 0.1),
                                  gridLabel(lin, 2.5e-7, 5e-8), gridLabel(lg, std::log10(200.0), 0),
                                  gridLabel(lg, 6, 1), gridLabel(date, mar2024 + 6 * 3600, 3 * 3600),
                                  gridLabel(date, (mar2024 * 10 + 3) * 0.1, 0.1)}),
        (std::vector<std::string>{"0.3", "0.0", "2.5e-7", "200", "1e6", "2024-03-01T06:00", "2024-03-01T00:00:00.3"}));
}

} // namespace
