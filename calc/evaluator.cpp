// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Clockdeck developers
#include "evaluator.h"

#include "calculator.h"
#include "rule.h"

#include <algorithm>
#include <cmath>

namespace clockdeck {

using namespace rule;

Evaluation Calculator::evaluate(const VariedInputs& inputs) const
{
    return Evaluator(*this).evaluate(inputs);
}

Evaluator::Evaluator(const Calculator& calc)
{
    for (std::size_t f = 0; f < EvaluatedFieldCount; ++f) {
        m_texts[f] = calc.text(static_cast<Field>(f));
        m_numbers[f] = ParseLeadingNumber(m_texts[f]);
    }
}

// The rule's view of an evaluation: the varied inputs and the texts written so far in the evaluation's copy, the
// other fields as the evaluator read them.
struct EvaluatorIo
{
    Evaluator& ev;
    Evaluation& out;
    std::array<double, 3> varied; // BusSpeed, Multiplier, HyperTransport

    double number(Field f) const
    {
        switch (f) {
        case Field::BusSpeed:
            return varied[0];
        case Field::Multiplier:
            return varied[1];
        case Field::HyperTransport:
            return varied[2];
        case Field::shwCPU_MHz:
        case Field::shwDDR_MHz:
            return ParseLeadingNumber(out.text(f)); // written earlier in this run, or left as it was
        default:
            return ev.m_numbers[index(f)];
        }
    }
    std::optional<double> strictValue(Field f) const
    {
        return f == Field::Multiplier ? std::optional<double>(varied[1]) : clockdeck::strictNumber(out.text(f));
    }
    const std::string& text(Field f) const { return out.text(f); }
    void write(Field f, std::string_view text) const { out.texts[index(f)].assign(text); }
    const std::string& percent(double p, std::string_view pattern) const
    {
        // A search meets the same percentages again and again (the same processor clock from another reference
        // clock and multiplier): each is formatted once. The memo is bounded, and a NaN never finds itself in it.
        static constexpr std::size_t MemoLimit = 4096;
        auto memo = std::find_if(ev.m_percent.begin(), ev.m_percent.end(),
                                 [pattern](const Evaluator::Percent& m) { return m.pattern == pattern; });
        if (memo == ev.m_percent.end()) {
            memo = ev.m_percent.insert(memo, Evaluator::Percent{pattern, {}});
        }
        if (memo->texts.size() >= MemoLimit || std::isnan(p)) {
            memo->texts.clear();
        }
        auto [at, added] = memo->texts.try_emplace(p);
        if (added) {
            at->second = percentText(p, pattern);
        }
        return at->second;
    }
    double ceil(double value) const
    {
        for (const auto& [q, c] : ev.m_ceil) {
            if (q == value) {
                return c;
            }
        }
        const CeilResult r = ceilOf(value);
        const double c = r.fault.empty() ? r.value : 0;
        ev.m_ceil.emplace_back(value, c);
        return c;
    }
};

Evaluation Evaluator::evaluate(const VariedInputs& inputs)
{
    Evaluation result;
    evaluate(inputs, result);
    return result;
}

void Evaluator::evaluate(const VariedInputs& inputs, Evaluation& result)
{
    std::copy(m_texts.begin(), m_texts.end(), result.texts.begin());
    result.fault.clear();
    EvaluatorIo io{*this, result, {}};
    const std::array<std::pair<Field, double>, 3> numeric{{{Field::BusSpeed, inputs.busSpeed},
                                                           {Field::Multiplier, inputs.multiplier},
                                                           {Field::HyperTransport, inputs.hyperTransport}}};
    for (std::size_t i = 0; i < numeric.size(); ++i) {
        const auto [field, value] = numeric[i];
        std::string& text = result.texts[index(field)];
        text = NumberToText(value);
        io.varied[i] = ParseLeadingNumber(text);
        // The range check of the field's change handler.
        const InputRange& range = *rangeOf(field);
        if (io.varied[i] < range.low) {
            text = range.lowText;
            io.varied[i] = range.low;
        } else if (io.varied[i] > range.high) {
            text = range.highText;
            io.varied[i] = range.high;
        }
    }
    result.texts[index(Field::SelectDDR)].assign(inputs.memoryClass);
    result.fault = recompute(io);
}

std::optional<MemoryClock> memoryClock(std::string_view memoryClass, double cpuMHz, double multiplier, double busSpeed)
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

} // namespace clockdeck
