// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Clockdeck developers
#include "report/notepad.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace fs = std::filesystem;

namespace {

// Records what OpenInNotePad asks, in order: "close", "events", "open <path>". The editor windows "close" only
// after the number of requests given, as an editor that first asks whether to save would.
class RecordingEditor final : public clockdeck::EditorPlatform
{
public:
    explicit RecordingEditor(int windowsOpen = 0) : m_windowsOpen(windowsOpen) {}

    bool closeEditorWindowsShowing(const fs::path& path) override
    {
        calls.push_back("close " + path.string());
        if (m_windowsOpen == 0)
            return false;
        --m_windowsOpen;
        return true;
    }
    void processEvents() override { calls.emplace_back("events"); }
    void openInEditor(const fs::path& path) override { calls.push_back("open " + path.string()); }

    std::vector<std::string> calls;

private:
    int m_windowsOpen;
};

class TempDir
{
public:
    TempDir()
    {
        std::string pattern = (fs::temp_directory_path() / "clockdeck-notepad-XXXXXX").string();
        m_path = ::mkdtemp(pattern.data());
    }
    ~TempDir()
    {
        std::error_code ignored;
        fs::remove_all(m_path, ignored);
    }
    const fs::path& path() const { return m_path; }

private:
    fs::path m_path;
};

} // namespace

TEST(OpenInNotePad, opensOnlyFilesWorthOpening)
{
    struct Case
    {
        const char* name;
        const char* content; // nullptr: no file
        bool opens;
    };
    const Case cases[] = {
        {"no file", nullptr, false},   {"empty file", "", false},
        {"one byte", "x", false},      {"a line end only", "\r\n", false},
        {"three bytes", "ab\n", true}, {"a whole report", "Clockdeck\r\n\r\n", true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TempDir dir;
        const fs::path file = dir.path() / "Results.txt";
        if (c.content)
            std::ofstream(file, std::ios::binary) << c.content;
        RecordingEditor editor;
        clockdeck::OpenInNotePad(file, editor);
        const std::vector<std::string> expected =
            c.opens ? std::vector<std::string>{"close " + file.string(), "events", "open " + file.string()}
                    : std::vector<std::string>{"close " + file.string(), "events"};
        EXPECT_EQ(editor.calls, expected);
    }

    // --- things that exist under the name but are no text file
    TempDir dir;
    const fs::path folder = dir.path() / "Results.txt";
    fs::create_directory(folder);
    std::ofstream(folder / "big.txt") << "plenty of bytes in here";
    RecordingEditor onFolder;
    clockdeck::OpenInNotePad(folder, onFolder);
    EXPECT_EQ(onFolder.calls.back(), "events");

    const fs::path fifo = dir.path() / "fifo.txt";
    ::mkfifo(fifo.c_str(), 0600);
    RecordingEditor onFifo; // must not hang waiting for a writer
    clockdeck::OpenInNotePad(fifo, onFifo);
    EXPECT_EQ(onFifo.calls.back(), "events");
}

TEST(OpenInNotePad, closesEditorWindowsFirst)
{
    TempDir dir;
    const fs::path file = dir.path() / "Results.txt";
    std::ofstream(file, std::ios::binary) << "a report\r\n\r\n";

    // --- two editors show the file: two passes close them, a third finds none, then the fresh editor opens
    RecordingEditor twoWindows(2);
    clockdeck::OpenInNotePad(file, twoWindows);
    const std::string close = "close " + file.string();
    EXPECT_EQ(twoWindows.calls,
              (std::vector<std::string>{close, "events", close, "events", close, "events", "open " + file.string()}));

    // --- an editor that keeps refusing is asked ten times, no more, and the file still opens
    RecordingEditor stubborn(1000);
    clockdeck::OpenInNotePad(file, stubborn);
    std::vector<std::string> expected;
    for (int pass = 0; pass < 10; ++pass) {
        expected.push_back(close);
        expected.emplace_back("events");
    }
    expected.push_back("open " + file.string());
    EXPECT_EQ(stubborn.calls, expected);

    // --- the windows are closed even when the file has gone meanwhile; nothing opens then
    fs::remove(file);
    RecordingEditor afterRemoval(1);
    clockdeck::OpenInNotePad(file, afterRemoval);
    EXPECT_EQ(afterRemoval.calls, (std::vector<std::string>{close, "events", close, "events"}));
}
