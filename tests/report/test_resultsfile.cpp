// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Clockdeck developers
#include "report/localetext.h"
#include "report/resultsfile.h"
#include "support/failingdevice.h"
#include "support/otheruser.h"
#include "support/tempfolder.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <map>
#include <sched.h>
#include <sys/stat.h>
#include <tuple>

using namespace clockdeck;
namespace fs = std::filesystem;

namespace {

// An entry of a report's size, tagged in front and ending as a report does: a part of another entry inside it shows.
std::string report(const std::string& tag)
{
    return tag + std::string(1000, '.') + "\r\n";
}

std::string readAll(const fs::path& path)
{
    return std::string(std::istreambuf_iterator<char>(std::ifstream(path, std::ios::binary).rdbuf()), {});
}

// What a folder holds: each entry's name with its content or link target. FIFOs are never opened.
std::string snapshot(const fs::path& dir)
{
    std::string text;
    for (const fs::directory_entry& e : fs::directory_iterator(dir)) {
        text += e.path().filename().string() + (e.is_symlink()        ? " -> " + fs::read_symlink(e).string() + "\n"
                                                : e.is_regular_file() ? ": " + readAll(e) + "\n"
                                                                      : " (special)\n");
    }
    return text;
}

// Another program that appends, keeping to the lock, while this one waits for it.
void anotherFirst(const fs::path& f, test::FailingDevice& d)
{
    const std::string command = "flock " + f.string() + " sh -c 'echo other >>" + f.string() + "'";
    d.beforeLock = [command] {
        const int status = std::system(command.c_str());
        EXPECT_EQ(status, 0) << command;
    };
}

struct Refusal
{
    const char* name;
    void (*setUp)(const fs::path&, test::FailingDevice&);
    std::string reason;
    bool existing = false;           // the file holds an entry already, and anyone may open it
    const char* otherUser = nullptr; // script run as nobody; $1 the file, $2 a file of this user's
};

const Refusal Refusals[] = {
    {"aFifo", [](auto& f, auto&) { ::mkfifo(f.c_str(), 0600); }, " is not a regular file"},
    {"aLinkToAFifo",
     [](auto& f, auto&) {
         ::mkfifo((f.string() + "~").c_str(), 0600);
         fs::create_symlink(f.string() + "~", f);
     },
     " is not a regular file"},
    {"aDanglingLink", [](auto& f, auto&) { fs::create_symlink("gone", f); },
     " is a symbolic link to a file that does not exist"},
    {"theSizeLimitPartwayNewFile", [](auto&, auto& d) { d.error = EFBIG; }, ": File too large"},
    {"anotherProgramFirstExistingFile", anotherFirst, ": No space left on device", true},
    {"anotherProgramFirstNewFile", anotherFirst, ": No space left on device"},
    {"anotherUsersLock", [](auto&, auto&) {}, " is locked by another program", true,
     "exec 3<\"$1\"; flock -x 3; echo ready; exec sleep 30"},
    {"aLinkPlantedByAnotherUser", [](auto&, auto&) {}, " is a symbolic link owned by another user", false,
     "ln -s \"$2\" \"$1\"; echo ready; exec sleep 30"},
};

void PrintTo(const Refusal& refusal, std::ostream* out)
{
    *out << refusal.name;
}

using ResultsFileRefusal = testing::TestWithParam<Refusal>;

} // namespace

// Each row runs apart: without root the rows that need a second user skip, with the reason, and the others pass.
TEST_P(ResultsFileRefusal, leavesEverythingAsItWas)
{
    const Refusal& c = GetParam();
    if (c.otherUser && !test::OtherUser::available()) {
        GTEST_SKIP() << c.name << ": acting as a second user needs root (setpriv to nobody)";
    }
    test::TempFolder dir;
    fs::permissions(dir.path(), fs::perms::all); // a shared folder, not sticky
    const fs::path file = dir.path() / "Results.txt";
    auto device = std::make_shared<test::FailingDevice>();
    device->failAfter = 700; // partway through the entry, for the cases that get to write
    if (c.existing) {
        std::ofstream(file, std::ios::binary) << report("old") << "\r\n";
        fs::permissions(file, fs::perms::all);
    }
    c.setUp(file, *device);
    const test::OtherUser other(c.otherUser, file, dir.write("mine.txt", "keep"));
    std::string before = snapshot(dir.path());
    if (auto another = device->beforeLock) { // what another program wrote meanwhile stays
        device->beforeLock = [&, another] {
            another();
            before = snapshot(dir.path());
        };
    }
    ResultsFile results(file);
    results.setDevice(device);
    const std::error_code error = results.append(report("lost"));
    EXPECT_EQ(results.describe(error), file.string() + c.reason) << c.name;
    EXPECT_EQ(snapshot(dir.path()), before) << c.name;
}

INSTANTIATE_TEST_SUITE_P(ResultsFile, ResultsFileRefusal, testing::ValuesIn(Refusals),
                         testing::PrintToStringParamName());

TEST(ResultsFile, appendsWholeEntriesOneAtATimeToAPrivateFile)
{
    test::TempFolder dir;
    const fs::path file = dir.path() / "Results.txt";
    auto device = std::make_shared<test::FailingDevice>();
    device->interruptions = 2; // a signal during a write is retried, not reported
    device->chunk = 16;        // many small writes: without the lock two appends would mix
    const std::error_code first = ResultsFile(file).append(report("first"));
    ASSERT_FALSE(first) << first.message();
    EXPECT_EQ(fs::status(file).permissions(), fs::perms::owner_read | fs::perms::owner_write);
    fs::create_symlink(file, dir.path() / "link.txt"); // a link of one's own is followed
    constexpr int Writers = 3, EntriesEach = 20;
    std::map<std::string, int> entries, expected{{report("first"), 1}};
    for (int p = 0; p < Writers; ++p) {
        expected[report("writer" + std::to_string(p))] = EntriesEach;
        if (::fork() != 0) {
            continue;
        }
        ResultsFile results(p == 0 ? dir.path() / "link.txt" : file);
        results.setDevice(device);
        for (int i = 0; i < EntriesEach; ++i) {
            std::error_code error;
            while ((error = results.append(report("writer" + std::to_string(p)))) == ResultsFileError::Locked) {
                ::sched_yield(); // the caller's wait: try again until the other writer is done
            }
            if (error) {
                ::_exit(1);
            }
        }
        ::_exit(0);
    }
    for (int status = 0; ::wait(&status) > 0;) {
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    }
    const std::string content = readAll(file);
    std::size_t pos = 0; // past the last whole entry: short of the end when a broken tail is left
    for (std::size_t end = 0; (end = content.find("\r\n\r\n", pos)) != std::string::npos; pos = end + 4) {
        ++entries[content.substr(pos, end + 2 - pos)];
    }
    EXPECT_TRUE(entries == expected && pos == content.size()) << "entries mixed up or lost";
}

TEST(ResultsFile, appendsWhereTheLockIsUnsupportedOrInterrupted)
{
    struct LockFault final : AppendDevice
    {
        int error = 0;
        int tryLock(int fd) override
        {
            errno = std::exchange(error, 0);
            return errno != 0 ? -1 : AppendDevice::tryLock(fd);
        }
    };
    test::TempFolder dir;
    for (const int error : {ENOLCK, EINTR}) {
        auto device = std::make_shared<LockFault>();
        device->error = error;
        ResultsFile results(dir.path() / "Results.txt");
        results.setDevice(device);
        EXPECT_FALSE(results.append("entry")) << error;
    }
    EXPECT_EQ(readAll(dir.path() / "Results.txt"), "entry\r\nentry\r\n");
}

TEST(LocaleText, convertsToTheLocalesCharacterSet)
{
    const std::tuple<const char*, std::string, std::string> cases[] = {
        {"ISO-8859-1", "50 \u00b0C A\u2122 B\r\n", "50 \260C A? B\r\n"}, // a sign the set has and one it lacks
        {"ISO-8859-1", "a\377b\342\204", "a?b?"},                        // not UTF-8, and cut off at the end
        {"NO-SUCH-CHARSET", "a\u00b0", "a?"},
        {"ISO-8859-1", std::string(3000, 'x') + "\u00b0", std::string(3000, 'x') + "\260"}, // past a buffer's end
        // Not UTF-8, yet iconv lets it through: above U+10FFFF and the old 5-byte form.
        {"UTF-8", "a\xF4\x90\x80\x80|\xF8\x88\x80\x80\x80|\xF4\x8F\xBF\xBF", "a?|?|\xF4\x8F\xBF\xBF"},
        {"NO-SUCH-CHARSET", "\xF4\x90\x80\x80\xC3", "??"},
    };
    for (const auto& [charset, utf8, expected] : cases) {
        EXPECT_EQ(toCharset(utf8, charset), expected) << charset << ": " << utf8.substr(0, 20);
    }
}
