// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Clockdeck developers
#pragma once

#include <string_view>

namespace clockdeck {

/// Where the calculator reports the faults of its recomputation. The window shows them as modal message boxes;
/// headless programs print them; tests record them. Each call returns when the user has dismissed the message.
class MessageSink
{
public:
    virtual ~MessageSink() = default;

    /// A fault stopped Update. @p message is the fault's description followed by " Data value error: Sub Update".
    /// Shown with an OK button only, no icon, captioned with the program's title.
    virtual void updateFault(std::string_view message) = 0;

    /// A fault inside Ceil. @p description is the fault's description alone. Shown with an information icon,
    /// an OK button and the caption "Function Ceil Error!".
    virtual void ceilFault(std::string_view description) = 0;
};

} // namespace clockdeck
