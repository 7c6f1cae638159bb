// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Clockdeck developers
#pragma once

#include "report/notepad.h"

#include <vector>

namespace clockdeck::test {

/// Records what OpenInNotePad asks of the desktop, in order: "close <path>", "events", "open <path>".
struct RecordingEditor final : EditorPlatform
{
    explicit RecordingEditor(int windowsOpen = 0) : windowsOpen(windowsOpen) {}

    bool closeEditorWindowsShowing(const std::filesystem::path& path) override
    {
        calls.push_back("close " + path.string());
        return windowsOpen-- > 0;
    }
    void processEvents() override { calls.emplace_back("events"); }
    void openInEditor(const std::filesystem::path& path) override { calls.push_back("open " + path.string()); }

    int windowsOpen; // editor windows that ask once more before they close, as one that asks whether to save would
    std::vector<std::string> calls;
};

} // namespace clockdeck::test
