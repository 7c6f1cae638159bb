// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Clockdeck developers
#include "calc/calculator.h"
#include "probe/identify.h"

#include "support/recordingsink.h"

#include <gtest/gtest.h>

#include <string>

using namespace clockdeck;
using clockdeck::test::RecordingSink;

namespace {

TEST(Identify, PadHexWritesAtLeastTwoUpperCaseDigits)
{
    const std::pair<std::int16_t, const char*> cases[] = {
        {0, "00"},    {2, "02"},    {10, "0A"},      {15, "0F"},   {47, "2F"},       {255, "FF"},
        {256, "100"}, {300, "12C"}, {32767, "7FFF"}, {-1, "FFFF"}, {-32768, "8000"},
    };
    for (const auto& [value, expected] : cases) {
        EXPECT_EQ(PadHex(value), expected) << value;
    }
}

// The rules the saved profiles hit (SH-CG, JH-E6, BH-E4, BH-E6) are checked through the reports of clockdeck-cli.
TEST(Identify, RevisionLineFromTheIdentifier)
{
    const std::pair<const char*, const char*> cases[] = {
        {"x86 Family 15 Model 47 Stepping 0", "Model: 2F     Revision: DH-E3     Stepping: 00"},
        // Plain substring matches: Stepping 10 holds "Stepping 1", Model 71 holds "Model 7".
        {"x86 Family 15 Model 39 Stepping 10", "Model: 27     Revision: SH-E4     Stepping: 0A"},
        {"x86 Family 15 Model 71 Stepping 10", "Model: 47     Revision: SH-CG     Stepping: 0A"},
        {"x86 Family 15 Model 15 Stepping 0", "Model: 0F     Revision: DH-CG     Stepping: 00"},
        {"x86 Family 15 Model 31 Stepping 0", "Model: 1F     Revision: DH-DO     Stepping: 00"},
        // Every rule is tried and the last that matches wins.
        {"Model 47 Stepping 0 Stepping 2", "Model: 2F     Revision: BH-E6     Stepping: 02"},
        {"Model 7 Model 39 Stepping 10", "Model: 07     Revision: SH-E4     Stepping: 0A"},
        {"x86 Family 15 Model 4 Stepping 8", "x86 Family 15 Model 4 Stepping 8"},
        {"x86 family 15 model 7 stepping 10", "x86 family 15 model 7 stepping 10"},
        {"", ""},
        // The stepping number is whatever the last two characters give.
        {"Model 47 Stepping 2 (rev)", "Model: 2F     Revision: BH-E6     Stepping: 00"},
    };
    for (const auto& [identifier, expected] : cases) {
        RecordingSink sink;
        Calculator calc(sink);
        calc.setText(Field::CPU_Stepping, identifier);
        IdentifyRevision(calc);
        EXPECT_EQ(calc.text(Field::CPU_Stepping), expected) << identifier;
    }
}

TEST(Identify, NominalClockBandsAndTheMultiplierRangeCheck)
{
    const struct
    {
        const char* boot;
        int nominal;
        const char* multiplier;
        const char* stockMHz;
    } cases[] = {
        {"0", 0, "4", "1000"},          {"1649", 0, "4", "1000"},          {"1649.5", 0, "4", "1000"},
        {"1650", 1700, "8.5", "1700"},  {"1749", 1700, "8.5", "1700"},     {"1749.5", 0, "4", "1000"},
        {"1750", 1800, "9", "1800"},    {"2050", 2100, "10.5", "2100"},    {"2249", 2200, "11", "2200"},
        {"2250", 2300, "11.5", "2300"}, {"3349", 3300, "15", "3000"},      {"3350", 0, "4", "1000"},
        {"-2200", 0, "4", "1000"},      {"1000000000000", 0, "4", "1000"},
    };
    RecordingSink sink;
    Calculator calc(sink);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.boot);
        EXPECT_EQ(NominalClock(std::stod(c.boot)), c.nominal);
        calc.reset();
        calc.setText(Field::Label17, c.boot);
        SetNominalClock(calc);
        EXPECT_EQ(calc.text(Field::Multiplier), c.multiplier);
        EXPECT_EQ(calc.text(Field::StockCPU_MHz), c.stockMHz);
    }
}

// Runs the nominal clock and the model tables as the load does, from the window's initial texts.
TEST(Identify, ModelTablesSetStockValuesAndTheReferenceClock)
{
    const struct
    {
        const char* processorName;
        const char* bootMHz;
        const char* multiplier;
        const char* stockMHz;
        const char* busSpeed;
        const char* stockVcore = "1.35";
    } cases[] = {
        {"AMD Athlon(tm) 64 X2 Dual Core Processor 4400+", "2412", "11", "2200", "219"},
        {"AMD Athlon(tm) 64 X2 Dual Core Processor 4400+", "1000", "4", "1000", "250"},
        {"AMD Athlon(tm) 64 X2 Dual Core Processor 3800+", "2211", "10", "2000", "221"},
        {"AMD Athlon(tm) 64 X2 Dual Core Processor 4800+", "2211", "11", "2200", "201"},
        // A rating followed by a blank, or an unknown rating, matches no row; the clock is still worked out.
        {"AMD Athlon(tm) 64 X2 Dual Core Processor 4400+ ", "2412", "12", "2400", "201"},
        {"AMD Athlon(tm) 64 X2 Dual Core Processor 5000+", "2600", "13", "2600", "200"},
        {"AMD Athlon(tm) 64 FX-55 Processor", "2600", "13", "2600", "200"},
        {"AMD Athlon(tm) 64 FX-57 Processor", "3000", "14", "2800", "214"},
        // The multiplier is read afresh per row: row 55 lowers 15 to 13, so row 57 (above 14) no longer applies.
        {"AMD Athlon(tm) 64 FX-55/57", "3300", "13", "2600", "254"},
        {"AMD Opteron(tm) Processor 144", "1800", "9", "1800", "200"},
        {"Dual Core AMD Opteron(tm) Processor 180", "2900", "12", "2400", "242"},
        {"AMD Athlon(tm) 64 Processor 3000+", "3300", "15", "3000", "200"},
        // A name too short to hold a rating matches no table, even when it holds a family's text.
        {"FX53", "2600", "13", "2600", "200"},
        {"FX-53", "2600", "12", "2400", "217", "1.5"},
    };
    RecordingSink sink;
    Calculator calc(sink);
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.processorName) + " at " + c.bootMHz);
        calc.reset();
        calc.setText(Field::Label17, c.bootMHz);
        calc.setText(Field::CPU_Identity, c.processorName);
        SetNominalClock(calc);
        ApplyModelTables(calc);
        EXPECT_EQ(calc.text(Field::Multiplier), c.multiplier);
        EXPECT_EQ(calc.text(Field::StockCPU_MHz), c.stockMHz);
        EXPECT_EQ(calc.text(Field::BusSpeed), c.busSpeed);
        EXPECT_EQ(calc.text(Field::StockCPU_Vcore), c.stockVcore);
    }
    EXPECT_TRUE(sink.updateFaults.empty());
}

} // namespace
