// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Clockdeck developers
#pragma once

#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <thread>

class QApplication;
struct xcb_connection_t;

namespace clockdeck {

struct XDisconnect
{
    void operator()(xcb_connection_t* connection) const;
};

struct EarlyStart
{
    std::optional<int> exitCode; // end now with this status; what to say is already printed
    std::string platform;        // the window system to ask Qt for ("wayland", "xcb"), empty: Qt's own choice
    // The check's own connection to the X server, to be closed only once Qt has its own: an X server left with no
    // client resets, and refuses the next connection while it does.
    std::unique_ptr<xcb_connection_t, XDisconnect> x11;
};

/// What needs no window system: --help, --version, and the checks that the display answers and that Qt's
/// platform can be had. Without them Qt would abort (and dump core) on a display that is not there, or wait for
/// ever on one that never answers; this says in one line what failed, and every wait has a deadline
/// (DisplayDeadlineMs).
[[nodiscard]] EarlyStart handleEarlyOptions(int argc, char* argv[]);

/// How long a display may take to answer the first request.
constexpr int DisplayDeadlineMs = 5000;

/// Held around QApplication's construction: whatever Qt's platform plugin says is held back, and its fatal error
/// ends the program with one line and status 1 instead of an abort. Afterwards Qt's messages are passed on again,
/// the held ones first.
class PlatformStartGuard
{
public:
    explicit PlatformStartGuard(std::string platform);
    ~PlatformStartGuard();
    PlatformStartGuard(const PlatformStartGuard&) = delete;
    PlatformStartGuard& operator=(const PlatformStartGuard&) = delete;
};

struct StartOptions
{
    std::filesystem::path sysroot = "/";
    std::optional<int> exitCode; // set when the command line was wrong; the reason is already printed
};

// The command line left after Qt took its own options. Folder names are taken byte for byte, as the file system
// has them, whatever their encoding.
StartOptions parseStartOptions(int argc, char* argv[]);

/// Loads the font configuration on a thread of its own while QApplication connects to the display. Reading
/// fontconfig's configuration files is the largest single step before the window's first text can be measured,
/// and needs no display. Only a fontconfig that Qt itself links is used; the destructor waits for the thread.
class FontConfigurationLoader
{
public:
    FontConfigurationLoader();
    ~FontConfigurationLoader();
    FontConfigurationLoader(const FontConfigurationLoader&) = delete;
    FontConfigurationLoader& operator=(const FontConfigurationLoader&) = delete;
    /// Waits until the configuration is loaded (or was not to be loaded).
    void wait();

private:
    std::thread m_thread;
};

// Names, icon and desktop entry of the application.
void prepareApplication(QApplication& app);

} // namespace clockdeck
