// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Clockdeck developers
#pragma once

#include "field.h"

#include <array>
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <utility>
#include <vector>

namespace clockdeck {

class Calculator;

/// The four inputs a planner varies. Numbers are taken as their field would hold them once set through its change
/// handler (written as NumberToText writes them, then clamped to the field's range); the memory class is the text
/// SelectDDR would hold.
struct VariedInputs
{
    double busSpeed = 200;                // BusSpeed
    double multiplier = 11;               // Multiplier
    double hyperTransport = 5;            // HyperTransport
    std::string_view memoryClass = "200"; // SelectDDR
};

/// The fields an evaluation gives: the inputs and the derived fields, those before PCxxxxMHz.
inline constexpr std::size_t EvaluatedFieldCount = index(Field::PCxxxxMHz);

/// The inputs and derived fields as they would read after setting the four varied inputs, the derived ones exactly
/// as Update writes them. A fault stops the evaluation as it stops Update:
/// the fields not yet written keep their texts and `fault` holds the message Update would report.
struct Evaluation
{
    std::array<std::string, EvaluatedFieldCount> texts;
    std::string fault; // empty: none

    const std::string& text(Field f) const { return texts[index(f)]; }
};

/// Evaluations of one state of a calculator, as many as a search needs: the fields it does not vary are read once,
/// and the pure steps of the rule (the divider's rounding, percentages that repeat) are remembered. It copies what
/// it needs, so the calculator may change afterwards; the evaluations then still show the state it was made from.
class Evaluator
{
public:
    explicit Evaluator(const Calculator& calc);

    /// As Calculator::evaluate.
    [[nodiscard]] Evaluation evaluate(const VariedInputs& inputs);
    /// The same evaluation written into `out`, whose texts keep their storage: a search that evaluates into the
    /// same few Evaluations allocates no texts of its own.
    void evaluate(const VariedInputs& inputs, Evaluation& out);

private:
    friend struct EvaluatorIo;
    std::array<std::string, EvaluatedFieldCount> m_texts;
    std::array<double, EvaluatedFieldCount> m_numbers{};
    std::vector<std::pair<double, double>> m_ceil; // divider quotient, its Ceil
    struct Percent
    {
        std::string_view pattern;
        std::unordered_map<double, std::string> texts; // by finite percentage
    };
    std::vector<Percent> m_percent; // the texts written so far, by pattern
};

/// The memory clock Update computes for a memory class before writing it into shwDDR_MHz with `pattern`, from the
/// processor clock shwCPU_MHz shows, the multiplier and the reference clock. Nothing for a text outside the
/// classes, or when the divider cannot be worked out (Update reports a fault there).
struct MemoryClock
{
    double mhz = 0;
    std::string_view pattern;
};
[[nodiscard]] std::optional<MemoryClock> memoryClock(std::string_view memoryClass, double cpuMHz, double multiplier,
                                                     double busSpeed);

} // namespace clockdeck
