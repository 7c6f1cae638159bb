// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Clockdeck developers
#include "shell/desktopeditor.h"
#include "support/scriptpath.h"

#include <QApplication>
#include <QProcess>
#include <QScopeGuard>
#include <QTest>
#include <QWindow>

#include <xcb/xcb.h>

#include <csignal>

using namespace clockdeck;

// A shown window titled @p title whose client claims process @p pid (else none) and class @p wmClass.
static QWindow* window(const QString& title, uint32_t pid = 0, const QByteArray& wmClass = {}, bool takesClose = true)
{
    auto* w = new QWindow;
    w->setTitle(title);
    w->show();
    xcb_connection_t* c = qGuiApp->nativeInterface<QNativeInterface::QX11Application>()->connection();
    const auto atom = [c](const char* name) {
        xcb_intern_atom_reply_t* r = xcb_intern_atom_reply(c, xcb_intern_atom(c, 0, strlen(name), name), nullptr);
        const xcb_atom_t a = r->atom;
        return std::free(r), a;
    };
    xcb_change_property(c, XCB_PROP_MODE_REPLACE, w->winId(), atom("_NET_WM_PID"), XCB_ATOM_CARDINAL, 32, pid ? 1 : 0,
                        &pid);
    xcb_change_property(c, XCB_PROP_MODE_REPLACE, w->winId(), XCB_ATOM_WM_CLASS, XCB_ATOM_STRING, 8, wmClass.size(),
                        wmClass.constData());
    if (!takesClose)
        xcb_delete_property(c, w->winId(), atom("WM_PROTOCOLS"));
    std::free(xcb_get_input_focus_reply(c, xcb_get_input_focus(c), nullptr)); // done before the editor looks
    return w;
}

class TestDesktopEditor : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { QVERIFY2(qGuiApp->platformName() == "xcb", "real X windows: QT_QPA_PLATFORM=xcb, xvfb-run"); }

    void asksOnlyItsOwnEditorsAndWindowsShowingThePath()
    {
        const test::ScriptPath bin;
        // The opener starts the editor as a child of its own, as xdg-open does.
        bin.add(QStringLiteral("xdg-open"), "/bin/sleep 30 & echo $$ $! > \"$0.ran\"; exec /bin/sleep 30");
        const QString file = bin.filePath(QStringLiteral("Results.txt"));
        DesktopEditor editor;
        editor.openInEditor(file.toStdString());
        QTRY_VERIFY(!bin.ran(QStringLiteral("xdg-open")).isEmpty());
        const QList<QByteArray> pids = bin.ran(QStringLiteral("xdg-open")).split(' ');
        const auto stop = qScopeGuard([&] { ::kill(-pids[0].toInt(), SIGKILL); });

        QProcess wm;
        for (const bool managed : {false, true}) { // then through the window manager's _NET_CLOSE_WINDOW
            if (managed)
                wm.start(QStringLiteral("/usr/bin/openbox"), {});
            QVERIFY2(!managed || wm.waitForStarted(), "openbox is needed");
            const QList<QWindow*> asked{window(QStringLiteral("*results.txt - Mousepad"), pids[1].toUInt()),
                                        window(file + QStringLiteral(" - Kate")),
                                        window(QStringLiteral("Results.txt (%1) - gedit").arg(bin.path()))};
            const QList<QWindow*> left{
                window(QStringLiteral("Results.txt - Mousepad"), uint32_t(qApp->applicationPid())), // started elsewhere
                window(QStringLiteral("Results.txt - Mozilla Firefox")),
                window(QStringLiteral("Results.txt (/elsewhere) - gedit")),
                window(file + QStringLiteral(" - VIM"), 0, QByteArray("xterm\0XTerm\0", 12)), // would end vim unasked
                window(file + QStringLiteral(" - OldEditor"), 0, {}, false), // takes no request: never forced
            };
            for (QWindow* w : asked + left) // framed once managed
                QTRY_VERIFY(!managed || w->frameMargins().top() > 0);
            QVERIFY(editor.closeEditorWindowsShowing(file.toStdString()));
            for (QWindow* w : asked)
                QTRY_VERIFY2(!w->isVisible(), qPrintable(w->title()));
            for (QWindow* w : left)
                QVERIFY2(w->isVisible(), qPrintable(w->title()));
            qDeleteAll(asked + left);
        }

        QString box; // nothing to start it with: the box names the file
        editor.launcher().setFailureBox([&](QWidget*, const QString& text) { box = text; });
        QFile::remove(bin.filePath(QStringLiteral("xdg-open")));
        editor.openInEditor(file.toStdString());
        QVERIFY2(box.startsWith(QStringLiteral("Cannot open %1 in a text editor:").arg(file)), qPrintable(box));
    }
};

QTEST_MAIN(TestDesktopEditor)
#include "test_desktopeditor.moc"
