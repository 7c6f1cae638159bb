// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Clockdeck developers
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string_view>

namespace clockdeck {

// Every text field of the calculator. The names are the main window's label names, so the window, the
// report and the command line all speak of the same field the same way.
enum class Field : std::uint8_t
{
    // Inputs: each has a change handler.
    StockCPU_MHz,
    Multiplier,
    BusSpeed,
    HyperTransport,
    StockCPU_Vcore,
    OverClock_CPU_Vcore,
    Stock_Vdimm,
    OC_Vdimm,
    SelectDDR,
    PCramNum,
    // Derived: written by Update only.
    shwCPU_MHz,
    Label13,
    shwDDR_MHz,
    CPU_OC_Prcnt,
    Vcore_OC_Prcnt,
    Label18,
    DDR_OC_Prcnt,
    // Companion and measured.
    PCxxxxMHz,
    PCxxxx,
    Label17,
    // Probe texts: processor name and identification, system and video BIOS dates, processor driver.
    CPU_Identity,
    CPU_Stepping,
    NamePlates18,
    NamePlates19,
    NamePlates20,
};

inline constexpr std::size_t FieldCount = static_cast<std::size_t>(Field::NamePlates20) + 1;
inline constexpr std::size_t InputFieldCount = static_cast<std::size_t>(Field::PCramNum) + 1;

constexpr std::size_t index(Field f)
{
    return static_cast<std::size_t>(f);
}
constexpr bool isInputField(Field f)
{
    return index(f) < InputFieldCount;
}

struct FieldInfo
{
    Field field;
    std::string_view name;        // as spelled in the window ("NamePlates(18)" for the array elements)
    std::string_view initialText; // the text the field holds when the window is created
};

inline constexpr std::array<FieldInfo, FieldCount> Fields{{
    {Field::StockCPU_MHz, "StockCPU_MHz", "2200"},
    {Field::Multiplier, "Multiplier", "11"},
    {Field::BusSpeed, "BusSpeed", "200"},
    {Field::HyperTransport, "HyperTransport", "5"},
    {Field::StockCPU_Vcore, "StockCPU_Vcore", "1.35"},
    {Field::OverClock_CPU_Vcore, "OverClock_CPU_Vcore", "1.35"},
    {Field::Stock_Vdimm, "Stock_Vdimm", "2.6"},
    {Field::OC_Vdimm, "OC_Vdimm", "2.6"},
    {Field::SelectDDR, "SelectDDR", "200"},
    {Field::PCramNum, "PCramNum", "200"},
    {Field::shwCPU_MHz, "shwCPU_MHz", "0"},
    {Field::Label13, "Label13", "0"},
    {Field::shwDDR_MHz, "shwDDR_MHz", "0"},
    {Field::CPU_OC_Prcnt, "CPU_OC_Prcnt", "%"},
    {Field::Vcore_OC_Prcnt, "Vcore_OC_Prcnt", "%"},
    {Field::Label18, "Label18", "%"},
    {Field::DDR_OC_Prcnt, "DDR_OC_Prcnt", "%"},
    {Field::PCxxxxMHz, "PCxxxxMHz", "200 MHz"},
    {Field::PCxxxx, "PCxxxx", "PC3200"},
    {Field::Label17, "Label17", "0"},
    {Field::CPU_Identity, "CPU_Identity", "CPU Model #"},
    {Field::CPU_Stepping, "CPU_Stepping", "Stepping"},
    {Field::NamePlates18, "NamePlates(18)", "12/31/1999"},
    {Field::NamePlates19, "NamePlates(19)", "12/31/1999"},
    {Field::NamePlates20, "NamePlates(20)", "0.0.0.0.0"},
}};

constexpr std::string_view fieldName(Field f)
{
    return Fields[index(f)].name;
}

// The field with this exact (case-sensitive) name, if any.
[[nodiscard]] std::optional<Field> fieldByName(std::string_view name);

} // namespace clockdeck
