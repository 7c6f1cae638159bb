// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Clockdeck developers
#pragma once

#include "commandline.h"

#include <array>
#include <functional>
#include <span>
#include <string>
#include <vector>

namespace clockdeck {

class Calculator;

// The derived fields a sweep records for every row, in the order of the table's columns.
inline constexpr std::array<Field, 7> SweepColumns{Field::shwCPU_MHz,   Field::Label13,      Field::shwDDR_MHz,
                                                   Field::CPU_OC_Prcnt, Field::DDR_OC_Prcnt, Field::Vcore_OC_Prcnt,
                                                   Field::Label18};

struct SweepRow
{
    std::vector<std::string> swept; // each swept field's text once set, clamped values shown clamped
    std::array<std::string, SweepColumns.size()> derived;
    bool clamped = false;         // a swept value was outside its field's range and replaced by the bound
    bool linkOver1000 = false;    // the HyperTransport link runs above 1000 MHz
    bool memoryOverRated = false; // the memory clock exceeds the modules' rated clock (PCramNum)
};

/// Sets a row's link and memory marks from the texts of Label13, shwDDR_MHz and PCramNum.
void markRow(SweepRow& row, std::string_view link, std::string_view memory, std::string_view rating);

/// Where output goes, piece by piece.
using TextSink = std::function<void(std::string_view)>;
using RowSink = std::function<void(const SweepRow&)>;

/// Sets the swept fields to every combination of their values, the first axis outermost, each exactly as --set
/// would, and hands each row to @p onRow as soon as it is computed. The calculator is left at the last row.
void runSweep(Calculator& calc, std::span<const SweepAxis> axes, const RowSink& onRow);

/// The swept fields' names, the titles of a sweep table's leading columns.
std::vector<std::string_view> sweepTitles(std::span<const SweepAxis> axes);

/// An aligned text table built row by row: the leading columns, the clocks, the four percentages and the marks.
/// Rows are kept packed (their texts and a byte of marks, in large blocks), since the widths are known only once
/// the last row is in; write() then hands the table out in pieces.
class TableWriter
{
public:
    explicit TableWriter(std::span<const std::string_view> leading);
    void add(const SweepRow& row);
    void write(const TextSink& out) const;

private:
    static constexpr std::size_t ChunkSize = 1 << 20;
    static constexpr std::size_t RowRoom = 512; // more than any row takes
    std::vector<std::string_view> m_titles;
    std::vector<std::size_t> m_widths;
    std::vector<std::string> m_chunks;
};

/// The whole table of some rows at once, with leading columns of the caller's titles, one for each `swept` text.
std::string rowsTable(std::span<const std::string_view> leading, std::span<const SweepRow> rows);

} // namespace clockdeck
