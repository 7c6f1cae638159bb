// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Clockdeck developers
#include "report/notepad.h"
#include "support/recordingeditor.h"

#include <gtest/gtest.h>

#include <fstream>
#include <string>
#include <unistd.h>
#include <vector>

namespace fs = std::filesystem;

using clockdeck::test::RecordingEditor;

TEST(OpenInNotePad, closesTheEditorWindowsThenOpensOnlyAFileOfMoreThanTwoBytes)
{
    const fs::path file = fs::temp_directory_path() / ("clockdeck-notepad-" + std::to_string(::getpid()) + ".txt");
    const std::string close = "close " + file.string();
    const struct
    {
        const char* content; // nullptr: no file
        int windowsOpen;
        std::vector<std::string> expected;
    } cases[] = {
        {nullptr, 1, {close, "events", close, "events"}},
        {"\r\n", 0, {close, "events"}},
        {"ab\n", 0, {close, "events", "open " + file.string()}},
        {"a report\r\n\r\n", 2, {close, "events", close, "events", close, "events", "open " + file.string()}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.content ? c.content : "no file");
        fs::remove(file);
        if (c.content)
            std::ofstream(file, std::ios::binary) << c.content;
        RecordingEditor editor(c.windowsOpen);
        clockdeck::OpenInNotePad(file, editor);
        EXPECT_EQ(editor.calls, c.expected);
    }
    fs::remove(file);
}
