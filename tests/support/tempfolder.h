// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Clockdeck developers
#pragma once

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string_view>

namespace clockdeck::test {

// A fresh private folder (mkdtemp: mode 0700, a name nobody could have planted), removed with all it holds.
class TempFolder
{
public:
    TempFolder()
    {
        std::string pattern = (std::filesystem::temp_directory_path() / "clockdeck-test-XXXXXX").string();
        EXPECT_NE(::mkdtemp(pattern.data()), nullptr);
        m_path = pattern;
    }
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;
    ~TempFolder() { std::filesystem::remove_all(m_path, m_ec); }

    const std::filesystem::path& path() const { return m_path; }

    std::filesystem::path write(const std::filesystem::path& relative, std::string_view content) const
    {
        const auto file = m_path / relative;
        std::filesystem::create_directories(file.parent_path());
        std::ofstream(file, std::ios::binary) << content;
        return file;
    }

private:
    std::filesystem::path m_path;
    std::error_code m_ec; // a folder that cannot be removed is left behind, not a test that throws
};

inline std::filesystem::path profile(std::string_view name)
{
    return std::filesystem::path(CLOCKDECK_TEST_DATA) / "profiles" / name;
}

} // namespace clockdeck::test
