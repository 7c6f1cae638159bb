// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Clockdeck developers
#include "probe/cpuinfo.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>

using namespace clockdeck;

namespace {

TEST(CpuInfo, ReadsOnlyTheFirstRecordAndKeepsValuesAsTheyStand)
{
    const auto info = CpuInfo::parse("processor\t: 0\n"
                                     "model name\t: AMD Athlon(tm) 64  X2   \n"
                                     "power management:\n"
                                     "no colon here\n"
                                     "model name\t: second line of the same key\n"
                                     "\n"
                                     "processor\t: 1\n"
                                     "bogomips\t: 4422.00\n");
    // One blank after the colon is dropped; inner and trailing blanks stay.
    EXPECT_EQ(info.value("model name"), "AMD Athlon(tm) 64  X2   ");
    EXPECT_EQ(info.value("power management"), "");
    EXPECT_EQ(info.value("no colon here"), std::nullopt);
    // Processor 1's values never count for processor 0.
    EXPECT_EQ(info.value("bogomips"), std::nullopt);
    EXPECT_EQ(info.bootMHz(), 0);
    // Empty lines before the record are skipped; Windows line ends are accepted.
    const auto crlf = CpuInfo::parse("\n\nmodel name : Opteron\r\nbogomips : 4000\r\n");
    EXPECT_EQ(crlf.value("model name"), "Opteron");
    EXPECT_EQ(crlf.bootMHz(), 2000);
}

struct ClockCase
{
    const char* name;
    const char* record;
    int expected;
};

TEST(CpuInfo, BootClockIsHalfTheBogomipsElseTheCpuClock)
{
    const ClockCase cases[] = {
        {"half the bogomips, rounded", "bogomips : 4422.59\ncpu MHz : 1000.000\n", 2211},
        {"a half MHz rounds up", "bogomips : 4423.00\n", 2212},
        {"just below a half rounds down", "bogomips : 4422.98\n", 2211},
        {"bogomips wins over cpu MHz", "cpu MHz : 1000.0\nbogomips : 5200.22\n", 2600},
        {"no bogomips: cpu MHz rounded", "cpu MHz : 1809.5\n", 1810},
        {"bogomips not a number: cpu MHz", "bogomips : abc\ncpu MHz : 2000.4\n", 2000},
        {"cpu MHz not a number", "cpu MHz : abc\n", 0},
        {"trailing text is not a number", "cpu MHz : 2000 MHz\n", 0},
        {"empty value", "cpu MHz :\n", 0},
        {"negative clock", "bogomips : -4400\ncpu MHz : -2200\n", 0},
        {"zero clock", "bogomips : 0\n", 0},
        {"clock beyond 32 bits", "cpu MHz : 99999999999999\n", 0},
        {"largest 32-bit clock", "cpu MHz : 2147483647\n", 2147483647},
        {"overflowing number", "cpu MHz : 1e999\n", 0},
        {"infinity", "bogomips : inf\ncpu MHz : nan\n", 0},
        {"hexadecimal", "cpu MHz : 0x800\n", 0},
        {"blanks around the number", "cpu MHz :   2200.0  \n", 2200},
        {"nothing", "", 0},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(CpuInfo::parse(c.record).bootMHz(), c.expected) << c.name;
    }
}

struct IdentifierCase
{
    const char* name;
    const char* record;
    std::optional<std::string> expected;
};

TEST(CpuInfo, IdentifierNeedsFamilyModelAndSteppingAsWholeNumbers)
{
    const IdentifierCase cases[] = {
        {"all three", "cpu family : 15\nmodel : 43\nstepping : 1\n", "x86 Family 15 Model 43 Stepping 1"},
        {"written in decimal without leading zeros", "cpu family : 015\nmodel : 007\nstepping : 10\n",
         "x86 Family 15 Model 7 Stepping 10"},
        {"stepping missing", "cpu family : 15\nmodel : 43\n", std::nullopt},
        {"stepping unknown (virtual machines)", "cpu family : 15\nmodel : 43\nstepping : unknown\n", std::nullopt},
        {"negative model", "cpu family : 15\nmodel : -1\nstepping : 1\n", std::nullopt},
        {"family beyond 32 bits", "cpu family : 99999999999\nmodel : 1\nstepping : 1\n", std::nullopt},
        {"model name is not model", "cpu family : 15\nmodel name : X\nstepping : 1\n", std::nullopt},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(CpuInfo::parse(c.record).identifier(), c.expected) << c.name;
    }
}

} // namespace
