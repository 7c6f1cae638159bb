// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Clockdeck developers
#include "desktoplauncher.h"

#include "messageboxes.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QTimer>
#include <QWidget>

#include <cerrno>
#include <csignal>
#include <cstring>
#include <spawn.h>
#include <sys/wait.h>
#include <vector>

extern char** environ;

namespace clockdeck {

namespace {

constexpr int EarlyPollMs = 50;
constexpr int LatePollMs = 1000;

// posix_spawnp in a new session. Signals this program ignores (SIGPIPE, SIGXFSZ) would stay ignored across exec:
// the started program gets them back at their defaults. Returns 0 or the error.
[[nodiscard]] int spawn(const QString& program, const QString& argument, pid_t* pid)
{
    const QByteArray file = QFile::encodeName(program);
    const QByteArray arg = QFile::encodeName(argument);
    char* argv[] = {const_cast<char*>(file.constData()), const_cast<char*>(arg.constData()), nullptr};

    posix_spawnattr_t attributes;
    posix_spawnattr_init(&attributes);
    sigset_t defaults;
    sigemptyset(&defaults);
    sigaddset(&defaults, SIGPIPE);
    sigaddset(&defaults, SIGXFSZ);
    sigset_t none;
    sigemptyset(&none);
    posix_spawnattr_setsigdefault(&attributes, &defaults);
    posix_spawnattr_setsigmask(&attributes, &none);
    posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSID | POSIX_SPAWN_SETSIGDEF | POSIX_SPAWN_SETSIGMASK);
    const int error = ::posix_spawnp(pid, file.constData(), nullptr, &attributes, argv, environ);
    posix_spawnattr_destroy(&attributes);
    return error;
}

// Why a program that ended early failed, in xdg-open's terms where its status has a meaning.
QString endReason(int status)
{
    if (WIFSIGNALED(status)) {
        return QStringLiteral("ended by signal %1").arg(WTERMSIG(status));
    }
    switch (WEXITSTATUS(status)) {
    case 3:
        return QStringLiteral("ended with status 3 (no program to open it was found)");
    case 4:
        return QStringLiteral("ended with status 4 (the program chosen to open it failed)");
    default:
        return QStringLiteral("ended with status %1").arg(WEXITSTATUS(status));
    }
}

} // namespace

struct DesktopLauncher::Attempt
{
    QStringList programs;
    QString argument;
    QString what;
    QPointer<QWidget> boxParent;
    Started started;
    QStringList reasons;
    bool first = true;
};

DesktopLauncher::DesktopLauncher(QObject* parent) : QObject(parent), m_box(&showCriticalBox) {}

void DesktopLauncher::open(const QStringList& programs, const QString& argument, const QString& what,
                           QWidget* boxParent, Started started)
{
    auto attempt = std::make_shared<Attempt>();
    attempt->programs = programs;
    attempt->argument = argument;
    attempt->what = what;
    attempt->boxParent = boxParent;
    attempt->started = std::move(started);
    tryNext(attempt);
}

void DesktopLauncher::tryNext(const std::shared_ptr<Attempt>& attempt)
{
    while (!attempt->programs.isEmpty()) {
        const QString program = attempt->programs.takeFirst();
        const bool first = std::exchange(attempt->first, false);
        pid_t pid = 0;
        if (const int error = spawn(program, attempt->argument, &pid); error != 0) {
            // A fallback that is not installed is no news; the opener missing is.
            if (error != ENOENT || first) {
                attempt->reasons << program + QStringLiteral(": ") + QString::fromLocal8Bit(std::strerror(error));
            }
            continue;
        }
        if (attempt->started) {
            attempt->started(pid);
        }
        watch(pid, attempt);
        attempt->reasons << program + QStringLiteral(": "); // completed by watch() should it fail
        return;
    }
    if (m_box) {
        m_box(attempt->boxParent, attempt->what + QLatin1Char('\n') + attempt->reasons.join(QLatin1Char('\n')));
    }
}

void DesktopLauncher::watch(pid_t pid, const std::shared_ptr<Attempt>& attempt)
{
    // Polled rather than waited for: the window keeps running, and a program that keeps going (an editor that
    // xdg-open waits for) is reaped whenever it ends, also long after the early window.
    auto* timer = new QTimer(this);
    QElapsedTimer clock;
    clock.start();
    timer->start(EarlyPollMs);
    connect(timer, &QTimer::timeout, this, [this, timer, clock, pid, attempt] {
        const bool early = !clock.hasExpired(EarlyFailureMs);
        int status = 0;
        const pid_t ended = ::waitpid(pid, &status, WNOHANG);
        if (ended == 0) {
            if (!early) {
                timer->setInterval(LatePollMs);
            }
            return;
        }
        timer->deleteLater();
        if (ended == pid && early && !(WIFEXITED(status) && WEXITSTATUS(status) == 0)) {
            attempt->reasons.last() += endReason(status);
            tryNext(attempt);
        }
    });
}

void openPage(const QUrl& page, QWidget* parent, DesktopLauncher* launcher)
{
    static QPointer<DesktopLauncher> application;
    if (!launcher) {
        if (!application) {
            application = new DesktopLauncher(qApp);
        }
        launcher = application;
    }
    const QString address = page.toString();
    launcher->open({QStringLiteral("xdg-open"), QStringLiteral("x-www-browser")}, address,
                   QStringLiteral("Cannot open the page %1 in a browser:").arg(address), parent);
}

} // namespace clockdeck
