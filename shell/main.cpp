// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Clockdeck developers
#include "shell/form2.h"
#include "shell/startup.h"
#include "shell/unixsignals.h"

#include <QApplication>

#include <csignal>
#include <optional>
#include <vector>

int main(int argc, char* argv[])
{
    // Before any file or display is touched: a request to end waits until the event loop answers it, and every
    // step before that has a deadline.
    [[maybe_unused]] const bool handled = clockdeck::UnixSignals::install({SIGTERM, SIGINT, SIGHUP});
    // A reader that goes away (a pipe as standard error, a program the window talks to) and a results file that
    // reaches the user's file-size limit become errors where they happen ("File too large" puts the file back)
    // rather than signals that end the window.
    std::signal(SIGPIPE, SIG_IGN);
    std::signal(SIGXFSZ, SIG_IGN);
    clockdeck::EarlyStart early = clockdeck::handleEarlyOptions(argc, argv);
    if (early.exitCode) {
        return *early.exitCode;
    }
    // The window system that answered, as Qt's own option: unlike QT_QPA_PLATFORM it is not inherited by the
    // editor and browser this program starts.
    std::vector<char*> arguments(argv, argv + argc);
    std::string platformOption = "-platform";
    std::string platform = early.platform;
    if (!platform.empty()) {
        arguments.push_back(platformOption.data());
        arguments.push_back(platform.data());
    }
    int count = static_cast<int>(arguments.size());
    arguments.push_back(nullptr);
    clockdeck::FontConfigurationLoader fonts;
    std::optional<clockdeck::PlatformStartGuard> guard(std::in_place, platform);
    QApplication app(count, arguments.data());
    guard.reset();
    fonts.wait();
    early.x11.reset(); // Qt holds its own connection by now
    // Qt has taken its own options out of the list by now.
    const clockdeck::StartOptions options = clockdeck::parseStartOptions(count, arguments.data());
    if (options.exitCode) {
        return *options.exitCode;
    }
    clockdeck::prepareApplication(app);

    // The start-up role: a later start only brings the running window forward and ends with status 0; the first
    // loads the main window and stays in the tray until one of the ways out.
    clockdeck::Form2::Options startup;
    startup.sysroot = options.sysroot;
    clockdeck::Form2 form2(startup);
    if (const auto status = form2.load()) {
        return *status;
    }
    if (form2.isUnloaded()) {
        return 0;
    }
    return QApplication::exec();
}
