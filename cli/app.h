// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Clockdeck developers
#pragma once

#include <span>
#include <string>
#include <string_view>

namespace clockdeck {

/// What clockdeck-cli prints and how it ends, before anything is written.
struct CliResult
{
    int status = 0;  // 0 done, 2 bad command line (out is then empty)
    std::string out; // standard output
    std::string err; // standard error: notes and faults, one line each
};

/// The whole program but its writes: reads the arguments after the program name, runs the load on the machine
/// or profile, the --set and --step options, the sweep and the live readings, and renders text or JSON.
// Said on standard error when the processor is none the load knows: its numbers would look right and mean nothing.
inline constexpr std::string_view NotAthlon64Note =
    "note: this processor is not an Athlon 64 family processor; the stock values are the calculator's defaults";

[[nodiscard]] CliResult runCli(std::span<const std::string_view> args);

} // namespace clockdeck
