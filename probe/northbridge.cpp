// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Clockdeck developers
#include "northbridge.h"

#include "boundedfile.h"
#include "cpuinfo.h"

#include <array>
#include <charconv>

namespace clockdeck {

namespace {

constexpr std::string_view LinkFunction = "sys/bus/pci/devices/0000:00:18.0/config";
constexpr std::string_view DramFunction = "sys/bus/pci/devices/0000:00:18.2/config";
// The standard header an unprivileged reader of sysfs is given; the registers below lie past it.
constexpr std::size_t UnprivilegedBytes = 64;
constexpr std::size_t ConfigBytes = 256;
constexpr std::uint32_t AmdVendor = 0x1022;
constexpr std::uint32_t LinkDeviceId = 0x1100; // function 0, HyperTransport configuration
constexpr std::uint32_t DramDeviceId = 0x1102; // function 2, DRAM controller
constexpr unsigned FirstRevisionFModel = 0x40;

// The three link blocks of function 0 (F0x80, F0xA0, F0xC0) and, within each, the Link Control (+0x04), Link
// Frequency (+0x08) and Link Type (+0x18) registers. Link Type bit 0: connected; bit 2: non-coherent.
// AMD BKDG for Athlon 64 and Opteron (26094), function 0; cross-checked with coreboot
// src/northbridge/amd/amdk8/amdk8_pre_f.h (LinkConnected, NonCoherent).
constexpr std::array<unsigned, 3> LinkBlocks{0x80, 0xA0, 0xC0};
constexpr unsigned LinkControl = 0x04, LinkFrequency = 0x08, LinkType = 0x18;
constexpr std::uint32_t LinkConnected = 1U << 0, LinkNonCoherent = 1U << 2;

// Function 2: DRAM Timing Low, DRAM Configuration Low and High.
constexpr unsigned DramTimingLow = 0x88, DramConfigLow = 0x90, DramConfigHigh = 0x94;

// Link Frequency bits 11:8. AMD BKDG 26094 (Link Frequency registers; 1111b is 100 MHz); cross-checked with
// coreboot src/include/device/hypertransport_def.h (HT_FREQ_200Mhz ... HT_FREQ_1000Mhz, HT_FREQ_VENDOR).
struct CodeValue
{
    unsigned code;
    unsigned value;
};
constexpr std::array<CodeValue, 8> LinkFrequencies{{
    {0x0, 200},
    {0x1, 300},
    {0x2, 400},
    {0x3, 500},
    {0x4, 600},
    {0x5, 800},
    {0x6, 1000},
    {0xF, 100},
}};

// Link Control bits 26:24 (in) and 30:28 (out). AMD BKDG 26094 (Link Control registers; 111b: not connected);
// cross-checked with coreboot's src/northbridge/amd/amdk8/incoherent_ht.c (link_width_to_pow2).
constexpr std::array<CodeValue, 5> LinkWidths{{
    {0b000, 8},
    {0b001, 16},
    {0b011, 32},
    {0b100, 2},
    {0b101, 4},
}};

// DRAM Configuration High MemClk, bits 22:20, before revision F. AMD BKDG 26094 (DRAM Configuration High
// register); cross-checked with coreboot amdk8_pre_f.h (DCH_MEMCLK_100MHZ ... DCH_MEMCLK_200MHZ).
constexpr std::array<CodeValue, 4> MemClkBeforeRevisionF{{
    {0b000, 100},
    {0b010, 133},
    {0b101, 166},
    {0b111, 200},
}};

// DRAM Configuration High MemClkFreq, bits 2:0, from revision F (DDR2-400 to DDR2-800). AMD BKDG for
// revision F (32559, DRAM Configuration High); cross-checked with coreboot src/northbridge/amd/amdk8/amdk8_f.h
// (DCH_MemClkFreq_200MHz ... DCH_MemClkFreq_400MHz).
constexpr std::array<CodeValue, 4> MemClkRevisionF{{
    {0b000, 200},
    {0b001, 266},
    {0b010, 333},
    {0b011, 400},
}};

// DRAM Timing Low Tcl, bits 2:0, in half clocks. AMD BKDG 26094 (DRAM Timing Low register); cross-checked with
// coreboot amdk8_pre_f.h (DTL_CL_2, DTL_CL_3, DTL_CL_2_5).
constexpr std::array<CodeValue, 3> CasLatencyHalves{{
    {0b001, 4},
    {0b010, 6},
    {0b101, 5},
}};

// Other DRAM Timing Low fields, in clocks: the field's value plus a base, within the documented range. AMD BKDG
// 26094 (DRAM Timing Low register); cross-checked with coreboot amdk8_pre_f.h (DTL_*_SHIFT, _MASK, _BASE, _MIN,
// _MAX). DRAM Configuration Low bit 28 (En2T) sets the 2T command rate: same two sources (DCL_En2T).
struct TimingField
{
    unsigned shift;
    unsigned mask;
    unsigned base;
    unsigned min;
    unsigned max;
};
constexpr TimingField Trcd{12, 0x7, 0, 2, 6};
constexpr TimingField Trp{24, 0x7, 0, 2, 6};
constexpr TimingField Tras{20, 0xF, 0, 5, 15};
constexpr TimingField Trc{4, 0xF, 7, 7, 22};
constexpr std::uint32_t En2T = 1U << 28;

template <std::size_t N> std::optional<unsigned> lookUp(const std::array<CodeValue, N>& table, unsigned code)
{
    for (const auto& row : table) {
        if (row.code == code) {
            return row.value;
        }
    }
    return std::nullopt;
}

std::optional<unsigned> timing(std::uint32_t reg, const TimingField& field)
{
    const unsigned clocks = ((reg >> field.shift) & field.mask) + field.base;
    if (clocks < field.min || clocks > field.max) {
        return std::nullopt;
    }
    return clocks;
}

// A little-endian register of configuration space; the caller has checked the offset lies within it.
std::uint32_t reg32(std::string_view config, unsigned offset)
{
    std::uint32_t value = 0;
    for (unsigned i = 4; i-- > 0;) {
        value = value << 8 | static_cast<unsigned char>(config[offset + i]);
    }
    return value;
}

// Why the configuration space cannot give a register at @p end, or nothing when it can. sysfs gives someone
// other than root the first 64 bytes, though it records the whole space's size.
std::string shortfall(std::string_view config, std::uint64_t recordedSize, std::size_t end)
{
    if (config.size() >= end) {
        return {};
    }
    if (config.size() == UnprivilegedBytes && recordedSize > UnprivilegedBytes) {
        return "needs root";
    }
    return "unreadable";
}

std::string deviceMismatch(std::string_view config, std::uint32_t deviceId, std::string_view device)
{
    if (config.size() < UnprivilegedBytes) {
        return "unreadable"; // every reader is given the standard header
    }
    if (reg32(config, 0) != (deviceId << 16 | AmdVendor)) {
        return "no Athlon 64 northbridge at " + std::string(device);
    }
    return {};
}

std::string hex(unsigned value)
{
    char buffer[16];
    const auto end = std::to_chars(buffer, buffer + sizeof buffer, value, 16).ptr;
    return "0x" + std::string(buffer, end);
}

std::string faultReason(FileFault fault, std::string_view device)
{
    switch (fault) {
    case FileFault::Missing:
        return "no PCI device " + std::string(device);
    case FileFault::Denied:
        return "needs root";
    case FileFault::None:
    case FileFault::Unreadable:
        break;
    }
    return "unreadable";
}

} // namespace

std::optional<unsigned> linkFrequencyMHz(unsigned code)
{
    return lookUp(LinkFrequencies, code);
}

std::optional<unsigned> linkWidthBits(unsigned code)
{
    return lookUp(LinkWidths, code);
}

std::optional<unsigned> memClkMHz(unsigned code, bool revisionF)
{
    return revisionF ? lookUp(MemClkRevisionF, code) : lookUp(MemClkBeforeRevisionF, code);
}

Reading<HtLink> decodeLink(std::string_view config, std::uint64_t recordedSize)
{
    Reading<HtLink> reading;
    reading.unavailable = deviceMismatch(config, LinkDeviceId, "0000:00:18.0");
    if (reading.unavailable.empty()) {
        reading.unavailable = shortfall(config, recordedSize, LinkBlocks.back() + LinkType + 4);
    }
    if (!reading.unavailable.empty()) {
        return reading;
    }
    for (unsigned index = 0; index < LinkBlocks.size(); ++index) {
        const unsigned block = LinkBlocks[index];
        const std::uint32_t type = reg32(config, block + LinkType);
        if ((type & LinkConnected) == 0 || (type & LinkNonCoherent) == 0) {
            continue;
        }
        const std::uint32_t control = reg32(config, block + LinkControl);
        const unsigned frequencyCode = (reg32(config, block + LinkFrequency) >> 8) & 0xF;
        const auto mhz = linkFrequencyMHz(frequencyCode);
        const auto in = linkWidthBits((control >> 24) & 0x7);
        const auto out = linkWidthBits((control >> 28) & 0x7);
        if (!mhz) {
            reading.unavailable = "link " + std::to_string(index) + ": reserved frequency code " + hex(frequencyCode);
        } else if (!in || !out) {
            reading.unavailable = "link " + std::to_string(index) + ": reserved width code";
        } else {
            reading.value = HtLink{index, *mhz, *mhz / 200.0, *in, *out};
        }
        return reading;
    }
    reading.unavailable = "no connected non-coherent link";
    return reading;
}

Reading<DramSetting> decodeDram(std::string_view config, std::uint64_t recordedSize, bool revisionF)
{
    Reading<DramSetting> reading;
    reading.unavailable = deviceMismatch(config, DramDeviceId, "0000:00:18.2");
    if (reading.unavailable.empty()) {
        reading.unavailable = shortfall(config, recordedSize, DramConfigHigh + 4);
    }
    if (!reading.unavailable.empty()) {
        return reading;
    }
    const std::uint32_t high = reg32(config, DramConfigHigh);
    const unsigned code = revisionF ? high & 0x7 : (high >> 20) & 0x7;
    const auto mhz = memClkMHz(code, revisionF);
    if (!mhz) {
        reading.unavailable = "reserved memory clock code " + hex(code);
        return reading;
    }
    DramSetting setting;
    setting.revisionF = revisionF;
    setting.memClkMHz = *mhz;
    if (revisionF) {
        setting.timings.unavailable = "not decoded for DDR2";
    } else {
        const std::uint32_t low = reg32(config, DramTimingLow);
        const auto halves = lookUp(CasLatencyHalves, low & 0x7);
        const auto trcd = timing(low, Trcd), trp = timing(low, Trp), tras = timing(low, Tras), trc = timing(low, Trc);
        if (halves && trcd && trp && tras && trc) {
            const bool twoT = (reg32(config, DramConfigLow) & En2T) != 0;
            setting.timings.value = DramTimings{*halves / 2.0, *trcd, *trp, *tras, *trc, twoT};
        } else {
            setting.timings.unavailable = "reserved code in DRAM Timing Low " + hex(low);
        }
    }
    reading.value = setting;
    return reading;
}

NorthbridgeReadings readNorthbridge(const std::filesystem::path& root)
{
    NorthbridgeReadings readings;
    const auto text = readTextFile(root / "proc/cpuinfo", MaxProbeFileBytes, "\n\n");
    const CpuInfo info = CpuInfo::parse(text ? std::string_view(*text) : std::string_view());
    const auto number = [&](std::string_view key) -> std::optional<unsigned> {
        const auto value = info.value(key);
        unsigned n = 0;
        if (!value || value->empty() ||
            std::from_chars(value->data(), value->data() + value->size(), n).ptr != value->data() + value->size()) {
            return std::nullopt;
        }
        return n;
    };
    const auto vendor = info.value("vendor_id");
    const auto model = number("model");
    if (!vendor || *vendor != "AuthenticAMD" || number("cpu family") != 15U || !model) {
        readings.link.unavailable = readings.memory.unavailable = "not an Athlon 64 family processor";
        return readings;
    }
    const BinaryFile link = readBinaryFile(root / LinkFunction, ConfigBytes);
    if (link.fault == FileFault::None) {
        readings.link = decodeLink(link.bytes, link.recordedSize);
    } else {
        readings.link.unavailable = faultReason(link.fault, "0000:00:18.0");
    }
    const BinaryFile dram = readBinaryFile(root / DramFunction, ConfigBytes);
    if (dram.fault == FileFault::None) {
        readings.memory = decodeDram(dram.bytes, dram.recordedSize, *model >= FirstRevisionFModel);
    } else {
        readings.memory.unavailable = faultReason(dram.fault, "0000:00:18.2");
    }
    return readings;
}

} // namespace clockdeck
