// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Clockdeck developers
#include "skinlabel.h"

#include <QAccessible>
#include <QEvent>
#include <QMouseEvent>
#include <QPainter>

#include <utility>

namespace clockdeck {

SkinLabel::SkinLabel(QWidget* parent, const QRect& box, bool autoSize, Qt::Alignment alignment)
    : QWidget(parent), m_autoSize(autoSize), m_alignment(alignment)
{
    setGeometry(box);
    setFocusPolicy(Qt::NoFocus);
    setContextMenuPolicy(Qt::PreventContextMenu);
}

void SkinLabel::setText(const QString& text)
{
    if (text == m_text) {
        return;
    }
    const QString old = std::exchange(m_text, text);
    if (m_autoSize) {
        fitToText();
    }
    update();
    if (QAccessible::isActive()) {
        QAccessibleTextUpdateEvent event(this, 0, old, m_text);
        QAccessible::updateAccessibility(&event);
    }
}

void SkinLabel::activate(Qt::MouseButton button)
{
    emit pressed(button);
    emit released(button, true);
    if (button == Qt::LeftButton) {
        emit clicked();
    }
}

void SkinLabel::setColour(const QColor& colour)
{
    if (colour == m_colour) {
        return;
    }
    m_colour = colour;
    update();
}

void SkinLabel::fitToText()
{
    const QFontMetrics metrics(font());
    // Measured the way paintEvent draws it: one line, line breaks shown as blanks.
    resize(metrics.size(Qt::TextSingleLine, m_text).width(), metrics.height());
}

void SkinLabel::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setPen(m_colour);
    painter.setFont(font());
    // Clipped at the box: a centred text wider than its box loses both ends.
    painter.drawText(rect(), int(m_alignment | Qt::AlignTop | Qt::TextSingleLine), m_text);
}

void SkinLabel::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::FontChange && m_autoSize) {
        fitToText();
    }
    QWidget::changeEvent(event);
}

void SkinLabel::mousePressEvent(QMouseEvent* event)
{
    event->accept();
    m_click.pressed(*event);
    emit pressed(event->button());
}

// The second press of a double click: a press like any other, but its release is no second click.
void SkinLabel::mouseDoubleClickEvent(QMouseEvent* event)
{
    mousePressEvent(event);
}

void SkinLabel::mouseMoveEvent(QMouseEvent* event)
{
    event->accept();
}

void SkinLabel::mouseReleaseEvent(QMouseEvent* event)
{
    event->accept();
    const bool inside = rect().contains(event->position().toPoint());
    emit released(event->button(), inside);
    if (m_click.isClick(*event, rect())) {
        emit clicked();
    }
}

} // namespace clockdeck
