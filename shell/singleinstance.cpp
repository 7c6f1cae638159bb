// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Clockdeck developers
#include "singleinstance.h"

#include <QCryptographicHash>
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QFile>
#include <QSocketNotifier>
#include <QThread>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <optional>
#include <poll.h>
#include <sys/file.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

namespace clockdeck {

namespace {

// One request, one answer, each a short line.
constexpr QByteArrayView ShowRequest = "show\n";
constexpr QByteArrayView ShowAnswer = "ok\n";
constexpr qsizetype MaxLine = 64;
constexpr auto ObjectPath = "/net/tarnwick/Clockdeck";
constexpr auto Interface = "net.tarnwick.Clockdeck";

// The display key as a short name that fits file and bus names whatever the display is called.
QString keyHash(const QString& key)
{
    return QString::fromLatin1(QCryptographicHash::hash(key.toUtf8(), QCryptographicHash::Sha256).toHex().left(16));
}

std::optional<sockaddr_un> socketAddress(const QString& path)
{
    const QByteArray name = QFile::encodeName(path);
    sockaddr_un address{};
    if (name.isEmpty() || static_cast<size_t>(name.size()) >= sizeof address.sun_path) {
        return std::nullopt;
    }
    address.sun_family = AF_UNIX;
    std::memcpy(address.sun_path, name.constData(), static_cast<size_t>(name.size()));
    return address;
}

bool peerIsThisUser(int fd)
{
    ucred peer{};
    socklen_t size = sizeof peer;
    return ::getsockopt(fd, SOL_SOCKET, SO_PEERCRED, &peer, &size) == 0 && peer.uid == ::getuid();
}

// Waits for @p events on @p fd until @p deadline; false when it passed first.
bool waitFor(int fd, short events, const QDeadlineTimer& deadline)
{
    pollfd entry{fd, events, 0};
    int ready = 0;
    do {
        ready = ::poll(&entry, 1, static_cast<int>(deadline.remainingTime()));
    } while (ready < 0 && errno == EINTR);
    return ready > 0;
}

} // namespace

struct SingleInstance::Connection
{
    FileDescriptor fd;
    QByteArray line;
    QDeadlineTimer deadline;
    std::unique_ptr<QSocketNotifier> notifier;
};

SingleInstance::SingleInstance(QString folder, QString key, QObject* parent)
    : QObject(parent), m_folder(std::move(folder)), m_key(std::move(key))
{
    m_expiry.setInterval(ConnectionDeadlineMs / 4);
    connect(&m_expiry, &QTimer::timeout, this, &SingleInstance::dropExpired);
}

SingleInstance::~SingleInstance()
{
    while (!m_connections.empty()) {
        dropConnection(m_connections.front().get());
    }
    delete m_listener;
    if (m_listenFd.isOpen()) {
        m_listenFd.reset();
        QFile::remove(socketPath()); // still ours: m_lockFd is released only after this body
    }
    if (!m_busConnection.isEmpty()) {
        QDBusConnection::disconnectFromBus(m_busConnection);
    }
}

QString SingleInstance::defaultFolder()
{
    return QFile::decodeName(qgetenv("XDG_RUNTIME_DIR"));
}

QString SingleInstance::displayKey(const char* waylandDisplay, const char* x11Display)
{
    if (waylandDisplay && *waylandDisplay) {
        return QStringLiteral("wayland:") + QFile::decodeName(waylandDisplay);
    }
    if (!x11Display || !*x11Display) {
        return QStringLiteral("none");
    }
    // "host:number.screen": the screen is part of one display; "unix:0" is the local ":0".
    QString display = QFile::decodeName(x11Display);
    const qsizetype colon = display.lastIndexOf(u':');
    const qsizetype dot = display.indexOf(u'.', colon + 1);
    if (colon >= 0 && dot > colon) {
        display.truncate(dot);
    }
    if (display.startsWith(QLatin1String("unix:"))) {
        display.remove(0, 4);
    }
    return QStringLiteral("x11:") + display;
}

QString SingleInstance::displayKey()
{
    return displayKey(std::getenv("WAYLAND_DISPLAY"), std::getenv("DISPLAY"));
}

bool SingleInstance::isPrivateFolder(const QString& folder)
{
    struct stat info
    {
    };
    return !folder.isEmpty() && ::lstat(QFile::encodeName(folder).constData(), &info) == 0 && S_ISDIR(info.st_mode) &&
           info.st_uid == ::getuid() && (info.st_mode & 077) == 0;
}

QString SingleInstance::socketPath() const
{
    return m_folder + QStringLiteral("/net.tarnwick.Clockdeck-") + keyHash(m_key) + QStringLiteral(".socket");
}

QString SingleInstance::busName() const
{
    return QStringLiteral("net.tarnwick.Clockdeck.s") + keyHash(m_key);
}

SingleInstance::Claim SingleInstance::claim(int timeoutMs)
{
    if (isPrivateFolder(m_folder) && socketAddress(socketPath())) {
        return claimFile(timeoutMs);
    }
    return claimBus(timeoutMs);
}

SingleInstance::Claim SingleInstance::claimFile(int timeoutMs)
{
    m_channel = Channel::File;
    const QString lockPath = m_folder + QStringLiteral("/net.tarnwick.Clockdeck-") + keyHash(m_key) + ".lock";
    FileDescriptor fd(::open(QFile::encodeName(lockPath).constData(), O_RDWR | O_CREAT | O_NOFOLLOW | O_CLOEXEC, 0600));
    struct stat info
    {
    };
    if (!fd.isOpen() || ::fstat(fd.get(), &info) != 0 || !S_ISREG(info.st_mode) || info.st_uid != ::getuid()) {
        return claimBus(timeoutMs);
    }
    if (::flock(fd.get(), LOCK_EX | LOCK_NB) != 0) {
        // Held: an instance is alive, maybe still starting. Never take its channel; ask it.
        fd.reset();
        return pokeFile(timeoutMs);
    }
    m_lockFd = std::move(fd);
    // Whatever socket is left was a crashed instance's: nobody else can hold the lock now.
    QFile::remove(socketPath());
    if (!listenFile()) {
        m_channel = Channel::None;
    }
    return Claim::First;
}

SingleInstance::Claim SingleInstance::pokeFile(int timeoutMs) const
{
    const QDeadlineTimer deadline(timeoutMs);
    const auto address = socketAddress(socketPath());
    while (!deadline.hasExpired()) {
        FileDescriptor socket(::socket(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0));
        const int fd = socket.get();
        if (fd < 0) {
            return Claim::NoAnswer;
        }
        if (::connect(fd, reinterpret_cast<const sockaddr*>(&*address), sizeof *address) != 0) {
            // Not listening yet (an instance starting) or too busy: try again until the deadline.
            socket.reset();
            QThread::msleep(20);
            continue;
        }
        if (!peerIsThisUser(fd)) {
            return Claim::NoAnswer;
        }
        QByteArray answer;
        bool dropped = false; // closed before any answer: the instance gave way to newer connections
        bool sent = waitFor(fd, POLLOUT, deadline);
        if (sent && ::send(fd, ShowRequest.data(), ShowRequest.size(), MSG_NOSIGNAL) != ShowRequest.size()) {
            sent = false;
            dropped = errno == EPIPE || errno == ECONNRESET;
        }
        while (sent && !answer.contains('\n') && answer.size() < MaxLine && waitFor(fd, POLLIN, deadline)) {
            char buffer[MaxLine];
            const ssize_t got = ::recv(fd, buffer, sizeof buffer, 0);
            if (got < 0 && errno == EINTR) {
                continue;
            }
            if (got <= 0) {
                dropped = answer.isEmpty() && (got == 0 || errno == ECONNRESET);
                break;
            }
            answer.append(buffer, got);
        }
        socket.reset();
        if (dropped) { // ask again while the deadline lasts
            QThread::msleep(20);
            continue;
        }
        return answer == ShowAnswer ? Claim::Running : Claim::NoAnswer;
    }
    return Claim::NoAnswer;
}

bool SingleInstance::listenFile()
{
    const auto address = socketAddress(socketPath());
    FileDescriptor fd(::socket(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0));
    if (!fd.isOpen() || ::bind(fd.get(), reinterpret_cast<const sockaddr*>(&*address), sizeof *address) != 0 ||
        ::listen(fd.get(), 16) != 0) {
        return false;
    }
    m_listenFd = std::move(fd);
    m_listener = new QSocketNotifier(m_listenFd.get(), QSocketNotifier::Read, this);
    connect(m_listener, &QSocketNotifier::activated, this, &SingleInstance::acceptConnections);
    return true;
}

void SingleInstance::acceptConnections()
{
    for (;;) {
        FileDescriptor fd(::accept4(m_listenFd.get(), nullptr, nullptr, SOCK_NONBLOCK | SOCK_CLOEXEC));
        if (!fd.isOpen()) {
            if (errno == EMFILE || errno == ENFILE || errno == ENOBUFS || errno == ENOMEM) {
                // Out of descriptors: rest a moment instead of spinning; the listener itself stays.
                m_listener->setEnabled(false);
                QTimer::singleShot(100, m_listener, [notifier = m_listener] { notifier->setEnabled(true); });
            }
            return;
        }
        if (!peerIsThisUser(fd.get())) {
            continue;
        }
        if (m_connections.size() >= MaxPending) {
            dropConnection(m_connections.front().get());
        }
        auto connection = std::make_unique<Connection>();
        connection->fd = std::move(fd);
        connection->deadline = QDeadlineTimer(ConnectionDeadlineMs);
        connection->notifier = std::make_unique<QSocketNotifier>(connection->fd.get(), QSocketNotifier::Read);
        Connection* raw = connection.get();
        connect(connection->notifier.get(), &QSocketNotifier::activated, this, [this, raw] { readConnection(raw); });
        m_connections.push_back(std::move(connection));
        m_expiry.start();
        readConnection(raw); // a later start has usually sent its request already
    }
}

void SingleInstance::readConnection(Connection* connection)
{
    char buffer[MaxLine];
    const ssize_t got = ::recv(connection->fd.get(), buffer, sizeof buffer, 0);
    if (got < 0 && (errno == EAGAIN || errno == EINTR)) {
        return;
    }
    if (got > 0) {
        connection->line.append(buffer, got);
    }
    if (got > 0 && !connection->line.contains('\n') && connection->line.size() < MaxLine) {
        return;
    }
    const bool asked = connection->line == ShowRequest;
    // Kept open below for the answer and closed on the way out in any case.
    const FileDescriptor fd = std::move(connection->fd);
    dropConnection(connection);
    if (asked) {
        // The window comes back inside this call and may let events run meanwhile; only the local fd is used after.
        emit showRequested();
        [[maybe_unused]] const ssize_t sent = ::send(fd.get(), ShowAnswer.data(), ShowAnswer.size(), MSG_NOSIGNAL);
    }
}

void SingleInstance::dropConnection(Connection* connection)
{
    std::erase_if(m_connections, [connection](const auto& kept) { return kept.get() == connection; });
    if (m_connections.empty()) {
        m_expiry.stop();
    }
}

void SingleInstance::dropExpired()
{
    std::erase_if(m_connections, [](const auto& connection) { return connection->deadline.hasExpired(); });
    if (m_connections.empty()) {
        m_expiry.stop();
    }
}

SingleInstance::Claim SingleInstance::claimBus(int timeoutMs)
{
    m_channel = Channel::Bus;
    // A connection of its own, so that two instances in one process (tests) are two peers on the bus.
    m_busConnection = QStringLiteral("clockdeck-instance-%1").arg(reinterpret_cast<quintptr>(this));
    QDBusConnection bus = QDBusConnection::connectToBus(QDBusConnection::SessionBus, m_busConnection);
    if (!bus.isConnected()) {
        m_channel = Channel::None;
        return Claim::First;
    }
    const auto reply = bus.interface()->registerService(busName(), QDBusConnectionInterface::DontQueueService,
                                                        QDBusConnectionInterface::DontAllowReplacement);
    if (reply.isValid() && reply.value() == QDBusConnectionInterface::ServiceRegistered) {
        bus.registerObject(QString::fromLatin1(ObjectPath), this, QDBusConnection::ExportScriptableSlots);
        return Claim::First;
    }
    const QDBusMessage show = QDBusMessage::createMethodCall(busName(), QString::fromLatin1(ObjectPath),
                                                             QString::fromLatin1(Interface), QStringLiteral("Show"));
    const QDBusMessage answer = bus.call(show, QDBus::Block, timeoutMs);
    QDBusConnection::disconnectFromBus(m_busConnection);
    m_busConnection.clear();
    return answer.type() == QDBusMessage::ReplyMessage ? Claim::Running : Claim::NoAnswer;
}

void SingleInstance::Show()
{
    emit showRequested();
}

} // namespace clockdeck
