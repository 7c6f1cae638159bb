// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Clockdeck developers
#include "shell/singleinstance.h"

#include <QDir>
#include <QLocalServer>
#include <QLocalSocket>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <cstring>
#include <future>
#include <sys/socket.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

using clockdeck::SingleInstance;

namespace {

// Channel names of their own, so the tests never reach a Clockdeck the user is running.
QString uniqueName(const char* what)
{
    return QStringLiteral("clockdeck-test-%1-%2-%3").arg(::getpid()).arg(QLatin1String(what)).arg(std::rand());
}

// A later start runs in its own process; here it runs on a thread of its own, blocking as the real one does,
// while this thread's event loop lets the first instance answer.
std::future<bool> pokeFromAnotherStart(const QString& name, SingleInstance::Namespace ns)
{
    return std::async(std::launch::async, [name, ns] {
        SingleInstance later(name, ns);
        return later.pokeRunning(5000);
    });
}

// Lets this thread's events run until the later start has its answer (or gives up on its own timeouts).
bool waitFor(std::future<bool>& result)
{
    while (result.wait_for(std::chrono::milliseconds(0)) != std::future_status::ready)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    return true;
}

} // namespace

class TestSingleInstance : public QObject
{
    Q_OBJECT

private slots:
    void laterStartReachesTheRunningOne_data();
    void laterStartReachesTheRunningOne();
    void nobodyAnswersWhenNoneRuns();
    void crashedInstanceLeavesNoChannelBehind();
    void staleSocketFileIsTakenOver();
    void liveChannelIsNotTakenOver();
    void strangersOnTheChannelAreIgnored();
};

void TestSingleInstance::laterStartReachesTheRunningOne_data()
{
    QTest::addColumn<SingleInstance::Namespace>("ns");
    QTest::newRow("abstract namespace") << SingleInstance::Namespace::Abstract;
    QTest::newRow("socket file") << SingleInstance::Namespace::File;
}

void TestSingleInstance::laterStartReachesTheRunningOne()
{
    QFETCH(SingleInstance::Namespace, ns);
    SingleInstance first(uniqueName("reach"), ns);
    QVERIFY(first.listen());
    QSignalSpy shown(&first, &SingleInstance::showRequested);

    // Each later start is answered, and only after the window was asked for.
    for (int start = 1; start <= 3; ++start) {
        auto answered = pokeFromAnotherStart(first.name(), ns);
        QVERIFY(waitFor(answered));
        QVERIFY(answered.get());
        QCOMPARE(shown.count(), start);
    }
}

void TestSingleInstance::nobodyAnswersWhenNoneRuns()
{
    SingleInstance alone(uniqueName("alone"));
    QVERIFY(!alone.pokeRunning(1000));
    QVERIFY(!alone.isListening());
}

void TestSingleInstance::crashedInstanceLeavesNoChannelBehind()
{
    // A process that held the channel and died without closing it: the kernel takes the abstract name back.
    const QString name = uniqueName("crashed");
    const pid_t child = ::fork();
    if (child == 0) {
        const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
        sockaddr_un address{};
        address.sun_family = AF_UNIX;
        const QByteArray bytes = name.toUtf8();
        std::memcpy(address.sun_path + 1, bytes.constData(), static_cast<std::size_t>(bytes.size()));
        const auto length = static_cast<socklen_t>(offsetof(sockaddr_un, sun_path) + 1 + bytes.size());
        ::_exit(::bind(fd, reinterpret_cast<sockaddr*>(&address), length) == 0 && ::listen(fd, 1) == 0 ? 0 : 1);
    }
    int status = -1;
    ::waitpid(child, &status, 0);
    QCOMPARE(status, 0);

    SingleInstance next(name, SingleInstance::Namespace::Abstract);
    QVERIFY(!next.pokeRunning(1000));
    QVERIFY(next.listen());
}

void TestSingleInstance::staleSocketFileIsTakenOver()
{
    // A socket file whose owner is gone, as a crash leaves it: nobody accepts, the file stays.
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("channel"));
    const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::strncpy(address.sun_path, QFile::encodeName(path).constData(), sizeof address.sun_path - 1);
    QCOMPARE(::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
    ::close(fd);
    QVERIFY(QFileInfo::exists(path));

    SingleInstance next(path, SingleInstance::Namespace::File);
    QVERIFY(!next.pokeRunning(1000));
    QVERIFY(next.listen());
    QSignalSpy shown(&next, &SingleInstance::showRequested);
    auto answered = pokeFromAnotherStart(path, SingleInstance::Namespace::File);
    QVERIFY(waitFor(answered));
    QVERIFY(answered.get());
    QCOMPARE(shown.count(), 1);
}

void TestSingleInstance::liveChannelIsNotTakenOver()
{
    // An instance that started a moment earlier holds the socket file: the file is not removed from under it.
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("channel"));
    QLocalServer running;
    QVERIFY(running.listen(path));

    SingleInstance late(path, SingleInstance::Namespace::File);
    QVERIFY(!late.listen());
    QVERIFY(running.isListening());
    QVERIFY(QFileInfo::exists(path));
    QLocalSocket client;
    client.connectToServer(path);
    QVERIFY(client.waitForConnected(2000));
}

void TestSingleInstance::strangersOnTheChannelAreIgnored()
{
    SingleInstance first(uniqueName("strangers"));
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
    // A connection that says nothing and goes.
    {
        QLocalSocket silent;
        silent.setSocketOptions(QLocalSocket::AbstractNamespaceOption);
        silent.connectToServer(first.name());
        QVERIFY(silent.waitForConnected(2000));
        silent.abort();
    }
    QCOMPARE(shown.count(), 0);

    // The channel still answers a real start afterwards.
    auto answered = pokeFromAnotherStart(first.name(), SingleInstance::Namespace::Abstract);
    QVERIFY(waitFor(answered));
    QVERIFY(answered.get());
    QCOMPARE(shown.count(), 1);
}

QTEST_GUILESS_MAIN(TestSingleInstance)
#include "test_singleinstance.moc"
