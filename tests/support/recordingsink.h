// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Clockdeck developers
#pragma once

#include "calc/calculator.h"

#include <string>
#include <vector>

namespace clockdeck::test {

// Records what the calculator would have shown in its message boxes.
struct RecordingSink : MessageSink
{
    void updateFault(std::string_view message) override { updateFaults.emplace_back(message); }
    void ceilFault(std::string_view description) override { ceilFaults.emplace_back(description); }
    bool empty() const { return updateFaults.empty() && ceilFaults.empty(); }

    std::vector<std::string> updateFaults, ceilFaults;
};

} // namespace clockdeck::test
