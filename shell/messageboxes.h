// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Clockdeck developers
#pragma once

#include "calc/messagesink.h"

class QString;
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

/// The box of a user's action that failed (an append, an editor or browser that cannot be started): titled
/// "Clockdeck", critical icon, @p text as plain text, one OK button, application-modal and brought to the front.
void showCriticalBox(QWidget* parent, const QString& text);

} // namespace clockdeck
