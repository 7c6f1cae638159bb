// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Clockdeck developers
#include "spinbar.h"

#include "labelstyles.h"

#include <QPainter>

namespace clockdeck {

SpinBar::SpinBar(Spin spin, QWidget* parent) : QScrollBar(Qt::Vertical, parent), m_spin(spin)
{
    setObjectName(QString::fromLatin1(Spins[index(spin)].name));
    setRange(-1, 1);
    setSingleStep(1);
    setPageStep(1);
    setValue(0);
    // The spin controls are the only elements that take the keyboard focus.
    setFocusPolicy(Qt::StrongFocus);
    // No "Scroll here / Top / Bottom" menu: a right click on a spin control does nothing.
    setContextMenuPolicy(Qt::PreventContextMenu);
    setCursor(Qt::ArrowCursor);
}

void SpinBar::paintEvent(QPaintEvent* event)
{
    QScrollBar::paintEvent(event);
    // The style draws no focus mark on a scroll bar, and these take the keyboard: show which one the arrow keys
    // step with a dotted frame.
    if (hasFocus()) {
        QPainter painter(this);
        drawDottedFrame(painter, rect(), QColor(0, 128, 0));
    }
}

} // namespace clockdeck
