// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Clockdeck developers
#pragma once

#include "northbridge.h"
#include "spd.h"

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include <sys/stat.h>

namespace clockdeck {

// The FIDVID_STATUS register of Athlon 64 family processors: the frequency and voltage codes the processor runs
// at now, started with and may reach.
inline constexpr std::uint64_t FidVidStatusMsr = 0xC0010042;

struct FidVid
{
    unsigned fid = 0;
    unsigned vid = 0;
};

struct FidVidStatus
{
    std::uint64_t raw = 0;
    // True before revision F, whose FID and VID tables are known; later revisions use other VID tables and
    // their codes are shown raw.
    bool decoded = false;
    FidVid current;
    FidVid start;
    FidVid max;
};

/// Splits the register into its fields. Before revision F: FIDs are 6 bits (low word 5:0, 13:8, 21:16) and
/// VIDs 5 bits (high word 4:0, 12:8, 20:16); from revision F on the VIDs are 6 bits wide.
[[nodiscard]] FidVidStatus decodeFidVidStatus(std::uint64_t raw, bool beforeRevisionF);

/// The clock multiplier of a FID before revision F: 4 + FID / 2, so 800 + 100 x FID MHz at a 200 MHz reference
/// clock. Nothing for an odd FID, which that table leaves reserved.
[[nodiscard]] std::optional<double> fidMultiplier(unsigned fid);

/// The core voltage of a VID before revision F: 1.550 V - 0.025 V x VID. Nothing for VID 31, which turns the
/// core voltage off, or a code outside 5 bits.
[[nodiscard]] std::optional<double> vidVolts(unsigned vid);

/// Whether what lstat/stat found at dev/cpu/0/msr may be opened and read as the register. Reading it runs as root,
/// so it must be the msr driver's character device (major 202): a link to /dev/zero would give made-up readings,
/// and opening some devices has effects of its own. Below a @p sysroot (a saved profile) a regular file holds the
/// register too.
[[nodiscard]] bool msrDeviceAccepted(const struct stat& status, bool sysroot);

/// What the processor does now. Each reading is either there or comes with one line saying why not and what to
/// do about it.
struct LiveReadings
{
    std::optional<double> clockMHz; // cpu0's current clock from cpufreq
    std::string clockSource;        // the cpufreq file it came from
    std::string clockUnavailable;   // why there is no clock
    std::optional<FidVidStatus> fidVid;
    std::string fidVidUnavailable;   // why there is no register reading
    NorthbridgeReadings northbridge; // the link to the chipset and the memory controller's setting
    std::vector<ModuleSlot> modules; // every SPD EEPROM, by I2C device name
};

/// Reads cpu0's cpufreq clock and, on a family 15 AMD processor, the FIDVID_STATUS register through the msr
/// driver (an 8-byte read of dev/cpu/0/msr at the register's number), the northbridge's link and memory
/// registers and the modules' SPD EEPROMs, all below @p root. Failures become the readings' reasons; only a
/// failed allocation throws.
/// - dev/cpu/0/msr is opened only when msrDeviceAccepted(), with a sysroot when @p root is not "/".
/// - The clock's reason is "needs root" for a file this user may not read, "unreadable value in FILE" for one
///   that is there but holds no clock (garbled, empty, a pipe, a folder, too large), and asks for the frequency
///   driver only when neither file is there.
[[nodiscard]] LiveReadings readLive(const std::filesystem::path& root);

} // namespace clockdeck
