// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Clockdeck developers
#pragma once

#include <QCursor>
#include <QIcon>
#include <QImage>
#include <QPixmap>

#include <future>

namespace clockdeck {

// The pictures compiled into the program: the backdrop, the four picture buttons, the icon and the two pointers.
// A picture that cannot be loaded comes back null; the window then simply shows less, it never fails. Each is drawn
// at 1x, 2x and 3x; the one that fits the given device pixel ratio is loaded (2x for 150 %, scaled down when drawn).
namespace pictures {

/// The backdrop decoded on a thread of its own, so that the window builds its controls meanwhile; the image becomes
/// a pixmap on the GUI thread.
std::future<QImage> decodeBackdrop(qreal devicePixelRatio);
// Image1 to Image4, by the number in the element's name.
QPixmap button(int number, qreal devicePixelRatio = 1.0);
QIcon icon();
// The pointer over the whole window, and the hand over the links, with their hot spots scaled to the picture.
QCursor windowPointer(qreal devicePixelRatio = 1.0);
QCursor linkPointer(qreal devicePixelRatio = 1.0);

} // namespace pictures
} // namespace clockdeck
