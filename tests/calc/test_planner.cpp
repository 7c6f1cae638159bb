// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Clockdeck developers
#include "calc/numbertext.h"
#include "calc/planner.h"
#include "load/formload.h"
#include "load/identify.h"
#include "support/recordingsink.h"
#include "support/tempfolder.h"

#include <gtest/gtest.h>

#include <memory>

using namespace clockdeck;

namespace {

struct Loaded
{
    explicit Loaded(const char* name)
    {
        HeadlessWindow window;
        Form_Load(calc, window, test::profile(name));
        stockMultiplier = ParseLeadingNumber(calc.text(Field::Multiplier));
        fx = isFxProcessor(calc.text(Field::CPU_Identity));
    }
    test::RecordingSink sink;
    Calculator calc{sink};
    double stockMultiplier = 0;
    bool fx = false;
};

double number(const Evaluation& e, Field f)
{
    return ParseLeadingNumber(e.text(f));
}

// Every combination evaluated, every limit counted on its own: the result the pruned search must give.
PlanResult bruteForce(const Calculator& calc, const PlanLimits& limits, double stock, bool fx)
{
    PlanResult r;
    r.multiplierLimit = multiplierLimit(stock, fx, limits.unlocked);
    r.ramLimit =
        limits.ramRating.value_or(ParseLeadingNumber(calc.text(Field::PCramNum))) * (100 + limits.ramMargin) / 100;
    const auto& classes = calc.list(ListId::List1).items;
    Evaluator evaluator(calc);
    std::array<std::size_t, 5> total{};
    for (int bus = 100; bus <= std::min(400.0, limits.maxRef); ++bus) {
        for (double m = 4; m <= r.multiplierLimit; m += 0.5) {
            PlanCell cell{bus, m, PlanLimit::None, std::nullopt};
            std::array<std::size_t, 5> rejected{};
            for (int ht = 1; ht <= 5; ++ht) {
                for (std::size_t c = 0; c < classes.size(); ++c) {
                    const Evaluation e = evaluator.evaluate({double(bus), m, double(ht), classes[c]});
                    const PlanRow row{bus,
                                      m,
                                      ht,
                                      int(c),
                                      number(e, Field::shwCPU_MHz),
                                      number(e, Field::Label13),
                                      number(e, Field::shwDDR_MHz),
                                      e.texts};
                    const bool over[] = {row.ramMHz > r.ramLimit, row.linkMHz > limits.maxLink,
                                         limits.maxCpu && row.cpuMHz > *limits.maxCpu};
                    const PlanLimit which[] = {PlanLimit::Memory, PlanLimit::Link, PlanLimit::Cpu};
                    for (int i = 0; i < 3; ++i) {
                        rejected[std::size_t(which[i])] += over[i] ? 1 : 0;
                    }
                    if (!over[0] && !over[1] && !over[2] && (!cell.best || ranksAbove(row, *cell.best))) {
                        cell.best = row;
                    }
                }
            }
            for (std::size_t i = 0; i < 5; ++i) {
                total[i] += rejected[i];
            }
            if (cell.best) {
                r.rows.push_back(*cell.best);
            } else {
                cell.failed = PlanLimit(std::max_element(rejected.begin(), rejected.end()) - rejected.begin());
            }
            r.cells.push_back(cell);
        }
    }
    std::sort(r.rows.begin(), r.rows.end(), ranksAbove);
    r.mostExcluding = *std::max_element(total.begin(), total.end()) == 0
                          ? PlanLimit::None
                          : PlanLimit(std::max_element(total.begin(), total.end()) - total.begin());
    return r;
}

std::string describe(const PlanRow& row)
{
    return std::to_string(row.busSpeed) + "x" + NumberToText(row.multiplier) + " HT" +
           std::to_string(row.hyperTransport) + " class " + std::to_string(row.memoryClass);
}

TEST(Planner, SearchEqualsEvaluatingEveryCombination)
{
    PlanLimits tight;
    tight.maxCpu = 2500;
    tight.maxRef = 259.5; // a fractional board limit searches up to the whole clock below it
    tight.maxLink = 800;
    tight.ramMargin = 5;
    // A rating equal to a memory clock's text whose unrounded value lies above it: 236 x 11 with class "183" shows
    // 199.69 for 199.6923, so only the text can say it is within.
    PlanLimits rounded;
    rounded.ramRating = 199.69;
    for (const char* profile : {"x2-4400", "fx-53", "opteron-165", "athlon64"}) {
        const Loaded l(profile);
        for (const PlanLimits& limits : {PlanLimits{}, tight, rounded}) {
            if (limits.ramRating && profile != std::string("x2-4400")) {
                continue;
            }
            SCOPED_TRACE(std::string(profile) + (limits.maxCpu      ? " tight"
                                                 : limits.ramRating ? " rounded"
                                                                    : " default"));
            const PlanResult fast = findBest(l.calc, limits, l.stockMultiplier, l.fx);
            const PlanResult slow = bruteForce(l.calc, limits, l.stockMultiplier, l.fx);
            EXPECT_LT(fast.evaluated, slow.cells.size() * 40 / 4) << "the search prunes";
            EXPECT_EQ(fast.mostExcluding, slow.mostExcluding);
            ASSERT_EQ(fast.cells.size(), slow.cells.size());
            ASSERT_EQ(fast.cells.size(), (int(std::min(400.0, limits.maxRef)) - 99) * fast.multiplierCount);
            for (std::size_t i = 0; i < slow.cells.size(); ++i) {
                const PlanCell& a = fast.cells[i];
                const PlanCell& b = slow.cells[i];
                ASSERT_EQ(a.busSpeed * 100 + a.multiplier * 2, b.busSpeed * 100 + b.multiplier * 2) << i;
                EXPECT_EQ(a.failed, b.failed) << b.busSpeed << "x" << b.multiplier;
                EXPECT_EQ(a.best.has_value(), b.best.has_value()) << b.busSpeed << "x" << b.multiplier;
            }
            ASSERT_EQ(fast.rows.size(), slow.rows.size());
            ASSERT_FALSE(slow.rows.empty());
            for (std::size_t i = 0; i < slow.rows.size(); ++i) {
                EXPECT_EQ(describe(fast.rows[i]), describe(slow.rows[i])) << "rank " << i + 1;
                EXPECT_EQ(fast.rows[i].texts, slow.rows[i].texts) << "rank " << i + 1;
            }
        }
    }
}

TEST(Planner, TheMultiplierStaysLockedAtStockButForFxAndUnlocked)
{
    const struct
    {
        const char* profile;
        bool unlocked;
        double limit;
    } cases[] = {{"x2-4400", false, 11}, {"x2-4400", true, 15}, {"opteron-165", false, 9}, {"fx-53", false, 15}};
    for (const auto& c : cases) {
        const Loaded l(c.profile);
        PlanLimits limits;
        limits.unlocked = c.unlocked;
        const PlanResult r = findBest(l.calc, limits, l.stockMultiplier, l.fx);
        EXPECT_EQ(r.multiplierLimit, c.limit) << c.profile;
    }
    EXPECT_EQ(multiplierLimit(9.7, false, false), 9.5);
    EXPECT_EQ(multiplierLimit(3, false, false), 4);
    EXPECT_EQ(multiplierLimit(11, true, false), 15);
}

TEST(Planner, WithNoRowTheMostExcludingLimitIsNamed)
{
    const Loaded l("x2-4400");
    PlanLimits limits;
    limits.ramRating = 40; // below half the lowest reference clock, the slowest class's memory clock
    limits.maxCpu = 400;   // every cell but the first beyond the processor limit too: a tie goes to the memory
    PlanResult r = findBest(l.calc, limits, l.stockMultiplier, l.fx);
    EXPECT_TRUE(r.rows.empty());
    EXPECT_EQ(r.mostExcluding, PlanLimit::Memory);
    EXPECT_TRUE(
        std::all_of(r.cells.begin(), r.cells.end(), [](const PlanCell& c) { return c.failed == PlanLimit::Memory; }));
    limits.maxRef = 99;
    r = findBest(l.calc, limits, l.stockMultiplier, l.fx);
    EXPECT_EQ(r.mostExcluding, PlanLimit::Reference);
    EXPECT_TRUE(r.cells.empty());
}

TEST(Planner, RankingBreaksTiesInItsOrder)
{
    const auto row = [](double cpu, double ram, double link, double multiplier, int memoryClass, int bus = 200) {
        PlanRow r;
        r.cpuMHz = cpu, r.ramMHz = ram, r.linkMHz = link, r.multiplier = multiplier, r.memoryClass = memoryClass;
        r.busSpeed = bus;
        return r;
    };
    const std::pair<const char*, std::pair<PlanRow, PlanRow>> cases[] = {
        {"the higher processor clock", {row(2400, 100, 400, 4, 7), row(2399.5, 200, 1000, 15, 0)}},
        {"then the higher memory clock", {row(2400, 183.33, 400, 4, 7), row(2400, 183.32, 1000, 15, 0)}},
        {"then the higher link clock", {row(2400, 200, 1000, 4, 7), row(2400, 200, 999, 15, 0)}},
        {"then the higher multiplier", {row(2400, 200, 1000, 12, 7, 200), row(2400, 200, 1000, 11.5, 0, 100)}},
        {"then the faster class", {row(2400, 200, 1000, 12, 3), row(2400, 200, 1000, 12, 4)}},
        {"then the lower reference clock", {row(2400, 200, 1000, 12, 3, 200), row(2400, 200, 1000, 12, 3, 201)}},
    };
    for (const auto& [name, pair] : cases) {
        EXPECT_TRUE(ranksAbove(pair.first, pair.second)) << name;
        EXPECT_FALSE(ranksAbove(pair.second, pair.first)) << name;
        EXPECT_FALSE(ranksAbove(pair.first, pair.first)) << name;
    }
}

} // namespace
