// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Clockdeck developers
#include "sweep.h"

#include "calc/calculator.h"
#include "calc/numbertext.h"

#include <algorithm>

namespace clockdeck {

namespace {

constexpr std::array<std::string_view, SweepColumns.size()> ColumnTitles{"CPU MHz", "HT MHz",  "Ram MHz", "CPU %",
                                                                         "Ram %",   "Vcore %", "VDimm %"};

SweepRow recordRow(const Calculator& calc, std::span<const SweepAxis> axes, bool clamped)
{
    SweepRow row;
    row.swept.reserve(axes.size());
    for (const auto& axis : axes) {
        row.swept.push_back(calc.text(axis.field));
    }
    for (std::size_t i = 0; i < SweepColumns.size(); ++i) {
        row.derived[i] = calc.text(SweepColumns[i]);
    }
    row.clamped = clamped;
    markRow(row, calc.text(Field::Label13), calc.text(Field::shwDDR_MHz), calc.text(Field::PCramNum));
    return row;
}

// Sets a swept value; tells whether the field's range check replaced it.
bool setSwept(Calculator& calc, Field field, const std::string& value)
{
    setField(calc, field, value);
    return calc.text(field) != value;
}

std::string marks(const SweepRow& row)
{
    std::string text;
    for (const auto& [on, mark] : {std::pair{row.clamped, "clamped"}, std::pair{row.linkOver1000, "link>1000"},
                                   std::pair{row.memoryOverRated, "ram>rated"}}) {
        if (on) {
            text += text.empty() ? "" : " ";
            text += mark;
        }
    }
    return text;
}

} // namespace

void markRow(SweepRow& row, std::string_view link, std::string_view memory, std::string_view rating)
{
    row.linkOver1000 = ParseLeadingNumber(link) > 1000;
    row.memoryOverRated = ParseLeadingNumber(memory) > ParseLeadingNumber(rating);
}

std::vector<SweepRow> runSweep(Calculator& calc, std::span<const SweepAxis> axes)
{
    std::vector<SweepRow> rows;
    if (axes.empty()) {
        return rows;
    }
    const SweepAxis& outer = axes.front();
    const std::size_t innerCount = axes.size() == 2 ? axes[1].values.size() : 1;
    rows.reserve(outer.values.size() * innerCount);
    for (const auto& value : outer.values) {
        const bool outerClamped = setSwept(calc, outer.field, value);
        if (axes.size() == 1) {
            rows.push_back(recordRow(calc, axes, outerClamped));
            continue;
        }
        for (const auto& innerValue : axes[1].values) {
            const bool innerClamped = setSwept(calc, axes[1].field, innerValue);
            rows.push_back(recordRow(calc, axes, outerClamped || innerClamped));
        }
    }
    return rows;
}

std::string sweepTable(std::span<const SweepAxis> axes, std::span<const SweepRow> rows)
{
    std::vector<std::string_view> titles;
    for (const auto& axis : axes) {
        titles.push_back(fieldName(axis.field));
    }
    return rowsTable(titles, rows);
}

std::string rowsTable(std::span<const std::string_view> leading, std::span<const SweepRow> rows)
{
    // Columns: the leading ones, the derived fields, then the marks (left-aligned, last, so no padding after).
    std::vector<std::string_view> titles(leading.begin(), leading.end());
    titles.insert(titles.end(), ColumnTitles.begin(), ColumnTitles.end());
    const auto cell = [&](const SweepRow& row, std::size_t column) -> const std::string& {
        return column < row.swept.size() ? row.swept[column] : row.derived[column - row.swept.size()];
    };
    std::vector<std::size_t> widths;
    for (const auto title : titles) {
        widths.push_back(title.size());
    }
    for (const auto& row : rows) {
        for (std::size_t c = 0; c < titles.size(); ++c) {
            widths[c] = std::max(widths[c], cell(row, c).size());
        }
    }
    std::string table;
    const auto put = [&](std::string_view text, std::size_t width) {
        table.append(width - text.size() + 2, ' ').append(text);
    };
    for (std::size_t c = 0; c < titles.size(); ++c) {
        put(titles[c], widths[c]);
    }
    table += "  Marks\n";
    for (const auto& row : rows) {
        for (std::size_t c = 0; c < titles.size(); ++c) {
            put(cell(row, c), widths[c]);
        }
        const std::string rowMarks = marks(row);
        if (!rowMarks.empty()) {
            table.append("  ").append(rowMarks);
        }
        table += '\n';
    }
    return table;
}

} // namespace clockdeck
