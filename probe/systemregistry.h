// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Clockdeck developers
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace clockdeck {

/// The registry keys whose values the load reads: the processor, the system and the processor driver.
inline constexpr std::string_view ProcessorKey = "HARDWARE\\DESCRIPTION\\System\\CentralProcessor\\0";
inline constexpr std::string_view SystemKey = "HARDWARE\\DESCRIPTION\\System";
inline constexpr std::string_view DriverKey = "SOFTWARE\\AMD\\CPU";

// Type codes of registry values, as the readers report them in ValueType.
inline constexpr std::int32_t RegSz = 1;    // text
inline constexpr std::int32_t RegDword = 4; // 32-bit number, little-endian

struct RegistryValue
{
    std::int32_t type = RegSz;
    std::string data; // the text, or the raw bytes of a number
};

// The six machine values the load shows, under their registry key paths and value names, taken from Linux's own
// records below a root folder: "/" for this machine, or a saved machine profile (a folder holding proc/cpuinfo
// and sys/...). Every query opens, reads and closes its files; nothing is kept between queries.
//
//   HARDWARE\DESCRIPTION\System\CentralProcessor\0  ~MHz                 bootMHz of processor 0 in /proc/cpuinfo
//                                                   ProcessorNameString  its "model name"
//                                                   Identifier           "x86 Family F Model M Stepping S"
//   HARDWARE\DESCRIPTION\System\                    SystemBiosDate       /sys/class/dmi/id/bios_date
//                                                   VideoBiosDate        (Linux keeps no video BIOS date)
//   SOFTWARE\AMD\CPU\                               Version              cpu0's cpufreq scaling_driver, AMD only
//
// Key paths and value names compare as the registry compares them: letter case and a trailing backslash do not
// matter. Every other key or value is missing.
class SystemRegistry
{
public:
    explicit SystemRegistry(std::filesystem::path root = "/") : m_root(std::move(root)) {}

    const std::filesystem::path& root() const { return m_root; }

    /// The value, or nothing when it is missing or unreadable. Only a failed allocation throws.
    [[nodiscard]] std::optional<RegistryValue> query(std::string_view keyPath, std::string_view valueName) const;

private:
    std::filesystem::path m_root;
};

} // namespace clockdeck
