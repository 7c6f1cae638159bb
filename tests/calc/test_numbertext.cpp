// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Clockdeck developers
#include "calc/numbertext.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <limits>
#include <random>
#include <string>

using namespace clockdeck;

namespace {

constexpr double Inf = std::numeric_limits<double>::infinity();
constexpr double Max = std::numeric_limits<double>::max();
constexpr double NaN = std::numeric_limits<double>::quiet_NaN();

TEST(NumberText, ParseTakesTheLongestLeadingNumber)
{
    // clang-format off
    const std::pair<const char*, double> cases[] = {
        {"200 MHz", 200}, {"   1.35", 1.35}, {".9875", 0.9875}, {"-12.5", -12.5}, {"1.5E-07", 1.5e-7}, {"1e", 1},
        {"2e+x", 2}, {"1.2.3", 1.2}, {"+9.1%", 9.1}, {"abc", 0}, {"", 0}, {"-", 0}, {".", 0}, {"1 2", 1},
        {"1e-999", 0}, {"1e999", Inf}, {"-1e999", -Inf}, {"0.000001e400", Inf}};
    // clang-format on
    for (const auto& [text, expected] : cases) {
        EXPECT_EQ(ParseLeadingNumber(text), expected) << text;
    }
    EXPECT_EQ(ParseLeadingNumber(std::string{'1', '2', '\0', '3'}), 12);
    EXPECT_EQ(strictNumber(" 12. "), 12);
    EXPECT_EQ(strictNumber("-3.5e1"), -35);
    for (const char* notANumber : {"", "   ", "11 x", "200 MHz", "1.2.3"}) {
        EXPECT_EQ(strictNumber(notANumber), std::nullopt) << notANumber;
    }
}

TEST(NumberText, NumberToTextWritesFifteenDigitsWithoutNoise)
{
    // clang-format off
    const std::pair<double, const char*> cases[] = {
        {2200, "2200"}, {1.3625, "1.3625"}, {0.9875, ".9875"}, {-0.5, "-.5"}, {-0.0, "0"}, {0.1 + 0.2, ".3"},
        {12.00000000000048, "12.0000000000005"}, {999999999999999, "999999999999999"}, {1e15, "1E+15"},
        {0.00001, ".00001"}, {1.5e-7, "1.5E-07"}, {Max, "1.79769313486232E+308"}, {Inf, "inf"}, {NaN, "nan"}};
    // clang-format on
    for (const auto& [value, expected] : cases) {
        EXPECT_EQ(NumberToText(value), expected) << expected;
    }
    EXPECT_EQ(fifteenDigitText(0.5), "0.5");
}

// Every double of at most 15 significant digits survives the trip through its text: the property that keeps
// repeated spin steps free of drift.
TEST(NumberText, NumberToTextParsesBackToTheSameDouble)
{
    std::mt19937_64 rng(20261206);
    std::uniform_int_distribution<long long> mantissa(100000000000000LL, 999999999999999LL);
    std::uniform_int_distribution<int> exponent(-307, 307);
    std::uniform_int_distribution<std::size_t> length(1, 15);
    for (int i = 0; i < 50000; ++i) {
        const std::string digits = std::to_string(mantissa(rng)).substr(0, length(rng));
        const std::string decimal = digits.substr(0, 1) + "." + digits.substr(1) + "e" + std::to_string(exponent(rng));
        const double x = std::strtod(decimal.c_str(), nullptr);
        ASSERT_EQ(ParseLeadingNumber(NumberToText(i % 2 ? -x : x)), i % 2 ? -x : x) << decimal;
    }
}

// Each pattern's half-way case rounds away from zero on the decimal digits, plus what tells the patterns apart.
TEST(NumberText, FormatNumberPatternFollowsThePlaceholders)
{
    const std::tuple<double, const char*, const char*> cases[] = {
        {0.125, "##0.#0", "0.13"},  {-0.125, "##0.#0", "-0.13"},   {3.7037, "##0.#0", "3.70"},
        {4.999, "##0.#0", "5.0"},   {0.05, "###.0", ".1"},         {0.04, "###.0", ".0"},
        {99.96, "###.0", "100.0"},  {1.005, "0.#0", "1.01"},       {0.5, "0.#0", "0.50"},
        {5, "0.#0", "5.0"},         {159.125, "###.0#", "159.13"}, {200, "###.0#", "200.0"},
        {200.5, "###.0#", "200.5"}, {100.125, "###.#0", "100.13"}, {100.05, "###.#0", "100.05"},
        {100, "###.#0", "100.0"},   {216.5, "###", "217"},         {219.49, "###", "219"},
        {0.4, "###", ""},           {-Inf, "###.0", "-inf"}};
    for (const auto& [value, pattern, expected] : cases) {
        EXPECT_EQ(FormatNumberPattern(value, pattern), expected) << value << " " << pattern;
    }
}

} // namespace
