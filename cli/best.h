// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Clockdeck developers
#pragma once

#include "calc/planner.h"

#include <cstddef>
#include <string>
#include <string_view>

namespace clockdeck {

/// --best and the options that shape it.
struct BestOptions
{
    bool enabled = false; // --best
    bool tuned = false;   // one of --top, --max-*, --ram-margin or --unlocked was given
    std::size_t top = 10; // --top
    PlanLimits limits;    // --max-cpu, --max-ref, --max-link, --ram-margin, --unlocked
};

/// The most rows --top may ask for.
inline constexpr std::size_t MaxTop = 10000;

/// Whether an option name is one of --top, --max-cpu, --max-ref, --max-link or --ram-margin, which take a value.
[[nodiscard]] bool isBestValueOption(std::string_view name);

/// Reads the value of one of those options into @p options. Returns the one line to print for a bad value (not a
/// number, a limit outside the range its field can reach, a negative margin), or an empty text.
[[nodiscard]] std::string readBestOption(std::string_view name, std::string_view value, BestOptions& options);

/// The top rows as an aligned table (the rank, the four varied inputs, the sweep table's columns), then one line
/// with the combinations evaluated and the rows that met the limits, or the limit that excluded the most.
[[nodiscard]] std::string bestText(const PlanResult& result, std::size_t top);

/// The JSON value of "best": the limits, the counts and the top rows with every input and derived field.
[[nodiscard]] std::string bestJson(const PlanResult& result, std::size_t top);

} // namespace clockdeck
