// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Clockdeck developers
#pragma once

// The recomputation's rule, shared by Update and the evaluations; only the calculator's own sources include it.

#include "evaluator.h"
#include "field.h"
#include "numbertext.h"

#include <array>
#include <cmath>
#include <optional>
#include <string>
#include <string_view>

namespace clockdeck::rule {

// Descriptions of the arithmetic faults, as the message boxes show them.
inline constexpr std::string_view DivisionByZero = "Division by zero";
inline constexpr std::string_view Overflow = "Overflow";
inline constexpr std::string_view InvalidOperation = "Invalid operation";
inline constexpr std::string_view TypeMismatch = "Type mismatch";

// C++ arithmetic does not trap, so every result is checked before it is used; a fault unwinds to Update.
struct Fault
{
    std::string_view description;
};

inline double checked(double result)
{
    if (std::isnan(result)) {
        throw Fault{InvalidOperation};
    }
    if (std::isinf(result)) {
        throw Fault{Overflow};
    }
    return result;
}

inline double mul(double a, double b)
{
    return checked(a * b);
}

inline double div(double a, double b)
{
    if (b == 0) {
        throw Fault{DivisionByZero};
    }
    return checked(a / b);
}

inline double sub(double a, double b)
{
    return checked(a - b);
}

inline std::string percentText(double p, std::string_view pattern)
{
    std::string s = p > 0 ? "+" : "";
    s += FormatNumberPattern(p, pattern);
    s += '%';
    return s;
}

// Memory clock classes that run the processor clock through a whole-number divider. The constants are the
// decimal values the divider has always used, not the true fractions: the results depend on the difference.
struct DividerClass
{
    std::string_view text;
    double constant;
};

inline constexpr std::array<DividerClass, 6> DividerClasses{{
    {"183", 183.33333333333},
    {"166", 166.66666666666},
    {"150", 150},
    {"143", 142.857143},
    {"133", 133.33333333333},
    {"125", 125},
}};

struct CeilResult
{
    double value;
    std::string_view fault; // empty: none
};

// Ceil without its message box: the whole number at or above a value, by the value's 15-digit text.
inline CeilResult ceilOf(double value)
{
    if (!std::isfinite(value)) {
        return {0, std::isnan(value) ? InvalidOperation : Overflow};
    }
    const std::string digits = FifteenDigitText(value);
    const auto point = digits.find('.');
    if (point == std::string::npos) {
        return {value, {}};
    }
    const auto whole = StrictNumber(std::string_view(digits).substr(0, point + 1));
    if (!whole) {
        return {0, TypeMismatch};
    }
    return {*whole + 1, {}};
}

// The memory clock of a class: "200" runs the processor clock through the multiplier, "100" halves the reference
// clock, the others divide the processor clock by a whole-number divider. The multiplier is read strictly only
// for the divider, where a text that is not a number is a fault.
template <typename Strict, typename CeilFn>
std::optional<MemoryClock> memoryClockWith(std::string_view memoryClass, double cpuMHz, double multiplier,
                                           Strict strictMultiplier, double busSpeed, CeilFn ceil)
{
    if (memoryClass == "200") {
        return MemoryClock{div(cpuMHz, multiplier), "###.0#"};
    }
    if (memoryClass == "100") {
        return MemoryClock{div(busSpeed, 2), "###.#0"};
    }
    for (const auto& c : DividerClasses) {
        if (memoryClass != c.text) {
            continue;
        }
        const std::optional<double> strict = strictMultiplier();
        if (!strict) {
            throw Fault{TypeMismatch};
        }
        const double divider = ceil(div(*strict, div(c.constant, 200)));
        return MemoryClock{div(cpuMHz, divider), "###.0#"};
    }
    return std::nullopt;
}

// The recomputation, in Update's order, over whatever holds the texts: the calculator's fields for Update, a copy
// for an evaluation. Each result is written as soon as it is known, and later steps read the written text back
// (the processor and memory clocks), so they use the rounded figures the window shows. Returns the message of the
// fault that stopped the run, or an empty text.
template <typename Io> std::string recompute(const Io& io)
{
    try {
        io.write(Field::shwCPU_MHz, NumberToText(mul(io.number(Field::Multiplier), io.number(Field::BusSpeed))));
        io.write(Field::Label13, NumberToText(mul(io.number(Field::HyperTransport), io.number(Field::BusSpeed))));

        double p = sub(div(mul(io.number(Field::OverClock_CPU_Vcore), 100), io.number(Field::StockCPU_Vcore)), 100);
        io.write(Field::Vcore_OC_Prcnt, io.percent(p, "##0.#0"));

        p = sub(div(mul(io.number(Field::shwCPU_MHz), 100), io.number(Field::StockCPU_MHz)), 100);
        io.write(Field::CPU_OC_Prcnt, io.percent(p, "###.0"));
        if (p == 0) {
            io.write(Field::CPU_OC_Prcnt, "0%");
        }

        p = sub(div(mul(io.number(Field::OC_Vdimm), 100), io.number(Field::Stock_Vdimm)), 100);
        io.write(Field::Label18, io.percent(p, "0.#0"));
        if (p == 0) {
            io.write(Field::Label18, "0%");
        }

        // A class outside the table leaves the memory clock as it was.
        const auto memory = memoryClockWith(
            io.text(Field::SelectDDR), io.number(Field::shwCPU_MHz), io.number(Field::Multiplier),
            [&io] { return io.strictNumber(Field::Multiplier); }, io.number(Field::BusSpeed),
            [&io](double q) { return io.ceil(q); });
        if (memory) {
            io.write(Field::shwDDR_MHz, FormatNumberPattern(memory->mhz, memory->pattern));
        }

        p = sub(div(mul(io.number(Field::shwDDR_MHz), 100), io.number(Field::PCramNum)), 100);
        io.write(Field::DDR_OC_Prcnt, io.percent(p, "###.0"));
        if (p == 0) {
            io.write(Field::DDR_OC_Prcnt, "0%");
        }
    } catch (const Fault& fault) {
        return std::string(fault.description) + " Data value error: Sub Update";
    }
    return {};
}

} // namespace clockdeck::rule
