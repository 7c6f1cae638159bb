// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Clockdeck developers
#include "pictures.h"

#include "assets/cursors.h"

#include <QImageReader>
#include <QString>

#include <algorithm>

#ifdef CLOCKDECK_HAVE_ASSETS
// Resources in a static library are only linked in when something names them.
static void initAssets()
{
    Q_INIT_RESOURCE(clockdeck);
}
#else
static void initAssets() {}
#endif

namespace clockdeck::pictures {

namespace {

// The picture drawn for the screen's device pixel ratio: name@2x.png or name@3x.png where the ratio asks for more
// than 1x and such a file exists, else name.png. Only that one file is read; QImageReader gives the image the
// ratio of its name, so it is painted at its device-independent size. Safe on any thread.
QImage read(const QString& name, qreal ratio)
{
    static const bool ready = (initAssets(), true);
    Q_UNUSED(ready);
    // Qt's own PNG reader, named outright: a reader left to detect the format loads every image format plugin (and
    // the libraries behind them) to ask it first, which costs start-up several milliseconds.
    QImageReader reader(qt_findAtNxFile(QStringLiteral(":/assets/") + name, ratio), "png");
    reader.setAutoDetectImageFormat(false);
    return reader.read();
}

QPixmap load(const QString& name, qreal ratio = 1.0)
{
    return QPixmap::fromImage(read(name, ratio));
}

QCursor pointer(const QString& name, assets::HotSpot hot, qreal ratio)
{
    QPixmap shape = load(name, ratio);
    if (shape.isNull()) {
        return QCursor(Qt::ArrowCursor);
    }
    // As large as the system's pointer beside it: round(32 x scale) device pixels, scaled down from the next larger
    // picture where the scale falls between them (48 from the 64-pixel picture at 150 %).
    const int size = std::max(1, qRound(assets::PointerSize * ratio));
    if (shape.width() != size) {
        shape = shape.scaled(size, size, Qt::KeepAspectRatio, Qt::SmoothTransformation);
        shape.setDevicePixelRatio(ratio);
    }
    // The hot spot is given in the 32-pixel picture's pixels: scaled with the picture, it stays on the same point of
    // the drawing at every ratio.
    const qreal scale = qreal(shape.width()) / assets::PointerSize;
    return QCursor(shape, qRound(hot.x * scale), qRound(hot.y * scale));
}

} // namespace

std::future<QImage> decodeBackdrop(qreal devicePixelRatio)
{
    // Either policy: where no thread can be had, get() decodes it on the spot.
    return std::async(std::launch::async | std::launch::deferred, read, QStringLiteral("backdrop.png"),
                      devicePixelRatio);
}

QPixmap button(int number, qreal devicePixelRatio)
{
    return load(QStringLiteral("image%1.png").arg(number), devicePixelRatio);
}

QIcon icon()
{
    QIcon result;
    // The pixel picture at 32, and renderings up to 64 for task bars and 200 % screens. Not 128 and 256: the window
    // system receives every size on each start (about 320 KB more to decode and send before the window maps), and
    // launchers take the large ones from the installed icon theme instead.
    const QPixmap small = load(QStringLiteral("icon32.png"));
    if (!small.isNull()) {
        result.addPixmap(small);
    }
    for (int size : {48, 64}) {
        const QPixmap large = load(QStringLiteral("icons/%1/net.tarnwick.Clockdeck.png").arg(size));
        if (!large.isNull()) {
            result.addPixmap(large);
        }
    }
    return result;
}

QCursor windowPointer(qreal devicePixelRatio)
{
    return pointer(QStringLiteral("cursor-window.png"), assets::WindowPointerHotSpot, devicePixelRatio);
}

QCursor linkPointer(qreal devicePixelRatio)
{
    return pointer(QStringLiteral("cursor-link.png"), assets::LinkPointerHotSpot, devicePixelRatio);
}

} // namespace clockdeck::pictures
