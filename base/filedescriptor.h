// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Clockdeck developers
#pragma once

#include <cerrno>
#include <cstddef>
#include <string_view>
#include <system_error>
#include <utility>

#include <unistd.h>

namespace clockdeck {

/// Owns an open file descriptor and closes it on every way out. A negative number owns nothing.
class FileDescriptor
{
public:
    FileDescriptor() = default;
    explicit FileDescriptor(int fd) : m_fd(fd) {}
    FileDescriptor(FileDescriptor&& other) noexcept : m_fd(std::exchange(other.m_fd, -1)) {}
    FileDescriptor& operator=(FileDescriptor&& other) noexcept
    {
        if (this != &other) {
            reset(std::exchange(other.m_fd, -1));
        }
        return *this;
    }
    FileDescriptor(const FileDescriptor&) = delete;
    FileDescriptor& operator=(const FileDescriptor&) = delete;
    ~FileDescriptor() { reset(); }

    [[nodiscard]] int get() const { return m_fd; }
    [[nodiscard]] bool isOpen() const { return m_fd >= 0; }

    /// Closes the descriptor held, if any, and takes @p fd.
    void reset(int fd = -1)
    {
        if (m_fd >= 0) {
            ::close(m_fd);
        }
        m_fd = fd;
    }

    /// Gives the descriptor up without closing it.
    [[nodiscard]] int release() { return std::exchange(m_fd, -1); }

    /// Closes now and reports the error close() found: delayed write errors surface here on NFS and FUSE. An
    /// interrupted close() has closed the descriptor all the same and counts as done.
    [[nodiscard]] std::error_code close()
    {
        const int fd = std::exchange(m_fd, -1);
        if (::close(fd) != 0 && errno != EINTR) {
            return {errno, std::system_category()};
        }
        return {};
    }

private:
    int m_fd = -1;
};

/// Writes all of @p bytes to @p fd through @p write (::write, or a test's device that fails on purpose), again
/// after an interrupting signal. The system's error when it cannot (a closed pipe, a full disk, a file-size
/// limit); no_space_on_device when a write takes nothing.
template <typename Write = ssize_t (*)(int, const void*, std::size_t)>
[[nodiscard]] std::error_code writeAll(int fd, std::string_view bytes, Write write = ::write)
{
    while (!bytes.empty()) {
        const ssize_t n = write(fd, bytes.data(), bytes.size());
        if (n < 0) {
            if (errno == EINTR) {
                continue;
            }
            return {errno, std::system_category()};
        }
        if (n == 0) {
            return std::make_error_code(std::errc::no_space_on_device);
        }
        bytes.remove_prefix(static_cast<std::size_t>(n));
    }
    return {};
}

} // namespace clockdeck
