// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Clockdeck developers
#pragma once

#include "field.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <string_view>

namespace clockdeck {

// The ten spin controls, named as in the window.
enum class Spin : std::uint8_t
{
    VScroll1,
    VScroll2,
    VScroll3,
    VScroll4,
    VScroll5,
    VScroll6,
    VScroll7,
    VScroll8,
    VScroll9,
    VScroll10,
};

inline constexpr std::size_t SpinCount = 10;

constexpr std::size_t index(Spin s)
{
    return static_cast<std::size_t>(s);
}

enum class SpinKind : std::uint8_t
{
    Numeric,
    List
};

// The preset lists behind the list spins.
enum class ListId : std::uint8_t
{
    None,
    List1,
    List2,
    List3,
};

struct SpinInfo
{
    Spin spin;
    std::string_view name;
    Field field;
    SpinKind kind;
    double step;                  // per press, numeric spins only
    ListId list = ListId::None;   // list spins: the list whose entries the field takes
    ListId inStep = ListId::None; // a list moved to the same position, its entry written into inStepField
    Field inStepField = Field::PCxxxx;
};

inline constexpr std::array<SpinInfo, SpinCount> Spins{{
    {Spin::VScroll1, "VScroll1", Field::OverClock_CPU_Vcore, SpinKind::Numeric, 0.0125},
    {Spin::VScroll2, "VScroll2", Field::SelectDDR, SpinKind::List, 0, ListId::List1},
    {Spin::VScroll3, "VScroll3", Field::StockCPU_Vcore, SpinKind::Numeric, 0.0125},
    {Spin::VScroll4, "VScroll4", Field::StockCPU_MHz, SpinKind::Numeric, 100},
    {Spin::VScroll5, "VScroll5", Field::PCramNum, SpinKind::List, 0, ListId::List2, ListId::List3, Field::PCxxxx},
    {Spin::VScroll6, "VScroll6", Field::BusSpeed, SpinKind::Numeric, 1},
    {Spin::VScroll7, "VScroll7", Field::Multiplier, SpinKind::Numeric, 0.5},
    {Spin::VScroll8, "VScroll8", Field::HyperTransport, SpinKind::Numeric, 0.5},
    {Spin::VScroll9, "VScroll9", Field::Stock_Vdimm, SpinKind::Numeric, 0.05},
    {Spin::VScroll10, "VScroll10", Field::OC_Vdimm, SpinKind::Numeric, 0.025},
}};

// The spin control that adjusts an input field.
constexpr Spin spinFor(Field f)
{
    for (const auto& s : Spins) {
        if (s.field == f) {
            return s.spin;
        }
    }
    return Spin::VScroll1; // not reached for input fields
}

} // namespace clockdeck
