// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Clockdeck developers
#pragma once

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

struct CommandLine
{
    std::filesystem::path sysroot = "/";
    std::vector<FieldAction> actions;
    bool help = false;
    bool version = false;
    std::string error; // not empty: the one line to print, and the program exits with status 2
};

// The most presses one --step may ask for: far more than any field has steps between its limits.
inline constexpr int MaxPresses = 100000;

// Reads the arguments after the program name. Checks everything that can be checked before the load: options,
// field names, numbers, step counts, list texts.
CommandLine parseCommandLine(std::span<const std::string_view> args);

// Runs the actions on a loaded calculator. Returns the notes to print: one for every --set whose value the field's
// range check replaced, and one for every --step that ran into a limit.
std::vector<std::string> applyActions(Calculator& calc, const std::vector<FieldAction>& actions);

// The text of --help.
std::string usageText();

} // namespace clockdeck
