// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Clockdeck developers
#pragma once

#include "best.h"

#include "calc/field.h"

#include <filesystem>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace clockdeck {

class Calculator;

// One --set or --step, run after the load in command-line order.
struct FieldAction
{
    enum class Kind
    {
        Set,  // write text into the field through its change handler
        Step, // press the field's spin control
    };
    Kind kind = Kind::Set;
    Field field = Field::StockCPU_MHz;
    std::string text; // Set: the text to write, numbers already in the calculator's own form
    int presses = 0;  // Step: how many presses, negative for down
};

// One --sweep: the field and the texts it takes, one row each, in order. Numbers are in the calculator's own form.
struct SweepAxis
{
    Field field = Field::BusSpeed;
    std::vector<std::string> values;
};

enum class OutputFormat
{
    Text,
    Json,
};

struct CommandLine
{
    std::filesystem::path sysroot = "/";
    std::vector<FieldAction> actions;
    std::vector<SweepAxis> sweeps; // none, one, or two (a grid, the first outermost)
    BestOptions best;
    OutputFormat format = OutputFormat::Text;
    bool live = false;
    bool help = false;
    bool version = false;
    std::string error; // not empty: the one line to print, and the program exits with status 2
};

// The most presses one --step may ask for: far more than any field has steps between its limits.
inline constexpr int MaxPresses = 100000;

// The most rows a sweep (both axes of a grid multiplied) may have.
inline constexpr std::size_t MaxSweepRows = 100000;

// The most work one command line may ask for: presses of every --step, every --set and every sweep row together.
// A press takes a few microseconds, so this keeps any command line to a few seconds.
inline constexpr std::size_t MaxWork = 1000000;

// Reads the arguments after the program name. Checks everything that can be checked before the load: options,
// field names, numbers, step counts, list texts.
[[nodiscard]] CommandLine parseCommandLine(std::span<const std::string_view> args);

// Sets a field as --set does: through its change handler; a list text also moves its list there.
void setField(Calculator& calc, Field field, const std::string& text);

// Runs the actions on a loaded calculator. Returns the notes to print: one for every --set whose value the field's
// range check replaced, and one for every --step that ran into a limit. A --step stops pressing once a press
// changes nothing, since every further press in that direction would change nothing either.
std::vector<std::string> applyActions(Calculator& calc, const std::vector<FieldAction>& actions);

// The text of --help.
std::string usageText();

} // namespace clockdeck
