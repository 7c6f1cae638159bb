// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Clockdeck developers
#include "report/notepad.h"

#include <gtest/gtest.h>

#include <fstream>
#include <string>
#include <unistd.h>
#include <vector>

namespace fs = std::filesystem;

namespace {

// Records the requests in order: "close", "events", "open". The editor windows close only after the number of
// requests given, as an editor that first asks whether to save would.
class RecordingEditor final : public clockdeck::EditorPlatform
{
public:
    explicit RecordingEditor(int windowsOpen) : m_windowsOpen(windowsOpen) {}
    bool closeEditorWindowsShowing(const fs::path&) override
    {
        calls.emplace_back("close");
        return m_windowsOpen > 0 && m_windowsOpen-- > 0;
    }
    void processEvents() override { calls.emplace_back("events"); }
    void openInEditor(const fs::path& path) override { calls.push_back("open " + path.string()); }
    std::vector<std::string> calls;

private:
    int m_windowsOpen;
};

} // namespace

TEST(OpenInNotePad, closesTheEditorWindowsThenOpensOnlyAFileOfMoreThanTwoBytes)
{
    const fs::path file = fs::temp_directory_path() / ("clockdeck-notepad-" + std::to_string(::getpid()) + ".txt");
    const struct
    {
        const char* content; // nullptr: no file
        int windowsOpen;
        std::vector<std::string> expected;
    } cases[] = {
        {nullptr, 1, {"close", "events", "close", "events"}},
        {"\r\n", 0, {"close", "events"}},
        {"ab\n", 0, {"close", "events", "open " + file.string()}},
        {"a report\r\n\r\n", 2, {"close", "events", "close", "events", "close", "events", "open " + file.string()}},
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
