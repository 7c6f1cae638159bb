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
    row.linkOver1000 = ParseLeadingNumber(link) > LinkLimitMHz;
    row.memoryOverRated = ParseLeadingNumber(memory) > ParseLeadingNumber(rating);
}

void runSweep(Calculator& calc, std::span<const SweepAxis> axes, const RowSink& onRow)
{
    if (axes.empty()) {
        return;
    }
    const SweepAxis& outer = axes.front();
    for (const auto& value : outer.values) {
        const bool outerClamped = setSwept(calc, outer.field, value);
        if (axes.size() == 1) {
            onRow(recordRow(calc, axes, outerClamped));
            continue;
        }
        for (const auto& innerValue : axes[1].values) {
            const bool innerClamped = setSwept(calc, axes[1].field, innerValue);
            onRow(recordRow(calc, axes, outerClamped || innerClamped));
        }
    }
}

std::vector<std::string_view> sweepTitles(std::span<const SweepAxis> axes)
{
    std::vector<std::string_view> titles;
    for (const auto& axis : axes) {
        titles.push_back(fieldName(axis.field));
    }
    return titles;
}

TableWriter::TableWriter(std::span<const std::string_view> leading) : m_titles(leading.begin(), leading.end())
{
    m_titles.insert(m_titles.end(), ColumnTitles.begin(), ColumnTitles.end());
    for (const auto title : m_titles) {
        m_widths.push_back(title.size());
    }
}

void TableWriter::add(const SweepRow& row)
{
    if (m_chunks.empty() || m_chunks.back().size() + RowRoom > m_chunks.back().capacity()) {
        m_chunks.emplace_back().reserve(ChunkSize);
    }
    std::string& chunk = m_chunks.back();
    const auto cell = [&row](std::size_t column) -> const std::string& {
        return column < row.swept.size() ? row.swept[column] : row.derived[column - row.swept.size()];
    };
    for (std::size_t c = 0; c < m_titles.size(); ++c) {
        const std::string& text = cell(c);
        m_widths[c] = std::max(m_widths[c], text.size());
        chunk.append(text).push_back('\t');
    }
    chunk.push_back(
        static_cast<char>('0' + (row.clamped ? 1 : 0) + (row.linkOver1000 ? 2 : 0) + (row.memoryOverRated ? 4 : 0)));
    chunk.push_back('\n');
}

void TableWriter::write(const TextSink& out) const
{
    std::string piece;
    const auto put = [&](std::string_view text, std::size_t width) {
        piece.append(width - text.size() + 2, ' ').append(text);
    };
    for (std::size_t c = 0; c < m_titles.size(); ++c) {
        put(m_titles[c], m_widths[c]);
    }
    piece += "  Marks\n";
    for (const auto& chunk : m_chunks) {
        std::string_view rest = chunk;
        while (!rest.empty()) {
            for (std::size_t c = 0; c < m_titles.size(); ++c) {
                const auto tab = rest.find('\t');
                put(rest.substr(0, tab), m_widths[c]);
                rest.remove_prefix(tab + 1);
            }
            const int flags = rest.front() - '0';
            SweepRow marked;
            marked.clamped = (flags & 1) != 0;
            marked.linkOver1000 = (flags & 2) != 0;
            marked.memoryOverRated = (flags & 4) != 0;
            if (const std::string rowMarks = marks(marked); !rowMarks.empty()) {
                piece.append("  ").append(rowMarks);
            }
            piece += '\n';
            rest.remove_prefix(2);
            if (piece.size() >= ChunkSize / 16) {
                out(piece);
                piece.clear();
            }
        }
    }
    out(piece);
}

std::string rowsTable(std::span<const std::string_view> leading, std::span<const SweepRow> rows)
{
    TableWriter table(leading);
    for (const auto& row : rows) {
        table.add(row);
    }
    std::string text;
    table.write([&text](std::string_view piece) { text.append(piece); });
    return text;
}

} // namespace clockdeck
