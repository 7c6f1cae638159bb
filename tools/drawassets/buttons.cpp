// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Clockdeck developers

// The four picture buttons of the title band: a shaded green face, a one-pixel outline and highlight, and each
// its own symbol.

#include "draw.h"

#include <array>
#include <string_view>
#include <vector>

namespace drawassets {

namespace {

// Colours of the button pictures.
constexpr QRgb FaceTop = 0x005E3E;
constexpr QRgb FaceBottom = 0x008C5C;
constexpr QRgb ButtonOutline = 0x004A31;
constexpr QRgb ButtonHighlight = 0x01B477;
constexpr QRgb SymbolEdge = 0xFFEEAA;
constexpr QRgb BarYellow = 0xFFCC00;
constexpr QRgb ExitRed = 0xFF0000;

// A small picture built from a mask: which pixels belong to a shape.
using Mask = std::vector<std::vector<bool>>;

Mask emptyMask(int w, int h)
{
    return Mask(static_cast<std::size_t>(h), std::vector<bool>(static_cast<std::size_t>(w), false));
}

bool at(const Mask& m, int x, int y)
{
    if (y < 0 || y >= static_cast<int>(m.size()) || x < 0 || x >= static_cast<int>(m[0].size())) {
        return false;
    }
    return m[static_cast<std::size_t>(y)][static_cast<std::size_t>(x)];
}

void set(Mask& m, int x, int y)
{
    m[static_cast<std::size_t>(y)][static_cast<std::size_t>(x)] = true;
}

// The one-pixel ring just outside a shape, corners included.
Mask ringAround(const Mask& shape)
{
    const int h = static_cast<int>(shape.size());
    const int w = static_cast<int>(shape[0].size());
    Mask ring = emptyMask(w, h);
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            if (!at(shape, x, y)) {
                for (int dy = -1; dy <= 1; ++dy) {
                    for (int dx = -1; dx <= 1; ++dx) {
                        if (at(shape, x + dx, y + dy)) {
                            set(ring, x, y);
                        }
                    }
                }
            }
        }
    }
    return ring;
}

// Pixels of a shape that touch the outside with an edge (the shape's own border).
Mask borderOf(const Mask& shape)
{
    const int h = static_cast<int>(shape.size());
    const int w = static_cast<int>(shape[0].size());
    Mask border = emptyMask(w, h);
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            if (at(shape, x, y) &&
                (!at(shape, x - 1, y) || !at(shape, x + 1, y) || !at(shape, x, y - 1) || !at(shape, x, y + 1))) {
                set(border, x, y);
            }
        }
    }
    return border;
}

void paint(QImage& img, const Mask& m, QRgb colour)
{
    for (int y = 0; y < img.height(); ++y) {
        for (int x = 0; x < img.width(); ++x) {
            if (at(m, x, y)) {
                img.setPixel(x, y, opaque(colour));
            }
        }
    }
}

enum class Corner
{
    None,
    TopLeft,
    TopRight
};

enum class Highlight
{
    Top,       // just inside the outline along the top edge
    NearBottom // two rows above the bottom outline
};

// The common look of the four buttons: face shading from dark at the top to light at the bottom, a one-pixel
// outline, a one-pixel highlight line and optionally one rounded corner. Pixels cut off by the rounding show the
// title band behind the button's place, since the pictures are 24-bit and have no transparency.
QImage drawButtonBase(int w, int h, Corner corner, Highlight highlight, QPoint place, const QImage& backdrop)
{
    Mask body = emptyMask(w, h);
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            set(body, x, y);
        }
    }
    // A rounding of radius 3: cut 3, 1 and 1 pixels from the first three rows at that corner.
    constexpr std::array<int, 3> Cut{3, 1, 1};
    if (corner != Corner::None) {
        for (int y = 0; y < static_cast<int>(Cut.size()); ++y) {
            for (int i = 0; i < Cut[static_cast<std::size_t>(y)]; ++i) {
                const int x = corner == Corner::TopLeft ? i : w - 1 - i;
                body[static_cast<std::size_t>(y)][static_cast<std::size_t>(x)] = false;
            }
        }
    }

    QImage img(w, h, QImage::Format_RGB32);
    const Mask outline = borderOf(body);
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            QRgb c;
            if (!at(body, x, y)) {
                c = backdrop.pixel(place.x() + x, place.y() + y);
            } else if (at(outline, x, y)) {
                c = ButtonOutline;
            } else {
                c = mix(FaceTop, FaceBottom, y - 1, h - 3);
            }
            img.setPixel(x, y, opaque(c));
        }
    }

    const int row = highlight == Highlight::Top ? 1 : h - 3;
    for (int x = 0; x < w; ++x) {
        if (at(body, x, row) && !at(outline, x, row)) {
            img.setPixel(x, row, opaque(ButtonHighlight));
        }
    }
    return img;
}

} // namespace

// Image4, append or open the results: a white plus with two-pixel arms, a pale yellow edge round it and the dark
// outline green round that, so it stands out from the face.
QImage drawResultsButton(const QImage& backdrop)
{
    QImage img = drawButtonBase(26, 20, Corner::TopLeft, Highlight::Top, QPoint(244, 3), backdrop);
    Mask plus = emptyMask(img.width(), img.height());
    for (int y = 5; y <= 12; ++y) {
        for (int x = 8; x <= 15; ++x) {
            if ((x >= 11 && x <= 12) || (y >= 8 && y <= 9)) {
                set(plus, x, y);
            }
        }
    }
    const Mask edge = ringAround(plus);
    Mask edged = plus;
    for (int y = 0; y < img.height(); ++y) {
        for (int x = 0; x < img.width(); ++x) {
            if (at(edge, x, y)) {
                set(edged, x, y);
            }
        }
    }
    paint(img, ringAround(edged), ButtonOutline);
    paint(img, edge, SymbolEdge);
    paint(img, plus, White);
    return img;
}

// Image3, copy: the word COPY in white capitals from a 5 x 8 pixel alphabet with two-pixel stems.
QImage drawCopyButton(const QImage& backdrop)
{
    QImage img = drawButtonBase(45, 20, Corner::None, Highlight::Top, QPoint(271, 3), backdrop);
    using Glyph = std::array<std::string_view, 8>;
    constexpr std::array<Glyph, 4> Letters{{
        {".####", "##...", "##...", "##...", "##...", "##...", "##...", ".####"}, // C
        {".###.", "##.##", "##.##", "##.##", "##.##", "##.##", "##.##", ".###."}, // O
        {"####.", "##.##", "##.##", "##.##", "####.", "##...", "##...", "##..."}, // P
        {"##.##", "##.##", "##.##", ".###.", "..##.", "..##.", "..##.", "..##."}, // Y
    }};
    constexpr int Left = 11;
    constexpr int Top = 6;
    constexpr int Advance = 7; // five pixels of letter, two of gap: COPY spans x 11 to 36
    for (std::size_t i = 0; i < Letters.size(); ++i) {
        for (int row = 0; row < 8; ++row) {
            for (int col = 0; col < 5; ++col) {
                if (Letters[i][static_cast<std::size_t>(row)][static_cast<std::size_t>(col)] == '#') {
                    img.setPixel(Left + static_cast<int>(i) * Advance + col, Top + row, opaque(White));
                }
            }
        }
    }
    return img;
}

// Image1, minimise to the tray: a yellow bar outlined in the dark outline green.
QImage drawMinimiseButton(const QImage& backdrop)
{
    QImage img = drawButtonBase(26, 19, Corner::TopLeft, Highlight::NearBottom, QPoint(322, 4), backdrop);
    Mask bar = emptyMask(img.width(), img.height());
    for (int y = 12; y <= 13; ++y) {
        for (int x = 6; x <= 14; ++x) {
            set(bar, x, y);
        }
    }
    paint(img, ringAround(bar), ButtonOutline);
    paint(img, bar, BarYellow);
    return img;
}

// Image2, exit: a red X with two-pixel strokes and a pale yellow edge around it.
QImage drawExitButton(const QImage& backdrop)
{
    QImage img = drawButtonBase(25, 19, Corner::TopRight, Highlight::NearBottom, QPoint(351, 4), backdrop);
    constexpr int Left = 10;
    constexpr int Right = 16;
    constexpr int Top = 4;
    constexpr int Bottom = 11;
    Mask cross = emptyMask(img.width(), img.height());
    for (int y = Top; y <= Bottom; ++y) {
        // The stroke's left pixel walks from Left to Right - 1 over the rows; the other stroke mirrors it.
        const int x = Left + (y - Top) * (Right - 1 - Left) / (Bottom - Top);
        for (int px : {x, x + 1, Left + Right - x, Left + Right - x - 1}) {
            set(cross, px, y);
        }
    }
    paint(img, ringAround(cross), SymbolEdge);
    paint(img, cross, ExitRed);
    return img;
}

} // namespace drawassets
