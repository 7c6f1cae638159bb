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
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

namespace {

// A private folder (mkdtemp) for the run, each input its proc/cpuinfo; libFuzzer's normal end (-runs,
// -max_total_time) runs static destructors, so only a crash leaves it behind, beside the crash's own files.
struct Profile
{
    Profile()
    {
        if (::mkdtemp(root.data()) == nullptr || !std::filesystem::create_directory(root + "/proc")) {
            std::abort();
        }
    }
    ~Profile() { std::filesystem::remove_all(root, ignored); }
    std::string root = (std::filesystem::temp_directory_path() / "clockdeck-fuzz-XXXXXX").string();
    std::error_code ignored;
} const ProfileRoot;

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    using namespace clockdeck;
    const std::string_view text(reinterpret_cast<const char*>(data), size);

    const CpuInfo info = CpuInfo::parse(text);
    std::ofstream(ProfileRoot.root + "/proc/cpuinfo", std::ios::binary).write(text.data(), std::ssize(text));
    const SystemRegistry registry(ProfileRoot.root);
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
    Form_Load(calc, window, ProfileRoot.root);
    return 0;
}
