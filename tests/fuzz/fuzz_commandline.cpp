// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Clockdeck developers
//
// Feeds command lines (arguments split at NUL bytes) to all of clockdeck-cli in process, on a saved profile: nothing
// may crash or throw, a bad command line is one line on standard error and nothing else, JSON output parses.
#include "cli/app.h"
#include "cli/commandline.h"

#include <nlohmann/json.hpp>

#include <algorithm>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    using namespace clockdeck;
    std::vector<std::string_view> args;
    for (std::string_view rest(reinterpret_cast<const char*>(data), size); !rest.empty() && args.size() < 64;) {
        args.push_back(rest.substr(0, rest.find('\0')));
        rest.remove_prefix(std::min(rest.size(), args.back().size() + 1));
    }
    args.push_back("--sysroot=" CLOCKDECK_PROFILE); // the last --sysroot counts
    const CommandLine line = parseCommandLine(args);
    // The parser bounds a run to seconds, the fuzzer to milliseconds: a --step already stops at its limit.
    std::size_t rows = 1;
    for (const auto& axis : line.sweeps) {
        rows *= axis.values.size();
    }
    if (rows > 5000) {
        return 0;
    }
    const CliResult r = runCli(args);
    const bool oneLine = r.err.rfind("clockdeck-cli: ", 0) == 0 && r.err.find('\n') == r.err.size() - 1;
    const bool json = r.status == 0 && line.format == OutputFormat::Json && !line.help && !line.version;
    if ((r.status != 0 && r.status != 2) || (r.status == 2 && (!r.out.empty() || !oneLine)) ||
        (r.status == 0) == r.out.empty() || (json && nlohmann::json::parse(r.out, nullptr, false).is_discarded())) {
        std::abort();
    }
    return 0;
}
