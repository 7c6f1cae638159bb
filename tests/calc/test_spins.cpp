// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Clockdeck developers
#include "calcfixture.h"

#include <gtest/gtest.h>

#include <string>

using namespace clockdeck;
using clockdeck::test::CalcFixture;

namespace {

// One press up and one down from a start text; a press past a bound writes the bound's text and runs Update twice.
TEST(Spins, NumericSpinsStepTheirFieldAndStopAtTheBounds)
{
    const struct
    {
        Spin spin;
        const char *start, *up, *down;
        int upRuns, downRuns;
    } cases[] = {{Spin::VScroll4, "2200", "2300", "2100", 1, 1},     {Spin::VScroll7, "11", "11.5", "10.5", 1, 1},
                 {Spin::VScroll6, "200", "201", "199", 1, 1},        {Spin::VScroll8, "5", "5.5", "4.5", 1, 1},
                 {Spin::VScroll3, "1.35", "1.3625", "1.3375", 1, 1}, {Spin::VScroll1, "1.35", "1.3625", "1.3375", 1, 1},
                 {Spin::VScroll9, "2.6", "2.65", "2.55", 1, 1},      {Spin::VScroll10, "2.6", "2.625", "2.575", 1, 1},
                 {Spin::VScroll4, "6400", "6400", "6300", 2, 1},     {Spin::VScroll7, "15", "15", "14.5", 2, 1},
                 {Spin::VScroll6, "100", "101", "100", 1, 2},        {Spin::VScroll3, "0.1", ".1125", "0.1", 1, 2},
                 {Spin::VScroll1, "1", "1.0125", ".9875", 1, 1}};
    for (const auto& c : cases) {
        const SpinInfo& info = Spins[index(c.spin)];
        for (const auto& [up, result, runs] : {std::tuple{true, c.up, c.upRuns}, {false, c.down, c.downRuns}}) {
            CalcFixture f;
            f.calc.setText(info.field, c.start);
            f.updateRuns = 0;
            up ? f.calc.up(c.spin) : f.calc.down(c.spin);
            EXPECT_EQ(f[info.field], result) << info.name << (up ? " up from " : " down from ") << c.start;
            EXPECT_EQ(f.updateRuns, runs) << info.name << (up ? " up from " : " down from ") << c.start;
            EXPECT_EQ(f.calc.spinValue(c.spin), 0) << info.name << " rests at 0 after a press";
        }
    }
}

TEST(Spins, ListSpinsWalkTheirListsAndStopAtBothEnds)
{
    CalcFixture f;
    std::string walk;
    for (const int value : {-1, 1, 1, 1, 1, 1, 1, 1, 1}) {
        f.calc.setSpinValue(Spin::VScroll2, static_cast<std::int16_t>(value));
        walk += f[Field::SelectDDR] + " ";
    }
    EXPECT_EQ(walk, "200 183 166 150 143 133 125 100 100 ");
    EXPECT_EQ(f[Field::shwDDR_MHz], "100.0") << "the class runs Update";

    walk.clear();
    f.updateRuns = 0;
    for (const int value : {-1, -1, -1, -1, -1, -1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1}) {
        f.calc.setSpinValue(Spin::VScroll5, static_cast<std::int16_t>(value));
        walk += f[Field::PCramNum] + "=" + f[Field::PCxxxx] + " ";
    }
    EXPECT_EQ(walk, "233=PC3700 250=PC4000 266=PC4200 275=PC4400 300=PC4800 300=PC4800 275=PC4400 "
                    "266=PC4200 250=PC4000 233=PC3700 216=PC3500 200=PC3200 183=PC3000 166=PC2700 150=PC2400 "
                    "133=PC2100 100=PC1600 100=PC1600 ");
    EXPECT_EQ(f.updateRuns, 2 * 18) << "the field's handler and the spin each run Update";
}

// A list entry chosen by its text moves the list as a press would; anything else changes nothing.
TEST(Spins, SelectingAnEntryByItsTextMovesItsList)
{
    const struct
    {
        Field field;
        const char* text;
        bool found;
        const char* seen; // the field, PCxxxx and the three positions afterwards
        int runs;
    } cases[] = {{Field::SelectDDR, "166", true, "166 PC3200 2 5 -1", 1},
                 {Field::SelectDDR, "100", true, "100 PC3200 7 5 -1", 1},
                 {Field::PCramNum, "300", true, "300 PC4800 0 0 0", 2},
                 {Field::PCramNum, "100", true, "100 PC1600 0 11 11", 2},
                 {Field::PCramNum, "234", false, "200 PC3200 0 5 -1", 0},
                 {Field::SelectDDR, "200 ", false, "200 PC3200 0 5 -1", 0},
                 {Field::Multiplier, "11", false, "11 PC3200 0 5 -1", 0}};
    for (const auto& c : cases) {
        CalcFixture f;
        EXPECT_EQ(f.calc.selectEntry(c.field, c.text), c.found) << c.text;
        const std::string seen = f[c.field] + " " + f[Field::PCxxxx] + " " +
                                 std::to_string(f.calc.list(ListId::List1).ListIndex) + " " +
                                 std::to_string(f.calc.list(ListId::List2).ListIndex) + " " +
                                 std::to_string(f.calc.list(ListId::List3).ListIndex);
        EXPECT_EQ(seen, c.seen) << fieldName(c.field) << "=" << c.text;
        EXPECT_EQ(f.updateRuns, c.runs) << fieldName(c.field) << "=" << c.text;
    }
}

TEST(Spins, PressesSayWhatTheyChanged)
{
    const struct
    {
        Spin spin;
        const char* start;
        bool up;
        PressResult result;
    } cases[] = {
        {Spin::VScroll7, "14.5", true, PressResult::Changed},   {Spin::VScroll7, "14.8", true, PressResult::Clamped},
        {Spin::VScroll7, "15", true, PressResult::Unchanged},   {Spin::VScroll6, "100", false, PressResult::Unchanged},
        {Spin::VScroll6, "100", true, PressResult::Changed},    {Spin::VScroll2, "200", true, PressResult::Unchanged},
        {Spin::VScroll2, "200", false, PressResult::Changed},   {Spin::VScroll5, "300", true, PressResult::Unchanged},
        {Spin::VScroll5, "100", false, PressResult::Unchanged}, {Spin::VScroll5, "100", true, PressResult::Changed}};
    for (const auto& c : cases) {
        CalcFixture f;
        const SpinInfo& info = Spins[index(c.spin)];
        if (!f.calc.selectEntry(info.field, c.start)) {
            f.calc.setText(info.field, c.start);
        }
        EXPECT_EQ(f.calc.press(c.spin, c.up), c.result) << info.name << (c.up ? " up from " : " down from ") << c.start;
    }
}

TEST(Spins, Label17ClicksCorrectTheBootClockByOne)
{
    CalcFixture f;
    f.calc.setText(Field::Label17, "2199");
    std::string seen;
    for (const int button : {1, 2, 2, 4}) {
        f.calc.Label17_MouseUp(button);
        seen += f[Field::Label17] + " ";
    }
    EXPECT_EQ(seen, "2200 2199 2198 2198 ");
    EXPECT_EQ(f.updateRuns, 0) << "the boot clock feeds only the report";
}

} // namespace
