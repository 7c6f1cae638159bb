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

struct CeilResult
{
    double value;
    std::string_view fault; // empty: none
};

// Ceil without its message box: the whole number at or above a value, by the value's 15-digit text.
CeilResult ceilOf(double value)
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
        io.write(Field::Vcore_OC_Prcnt, percentText(p, "##0.#0"));

        p = sub(div(mul(io.number(Field::shwCPU_MHz), 100), io.number(Field::StockCPU_MHz)), 100);
        io.write(Field::CPU_OC_Prcnt, percentText(p, "###.0"));
        if (p == 0) {
            io.write(Field::CPU_OC_Prcnt, "0%");
        }

        p = sub(div(mul(io.number(Field::OC_Vdimm), 100), io.number(Field::Stock_Vdimm)), 100);
        io.write(Field::Label18, percentText(p, "0.#0"));
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
        io.write(Field::DDR_OC_Prcnt, percentText(p, "###.0"));
        if (p == 0) {
            io.write(Field::DDR_OC_Prcnt, "0%");
        }
    } catch (const Fault& fault) {
        return std::string(fault.description) + " Data value error: Sub Update";
    }
    return {};
}

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
    // The rule reads and writes the fields themselves, so every write reaches the listeners at once.
    struct FieldIo
    {
        Calculator& calc;
        double number(Field f) const { return ParseLeadingNumber(calc.text(f)); }
        std::optional<double> strictNumber(Field f) const { return StrictNumber(calc.text(f)); }
        const std::string& text(Field f) const { return calc.text(f); }
        void write(Field f, std::string_view text) const { calc.setText(f, text); }
        double ceil(double value) const { return calc.Ceil(value); }
    };
    if (const auto fault = recompute(FieldIo{*this}); !fault.empty()) {
        m_messages.updateFault(fault);
    }
}

Evaluation Calculator::evaluate(const VariedInputs& inputs) const
{
    // The rule runs on a copy of the texts; the varied inputs keep their numbers beside their texts, so reading
    // them back costs no parse.
    struct CopyIo
    {
        Evaluation& out;
        std::array<double, 3> numbers; // BusSpeed, Multiplier, HyperTransport
        double number(Field f) const
        {
            switch (f) {
            case Field::BusSpeed:
                return numbers[0];
            case Field::Multiplier:
                return numbers[1];
            case Field::HyperTransport:
                return numbers[2];
            default:
                return ParseLeadingNumber(out.text(f));
            }
        }
        std::optional<double> strictNumber(Field f) const
        {
            return f == Field::Multiplier ? std::optional<double>(numbers[1]) : StrictNumber(out.text(f));
        }
        const std::string& text(Field f) const { return out.text(f); }
        void write(Field f, std::string_view text) const { out.texts[index(f)].assign(text); }
        double ceil(double value) const
        {
            const CeilResult r = ceilOf(value);
            return r.fault.empty() ? r.value : 0;
        }
    };
    Evaluation result;
    for (std::size_t f = 0; f < FieldCount; ++f) {
        result.texts[f] = m_fields.text(static_cast<Field>(f));
    }
    CopyIo io{result, {}};
    const std::array<std::pair<Field, double>, 3> numeric{
        {{Field::BusSpeed, inputs.busSpeed}, {Field::Multiplier, inputs.multiplier}, {Field::HyperTransport, inputs.hyperTransport}}};
    for (std::size_t i = 0; i < numeric.size(); ++i) {
        const auto [field, value] = numeric[i];
        std::string& text = result.texts[index(field)];
        text = NumberToText(value);
        io.numbers[i] = ParseLeadingNumber(text);
        // The range check of the field's change handler.
        const InputRange& range = *rangeOf(field);
        if (io.numbers[i] < range.low) {
            text = range.lowText;
            io.numbers[i] = range.low;
        } else if (io.numbers[i] > range.high) {
            text = range.highText;
            io.numbers[i] = range.high;
        }
    }
    result.texts[index(Field::SelectDDR)].assign(inputs.memoryClass);
    result.fault = recompute(io);
    return result;
}

double Calculator::Ceil(double dblValue)
{
    const CeilResult r = ceilOf(dblValue);
    if (!r.fault.empty()) {
        m_messages.ceilFault(r.fault);
        return 0;
    }
    return r.value;
}

std::optional<MemoryClock> memoryClock(std::string_view memoryClass, double cpuMHz, double multiplier,
                                       double busSpeed)
{
    try {
        return memoryClockWith(
            memoryClass, cpuMHz, multiplier, [multiplier] { return std::optional<double>(multiplier); }, busSpeed,
            [](double q) {
                const CeilResult r = ceilOf(q);
                return r.fault.empty() ? r.value : 0;
            });
    } catch (const Fault&) {
        return std::nullopt;
    }
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

namespace {

// The text a numeric spin writes for one press, before the field's range check.
std::string steppedText(const Calculator& calc, const SpinInfo& info, bool up)
{
    const double value = ParseLeadingNumber(calc.text(info.field));
    return NumberToText(up ? value + info.step : value - info.step);
}

} // namespace

void Calculator::numericSpin(const SpinInfo& info)
{
    if (spinValue(info.spin) == -1) {
        setText(info.field, steppedText(*this, info, true));
    }
    if (spinValue(info.spin) == 1) {
        setText(info.field, steppedText(*this, info, false));
    }
    setSpinValue(info.spin, 0);
}

void Calculator::listSpin(const SpinInfo& info)
{
    if (spinValue(info.spin) == 0) {
        return;
    }
    const PresetList& list = this->list(info.list);
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
    moveList(info, position);
}

// The field takes the entry at a position of its list and the list moves there; a list kept in step follows,
// after one more Update, and names its entry in its field.
void Calculator::moveList(const SpinInfo& info, int position)
{
    PresetList& list = this->list(info.list);
    setText(info.field, list.item(position));
    list.ListIndex = static_cast<std::int16_t>(position);
    if (info.inStep != ListId::None) {
        Update();
        PresetList& inStep = this->list(info.inStep);
        inStep.ListIndex = static_cast<std::int16_t>(position);
        setText(info.inStepField, inStep.item(position));
    }
}

const PresetList& Calculator::list(ListId id) const
{
    static const PresetList none;
    switch (id) {
    case ListId::List1:
        return List1;
    case ListId::List2:
        return List2;
    case ListId::List3:
        return List3;
    case ListId::None:
        break;
    }
    return none;
}

PresetList& Calculator::list(ListId id)
{
    switch (id) {
    case ListId::List2:
        return List2;
    case ListId::List3:
        return List3;
    default:
        return List1; // every caller passes a spin's own list
    }
}

void Calculator::fillLists()
{
    for (const ListId id : {ListId::List1, ListId::List2, ListId::List3}) {
        PresetList& list = this->list(id);
        list.Clear();
        for (const auto entry : listEntries(id)) {
            list.AddItem(entry);
        }
    }
    List1.ListIndex = 0;
    List2.ListIndex = 5;
}

bool Calculator::selectEntry(Field field, std::string_view text)
{
    if (!isInputField(field)) {
        return false;
    }
    const SpinInfo& info = Spins[index(spinFor(field))];
    if (info.kind != SpinKind::List) {
        return false;
    }
    const int position = list(info.list).find(text);
    if (position < 0) {
        return false;
    }
    moveList(info, position);
    return true;
}

PressResult Calculator::press(Spin s, bool up)
{
    const SpinInfo& info = Spins[index(s)];
    // The calculator is a function of its fields and list positions: a press that changed none of them leaves a
    // state in which the next press does the same nothing again.
    std::array<std::string, FieldCount> before;
    for (std::size_t f = 0; f < FieldCount; ++f) {
        before[f] = m_fields.text(static_cast<Field>(f));
    }
    const std::array<std::int16_t, 3> positions{List1.ListIndex, List2.ListIndex, List3.ListIndex};
    const std::string stepped = info.kind == SpinKind::Numeric ? steppedText(*this, info, up) : std::string();
    setSpinValue(s, up ? -1 : 1);
    bool changed = positions != std::array<std::int16_t, 3>{List1.ListIndex, List2.ListIndex, List3.ListIndex};
    for (std::size_t f = 0; f < FieldCount && !changed; ++f) {
        changed = m_fields.text(static_cast<Field>(f)) != before[f];
    }
    if (!changed) {
        return PressResult::Unchanged;
    }
    return info.kind == SpinKind::Numeric && text(info.field) != stepped ? PressResult::Clamped : PressResult::Changed;
}

void Calculator::Label17_MouseUp(int button)
{
    if (button != 1 && button != 2) {
        return;
    }
    // Label17 always holds a whole number written by the load; anything else is left as it is.
    const auto value = StrictNumber(text(Field::Label17));
    if (!value) {
        return;
    }
    setText(Field::Label17, NumberToText(*value + (button == 1 ? 1 : -1)));
}

} // namespace clockdeck
