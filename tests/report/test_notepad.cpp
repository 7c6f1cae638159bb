// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Clockdeck developers
#include "report/notepad.h"
#include "report/resultsfile.h"
#include "support/recordingeditor.h"
#include "support/tempfolder.h"

#include <gtest/gtest.h>

#include <tuple>
#include <unistd.h>

using namespace clockdeck;

TEST(OpenInNotePad, closesTheEditorWindowsThenOpensOnlyAFileOfMoreThanTwoBytes)
{
    test::TempFolder dir;
    const std::filesystem::path file = dir.path() / "Results.txt";
    const std::string close = "close " + file.string(), open = "open " + file.string();
    // The file's content (nullptr: no file), the editor windows that ask once more, the calls expected.
    const std::tuple<const char*, int, std::vector<std::string>> cases[] = {
        {nullptr, 1, {close, "events", close, "events"}},
        {"\r\n", 2, {close, "events", close, "events", close, "events"}},
        {"ab\n", 0, {close, "events", open}},
    };
    for (const auto& [content, windowsOpen, expected] : cases) {
        std::filesystem::remove(file);
        if (content) {
            dir.write("Results.txt", content);
        }
        test::RecordingEditor editor(windowsOpen);
        EXPECT_FALSE(OpenInNotePad(file, editor));
        EXPECT_EQ(editor.calls, expected) << (content ? content : "no file");
    }
}

// The results file's rule for links: one's own is followed; another user's is refused with no editor asked.
TEST(OpenInNotePad, opensNothingThroughAnotherUsersLink)
{
    test::TempFolder dir;
    const std::filesystem::path file = dir.path() / "Results.txt";
    std::filesystem::create_symlink(dir.write("private.txt", "not a report"), file);
    test::RecordingEditor own;
    EXPECT_FALSE(OpenInNotePad(file, own));
    EXPECT_EQ(own.calls.back(), "open " + file.string());
    if (::geteuid() != 0) {
        GTEST_SKIP() << "giving the link to another user (nobody) needs root";
    }
    ASSERT_EQ(::lchown(file.c_str(), 65534, 65534), 0);
    test::RecordingEditor editor;
    EXPECT_EQ(OpenInNotePad(file, editor), ResultsFileError::ForeignLink);
    EXPECT_TRUE(editor.calls.empty()) << editor.calls.front();
}
