// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Clockdeck developers
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace clockdeck {

class Calculator;

// A 16-bit value in upper-case hexadecimal, at least two digits: 10 gives "0A", 300 gives "12C", -1 gives "FFFF".
std::string PadHex(std::int16_t Value);

// The core revision named by the identifier ("x86 Family 15 Model 47 Stepping 2" gives "BH-E6"), or an empty
// text. Every rule is tried and the last that matches wins.
std::string RevisionCode(std::string_view identifier);

// The nominal stock clock of a boot clock: the band of 100 MHz that holds it (1650 to 1749 gives 1700, up to
// 3250 to 3349 giving 3300), or 0 outside all bands.
std::int16_t NominalClock(double bootMHz);

// An FX processor, whose multiplier is not locked upward: its name holds "FX", which also selects the FX model rows.
[[nodiscard]] bool isFxProcessor(std::string_view name);

// The three identification steps of the load, in this order. Each works only through the calculator's fields,
// so every write runs its field's change handler.

// Rewrites CPU_Stepping as "Model: 2F     Revision: BH-E6     Stepping: 02" when a revision is named.
void IdentifyRevision(Calculator& calc);

// Sets Multiplier to the nominal clock of Label17 over 200, then StockCPU_MHz to 200 times the multiplier left.
void SetNominalClock(Calculator& calc);

// Applies the stock values of recognised X2, FX and Opteron models named in CPU_Identity, and works out
// BusSpeed from the boot clock for those families.
void ApplyModelTables(Calculator& calc);

} // namespace clockdeck
