// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Clockdeck developers
#include "best.h"

#include "output.h"
#include "sweep.h"

#include "calc/calculator.h"
#include "calc/numbertext.h"

#include <algorithm>
#include <charconv>
#include <cmath>

namespace clockdeck {

namespace {

struct BestLimit
{
    std::string_view option;
    std::string_view what;
    double low;
    double high;
};

const InputRange& range(Field f)
{
    return *rangeOf(f);
}

// Each limit may lie anywhere its field can reach: the processor clock from the lowest multiplier at the lowest
// reference clock to the highest at the highest, the link likewise, the memory margin from 0 to 100 percent.
std::array<BestLimit, 5> bestLimits()
{
    const InputRange& bus = range(Field::BusSpeed);
    const InputRange& multiplier = range(Field::Multiplier);
    const InputRange& link = range(Field::HyperTransport);
    return {{{"--top", "rows", 1, static_cast<double>(MaxTop)},
             {"--max-cpu", "MHz", multiplier.low * bus.low, multiplier.high * bus.high},
             {"--max-ref", "MHz", bus.low, bus.high},
             {"--max-link", "MHz", link.low * bus.low, link.high * bus.high},
             {"--ram-margin", "percent", 0, 100}}};
}

std::string number(double x)
{
    char buffer[32];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, x);
    return std::string(buffer, result.ptr);
}

std::string_view limitName(PlanLimit limit)
{
    switch (limit) {
    case PlanLimit::Memory:
        return "the memory limit (--ram-margin over PCramNum)";
    case PlanLimit::Link:
        return "the link limit (--max-link)";
    case PlanLimit::Reference:
        return "the reference clock limit (--max-ref)";
    case PlanLimit::Cpu:
        return "the processor clock limit (--max-cpu)";
    case PlanLimit::None:
        break;
    }
    return "no limit";
}

} // namespace

bool isBestValueOption(std::string_view name)
{
    const auto limits = bestLimits();
    return std::any_of(limits.begin(), limits.end(), [name](const BestLimit& l) { return l.option == name; });
}

std::string readBestOption(std::string_view name, std::string_view value, BestOptions& options)
{
    for (const auto& limit : bestLimits()) {
        if (limit.option != name) {
            continue;
        }
        const auto x = strictNumber(value);
        const bool whole = name != "--top" || (x && *x == std::floor(*x));
        if (!x || !std::isfinite(*x) || !whole || *x < limit.low || *x > limit.high) {
            return std::string(name) + " takes " + (name == "--top" ? "a whole number of " : "") +
                   std::string(limit.what) + " from " + NumberToText(limit.low) + " to " + NumberToText(limit.high) +
                   ", not '" + std::string(value) + "'";
        }
        options.tuned = true;
        if (name == "--top") {
            options.top = static_cast<std::size_t>(*x);
        } else if (name == "--max-cpu") {
            options.limits.maxCpu = *x;
        } else if (name == "--max-ref") {
            options.limits.maxRef = *x;
        } else if (name == "--max-link") {
            options.limits.maxLink = *x;
        } else {
            options.limits.ramMargin = *x;
        }
        return {};
    }
    return "unknown option '" + std::string(name) + "'";
}

std::string bestText(const PlanResult& result, std::size_t top)
{
    constexpr std::array<std::string_view, 5> Titles{"Rank", "BusSpeed", "Multiplier", "HyperTransport", "SelectDDR"};
    std::vector<SweepRow> rows;
    const std::size_t shown = std::min(top, result.rows.size());
    for (std::size_t i = 0; i < shown; ++i) {
        const auto& texts = result.rows[i].texts;
        const auto text = [&texts](Field f) -> const std::string& { return texts[index(f)]; };
        SweepRow row;
        row.swept = {std::to_string(i + 1), text(Field::BusSpeed), text(Field::Multiplier), text(Field::HyperTransport),
                     text(Field::SelectDDR)};
        for (std::size_t c = 0; c < SweepColumns.size(); ++c) {
            row.derived[c] = text(SweepColumns[c]);
        }
        markRow(row, text(Field::Label13), text(Field::shwDDR_MHz), text(Field::PCramNum));
        rows.push_back(std::move(row));
    }
    std::string out = rows.empty() ? std::string() : rowsTable(Titles, rows);
    out += "evaluated " + std::to_string(result.evaluated) +
           (result.evaluated == 1 ? " combination; " : " combinations; ");
    if (result.rows.empty()) {
        return out + "none met the limits; " + std::string(limitName(result.mostExcluding)) + " excluded the most\n";
    }
    return out + std::to_string(result.rows.size()) + (result.rows.size() == 1 ? " row" : " rows") +
           " met the limits\n";
}

std::string bestJson(const PlanResult& result, std::size_t top)
{
    const PlanLimits& limits = result.limits;
    std::string out = "{\"limits\": {\"max_cpu\": " + (limits.maxCpu ? number(*limits.maxCpu) : "null");
    out += ", \"max_ref\": " + number(limits.maxRef) + ", \"max_link\": " + number(limits.maxLink);
    out += ", \"ram_margin\": " + number(limits.ramMargin) + ", \"unlocked\": " + (limits.unlocked ? "true" : "false");
    out += "}, \"evaluated\": " + std::to_string(result.evaluated) + ", \"met\": " + std::to_string(result.rows.size());
    out += ", \"rows\": [";
    const std::size_t shown = std::min(top, result.rows.size());
    for (std::size_t i = 0; i < shown; ++i) {
        out += i == 0 ? "\n    {\"fields\": {" : ",\n    {\"fields\": {";
        for (std::size_t f = 0; f < EvaluatedFieldCount; ++f) {
            out += f == 0 ? "" : ", ";
            appendJsonString(out, fieldName(static_cast<Field>(f)));
            out += ": ";
            appendJsonString(out, result.rows[i].texts[f]);
        }
        out += "}}";
    }
    return out + (shown == 0 ? "]}" : "\n  ]}");
}

} // namespace clockdeck
