// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Clockdeck developers
#pragma once

#include <string_view>

namespace clockdeck {

// The text without leading and trailing blanks. Only the blank character goes, not tabs or other white space:
// a processor's rating and the report's memory clock are trimmed of blanks alone.
constexpr std::string_view trimBlanks(std::string_view s)
{
    while (!s.empty() && s.front() == ' ') {
        s.remove_prefix(1);
    }
    while (!s.empty() && s.back() == ' ') {
        s.remove_suffix(1);
    }
    return s;
}

} // namespace clockdeck
