// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Clockdeck developers
// The start-up role with no tray: the window loaded, Image1 minimising it, the ways out. The tray's clicks, its menu
// and the picture buttons are driven for real in the end-to-end runs.
#include "shellfixture.h"

#include "shell/form2.h"
#include "shell/picturebutton.h"

#include <QApplication>
#include <QSettings>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <csignal>

using namespace clockdeck;
using namespace clockdeck::test;

class TestForm2 : public QObject
{
    Q_OBJECT

    QTemporaryDir m_runtime; // the channel's folder: private, so no other Clockdeck of this user is reached

private slots:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); } // settings never go to the user's

    // Each way loads the window, minimises it, and ends the program.
    void waysOutWithNoTray()
    {
        for (const QString what : {"SIGTERM", "session end", "window closed"}) {
            int quits = 0;
            Form2 form2({.sysroot = profile(),
                         .runtimeFolder = m_runtime.path(),
                         .handleSignals = what == "SIGTERM",
                         .quit = [&quits] { ++quits; }});
            QVERIFY(!form2.load());
            QPointer<Form1> window = form2.mainWindow();
            QVERIFY(window && QTest::qWaitForWindowExposed(window));
            QCOMPARE(QSettings("Tarnwick", "Clockdeck").value("Clockdeck/Hwnd").toString(),
                     QString::number(window->winId()));
            QTest::mouseClick(window->image(1), Qt::LeftButton); // with no icon to bring it back, not hidden
            QTRY_VERIFY(window->isMinimized() && window->isVisible());

            if (what == "SIGTERM")
                ::raise(SIGTERM);
            else if (what == "session end") // as the session manager ends the program
                QMetaObject::invokeMethod(qApp, "aboutToQuit");
            else // with no tray to load it again
                window->close();
            QTRY_COMPARE(quits, 1);
            QVERIFY(form2.isUnloaded() && (!window || !window->isVisible()) && !form2.trayIcon()->isVisible());
            form2.unload(); // later ways out find nothing left to do
            QCOMPARE(quits, 1);
        }
    }
};

QTEST_MAIN(TestForm2)
#include "test_form2.moc"
