// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Clockdeck developers
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace clockdeck {

// A hidden list box holding the choices of a list-valued input: its entries and its current position.
struct PresetList
{
    std::vector<std::string> items;
    std::int16_t ListIndex = -1; // -1: no entry current

    void AddItem(std::string_view item) { items.emplace_back(item); }
    int ListCount() const { return static_cast<int>(items.size()); }
    void Clear()
    {
        items.clear();
        ListIndex = -1;
    }
    // The entry at a position, or an empty text for a position outside the list.
    std::string_view item(int position) const
    {
        return position >= 0 && position < ListCount() ? std::string_view(items[static_cast<std::size_t>(position)])
                                                       : std::string_view();
    }
    // The position of an entry equal to the text, or -1.
    int find(std::string_view text) const
    {
        for (int i = 0; i < ListCount(); ++i) {
            if (items[static_cast<std::size_t>(i)] == text) {
                return i;
            }
        }
        return -1;
    }
};

} // namespace clockdeck
