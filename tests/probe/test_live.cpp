// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Clockdeck developers
#include "probe/live.h"
#include "support/otheruser.h"
#include "support/tempfolder.h"

#include <functional>
#include <tuple>

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

namespace {

using namespace clockdeck;
namespace fs = std::filesystem;

// A machine of the given family and model with its FIDVID_STATUS register at its number in a sparse msr file.
void writeMachine(const test::TempFolder& root, int family, int model, std::uint64_t status)
{
    root.write("proc/cpuinfo", "vendor_id\t: AuthenticAMD\ncpu family\t: " + std::to_string(family) +
                                   "\nmodel\t\t: " + std::to_string(model) + "\n\n");
    root.write("sys/devices/system/cpu/cpu0/cpufreq/scaling_cur_freq", "1800000\n");
    const int fd = ::open(root.write("dev/cpu/0/msr", "").c_str(), O_WRONLY);
    EXPECT_EQ(::pwrite(fd, &status, sizeof status, static_cast<off_t>(FidVidStatusMsr)), 8); // x86: little-endian
    ::close(fd);
}

TEST(Live, ReadsAndDecodesTheRegisterBeforeRevisionFOnly)
{
    // FIDs 14, 10, 14 (low word 5:0, 13:8, 21:16; max ramp VID and pending above). VIDs 6, 2, 2 (high word 4:0,
    // 12:8, 20:16), each with a bit 5 that only revision F and later count.
    const std::uint64_t status = 0x0022'2226'9F0E'0A0EULL;
    const test::TempFolder early, revisionF;
    writeMachine(early, 15, 43, status);
    writeMachine(revisionF, 15, 0x40, status); // the first revision F model

    const LiveReadings live = readLive(early.path());
    EXPECT_EQ(live.clockMHz, 1800);
    ASSERT_TRUE(live.fidVid) << live.fidVidUnavailable;
    const auto& s = *live.fidVid;
    EXPECT_EQ(std::tuple(s.decoded, s.current.fid, s.current.vid, s.start.fid, s.start.vid, s.max.fid, s.max.vid),
              std::tuple(true, 14U, 6U, 10U, 2U, 14U, 2U));
    const auto later = readLive(revisionF.path()).fidVid;
    ASSERT_TRUE(later);
    EXPECT_EQ(std::tuple(later->decoded, later->current.vid, later->start.vid, later->max.vid),
              std::tuple(false, 0x26U, 0x22U, 0x22U));

    // FID: 4 + FID/2 times (800 + 100 x FID MHz at 200 MHz), odd ones reserved. VID: 1.550 V - 25 mV each, 31 off.
    EXPECT_EQ(std::tuple(fidMultiplier(0), fidMultiplier(14), fidMultiplier(15)), std::tuple(4, 11, std::nullopt));
    EXPECT_DOUBLE_EQ(vidVolts(30).value_or(0), 0.8);
    EXPECT_EQ(vidVolts(31), std::nullopt);
}

// What a shared profile could hold instead of the register or the clock. Root runs --live: nothing but the msr
// driver's device is opened, and each reading that is not there says why and what to do.
TEST(Live, HostileFilesAreNeitherReadAsTheRegisterNorBlamedOnTheDriver)
{
    struct stat device = {};
    ASSERT_EQ(::stat("/dev/null", &device), 0);
    struct stat msr = device;
    msr.st_rdev = makedev(202, 0);
    struct stat file = {};
    ASSERT_EQ(::stat((test::profile("x2-4400") / "proc/cpuinfo").c_str(), &file), 0);
    EXPECT_EQ(std::tuple(msrDeviceAccepted(msr, false), msrDeviceAccepted(msr, true), msrDeviceAccepted(device, true),
                         msrDeviceAccepted(file, true), msrDeviceAccepted(file, false)),
              std::tuple(true, true, false, true, false));

    const std::string folder = "sys/devices/system/cpu/cpu0/cpufreq/";
    const std::string unreadable = "unreadable value in " + folder + "cpuinfo_cur_freq";
    const struct
    {
        const char* name;
        std::function<void(const test::TempFolder&, const fs::path& freq)> plant;
        std::string msrWhy, clockWhy;
    } cases[] = {
        {"/dev/zero as the register",
         [](auto& r, auto& f) {
             r.write(f, "1");
             fs::create_symlink("/dev/zero", r.path() / "dev/cpu/0/msr");
         },
         "dev/cpu/0/msr is not the msr driver's device", ""},
        {"another maker's processor, no clock files",
         [](auto& r, auto&) { r.write("proc/cpuinfo", "vendor_id\t: GenuineIntel\ncpu family\t: 15\n\n"); },
         "not an Athlon 64 family processor",
         "no cpufreq clock for cpu0: load its frequency driver (`modprobe powernow-k8` on an Athlon 64)"},
        {"a clock of 0", [](auto& r, auto& f) { r.write(f, "0\n"); }, "", unreadable},
        {"a root-only clock", [](auto& r, auto& f) { fs::permissions(r.write(f, "1"), {}); }, "", "needs root"},
        {"a root-only scaling clock before a garbled one",
         [](auto& r, auto& f) {
             fs::permissions(r.write("sys/devices/system/cpu/cpu0/cpufreq/scaling_cur_freq", "1"), {});
             r.write(f, "x");
         },
         "", "needs root"},
        {"a cpufreq folder closed to the user",
         [](auto& r, auto& f) { fs::permissions(r.write(f, "1").parent_path(), {}); }, "", "needs root"},
        {"the first file's reason",
         [](auto& r, auto& f) {
             fs::permissions(r.write(f, "1"), {});
             r.write("sys/devices/system/cpu/cpu0/cpufreq/scaling_cur_freq", "x");
         },
         "", "unreadable value in sys/devices/system/cpu/cpu0/cpufreq/scaling_cur_freq"},
    };
    for (const auto& c : cases) {
        const test::TempFolder root;
        writeMachine(root, 15, 43, 0);
        fs::remove(root.path() / "dev/cpu/0/msr");
        fs::remove(root.path() / folder / "scaling_cur_freq");
        c.plant(root, root.path() / folder / "cpuinfo_cur_freq");
        const std::string seen = test::asNobody(root.path(), [&] {
            const LiveReadings live = readLive(root.path());
            return (live.fidVid ? "read" : live.fidVidUnavailable) + "|" + live.clockUnavailable;
        });
        EXPECT_EQ(seen, (c.msrWhy.empty() ? "no msr driver: `modprobe msr`" : c.msrWhy) + "|" + c.clockWhy) << c.name;
    }
}

} // namespace
