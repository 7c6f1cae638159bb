// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Clockdeck developers
#pragma once

#include "calc/messagesink.h"

class QWidget;

namespace clockdeck {

// The calculator's faults as modal message boxes over the main window.
class MessageBoxes final : public MessageSink
{
public:
    explicit MessageBoxes(QWidget* parent = nullptr) : m_parent(parent) {}

    void updateFault(std::string_view message) override;
    void ceilFault(std::string_view description) override;

private:
    QWidget* m_parent;
};

} // namespace clockdeck
