// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Clockdeck developers
//
// Runs under a virtual X server (xvfb-run) with no window manager. The test plays the editor: it makes X windows
// with editor-like titles on a connection of its own, and reads what arrives for them.
#include "shell/desktopeditor.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <xcb/xcb.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <vector>

using clockdeck::DesktopEditor;

namespace {

using Requests = std::vector<std::pair<xcb_window_t, QByteArray>>;

class FakeEditors
{
public:
    FakeEditors() : m_c(xcb_connect(nullptr, nullptr))
    {
        if (!xcb_connection_has_error(m_c))
            m_root = xcb_setup_roots_iterator(xcb_get_setup(m_c)).data->root;
    }
    ~FakeEditors()
    {
        xcb_delete_property(m_c, m_root, atom("_NET_SUPPORTED")); // leave the root as found for the next case
        xcb_delete_property(m_c, m_root, atom("_NET_CLIENT_LIST"));
        // xcb_disconnect drops what is still buffered: without the round trip the next case could meet this
        // case's client list, naming windows that no longer exist.
        sync();
        xcb_disconnect(m_c);
    }
    bool ok() const { return m_root != XCB_NONE; }

    xcb_atom_t atom(const char* name)
    {
        std::unique_ptr<xcb_intern_atom_reply_t, decltype(&std::free)> reply(
            xcb_intern_atom_reply(m_c, xcb_intern_atom(m_c, 0, static_cast<uint16_t>(std::strlen(name)), name),
                                  nullptr),
            &std::free);
        return reply ? reply->atom : static_cast<xcb_atom_t>(XCB_ATOM_NONE);
    }

    // A mapped top-level window with a title; @p acceptsDelete: it offers WM_DELETE_WINDOW, as editors do.
    xcb_window_t window(const QByteArray& title, bool acceptsDelete = true, bool utf8Title = false,
                        const QByteArray& wmClass = {})
    {
        const xcb_window_t w = xcb_generate_id(m_c);
        const uint32_t events = XCB_EVENT_MASK_STRUCTURE_NOTIFY;
        xcb_create_window(m_c, XCB_COPY_FROM_PARENT, w, m_root, 0, 0, 100, 100, 0, XCB_WINDOW_CLASS_INPUT_OUTPUT,
                          XCB_COPY_FROM_PARENT, XCB_CW_EVENT_MASK, &events);
        set(w, utf8Title ? atom("_NET_WM_NAME") : xcb_atom_t(XCB_ATOM_WM_NAME),
            utf8Title ? atom("UTF8_STRING") : xcb_atom_t(XCB_ATOM_STRING), 8, title.size(), title.constData());
        if (!wmClass.isEmpty())
            set(w, XCB_ATOM_WM_CLASS, XCB_ATOM_STRING, 8, wmClass.size(), wmClass.constData());
        const xcb_atom_t deleteWindow = atom("WM_DELETE_WINDOW");
        if (acceptsDelete)
            set(w, atom("WM_PROTOCOLS"), XCB_ATOM_ATOM, 32, 1, &deleteWindow);
        xcb_map_window(m_c, w);
        sync(); // handled before another client looks
        m_windows.push_back(w);
        return w;
    }

    // Act as a window manager that offers _NET_CLOSE_WINDOW and lists its clients.
    void becomeWindowManager()
    {
        const uint32_t events = XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT | XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY;
        xcb_change_window_attributes(m_c, m_root, XCB_CW_EVENT_MASK, &events);
        const xcb_atom_t supported[] = {atom("_NET_CLOSE_WINDOW"), atom("_NET_CLIENT_LIST")};
        set(m_root, atom("_NET_SUPPORTED"), XCB_ATOM_ATOM, 32, 2, supported);
        set(m_root, atom("_NET_CLIENT_LIST"), XCB_ATOM_WINDOW, 32, qsizetype(m_windows.size()), m_windows.data());
        sync();
    }

    // The close requests that arrived, sorted: (window, "WM_DELETE_WINDOW" or "_NET_CLOSE_WINDOW").
    Requests closeRequests()
    {
        Requests requests;
        sync();
        while (xcb_generic_event_t* event = xcb_poll_for_event(m_c)) {
            const auto* message = reinterpret_cast<xcb_client_message_event_t*>(event);
            if ((event->response_type & 0x7f) == XCB_CLIENT_MESSAGE) {
                if (message->type == atom("WM_PROTOCOLS") && message->data.data32[0] == atom("WM_DELETE_WINDOW"))
                    requests.emplace_back(message->window, "WM_DELETE_WINDOW");
                else if (message->type == atom("_NET_CLOSE_WINDOW"))
                    requests.emplace_back(message->window, "_NET_CLOSE_WINDOW");
            }
            std::free(event);
        }
        std::sort(requests.begin(), requests.end());
        return requests;
    }

    void destroy(xcb_window_t w)
    {
        xcb_destroy_window(m_c, w);
        sync();
    }

private:
    void set(xcb_window_t w, xcb_atom_t property, xcb_atom_t type, uint8_t format, qsizetype count, const void* data)
    {
        xcb_change_property(m_c, XCB_PROP_MODE_REPLACE, w, property, type, format, static_cast<uint32_t>(count), data);
    }
    // Round trip: everything sent before has been handled by the server.
    void sync()
    {
        xcb_flush(m_c);
        std::free(xcb_get_input_focus_reply(m_c, xcb_get_input_focus(m_c), nullptr));
    }

    xcb_connection_t* m_c;
    xcb_window_t m_root = XCB_NONE;
    std::vector<xcb_window_t> m_windows;
};

} // namespace

class TestDesktopEditor : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<FakeEditors> m_keeper;

private slots:
    void initTestCase()
    {
        if (qEnvironmentVariableIsEmpty("DISPLAY"))
            QSKIP("needs an X server (run under xvfb-run)");
        // A virtual X server resets when its last client leaves and refuses connections meanwhile; one client
        // held for the whole run keeps it up between the cases.
        m_keeper = std::make_unique<FakeEditors>();
        QVERIFY(m_keeper->ok());
    }
    void cleanupTestCase() { m_keeper.reset(); }

    void asksOnlyWindowsShowingTheFile()
    {
        FakeEditors x;
        const xcb_window_t plain = x.window("Results.txt - NotePad");
        const xcb_window_t otherCase = x.window("*results.TXT (~/bench) - gedit", true, true);
        const xcb_window_t stubborn = x.window("Results.txt - OldEditor", false); // takes no request: never forced
        for (const char* title :
             {"Notes.txt - NotePad", "Results.csv - Spreadsheet", "Results.txt.bak - NotePad", "less Results.txt", ""})
            x.window(title);
        // A terminal whose editor shows the file: closing the terminal would end the editor, edits and all.
        x.window("Results.txt (~/bench) - VIM", true, false, QByteArray("xterm\0XTerm\0", 12));
        x.window("Results.txt - nano", true, true, QByteArray("gnome-terminal-server\0Gnome-terminal\0", 37));

        DesktopEditor editor;
        QVERIFY(editor.closeEditorWindowsShowing("some/folder/Results.txt"));
        Requests expected{{plain, "WM_DELETE_WINDOW"}, {otherCase, "WM_DELETE_WINDOW"}};
        std::sort(expected.begin(), expected.end());
        QCOMPARE(x.closeRequests(), expected);

        for (xcb_window_t w : {plain, otherCase, stubborn}) // the editors close; the next pass finds none
            x.destroy(w);
        QVERIFY(!editor.closeEditorWindowsShowing("Results.txt"));
        QVERIFY(x.closeRequests().empty());
    }

    void goesThroughTheWindowManagerWhenThereIsOne()
    {
        FakeEditors x;
        const xcb_window_t shown = x.window("Results.txt - Mousepad");
        x.window("unrelated");
        x.window("Results.txt - OldEditor", false); // the window manager would kill it: never asked
        x.becomeWindowManager();

        DesktopEditor editor;
        QVERIFY(editor.closeEditorWindowsShowing("Results.txt"));
        QCOMPARE(x.closeRequests(), (Requests{{shown, "_NET_CLOSE_WINDOW"}}));
    }

    void opensTheFileOnTheDesktop()
    {
        QTemporaryDir dir;
        const QString home = QDir::currentPath();
        QVERIFY(QDir::setCurrent(dir.path()));
        const QString file = dir.filePath(QStringLiteral("Results.txt"));
        QList<QUrl> opened;
        QStringList started;
        DesktopEditor editor;
        editor.setStarter([&](const QString& program, const QStringList& arguments) {
            return started << program + QLatin1Char(' ') + arguments.join(QLatin1Char(' ')), true;
        });
        // The desktop's default handler gets the file's absolute path.
        editor.setOpener([&](const QUrl& url) { return opened << url, true; });
        editor.openInEditor("Results.txt");
        QCOMPARE(opened, QList<QUrl>{QUrl::fromLocalFile(file)});
        QVERIFY(started.isEmpty());

        // The desktop cannot: the first known editor on the PATH is started on the file; with none, nothing happens.
        editor.setOpener([](const QUrl&) { return false; });
        QFile script(dir.filePath(QStringLiteral("mousepad")));
        QVERIFY(script.open(QIODevice::WriteOnly));
        script.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        script.close();
        const QByteArray path = qgetenv("PATH");
        qputenv("PATH", QFile::encodeName(dir.path()));
        editor.openInEditor("Results.txt");
        qputenv("PATH", QFile::encodeName(dir.filePath(QStringLiteral("empty"))));
        editor.openInEditor("Results.txt");
        qputenv("PATH", path);
        QCOMPARE(started, QStringList{script.fileName() + QLatin1Char(' ') + file});
        QVERIFY(QDir::setCurrent(home));
    }
};

QTEST_GUILESS_MAIN(TestDesktopEditor)
#include "test_desktopeditor.moc"
