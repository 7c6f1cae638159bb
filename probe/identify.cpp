// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Clockdeck developers
#include "identify.h"

#include "calc/calculator.h"
#include "calc/numbertext.h"
#include "calc/text.h"

#include <array>
#include <cmath>
#include <cstdint>

namespace clockdeck {

namespace {

struct RevisionRule
{
    std::string_view model;
    std::string_view stepping;
    std::string_view code;
};

// Plain substring tests, so "Model 7" also matches Model 71 and "Stepping 1" matches Stepping 10.
// "DH-DO" ends in the letter O.
constexpr std::array<RevisionRule, 8> RevisionRules{{
    {"Model 7", "Stepping 10", "SH-CG"},
    {"Model 15", "Stepping 0", "DH-CG"},
    {"Model 31", "Stepping 0", "DH-DO"},
    {"Model 35", "Stepping 2", "JH-E6"},
    {"Model 39", "Stepping 1", "SH-E4"},
    {"Model 43", "Stepping 1", "BH-E4"},
    {"Model 47", "Stepping 0", "DH-E3"},
    {"Model 47", "Stepping 2", "BH-E6"},
}};

struct ClockBand
{
    int from;
    int to;
    std::int16_t nominal;
};

constexpr std::array<ClockBand, 17> ClockBands{{
    {1650, 1749, 1700},
    {1750, 1849, 1800},
    {1850, 1949, 1900},
    {1950, 2049, 2000},
    {2050, 2149, 2100},
    {2150, 2249, 2200},
    {2250, 2349, 2300},
    {2350, 2449, 2400},
    {2450, 2549, 2500},
    {2550, 2649, 2600},
    {2650, 2749, 2700},
    {2750, 2849, 2800},
    {2850, 2949, 2900},
    {2950, 3049, 3000},
    {3050, 3149, 3100},
    {3150, 3249, 3200},
    {3250, 3349, 3300},
}};

// X2 rows: the rating (the name's last five characters) selects the first equal row.
struct X2Row
{
    std::string_view rating;
    double above; // applied when the multiplier is above this
    double stockMHz;
    double multiplier;
};

constexpr std::array<X2Row, 5> X2Rows{{
    {"3800+", 10, 2000, 10},
    {"4200+", 11, 2200, 11},
    {"4400+", 11, 2200, 11},
    {"4600+", 12, 2400, 12},
    {"4800+", 12, 2400, 12},
}};

// FX and Opteron rows: every row whose text occurs in the name is tried, in order.
struct ModelRow
{
    std::string_view text;
    double above;
    double stockMHz;
    double multiplier;
    std::string_view stockVcore; // empty: the row leaves StockCPU_Vcore alone
};

constexpr std::array<ModelRow, 4> FxRows{{
    {"53", 12, 2400, 12, "1.5"},
    {"55", 13, 2600, 13, ""},
    {"57", 14, 2800, 14, ""},
    {"60", 13, 2600, 13, ""},
}};

constexpr std::array<ModelRow, 10> OpteronRows{{
    {"144", 9, 1800, 9, ""},
    {"146", 10, 2000, 10, ""},
    {"148", 11, 2200, 11, ""},
    {"150", 12, 2400, 12, ""},
    {"152", 13, 2600, 13, ""},
    {"154", 14, 2800, 14, ""},
    {"165", 9, 1800, 9, ""},
    {"170", 10, 2000, 10, ""},
    {"175", 11, 2200, 11, ""},
    {"180", 12, 2400, 12, ""},
}};

bool contains(std::string_view text, std::string_view part)
{
    return text.find(part) != std::string_view::npos;
}

double number(const Calculator& calc, Field f)
{
    return ParseLeadingNumber(calc.text(f));
}

// A number as a 16-bit integer the way the original conversion does it: halves to even, and values outside the
// 16-bit range (which two characters of text cannot reach) held at its ends.
std::int16_t toInt16(double x)
{
    if (!(x >= -32768.5)) {
        return -32768;
    }
    if (x > 32767.5) {
        return 32767;
    }
    return static_cast<std::int16_t>(std::nearbyint(x));
}

// BusSpeed from the boot clock and the multiplier as they stand; "###" rounds to a whole number.
void setReferenceClock(Calculator& calc)
{
    const double multiplier = number(calc, Field::Multiplier);
    if (multiplier == 0) {
        return; // cannot happen after the multiplier's range check; kept so no division by zero can
    }
    calc.setText(Field::BusSpeed, FormatNumberPattern(number(calc, Field::Label17) / multiplier, "###"));
}

void applyRows(Calculator& calc, std::string_view name, const auto& rows)
{
    for (const auto& row : rows) {
        // The multiplier is read afresh for every row: an earlier row may have lowered it.
        if (contains(name, row.text) && number(calc, Field::Multiplier) > row.above) {
            calc.setText(Field::StockCPU_MHz, NumberToText(row.stockMHz));
            calc.setText(Field::Multiplier, NumberToText(row.multiplier));
            if (!row.stockVcore.empty()) {
                calc.setText(Field::StockCPU_Vcore, row.stockVcore);
            }
        }
    }
}

} // namespace

std::string PadHex(std::int16_t Value)
{
    constexpr char Digits[] = "0123456789ABCDEF";
    auto bits = static_cast<std::uint16_t>(Value);
    std::string hex;
    do {
        hex.insert(hex.begin(), Digits[bits & 0xFU]);
        bits = static_cast<std::uint16_t>(bits >> 4);
    } while (bits != 0);
    if (hex.size() < 2) {
        hex.insert(hex.begin(), '0');
    }
    return hex;
}

std::string RevisionCode(std::string_view identifier)
{
    std::string_view code;
    for (const auto& rule : RevisionRules) {
        if (contains(identifier, rule.model) && contains(identifier, rule.stepping)) {
            code = rule.code;
        }
    }
    return std::string(code);
}

std::int16_t NominalClock(double bootMHz)
{
    for (const auto& band : ClockBands) {
        if (bootMHz >= band.from && bootMHz <= band.to) {
            return band.nominal;
        }
    }
    return 0;
}

bool isFxProcessor(std::string_view name)
{
    return contains(name, "FX");
}

void IdentifyRevision(Calculator& calc)
{
    const std::string identifier = calc.text(Field::CPU_Stepping);
    const std::string code = RevisionCode(identifier);
    if (code.empty()) {
        return;
    }
    std::string revision = "Revision: " + code;
    if (contains(identifier, "Stepping")) {
        // The stepping number is the identifier's last two characters ("10", or " 2" with the blank skipped).
        const std::string_view lastTwo = std::string_view(identifier).substr(identifier.size() - 2);
        revision += "     Stepping: " + PadHex(toInt16(ParseLeadingNumber(lastTwo)));
    }
    // The model number: up to two characters after "Model" and one blank.
    const auto model = identifier.find("Model");
    const std::size_t start = model == std::string::npos ? 5 : model + 6;
    const std::string_view modelDigits =
        start < identifier.size() ? std::string_view(identifier).substr(start, 2) : std::string_view();
    calc.setText(Field::CPU_Stepping,
                 "Model: " + PadHex(toInt16(ParseLeadingNumber(modelDigits))) + "     " + revision);
}

void SetNominalClock(Calculator& calc)
{
    const std::int16_t nominal = NominalClock(number(calc, Field::Label17));
    calc.setText(Field::Multiplier, NumberToText(nominal / 200.0));
    // Reads the multiplier the range check left, so the stock clock follows a clamped multiplier.
    calc.setText(Field::StockCPU_MHz, NumberToText(number(calc, Field::Multiplier) * 200));
}

void ApplyModelTables(Calculator& calc)
{
    const std::string name = calc.text(Field::CPU_Identity);
    // A name shorter than the five characters of a rating used to end the whole load here, leaving BusSpeed and
    // the HyperTransport multiplier unchecked on a machine that reports no name. It now counts as a name with no
    // rating that matches no table, so the load goes on.
    if (name.size() < 5) {
        return;
    }
    const std::string_view head = std::string_view(name).substr(0, name.size() - 5);
    const std::string_view rating = trimBlanks(std::string_view(name).substr(name.size() - 5));

    if (contains(head, "X2 Dual Core")) {
        for (const auto& row : X2Rows) {
            if (row.rating == rating) {
                if (number(calc, Field::Multiplier) > row.above) {
                    calc.setText(Field::StockCPU_MHz, NumberToText(row.stockMHz));
                    calc.setText(Field::Multiplier, NumberToText(row.multiplier));
                }
                break;
            }
        }
        setReferenceClock(calc);
    }
    if (isFxProcessor(name)) {
        applyRows(calc, name, FxRows);
        setReferenceClock(calc);
    }
    if (contains(name, "Opteron")) {
        applyRows(calc, name, OpteronRows);
        setReferenceClock(calc);
    }
}

} // namespace clockdeck
