// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Clockdeck developers
#include "resultsfile.h"

#include "base/filedescriptor.h"

#include <cerrno>
#include <ctime>
#include <fcntl.h>
#include <iconv.h>
#include <langinfo.h>
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
    int fd = -1;
    bool created = false;
    std::error_code error;
    bool retry = false; // the path changed under us: look again
};

constexpr int AppendFlags = O_WRONLY | O_APPEND | O_CLOEXEC | O_NOCTTY | O_NONBLOCK;

Opened failed(std::error_code error)
{
    return {-1, false, error, false};
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
    if (link.st_uid != ::geteuid())
        return failed(ResultsFileError::ForeignLink);
    struct stat target = {};
    if (::stat(path.c_str(), &target) != 0)
        return failed(errno == ENOENT ? make_error_code(ResultsFileError::DanglingLink) : lastError());
    if (refusedType(target.st_mode))
        return failed(ResultsFileError::NotRegular);
    const int fd = ::open(path.c_str(), AppendFlags);
    if (fd < 0)
        return failed(errno == ENOENT ? make_error_code(ResultsFileError::DanglingLink) : lastError());
    struct stat linkAfter = {};
    struct stat opened = {};
    if (::lstat(path.c_str(), &linkAfter) != 0 || !sameFile(link, linkAfter) || ::fstat(fd, &opened) != 0 ||
        !sameFile(target, opened)) {
        ::close(fd);
        return {-1, false, {}, true};
    }
    return {fd, false, {}, false};
}

// Opens for appending, knowing whether this call created the file. O_NONBLOCK keeps any open from waiting (it is
// cleared again for the write); only regular files get this far.
Opened openForAppend(const std::filesystem::path& path)
{
    const int fd = ::open(path.c_str(), AppendFlags | O_CREAT | O_EXCL, 0600);
    if (fd >= 0)
        return {fd, true, {}, false};
    if (errno != EEXIST)
        return failed(lastError());

    struct stat found = {};
    if (::lstat(path.c_str(), &found) != 0)
        return errno == ENOENT ? Opened{-1, false, {}, true} : failed(lastError());
    if (S_ISLNK(found.st_mode))
        return openThroughLink(path, found);
    if (refusedType(found.st_mode))
        return failed(ResultsFileError::NotRegular);
    const int existing = ::open(path.c_str(), AppendFlags | O_NOFOLLOW);
    if (existing < 0)
        return errno == ENOENT || errno == ELOOP ? Opened{-1, false, {}, true} : failed(lastError());
    return {existing, false, {}, false};
}

// Waits for the lock at most @p wait, trying again every few milliseconds: a blocking flock() would wait for as
// long as any reader of the file keeps a lock. The window passes 0 and does its waiting in its event loop.
[[nodiscard]] std::error_code lockWithin(AppendDevice& device, int fd, std::chrono::milliseconds wait)
{
    const auto deadline = std::chrono::steady_clock::now() + wait;
    for (;;) {
        if (device.tryLock(fd) == 0)
            return {};
        // File systems without flock support still get the in-process serialization; do not fail the append.
        if (errno == ENOLCK || errno == EOPNOTSUPP || errno == ENOSYS)
            return {};
        if (errno != EWOULDBLOCK && errno != EINTR)
            return lastError();
        if (std::chrono::steady_clock::now() >= deadline)
            return ResultsFileError::Locked;
        const struct timespec pause = {0, 20'000'000};
        ::nanosleep(&pause, nullptr);
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
        const Opened opened = openForAppend(m_path);
        if (opened.error)
            return opened.error;
        if (opened.retry)
            continue;
        FileDescriptor fd(opened.fd);

        if (std::error_code error = lockWithin(device, fd.get(), m_lockWait))
            return error;

        // The restore point is taken under the lock: whatever another program appended before is kept.
        struct stat before = {};
        if (::fstat(fd.get(), &before) != 0)
            return lastError();
        if (before.st_nlink == 0)
            continue;
        if (!S_ISREG(before.st_mode))
            return ResultsFileError::NotRegular;
        const int flags = ::fcntl(fd.get(), F_GETFL);
        if (flags < 0 || ::fcntl(fd.get(), F_SETFL, flags & ~O_NONBLOCK) != 0)
            return lastError();

        // Puts the file back to its length at the lock; with the lock still held nobody appended after that. A
        // file that this append created and that was still empty then held nobody else's bytes: it goes again,
        // as long as the path still names it.
        auto restore = [&](int descriptor) {
            while (::ftruncate(descriptor, before.st_size) != 0 && errno == EINTR) {
            }
            struct stat atPath = {};
            if (opened.created && before.st_size == 0 && ::lstat(m_path.c_str(), &atPath) == 0 &&
                sameFile(atPath, before))
                ::unlink(m_path.c_str());
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

namespace {

// Length of the UTF-8 sequence that starts with @p lead; 1 for a byte that cannot start one.
std::size_t sequenceLength(unsigned char lead)
{
    if (lead >= 0xF0 && lead <= 0xF4)
        return 4;
    if (lead >= 0xE0)
        return lead <= 0xEF ? 3 : 1;
    if (lead >= 0xC2)
        return 2;
    return 1;
}

// Skips one (possibly broken) UTF-8 sequence: the lead byte and the continuation bytes that follow it.
std::size_t skipSequence(std::string_view text)
{
    const std::size_t length = sequenceLength(static_cast<unsigned char>(text[0]));
    std::size_t n = 1;
    while (n < length && n < text.size() && (static_cast<unsigned char>(text[n]) & 0xC0) == 0x80)
        ++n;
    return n;
}

std::string asciiOnly(std::string_view utf8)
{
    std::string out;
    out.reserve(utf8.size());
    while (!utf8.empty()) {
        if (static_cast<unsigned char>(utf8[0]) < 0x80) {
            out.push_back(utf8[0]);
            utf8.remove_prefix(1);
        } else {
            out.push_back('?');
            utf8.remove_prefix(skipSequence(utf8));
        }
    }
    return out;
}

} // namespace

std::string toCharset(std::string_view utf8, const char* charset)
{
    iconv_t cd = ::iconv_open(charset, "UTF-8");
    if (cd == reinterpret_cast<iconv_t>(-1))
        return asciiOnly(utf8);

    std::string out;
    char buffer[1024];
    while (!utf8.empty()) {
        char* in = const_cast<char*>(utf8.data());
        std::size_t inLeft = utf8.size();
        char* outPtr = buffer;
        std::size_t outLeft = sizeof buffer;
        const std::size_t rc = ::iconv(cd, &in, &inLeft, &outPtr, &outLeft);
        const int error = rc == static_cast<std::size_t>(-1) ? errno : 0;
        out.append(buffer, static_cast<std::size_t>(outPtr - buffer));
        utf8.remove_prefix(utf8.size() - inLeft);
        if (error == EILSEQ || error == EINVAL) {
            // Not in the target set, not UTF-8, or cut short at the end: one '?' for the whole sequence.
            out.push_back('?');
            utf8.remove_prefix(skipSequence(utf8));
        } else if (error != 0 && error != E2BIG) {
            out.append(asciiOnly(utf8));
            break;
        }
    }
    // Flush any shift state the target set keeps.
    char* outPtr = buffer;
    std::size_t outLeft = sizeof buffer;
    ::iconv(cd, nullptr, nullptr, &outPtr, &outLeft);
    out.append(buffer, static_cast<std::size_t>(outPtr - buffer));
    ::iconv_close(cd);
    return out;
}

std::string toLocaleText(std::string_view utf8)
{
    return toCharset(utf8, ::nl_langinfo(CODESET));
}

} // namespace clockdeck
