// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Clockdeck developers
#pragma once

#include "evaluator.h"
#include "field.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace clockdeck {

class Calculator;

// The limits an overclock must keep. Every clock limit is inclusive.
struct PlanLimits
{
    std::optional<double> maxCpu; // processor clock target (shwCPU_MHz), none: no target
    double maxRef = 300;          // reference clock (BusSpeed)
    double maxLink = 1000;        // HyperTransport link clock (Label13)
    double ramMargin = 0;         // percent above the memory rating the memory clock (shwDDR_MHz) may run
    bool unlocked = false;        // let the multiplier go above stock, to the field's range, as an FX allows
    // The memory rating in MHz; none: PCramNum as loaded or set. Set from the modules' own rating when known.
    std::optional<double> ramRating;
};

// The limit that keeps a combination out, in the order they are checked.
enum class PlanLimit : std::uint8_t
{
    None, // within every limit
    Memory,
    Link,
    Reference,
    Cpu,
};

// One combination of the four inputs the planner varies, and what the calculator makes of it.
struct PlanRow
{
    int busSpeed = 0;       // BusSpeed, whole MHz
    double multiplier = 0;  // Multiplier, in steps of 0.5
    int hyperTransport = 0; // HyperTransport, 1 to 5
    int memoryClass = 0;    // position in List1 (SelectDDR's entries), 0 the fastest
    double cpuMHz = 0;      // shwCPU_MHz
    double linkMHz = 0;     // Label13
    double ramMHz = 0;      // shwDDR_MHz
    // Every input and derived field (those before PCxxxxMHz) by field, the derived ones exactly as Update writes
    // them for these inputs.
    std::array<std::string, EvaluatedFieldCount> texts;
};

// One reference clock and multiplier: the best choice of memory class and link multiplier for it, or the limit
// that kept every choice out.
struct PlanCell
{
    int busSpeed = 0;
    double multiplier = 0;
    // None: `best` holds the cell's best row. Otherwise the limit that rejected the most of the cell's combinations
    // (each limit counted on its own, so a combination beyond two limits counts for both; ties go to the limit
    // checked first, in PlanLimit's order).
    PlanLimit failed = PlanLimit::None;
    std::optional<PlanRow> best;
};

struct PlanResult
{
    PlanLimits limits;
    double multiplierLimit = 0;  // the highest multiplier searched: stock, or 15 for an FX or when unlocked
    double ramLimit = 0;         // the memory clock limit in MHz: the rating plus the margin
    std::size_t evaluated = 0;   // combinations evaluated through the calculator
    std::vector<PlanCell> cells; // every reference clock from 100 to maxRef, each multiplier from 4, row by row:
                                 // cells[(busSpeed - 100) * multiplierCount + (multiplier - 4) * 2]
    std::size_t multiplierCount = 0;
    std::vector<PlanRow> rows; // the cells that met the limits, best first, by the ranking
    // The limit that excluded the most combinations of the whole space, counted as for PlanCell::failed; None when
    // every combination met every limit, Reference when maxRef leaves no reference clock to search.
    PlanLimit mostExcluding = PlanLimit::None;
};

/// The ranking: the higher processor clock, then the higher memory clock, then the higher link clock, then the
/// higher multiplier, then the faster memory class (earlier in List1). Rows still equal (never two best rows of
/// different cells) go by the lower reference clock, then the higher link multiplier, so the order is total.
[[nodiscard]] bool ranksAbove(const PlanRow& a, const PlanRow& b);

/// The highest multiplier searched: the stock multiplier on the 0.5 grid, or 15 for an FX or when unlocked; always
/// within the field's range, 4 to 15.
[[nodiscard]] double multiplierLimit(double stockMultiplier, bool fx, bool unlocked);

/// Searches every reference clock, multiplier, HyperTransport multiplier and memory class of a loaded
/// calculator within the limits. The calculator's fields are left as they were and no listener is notified.
/// `stockMultiplier` is the multiplier the load set; `fx` says the processor's multiplier is unlocked upward.
[[nodiscard]] PlanResult findBest(const Calculator& calc, const PlanLimits& limits, double stockMultiplier, bool fx);

} // namespace clockdeck
