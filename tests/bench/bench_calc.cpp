// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Clockdeck developers
//
// Speed of the recomputation and of one spin press (handler, range check, Update), with a listener attached as
// the window attaches one. Targets on a 2-core machine: a press under 3 us, Update under 2 us (medians).
#include "support/recordingsink.h"

#include <benchmark/benchmark.h>

namespace {

using namespace clockdeck;

struct Loaded
{
    test::RecordingSink sink;
    Calculator calc{sink};
    std::size_t seen = 0;

    explicit Loaded(std::string_view memoryClass)
    {
        calc.fields().subscribe([this](Field f) { seen += calc.text(f).size(); });
        calc.setText(Field::SelectDDR, memoryClass);
    }
};

void BM_Update(benchmark::State& state)
{
    Loaded l(state.range(0) == 0 ? "200" : "166");
    for (auto _ : state) {
        l.calc.Update();
    }
    benchmark::DoNotOptimize(l.seen);
}
BENCHMARK(BM_Update)->Arg(0)->Arg(1)->ArgNames({"divider"});

void BM_SpinPress(benchmark::State& state)
{
    Loaded l("166");
    bool up = true;
    for (auto _ : state) {
        // Alternate so the multiplier stays in range: every press is an in-range step with one Update.
        up ? l.calc.up(Spin::VScroll7) : l.calc.down(Spin::VScroll7);
        up = !up;
    }
    benchmark::DoNotOptimize(l.seen);
}
BENCHMARK(BM_SpinPress);

} // namespace

BENCHMARK_MAIN();
