// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Clockdeck developers
#include "report/resultsfile.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <clocale>
#include <fstream>
#include <functional>
#include <iterator>
#include <map>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

using clockdeck::ResultsFile;
namespace fs = std::filesystem;

namespace {

struct TempDir
{
    fs::path path;
    TempDir()
    {
        std::string pattern = (fs::temp_directory_path() / "clockdeck-results-XXXXXX").string();
        path = ::mkdtemp(pattern.data());
        fs::permissions(path, fs::perms::owner_all | fs::perms::others_read | fs::perms::others_exec);
    }
    ~TempDir()
    {
        std::error_code ignored;
        fs::remove_all(path, ignored);
    }
};

// 25 CR LF lines, each carrying the tag, so that an entry mixed with another shows up.
std::string report(const std::string& tag)
{
    std::string text;
    for (int line = 1; line <= 25; ++line)
        text += tag + " line " + std::to_string(line) + " ........................................\r\n";
    return text;
}

std::string readAll(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// The tags of the entries, each checked to be one whole report closed by an empty line.
std::vector<std::string> entryTags(const std::string& content)
{
    std::vector<std::string> tags;
    for (std::size_t pos = 0, end; pos < content.size(); pos = end + 4) {
        end = content.find("\r\n\r\n", pos);
        if (end == std::string::npos) {
            ADD_FAILURE() << "bytes without the closing empty line at offset " << pos;
            break;
        }
        const std::string entry = content.substr(pos, end + 2 - pos);
        tags.push_back(entry.substr(0, entry.find(' ')));
        EXPECT_EQ(entry, report(tags.back())) << "entry at offset " << pos << " is not one whole report";
    }
    return tags;
}

// Appends in a child process, as user nobody when root, so that root's override of permissions stays out.
int appendAsNobody(const fs::path& path)
{
    const pid_t pid = ::fork();
    if (pid == 0) {
        if (::geteuid() == 0 && (::setgid(65534) != 0 || ::setuid(65534) != 0))
            ::_exit(250);
        ::_exit(ResultsFile(path).append(report("lost")).value() & 0xff);
    }
    int status = 0;
    ::waitpid(pid, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

} // namespace

TEST(ResultsFile, createsThenAppendsWholeEntriesOldestFirst)
{
    TempDir dir;
    const fs::path file = dir.path / "Results.txt";
    const ResultsFile results(file);
    for (const char* tag : {"first", "second", "third"})
        ASSERT_FALSE(results.append(report(tag)));
    EXPECT_EQ(readAll(file), report("first") + "\r\n" + report("second") + "\r\n" + report("third") + "\r\n");
}

TEST(ResultsFile, failuresLeaveTheFileAsItWas)
{
    const std::string before = report("before") + "\r\n";
    const struct
    {
        const char* name;
        std::function<void(const fs::path&)> setUp;
        int expected;
    } cases[] = {
        {"a folder of that name", [](const fs::path& f) { fs::create_directory(f); }, EISDIR},
        {"a link to a full disk", [](const fs::path& f) { fs::create_symlink("/dev/full", f); }, ENOSPC},
        {"a read-only file",
         [&](const fs::path& f) {
             std::ofstream(f, std::ios::binary) << before;
             fs::permissions(f, fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
         },
         EACCES},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        TempDir dir;
        const fs::path file = dir.path / "Results.txt";
        c.setUp(file);
        EXPECT_EQ(appendAsNobody(file), c.expected);
        if (fs::is_symlink(file))
            EXPECT_EQ(fs::read_symlink(file), "/dev/full");
        else if (fs::is_directory(file))
            EXPECT_TRUE(fs::is_empty(file));
        else
            EXPECT_EQ(readAll(file), before);
    }
}

TEST(ResultsFile, concurrentAppendsNeverInterleave)
{
    TempDir dir;
    const fs::path file = dir.path / "Results.txt";
    constexpr int Writers = 4;
    constexpr int EntriesEach = 40;
    std::vector<pid_t> children;
    for (int p = 0; p < Writers; ++p) {
        const pid_t pid = ::fork();
        if (pid == 0) {
            const ResultsFile results(file);
            int failures = 0;
            for (int i = 0; i < EntriesEach; ++i)
                failures += results.append(report("writer" + std::to_string(p))) ? 1 : 0;
            ::_exit(failures);
        }
        children.push_back(pid);
    }
    for (const pid_t pid : children) {
        int status = 0;
        ::waitpid(pid, &status, 0);
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    }
    std::map<std::string, int> perWriter;
    for (const std::string& tag : entryTags(readAll(file)))
        ++perWriter[tag];
    ASSERT_EQ(perWriter.size(), std::size_t{Writers});
    for (const auto& [tag, count] : perWriter)
        EXPECT_EQ(count, EntriesEach) << tag;
}

TEST(LocaleText, convertsToTheLocalesCharacterSet)
{
    const struct
    {
        const char* charset;
        std::string utf8;
        std::string expected;
    } cases[] = {
        {"ISO-8859-1",
         "50 \xc2\xb0"
         "C\r\n",
         "50 \xb0"
         "C\r\n"},
        {"ISO-8859-1", "A\xe2\x84\xa2 B", "A? B"}, // a sign the set lacks
        {"CP1252", "A\xe2\x84\xa2", "A\x99"},
        {"ISO-8859-1",
         "a\xff"
         "b\xe2\x84",
         "a?b?"}, // not UTF-8, and cut off at the end
        {"NO-SUCH-CHARSET", "a\xc2\xb0", "a?"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(clockdeck::toCharset(c.utf8, c.charset), c.expected) << c.charset << ": " << c.utf8;

    std::string longText;
    for (int i = 0; i < 3000; ++i)
        longText += "x\xc2\xb0";
    EXPECT_EQ(clockdeck::toCharset(longText, "ISO-8859-1").size(), 6000U) << "a byte lost at a buffer boundary";

    const std::string saved = std::setlocale(LC_ALL, nullptr);
    ASSERT_NE(std::setlocale(LC_ALL, "C"), nullptr);
    EXPECT_EQ(clockdeck::toLocaleText("50 \xc2\xb0"
                                      "C"),
              "50 ?C");
    std::setlocale(LC_ALL, saved.c_str());
}
