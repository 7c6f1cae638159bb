// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Clockdeck developers
#include "calculator.h"

#include "numbertext.h"

#include <algorithm>
#include <cmath>
#include <string>

namespace clockdeck {

namespace {

// Descriptions of the arithmetic faults, as the message boxes show them.
constexpr std::string_view DivisionByZero = "Division by zero";
constexpr std::string_view Overflow = "Overflow";
constexpr std::string_view InvalidOperation = "Invalid operation";
constexpr std::string_view TypeMismatch = "Type mismatch";

// C++ arithmetic does not trap, so every result is checked before it is used; a fault unwinds to Update.
struct Fault
{
    std::string_view description;
};

double checked(double result)
{
    if (std::isnan(result)) {
        throw Fault{InvalidOperation};
    }
    if (std::isinf(result)) {
        throw Fault{Overflow};
    }
    return result;
}

double mul(double a, double b)
{
    return checked(a * b);
}

double div(double a, double b)
{
    if (b == 0) {
        throw Fault{DivisionByZero};
    }
    return checked(a / b);
}

double sub(double a, double b)
{
    return checked(a - b);
}

std::string percentText(double p, std::string_view pattern)
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

constexpr std::array<DividerClass, 6> DividerClasses{{
    {"183", 183.33333333333},
    {"166", 166.66666666666},
    {"150", 150},
    {"143", 142.857143},
    {"133", 133.33333333333},
    {"125", 125},
}};

} // namespace

const InputRange* rangeOf(Field f)
{
    for (const auto& r : InputRanges) {
        if (r.field == f) {
            return &r;
        }
    }
    return nullptr;
}

Calculator::Calculator(MessageSink& messages) : m_messages(messages)
{
    m_fields.setChangeHandler([this](Field f) { onChange(f); });
}

void Calculator::reset()
{
    m_fields.reset();
    List1.Clear();
    List2.Clear();
    List3.Clear();
    m_spinValue.fill(0);
}

void Calculator::onChange(Field f)
{
    switch (f) {
    case Field::SelectDDR:
        Update();
        break;
    case Field::PCramNum:
        setText(Field::PCxxxxMHz, NumberToText(ParseLeadingNumber(text(Field::PCramNum))) + " MHz");
        Update();
        break;
    default:
        rangeCheck(f);
        break;
    }
}

void Calculator::rangeCheck(Field f)
{
    const InputRange* range = rangeOf(f);
    if (range == nullptr) {
        return;
    }
    // Each clamp sets the field again, which runs this check nested; the nested run finds the bound in range.
    if (ParseLeadingNumber(text(f)) < range->low) {
        setText(f, range->lowText);
    }
    if (ParseLeadingNumber(text(f)) > range->high) {
        setText(f, range->highText);
    }
    Update();
}

void Calculator::Update()
{
    auto parse = [this](Field f) { return ParseLeadingNumber(text(f)); };
    try {
        setText(Field::shwCPU_MHz, NumberToText(mul(parse(Field::Multiplier), parse(Field::BusSpeed))));
        setText(Field::Label13, NumberToText(mul(parse(Field::HyperTransport), parse(Field::BusSpeed))));

        double p = sub(div(mul(parse(Field::OverClock_CPU_Vcore), 100), parse(Field::StockCPU_Vcore)), 100);
        setText(Field::Vcore_OC_Prcnt, percentText(p, "##0.#0"));

        p = sub(div(mul(parse(Field::shwCPU_MHz), 100), parse(Field::StockCPU_MHz)), 100);
        setText(Field::CPU_OC_Prcnt, percentText(p, "###.0"));
        if (p == 0) {
            setText(Field::CPU_OC_Prcnt, "0%");
        }

        p = sub(div(mul(parse(Field::OC_Vdimm), 100), parse(Field::Stock_Vdimm)), 100);
        setText(Field::Label18, percentText(p, "0.#0"));
        if (p == 0) {
            setText(Field::Label18, "0%");
        }

        const std::string& memoryClass = text(Field::SelectDDR);
        if (memoryClass == "200") {
            const double m = div(parse(Field::shwCPU_MHz), parse(Field::Multiplier));
            setText(Field::shwDDR_MHz, FormatNumberPattern(m, "###.0#"));
        } else if (memoryClass == "100") {
            const double m = div(parse(Field::BusSpeed), 2);
            setText(Field::shwDDR_MHz, FormatNumberPattern(m, "###.#0"));
        } else {
            for (const auto& c : DividerClasses) {
                if (memoryClass != c.text) {
                    continue;
                }
                const auto multiplier = strictNumber(text(Field::Multiplier));
                if (!multiplier) {
                    throw Fault{TypeMismatch};
                }
                const double divider = Ceil(div(*multiplier, div(c.constant, 200)));
                const double m = div(parse(Field::shwCPU_MHz), divider);
                setText(Field::shwDDR_MHz, FormatNumberPattern(m, "###.0#"));
                break;
            }
        }

        p = sub(div(mul(parse(Field::shwDDR_MHz), 100), parse(Field::PCramNum)), 100);
        setText(Field::DDR_OC_Prcnt, percentText(p, "###.0"));
        if (p == 0) {
            setText(Field::DDR_OC_Prcnt, "0%");
        }
    } catch (const Fault& fault) {
        std::string message(fault.description);
        message += " Data value error: Sub Update";
        m_messages.updateFault(message);
    }
}

double Calculator::Ceil(double dblValue)
{
    if (!std::isfinite(dblValue)) {
        m_messages.ceilFault(std::isnan(dblValue) ? InvalidOperation : Overflow);
        return 0;
    }
    const std::string digits = fifteenDigitText(dblValue);
    const auto point = digits.find('.');
    if (point == std::string::npos) {
        return dblValue;
    }
    const auto whole = strictNumber(std::string_view(digits).substr(0, point + 1));
    if (!whole) {
        m_messages.ceilFault(TypeMismatch);
        return 0;
    }
    return *whole + 1;
}

void Calculator::setSpinValue(Spin s, std::int16_t value)
{
    if (m_spinValue[index(s)] == value) {
        return;
    }
    m_spinValue[index(s)] = value;
    const SpinInfo& info = Spins[index(s)];
    if (info.kind == SpinKind::Numeric) {
        numericSpin(info);
    } else {
        listSpin(info);
    }
}

void Calculator::numericSpin(const SpinInfo& info)
{
    if (spinValue(info.spin) == -1) {
        setText(info.field, NumberToText(ParseLeadingNumber(text(info.field)) + info.step));
    }
    if (spinValue(info.spin) == 1) {
        setText(info.field, NumberToText(ParseLeadingNumber(text(info.field)) - info.step));
    }
    setSpinValue(info.spin, 0);
}

void Calculator::listSpin(const SpinInfo& info)
{
    if (spinValue(info.spin) == 0) {
        return;
    }
    PresetList& list = info.spin == Spin::VScroll5 ? List2 : List1;
    int position = list.ListIndex;
    if (spinValue(info.spin) == -1) {
        --position;
    }
    if (spinValue(info.spin) == 1) {
        ++position;
    }
    setSpinValue(info.spin, 0);
    // An empty list has no entry to step to; the field keeps its text.
    if (list.ListCount() == 0) {
        return;
    }
    position = std::clamp(position, 0, list.ListCount() - 1);
    setText(info.field, list.item(position));
    list.ListIndex = static_cast<std::int16_t>(position);
    if (info.spin == Spin::VScroll5) {
        Update();
        List3.ListIndex = static_cast<std::int16_t>(position);
        setText(Field::PCxxxx, List3.item(position));
    }
}

void Calculator::Label17_MouseUp(int button)
{
    if (button != 1 && button != 2) {
        return;
    }
    // Label17 always holds a whole number written by the load; anything else is left as it is.
    const auto value = strictNumber(text(Field::Label17));
    if (!value) {
        return;
    }
    setText(Field::Label17, NumberToText(*value + (button == 1 ? 1 : -1)));
}

} // namespace clockdeck
