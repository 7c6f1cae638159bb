// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Clockdeck developers

// The backdrop: the frame line, the title band with the product name, the two dark green bands and the pale
// green panel.

#include "draw.h"

#include <QColor>
#include <QFont>
#include <QFontDatabase>
#include <QPainter>
#include <QPainterPath>
#include <QTransform>

#include <algorithm>
#include <array>
#include <cstdio>
#include <cstdlib>

namespace drawassets {

namespace {

// Colours of the backdrop.
constexpr QRgb kBandGreen = 0x628862;  // frame line and the two dark bands
constexpr QRgb kTitleLeft = 0xC8DBC8;  // title band, left edge
constexpr QRgb kTitleRight = 0xB2D0B2; // title band, right edge
constexpr QRgb kTitleText = 0x008000;  // the product name

constexpr int kBackdropWidth = 380;
constexpr int kBackdropHeight = 324;

// Rows of the backdrop, inclusive.
constexpr int kTitleFirst = 1;
constexpr int kTitleLast = 24;
constexpr int kPanelFirst = 39;
constexpr int kPanelLast = 291;

// Where the product name's ink lies, inclusive pixel bounds.
constexpr QRect kTitleTextBox{QPoint(6, 5), QPoint(220, 21)};

// The panel's colour down its left edge: a piecewise linear run through these rows.
struct PanelStop
{
    int row;
    QRgb colour;
};
constexpr std::array kPanelStops{
    PanelStop{39, 0xB2D0B2},  // top of the panel, the title band's right-hand colour
    PanelStop{120, 0xA8C6A8}, // the darker part of the glass
    PanelStop{210, 0xD8E6D8}, // the light reflection
    PanelStop{291, 0xC7D8C7}, // bottom of the panel
};

QRgb panelLeftColour(int y)
{
    for (std::size_t i = 1; i < kPanelStops.size(); ++i) {
        const PanelStop& lo = kPanelStops[i - 1];
        const PanelStop& hi = kPanelStops[i];
        if (y <= hi.row) {
            return mix(lo.colour, hi.colour, y - lo.row, hi.row - lo.row);
        }
    }
    return kPanelStops.back().colour;
}

// Strength (in percent towards white) of the faint streaks that cross the panel from lower left to upper right.
// Each streak is a band of constant x + y; the table varies them so they do not look ruled.
int streakPercent(int x, int y)
{
    constexpr int kPeriod = 46;
    constexpr std::array<int, 7> kProfile{2, 4, 6, 7, 6, 4, 2};
    constexpr std::array<int, 5> kWeight{100, 45, 80, 30, 65};
    const int d = x + y;
    const int t = d % kPeriod;
    if (t >= static_cast<int>(kProfile.size())) {
        return 0;
    }
    return kProfile[static_cast<std::size_t>(t)] * kWeight[static_cast<std::size_t>(d / kPeriod) % kWeight.size()] /
           100;
}

QRgb panelColour(int x, int y)
{
    QRgb c = panelLeftColour(y);
    // The darker part of the glass is darkest at the left: towards the right it lightens a little (by up to a
    // fourteenth towards white at row 120, less and less over the 90 rows above and below it).
    const int nearDark = std::max(0, 90 - std::abs(y - 120));
    c = mix(c, kWhite, nearDark * x, 90 * (kBackdropWidth - 1) * 14);
    return mix(c, kWhite, streakPercent(x, y), 100);
}

QRgb backdropColour(int x, int y)
{
    const bool edge = x == 0 || y == 0 || x == kBackdropWidth - 1 || y == kBackdropHeight - 1;
    if (edge) {
        return kBandGreen;
    }
    if (y >= kTitleFirst && y <= kTitleLast) {
        return mix(kTitleLeft, kTitleRight, x - 1, kBackdropWidth - 3);
    }
    if (y >= kPanelFirst && y <= kPanelLast) {
        return panelColour(x, y);
    }
    return kBandGreen;
}

// The product name, its ink scaled to fill kTitleTextBox exactly. The letters keep the font's shapes; the spacing
// between them is opened up first, so that the final fit stretches them only a little.
QPainterPath titlePath()
{
    const QString fontFile = QStringLiteral("/usr/share/fonts/truetype/liberation2/LiberationSerif-Bold.ttf");
    const int id = QFontDatabase::addApplicationFont(fontFile);
    if (id < 0) {
        std::fprintf(stderr, "drawassets: cannot load %s (Debian package fonts-liberation2)\n", qPrintable(fontFile));
        std::exit(1);
    }
    QFont font(QFontDatabase::applicationFontFamilies(id).value(0));
    font.setBold(true);
    font.setPixelSize(100);
    font.setHintingPreference(QFont::PreferNoHinting);

    const QString text = QStringLiteral("CLOCKDECK");
    QPainterPath natural;
    natural.addText(0, 0, font, text);
    const QRectF box = natural.boundingRect();
    // Target proportions: width over height of the ink box. Spread the letters until the path reaches them.
    const qreal aim = qreal(kTitleTextBox.width()) / kTitleTextBox.height();
    const qreal extra = std::max<qreal>(0, (aim * box.height() - box.width()) / (text.size() - 1));
    font.setLetterSpacing(QFont::AbsoluteSpacing, extra);

    QPainterPath spaced;
    spaced.addText(0, 0, font, text);
    const QRectF from = spaced.boundingRect();
    const QRectF to(kTitleTextBox.left(), kTitleTextBox.top(), kTitleTextBox.width(), kTitleTextBox.height());
    QTransform fit;
    fit.translate(to.left(), to.top());
    fit.scale(to.width() / from.width(), to.height() / from.height());
    fit.translate(-from.left(), -from.top());
    return fit.map(spaced);
}

} // namespace

// The backdrop at 1x, 2x or 3x. The bands and the panel keep their 1x pixels, each repeated scale x scale times
// (their edges fall on whole pixels at every scale); the product name is drawn afresh at the scale, so its letters
// are as sharp as the text on the screen.
QImage drawBackdrop(int scale)
{
    QImage img(kBackdropWidth * scale, kBackdropHeight * scale, QImage::Format_RGB32);
    for (int y = 0; y < img.height(); ++y) {
        for (int x = 0; x < img.width(); ++x) {
            img.setPixel(x, y, opaque(backdropColour(x / scale, y / scale)));
        }
    }

    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing, true);
    p.scale(scale, scale);
    p.fillPath(titlePath(), QColor(kTitleText));
    p.end();
    return img.convertToFormat(QImage::Format_RGB888);
}

} // namespace drawassets
