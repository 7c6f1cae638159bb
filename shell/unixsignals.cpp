// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Clockdeck developers
#include "unixsignals.h"

#include "base/filedescriptor.h"

#include <QSocketNotifier>

#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <sys/socket.h>
#include <unistd.h>

#include <vector>

namespace clockdeck {

namespace {

// The two ends of the signal pipe: the handler writes one byte a signal, the object reads them in its event loop.
FileDescriptor pipeReader;
FileDescriptor pipeWriter;
std::vector<int> installedSignals;
bool pipeHasReader = false; // an object reads the pipe

void onSignal(int signal)
{
    const int saved = errno;
    const unsigned char byte = static_cast<unsigned char>(signal);
    [[maybe_unused]] const ssize_t ignored = ::write(pipeWriter.get(), &byte, 1);
    errno = saved;
}

} // namespace

bool UnixSignals::install(std::initializer_list<int> signalNumbers)
{
    if (pipeReader.isOpen()) {
        return false;
    }
    int ends[2] = {-1, -1};
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0, ends) != 0) {
        return false;
    }
    pipeReader.reset(ends[0]);
    pipeWriter.reset(ends[1]);
    for (const int signal : signalNumbers) {
        struct sigaction action = {};
        action.sa_handler = onSignal;
        sigemptyset(&action.sa_mask);
        action.sa_flags = SA_RESTART;
        if (::sigaction(signal, &action, nullptr) == 0) {
            installedSignals.push_back(signal);
        }
    }
    return true;
}

UnixSignals::UnixSignals(std::initializer_list<int> signalNumbers, QObject* parent) : QObject(parent)
{
    if (pipeHasReader || (!pipeReader.isOpen() && !install(signalNumbers))) {
        return;
    }
    pipeHasReader = true;
    // Signals that came before this object are in the pipe already; the notifier reports them at once.
    m_notifier = new QSocketNotifier(pipeReader.get(), QSocketNotifier::Read, this);
    connect(m_notifier, &QSocketNotifier::activated, this, &UnixSignals::readPipe);
}

UnixSignals::~UnixSignals()
{
    if (!m_notifier) {
        return;
    }
    for (const int signal : installedSignals) {
        ::signal(signal, SIG_DFL);
    }
    installedSignals.clear();
    delete m_notifier;
    pipeReader.reset();
    pipeWriter.reset();
    pipeHasReader = false;
}

void UnixSignals::readPipe()
{
    unsigned char byte = 0;
    while (::read(pipeReader.get(), &byte, 1) == 1) {
        emit received(byte);
    }
}

} // namespace clockdeck
