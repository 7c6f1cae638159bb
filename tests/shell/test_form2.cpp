// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Clockdeck developers
//
// The start-up role: main window, tray icon and menu, what brings the window back, the ways out.
#include "shellfixture.h"

#include "shell/form2.h"
#include "shell/picturebutton.h"

#include <QAction>
#include <QApplication>
#include <QMenu>
#include <QSettings>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <csignal>

using namespace clockdeck;
using namespace clockdeck::test;

using Act = void (*)(Form2&, Form1&);
const struct Way
{
    const char* what;
    const char* outcome;
    Act act;
} ways[] = {
    {"double click", "restores", [](Form2& f, Form1&) { emit f.trayIcon()->activated(QSystemTrayIcon::DoubleClick); }},
    // A StatusNotifierItem host has no double click; offscreen the icon is no XEmbed one.
    {"one activation", "restores", [](Form2& f, Form1&) { emit f.trayIcon()->activated(QSystemTrayIcon::Trigger); }},
    {"middle click", "stays hidden",
     [](Form2& f, Form1&) { emit f.trayIcon()->activated(QSystemTrayIcon::MiddleClick); }},
    {"Show Clockdeck", "restores", [](Form2& f, Form1&) { f.trayMenu()->actions().first()->trigger(); }},
    {"Image1 with no tray", "minimised",
     [](Form2&, Form1& w) { w.showNormal(), QTest::mouseClick(w.image(1), Qt::LeftButton); }},
    {"Exit Clockdeck", "ends", [](Form2& f, Form1&) { f.trayMenu()->actions().last()->trigger(); }},
    {"Image2", "ends", [](Form2&, Form1& w) { QTest::mouseClick(w.image(2), Qt::LeftButton); }},
    {"SIGTERM", "ends", [](Form2&, Form1&) { ::raise(SIGTERM); }},
    // As the session manager ends the program.
    {"session end", "ends", [](Form2&, Form1&) { QMetaObject::invokeMethod(qApp, "aboutToQuit"); }},
    {"window closed, no tray", "ends", [](Form2&, Form1& w) { w.close(); }},
};

class TestForm2 : public QObject
{
    Q_OBJECT

    QTemporaryDir m_runtime; // the channel's folder: private, so no other Clockdeck of this user is reached

private slots:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); } // settings never go to the user's

    // Each row: the window is loaded, its BusSpeed stepped, it is hidden in the tray, then the row acts.
    void trayMenuAndWaysOut_data()
    {
        QTest::addColumn<int>("row");
        for (const Way& way : ways)
            QTest::newRow(way.what) << int(&way - ways);
    }

    void trayMenuAndWaysOut()
    {
        QFETCH(int, row);
        const QString what = ways[row].what, outcome = ways[row].outcome;
        int quits = 0;
        Form2::Options options;
        options.sysroot = profile();
        options.runtimeFolder = m_runtime.path();
        options.handleSignals = what == "SIGTERM";
        options.quit = [&quits] { ++quits; };
        Form2 form2(options);
        QVERIFY(!form2.load());
        QPointer<Form1> window = form2.mainWindow();
        QVERIFY(window && QTest::qWaitForWindowExposed(window));
        QCOMPARE(QSettings("Tarnwick", "Clockdeck").value("Clockdeck/Hwnd").toString(),
                 QString::number(window->winId()));
        QMenu* menu = form2.trayMenu();
        QCOMPARE(form2.trayIcon()->contextMenu(), menu);
        QCOMPARE(menu->actions().size(), 2);
        QCOMPARE(menu->actions()[0]->text() + '|' + menu->actions()[1]->text(), "Show Clockdeck|Exit Clockdeck");
        window->calculator().setText(Field::BusSpeed, "215");
        window->setWindowState(Qt::WindowMinimized);
        window->hide();

        ways[row].act(form2, *window);
        if (outcome == "ends") {
            QTRY_COMPARE(quits, 1);
            QVERIFY(form2.isUnloaded() && (!window || !window->isVisible()) && !form2.trayIcon()->isVisible());
            form2.unload(); // later ways out find nothing left to do
            QCOMPARE(quits, 1);
            return;
        }
        QTRY_COMPARE(window->isMinimized(), outcome != "restores");
        QCOMPARE(window->isVisible(), outcome != "stays hidden");
        QCOMPARE(window->calculator().text(Field::BusSpeed), std::string("215"));
        QCOMPARE(quits, 0);
    }
};

QTEST_MAIN(TestForm2)
#include "test_form2.moc"
