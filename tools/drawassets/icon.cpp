// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Clockdeck developers

// The window icon: a green square with three cut-outs, as pixels, as polygons and as SVG.

#include "draw.h"

#include <QPainter>
#include <QPainterPath>
#include <QPolygonF>

#include <array>
#include <cstdlib>
#include <vector>

namespace drawassets {

namespace {

// The window icon.
constexpr QRgb IconGreen = 0x008000;

// A solid square with three cut-outs: a notch in the left edge (rows 1 to 15, deepest, 8 pixels, at row 8), a
// 14 x 14 hole (x and y 9 to 22) and a notch rising from the bottom edge (x 16 to 30 on the last row, apex at
// x 23, y 24). These are the pixels of the 32 x 32 picture.
bool iconPixel(int x, int y)
{
    if (x < 8 - std::abs(y - 8)) {
        return false;
    }
    if (x >= 9 && x <= 22 && y >= 9 && y <= 22) {
        return false;
    }
    if (y >= 24 && std::abs(x - 23) <= y - 24) {
        return false;
    }
    return true;
}

// The same shape as polygons in a 32 x 32 box, for the SVG and the larger theme sizes. No pixel centre lies on an
// edge, and a pixel is removed exactly when its centre lies in a cut-out; main() checks that against iconPixel().
using Outline = std::vector<QPointF>;
const std::array<Outline, 3> IconCutOuts{{
    {{0, 0.25}, {8.25, 8.5}, {0, 16.75}}, // left notch
    {{9, 9}, {23, 9}, {23, 23}, {9, 23}}, // square hole
    {{15.5, 32}, {23.5, 24}, {31.5, 32}}, // bottom notch
}};

QPainterPath iconPath()
{
    QPainterPath path;
    path.setFillRule(Qt::OddEvenFill);
    path.addRect(0, 0, 32, 32);
    for (const Outline& cut : IconCutOuts) {
        path.addPolygon(QPolygonF(QList<QPointF>(cut.begin(), cut.end())));
        path.closeSubpath();
    }
    return path;
}

} // namespace

bool iconPathMatchesPixels()
{
    const QPainterPath path = iconPath();
    for (int y = 0; y < 32; ++y) {
        for (int x = 0; x < 32; ++x) {
            if (path.contains(QPointF(x + 0.5, y + 0.5)) != iconPixel(x, y)) {
                return false;
            }
        }
    }
    return true;
}

QImage drawIcon32()
{
    QImage img(32, 32, QImage::Format_ARGB32);
    for (int y = 0; y < 32; ++y) {
        for (int x = 0; x < 32; ++x) {
            img.setPixel(x, y, iconPixel(x, y) ? opaque(IconGreen) : 0u);
        }
    }
    return img;
}

QByteArray iconSvg()
{
    QByteArray d = "M0 0H32V32H0Z";
    for (const Outline& cut : IconCutOuts) {
        for (std::size_t i = 0; i < cut.size(); ++i) {
            d += (i == 0 ? " M" : " L") + QByteArray::number(cut[i].x()) + ' ' + QByteArray::number(cut[i].y());
        }
        d += 'Z';
    }
    QByteArray svg;
    svg += "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n";
    svg += "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"32\" height=\"32\" viewBox=\"0 0 32 32\">\n";
    svg += "  <path fill=\"#008000\" fill-rule=\"evenodd\" d=\"" + d + "\"/>\n";
    svg += "</svg>\n";
    return svg;
}

// Larger theme sizes: the polygons scaled up, antialiased, so the diagonals stay smooth. At 32 x 32 the pixel
// picture itself.
QImage drawIcon(int size)
{
    if (size == 32) {
        return drawIcon32();
    }
    QImage img(size, size, QImage::Format_ARGB32);
    img.fill(Qt::transparent);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing, true);
    p.scale(size / 32.0, size / 32.0);
    p.fillPath(iconPath(), QColor(IconGreen));
    p.end();
    return img;
}

} // namespace drawassets
