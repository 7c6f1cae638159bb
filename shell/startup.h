// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Clockdeck developers
#pragma once

#include <QStringList>

#include <filesystem>
#include <optional>

class QApplication;

namespace clockdeck {

// What needs no window system: --help, --version, and the check that a display is there at all. Without one Qt
// would abort with a message about platform plugins; this says in one line what to use instead. Returns the exit
// status when the program should end now.
std::optional<int> handleEarlyOptions(int argc, char* argv[]);

struct StartOptions
{
    std::filesystem::path sysroot = "/";
    std::optional<int> exitCode; // set when the command line was wrong; the reason is already printed
};

// The command line left after Qt took its own options (QApplication::arguments()).
StartOptions parseStartOptions(const QStringList& arguments);

// Names, icon and desktop entry of the application.
void prepareApplication(QApplication& app);

} // namespace clockdeck
