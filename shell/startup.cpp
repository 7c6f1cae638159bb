// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Clockdeck developers
#include "startup.h"

#include "pictures.h"

#include <QApplication>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string_view>
#include <system_error>

#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>
#include <xcb/xcb.h>

namespace clockdeck {

namespace {

constexpr const char* Usage =
    "Usage: clockdeck [--sysroot DIR]\n"
    "Opens the Clockdeck overclocking calculator window.\n"
    "\n"
    "  --sysroot DIR  probe a saved machine profile (a folder holding proc/cpuinfo, sys/...)\n"
    "                 instead of this machine\n"
    "  --help         show this text\n"
    "  --version      show the version\n"
    "\n"
    "Without a display, clockdeck-cli prints the same calculation in a terminal.\n";

bool isSet(const char* name)
{
    const char* value = std::getenv(name);
    return value && *value;
}

// The platform named by Qt's own "-platform NAME" (or "--platform") or QT_QPA_PLATFORM; empty when none is.
std::string chosenPlatform(int argc, char* argv[])
{
    for (int i = 1; i + 1 < argc; ++i) {
        if (std::strcmp(argv[i], "-platform") == 0 || std::strcmp(argv[i], "--platform") == 0)
            return argv[i + 1];
    }
    return isSet("QT_QPA_PLATFORM") ? std::getenv("QT_QPA_PLATFORM") : "";
}

bool waylandAnswers()
{
    if (isSet("WAYLAND_SOCKET"))
        return true; // a connection handed over by whoever started us
    std::string path = std::getenv("WAYLAND_DISPLAY");
    if (path.front() != '/') {
        if (!isSet("XDG_RUNTIME_DIR"))
            return false;
        path = std::string(std::getenv("XDG_RUNTIME_DIR")) + "/" + path;
    }
    sockaddr_un address{};
    if (path.size() >= sizeof address.sun_path)
        return false;
    address.sun_family = AF_UNIX;
    std::memcpy(address.sun_path, path.data(), path.size());
    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    // EAGAIN: the compositor is there, only busy.
    const bool answers =
        fd >= 0 && (::connect(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0 || errno == EAGAIN);
    if (fd >= 0)
        ::close(fd);
    return answers;
}

bool x11Answers()
{
    xcb_connection_t* connection = xcb_connect(std::getenv("DISPLAY"), nullptr);
    const bool answers = xcb_connection_has_error(connection) == 0;
    xcb_disconnect(connection);
    return answers;
}

int cannotOpen(const std::string& reasons)
{
    std::fprintf(stderr, "clockdeck: cannot open the display: %s\n", reasons.c_str());
    return 1;
}

} // namespace

EarlyStart handleEarlyOptions(int argc, char* argv[])
{
    EarlyStart start;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--help") == 0 || std::strcmp(argv[i], "-h") == 0) {
            std::fputs(Usage, stdout);
            start.exitCode = 0;
            return start;
        }
        if (std::strcmp(argv[i], "--version") == 0) {
            std::printf("clockdeck %s\n", CLOCKDECK_VERSION);
            start.exitCode = 0;
            return start;
        }
    }
    const std::string platform = chosenPlatform(argc, argv);
    const bool wantsWayland = platform.empty() || platform.find("wayland") != std::string::npos;
    const bool wantsX11 = platform.empty() || platform.find("xcb") != std::string::npos;
    if (!wantsWayland && !wantsX11)
        return start; // offscreen, vnc, ...: no display of ours to check
    const bool wayland = wantsWayland && isSet("WAYLAND_DISPLAY");
    const bool x11 = wantsX11 && isSet("DISPLAY");
    if (!wayland && !x11) {
        std::fputs("clockdeck: no display to open the window on (DISPLAY and WAYLAND_DISPLAY are not set); "
                   "run clockdeck-cli for the calculation in a terminal\n",
                   stderr);
        start.exitCode = 1;
        return start;
    }
    std::string reasons;
    if (wayland) {
        if (waylandAnswers()) {
            // Native on Wayland, with X11 (XWayland) as the way out should the Wayland platform be missing.
            if (platform.empty())
                start.platform = x11 ? "wayland;xcb" : "wayland";
            return start;
        }
        reasons = std::string("WAYLAND_DISPLAY=") + std::getenv("WAYLAND_DISPLAY") + " does not answer";
    }
    if (x11) {
        if (x11Answers()) {
            if (platform.empty())
                start.platform = "xcb";
            return start;
        }
        reasons += (reasons.empty() ? "" : "; ") + std::string("DISPLAY=") + std::getenv("DISPLAY") +
                   " names no running X server";
    }
    start.exitCode = cannotOpen(reasons);
    return start;
}

StartOptions parseStartOptions(int argc, char* argv[])
{
    StartOptions options;
    const auto fail = [&options](const std::string& message) {
        std::fprintf(stderr, "clockdeck: %s (see clockdeck --help)\n", message.c_str());
        options.exitCode = 2;
        return options;
    };
    for (int i = 1; i < argc; ++i) {
        const std::string_view argument = argv[i];
        std::string_view folder;
        if (argument == "--sysroot") {
            if (++i == argc)
                return fail("--sysroot needs a folder");
            folder = argv[i];
        } else if (argument.starts_with("--sysroot=")) {
            folder = argument.substr(10);
        } else {
            return fail("unknown argument '" + std::string(argument) + "'");
        }
        std::error_code error;
        const std::filesystem::path path{std::string(folder)};
        if (folder.empty() || !std::filesystem::is_directory(path, error))
            return fail("--sysroot: '" + std::string(folder) + "' is not a folder");
        options.sysroot = path;
    }
    return options;
}

void prepareApplication(QApplication& app)
{
    QApplication::setApplicationName(QStringLiteral("Clockdeck"));
    QApplication::setOrganizationName(QStringLiteral("Tarnwick"));
    QApplication::setApplicationVersion(QStringLiteral(CLOCKDECK_VERSION));
    QApplication::setDesktopFileName(QStringLiteral("net.tarnwick.Clockdeck"));
    QApplication::setWindowIcon(pictures::icon());
    Q_UNUSED(app);
}

} // namespace clockdeck
