// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Clockdeck developers
#include "shellfixture.h"

#include <QSignalSpy>
#include <QTemporaryDir>

#include <sys/file.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>

using namespace clockdeck;
using namespace clockdeck::test;
using Claim = SingleInstance::Claim;

// A unix socket connected to @p path, or else bound there (and listening when asked).
static int unixSocket(const QString& path, bool connectTo, bool listening = false)
{
    const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un address{AF_UNIX, {}};
    std::strncpy(address.sun_path, QFile::encodeName(path).constData(), sizeof address.sun_path - 1);
    const auto* at = reinterpret_cast<sockaddr*>(&address);
    return (connectTo ? ::connect(fd, at, sizeof address) : ::bind(fd, at, sizeof address)) == 0 &&
                   (!listening || ::listen(fd, 4) == 0)
               ? fd
               : -1;
}

class TestSingleInstance : public QObject
{
    Q_OBJECT

    QTemporaryDir m_runtime; // private (0700), as a session's runtime folder is

private slots:
    void sessionKeyNamesTheDisplay()
    {
        const auto key = [](const char* wayland, const char* x11) { return SingleInstance::displayKey(wayland, x11); };
        QCOMPARE(key(nullptr, ":0") + key("w-0", ":0"), key("", "unix:0.1") + key("w-0", ":1")); // screens, XWayland
        const QStringList apart = {key("", ":0"), key("", ":1"), key("", "remote:0"), key("w-0", ""), key("w-1", "")};
        QCOMPARE(QSet<QString>(apart.begin(), apart.end()).size(), apart.size());
    }

    // The channel is in the private runtime folder, else on the session bus (this test runs with its own).
    void laterStartReachesTheRunningOne_data()
    {
        QTest::addColumn<int>("mode");
        QTest::addColumn<SingleInstance::Channel>("channel");
        QTest::newRow("private runtime folder") << 0700 << SingleInstance::Channel::File;
        QTest::newRow("folder others may enter") << 0711 << SingleInstance::Channel::Bus;
        QTest::newRow("no folder") << -1 << SingleInstance::Channel::Bus;
    }

    void laterStartReachesTheRunningOne()
    {
        QFETCH(int, mode);
        QTemporaryDir dir;
        const QString folder = mode < 0 ? QString() : dir.path(), key = QTest::currentDataTag();
        QVERIFY(mode < 0 || ::chmod(QFile::encodeName(folder).constData(), mode_t(mode)) == 0);
        SingleInstance first(folder, key);
        QCOMPARE(first.claim(), Claim::First);
        QTEST(first.channel(), "channel");
        QSignalSpy shown(&first, &SingleInstance::showRequested);
        for (int start = 1; start <= 2; ++start) { // answered after the window was asked for
            QCOMPARE(pokeFromLaterStart(folder, key), Claim::Running);
            QCOMPARE(shown.count(), start);
        }
        QCOMPARE(pokeFromLaterStart(folder, key + "-elsewhere"), Claim::First); // another display: its own window
    }

    // The lock tells live from stale: files a crash left are taken over; a live holder never is, silent or not.
    void liveOrStale()
    {
        for (const bool live : {false, true}) {
            const QString key = live ? "live" : "stale", socket = SingleInstance(m_runtime.path(), key).socketPath();
            const int lock = ::open(QFile::encodeName(socket.chopped(7) + ".lock").constData(), O_RDWR | O_CREAT, 0600);
            QVERIFY(lock >= 0 && (!live || ::flock(lock, LOCK_EX) == 0));
            const int bound = unixSocket(socket, false, live); // and never accepting
            QVERIFY(bound >= 0 && (live || ::close(bound) == 0));
            SingleInstance next(m_runtime.path(), key);
            QCOMPARE(next.claim(1000), live ? Claim::NoAnswer : Claim::First);
            if (!live)
                QCOMPARE(pokeFromLaterStart(m_runtime.path(), key), Claim::Running);
            else // the silent holder keeps its lock and socket
                QVERIFY(QFileInfo(socket).exists() && ::flock(lock, LOCK_EX | LOCK_NB) == 0 && ::close(bound) == 0);
            ::close(lock);
        }
    }

    // Idle connections beyond the cap, wrong lines and endless lines: none is a request, and the listener stays.
    void strangersOnTheChannelAreDropped()
    {
        SingleInstance first(m_runtime.path(), QStringLiteral("strangers"));
        QCOMPARE(first.claim(), Claim::First);
        QSignalSpy shown(&first, &SingleInstance::showRequested);
        std::vector<int> strangers;
        for (int i = 0; i < SingleInstance::MaxPending * 4; ++i) {
            QCoreApplication::processEvents(); // the listener accepts, as it would between clients
            strangers.push_back(unixSocket(first.socketPath(), true));
            const QByteArray junk = i % 8 ? QByteArray("hello\n") : QByteArray(4096, 'x');
            QVERIFY(strangers.back() >= 0 && (i % 4 || ::write(strangers.back(), junk.data(), junk.size()) > 0));
        }
        QCOMPARE(pokeFromLaterStart(m_runtime.path(), QStringLiteral("strangers")), Claim::Running);
        QCOMPARE(shown.count(), 1);
        QTest::qWait(SingleInstance::ConnectionDeadlineMs * 3 / 2);
        char byte = 0;
        for (const int fd : strangers) // every one cut off (end of file, or reset) by its deadline at the latest
            QVERIFY(::recv(fd, &byte, 1, MSG_DONTWAIT) == 0 || errno != EAGAIN);
    }
};

QTEST_GUILESS_MAIN(TestSingleInstance)
#include "test_singleinstance.moc"
