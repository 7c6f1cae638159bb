// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Clockdeck developers
#include "base/utf8.h"
#include "probe/cpuinfo.h"
#include "probe/registry.h"

#include "support/tempfolder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <string>
#include <tuple>

#include <sys/stat.h>

using namespace clockdeck;
namespace fs = std::filesystem;

namespace {

constexpr const char* ProcessorKey = "HARDWARE\\DESCRIPTION\\System\\CentralProcessor\\0";

// The saved profiles' reports show the values; these are the ways of asking for them.
TEST(Registry, KeysNamesAndValueTypes)
{
    const SystemRegistry registry(test::profile("x2-4400"));
    std::int32_t type = 0;
    EXPECT_EQ(GetRegString("", "hardware\\description\\system", "systembiosdate", type, registry), "05/12/2006");
    EXPECT_EQ(type, RegSz);
    EXPECT_EQ(GetRegString("", ProcessorKey, "~MHz", type, registry), std::string("\xA3\x08\x00\x00", 4));
    EXPECT_EQ(type, RegDword) << "the boot clock 2211 as its four raw bytes";
    EXPECT_EQ(GetRegString("", ProcessorKey, "VendorIdentifier", type, registry), "");
}

// A file that is not a small text file reads as missing: nothing hangs, nothing is read without bound.
TEST(Registry, UnusableFilesReadAsMissing)
{
    test::TempFolder root;
    const SystemRegistry registry(root.path());
    const fs::path cpuinfo = root.path() / "proc/cpuinfo";
    std::string bigMachine = "bogomips\t: 4192.00\n\n";
    for (int cpu = 1; cpu < 400; ++cpu) { // a few hundred processors of 1.5 kB each
        bigMachine += "processor\t: 1\nflags\t\t: " + std::string(1500, 'f') + "\n\n";
    }
    root.write("proc/cpuinfo", bigMachine + '\0');
    EXPECT_EQ(GetBootMHz(registry), 2096) << "processor 0's record is all that is read";
    const std::pair<const char*, std::function<void()>> cases[] = {
        {"10 MB without a line end", [&] { root.write("proc/cpuinfo", std::string(10 << 20, 'x')); }},
        {"a NUL byte", [&] { root.write("proc/cpuinfo", std::string("bogomips : 4000\0\n", 17)); }},
        {"a pipe with no writer",
         [&] {
             const int made = ::mkfifo(cpuinfo.c_str(), 0600);
             ASSERT_EQ(made, 0);
         }},
        {"an endless device", [&] { fs::create_symlink("/dev/zero", cpuinfo); }}};
    for (const auto& [what, make] : cases) {
        fs::remove_all(cpuinfo);
        make();
        EXPECT_EQ(GetBootMHz(registry), 0) << what;
    }
}

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

// Each boundary of well-formed UTF-8; a broken sequence takes its lead and the continuation bytes after it.
TEST(Utf8, ReadsWellFormedSequencesOnly)
{
    const std::tuple<const char*, std::string, std::size_t, char32_t> cases[] = {
        // broken: code point 0
        {"DEL", "\x7F", 1, 0x7F},
        {"the smallest two-byte form", "\xC2\x80", 2, 0x80},
        {"an overlong two-byte form", "\xC1\xBF", 2, 0},
        {"the smallest three-byte form", "\xE0\xA0\x80", 3, 0x800},
        {"an overlong three-byte form", "\xE0\x9F\xBF", 3, 0},
        {"the last before the surrogates", "\xED\x9F\xBF", 3, 0xD7FF},
        {"the first surrogate", "\xED\xA0\x80", 3, 0},
        {"the last surrogate", "\xED\xBF\xBF", 3, 0},
        {"the first after the surrogates", "\xEE\x80\x80", 3, 0xE000},
        {"the smallest four-byte form", "\xF0\x90\x80\x80", 4, 0x10000},
        {"an overlong four-byte form", "\xF0\x8F\xBF\xBF", 4, 0},
        {"the last character", "\xF4\x8F\xBF\xBFz", 4, 0x10FFFF},
        {"above U+10FFFF", "\xF4\x90\x80\x80", 4, 0},
        {"a five-byte form", "\xF8\x88\x80\x80\x80z", 5, 0},
        {"cut short", "\xE2\x82", 2, 0},
        {"a run of continuation bytes", "\x80\xBFz", 2, 0},
        {"a lead without its continuation", "\xC3z", 1, 0},
    };
    for (const auto& [name, text, length, codePoint] : cases) {
        const Utf8Sequence read = readUtf8(text);
        EXPECT_EQ(std::tuple(read.length, read.codePoint, read.valid), std::tuple(length, codePoint, codePoint != 0))
            << name;
    }
}

// What a shared profile could put in a model name, a BIOS date or a driver: nothing a terminal acts on survives.
TEST(PrintableText, ReplacesWhatATerminalActsOnAndKeepsTheRest)
{
    const struct
    {
        const char* name;
        std::string text, expected;
    } cases[] = {
        {"C1 from U+0080 to U+009F",
         "\xC2\x80 \xC2\x9B"
         "2J \xC2\x9F \xC2\xA0",
         "? ?2J ? \xC2\xA0"},
        {"raw C1 bytes, not the bytes around them",
         "\x9B"
         "2J\x80 \x7E\xA0\xE9",
         "?2J? \x7E\xA0\xE9"},
        {"bidirectional overrides", "\xE2\x80\xA9\xE2\x80\xAA\xE2\x80\xAE\xE2\x80\xAF", "\xE2\x80\xA9??\xE2\x80\xAF"},
        {"bidirectional isolates", "\xE2\x81\xA5\xE2\x81\xA6\xE2\x81\xA9\xE2\x81\xAA", "\xE2\x81\xA5??\xE2\x81\xAA"},
        {"C1 bytes inside broken sequences", "\xE2\x9B|\xC0\x9B|\xED\xA0\x80|\xF4\x90\x80\x80",
         "\xE2?|\xC0?|\xED\xA0?|\xF4???"},
        {"an override after a broken lead", "\xE2\xE2\x80\xAE!", "\xE2?!"},
        {"other text stays", "AMD Athlon\xE2\x84\xA2 64 X2 \xF0\x9F\x94\xA5 caf\xC3\xA9",
         "AMD Athlon\xE2\x84\xA2 64 X2 \xF0\x9F\x94\xA5 caf\xC3\xA9"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(printableText(c.text), c.expected) << c.name;
    }
}

} // namespace
