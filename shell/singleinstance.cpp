// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Clockdeck developers
#include "singleinstance.h"

#include <QLocalServer>
#include <QLocalSocket>
#include <QPointer>

#include <unistd.h>

namespace clockdeck {

namespace {

// One request, one answer, each a short line.
constexpr QByteArrayView ShowRequest = "show\n";
constexpr QByteArrayView ShowAnswer = "ok\n";
constexpr qint64 MaxLine = 64;

QLocalSocket::SocketOptions clientOptions(SingleInstance::Namespace ns)
{
    // The client must ask for the abstract namespace too, or it looks for a socket file and never connects.
    return ns == SingleInstance::Namespace::Abstract ? QLocalSocket::AbstractNamespaceOption : QLocalSocket::NoOptions;
}

} // namespace

SingleInstance::SingleInstance(QString name, Namespace ns, QObject* parent)
    : QObject(parent), m_name(std::move(name)), m_namespace(ns)
{}

SingleInstance::~SingleInstance() = default;

QString SingleInstance::defaultName()
{
    return QStringLiteral("net.tarnwick.Clockdeck-%1").arg(::getuid());
}

SingleInstance::Namespace SingleInstance::defaultNamespace()
{
#ifdef Q_OS_LINUX
    return Namespace::Abstract;
#else
    return Namespace::File;
#endif
}

bool SingleInstance::pokeRunning(int timeoutMs)
{
    QLocalSocket socket;
    socket.setSocketOptions(clientOptions(m_namespace));
    socket.connectToServer(m_name);
    if (!socket.waitForConnected(timeoutMs))
        return false;
    socket.write(ShowRequest.data(), ShowRequest.size());
    if (!socket.waitForBytesWritten(timeoutMs))
        return false;
    while (!socket.canReadLine()) {
        if (socket.bytesAvailable() > MaxLine || !socket.waitForReadyRead(timeoutMs))
            return false;
    }
    return socket.readLine(MaxLine) == ShowAnswer;
}

bool SingleInstance::listen()
{
    if (isListening())
        return true;
    delete m_server;
    m_server = new QLocalServer(this);
    m_server->setSocketOptions(m_namespace == Namespace::Abstract ? QLocalServer::AbstractNamespaceOption
                                                                  : QLocalServer::UserAccessOption);
    connect(m_server, &QLocalServer::newConnection, this, [this] {
        while (QLocalSocket* socket = m_server->nextPendingConnection()) {
            connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
            connect(socket, &QLocalSocket::readyRead, this, [this, socket] { answer(socket); });
            if (socket->canReadLine())
                answer(socket);
        }
    });
    if (m_namespace == Namespace::File) {
        // Qt binds a private socket and renames it over the name, which would silently steal the channel from a
        // live instance; so look first. A socket file nobody answers on was left by a crash: take it over.
        QLocalSocket probe;
        probe.connectToServer(m_name);
        if (probe.waitForConnected(1000))
            return false;
        QLocalServer::removeServer(m_name);
    }
    return m_server->listen(m_name);
}

bool SingleInstance::isListening() const
{
    return m_server && m_server->isListening();
}

void SingleInstance::answer(QLocalSocket* socket)
{
    if (!socket->canReadLine()) {
        // Whatever sends more than a request's worth without a line end is not a later start.
        if (socket->bytesAvailable() > MaxLine)
            socket->abort();
        return;
    }
    const QByteArray line = socket->readLine(MaxLine);
    if (line != ShowRequest) {
        socket->abort();
        return;
    }
    // The window comes back inside this call and may let events run meanwhile; the socket may go with them.
    const QPointer<QLocalSocket> guard(socket);
    emit showRequested();
    if (!guard)
        return;
    socket->write(ShowAnswer.data(), ShowAnswer.size());
    socket->flush();
    socket->disconnectFromServer();
}

} // namespace clockdeck
