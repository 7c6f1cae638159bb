// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Clockdeck developers
#include "cpuinfo.h"

#include "base/text.h"

#include <charconv>
#include <cmath>
#include <limits>

namespace clockdeck {

namespace {

// A positive decimal number filling the whole (blank-trimmed) text, or nothing. from_chars does not look at the
// locale, and its general format takes neither hexadecimal nor a leading "+".
[[nodiscard]] std::optional<double> positiveNumber(std::string_view text)
{
    text = trimSpacesAndTabs(text);
    double value = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || ec != std::errc() || end != text.data() + text.size() || !std::isfinite(value) || value <= 0) {
        return std::nullopt;
    }
    return value;
}

// MHz rounded half away from zero, when it fits a 32-bit integer and is at least 1.
[[nodiscard]] std::optional<std::int32_t> wholeMHz(double mhz)
{
    const double rounded = std::round(mhz);
    if (rounded < 1 || rounded > std::numeric_limits<std::int32_t>::max()) {
        return std::nullopt;
    }
    return static_cast<std::int32_t>(rounded);
}

} // namespace

CpuInfo CpuInfo::parse(std::string_view text)
{
    CpuInfo info;
    while (!text.empty()) {
        const auto end = text.find('\n');
        std::string_view line = text.substr(0, end);
        text = end == std::string_view::npos ? std::string_view() : text.substr(end + 1);
        if (!line.empty() && line.back() == '\r') {
            line.remove_suffix(1);
        }
        if (line.empty()) {
            if (!info.m_values.empty()) {
                break; // the end of processor 0's record
            }
            continue;
        }
        const auto colon = line.find(':');
        if (colon == std::string_view::npos) {
            continue;
        }
        std::string_view key = line.substr(0, colon);
        while (!key.empty() && isSpaceOrTab(key.back())) {
            key.remove_suffix(1);
        }
        std::string_view value = line.substr(colon + 1);
        if (!value.empty() && value.front() == ' ') {
            value.remove_prefix(1);
        }
        info.m_values.emplace_back(key, value);
    }
    return info;
}

std::optional<std::string_view> CpuInfo::value(std::string_view key) const
{
    for (const auto& [k, v] : m_values) {
        if (k == key) {
            return std::string_view(v);
        }
    }
    return std::nullopt;
}

std::int32_t CpuInfo::bootMHz() const
{
    if (const auto bogomips = value("bogomips")) {
        if (const auto number = positiveNumber(*bogomips)) {
            if (const auto mhz = wholeMHz(*number / 2)) {
                return *mhz;
            }
        }
    }
    if (const auto cpuMHz = value("cpu MHz")) {
        if (const auto number = positiveNumber(*cpuMHz)) {
            if (const auto mhz = wholeMHz(*number)) {
                return *mhz;
            }
        }
    }
    return 0;
}

std::optional<std::string> CpuInfo::identifier() const
{
    const auto family = value("cpu family");
    const auto model = value("model");
    const auto stepping = value("stepping");
    if (!family || !model || !stepping) {
        return std::nullopt;
    }
    const auto f = wholeNumber(trimSpacesAndTabs(*family));
    const auto m = wholeNumber(trimSpacesAndTabs(*model));
    const auto s = wholeNumber(trimSpacesAndTabs(*stepping));
    if (!f || !m || !s) {
        return std::nullopt;
    }
    return "x86 Family " + std::to_string(*f) + " Model " + std::to_string(*m) + " Stepping " + std::to_string(*s);
}

} // namespace clockdeck
