// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Clockdeck developers
//
// The start-up role: main window, tray icon and menu, the ways out, one instance per user.
#include "shellfixture.h"

#include "shell/form2.h"
#include "shell/picturebutton.h"

#include <QAction>
#include <QApplication>
#include <QMenu>
#include <QProcess>
#include <QSettings>
#include <QStandardPaths>

#include <csignal>
#include <unistd.h>

using namespace clockdeck;
using namespace clockdeck::test;

namespace {

// A loaded start-up role on the test profile with a channel of its own; unload's end of the program is counted.
struct Started
{
    int quits = 0;
    std::unique_ptr<Form2> form2;
    Form1* window = nullptr;

    explicit Started(bool handleSignals = false, QString channel = {})
    {
        Form2::Options options;
        options.sysroot = profile();
        options.channel = channel.isEmpty() ? QStringLiteral("clockdeck-test-form2-%1").arg(::getpid()) : channel;
        options.handleSignals = handleSignals;
        options.quit = [this] { ++quits; };
        form2 = std::make_unique<Form2>(options);
        if (!form2->load() || !(window = form2->mainWindow()) || !QTest::qWaitForWindowExposed(window))
            qFatal("the start-up role did not show its main window");
    }
    Form2* operator->() { return form2.get(); }
};

} // namespace

class TestForm2 : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        QStandardPaths::setTestModeEnabled(true); // settings go to a test folder, never the user's
        QCoreApplication::setOrganizationName(QStringLiteral("Tarnwick"));
        QCoreApplication::setApplicationName(QStringLiteral("Clockdeck"));
    }

    void loadShowsWindowTrayAndRecordsIt()
    {
        QSettings(QStringLiteral("Tarnwick"), QStringLiteral("Clockdeck")).remove(QStringLiteral("Clockdeck/Hwnd"));
        Started started;
        QVERIFY(started.window->calculator().text(Field::CPU_Identity) != "CPU Model #"); // loaded on the profile
        const QSettings settings(QStringLiteral("Tarnwick"), QStringLiteral("Clockdeck"));
        QCOMPARE(settings.value(QStringLiteral("Clockdeck/Hwnd")).toString(), QString::number(started.window->winId()));

        QSystemTrayIcon* tray = started->trayIcon();
        QVERIFY(!tray->icon().isNull());
        QCOMPARE(started->trayMenu()->actions().size(), 1);
        QCOMPARE(started->trayMenu()->actions().first()->text(), QStringLiteral("Exit Clockdeck"));
        // Offscreen there is no tray: the icon waits for one instead of pretending to be shown.
        QCOMPARE(tray->isVisible(), QSystemTrayIcon::isSystemTrayAvailable());
        QCOMPARE(started.quits, 0);
    }

    void everyWayOutEndsOnce_data()
    {
        QTest::addColumn<QString>("way");
        QTest::newRow("the menu's Exit Clockdeck") << QStringLiteral("menu");
        QTest::newRow("Image2") << QStringLiteral("image2");
        QTest::newRow("SIGTERM") << QStringLiteral("sigterm");
        QTest::newRow("the session ends") << QStringLiteral("session");
        QTest::newRow("the main window closes with no tray") << QStringLiteral("close");
    }

    void everyWayOutEndsOnce()
    {
        QFETCH(QString, way);
        Started started(way == QLatin1String("sigterm"));
        QPointer<Form1> window = started.window;
        if (way == QLatin1String("menu"))
            started->trayMenu()->actions().first()->trigger();
        else if (way == QLatin1String("image2"))
            QTest::mouseClick(window->image(2), Qt::LeftButton);
        else if (way == QLatin1String("sigterm"))
            ::raise(SIGTERM);
        else if (way == QLatin1String("session"))
            QMetaObject::invokeMethod(qApp, "aboutToQuit", Qt::DirectConnection); // as the session manager's end does
        else
            window->close();

        QTRY_COMPARE(started.quits, 1);
        QVERIFY(started->isUnloaded());
        QVERIFY(!window || !window->isVisible());
        QVERIFY(!started->trayIcon()->isVisible());
        started->unload(); // later ways out find nothing left to do
        if (window)
            QTest::mouseClick(window->image(2), Qt::LeftButton);
        QCOMPARE(started.quits, 1);
    }

    void withoutTrayMinimisingDoesNotStrand()
    {
        if (QSystemTrayIcon::isSystemTrayAvailable())
            QSKIP("a tray is available here; this case needs a desktop without one");
        Started started;
        QVERIFY(!started->hidesWhenMinimised());
        // With no icon to bring it back, Image1 leaves the window minimised on the task bar, not hidden.
        QTest::mouseClick(started.window->image(1), Qt::LeftButton);
        QTRY_VERIFY(started.window->windowState() & Qt::WindowMinimized);
        QVERIFY(!started.window->isHidden());
        // A window hidden while a tray was there comes back once the tray is gone.
        started.window->hide();
        started->checkTray();
        QVERIFY(!started.window->isHidden());
    }

    void laterStartRestoresTheWindow()
    {
        const QString channel = QStringLiteral("clockdeck-test-form2-channel-%1").arg(::getpid());
        Started started(false, channel);
        Form1* window = started.window;
        window->calculator().setText(Field::BusSpeed, "215");
        const std::string shownBefore = window->calculator().text(Field::shwCPU_MHz);
        window->setWindowState(Qt::WindowMinimized); // hidden in the tray after a minimise
        window->hide();

        QVERIFY(pokeFromLaterStart(channel));
        QCOMPARE(started->mainWindow(), window);
        QVERIFY(window->isVisible());
        QVERIFY(!(window->windowState() & Qt::WindowMinimized));
        QCOMPARE(window->calculator().text(Field::BusSpeed), std::string("215"));
        QCOMPARE(window->calculator().text(Field::shwCPU_MHz), shownBefore);
    }

    void secondProgramPokesTheFirstAndEnds_data()
    {
        QTest::addColumn<QString>("setting"); // the recorded window id the later start finds
        QTest::newRow("the setting as written") << QString();
        QTest::newRow("no setting") << QStringLiteral("<remove>");
        QTest::newRow("a stale window id") << QStringLiteral("12345");
        QTest::newRow("not a number") << QStringLiteral("garbage \xe2\x80\x94 text");
    }

    void secondProgramPokesTheFirstAndEnds()
    {
        QFETCH(QString, setting);
        const QString program = qEnvironmentVariable("CLOCKDECK_PROGRAM");
        if (program.isEmpty())
            QSKIP("CLOCKDECK_PROGRAM names no clockdeck to start");
        if (SingleInstance().pokeRunning(1000))
            QSKIP("a Clockdeck runs for this user; its channel is taken");

        // The real program as the later start: same user, so the same channel as this first instance.
        Started started(false, SingleInstance::defaultName());
        started.window->setWindowState(Qt::WindowMinimized);
        started.window->hide();
        const QString config = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation);
        {
            QSettings settings(config + QStringLiteral("/Tarnwick/Clockdeck.conf"), QSettings::IniFormat);
            if (setting == QLatin1String("<remove>"))
                settings.remove(QStringLiteral("Clockdeck/Hwnd"));
            else if (!setting.isEmpty())
                settings.setValue(QStringLiteral("Clockdeck/Hwnd"), setting);
        }
        QProcess later;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("XDG_CONFIG_HOME"), config);
        later.setProcessEnvironment(environment);
        later.start(program, {QStringLiteral("--sysroot"), QString::fromStdString(profile().string())});
        QVERIFY(later.waitForStarted());
        QTRY_COMPARE_WITH_TIMEOUT(later.state(), QProcess::NotRunning, 20000);
        QCOMPARE(later.exitStatus(), QProcess::NormalExit);
        QCOMPARE(later.exitCode(), 0);
        QVERIFY(started.window->isVisible());
        QVERIFY(!(started.window->windowState() & Qt::WindowMinimized));
        QCOMPARE(started.quits, 0);
    }
};

QTEST_MAIN(TestForm2)
#include "test_form2.moc"
