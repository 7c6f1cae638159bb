// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Clockdeck developers
#include "report/notepad.h"
#include "support/recordingeditor.h"
#include "support/tempfolder.h"

#include <gtest/gtest.h>

#include <tuple>

using namespace clockdeck;

TEST(OpenInNotePad, closesTheEditorWindowsThenOpensOnlyAFileOfMoreThanTwoBytes)
{
    test::TempFolder dir;
    const std::filesystem::path file = dir.path() / "Results.txt";
    const std::string close = "close " + file.string(), open = "open " + file.string();
    // The file's content (nullptr: no file), the editor windows that ask once more, the calls expected.
    const std::tuple<const char*, int, std::vector<std::string>> cases[] = {
        {nullptr, 1, {close, "events", close, "events"}},
        {"", 0, {close, "events"}},
        {"\n", 0, {close, "events"}},
        {"\r\n", 2, {close, "events", close, "events", close, "events"}},
        {"ab\n", 0, {close, "events", open}},
    };
    for (const auto& [content, windowsOpen, expected] : cases) {
        std::filesystem::remove(file);
        if (content)
            dir.write("Results.txt", content);
        test::RecordingEditor editor(windowsOpen);
        OpenInNotePad(file, editor);
        EXPECT_EQ(editor.calls, expected) << (content ? content : "no file");
    }
}
