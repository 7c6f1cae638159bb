// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Clockdeck developers
#pragma once

#include "fieldstore.h"
#include "messagesink.h"
#include "presetlist.h"
#include "spin.h"

#include <array>
#include <cstdint>
#include <string_view>

namespace clockdeck {

// The calculator: the field store with its change handlers, the recomputation of the derived fields, the preset
// lists and the ten spin controls. It knows nothing of windows; faults go to the MessageSink.
class Calculator
{
public:
    explicit Calculator(MessageSink& messages);
    Calculator(const Calculator&) = delete;
    Calculator& operator=(const Calculator&) = delete;

    FieldStore& fields() { return m_fields; }
    const FieldStore& fields() const { return m_fields; }
    const std::string& text(Field f) const { return m_fields.text(f); }
    // Sets a field's text; an input field's change handler runs before this returns.
    void setText(Field f, std::string_view text) { m_fields.setText(f, text); }

    // Memory clock classes for SelectDDR, module clocks for PCramNum, module rating names beside them.
    PresetList List1;
    PresetList List2;
    PresetList List3;

    // Recomputes every derived field from the inputs, writing each result as soon as it is known. A fault stops
    // the run (what was written stays), is reported to the MessageSink, and Update returns normally.
    void Update();

    // The whole number at or above a positive value, taken from the value's 15-digit text; a value whose text
    // shows no point is returned unchanged. A fault is reported to the MessageSink and gives 0.
    double Ceil(double dblValue);

    // A spin control's Value (-1, 0 or 1). Setting a different value runs the control's handler, which steps
    // its field (-1 up, 1 down) and puts the value back to 0; setting the value it holds runs nothing.
    std::int16_t spinValue(Spin s) const { return m_spinValue[index(s)]; }
    void setSpinValue(Spin s, std::int16_t value);
    void up(Spin s) { setSpinValue(s, -1); }
    void down(Spin s) { setSpinValue(s, 1); }

    // A mouse button released over Label17: 1 (left) adds one MHz, 2 (right) takes one away; others do nothing.
    void Label17_MouseUp(int button);

    // Back to the state of a window created anew: initial texts, empty lists, spins at rest.
    void reset();

private:
    void onChange(Field f);
    void rangeCheck(Field f);
    void spinChanged(Spin s);
    void numericSpin(const SpinInfo& info);
    void listSpin(const SpinInfo& info);
    void runUpdate();

    MessageSink& m_messages;
    FieldStore m_fields;
    std::array<std::int16_t, SpinCount> m_spinValue{};
};

// Inclusive range of a ranged input and the literal texts its change handler sets when a value falls outside.
struct InputRange
{
    Field field;
    double low;
    double high;
    std::string_view lowText;
    std::string_view highText;
};

inline constexpr std::array<InputRange, 8> InputRanges{{
    {Field::StockCPU_MHz, 1000, 6400, "1000", "6400"},
    {Field::Multiplier, 4, 15, "4", "15"},
    {Field::BusSpeed, 100, 400, "100", "400"},
    {Field::HyperTransport, 1, 8, "1", "8"},
    {Field::StockCPU_Vcore, 0.1, 3, "0.1", "3"},
    {Field::OverClock_CPU_Vcore, 0.1, 3, "0.1", "3"},
    {Field::Stock_Vdimm, 1, 6, "1", "6"},
    {Field::OC_Vdimm, 1, 6, "1", "6"},
}};

/// The highest HyperTransport link clock (Label13) the load leaves standing; above it the link is overclocked.
inline constexpr double LinkLimitMHz = 1000;

// The range of a ranged input, or nullptr for SelectDDR, PCramNum and non-input fields.
[[nodiscard]] const InputRange* rangeOf(Field f);

// The preset lists' fixed contents, from the fastest down.
inline constexpr std::array<std::string_view, 8> MemoryClassEntries{"200", "183", "166", "150",
                                                                    "143", "133", "125", "100"};
inline constexpr std::array<std::string_view, 12> ModuleClockEntries{"300", "275", "266", "250", "233", "216",
                                                                     "200", "183", "166", "150", "133", "100"};
inline constexpr std::array<std::string_view, 12> ModuleRatingEntries{"PC4800", "PC4400", "PC4200", "PC4000",
                                                                      "PC3700", "PC3500", "PC3200", "PC3000",
                                                                      "PC2700", "PC2400", "PC2100", "PC1600"};

} // namespace clockdeck
