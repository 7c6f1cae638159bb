// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Clockdeck developers
//
// Speed of the recomputation and of one spin press (handler, range check, Update), with a listener attached as
// the window attaches one, and of the planner's search. Targets on a 2-core machine: a press under 3 us, Update
// under 2 us, the search of the whole space (every multiplier, reference clocks 100 to 300) under 20 ms (medians).
#include "calc/planner.h"
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

// Locked at a stock multiplier of 11, and unlocked (multipliers 4 to 15): 201 x 23 cells of 40 combinations.
void BM_FindBest(benchmark::State& state)
{
    Loaded l("200");
    l.calc.fillLists();
    l.calc.setSpinValue(Spin::VScroll5, 1);
    PlanLimits limits;
    limits.unlocked = state.range(0) != 0;
    std::size_t evaluated = 0;
    for (auto _ : state) {
        const PlanResult result = findBest(l.calc, limits, 11, false);
        evaluated = result.evaluated;
        benchmark::DoNotOptimize(result.rows.data());
    }
    state.counters["evaluated"] = static_cast<double>(evaluated);
}
BENCHMARK(BM_FindBest)->Arg(0)->Arg(1)->ArgNames({"unlocked"})->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
