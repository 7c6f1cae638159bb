// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Clockdeck developers
#include "calc/fieldstore.h"
#include "report/getdata.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <ctime>
#include <locale>
#include <optional>
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
    std::mktime(&t); // fills in the day of the week
    return t;
}

// The report's lines without their CR LF; fails the test when a line end is not CR LF.
std::vector<std::string> lines(const std::string& report)
{
    std::vector<std::string> result;
    std::size_t start = 0;
    while (start < report.size()) {
        const auto end = report.find("\r\n", start);
        if (end == std::string::npos) {
            ADD_FAILURE() << "text after the last CR LF: " << report.substr(start);
            break;
        }
        result.push_back(report.substr(start, end - start));
        start = end + 2;
    }
    return result;
}

class GetDataTest : public ::testing::Test
{
protected:
    std::string report() { return GetData(fields, localTime(2026, 12, 6, 14, 5, 9), std::locale::classic()); }

    FieldStore fields;
};

// ---- Layout

TEST_F(GetDataTest, TwentyFiveLinesOfLabelsValuesAndUnits)
{
    fields.setText(Field::CPU_Identity, "AMD Athlon(tm) 64 X2 Dual Core Processor 4400+");
    fields.setText(Field::CPU_Stepping, "Model: 2B     Revision: BH-E4     Stepping: 01");
    fields.setText(Field::NamePlates18, "05/12/2006");
    fields.setText(Field::NamePlates19, "");
    fields.setText(Field::NamePlates20, "n/a");
    fields.setText(Field::Label17, "2211");
    fields.setText(Field::shwDDR_MHz, "201.0");
    fields.setText(Field::CPU_OC_Prcnt, "+.5%");
    const std::string report = this->report();
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
    EXPECT_EQ(lines(report), expected);
    EXPECT_EQ(report.size(), report.rfind("\r\n") + 2) << "nothing follows the last line end";
}

// ---- Values as the fields show them

TEST_F(GetDataTest, OnlyTheMemoryClockLosesItsBlanks)
{
    const struct
    {
        const char* name;
        Field field;
        const char* text;
        std::size_t line; // 1-based
        const char* expected;
    } cases[] = {
        {"memory clock blanks trimmed", Field::shwDDR_MHz, "  201.0 ", 12, " Ram Speed..... 201.0 MHz"},
        {"memory clock tab kept", Field::shwDDR_MHz, "\t201.0", 12, " Ram Speed..... \t201.0 MHz"},
        {"memory clock all blanks", Field::shwDDR_MHz, "   ", 12, " Ram Speed.....  MHz"},
        {"other blanks kept", Field::BusSpeed, " 201 ", 14, " Clock.........  201 "},
        {"empty stock clock", Field::StockCPU_MHz, "", 8, " Stock.........  MHz"},
        {"empty processor name", Field::CPU_Identity, "", 2, " "},
        {"link multiplier", Field::HyperTransport, "4", 16, " HyperTrns..... 4x"},
        {"link clock", Field::Label13, "804", 13, " HyperTrns..... 804 MHz"},
    };
    for (const auto& c : cases) {
        fields.reset();
        fields.setText(c.field, c.text);
        const auto got = lines(report());
        ASSERT_EQ(got.size(), 25U) << c.name;
        EXPECT_EQ(got[c.line - 1], c.expected) << c.name;
    }
}

TEST_F(GetDataTest, ALineEndInsideAFieldAddsLines)
{
    fields.setText(Field::CPU_Identity, "first\r\nsecond");
    const auto got = lines(report());
    ASSERT_EQ(got.size(), 26U);
    EXPECT_EQ(got[1], " first");
    EXPECT_EQ(got[2], "second");
}

// ---- The date line

TEST(ReportDateTime, DateAloneAtExactlyMidnight)
{
    const std::locale c = std::locale::classic();
    EXPECT_EQ(reportDateTime(localTime(2026, 1, 2, 0, 0, 0), c), "01/02/26");
    EXPECT_EQ(reportDateTime(localTime(2026, 1, 2, 0, 0, 1), c), "01/02/26 00:00:01");
    EXPECT_EQ(reportDateTime(localTime(2026, 1, 2, 23, 59, 59), c), "01/02/26 23:59:59");
    EXPECT_EQ(reportDateTime(localTime(2026, 1, 2, 12, 0, 0), c), "01/02/26 12:00:00");
}

TEST(ReportDateTime, FollowsTheUsersRegionalFormat)
{
    std::locale us;
    try {
        us = std::locale("en_US.UTF-8");
    } catch (const std::runtime_error&) {
        GTEST_SKIP() << "the en_US.UTF-8 locale is not installed";
    }
    // Short date with a four-digit year, long time in the 12-hour clock.
    EXPECT_EQ(reportDateTime(localTime(2026, 12, 6, 14, 5, 9), us), "12/06/2026 02:05:09 PM");
}

// Sets the three locale variables for the life of the object, and puts them back afterwards.
class LocaleEnvironment
{
public:
    LocaleEnvironment(const char* all, const char* time, const char* lang)
    {
        set("LC_ALL", all);
        set("LC_TIME", time);
        set("LANG", lang);
    }
    LocaleEnvironment(const LocaleEnvironment&) = delete;
    LocaleEnvironment& operator=(const LocaleEnvironment&) = delete;
    ~LocaleEnvironment()
    {
        for (const auto& [name, value] : m_saved) {
            if (value) {
                ::setenv(name.c_str(), value->c_str(), 1);
            } else {
                ::unsetenv(name.c_str());
            }
        }
    }

private:
    void set(const char* name, const char* value)
    {
        const char* old = std::getenv(name);
        m_saved.emplace_back(name, old != nullptr ? std::optional<std::string>(old) : std::nullopt);
        if (value != nullptr) {
            ::setenv(name, value, 1);
        } else {
            ::unsetenv(name);
        }
    }

    std::vector<std::pair<std::string, std::optional<std::string>>> m_saved;
};

TEST(ReportDateTime, UserLocaleFollowsTheEnvironmentAndFallsBackToC)
{
    bool haveUs = true;
    try {
        std::locale("en_US.UTF-8");
    } catch (const std::runtime_error&) {
        haveUs = false;
    }
    const std::string c = "03/04/26 05:06:07";
    const std::string us = "03/04/2026 05:06:07 AM";
    const struct
    {
        const char* name;
        const char* all;
        const char* time;
        const char* lang;
        bool needsUs;
        std::string expected;
    } cases[] = {
        {"locale not installed", "xx_NOWHERE.UTF-8", nullptr, nullptr, false, c},
        {"nothing set", nullptr, nullptr, nullptr, false, c},
        {"C with a character set", "C.UTF-8", nullptr, nullptr, false, c},
        {"LC_TIME alone", nullptr, "en_US.UTF-8", "C", true, us},
        {"LANG alone", nullptr, nullptr, "en_US.UTF-8", true, us},
        {"LC_ALL wins over LC_TIME", "C", "en_US.UTF-8", nullptr, false, c},
        {"an empty LC_ALL counts as unset", "", "en_US.UTF-8", nullptr, true, us},
    };
    for (const auto& row : cases) {
        if (row.needsUs && !haveUs) {
            continue;
        }
        std::locale loc;
        {
            LocaleEnvironment env(row.all, row.time, row.lang);
            loc = userTimeLocale();
        }
        EXPECT_EQ(reportDateTime(localTime(2026, 3, 4, 5, 6, 7), loc), row.expected) << row.name;
    }
    // The program's global locale is left alone.
    EXPECT_EQ(std::locale().name(), "C");
}

TEST(GetDataNow, DatesTheReportWithTheCurrentTime)
{
    FieldStore fields;
    const std::time_t before = std::time(nullptr);
    const std::string report = GetData(fields);
    const std::time_t after = std::time(nullptr);
    // Under LC_ALL=C the line is " MM/DD/YY HH:MM:SS" (or the date alone at midnight).
    const std::string first = report.substr(0, report.find("\r\n"));
    bool matched = false;
    for (std::time_t t = before; t <= after; ++t) {
        std::tm local{};
        localtime_r(&t, &local);
        matched =
            matched || (first.starts_with(' ') && first.substr(1) == reportDateTime(local, std::locale::classic()));
    }
    EXPECT_TRUE(matched) << first;
}

} // namespace
