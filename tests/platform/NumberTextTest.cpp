#include "platform/NumberText.h"

#include <gtest/gtest.h>

#include <clocale>
#include <cmath>
#include <cstdio>
#include <random>
#include <string>

namespace {

TEST(CellNumberFormat, ShowsTheDigitsTheFormatAsksFor)
{
    const FloatingPointFormat world{false, 5, 6};
    EXPECT_EQ(formatCellNumber(1.5, world), "1.500000");
    EXPECT_EQ(formatCellNumber(100.1, world), "100.100000");
    EXPECT_EQ(formatCellNumber(1420400000.5, world), "1420400000.500000");
    EXPECT_EQ(formatCellNumber(2.5, {false, 5, 0}), "2");
    const FloatingPointFormat screen{true, 5, 0};
    EXPECT_EQ(formatCellNumber(123.456, screen), "123.46");
    EXPECT_EQ(formatCellNumber(-7.25, screen), "-7.25");
    EXPECT_EQ(formatCellNumber(123456.0, screen), "1.2346e+05");
    EXPECT_EQ(formatCellNumber(INFINITY, world), "inf");
    EXPECT_EQ(formatCellNumber(NAN, screen), "nan");
}

TEST(ShortestNumber, ReadsBackExactly)
{
    for (const double value : {0.1, 12.5, -0.0, 1e-300, 1420400000.5, 1.0 / 3.0, 5e-324, 1.7976931348623157e308}) {
        double back = 0.0;
        ASSERT_TRUE(readCompleteNumber(shortestNumber(value), &back)) << shortestNumber(value);
        EXPECT_EQ(back, value);
        EXPECT_EQ(std::signbit(back), std::signbit(value));
    }
    EXPECT_EQ(shortestNumber(12.5), "12.5");
}

TEST(CompleteNumber, AcceptsOnlyOneFiniteNumber)
{
    for (const char* text : {"1", " 2.5 ", "-0", "+7", "1e-3", "-1.5E+4", ".5", "1e39", "1e-320"})
        EXPECT_TRUE(readCompleteNumber(text)) << '"' << text << '"';
    for (const char* text :
         {"", " ", "abc", "1.2.3", "12abc", "1,5", "nan", "inf", "-infinity", "1e400", "0x10", "- 1"})
        EXPECT_FALSE(readCompleteNumber(text)) << '"' << text << '"';
}

TEST(FixedNotation, MatchesPrintfInTheCLocale)
{
    std::mt19937 random(20261206);
    std::uniform_real_distribution<double> magnitude(-12.0, 12.0);
    std::uniform_int_distribution<int> sign(0, 1);
    for (int i = 0; i < 20000; ++i) {
        const double value = (sign(random) ? -1.0 : 1.0) * std::pow(10.0, magnitude(random));
        for (const auto& [width, precision] : {std::pair{8, 3}, std::pair{14, 6}}) {
            char expected[128];
            std::snprintf(expected, sizeof expected, "%*.*f", width, precision, value);
            std::string got;
            appendFixed(got, value, width, precision);
            ASSERT_EQ(got, expected) << "for " << value;
        }
    }
    // Exact ties round to even, as printf does.
    std::string ties;
    appendFixed(ties, 0.0625, 8, 3);
    appendFixed(ties, 0.1875, 8, 3);
    EXPECT_EQ(ties, "   0.062   0.188");
}

// Qt sets the process locale from the environment; a German user has a decimal comma.
TEST(NumberText, KeepsThePointUnderADecimalCommaLocale)
{
    const std::string saved = std::setlocale(LC_ALL, nullptr);
    ASSERT_NE(std::setlocale(LC_ALL, "de_DE.UTF-8"), nullptr) << "scripts/install-deps makes this locale";
    char probe[16];
    std::snprintf(probe, sizeof probe, "%.1f", 1.5);
    double typed = 0.0;
    const bool point = readCompleteNumber("2.75", &typed), comma = readCompleteNumber("2,75");
    std::string line = formatCellNumber(1.5, {false, 5, 6}) + " " + shortestNumber(12.25);
    appendFixed(line, -2.25, 14, 6);
    std::setlocale(LC_ALL, saved.c_str());
    EXPECT_STREQ(probe, "1,5");
    EXPECT_TRUE(point && typed == 2.75 && !comma);
    EXPECT_EQ(line, "1.500000 12.25     -2.250000");
}

} // namespace
