// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Clockdeck developers
#include "spd.h"

#include "boundedfile.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace clockdeck {

namespace {

constexpr std::string_view I2cDevices = "sys/bus/i2c/devices";
// A DDR or DDR2 SPD EEPROM holds 256 bytes; the first 128 are JEDEC's.
constexpr std::size_t SpdBytes = 256;
constexpr std::size_t JedecBytes = 128;
// More I2C devices than any board of this era carries; a folder with more is not looked through further.
constexpr std::size_t MaxDevices = 256;

// Byte offsets of JESD21-C's SPD for DDR and DDR2 SDRAM, cross-checked with i2c-tools' decode-dimms and
// coreboot src/device/dram/ddr2.c: memory type (2), row and column address bits (3, 4), ranks (5), cycle time
// at the highest CAS latency (9), banks per device (17), CAS latencies (18), checksum (63), part number (73-90).
constexpr std::size_t TypeByte = 2, RowsByte = 3, ColumnsByte = 4, RanksByte = 5, CycleTimeByte = 9;
constexpr std::size_t BanksByte = 17, CasByte = 18, ChecksumByte = 63, PartStart = 73, PartLength = 18;
// Memory type codes: 07h DDR SDRAM, 08h DDR2 SDRAM (same sources).
constexpr unsigned char DdrType = 0x07, Ddr2Type = 0x08;

// The tenths of the cycle time's low nibble: 0-9 tenths for both types; DDR2 adds Ah .25, Bh .33, Ch .66 and
// Dh .75 ns (JESD21-C byte 9; cross-checked with decode-dimms' ddr2_sdram_ctime).
constexpr std::array<double, 4> Ddr2Fractions{0.25, 0.33, 0.66, 0.75};

std::optional<double> cycleTime(unsigned char byte, MemoryType type)
{
    const unsigned whole = byte >> 4;
    const unsigned low = byte & 0xF;
    if (low <= 9) {
        return whole + low / 10.0;
    }
    if (type == MemoryType::Ddr2 && low - 10 < Ddr2Fractions.size()) {
        return whole + Ddr2Fractions[low - 10];
    }
    return std::nullopt;
}

// CAS latencies of byte 18. DDR: bit n is CL (n + 2) / 2, so bits 0-6 give 1 to 4 in half steps; DDR2: bit n is
// CL n for bits 2-7 (JESD21-C byte 18; cross-checked with decode-dimms).
std::vector<double> casLatencies(unsigned char byte, MemoryType type)
{
    std::vector<double> latencies;
    for (unsigned bit = 0; bit < 8; ++bit) {
        if ((byte & (1U << bit)) == 0) {
            continue;
        }
        if (type == MemoryType::Ddr && bit <= 6) {
            latencies.push_back((bit + 2) / 2.0);
        } else if (type == MemoryType::Ddr2 && bit >= 2) {
            latencies.push_back(bit);
        }
    }
    return latencies;
}

// Padding (blanks, NULs, FFh) goes; any other byte outside printable ASCII becomes "?".
std::string printablePart(std::string_view raw)
{
    while (!raw.empty() &&
           (raw.back() == ' ' || raw.back() == '\0' || static_cast<unsigned char>(raw.back()) == 0xFF)) {
        raw.remove_suffix(1);
    }
    std::string part(raw);
    for (char& c : part) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte < 0x20 || byte > 0x7E) {
            c = '?';
        }
    }
    return part;
}

} // namespace

Reading<SpdModule> decodeSpd(std::string_view spd)
{
    Reading<SpdModule> reading;
    if (spd.size() < JedecBytes) {
        reading.unavailable = "unreadable";
        return reading;
    }
    const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(spd[i]); };
    unsigned sum = 0;
    for (std::size_t i = 0; i < ChecksumByte; ++i) {
        sum += byte(i);
    }
    if ((sum & 0xFF) != byte(ChecksumByte)) {
        reading.unavailable = "unreadable: SPD checksum fails";
        return reading;
    }
    SpdModule module;
    if (byte(TypeByte) == DdrType) {
        module.type = MemoryType::Ddr;
    } else if (byte(TypeByte) == Ddr2Type) {
        module.type = MemoryType::Ddr2;
    } else {
        reading.unavailable = "not a DDR or DDR2 module";
        return reading;
    }
    const bool ddr2 = module.type == MemoryType::Ddr2;
    const auto ns = cycleTime(byte(CycleTimeByte), module.type);
    // Rows + columns below 17 would be a rank under 1 MB per bank; more than 17 + 14 would overflow the size.
    const unsigned rows = byte(RowsByte) & (ddr2 ? 0x1F : 0x0F);
    const unsigned columns = byte(ColumnsByte) & 0x0F;
    const unsigned ranks = ddr2 ? (byte(RanksByte) & 0x7) + 1U : byte(RanksByte);
    if (!ns || *ns <= 0 || rows + columns < 17 || rows + columns > 17 + 14 || ranks == 0 || ranks > 8 ||
        byte(BanksByte) == 0 || byte(BanksByte) > 8) {
        reading.unavailable = "unreadable: SPD values out of range";
        return reading;
    }
    module.cycleTimeNs = *ns;
    // A small allowance: 2.5 ns names 400 MHz although 1000 / 2.5 may come out a hair below.
    module.ratedMHz = static_cast<unsigned>(std::floor(1000.0 / *ns + 1e-6));
    module.casLatencies = casLatencies(byte(CasByte), module.type);
    // One rank holds 2^(rows + columns) addresses of 8 bytes in each bank: 2^(rows + columns - 17) MB per bank.
    module.sizeMB = (1U << (rows + columns - 17)) * byte(BanksByte) * ranks;
    module.part = printablePart(spd.substr(PartStart, PartLength));
    reading.value = std::move(module);
    return reading;
}

std::vector<ModuleSlot> readModules(const std::filesystem::path& root)
{
    std::vector<std::string> names;
    std::error_code ec;
    std::filesystem::directory_iterator it(root / I2cDevices, ec);
    for (; !ec && it != std::filesystem::directory_iterator() && names.size() < MaxDevices; it.increment(ec)) {
        // An entry that is neither file nor folder is still looked at: its eeprom then reads as unreadable.
        names.push_back(it->path().filename().string());
    }
    std::sort(names.begin(), names.end());
    std::vector<ModuleSlot> slots;
    for (const auto& name : names) {
        const auto path = root / I2cDevices / name / "eeprom";
        if (!std::filesystem::exists(std::filesystem::symlink_status(path, ec))) {
            continue; // an I2C device without an EEPROM: a sensor, not a module
        }
        ModuleSlot slot{name, {}};
        const BinaryFile file = readBinaryFile(path, SpdBytes);
        if (file.fault == FileFault::Denied) {
            slot.module.unavailable = "needs root";
        } else if (file.fault != FileFault::None) {
            slot.module.unavailable = "unreadable";
        } else {
            slot.module = decodeSpd(file.bytes);
        }
        slots.push_back(std::move(slot));
    }
    return slots;
}

std::optional<double> slowestModuleMHz(const std::filesystem::path& sysroot)
{
    std::optional<double> slowest;
    for (const auto& slot : readModules(sysroot)) {
        if (const auto& module = slot.module.value) {
            slowest = std::min(slowest.value_or(module->ratedMHz), double(module->ratedMHz));
        }
    }
    return slowest;
}

} // namespace clockdeck
