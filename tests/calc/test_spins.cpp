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

// Presses walk the lists from end to end and stop at both ends; the module spin keeps its rating in step.
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
    for (const int value : {-1, -1, -1, -1, -1, -1, -1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1}) {
        f.calc.setSpinValue(Spin::VScroll5, static_cast<std::int16_t>(value));
        walk += f[Field::PCramNum] + "=" + f[Field::PCxxxx] + " ";
    }
    EXPECT_EQ(walk, "216=PC3500 233=PC3700 250=PC4000 266=PC4200 275=PC4400 300=PC4800 300=PC4800 275=PC4400 "
                    "266=PC4200 250=PC4000 233=PC3700 216=PC3500 200=PC3200 183=PC3000 166=PC2700 150=PC2400 "
                    "133=PC2100 100=PC1600 100=PC1600 ");
    EXPECT_EQ(f.updateRuns, 2 * 19) << "the field's handler and the spin each run Update";

    // No current entry: either press leads to the first.
    for (const bool up : {true, false}) {
        f.calc.List2.ListIndex = -1;
        if (up) {
            f.calc.up(Spin::VScroll5);
        } else {
            f.calc.down(Spin::VScroll5);
        }
        EXPECT_EQ(f[Field::PCramNum] + f[Field::PCxxxx], "300PC4800") << (up ? "up" : "down") << " from no entry";
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
