// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Clockdeck developers
#include "calc/calculator.h"
#include "probe/identify.h"

#include "../calc/recordingsink.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace clockdeck;
using clockdeck::test::RecordingSink;

namespace {

// ---- PadHex

TEST(Identify, PadHexWritesAtLeastTwoUpperCaseDigits)
{
    const struct
    {
        std::int16_t value;
        const char* expected;
    } cases[] = {
        {0, "00"},    {2, "02"},    {10, "0A"},      {15, "0F"},   {47, "2F"},       {255, "FF"},
        {256, "100"}, {300, "12C"}, {32767, "7FFF"}, {-1, "FFFF"}, {-32768, "8000"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(PadHex(c.value), c.expected) << c.value;
    }
}

// ---- Core revision

struct RevisionCase
{
    const char* name;
    const char* identifier;
    const char* expected; // CPU_Stepping afterwards
};

TEST(Identify, RevisionLineFromTheIdentifier)
{
    const RevisionCase cases[] = {
        {"rule 1", "x86 Family 15 Model 7 Stepping 10", "Model: 07     Revision: SH-CG     Stepping: 0A"},
        {"rule 7 only", "x86 Family 15 Model 47 Stepping 0", "Model: 2F     Revision: DH-E3     Stepping: 00"},
        {"rule 8 only", "x86 Family 15 Model 47 Stepping 2", "Model: 2F     Revision: BH-E6     Stepping: 02"},
        {"Stepping 10 holds Stepping 1", "x86 Family 15 Model 39 Stepping 10",
         "Model: 27     Revision: SH-E4     Stepping: 0A"},
        {"Model 71 holds Model 7", "x86 Family 15 Model 71 Stepping 10",
         "Model: 47     Revision: SH-CG     Stepping: 0A"},
        // Model 15 Stepping 0 matches rule 2; "Model 15" does not hold "Model 1x" of any later rule.
        {"rule 2", "x86 Family 15 Model 15 Stepping 0", "Model: 0F     Revision: DH-CG     Stepping: 00"},
        // "DH-DO" ends in the letter O.
        {"rule 3", "x86 Family 15 Model 31 Stepping 0", "Model: 1F     Revision: DH-DO     Stepping: 00"},
        {"rule 4", "x86 Family 15 Model 35 Stepping 2", "Model: 23     Revision: JH-E6     Stepping: 02"},
        {"rule 6", "x86 Family 15 Model 43 Stepping 1", "Model: 2B     Revision: BH-E4     Stepping: 01"},
        {"no rule", "x86 Family 15 Model 4 Stepping 8", "x86 Family 15 Model 4 Stepping 8"},
        {"letter case counts", "x86 family 15 model 7 stepping 10", "x86 family 15 model 7 stepping 10"},
        {"empty identifier", "", ""},
        // The stepping number is whatever the last two characters give.
        {"stepping from the last two characters", "Model 47 Stepping 2 (rev)",
         "Model: 2F     Revision: BH-E6     Stepping: 00"},
    };
    for (const auto& c : cases) {
        RecordingSink sink;
        Calculator calc(sink);
        calc.setText(Field::CPU_Stepping, c.identifier);
        IdentifyRevision(calc);
        EXPECT_EQ(calc.text(Field::CPU_Stepping), c.expected) << c.name;
    }
}

TEST(Identify, LastMatchingRuleWins)
{
    // Rules 7 and 8 both match: both steppings occur, and rule 8 comes last.
    EXPECT_EQ(RevisionCode("Model 47 Stepping 0 Stepping 2"), "BH-E6");
    // Rules 1 and 5 both match; rule 5 comes last.
    EXPECT_EQ(RevisionCode("Model 7 Model 39 Stepping 10"), "SH-E4");
}

// ---- Nominal stock clock

TEST(Identify, ClockBandsAreClosedAndHundredWide)
{
    const struct
    {
        double boot;
        int nominal;
    } cases[] = {
        {0, 0},       {1649, 0},    {1649.5, 0},  {1650, 1700}, {1749, 1700}, {1749.5, 0}, {1750, 1800}, {2049, 2000},
        {2050, 2100}, {2211, 2200}, {2249, 2200}, {2250, 2300}, {3349, 3300}, {3350, 0},   {-2200, 0},   {1e12, 0},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(NominalClock(c.boot), c.nominal) << c.boot;
    }
}

struct LoadCase
{
    const char* name;
    const char* processorName;
    const char* bootMHz;
    const char* multiplier;
    const char* stockMHz;
    const char* busSpeed;
    const char* stockVcore = "1.35";
};

// Runs the nominal clock and the model tables as the load does, from the window's initial texts.
class ModelTables : public ::testing::Test
{
protected:
    void identify(const LoadCase& c)
    {
        calc.reset();
        calc.setText(Field::Label17, c.bootMHz);
        calc.setText(Field::CPU_Identity, c.processorName);
        SetNominalClock(calc);
        ApplyModelTables(calc);
    }

    RecordingSink sink;
    Calculator calc{sink};
};

TEST_F(ModelTables, StockValuesAndReferenceClock)
{
    const LoadCase cases[] = {
        {"X2 at stock multiplier keeps it", "AMD Athlon(tm) 64 X2 Dual Core Processor 4400+", "2211", "11", "2200",
         "201"},
        {"X2 above its multiplier is brought back", "AMD Athlon(tm) 64 X2 Dual Core Processor 4400+", "2412", "11",
         "2200", "219"},
        {"X2 slowed at boot", "AMD Athlon(tm) 64 X2 Dual Core Processor 4400+", "1000", "4", "1000", "250"},
        {"X2 3800+", "AMD Athlon(tm) 64 X2 Dual Core Processor 3800+", "2211", "10", "2000", "221"},
        {"X2 4800+ below its multiplier", "AMD Athlon(tm) 64 X2 Dual Core Processor 4800+", "2211", "11", "2200",
         "201"},
        {"X2 rating followed by a blank matches no row", "AMD Athlon(tm) 64 X2 Dual Core Processor 4400+ ", "2412",
         "12", "2400", "201"},
        {"X2 unknown rating still sets the clock", "AMD Athlon(tm) 64 X2 Dual Core Processor 5000+", "2600", "13",
         "2600", "200"},
        {"FX-53 takes its stock voltage", "AMD Athlon(tm) 64 FX-53 Processor", "2600", "12", "2400", "217", "1.5"},
        {"FX-55 at its own multiplier", "AMD Athlon(tm) 64 FX-55 Processor", "2600", "13", "2600", "200"},
        {"FX-57 above", "AMD Athlon(tm) 64 FX-57 Processor", "3000", "14", "2800", "214"},
        // Rows are tried in order with the multiplier read afresh: row 55 lowers 15 to 13, so row 57 (above 14)
        // no longer applies.
        {"multiplier read afresh per row", "AMD Athlon(tm) 64 FX-55/57", "3300", "13", "2600", "254"},
        {"Opteron 165", "Dual Core AMD Opteron(tm) Processor 165", "2000", "9", "1800", "222"},
        {"Opteron 144 at stock", "AMD Opteron(tm) Processor 144", "1800", "9", "1800", "200"},
        {"Opteron 180 overclocked", "Dual Core AMD Opteron(tm) Processor 180", "2900", "12", "2400", "242"},
        {"plain Athlon 64", "AMD Athlon(tm) 64 Processor 3000+", "1810", "9", "1800", "200"},
        {"nominal clock above 15 times 200", "AMD Athlon(tm) 64 Processor 3000+", "3300", "15", "3000", "200"},
        {"empty name", "", "2211", "11", "2200", "200"},
        // Names too short to hold a rating match no table, even when they hold a family's text.
        {"four characters", "FX53", "2600", "13", "2600", "200"},
        {"five characters", "FX-53", "2600", "12", "2400", "217", "1.5"},
    };
    for (const auto& c : cases) {
        identify(c);
        SCOPED_TRACE(c.name);
        EXPECT_EQ(calc.text(Field::Multiplier), c.multiplier);
        EXPECT_EQ(calc.text(Field::StockCPU_MHz), c.stockMHz);
        EXPECT_EQ(calc.text(Field::BusSpeed), c.busSpeed);
        EXPECT_EQ(calc.text(Field::StockCPU_Vcore), c.stockVcore);
    }
    EXPECT_TRUE(sink.updateFaults.empty());
}

TEST_F(ModelTables, WritesClockThenMultiplierThenVoltageEachThroughItsHandler)
{
    std::vector<std::string> writes;
    calc.fields().subscribe([&](Field f) {
        if (f == Field::StockCPU_MHz || f == Field::Multiplier || f == Field::StockCPU_Vcore || f == Field::BusSpeed) {
            writes.push_back(std::string(fieldName(f)) + "=" + calc.text(f));
        }
    });
    calc.setText(Field::Label17, "2600");
    calc.setText(Field::CPU_Identity, "AMD Athlon(tm) 64 FX-53 Processor");
    SetNominalClock(calc);
    ApplyModelTables(calc);
    const std::vector<std::string> expected{"Multiplier=13", "StockCPU_MHz=2600",  "StockCPU_MHz=2400",
                                            "Multiplier=12", "StockCPU_Vcore=1.5", "BusSpeed=217"};
    EXPECT_EQ(writes, expected);
    // Every write ran Update: the derived fields follow the last one.
    EXPECT_EQ(calc.text(Field::shwCPU_MHz), "2604");
}

TEST_F(ModelTables, NominalClockThroughTheRangeChecks)
{
    const struct
    {
        const char* boot;
        const char* multiplier;
        const char* stockMHz;
    } cases[] = {
        {"1649", "4", "1000"},    {"1650", "8.5", "1700"}, {"1900", "9.5", "1900"}, {"2249", "11", "2200"},
        {"2250", "11.5", "2300"}, {"3350", "4", "1000"},   {"0", "4", "1000"},      {"abc", "4", "1000"},
    };
    for (const auto& c : cases) {
        calc.reset();
        calc.setText(Field::Label17, c.boot);
        SetNominalClock(calc);
        EXPECT_EQ(calc.text(Field::Multiplier), c.multiplier) << c.boot;
        EXPECT_EQ(calc.text(Field::StockCPU_MHz), c.stockMHz) << c.boot;
    }
}

} // namespace
