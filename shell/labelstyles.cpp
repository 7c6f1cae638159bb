// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Clockdeck developers
#include "labelstyles.h"

#include <QFontDatabase>
#include <QPainter>
#include <QStringList>

#include <algorithm>

namespace clockdeck {

namespace {

const QString SansSerif = QStringLiteral("MS Sans Serif");
const QString Arial = QStringLiteral("Arial");
const QString Verdana = QStringLiteral("Verdana");

// The installed family that draws @p family: the family itself, or the first of its stand-ins. Looked up once: the
// font database is filled on the first call.
const QString& installedFace(const QString& family)
{
    // Measured against every fixed caption's box: Liberation Sans (Arial's metrics) fits all but two by a pixel, the
    // trailing blank of "BIOS " and the last side bearing of "AMD Updates"; DejaVu Sans is up to 10 % too wide for
    // fifteen of them. DejaVu Sans descends from Bitstream Vera, which shares Verdana's wide design. Both come
    // from packages the program installs with (fonts-liberation2, fonts-dejavu-core).
    static const struct Faces
    {
        QString sansSerif, arial, verdana;
    } faces = [] {
        const QStringList known = QFontDatabase::families();
        const auto firstKnown = [&known](const QString& design, std::initializer_list<const char*> candidates) {
            if (known.contains(design, Qt::CaseInsensitive)) {
                return design;
            }
            for (const char* name : candidates) {
                if (known.contains(QLatin1String(name), Qt::CaseInsensitive)) {
                    return QString::fromLatin1(name);
                }
            }
            return design; // nothing better: Qt's own fallback
        };
        return Faces{firstKnown(SansSerif, {"Liberation Sans", "Arimo", "Nimbus Sans", "DejaVu Sans"}),
                     firstKnown(Arial, {"Liberation Sans", "Arimo", "Nimbus Sans", "DejaVu Sans"}),
                     firstKnown(Verdana, {"DejaVu Sans", "Liberation Sans"})};
    }();
    return family == Verdana ? faces.verdana : family == Arial ? faces.arial : faces.sansSerif;
}

// Sizes in pixels at 96 dpi (points x 96 / 72), so the layout does not depend on the screen's reported dpi;
// Qt scales pixels with the screen's scale factor. The font names the installed face itself: a family Qt does not
// find costs a search through every installed font for fallbacks, for each size and weight.
QFont face(const QString& family, int pixelSize, bool bold, bool underline = false)
{
    QFont font(installedFace(family));
    font.setPixelSize(pixelSize);
    font.setBold(bold);
    font.setUnderline(underline);
    // Hinted full pixels keep the small bold captions crisp, as the bitmap face they stand in for was.
    font.setHintingPreference(QFont::PreferFullHinting);
    return font;
}

} // namespace

QFont fontFor(layout::LabelStyle style)
{
    using enum layout::LabelStyle;
    switch (style) {
    case Caption:
    case Heading:
    case Identity:
        return face(SansSerif, 11, true);
    case Input:
    case Percentage:
    case Result:
        return face(SansSerif, 16, true);
    case InfoCaption:
    case InfoValue:
        return face(SansSerif, 11, false);
    case Rating:
        return face(Verdana, 13, true);
    case Stepping:
        return face(Arial, 12, false);
    case ArialLink:
        return face(Arial, 11, false, true);
    case SansLink:
        return face(SansSerif, 11, false, true);
    }
    return face(SansSerif, 11, false);
}

void drawDottedFrame(QPainter& painter, const QRect& box, const QColor& colour)
{
    // Drawn in device pixels: the box's edges rounded to whole device pixels, and dots of round(scale) device pixels
    // (at least one) with gaps as wide, clockwise from the top-left corner. At 100 % and 200 % that is one
    // device-independent pixel on, one off; at 150 % it keeps every edge as thick and as even as the others, where
    // whole device-independent pixels would fall on 1 or 2 device pixels by turns.
    const qreal ratio = painter.device() ? painter.device()->devicePixelRatioF() : 1.0;
    const int dot = std::max(1, qRound(ratio));
    const QTransform toDevice = painter.deviceTransform();
    const QRectF exact = toDevice.mapRect(QRectF(box));
    const QRect device(QPoint(qRound(exact.left()), qRound(exact.top())),
                       QPoint(qRound(exact.right()) - 1, qRound(exact.bottom()) - 1));
    const int w = device.width() - dot;
    const int h = device.height() - dot;
    if (w < 0 || h < 0) {
        return;
    }
    painter.save();
    painter.setWorldTransform(toDevice.inverted() * painter.worldTransform());
    const int perimeter = 2 * (w + h);
    for (int i = 0; i < perimeter; i += 2 * dot) {
        QPoint at;
        if (i < w) {
            at = {i, 0};
        } else if (i < w + h) {
            at = {w, i - w};
        } else if (i < 2 * w + h) {
            at = {w - (i - w - h), h};
        } else {
            at = {0, h - (i - 2 * w - h)};
        }
        painter.fillRect(QRect(device.topLeft() + at, QSize(dot, dot)), colour);
    }
    painter.restore();
}

QColor colourFor(layout::LabelStyle style)
{
    using enum layout::LabelStyle;
    switch (style) {
    case Caption:
    case InfoCaption:
        return {128, 128, 128};
    case Input:
    case InfoValue:
    case Rating:
        return {0, 128, 0};
    case Percentage:
        return {0, 192, 0};
    case Result:
        return {192, 64, 0};
    case Heading:
        return {192, 0, 0};
    case Identity:
        return {255, 255, 255};
    case Stepping:
    case ArialLink:
    case SansLink:
        return LinkColour;
    }
    return {0, 0, 0};
}

} // namespace clockdeck
