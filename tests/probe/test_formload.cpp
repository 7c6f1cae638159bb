// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Clockdeck developers
#include "support/tempfolder.h"

#include "calc/calculator.h"
#include "probe/formload.h"

#include "support/recordingsink.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <vector>

using namespace clockdeck;
using clockdeck::test::profile;
using clockdeck::test::RecordingSink;
using clockdeck::test::TempFolder;

namespace {

// Records the window steps, and what the calculator showed when the window painted.
class RecordingWindow final : public LoadWindow
{
public:
    explicit RecordingWindow(const Calculator& calc) : m_calc(calc) {}
    void centre() override { steps.emplace_back("centre"); }
    void show() override { steps.emplace_back("show"); }
    void processEvents() override
    {
        steps.insert(steps.end(), {"processEvents", m_calc.text(Field::CPU_Identity), m_calc.text(Field::PCxxxx),
                                   m_calc.text(Field::shwCPU_MHz)});
    }
    std::vector<std::string> steps;

private:
    const Calculator& m_calc;
};

// The probed values of every saved profile, and the nothing-readable machine, are checked through the reports of
// clockdeck-cli; these tests cover what the report does not show.
TEST(FormLoad, FillsTheListsAndEndsOnTheSameMemoryGradeWhateverTheMachine)
{
    for (const char* name : {"x2-4400", "modern-intel", "empty"}) {
        SCOPED_TRACE(name);
        RecordingSink sink;
        Calculator calc(sink);
        HeadlessWindow window;
        Form_Load(calc, window, profile(name));
        EXPECT_EQ(calc.List1.items, std::vector<std::string>(MemoryClassEntries.begin(), MemoryClassEntries.end()));
        EXPECT_EQ(calc.List2.items, std::vector<std::string>(ModuleClockEntries.begin(), ModuleClockEntries.end()));
        EXPECT_EQ(calc.List3.items, std::vector<std::string>(ModuleRatingEntries.begin(), ModuleRatingEntries.end()));
        EXPECT_EQ(calc.text(Field::PCramNum), "200");
        EXPECT_EQ(calc.text(Field::PCxxxxMHz), "200 MHz");
        EXPECT_EQ(calc.text(Field::PCxxxx), "PC3200");
        EXPECT_EQ(calc.List1.ListIndex, 0);
        EXPECT_EQ(calc.List2.ListIndex, 6);
        EXPECT_EQ(calc.List3.ListIndex, 6);
        EXPECT_EQ(calc.spinValue(Spin::VScroll5), 0);
        EXPECT_TRUE(sink.updateFaults.empty());
        // The module spin steps on from the starting grade.
        calc.up(Spin::VScroll5);
        EXPECT_EQ(calc.text(Field::PCramNum) + " " + calc.text(Field::PCxxxx), "216 PC3500");
        calc.down(Spin::VScroll5);
        calc.down(Spin::VScroll5);
        EXPECT_EQ(calc.text(Field::PCramNum) + " " + calc.text(Field::PCxxxx), "183 PC3000");
    }
}

TEST(FormLoad, PaintsAfterTheFirstCalculationAndBeforeTheProbe)
{
    RecordingSink sink;
    Calculator calc(sink);
    RecordingWindow window(calc);
    Form_Load(calc, window, profile("x2-4400"));
    EXPECT_EQ(window.steps,
              (std::vector<std::string>{"centre", "show", "processEvents", "CPU Model #", "PC3200", "2200"}));
}

// A step fails by throwing when the field is written (with this text, when one is given). The first phase skips
// a failing step; the second phase (revision, nominal clock, model tables, link check) ends at the first failure.
TEST(FormLoad, FirstPhaseSkipsAFailingStepAndSecondPhaseEndsAtIt)
{
    const struct
    {
        Field failing;
        const char* text;
        const char* multiplier;
        const char* busSpeed;
        const char* hyperTransport;
    } cases[] = {
        {Field::CPU_Identity, "", "11", "201", "4"},
        {Field::StockCPU_MHz, "2200", "11", "200", "5"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(fieldName(c.failing));
        RecordingSink sink;
        Calculator calc(sink);
        calc.fields().subscribe([&](Field f) {
            if (f == c.failing && (*c.text == '\0' || calc.text(f) == c.text)) {
                throw std::runtime_error("step failed");
            }
        });
        HeadlessWindow window;
        Form_Load(calc, window, profile("x2-4400"));
        EXPECT_EQ(calc.text(Field::CPU_Stepping), "Model: 2B     Revision: BH-E4     Stepping: 01");
        EXPECT_EQ(calc.text(Field::NamePlates20), "powernow-k8");
        EXPECT_EQ(calc.text(Field::Multiplier), c.multiplier);
        EXPECT_EQ(calc.text(Field::BusSpeed), c.busSpeed);
        EXPECT_EQ(calc.text(Field::HyperTransport), c.hyperTransport);
    }
}

// A reference clock above 200 before the load: only the link check, the load's last step, lowers the
// HyperTransport multiplier for it, once in each of its three passes while the link clock is above 1000 MHz.
TEST(FormLoad, AShortProcessorNameStillReachesTheLinkCheck)
{
    TempFolder root;
    root.write("proc/cpuinfo", "model name\t: K8\nbogomips\t: 4422.00\n");
    for (const auto& [busSpeed, hyperTransport] : {std::pair{"201", "4"}, {"300", "3"}, {"400", "2"}}) {
        RecordingSink sink;
        Calculator calc(sink);
        calc.setText(Field::BusSpeed, busSpeed);
        HeadlessWindow window;
        Form_Load(calc, window, root.path());
        EXPECT_EQ(calc.text(Field::CPU_Identity), "K8");
        EXPECT_EQ(calc.text(Field::Multiplier), "11");
        EXPECT_EQ(calc.text(Field::BusSpeed), busSpeed);
        EXPECT_EQ(calc.text(Field::HyperTransport), hyperTransport) << busSpeed;
    }
}

} // namespace
