// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Clockdeck developers
#pragma once

#include <optional>
#include <string>
#include <string_view>

// Numbers live as text in the calculator. These are the only ways a field's text becomes a number and back;
// none of them depends on the C or C++ locale.
namespace clockdeck {

// The lenient parse used whenever a field is read: leading blanks skipped, then the longest prefix that forms a
// decimal number (sign, digits, one ".", exponent); 0 when the text does not begin with a number. Never fails.
// A magnitude beyond the double range gives an infinity, which the range checks and Update's checks catch.
[[nodiscard]] double ParseLeadingNumber(std::string_view text);

// A computed number as field text: at most 15 significant digits, no trailing zeros, no leading blank, no zero
// before the point below 1 (.9875), "-" for negatives. Magnitudes from 1e15 up and below 1e-5 take the exponent
// form ("1E+15", "1.5E-07"); infinities and NaN give "inf", "-inf" and "nan", which parse back as 0.
[[nodiscard]] std::string NumberToText(double x);

// A number by a digit-placeholder pattern such as "##0.#0", "###.0", "0.#0", "###.0#", "###.#0" or "###".
// Rounds the value's 15-digit decimal form half away from zero. A "#" before a "0" after the point writes nothing
// when the rounded value has no non-zero digit from its position on, so 5 with "0.#0" gives "5.0".
[[nodiscard]] std::string FormatNumberPattern(double x, std::string_view pattern);

// Strict conversion of a whole text (blanks around it allowed): the number, or nothing when the text is not a
// number or overflows. Used where the calculator must treat a non-number as a fault.
[[nodiscard]] std::optional<double> strictNumber(std::string_view text);

// The value written with 15 significant digits in plain positional form, "0" before the point below 1, trailing
// zeros and a trailing point removed (12.00000000000048 gives "12.0000000000005"). Empty for non-finite values.
[[nodiscard]] std::string fifteenDigitText(double x);

} // namespace clockdeck
