// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Clockdeck developers
// The start-up role with no tray. The tray's clicks, its menu and the picture buttons are driven for real end to end.
#include "shellfixture.h"

#include "shell/form2.h"
#include "shell/picturebutton.h"

#include <QApplication>
#include <QDir>
#include <QScreen>
#include <QSettings>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <atomic>
#include <csignal>
#include <thread>
#include <tuple>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace clockdeck;
using namespace clockdeck::test;

class TestForm2 : public QObject
{
    Q_OBJECT

    QTemporaryDir m_runtime; // the channel's folder: private, so no other Clockdeck of this user is reached
    QTemporaryDir m_home;    // a home of this run's own: a FIFO left by a killed run cannot hold the next one

private slots:
    void initTestCase()
    {
        qputenv("HOME", QFile::encodeName(m_home.path()));
        QStandardPaths::setTestModeEnabled(true); // settings never go to the user's
    }

    void waysOutWithNoTray()
    {
        for (const QString what : {"SIGTERM", "session end", "window closed"}) {
            int quits = 0;
            Form2 form2({.sysroot = profile(),
                         .runtimeFolder = m_runtime.path(),
                         .handleSignals = what == "SIGTERM",
                         .quit = [&quits] { ++quits; }});
            const auto status = form2.load();
            QVERIFY(!status);
            QPointer<Form1> window = form2.mainWindow();
            QVERIFY(window && QTest::qWaitForWindowExposed(window));
            QCOMPARE(QSettings("Tarnwick", "Clockdeck").value("Clockdeck/Hwnd").toString(),
                     QString::number(window->winId()));
            QTest::mouseClick(window->image(1), Qt::LeftButton); // with no icon to bring it back, not hidden
            QTRY_VERIFY(window->isMinimized() && window->isVisible());

            if (what == "SIGTERM") {
                ::raise(SIGTERM);
            } else if (what == "session end") { // as the session manager ends the program
                QMetaObject::invokeMethod(qApp, "aboutToQuit");
            } else { // with no tray to load it again
                window->close();
            }
            QTRY_COMPARE(quits, 1);
            QVERIFY(form2.isUnloaded() && (!window || !window->isVisible()) && !form2.trayIcon()->isVisible());
            form2.unload(); // later ways out find nothing left to do
            QCOMPARE(quits, 1);
        }
    }

    // The settings file is opened only when it is a regular file or missing: a FIFO there would hold the start in
    // open() until a writer came. It is never opened, and stays a FIFO.
    void settingsFifoIsNeverOpened()
    {
        const QString path = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
                             QStringLiteral("/Tarnwick/Clockdeck.conf");
        const bool folderMade = QDir().mkpath(QFileInfo(path).path());
        QVERIFY(folderMade);
        const bool cleared = !QFileInfo::exists(path) || QFile::remove(path);
        QVERIFY(cleared);
        const QByteArray name = QFile::encodeName(path);
        const int made = ::mkfifo(name.constData(), 0600);
        QCOMPARE(made, 0);
        // A writer that comes and goes at once: it finds any reader waiting in open(), and lets it go on.
        std::atomic<bool> done = false, opened = false;
        std::thread writer([&] {
            for (; !done; std::this_thread::sleep_for(std::chrono::milliseconds(5))) {
                if (const int fd = ::open(name.constData(), O_WRONLY | O_NONBLOCK | O_CLOEXEC); fd >= 0) {
                    opened = true;
                    ::close(fd);
                }
            }
        });
        {
            Form2 form2(
                {.sysroot = profile(), .runtimeFolder = m_runtime.path(), .handleSignals = false, .quit = [] {}});
            const auto status = form2.load();
            done = true;
            writer.join();
            QVERIFY(!status && form2.mainWindow());
        }
        QVERIFY2(!opened, "the FIFO was opened");
        QVERIFY(std::filesystem::is_fifo(name.constData()));
        const bool removed = QFile::remove(path);
        QVERIFY(removed);
    }

    // A restore (the tray, a later start) brings a window that lies wholly outside every screen back into view; one
    // still partly in view stays where it was put.
    void restoreBringsTheWindowIntoView()
    {
        Form2 form2({.sysroot = profile(), .runtimeFolder = m_runtime.path(), .handleSignals = false, .quit = [] {}});
        const auto status = form2.load();
        QVERIFY(!status);
        Form1* window = form2.mainWindow();
        const QRect screen = window->screen()->geometry();
        const std::tuple<const char*, QPoint, bool> cases[] = {
            {"far above and to the left", {-5000, -5000}, false},
            {"one pixel past the right edge", {screen.right() + 1, 10}, false},
            {"one pixel past the bottom edge", {10, screen.bottom() + 1}, false},
            {"its last column on screen", {screen.left() - window->width() + 1, 10}, true},
        };
        for (const auto& [name, at, stays] : cases) {
            window->move(at);
            form2.restoreMainWindow();
            QVERIFY2(screen.contains(window->frameGeometry()) || (stays && window->pos() == at), name);
        }
    }
};

QTEST_MAIN(TestForm2)
#include "test_form2.moc"
