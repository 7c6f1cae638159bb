// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Clockdeck developers
#pragma once

#include "form1layout.h"

#include <QColor>
#include <QFont>

class QPainter;

namespace clockdeck {

// The window was designed for MS Sans Serif, Arial and Verdana. Where those faces are missing, faces of similar
// metrics stand in for them.
QFont fontFor(layout::LabelStyle style);
// A dotted one-line frame on the outermost pixels of @p box, snapped to whole device pixels: dots and gaps of
// round(scale) device pixels on every edge (a dashed pen scaled by the screen turns solid, and whole
// device-independent pixels come out uneven at fractional scales).
void drawDottedFrame(QPainter& painter, const QRect& box, const QColor& colour);
QColor colourFor(layout::LabelStyle style);

inline const QColor LinkColour{192, 255, 192};
inline const QColor LinkPressedColour{255, 255, 0};
inline const QColor OutlineColour{192, 0, 0};

} // namespace clockdeck
