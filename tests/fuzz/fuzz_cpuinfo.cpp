// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Clockdeck developers
//
// Feeds arbitrary bytes to the cpuinfo reading, in memory and as a file of a saved machine profile, and runs the
// whole load on that profile: nothing may crash, read past its input or throw, and the results keep their form.
#include "probe/cpuinfo.h"
#include "probe/formload.h"
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

constexpr std::string_view Prefix = "clockdeck-fuzz-";

const std::filesystem::path& profileRoot()
{
    static const std::filesystem::path root = [] {
        // libFuzzer ends with _Exit, so no clean-up runs at exit: remove the folders of runs that have ended.
        const auto temp = std::filesystem::temp_directory_path();
        std::error_code ec;
        for (const auto& entry : std::filesystem::directory_iterator(temp, ec)) {
            const std::string name = entry.path().filename().string();
            if (name.rfind(Prefix, 0) == 0) {
                const long pid = std::strtol(name.c_str() + Prefix.size(), nullptr, 10);
                if (pid > 0 && ::kill(static_cast<pid_t>(pid), 0) != 0 && errno == ESRCH) {
                    std::filesystem::remove_all(entry.path(), ec);
                }
            }
        }
        auto dir = temp / (std::string(Prefix) + std::to_string(::getpid()));
        std::filesystem::create_directories(dir / "proc");
        return dir;
    }();
    return root;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    using namespace clockdeck;
    const std::string_view text(reinterpret_cast<const char*>(data), size);

    const CpuInfo info = CpuInfo::parse(text);
    if (const auto id = info.identifier(); info.bootMHz() < 0 || (id && id->rfind("x86 Family ", 0) != 0)) {
        std::abort();
    }

    std::ofstream(profileRoot() / "proc" / "cpuinfo", std::ios::binary).write(text.data(), std::ssize(text));
    const SystemRegistry registry(profileRoot());
    std::int32_t type = 0;
    const std::string name = GetRegString("HKEY_LOCAL_MACHINE", "HARDWARE\\DESCRIPTION\\System\\CentralProcessor\\0",
                                          "ProcessorNameString", type, registry);
    // A probed text never carries a control character (terminal escapes, line ends, NUL) to where it is shown.
    const auto control = [](unsigned char c) { return c < 0x20 || c == 0x7F; };
    if (std::any_of(name.begin(), name.end(), control) || GetBootMHz(registry) < 0) {
        std::abort();
    }

    clockdeck::test::RecordingSink sink;
    Calculator calc(sink);
    HeadlessWindow window;
    Form_Load(calc, window, profileRoot());
    return 0;
}
