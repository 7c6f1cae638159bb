// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Clockdeck developers
#pragma once

#include "output.h"

#include <optional>
#include <string>
#include <vector>

namespace clockdeck {

struct HtLink;
struct LiveReadings;
struct SpdModule;

// The memory divider the controller uses at the live multiplier, and the clock it gives.
struct LiveMemoryClock
{
    double divisor = 0;
    double mhz = 0;
};

/// The multiplier the processor runs at now: 4 + FID / 2 of the current FID. Nothing without a register reading
/// or for an odd FID before revision F, which that table leaves reserved.
[[nodiscard]] std::optional<double> liveMultiplier(const LiveReadings& live);

/// The reference clock now: the cpufreq clock divided by the live multiplier; nothing when either is missing.
[[nodiscard]] std::optional<double> liveReferenceMHz(const LiveReadings& live);

/// The memory clock now: the live clock divided by `Ceil`(multiplier / (C / 200)), the rule `Update` applies to
/// a plan, with C the controller's true memory clock (500/3 MHz for the 166 setting). Nothing without the
/// setting, the clock or the multiplier.
[[nodiscard]] std::optional<LiveMemoryClock> liveMemoryClock(const LiveReadings& live);

/// The link clock now: its multiplier times the live reference clock, or its frequency code's clock at the
/// 200 MHz reference clock when the live one is not known.
[[nodiscard]] double liveLinkMHz(const HtLink& link, const LiveReadings& live);

/// A module's rating name: for DDR the module list's name of its clock (PC3200 for 200 MHz), for DDR2
/// PC2- and its peak transfer rate in MB/s rounded down to 100 (PC2-6400 for 400 MHz).
[[nodiscard]] std::string moduleRating(const SpdModule& module);

/// The link, memory, timings and module lines of the live readings, report style.
[[nodiscard]] std::string hardwareText(const LiveReadings& live);

/// The "link", "memory" and "modules" members of the live object, each line starting with ",\n    ".
[[nodiscard]] std::string hardwareJson(const LiveReadings& live);

/// One line for each clock of the plan (the memory clock shwDDR_MHz, the link clock Label13) that differs from
/// what the hardware runs at, with both numbers; nothing where the hardware's clock is not known (the link's
/// needs the live reference clock).
[[nodiscard]] std::vector<std::string> planAgainstHardware(const FieldTexts& fields, const LiveReadings& live);

} // namespace clockdeck
