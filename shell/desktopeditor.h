// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Clockdeck developers
#pragma once

#include "report/notepad.h"

#include <QString>
#include <QStringList>
#include <QUrl>

#include <functional>

namespace clockdeck {

// The desktop's text editor, for OpenInNotePad.
//
// Finding the editor windows needs X11: the top-level windows whose title (_NET_WM_NAME, else WM_NAME) begins
// with the file's name in any letter case, as editors title their windows, are asked to close through the window
// manager (_NET_CLOSE_WINDOW), or, without one, with WM_DELETE_WINDOW: the same request a person's click on the
// close button makes, so an editor with unsaved edits can ask about them. Terminal windows are left alone, and no
// process is ever killed. Under Wayland or without a display the step is skipped.
//
// Opening hands the file to the desktop (xdg-open through QDesktopServices), which starts the user's default
// application for plain text; where that fails, the first known graphical editor on the PATH is started.
class DesktopEditor final : public EditorPlatform
{
public:
    using Opener = std::function<bool(const QUrl&)>;
    using Starter = std::function<bool(const QString& program, const QStringList& arguments)>;

    DesktopEditor();

    bool closeEditorWindowsShowing(const std::filesystem::path& path) override;
    void processEvents() override;
    void openInEditor(const std::filesystem::path& path) override;

    // Tests: windows of this process count too (by default the program never closes its own windows).
    void setIncludeOwnWindows(bool include) { m_includeOwnWindows = include; }
    // Tests: record instead of starting anything.
    void setOpener(Opener opener) { m_open = std::move(opener); }
    void setStarter(Starter starter) { m_start = std::move(starter); }

    // The graphical editors tried, in order, when the desktop cannot open the file itself.
    static const QStringList& fallbackEditors();

private:
    bool m_includeOwnWindows = false;
    Opener m_open;
    Starter m_start;
};

} // namespace clockdeck
