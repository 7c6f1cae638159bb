// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Clockdeck developers
#include "getdata.h"

#include "base/text.h"
#include "calc/fieldstore.h"

#include <array>
#include <cstdlib>
#include <iterator>
#include <sstream>
#include <stdexcept>
#include <string_view>

namespace clockdeck {

namespace {

constexpr std::string_view LineEnd = "\r\n";
constexpr std::string_view Separator = " --------------------------------------------";

// A line of a value: label, the field's text, unit.
struct ValueLine
{
    std::string_view label;
    Field field;
    std::string_view unit;
};

// Lines 8 and 9.
constexpr std::array<ValueLine, 2> StockLines{{
    {" Stock......... ", Field::StockCPU_MHz, " MHz"},
    {" Detected...... ", Field::Label17, " MHz"},
}};

// Lines 11 to 24. " HyperTrns..... " labels both the link clock and its multiplier.
constexpr std::array<ValueLine, 14> ClockLines{{
    {" CPU Speed..... ", Field::shwCPU_MHz, " MHz"},
    {" Ram Speed..... ", Field::shwDDR_MHz, " MHz"},
    {" HyperTrns..... ", Field::Label13, " MHz"},
    {" Clock......... ", Field::BusSpeed, ""},
    {" Multiple...... ", Field::Multiplier, "x"},
    {" HyperTrns..... ", Field::HyperTransport, "x"},
    {" Vcore......... ", Field::StockCPU_Vcore, "V"},
    {" Vcore OC...... ", Field::OverClock_CPU_Vcore, "V"},
    {" VDimm......... ", Field::Stock_Vdimm, "V"},
    {" VDimm OC...... ", Field::OC_Vdimm, "V"},
    {" % OC CPU...... ", Field::CPU_OC_Prcnt, ""},
    {" % OC Ram...... ", Field::DDR_OC_Prcnt, ""},
    {" % OC Vcore.... ", Field::Vcore_OC_Prcnt, ""},
    {" % OC VDimm.... ", Field::Label18, ""},
}};

void appendLine(std::string& report, std::string_view a, std::string_view b = {}, std::string_view c = {},
                std::string_view d = {})
{
    report.append(a).append(b).append(c).append(d).append(LineEnd);
}

void appendValueLine(std::string& report, const FieldStore& fields, const ValueLine& line)
{
    const std::string_view text = fields.text(line.field);
    // The memory clock alone loses its surrounding blanks; every other value stands as the field shows it.
    appendLine(report, line.label, line.field == Field::shwDDR_MHz ? trimSpaces(text) : text, line.unit);
}

} // namespace

std::locale userTimeLocale()
{
    // The name the C library would take for LC_TIME: LC_ALL, else LC_TIME, else LANG.
    const char* name = nullptr;
    for (const char* variable : {"LC_ALL", "LC_TIME", "LANG"}) {
        name = std::getenv(variable);
        if (name != nullptr && *name != '\0') {
            break;
        }
    }
    const std::string_view text = name != nullptr ? name : "";
    // The C locale and its character-set variants (C.UTF-8) write dates alike; taking them as they are saves
    // loading the locale files at every start.
    if (text.empty() || text == "C" || text == "POSIX" || text.starts_with("C.")) {
        return std::locale::classic();
    }
    try {
        return std::locale(std::locale::classic(), std::locale(""), std::locale::time);
    } catch (const std::runtime_error&) {
        // A locale the C library does not know.
        return std::locale::classic();
    }
}

std::string reportDateTime(const std::tm& local, const std::locale& timeLocale)
{
    const bool midnight = local.tm_hour == 0 && local.tm_min == 0 && local.tm_sec == 0;
    const std::string_view format = midnight ? "%x" : "%x %X";
    std::ostringstream out;
    out.imbue(timeLocale);
    const auto& facet = std::use_facet<std::time_put<char>>(timeLocale);
    facet.put(std::ostreambuf_iterator<char>(out), out, ' ', &local, format.data(), format.data() + format.size());
    return out.str();
}

std::string GetData(const FieldStore& fields, const std::tm& local, const std::locale& timeLocale)
{
    std::string report;
    report.reserve(1024);
    appendLine(report, " ", reportDateTime(local, timeLocale));
    appendLine(report, " ", fields.text(Field::CPU_Identity));
    appendLine(report, " ", fields.text(Field::CPU_Stepping));
    appendLine(report, Separator);
    appendLine(report, " BIOS: ", fields.text(Field::NamePlates18),
               "   Video BIOS: ", fields.text(Field::NamePlates19));
    appendLine(report, " AMD CPU Driver: ", fields.text(Field::NamePlates20));
    appendLine(report, Separator);
    for (const auto& line : StockLines) {
        appendValueLine(report, fields, line);
    }
    appendLine(report, Separator);
    for (const auto& line : ClockLines) {
        appendValueLine(report, fields, line);
    }
    appendLine(report, Separator);
    return report;
}

std::string GetData(const FieldStore& fields)
{
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    return GetData(fields, local, userTimeLocale());
}

} // namespace clockdeck
