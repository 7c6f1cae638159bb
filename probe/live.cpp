// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Clockdeck developers
#include "live.h"

#include "boundedfile.h"
#include "cpuinfo.h"

#include <cerrno>
#include <charconv>
#include <cstring>

#include <fcntl.h>
#include <unistd.h>

namespace clockdeck {

namespace {

constexpr std::string_view CpufreqFolder = "sys/devices/system/cpu/cpu0/cpufreq";
constexpr std::string_view MsrPath = "dev/cpu/0/msr";
// Models from 0x40 up are revision F and later (extended model 4 and above).
constexpr unsigned FirstRevisionFModel = 0x40;

unsigned bits(std::uint64_t value, unsigned shift, unsigned width)
{
    return static_cast<unsigned>((value >> shift) & ((std::uint64_t{1} << width) - 1));
}

std::optional<unsigned> wholeNumber(std::string_view text)
{
    unsigned value = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || ec != std::errc() || end != text.data() + text.size()) {
        return std::nullopt;
    }
    return value;
}

void readClock(const std::filesystem::path& root, LiveReadings& live)
{
    // scaling_cur_freq is readable by everyone; cpuinfo_cur_freq asks the hardware but only root may read it.
    for (const char* name : {"scaling_cur_freq", "cpuinfo_cur_freq"}) {
        const auto text = readTextFile(root / CpufreqFolder / name, 4096);
        const auto kHz = text ? wholeNumber(firstLine(*text)) : std::nullopt;
        if (kHz && *kHz > 0) {
            live.clockMHz = *kHz / 1000.0;
            live.clockSource = name;
            return;
        }
    }
    live.clockUnavailable = "no cpufreq clock for cpu0: load its frequency driver (`modprobe powernow-k8` on an "
                            "Athlon 64)";
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
    // O_NONBLOCK: a pipe planted in a profile must not hold the program up.
    const int fd = ::open((root / MsrPath).c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK);
    if (fd < 0) {
        live.fidVidUnavailable = openFailure(errno);
        return;
    }
    unsigned char bytes[8] = {};
    const ssize_t n = ::pread(fd, bytes, sizeof bytes, static_cast<off_t>(FidVidStatusMsr));
    const int error = errno;
    ::close(fd);
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
