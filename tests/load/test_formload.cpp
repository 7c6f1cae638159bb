// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Clockdeck developers
#include "load/formload.h"
#include "report/getdata.h"

#include "support/recordingsink.h"
#include "support/tempfolder.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <string>

using namespace clockdeck;
using clockdeck::test::profile;
using clockdeck::test::RecordingSink;

namespace {

// Notes the window's steps, and what it showed when it painted.
struct PaintingWindow final : LoadWindow
{
    explicit PaintingWindow(const Calculator& c) : calc(c) {}
    void centre() override { steps += "centre "; }
    void show() override { steps += "show "; }
    void processEvents() override
    {
        steps += "paint " + calc.text(Field::CPU_Identity) + " " + calc.text(Field::shwCPU_MHz);
    }
    const Calculator& calc;
    std::string steps;
};

// The whole chain on each saved machine: probe, identification, stock values, link check, recomputation and the
// report's every line with its CR LF. The saved reports hold lines 2 to 25 with plain line ends.
TEST(FormLoad, EachProfileGivesItsSavedReport)
{
    std::tm when{};
    when.tm_year = 126, when.tm_mon = 11, when.tm_mday = 6, when.tm_hour = 14, when.tm_min = 5, when.tm_sec = 9;
    for (const char* name : {"x2-4400", "fx-53", "opteron-165", "athlon64", "athlon64-754", "am2-ddr2", "empty",
                             "modern-intel", "hostile"}) {
        std::ifstream in(profile(name) / "expected-report.txt", std::ios::binary);
        std::string expected = " 12/06/26 14:05:09\n" + std::string(std::istreambuf_iterator<char>(in), {});
        for (std::size_t i = 0; (i = expected.find('\n', i)) != std::string::npos; i += 2) {
            expected.insert(i, 1, '\r');
        }
        RecordingSink sink;
        Calculator calc(sink);
        HeadlessWindow window;
        Form_Load(calc, window, profile(name));
        EXPECT_EQ(GetData(calc.fields(), when, std::locale::classic()), expected) << name;
        EXPECT_TRUE(sink.empty()) << name;
    }
}

// The link check lowers the HyperTransport multiplier once per pass, three passes, while the link is above 1000 MHz;
// a plain Athlon 64 keeps the reference clock the window had.
TEST(FormLoad, PaintsBeforeTheProbeAndLowersTheLinkInThreePasses)
{
    for (const auto& [busSpeed, hyperTransport] : {std::pair{"250", "4"}, {"300", "3"}, {"400", "2"}}) {
        RecordingSink sink;
        Calculator calc(sink);
        calc.setText(Field::BusSpeed, busSpeed);
        PaintingWindow window(calc);
        Form_Load(calc, window, profile("athlon64"));
        EXPECT_EQ(window.steps, "centre show paint CPU Model # " + std::to_string(11 * std::stoi(busSpeed)))
            << busSpeed;
        EXPECT_EQ(calc.text(Field::HyperTransport), hyperTransport) << busSpeed;
    }
}

} // namespace
