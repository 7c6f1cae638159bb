// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Clockdeck developers
#include "picturebutton.h"

#include "form1layout.h"

#include <QMouseEvent>
#include <QPainter>

namespace clockdeck {

namespace {

// 10 twips: at 96 dpi, whole-pixel positions move exactly one pixel up and left.
constexpr int NudgeTwips = 10;

} // namespace

PictureButton::PictureButton(QWidget* parent, int leftTwips, int topTwips, const QSize& size, const QPixmap& picture)
    : QWidget(parent), m_picture(picture), m_twips(leftTwips, topTwips)
{
    setFocusPolicy(Qt::NoFocus);
    setContextMenuPolicy(Qt::PreventContextMenu);
    setGeometry(layout::at(leftTwips), layout::at(topTwips), size.width(), size.height());
}

void PictureButton::nudge(int twips)
{
    m_twips += QPoint(twips, twips);
    move(layout::at(m_twips.x()), layout::at(m_twips.y()));
}

void PictureButton::activate(Qt::MouseButton button)
{
    emit pressed(button);
    emit released(button);
    if (button == Qt::LeftButton) {
        emit clicked();
    }
}

void PictureButton::paintEvent(QPaintEvent*)
{
    if (m_picture.isNull()) {
        return;
    }
    QPainter painter(this);
    // At a scale factor above 1 the picture is stretched with the screen; smoothly rather than in blocks.
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.drawPixmap(QRect(QPoint(0, 0), m_picture.deviceIndependentSize().toSize()), m_picture);
}

void PictureButton::mousePressEvent(QMouseEvent* event)
{
    event->accept();
    ++m_held;
    nudge(-NudgeTwips);
    m_click.pressed(*event);
    emit pressed(event->button());
}

// The second press of a double click: nudged like any press, but its release is no second click.
void PictureButton::mouseDoubleClickEvent(QMouseEvent* event)
{
    mousePressEvent(event);
}

void PictureButton::mouseMoveEvent(QMouseEvent* event)
{
    event->accept();
}

void PictureButton::mouseReleaseEvent(QMouseEvent* event)
{
    event->accept();
    if (m_held > 0) {
        --m_held;
        nudge(NudgeTwips);
    }
    emit released(event->button());
    if (m_click.isClick(*event, rect())) {
        emit clicked();
    }
}

void PictureButton::hideEvent(QHideEvent* event)
{
    // A window hidden while a button is held on a picture never sends the release: put the picture back now.
    if (m_held > 0) {
        nudge(NudgeTwips * m_held);
        m_held = 0;
    }
    QWidget::hideEvent(event);
}

} // namespace clockdeck
