// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Clockdeck developers
#include "calc/fieldstore.h"
#include "report/getdata.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <ctime>
#include <locale>
#include <string>
#include <vector>

using namespace clockdeck;

namespace {

std::tm localTime(int year, int month, int day, int hour, int minute, int second)
{
    std::tm t{};
    t.tm_year = year - 1900;
    t.tm_mon = month - 1;
    t.tm_mday = day;
    t.tm_hour = hour;
    t.tm_min = minute;
    t.tm_sec = second;
    std::mktime(&t);
    return t;
}

// The report's lines without their CR LF; fails the test when a line end is not CR LF.
std::vector<std::string> lines(const std::string& report)
{
    std::vector<std::string> result;
    for (std::size_t start = 0, end; start < report.size(); start = end + 2) {
        end = report.find("\r\n", start);
        if (end == std::string::npos) {
            ADD_FAILURE() << "text after the last CR LF: " << report.substr(start);
            break;
        }
        result.push_back(report.substr(start, end - start));
    }
    return result;
}

std::vector<std::string> reportLines(const FieldStore& fields)
{
    return lines(GetData(fields, localTime(2026, 12, 6, 14, 5, 9), std::locale::classic()));
}

bool haveUsLocale()
{
    try {
        std::locale("en_US.UTF-8");
        return true;
    } catch (const std::runtime_error&) {
        return false;
    }
}

} // namespace

TEST(GetData, TwentyFiveLinesOfLabelsValuesAndUnits)
{
    FieldStore fields;
    fields.setText(Field::CPU_Identity, "AMD Athlon(tm) 64 X2 Dual Core Processor 4400+");
    fields.setText(Field::CPU_Stepping, "Model: 2B     Revision: BH-E4     Stepping: 01");
    fields.setText(Field::NamePlates18, "05/12/2006");
    fields.setText(Field::NamePlates19, "");
    fields.setText(Field::NamePlates20, "n/a");
    fields.setText(Field::Label17, "2211");
    fields.setText(Field::shwDDR_MHz, "201.0");
    fields.setText(Field::CPU_OC_Prcnt, "+.5%");
    const std::vector<std::string> expected{
        " 12/06/26 14:05:09",
        " AMD Athlon(tm) 64 X2 Dual Core Processor 4400+",
        " Model: 2B     Revision: BH-E4     Stepping: 01",
        " --------------------------------------------",
        " BIOS: 05/12/2006   Video BIOS: ",
        " AMD CPU Driver: n/a",
        " --------------------------------------------",
        " Stock......... 2200 MHz",
        " Detected...... 2211 MHz",
        " --------------------------------------------",
        " CPU Speed..... 0 MHz",
        " Ram Speed..... 201.0 MHz",
        " HyperTrns..... 0 MHz",
        " Clock......... 200",
        " Multiple...... 11x",
        " HyperTrns..... 5x",
        " Vcore......... 1.35V",
        " Vcore OC...... 1.35V",
        " VDimm......... 2.6V",
        " VDimm OC...... 2.6V",
        " % OC CPU...... +.5%",
        " % OC Ram...... %",
        " % OC Vcore.... %",
        " % OC VDimm.... %",
        " --------------------------------------------",
    };
    EXPECT_EQ(reportLines(fields), expected);
}

TEST(GetData, OnlyTheMemoryClockLosesItsBlanks)
{
    const struct
    {
        Field field;
        const char* text;
        std::size_t line; // 1-based
        const char* expected;
    } cases[] = {
        {Field::shwDDR_MHz, "  201.0 ", 12, " Ram Speed..... 201.0 MHz"},
        {Field::shwDDR_MHz, "\t201.0", 12, " Ram Speed..... \t201.0 MHz"},
        {Field::BusSpeed, " 201 ", 14, " Clock.........  201 "},
    };
    for (const auto& c : cases) {
        FieldStore fields;
        fields.setText(c.field, c.text);
        const auto got = reportLines(fields);
        ASSERT_EQ(got.size(), 25U) << c.text;
        EXPECT_EQ(got[c.line - 1], c.expected);
    }
}

TEST(GetData, DateAloneAtExactlyMidnightInTheUsersRegionalFormat)
{
    const std::locale c = std::locale::classic();
    EXPECT_EQ(reportDateTime(localTime(2026, 1, 2, 0, 0, 0), c), "01/02/26");
    EXPECT_EQ(reportDateTime(localTime(2026, 1, 2, 0, 0, 1), c), "01/02/26 00:00:01");
    EXPECT_EQ(reportDateTime(localTime(2026, 1, 2, 12, 0, 0), c), "01/02/26 12:00:00");
    if (!haveUsLocale())
        GTEST_SKIP() << "the en_US.UTF-8 locale is not installed";
    const std::locale us("en_US.UTF-8");
    EXPECT_EQ(reportDateTime(localTime(2026, 12, 6, 14, 5, 9), us), "12/06/2026 02:05:09 PM");
    EXPECT_EQ(reportDateTime(localTime(2026, 12, 6, 0, 0, 0), us), "12/06/2026");
}

TEST(GetData, UserLocaleComesFromTheEnvironment)
{
    const char* saved = std::getenv("LC_ALL");
    const std::string savedAll = saved ? saved : "";
    const struct
    {
        const char* all;
        bool needsUs;
        std::string expected;
    } cases[] = {
        {"xx_NOWHERE.UTF-8", false, "03/04/26 05:06:07"},
        {"en_US.UTF-8", true, "03/04/2026 05:06:07 AM"},
    };
    for (const auto& c : cases) {
        if (c.needsUs && !haveUsLocale())
            continue;
        ::setenv("LC_ALL", c.all, 1);
        EXPECT_EQ(reportDateTime(localTime(2026, 3, 4, 5, 6, 7), userTimeLocale()), c.expected) << c.all;
    }
    saved ? ::setenv("LC_ALL", savedAll.c_str(), 1) : ::unsetenv("LC_ALL");
    EXPECT_EQ(std::locale().name(), "C") << "the program's global locale was changed";
}

TEST(GetData, DatesTheReportWithTheCurrentTime)
{
    const std::time_t before = std::time(nullptr);
    const std::string report = GetData(FieldStore{});
    const std::time_t after = std::time(nullptr);
    const std::string first = report.substr(0, report.find("\r\n"));
    bool matched = false;
    for (std::time_t t = before; t <= after; ++t) {
        std::tm local{};
        localtime_r(&t, &local);
        matched = matched || first == " " + reportDateTime(local, userTimeLocale());
    }
    EXPECT_TRUE(matched) << first;
}
