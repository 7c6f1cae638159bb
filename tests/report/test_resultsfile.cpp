// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Clockdeck developers
#include "report/resultsfile.h"
#include "support/failingdevice.h"
#include "support/otheruser.h"
#include "support/tempfolder.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <functional>
#include <map>
#include <sys/stat.h>
#include <tuple>

using namespace clockdeck;
using test::FailingDevice;
using test::TempFolder;
namespace fs = std::filesystem;

namespace {

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

// What a folder holds: each entry's name with its content or link target. FIFOs are never opened.
std::string snapshot(const fs::path& dir)
{
    std::string text;
    for (const fs::directory_entry& e : fs::directory_iterator(dir))
        text += e.path().filename().string() +
                (e.is_symlink()        ? " -> " + fs::read_symlink(e).string()
                 : e.is_regular_file() ? ": " + readAll(e)
                                       : " (special)") +
                "\n";
    return text;
}

} // namespace

TEST(ResultsFile, refusalsAndFailuresLeaveEverythingAsItWas)
{
    const auto existing = [](const fs::path& f) { std::ofstream(f, std::ios::binary) << report("old") << "\r\n"; };
    const auto failAfter = [](FailingDevice& d, int error) { d.failAfter = 700, d.error = error; };
    // Another program that appends, keeping to the lock, while this one waits for it.
    const auto anotherFirst = [](const fs::path& f) {
        return
            [s = f.string()] { EXPECT_EQ(std::system(("flock " + s + " sh -c 'echo other >>" + s + "'").c_str()), 0); };
    };
    const struct
    {
        const char* name;
        std::function<void(const fs::path&, FailingDevice&)> setUp;
        std::string reason;
        const char* otherUser = nullptr; // script run as nobody; $1 the file, $2 a file of this user's
    } cases[] = {
        {"a folder", [](auto& f, auto&) { fs::create_directory(f); }, ": Is a directory"},
        {"a FIFO", [](auto& f, auto&) { ::mkfifo(f.c_str(), 0600); }, " is not a regular file"},
        {"a dangling link", [](auto& f, auto&) { fs::create_symlink("gone", f); },
         " is a symbolic link to a file that does not exist"},
        {"the size limit partway, new file", [&](auto&, auto& d) { failAfter(d, EFBIG); }, ": File too large"},
        {"another program first, existing file",
         [&](auto& f, auto& d) { existing(f), failAfter(d, ENOSPC), d.beforeLock = anotherFirst(f); },
         ": No space left on device"},
        {"another program first, new file",
         [&](auto& f, auto& d) { failAfter(d, ENOSPC), d.beforeLock = anotherFirst(f); }, ": No space left on device"},
        {"another user's lock", [&](auto& f, auto&) { existing(f), fs::permissions(f, fs::perms::all); },
         " is locked by another program", "exec 3<\"$1\"; flock -x 3; echo ready; exec sleep 30"},
        {"a link planted by another user", [](auto&, auto&) {}, " is a symbolic link owned by another user",
         "ln -s \"$2\" \"$1\"; echo ready; exec sleep 30"},
    };
    for (const auto& c : cases) {
        if (c.otherUser && !test::OtherUser::available())
            GTEST_SKIP() << c.name << ": acting as a second user needs root (setpriv to nobody)";
        SCOPED_TRACE(c.name);
        TempFolder dir;
        fs::permissions(dir.path(), fs::perms::all); // a shared folder, not sticky
        const fs::path file = dir.path() / "Results.txt";
        auto device = std::make_shared<FailingDevice>();
        c.setUp(file, *device);
        const test::OtherUser other(c.otherUser, file, dir.write("mine.txt", "keep"));
        std::string before = snapshot(dir.path());
        if (auto another = device->beforeLock) // what another program wrote meanwhile stays
            device->beforeLock = [&, another] { another(), before = snapshot(dir.path()); };
        ResultsFile results(file);
        results.setDevice(device);
        results.setLockWait(std::chrono::milliseconds(200));
        EXPECT_EQ(results.describe(results.append(report("lost"))), file.string() + c.reason);
        EXPECT_EQ(snapshot(dir.path()), before);
    }
}

TEST(ResultsFile, appendsWholeEntriesOneAtATimeToAPrivateFile)
{
    TempFolder dir;
    const fs::path file = dir.path() / "Results.txt";
    auto device = std::make_shared<FailingDevice>();
    device->interruptions = 2; // a signal during a write is retried, not reported
    device->chunk = 16;        // many small writes: without the lock two appends would mix
    ASSERT_FALSE(ResultsFile(file).append(report("first")));
    EXPECT_EQ(fs::status(file).permissions(), fs::perms::owner_read | fs::perms::owner_write);
    fs::create_symlink(file, dir.path() / "link.txt"); // a link of one's own is followed
    constexpr int Writers = 3, EntriesEach = 20;
    std::map<std::string, int> entries, expected{{report("first"), 1}};
    for (int p = 0; p < Writers; ++p) {
        expected[report("writer" + std::to_string(p))] = EntriesEach;
        if (::fork() != 0)
            continue;
        ResultsFile results(p == 0 ? dir.path() / "link.txt" : file);
        results.setDevice(device);
        for (int i = 0; i < EntriesEach; ++i)
            if (results.append(report("writer" + std::to_string(p))))
                ::_exit(1);
        ::_exit(0);
    }
    for (int status = 0; ::wait(&status) > 0;)
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    const std::string content = readAll(file);
    for (std::size_t pos = 0, end; pos < content.size(); pos = end)
        ++entries[content.substr(pos, (end = content.find("\r\n\r\n", pos) + 4) - pos - 2)];
    EXPECT_EQ(content.substr(0, report("first").size()), report("first")) << "oldest first";
    EXPECT_TRUE(entries == expected) << "entries mixed up or lost";
}

TEST(LocaleText, convertsToTheLocalesCharacterSet)
{
    const std::tuple<const char*, std::string, std::string> cases[] = {
        {"ISO-8859-1", "50 \u00b0C\r\n", "50 \260C\r\n"},
        {"ISO-8859-1", "A\u2122 B", "A? B"}, // a sign the set lacks
        {"CP1252", "A\u2122", "A\231"},
        {"ISO-8859-1", "a\377b\342\204", "a?b?"}, // not UTF-8, and cut off at the end
        {"NO-SUCH-CHARSET", "a\u00b0", "a?"},
        {"ISO-8859-1", std::string(3000, 'x') + "\u00b0", std::string(3000, 'x') + "\260"}, // past a buffer's end
    };
    for (const auto& [charset, utf8, expected] : cases)
        EXPECT_EQ(toCharset(utf8, charset), expected) << charset << ": " << utf8.substr(0, 20);
}
