// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Clockdeck developers
#pragma once

#include <QObject>
#include <QString>

class QLocalServer;
class QLocalSocket;

namespace clockdeck {

// The per-user channel through which a second start reaches the running instance.
//
// The first instance listens on a local socket named after the user; a later start connects, asks for the main
// window and waits for the answer, so it only ends once the request has arrived. On Linux the socket lives in the
// abstract namespace, which the kernel clears when the process dies: a crashed instance leaves nothing behind.
// With a socket file (other systems, or tests) a file left by a crash is removed and taken over.
class SingleInstance : public QObject
{
    Q_OBJECT

public:
    enum class Namespace
    {
        Abstract, // Linux only: no file, nothing stale after a crash
        File,     // a socket file in the runtime folder
    };

    explicit SingleInstance(QString name = defaultName(), Namespace ns = defaultNamespace(), QObject* parent = nullptr);
    ~SingleInstance() override;

    // "net.tarnwick.Clockdeck-<user id>": one channel per user, whatever the display.
    static QString defaultName();
    static Namespace defaultNamespace();

    const QString& name() const { return m_name; }

    // Asks a running instance to show its main window. True when one answered; false when none runs (or none
    // answered in time, as a hung one would not).
    bool pokeRunning(int timeoutMs = 3000);

    // Starts answering as the first instance. A socket file left by a crashed instance is taken over. False when
    // the channel is held by a live instance (one started at the same moment): poke it instead.
    bool listen();

    bool isListening() const;

signals:
    // A later start asked for the main window.
    void showRequested();

private:
    void answer(QLocalSocket* socket);

    QString m_name;
    Namespace m_namespace;
    QLocalServer* m_server = nullptr;
};

} // namespace clockdeck
