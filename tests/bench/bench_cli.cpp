// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Clockdeck developers
//
// clockdeck-cli in process on a saved profile (load, settings, output): the plain report against a 1,000-row grid
// of 100 reference clocks by 10 multipliers, in text and in JSON. Target: the sweep adds at most 5 ms.
#include "cli/app.h"

#include <benchmark/benchmark.h>

#include <string>
#include <vector>

namespace {

void BM_Cli(benchmark::State& state)
{
    const std::string sysroot = std::string("--sysroot=") + CLOCKDECK_TEST_DATA + "/profiles/x2-4400";
    std::vector<std::string_view> args{sysroot, state.range(1) != 0 ? "--format=json" : "--format=text"};
    if (state.range(0) != 0) {
        args.insert(args.end(), {"--sweep=BusSpeed=200:299", "--sweep=Multiplier=8:12.5"});
    }
    for (auto _ : state) {
        benchmark::DoNotOptimize(clockdeck::runCli(args));
    }
}
BENCHMARK(BM_Cli)->ArgsProduct({{0, 1}, {0, 1}})->ArgNames({"sweep1000", "json"})->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
