// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Clockdeck developers
#include "app.h"

#include <cerrno>
#include <csignal>
#include <cstring>
#include <string>
#include <vector>

#include <unistd.h>

namespace {

// Writes all of a text to a descriptor; the error number when it cannot (a closed pipe, a full disk, a file-size
// limit), 0 otherwise.
int writeAll(int fd, std::string_view text)
{
    while (!text.empty()) {
        const ssize_t n = ::write(fd, text.data(), text.size());
        if (n < 0) {
            if (errno == EINTR) {
                continue;
            }
            return errno;
        }
        text.remove_prefix(static_cast<std::size_t>(n));
    }
    return 0;
}

} // namespace

int main(int argc, char** argv)
{
    // A reader that went away and a file-size limit become write errors, reported below with status 1, rather
    // than signals that end the program without a word.
    std::signal(SIGPIPE, SIG_IGN);
    std::signal(SIGXFSZ, SIG_IGN);
    try {
        const std::vector<std::string_view> args(argv + 1, argv + argc);
        // Standard output goes out in blocks as it is produced, so a long sweep never sits whole in memory. After
        // a failed write the rest is dropped; the failure is reported once the program is done.
        std::string pending;
        int error = 0;
        const auto flush = [&] {
            if (error == 0) {
                error = writeAll(STDOUT_FILENO, pending);
            }
            pending.clear();
        };
        const clockdeck::CliResult result = clockdeck::runCli(args, [&](std::string_view piece) {
            pending.append(piece);
            if (pending.size() >= 64 * 1024) {
                flush();
            }
        });
        flush();
        (void)writeAll(STDERR_FILENO, result.err);
        if (error != 0) {
            const std::string line =
                std::string("clockdeck-cli: cannot write to standard output: ") + std::strerror(error) + "\n";
            (void)writeAll(STDERR_FILENO, line);
            return 1;
        }
        return result.status;
    } catch (const std::exception& e) {
        (void)writeAll(STDERR_FILENO, std::string("clockdeck-cli: ") + e.what() + "\n");
        return 1;
    }
}
