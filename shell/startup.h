// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Clockdeck developers
#pragma once

#include <filesystem>
#include <optional>
#include <string>

class QApplication;

namespace clockdeck {

struct EarlyStart
{
    std::optional<int> exitCode; // end now with this status; what to say is already printed
    std::string platform;        // the window system to ask Qt for ("wayland", "xcb"), empty: Qt's own choice
};

// What needs no window system: --help, --version, and the check that the display answers at all. Without it Qt
// would abort (and dump core) on a display that is not there; this says in one line which display failed. The
// check is one connect to the display's socket, before any of Qt's start-up.
EarlyStart handleEarlyOptions(int argc, char* argv[]);

struct StartOptions
{
    std::filesystem::path sysroot = "/";
    std::optional<int> exitCode; // set when the command line was wrong; the reason is already printed
};

// The command line left after Qt took its own options. Folder names are taken byte for byte, as the file system
// has them, whatever their encoding.
StartOptions parseStartOptions(int argc, char* argv[]);

// Names, icon and desktop entry of the application.
void prepareApplication(QApplication& app);

} // namespace clockdeck
