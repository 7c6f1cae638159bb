// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Clockdeck developers
#pragma once

#include "evaluator.h"
#include "fieldstore.h"
#include "messagesink.h"
#include "presetlist.h"
#include "spin.h"

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace clockdeck {

/// What a spin press did.
enum class PressResult : std::uint8_t
{
    Changed,   // moved its field a whole step (or a list to another entry)
    Clamped,   // changed the state, but the field's range check replaced the stepped value by its bound
    Unchanged, // no field text and no list position changed: every further press that way does the same nothing
};

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

    /// The preset list of an id; ListId::None gives an empty list.
    const PresetList& list(ListId id) const;

    /// Fills the three lists with their fixed entries and places List1 at its first entry and List2 at its sixth,
    /// as the load does before its one press of VScroll5. Lists already filled are filled anew.
    void fillLists();

    /// Sets a list-valued input (SelectDDR, PCramNum) to the entry with this text, as its spin would: the field
    /// through its change handler, then the list's position; PCramNum also runs Update and keeps List3 and PCxxxx
    /// in step. Returns false, changing nothing, when the field is not list-valued or its list has no such entry.
    [[nodiscard]] bool selectEntry(Field field, std::string_view text);

    /// One press of a spin control, up or down, as setSpinValue runs it; says what it changed.
    [[nodiscard]] PressResult press(Spin s, bool up);

    /// The fields as they would read after setting the four varied inputs through their change handlers, without
    /// changing the calculator or telling anyone. Meant to be called many times: a search calls it per combination.
    [[nodiscard]] Evaluation evaluate(const VariedInputs& inputs) const;

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
    void moveList(const SpinInfo& info, int position);
    PresetList& list(ListId id);

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

// The range of a ranged input, or nullptr for SelectDDR, PCramNum and non-input fields.
const InputRange* rangeOf(Field f);

// The preset lists' fixed contents, from the fastest down.
inline constexpr std::array<std::string_view, 8> MemoryClassEntries{"200", "183", "166", "150",
                                                                    "143", "133", "125", "100"};
inline constexpr std::array<std::string_view, 12> ModuleClockEntries{"300", "275", "266", "250", "233", "216",
                                                                     "200", "183", "166", "150", "133", "100"};
inline constexpr std::array<std::string_view, 12> ModuleRatingEntries{"PC4800", "PC4400", "PC4200", "PC4000",
                                                                      "PC3700", "PC3500", "PC3200", "PC3000",
                                                                      "PC2700", "PC2400", "PC2100", "PC1600"};

/// A list's fixed entries; none for ListId::None.
constexpr std::span<const std::string_view> listEntries(ListId id)
{
    switch (id) {
    case ListId::List1:
        return MemoryClassEntries;
    case ListId::List2:
        return ModuleClockEntries;
    case ListId::List3:
        return ModuleRatingEntries;
    case ListId::None:
        break;
    }
    return {};
}

} // namespace clockdeck
