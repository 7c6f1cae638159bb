// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Clockdeck developers
#pragma once

#include <QObject>
#include <QPointer>
#include <QStringList>
#include <QUrl>

#include <functional>
#include <memory>
#include <sys/types.h>

class QWidget;

namespace clockdeck {

// Starts the desktop's opener (xdg-open) or a fallback program on a file or page, without waiting for it, and says
// so when nothing could be started: a program missing, or one that gives up at once (xdg-open ends with a failure
// status when no application is set up for the file).
//
// Each program starts in a session of its own: it outlives Clockdeck, and every process it starts in turn (the
// editor that xdg-open runs) carries its process id as session id, so their windows can be told apart from the
// windows of programs Clockdeck did not start.
class DesktopLauncher : public QObject
{
    Q_OBJECT

public:
    using FailureBox = std::function<void(QWidget* parent, const QString& text)>;
    using Started = std::function<void(pid_t)>;

    // How long a started program is watched for an early failure; later ends are only reaped.
    static constexpr int EarlyFailureMs = 3000;

    explicit DesktopLauncher(QObject* parent = nullptr);

    void setFailureBox(FailureBox box) { m_box = std::move(box); }

    /// Starts the first of @p programs (found on the PATH) that takes @p argument. A program that ends with a
    /// failure status within EarlyFailureMs counts as not started, and the next is tried. When none is left, the
    /// failure box shows @p what followed by each program's reason, over @p boxParent. @p started is told the
    /// process id of every program started.
    void open(const QStringList& programs, const QString& argument, const QString& what, QWidget* boxParent,
              Started started = {});

private:
    struct Attempt;
    void tryNext(const std::shared_ptr<Attempt>& attempt);
    void watch(pid_t pid, const std::shared_ptr<Attempt>& attempt);

    FailureBox m_box;
};

/// Opens @p page in the user's browser; a browser that cannot be started shows a box over @p parent naming the
/// page and the reason. @p launcher: the application's by default.
void openPage(const QUrl& page, QWidget* parent, DesktopLauncher* launcher = nullptr);

} // namespace clockdeck
