// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Clockdeck developers
#pragma once

#include "desktoplauncher.h"
#include "report/notepad.h"

#include <QString>
#include <QStringList>

#include <filesystem>
#include <vector>

namespace clockdeck {

// The desktop's text editor, for OpenInNotePad.
//
// Opening hands the file to the desktop (xdg-open), which starts the user's default application for plain text;
// where that fails, the first known graphical editor on the PATH is started. When nothing can be started, a box
// names the file and the reason.
//
// Finding the editor windows needs X11. Only two kinds of top-level window are asked to close:
// - windows of an editor that this object started on the same file (their _NET_WM_PID is the started process or
//   one in its session) whose title names the file, as editors title their windows ("*Results.txt - Mousepad");
// - windows whose title shows the file's full path ("~/bench/Results.txt - Kate", "Results.txt (~/bench) - gedit").
// A title that only begins with the file's name proves nothing (a browser showing another folder's Results.txt
// closes all its tabs when asked). The request goes through the window manager (_NET_CLOSE_WINDOW), or, without
// one, as WM_DELETE_WINDOW: the same request a person's click on the close button makes, so an editor with unsaved
// edits can ask about them. Terminal windows are left alone, and no process is ever killed. Under Wayland or
// without a display the step is skipped.
class DesktopEditor final : public EditorPlatform
{
public:
    bool closeEditorWindowsShowing(const std::filesystem::path& path) override;
    void processEvents() override;
    void openInEditor(const std::filesystem::path& path) override;

    DesktopLauncher& launcher() { return m_launcher; }

    // The graphical editors tried, in order, when the desktop cannot open the file itself.
    static const QStringList& fallbackEditors();

private:
    struct Launch
    {
        std::filesystem::path file;
        pid_t pid;
    };
    bool startedFor(const std::filesystem::path& file, pid_t windowPid) const;

    DesktopLauncher m_launcher;
    std::vector<Launch> m_launched;
};

} // namespace clockdeck
