// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Clockdeck developers
#pragma once

#include "commandline.h"

#include <array>
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

/// Sets the swept fields to every combination of their values, the first axis outermost, each exactly as --set
/// would, and records one row per combination. The calculator is left at the last row.
std::vector<SweepRow> runSweep(Calculator& calc, std::span<const SweepAxis> axes);

/// The rows as an aligned text table: the swept fields, the clocks, the four percentages and the marks.
std::string sweepTable(std::span<const SweepAxis> axes, std::span<const SweepRow> rows);

/// The same table with leading columns of the caller's titles, one for each of a row's `swept` texts.
std::string rowsTable(std::span<const std::string_view> leading, std::span<const SweepRow> rows);

} // namespace clockdeck
