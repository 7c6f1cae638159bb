// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Clockdeck developers
#pragma once

#include "calc/spin.h"

#include <QScrollBar>

namespace clockdeck {

// A tiny vertical scroll bar used as a spin control: range -1 to 1, resting at 0, too short for a thumb, so only its
// two arrows show. The upper arrow (and the Up key) moves it to -1, the lower one (and the Down key) to 1; holding an
// arrow repeats at the platform's rate because the owner puts it back to 0 after every step.
class SpinBar : public QScrollBar
{
    Q_OBJECT

public:
    SpinBar(Spin spin, QWidget* parent);

    Spin spin() const { return m_spin; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    Spin m_spin;
};

} // namespace clockdeck
