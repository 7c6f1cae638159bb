// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Clockdeck developers
//
// Feeds arbitrary bytes to the cpuinfo reading, in memory and as a file of a saved machine profile, and runs the
// whole load on that profile: nothing may crash, read past its input or throw, and the results keep their form.
#include "calc/calculator.h"
#include "probe/cpuinfo.h"
#include "probe/formload.h"
#include "probe/registry.h"

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <string_view>

#include <unistd.h>

namespace {

class NullSink : public clockdeck::MessageSink
{
public:
    void updateFault(std::string_view) override {}
    void ceilFault(std::string_view) override {}
};

const std::filesystem::path& profileRoot()
{
    static const std::filesystem::path root = [] {
        auto dir = std::filesystem::temp_directory_path() / ("clockdeck-fuzz-" + std::to_string(::getpid()));
        std::filesystem::create_directories(dir / "proc");
        std::atexit([] {
            std::error_code ec;
            std::filesystem::remove_all(profileRoot(), ec);
        });
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
    if (info.bootMHz() < 0) {
        std::abort();
    }
    if (const auto identifier = info.identifier(); identifier && identifier->rfind("x86 Family ", 0) != 0) {
        std::abort();
    }

    {
        std::ofstream out(profileRoot() / "proc" / "cpuinfo", std::ios::binary | std::ios::trunc);
        out.write(text.data(), static_cast<std::streamsize>(text.size()));
    }
    const SystemRegistry registry(profileRoot());
    std::int32_t type = 0;
    const std::string name = GetRegString("HKEY_LOCAL_MACHINE", "HARDWARE\\DESCRIPTION\\System\\CentralProcessor\\0",
                                          "ProcessorNameString", type, registry);
    if (name.find('\0') != std::string::npos || name.find('\n') != std::string::npos) {
        std::abort();
    }
    if (GetBootMHz(registry) < 0) {
        std::abort();
    }

    NullSink sink;
    Calculator calc(sink);
    HeadlessWindow window;
    Form_Load(calc, window, profileRoot());
    return 0;
}
