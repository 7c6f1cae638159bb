// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Clockdeck developers
#pragma once

#include "report/notepad.h"

#include <filesystem>
#include <string>
#include <vector>

namespace clockdeck::test {

/// Records what OpenInNotePad asks of the desktop, in order: "close <path>", "events", "open <path>". The editor
/// windows close only after the number of requests given, as an editor that first asks whether to save would.
class RecordingEditor final : public EditorPlatform
{
public:
    explicit RecordingEditor(int windowsOpen = 0) : m_windowsOpen(windowsOpen) {}

    bool closeEditorWindowsShowing(const std::filesystem::path& path) override
    {
        calls.push_back("close " + path.string());
        return m_windowsOpen > 0 && m_windowsOpen-- > 0;
    }
    void processEvents() override { calls.emplace_back("events"); }
    void openInEditor(const std::filesystem::path& path) override { calls.push_back("open " + path.string()); }

    std::vector<std::string> calls;

private:
    int m_windowsOpen;
};

} // namespace clockdeck::test
