// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Clockdeck developers
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace clockdeck {

// A reading of the hardware: the value, or one line saying why there is none.
template <typename T> struct Reading
{
    std::optional<T> value;
    std::string unavailable;
};

// The processor's HyperTransport link to the chipset.
struct HtLink
{
    unsigned index = 0;    // link 0, 1 or 2 of the northbridge
    unsigned mhz = 0;      // the link clock its frequency code names, at the 200 MHz reference clock
    double multiplier = 0; // that clock divided by the 200 MHz reference clock
    unsigned widthIn = 0;  // bits
    unsigned widthOut = 0; // bits
};

// The DRAM Timing Low fields before revision F, in memory clocks.
struct DramTimings
{
    double cl = 0; // CAS latency: 2, 2.5 or 3
    unsigned trcd = 0;
    unsigned trp = 0;
    unsigned tras = 0;
    unsigned trc = 0;
    bool twoT = false; // command rate 2T (1T when false)
};

// What the memory controller is set to.
struct DramSetting
{
    bool revisionF = false; // DDR2 controller
    unsigned memClkMHz = 0; // 100, 133, 166, 200; from revision F 200, 266, 333, 400
    Reading<DramTimings> timings;
};

struct NorthbridgeReadings
{
    Reading<HtLink> link;
    Reading<DramSetting> memory;
};

/// The link clock of a Link Frequency code, in MHz at the 200 MHz reference clock; nothing for a reserved code.
[[nodiscard]] std::optional<unsigned> linkFrequencyMHz(unsigned code);

/// The bits of a LinkWidthIn or LinkWidthOut code; nothing for a reserved code or "not connected".
[[nodiscard]] std::optional<unsigned> linkWidthBits(unsigned code);

/// The memory clock of DRAM Configuration High's MemClk field (bits 22:20) before revision F, or of its
/// MemClkFreq field (bits 2:0) from revision F; nothing for a reserved code.
[[nodiscard]] std::optional<unsigned> memClkMHz(unsigned code, bool revisionF);

/// Decodes the configuration space of function 0 (@p config, the bytes read; @p recordedSize, the size the file
/// system records): the first link whose Link Type register says connected and non-coherent.
[[nodiscard]] Reading<HtLink> decodeLink(std::string_view config, std::uint64_t recordedSize);

/// Decodes the configuration space of function 2: the memory clock setting and, before revision F, the timings.
[[nodiscard]] Reading<DramSetting> decodeDram(std::string_view config, std::uint64_t recordedSize, bool revisionF);

/// Reads functions 0 and 2 of the processor's northbridge (PCI device 0000:00:18.0 and .2) below @p root, on an
/// AMD family 15 processor named in proc/cpuinfo; revision F and later (model 0x40 up) have the DDR2 controller.
/// Reading past the first 64 bytes needs root: without it, a reading says "needs root". Only a failed
/// allocation throws.
[[nodiscard]] NorthbridgeReadings readNorthbridge(const std::filesystem::path& root);

} // namespace clockdeck
