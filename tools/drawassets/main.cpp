// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Clockdeck developers

// Draws every picture of the main window into an assets folder: the backdrop, the four title-band buttons and the
// two pointers, each at 1x, 2x and 3x; the window icon (pixel picture, SVG and the hicolor sizes).
//
// Usage: drawassets ASSETS_DIR
//
// Everything is computed pixel by pixel or filled without antialiasing, so the output is the same on every run;
// only the product name in the title band is antialiased, and it is drawn with one named font file so that it
// does not depend on the machine's font substitution.

#include "cursors.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QFont>
#include <QFontDatabase>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <QTransform>

#include <algorithm>
#include <array>
#include <cstdio>
#include <cstdlib>
#include <string_view>
#include <utility>
#include <vector>

namespace {

using clockdeck::assets::HotSpot;

// Colours of the backdrop.
constexpr QRgb kBandGreen = 0x628862;  // frame line and the two dark bands
constexpr QRgb kTitleLeft = 0xC8DBC8;  // title band, left edge
constexpr QRgb kTitleRight = 0xB2D0B2; // title band, right edge
constexpr QRgb kTitleText = 0x008000;  // the product name
// Colours of the button pictures.
constexpr QRgb kFaceTop = 0x005E3E;
constexpr QRgb kFaceBottom = 0x008C5C;
constexpr QRgb kButtonOutline = 0x004A31;
constexpr QRgb kButtonHighlight = 0x01B477;
constexpr QRgb kSymbolEdge = 0xFFEEAA;
constexpr QRgb kWhite = 0xFFFFFF;
constexpr QRgb kBarYellow = 0xFFCC00;
constexpr QRgb kExitRed = 0xFF0000;
// The window icon.
constexpr QRgb kIconGreen = 0x008000;

constexpr int kBackdropWidth = 380;
constexpr int kBackdropHeight = 324;

// Rows of the backdrop, inclusive.
constexpr int kTitleFirst = 1;
constexpr int kTitleLast = 24;
constexpr int kPanelFirst = 39;
constexpr int kPanelLast = 291;

// Where the product name's ink lies, inclusive pixel bounds.
constexpr QRect kTitleTextBox{QPoint(6, 5), QPoint(220, 21)};

// a + (b - a) * num / den per channel, rounded to nearest.
QRgb mix(QRgb a, QRgb b, int num, int den)
{
    auto channel = [&](int ca, int cb) { return ca + ((cb - ca) * 2 * num + (cb >= ca ? den : -den)) / (2 * den); };
    return qRgb(channel(qRed(a), qRed(b)), channel(qGreen(a), qGreen(b)), channel(qBlue(a), qBlue(b)));
}

QRgb opaque(QRgb rgb)
{
    return rgb | 0xFF000000u;
}

// ---------------------------------------------------------------------------------------------------------------
// Backdrop

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
        if (y <= hi.row)
            return mix(lo.colour, hi.colour, y - lo.row, hi.row - lo.row);
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
    if (t >= static_cast<int>(kProfile.size()))
        return 0;
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
    if (edge)
        return kBandGreen;
    if (y >= kTitleFirst && y <= kTitleLast)
        return mix(kTitleLeft, kTitleRight, x - 1, kBackdropWidth - 3);
    if (y >= kPanelFirst && y <= kPanelLast)
        return panelColour(x, y);
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

// The backdrop at 1x, 2x or 3x. The bands and the panel keep their 1x pixels, each repeated scale x scale times
// (their edges fall on whole pixels at every scale); the product name is drawn afresh at the scale, so its letters
// are as sharp as the text on the screen.
QImage drawBackdrop(int scale)
{
    QImage img(kBackdropWidth * scale, kBackdropHeight * scale, QImage::Format_RGB32);
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x)
            img.setPixel(x, y, opaque(backdropColour(x / scale, y / scale)));

    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing, true);
    p.scale(scale, scale);
    p.fillPath(titlePath(), QColor(kTitleText));
    p.end();
    return img.convertToFormat(QImage::Format_RGB888);
}

// A pixel picture at 2x or 3x: every pixel a block, so edges stay hard (a smooth upscale is what looked soft).
QImage blocks(const QImage& img, int scale)
{
    return img.scaled(img.size() * scale, Qt::IgnoreAspectRatio, Qt::FastTransformation);
}

// ---------------------------------------------------------------------------------------------------------------
// Picture buttons

// A small picture built from a mask: which pixels belong to a shape.
using Mask = std::vector<std::vector<bool>>;

Mask emptyMask(int w, int h)
{
    return Mask(static_cast<std::size_t>(h), std::vector<bool>(static_cast<std::size_t>(w), false));
}

bool at(const Mask& m, int x, int y)
{
    if (y < 0 || y >= static_cast<int>(m.size()) || x < 0 || x >= static_cast<int>(m[0].size()))
        return false;
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
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            if (!at(shape, x, y))
                for (int dy = -1; dy <= 1; ++dy)
                    for (int dx = -1; dx <= 1; ++dx)
                        if (at(shape, x + dx, y + dy))
                            set(ring, x, y);
    return ring;
}

// Pixels of a shape that touch the outside with an edge (the shape's own border).
Mask borderOf(const Mask& shape)
{
    const int h = static_cast<int>(shape.size());
    const int w = static_cast<int>(shape[0].size());
    Mask border = emptyMask(w, h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            if (at(shape, x, y) &&
                (!at(shape, x - 1, y) || !at(shape, x + 1, y) || !at(shape, x, y - 1) || !at(shape, x, y + 1)))
                set(border, x, y);
    return border;
}

void paint(QImage& img, const Mask& m, QRgb colour)
{
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x)
            if (at(m, x, y))
                img.setPixel(x, y, opaque(colour));
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
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            set(body, x, y);
    // A rounding of radius 3: cut 3, 1 and 1 pixels from the first three rows at that corner.
    constexpr std::array<int, 3> kCut{3, 1, 1};
    if (corner != Corner::None) {
        for (int y = 0; y < static_cast<int>(kCut.size()); ++y)
            for (int i = 0; i < kCut[static_cast<std::size_t>(y)]; ++i) {
                const int x = corner == Corner::TopLeft ? i : w - 1 - i;
                body[static_cast<std::size_t>(y)][static_cast<std::size_t>(x)] = false;
            }
    }

    QImage img(w, h, QImage::Format_RGB32);
    const Mask outline = borderOf(body);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            QRgb c;
            if (!at(body, x, y))
                c = backdrop.pixel(place.x() + x, place.y() + y);
            else if (at(outline, x, y))
                c = kButtonOutline;
            else
                c = mix(kFaceTop, kFaceBottom, y - 1, h - 3);
            img.setPixel(x, y, opaque(c));
        }

    const int row = highlight == Highlight::Top ? 1 : h - 3;
    for (int x = 0; x < w; ++x)
        if (at(body, x, row) && !at(outline, x, row))
            img.setPixel(x, row, opaque(kButtonHighlight));
    return img;
}

// Image4, append or open the results: a white plus with two-pixel arms, a pale yellow edge round it and the dark
// outline green round that, so it stands out from the face.
QImage drawResultsButton(const QImage& backdrop)
{
    QImage img = drawButtonBase(26, 20, Corner::TopLeft, Highlight::Top, QPoint(244, 3), backdrop);
    Mask plus = emptyMask(img.width(), img.height());
    for (int y = 5; y <= 12; ++y)
        for (int x = 8; x <= 15; ++x)
            if ((x >= 11 && x <= 12) || (y >= 8 && y <= 9))
                set(plus, x, y);
    const Mask edge = ringAround(plus);
    Mask edged = plus;
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x)
            if (at(edge, x, y))
                set(edged, x, y);
    paint(img, ringAround(edged), kButtonOutline);
    paint(img, edge, kSymbolEdge);
    paint(img, plus, kWhite);
    return img;
}

// Image3, copy: the word COPY in white capitals from a 5 x 8 pixel alphabet with two-pixel stems.
QImage drawCopyButton(const QImage& backdrop)
{
    QImage img = drawButtonBase(45, 20, Corner::None, Highlight::Top, QPoint(271, 3), backdrop);
    using Glyph = std::array<std::string_view, 8>;
    constexpr std::array<Glyph, 4> kLetters{{
        {".####", "##...", "##...", "##...", "##...", "##...", "##...", ".####"}, // C
        {".###.", "##.##", "##.##", "##.##", "##.##", "##.##", "##.##", ".###."}, // O
        {"####.", "##.##", "##.##", "##.##", "####.", "##...", "##...", "##..."}, // P
        {"##.##", "##.##", "##.##", ".###.", "..##.", "..##.", "..##.", "..##."}, // Y
    }};
    constexpr int kLeft = 11;
    constexpr int kTop = 6;
    constexpr int kAdvance = 7; // five pixels of letter, two of gap: COPY spans x 11 to 36
    for (std::size_t i = 0; i < kLetters.size(); ++i)
        for (int row = 0; row < 8; ++row)
            for (int col = 0; col < 5; ++col)
                if (kLetters[i][static_cast<std::size_t>(row)][static_cast<std::size_t>(col)] == '#')
                    img.setPixel(kLeft + static_cast<int>(i) * kAdvance + col, kTop + row, opaque(kWhite));
    return img;
}

// Image1, minimise to the tray: a yellow bar outlined in the dark outline green.
QImage drawMinimiseButton(const QImage& backdrop)
{
    QImage img = drawButtonBase(26, 19, Corner::TopLeft, Highlight::NearBottom, QPoint(322, 4), backdrop);
    Mask bar = emptyMask(img.width(), img.height());
    for (int y = 12; y <= 13; ++y)
        for (int x = 6; x <= 14; ++x)
            set(bar, x, y);
    paint(img, ringAround(bar), kButtonOutline);
    paint(img, bar, kBarYellow);
    return img;
}

// Image2, exit: a red X with two-pixel strokes and a pale yellow edge around it.
QImage drawExitButton(const QImage& backdrop)
{
    QImage img = drawButtonBase(25, 19, Corner::TopRight, Highlight::NearBottom, QPoint(351, 4), backdrop);
    constexpr int kLeft = 10;
    constexpr int kRight = 16;
    constexpr int kTop = 4;
    constexpr int kBottom = 11;
    Mask cross = emptyMask(img.width(), img.height());
    for (int y = kTop; y <= kBottom; ++y) {
        // The stroke's left pixel walks from kLeft to kRight - 1 over the rows; the other stroke mirrors it.
        const int x = kLeft + (y - kTop) * (kRight - 1 - kLeft) / (kBottom - kTop);
        for (int px : {x, x + 1, kLeft + kRight - x, kLeft + kRight - x - 1})
            set(cross, px, y);
    }
    paint(img, ringAround(cross), kSymbolEdge);
    paint(img, cross, kExitRed);
    return img;
}

// ---------------------------------------------------------------------------------------------------------------
// Window icon

// A solid square with three cut-outs: a notch in the left edge (rows 1 to 15, deepest, 8 pixels, at row 8), a
// 14 x 14 hole (x and y 9 to 22) and a notch rising from the bottom edge (x 16 to 30 on the last row, apex at
// x 23, y 24). These are the pixels of the 32 x 32 picture.
bool iconPixel(int x, int y)
{
    if (x < 8 - std::abs(y - 8))
        return false;
    if (x >= 9 && x <= 22 && y >= 9 && y <= 22)
        return false;
    if (y >= 24 && std::abs(x - 23) <= y - 24)
        return false;
    return true;
}

// The same shape as polygons in a 32 x 32 box, for the SVG and the larger theme sizes. No pixel centre lies on an
// edge, and a pixel is removed exactly when its centre lies in a cut-out; main() checks that against iconPixel().
using Outline = std::vector<QPointF>;
const std::array<Outline, 3> kIconCutOuts{{
    {{0, 0.25}, {8.25, 8.5}, {0, 16.75}}, // left notch
    {{9, 9}, {23, 9}, {23, 23}, {9, 23}}, // square hole
    {{15.5, 32}, {23.5, 24}, {31.5, 32}}, // bottom notch
}};

QPainterPath iconPath()
{
    QPainterPath path;
    path.setFillRule(Qt::OddEvenFill);
    path.addRect(0, 0, 32, 32);
    for (const Outline& cut : kIconCutOuts) {
        path.addPolygon(QPolygonF(QList<QPointF>(cut.begin(), cut.end())));
        path.closeSubpath();
    }
    return path;
}

bool iconPathMatchesPixels()
{
    const QPainterPath path = iconPath();
    for (int y = 0; y < 32; ++y)
        for (int x = 0; x < 32; ++x)
            if (path.contains(QPointF(x + 0.5, y + 0.5)) != iconPixel(x, y))
                return false;
    return true;
}

QImage drawIcon32()
{
    QImage img(32, 32, QImage::Format_ARGB32);
    for (int y = 0; y < 32; ++y)
        for (int x = 0; x < 32; ++x)
            img.setPixel(x, y, iconPixel(x, y) ? opaque(kIconGreen) : 0u);
    return img;
}

QByteArray iconSvg()
{
    QByteArray d = "M0 0H32V32H0Z";
    for (const Outline& cut : kIconCutOuts) {
        for (std::size_t i = 0; i < cut.size(); ++i)
            d += (i == 0 ? " M" : " L") + QByteArray::number(cut[i].x()) + ' ' + QByteArray::number(cut[i].y());
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
    if (size == 32)
        return drawIcon32();
    QImage img(size, size, QImage::Format_ARGB32);
    img.fill(Qt::transparent);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing, true);
    p.scale(size / 32.0, size / 32.0);
    p.fillPath(iconPath(), QColor(kIconGreen));
    p.end();
    return img;
}

// ---------------------------------------------------------------------------------------------------------------
// Pointers

QImage fromArt(const std::array<std::string_view, 32>& art, std::string_view keys, const std::vector<QRgb>& colours)
{
    QImage img(32, 32, QImage::Format_ARGB32);
    img.fill(Qt::transparent);
    for (int y = 0; y < 32; ++y) {
        const std::string_view row = art[static_cast<std::size_t>(y)];
        for (int x = 0; x < static_cast<int>(row.size()) && x < 32; ++x) {
            const std::size_t k = keys.find(row[static_cast<std::size_t>(x)]);
            if (k != std::string_view::npos)
                img.setPixel(x, y, opaque(colours[k]));
        }
    }
    return img;
}

// The window pointer: a large white arrow pointing to the upper left, black outline, with a square see-through
// window in its middle. Head: the triangle x + y <= 17; shaft: the band |x - y| <= 3 down to (19, 19).
QImage drawWindowPointer()
{
    auto inArrow = [](int x, int y) {
        if (x < 0 || y < 0 || x > 19 || y > 19)
            return false;
        if (x >= 5 && x <= 8 && y >= 5 && y <= 8) // the see-through window, 4 x 4
            return false;
        return x + y <= 17 || std::abs(x - y) <= 3;
    };
    QImage img(32, 32, QImage::Format_ARGB32);
    img.fill(Qt::transparent);
    for (int y = 0; y < 32; ++y)
        for (int x = 0; x < 32; ++x) {
            if (!inArrow(x, y))
                continue;
            const bool edge = !inArrow(x - 1, y) || !inArrow(x + 1, y) || !inArrow(x, y - 1) || !inArrow(x, y + 1);
            img.setPixel(x, y, edge ? qRgb(0, 0, 0) : qRgb(255, 255, 255));
        }
    return img;
}

// The link pointer: a hand pointing up with the index finger, white with a black outline and grey inner lines,
// and a dark blue cuff. B black, G grey, W white, L light blue, N navy.
QImage drawLinkPointer()
{
    constexpr std::array<std::string_view, 32> kArt{
        "",
        "...........BBB",
        "..........BWWWB",
        "..........BWWWB",
        "..........BWWWB",
        "..........BWWWB",
        "..........BWWWB",
        "..........BWWWBBBB",
        "..........BWWWGWWWBBBB",
        "..........BWWWGWWWGWWWBBB",
        "..........BWWWGWWWGWWWGWWB",
        "......BBB.BWWWGWWWGWWWGWWB",
        ".....BWWWBBWWWGWWWGWWWGWWB",
        ".....BWWWGBWWWWWWWWWWWWWWB",
        "......BWWWGWWWWWWWWWWWWWWB",
        "......BWWWWWWWWWWWWWWWWWGB",
        ".......BWWWWWWWWWWWWWWWWGB",
        "........BWWWWWWWWWWWWWWGB",
        ".........BWWWWWWWWWWWWWGB",
        "..........BWWWWWWWWWWWGB",
        "..........BWWWWWWWWWWWGB",
        ".........BBBBBBBBBBBBBBBB",
        ".........BLLLLLLLLLLLLLNB",
        ".........BLLLLLLLLLLLLLNB",
        ".........BNNNNNNNNNNNNNNB",
        ".........BBBBBBBBBBBBBBBB",
    };
    return fromArt(kArt, "BGWLN", {0x000000, 0x808080, 0xFFFFFF, 0x0000FF, 0x000080});
}

// ---------------------------------------------------------------------------------------------------------------

bool save(const QImage& img, const QString& path)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    if (!img.save(path, "PNG")) {
        std::fprintf(stderr, "drawassets: cannot write %s\n", qPrintable(path));
        return false;
    }
    return true;
}

bool hotSpotOpaque(const QImage& img, HotSpot hs)
{
    return qAlpha(img.pixel(hs.x, hs.y)) == 255;
}

} // namespace

int main(int argc, char** argv)
{
    // Fonts need a GUI application, never a screen.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: drawassets ASSETS_DIR\n");
        return 2;
    }
    const QDir out(QString::fromLocal8Bit(argv[1]));

    const QImage backdrop = drawBackdrop(1);
    const QImage windowPointer = drawWindowPointer();
    const QImage linkPointer = drawLinkPointer();
    if (!hotSpotOpaque(windowPointer, clockdeck::assets::kWindowPointerHotSpot) ||
        !hotSpotOpaque(linkPointer, clockdeck::assets::kLinkPointerHotSpot)) {
        std::fprintf(stderr, "drawassets: a pointer's hot spot lies on a transparent pixel\n");
        return 1;
    }
    if (!iconPathMatchesPixels()) {
        std::fprintf(stderr, "drawassets: the icon's polygons and its pixel picture disagree\n");
        return 1;
    }

    // Every picture of the window at 1x, 2x and 3x, under Qt's names for them (backdrop.png, backdrop@2x.png,
    // backdrop@3x.png), so that the window loads the one that fits the screen's device pixel ratio.
    const std::pair<const char*, QImage> pictures[] = {
        {"image1", drawMinimiseButton(backdrop)}, {"image2", drawExitButton(backdrop)},
        {"image3", drawCopyButton(backdrop)},     {"image4", drawResultsButton(backdrop)},
        {"cursor-window", windowPointer},         {"cursor-link", linkPointer},
    };
    bool ok = true;
    for (int scale = 1; scale <= 3; ++scale) {
        const QString suffix = scale == 1 ? QStringLiteral(".png") : QStringLiteral("@%1x.png").arg(scale);
        ok = save(scale == 1 ? backdrop : drawBackdrop(scale), out.filePath("backdrop" + suffix)) && ok;
        for (const auto& [name, img] : pictures)
            ok = save(scale == 1 ? img : blocks(img, scale), out.filePath(QLatin1String(name) + suffix)) && ok;
    }
    ok = save(drawIcon32(), out.filePath("icon32.png")) && ok;
    for (int size : {32, 48, 64, 128, 256})
        ok = save(drawIcon(size), out.filePath(QStringLiteral("icons/%1/net.tarnwick.Clockdeck.png").arg(size))) && ok;

    QFile svg(out.filePath("net.tarnwick.Clockdeck.svg"));
    if (!svg.open(QIODevice::WriteOnly) || svg.write(iconSvg()) < 0) {
        std::fprintf(stderr, "drawassets: cannot write %s\n", qPrintable(svg.fileName()));
        ok = false;
    }
    return ok ? 0 : 1;
}
