#include "axes/LabelText.h"

#include <gtest/gtest.h>

#include <cmath>
#include <optional>
#include <string>

namespace {

struct Reading {
    std::string text;
    std::optional<double> value; // as the double nearest to the decimal written
};

class LabelTexts : public testing::TestWithParam<Reading> {};

TEST_P(LabelTexts, ReadAsTheNumberDrawnOrNotAtAll)
{
    const Reading& r = GetParam();
    const std::optional<double> value = labelValue(r.text);
    ASSERT_EQ(value.has_value(), r.value.has_value()) << r.text;
    if (value) {
        EXPECT_EQ(*value, *r.value) << r.text; // exactly: the same double as the compiler reads
        EXPECT_EQ(labelValue(plainLabelText(r.text)), value) << plainLabelText(r.text);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Labels, LabelTexts,
    testing::Values(Reading{"0", 0.0}, Reading{"2500", 2500.0}, Reading{"100000", 100000.0}, Reading{"-1.5", -1.5},
                    Reading{"\u22121.5", -1.5}, Reading{"\u20130.25", -0.25}, Reading{".5", 0.5},
                    Reading{"0.009", 0.009}, Reading{"1e-3", 1e-3}, Reading{"1E+06", 1e6}, Reading{"2.5e3", 2.5e3},
                    Reading{"10^3", 1e3}, Reading{"10^{-3}", 1e-3}, Reading{"10^-3", 1e-3},
                    Reading{"1\u00d710^{-3}", 1e-3}, Reading{"2.5x10^3", 2.5e3}, Reading{"-10^2", -100.0},
                    Reading{"10\u207b\u00b3", 1e-3}, Reading{"1\u00d710\u2074", 1e4}, Reading{"10\u2070", 1.0},
                    // What a bad reading gives must not become a number.
                    Reading{"", std::nullopt}, Reading{"-", std::nullopt}, Reading{".", std::nullopt},
                    Reading{"1.2.3", std::nullopt}, Reading{"--5", std::nullopt}, Reading{"5-", std::nullopt},
                    Reading{"1e", std::nullopt}, Reading{"e3", std::nullopt}, Reading{"10^", std::nullopt},
                    Reading{"10^{}", std::nullopt}, Reading{"10^1.5", std::nullopt}, Reading{"7^3", std::nullopt},
                    Reading{"1\u00d72^3", std::nullopt}, Reading{"1\u00d710", std::nullopt},
                    Reading{"10\u00b3\u00b3x", std::nullopt}, Reading{"1e999", std::nullopt},
                    Reading{"10^400", std::nullopt}, Reading{"1234567890123456", std::nullopt},
                    Reading{"1,000", std::nullopt}, Reading{"4a", std::nullopt}, Reading{"\xe2\x88", std::nullopt},
                    // A point lost: "0.2" read as "02" would agree with "04" and "06".
                    Reading{"02", std::nullopt}, Reading{"-05", std::nullopt}, Reading{"00.5", std::nullopt},
                    Reading{"0.05", 0.05}, Reading{"1e-03", 1e-3}, Reading{"10^{-03}", 1e-3}));

} // namespace
