// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Clockdeck developers
#include "probe/live.h"
#include "support/tempfolder.h"

#include <fcntl.h>
#include <unistd.h>

namespace {

using namespace clockdeck;

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
    EXPECT_DOUBLE_EQ(vidVolts(6).value_or(0), 1.4);
    EXPECT_DOUBLE_EQ(vidVolts(30).value_or(0), 0.8);
    EXPECT_EQ(vidVolts(31), std::nullopt);
}

TEST(Live, AnUnavailableReadingSaysWhyAndWhatToDo)
{
    const test::TempFolder msrFolder;
    writeMachine(msrFolder, 15, 43, 0);
    std::filesystem::remove(msrFolder.path() / "dev/cpu/0/msr");
    std::filesystem::create_directory(msrFolder.path() / "dev/cpu/0/msr");
    const std::pair<std::filesystem::path, std::string> cases[] = {
        {test::profile("x2-4400"), "no msr driver: `modprobe msr`"},
        {test::profile("modern-intel"), "not an Athlon 64 family processor"},
        {msrFolder.path(), "the processor did not give the register: Is a directory"},
    };
    for (const auto& [root, why] : cases) {
        const LiveReadings live = readLive(root);
        EXPECT_TRUE(!live.fidVid && live.fidVidUnavailable == why) << live.fidVidUnavailable;
    }
    EXPECT_EQ(readLive(test::profile("x2-4400")).clockUnavailable.rfind("no cpufreq clock for cpu0: ", 0), 0U);
}

} // namespace
