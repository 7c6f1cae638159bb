// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Clockdeck developers
#include "fieldstore.h"

namespace clockdeck {

FieldStore::FieldStore()
{
    reset();
}

void FieldStore::reset()
{
    for (const auto& info : Fields) {
        m_texts[index(info.field)] = info.initialText;
    }
}

void FieldStore::setText(Field f, std::string_view text)
{
    // A label keeps only what precedes a NUL; the probe hands over texts that end in one.
    if (const auto nul = text.find('\0'); nul != std::string_view::npos) {
        text = text.substr(0, nul);
    }
    m_texts[index(f)].assign(text);
    for (const auto& listener : m_listeners) {
        listener(f);
    }
    if (isInputField(f) && m_handler) {
        m_handler(f);
    }
}

void FieldStore::subscribe(Listener listener)
{
    m_listeners.push_back(std::move(listener));
}

} // namespace clockdeck
