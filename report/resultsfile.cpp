// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Clockdeck developers
#include "resultsfile.h"

#include "base/filedescriptor.h"

#include <cerrno>
#include <fcntl.h>
#include <mutex>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace clockdeck {

int AppendDevice::tryLock(int fd)
{
    return ::flock(fd, LOCK_EX | LOCK_NB);
}

ssize_t AppendDevice::write(int fd, const char* data, std::size_t size)
{
    return ::write(fd, data, size);
}

namespace {

class ResultsFileCategory final : public std::error_category
{
public:
    const char* name() const noexcept override { return "results file"; }
    std::string message(int value) const override
    {
        switch (static_cast<ResultsFileError>(value)) {
        case ResultsFileError::NotRegular:
            return "is not a regular file";
        case ResultsFileError::Locked:
            return "is locked by another program";
        case ResultsFileError::ForeignLink:
            return "is a symbolic link owned by another user";
        case ResultsFileError::DanglingLink:
            return "is a symbolic link to a file that does not exist";
        }
        return "cannot be written";
    }
};

[[nodiscard]] std::error_code lastError()
{
    return {errno, std::system_category()};
}

bool sameFile(const struct stat& a, const struct stat& b)
{
    return a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

// Appends within this process go one at a time. flock() alone would also keep threads apart (each append opens
// its own file description), but it is advisory and some file systems ignore it.
std::mutex& appendMutex()
{
    static std::mutex mutex;
    return mutex;
}

AppendDevice& systemDevice()
{
    static AppendDevice device;
    return device;
}

struct Opened
{
    FileDescriptor fd;
    bool created = false;
    std::error_code error;
    bool retry = false; // the path changed under us: look again
};

constexpr int AppendFlags = O_WRONLY | O_APPEND | O_CLOEXEC | O_NOCTTY | O_NONBLOCK;

Opened failed(std::error_code error)
{
    return {FileDescriptor(), false, error, false};
}

// Anything but a regular file or a folder (whose open gives the system's EISDIR) is refused before it is opened:
// opening a FIFO could block, and opening a device can have effects of its own.
bool refusedType(mode_t mode)
{
    return !S_ISREG(mode) && !S_ISDIR(mode);
}

// A final symbolic link is followed only when it is the user's own, as the kernel's protected-symlinks rule does
// in shared folders: a link another user planted could point at any file of this user. The link and its target
// are checked again after the open, so a link swapped in between is not taken.
Opened openThroughLink(const std::filesystem::path& path, const struct stat& link)
{
    if (ownedByAnotherUser(link)) {
        return failed(ResultsFileError::ForeignLink);
    }
    struct stat target = {};
    if (::stat(path.c_str(), &target) != 0) {
        return failed(errno == ENOENT ? make_error_code(ResultsFileError::DanglingLink) : lastError());
    }
    if (refusedType(target.st_mode)) {
        return failed(ResultsFileError::NotRegular);
    }
    FileDescriptor fd(::open(path.c_str(), AppendFlags));
    if (!fd.isOpen()) {
        return failed(errno == ENOENT ? make_error_code(ResultsFileError::DanglingLink) : lastError());
    }
    struct stat linkAfter = {};
    struct stat opened = {};
    if (::lstat(path.c_str(), &linkAfter) != 0 || !sameFile(link, linkAfter) || ::fstat(fd.get(), &opened) != 0 ||
        !sameFile(target, opened)) {
        return {FileDescriptor(), false, {}, true};
    }
    return {std::move(fd), false, {}, false};
}

// Opens for appending, knowing whether this call created the file. O_NONBLOCK keeps any open from waiting (it is
// cleared again for the write); only regular files get this far.
Opened openForAppend(const std::filesystem::path& path)
{
    FileDescriptor fd(::open(path.c_str(), AppendFlags | O_CREAT | O_EXCL, 0600));
    if (fd.isOpen()) {
        return {std::move(fd), true, {}, false};
    }
    if (errno != EEXIST) {
        return failed(lastError());
    }

    struct stat found = {};
    if (::lstat(path.c_str(), &found) != 0) {
        return errno == ENOENT ? Opened{FileDescriptor(), false, {}, true} : failed(lastError());
    }
    if (S_ISLNK(found.st_mode)) {
        return openThroughLink(path, found);
    }
    if (refusedType(found.st_mode)) {
        return failed(ResultsFileError::NotRegular);
    }
    FileDescriptor existing(::open(path.c_str(), AppendFlags | O_NOFOLLOW));
    if (!existing.isOpen()) {
        return errno == ENOENT || errno == ELOOP ? Opened{FileDescriptor(), false, {}, true} : failed(lastError());
    }
    return {std::move(existing), false, {}, false};
}

// One try at the lock. Waiting is the caller's: a blocking flock() would wait for as long as any reader of the
// file keeps a lock, and a wait here would hold the window's event loop.
[[nodiscard]] std::error_code lockOnce(AppendDevice& device, int fd)
{
    for (;;) {
        if (device.tryLock(fd) == 0) {
            return {};
        }
        // File systems without flock support still get the in-process serialization; do not fail the append.
        if (errno == ENOLCK || errno == EOPNOTSUPP || errno == ENOSYS) {
            return {};
        }
        if (errno == EWOULDBLOCK) {
            return ResultsFileError::Locked;
        }
        if (errno != EINTR) {
            return lastError();
        }
    }
}

} // namespace

const std::error_category& resultsFileCategory()
{
    static const ResultsFileCategory category;
    return category;
}

std::error_code make_error_code(ResultsFileError error)
{
    return {static_cast<int>(error), resultsFileCategory()};
}

bool ownedByAnotherUser(const struct stat& status)
{
    return status.st_uid != ::geteuid();
}

ResultsFile::ResultsFile(std::filesystem::path path) : m_path(std::move(path)) {}

std::string ResultsFile::describe(std::error_code error) const
{
    const std::string separator = error.category() == resultsFileCategory() ? " " : ": ";
    return m_path.string() + separator + error.message();
}

std::error_code ResultsFile::append(std::string_view report) const
{
    std::string entry;
    entry.reserve(report.size() + 2);
    entry.append(report);
    entry.append("\r\n");

    std::lock_guard guard(appendMutex());
    AppendDevice& device = m_device ? *m_device : systemDevice();

    // Another process may remove a file it has just created and failed to fill while this one waits for the lock,
    // and an editor saving the file replaces it; the descriptor then points at a deleted file and the append must
    // go to the file at the path instead.
    for (int attempt = 0; attempt < 8; ++attempt) {
        Opened opened = openForAppend(m_path);
        if (opened.error) {
            return opened.error;
        }
        if (opened.retry) {
            continue;
        }
        FileDescriptor fd = std::move(opened.fd);

        if (std::error_code error = lockOnce(device, fd.get())) {
            return error;
        }

        // The restore point is taken under the lock: whatever another program appended before is kept.
        struct stat before = {};
        if (::fstat(fd.get(), &before) != 0) {
            return lastError();
        }
        if (before.st_nlink == 0) {
            continue;
        }
        if (!S_ISREG(before.st_mode)) {
            return ResultsFileError::NotRegular;
        }
        const int flags = ::fcntl(fd.get(), F_GETFL);
        if (flags < 0 || ::fcntl(fd.get(), F_SETFL, flags & ~O_NONBLOCK) != 0) {
            return lastError();
        }

        // Puts the file back to its length at the lock; with the lock still held nobody appended after that. A
        // file that this append created and that was still empty then held nobody else's bytes: it goes again,
        // as long as the path still names it.
        auto restore = [&](int descriptor) {
            while (::ftruncate(descriptor, before.st_size) != 0 && errno == EINTR) {
            }
            struct stat atPath = {};
            if (opened.created && before.st_size == 0 && ::lstat(m_path.c_str(), &atPath) == 0 &&
                sameFile(atPath, before)) {
                ::unlink(m_path.c_str());
            }
        };

        const auto write = [&device](int to, const char* data, std::size_t size) {
            return device.write(to, data, size);
        };
        if (std::error_code error = writeAll(fd.get(), entry, write)) {
            restore(fd.get());
            return error;
        }

        // A second descriptor keeps the lock and a way to truncate while the first one's close reports any
        // delayed write error; the lock goes when the last of the two is closed.
        const int keep = ::fcntl(fd.get(), F_DUPFD_CLOEXEC, 0);
        if (keep < 0) {
            const std::error_code error = lastError();
            restore(fd.get());
            return error;
        }
        FileDescriptor kept(keep);
        if (std::error_code error = fd.close()) {
            restore(kept.get());
            return error;
        }
        return kept.close();
    }
    return std::make_error_code(std::errc::resource_unavailable_try_again);
}

} // namespace clockdeck
