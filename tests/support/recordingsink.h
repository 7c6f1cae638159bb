// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Clockdeck developers
#pragma once

#include "calc/calculator.h"

#include <string>
#include <vector>

namespace clockdeck::test {

// Records what the calculator would have shown in its message boxes.
class RecordingSink : public MessageSink
{
public:
    void updateFault(std::string_view message) override { updateFaults.emplace_back(message); }
    void ceilFault(std::string_view description) override { ceilFaults.emplace_back(description); }

    bool empty() const { return updateFaults.empty() && ceilFaults.empty(); }

    std::vector<std::string> updateFaults;
    std::vector<std::string> ceilFaults;
};

// A calculator with its lists filled as the load fills them, and a count of Update runs: every run that gets
// past its first step writes shwCPU_MHz exactly once.
class CalcFixture
{
public:
    CalcFixture()
    {
        for (auto e : MemoryClassEntries) {
            calc.List1.AddItem(e);
        }
        for (auto e : ModuleClockEntries) {
            calc.List2.AddItem(e);
        }
        for (auto e : ModuleRatingEntries) {
            calc.List3.AddItem(e);
        }
        calc.List1.ListIndex = 0;
        calc.List2.ListIndex = 6;
        calc.List3.ListIndex = 6;
        calc.fields().subscribe([this](Field f) {
            if (f == Field::shwCPU_MHz) {
                ++updateRuns;
            }
            changes.push_back(f);
        });
    }

    const std::string& operator[](Field f) const { return calc.text(f); }

    RecordingSink sink;
    Calculator calc{sink};
    int updateRuns = 0;
    std::vector<Field> changes;
};

} // namespace clockdeck::test
