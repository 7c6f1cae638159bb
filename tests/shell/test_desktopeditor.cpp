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

#include <cstdlib>
#include <cstring>
#include <memory>
#include <vector>

using clockdeck::DesktopEditor;

namespace {

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
        // Leave the root as found for the next case.
        xcb_delete_property(m_c, m_root, atom("_NET_SUPPORTED"));
        xcb_delete_property(m_c, m_root, atom("_NET_CLIENT_LIST"));
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
        if (utf8Title)
            xcb_change_property(m_c, XCB_PROP_MODE_REPLACE, w, atom("_NET_WM_NAME"), atom("UTF8_STRING"), 8,
                                static_cast<uint32_t>(title.size()), title.constData());
        else
            xcb_change_property(m_c, XCB_PROP_MODE_REPLACE, w, XCB_ATOM_WM_NAME, XCB_ATOM_STRING, 8,
                                static_cast<uint32_t>(title.size()), title.constData());
        if (!wmClass.isEmpty())
            xcb_change_property(m_c, XCB_PROP_MODE_REPLACE, w, XCB_ATOM_WM_CLASS, XCB_ATOM_STRING, 8,
                                static_cast<uint32_t>(wmClass.size()), wmClass.constData());
        if (acceptsDelete) {
            const xcb_atom_t deleteWindow = atom("WM_DELETE_WINDOW");
            xcb_change_property(m_c, XCB_PROP_MODE_REPLACE, w, atom("WM_PROTOCOLS"), XCB_ATOM_ATOM, 32, 1,
                                &deleteWindow);
        }
        xcb_map_window(m_c, w);
        xcb_flush(m_c);
        m_windows.push_back(w);
        return w;
    }

    // Act as a window manager that offers _NET_CLOSE_WINDOW and lists its clients.
    void becomeWindowManager()
    {
        const uint32_t events = XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT | XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY;
        xcb_change_window_attributes(m_c, m_root, XCB_CW_EVENT_MASK, &events);
        const xcb_atom_t supported[] = {atom("_NET_CLOSE_WINDOW"), atom("_NET_CLIENT_LIST")};
        xcb_change_property(m_c, XCB_PROP_MODE_REPLACE, m_root, atom("_NET_SUPPORTED"), XCB_ATOM_ATOM, 32, 2,
                            supported);
        xcb_change_property(m_c, XCB_PROP_MODE_REPLACE, m_root, atom("_NET_CLIENT_LIST"), XCB_ATOM_WINDOW, 32,
                            static_cast<uint32_t>(m_windows.size()), m_windows.data());
        xcb_flush(m_c);
    }

    // The close requests that arrived: (window asked to close, how: "WM_DELETE_WINDOW" or "_NET_CLOSE_WINDOW").
    std::vector<std::pair<xcb_window_t, QByteArray>> closeRequests()
    {
        std::vector<std::pair<xcb_window_t, QByteArray>> requests;
        xcb_flush(m_c);
        xcb_aux_sync();
        while (xcb_generic_event_t* event = xcb_poll_for_event(m_c)) {
            if ((event->response_type & 0x7f) == XCB_CLIENT_MESSAGE) {
                const auto* message = reinterpret_cast<xcb_client_message_event_t*>(event);
                if (message->type == atom("WM_PROTOCOLS") && message->data.data32[0] == atom("WM_DELETE_WINDOW"))
                    requests.emplace_back(message->window, "WM_DELETE_WINDOW");
                else if (message->type == atom("_NET_CLOSE_WINDOW"))
                    requests.emplace_back(message->window, "_NET_CLOSE_WINDOW");
            }
            std::free(event);
        }
        return requests;
    }

    void destroy(xcb_window_t w)
    {
        xcb_destroy_window(m_c, w);
        xcb_flush(m_c);
        xcb_aux_sync();
    }

private:
    // Round trip: everything sent before has been handled by the server.
    void xcb_aux_sync() { std::free(xcb_get_input_focus_reply(m_c, xcb_get_input_focus(m_c), nullptr)); }

    xcb_connection_t* m_c;
    xcb_window_t m_root = XCB_NONE;
    std::vector<xcb_window_t> m_windows;
};

using Requests = std::vector<std::pair<xcb_window_t, QByteArray>>;

} // namespace

class TestDesktopEditor : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void asksOnlyWindowsShowingTheFile();
    void goesThroughTheWindowManagerWhenThereIsOne();
    void neverForcesAWindowThatTakesNoRequest();
    void withoutADisplayThereIsNothingToClose();
    void opensTheFileOnTheDesktop();
};

void TestDesktopEditor::initTestCase()
{
    if (qEnvironmentVariableIsEmpty("DISPLAY"))
        QSKIP("needs an X server (run under xvfb-run)");
    QVERIFY(FakeEditors().ok());
}

void TestDesktopEditor::asksOnlyWindowsShowingTheFile()
{
    FakeEditors x;
    const xcb_window_t plain = x.window("Results.txt - NotePad");
    const xcb_window_t otherCase = x.window("*results.TXT (~/bench) - gedit", true, true);
    x.window("Notes.txt - NotePad");
    x.window("Results.csv - Spreadsheet");
    x.window("Results.txt.bak - NotePad");
    x.window("less Results.txt");
    x.window("");
    // A terminal whose editor shows the file: closing the terminal would end the editor, edits and all.
    x.window("Results.txt (~/bench) - VIM", true, false, QByteArray("xterm\0XTerm\0", 12));
    x.window("Results.txt - nano", true, true, QByteArray("gnome-terminal-server\0Gnome-terminal\0", 37));

    DesktopEditor editor;
    QVERIFY(editor.closeEditorWindowsShowing("some/folder/Results.txt"));
    const Requests requests = x.closeRequests();
    QCOMPARE(requests.size(), 2u);
    QVERIFY((requests == Requests{{plain, "WM_DELETE_WINDOW"}, {otherCase, "WM_DELETE_WINDOW"}}) ||
            (requests == Requests{{otherCase, "WM_DELETE_WINDOW"}, {plain, "WM_DELETE_WINDOW"}}));

    // The editors close; the next pass finds none.
    x.destroy(plain);
    x.destroy(otherCase);
    QVERIFY(!editor.closeEditorWindowsShowing("Results.txt"));
    QVERIFY(x.closeRequests().empty());
}

void TestDesktopEditor::goesThroughTheWindowManagerWhenThereIsOne()
{
    FakeEditors x;
    const xcb_window_t shown = x.window("Results.txt - Mousepad");
    x.window("unrelated");
    x.becomeWindowManager();

    DesktopEditor editor;
    QVERIFY(editor.closeEditorWindowsShowing("Results.txt"));
    QCOMPARE(x.closeRequests(), (Requests{{shown, "_NET_CLOSE_WINDOW"}}));
}

void TestDesktopEditor::neverForcesAWindowThatTakesNoRequest()
{
    FakeEditors x;
    const xcb_window_t stubborn = x.window("Results.txt - OldEditor", false);
    DesktopEditor editor;
    QVERIFY(editor.closeEditorWindowsShowing("Results.txt"));
    QVERIFY(x.closeRequests().empty());
    // Still there: not destroyed, its client not killed. Asking again is as harmless.
    QVERIFY(editor.closeEditorWindowsShowing("Results.txt"));
    x.destroy(stubborn);
}

void TestDesktopEditor::withoutADisplayThereIsNothingToClose()
{
    FakeEditors x;
    x.window("Results.txt - NotePad");
    const QByteArray display = qgetenv("DISPLAY");
    qunsetenv("DISPLAY");
    DesktopEditor editor;
    const bool found = editor.closeEditorWindowsShowing("Results.txt");
    qputenv("DISPLAY", display);
    QVERIFY(!found);
    QVERIFY(x.closeRequests().empty());
}

void TestDesktopEditor::opensTheFileOnTheDesktop()
{
    QTemporaryDir dir;
    const QString home = QDir::currentPath();
    QVERIFY(QDir::setCurrent(dir.path()));
    QList<QUrl> opened;
    QStringList started;
    DesktopEditor editor;
    editor.setStarter([&](const QString& program, const QStringList& arguments) {
        started << program + QLatin1Char(' ') + arguments.join(QLatin1Char(' '));
        return true;
    });

    // --- the desktop's default handler gets the file's absolute path
    editor.setOpener([&](const QUrl& url) {
        opened << url;
        return true;
    });
    editor.openInEditor("Results.txt");
    QCOMPARE(opened, QList<QUrl>{QUrl::fromLocalFile(dir.filePath(QStringLiteral("Results.txt")))});
    QVERIFY(started.isEmpty());

    // --- the desktop cannot: the first known editor on the PATH is started on the file
    editor.setOpener([](const QUrl&) { return false; });
    const QString fakeEditor = dir.filePath(QStringLiteral("mousepad"));
    QFile script(fakeEditor);
    QVERIFY(script.open(QIODevice::WriteOnly));
    script.write("#!/bin/sh\n");
    script.close();
    script.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    const QByteArray path = qgetenv("PATH");
    qputenv("PATH", QFile::encodeName(dir.path()));
    editor.openInEditor("Results.txt");
    // --- and with no editor anywhere, nothing happens
    qputenv("PATH", QFile::encodeName(dir.filePath(QStringLiteral("empty"))));
    editor.openInEditor("Results.txt");
    qputenv("PATH", path);
    QCOMPARE(started, QStringList{fakeEditor + QLatin1Char(' ') + dir.filePath(QStringLiteral("Results.txt"))});

    QVERIFY(QDir::setCurrent(home));
}

QTEST_GUILESS_MAIN(TestDesktopEditor)
#include "test_desktopeditor.moc"
