// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Clockdeck developers
#include "notepad.h"

#include "resultsfile.h"

#include "base/filedescriptor.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace clockdeck {

namespace {

constexpr int ClosePasses = 10;

// Whether the file can be opened for reading and holds more than two bytes (an empty file, or one holding a
// single line end, is not worth an editor). A folder or a device of that name does not count. A link is followed
// only when @p followLink: one planted after the owner's check is not.
bool worthOpening(const std::filesystem::path& path, bool followLink)
{
    const FileDescriptor fd(
        ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK | (followLink ? 0 : O_NOFOLLOW)));
    if (!fd.isOpen()) {
        return false;
    }
    struct stat st = {};
    return ::fstat(fd.get(), &st) == 0 && S_ISREG(st.st_mode) && st.st_size > 2;
}

} // namespace

std::error_code OpenInNotePad(const std::filesystem::path& FilePath, EditorPlatform& platform)
{
    struct stat link = {};
    const bool isLink = ::lstat(FilePath.c_str(), &link) == 0 && S_ISLNK(link.st_mode);
    if (isLink && ownedByAnotherUser(link))
        return ResultsFileError::ForeignLink;
    // Each pass looks anew: an editor that asked whether to save is asked again in the next pass, and several
    // editors showing the file are closed one pass after another. Once none is left, later passes find nothing.
    for (int pass = 0; pass < ClosePasses; ++pass) {
        const bool found = platform.closeEditorWindowsShowing(FilePath);
        platform.processEvents();
        if (!found) {
            break;
        }
    }
    if (worthOpening(FilePath, isLink)) {
        platform.openInEditor(FilePath);
    }
    return {};
}

} // namespace clockdeck
