// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Clockdeck developers
#pragma once

#include "clicktracker.h"

#include <QColor>
#include <QString>
#include <QWidget>

#include <cstdint>

namespace clockdeck {

// A transparent one-line text label on the backdrop. Its text is cut at the box edge, except when it is auto-sized:
// then the box follows the text, keeping its top-left corner, growing or shrinking to the right and downwards.
// It takes every mouse press itself, so a press on a label never drags the window.
class SkinLabel : public QWidget
{
    Q_OBJECT

public:
    SkinLabel(QWidget* parent, const QRect& box, bool autoSize, Qt::Alignment alignment);

    QString text() const { return m_text; }
    void setText(const QString& text);
    QColor colour() const { return m_colour; }
    void setColour(const QColor& colour);
    bool isAutoSized() const { return m_autoSize; }

    // What a click on the label does, as assistive tools are told: nothing, open a page, or step its value.
    enum class Kind : std::uint8_t
    {
        Text,
        Link,
        Stepper,
    };
    Kind kind() const { return m_kind; }
    void setKind(Kind kind) { m_kind = kind; }
    // A press and release of @p button over the label without the pointer, as the keyboard or an assistive tool
    // asks for: the same signals a click gives.
    void activate(Qt::MouseButton button);

signals:
    void pressed(Qt::MouseButton button);
    // Every release of a button pressed on the label, also one released outside it; a double click releases twice.
    void released(Qt::MouseButton button, bool inside);
    // A left press and release over the label; the second press of a double click does not make another.
    void clicked();

protected:
    void paintEvent(QPaintEvent* event) override;
    void changeEvent(QEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    void fitToText();

    QString m_text;
    QColor m_colour;
    bool m_autoSize;
    Qt::Alignment m_alignment;
    Kind m_kind = Kind::Text;
    ClickTracker m_click;
};

} // namespace clockdeck
