// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Clockdeck developers
#include "formload.h"

#include "calc/calculator.h"
#include "calc/numbertext.h"
#include "identify.h"
#include "probe/registry.h"

namespace clockdeck {

namespace {

constexpr std::string_view Root = "HKEY_LOCAL_MACHINE";

// Lowers the HyperTransport multiplier while the link clock is above its limit: three passes, none skipped.
void checkHyperTransport(Calculator& calc)
{
    for (int pass = 0; pass < 3; ++pass) {
        if (ParseLeadingNumber(calc.text(Field::Label13)) > LinkLimitMHz) {
            calc.setText(Field::HyperTransport, NumberToText(ParseLeadingNumber(calc.text(Field::HyperTransport)) - 1));
        }
    }
}

} // namespace

// No step throws: the calculator reports its faults to its message sink, the readers give empty values for what
// is missing, and only a failed allocation, which no step can recover from, leaves the load.
void Form_Load(Calculator& calc, LoadWindow& window, const std::filesystem::path& sysroot)
{
    const SystemRegistry registry(sysroot);
    std::int32_t valueType = 0; // one variable for every read; nothing looks at it afterwards

    calc.fillLists();
    // One press towards the next slower module grade: from "216" to "200" / "PC3200", the first calculation.
    calc.setSpinValue(Spin::VScroll5, 1);
    window.centre();
    window.show();
    // The window paints before the probe.
    window.processEvents();

    calc.setText(Field::Label17, NumberToText(GetBootMHz(registry)));
    calc.setText(Field::CPU_Identity, GetRegString(Root, ProcessorKey, "ProcessorNameString", valueType, registry));
    calc.setText(Field::CPU_Stepping, GetRegString(Root, ProcessorKey, "Identifier", valueType, registry));
    calc.setText(Field::NamePlates18, GetRegString(Root, SystemKey, "SystemBiosDate", valueType, registry));
    calc.setText(Field::NamePlates19, GetRegString(Root, SystemKey, "VideoBiosDate", valueType, registry));
    calc.setText(Field::NamePlates20, GetRegString(Root, DriverKey, "Version", valueType, registry));
    if (calc.text(Field::NamePlates20).empty()) {
        calc.setText(Field::NamePlates20, "n/a");
    }

    identifyRevision(calc);
    setNominalClock(calc);
    applyModelTables(calc);
    checkHyperTransport(calc);
}

bool isAthlon64Family(const std::filesystem::path& sysroot)
{
    const SystemRegistry registry(sysroot);
    std::int32_t valueType = 0;
    const std::string identifier = GetRegString(Root, ProcessorKey, "Identifier", valueType, registry);
    const std::string name = GetRegString(Root, ProcessorKey, "ProcessorNameString", valueType, registry);
    // Family 15 alone would also take the Pentium 4; the name tells the maker.
    return identifier.starts_with("x86 Family 15 ") && name.find("AMD") != std::string::npos;
}

} // namespace clockdeck
