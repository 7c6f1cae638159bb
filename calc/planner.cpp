// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Clockdeck developers
#include "planner.h"

#include "calculator.h"
#include "numbertext.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace clockdeck {

namespace {

constexpr int LowestBusSpeed = 100;
constexpr int HighestBusSpeed = 400;
constexpr double LowestMultiplier = 4;
constexpr double HighestMultiplier = 15;
constexpr int HighestHyperTransport = 5;

// How far a clock worked out without its text may lie from the clock its text shows: the memory clock's text is
// rounded to two decimals (0.005), and the estimate multiplies where Update divides (a few units in the last
// place). Within this distance of a limit, or of a rival, the search asks the calculator.
constexpr double EstimateMargin = 0.02;

enum class Verdict
{
    Within,
    Beyond,
    Ask, // too close to the limit to tell from the estimate
};

Verdict judge(double estimate, double limit)
{
    if (estimate > limit + EstimateMargin) {
        return Verdict::Beyond;
    }
    return estimate < limit - EstimateMargin ? Verdict::Within : Verdict::Ask;
}

// The combinations of one cell evaluated so far, so that each is evaluated once. The evaluations of earlier cells
// are written over, so their texts' storage serves every cell.
class CellProbe
{
public:
    CellProbe(Evaluator& evaluator, const std::vector<std::string>& classes, std::size_t& evaluated)
        : m_evaluator(evaluator), m_classes(classes), m_evaluated(evaluated)
    {}

    // Starts on another cell.
    void moveTo(int busSpeed, double multiplier)
    {
        m_busSpeed = busSpeed;
        m_multiplier = multiplier;
        m_used = 0;
    }

    Evaluation& at(int hyperTransport, int memoryClass)
    {
        for (std::size_t i = 0; i < m_used; ++i) {
            Probe& done = m_done[i];
            if (done.hyperTransport == hyperTransport && done.memoryClass == memoryClass) {
                return done.evaluation;
            }
        }
        ++m_evaluated;
        if (m_used == m_done.size()) {
            m_done.emplace_back();
        }
        Probe& probe = m_done[m_used++];
        probe.hyperTransport = hyperTransport;
        probe.memoryClass = memoryClass;
        const VariedInputs inputs{static_cast<double>(m_busSpeed), m_multiplier, static_cast<double>(hyperTransport),
                                  m_classes[static_cast<std::size_t>(memoryClass)]};
        m_evaluator.evaluate(inputs, probe.evaluation);
        return probe.evaluation;
    }

    double number(int hyperTransport, int memoryClass, Field f)
    {
        return ParseLeadingNumber(at(hyperTransport, memoryClass).text(f));
    }

private:
    struct Probe
    {
        int hyperTransport = 0;
        int memoryClass = 0;
        Evaluation evaluation;
    };
    Evaluator& m_evaluator;
    const std::vector<std::string>& m_classes;
    int m_busSpeed = 0;
    double m_multiplier = 0;
    std::size_t& m_evaluated;
    std::vector<Probe> m_done; // the first m_used are this cell's
    std::size_t m_used = 0;
};

// Per limit, how many combinations it rejects; a combination beyond several limits counts for each.
using Rejections = std::array<std::size_t, 5>;

// The limit that rejected the most, ties going to the limit checked first; None when nothing was rejected.
PlanLimit mostRejecting(const Rejections& rejected)
{
    PlanLimit most = PlanLimit::None;
    std::size_t count = 0;
    for (const PlanLimit limit : {PlanLimit::Memory, PlanLimit::Link, PlanLimit::Reference, PlanLimit::Cpu}) {
        if (rejected[static_cast<std::size_t>(limit)] > count) {
            count = rejected[static_cast<std::size_t>(limit)];
            most = limit;
        }
    }
    return most;
}

} // namespace

bool ranksAbove(const PlanRow& a, const PlanRow& b)
{
    if (a.cpuMHz != b.cpuMHz) {
        return a.cpuMHz > b.cpuMHz;
    }
    if (a.ramMHz != b.ramMHz) {
        return a.ramMHz > b.ramMHz;
    }
    if (a.linkMHz != b.linkMHz) {
        return a.linkMHz > b.linkMHz;
    }
    if (a.multiplier != b.multiplier) {
        return a.multiplier > b.multiplier;
    }
    if (a.memoryClass != b.memoryClass) {
        return a.memoryClass < b.memoryClass;
    }
    // Equal so far only within one cell and class; the order stays total all the same.
    if (a.busSpeed != b.busSpeed) {
        return a.busSpeed < b.busSpeed;
    }
    return a.hyperTransport > b.hyperTransport;
}

double multiplierLimit(double stockMultiplier, bool fx, bool unlocked)
{
    const double limit = fx || unlocked ? HighestMultiplier : std::floor(stockMultiplier * 2) / 2;
    return std::clamp(limit, LowestMultiplier, HighestMultiplier);
}

PlanResult findBest(const Calculator& calc, const PlanLimits& limits, double stockMultiplier, bool fx)
{
    PlanResult result;
    result.limits = limits;
    result.multiplierLimit = multiplierLimit(stockMultiplier, fx, limits.unlocked);
    const double rating = limits.ramRating.value_or(ParseLeadingNumber(calc.text(Field::PCramNum)));
    result.ramLimit = rating * (100 + limits.ramMargin) / 100;
    result.multiplierCount = static_cast<std::size_t>((result.multiplierLimit - LowestMultiplier) * 2) + 1;
    const int highestBus = std::min(HighestBusSpeed, static_cast<int>(std::floor(limits.maxRef)));
    const std::vector<std::string>& classes = calc.list(ListId::List1).items;
    const int classCount = static_cast<int>(classes.size());
    if (highestBus < LowestBusSpeed) {
        result.mostExcluding = PlanLimit::Reference; // no reference clock is left to search
        return result;
    }

    Rejections total{};
    std::vector<double> ratio(classes.size()); // memory clock per MHz of reference clock, by class
    std::vector<int> feasibleClasses;
    Evaluator evaluator(calc);
    CellProbe probe(evaluator, classes, result.evaluated);
    result.cells.resize(static_cast<std::size_t>(highestBus - LowestBusSpeed + 1) * result.multiplierCount);
    for (std::size_t m = 0; m < result.multiplierCount; ++m) {
        const double multiplier = LowestMultiplier + static_cast<double>(m) / 2;
        for (int c = 0; c < classCount; ++c) {
            // The class's memory clock at a reference clock of 1 MHz; NaN for a text outside the classes.
            const auto clock = memoryClock(classes[static_cast<std::size_t>(c)], multiplier, multiplier, 1);
            ratio[static_cast<std::size_t>(c)] = clock ? clock->mhz : std::nan("");
        }
        for (int bus = LowestBusSpeed; bus <= highestBus; ++bus) {
            PlanCell& cell = result.cells[static_cast<std::size_t>(bus - LowestBusSpeed) * result.multiplierCount + m];
            cell.busSpeed = bus;
            cell.multiplier = multiplier;
            probe.moveTo(bus, multiplier);
            const int anyClass = 0;

            bool cpuWithin = true;
            if (limits.maxCpu) {
                const Verdict v = judge(multiplier * bus, *limits.maxCpu);
                cpuWithin = v == Verdict::Within || (v == Verdict::Ask && classCount > 0 &&
                                                     probe.number(1, anyClass, Field::shwCPU_MHz) <= *limits.maxCpu);
            }
            // The link clock grows with the link multiplier: the best is the highest within the limit.
            int hyperTransport = 0;
            for (int ht = HighestHyperTransport; ht >= 1 && hyperTransport == 0 && classCount > 0; --ht) {
                const Verdict v = judge(static_cast<double>(ht * bus), limits.maxLink);
                if (v == Verdict::Within ||
                    (v == Verdict::Ask && probe.number(ht, anyClass, Field::Label13) <= limits.maxLink)) {
                    hyperTransport = ht;
                }
            }
            const int linkRejected = HighestHyperTransport - hyperTransport;
            feasibleClasses.clear();
            for (int c = 0; c < classCount; ++c) {
                const double estimate = ratio[static_cast<std::size_t>(c)] * bus;
                const Verdict v = std::isnan(estimate) ? Verdict::Ask : judge(estimate, result.ramLimit);
                if (v == Verdict::Within || (v == Verdict::Ask && probe.number(std::max(hyperTransport, 1), c,
                                                                               Field::shwDDR_MHz) <= result.ramLimit)) {
                    feasibleClasses.push_back(c);
                }
            }
            Rejections rejected{};
            rejected[static_cast<std::size_t>(PlanLimit::Memory)] = static_cast<std::size_t>(
                (classCount - static_cast<int>(feasibleClasses.size())) * HighestHyperTransport);
            rejected[static_cast<std::size_t>(PlanLimit::Link)] = static_cast<std::size_t>(linkRejected * classCount);
            rejected[static_cast<std::size_t>(PlanLimit::Cpu)] =
                cpuWithin ? 0 : static_cast<std::size_t>(classCount * HighestHyperTransport);
            for (std::size_t i = 0; i < total.size(); ++i) {
                total[i] += rejected[i];
            }
            if (!cpuWithin || hyperTransport == 0 || feasibleClasses.empty()) {
                // With no memory class to choose there is no combination at all: the memory is what is missing.
                const PlanLimit most = mostRejecting(rejected);
                cell.failed = most == PlanLimit::None ? PlanLimit::Memory : most;
                continue;
            }

            // The best class has the highest memory clock, the earlier class on a tie. Classes whose estimates lie
            // close to the highest are told apart by their texts; a class without an estimate makes every class
            // a rival.
            double highest = -1;
            bool unknown = false;
            for (const int c : feasibleClasses) {
                const double estimate = ratio[static_cast<std::size_t>(c)] * bus;
                unknown = unknown || std::isnan(estimate);
                highest = std::isnan(estimate) ? highest : std::max(highest, estimate);
            }
            int bestClass = -1;
            double bestRam = 0;
            for (const int c : feasibleClasses) {
                const double estimate = ratio[static_cast<std::size_t>(c)] * bus;
                if (!unknown && estimate < highest - 2 * EstimateMargin) {
                    continue;
                }
                const double ram = probe.number(hyperTransport, c, Field::shwDDR_MHz);
                if (bestClass < 0 || ram > bestRam) {
                    bestClass = c;
                    bestRam = ram;
                }
            }
            Evaluation& best = probe.at(hyperTransport, bestClass);
            PlanRow& row = cell.best.emplace();
            row.busSpeed = bus;
            row.multiplier = multiplier;
            row.hyperTransport = hyperTransport;
            row.memoryClass = bestClass;
            row.cpuMHz = ParseLeadingNumber(best.text(Field::shwCPU_MHz));
            row.linkMHz = ParseLeadingNumber(best.text(Field::Label13));
            row.ramMHz = ParseLeadingNumber(best.text(Field::shwDDR_MHz));
            row.texts = best.texts;
        }
    }

    std::vector<const PlanRow*> ranked;
    for (const auto& cell : result.cells) {
        if (cell.best) {
            ranked.push_back(&*cell.best);
        }
    }
    std::sort(ranked.begin(), ranked.end(), [](const PlanRow* a, const PlanRow* b) { return ranksAbove(*a, *b); });
    result.rows.reserve(ranked.size());
    for (const PlanRow* row : ranked) {
        result.rows.push_back(*row);
    }
    result.mostExcluding = mostRejecting(total);
    return result;
}

} // namespace clockdeck
