// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Clockdeck developers
#include "shellfixture.h"

#include <QLocalServer>
#include <QLocalSocket>
#include <QSignalSpy>
#include <QTemporaryDir>

#include <cstring>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

using namespace clockdeck;
using namespace clockdeck::test;

namespace {

// Channel names of their own, so the tests never reach a Clockdeck the user is running.
QString uniqueName(const char* what)
{
    return QStringLiteral("clockdeck-test-%1-%2-%3").arg(::getpid()).arg(QLatin1String(what)).arg(std::rand());
}

} // namespace

class TestSingleInstance : public QObject
{
    Q_OBJECT

private slots:
    void laterStartReachesTheRunningOne_data()
    {
        QTest::addColumn<SingleInstance::Namespace>("ns");
        QTest::newRow("abstract namespace") << SingleInstance::Namespace::Abstract;
        QTest::newRow("socket file") << SingleInstance::Namespace::File;
    }

    void laterStartReachesTheRunningOne()
    {
        QFETCH(SingleInstance::Namespace, ns);
        const QString name = uniqueName("reach");
        SingleInstance first(name, ns);
        QVERIFY(!first.pokeRunning(1000)); // nobody answers while none runs
        QVERIFY(first.listen());
        QSignalSpy shown(&first, &SingleInstance::showRequested);
        for (int start = 1; start <= 3; ++start) { // each later start is answered after the window was asked for
            QVERIFY(pokeFromLaterStart(name, ns));
            QCOMPARE(shown.count(), start);
        }
    }

    // A stale socket file, as a crash leaves it, is taken over; one a running instance listens on is not.
    void socketFileLeftBehind_data()
    {
        QTest::addColumn<bool>("live");
        QTest::newRow("stale") << false;
        QTest::newRow("live") << true;
    }

    void socketFileLeftBehind()
    {
        QFETCH(bool, live);
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("channel"));
        QLocalServer running;
        if (live) {
            QVERIFY(running.listen(path));
        } else { // bound, then its owner gone: nobody accepts, the file stays
            const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
            sockaddr_un address{};
            address.sun_family = AF_UNIX;
            std::strncpy(address.sun_path, QFile::encodeName(path).constData(), sizeof address.sun_path - 1);
            QCOMPARE(::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
            ::close(fd);
        }
        QVERIFY(QFileInfo::exists(path));

        SingleInstance next(path, SingleInstance::Namespace::File);
        QCOMPARE(next.listen(), !live);
        QVERIFY(QFileInfo::exists(path));
        if (live) {
            QVERIFY(running.isListening());
            QLocalSocket client;
            client.connectToServer(path);
            QVERIFY(client.waitForConnected(2000));
        } else {
            QSignalSpy shown(&next, &SingleInstance::showRequested);
            QVERIFY(pokeFromLaterStart(path, SingleInstance::Namespace::File));
            QCOMPARE(shown.count(), 1);
        }
    }

    void strangersOnTheChannelAreIgnored()
    {
        SingleInstance first(uniqueName("strangers"), SingleInstance::Namespace::Abstract);
        QVERIFY(first.listen());
        QSignalSpy shown(&first, &SingleInstance::showRequested);
        // Another program's bytes: a wrong line and an endless line are cut off.
        for (const QByteArray& junk : {QByteArray("hello\n"), QByteArray(4096, 'x')}) {
            QLocalSocket socket;
            socket.setSocketOptions(QLocalSocket::AbstractNamespaceOption);
            socket.connectToServer(first.name());
            QVERIFY(socket.waitForConnected(2000));
            socket.write(junk);
            socket.flush();
            QTRY_COMPARE_WITH_TIMEOUT(socket.state(), QLocalSocket::UnconnectedState, 10000);
        }
        QCOMPARE(shown.count(), 0);
        QVERIFY(pokeFromLaterStart(first.name(), SingleInstance::Namespace::Abstract)); // still answers a real start
        QCOMPARE(shown.count(), 1);
    }
};

QTEST_GUILESS_MAIN(TestSingleInstance)
#include "test_singleinstance.moc"
