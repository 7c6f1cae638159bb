// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Clockdeck developers
#pragma once

#include <ctime>
#include <locale>
#include <string>

namespace clockdeck {

class FieldStore;

// The user's date and time conventions: the LC_TIME category of the environment (LC_ALL, LC_TIME, LANG), taken
// without changing the program's global locale; the C locale when the named locale is not installed.
std::locale userTimeLocale();

// A local date and time as the report's first line shows it: the locale's short date, a blank and its long time
// ("%x %X"); the date alone at exactly midnight.
std::string reportDateTime(const std::tm& local, const std::locale& timeLocale);

// The 25-line report of what the fields show now, every line ending in CR LF, dated @p local.
std::string GetData(const FieldStore& fields, const std::tm& local, const std::locale& timeLocale);

// The same, dated now in the user's local time and regional format.
std::string GetData(const FieldStore& fields);

} // namespace clockdeck
