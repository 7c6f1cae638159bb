// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Clockdeck developers

// The two pointers: the large arrow over the window and the hand over the links.

#include "draw.h"

#include <array>
#include <cstdlib>
#include <string_view>
#include <vector>

namespace drawassets {

namespace {

QImage fromArt(const std::array<std::string_view, 32>& art, std::string_view keys, const std::vector<QRgb>& colours)
{
    QImage img(32, 32, QImage::Format_ARGB32);
    img.fill(Qt::transparent);
    for (int y = 0; y < 32; ++y) {
        const std::string_view row = art[static_cast<std::size_t>(y)];
        for (int x = 0; x < static_cast<int>(row.size()) && x < 32; ++x) {
            const std::size_t k = keys.find(row[static_cast<std::size_t>(x)]);
            if (k != std::string_view::npos) {
                img.setPixel(x, y, opaque(colours[k]));
            }
        }
    }
    return img;
}

} // namespace

// The window pointer: a large white arrow pointing to the upper left, black outline, with a square see-through
// window in its middle. Head: the triangle x + y <= 17; shaft: the band |x - y| <= 3 down to (19, 19).
QImage drawWindowPointer()
{
    auto inArrow = [](int x, int y) {
        if (x < 0 || y < 0 || x > 19 || y > 19) {
            return false;
        }
        if (x >= 5 && x <= 8 && y >= 5 && y <= 8) { // the see-through window, 4 x 4
            return false;
        }
        return x + y <= 17 || std::abs(x - y) <= 3;
    };
    QImage img(32, 32, QImage::Format_ARGB32);
    img.fill(Qt::transparent);
    for (int y = 0; y < 32; ++y) {
        for (int x = 0; x < 32; ++x) {
            if (!inArrow(x, y)) {
                continue;
            }
            const bool edge = !inArrow(x - 1, y) || !inArrow(x + 1, y) || !inArrow(x, y - 1) || !inArrow(x, y + 1);
            img.setPixel(x, y, edge ? qRgb(0, 0, 0) : qRgb(255, 255, 255));
        }
    }
    return img;
}

// The link pointer: a hand pointing up with the index finger, white with a black outline and grey inner lines,
// and a dark blue cuff. B black, G grey, W white, L light blue, N navy.
QImage drawLinkPointer()
{
    constexpr std::array<std::string_view, 32> Art{
        "",
        "...........BBB",
        "..........BWWWB",
        "..........BWWWB",
        "..........BWWWB",
        "..........BWWWB",
        "..........BWWWB",
        "..........BWWWBBBB",
        "..........BWWWGWWWBBBB",
        "..........BWWWGWWWGWWWBBB",
        "..........BWWWGWWWGWWWGWWB",
        "......BBB.BWWWGWWWGWWWGWWB",
        ".....BWWWBBWWWGWWWGWWWGWWB",
        ".....BWWWGBWWWWWWWWWWWWWWB",
        "......BWWWGWWWWWWWWWWWWWWB",
        "......BWWWWWWWWWWWWWWWWWGB",
        ".......BWWWWWWWWWWWWWWWWGB",
        "........BWWWWWWWWWWWWWWGB",
        ".........BWWWWWWWWWWWWWGB",
        "..........BWWWWWWWWWWWGB",
        "..........BWWWWWWWWWWWGB",
        ".........BBBBBBBBBBBBBBBB",
        ".........BLLLLLLLLLLLLLNB",
        ".........BLLLLLLLLLLLLLNB",
        ".........BNNNNNNNNNNNNNNB",
        ".........BBBBBBBBBBBBBBBB",
    };
    return fromArt(Art, "BGWLN", {0x000000, 0x808080, 0xFFFFFF, 0x0000FF, 0x000080});
}

} // namespace drawassets
