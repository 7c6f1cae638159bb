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
#include "draw.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QImage>

#include <cstdio>
#include <utility>

namespace {

using clockdeck::assets::HotSpot;
using namespace drawassets;

// A pixel picture at 2x or 3x: every pixel a block, so edges stay hard (a smooth upscale is what looked soft).
QImage blocks(const QImage& img, int scale)
{
    return img.scaled(img.size() * scale, Qt::IgnoreAspectRatio, Qt::FastTransformation);
}

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
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QGuiApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: drawassets ASSETS_DIR\n");
        return 2;
    }
    const QDir out(QString::fromLocal8Bit(argv[1]));

    const QImage backdrop = drawBackdrop(1);
    const QImage windowPointer = drawWindowPointer();
    const QImage linkPointer = drawLinkPointer();
    if (!hotSpotOpaque(windowPointer, clockdeck::assets::WindowPointerHotSpot) ||
        !hotSpotOpaque(linkPointer, clockdeck::assets::LinkPointerHotSpot)) {
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
        for (const auto& [name, img] : pictures) {
            ok = save(scale == 1 ? img : blocks(img, scale), out.filePath(QLatin1String(name) + suffix)) && ok;
        }
    }
    ok = save(drawIcon32(), out.filePath("icon32.png")) && ok;
    for (int size : {16, 22, 24, 32, 48, 64, 128, 256}) {
        ok = save(drawIcon(size), out.filePath(QStringLiteral("icons/%1/net.tarnwick.Clockdeck.png").arg(size))) && ok;
    }

    QFile svg(out.filePath("net.tarnwick.Clockdeck.svg"));
    if (!svg.open(QIODevice::WriteOnly) || svg.write(iconSvg()) < 0) {
        std::fprintf(stderr, "drawassets: cannot write %s\n", qPrintable(svg.fileName()));
        ok = false;
    }
    return ok ? 0 : 1;
}
