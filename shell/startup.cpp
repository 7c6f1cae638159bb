// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Clockdeck developers
#include "startup.h"

#include "pictures.h"

#include <QApplication>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <system_error>

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

bool hasDisplay(int argc, char* argv[])
{
    if (isSet("DISPLAY") || isSet("WAYLAND_DISPLAY") || isSet("QT_QPA_PLATFORM")) {
        return true;
    }
    // Qt's own "-platform NAME" (or "--platform") chooses a platform that may need no display at all.
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "-platform") == 0 || std::strcmp(argv[i], "--platform") == 0) {
            return true;
        }
    }
    return false;
}

} // namespace

std::optional<int> handleEarlyOptions(int argc, char* argv[])
{
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--help") == 0 || std::strcmp(argv[i], "-h") == 0) {
            std::fputs(Usage, stdout);
            return 0;
        }
        if (std::strcmp(argv[i], "--version") == 0) {
            std::printf("clockdeck %s\n", CLOCKDECK_VERSION);
            return 0;
        }
    }
    if (!hasDisplay(argc, argv)) {
        std::fputs("clockdeck: no display to open the window on (DISPLAY and WAYLAND_DISPLAY are not set); "
                   "run clockdeck-cli for the calculation in a terminal\n",
                   stderr);
        return 1;
    }
    return std::nullopt;
}

StartOptions parseStartOptions(const QStringList& arguments)
{
    StartOptions options;
    const auto fail = [&options](const QString& message) {
        std::fprintf(stderr, "clockdeck: %s (see clockdeck --help)\n", qPrintable(message));
        options.exitCode = 2;
        return options;
    };
    for (qsizetype i = 1; i < arguments.size(); ++i) {
        const QString& argument = arguments[i];
        QString folder;
        if (argument == QLatin1String("--sysroot")) {
            if (++i == arguments.size()) {
                return fail(QStringLiteral("--sysroot needs a folder"));
            }
            folder = arguments[i];
        } else if (argument.startsWith(QLatin1String("--sysroot="))) {
            folder = argument.mid(10);
        } else {
            return fail(QStringLiteral("unknown argument '%1'").arg(argument));
        }
        std::error_code error;
        const std::filesystem::path path = folder.toStdString();
        if (folder.isEmpty() || !std::filesystem::is_directory(path, error)) {
            return fail(QStringLiteral("--sysroot: '%1' is not a folder").arg(folder));
        }
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
