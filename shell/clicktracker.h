// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Clockdeck developers
#pragma once

#include <QEvent>
#include <QMouseEvent>
#include <QRect>

namespace clockdeck {

// Tells a click (a left press and release over the element) from the release that ends a double click: Qt delivers
// the second press of a double click as a press of its own, and it must not make a second click.
class ClickTracker
{
public:
    void pressed(const QMouseEvent& press) { m_doubleClickPress = press.type() == QEvent::MouseButtonDblClick; }

    bool isClick(const QMouseEvent& release, const QRect& area) const
    {
        return release.button() == Qt::LeftButton && area.contains(release.position().toPoint()) && !m_doubleClickPress;
    }

private:
    bool m_doubleClickPress = false;
};

} // namespace clockdeck
