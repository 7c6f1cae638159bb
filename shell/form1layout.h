// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Clockdeck developers
#pragma once

#include "calc/field.h"
#include "calc/spin.h"

#include <array>
#include <cstdint>
#include <optional>
#include <string_view>

// Where every element of the main window stands, what it says and how it looks. Positions and sizes are in twips
// (1/1440 inch) as the window was designed; at 96 dpi 15 twips make one pixel. Texts are UTF-8.
namespace clockdeck::layout {

inline constexpr int TwipsPerPixel = 15;
constexpr int px(int twips)
{
    return (twips + TwipsPerPixel / 2) / TwipsPerPixel;
}

// The client area, where every element is laid out.
inline constexpr int WindowWidth = 379;  // 5685 twips
inline constexpr int WindowHeight = 323; // 4845 twips

// A window without a title bar gets no frame from the window system, so the window draws the thin single line a
// fixed window has round its client area itself: the window is the client area and this frame on every side.
inline constexpr int FrameWidth = 1;
inline constexpr int OuterWidth = WindowWidth + 2 * FrameWidth;
inline constexpr int OuterHeight = WindowHeight + 2 * FrameWidth;

// A position in the client area, in twips, as a pixel position in the window.
constexpr int at(int twips)
{
    return FrameWidth + px(twips);
}

enum class LabelStyle : std::uint8_t
{
    Caption,     // grey, sans 8.25 pt bold
    Input,       // dark green, sans 12 pt bold
    Percentage,  // green, sans 12 pt bold
    Result,      // orange-brown, sans 12 pt bold
    InfoCaption, // grey, default font
    InfoValue,   // dark green, default font
    Rating,      // PCxxxx: dark green, Verdana 9.75 pt bold
    Heading,     // Label1: dark red, sans 8.25 pt bold
    Identity,    // CPU_Identity: white, sans 8.25 pt bold
    Stepping,    // CPU_Stepping: light green, Arial 9 pt
    ArialLink,   // light green, Arial 8.25 pt underlined
    SansLink,    // light green, sans 8.25 pt underlined
};

enum class Align : std::uint8_t
{
    Left,
    Centre
};

struct LabelRow
{
    std::string_view name;      // element name; "NamePlates(N)" for the label array
    std::optional<Field> field; // the calculator field it shows, if any
    std::string_view text;      // initial text of a label that shows no field
    LabelStyle style;
    int left, top, width, height;
    Align align;
    bool autoSize;
    std::string_view toolTip;
};

using enum LabelStyle;
using enum Align;

// In creation order, which is also painting order: later rows are drawn over earlier ones. One element per row, as
// it was laid out, kept out of the formatter's reach.
// clang-format off
inline constexpr std::array<LabelRow, 49> Labels{{
    // Links on the dark band below the title.
    {"NamePlates(24)", {}, "AMD Forum", ArialLink, 315, 390, 840, 210, Left, false, "Visit AMD Forums"},
    {"NamePlates(25)", {}, "Tarnwick Software", ArialLink, 2085, 390, 1425, 210, Left, false,
     "Visit Tarnwick Software"},
    {"NamePlates(26)", {}, "AMD Updates", SansLink, 4410, 390, 1005, 195, Left, false,
     "AMD Athlon™ 64 Processor Utilities, Drivers, & Updates"},
    {"Label1", {}, "Stock Settings", Heading, 2295, 660, 1290, 195, Left, false, ""},
    // Row 1: stock settings.
    {"NamePlates(1)", {}, "CPU MHz", Caption, 180, 930, 825, 195, Left, false, "Default CPU MHz"},
    {"NamePlates(2)", {}, "Vcore", Caption, 1395, 930, 510, 195, Left, false, "Default CPU Voltage"},
    {"NamePlates(4)", {}, "VDimm", Caption, 2745, 930, 585, 195, Left, false, "Default Ram Voltage"},
    {"NamePlates(0)", {}, "Installed Ram", Caption, 4185, 930, 1170, 195, Left, false, ""},
    {"StockCPU_MHz", Field::StockCPU_MHz, "", Input, 180, 1170, 675, 300, Centre, false, "Default CPU MHz"},
    {"StockCPU_Vcore", Field::StockCPU_Vcore, "", Input, 1395, 1170, 615, 300, Centre, true, "Default CPU Voltage"},
    {"Stock_Vdimm", Field::Stock_Vdimm, "", Input, 2745, 1170, 390, 300, Left, true, "Default Ram Voltage"},
    {"PCxxxx", Field::PCxxxx, "", Rating, 4185, 1125, 960, 300, Left, false, ""},
    {"PCxxxxMHz", Field::PCxxxxMHz, "", InfoCaption, 4305, 1365, 750, 210, Left, false, ""},
    // Row 2: overclock settings, and the information lines of the fourth column.
    {"NamePlates(8)", {}, "OC CLK", Caption, 180, 1710, 675, 195, Left, false,
     "AMD64 s754 & s939 use a 200 MHz clock by default"},
    {"NamePlates(3)", {}, "OC Vcore", Caption, 1395, 1710, 825, 195, Left, false, "User Adjusted CPU Voltage"},
    {"NamePlates(5)", {}, "OC VDimm", Caption, 2745, 1710, 900, 195, Left, false, "User Adjusted Ram Voltage"},
    {"NamePlates(17)", {}, "AMD CPU Driver", InfoCaption, 4170, 1740, 1200, 195, Left, true, ""},
    {"BusSpeed", Field::BusSpeed, "", Input, 180, 1965, 615, 300, Centre, true,
     "AMD64 s754 & s939 use a 200 MHz clock by default"},
    {"OverClock_CPU_Vcore", Field::OverClock_CPU_Vcore, "", Input, 1425, 1965, 555, 300, Centre, true,
     "User Adjusted CPU Voltage"},
    {"OC_Vdimm", Field::OC_Vdimm, "", Input, 2745, 1965, 810, 300, Left, false, "User Adjusted Ram Voltage"},
    {"NamePlates(20)", Field::NamePlates20, "", InfoValue, 4170, 1920, 1260, 195, Left, false, ""},
    {"NamePlates(22)", {}, "BIOS ", InfoCaption, 4200, 2205, 420, 195, Left, false, ""},
    {"NamePlates(18)", Field::NamePlates18, "", InfoValue, 4200, 2385, 1080, 195, Left, false, ""},
    // Row 3: multipliers.
    {"NamePlates(9)", {}, "CPU Mult", Caption, 180, 2445, 810, 195, Left, false,
     "CPU Multiplier x Bus Speed = CPU MHz"},
    {"NamePlates(7)", {}, "HT Mult", Caption, 1395, 2445, 690, 195, Left, false,
     "HyperTransport™ technology is a high speed, high performance chip-to-chip interconnect, Typical 800 / 1000 "
     "MHz DDR"},
    {"NamePlates(6)", {}, "Ram Div", Caption, 2745, 2445, 735, 195, Left, false,
     "DDR Ram Divider ( 200 = DDR 400, 166 = DDR 333. etc,etc)"},
    {"NamePlates(23)", {}, "Video BIOS", InfoCaption, 4200, 2670, 825, 195, Left, true, ""},
    {"Multiplier", Field::Multiplier, "", Input, 270, 2700, 465, 300, Centre, false,
     "CPU Multiplier x Bus Speed = CPU MHz"},
    {"HyperTransport", Field::HyperTransport, "", Input, 1425, 2700, 615, 300, Centre, false,
     "HyperTransport™ is primarily intended for use on a system board within distances of up to 24 inches."},
    {"SelectDDR", Field::SelectDDR, "", Input, 2670, 2685, 630, 300, Centre, false,
     "DDR Ram Divider ( 200 = DDR 400, 166 = DDR 333. etc,etc)"},
    {"NamePlates(19)", Field::NamePlates19, "", InfoValue, 4200, 2850, 1110, 195, Left, false, ""},
    // Row 4: percentages.
    {"NamePlates(12)", {}, "CPU OC", Caption, 180, 3270, 705, 195, Left, false, ""},
    {"NamePlates(13)", {}, "Vcore Push", Caption, 1395, 3270, 990, 195, Left, false, ""},
    {"NamePlates(14)", {}, "VDimm Push", Caption, 2745, 3255, 1065, 195, Left, false, ""},
    {"NamePlates(21)", {}, "Ram OC", Caption, 4185, 3255, 705, 195, Left, false, ""},
    {"CPU_OC_Prcnt", Field::CPU_OC_Prcnt, "", Percentage, 180, 3435, 240, 300, Left, true, ""},
    {"Vcore_OC_Prcnt", Field::Vcore_OC_Prcnt, "", Percentage, 1395, 3465, 240, 300, Left, true, ""},
    {"Label18", Field::Label18, "", Percentage, 2745, 3465, 240, 300, Left, true, ""},
    {"DDR_OC_Prcnt", Field::DDR_OC_Prcnt, "", Percentage, 4185, 3465, 240, 300, Left, true, ""},
    // Row 5: results, each value above its caption.
    {"shwCPU_MHz", Field::shwCPU_MHz, "", Result, 510, 3810, 180, 300, Centre, true, ""},
    {"Label17", Field::Label17, "", Result, 1695, 3810, 195, 300, Centre, true,
     "CPU MHz Recorded @ Boot Up by Windows"},
    {"shwDDR_MHz", Field::shwDDR_MHz, "", Result, 3045, 3810, 180, 300, Centre, true, ""},
    {"Label13", Field::Label13, "", Result, 4410, 3810, 195, 300, Centre, true, "Typical 800 / 1000 MHz DDR"},
    {"NamePlates(10)", {}, "CPU MHz", Caption, 180, 4095, 825, 180, Left, false, ""},
    {"NamePlates(16)", {}, "Detected", Caption, 1395, 4095, 795, 195, Left, false,
     "CPU MHz Recorded @ Boot Up by Windows"},
    {"NamePlates(11)", {}, "Ram MHz", Caption, 2745, 4095, 825, 195, Left, false, ""},
    {"NamePlates(15)", {}, "HT MHz", Caption, 4185, 4110, 705, 195, Left, false, "Typical 800 / 1000 MHz DDR"},
    // The bottom band: processor name and identification.
    {"CPU_Identity", Field::CPU_Identity, "", Identity, 30, 4395, 5625, 210, Centre, false, ""},
    {"CPU_Stepping", Field::CPU_Stepping, "", Stepping, 0, 4620, 5640, 210, Centre, false, ""},
}};
// clang-format on
static_assert(!Labels.back().name.empty(), "every row of the label table is filled in");

// What each value is called: the caption beside (or below) it, as a screen reader names the value and the spin
// control that steps it. The processor lines have no caption and are named for what they show.
struct ValueCaption
{
    Field field;
    std::string_view caption;
};
inline constexpr std::array<ValueCaption, 25> ValueCaptions{{
    {Field::StockCPU_MHz, "CPU MHz"},
    {Field::StockCPU_Vcore, "Vcore"},
    {Field::Stock_Vdimm, "VDimm"},
    {Field::PCxxxx, "Installed Ram"},
    {Field::PCramNum, "Installed Ram"},
    {Field::PCxxxxMHz, "Installed Ram clock"},
    {Field::BusSpeed, "OC CLK"},
    {Field::OverClock_CPU_Vcore, "OC Vcore"},
    {Field::OC_Vdimm, "OC VDimm"},
    {Field::NamePlates20, "AMD CPU Driver"},
    {Field::NamePlates18, "BIOS"},
    {Field::Multiplier, "CPU Mult"},
    {Field::HyperTransport, "HT Mult"},
    {Field::SelectDDR, "Ram Div"},
    {Field::NamePlates19, "Video BIOS"},
    {Field::CPU_OC_Prcnt, "CPU OC"},
    {Field::Vcore_OC_Prcnt, "Vcore Push"},
    {Field::Label18, "VDimm Push"},
    {Field::DDR_OC_Prcnt, "Ram OC"},
    {Field::shwCPU_MHz, "CPU MHz"},
    {Field::Label17, "Detected"},
    {Field::shwDDR_MHz, "Ram MHz"},
    {Field::Label13, "HT MHz"},
    {Field::CPU_Identity, "Processor"},
    {Field::CPU_Stepping, "Processor identification"},
}};

constexpr std::string_view captionOf(Field field)
{
    for (const ValueCaption& row : ValueCaptions) {
        if (row.field == field) {
            return row.caption;
        }
    }
    return {};
}

// The unfilled outline round the first row.
struct OutlineRow
{
    int left, top, width, height;
};
inline constexpr OutlineRow Shape1{120, 885, 5460, 720};

// The ten spin controls, in Tab order.
struct SpinRow
{
    Spin spin;
    int left, top, width, height;
};
inline constexpr std::array<SpinRow, 10> SpinControls{{
    {Spin::VScroll4, 825, 1170, 180, 360},
    {Spin::VScroll3, 2107, 1170, 180, 360},
    {Spin::VScroll9, 3435, 1170, 180, 375},
    {Spin::VScroll6, 825, 1950, 180, 360},
    {Spin::VScroll1, 2107, 1950, 180, 360},
    {Spin::VScroll10, 3435, 1950, 180, 360},
    {Spin::VScroll7, 825, 2685, 180, 360},
    {Spin::VScroll8, 2107, 2685, 180, 360},
    {Spin::VScroll2, 3420, 2685, 180, 360},
    {Spin::VScroll5, 5295, 1185, 180, 360},
}};

// The picture buttons in the title band, left to right.
struct ButtonRow
{
    int number; // ImageN
    int left, top, width, height;
    std::string_view toolTip;
};
inline constexpr std::array<ButtonRow, 4> Buttons{{
    {4, 3660, 45, 390, 300, "Left Click - Append Results :   Right Click - Open Results"},
    {3, 4065, 45, 675, 300, "Copy To Clipboard"},
    {1, 4830, 60, 390, 285, "Minimize To Tray"},
    {2, 5265, 60, 375, 285, " EXIT "},
}};

// The value labels whose spin control the mouse wheel steps: every input shown, and the module rating lines,
// through which the hidden module clock is shown.
struct WheelTarget
{
    Field field;
    Spin spin;
};
inline constexpr std::array<WheelTarget, 11> WheelTargets{{
    {Field::StockCPU_MHz, Spin::VScroll4},
    {Field::StockCPU_Vcore, Spin::VScroll3},
    {Field::Stock_Vdimm, Spin::VScroll9},
    {Field::BusSpeed, Spin::VScroll6},
    {Field::OverClock_CPU_Vcore, Spin::VScroll1},
    {Field::OC_Vdimm, Spin::VScroll10},
    {Field::Multiplier, Spin::VScroll7},
    {Field::HyperTransport, Spin::VScroll8},
    {Field::SelectDDR, Spin::VScroll2},
    {Field::PCxxxx, Spin::VScroll5},
    {Field::PCxxxxMHz, Spin::VScroll5},
}};

} // namespace clockdeck::layout
