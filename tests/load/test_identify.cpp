// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Clockdeck developers
#include "load/identify.h"

#include "support/recordingsink.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>

using namespace clockdeck;
using clockdeck::test::RecordingSink;

namespace {

// The saved profiles' reports cover the rules SH-CG, JH-E6, BH-E4 and BH-E6; these rows cover the rest, and the
// hexadecimal model and stepping with at least two digits.
TEST(Identify, RevisionRulesMatchAsPlainSubstringsAndTheLastMatchWins)
{
    // clang-format off
    const std::pair<const char*, const char*> cases[] = {
        {"x86 Family 15 Model 15 Stepping 0", "Model: 0F     Revision: DH-CG     Stepping: 00"},
        {"x86 Family 15 Model 31 Stepping 0", "Model: 1F     Revision: DH-DO     Stepping: 00"},
        {"x86 Family 15 Model 47 Stepping 0", "Model: 2F     Revision: DH-E3     Stepping: 00"},
        {"x86 Family 15 Model 39 Stepping 10", "Model: 27     Revision: SH-E4     Stepping: 0A"},
        {"x86 Family 15 Model 71 Stepping 10", "Model: 47     Revision: SH-CG     Stepping: 0A"},
        {"Model 7 Model 39 Stepping 10", "Model: 07     Revision: SH-E4     Stepping: 0A"},
        {"Model 47 Stepping 2 (rev)", "Model: 2F     Revision: BH-E6     Stepping: 00"},
        {"x86 Family 15 Model 4 Stepping 8", "x86 Family 15 Model 4 Stepping 8"},
        {"x86 family 15 model 7 stepping 10", "x86 family 15 model 7 stepping 10"}};
    // clang-format on
    RecordingSink sink;
    Calculator calc(sink);
    for (const auto& [identifier, expected] : cases) {
        calc.setText(Field::CPU_Stepping, identifier);
        IdentifyRevision(calc);
        EXPECT_EQ(calc.text(Field::CPU_Stepping), expected) << identifier;
    }
}

// Whole boot clocks from 1650 to 3349 round to the nearest 100 (50 up); everything else gives 0.
TEST(Identify, NominalClockBandsAndTheClampedMultiplier)
{
    for (int boot = 1500; boot <= 3500; ++boot) {
        ASSERT_EQ(NominalClock(boot), boot >= 1650 && boot <= 3349 ? (boot + 50) / 100 * 100 : 0) << boot;
    }
    EXPECT_EQ(NominalClock(1749.5), 0) << "the bands are closed ranges of whole numbers";
    RecordingSink sink;
    Calculator calc(sink);
    for (const auto& [boot, result] : {std::pair{"1650", "8.5 1700"}, {"3349", "15 3000"}}) {
        calc.setText(Field::Label17, boot);
        SetNominalClock(calc);
        EXPECT_EQ(calc.text(Field::Multiplier) + " " + calc.text(Field::StockCPU_MHz), result) << boot;
    }
}

// Each row applies just above its multiplier (the boot clock 100 MHz above its stock clock) and writes its stock
// clock and multiplier; the reference clock is the boot clock over the multiplier, rounded half away from zero.
TEST(Identify, EveryModelRowSetsItsStockValues)
{
    // clang-format off
    const std::pair<const char*, int> rows[] = {
        {"Athlon 64 X2 Dual Core 3800+", 10}, {"Athlon 64 X2 Dual Core 4200+", 11}, {"Athlon 64 X2 Dual Core 4400+", 11},
        {"Athlon 64 X2 Dual Core 4600+", 12}, {"Athlon 64 X2 Dual Core 4800+", 12}, {"Athlon 64 FX-53", 12},
        {"Athlon 64 FX-55", 13}, {"Athlon 64 FX-57", 14}, {"Athlon 64 FX-60", 13}, {"Opteron 144", 9},
        {"Opteron 146", 10}, {"Opteron 148", 11}, {"Opteron 150", 12}, {"Opteron 152", 13}, {"Opteron 154", 14},
        {"Opteron 165", 9}, {"Opteron 170", 10}, {"Opteron 175", 11}, {"Opteron 180", 12}};
    // A rating followed by a blank matches no row; FX rows read the
    // multiplier afresh, so row 55 lowering 15 to 13 keeps row 57 (above 14) from applying.
    const std::tuple<const char*, const char*, const char*> others[] = {
        {"AMD Athlon(tm) 64 X2 Dual Core Processor 4400+ ", "2412", "12 2400 201 1.35"},
        {"AMD Athlon(tm) 64 FX-55/57", "3300", "13 2600 254 1.35"},
        {"AMD Athlon(tm) 64 X2 Dual Core Processor 4400+", "1000", "4 1000 250 1.35"}};
    // clang-format on
    RecordingSink sink;
    Calculator calc(sink);
    auto identify = [&](const char* name, const std::string& boot) {
        calc.reset();
        calc.setText(Field::Label17, boot);
        calc.setText(Field::CPU_Identity, name);
        SetNominalClock(calc);
        ApplyModelTables(calc);
        return calc.text(Field::Multiplier) + " " + calc.text(Field::StockCPU_MHz) + " " + calc.text(Field::BusSpeed) +
               " " + calc.text(Field::StockCPU_Vcore);
    };
    for (const auto& [name, m] : rows) {
        const std::string vcore = std::string(name).find("FX-53") != std::string::npos ? "1.5" : "1.35";
        EXPECT_EQ(identify(name, std::to_string(200 * m + 100)),
                  std::to_string(m) + " " + std::to_string(200 * m) + " " +
                      std::to_string(std::lround((200.0 * m + 100) / m)) + " " + vcore)
            << name;
    }
    for (const auto& [name, boot, expected] : others) {
        EXPECT_EQ(identify(name, boot), expected) << name << " at " << boot;
    }
    EXPECT_TRUE(sink.empty());
}

} // namespace
