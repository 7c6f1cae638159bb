// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Clockdeck developers
#include "systemregistry.h"

#include "boundedfile.h"
#include "cpuinfo.h"

#include "base/utf8.h"

#include <cstddef>

namespace clockdeck {

namespace {

constexpr std::string_view CpuInfoPath = "proc/cpuinfo";
constexpr std::string_view BiosDatePath = "sys/class/dmi/id/bios_date";
constexpr std::string_view ScalingDriverPath = "sys/devices/system/cpu/cpu0/cpufreq/scaling_driver";

// A sysfs attribute never exceeds one page.
constexpr std::size_t MaxAttributeBytes = 4096;

constexpr char lower(char c)
{
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

bool sameName(std::string_view a, std::string_view b)
{
    if (a.size() != b.size()) {
        return false;
    }
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (lower(a[i]) != lower(b[i])) {
            return false;
        }
    }
    return true;
}

bool sameKey(std::string_view keyPath, std::string_view key)
{
    if (!keyPath.empty() && keyPath.back() == '\\') {
        keyPath.remove_suffix(1);
    }
    return sameName(keyPath, key);
}

[[nodiscard]] std::optional<CpuInfo> readCpuInfo(const std::filesystem::path& root)
{
    // Processor 0's record ends at the first empty line.
    const auto text = readTextFile(root / CpuInfoPath, MaxProbeFileBytes, "\n\n");
    if (!text) {
        return std::nullopt;
    }
    return CpuInfo::parse(*text);
}

[[nodiscard]] std::optional<std::string> readAttribute(const std::filesystem::path& root, std::string_view relativePath)
{
    const auto text = readTextFile(root / relativePath, MaxAttributeBytes);
    if (!text) {
        return std::nullopt;
    }
    return std::string(firstLine(*text));
}

// Every text value leaves the probe here, with its control characters made harmless.
RegistryValue text(std::string_view value)
{
    return RegistryValue{RegSz, printableText(value)};
}

} // namespace

std::optional<RegistryValue> SystemRegistry::query(std::string_view keyPath, std::string_view valueName) const
{
    if (sameKey(keyPath, ProcessorKey)) {
        if (sameName(valueName, "~MHz")) {
            const auto info = readCpuInfo(m_root);
            const std::int32_t mhz = info ? info->bootMHz() : 0;
            if (mhz == 0) {
                return std::nullopt;
            }
            std::string bytes(4, '\0');
            const auto bits = static_cast<std::uint32_t>(mhz);
            for (std::size_t i = 0; i < 4; ++i) {
                bytes[i] = static_cast<char>((bits >> (8 * i)) & 0xFFU);
            }
            return RegistryValue{RegDword, std::move(bytes)};
        }
        if (sameName(valueName, "ProcessorNameString")) {
            const auto info = readCpuInfo(m_root);
            const auto name = info ? info->value("model name") : std::nullopt;
            if (!name) {
                return std::nullopt;
            }
            return text(*name);
        }
        if (sameName(valueName, "Identifier")) {
            const auto info = readCpuInfo(m_root);
            auto identifier = info ? info->identifier() : std::nullopt;
            if (!identifier) {
                return std::nullopt;
            }
            return text(*identifier);
        }
        return std::nullopt;
    }
    if (sameKey(keyPath, SystemKey)) {
        if (sameName(valueName, "SystemBiosDate")) {
            auto date = readAttribute(m_root, BiosDatePath);
            if (!date) {
                return std::nullopt;
            }
            return text(*date);
        }
        // VideoBiosDate: Linux records no date of the video BIOS anywhere readable without privileges.
        return std::nullopt;
    }
    if (sameKey(keyPath, DriverKey) && sameName(valueName, "Version")) {
        // The AMD processor driver of Windows: on Linux the frequency driver that runs the processor, and only
        // for an AMD processor, as the Windows driver exists only for those.
        const auto info = readCpuInfo(m_root);
        const auto vendor = info ? info->value("vendor_id") : std::nullopt;
        if (!vendor || *vendor != "AuthenticAMD") {
            return std::nullopt;
        }
        auto driver = readAttribute(m_root, ScalingDriverPath);
        if (!driver) {
            return std::nullopt;
        }
        return text(*driver);
    }
    return std::nullopt;
}

} // namespace clockdeck
