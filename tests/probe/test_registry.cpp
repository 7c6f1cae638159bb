// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Clockdeck developers
#include "support/tempfolder.h"

#include "probe/boundedfile.h"
#include "probe/registry.h"

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <functional>
#include <string>

#include <sys/stat.h>
#include <unistd.h>

using namespace clockdeck;
using clockdeck::test::profile;
using clockdeck::test::TempFolder;
namespace fs = std::filesystem;

namespace {

constexpr const char* ProcessorKey = "HARDWARE\\DESCRIPTION\\System\\CentralProcessor\\0";
constexpr const char* SystemKey = "HARDWARE\\DESCRIPTION\\System\\";
constexpr const char* DriverKey = "SOFTWARE\\AMD\\CPU\\";
constexpr const char* CpuInfoPath = "proc/cpuinfo";
constexpr const char* DriverPath = "sys/devices/system/cpu/cpu0/cpufreq/scaling_driver";

std::string read(const SystemRegistry& registry, const char* key, const char* value)
{
    std::int32_t type = 0;
    return GetRegString("HKEY_LOCAL_MACHINE", key, value, type, registry);
}

// The saved profiles' values are checked through the reports of clockdeck-cli.
TEST(Registry, KeysNamesAndValueTypes)
{
    const SystemRegistry registry(profile("x2-4400"));
    std::int32_t type = 0;
    // The root name is not looked at; letter case and a trailing backslash do not matter.
    EXPECT_EQ(GetRegString("HKEY_CURRENT_USER", SystemKey, "SystemBiosDate", type, registry), "05/12/2006");
    EXPECT_EQ(type, RegSz);
    EXPECT_EQ(read(registry, "hardware\\description\\system", "systembiosdate"), "05/12/2006");
    EXPECT_EQ(read(registry, "HARDWARE\\DESCRIPTION\\System\\CentralProcessor\\0\\", "identifier"),
              "x86 Family 15 Model 43 Stepping 1");
    // The boot clock read as text gives its four raw bytes: 2211, little-endian.
    EXPECT_EQ(GetRegString("", ProcessorKey, "~MHz", type, registry), std::string("\xA3\x08\x00\x00", 4));
    EXPECT_EQ(type, RegDword);
    // Other keys and values are missing, and a missing value leaves the type as it was.
    type = 77;
    for (const auto& [key, value] : {std::pair{"HARDWARE\\DESCRIPTION\\System\\CentralProcessor\\1", "Identifier"},
                                     {ProcessorKey, "VendorIdentifier"},
                                     {SystemKey, "Identifier"},
                                     {"HARDWARE\\DESCRIPTION\\Syste", "SystemBiosDate"}}) {
        EXPECT_EQ(GetRegString("", key, value, type, registry), "") << key << " " << value;
    }
    EXPECT_EQ(type, 77);
}

TEST(Registry, UnusableFilesGiveTheMissingResultQuickly)
{
    TempFolder root;
    const SystemRegistry registry(root.path());
    const fs::path cpuinfo = root.path() / CpuInfoPath;
    const std::string good = "vendor_id\t: AuthenticAMD\nmodel name\t: AMD Athlon(tm) 64 Processor 3000+\n"
                             "bogomips\t: 4000.00\n\n";
    root.write(DriverPath, "powernow-k8\n");
    root.write(CpuInfoPath, good);
    ASSERT_EQ(GetBootMHz(registry), 2000) << "the good record reads, so each case below proves the file refused";
    ASSERT_EQ(read(registry, DriverKey, "Version"), "powernow-k8");

    std::string manyLines;
    while (manyLines.size() < 10 * 1024 * 1024) {
        manyLines += "model name\t: AMD Athlon(tm) 64 Processor 3000+\n";
    }
    std::string binary;
    for (int i = 0; i < 65536; ++i) {
        binary += static_cast<char>((i * 7919) % 256);
    }
    const std::pair<const char*, std::function<void()>> cases[] = {
        {"10 MB without a line end", [&] { root.write(CpuInfoPath, std::string(10 * 1024 * 1024, 'x')); }},
        {"10 MB of lines in one record", [&] { root.write(CpuInfoPath, manyLines); }},
        {"a NUL byte", [&] { root.write(CpuInfoPath, good.substr(0, 30) + '\0' + good.substr(30)); }},
        {"binary data", [&] { root.write(CpuInfoPath, binary); }},
        {"a folder in place of the file", [&] { fs::create_directories(cpuinfo); }},
        {"a pipe with no writer", [&] { ASSERT_EQ(::mkfifo(cpuinfo.c_str(), 0600), 0); }},
        {"an endless device", [&] { fs::create_symlink("/dev/zero", cpuinfo); }},
        {"a link to itself", [&] { fs::create_symlink("cpuinfo", cpuinfo); }},
        {"a dangling link", [&] { fs::create_symlink("nowhere", cpuinfo); }},
        {"no read permission (root reads anything: no file then)",
         [&] {
             if (::geteuid() != 0) {
                 fs::permissions(root.write(CpuInfoPath, good), fs::perms::none);
             }
         }},
    };
    for (const auto& [what, make] : cases) {
        SCOPED_TRACE(what);
        fs::remove_all(cpuinfo);
        make();
        const auto start = std::chrono::steady_clock::now();
        EXPECT_EQ(GetBootMHz(registry), 0);
        EXPECT_EQ(read(registry, ProcessorKey, "ProcessorNameString"), "");
        EXPECT_EQ(read(registry, DriverKey, "Version"), "");
        EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(2));
    }
}

TEST(Registry, OnlyProcessorZerosRecordIsReadAndItsBoundFitsBigMachines)
{
    TempFolder root;
    const SystemRegistry registry(root.path());
    // A NUL byte after processor 0's record is never looked at, wherever the record ends within a read.
    for (const std::size_t end : {4095U, 4096U, 4097U, 8191U, 8192U, 16383U, 16384U, 16385U, 65535U, 65536U}) {
        std::string record = "bogomips\t: 4000.00\nflags\t\t: ";
        record += std::string(end - record.size() - 1, 'f') + "\n\n";
        root.write(CpuInfoPath, record + "processor\t: 1\n" + '\0' + "\n");
        EXPECT_EQ(GetBootMHz(registry), 2000) << "record end at " << end;
    }
    // A few hundred processors of about 1.5 kB each, just below the bound.
    std::string text = "processor\t: 0\nvendor_id\t: AuthenticAMD\nbogomips\t: 4192.00\n\n";
    while (text.size() < MaxProbeFileBytes - 2000) {
        text += "processor\t: 1\nflags\t\t: " + std::string(1500, 'f') + "\n\n";
    }
    root.write(CpuInfoPath, text);
    EXPECT_EQ(GetBootMHz(registry), 2096);
}

TEST(Registry, TheAmdDriverIsTheFirstLineOfTheScalingDriver)
{
    TempFolder root;
    const SystemRegistry registry(root.path());
    root.write(CpuInfoPath, "vendor_id\t: AuthenticAMD\n");
    const std::pair<std::string, const char*> cases[] = {{"powernow-k8\n", "powernow-k8"},
                                                         {"powernow-k8\r\n", "powernow-k8"},
                                                         {"acpi-cpufreq", "acpi-cpufreq"},
                                                         {" amd-pstate \n", " amd-pstate "},
                                                         {"acpi-cpufreq\nsecond\n", "acpi-cpufreq"},
                                                         {"", ""},
                                                         {std::string(5000, 'a'), ""},
                                                         {std::string("acpi\0cpufreq\n", 13), ""}};
    for (const auto& [content, expected] : cases) {
        root.write(DriverPath, content);
        EXPECT_EQ(read(registry, DriverKey, "Version"), expected) << content.substr(0, 20);
    }
    root.write(CpuInfoPath, "vendor_id\t: AuthenticAMD \n");
    EXPECT_EQ(read(registry, DriverKey, "Version"), "") << "the vendor must match exactly";
}

} // namespace
