// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Clockdeck developers
#include "live.h"

#include "boundedfile.h"
#include "cpuinfo.h"

#include "base/filedescriptor.h"
#include "base/text.h"

#include <cerrno>
#include <cstring>

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

namespace clockdeck {

namespace {

constexpr std::string_view CpufreqFolder = "sys/devices/system/cpu/cpu0/cpufreq";
constexpr std::string_view MsrPath = "dev/cpu/0/msr";
constexpr std::string_view NotMsrDevice = "dev/cpu/0/msr is not the msr driver's device";
// Models from 0x40 up are revision F and later (extended model 4 and above).
constexpr unsigned FirstRevisionFModel = 0x40;

unsigned bits(std::uint64_t value, unsigned shift, unsigned width)
{
    return static_cast<unsigned>((value >> shift) & ((std::uint64_t{1} << width) - 1));
}

// Why one cpufreq file gives no clock: nothing (it gave one), or a reason.
enum class ClockFailure
{
    None,
    Missing,
    NeedsRoot,
    Unreadable,
};

ClockFailure readClockFile(const std::filesystem::path& path, std::string_view name, LiveReadings& live)
{
    struct stat info = {};
    if (::stat(path.c_str(), &info) != 0) {
        return errno == EACCES || errno == EPERM ? ClockFailure::NeedsRoot
               : errno == ENOENT                 ? ClockFailure::Missing
                                                 : ClockFailure::Unreadable;
    }
    // Only a regular file is opened: a pipe, a folder or a device is no record of the clock.
    const auto text = S_ISREG(info.st_mode) ? readTextFile(path, 4096) : std::nullopt;
    const auto kHz = text ? wholeNumber(firstLine(*text)) : std::nullopt;
    if (kHz && *kHz > 0) {
        live.clockMHz = *kHz / 1000.0;
        live.clockSource = name;
        return ClockFailure::None;
    }
    if (!text && S_ISREG(info.st_mode) && ::access(path.c_str(), R_OK) != 0 && (errno == EACCES || errno == EPERM)) {
        return ClockFailure::NeedsRoot;
    }
    return ClockFailure::Unreadable;
}

void readClock(const std::filesystem::path& root, LiveReadings& live)
{
    // scaling_cur_freq is readable by everyone; cpuinfo_cur_freq asks the hardware but only root may read it. The
    // reason given is that of the first file that is there: only when neither is does the driver lack.
    std::string reason;
    for (const char* name : {"scaling_cur_freq", "cpuinfo_cur_freq"}) {
        const std::string file = std::string(CpufreqFolder) + "/" + name;
        const ClockFailure failure = readClockFile(root / file, name, live);
        if (failure == ClockFailure::None) {
            return;
        }
        if (reason.empty() && failure == ClockFailure::NeedsRoot) {
            reason = "needs root";
        } else if (reason.empty() && failure == ClockFailure::Unreadable) {
            reason = "unreadable value in " + file;
        }
    }
    live.clockUnavailable = !reason.empty() ? reason
                                            : "no cpufreq clock for cpu0: load its frequency driver (`modprobe "
                                              "powernow-k8` on an Athlon 64)";
}

// The msr driver's devices (/dev/cpu/N/msr) are character devices with this major number.
constexpr unsigned MsrMajor = 202;

bool isSysroot(const std::filesystem::path& root)
{
    return root.lexically_normal() != "/";
}

std::string openFailure(int error)
{
    if (error == ENOENT || error == ENXIO || error == ENODEV) {
        return "no msr driver: `modprobe msr`";
    }
    if (error == EACCES || error == EPERM) {
        return "needs root";
    }
    return std::string("cannot open ") + std::string(MsrPath) + ": " + std::strerror(error);
}

void readFidVid(const std::filesystem::path& root, LiveReadings& live)
{
    const auto text = readTextFile(root / "proc/cpuinfo", MaxProbeFileBytes, "\n\n");
    const CpuInfo info = CpuInfo::parse(text ? std::string_view(*text) : std::string_view());
    const auto vendor = info.value("vendor_id");
    const auto family = info.value("cpu family");
    const auto model = info.value("model");
    const auto modelNumber = model ? wholeNumber(*model) : std::nullopt;
    if (!vendor || *vendor != "AuthenticAMD" || !family || wholeNumber(*family) != 15U || !modelNumber) {
        live.fidVidUnavailable = "not an Athlon 64 family processor";
        return;
    }
    const std::filesystem::path path = root / MsrPath;
    struct stat before = {};
    if (::stat(path.c_str(), &before) != 0) {
        live.fidVidUnavailable = openFailure(errno);
        return;
    }
    if (!msrDeviceAccepted(before, isSysroot(root))) {
        live.fidVidUnavailable = std::string(NotMsrDevice);
        return;
    }
    // O_NONBLOCK: a pipe swapped in after the check must not hold the program up; the check holds for what was
    // opened, or nothing is read.
    const FileDescriptor fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK));
    if (!fd.isOpen()) {
        live.fidVidUnavailable = openFailure(errno);
        return;
    }
    struct stat opened = {};
    if (::fstat(fd.get(), &opened) != 0 || opened.st_dev != before.st_dev || opened.st_ino != before.st_ino ||
        !msrDeviceAccepted(opened, isSysroot(root))) {
        live.fidVidUnavailable = std::string(NotMsrDevice);
        return;
    }
    unsigned char bytes[8] = {};
    const ssize_t n = ::pread(fd.get(), bytes, sizeof bytes, static_cast<off_t>(FidVidStatusMsr));
    const int error = errno;
    if (n != static_cast<ssize_t>(sizeof bytes)) {
        live.fidVidUnavailable = n < 0 ? std::string("the processor did not give the register: ") + std::strerror(error)
                                       : "the processor did not give the register: short read";
        return;
    }
    std::uint64_t raw = 0;
    for (int i = 7; i >= 0; --i) {
        raw = raw << 8 | bytes[i]; // the msr driver hands the register over little-endian
    }
    live.fidVid = decodeFidVidStatus(raw, *modelNumber < FirstRevisionFModel);
}

} // namespace

bool msrDeviceAccepted(const struct stat& status, bool sysroot)
{
    return (S_ISCHR(status.st_mode) && major(status.st_rdev) == MsrMajor) || (sysroot && S_ISREG(status.st_mode));
}

FidVidStatus decodeFidVidStatus(std::uint64_t raw, bool beforeRevisionF)
{
    const unsigned vidWidth = beforeRevisionF ? 5 : 6;
    FidVidStatus status;
    status.raw = raw;
    status.decoded = beforeRevisionF;
    status.current = {bits(raw, 0, 6), bits(raw, 32, vidWidth)};
    status.start = {bits(raw, 8, 6), bits(raw, 40, vidWidth)};
    status.max = {bits(raw, 16, 6), bits(raw, 48, vidWidth)};
    return status;
}

std::optional<double> fidMultiplier(unsigned fid)
{
    if (fid % 2 != 0 || fid > 0x3F) {
        return std::nullopt;
    }
    return 4 + fid / 2.0;
}

std::optional<double> vidVolts(unsigned vid)
{
    if (vid >= 31) {
        return std::nullopt;
    }
    return 1.550 - 0.025 * vid;
}

LiveReadings readLive(const std::filesystem::path& root)
{
    LiveReadings live;
    readClock(root, live);
    readFidVid(root, live);
    live.northbridge = readNorthbridge(root);
    live.modules = readModules(root);
    return live;
}

} // namespace clockdeck
