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

// The entries of the list a list-valued field takes its texts from; none for the other fields.
std::span<const std::string_view> presetEntries(Field f)
{
    return listEntries(Spins[index(spinFor(f))].list);
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
        const std::string_view form = option == "--set"    ? "FIELD=TEXT"
                                      : option == "--step" ? "FIELD=+N or FIELD=-N"
                                                           : "FIELD=FROM:TO[:STEP]";
        error = std::string(option) + " needs " + std::string(form) + ", got " + quoted(arg);
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
    const auto number = strictNumber(parsed->value);
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

// Splits "FROM:TO" or "FROM:TO:STEP"; nothing for any other number of parts.
[[nodiscard]] std::optional<std::array<std::string_view, 3>> rangeParts(std::string_view range)
{
    std::array<std::string_view, 3> parts{};
    std::size_t count = 0;
    for (;;) {
        const auto colon = range.find(':');
        if (count == parts.size()) {
            return std::nullopt;
        }
        parts[count++] = range.substr(0, colon);
        if (colon == std::string_view::npos) {
            break;
        }
        range.remove_prefix(colon + 1);
    }
    if (count < 2) {
        return std::nullopt;
    }
    return parts;
}

// The row count of a walk from 0 to @p span in steps of @p step, or nothing beyond MaxSweepRows. Spans that are
// whole multiples of the step but come out a hair short in binary (2.9 / 0.0125) still reach TO.
[[nodiscard]] std::optional<std::size_t> rowCount(double span, double step)
{
    const double rows = std::floor(span / step + 1e-9) + 1;
    if (!(rows <= static_cast<double>(MaxSweepRows))) {
        return std::nullopt;
    }
    return static_cast<std::size_t>(rows);
}

[[nodiscard]] std::optional<SweepAxis> listSweep(Field field, std::span<const std::string_view> entries,
                                                 std::array<std::string_view, 3> parts, std::string& error)
{
    const std::string name(fieldName(field));
    std::array<std::ptrdiff_t, 2> ends{};
    for (std::size_t i = 0; i < 2; ++i) {
        const auto found = std::find(entries.begin(), entries.end(), parts[i]);
        if (found == entries.end()) {
            error = name + " takes one of " + joined(entries) + ", not " + quoted(parts[i]);
            return std::nullopt;
        }
        ends[i] = found - entries.begin();
    }
    int stride = 1;
    if (!parts[2].empty()) {
        const auto [end, ec] = std::from_chars(parts[2].data(), parts[2].data() + parts[2].size(), stride);
        if (ec != std::errc() || end != parts[2].data() + parts[2].size() || stride < 1) {
            error = "--sweep " + name + ": STEP counts list entries, a whole number from 1, not " + quoted(parts[2]);
            return std::nullopt;
        }
    }
    // The list runs from the fastest entry down; the walk goes whichever way leads from FROM to TO.
    const std::ptrdiff_t direction = ends[1] >= ends[0] ? stride : -stride;
    SweepAxis axis{field, {}};
    for (std::ptrdiff_t i = ends[0]; direction > 0 ? i <= ends[1] : i >= ends[1]; i += direction) {
        axis.values.emplace_back(entries[static_cast<std::size_t>(i)]);
    }
    return axis;
}

[[nodiscard]] std::optional<SweepAxis> sweepAxis(std::string_view arg, std::string& error)
{
    const auto parsed = fieldAndValue("--sweep", arg, error);
    if (!parsed) {
        return std::nullopt;
    }
    const std::string name(fieldName(parsed->field));
    const auto parts = rangeParts(parsed->value);
    if (!parts) {
        error = "--sweep " + name + "= needs FROM:TO or FROM:TO:STEP, not " + quoted(parsed->value);
        return std::nullopt;
    }
    if (const auto entries = presetEntries(parsed->field); !entries.empty()) {
        return listSweep(parsed->field, entries, *parts, error);
    }
    const auto from = strictNumber((*parts)[0]);
    const auto to = strictNumber((*parts)[1]);
    const auto step = (*parts)[2].empty() ? std::optional<double>(Spins[index(spinFor(parsed->field))].step)
                                          : strictNumber((*parts)[2]);
    if (!from || !to || !step || !std::isfinite(*from) || !std::isfinite(*to) || !std::isfinite(*step)) {
        error = "--sweep " + name + "= takes numbers FROM:TO[:STEP] such as 200:220:2, not " + quoted(parsed->value);
        return std::nullopt;
    }
    if (*step == 0) {
        error = "--sweep " + name + ": a STEP of 0 never gets from FROM to TO";
        return std::nullopt;
    }
    if ((*from > *to && *step > 0) || (*from < *to && *step < 0)) {
        error = "--sweep " + name + ": FROM " + NumberToText(*from) + " lies " + (*step > 0 ? "above" : "below") +
                " TO " + NumberToText(*to) +
                (*step > 0 ? "; sweep down with a negative STEP" : " with a negative STEP");
        return std::nullopt;
    }
    const auto rows = rowCount(std::fabs(*to - *from), std::fabs(*step));
    if (!rows) {
        error = "--sweep " + name + " has more than " + std::to_string(MaxSweepRows) + " rows";
        return std::nullopt;
    }
    SweepAxis axis{parsed->field, {}};
    axis.values.reserve(*rows);
    for (std::size_t i = 0; i < *rows; ++i) {
        // Each value from FROM, not from the previous one, so no rounding error builds up along the way.
        axis.values.push_back(NumberToText(*from + static_cast<double>(i) * *step));
    }
    return axis;
}

// Checks what only the whole command line shows: the sweeps together and the sum of the work.
std::string wholeLineError(const CommandLine& line)
{
    if (line.best.enabled && !line.sweeps.empty()) {
        return "--best searches on its own; leave out --sweep";
    }
    if (line.best.tuned && !line.best.enabled) {
        return "--top, --max-cpu, --max-ref, --max-link, --ram-margin and --unlocked go with --best";
    }
    if (line.sweeps.size() == 2 && line.sweeps[0].field == line.sweeps[1].field) {
        return "--sweep " + std::string(fieldName(line.sweeps[0].field)) + " is given twice";
    }
    double rows = line.sweeps.empty() ? 0 : 1;
    for (const auto& axis : line.sweeps) {
        rows *= static_cast<double>(axis.values.size());
    }
    if (rows > static_cast<double>(MaxSweepRows)) {
        return "the sweep has " + NumberToText(rows) + " rows; at most " + std::to_string(MaxSweepRows);
    }
    double work = rows;
    for (const auto& action : line.actions) {
        work += action.kind == FieldAction::Kind::Step ? std::abs(action.presses) : 1;
    }
    if (work > static_cast<double>(MaxWork)) {
        return "the command line asks for " + NumberToText(work) + " presses, settings and sweep rows; at most " +
               std::to_string(MaxWork);
    }
    return {};
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
    const bool up = action.presses > 0;
    const int presses = up ? action.presses : -action.presses;
    for (int i = 0; i < presses; ++i) {
        if (calc.press(spin, up) != PressResult::Changed) {
            return true;
        }
    }
    return false;
}

} // namespace

CommandLine parseCommandLine(std::span<const std::string_view> args)
{
    CommandLine result;
    auto fail = [&result](std::string message) {
        result.error = std::move(message);
        result.actions.clear();
        result.sweeps.clear();
        result.best = {};
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
        if (arg == "--live") {
            result.live = true;
            continue;
        }
        if (arg == "--best") {
            result.best.enabled = true;
            continue;
        }
        if (arg == "--unlocked") {
            result.best.limits.unlocked = true;
            result.best.tuned = true;
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
        if (name != "--sysroot" && name != "--set" && name != "--step" && name != "--sweep" && name != "--format" &&
            !isBestValueOption(name)) {
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
        if (name == "--format") {
            if (*value != "text" && *value != "json") {
                return fail("--format takes text or json, not " + quoted(*value));
            }
            result.format = *value == "json" ? OutputFormat::Json : OutputFormat::Text;
            continue;
        }
        if (isBestValueOption(name)) {
            if (auto bad = readBestOption(name, *value, result.best); !bad.empty()) {
                return fail(std::move(bad));
            }
            continue;
        }
        if (name == "--sweep") {
            if (result.sweeps.size() == 2) {
                return fail("at most two --sweep options (a grid of two fields)");
            }
            auto axis = sweepAxis(*value, error);
            if (!axis) {
                return fail(error);
            }
            result.sweeps.push_back(std::move(*axis));
            continue;
        }
        const auto action = name == "--set" ? setAction(*value, error) : stepAction(*value, error);
        if (!action) {
            return fail(error);
        }
        result.actions.push_back(*action);
    }
    if (auto error = wholeLineError(result); !error.empty()) {
        return fail(std::move(error));
    }
    return result;
}

void setField(Calculator& calc, Field field, const std::string& text)
{
    // A list text moves its list there; any other text (or a list the load did not fill) is set as it is.
    if (!calc.selectEntry(field, text)) {
        calc.setText(field, text);
    }
}

std::vector<std::string> applyActions(Calculator& calc, const std::vector<FieldAction>& actions)
{
    std::vector<std::string> notes;
    for (const auto& action : actions) {
        if (action.kind == FieldAction::Kind::Set) {
            setField(calc, action.field, action.text);
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
values and prints the 25-line report, or a table of a planned overclock.

  --sysroot DIR               read a saved machine profile (DIR/proc/cpuinfo, DIR/sys/...) instead of /
  --set FIELD=TEXT            set an input field after the load, through its range check
  --step FIELD=+N|-N          press an input field's spin control N times up (+) or down (-)
  --sweep FIELD=FROM:TO[:STEP]
                              set FIELD to each value from FROM to TO (STEP: the spin's step, or list
                              entries for SelectDDR and PCramNum) and print one table row per value;
                              a second --sweep makes a grid
  --format text|json          print text (the default) or one JSON object
  --best                      search every BusSpeed, Multiplier, HyperTransport and SelectDDR within the
                              limits below and print the best combinations instead of the report
  --top N                     how many of the best to print (default 10)
  --max-cpu MHZ               the highest processor clock wanted (default: none)
  --max-ref MHZ               the highest reference clock the board holds (default 300)
  --max-link MHZ              the highest HyperTransport link clock (default 1000)
  --ram-margin PCT            how far the memory may run above PCramNum, in percent (default 0); readable
                              modules' slowest rating takes PCramNum's place unless PCramNum is set
  --unlocked                  let the multiplier go above stock (an FX is always unlocked)
  --live                      add what the processor runs at now (cpufreq; FID/VID through the msr driver;
                              link, memory clock, timings and modules from PCI and SPD EEPROMs)
  --help                      show this text
  --version                   show the version

--set and --step run in command-line order, then the sweep. Input fields: StockCPU_MHz, Multiplier,
BusSpeed, HyperTransport, StockCPU_Vcore, OverClock_CPU_Vcore, Stock_Vdimm, OC_Vdimm (numbers),
SelectDDR (one of 200 183 166 150 143 133 125 100) and PCramNum (one of 300 275 266 250 233 216 200 183
166 150 133 100). Table marks: clamped (a value was outside its range), link>1000 (HyperTransport above
1000 MHz), ram>rated (memory clock above PCramNum).
Examples: clockdeck-cli --step BusSpeed=+10 --set OverClock_CPU_Vcore=1.4
          clockdeck-cli --sweep BusSpeed=200:230:5 --sweep Multiplier=10:11
          clockdeck-cli --best --max-ref 250 --ram-margin 5

Exit status: 0 on success, 2 for a bad command line, 1 when the output cannot be written.
)";
}

} // namespace clockdeck
