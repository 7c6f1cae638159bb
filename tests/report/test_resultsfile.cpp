// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Clockdeck developers
#include "report/resultsfile.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <clocale>
#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <fstream>
#include <functional>
#include <iterator>
#include <map>
#include <sstream>
#include <string>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

using clockdeck::ResultsFile;
namespace fs = std::filesystem;

namespace {

class TempDir
{
public:
    TempDir()
    {
        std::string pattern = (fs::temp_directory_path() / "clockdeck-results-XXXXXX").string();
        m_path = ::mkdtemp(pattern.data());
        // Readable and enterable by the unprivileged child of the permission cases.
        fs::permissions(m_path, fs::perms::owner_all | fs::perms::group_read | fs::perms::group_exec |
                                    fs::perms::others_read | fs::perms::others_exec);
    }
    ~TempDir()
    {
        std::error_code ignored;
        fs::permissions(m_path, fs::perms::owner_all, fs::perm_options::add, ignored);
        fs::remove_all(m_path, ignored);
    }
    const fs::path& path() const { return m_path; }

private:
    fs::path m_path;
};

// A report shaped like the real one: 25 lines, each ending in CR LF, every line carrying the tag so that an
// entry mixed with another shows up.
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

void writeFile(const fs::path& path, const std::string& bytes)
{
    std::ofstream(path, std::ios::binary) << bytes;
}

// Splits a results file into its entries (the empty line ends each one). Fails the test on any line that does not
// belong to a whole entry.
std::vector<std::string> entryTags(const std::string& content)
{
    std::vector<std::string> tags;
    std::size_t pos = 0;
    while (pos < content.size()) {
        const std::size_t end = content.find("\r\n\r\n", pos);
        if (end == std::string::npos) {
            ADD_FAILURE() << "trailing bytes without the closing empty line at offset " << pos;
            break;
        }
        const std::string entry = content.substr(pos, end + 2 - pos);
        const std::string tag = entry.substr(0, entry.find(' '));
        EXPECT_EQ(entry, report(tag)) << "entry at offset " << pos << " is not one whole report";
        tags.push_back(tag);
        pos = end + 4;
    }
    return tags;
}

// Runs one append in a child process, so that resource limits and a lowered user stay out of the test runner.
// Returns the errno of the append (0 on success).
int appendInChild(const fs::path& path, const std::string& text, std::function<void()> prepare)
{
    const pid_t pid = ::fork();
    if (pid == 0) {
        prepare();
        const std::error_code error = ResultsFile(path).append(text);
        ::_exit(error.value() & 0xff);
    }
    int status = 0;
    ::waitpid(pid, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

void limitFileSize(rlim_t bytes)
{
    // Writing past the limit raises SIGXFSZ; ignored, the write comes back short or with EFBIG instead.
    ::signal(SIGXFSZ, SIG_IGN);
    const rlimit limit{bytes, bytes};
    ::setrlimit(RLIMIT_FSIZE, &limit);
}

void becomeNobody()
{
    if (::geteuid() == 0 && (::setgid(65534) != 0 || ::setuid(65534) != 0))
        ::_exit(250);
}

} // namespace

TEST(ResultsFile, appendsWholeEntriesOldestFirst)
{
    TempDir dir;
    const fs::path file = dir.path() / "Results.txt";
    const ResultsFile results(file);

    // --- created by the first append
    ASSERT_FALSE(fs::exists(file));
    ASSERT_FALSE(results.append(report("first")));
    EXPECT_EQ(readAll(file), report("first") + "\r\n");

    // --- later appends go to the end, the older entries untouched
    ASSERT_FALSE(results.append(report("second")));
    ASSERT_FALSE(results.append(report("third")));
    EXPECT_EQ(readAll(file), report("first") + "\r\n" + report("second") + "\r\n" + report("third") + "\r\n");
    EXPECT_EQ(entryTags(readAll(file)), (std::vector<std::string>{"first", "second", "third"}));

    // --- whatever the user put in the file before stays in front
    writeFile(file, "notes kept by hand\n");
    ASSERT_FALSE(results.append(report("fourth")));
    EXPECT_EQ(readAll(file), "notes kept by hand\n" + report("fourth") + "\r\n");
}

TEST(ResultsFile, relativeNameFollowsTheWorkingDirectoryAtEachAppend)
{
    TempDir first;
    TempDir second;
    const fs::path home = fs::current_path();
    const ResultsFile results; // "Results.txt"

    fs::current_path(first.path());
    EXPECT_FALSE(results.append(report("one")));
    fs::current_path(second.path());
    EXPECT_FALSE(results.append(report("two")));
    fs::current_path(home);

    EXPECT_EQ(readAll(first.path() / "Results.txt"), report("one") + "\r\n");
    EXPECT_EQ(readAll(second.path() / "Results.txt"), report("two") + "\r\n");
}

TEST(ResultsFile, failuresLeaveTheFileAsItWas)
{
    // Each case makes the place of the results file in a fresh folder and returns the path to append to.
    struct Case
    {
        const char* name;
        std::function<fs::path(const fs::path& dir)> setUp;
        std::errc expected;
    };
    const std::vector<Case> cases = {
        {"a folder of that name",
         [](const fs::path& dir) {
             fs::create_directory(dir / "Results.txt");
             return dir / "Results.txt";
         },
         std::errc::is_a_directory},
        {"a full disk",
         [](const fs::path& dir) {
             fs::create_symlink("/dev/full", dir / "Results.txt");
             return dir / "Results.txt";
         },
         std::errc::no_space_on_device},
        {"a FIFO nobody reads fails at once instead of hanging",
         [](const fs::path& dir) {
             ::mkfifo((dir / "Results.txt").c_str(), 0600);
             return dir / "Results.txt";
         },
         std::errc::no_such_device_or_address},
        {"a folder on the way that is a file",
         [](const fs::path& dir) {
             writeFile(dir / "plain", "kept");
             return dir / "plain" / "Results.txt";
         },
         std::errc::not_a_directory},
        {"a folder that does not exist", [](const fs::path& dir) { return dir / "missing" / "Results.txt"; },
         std::errc::no_such_file_or_directory},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TempDir dir;
        const fs::path file = c.setUp(dir.path());
        const auto kindBefore = fs::symlink_status(file).type();

        const std::error_code error = ResultsFile(file).append(report("lost"));
        EXPECT_TRUE(error == c.expected) << error.message();
        EXPECT_FALSE(error.message().empty());

        // Nothing was made, removed or replaced.
        EXPECT_EQ(fs::symlink_status(file).type(), kindBefore);
        if (fs::is_symlink(fs::symlink_status(file))) {
            EXPECT_EQ(fs::read_symlink(file), "/dev/full");
        }
        if (fs::is_directory(fs::symlink_status(file))) {
            EXPECT_TRUE(fs::is_empty(file));
        }
        if (fs::exists(dir.path() / "plain")) {
            EXPECT_EQ(readAll(dir.path() / "plain"), "kept");
        }
        EXPECT_FALSE(fs::exists(dir.path() / "missing"));
    }
}

TEST(ResultsFile, aWriteCutShortIsTakenBack)
{
    TempDir dir;
    const fs::path file = dir.path() / "Results.txt";
    const std::string before = report("before") + "\r\n";

    // --- the disk fills up halfway through the entry: the old length comes back, no half entry stays
    writeFile(file, before);
    const int error = appendInChild(file, report("cut"), [&] { limitFileSize(before.size() + 100); });
    EXPECT_EQ(error, EFBIG);
    EXPECT_EQ(readAll(file), before);

    // --- a file the failed append created is not left behind, not even empty
    fs::remove(file);
    EXPECT_EQ(appendInChild(file, report("cut"), [] { limitFileSize(0); }), EFBIG);
    EXPECT_FALSE(fs::exists(fs::symlink_status(file)));

    // --- and the next append that works starts from the clean file
    EXPECT_EQ(appendInChild(file, report("whole"), [] {}), 0);
    EXPECT_EQ(readAll(file), report("whole") + "\r\n");
}

TEST(ResultsFile, permissionsAreHonoured)
{
    // Run as an ordinary user: root may write to read-only files, a person at the desktop may not.
    TempDir dir;
    const fs::path file = dir.path() / "Results.txt";
    const std::string before = report("before") + "\r\n";

    // --- a read-only file
    writeFile(file, before);
    fs::permissions(file, fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
    EXPECT_EQ(appendInChild(file, report("lost"), becomeNobody), EACCES);
    EXPECT_EQ(readAll(file), before);

    // --- a folder the user may not write in: the file is not created
    fs::remove(file);
    EXPECT_EQ(appendInChild(file, report("lost"), becomeNobody), EACCES);
    EXPECT_FALSE(fs::exists(file));

    // --- a file the user may write in a folder it may not: appending works
    writeFile(file, before);
    fs::permissions(file, fs::perms::all);
    EXPECT_EQ(appendInChild(file, report("kept"), becomeNobody), 0);
    EXPECT_EQ(readAll(file), before + report("kept") + "\r\n");
}

TEST(ResultsFile, concurrentAppendsNeverInterleave)
{
    TempDir dir;
    const fs::path file = dir.path() / "Results.txt";
    constexpr int Writers = 4;
    constexpr int EntriesEach = 40;

    // --- threads of one process, each with its own ResultsFile
    std::vector<std::thread> threads;
    for (int t = 0; t < Writers; ++t)
        threads.emplace_back([&, t] {
            const ResultsFile results(file);
            for (int i = 0; i < EntriesEach; ++i)
                EXPECT_FALSE(results.append(report("thread" + std::to_string(t))));
        });
    for (std::thread& thread : threads)
        thread.join();

    // --- separate processes
    std::vector<pid_t> children;
    for (int p = 0; p < Writers; ++p) {
        const pid_t pid = ::fork();
        if (pid == 0) {
            const ResultsFile results(file);
            int failures = 0;
            for (int i = 0; i < EntriesEach; ++i)
                failures += results.append(report("process" + std::to_string(p))) ? 1 : 0;
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
    ASSERT_EQ(perWriter.size(), 2u * Writers);
    for (const auto& [tag, count] : perWriter)
        EXPECT_EQ(count, EntriesEach) << tag;
}

TEST(LocaleText, convertsToTheTargetCharacterSet)
{
    struct Case
    {
        const char* name;
        const char* charset;
        std::string utf8;
        std::string expected;
    };
    const std::vector<Case> cases = {
        {"ASCII passes unchanged", "ISO-8859-1", "Vcore 1.35 V\r\n", "Vcore 1.35 V\r\n"},
        {"Latin letters become single bytes", "ISO-8859-1",
         "50 \xc2\xb0"
         "C \xc3\xa9t\xc3\xa9",
         "50 \xb0"
         "C \xe9t\xe9"},
        {"a sign the set lacks becomes one ?", "ISO-8859-1", "A\xe2\x84\xa2 B\r\n", "A? B\r\n"},
        {"the same sign exists in Windows-1252", "CP1252", "A\xe2\x84\xa2", "A\x99"},
        {"plain ASCII locale", "ANSI_X3.4-1968", "\xc2\xb5s\r\n", "?s\r\n"},
        {"bytes that are not UTF-8", "ISO-8859-1",
         "a\xff"
         "b\xc3(c",
         "a?b?(c"},
        {"a sequence cut off at the end", "ISO-8859-1", "ab\xe2\x84", "ab?"},
        {"UTF-8 to UTF-8 keeps the text", "UTF-8",
         "\xc2\xb0"
         "C\r\n",
         "\xc2\xb0"
         "C\r\n"},
        {"an unknown set keeps ASCII only", "NO-SUCH-CHARSET",
         "a\xc2\xb0"
         "b\xe2\x84\xa2",
         "a?b?"},
        {"empty text", "ISO-8859-1", "", ""},
    };
    for (const Case& c : cases)
        EXPECT_EQ(clockdeck::toCharset(c.utf8, c.charset), c.expected) << c.name;

    // Long text crosses the converter's buffer boundary without losing or doubling a byte.
    std::string longText;
    std::string longExpected;
    for (int i = 0; i < 3000; ++i) {
        longText += "x\xc2\xb0";
        longExpected += "x\xb0";
    }
    EXPECT_EQ(clockdeck::toCharset(longText, "ISO-8859-1"), longExpected);
}

TEST(LocaleText, followsTheCurrentLocale)
{
    const std::string saved = std::setlocale(LC_ALL, nullptr);
    ASSERT_NE(std::setlocale(LC_ALL, "C"), nullptr);
    EXPECT_EQ(clockdeck::toLocaleText("50 \xc2\xb0"
                                      "C\r\n"),
              "50 ?C\r\n");
    if (std::setlocale(LC_ALL, "C.UTF-8") != nullptr) {
        EXPECT_EQ(clockdeck::toLocaleText("50 \xc2\xb0"
                                          "C\r\n"),
                  "50 \xc2\xb0"
                  "C\r\n");
    }
    std::setlocale(LC_ALL, saved.c_str());
}
