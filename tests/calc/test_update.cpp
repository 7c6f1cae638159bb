// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Clockdeck developers
#include "support/recordingsink.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>
#include <vector>

using namespace clockdeck;
using clockdeck::test::CalcFixture;

namespace {

struct Setting
{
    Field field;
    const char* text;
};

struct UpdateCase
{
    const char* name;
    std::vector<Setting> inputs; // set in this order, each through its change handler
    std::vector<Setting> expected;
};

// Inputs that start from the window's initial texts; each row proves one visible result of the recomputation.
TEST(Update, DerivedFieldsFollowTheInputs)
{
    const UpdateCase cases[] = {
        {"stock settings",
         {{Field::Multiplier, "11"}},
         {{Field::shwCPU_MHz, "2200"},
          {Field::Label13, "1000"},
          {Field::CPU_OC_Prcnt, "0%"},
          {Field::shwDDR_MHz, "200.0"},
          {Field::DDR_OC_Prcnt, "0%"}}},
        {"multiplier 12", {{Field::Multiplier, "12"}}, {{Field::shwCPU_MHz, "2400"}, {Field::CPU_OC_Prcnt, "+9.1%"}}},
        {"multiplier 10", {{Field::Multiplier, "10"}}, {{Field::shwCPU_MHz, "2000"}, {Field::CPU_OC_Prcnt, "-9.1%"}}},
        {"fractional product",
         {{Field::Multiplier, "9.5"}, {Field::BusSpeed, "201"}},
         {{Field::shwCPU_MHz, "1909.5"}, {Field::Label13, "1005"}}},
        {"equal core voltages keep the pattern text",
         {{Field::OverClock_CPU_Vcore, "1.35"}},
         {{Field::Vcore_OC_Prcnt, "0.0%"}, {Field::Label18, "0%"}}},
        {"core voltage up", {{Field::OverClock_CPU_Vcore, "1.4"}}, {{Field::Vcore_OC_Prcnt, "+3.70%"}}},
        {"memory voltage up", {{Field::OC_Vdimm, "2.65"}}, {{Field::Label18, "+1.92%"}}},
        {"memory voltage down", {{Field::OC_Vdimm, "2.5"}}, {{Field::Label18, "-3.85%"}}},
        {"class 183 divides by 13",
         {{Field::SelectDDR, "183"}},
         {{Field::shwDDR_MHz, "169.23"}, {Field::DDR_OC_Prcnt, "-15.4%"}}},
        {"class 166 multiplier 11", {{Field::SelectDDR, "166"}}, {{Field::shwDDR_MHz, "157.14"}}},
        {"class 166 at 1909.5 MHz",
         {{Field::Multiplier, "9.5"}, {Field::BusSpeed, "201"}, {Field::SelectDDR, "166"}},
         {{Field::shwDDR_MHz, "159.13"}}},
        // The class constants are decimals, not fractions: 10 / (166.66666666666 / 200) lies just above 12.
        {"class 166 constant pushes the divider to 13",
         {{Field::Multiplier, "10"}, {Field::SelectDDR, "166"}},
         {{Field::shwDDR_MHz, "153.85"}}},
        {"class 143 constant keeps the divider at 14",
         {{Field::Multiplier, "10"}, {Field::SelectDDR, "143"}},
         {{Field::shwDDR_MHz, "142.86"}}},
        {"class 133 multiplier 10",
         {{Field::Multiplier, "10"}, {Field::SelectDDR, "133"}},
         {{Field::shwDDR_MHz, "125.0"}}},
        {"class 150 multiplier 10",
         {{Field::Multiplier, "10"}, {Field::SelectDDR, "150"}},
         {{Field::shwDDR_MHz, "142.86"}}},
        {"class 125 exact constant",
         {{Field::Multiplier, "10"}, {Field::SelectDDR, "125"}},
         {{Field::shwDDR_MHz, "125.0"}}},
        {"class 100 uses the reference clock",
         {{Field::BusSpeed, "201"}, {Field::SelectDDR, "100"}},
         {{Field::shwDDR_MHz, "100.50"}}},
        {"class 100 at 200 MHz", {{Field::SelectDDR, "100"}}, {{Field::shwDDR_MHz, "100.0"}}},
        {"memory percentage against the module clock",
         {{Field::PCramNum, "216"}},
         {{Field::PCxxxxMHz, "216 MHz"}, {Field::DDR_OC_Prcnt, "-7.4%"}}},
        {"positive percentage that rounds to zero keeps its sign",
         {{Field::StockCPU_MHz, "1000"}, {Field::Multiplier, "5"}, {Field::BusSpeed, "200.02"}},
         {{Field::CPU_OC_Prcnt, "+.0%"}}},
        {"text with a unit counts as its number", {{Field::BusSpeed, "200 MHz"}}, {{Field::shwCPU_MHz, "2200"}}},
    };
    for (const auto& c : cases) {
        CalcFixture f;
        for (const auto& s : c.inputs) {
            f.calc.setText(s.field, s.text);
        }
        for (const auto& e : c.expected) {
            EXPECT_EQ(f[e.field], e.text) << c.name << ": " << fieldName(e.field);
        }
        EXPECT_TRUE(f.sink.updateFaults.empty()) << c.name;
    }
}

TEST(Update, UnknownMemoryClassKeepsTheMemoryClock)
{
    CalcFixture f;
    f.calc.setText(Field::SelectDDR, "175");
    EXPECT_EQ(f[Field::shwDDR_MHz], "0");
    EXPECT_EQ(f[Field::DDR_OC_Prcnt], "-100.0%");

    f.calc.setText(Field::SelectDDR, "200");
    f.calc.setText(Field::Multiplier, "12");
    f.calc.setText(Field::SelectDDR, "200 ");
    EXPECT_EQ(f[Field::shwDDR_MHz], "200.0") << "class texts compare exactly";
    EXPECT_EQ(f[Field::shwCPU_MHz], "2400");
}

TEST(Update, WritesTheDerivedFieldsInOrder)
{
    CalcFixture f;
    f.calc.setText(Field::OC_Vdimm, "2.65");
    const std::vector<Field> expected{Field::OC_Vdimm,     Field::shwCPU_MHz,   Field::Label13, Field::Vcore_OC_Prcnt,
                                      Field::CPU_OC_Prcnt, Field::CPU_OC_Prcnt, Field::Label18, Field::shwDDR_MHz,
                                      Field::DDR_OC_Prcnt, Field::DDR_OC_Prcnt};
    EXPECT_EQ(f.changes, expected);
}

// Faults: inputs the range checks let through can still stop the recomputation; what was written stays.
TEST(Update, FaultStopsTheRunAndIsReported)
{
    {
        CalcFixture f;
        f.calc.setText(Field::PCramNum, "0");
        ASSERT_EQ(f.sink.updateFaults.size(), 1U);
        EXPECT_EQ(f.sink.updateFaults[0], "Division by zero Data value error: Sub Update");
        EXPECT_EQ(f[Field::shwDDR_MHz], "200.0") << "written before the fault";
        EXPECT_EQ(f[Field::DDR_OC_Prcnt], "%") << "not reached";
        EXPECT_EQ(f[Field::PCxxxxMHz], "0 MHz");

        f.calc.Update();
        EXPECT_EQ(f.sink.updateFaults.size(), 2U) << "a persisting fault is reported again";
    }
    {
        CalcFixture f;
        f.calc.setText(Field::SelectDDR, "183");
        f.calc.setText(Field::Multiplier, "11 x"); // in range by its leading number, not a number when strict
        ASSERT_EQ(f.sink.updateFaults.size(), 1U);
        EXPECT_EQ(f.sink.updateFaults[0], "Type mismatch Data value error: Sub Update");
        EXPECT_EQ(f[Field::shwCPU_MHz], "2200");
        EXPECT_EQ(f[Field::shwDDR_MHz], "169.23") << "kept from the previous run";
    }
    {
        CalcFixture f;
        f.calc.setText(Field::PCramNum, "1e-320");
        ASSERT_EQ(f.sink.updateFaults.size(), 1U);
        EXPECT_EQ(f.sink.updateFaults[0], "Overflow Data value error: Sub Update");
    }
    {
        // A store filled without handlers can hold anything; Update must still not fail silently.
        CalcFixture f;
        f.calc.fields().setChangeHandler(nullptr);
        f.calc.setText(Field::StockCPU_Vcore, "0");
        f.calc.setText(Field::Multiplier, "1e308");
        f.calc.setText(Field::BusSpeed, "1e308");
        f.calc.Update();
        ASSERT_EQ(f.sink.updateFaults.size(), 1U);
        EXPECT_EQ(f.sink.updateFaults[0], "Overflow Data value error: Sub Update");
        f.calc.setText(Field::Multiplier, "11");
        f.calc.setText(Field::BusSpeed, "200");
        f.calc.Update();
        ASSERT_EQ(f.sink.updateFaults.size(), 2U);
        EXPECT_EQ(f.sink.updateFaults[1], "Division by zero Data value error: Sub Update");
        EXPECT_EQ(f[Field::Label13], "1000");
    }
}

TEST(Ceil, RoundsUpByTheFifteenDigitText)
{
    CalcFixture f;
    EXPECT_EQ(f.calc.Ceil(6), 6);
    EXPECT_EQ(f.calc.Ceil(6.000000000000109), 7);
    EXPECT_EQ(f.calc.Ceil(13.9999999804), 14);
    EXPECT_EQ(f.calc.Ceil(12.00000000000048), 13);
    EXPECT_EQ(f.calc.Ceil(13.00000000000001), 13.00000000000001) << "no point in its text: returned unchanged";
    EXPECT_EQ(f.calc.Ceil(4.5), 5);
    EXPECT_EQ(f.calc.Ceil(1e300), 1e300);
    EXPECT_EQ(f.calc.Ceil(std::numeric_limits<double>::denorm_min()), 1);
    EXPECT_TRUE(f.sink.ceilFaults.empty());
}

TEST(Ceil, NonFiniteValuesAreFaultsThatGiveZero)
{
    CalcFixture f;
    EXPECT_EQ(f.calc.Ceil(std::numeric_limits<double>::infinity()), 0);
    EXPECT_EQ(f.calc.Ceil(std::numeric_limits<double>::quiet_NaN()), 0);
    const std::vector<std::string> expected{"Overflow", "Invalid operation"};
    EXPECT_EQ(f.sink.ceilFaults, expected);
}

// Range checks: clamps write the literal bound texts, and a clamped set runs Update twice.
struct RangeCase
{
    Field field;
    const char* text;
    const char* result;
    int updateRuns;
};

TEST(ChangeHandlers, ClampToTheLiteralBoundTexts)
{
    const RangeCase cases[] = {
        {Field::Multiplier, "3.5", "4", 2},
        {Field::Multiplier, "15.5", "15", 2},
        {Field::StockCPU_MHz, "6500", "6400", 2},
        {Field::StockCPU_MHz, "1000", "1000", 1},
        {Field::BusSpeed, "abc", "100", 2},
        {Field::BusSpeed, "", "100", 2},
        {Field::BusSpeed, "1e999", "400", 2},
        {Field::BusSpeed, "-1e999", "100", 2},
        {Field::StockCPU_Vcore, ".0875", "0.1", 2},
        {Field::StockCPU_Vcore, ".1125", ".1125", 1},
        {Field::HyperTransport, "8.5", "8", 2},
        {Field::HyperTransport, "0.5", "1", 2},
        {Field::Stock_Vdimm, ".95", "1", 2},
        {Field::OC_Vdimm, "6.025", "6", 2},
        {Field::SelectDDR, "whatever", "whatever", 1},
        {Field::PCramNum, "233", "233", 1},
    };
    for (const auto& c : cases) {
        CalcFixture f;
        f.calc.setText(c.field, c.text);
        EXPECT_EQ(f[c.field], c.result) << fieldName(c.field) << " set to " << c.text;
        EXPECT_EQ(f.updateRuns, c.updateRuns) << fieldName(c.field) << " set to " << c.text;
    }
}

TEST(FieldStore, KeepsWhatPrecedesANulAndNotifiesBeforeTheHandler)
{
    CalcFixture f;
    std::vector<std::string> seen;
    f.calc.fields().subscribe([&](Field field) {
        if (field == Field::CPU_Identity || field == Field::Multiplier) {
            seen.push_back(f[field]);
        }
    });
    f.calc.setText(Field::CPU_Identity, std::string("AMD Athlon\0junk", 15));
    EXPECT_EQ(f[Field::CPU_Identity], "AMD Athlon");
    f.calc.setText(Field::Multiplier, "2");
    const std::vector<std::string> expected{"AMD Athlon", "2", "4"};
    EXPECT_EQ(seen, expected) << "the view sees the written text, then the clamp";
    EXPECT_EQ(fieldByName("NamePlates(20)"), Field::NamePlates20);
    EXPECT_EQ(fieldByName("multiplier"), std::nullopt);

    f.calc.reset();
    EXPECT_EQ(f[Field::Multiplier], "11");
    EXPECT_EQ(f[Field::CPU_Identity], "CPU Model #");
    EXPECT_EQ(f.calc.List1.ListCount(), 0);
}

} // namespace
