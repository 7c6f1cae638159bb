// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Clockdeck developers
#include "tempfolder.h"

#include "probe/boundedfile.h"
#include "probe/registry.h"

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <string>

#include <sys/stat.h>
#include <unistd.h>

using namespace clockdeck;
using clockdeck::test::profile;
using clockdeck::test::TempFolder;

namespace {

constexpr const char* Root = "HKEY_LOCAL_MACHINE";
constexpr const char* ProcessorKey = "HARDWARE\\DESCRIPTION\\System\\CentralProcessor\\0";
constexpr const char* SystemKey = "HARDWARE\\DESCRIPTION\\System\\";
constexpr const char* DriverKey = "SOFTWARE\\AMD\\CPU\\";

constexpr const char* CpuInfoPath = "proc/cpuinfo";
constexpr const char* BiosDatePath = "sys/class/dmi/id/bios_date";
constexpr const char* DriverPath = "sys/devices/system/cpu/cpu0/cpufreq/scaling_driver";

std::string read(const SystemRegistry& registry, const char* key, const char* value)
{
    std::int32_t type = 0;
    return GetRegString(Root, key, value, type, registry);
}

// ---- The six values on saved machine profiles

struct ProfileCase
{
    const char* profile;
    int bootMHz;
    const char* name;
    const char* identifier;
    const char* biosDate;
    const char* driver;
};

TEST(Registry, ReadsTheSixValuesOfSavedProfiles)
{
    const ProfileCase cases[] = {
        {"x2-4400", 2211, "AMD Athlon(tm) 64 X2 Dual Core Processor 4400+", "x86 Family 15 Model 43 Stepping 1",
         "05/12/2006", "powernow-k8"},
        {"fx-53", 2600, "AMD Athlon(tm) 64 FX-53 Processor", "x86 Family 15 Model 7 Stepping 10", "11/04/2004", ""},
        {"opteron-165", 2000, "Dual Core AMD Opteron(tm) Processor 165", "x86 Family 15 Model 35 Stepping 2",
         "08/22/2006", "acpi-cpufreq"},
        {"athlon64", 1810, "AMD Athlon(tm) 64 Processor 3000+", "x86 Family 15 Model 47 Stepping 2", "02/17/2006",
         "powernow-k8"},
        {"empty", 0, "", "", "", ""},
        // An Intel processor has no AMD driver, whatever frequency driver runs it.
        {"modern-intel", 3700, "Intel(R) Core(TM) i7-8700K CPU @ 3.70GHz", "x86 Family 6 Model 158 Stepping 10",
         "07/23/2019", ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.profile);
        const SystemRegistry registry(profile(c.profile));
        EXPECT_EQ(GetBootMHz(registry), c.bootMHz);
        EXPECT_EQ(read(registry, ProcessorKey, "ProcessorNameString"), c.name);
        EXPECT_EQ(read(registry, ProcessorKey, "Identifier"), c.identifier);
        EXPECT_EQ(read(registry, SystemKey, "SystemBiosDate"), c.biosDate);
        EXPECT_EQ(read(registry, SystemKey, "VideoBiosDate"), "");
        EXPECT_EQ(read(registry, DriverKey, "Version"), c.driver);
    }
}

// ---- Keys, names and the value type

TEST(Registry, KeysAndNamesCompareAsTheRegistryDoes)
{
    const SystemRegistry registry(profile("x2-4400"));
    std::int32_t type = 0;
    // The root name is not looked at.
    EXPECT_EQ(GetRegString("HKEY_CURRENT_USER", SystemKey, "SystemBiosDate", type, registry), "05/12/2006");
    EXPECT_EQ(type, RegSz);
    // Letter case and a trailing backslash do not matter.
    EXPECT_EQ(read(registry, "hardware\\description\\system", "systembiosdate"), "05/12/2006");
    EXPECT_EQ(read(registry, "HARDWARE\\DESCRIPTION\\System\\CentralProcessor\\0\\", "identifier"),
              "x86 Family 15 Model 43 Stepping 1");
    // Other keys and values are missing, and a missing value leaves the type as it was.
    type = 77;
    EXPECT_EQ(GetRegString(Root, "HARDWARE\\DESCRIPTION\\System\\CentralProcessor\\1", "Identifier", type, registry),
              "");
    EXPECT_EQ(GetRegString(Root, ProcessorKey, "VendorIdentifier", type, registry), "");
    EXPECT_EQ(GetRegString(Root, SystemKey, "Identifier", type, registry), "");
    EXPECT_EQ(GetRegString(Root, "HARDWARE\\DESCRIPTION\\Syste", "SystemBiosDate", type, registry), "");
    EXPECT_EQ(type, 77);
}

TEST(Registry, TheBootClockReadAsTextGivesItsFourRawBytes)
{
    const SystemRegistry registry(profile("x2-4400"));
    std::int32_t type = 0;
    const std::string bytes = GetRegString(Root, ProcessorKey, "~MHz", type, registry);
    EXPECT_EQ(type, RegDword);
    EXPECT_EQ(bytes, std::string("\xA3\x08\x00\x00", 4)); // 2211, little-endian
}

// ---- Files that are not what they should be

TEST(Registry, UnusableFilesGiveTheMissingResultQuickly)
{
    TempFolder root;
    const SystemRegistry registry(root.path());
    const std::string goodRecord = "vendor_id\t: AuthenticAMD\nmodel name\t: AMD Athlon(tm) 64 Processor 3000+\n"
                                   "bogomips\t: 4000.00\n\n";
    root.write(DriverPath, "powernow-k8\n");

    auto expectMissing = [&](const char* what) {
        SCOPED_TRACE(what);
        const auto start = std::chrono::steady_clock::now();
        EXPECT_EQ(GetBootMHz(registry), 0);
        EXPECT_EQ(read(registry, ProcessorKey, "ProcessorNameString"), "");
        EXPECT_EQ(read(registry, DriverKey, "Version"), "");
        EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(2));
    };

    // The good record first, so each case below proves the file itself is refused.
    root.write(CpuInfoPath, goodRecord);
    ASSERT_EQ(GetBootMHz(registry), 2000);

    root.write(CpuInfoPath, std::string(10 * 1024 * 1024, 'x'));
    expectMissing("10 MB without a line end");

    std::string many;
    while (many.size() < 10 * 1024 * 1024) {
        many += "model name\t: AMD Athlon(tm) 64 Processor 3000+\n";
    }
    root.write(CpuInfoPath, many);
    expectMissing("10 MB of lines in one record");

    root.write(CpuInfoPath, goodRecord.substr(0, 30) + std::string(1, '\0') + goodRecord.substr(30));
    expectMissing("a NUL byte");

    std::string binary;
    for (int i = 0; i < 65536; ++i) {
        binary += static_cast<char>((i * 7919) % 256);
    }
    root.write(CpuInfoPath, binary);
    expectMissing("binary data");

    std::filesystem::remove(root.path() / CpuInfoPath);
    std::filesystem::create_directories(root.path() / CpuInfoPath);
    expectMissing("a folder in place of the file");
    std::filesystem::remove(root.path() / CpuInfoPath);

    ASSERT_EQ(::mkfifo((root.path() / CpuInfoPath).c_str(), 0600), 0);
    expectMissing("a pipe with no writer");
    std::filesystem::remove(root.path() / CpuInfoPath);

    std::filesystem::create_symlink("/dev/zero", root.path() / CpuInfoPath);
    expectMissing("an endless device");
    std::filesystem::remove(root.path() / CpuInfoPath);

    std::filesystem::create_symlink("cpuinfo", root.path() / CpuInfoPath);
    expectMissing("a link to itself");
    std::filesystem::remove(root.path() / CpuInfoPath);

    std::filesystem::create_symlink("nowhere", root.path() / CpuInfoPath);
    expectMissing("a dangling link");
}

TEST(Registry, AnUnreadableFileGivesTheMissingResult)
{
    if (::geteuid() == 0) {
        GTEST_SKIP() << "root reads files whatever their mode";
    }
    TempFolder root;
    const auto file = root.write(CpuInfoPath, "bogomips : 4000\n");
    std::filesystem::permissions(file, std::filesystem::perms::none);
    EXPECT_EQ(GetBootMHz(SystemRegistry(root.path())), 0);
}

TEST(Registry, LargeRecordsOfBigMachinesStillRead)
{
    TempFolder root;
    // A few hundred processors of about 1.5 kB each, just below the bound.
    std::string text = "processor\t: 0\nvendor_id\t: AuthenticAMD\nbogomips\t: 4192.00\n\n";
    while (text.size() < MaxProbeFileBytes - 2000) {
        text += "processor\t: 1\nflags\t\t: " + std::string(1500, 'f') + "\n\n";
    }
    root.write(CpuInfoPath, text);
    EXPECT_EQ(GetBootMHz(SystemRegistry(root.path())), 2096);
}

TEST(Registry, ReadingStopsAtTheEndOfTheFirstRecordWhereverItFalls)
{
    TempFolder root;
    // What follows processor 0's record is never read: a NUL byte there would otherwise refuse the whole file.
    // The record's end is moved across the sizes in which files are commonly read.
    for (const std::size_t end : {4095U, 4096U, 4097U, 8191U, 8192U, 16383U, 16384U, 16385U, 65535U, 65536U}) {
        std::string record = "bogomips\t: 4000.00\nflags\t\t: ";
        record += std::string(end - record.size() - 1, 'f');
        record += "\n\n";
        ASSERT_EQ(record.find("\n\n"), end - 1);
        root.write(CpuInfoPath, record + "processor\t: 1\n" + std::string(1, '\0') + "\n");
        EXPECT_EQ(GetBootMHz(SystemRegistry(root.path())), 2000) << "record end at " << end;
    }
}

TEST(Registry, SysfsAttributesGiveTheirFirstLine)
{
    TempFolder root;
    const SystemRegistry registry(root.path());
    root.write(CpuInfoPath, "vendor_id\t: AuthenticAMD\n");
    const struct
    {
        const char* name;
        std::string content;
        const char* expected;
    } cases[] = {
        {"line end removed", "powernow-k8\n", "powernow-k8"},
        {"Windows line end removed", "powernow-k8\r\n", "powernow-k8"},
        {"no line end", "acpi-cpufreq", "acpi-cpufreq"},
        {"blanks kept", " amd-pstate \n", " amd-pstate "},
        {"only the first line", "acpi-cpufreq\nsecond\n", "acpi-cpufreq"},
        {"empty file", "", ""},
        {"larger than a page", std::string(5000, 'a'), ""},
        {"a NUL byte", std::string("acpi\0cpufreq\n", 13), ""},
    };
    for (const auto& c : cases) {
        root.write(DriverPath, c.content);
        EXPECT_EQ(read(registry, DriverKey, "Version"), c.expected) << c.name;
    }
    root.write(CpuInfoPath, "vendor_id\t: AuthenticAMD \n");
    EXPECT_EQ(read(registry, DriverKey, "Version"), "") << "the vendor must match exactly";
}

} // namespace
