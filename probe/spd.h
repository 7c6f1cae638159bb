// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Clockdeck developers
#pragma once

#include "northbridge.h"

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace clockdeck {

enum class MemoryType : std::uint8_t
{
    Ddr,
    Ddr2,
};

// A memory module as its SPD EEPROM describes it.
struct SpdModule
{
    MemoryType type = MemoryType::Ddr;
    double cycleTimeNs = 0;           // at the highest CAS latency
    unsigned ratedMHz = 0;            // 1000 / cycle time, whole MHz as modules are named (6 ns: 166)
    std::vector<double> casLatencies; // supported, from the lowest
    unsigned sizeMB = 0;
    std::string part; // the part number, printable ASCII, padding removed
};

// One EEPROM under sys/bus/i2c/devices: its device name ("0-0050") and the module or why there is none.
struct ModuleSlot
{
    std::string slot;
    Reading<SpdModule> module;
};

/// Decodes a DDR or DDR2 SPD (JEDEC JESD21-C): at least 128 bytes whose checksum (byte 63, the sum of bytes 0
/// to 62) holds. A failing checksum gives "unreadable: SPD checksum fails", never a decoded module.
[[nodiscard]] Reading<SpdModule> decodeSpd(std::string_view spd);

/// Every sys/bus/i2c/devices/*/eeprom below @p root, by device name, each read through the bounded reader.
/// Only a failed allocation throws.
[[nodiscard]] std::vector<ModuleSlot> readModules(const std::filesystem::path& root);

/// The slowest rated clock (whole MHz) of the readable DDR and DDR2 modules below @p sysroot, or nothing when no
/// module is readable: the memory limit a plan should keep when the modules can say it.
[[nodiscard]] std::optional<double> slowestModuleMHz(const std::filesystem::path& sysroot);

} // namespace clockdeck
