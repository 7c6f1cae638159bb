// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Clockdeck developers
#include "load/identify.h"

#include "calc/calculator.h"
#include "calc/numbertext.h"

#include "support/recordingsink.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>
#include <tuple>
#include <vector>

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
        identifyRevision(calc);
        EXPECT_EQ(calc.text(Field::CPU_Stepping), expected) << identifier;
    }
}

TEST(Identify, NominalClockBands)
{
    for (int boot = 1500; boot <= 3500; ++boot) {
        ASSERT_EQ(nominalClock(boot), boot >= 1650 && boot <= 3349 ? (boot + 50) / 100 * 100 : 0) << boot;
    }
    EXPECT_EQ(nominalClock(1749.5), 0) << "the bands are closed ranges of whole numbers";
}

// The multiplier left is the smaller of the nominal one and the model's cap (what is left at the highest boot clock);
// the names are every rating, FX number and Opteron number of the families, known or not.
TEST(Identify, ModelRowsCapTheMultiplierAndKeepTheStockValuesInStep)
{
    RecordingSink sink;
    Calculator calc(sink);
    auto identify = [&](const std::string& name, const std::string& boot) {
        calc.reset();
        calc.setText(Field::Label17, boot);
        calc.setText(Field::CPU_Identity, name);
        setNominalClock(calc);
        applyModelTables(calc);
        return ParseLeadingNumber(calc.text(Field::Multiplier));
    };
    std::vector<std::string> names;
    for (int rating = 3000; rating <= 5200; rating += 100) {
        names.push_back("Athlon 64 X2 Dual Core " + std::to_string(rating) + "+");
    }
    for (int fx = 50; fx <= 65; ++fx) {
        names.push_back("Athlon 64 FX-" + std::to_string(fx));
    }
    for (int opteron = 140; opteron <= 190; ++opteron) {
        names.push_back("Opteron " + std::to_string(opteron));
    }
    int capped = 0;
    for (const std::string& name : names) {
        const double cap = identify(name, "3349");
        capped += cap < 15 ? 1 : 0;
        for (int boot = 1650; boot <= 3349; boot += 50) {
            const double multiplier = identify(name, std::to_string(boot));
            EXPECT_EQ(multiplier, std::min(nominalClock(boot) / 200.0, cap)) << name << " at " << boot;
            EXPECT_EQ(calc.text(Field::StockCPU_MHz), NumberToText(200 * multiplier)) << name << " at " << boot;
            EXPECT_EQ(calc.text(Field::BusSpeed), std::to_string(std::lround(boot / multiplier)))
                << name << " at " << boot;
        }
    }
    EXPECT_EQ(capped, 19) << "the X2, FX and Opteron models the tables know";

    // A rating followed by a blank matches no row; FX rows read the multiplier afresh, so row 55 lowering 15 to 13
    // keeps row 57 (above 14) from applying; FX-53 alone sets a stock core voltage.
    const std::tuple<const char*, const char*, const char*> others[] = {
        {"AMD Athlon(tm) 64 X2 Dual Core Processor 4400+ ", "2412", "12 2400 201 1.35"},
        {"AMD Athlon(tm) 64 FX-55/57", "3300", "13 2600 254 1.35"},
        {"AMD Athlon(tm) 64 FX-53", "2500", "12 2400 208 1.5"},
        {"AMD Athlon(tm) 64 X2 Dual Core Processor 4400+", "1000", "4 1000 250 1.35"}};
    for (const auto& [name, boot, expected] : others) {
        identify(name, boot);
        EXPECT_EQ(calc.text(Field::Multiplier) + " " + calc.text(Field::StockCPU_MHz) + " " +
                      calc.text(Field::BusSpeed) + " " + calc.text(Field::StockCPU_Vcore),
                  expected)
            << name << " at " << boot;
    }
    EXPECT_TRUE(sink.empty());
}

} // namespace
