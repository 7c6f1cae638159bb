// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Clockdeck developers
#pragma once

// Hot spots of the two 32 x 32 pointer pictures (cursor-window.png, cursor-link.png), in pixels from the
// picture's top-left corner. The window passes them to QCursor; tools/drawassets checks that both fall on an
// opaque pixel of the picture it draws.
namespace clockdeck::assets {

// The pictures' size at 1x, in pixels.
inline constexpr int PointerSize = 32;

struct HotSpot
{
    int x;
    int y;
};

// The tip of the large arrow.
inline constexpr HotSpot WindowPointerHotSpot{0, 0};
// The tip of the index finger.
inline constexpr HotSpot LinkPointerHotSpot{12, 1};

} // namespace clockdeck::assets
