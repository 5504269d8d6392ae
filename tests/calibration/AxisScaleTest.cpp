#include "calibration/AxesSpace.h"
#include "calibration/AxisScale.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <limits>
#include <string>
#include <vector>

namespace {

constexpr AxisScale lin = AxisScale::linear;
constexpr AxisScale lg = AxisScale::log10;
constexpr AxisScale date = AxisScale::date;

// Seconds at the start of a day counted from 1970-01-01.
constexpr double day(long long days)
{
    return static_cast<double>(days * 86400);
}

// Days counted by hand: 365 a year plus the leap days passed.
constexpr long long d2000Mar01 = 30 * 365 + 7 + 31 + 29;   // leap 1972..1996; Jan, Feb 2000
constexpr long long d2024Feb29 = 54 * 365 + 13 + 31 + 28;  // leap 1972..2020; Jan, Feb 1..28
constexpr long long d1900Jan01 = -(70 * 365 + 17);         // leap 1904..1968
constexpr long long d0000Jan01 = -(1970 * 365 + 493 - 15); // every 4th of 0..1968, less 15 centuries
constexpr long long d10000Jan01 = 8030 * 365 + 2007 - 60;  // every 4th of 1972..9996, less 60 centuries
constexpr double noon = day(d2024Feb29) + 12 * 3600;

const std::string notADate =
    "type a date such as 2024-03-01 or 2024-03-01T12:30:15 (UTC), or a number of seconds since 1970-01-01";
const std::string notATime = "type the time after the date as 12:30, 12:30:15 or 12:30:15.25";
const std::string notANumber = "type a number with a point as the decimal mark, such as 12.5";
const std::string notAboveZero = "a log axis takes only values above zero";
const std::string notADay = " is not a day of the calendar";

TEST(AxisScaleNames, ReadBackAndNothingElseIsAScale)
{
    EXPECT_EQ(axisScaleName(lg), "log10");
    EXPECT_EQ(axisScaleName(date), "date");
    for (const AxisScale scale : {lin, lg, date})
        EXPECT_EQ(axisScaleNamed(axisScaleName(scale)), scale);
    for (const char* name : {"", "Linear", "log", "log10 ", "dates"}) {
        SCOPED_TRACE(name);
        EXPECT_FALSE(axisScaleNamed(name));
    }
}

TEST(FitSpace, LogAxisRoundTripsSixDecadesAndWholePowersOfTenAreExact)
{
    for (int decade = -3; decade < 3; ++decade)
        for (const double mantissa : {1.0, 1.7, 3.3333333, 9.99}) {
            const double world = mantissa * std::pow(10.0, decade);
            SCOPED_TRACE(world);
            const std::optional<double> fit = toFitSpace(lg, world);
            ASSERT_TRUE(fit);
            EXPECT_NEAR(*fit, decade + std::log(mantissa) / std::log(10.0), 1e-14);
            EXPECT_NEAR(fromFitSpace(lg, *fit), world, 1e-12 * world);
        }
    for (int n = -307; n <= 308; ++n) {
        SCOPED_TRACE(n);
        const double power = std::strtod(("1e" + std::to_string(n)).c_str(), nullptr);
        EXPECT_EQ(toFitSpace(lg, power), static_cast<double>(n));
        EXPECT_EQ(fromFitSpace(lg, n), power);
    }
}

TEST(FitSpace, LinearAndDateKeepTheValueAndEveryAxisRefusesWhatItCannotShow)
{
    for (const AxisScale scale : {lin, date}) {
        EXPECT_EQ(toFitSpace(scale, -2.5), -2.5);
        EXPECT_EQ(fromFitSpace(scale, -2.5), -2.5);
    }
    constexpr double nan = std::numeric_limits<double>::quiet_NaN();
    constexpr double inf = std::numeric_limits<double>::infinity();
    const std::vector<std::pair<AxisScale, double>> refused = {{lg, 0},   {lg, -2},    {lg, nan},
                                                               {lg, inf}, {lin, -inf}, {date, nan}};
    for (const auto& [scale, world] : refused) {
        SCOPED_TRACE(std::string(axisScaleName(scale)) + " " + std::to_string(world));
        EXPECT_FALSE(toFitSpace(scale, world));
    }
}

TEST(ReadWorldValue, TakesWhatTheAxisHoldsAndSaysWhatIsWrong)
{
    struct Case {
        AxisScale scale;
        const char* text;
        std::optional<double> value;
        std::string problem;
    };
    const std::vector<Case> cases = {
        {lin, " -12.5 ", -12.5, ""},
        {lin, "", {}, ""},
        {date, " \t", {}, ""},
        {lin, "12,5", {}, notANumber},
        {lg, "1e-3", 1e-3, ""},
        {lg, "0", {}, notAboveZero},
        {lg, "-2", {}, notAboveZero},
        {date, "1970-01-01", 0, ""},
        {date, "1969-12-31T23:59:59", -1, ""},
        {date, "1969-12-31T23:59:59.75Z", -0.25, ""},
        {date, "2000-03-01", day(d2000Mar01), ""},
        {date, "2000-02-29", day(d2000Mar01 - 1), ""},
        {date, "2024-02-29", day(d2024Feb29), ""},
        {date, "2024-02-29T12:30", noon + 1800, ""},
        {date, "2024-02-29 12:30:15Z", noon + 1815, ""},
        {date, "2024-02-29t12:30:15.25z", noon + 1815.25, ""},
        {date, "1900-01-01", day(d1900Jan01), ""},
        {date, "0000-01-01", day(d0000Jan01), ""},
        {date, "9999-12-31T23:59:59", day(d10000Jan01) - 1, ""},
        {date, " -86400.5 ", -86400.5, ""},
        {date, "1900-02-29", {}, "1900-02-29" + notADay},
        {date, "2023-02-29", {}, "2023-02-29" + notADay},
        {date, "2024-03-00", {}, "2024-03-00" + notADay},
        {date, "2024-13-01", {}, "2024-13-01" + notADay + ": there is no month 13"},
        {date, "2024-03-01T24:00", {}, "the time 24:00 does not exist"},
        {date, "2024-03-01T12:60", {}, "the time 12:60 does not exist"},
        {date, "2024-03-01T23:59:60.5", {}, "the time 23:59:60 does not exist"},
        {date, "2024-03-01T12:30+01:00", {}, "only UTC times (Z) are taken, not +01:00"},
        {date, "2024-03-01T12:30Z!", {}, "the text after 2024-03-01T12:30Z is not understood: \"!\""},
        {date, "2024-03-01  12:30", {}, "the text after 2024-03-01 is not understood: \"  12:30\""},
        {date, "2024-03-01T1230", {}, notATime},
        {date, "2024-03-01T12:30:15.", {}, notATime},
        {date, "2024-3-1", {}, notADate},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        const WorldEntry entry = readWorldValue(c.scale, c.text);
        EXPECT_EQ(entry.value, c.value);
        EXPECT_EQ(entry.problem, c.problem);
    }
}

TEST(ShowWorldValue, DatesShowAsLittleAsNeededAndReadBackExactly)
{
    const std::vector<std::pair<double, std::string>> cases = {
        {0, "1970-01-01"},
        {day(d2024Feb29), "2024-02-29"},
        {day(d2000Mar01 - 1), "2000-02-29"},
        {noon + 1800, "2024-02-29T12:30"},
        {noon + 1815, "2024-02-29T12:30:15"},
        {noon + 1815.25, "2024-02-29T12:30:15.25"},
        {std::stod("1709210400.000001"), "2024-02-29T12:40:00.000001"},
        // Beyond microseconds: one step (2^-22 s) after noon, and -1.5e-7 s.
        {noon + 2.5e-7, "2024-02-29T12:00:00.0000002"},
        {-1.5e-7, "1969-12-31T23:59:59.99999985"},
        {-1, "1969-12-31T23:59:59"},
        {-0.1, "1969-12-31T23:59:59.9"},
        {day(d1900Jan01) + 60, "1900-01-01T00:01"},
        {day(d0000Jan01), "0000-01-01"},
        // One step (2^-15 s) below 10000-01-01: fewer digits round up into year 10000.
        {day(d10000Jan01) - 0x1p-15, "9999-12-31T23:59:59.99997"},
        {day(d10000Jan01), "253402300800"},
        {day(d0000Jan01) - 1, "-62167219201"},
        {1e-300, "1e-300"},
    };
    for (const auto& [value, text] : cases) {
        SCOPED_TRACE(text);
        EXPECT_EQ(showWorldValue(date, value), text);
        EXPECT_EQ(readWorldValue(date, text).value, value);
    }
    EXPECT_EQ(showWorldValue(lin, 12.5), "12.5");
    EXPECT_EQ(showWorldValue(lg, 1e-9), "1e-09");
}

} // namespace

// Polar fit space: a radius below the centre's (or not above zero on a log radius) has no
// place; an angle beyond a turn is that direction; angles come back in [0, a turn).
TEST(PolarAxesSpace, RefusesRadiiBelowTheCentreAndWrapsAngles)
{
    const AxisScales db = AxisScales::polarOf({AngleUnit::degrees, true, AxisScale::linear, -40.0});
    const AxisScales log = AxisScales::polarOf({AngleUnit::radians, false, AxisScale::log10, 0.1});
    std::string why;
    EXPECT_FALSE(toFitSpace(db, {10.0, -41.0}, &why));
    EXPECT_EQ(why, "the radius is below the one at the centre");
    EXPECT_FALSE(toFitSpace(log, {1.0, 0.0}, &why));
    EXPECT_EQ(why, "a log radius takes only values above zero");
    for (const double angle : {400.0, -30.0, 0.0, 359.999}) {
        const std::optional<DPoint> fit = toFitSpace(db, {angle, -10.0});
        ASSERT_TRUE(fit) << angle;
        const DPoint back = fromFitSpace(db, *fit);
        EXPECT_NEAR(back.x, std::fmod(std::fmod(angle, 360.0) + 360.0, 360.0), 1e-9) << angle;
        EXPECT_GE(back.x, 0.0);
        EXPECT_LT(back.x, 360.0);
        EXPECT_NEAR(back.y, -10.0, 1e-12);
        EXPECT_NEAR(worldDifference(db, 0, angle, back.x), 0.0, 1e-9) << angle;
    }
}
