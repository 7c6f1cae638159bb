// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Clockdeck developers
#include "commandline.h"

#include "calc/calculator.h"
#include "calc/numbertext.h"

#include <algorithm>
#include <charconv>
#include <cmath>

namespace clockdeck {

namespace {

std::string quoted(std::string_view text)
{
    std::string s(1, '\'');
    s.append(text).push_back('\'');
    return s;
}

std::string joined(std::span<const std::string_view> entries)
{
    std::string list;
    for (const auto entry : entries) {
        list += list.empty() ? "" : ", ";
        list += entry;
    }
    return list;
}

// The preset list a list-valued field takes its texts from; empty for the other fields.
std::span<const std::string_view> presetEntries(Field f)
{
    if (f == Field::SelectDDR) {
        return MemoryClassEntries;
    }
    if (f == Field::PCramNum) {
        return ModuleClockEntries;
    }
    return {};
}

struct Parsed
{
    Field field;
    std::string_view value;
};

// "FIELD=VALUE" with FIELD one of the ten input fields. Sets @p error and gives nothing otherwise.
std::optional<Parsed> fieldAndValue(std::string_view option, std::string_view arg, std::string& error)
{
    const auto equals = arg.find('=');
    if (equals == std::string_view::npos) {
        error = option == "--set" ? "--set needs FIELD=TEXT, got " + quoted(arg)
                                  : "--step needs FIELD=+N or FIELD=-N, got " + quoted(arg);
        return std::nullopt;
    }
    const std::string_view name = arg.substr(0, equals);
    const auto field = fieldByName(name);
    if (!field || !isInputField(*field)) {
        std::string names;
        for (std::size_t i = 0; i < InputFieldCount; ++i) {
            names += names.empty() ? "" : ", ";
            names += Fields[i].name;
        }
        error = "unknown input field " + quoted(name) + " (input fields: " + names + ")";
        return std::nullopt;
    }
    return Parsed{*field, arg.substr(equals + 1)};
}

std::optional<FieldAction> setAction(std::string_view arg, std::string& error)
{
    const auto parsed = fieldAndValue("--set", arg, error);
    if (!parsed) {
        return std::nullopt;
    }
    const auto entries = presetEntries(parsed->field);
    if (!entries.empty()) {
        if (std::find(entries.begin(), entries.end(), parsed->value) == entries.end()) {
            error = std::string(fieldName(parsed->field)) + " takes one of " + joined(entries) + ", not " +
                    quoted(parsed->value);
            return std::nullopt;
        }
        return FieldAction{FieldAction::Kind::Set, parsed->field, std::string(parsed->value), 0};
    }
    const auto number = StrictNumber(parsed->value);
    if (!number || !std::isfinite(*number)) {
        error = std::string(fieldName(parsed->field)) + " takes a number such as 1.35, not " + quoted(parsed->value);
        return std::nullopt;
    }
    // Written as a spin writes it ("11.0" becomes "11", "0.9875" becomes ".9875").
    return FieldAction{FieldAction::Kind::Set, parsed->field, NumberToText(*number), 0};
}

std::optional<FieldAction> stepAction(std::string_view arg, std::string& error)
{
    const auto parsed = fieldAndValue("--step", arg, error);
    if (!parsed) {
        return std::nullopt;
    }
    const std::string_view value = parsed->value;
    // A sign, then digits only: "+3" or "-12".
    const bool signedCount = value.size() >= 2 && (value[0] == '+' || value[0] == '-') &&
                             value.find_first_not_of("0123456789", 1) == std::string_view::npos;
    int count = 0;
    if (signedCount) {
        const auto [end, ec] = std::from_chars(value.data() + 1, value.data() + value.size(), count);
        if (ec != std::errc()) {
            count = 0; // too many digits for an int: out of range below
        }
    }
    if (!signedCount || count < 1 || count > MaxPresses) {
        error = "--step " + std::string(fieldName(parsed->field)) + "= takes +N or -N presses with N from 1 to " +
                std::to_string(MaxPresses) + ", not " + quoted(value);
        return std::nullopt;
    }
    // Up (+) is the upper arrow.
    return FieldAction{FieldAction::Kind::Step, parsed->field, {}, value.front() == '+' ? count : -count};
}

// A list-valued field set to one of its list's texts: the list's position moves there, as a list spin would
// leave it, and PCramNum keeps List3 and PCxxxx in step with it.
void setListField(Calculator& calc, Field field, const std::string& text)
{
    PresetList& list = field == Field::SelectDDR ? calc.List1 : calc.List2;
    const int position = list.find(text);
    calc.setText(field, text);
    if (position < 0) {
        return; // the list was not filled; the field still holds the text
    }
    list.ListIndex = static_cast<std::int16_t>(position);
    if (field == Field::PCramNum) {
        calc.Update();
        calc.List3.ListIndex = static_cast<std::int16_t>(position);
        calc.setText(Field::PCxxxx, calc.List3.item(position));
    }
}

std::string setNote(const Calculator& calc, const FieldAction& action)
{
    const std::string& now = calc.text(action.field);
    if (now == action.text) {
        return {};
    }
    const InputRange* range = rangeOf(action.field);
    std::string note = "note: " + std::string(fieldName(action.field)) + "=" + action.text;
    if (range != nullptr) {
        note += " is outside " + std::string(range->lowText) + " to " + std::string(range->highText);
    }
    return note + "; set to " + now;
}

// Presses a spin control; tells whether any press ran into the end of the field's range or list.
bool pressSpin(Calculator& calc, const FieldAction& action)
{
    const Spin spin = spinFor(action.field);
    const SpinInfo& info = Spins[index(spin)];
    const bool up = action.presses > 0;
    const int presses = up ? action.presses : -action.presses;
    bool stopped = false;
    for (int i = 0; i < presses; ++i) {
        const std::string before = calc.text(action.field);
        std::string expected;
        if (info.kind == SpinKind::Numeric) {
            expected = NumberToText(ParseLeadingNumber(before) + (up ? info.step : -info.step));
        }
        if (up) {
            calc.up(spin);
        } else {
            calc.down(spin);
        }
        const std::string& after = calc.text(action.field);
        if (info.kind == SpinKind::Numeric ? after != expected : after == before) {
            stopped = true;
        }
    }
    return stopped;
}

} // namespace

CommandLine parseCommandLine(std::span<const std::string_view> args)
{
    CommandLine result;
    auto fail = [&result](std::string message) {
        result.error = std::move(message);
        result.actions.clear();
        return result;
    };
    for (std::size_t i = 0; i < args.size(); ++i) {
        std::string_view arg = args[i];
        if (arg == "--help" || arg == "-h") {
            result.help = true;
            continue;
        }
        if (arg == "--version") {
            result.version = true;
            continue;
        }
        // Options with a value take it as the next argument or after "=".
        std::string_view name = arg;
        std::optional<std::string_view> value;
        if (arg.starts_with("--")) {
            if (const auto equals = arg.find('='); equals != std::string_view::npos) {
                name = arg.substr(0, equals);
                value = arg.substr(equals + 1);
            }
        }
        if (name != "--sysroot" && name != "--set" && name != "--step") {
            if (arg.starts_with("-")) {
                return fail("unknown option " + quoted(name) + " (see --help)");
            }
            return fail("unexpected argument " + quoted(arg) + " (see --help)");
        }
        if (!value) {
            if (i + 1 >= args.size()) {
                return fail(std::string(name) + " needs a value (see --help)");
            }
            value = args[++i];
        }
        std::string error;
        if (name == "--sysroot") {
            if (value->empty()) {
                return fail("--sysroot needs a folder");
            }
            result.sysroot = std::filesystem::path(*value);
            continue;
        }
        const auto action = name == "--set" ? setAction(*value, error) : stepAction(*value, error);
        if (!action) {
            return fail(error);
        }
        result.actions.push_back(*action);
    }
    return result;
}

std::vector<std::string> applyActions(Calculator& calc, const std::vector<FieldAction>& actions)
{
    std::vector<std::string> notes;
    for (const auto& action : actions) {
        if (action.kind == FieldAction::Kind::Set) {
            if (action.field == Field::SelectDDR || action.field == Field::PCramNum) {
                setListField(calc, action.field, action.text);
            } else {
                calc.setText(action.field, action.text);
            }
            if (auto note = setNote(calc, action); !note.empty()) {
                notes.push_back(std::move(note));
            }
            continue;
        }
        if (pressSpin(calc, action)) {
            notes.push_back("note: " + std::string(fieldName(action.field)) + " stopped at " + calc.text(action.field) +
                            (action.presses > 0 ? ", its upper" : ", its lower") + " limit");
        }
    }
    return notes;
}

std::string usageText()
{
    return R"(Usage: clockdeck-cli [OPTION]...
Probes this machine as Clockdeck does at start, identifies an Athlon 64 family processor, sets its stock
values and prints the 25-line report.

  --sysroot DIR          read a saved machine profile (DIR/proc/cpuinfo, DIR/sys/...) instead of /
  --set FIELD=TEXT       set an input field after the load, through its range check
  --step FIELD=+N|-N     press an input field's spin control N times up (+) or down (-)
  --help                 show this text
  --version              show the version

--set and --step run in command-line order. Input fields: StockCPU_MHz, Multiplier, BusSpeed,
HyperTransport, StockCPU_Vcore, OverClock_CPU_Vcore, Stock_Vdimm, OC_Vdimm (numbers), SelectDDR (one of
200 183 166 150 143 133 125 100) and PCramNum (one of 300 275 266 250 233 216 200 183 166 150 133 100).
Example: clockdeck-cli --step BusSpeed=+10 --set OverClock_CPU_Vcore=1.4

Exit status: 0 on success, 2 for a bad command line, 1 when the report cannot be written.
)";
}

} // namespace clockdeck
