// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Clockdeck developers
#pragma once

#include <QDeadlineTimer>
#include <QObject>
#include <QString>
#include <QTimer>

#include "base/filedescriptor.h"

#include <memory>
#include <vector>

class QSocketNotifier;

namespace clockdeck {

// One Clockdeck per user and graphical session; a later start asks the running one for its main window.
//
// The channel is keyed by the display (displayKey), so a start on another display opens its own window. It lives
// where only the user can reach it: files in the user's runtime folder ($XDG_RUNTIME_DIR, which must be the user's
// own and closed to everyone else), or, when that folder is missing or unsafe, a name on the session bus.
//
// The file channel is a lock file and a socket. The running instance holds the lock (flock) for its whole life;
// the kernel drops it when the process dies, so a held lock means a live instance, and a free one means whatever
// socket is left over is stale and may be replaced. Connections from another user id (SO_PEERCRED) are closed at
// once; every connection has a short deadline and only a few are kept, the oldest dropped first, so a flood costs
// little and never takes the listener down.
class SingleInstance : public QObject
{
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "net.tarnwick.Clockdeck")

public:
    enum class Channel
    {
        None, // neither a private runtime folder nor a session bus: nothing guards against a second window
        File,
        Bus,
    };
    enum class Claim
    {
        First,    // this process is the running instance now
        Running,  // another instance runs, and it has shown its main window
        NoAnswer, // another instance holds the channel but did not answer in time
    };

    /// @p folder holds the file channel (empty or unsafe: the session bus); @p key names the graphical session.
    explicit SingleInstance(QString folder = defaultFolder(), QString key = displayKey(), QObject* parent = nullptr);
    ~SingleInstance() override;

    /// $XDG_RUNTIME_DIR, or empty.
    static QString defaultFolder();
    /// "wayland:NAME", "x11:HOST:NUMBER" (a screen number dropped, so ":0" and ":0.0" are one), or "none".
    [[nodiscard]] static QString displayKey(const char* waylandDisplay, const char* x11Display);
    static QString displayKey();
    /// A folder owned by this user that no one else may enter: the only kind the file channel trusts.
    [[nodiscard]] static bool isPrivateFolder(const QString& folder);

    /// Becomes the running instance, or asks the one that runs to show its main window, waiting at most
    /// @p timeoutMs for its answer. A live instance is never replaced.
    Claim claim(int timeoutMs = 5000);

    Channel channel() const { return m_channel; }
    QString socketPath() const;
    QString busName() const;

    // Only a few connections are served at once; the oldest gives way to a new one.
    static constexpr int MaxPending = 8;
    // A later start sends its request at once; anything slower is dropped.
    static constexpr int ConnectionDeadlineMs = 1000;

signals:
    // A later start asked for the main window.
    void showRequested();

public slots:
    // The session bus's request from a later start. The reply goes back once the window is shown.
    Q_SCRIPTABLE void Show();

private:
    struct Connection;

    Claim claimFile(int timeoutMs);
    Claim claimBus(int timeoutMs);
    Claim pokeFile(int timeoutMs) const;
    bool listenFile();
    void acceptConnections();
    void readConnection(Connection* connection);
    void dropConnection(Connection* connection);
    void dropExpired();

    QString m_folder;
    QString m_key;
    Channel m_channel = Channel::None;
    FileDescriptor m_lockFd;
    FileDescriptor m_listenFd;
    QSocketNotifier* m_listener = nullptr;
    std::vector<std::unique_ptr<Connection>> m_connections;
    QTimer m_expiry;
    QString m_busConnection;
};

} // namespace clockdeck
