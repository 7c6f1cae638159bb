// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Clockdeck developers
#include "shell/form1.h"
#include "shell/form2.h"
#include "shell/picturebutton.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QMenu>
#include <QProcess>
#include <QSettings>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

#include <csignal>
#include <fstream>
#include <future>
#include <iterator>
#include <memory>
#include <unistd.h>

using namespace clockdeck;

namespace {

std::filesystem::path profile()
{
    return qEnvironmentVariable("CLOCKDECK_TEST_PROFILE").toStdString();
}

// A start-up role on the test profile with a channel of its own; unload's end of the program is counted.
struct Started
{
    int quits = 0;
    std::unique_ptr<Form2> form2;

    explicit Started(bool handleSignals = false, QString channel = {})
    {
        Form2::Options options;
        options.sysroot = profile();
        options.channel = channel.isEmpty() ? QStringLiteral("clockdeck-test-form2-%1").arg(::getpid()) : channel;
        options.handleSignals = handleSignals;
        options.quit = [this] { ++quits; };
        form2 = std::make_unique<Form2>(options);
    }
    Form2* operator->() { return form2.get(); }
};

std::string readAll(const QString& path)
{
    std::ifstream in(path.toStdString(), std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

} // namespace

class TestForm2 : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void loadShowsTheMainWindowAndRecordsIt();
    void trayIconAndMenu();
    void everyWayOutEndsOnce_data();
    void everyWayOutEndsOnce();
    void withoutTrayMinimisingDoesNotStrand();
    void restoreBringsTheWindowBackNormal();
    void laterStartOnTheChannelRestores();
    void buttonsReachTheOutputs();
    void secondProgramPokesTheFirstAndEnds_data();
    void secondProgramPokesTheFirstAndEnds();
};

void TestForm2::initTestCase()
{
    // Settings go to a test folder, never the user's.
    QStandardPaths::setTestModeEnabled(true);
    QCoreApplication::setOrganizationName(QStringLiteral("Tarnwick"));
    QCoreApplication::setApplicationName(QStringLiteral("Clockdeck"));
    QVERIFY(!profile().empty());
}

void TestForm2::loadShowsTheMainWindowAndRecordsIt()
{
    QSettings(QStringLiteral("Tarnwick"), QStringLiteral("Clockdeck")).remove(QStringLiteral("Clockdeck/Hwnd"));
    Started started;
    QVERIFY(started->load());
    Form1* window = started->mainWindow();
    QVERIFY(window);
    QVERIFY(QTest::qWaitForWindowExposed(window));
    // The load ran on the profile: the processor's name is shown, not the design-time text.
    QVERIFY(window->calculator().text(Field::CPU_Identity) != "CPU Model #");

    const QSettings settings(QStringLiteral("Tarnwick"), QStringLiteral("Clockdeck"));
    QCOMPARE(settings.value(QStringLiteral("Clockdeck/Hwnd")).toString(), QString::number(window->winId()));
    QCOMPARE(started.quits, 0);
}

void TestForm2::trayIconAndMenu()
{
    Started started;
    QVERIFY(started->load());
    QSystemTrayIcon* tray = started->trayIcon();
    QVERIFY(tray);
    QCOMPARE(tray->toolTip(), QStringLiteral("Clockdeck"));
    QVERIFY(!tray->icon().isNull());
    QMenu* menu = started->trayMenu();
    QVERIFY(menu);
    QCOMPARE(menu->actions().size(), 1);
    QCOMPARE(menu->actions().first()->text(), QStringLiteral("Exit Clockdeck"));
    // Offscreen there is no tray: the icon waits for one instead of pretending to be shown.
    QCOMPARE(tray->isVisible(), QSystemTrayIcon::isSystemTrayAvailable());
}

void TestForm2::everyWayOutEndsOnce_data()
{
    QTest::addColumn<QString>("way");
    QTest::newRow("the menu's Exit Clockdeck") << QStringLiteral("menu");
    QTest::newRow("Image2") << QStringLiteral("image2");
    QTest::newRow("SIGTERM") << QStringLiteral("sigterm");
    QTest::newRow("the session ends") << QStringLiteral("session");
    QTest::newRow("the main window closes with no tray") << QStringLiteral("close");
}

void TestForm2::everyWayOutEndsOnce()
{
    QFETCH(QString, way);
    Started started(way == QLatin1String("sigterm"));
    QVERIFY(started->load());
    QPointer<Form1> window = started->mainWindow();
    QVERIFY(QTest::qWaitForWindowExposed(window));

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

    // Later ways out find nothing left to do.
    started->unload();
    if (window)
        QTest::mouseClick(window->image(2), Qt::LeftButton);
    QCOMPARE(started.quits, 1);
}

void TestForm2::withoutTrayMinimisingDoesNotStrand()
{
    if (QSystemTrayIcon::isSystemTrayAvailable())
        QSKIP("a tray is available here; this case needs a desktop without one");
    Started started;
    QVERIFY(started->load());
    Form1* window = started->mainWindow();
    QVERIFY(QTest::qWaitForWindowExposed(window));
    QVERIFY(!started->hidesWhenMinimised());

    // Image1 minimises: with no icon to bring it back, the window stays minimised on the task bar, not hidden.
    QTest::mouseClick(window->image(1), Qt::LeftButton);
    QTRY_VERIFY(window->windowState() & Qt::WindowMinimized);
    QVERIFY(!window->isHidden());

    // A window hidden while a tray was there comes back minimised once the tray is gone.
    window->hide();
    started->checkTray();
    QVERIFY(!window->isHidden());
}

void TestForm2::restoreBringsTheWindowBackNormal()
{
    Started started;
    QVERIFY(started->load());
    Form1* window = started->mainWindow();
    QVERIFY(QTest::qWaitForWindowExposed(window));
    window->calculator().setText(Field::BusSpeed, "215");
    const std::string shownBefore = window->calculator().text(Field::shwCPU_MHz);

    // Hidden in the tray after a minimise, as the tray's double-click and a later start find it.
    window->setWindowState(Qt::WindowMinimized);
    window->hide();
    started->restoreMainWindow();
    QCOMPARE(started->mainWindow(), window);
    QVERIFY(window->isVisible());
    QVERIFY(!(window->windowState() & Qt::WindowMinimized));
    // Restoring keeps every value.
    QCOMPARE(window->calculator().text(Field::BusSpeed), std::string("215"));
    QCOMPARE(window->calculator().text(Field::shwCPU_MHz), shownBefore);
}

void TestForm2::laterStartOnTheChannelRestores()
{
    const QString channel = QStringLiteral("clockdeck-test-form2-channel-%1").arg(::getpid());
    Started started(false, channel);
    QVERIFY(started->load());
    Form1* window = started->mainWindow();
    QVERIFY(QTest::qWaitForWindowExposed(window));
    window->hide();

    auto later = std::async(std::launch::async, [channel] { return SingleInstance(channel).pokeRunning(5000); });
    QTRY_VERIFY_WITH_TIMEOUT(later.wait_for(std::chrono::seconds(0)) == std::future_status::ready, 10000);
    QVERIFY(later.get());
    QVERIFY(window->isVisible());
}

void TestForm2::buttonsReachTheOutputs()
{
    QTemporaryDir dir;
    const QString home = QDir::currentPath();
    QVERIFY(QDir::setCurrent(dir.path()));

    Started started;
    QVERIFY(started->load());
    Form1* window = started->mainWindow();
    QVERIFY(QTest::qWaitForWindowExposed(window));

    // --- Image4, left button, three times: three entries in ./Results.txt, the oldest first
    for (int click = 0; click < 3; ++click)
        QTest::mouseClick(window->image(4), Qt::LeftButton);
    const std::string content = readAll(dir.filePath(QStringLiteral("Results.txt")));
    QCOMPARE(QString::fromStdString(content).count(QStringLiteral("\r\n")), 3 * 26);
    QCOMPARE(QString::fromStdString(content).count(QStringLiteral("\r\n\r\n")), 3);

    // --- Image3: the report on the clipboard
    QGuiApplication::clipboard()->clear();
    QTest::mouseClick(window->image(3), Qt::LeftButton);
    const QString copied = QGuiApplication::clipboard()->text();
    QCOMPARE(copied.count(QStringLiteral("\r\n")), 25);
    QCOMPARE(copied.split(QStringLiteral("\r\n")).at(1),
             QStringLiteral(" ") + QString::fromStdString(window->calculator().text(Field::CPU_Identity)));

    QVERIFY(QDir::setCurrent(home));
}

void TestForm2::secondProgramPokesTheFirstAndEnds_data()
{
    QTest::addColumn<QString>("setting");
    QTest::newRow("the setting as written") << QString();
    QTest::newRow("no setting") << QStringLiteral("<remove>");
    QTest::newRow("a stale window id") << QStringLiteral("12345");
    QTest::newRow("not a number") << QStringLiteral("garbage \xe2\x80\x94 text");
}

void TestForm2::secondProgramPokesTheFirstAndEnds()
{
    QFETCH(QString, setting);
    const QString program = qEnvironmentVariable("CLOCKDECK_PROGRAM");
    if (program.isEmpty())
        QSKIP("CLOCKDECK_PROGRAM names no clockdeck to start");
    if (SingleInstance().pokeRunning(1000))
        QSKIP("a Clockdeck runs for this user; its channel is taken");

    // The real program as the later start: same user, so the same channel as this first instance.
    Started started(false, SingleInstance::defaultName());
    QVERIFY(started->load());
    Form1* window = started->mainWindow();
    QVERIFY(QTest::qWaitForWindowExposed(window));
    window->setWindowState(Qt::WindowMinimized);
    window->hide();

    QProcess later;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    const QString config = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation);
    environment.insert(QStringLiteral("XDG_CONFIG_HOME"), config);
    later.setProcessEnvironment(environment);
    {
        QSettings settings(config + QStringLiteral("/Tarnwick/Clockdeck.conf"), QSettings::IniFormat);
        if (setting == QLatin1String("<remove>"))
            settings.remove(QStringLiteral("Clockdeck/Hwnd"));
        else if (!setting.isEmpty())
            settings.setValue(QStringLiteral("Clockdeck/Hwnd"), setting);
    }
    later.start(program, {QStringLiteral("--sysroot"), QString::fromStdString(profile().string())});
    QVERIFY(later.waitForStarted());
    QTRY_COMPARE_WITH_TIMEOUT(later.state(), QProcess::NotRunning, 20000);
    QCOMPARE(later.exitStatus(), QProcess::NormalExit);
    QCOMPARE(later.exitCode(), 0);
    QVERIFY(window->isVisible());
    QVERIFY(!(window->windowState() & Qt::WindowMinimized));
    // It showed nothing of its own: the only top-level window here is still ours.
    QCOMPARE(started.quits, 0);
}

QTEST_MAIN(TestForm2)
#include "test_form2.moc"
