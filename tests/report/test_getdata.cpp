// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Clockdeck developers
#include "calc/fieldstore.h"
#include "report/getdata.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <ctime>
#include <locale>
#include <string>

using namespace clockdeck;

namespace {

std::tm localTime(int month, int day, int hour, int minute, int second)
{
    std::tm t{};
    t.tm_year = 126, t.tm_mon = month - 1, t.tm_mday = day, t.tm_hour = hour, t.tm_min = minute, t.tm_sec = second;
    std::mktime(&t);
    return t;
}

// The saved machine reports check every line's label, value and CR LF; these are the values that need care.
TEST(GetData, OnlyTheMemoryClockLosesItsBlanksAndEmptyFieldsKeepTheirLines)
{
    FieldStore fields;
    fields.setText(Field::shwDDR_MHz, "  \t201.0 "); // blanks go, not tabs
    fields.setText(Field::BusSpeed, " 201 ");
    fields.setText(Field::StockCPU_MHz, "");
    const std::string report = GetData(fields, localTime(12, 6, 14, 5, 9), std::locale::classic());
    for (const char* line :
         {"\r\n Ram Speed..... \t201.0 MHz\r\n", "\r\n Clock.........  201 \r\n", "\r\n Stock.........  MHz\r\n"}) {
        EXPECT_NE(report.find(line), std::string::npos) << line << " in\n" << report;
    }
}

// The first line: the short date and the long time of the user's LC_TIME; the date alone at exactly midnight.
TEST(GetData, DateAndTimeInTheUsersRegionalFormat)
{
    const std::locale c = std::locale::classic();
    EXPECT_EQ(reportDateTime(localTime(1, 2, 0, 0, 0), c), "01/02/26");
    EXPECT_EQ(reportDateTime(localTime(1, 2, 0, 0, 1), c), "01/02/26 00:00:01");
    const char* saved = std::getenv("LC_ALL");
    const std::string savedAll = saved ? saved : "";
    for (const auto& [name, expected] :
         {std::pair{"en_US.UTF-8", "03/04/2026 05:06:07 AM"}, {"xx_NOWHERE.UTF-8", "03/04/26 05:06:07"}}) {
        ::setenv("LC_ALL", name, 1);
        EXPECT_EQ(reportDateTime(localTime(3, 4, 5, 6, 7), userTimeLocale()), expected)
            << name << (std::string(name) == "en_US.UTF-8" ? " (is the locale generated? run tools/deps.sh)" : "");
    }
    const std::time_t before = std::time(nullptr);
    const std::string first = GetData(FieldStore{}).substr(0, 9); // a locale that is not there: C's format
    const std::time_t after = std::time(nullptr);
    saved ? ::setenv("LC_ALL", savedAll.c_str(), 1) : ::unsetenv("LC_ALL");
    EXPECT_EQ(std::locale().name(), "C") << "the program's global locale was changed";
    std::tm now[2]{};
    localtime_r(&before, &now[0]);
    localtime_r(&after, &now[1]);
    EXPECT_TRUE(first == " " + reportDateTime(now[0], c).substr(0, 8) ||
                first == " " + reportDateTime(now[1], c).substr(0, 8))
        << "dated today: " << first;
}

} // namespace
