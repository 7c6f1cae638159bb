// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Clockdeck developers
#include "field.h"

namespace clockdeck {

std::optional<Field> fieldByName(std::string_view name)
{
    for (const auto& info : Fields) {
        if (info.name == name) {
            return info.field;
        }
    }
    return std::nullopt;
}

} // namespace clockdeck
