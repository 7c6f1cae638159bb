// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Clockdeck developers
#include "startup.h"

#include "pictures.h"

#include "base/filedescriptor.h"

#include <QApplication>
#include <QDir>
#include <QJsonArray>
#include <QPluginLoader>

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <set>
#include <string_view>
#include <system_error>
#include <thread>
#include <utility>
#include <vector>

#include <dlfcn.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/stat.h>
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

// A pause between connection attempts to an X server that is resetting.
constexpr std::chrono::milliseconds RetryPause{50};

bool isSet(const char* name)
{
    const char* value = std::getenv(name);
    return value && *value;
}

// The platform named by Qt's own "-platform NAME" (or "--platform") or QT_QPA_PLATFORM; empty when none is.
std::string chosenPlatform(int argc, char* argv[])
{
    for (int i = 1; i + 1 < argc; ++i) {
        if (std::strcmp(argv[i], "-platform") == 0 || std::strcmp(argv[i], "--platform") == 0) {
            return argv[i + 1];
        }
    }
    return isSet("QT_QPA_PLATFORM") ? std::getenv("QT_QPA_PLATFORM") : "";
}

// The platform names Qt's plugins offer ("xcb", "wayland", "offscreen", ...), read from the plugins' metadata
// without loading them, where Qt looks for them.
std::set<std::string> installedPlatforms()
{
    QStringList folders;
    const QByteArray own = qgetenv("QT_QPA_PLATFORM_PLUGIN_PATH");
    if (!own.isEmpty()) {
        folders << QFile::decodeName(own);
    }
    for (const QString& path : QCoreApplication::libraryPaths()) {
        folders << path + QStringLiteral("/platforms");
    }
    std::set<std::string> names;
    for (const QString& folder : folders) {
        for (const QFileInfo& file : QDir(folder).entryInfoList({QStringLiteral("*.so")}, QDir::Files)) {
            const QJsonArray keys = QPluginLoader(file.absoluteFilePath())
                                        .metaData()
                                        .value(QLatin1String("MetaData"))[QLatin1String("Keys")]
                                        .toArray();
            for (const QJsonValue& key : keys) {
                names.insert(key.toString().toLower().toStdString());
            }
        }
    }
    return names;
}

// Whether one of the platforms of a Qt platform list ("wayland;xcb", "vnc:size=800x600") is installed.
bool platformInstalled(const std::string& list)
{
    const std::set<std::string> installed = installedPlatforms();
    for (const QString& entry : QString::fromStdString(list).split(u';', Qt::SkipEmptyParts)) {
        if (installed.contains(entry.section(u':', 0, 0).trimmed().toLower().toStdString())) {
            return true;
        }
    }
    return false;
}

using Clock = std::chrono::steady_clock;

// Waits for @p events on @p fd until @p deadline; false when it passed first or the socket failed.
bool waitFor(int fd, short events, Clock::time_point deadline)
{
    for (;;) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
        if (left <= 0) {
            return false;
        }
        pollfd entry{fd, events, 0};
        const int ready = ::poll(&entry, 1, static_cast<int>(left));
        if (ready > 0) {
            return (entry.revents & events) != 0;
        }
        if (ready < 0 && errno != EINTR) {
            return false;
        }
    }
}

// One round trip with the compositor: wl_display.sync (object 1, request 0) asks for a new wl_callback (object 2),
// whose done event (opcode 0) is the answer. Messages are two 32-bit words, object and size << 16 | opcode, then
// the arguments, in the machine's byte order.
bool waylandRoundTrip(int fd, Clock::time_point deadline)
{
    const std::uint32_t sync[] = {1, 12u << 16 | 0u, 2};
    if (!waitFor(fd, POLLOUT, deadline) || ::send(fd, sync, sizeof sync, MSG_NOSIGNAL) != ssize_t(sizeof sync)) {
        return false;
    }
    std::vector<unsigned char> received;
    while (received.size() < 4096 && waitFor(fd, POLLIN, deadline)) {
        unsigned char buffer[512];
        const ssize_t got = ::recv(fd, buffer, sizeof buffer, 0);
        if (got < 0 && errno == EINTR) {
            continue;
        }
        if (got <= 0) {
            return false;
        }
        received.insert(received.end(), buffer, buffer + got);
        std::size_t at = 0;
        while (received.size() - at >= 8) {
            std::uint32_t header[2];
            std::memcpy(header, received.data() + at, sizeof header);
            const std::size_t size = header[1] >> 16;
            if (size < 8 || size % 4 != 0) {
                return false;
            }
            if (header[0] == 2 && (header[1] & 0xffff) == 0) {
                return true;
            }
            if (header[0] == 1 && (header[1] & 0xffff) == 0) {
                return false; // wl_display.error
            }
            if (received.size() - at < size) {
                break;
            }
            at += size;
        }
    }
    return false;
}

// A new unix stream socket that does not block, closed when it goes.
FileDescriptor unixSocket()
{
    return FileDescriptor(::socket(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0));
}

bool waylandAnswers(Clock::time_point deadline)
{
    std::string path = std::getenv("WAYLAND_DISPLAY");
    if (path.front() != '/') {
        if (!isSet("XDG_RUNTIME_DIR")) {
            return false;
        }
        path = std::string(std::getenv("XDG_RUNTIME_DIR")) + "/" + path;
    }
    sockaddr_un address{};
    if (path.size() >= sizeof address.sun_path) {
        return false;
    }
    address.sun_family = AF_UNIX;
    std::memcpy(address.sun_path, path.data(), path.size());
    const FileDescriptor socket = unixSocket();
    if (!socket.isOpen()) {
        return false;
    }
    // EAGAIN: the compositor is there, only busy; the round trip waits for it.
    if (::connect(socket.get(), reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0 && errno != EAGAIN) {
        return false;
    }
    return waylandRoundTrip(socket.get(), deadline);
}

// WAYLAND_SOCKET: a connection to the compositor handed over by whoever started this program, as a descriptor
// number. It is taken by Qt as it is, so only its kind is checked: an open unix stream socket.
bool waylandSocketUsable(const char* value)
{
    int fd = -1;
    const char* end = value + std::strlen(value);
    const auto [stop, error] = std::from_chars(value, end, fd);
    struct stat info
    {
    };
    int domain = 0, type = 0;
    socklen_t size = sizeof domain;
    return error == std::errc() && stop == end && fd >= 0 && ::fstat(fd, &info) == 0 && S_ISSOCK(info.st_mode) &&
           ::getsockopt(fd, SOL_SOCKET, SO_DOMAIN, &domain, &size) == 0 && domain == AF_UNIX &&
           (size = sizeof type, ::getsockopt(fd, SOL_SOCKET, SO_TYPE, &type, &size) == 0) && type == SOCK_STREAM;
}

// Ends the process with one line and status 1 unless it is dismissed within the time given: xcb_connect waits for
// the X server's setup reply with no limit of its own.
class Watchdog
{
public:
    Watchdog(int timeoutMs, std::string message)
        : m_message(std::move(message)), m_thread([this, timeoutMs] {
              std::unique_lock lock(m_mutex);
              if (!m_dismissed.wait_for(lock, std::chrono::milliseconds(timeoutMs), [this] { return m_done; })) {
                  std::fputs(m_message.c_str(), stderr);
                  std::_Exit(1);
              }
          })
    {}
    ~Watchdog()
    {
        {
            const std::lock_guard lock(m_mutex);
            m_done = true;
        }
        m_dismissed.notify_one();
        m_thread.join();
    }
    Watchdog(const Watchdog&) = delete;
    Watchdog& operator=(const Watchdog&) = delete;

private:
    std::string m_message;
    std::mutex m_mutex;
    std::condition_variable m_dismissed;
    bool m_done = false;
    std::thread m_thread;
};

// Whether an X server on this machine listens for @p display: the abstract socket name its clients try first, or
// the socket file. A display elsewhere counts as not listening.
bool xListens(const char* display)
{
    char* host = nullptr;
    int number = 0;
    if (!xcb_parse_display(display, &host, &number, nullptr)) {
        return false;
    }
    const bool local = !host || !*host || std::strcmp(host, "unix") == 0;
    std::free(host);
    if (!local) {
        return false;
    }
    const std::string path = "/tmp/.X11-unix/X" + std::to_string(number);
    for (const bool abstract : {true, false}) {
        sockaddr_un address{};
        address.sun_family = AF_UNIX;
        std::memcpy(address.sun_path + (abstract ? 1 : 0), path.data(), path.size());
        const auto size = socklen_t(offsetof(sockaddr_un, sun_path) + path.size() + (abstract ? 1 : 0));
        const FileDescriptor socket = unixSocket();
        if (socket.isOpen() && ::connect(socket.get(), reinterpret_cast<const sockaddr*>(&address), size) == 0) {
            return true;
        }
    }
    return false;
}

std::unique_ptr<xcb_connection_t, XDisconnect> connectX11(Clock::time_point deadline)
{
    const char* display = std::getenv("DISPLAY");
    const Watchdog watchdog(int(std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count()),
                            std::string("clockdeck: cannot open the display: DISPLAY=") + display +
                                " does not answer within " + std::to_string(DisplayDeadlineMs / 1000) + " s\n");
    for (;;) {
        std::unique_ptr<xcb_connection_t, XDisconnect> connection(xcb_connect(display, nullptr));
        if (xcb_connection_has_error(connection.get()) == 0) {
            return connection;
        }
        // An X server whose last client has just left resets, and closes new connections meanwhile: while it
        // listens, try again. One that does not listen is reported at once.
        if (Clock::now() + RetryPause >= deadline || !xListens(display)) {
            return nullptr;
        }
        std::this_thread::sleep_for(RetryPause);
    }
}

int cannotOpen(const std::string& reasons)
{
    std::fprintf(stderr, "clockdeck: cannot open the display: %s\n", reasons.c_str());
    return 1;
}

// Qt's messages while its platform starts, held back (PlatformStartGuard).
struct HeldMessage
{
    QtMsgType type;
    std::string category;
    QString text;
};
struct StartGuardState
{
    QtMessageHandler previous = nullptr;
    std::string platform;
    std::vector<HeldMessage> held;
};
StartGuardState* g_startGuard = nullptr;

void holdMessage(QtMsgType type, const QMessageLogContext& context, const QString& text)
{
    if (type != QtFatalMsg) {
        g_startGuard->held.push_back({type, context.category ? context.category : "", text});
        return;
    }
    // The first thing Qt said is the cause ("could not connect to display :1"); the fatal text only adds advice.
    QString cause = g_startGuard->held.empty() ? text : g_startGuard->held.front().text;
    cause = cause.section(u'\n', 0, 0).simplified();
    const std::string platform = g_startGuard->platform.empty() ? std::string("default") : g_startGuard->platform;
    std::fprintf(stderr, "clockdeck: cannot open the display: Qt's %s platform failed: %s\n", platform.c_str(),
                 cause.toLocal8Bit().constData());
    std::_Exit(1);
}

} // namespace

void XDisconnect::operator()(xcb_connection_t* connection) const
{
    xcb_disconnect(connection);
}

PlatformStartGuard::PlatformStartGuard(std::string platform)
{
    g_startGuard = new StartGuardState{nullptr, std::move(platform), {}};
    g_startGuard->previous = qInstallMessageHandler(holdMessage);
}

PlatformStartGuard::~PlatformStartGuard()
{
    qInstallMessageHandler(g_startGuard->previous);
    const std::unique_ptr<StartGuardState> state(std::exchange(g_startGuard, nullptr));
    for (const HeldMessage& message : state->held) {
        const QMessageLogContext context(nullptr, 0, nullptr, message.category.c_str());
        qt_message_output(message.type, context, message.text);
    }
}

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
    if (!platform.empty() && !platformInstalled(platform)) {
        start.exitCode = cannotOpen("Qt has no platform \"" + platform + "\" (QT_QPA_PLATFORM or -platform)");
        return start;
    }
    const bool wantsWayland = platform.empty() || platform.find("wayland") != std::string::npos;
    const bool wantsX11 = platform.empty() || platform.find("xcb") != std::string::npos;
    if (!wantsWayland && !wantsX11) {
        return start; // offscreen, vnc, ...: no display of ours to check
    }
    const bool wayland = wantsWayland && (isSet("WAYLAND_DISPLAY") || isSet("WAYLAND_SOCKET"));
    const bool x11 = wantsX11 && isSet("DISPLAY");
    if (!wayland && !x11) {
        if (!wantsX11) {
            std::fprintf(stderr,
                         "clockdeck: no display to open the window on (the platform %s asks for Wayland, and "
                         "WAYLAND_DISPLAY is not set); run clockdeck-cli for the calculation in a terminal\n",
                         platform.c_str());
        } else if (!wantsWayland) {
            std::fprintf(stderr,
                         "clockdeck: no display to open the window on (the platform %s asks for X11, and "
                         "DISPLAY is not set); run clockdeck-cli for the calculation in a terminal\n",
                         platform.c_str());
        } else {
            std::fputs("clockdeck: no display to open the window on (DISPLAY and WAYLAND_DISPLAY are not set); "
                       "run clockdeck-cli for the calculation in a terminal\n",
                       stderr);
        }
        start.exitCode = 1;
        return start;
    }
    const Clock::time_point deadline = Clock::now() + std::chrono::milliseconds(DisplayDeadlineMs);
    std::string reasons;
    if (wayland && isSet("WAYLAND_SOCKET")) {
        // A handed-over connection is the caller's choice of display: no fallback.
        if (waylandSocketUsable(std::getenv("WAYLAND_SOCKET"))) {
            if (platform.empty()) {
                start.platform = "wayland";
            }
            return start;
        }
        start.exitCode = cannotOpen(std::string("WAYLAND_SOCKET=") + std::getenv("WAYLAND_SOCKET") +
                                    " is not a connection to a Wayland compositor");
        return start;
    }
    if (wayland) {
        if (waylandAnswers(deadline)) {
            // Native on Wayland, with X11 (XWayland) as the way out should the Wayland platform be missing.
            if (platform.empty()) {
                start.platform = x11 ? "wayland;xcb" : "wayland";
            }
            return start;
        }
        reasons = std::string("WAYLAND_DISPLAY=") + std::getenv("WAYLAND_DISPLAY") + " does not answer";
    }
    if (x11) {
        // The X server gets its own few seconds, also after a compositor that used up the first ones.
        start.x11 = connectX11(std::max(deadline, Clock::now() + std::chrono::milliseconds(DisplayDeadlineMs)));
        if (start.x11) {
            // After a compositor that failed, Qt must not try it again first.
            if (platform.empty() || !reasons.empty()) {
                start.platform = "xcb";
            }
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
            if (++i == argc) {
                return fail("--sysroot needs a folder");
            }
            folder = argv[i];
        } else if (argument.starts_with("--sysroot=")) {
            folder = argument.substr(10);
        } else {
            return fail("unknown argument '" + std::string(argument) + "'");
        }
        std::error_code error;
        const std::filesystem::path path{std::string(folder)};
        if (folder.empty() || !std::filesystem::is_directory(path, error)) {
            return fail("--sysroot: '" + std::string(folder) + "' is not a folder");
        }
        options.sysroot = path;
    }
    return options;
}

FontConfigurationLoader::FontConfigurationLoader()
{
    // RTLD_NOLOAD: the library Qt's own start already mapped, or nothing. Its FcInit is safe to call from any
    // thread, and a second call (Qt's) finds the configuration loaded.
    void* const library = ::dlopen("libfontconfig.so.1", RTLD_NOW | RTLD_NOLOAD);
    if (!library) {
        return;
    }
    using Init = int (*)();
    const auto init = reinterpret_cast<Init>(::dlsym(library, "FcInit"));
    if (!init) {
        ::dlclose(library);
        return;
    }
    try {
        m_thread = std::thread([library, init] {
            init();
            ::dlclose(library);
        });
    } catch (const std::system_error&) {
        ::dlclose(library); // no thread to spare: Qt loads the configuration itself when it first needs it
    }
}

FontConfigurationLoader::~FontConfigurationLoader()
{
    wait();
}

void FontConfigurationLoader::wait()
{
    if (m_thread.joinable()) {
        m_thread.join();
    }
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
