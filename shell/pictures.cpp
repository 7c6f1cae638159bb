// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Clockdeck developers
#include "pictures.h"

#include "assets/cursors.h"

#include <QString>

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

QPixmap load(const QString& name)
{
    static const bool ready = (initAssets(), true);
    Q_UNUSED(ready);
    return QPixmap(QStringLiteral(":/assets/") + name);
}

QCursor pointer(const QString& name, assets::HotSpot hot, qreal ratio)
{
    QPixmap shape = load(name);
    if (shape.isNull()) {
        return QCursor(Qt::ArrowCursor);
    }
    if (ratio > 1.0) {
        const int side = qRound(shape.width() * ratio);
        shape = shape.scaled(side, side, Qt::KeepAspectRatio, Qt::SmoothTransformation);
        shape.setDevicePixelRatio(ratio);
    }
    return QCursor(shape, hot.x, hot.y);
}

} // namespace

QPixmap backdrop()
{
    return load(QStringLiteral("backdrop.png"));
}

QPixmap button(int number)
{
    return load(QStringLiteral("image%1.png").arg(number));
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
    return pointer(QStringLiteral("cursor-window.png"), assets::kWindowPointerHotSpot, devicePixelRatio);
}

QCursor linkPointer(qreal devicePixelRatio)
{
    return pointer(QStringLiteral("cursor-link.png"), assets::kLinkPointerHotSpot, devicePixelRatio);
}

} // namespace clockdeck::pictures
