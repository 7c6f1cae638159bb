// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Clockdeck developers
#pragma once

#include <filesystem>
#include <string>
#include <string_view>
#include <system_error>

namespace clockdeck {

// The results file: reports appended one after another, oldest first, each followed by an empty line.
//
// Encoding: reports are built as UTF-8. The file holds the user's 8-bit locale text, so the caller converts the
// report with toLocaleText() before appending (the window does, after Qt has set the locale from the environment);
// append() writes the bytes it is given unchanged.
class ResultsFile
{
public:
    // Relative paths are resolved against the current working directory at each append, not at construction.
    explicit ResultsFile(std::filesystem::path path = "Results.txt");

    const std::filesystem::path& path() const { return m_path; }

    // Appends @p report and one more CR LF, creating the file when missing. The entry goes in one write while an
    // exclusive lock is held, so appends from threads and processes never interleave. On any failure (opening,
    // writing, closing) the file is put back exactly as it was: its old length, or no file when it did not exist.
    // Returns the system's error; its message() is the description to show.
    std::error_code append(std::string_view report) const;

private:
    std::filesystem::path m_path;
};

// @p utf8 converted to the character set of the current C locale (nl_langinfo(CODESET)). Characters the set has
// no room for, and bytes that are not UTF-8, become '?': the report's structure and line ends always survive.
std::string toLocaleText(std::string_view utf8);

// The same conversion into a named character set ("ISO-8859-1", "CP1252", "UTF-8"). An unknown set name gives
// the text with every non-ASCII byte replaced by '?'.
std::string toCharset(std::string_view utf8, const char* charset);

} // namespace clockdeck
