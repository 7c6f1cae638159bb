// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Clockdeck developers
#pragma once

#include <filesystem>
#include <system_error>

namespace clockdeck {

/// What OpenInNotePad asks of the desktop. The window implements it for the real window system; tests record
/// the calls.
class EditorPlatform
{
public:
    virtual ~EditorPlatform() = default;

    /// Politely asks the text editor windows that show @p path to close, the way a person closing it would (the
    /// editor may ask to save, or refuse); never ends a process. Only windows known to show this very file are
    /// asked: those of editors opened on it by openInEditor(), or those whose title gives its full path. Returns
    /// whether any such window was found. Where the window system offers no way to find the windows, does nothing
    /// and returns false.
    virtual bool closeEditorWindowsShowing(const std::filesystem::path& path) = 0;

    /// Lets the events pending now run once.
    virtual void processEvents() = 0;

    /// Opens @p path in the desktop's text editor without waiting for it. An editor that cannot be started is
    /// reported to the user by the platform, naming the file and the reason.
    virtual void openInEditor(const std::filesystem::path& path) = 0;
};

/// Closes the editor windows that show @p FilePath (up to ten passes, events running after each), then, when
/// the file exists, can be read and is longer than 2 bytes, opens it in the text editor. A missing, unreadable or
/// nearly empty file opens nothing and reports nothing.
/// The results file's rule for links holds here too: a final symbolic link that another user owns could point at
/// any file of this user's, so it gives ResultsFileError::ForeignLink, and nothing is closed or opened.
[[nodiscard]] std::error_code OpenInNotePad(const std::filesystem::path& FilePath, EditorPlatform& platform);

} // namespace clockdeck
