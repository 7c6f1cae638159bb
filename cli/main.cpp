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
        const clockdeck::CliResult result = clockdeck::runCli(args);
        (void)clockdeck::writeAll(STDERR_FILENO, result.err);
        if (const std::error_code error = clockdeck::writeAll(STDOUT_FILENO, result.out)) {
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
