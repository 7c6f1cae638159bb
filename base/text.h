// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Clockdeck developers
#pragma once

#include <charconv>
#include <optional>
#include <string_view>

namespace clockdeck {

/// The text without leading and trailing spaces. Only the space character goes, not tabs or other white space:
/// a processor's rating and the report's memory clock are trimmed of spaces alone.
[[nodiscard]] constexpr std::string_view trimSpaces(std::string_view s)
{
    while (!s.empty() && s.front() == ' ') {
        s.remove_prefix(1);
    }
    while (!s.empty() && s.back() == ' ') {
        s.remove_suffix(1);
    }
    return s;
}

[[nodiscard]] constexpr bool isSpaceOrTab(char c)
{
    return c == ' ' || c == '\t';
}

/// The text without leading and trailing spaces and tabs, the padding of /proc's "key : value" lines.
[[nodiscard]] constexpr std::string_view trimSpacesAndTabs(std::string_view s)
{
    while (!s.empty() && isSpaceOrTab(s.front())) {
        s.remove_prefix(1);
    }
    while (!s.empty() && isSpaceOrTab(s.back())) {
        s.remove_suffix(1);
    }
    return s;
}

/// A whole decimal number filling the whole text, or nothing: no sign, no blanks, no hexadecimal, and nothing
/// beyond the range of unsigned.
[[nodiscard]] inline std::optional<unsigned> wholeNumber(std::string_view text)
{
    unsigned value = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || ec != std::errc() || end != text.data() + text.size()) {
        return std::nullopt;
    }
    return value;
}

} // namespace clockdeck
