// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Clockdeck developers
#include "boundedfile.h"

#include "base/filedescriptor.h"

#include <algorithm>
#include <cerrno>
#include <cstring>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace clockdeck {

std::optional<std::string> readTextFile(const std::filesystem::path& path, std::size_t maxBytes,
                                        std::string_view stopAfter)
{
    // O_NONBLOCK keeps a pipe without a writer from holding up the load; such files are refused below anyway.
    FileDescriptor fd(::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY));
    if (fd.get() < 0) {
        return std::nullopt;
    }
    struct stat info
    {
    };
    // /proc and /sys files are regular files (of size 0 or one page), so this refuses only what cannot be a
    // record of the machine: folders, pipes, sockets and devices.
    if (::fstat(fd.get(), &info) != 0 || !S_ISREG(info.st_mode)) {
        return std::nullopt;
    }
    if (info.st_size > 0 && static_cast<std::size_t>(info.st_size) > maxBytes) {
        return std::nullopt;
    }

    std::string text;
    char buffer[16384];
    for (;;) {
        const ssize_t n = ::read(fd.get(), buffer, sizeof buffer);
        if (n < 0) {
            if (errno == EINTR) {
                continue;
            }
            return std::nullopt;
        }
        if (n == 0) {
            break;
        }
        const auto count = static_cast<std::size_t>(n);
        const std::size_t oldSize = text.size();
        // Search only where the marker can newly appear: the end of the old text joined to the new bytes.
        std::size_t searchFrom = oldSize >= stopAfter.size() ? oldSize - stopAfter.size() + 1 : 0;
        text.append(buffer, count);
        // Line ends before the first text are no record's end: a file that starts with empty lines still has
        // its first record read.
        searchFrom = std::max(searchFrom, std::min(text.find_first_not_of("\r\n"), text.size()));
        std::size_t keep = text.size();
        bool stop = false;
        if (!stopAfter.empty()) {
            if (const auto found = text.find(stopAfter, searchFrom); found != std::string::npos) {
                keep = found + stopAfter.size();
                stop = true;
            }
        }
        // Only what is kept counts: bytes after the marker are never looked at.
        if (keep > maxBytes || std::memchr(text.data() + oldSize, '\0', keep - oldSize) != nullptr) {
            return std::nullopt;
        }
        text.resize(keep);
        if (stop) {
            break;
        }
    }
    return text;
}

BinaryFile readBinaryFile(const std::filesystem::path& path, std::size_t maxBytes)
{
    BinaryFile file;
    FileDescriptor fd(::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY));
    if (fd.get() < 0) {
        const int error = errno;
        file.fault = error == ENOENT || error == ENOTDIR ? FileFault::Missing
                     : error == EACCES || error == EPERM ? FileFault::Denied
                                                         : FileFault::Unreadable;
        return file;
    }
    struct stat info
    {
    };
    if (::fstat(fd.get(), &info) != 0 || !S_ISREG(info.st_mode)) {
        file.fault = FileFault::Unreadable;
        return file;
    }
    file.recordedSize = static_cast<std::uint64_t>(info.st_size);
    file.bytes.resize(maxBytes);
    std::size_t got = 0;
    while (got < maxBytes) {
        const ssize_t n = ::read(fd.get(), file.bytes.data() + got, maxBytes - got);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n < 0) {
            file.bytes.clear();
            file.fault = FileFault::Unreadable;
            return file;
        }
        if (n == 0) {
            break;
        }
        got += static_cast<std::size_t>(n);
    }
    file.bytes.resize(got);
    return file;
}

std::string_view firstLine(std::string_view text)
{
    const auto end = text.find('\n');
    if (end == std::string_view::npos) {
        return text;
    }
    std::string_view line = text.substr(0, end);
    if (!line.empty() && line.back() == '\r') {
        line.remove_suffix(1);
    }
    return line;
}

} // namespace clockdeck
