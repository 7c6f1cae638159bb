// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Clockdeck developers
#include "probe/northbridge.h"
#include "probe/spd.h"
#include "support/otheruser.h"
#include "support/tempfolder.h"

namespace {

using namespace clockdeck;

std::string describe(const Reading<HtLink>& r)
{
    if (!r.value) {
        return r.unavailable;
    }
    const HtLink& l = *r.value;
    return "link " + std::to_string(l.index) + ": " + std::to_string(l.mhz) + " MHz " + std::to_string(l.multiplier) +
           "x " + std::to_string(l.widthIn) + "/" + std::to_string(l.widthOut);
}

std::string describe(const Reading<DramSetting>& r)
{
    if (!r.value) {
        return r.unavailable;
    }
    std::string s = std::to_string(r.value->memClkMHz) + " MHz; ";
    if (const auto& t = r.value->timings.value) {
        return s + std::to_string(t->cl) + "-" + std::to_string(t->trcd) + "-" + std::to_string(t->trp) + "-" +
               std::to_string(t->tras) + " tRC " + std::to_string(t->trc) + (t->twoT ? " 2T" : " 1T");
    }
    return s + r.value->timings.unavailable;
}

std::string describe(const std::vector<ModuleSlot>& slots)
{
    std::string s;
    for (const auto& slot : slots) {
        s += slot.slot + ": ";
        if (const auto& m = slot.module.value) {
            s += std::string(m->type == MemoryType::Ddr2 ? "DDR2 " : "DDR ") + std::to_string(m->ratedMHz) + " MHz CL";
            for (const double cl : m->casLatencies) {
                s += " " + std::to_string(cl).substr(0, 3);
            }
            s += ", " + std::to_string(m->sizeMB) + " MB, " + m->part + "; ";
        } else {
            s += slot.module.unavailable + "; ";
        }
    }
    return s;
}

TEST(Hardware, EachProfileDecodesEveryNumber)
{
    const struct
    {
        const char* profile;
        std::string link, memory, modules;
        std::optional<double> slowest;
    } cases[] = {
        {"x2-4400", "link 0: 1000 MHz 5.000000x 16/16", "200 MHz; 2.500000-3-3-8 tRC 11 1T",
         "0-0050: DDR 200 MHz CL 2.0 2.5 3.0, 512 MB, KVR400X64C25/512; "
         "0-0051: DDR 200 MHz CL 2.0 2.5 3.0, 512 MB, KVR400X64C25/512; ",
         200},
        // Link 0 says non-coherent but is not connected; 0-002d is a sensor, no EEPROM; 0-0052's checksum is 1 off.
        {"athlon64-754", "link 2: 800 MHz 4.000000x 16/8", "166 MHz; 3.000000-4-3-7 tRC 12 2T",
         "0-0050: DDR 200 MHz CL 2.0 2.5 3.0, 512 MB, CMX512-3200C2; "
         "0-0051: DDR 166 MHz CL 2.0 2.5, 256 MB, HYMD232646B8J-J; 0-0052: unreadable: SPD checksum fails; ",
         166},
        // Link 0 is connected but coherent; DRAM Timing Low holds codes that would decode, but not for DDR2.
        {"am2-ddr2", "link 1: 1000 MHz 5.000000x 16/16", "400 MHz; not decoded for DDR2",
         "1-0050: DDR2 400 MHz CL 4.0 5.0 6.0, 2048 MB, OCZ2P8002GK; "
         "1-0052: DDR2 400 MHz CL 5.0 6.0, 1024 MB, M378T2953EZ3-CF7; ",
         400},
        {"athlon64", "no PCI device 0000:00:18.0", "no PCI device 0000:00:18.2", "", std::nullopt},
        {"modern-intel", "not an Athlon 64 family processor", "not an Athlon 64 family processor", "", std::nullopt},
    };
    for (const auto& c : cases) {
        const auto root = test::profile(c.profile);
        const NorthbridgeReadings nb = readNorthbridge(root);
        EXPECT_EQ(describe(nb.link), c.link) << c.profile;
        EXPECT_EQ(describe(nb.memory), c.memory) << c.profile;
        EXPECT_EQ(describe(readModules(root)), c.modules) << c.profile;
        EXPECT_EQ(slowestModuleMHz(root), c.slowest) << c.profile;
    }
}

// 256 bytes of an AMD northbridge function with the given device id and 32-bit registers.
std::string config(std::uint32_t device, std::initializer_list<std::pair<unsigned, std::uint32_t>> registers)
{
    std::string bytes(256, '\0');
    const auto put = [&](unsigned offset, std::uint32_t value) {
        for (unsigned i = 0; i < 4; ++i) {
            bytes[offset + i] = static_cast<char>(value >> (8 * i));
        }
    };
    put(0, device << 16 | 0x1022);
    for (const auto& [offset, value] : registers) {
        put(offset, value);
    }
    return bytes;
}

TEST(Hardware, RegisterCodesAndShortSpaces)
{
    EXPECT_EQ(std::tuple(memClkMHz(0, false), memClkMHz(2, false), memClkMHz(1, false), memClkMHz(6, false)),
              std::tuple(100U, 133U, std::nullopt, std::nullopt));
    EXPECT_EQ(std::tuple(memClkMHz(0, true), memClkMHz(1, true), memClkMHz(2, true), memClkMHz(4, true)),
              std::tuple(200U, 266U, 333U, std::nullopt));
    EXPECT_EQ(std::tuple(linkWidthBits(3), linkWidthBits(4), linkWidthBits(5), linkWidthBits(2)),
              std::tuple(32U, 2U, 4U, std::nullopt));

    const std::string link = config(0x1100, {{0x84, 0x1100'0000}, {0x88, 0x0700}, {0x98, 0x5}});
    const std::string dram = config(0x1102, {{0x88, 0x07F2'4FF1}, {0x94, 0x0200'0005}});
    const struct
    {
        const char* name;
        std::string unavailable;
        Reading<HtLink> link;
        Reading<DramSetting> dram;
    } cases[] = {
        // sysfs gives others the first 64 bytes but records the whole space.
        {"unprivileged", "needs root", decodeLink(link.substr(0, 64), 256), decodeDram(dram.substr(0, 64), 256, false)},
        {"a short file", "unreadable", decodeLink(link.substr(0, 64), 64), decodeDram(dram.substr(0, 150), 150, false)},
        {"no id", "unreadable", decodeLink("\x22\x10", 2), decodeDram("", 0, false)},
        {"another device", "no Athlon 64 northbridge at 0000:00:18", decodeLink(dram, 256),
         decodeDram(link, 256, false)},
    };
    for (const auto& c : cases) {
        EXPECT_NE(describe(c.link).find(c.unavailable), std::string::npos) << c.name << ": " << describe(c.link);
        EXPECT_NE(describe(c.dram).find(c.unavailable), std::string::npos) << c.name << ": " << describe(c.dram);
        EXPECT_FALSE(c.dram.value) << c.name;
    }
    EXPECT_EQ(describe(decodeLink(link, 256)), "link 0: reserved frequency code 0x7");
    EXPECT_EQ(describe(decodeLink(config(0x1100, {{0x84, 0x1100'0000}, {0x88, 0x0F00}, {0x98, 0x5}}), 256)),
              "link 0: 100 MHz 0.500000x 16/16");
    // MemClk 0 (100 MHz) with CL code 1 (2), tRC 7 + 15, tRCD 4, tRAS 15 and a tRP of 7, above its range.
    EXPECT_EQ(describe(decodeDram(dram, 256, false)), "100 MHz; reserved code in DRAM Timing Low 0x7f24ff1");
    EXPECT_EQ(describe(decodeDram(config(0x1102, {{0x88, 0x06F2'4FF1}, {0x90, 1U << 28}}), 256, false)),
              "100 MHz; 2.000000-4-6-15 tRC 22 2T");
    EXPECT_EQ(describe(decodeDram(config(0x1102, {{0x88, 0x06F2'1FF1}}), 256, false)), // tRCD 1, below its range
              "100 MHz; reserved code in DRAM Timing Low 0x6f21ff1");
    EXPECT_EQ(describe(decodeDram(config(0x1102, {{0x94, 0x0030'0000}}), 256, false)),
              "reserved memory clock code 0x3");
}

// A valid 256-byte DDR SPD with bytes changed, its checksum then made to hold again.
std::string spd(std::initializer_list<std::pair<std::size_t, unsigned char>> changes)
{
    std::string bytes(256, '\0');
    for (const auto& [i, v] :
         {std::pair<std::size_t, unsigned char>{2, 0x07}, {3, 13}, {4, 10}, {5, 1}, {9, 0x50}, {17, 4}, {18, 0x1C}}) {
        bytes[i] = static_cast<char>(v);
    }
    bytes.replace(73, 18, "PART-1            ");
    for (const auto& [i, v] : changes) {
        bytes[i] = static_cast<char>(v);
    }
    unsigned sum = 0;
    for (std::size_t i = 0; i < 63; ++i) {
        sum += static_cast<unsigned char>(bytes[i]);
    }
    bytes[63] = static_cast<char>(sum);
    return bytes;
}

TEST(Hardware, SpdFieldsAtTheirEdges)
{
    const struct
    {
        const char* name;
        std::string bytes;
        std::string expected;
    } cases[] = {
        {"DDR CL 1 to 4 by halves", spd({{18, 0x7F}}), "DDR 200 MHz CL 1.0 1.5 2.0 2.5 3.0 3.5 4.0, 256 MB, PART-1; "},
        {"DDR2-533: 3.75 ns, CL bits 0-1 unused", spd({{2, 0x08}, {9, 0x3D}, {18, 0x1F}, {5, 0x00}}),
         "DDR2 266 MHz CL 2.0 3.0 4.0, 256 MB, PART-1; "},
        {"DDR2-667: 3.0 ns, CL 7, 4 ranks, 16 rows", spd({{2, 0x08}, {9, 0x30}, {18, 0x80}, {5, 0x63}, {3, 0x10}}),
         "DDR2 333 MHz CL 7.0, 8192 MB, PART-1; "},
        {"6.9 ns", spd({{9, 0x69}}), "DDR 144 MHz CL 2.0 2.5 3.0, 256 MB, PART-1; "},
        {"part: escapes and high bytes shown as ?, padding gone",
         spd({{73, 0x1B}, {74, 0xC3}, {79, 0x7F}, {80, 0xFF}, {81, 0xFF}, {90, 0xFF}}),
         "DDR 200 MHz CL 2.0 2.5 3.0, 256 MB, ??RT-1?; "},
        {"DDR3", spd({{2, 0x0B}}), "not a DDR or DDR2 module; "},
        {"DDR with a DDR2-only tenths code", spd({{9, 0x3D}}), "unreadable: SPD values out of range; "},
        {"no ranks", spd({{5, 0}}), "unreadable: SPD values out of range; "},
        {"127 bytes", spd({}).substr(0, 127), "unreadable; "},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(describe({ModuleSlot{"", decodeSpd(c.bytes)}}), ": " + c.expected) << c.name;
    }
}

// Model 0x40 is the first of revision F, which keeps its memory clock code in bits 2:0 (2: 333 MHz), not 22:20.
TEST(Hardware, TheFirstRevisionFModelAndARootOnlyEeprom)
{
    const test::TempFolder root;
    root.write("proc/cpuinfo", "vendor_id\t: AuthenticAMD\ncpu family\t: 15\nmodel\t\t: 64\n\n");
    root.write("sys/bus/pci/devices/0000:00:18.2/config", config(0x1102, {{0x94, 0x2}}));
    EXPECT_EQ(describe(readNorthbridge(root.path()).memory).substr(0, 7), "333 MHz");
    std::filesystem::permissions(root.write("sys/bus/i2c/devices/0-0050/eeprom", spd({})), {});
    EXPECT_EQ(test::asNobody(root.path(), [&] { return describe(readModules(root.path())); }), "0-0050: needs root; ");
}

} // namespace
