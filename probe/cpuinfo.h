// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Clockdeck developers
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace clockdeck {

// Processor 0's record of /proc/cpuinfo: its "key : value" lines, up to the first empty line.
class CpuInfo
{
public:
    // Parses the first record of a cpuinfo text. Lines without a colon are ignored; a key is the text before
    // the colon without the tabs and blanks after it; a value is the text after the colon with the one blank
    // that the kernel puts there removed. The first of two equal keys counts.
    [[nodiscard]] static CpuInfo parse(std::string_view text);

    // The value of a key exactly as it stands, or nothing when the record has no such line.
    [[nodiscard]] std::optional<std::string_view> value(std::string_view key) const;

    // The clock the kernel measured at boot, in whole MHz: half the "bogomips" value (calibrated against the
    // timestamp counter, so it keeps an overclocked reference clock), else the "cpu MHz" value, rounded half
    // away from zero. 0 when neither is a plain positive number that fits a 32-bit integer.
    [[nodiscard]] std::int32_t bootMHz() const;

    // "x86 Family F Model M Stepping S" from "cpu family", "model" and "stepping" in decimal; nothing when any of
    // them is missing or not a whole number.
    [[nodiscard]] std::optional<std::string> identifier() const;

private:
    std::vector<std::pair<std::string, std::string>> m_values;
};

} // namespace clockdeck
