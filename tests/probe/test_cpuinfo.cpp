// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Clockdeck developers
#include "probe/cpuinfo.h"

#include <gtest/gtest.h>

using namespace clockdeck;

namespace {

// The saved profiles cover half the bogomips winning over "cpu MHz", and "cpu MHz" rounded when there is none.
TEST(CpuInfo, BootClockFallsBackAndRefusesWhatIsNoClock)
{
    // clang-format off
    const std::pair<const char*, int> cases[] = {
        {"bogomips : 4423.00\n", 2212}, {"bogomips : 4422.98\n", 2211}, {"bogomips : abc\ncpu MHz : 2000.4\n", 2000},
        {"cpu MHz : 2000 MHz\n", 0}, {"bogomips : -4400\ncpu MHz : -2200\n", 0}, {"bogomips : 0\n", 0},
        {"cpu MHz : 2147483647\n", 2147483647}, {"cpu MHz : 2147483648\n", 0}, {"bogomips : inf\ncpu MHz : nan\n", 0},
        {"cpu MHz : 0x800\n", 0}, {"\nmodel name : K8\n\nbogomips : 4000\n", 0}, {"\r\nbogomips : 4000\r\n", 2000}};
    // clang-format on
    for (const auto& [record, expected] : cases) {
        EXPECT_EQ(CpuInfo::parse(record).bootMHz(), expected) << record;
    }
    EXPECT_EQ(CpuInfo::parse("cpu family : 15\nmodel : 43\nstepping : unknown\n").identifier(), std::nullopt);
    EXPECT_EQ(CpuInfo::parse("cpu family : 015\nmodel : 7\nstepping : 10\n").identifier(),
              "x86 Family 15 Model 7 Stepping 10");
}

} // namespace
