// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Clockdeck developers
#include "tempfolder.h"

#include "calc/calculator.h"
#include "probe/formload.h"

#include "../calc/recordingsink.h"

#include <gtest/gtest.h>

#include <map>
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
        steps.emplace_back("processEvents");
        nameAtPaint = m_calc.text(Field::CPU_Identity);
        moduleAtPaint = m_calc.text(Field::PCxxxx);
        cpuAtPaint = m_calc.text(Field::shwCPU_MHz);
    }

    std::vector<std::string> steps;
    std::string nameAtPaint;
    std::string moduleAtPaint;
    std::string cpuAtPaint;

private:
    const Calculator& m_calc;
};

// ---- Whole loads on saved machine profiles (the report tests of clockdeck-cli check every field shown)

TEST(FormLoad, EndsOnTheSameMemoryGradeWhateverTheMachine)
{
    for (const char* name : {"x2-4400", "fx-53", "opteron-165", "athlon64", "empty", "modern-intel"}) {
        SCOPED_TRACE(name);
        RecordingSink sink;
        Calculator calc(sink);
        HeadlessWindow window;
        Form_Load(calc, window, profile(name));
        EXPECT_EQ(calc.text(Field::PCramNum), "200");
        EXPECT_EQ(calc.text(Field::PCxxxxMHz), "200 MHz");
        EXPECT_EQ(calc.text(Field::PCxxxx), "PC3200");
        EXPECT_EQ(calc.List1.ListIndex, 0);
        EXPECT_EQ(calc.List2.ListIndex, 6);
        EXPECT_EQ(calc.List3.ListIndex, 6);
        EXPECT_EQ(calc.spinValue(Spin::VScroll5), 0);
        EXPECT_TRUE(sink.updateFaults.empty());
    }
}

TEST(FormLoad, NothingReadableLeavesEmptyTextsAndRaisedStockValues)
{
    RecordingSink sink;
    Calculator calc(sink);
    HeadlessWindow window;
    Form_Load(calc, window, profile("empty"));
    const std::map<Field, std::string> expected{
        {Field::Label17, "0"},        {Field::CPU_Identity, ""},     {Field::CPU_Stepping, ""},
        {Field::NamePlates18, ""},    {Field::NamePlates19, ""},     {Field::NamePlates20, "n/a"},
        {Field::Multiplier, "4"},     {Field::StockCPU_MHz, "1000"}, {Field::BusSpeed, "200"},
        {Field::HyperTransport, "5"},
    };
    for (const auto& [field, text] : expected) {
        EXPECT_EQ(calc.text(field), text) << fieldName(field);
    }
}

TEST(FormLoad, FillsTheListsAndStepsOnFromTheStartingGrade)
{
    RecordingSink sink;
    Calculator calc(sink);
    HeadlessWindow window;
    Form_Load(calc, window, profile("empty"));
    EXPECT_EQ(calc.List1.items, std::vector<std::string>(MemoryClassEntries.begin(), MemoryClassEntries.end()));
    EXPECT_EQ(calc.List2.items, std::vector<std::string>(ModuleClockEntries.begin(), ModuleClockEntries.end()));
    EXPECT_EQ(calc.List3.items, std::vector<std::string>(ModuleRatingEntries.begin(), ModuleRatingEntries.end()));
    calc.up(Spin::VScroll5);
    EXPECT_EQ(calc.text(Field::PCramNum), "216");
    EXPECT_EQ(calc.text(Field::PCxxxx), "PC3500");
    calc.down(Spin::VScroll5);
    calc.down(Spin::VScroll5);
    EXPECT_EQ(calc.text(Field::PCramNum), "183");
    EXPECT_EQ(calc.text(Field::PCxxxx), "PC3000");
}

TEST(FormLoad, PaintsAfterTheFirstCalculationAndBeforeTheProbe)
{
    RecordingSink sink;
    Calculator calc(sink);
    RecordingWindow window(calc);
    Form_Load(calc, window, profile("x2-4400"));
    EXPECT_EQ(window.steps, (std::vector<std::string>{"centre", "show", "processEvents"}));
    EXPECT_EQ(window.nameAtPaint, "CPU Model #");
    EXPECT_EQ(window.moduleAtPaint, "PC3200");
    EXPECT_EQ(window.cpuAtPaint, "2200");
}

// ---- Failures

// A listener that throws when a given field is written, standing in for a step that fails.
void failOn(Calculator& calc, Field failing, const std::string& text = {})
{
    calc.fields().subscribe([&calc, failing, text](Field f) {
        if (f == failing && (text.empty() || calc.text(f) == text)) {
            throw std::runtime_error("step failed");
        }
    });
}

TEST(FormLoad, FirstPhaseSkipsAFailingStep)
{
    RecordingSink sink;
    Calculator calc(sink);
    HeadlessWindow window;
    failOn(calc, Field::CPU_Identity);
    Form_Load(calc, window, profile("x2-4400"));
    // The failing write still stored its text (a label shows what it was given); the steps after it ran.
    EXPECT_EQ(calc.text(Field::CPU_Stepping), "Model: 2B     Revision: BH-E4     Stepping: 01");
    EXPECT_EQ(calc.text(Field::NamePlates20), "powernow-k8");
    EXPECT_EQ(calc.text(Field::BusSpeed), "201");
    EXPECT_EQ(calc.text(Field::HyperTransport), "4");
}

TEST(FormLoad, SecondPhaseEndsAtTheFirstFailure)
{
    RecordingSink sink;
    Calculator calc(sink);
    HeadlessWindow window;
    // The nominal clock's write of the stock clock fails: the model tables and the link check never run.
    failOn(calc, Field::StockCPU_MHz, "2200");
    Form_Load(calc, window, profile("x2-4400"));
    EXPECT_EQ(calc.text(Field::CPU_Stepping), "Model: 2B     Revision: BH-E4     Stepping: 01");
    EXPECT_EQ(calc.text(Field::Multiplier), "11");
    EXPECT_EQ(calc.text(Field::BusSpeed), "200");
    EXPECT_EQ(calc.text(Field::HyperTransport), "5");
}

TEST(FormLoad, AShortProcessorNameStillReachesTheLinkCheck)
{
    TempFolder root;
    root.write("proc/cpuinfo", "model name\t: K8\nbogomips\t: 4422.00\n");
    RecordingSink sink;
    Calculator calc(sink);
    // A reference clock above 200 before the load: only the link check, the load's last step, lowers the
    // HyperTransport multiplier for it.
    calc.setText(Field::BusSpeed, "201");
    HeadlessWindow window;
    Form_Load(calc, window, root.path());
    EXPECT_EQ(calc.text(Field::CPU_Identity), "K8");
    EXPECT_EQ(calc.text(Field::Multiplier), "11");
    EXPECT_EQ(calc.text(Field::BusSpeed), "201");
    EXPECT_EQ(calc.text(Field::HyperTransport), "4");
}

} // namespace
