// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Clockdeck developers
#pragma once

#include <functional>
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

// Said on standard error when the processor is none the load knows: its numbers would look right and mean nothing.
inline constexpr std::string_view NotAthlon64Note =
    "note: this processor is not an Athlon 64 family processor; the stock values are the calculator's defaults";

/// The whole program but its writes: reads the arguments after the program name, runs the load on the machine
/// or profile, the --set and --step options, the sweep or the search and the live readings, and renders text or
/// JSON into `out`.
[[nodiscard]] CliResult runCli(std::span<const std::string_view> args);

/// The same, handing standard output to @p out piece by piece as it is produced (a sweep's rows as they are
/// computed) instead of keeping it in `out`. Nothing goes to @p out when the command line is bad.
[[nodiscard]] CliResult runCli(std::span<const std::string_view> args,
                               const std::function<void(std::string_view)>& out);

} // namespace clockdeck
