// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Clockdeck developers
#include "app.h"

#include "base/filedescriptor.h"

#include <csignal>
#include <string>
#include <vector>

#include <unistd.h>

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
        std::error_code error;
        const auto flush = [&] {
            if (!error) {
                error = clockdeck::writeAll(STDOUT_FILENO, pending);
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
        (void)clockdeck::writeAll(STDERR_FILENO, result.err);
        if (error) {
            const std::string line = "clockdeck-cli: cannot write to standard output: " + error.message() + "\n";
            (void)clockdeck::writeAll(STDERR_FILENO, line);
            return 1;
        }
        return result.status;
    } catch (const std::exception& e) {
        (void)clockdeck::writeAll(STDERR_FILENO, std::string("clockdeck-cli: ") + e.what() + "\n");
        return 1;
    }
}
