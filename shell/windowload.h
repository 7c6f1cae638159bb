// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Clockdeck developers
#pragma once

#include "load/formload.h"

class QWidget;

namespace clockdeck {

// The load sequence's window steps done on a real window: centre it on its screen, show it, and let it paint
// before the probe runs.
class WindowLoad final : public LoadWindow
{
public:
    explicit WindowLoad(QWidget& window) : m_window(window) {}

    void centre() override;
    void show() override;
    void processEvents() override;

private:
    QWidget& m_window;
};

} // namespace clockdeck
