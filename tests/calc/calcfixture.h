// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Clockdeck developers
#pragma once

#include "support/recordingsink.h"

#include <span>
#include <string>
#include <vector>

namespace clockdeck::test {

// A calculator with its lists filled and placed as the load leaves them, counting Update runs: every run that
// gets past its first step writes shwCPU_MHz exactly once.
struct CalcFixture
{
    CalcFixture()
    {
        for (auto [list, entries] : {std::pair{&calc.List1, std::span<const std::string_view>(MemoryClassEntries)},
                                     {&calc.List2, ModuleClockEntries},
                                     {&calc.List3, ModuleRatingEntries}}) {
            for (auto e : entries)
                list->AddItem(e);
        }
        calc.List1.ListIndex = 0;
        calc.List2.ListIndex = calc.List3.ListIndex = 6;
        calc.fields().subscribe([this](Field f) {
            updateRuns += f == Field::shwCPU_MHz ? 1 : 0;
            changes.push_back(f);
        });
    }
    const std::string& operator[](Field f) const { return calc.text(f); }

    RecordingSink sink;
    Calculator calc{sink};
    int updateRuns = 0;
    std::vector<Field> changes; // every field written, in order
};

} // namespace clockdeck::test
