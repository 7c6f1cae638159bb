// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Clockdeck developers
#include "calc/numbertext.h"
#include "calc/planner.h"
#include "probe/formload.h"
#include "probe/identify.h"
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
    r.ramLimit = limits.ramRating.value_or(ParseLeadingNumber(calc.text(Field::PCramNum))) *
                 (100 + limits.ramMargin) / 100;
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
                    const bool over[] = {number(e, Field::shwDDR_MHz) > r.ramLimit,
                                         number(e, Field::Label13) > limits.maxLink,
                                         limits.maxCpu && number(e, Field::shwCPU_MHz) > *limits.maxCpu};
                    const PlanLimit which[] = {PlanLimit::Memory, PlanLimit::Link, PlanLimit::Cpu};
                    for (int i = 0; i < 3; ++i)
                        rejected[std::size_t(which[i])] += over[i] ? 1 : 0;
                    if (over[0] || over[1] || over[2])
                        continue;
                    PlanRow row{bus, m, ht, int(c), number(e, Field::shwCPU_MHz), number(e, Field::Label13),
                                number(e, Field::shwDDR_MHz), e.texts};
                    if (!cell.best || ranksAbove(row, *cell.best))
                        cell.best = row;
                }
            }
            for (std::size_t i = 0; i < 5; ++i)
                total[i] += rejected[i];
            if (!cell.best)
                cell.failed = PlanLimit(std::max_element(rejected.begin(), rejected.end()) - rejected.begin());
            r.cells.push_back(cell);
            if (cell.best)
                r.rows.push_back(*cell.best);
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
    tight.maxRef = 260;
    tight.maxLink = 800;
    tight.ramMargin = 5;
    for (const char* profile : {"x2-4400", "fx-53", "opteron-165", "athlon64"}) {
        const Loaded l(profile);
        for (const PlanLimits& limits : {PlanLimits{}, tight}) {
            SCOPED_TRACE(std::string(profile) + (limits.maxCpu ? " tight" : " default"));
            const PlanResult fast = findBest(l.calc, limits, l.stockMultiplier, l.fx);
            const PlanResult slow = bruteForce(l.calc, limits, l.stockMultiplier, l.fx);
            EXPECT_LT(fast.evaluated, slow.cells.size() * 40 / 4) << "the search prunes";
            EXPECT_EQ(fast.mostExcluding, slow.mostExcluding);
            ASSERT_EQ(fast.cells.size(), slow.cells.size());
            ASSERT_EQ(fast.cells.size(), (std::min(400.0, limits.maxRef) - 99) * fast.multiplierCount);
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

} // namespace
