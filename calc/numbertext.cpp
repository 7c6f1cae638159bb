// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Clockdeck developers
#include "numbertext.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstddef>
#include <limits>
#include <system_error>

namespace clockdeck {

namespace {

constexpr int SignificantDigits = 15;

// A finite, non-negative double as at most 15 significant decimal digits: value = 0.DIGITS x 10^pointPos.
// Digits carry no trailing zeros; zero is the empty digit string.
struct Decimal
{
    std::string digits;
    int pointPos = 0;
};

Decimal decompose(double magnitude)
{
    Decimal d;
    if (magnitude == 0) {
        return d;
    }
    // "d.dddddddddddddde+XXX": to_chars rounds the exact binary value correctly to 15 significant digits.
    char buf[64];
    const auto res =
        std::to_chars(buf, buf + sizeof buf, magnitude, std::chars_format::scientific, SignificantDigits - 1);
    const std::string_view s(buf, static_cast<std::size_t>(res.ptr - buf));
    const auto e = s.find('e');
    d.digits.reserve(SignificantDigits);
    for (std::size_t i = 0; i < e; ++i) {
        if (s[i] != '.') {
            d.digits.push_back(s[i]);
        }
    }
    int exponent = 0;
    const char* expBegin = s.data() + e + 1;
    if (*expBegin == '+') {
        ++expBegin;
    }
    std::from_chars(expBegin, s.data() + s.size(), exponent);
    d.pointPos = exponent + 1;
    while (!d.digits.empty() && d.digits.back() == '0') {
        d.digits.pop_back();
    }
    return d;
}

// Rounds half away from zero so that no digit stands beyond `decimals` places after the point.
void roundToDecimals(Decimal& d, int decimals)
{
    const long keep = static_cast<long>(d.pointPos) + decimals;
    if (keep >= static_cast<long>(d.digits.size())) {
        return;
    }
    if (keep < 0) {
        d.digits.clear();
        return;
    }
    const bool up = d.digits[static_cast<std::size_t>(keep)] >= '5';
    d.digits.resize(static_cast<std::size_t>(keep));
    if (up) {
        std::size_t i = d.digits.size();
        while (i > 0 && d.digits[i - 1] == '9') {
            d.digits.pop_back();
            --i;
        }
        if (i == 0) {
            // All nines (or nothing kept): the value becomes one unit of the place above the last kept digit.
            d.digits.assign(1, '1');
            d.pointPos += 1;
        } else {
            ++d.digits[i - 1];
        }
    }
    while (!d.digits.empty() && d.digits.back() == '0') {
        d.digits.pop_back();
    }
}

// The digit at a position counted from the point: 0 is the first digit after it, -1 the units digit.
char digitAt(const Decimal& d, int afterPoint)
{
    const long i = static_cast<long>(d.pointPos) + afterPoint;
    return i >= 0 && i < static_cast<long>(d.digits.size()) ? d.digits[static_cast<std::size_t>(i)] : '0';
}

std::string integerDigits(const Decimal& d)
{
    if (d.digits.empty() || d.pointPos <= 0) {
        return {};
    }
    std::string s = d.digits.substr(0, std::min<std::size_t>(d.digits.size(), static_cast<std::size_t>(d.pointPos)));
    s.append(static_cast<std::size_t>(d.pointPos) - s.size(), '0');
    return s;
}

std::string fractionDigits(const Decimal& d)
{
    if (d.pointPos >= static_cast<int>(d.digits.size())) {
        return {};
    }
    std::string s;
    if (d.pointPos < 0) {
        s.assign(static_cast<std::size_t>(-d.pointPos), '0');
    }
    s.append(d.digits, static_cast<std::size_t>(std::max(d.pointPos, 0)));
    return s;
}

std::string nonFiniteText(double x)
{
    if (std::isnan(x)) {
        return "nan";
    }
    return x < 0 ? "-inf" : "inf";
}

bool isBlank(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\r';
}

bool isDigit(char c)
{
    return c >= '0' && c <= '9';
}

// The length of the decimal number at the start of `s` (sign, digits, one point, exponent), 0 when none.
std::size_t numberLength(std::string_view s)
{
    std::size_t i = 0;
    if (i < s.size() && (s[i] == '+' || s[i] == '-')) {
        ++i;
    }
    std::size_t mantissaDigits = 0;
    while (i < s.size() && isDigit(s[i])) {
        ++i;
        ++mantissaDigits;
    }
    if (i < s.size() && s[i] == '.') {
        ++i;
        while (i < s.size() && isDigit(s[i])) {
            ++i;
            ++mantissaDigits;
        }
    }
    if (mantissaDigits == 0) {
        return 0;
    }
    if (i < s.size() && (s[i] == 'e' || s[i] == 'E')) {
        std::size_t j = i + 1;
        if (j < s.size() && (s[j] == '+' || s[j] == '-')) {
            ++j;
        }
        if (j < s.size() && isDigit(s[j])) {
            while (j < s.size() && isDigit(s[j])) {
                ++j;
            }
            i = j;
        }
    }
    return i;
}

// Converts a text that numberLength accepted whole. A magnitude beyond the double range gives an infinity,
// one below it zero.
double convertNumber(std::string_view number)
{
    bool negative = false;
    if (!number.empty() && (number.front() == '+' || number.front() == '-')) {
        negative = number.front() == '-';
        number.remove_prefix(1);
    }
    double value = 0;
    const auto res = std::from_chars(number.data(), number.data() + number.size(), value, std::chars_format::general);
    if (res.ec == std::errc::result_out_of_range) {
        // Decide between overflow and underflow by the decimal exponent of the first non-zero digit.
        long long magnitude = 0;
        std::size_t i = 0;
        bool seenNonZero = false;
        for (; i < number.size() && isDigit(number[i]); ++i) {
            seenNonZero = seenNonZero || number[i] != '0';
            magnitude += seenNonZero ? 1 : 0;
        }
        if (i < number.size() && number[i] == '.') {
            for (++i; !seenNonZero && i < number.size() && isDigit(number[i]); ++i) {
                seenNonZero = number[i] != '0';
                magnitude -= seenNonZero ? 0 : 1;
            }
            while (i < number.size() && isDigit(number[i])) {
                ++i;
            }
        }
        long long exponent = 0;
        if (i < number.size() && (number[i] == 'e' || number[i] == 'E')) {
            ++i;
            const bool negativeExponent = i < number.size() && number[i] == '-';
            if (i < number.size() && (number[i] == '+' || number[i] == '-')) {
                ++i;
            }
            for (; i < number.size() && isDigit(number[i]); ++i) {
                exponent = std::min<long long>(exponent * 10 + (number[i] - '0'), 1'000'000'000LL);
            }
            exponent = negativeExponent ? -exponent : exponent;
        }
        value = magnitude + exponent > 0 ? std::numeric_limits<double>::infinity() : 0.0;
    }
    return negative ? -value : value;
}

} // namespace

double ParseLeadingNumber(std::string_view text)
{
    std::size_t start = 0;
    while (start < text.size() && isBlank(text[start])) {
        ++start;
    }
    text.remove_prefix(start);
    const std::size_t length = numberLength(text);
    return length == 0 ? 0.0 : convertNumber(text.substr(0, length));
}

std::optional<double> StrictNumber(std::string_view text)
{
    while (!text.empty() && isBlank(text.front())) {
        text.remove_prefix(1);
    }
    while (!text.empty() && isBlank(text.back())) {
        text.remove_suffix(1);
    }
    if (text.empty() || numberLength(text) != text.size()) {
        return std::nullopt;
    }
    return convertNumber(text);
}

std::string NumberToText(double x)
{
    if (!std::isfinite(x)) {
        return nonFiniteText(x);
    }
    // Whole and half numbers (clocks and multipliers, many times in a search) are written directly; the text is
    // the one the general path writes.
    if (const double twice = x * 2; std::fabs(x) < 1e14 && twice == std::trunc(twice) && x != 0) {
        const auto whole = static_cast<long long>(std::trunc(x));
        char buf[24];
        char* end = buf;
        if (x < 0) {
            *end++ = '-';
        }
        if (whole != 0) {
            end = std::to_chars(end, buf + sizeof buf, whole < 0 ? -whole : whole).ptr;
        }
        if (twice != static_cast<double>(whole) * 2) {
            *end++ = '.';
            *end++ = '5';
        }
        return std::string(buf, end);
    }
    const Decimal d = decompose(std::fabs(x));
    if (d.digits.empty()) {
        return "0";
    }
    std::string s = x < 0 ? "-" : "";
    const int exponent = d.pointPos - 1;
    if (exponent >= SignificantDigits || exponent < -5) {
        s += d.digits.front();
        if (d.digits.size() > 1) {
            s += '.';
            s.append(d.digits, 1);
        }
        s += exponent < 0 ? "E-" : "E+";
        const int e = exponent < 0 ? -exponent : exponent;
        if (e < 10) {
            s += '0';
        }
        s += std::to_string(e);
        return s;
    }
    s += integerDigits(d);
    if (const std::string fraction = fractionDigits(d); !fraction.empty()) {
        s += '.';
        s += fraction;
    }
    return s;
}

std::string FifteenDigitText(double x)
{
    if (!std::isfinite(x)) {
        return {};
    }
    const Decimal d = decompose(std::fabs(x));
    if (d.digits.empty()) {
        return "0";
    }
    std::string s = x < 0 ? "-" : "";
    const std::string whole = integerDigits(d);
    s += whole.empty() ? "0" : whole;
    if (const std::string fraction = fractionDigits(d); !fraction.empty()) {
        s += '.';
        s += fraction;
    }
    return s;
}

std::string FormatNumberPattern(double x, std::string_view pattern)
{
    if (!std::isfinite(x)) {
        return nonFiniteText(x);
    }
    const auto point = pattern.find('.');
    const std::string_view wholePattern = pattern.substr(0, point);
    const std::string_view fractionPattern =
        point == std::string_view::npos ? std::string_view() : pattern.substr(point + 1);
    const int decimals = static_cast<int>(fractionPattern.size());

    Decimal d = decompose(std::fabs(x));
    roundToDecimals(d, decimals);

    std::string s = integerDigits(d);
    if (s.empty() && wholePattern.find('0') != std::string_view::npos) {
        s.assign(1, '0');
    }
    if (point != std::string_view::npos) {
        s += '.';
        int lastNonZero = -1;
        for (int i = 0; i < decimals; ++i) {
            if (digitAt(d, i) != '0') {
                lastNonZero = i;
            }
        }
        for (int i = 0; i < decimals; ++i) {
            const char placeholder = fractionPattern[static_cast<std::size_t>(i)];
            // "0" always writes its digit; "#" writes it only while a non-zero digit stands at or after it.
            if (placeholder == '0' || i <= lastNonZero) {
                s += digitAt(d, i);
            }
        }
    }
    if (x < 0 && !s.empty()) {
        s.insert(s.begin(), '-');
    }
    return s;
}

} // namespace clockdeck
