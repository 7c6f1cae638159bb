// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Clockdeck developers
#include "desktopeditor.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QThread>
#include <algorithm>

#include <xcb/xcb.h>

#include <cstdlib>
#include <cstring>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <unistd.h>
#include <vector>

namespace clockdeck {

namespace {

// How long one pass waits for the asked windows to go before looking again. A window still there afterwards
// (its editor is asking whether to save) is asked again in the next pass.
constexpr int CloseWaitMs = 300;
constexpr int CloseWaitStepMs = 20;
// The editors started recently enough to still be looked for.
constexpr std::size_t LaunchesKept = 16;

// A connection of its own to the X server named by DISPLAY: the editor's windows belong to other programs, and
// this works whatever Qt platform the window runs on.
class X11
{
public:
    X11()
    {
        const char* display = std::getenv("DISPLAY");
        if (!display || !*display) {
            return;
        }
        int screenNumber = 0;
        m_c = xcb_connect(display, &screenNumber);
        if (xcb_connection_has_error(m_c)) {
            xcb_disconnect(m_c);
            m_c = nullptr;
            return;
        }
        xcb_screen_iterator_t it = xcb_setup_roots_iterator(xcb_get_setup(m_c));
        for (int i = 0; i < screenNumber && it.rem; ++i) {
            xcb_screen_next(&it);
        }
        m_root = it.data ? it.data->root : XCB_NONE;
    }
    ~X11()
    {
        if (m_c) {
            xcb_disconnect(m_c);
        }
    }
    X11(const X11&) = delete;
    X11& operator=(const X11&) = delete;

    bool ok() const { return m_c && m_root != XCB_NONE; }
    xcb_connection_t* connection() const { return m_c; }
    xcb_window_t root() const { return m_root; }

    xcb_atom_t atom(const char* name)
    {
        const auto cookie = xcb_intern_atom(m_c, 0, static_cast<uint16_t>(std::strlen(name)), name);
        std::unique_ptr<xcb_intern_atom_reply_t, decltype(&std::free)> reply(
            xcb_intern_atom_reply(m_c, cookie, nullptr), &std::free);
        return reply ? reply->atom : static_cast<xcb_atom_t>(XCB_ATOM_NONE);
    }

    // The raw bytes of a property (any type), empty when missing.
    QByteArray property(xcb_window_t window, xcb_atom_t property, xcb_atom_t type = XCB_GET_PROPERTY_TYPE_ANY)
    {
        // Long enough for any title and any client list a desktop has.
        const auto cookie = xcb_get_property(m_c, 0, window, property, type, 0, 65536);
        std::unique_ptr<xcb_get_property_reply_t, decltype(&std::free)> reply(
            xcb_get_property_reply(m_c, cookie, nullptr), &std::free);
        if (!reply || reply->type == XCB_ATOM_NONE) {
            return {};
        }
        return QByteArray(static_cast<const char*>(xcb_get_property_value(reply.get())),
                          xcb_get_property_value_length(reply.get()));
    }

    std::vector<uint32_t> property32(xcb_window_t window, xcb_atom_t property)
    {
        const QByteArray bytes = this->property(window, property);
        std::vector<uint32_t> values(static_cast<std::size_t>(bytes.size()) / sizeof(uint32_t));
        std::memcpy(values.data(), bytes.constData(), values.size() * sizeof(uint32_t));
        return values;
    }

    std::vector<xcb_window_t> children(xcb_window_t window)
    {
        std::unique_ptr<xcb_query_tree_reply_t, decltype(&std::free)> reply(
            xcb_query_tree_reply(m_c, xcb_query_tree(m_c, window), nullptr), &std::free);
        if (!reply) {
            return {};
        }
        const xcb_window_t* first = xcb_query_tree_children(reply.get());
        return {first, first + xcb_query_tree_children_length(reply.get())};
    }

    // Still on the screen: not destroyed, not withdrawn.
    bool viewable(xcb_window_t window)
    {
        std::unique_ptr<xcb_get_window_attributes_reply_t, decltype(&std::free)> reply(
            xcb_get_window_attributes_reply(m_c, xcb_get_window_attributes(m_c, window), nullptr), &std::free);
        return reply && reply->map_state == XCB_MAP_STATE_VIEWABLE;
    }

private:
    xcb_connection_t* m_c = nullptr;
    xcb_window_t m_root = XCB_NONE;
};

QString title(X11& x, xcb_window_t window)
{
    const QByteArray utf8 = x.property(window, x.atom("_NET_WM_NAME"), x.atom("UTF8_STRING"));
    if (!utf8.isEmpty()) {
        return QString::fromUtf8(utf8);
    }
    return QString::fromLatin1(x.property(window, XCB_ATOM_WM_NAME));
}

// The application windows on the screen: the window manager's client list (minimised windows included), or,
// without a window manager that keeps one, the mapped children of the root (and, for frames that carry no title,
// their children).
std::vector<xcb_window_t> topLevelWindows(X11& x)
{
    const std::vector<uint32_t> clients = x.property32(x.root(), x.atom("_NET_CLIENT_LIST"));
    if (!clients.empty()) {
        return {clients.begin(), clients.end()};
    }
    std::vector<xcb_window_t> windows;
    for (const xcb_window_t child : x.children(x.root())) {
        if (!x.viewable(child)) {
            continue; // withdrawn: shows nothing
        }
        if (!title(x, child).isEmpty()) {
            windows.push_back(child);
            continue;
        }
        for (const xcb_window_t grandchild : x.children(child)) {
            windows.push_back(grandchild);
        }
    }
    return windows;
}

void sendClientMessage(X11& x, xcb_window_t destination, uint32_t eventMask, xcb_window_t window, xcb_atom_t type,
                       std::initializer_list<uint32_t> data)
{
    xcb_client_message_event_t event{};
    event.response_type = XCB_CLIENT_MESSAGE;
    event.format = 32;
    event.window = window;
    event.type = type;
    std::size_t i = 0;
    for (const uint32_t value : data) {
        event.data.data32[i++] = value;
    }
    xcb_send_event(x.connection(), 0, destination, eventMask, reinterpret_cast<const char*>(&event));
}

// The close button's request, only for a window that takes it (it lists WM_DELETE_WINDOW): through the window
// manager when it offers one (it may add its own courtesy, such as raising the window first), else straight to the
// window. A window that takes no close request could only be destroyed, losing its edits, and a window manager asked
// to close it would do just that: it is left alone. Returns whether the window was asked.
bool askToClose(X11& x, xcb_window_t window)
{
    const xcb_atom_t protocols = x.atom("WM_PROTOCOLS");
    const xcb_atom_t deleteWindow = x.atom("WM_DELETE_WINDOW");
    const std::vector<uint32_t> offered = x.property32(window, protocols);
    if (std::find(offered.begin(), offered.end(), deleteWindow) == offered.end()) {
        return false;
    }
    const xcb_atom_t netClose = x.atom("_NET_CLOSE_WINDOW");
    const std::vector<uint32_t> supported = x.property32(x.root(), x.atom("_NET_SUPPORTED"));
    if (std::find(supported.begin(), supported.end(), netClose) != supported.end()) {
        constexpr uint32_t SourceUser = 2; // a pager or taskbar acting for the user
        sendClientMessage(x, x.root(), XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY | XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT,
                          window, netClose, {XCB_CURRENT_TIME, SourceUser});
    } else {
        sendClientMessage(x, window, XCB_EVENT_MASK_NO_EVENT, window, protocols, {deleteWindow, XCB_CURRENT_TIME});
    }
    return true;
}

// Whether a title begins with @p shown the way editors show a file: after a "modified" mark such as "*" or "●",
// then nothing more, or a blank or bracket before the folder or program name. "Results.txt (~/bench) - gedit" and
// "*Results.txt - Mousepad" show Results.txt; "Results.txt.bak - gedit" and "ls Results.txt" do not.
bool shows(QString title, const QString& shown, Qt::CaseSensitivity cs)
{
    title = title.trimmed();
    while (!title.isEmpty() && (title.front() == QLatin1Char('*') || title.front() == QChar(0x25CF))) {
        title = title.mid(1).trimmed();
    }
    if (!title.startsWith(shown, cs)) {
        return false;
    }
    if (title.size() == shown.size()) {
        return true;
    }
    const QChar next = title.at(shown.size());
    return next.isSpace() || next == QLatin1Char('(') || next == QLatin1Char('[') || next == QLatin1Char('-') ||
           next == QChar(0x2014) || next == QChar(0x2013);
}

// Whether a title shows the file's full path: the path itself, or the name followed by its folder in brackets,
// each also with the home folder written as "~".
bool showsPath(const QString& title, const QString& file)
{
    const QString home = QDir::homePath();
    const QString name = file.section(QLatin1Char('/'), -1);
    QString folder = file.left(file.size() - name.size() - 1);
    QStringList forms{file, name + QStringLiteral(" (") + (folder.isEmpty() ? QStringLiteral("/") : folder) + ')'};
    if (home.size() > 1 && (folder == home || folder.startsWith(home + QLatin1Char('/')))) {
        folder = QLatin1Char('~') + folder.mid(home.size());
        forms << folder + QLatin1Char('/') + name << name + QStringLiteral(" (") + folder + ')';
    }
    return std::any_of(forms.begin(), forms.end(),
                       [&](const QString& f) { return shows(title, f, Qt::CaseSensitive); });
}

// The session a process belongs to (the fifth field of /proc/PID/stat, after the command in brackets); 0 when
// unknown.
[[nodiscard]] pid_t sessionOf(pid_t pid)
{
    std::ifstream in("/proc/" + std::to_string(pid) + "/stat");
    std::string stat;
    std::getline(in, stat);
    const std::size_t end = stat.rfind(')');
    if (end == std::string::npos) {
        return 0;
    }
    std::istringstream fields(stat.substr(end + 1));
    std::string state;
    long parent = 0, group = 0, session = 0;
    fields >> state >> parent >> group >> session;
    return static_cast<pid_t>(session);
}

// The process id a window's client gave (_NET_WM_PID); 0 when missing or when the client runs on another machine,
// where the number means nothing here.
[[nodiscard]] pid_t windowPid(X11& x, xcb_window_t window)
{
    const QByteArray machine = x.property(window, XCB_ATOM_WM_CLIENT_MACHINE);
    char host[256] = {};
    if (!machine.isEmpty() && (::gethostname(host, sizeof host - 1) != 0 || machine != QByteArray(host))) {
        return 0;
    }
    const std::vector<uint32_t> pid = x.property32(window, x.atom("_NET_WM_PID"));
    return pid.empty() ? 0 : static_cast<pid_t>(pid.front());
}

// Terminal windows show a file name in their title while a program in them edits it; a close request would end
// that program with the terminal, so they are never asked.
bool isTerminal(X11& x, xcb_window_t window)
{
    static const QStringList terminals{
        QStringLiteral("xterm"),
        QStringLiteral("uxterm"),
        QStringLiteral("gnome-terminal"),
        QStringLiteral("konsole"),
        QStringLiteral("xfce4-terminal"),
        QStringLiteral("mate-terminal"),
        QStringLiteral("lxterminal"),
        QStringLiteral("qterminal"),
        QStringLiteral("terminator"),
        QStringLiteral("tilix"),
        QStringLiteral("alacritty"),
        QStringLiteral("kitty"),
        QStringLiteral("urxvt"),
        QStringLiteral("rxvt"),
        QStringLiteral("st"),
        QStringLiteral("st-256color"),
        QStringLiteral("foot"),
        QStringLiteral("wezterm"),
        QStringLiteral("sakura"),
        QStringLiteral("terminology"),
        QStringLiteral("guake"),
        QStringLiteral("tilda"),
        QStringLiteral("cool-retro-term"),
        QStringLiteral("kgx"),
    };
    // WM_CLASS: instance name, NUL, class name, NUL.
    for (const QByteArray& part : x.property(window, XCB_ATOM_WM_CLASS).split('\0')) {
        const QString name = QString::fromLatin1(part).toLower();
        if (terminals.contains(name) || name.endsWith(QLatin1String("terminal")) ||
            name.startsWith(QLatin1String("org.gnome.terminal"))) {
            return true;
        }
    }
    return false;
}

} // namespace

bool DesktopEditor::startedFor(const std::filesystem::path& file, pid_t windowPid) const
{
    if (windowPid <= 0) {
        return false;
    }
    const pid_t session = sessionOf(windowPid);
    return std::any_of(m_launched.begin(), m_launched.end(), [&](const Launch& launch) {
        return launch.file == file && (launch.pid == windowPid || launch.pid == session);
    });
}

bool DesktopEditor::closeEditorWindowsShowing(const std::filesystem::path& path)
{
    std::error_code error;
    const std::filesystem::path absolute = std::filesystem::absolute(path, error).lexically_normal();
    const QString file = QFile::decodeName(absolute.c_str());
    const QString fileName = QFile::decodeName(absolute.filename().c_str());
    if (error || fileName.isEmpty()) {
        return false;
    }
    X11 x;
    if (!x.ok()) {
        return false;
    }

    std::vector<xcb_window_t> asked;
    for (const xcb_window_t window : topLevelWindows(x)) {
        const QString shown = title(x, window);
        const bool ours = shows(shown, fileName, Qt::CaseInsensitive) && startedFor(absolute, windowPid(x, window));
        if ((ours || showsPath(shown, file)) && !isTerminal(x, window) && askToClose(x, window)) {
            asked.push_back(window);
        }
    }
    xcb_flush(x.connection());
    if (asked.empty()) {
        return false;
    }

    // Give the editors a moment to handle the request, as a close message would be waited for.
    const QDeadlineTimer deadline(CloseWaitMs);
    while (!deadline.hasExpired()) {
        bool anyLeft = false;
        for (const xcb_window_t window : asked) {
            anyLeft = anyLeft || x.viewable(window);
        }
        if (!anyLeft) {
            break;
        }
        QCoreApplication::processEvents();
        QThread::msleep(CloseWaitStepMs);
    }
    return true;
}

void DesktopEditor::processEvents()
{
    QCoreApplication::processEvents();
}

const QStringList& DesktopEditor::fallbackEditors()
{
    static const QStringList editors{
        QStringLiteral("gnome-text-editor"),
        QStringLiteral("gedit"),
        QStringLiteral("kate"),
        QStringLiteral("kwrite"),
        QStringLiteral("mousepad"),
        QStringLiteral("pluma"),
        QStringLiteral("xed"),
        QStringLiteral("featherpad"),
        QStringLiteral("leafpad"),
        QStringLiteral("geany"),
    };
    return editors;
}

void DesktopEditor::openInEditor(const std::filesystem::path& path)
{
    std::error_code error;
    const std::filesystem::path absolute = std::filesystem::absolute(path, error).lexically_normal();
    const QString file = QFile::decodeName(absolute.c_str());
    m_launcher.open(QStringList{QStringLiteral("xdg-open")} + fallbackEditors(), file,
                    QStringLiteral("Cannot open %1 in a text editor:").arg(file), nullptr, [this, absolute](pid_t pid) {
                        if (m_launched.size() == LaunchesKept) {
                            m_launched.erase(m_launched.begin());
                        }
                        m_launched.push_back({absolute, pid});
                    });
}

} // namespace clockdeck
