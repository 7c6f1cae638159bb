// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Clockdeck developers
#pragma once

#include "field.h"

#include <array>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace clockdeck {

// The calculator's state: one text per field. Setting a text stores it, tells every listener, then runs the
// change handler (if one is installed) synchronously, nested inside the caller.
class FieldStore
{
public:
    using Listener = std::function<void(Field)>;
    using ChangeHandler = std::function<void(Field)>;

    FieldStore();

    const std::string& text(Field f) const { return m_texts[index(f)]; }

    // A text holding a NUL keeps only what precedes it, as a label shows it.
    void setText(Field f, std::string_view text);

    // Listeners follow every text change of every field (the window's labels, for example). They run before the
    // change handler and must not set texts themselves.
    void subscribe(Listener listener);

    // One dispatcher for the change handlers of the input fields; other fields never reach it.
    void setChangeHandler(ChangeHandler handler) { m_handler = std::move(handler); }

    // Every field back to its initial text, without notifying anyone: a window created anew starts from here.
    void reset();

private:
    std::array<std::string, FieldCount> m_texts;
    std::vector<Listener> m_listeners;
    ChangeHandler m_handler;
};

} // namespace clockdeck
