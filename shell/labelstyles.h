// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Clockdeck developers
#pragma once

#include "form1layout.h"

#include <QColor>
#include <QFont>

namespace clockdeck {

// The window was designed for MS Sans Serif, Arial and Verdana. Where those faces are missing, faces of similar
// metrics stand in for them; call once before the first label is made.
void installFontSubstitutes();

QFont fontFor(layout::LabelStyle style);
QColor colourFor(layout::LabelStyle style);

inline const QColor LinkColour{192, 255, 192};
inline const QColor LinkPressedColour{255, 255, 0};
inline const QColor OutlineColour{192, 0, 0};

} // namespace clockdeck
