// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Clockdeck developers
#include "resultsfile.h"

#include <cerrno>
#include <fcntl.h>
#include <iconv.h>
#include <langinfo.h>
#include <mutex>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace clockdeck {

namespace {

std::error_code lastError()
{
    return {errno, std::system_category()};
}

// Appends within this process go one at a time. flock() alone would also keep threads apart (each append opens
// its own file description), but it is advisory and some file systems ignore it.
std::mutex& appendMutex()
{
    static std::mutex mutex;
    return mutex;
}

// Closes the descriptor on every way out of append().
class Descriptor
{
public:
    explicit Descriptor(int fd) : m_fd(fd) {}
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
    ~Descriptor()
    {
        if (m_fd >= 0)
            ::close(m_fd);
    }
    int get() const { return m_fd; }
    // Closes now and reports the error that close() found (delayed write errors surface here on NFS and FUSE).
    std::error_code close()
    {
        const int fd = m_fd;
        m_fd = -1;
        if (::close(fd) != 0 && errno != EINTR)
            return lastError();
        return {};
    }

private:
    int m_fd;
};

struct Opened
{
    int fd = -1;
    bool created = false;
    std::error_code error;
};

// Opens for appending, knowing whether this call created the file. O_NONBLOCK keeps a FIFO named Results.txt
// from hanging the window (it fails with ENXIO instead); it is cleared again for the write.
Opened openForAppend(const std::filesystem::path& path)
{
    constexpr int flags = O_WRONLY | O_APPEND | O_CLOEXEC | O_NOCTTY | O_NONBLOCK;
    for (int attempt = 0; attempt < 8; ++attempt) {
        int fd = ::open(path.c_str(), flags | O_CREAT | O_EXCL, 0666);
        if (fd >= 0)
            return {fd, true, {}};
        if (errno != EEXIST)
            return {-1, false, lastError()};
        fd = ::open(path.c_str(), flags);
        if (fd >= 0)
            return {fd, false, {}};
        if (errno != ENOENT) // removed in between: try creating it again
            return {-1, false, lastError()};
    }
    return {-1, false, std::make_error_code(std::errc::resource_unavailable_try_again)};
}

int lockExclusive(int fd)
{
    int rc;
    do {
        rc = ::flock(fd, LOCK_EX);
    } while (rc != 0 && errno == EINTR);
    // File systems without flock support still get the in-process serialization; do not fail the append for it.
    if (rc != 0 && (errno == ENOLCK || errno == EOPNOTSUPP || errno == ENOSYS))
        rc = 0;
    return rc;
}

std::error_code writeAll(int fd, std::string_view bytes)
{
    while (!bytes.empty()) {
        const ssize_t n = ::write(fd, bytes.data(), bytes.size());
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return lastError();
        }
        if (n == 0)
            return std::make_error_code(std::errc::no_space_on_device);
        bytes.remove_prefix(static_cast<std::size_t>(n));
    }
    return {};
}

} // namespace

ResultsFile::ResultsFile(std::filesystem::path path) : m_path(std::move(path)) {}

std::error_code ResultsFile::append(std::string_view report) const
{
    std::string entry;
    entry.reserve(report.size() + 2);
    entry.append(report);
    entry.append("\r\n");

    std::lock_guard guard(appendMutex());

    // Another process may unlink a file it has just created and failed to fill while this one waits for the lock;
    // the descriptor then points at a deleted file and the append must go to the file at the path instead.
    for (int attempt = 0; attempt < 8; ++attempt) {
        Opened opened = openForAppend(m_path);
        if (opened.error)
            return opened.error;
        Descriptor fd(opened.fd);

        if (lockExclusive(fd.get()) != 0)
            return lastError();

        struct stat before = {};
        if (::fstat(fd.get(), &before) != 0)
            return lastError();
        if (before.st_nlink == 0)
            continue;
        const int flags = ::fcntl(fd.get(), F_GETFL);
        if (flags < 0 || ::fcntl(fd.get(), F_SETFL, flags & ~O_NONBLOCK) != 0)
            return lastError();

        const bool regular = S_ISREG(before.st_mode);
        // Puts the file back as it was: no file when this append created it, otherwise its old length. Runs with
        // the lock held, so nobody can have appended after the failed part.
        auto restore = [&](int descriptor) {
            if (opened.created)
                ::unlink(m_path.c_str());
            else if (regular)
                while (::ftruncate(descriptor, before.st_size) != 0 && errno == EINTR) {
                }
        };

        if (std::error_code error = writeAll(fd.get(), entry)) {
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
        Descriptor kept(keep);
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
