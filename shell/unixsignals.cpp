// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Clockdeck developers
#include "unixsignals.h"

#include <QSocketNotifier>

#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <sys/socket.h>
#include <unistd.h>

#include <vector>

namespace clockdeck {

namespace {

int g_pipe[2] = {-1, -1};
std::vector<int> g_installed;
bool g_read = false; // an object reads the pipe

void onSignal(int signal)
{
    const int saved = errno;
    const unsigned char byte = static_cast<unsigned char>(signal);
    [[maybe_unused]] const ssize_t ignored = ::write(g_pipe[1], &byte, 1);
    errno = saved;
}

} // namespace

bool UnixSignals::install(std::initializer_list<int> signalNumbers)
{
    if (g_pipe[0] >= 0)
        return false;
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0, g_pipe) != 0) {
        g_pipe[0] = g_pipe[1] = -1;
        return false;
    }
    for (const int signal : signalNumbers) {
        struct sigaction action = {};
        action.sa_handler = onSignal;
        sigemptyset(&action.sa_mask);
        action.sa_flags = SA_RESTART;
        if (::sigaction(signal, &action, nullptr) == 0)
            g_installed.push_back(signal);
    }
    return true;
}

UnixSignals::UnixSignals(std::initializer_list<int> signalNumbers, QObject* parent) : QObject(parent)
{
    if (g_read || (g_pipe[0] < 0 && !install(signalNumbers)))
        return;
    g_read = true;
    // Signals that came before this object are in the pipe already; the notifier reports them at once.
    m_notifier = new QSocketNotifier(g_pipe[0], QSocketNotifier::Read, this);
    connect(m_notifier, &QSocketNotifier::activated, this, &UnixSignals::readPipe);
}

UnixSignals::~UnixSignals()
{
    if (!m_notifier)
        return;
    for (const int signal : g_installed)
        ::signal(signal, SIG_DFL);
    g_installed.clear();
    delete m_notifier;
    ::close(g_pipe[0]);
    ::close(g_pipe[1]);
    g_pipe[0] = g_pipe[1] = -1;
    g_read = false;
}

void UnixSignals::readPipe()
{
    unsigned char byte = 0;
    while (::read(g_pipe[0], &byte, 1) == 1)
        emit received(byte);
}

} // namespace clockdeck
