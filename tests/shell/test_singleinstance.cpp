// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Clockdeck developers
#include "shell/singleinstance.h"

#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <future>

#include <sys/file.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>

using namespace clockdeck;
using Claim = SingleInstance::Claim;

// A later start, claiming in a thread of its own and blocking as the real one does; this thread lets the first answer.
static Claim pokeFromLaterStart(const QString& folder, const QString& key)
{
    auto answer = std::async(std::launch::async, [folder, key] { return SingleInstance(folder, key).claim(3000); });
    while (answer.wait_for(std::chrono::milliseconds(0)) != std::future_status::ready) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    }
    return answer.get();
}

// A unix socket connected to @p path, or else bound there (and listening when asked).
static int unixSocket(const QString& path, bool connectTo, bool listening = false)
{
    const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un un{AF_UNIX, {}};
    std::strncpy(un.sun_path, QFile::encodeName(path).constData(), sizeof un.sun_path - 1);
    const auto* at = reinterpret_cast<sockaddr*>(&un);
    const bool ok =
        connectTo ? !::connect(fd, at, sizeof un) : !::bind(fd, at, sizeof un) && !(listening && ::listen(fd, 4));
    return ok ? fd : -1;
}

class TestSingleInstance : public QObject
{
    Q_OBJECT

    QTemporaryDir m_runtime; // private (0700), as a session's runtime folder is

private slots:
    // The channel is in the private runtime folder, else on the session bus (this test runs with its own).
    void laterStartReachesTheRunningOne()
    {
        using enum SingleInstance::Channel;
        for (const auto& [mode, channel] : {std::pair{0700, File}, {0711, Bus}, {-1, Bus}}) { // -1: no folder
            QTemporaryDir dir;
            const QString folder = mode < 0 ? QString() : dir.path();
            if (mode >= 0) {
                const int changed = ::chmod(QFile::encodeName(folder).constData(), mode_t(mode));
                QCOMPARE(changed, 0);
            }
            SingleInstance first(folder, SingleInstance::displayKey(nullptr, ":0"));
            const Claim claim = first.claim();
            QCOMPARE(claim, Claim::First);
            QCOMPARE(first.channel(), channel);
            QSignalSpy shown(&first, &SingleInstance::showRequested);
            // The same display, named otherwise: answered after the window was asked for.
            const Claim sameDisplay = pokeFromLaterStart(folder, SingleInstance::displayKey("", "unix:0.1"));
            QCOMPARE(sameDisplay, Claim::Running);
            QCOMPARE(shown.count(), 1);
            // Another display, or a Wayland session beside XWayland's :0: a window of its own.
            const Claim otherDisplay = pokeFromLaterStart(folder, SingleInstance::displayKey(nullptr, ":1"));
            QCOMPARE(otherDisplay, Claim::First);
            const Claim wayland = pokeFromLaterStart(folder, SingleInstance::displayKey("wayland-0", ":0"));
            QCOMPARE(wayland, Claim::First);
        }
    }

    // The lock tells live from stale: files a crash left are taken over; a live holder never is, silent or not.
    void liveOrStale()
    {
        for (const bool live : {false, true}) {
            const QString key = live ? "live" : "stale", socket = SingleInstance(m_runtime.path(), key).socketPath();
            const int lock = ::open(QFile::encodeName(socket.chopped(7) + ".lock").constData(), O_RDWR | O_CREAT, 0600);
            QVERIFY(lock >= 0);
            const int locked = live ? ::flock(lock, LOCK_EX) : 0;
            QCOMPARE(locked, 0);
            const int bound = unixSocket(socket, false, live); // and never accepting
            QVERIFY(bound >= 0);
            const int closed = live ? 0 : ::close(bound);
            QCOMPARE(closed, 0);
            SingleInstance next(m_runtime.path(), key);
            const Claim claim = next.claim(1000);
            QCOMPARE(claim, live ? Claim::NoAnswer : Claim::First);
            if (live) { // the silent holder keeps all
                QVERIFY(QFileInfo(socket).exists());
                const int stillOurs = ::flock(lock, LOCK_EX | LOCK_NB);
                QCOMPARE(stillOurs, 0);
                ::close(bound);
            } else {
                const Claim later = pokeFromLaterStart(m_runtime.path(), key);
                QCOMPARE(later, Claim::Running);
            }
            ::close(lock);
        }
    }

    // A running instance under a flood drops its oldest connections, a later start's among them: that start asks
    // again while its deadline lasts, here after its first connection was dropped unread.
    void droppedRequestIsAskedAgain()
    {
        const QString socket = SingleInstance(m_runtime.path(), QStringLiteral("busy")).socketPath();
        const int lock = ::open(QFile::encodeName(socket.chopped(7) + ".lock").constData(), O_RDWR | O_CREAT, 0600);
        const int listening = unixSocket(socket, false, true);
        QVERIFY(lock >= 0);
        QVERIFY(listening >= 0);
        const int locked = ::flock(lock, LOCK_EX);
        QCOMPARE(locked, 0);
        auto running = std::async(std::launch::async, [listening] {
            ::close(::accept(listening, nullptr, nullptr)); // given way to newer ones
            const int fd = ::accept(listening, nullptr, nullptr);
            char line[16] = {};
            const bool asked = fd >= 0 && ::recv(fd, line, sizeof line - 1, 0) > 0 && QByteArray(line) == "show\n";
            return asked && ::write(fd, "ok\n", 3) == 3 && ::close(fd) == 0;
        });
        const Claim claim = SingleInstance(m_runtime.path(), QStringLiteral("busy")).claim(3000);
        ::shutdown(listening, SHUT_RDWR); // a start that never came back leaves the second accept waiting
        const bool answered = running.get();
        QVERIFY(answered);
        QCOMPARE(claim, Claim::Running);
        ::close(listening);
        ::close(lock);
    }

    // Idle connections beyond the cap, wrong and endless lines: none is a request, each is cut off, the listener stays.
    void strangersOnTheChannelAreDropped()
    {
        SingleInstance first(m_runtime.path(), QStringLiteral("strangers"));
        const Claim claim = first.claim();
        QCOMPARE(claim, Claim::First);
        QSignalSpy shown(&first, &SingleInstance::showRequested);
        std::vector<int> strangers;
        const QByteArray junk[] = {"", "hello\n", QByteArray(4096, 'x'), ""};
        for (int i = 0; i < SingleInstance::MaxPending * 4; ++i, QCoreApplication::processEvents()) {
            const int fd = unixSocket(first.socketPath(), true);
            QVERIFY(fd >= 0);
            strangers.push_back(fd);
            const ssize_t written = ::write(fd, junk[i % 4].data(), junk[i % 4].size());
            QVERIFY(written >= 0);
        }
        const Claim later = pokeFromLaterStart(m_runtime.path(), QStringLiteral("strangers"));
        QCOMPARE(later, Claim::Running);
        QCOMPARE(shown.count(), 1);
        char byte = 0; // before any deadline, the oldest gave way to newer ones
        const ssize_t oldest = ::recv(strangers[0], &byte, 1, MSG_DONTWAIT);
        const ssize_t newest = ::recv(strangers.back(), &byte, 1, MSG_DONTWAIT);
        QCOMPARE(oldest, 0);
        QVERIFY(newest < 0);
        QTest::qWait(SingleInstance::ConnectionDeadlineMs * 3 / 2);
        for (const int fd : strangers) { // end of file, or reset, by the deadline at the latest
            const ssize_t got = ::recv(fd, &byte, 1, MSG_DONTWAIT);
            QVERIFY(got == 0 || errno != EAGAIN);
        }
    }
};

QTEST_GUILESS_MAIN(TestSingleInstance)
#include "test_singleinstance.moc"
