// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Clockdeck developers
#include "calc/numbertext.h"
#include "calcfixture.h"

#include <gtest/gtest.h>

#include <limits>
#include <string>
#include <vector>

using namespace clockdeck;
using clockdeck::test::CalcFixture;

namespace {

using Settings = std::vector<std::pair<Field, const char*>>;

// Each ranged input at both bounds (written unlike the clamp text, so a moved bound shows) and just past them.
TEST(ChangeHandlers, BoundsStayAndValuesPastThemClampToTheLiteralTexts)
{
    const struct
    {
        Field field;
        const char *lowAt, *lowPast, *lowText, *highAt, *highPast, *highText;
    } cases[] = {{Field::StockCPU_MHz, "1000.0", "999.9", "1000", "6400.0", "6400.1", "6400"},
                 {Field::Multiplier, "4.0", "3.99", "4", "15.0", "15.01", "15"},
                 {Field::BusSpeed, "100.0", "99.9", "100", "400.0", "400.1", "400"},
                 {Field::HyperTransport, "1.0", "0.99", "1", "8.0", "8.01", "8"},
                 {Field::StockCPU_Vcore, "0.10", "0.0999", "0.1", "3.0", "3.001", "3"},
                 {Field::OverClock_CPU_Vcore, "0.10", "0.0999", "0.1", "3.0", "3.001", "3"},
                 {Field::Stock_Vdimm, "1.0", "0.999", "1", "6.0", "6.001", "6"},
                 {Field::OC_Vdimm, "1.0", "0.999", "1", "6.0", "6.001", "6"}};
    for (const auto& c : cases) {
        for (const auto& [text, result, runs] : {std::tuple{c.lowAt, c.lowAt, 1},
                                                 {c.lowPast, c.lowText, 2},
                                                 {c.highAt, c.highAt, 1},
                                                 {c.highPast, c.highText, 2}}) {
            CalcFixture f;
            f.calc.setText(c.field, text);
            EXPECT_EQ(f[c.field], result) << fieldName(c.field) << " set to " << text;
            EXPECT_EQ(f.updateRuns, runs) << fieldName(c.field) << " set to " << text;
        }
    }
    CalcFixture f;
    f.calc.setText(Field::BusSpeed, "abc");
    f.calc.setText(Field::SelectDDR, "whatever");
    EXPECT_EQ(f[Field::BusSpeed], "100") << "no number clamps to the low text";
    EXPECT_EQ(f[Field::SelectDDR], "whatever") << "an unranged input keeps any text";
    EXPECT_EQ(f.updateRuns, 3);
}

TEST(Update, DerivedFieldsFollowTheInputs)
{
    // clang-format off
    const std::pair<Settings, Settings> cases[] = {
        {{{Field::Multiplier, "12"}}, {{Field::shwCPU_MHz, "2400"}, {Field::CPU_OC_Prcnt, "+9.1%"}}},
        {{{Field::Multiplier, "9.5"}, {Field::BusSpeed, "201"}},
         {{Field::shwCPU_MHz, "1909.5"}, {Field::Label13, "1005"}}},
        {{{Field::OverClock_CPU_Vcore, "1.4"}}, {{Field::Vcore_OC_Prcnt, "+3.70%"}}},
        {{{Field::OC_Vdimm, "2.625"}}, {{Field::Label18, "+0.96%"}}},
        {{{Field::OC_Vdimm, "2.5"}}, {{Field::Label18, "-3.85%"}}},
        {{{Field::SelectDDR, "183"}}, {{Field::shwDDR_MHz, "169.23"}, {Field::DDR_OC_Prcnt, "-15.4%"}}},
        {{{Field::SelectDDR, "166"}}, {{Field::shwDDR_MHz, "157.14"}}},
        {{{Field::Multiplier, "9.5"}, {Field::BusSpeed, "201"}, {Field::SelectDDR, "166"}},
         {{Field::shwDDR_MHz, "159.13"}}},
        // The class constants are decimals, not fractions: 10 / (166.66666666666 / 200) lies just above 12.
        {{{Field::Multiplier, "10"}, {Field::SelectDDR, "166"}}, {{Field::shwDDR_MHz, "153.85"}}},
        {{{Field::Multiplier, "10"}, {Field::SelectDDR, "143"}}, {{Field::shwDDR_MHz, "142.86"}}},
        {{{Field::Multiplier, "10"}, {Field::SelectDDR, "133"}}, {{Field::shwDDR_MHz, "125.0"}}},
        {{{Field::Multiplier, "10"}, {Field::SelectDDR, "150"}}, {{Field::shwDDR_MHz, "142.86"}}},
        {{{Field::Multiplier, "10"}, {Field::SelectDDR, "125"}}, {{Field::shwDDR_MHz, "125.0"}}},
        {{{Field::BusSpeed, "201"}, {Field::SelectDDR, "100"}}, {{Field::shwDDR_MHz, "100.50"}}},
        {{{Field::PCramNum, "216"}}, {{Field::PCxxxxMHz, "216 MHz"}, {Field::DDR_OC_Prcnt, "-7.4%"}}},
        // Unknown class texts (compared exactly) leave the memory clock as it was.
        {{{Field::SelectDDR, "200 "}, {Field::BusSpeed, "201"}},
         {{Field::shwDDR_MHz, "200.0"}, {Field::DDR_OC_Prcnt, "0%"}}},
        {{{Field::StockCPU_MHz, "1000"}, {Field::Multiplier, "5"}, {Field::BusSpeed, "200.02"}},
         {{Field::CPU_OC_Prcnt, "+.0%"}}}};
    // clang-format on
    for (const auto& [inputs, expected] : cases) {
        std::string row = "inputs:"; // the row's name: its inputs
        for (const auto& [field, text] : inputs) {
            row += std::string(" ") + std::string(fieldName(field)) + "=" + text;
        }
        CalcFixture f;
        f.calc.Update();
        for (const auto& [field, text] : inputs) {
            f.calc.setText(field, text);
        }
        for (const auto& [field, text] : expected) {
            EXPECT_EQ(f[field], text) << fieldName(field) << ", " << row;
        }
        EXPECT_TRUE(f.sink.empty()) << row;
    }
}

// A fault stops the run where it happens; what was written stays, and a persisting fault is reported each run.
TEST(Update, FaultStopsTheRunAndIsReported)
{
    CalcFixture f;
    f.calc.setText(Field::PCramNum, "0");
    EXPECT_EQ(f[Field::shwDDR_MHz], "200.0");
    EXPECT_EQ(f[Field::DDR_OC_Prcnt], "%");
    f.calc.setText(Field::SelectDDR, "183");
    f.calc.setText(Field::PCramNum, "1e-320");
    f.calc.setText(Field::Multiplier, "11 x"); // in range by its leading number, no number when read strictly
    EXPECT_EQ(f[Field::shwDDR_MHz], "169.23");
    const std::vector<std::string> expected{
        "Division by zero Data value error: Sub Update", "Division by zero Data value error: Sub Update",
        "Overflow Data value error: Sub Update", "Type mismatch Data value error: Sub Update"};
    EXPECT_EQ(f.sink.updateFaults, expected);
}

TEST(Update, CeilRoundsUpByTheFifteenDigitText)
{
    CalcFixture f;
    // clang-format off
    const std::pair<double, double> cases[] = {
        {6, 6}, {6.000000000000109, 7}, {13.9999999804, 14}, {12.00000000000048, 13},
        {13.00000000000001, 13.00000000000001}, {std::numeric_limits<double>::infinity(), 0},
        {std::numeric_limits<double>::quiet_NaN(), 0}};
    // clang-format on
    for (const auto& [value, expected] : cases) {
        EXPECT_EQ(f.calc.Ceil(value), expected) << value;
    }
    EXPECT_EQ(f.sink.ceilFaults, (std::vector<std::string>{"Overflow", "Invalid operation"}));
}

} // namespace

// Every memory class, both ends of every range, values past them and one inside.
TEST(Evaluate, EqualsSettingTheFourFieldsThroughTheirHandlers)
{
    // Vcore's -9.75 % is also the processor's at 209 x 9.5: a percentage remembered under one pattern must not
    // serve another.
    const auto setHeld = [](Calculator& calc) {
        calc.setText(Field::StockCPU_Vcore, "2");
        calc.setText(Field::OverClock_CPU_Vcore, "1.805");
        calc.setText(Field::PCramNum, "216");
    };
    CalcFixture start;
    setHeld(start.calc);
    const std::vector<Field> changesBefore = start.changes;
    Evaluator evaluator(start.calc);
    for (const double bus : {99.5, 100.0, 209.0, 400.0, 400.5}) {
        for (const double multiplier : {3.5, 4.0, 9.5, 15.0, 15.5}) {
            for (const double ht : {0.5, 1.0, 4.5, 8.0, 8.5}) {
                for (const auto memoryClass : MemoryClassEntries) {
                    CalcFixture f;
                    setHeld(f.calc);
                    f.calc.setText(Field::BusSpeed, NumberToText(bus));
                    f.calc.setText(Field::Multiplier, NumberToText(multiplier));
                    f.calc.setText(Field::HyperTransport, NumberToText(ht));
                    ASSERT_TRUE(f.calc.selectEntry(Field::SelectDDR, memoryClass));
                    const Evaluation e = evaluator.evaluate({bus, multiplier, ht, memoryClass});
                    const Evaluation once = start.calc.evaluate({bus, multiplier, ht, memoryClass});
                    for (std::size_t i = 0; i < EvaluatedFieldCount; ++i) {
                        ASSERT_EQ(e.texts[i], f[Field(i)]) << fieldName(Field(i)) << " at " << bus << " x "
                                                           << multiplier << ", HT " << ht << ", class " << memoryClass;
                        ASSERT_EQ(once.texts[i], e.texts[i]) << fieldName(Field(i));
                    }
                    EXPECT_TRUE(e.fault.empty());
                }
            }
        }
    }
    EXPECT_EQ(start.changes, changesBefore) << "an evaluation tells no listener";
    EXPECT_EQ(start[Field::BusSpeed] + start[Field::shwCPU_MHz], "2002200") << "and changes no field";
}

TEST(Evaluate, FaultsStopTheEvaluationAsTheyStopUpdate)
{
    CalcFixture f;
    f.calc.setText(Field::PCramNum, "0");
    f.sink.updateFaults.clear();
    const Evaluation e = f.calc.evaluate({200, 11, 5, "183"});
    EXPECT_EQ(e.fault, "Division by zero Data value error: Sub Update");
    EXPECT_EQ(e.text(Field::shwDDR_MHz), "169.23") << "written before the fault";
    EXPECT_EQ(e.text(Field::DDR_OC_Prcnt), "%") << "not reached";
    EXPECT_TRUE(f.sink.updateFaults.empty() && f.sink.ceilFaults.empty());
    EXPECT_EQ(f.calc.evaluate({200, 11, 5, "175"}).text(Field::shwDDR_MHz), "200.0") << "an unknown class";
}
