// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Clockdeck developers
#pragma once

#include "support/recordingsink.h"

#include <string>
#include <vector>

namespace clockdeck::test {

// A calculator with its lists filled and placed as the load places them before its first press, counting Update runs:
// every run that gets past its first step writes shwCPU_MHz exactly once.
struct CalcFixture
{
    CalcFixture()
    {
        calc.fillLists();
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
