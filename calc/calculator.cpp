// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Clockdeck developers
#include "calculator.h"

#include "numbertext.h"
#include "rule.h"

#include <algorithm>
#include <cmath>
#include <string>

namespace clockdeck {

using namespace rule;

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
        std::string percent(double p, std::string_view pattern) const { return percentText(p, pattern); }
        double ceil(double value) const { return calc.Ceil(value); }
    };
    if (const auto fault = recompute(FieldIo{*this}); !fault.empty()) {
        m_messages.updateFault(fault);
    }
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
