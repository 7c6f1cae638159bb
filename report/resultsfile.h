// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Clockdeck developers
#pragma once

#include <cstddef>
#include <filesystem>
#include <memory>
#include <string>
#include <string_view>
#include <sys/stat.h>
#include <sys/types.h>
#include <system_error>

namespace clockdeck {

/// Where an append's lock and write calls go. The default takes flock() and calls write(); tests put in a device
/// that fails after some bytes, fails with a chosen error, is interrupted or writes in small pieces, so that the
/// rollback and the lock are tested on purpose.
class AppendDevice
{
public:
    virtual ~AppendDevice() = default;
    /// One try at the exclusive lock on @p fd, without waiting: 0, or -1 with errno (EWOULDBLOCK while another
    /// program holds it).
    virtual int tryLock(int fd);
    /// As write(2): the bytes written, or -1 with errno.
    virtual ssize_t write(int fd, const char* data, std::size_t size);
};

/// The refusals of an append that are not a system call's error.
enum class ResultsFileError
{
    NotRegular = 1, // a folder is reported as the system's EISDIR instead
    Locked,
    ForeignLink,
    DanglingLink,
};

const std::error_category& resultsFileCategory();

/// Whether a file or link (from lstat) belongs to another user than the one this program runs as. A final symbolic
/// link of another user's is never followed to the results file: it could point at any file of this user's.
[[nodiscard]] bool ownedByAnotherUser(const struct stat& status);
[[nodiscard]] std::error_code make_error_code(ResultsFileError error);

// The results file: reports appended one after another, oldest first, each followed by an empty line.
//
// Encoding: reports are built as UTF-8. The file holds the user's 8-bit locale text, so the caller converts the
// report with toLocaleText() (localetext.h) before appending (the window does, after Qt has set the locale from the
// environment); append() writes the bytes it is given unchanged.
class ResultsFile
{
public:
    // Relative paths are resolved against the current working directory at each append, not at construction.
    explicit ResultsFile(std::filesystem::path path = "Results.txt");

    const std::filesystem::path& path() const { return m_path; }

    /// Appends @p report and one more CR LF, creating the file (readable by its owner only) when missing.
    /// - Only a regular file is written: a FIFO, socket or device is refused without blocking, and so is a final
    ///   symbolic link that another user owns (a link of one's own is followed).
    /// - The entry goes in while an exclusive lock is held, so appends from threads and processes never
    ///   interleave. The lock is tried once, without waiting: while another program holds it, the append gives
    ///   ResultsFileError::Locked and writes nothing. A caller that waits tries again later, from its event loop.
    /// - On any failure (writing, closing) the file is put back to the length it had when the lock was taken, so
    ///   only this append's bytes go; a file this append created and nobody else wrote to is removed again.
    /// Returns the error; describe() turns it into the text to show.
    [[nodiscard]] std::error_code append(std::string_view report) const;

    /// The text of a failed append's message: the file's name, then the reason.
    std::string describe(std::error_code error) const;

    /// Tests: the device the lock and writes go through; nullptr for the system's.
    void setDevice(std::shared_ptr<AppendDevice> device) { m_device = std::move(device); }

private:
    std::filesystem::path m_path;
    std::shared_ptr<AppendDevice> m_device;
};

} // namespace clockdeck

template <> struct std::is_error_code_enum<clockdeck::ResultsFileError> : std::true_type
{
};
