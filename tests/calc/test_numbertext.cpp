// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Clockdeck developers
#include "calc/numbertext.h"

#include <gtest/gtest.h>

#include <charconv>
#include <cmath>
#include <limits>
#include <random>
#include <string>

using namespace clockdeck;
using namespace std::string_literals;

namespace {

struct ParseCase
{
    const char* name;
    std::string text;
    double expected;
};

TEST(ParseLeadingNumber, TakesTheLongestLeadingNumber)
{
    const ParseCase cases[] = {
        {"plain integer", "2200", 2200},
        {"trailing unit ignored", "200 MHz", 200},
        {"leading blanks skipped", "   1.35", 1.35},
        {"no zero before the point", ".9875", 0.9875},
        {"trailing point", "5.", 5},
        {"negative", "-12.5", -12.5},
        {"exponent", "1.5E-07", 1.5e-7},
        {"exponent without digits is not part of the number", "1e", 1},
        {"exponent sign without digits", "2e+x", 2},
        {"second point ends the number", "1.2.3", 1.2},
        {"letters give zero", "abc", 0},
        {"empty gives zero", "", 0},
        {"lone minus", "-", 0},
        {"lone point", ".", 0},
        {"sign point exponent", "+.e5", 0},
        {"blank inside ends the number", "1 2", 1},
        {"percentage text", "+9.1%", 9.1},
        {"embedded NUL ends the number",
         "12\0"
         "34"s,
         12},
        {"NUL first gives zero",
         "\0"
         "5"s,
         0},
        {"underflow gives zero", "1e-999", 0},
        {"long fraction of zeros underflows", "0." + std::string(400, '0') + "1", 0},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ParseLeadingNumber(c.text), c.expected) << c.name;
    }
}

TEST(ParseLeadingNumber, OverflowGivesInfinityNotAFailure)
{
    EXPECT_EQ(ParseLeadingNumber("1e999"), std::numeric_limits<double>::infinity());
    EXPECT_EQ(ParseLeadingNumber("-1e999"), -std::numeric_limits<double>::infinity());
    EXPECT_EQ(ParseLeadingNumber("1e99999999999999999999"), std::numeric_limits<double>::infinity());
    EXPECT_EQ(ParseLeadingNumber("0.000001e400"), std::numeric_limits<double>::infinity());
}

TEST(ParseLeadingNumber, HugeInputsAreReadWithoutFailing)
{
    const std::string digits(10 * 1024 * 1024, '9');
    EXPECT_EQ(ParseLeadingNumber(digits), std::numeric_limits<double>::infinity());
    const std::string fraction = "0." + std::string(10 * 1024 * 1024, '3');
    EXPECT_DOUBLE_EQ(ParseLeadingNumber(fraction), 1.0 / 3.0);
    EXPECT_EQ(ParseLeadingNumber(std::string(10 * 1024 * 1024, ' ')), 0);
}

TEST(StrictNumber, AcceptsOnlyAWholeNumber)
{
    EXPECT_EQ(StrictNumber("11"), 11);
    EXPECT_EQ(StrictNumber(" 12. "), 12);
    EXPECT_EQ(StrictNumber("-3.5e1"), -35);
    EXPECT_EQ(StrictNumber(""), std::nullopt);
    EXPECT_EQ(StrictNumber("   "), std::nullopt);
    EXPECT_EQ(StrictNumber("11 x"), std::nullopt);
    EXPECT_EQ(StrictNumber("200 MHz"), std::nullopt);
    EXPECT_EQ(StrictNumber("1.2.3"), std::nullopt);
    EXPECT_EQ(StrictNumber("1e999"), std::numeric_limits<double>::infinity());
}

struct TextCase
{
    const char* name;
    double value;
    const char* expected;
};

TEST(NumberToText, WritesFifteenSignificantDigitsWithoutNoise)
{
    const TextCase cases[] = {
        {"whole number", 2200, "2200"},
        {"voltage step", 1.3625, "1.3625"},
        {"no zero before the point", 0.9875, ".9875"},
        {"half", 9.5, "9.5"},
        {"negative below one", -0.5, "-.5"},
        {"zero", 0, "0"},
        {"negative zero", -0.0, "0"},
        {"binary noise rounded away", 0.1 + 0.2, ".3"},
        {"product", 9.5 * 201, "1909.5"},
        {"fifteen digits kept", 12.00000000000048, "12.0000000000005"},
        {"largest plain", 999999999999999, "999999999999999"},
        {"exponent form above", 1e15, "1E+15"},
        {"exponent form with digits", 1.25e20, "1.25E+20"},
        {"smallest plain", 0.00001, ".00001"},
        {"exponent form below", 1.5e-7, "1.5E-07"},
        {"largest double", std::numeric_limits<double>::max(), "1.79769313486232E+308"},
        {"smallest denormal", std::numeric_limits<double>::denorm_min(), "4.94065645841247E-324"},
        {"infinity", std::numeric_limits<double>::infinity(), "inf"},
        {"not a number", std::numeric_limits<double>::quiet_NaN(), "nan"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(NumberToText(c.value), c.expected) << c.name;
    }
}

// Every double of at most 15 significant digits survives the trip through its text unchanged: the property
// that keeps repeated spin steps free of drift.
TEST(NumberToText, ParsesBackToTheSameDouble)
{
    std::mt19937_64 rng(20261206);
    std::uniform_int_distribution<long long> mantissa(100000000000000LL, 999999999999999LL);
    std::uniform_int_distribution<int> exponent(-307, 307);
    std::uniform_int_distribution<int> length(1, 15);
    for (int i = 0; i < 200000; ++i) {
        std::string digits = std::to_string(mantissa(rng)).substr(0, static_cast<std::size_t>(length(rng)));
        const std::string decimal = digits.substr(0, 1) + "." + digits.substr(1) + "e" + std::to_string(exponent(rng));
        double x = 0;
        std::from_chars(decimal.data(), decimal.data() + decimal.size(), x);
        if (i % 2 == 1) {
            x = -x;
        }
        const std::string text = NumberToText(x);
        ASSERT_EQ(ParseLeadingNumber(text), x) << decimal << " wrote " << text;
    }
}

struct PatternCase
{
    const char* name;
    double value;
    const char* pattern;
    const char* expected;
};

TEST(FormatNumberPattern, FollowsTheDigitPlaceholders)
{
    const PatternCase cases[] = {
        // "##0.#0": core voltage percentage
        {"two decimals", 3.7037, "##0.#0", "3.70"},
        {"negative", -5.5, "##0.#0", "-5.50"},
        {"zero before point from the 0 placeholder", 0.05, "##0.#0", "0.05"},
        {"whole number drops the # position", 0, "##0.#0", "0.0"},
        {"value rounding to whole", 4.999, "##0.#0", "5.0"},
        // "###.0": clock percentages
        {"one decimal", 9.0909, "###.0", "9.1"},
        {"below one starts with the point", 0.04, "###.0", ".0"},
        {"hundred", 100, "###.0", "100.0"},
        {"carry through nines", 99.96, "###.0", "100.0"},
        {"half of the last place rounds up", 0.05, "###.0", ".1"},
        // "0.#0": memory voltage percentage
        {"memory voltage", 1.923, "0.#0", "1.92"},
        {"trailing zero kept by the 0", 0.5, "0.#0", "0.50"},
        {"whole number", 5, "0.#0", "5.0"},
        // "###.0#": memory clock
        {"whole clock", 200, "###.0#", "200.0"},
        {"two decimal clock", 183.3333, "###.0#", "183.33"},
        {"half away from zero on decimal digits", 159.125, "###.0#", "159.13"},
        {"decimal half not binary half", 1.005, "###.0#", "1.01"},
        {"rounds to whole", 142.999, "###.0#", "143.0"},
        // "###.#0": memory clock of the 100 class
        {"class 100 half", 100.5, "###.#0", "100.50"},
        {"class 100 whole", 100, "###.#0", "100.0"},
        {"zero digit before a non-zero one", 100.05, "###.#0", "100.05"},
        // "###": reference clock
        {"whole rounding", 219.27, "###", "219"},
        {"half rounds away", 216.5, "###", "217"},
        {"rounds to zero gives nothing", 0.4, "###", ""},
        {"negative rounding to zero gives nothing", -0.4, "###", ""},
        // Extremes never fail
        {"denormal", std::numeric_limits<double>::denorm_min(), "0.#0", "0.0"},
        {"not a number", std::numeric_limits<double>::quiet_NaN(), "###.0", "nan"},
        {"infinity", -std::numeric_limits<double>::infinity(), "###.0", "-inf"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(FormatNumberPattern(c.value, c.pattern), c.expected) << c.name;
    }
    EXPECT_EQ(FormatNumberPattern(std::numeric_limits<double>::max(), "###.0"),
              "179769313486232" + std::string(294, '0') + ".0");
}

} // namespace
