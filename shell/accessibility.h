// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Clockdeck developers
#pragma once

namespace clockdeck {

/// Registers what assistive tools see of the main window's own widgets: the labels as static text (links as links,
/// the boot clock with its ±1 actions), the spin controls as spin buttons with the stepped field's value and range,
/// and the picture buttons as push buttons. Safe to call more than once.
void installAccessibility();

} // namespace clockdeck
