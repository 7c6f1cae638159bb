// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Clockdeck developers
#include "windowload.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QGuiApplication>
#include <QScreen>
#include <QWidget>
#include <QWindow>

namespace clockdeck {

void WindowLoad::centre()
{
    const QScreen* screen = m_window.screen() ? m_window.screen() : QGuiApplication::primaryScreen();
    if (!screen) {
        return;
    }
    const QRect area = screen->geometry();
    const QSize size = m_window.frameGeometry().size();
    m_window.move(area.x() + (area.width() - size.width()) / 2, area.y() + (area.height() - size.height()) / 2);
}

void WindowLoad::show()
{
    m_window.show();
}

void WindowLoad::processEvents()
{
    QCoreApplication::processEvents();
    // A window system may not have mapped the new window yet; wait a little for it, so the placeholders are painted
    // before the probe replaces them. Bounded: a window system that never exposes it must not hold the load up.
    const QWindow* window = m_window.windowHandle();
    const QDeadlineTimer deadline(200);
    while (window && m_window.isVisible() && !window->isExposed() && !deadline.hasExpired()) {
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, int(deadline.remainingTime()));
    }
    QCoreApplication::processEvents();
}

} // namespace clockdeck
