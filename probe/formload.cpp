// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Clockdeck developers
#include "formload.h"

#include "calc/calculator.h"
#include "calc/numbertext.h"
#include "identify.h"
#include "registry.h"

namespace clockdeck {

namespace {

// First phase: a step that fails is skipped and the load goes on.
template <typename Step> void skipOnFailure(Step&& step) noexcept
{
    try {
        step();
    } catch (...) {
    }
}

constexpr std::string_view Root = "HKEY_LOCAL_MACHINE";
constexpr std::string_view ProcessorKey = "HARDWARE\\DESCRIPTION\\System\\CentralProcessor\\0";
constexpr std::string_view SystemKey = "HARDWARE\\DESCRIPTION\\System\\";
constexpr std::string_view DriverKey = "SOFTWARE\\AMD\\CPU\\";

// Lowers the HyperTransport multiplier while the link clock is above 1000 MHz: three passes, none skipped.
void checkHyperTransport(Calculator& calc)
{
    for (int pass = 0; pass < 3; ++pass) {
        if (ParseLeadingNumber(calc.text(Field::Label13)) > 1000) {
            calc.setText(Field::HyperTransport, NumberToText(ParseLeadingNumber(calc.text(Field::HyperTransport)) - 1));
        }
    }
}

} // namespace

void Form_Load(Calculator& calc, LoadWindow& window, const std::filesystem::path& sysroot)
{
    const SystemRegistry registry(sysroot);
    std::int32_t valueType = 0; // one variable for every read; nothing looks at it afterwards

    skipOnFailure([&] { calc.fillLists(); });
    // One press towards the next slower module grade: from "216" to "200" / "PC3200", the first calculation.
    skipOnFailure([&] { calc.setSpinValue(Spin::VScroll5, 1); });
    skipOnFailure([&] { window.centre(); });
    skipOnFailure([&] { window.show(); });
    // The window paints before the probe.
    skipOnFailure([&] { window.processEvents(); });

    skipOnFailure([&] { calc.setText(Field::Label17, NumberToText(GetBootMHz(registry))); });
    skipOnFailure([&] {
        calc.setText(Field::CPU_Identity, GetRegString(Root, ProcessorKey, "ProcessorNameString", valueType, registry));
    });
    skipOnFailure([&] {
        calc.setText(Field::CPU_Stepping, GetRegString(Root, ProcessorKey, "Identifier", valueType, registry));
    });
    skipOnFailure([&] {
        calc.setText(Field::NamePlates18, GetRegString(Root, SystemKey, "SystemBiosDate", valueType, registry));
    });
    skipOnFailure([&] {
        calc.setText(Field::NamePlates19, GetRegString(Root, SystemKey, "VideoBiosDate", valueType, registry));
    });
    skipOnFailure(
        [&] { calc.setText(Field::NamePlates20, GetRegString(Root, DriverKey, "Version", valueType, registry)); });
    skipOnFailure([&] {
        if (calc.text(Field::NamePlates20).empty()) {
            calc.setText(Field::NamePlates20, "n/a");
        }
    });

    // Second phase: the first failure ends the load; what was written stays.
    try {
        IdentifyRevision(calc);
        SetNominalClock(calc);
        ApplyModelTables(calc);
        checkHyperTransport(calc);
    } catch (...) {
    }
}

} // namespace clockdeck
