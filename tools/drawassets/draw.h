// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Clockdeck developers
#pragma once

// The pictures drawassets writes, one function each, and the colour arithmetic they share.

#include <QByteArray>
#include <QImage>

namespace drawassets {

inline constexpr QRgb White = 0xFFFFFF;

// a + (b - a) * num / den per channel, rounded to nearest.
inline QRgb mix(QRgb a, QRgb b, int num, int den)
{
    auto channel = [&](int ca, int cb) { return ca + ((cb - ca) * 2 * num + (cb >= ca ? den : -den)) / (2 * den); };
    return qRgb(channel(qRed(a), qRed(b)), channel(qGreen(a), qGreen(b)), channel(qBlue(a), qBlue(b)));
}

inline QRgb opaque(QRgb rgb)
{
    return rgb | 0xFF000000u;
}

// The backdrop at 1x, 2x or 3x (380 x 324 pixels at 1x). Stops the program if the title font is missing.
QImage drawBackdrop(int scale);

// The four title-band buttons at 1x; the pixels their rounded corners cut off show @p backdrop (1x) behind them.
QImage drawMinimiseButton(const QImage& backdrop);
QImage drawExitButton(const QImage& backdrop);
QImage drawCopyButton(const QImage& backdrop);
QImage drawResultsButton(const QImage& backdrop);

// The window icon: the 32 x 32 pixel picture, larger theme sizes, and the SVG.
QImage drawIcon32();
QImage drawIcon(int size);
QByteArray iconSvg();
// True when the icon's polygons remove exactly the pixels the pixel picture leaves out.
bool iconPathMatchesPixels();

// The two 32 x 32 pointers.
QImage drawWindowPointer();
QImage drawLinkPointer();

} // namespace drawassets
