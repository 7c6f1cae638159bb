// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Clockdeck developers
#pragma once

#include <QObject>

#include <initializer_list>

class QSocketNotifier;

namespace clockdeck {

// Turns SIGTERM, SIGINT and SIGHUP into a Qt signal on the user-interface thread, so that a request to end from
// the system (kill, logout, a closed terminal) goes the same way out as the Exit menu item: the tray icon is
// removed and the program ends cleanly. The handler only writes one byte into a pipe; the rest runs in the event
// loop.
class UnixSignals : public QObject
{
    Q_OBJECT

public:
    /// Installs the handlers for @p signalNumbers now, before there is an event loop to answer them: a signal
    /// that arrives meanwhile waits for the object that reads it. False when they could not be installed.
    static bool install(std::initializer_list<int> signalNumbers);

    // Reads what the handlers catch, installing them for @p signalNumbers unless install() did; one object per
    // process.
    explicit UnixSignals(std::initializer_list<int> signalNumbers, QObject* parent = nullptr);
    ~UnixSignals() override;

    bool isInstalled() const { return m_notifier != nullptr; }

signals:
    void received(int signal);

private:
    void readPipe();

    QSocketNotifier* m_notifier = nullptr;
};

} // namespace clockdeck
