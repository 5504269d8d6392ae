#include "platform/NumberText.h"

#include <gtest/gtest.h>

#include <clocale>
#include <cmath>
#include <cstdio>
#include <random>
#include <string>

namespace {

TEST(CellNumberFormat, FixedFormatShowsExactlyTheRightDigits)
{
    const FloatingPointFormat world{false, 5, 6};
    EXPECT_EQ(formatCellNumber(1.5f, world), "1.500000");
    EXPECT_EQ(formatCellNumber(-2.25f, world), "-2.250000");
    // Single precision shows through six decimals.
    EXPECT_EQ(formatCellNumber(100.1f, world), "100.099998");
    EXPECT_EQ(formatCellNumber(123456789.0f, world), "123456792.000000");
    EXPECT_EQ(formatCellNumber(2.5f, {false, 5, 0}), "2");
}

TEST(CellNumberFormat, AutorangeMovesThePointToFitTheDigits)
{
    const FloatingPointFormat screen{true, 5, 0};
    EXPECT_EQ(formatCellNumber(123.0f, screen), "123");
    EXPECT_EQ(formatCellNumber(123.456f, screen), "123.46");
    EXPECT_EQ(formatCellNumber(12345.6f, screen), "12346");
    EXPECT_EQ(formatCellNumber(0.5f, screen), "0.5");
    EXPECT_EQ(formatCellNumber(-7.25f, screen), "-7.25");
    EXPECT_EQ(formatCellNumber(123456.0f, screen), "1.2346e+05");
    EXPECT_EQ(formatCellNumber(100.1f, {true, 5, 6}), "100.09999847");
}

TEST(CellNumberFormat, NonFiniteValuesAreShownByName)
{
    EXPECT_EQ(formatCellNumber(INFINITY, {false, 5, 6}), "inf");
    EXPECT_EQ(formatCellNumber(-INFINITY, {true, 5, 0}), "-inf");
    EXPECT_EQ(formatCellNumber(NAN, {true, 5, 0}), "nan");
}

TEST(ReadingTypedNumbers, TakesTheLeadingNumber)
{
    EXPECT_EQ(readLeadingFloat("12.5abc"), 12.5f);
    EXPECT_EQ(readLeadingFloat("  -3e2"), -300.0f);
    EXPECT_EQ(readLeadingFloat("+4"), 4.0f);
    EXPECT_EQ(readLeadingFloat("1,5"), 1.0f);
    EXPECT_EQ(readLeadingFloat("abc"), 0.0f);
    EXPECT_EQ(readLeadingFloat(""), 0.0f);
    EXPECT_EQ(readLeadingFloat(" "), 0.0f);
    EXPECT_EQ(readLeadingFloat("100.1"), 100.1f);
    EXPECT_TRUE(std::signbit(readLeadingFloat("-0")));
    EXPECT_EQ(readLeadingFloat("1e39"), INFINITY);
    EXPECT_EQ(readLeadingFloat("-1e39"), -INFINITY);
    EXPECT_EQ(readLeadingFloat("1e-50"), 0.0f);
}

struct TypedValue {
    const char* text;
    bool accepted;
    friend std::ostream& operator<<(std::ostream& out, const TypedValue& v) { return out << '"' << v.text << '"'; }
};

class CompleteNumber : public testing::TestWithParam<TypedValue> {};

TEST_P(CompleteNumber, AcceptsOnlyOneFiniteNumber)
{
    EXPECT_EQ(isCompleteFiniteFloat(GetParam().text), GetParam().accepted) << '"' << GetParam().text << '"';
}

INSTANTIATE_TEST_SUITE_P(TypedValues, CompleteNumber,
                         testing::Values(TypedValue{"1", true}, TypedValue{" 2.5 ", true}, TypedValue{"-0", true},
                                         TypedValue{"+7", true}, TypedValue{"1e-3", true}, TypedValue{"-1.5E+4", true},
                                         TypedValue{".5", true}, TypedValue{"3.4e38", true}, TypedValue{"", false},
                                         TypedValue{" ", false}, TypedValue{"abc", false}, TypedValue{"1.2.3", false},
                                         TypedValue{"12abc", false}, TypedValue{"1,5", false}, TypedValue{"nan", false},
                                         TypedValue{"inf", false}, TypedValue{"-infinity", false},
                                         TypedValue{"1e39", false}, TypedValue{"1e-50", false},
                                         TypedValue{"0x10", false}, TypedValue{"- 1", false}));

TEST(FixedNotation, MatchesPrintfInTheCLocale)
{
    std::mt19937 random(20261206);
    std::uniform_real_distribution<float> magnitude(-12.0f, 12.0f);
    std::uniform_int_distribution<int> sign(0, 1);
    for (int i = 0; i < 20000; ++i) {
        const float value = (sign(random) ? -1.0f : 1.0f) * std::pow(10.0f, magnitude(random));
        for (const auto& [width, precision] : {std::pair{8, 3}, std::pair{14, 6}}) {
            char expected[128];
            std::snprintf(expected, sizeof expected, "%*.*f", width, precision, static_cast<double>(value));
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
class UnderDecimalCommaLocale : public testing::Test {
  protected:
    void SetUp() override
    {
        saved_ = std::setlocale(LC_ALL, nullptr);
        ASSERT_NE(std::setlocale(LC_ALL, "de_DE.UTF-8"), nullptr) << "scripts/install-deps makes this locale";
        char probe[16];
        std::snprintf(probe, sizeof probe, "%.1f", 1.5);
        ASSERT_STREQ(probe, "1,5");
    }
    void TearDown() override { std::setlocale(LC_ALL, saved_.c_str()); }

  private:
    std::string saved_;
};

TEST_F(UnderDecimalCommaLocale, NumbersKeepThePoint)
{
    EXPECT_EQ(readLeadingFloat("1.5"), 1.5f);
    EXPECT_TRUE(isCompleteFiniteFloat("2.75"));
    EXPECT_FALSE(isCompleteFiniteFloat("2,75"));
    EXPECT_EQ(formatCellNumber(1.5f, {false, 5, 6}), "1.500000");
    EXPECT_EQ(formatCellNumber(12.25f, {true, 5, 0}), "12.25");
    std::string line;
    appendFixed(line, -2.25, 14, 6);
    EXPECT_EQ(line, "     -2.250000");
}

} // namespace
