// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Clockdeck developers
//
// Feeds arbitrary bytes to the cpuinfo reading, in memory and as the file of a machine profile, and runs the whole
// load on it: no crash, no throw, and the results keep their form, a probed text without control characters.
#include "load/formload.h"
#include "probe/cpuinfo.h"
#include "probe/registry.h"
#include "support/recordingsink.h"

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include <unistd.h>

namespace {

const std::filesystem::path ProfileRoot = [] {
    constexpr std::string_view Prefix = "clockdeck-fuzz-";
    // libFuzzer ends with _Exit, so no clean-up runs at exit: remove the folders of runs that have ended.
    const auto temp = std::filesystem::temp_directory_path();
    std::error_code ec;
    for (const auto& entry : std::filesystem::directory_iterator(temp, ec)) {
        const std::string name = entry.path().filename().string();
        const long pid = name.starts_with(Prefix) ? std::strtol(name.c_str() + Prefix.size(), nullptr, 10) : 0;
        if (pid > 0 && ::kill(static_cast<pid_t>(pid), 0) != 0 && errno == ESRCH) {
            std::filesystem::remove_all(entry.path(), ec);
        }
    }
    auto dir = temp / (std::string(Prefix) + std::to_string(::getpid()));
    std::filesystem::create_directories(dir / "proc");
    return dir;
}();

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    using namespace clockdeck;
    const std::string_view text(reinterpret_cast<const char*>(data), size);

    const CpuInfo info = CpuInfo::parse(text);
    std::ofstream(ProfileRoot / "proc" / "cpuinfo", std::ios::binary).write(text.data(), std::ssize(text));
    const SystemRegistry registry(ProfileRoot);
    std::int32_t type = 0;
    const std::string name = GetRegString("HKEY_LOCAL_MACHINE", "HARDWARE\\DESCRIPTION\\System\\CentralProcessor\\0",
                                          "ProcessorNameString", type, registry);
    const auto id = info.identifier();
    if (info.bootMHz() < 0 || GetBootMHz(registry) < 0 || (id && !id->starts_with("x86 Family ")) ||
        std::ranges::any_of(name, [](unsigned char c) { return c < 0x20 || c == 0x7F; })) {
        std::abort();
    }

    clockdeck::test::RecordingSink sink;
    Calculator calc(sink);
    HeadlessWindow window;
    Form_Load(calc, window, ProfileRoot);
    return 0;
}
