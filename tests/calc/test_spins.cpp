// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Clockdeck developers
#include "calc/numbertext.h"
#include "support/recordingsink.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

using namespace clockdeck;
using clockdeck::test::CalcFixture;

namespace {

struct StepCase
{
    Spin spin;
    const char* start;
    bool up;
    const char* result;
    int updateRuns;
};

TEST(NumericSpins, StepAndClamp)
{
    const StepCase cases[] = {
        {Spin::VScroll4, "2200", true, "2300", 1}, {Spin::VScroll4, "2200", false, "2100", 1},
        {Spin::VScroll4, "6400", true, "6400", 2}, {Spin::VScroll7, "11", true, "11.5", 1},
        {Spin::VScroll7, "11", false, "10.5", 1},  {Spin::VScroll7, "15", true, "15", 2},
        {Spin::VScroll6, "200", true, "201", 1},   {Spin::VScroll6, "100", false, "100", 2},
        {Spin::VScroll8, "5", true, "5.5", 1},     {Spin::VScroll3, "1.35", true, "1.3625", 1},
        {Spin::VScroll3, "1", false, ".9875", 1},  {Spin::VScroll3, "0.1", false, "0.1", 2},
        {Spin::VScroll3, "0.1", true, ".1125", 1}, {Spin::VScroll1, "1.35", false, "1.3375", 1},
        {Spin::VScroll9, "2.6", true, "2.65", 1},  {Spin::VScroll10, "2.6", false, "2.575", 1},
    };
    for (const auto& c : cases) {
        CalcFixture f;
        const Field field = Spins[index(c.spin)].field;
        f.calc.setText(field, c.start);
        f.updateRuns = 0;
        c.up ? f.calc.up(c.spin) : f.calc.down(c.spin);
        EXPECT_EQ(f[field], c.result) << Spins[index(c.spin)].name << (c.up ? " up from " : " down from ") << c.start;
        EXPECT_EQ(f.updateRuns, c.updateRuns) << Spins[index(c.spin)].name << " from " << c.start;
        EXPECT_EQ(f.calc.spinValue(c.spin), 0) << "the spin rests at 0 after every press";
        f.calc.setSpinValue(c.spin, 0);
        EXPECT_EQ(f[field], c.result) << "setting the value the spin holds runs nothing";
    }
}

// Walking a numeric field from its lower bound to its upper bound and back down must retrace the same texts:
// the text, not the double, carries the value, so no representation error can creep in.
TEST(NumericSpins, StepsUpAndDownRetraceTheSameTextsAcrossTheRange)
{
    for (const auto& info : Spins) {
        if (info.kind != SpinKind::Numeric) {
            continue;
        }
        CalcFixture f;
        const InputRange* range = rangeOf(info.field);
        ASSERT_NE(range, nullptr);
        const std::string initial = f[info.field];
        f.calc.setText(info.field, range->lowText);

        std::vector<std::string> path{f[info.field]};
        while (f[info.field] != range->highText) {
            f.updateRuns = 0;
            f.calc.up(info.spin);
            ASSERT_EQ(f.updateRuns, 1) << info.name << " clamped on the way up after " << path.back();
            path.push_back(f[info.field]);
            ASSERT_LT(path.size(), 1000U) << info.name << " never reached " << range->highText;
        }
        EXPECT_NE(std::find(path.begin(), path.end(), initial), path.end())
            << info.name << ": the initial text " << initial << " lies on the step lattice";
        // The lower bound was a clamp text, written literally ("0.1"); a step lands on the same number in its
        // computed form (".1"), so the walk back compares the bottom by its computed form.
        path.front() = NumberToText(ParseLeadingNumber(path.front()));
        for (auto it = path.rbegin() + 1; it != path.rend(); ++it) {
            f.updateRuns = 0;
            f.calc.down(info.spin);
            ASSERT_EQ(f[info.field], *it) << info.name << " drifted on the way down";
            ASSERT_EQ(f.updateRuns, 1) << info.name << " clamped on the way down at " << *it;
        }
        // Every text on the way is the shortest form of its number: the texts carry no representation noise.
        for (const auto& text : path) {
            EXPECT_EQ(NumberToText(ParseLeadingNumber(text)), text) << info.name;
        }
    }
}

TEST(ListSpins, MemoryClassStepsThroughItsList)
{
    CalcFixture f;
    f.calc.up(Spin::VScroll2);
    EXPECT_EQ(f[Field::SelectDDR], "200");
    EXPECT_EQ(f.calc.List1.ListIndex, 0);
    std::vector<std::string> seen;
    for (int i = 0; i < 9; ++i) {
        f.calc.down(Spin::VScroll2);
        seen.push_back(f[Field::SelectDDR]);
    }
    const std::vector<std::string> expected{"183", "166", "150", "143", "133", "125", "100", "100", "100"};
    EXPECT_EQ(seen, expected);
    EXPECT_EQ(f.calc.List1.ListIndex, 7);
    EXPECT_EQ(f[Field::shwDDR_MHz], "100.0");
    EXPECT_EQ(f.calc.spinValue(Spin::VScroll2), 0);
}

TEST(ListSpins, ModuleClockKeepsTheRatingInStep)
{
    CalcFixture f;
    f.calc.up(Spin::VScroll5);
    EXPECT_EQ(f[Field::PCramNum], "216");
    EXPECT_EQ(f[Field::PCxxxxMHz], "216 MHz");
    EXPECT_EQ(f[Field::PCxxxx], "PC3500");
    EXPECT_EQ(f.calc.List2.ListIndex, 5);
    EXPECT_EQ(f.calc.List3.ListIndex, 5);
    EXPECT_EQ(f.updateRuns, 2) << "the field's handler and the spin each run Update";

    f.calc.down(Spin::VScroll5);
    f.calc.down(Spin::VScroll5);
    EXPECT_EQ(f[Field::PCramNum], "183");
    EXPECT_EQ(f[Field::PCxxxxMHz], "183 MHz");
    EXPECT_EQ(f[Field::PCxxxx], "PC3000");
    EXPECT_EQ(f[Field::DDR_OC_Prcnt], "+9.3%");
}

TEST(ListSpins, NoCurrentEntryLeadsToTheFirst)
{
    for (const bool up : {true, false}) {
        CalcFixture f;
        f.calc.List2.ListIndex = -1;
        up ? f.calc.up(Spin::VScroll5) : f.calc.down(Spin::VScroll5);
        EXPECT_EQ(f[Field::PCramNum], "300");
        EXPECT_EQ(f[Field::PCxxxx], "PC4800");
        EXPECT_EQ(f.calc.List2.ListIndex, 0);
    }
}

TEST(ListSpins, EmptyListChangesNothing)
{
    CalcFixture f;
    f.calc.List1.Clear();
    f.calc.down(Spin::VScroll2);
    EXPECT_EQ(f[Field::SelectDDR], "200");
    EXPECT_EQ(f.calc.List1.ListIndex, -1);
    EXPECT_EQ(f.calc.spinValue(Spin::VScroll2), 0);
}

TEST(Label17, ClicksCorrectTheBootClockByOne)
{
    CalcFixture f;
    f.calc.setText(Field::Label17, "2199");
    f.updateRuns = 0;
    f.calc.Label17_MouseUp(1);
    EXPECT_EQ(f[Field::Label17], "2200");
    f.calc.Label17_MouseUp(2);
    f.calc.Label17_MouseUp(2);
    EXPECT_EQ(f[Field::Label17], "2198");
    f.calc.Label17_MouseUp(4);
    EXPECT_EQ(f[Field::Label17], "2198") << "the middle button does nothing";
    EXPECT_EQ(f.updateRuns, 0) << "the boot clock feeds only the report";

    f.calc.setText(Field::Label17, "not a number");
    f.calc.Label17_MouseUp(1);
    EXPECT_EQ(f[Field::Label17], "not a number");
}

} // namespace
