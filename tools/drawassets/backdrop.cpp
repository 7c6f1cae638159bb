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
constexpr QRgb BandGreen = 0x628862;  // frame line and the two dark bands
constexpr QRgb TitleLeft = 0xC8DBC8;  // title band, left edge
constexpr QRgb TitleRight = 0xB2D0B2; // title band, right edge
constexpr QRgb TitleText = 0x008000;  // the product name

constexpr int BackdropWidth = 380;
constexpr int BackdropHeight = 324;

// Rows of the backdrop, inclusive.
constexpr int TitleFirst = 1;
constexpr int TitleLast = 24;
constexpr int PanelFirst = 39;
constexpr int PanelLast = 291;

// Where the product name's ink lies, inclusive pixel bounds.
constexpr QRect TitleTextBox{QPoint(6, 5), QPoint(220, 21)};

// The panel's colour down its left edge: a piecewise linear run through these rows.
struct PanelStop
{
    int row;
    QRgb colour;
};
constexpr std::array PanelStops{
    PanelStop{39, 0xB2D0B2},  // top of the panel, the title band's right-hand colour
    PanelStop{120, 0xA8C6A8}, // the darker part of the glass
    PanelStop{210, 0xD8E6D8}, // the light reflection
    PanelStop{291, 0xC7D8C7}, // bottom of the panel
};

QRgb panelLeftColour(int y)
{
    for (std::size_t i = 1; i < PanelStops.size(); ++i) {
        const PanelStop& lo = PanelStops[i - 1];
        const PanelStop& hi = PanelStops[i];
        if (y <= hi.row) {
            return mix(lo.colour, hi.colour, y - lo.row, hi.row - lo.row);
        }
    }
    return PanelStops.back().colour;
}

// Strength (in percent towards white) of the faint streaks that cross the panel from lower left to upper right.
// Each streak is a band of constant x + y; the table varies them so they do not look ruled.
int streakPercent(int x, int y)
{
    constexpr int Period = 46;
    constexpr std::array<int, 7> Profile{2, 4, 6, 7, 6, 4, 2};
    constexpr std::array<int, 5> Weight{100, 45, 80, 30, 65};
    const int d = x + y;
    const int t = d % Period;
    if (t >= static_cast<int>(Profile.size())) {
        return 0;
    }
    return Profile[static_cast<std::size_t>(t)] * Weight[static_cast<std::size_t>(d / Period) % Weight.size()] / 100;
}

QRgb panelColour(int x, int y)
{
    QRgb c = panelLeftColour(y);
    // The darker part of the glass is darkest at the left: towards the right it lightens a little (by up to a
    // fourteenth towards white at row 120, less and less over the 90 rows above and below it).
    const int nearDark = std::max(0, 90 - std::abs(y - 120));
    c = mix(c, White, nearDark * x, 90 * (BackdropWidth - 1) * 14);
    return mix(c, White, streakPercent(x, y), 100);
}

QRgb backdropColour(int x, int y)
{
    const bool edge = x == 0 || y == 0 || x == BackdropWidth - 1 || y == BackdropHeight - 1;
    if (edge) {
        return BandGreen;
    }
    if (y >= TitleFirst && y <= TitleLast) {
        return mix(TitleLeft, TitleRight, x - 1, BackdropWidth - 3);
    }
    if (y >= PanelFirst && y <= PanelLast) {
        return panelColour(x, y);
    }
    return BandGreen;
}

// The product name, its ink scaled to fill TitleTextBox exactly. The letters keep the font's shapes; the spacing
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
    const qreal aim = qreal(TitleTextBox.width()) / TitleTextBox.height();
    const qreal extra = std::max<qreal>(0, (aim * box.height() - box.width()) / (text.size() - 1));
    font.setLetterSpacing(QFont::AbsoluteSpacing, extra);

    QPainterPath spaced;
    spaced.addText(0, 0, font, text);
    const QRectF from = spaced.boundingRect();
    const QRectF to(TitleTextBox.left(), TitleTextBox.top(), TitleTextBox.width(), TitleTextBox.height());
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
    QImage img(BackdropWidth * scale, BackdropHeight * scale, QImage::Format_RGB32);
    for (int y = 0; y < img.height(); ++y) {
        for (int x = 0; x < img.width(); ++x) {
            img.setPixel(x, y, opaque(backdropColour(x / scale, y / scale)));
        }
    }

    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing, true);
    p.scale(scale, scale);
    p.fillPath(titlePath(), QColor(TitleText));
    p.end();
    return img.convertToFormat(QImage::Format_RGB888);
}

} // namespace drawassets
