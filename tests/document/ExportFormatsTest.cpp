#include "document/CsvFile.h"
#include "document/DataFile.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <sstream>

namespace {

// Two series of one point each, the first named with every character that needs quoting.
Document twoSeries(const std::string& firstName)
{
    Document d;
    d.apply(change::SetLook{0, defaultLook(firstName, 0)});
    d.apply(change::InsertPoints{0, 0, {{12.5, 0.25}}});
    d.apply(change::InsertSeries{1, {defaultLook("B", 1), {}}, 0});
    d.apply(change::InsertPoints{1, 0, {{-3, 1e-5}}});
    return d;
}

// The data file writes every value that is zero or at least 0.001 in magnitude exactly as
// printf's "%14.6f" always did, so an ordinary plot's file does not change by a byte; a
// smaller one, which that would print as zeros, in exponent form in the same column. Every
// value reads back within 1e-6 of itself, relatively, or exactly where %14.6f is exact.
TEST(DataFile, TinyValuesKeepTheirDigitsAndOrdinaryOnesTheirBytes)
{
    const double values[] = {0.0,  0.001,   -0.001,   0.25,   -2.25,   123456.789,
                             1e15, -7.5e12, 0.000999, 4.2e-7, -3.3e-9, 1e-300};
    for (const double value : values) {
        SCOPED_TRACE(value);
        std::string line;
        appendDataLine(line, {1, 2}, {value, -value});
        const bool tiny = value != 0.0 && std::fabs(value) < 0.001;
        if (!tiny) {
            char before[128];
            std::snprintf(before, sizeof before, "  %8.3f  %8.3f   %14.6f  %14.6f\n", 1.0, 2.0, value, -value);
            EXPECT_EQ(line, before);
            continue;
        }
        EXPECT_EQ(line.size(), 54u) << "every column keeps its width: " << line;
        std::istringstream fields(line);
        double sx = 0, sy = 0, wx = 0, wy = 0;
        ASSERT_TRUE(fields >> sx >> sy >> wx >> wy) << line;
        EXPECT_NEAR(wx, value, std::fabs(value) * 1e-6) << line;
        EXPECT_NEAR(wy, -value, std::fabs(value) * 1e-6) << line;
        EXPECT_NE(line.substr(23, 14).find("e-"), std::string::npos) << line;
    }
}

// 0.1 · 3 - 0.3 is 5.6e-17 in doubles: a point on the axis is written as 0 (1 on a log
// axis), while a value of a pixel's worth stays itself, however small the units.
TEST(DataFile, RoundingNoiseIsZeroButSmallUnitsKeepTheirValues)
{
    const WorldMap tenths{0.1, 0.0, 0.0, 0.1, -0.3, -0.3, 10.0, 0.0, 0.0, 10.0, {}};
    ASSERT_NE(tenths.fit({3, 3}).x, 0.0);
    std::string line;
    appendDataLine(line, {3, 3}, tenths.world({3, 3}));
    EXPECT_EQ(line, "     3.000     3.000         0.000000        0.000000\n");
    WorldMap logY = tenths;
    logY.scales.y = AxisScale::log10;
    EXPECT_EQ(logY.world({3, 3}).y, 1.0);

    const WorldMap nano{1e-9, 0.0, 0.0, 1e-9, 0.0, 0.0, 1e9, 0.0, 0.0, 1e9, {}};
    EXPECT_EQ(nano.world({1, 0.5}).x, 1e-9);
    EXPECT_EQ(nano.world({1, 0.5}).y, 0.5e-9);
}

struct LayoutCase {
    const char* name;
    TextLayout layout;
    std::string text;
};

TEST(DelimitedText, FollowsTheLayoutChosen)
{
    const auto layout = [](char separator, bool decimalComma, bool series, bool screen, bool header) {
        TextLayout l;
        l.separator = separator;
        l.decimalComma = decimalComma;
        l.seriesColumn = series;
        l.screenColumns = screen;
        l.header = header;
        return l;
    };
    const Document d = twoSeries("a\tb;c,\"d\"");
    const LayoutCase cases[] = {
        {"csv", TextLayout{},
         "series,x,y,screen_x,screen_y\r\n\"a\tb;c,\"\"d\"\"\",12.5,0.25,12.5,0.25\r\nB,-3,1e-05,-3,1e-05\r\n"},
        {"tab, decimal comma", layout('\t', true, true, true, true),
         "series\tx\ty\tscreen_x\tscreen_y\r\n\"a\tb;c,\"\"d\"\"\"\t12,5\t0,25\t12,5\t0,25\r\nB\t-3\t1e-05\t-3\t1e-"
         "05\r\n"},
        {"semicolon, world only", layout(';', true, false, false, true), "x;y\r\n12,5;0,25\r\n-3;1e-05\r\n"},
        {"no header, no screen", layout(',', false, true, false, false),
         "\"a\tb;c,\"\"d\"\"\",12.5,0.25\r\nB,-3,1e-05\r\n"},
    };
    for (const LayoutCase& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(c.layout.problem(), "");
        EXPECT_EQ(delimitedText(d, WorldMap{}, c.layout), c.text);
    }
    // A name that holds only what this separator does not use goes unquoted.
    EXPECT_EQ(delimitedText(twoSeries("x,y"), WorldMap{}, layout('\t', false, true, false, false), 0),
              "x,y\t12.5\t0.25\r\n");
    EXPECT_NE(layout(',', true, true, true, true).problem(), "");
    EXPECT_NE(layout('|', false, true, true, true).problem(), "");
}

TEST(DelimitedText, TheNameOfTheFileChoosesTheSeparator)
{
    EXPECT_EQ(separatorForName("points.csv"), ',');
    EXPECT_EQ(separatorForName("POINTS.CSV", true), ';');
    EXPECT_EQ(separatorForName("a/b.tsv", true), '\t');
    EXPECT_EQ(separatorForName("points.txt"), std::nullopt);
    EXPECT_EQ(separatorForName("csv"), std::nullopt);
}

} // namespace
