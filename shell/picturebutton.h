// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Clockdeck developers
#pragma once

#include "clicktracker.h"

#include <QPixmap>
#include <QWidget>

namespace clockdeck {

// One of the picture buttons in the title band. Every press, whatever the button, nudges the picture 10 twips up and
// left, and every release nudges it back, so it always returns to its place, also when released outside.
class PictureButton : public QWidget
{
    Q_OBJECT

public:
    // The position is in twips; the picture is shown at 1:1.
    PictureButton(QWidget* parent, int leftTwips, int topTwips, const QSize& size, const QPixmap& picture);

    // Where the button stands now, in twips (shifted while pressed).
    QPoint positionTwips() const { return m_twips; }
    // A press and release of @p button without the pointer, as the keyboard or an assistive tool asks for: the same
    // signals a click gives, without the nudge.
    void activate(Qt::MouseButton button);

signals:
    void pressed(Qt::MouseButton button);
    // After the nudge back.
    void released(Qt::MouseButton button);
    // A left press and release, both over the button; the second press of a double click does not make another.
    void clicked();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    void nudge(int twips);

    QPixmap m_picture;
    QPoint m_twips;
    int m_held = 0; // presses not yet released
    ClickTracker m_click;
};

} // namespace clockdeck
