// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Clockdeck developers
#pragma once

#include <string>
#include <string_view>

namespace clockdeck {

/// @p utf8 converted to the character set of the current C locale (nl_langinfo(CODESET)). Characters the set has
/// no room for become '?', and so does each sequence that is not well-formed UTF-8 (cut short, overlong, a
/// surrogate, above U+10FFFF, a 5- or 6-byte form), whatever the set: the report's structure and line ends always
/// survive.
[[nodiscard]] std::string toLocaleText(std::string_view utf8);

/// The same conversion into a named character set ("ISO-8859-1", "CP1252", "UTF-8"). An unknown set name gives
/// the text with every non-ASCII character replaced by '?'.
[[nodiscard]] std::string toCharset(std::string_view utf8, const char* charset);

} // namespace clockdeck
