// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Clockdeck developers
// The link pointer as the X server shows it (XFixes gives the picture and its hot spot) at this run's screen scale.
#include "shellfixture.h"

#include <QCursor>

#include <X11/Xlib.h>
#include <X11/extensions/Xfixes.h>

using namespace clockdeck::test;

class TestPointer : public QObject
{
    Q_OBJECT

private slots:
    void handHotSpotOnTheFingertip()
    {
        Display* display = XOpenDisplay(nullptr);
        QVERIFY2(display, "this test needs an X server: run it under xvfb-run with QT_QPA_PLATFORM=xcb");
        LoadedWindow w;
        QCursor::setPos(w->namePlate(24)->mapToGlobal(QPoint(20, 7)));
        int top = -1, tipLeft = -1, tipRight = -1;
        QPoint hot;
        QSize size;
        // The hand's fingertip stands right of its picture's left edge; wait until the server shows the hand.
        for (int wait = 0; wait < 100 && tipLeft <= 0; ++wait) {
            QTest::qWait(20);
            XFixesCursorImage* cursor = XFixesGetCursorImage(display);
            QVERIFY(cursor);
            hot = QPoint(cursor->xhot, cursor->yhot);
            size = QSize(cursor->width, cursor->height);
            top = tipLeft = tipRight = -1; // the topmost row with an opaque pixel, its first and last one
            const int width = cursor->width;
            for (int i = 0; i < width * cursor->height && (top < 0 || i / width == top); ++i)
                if (qAlpha(uint(cursor->pixels[i])) > 127) {
                    top = i / width;
                    tipLeft = tipLeft < 0 ? i % width : tipLeft;
                    tipRight = i % width;
                }
            XFree(cursor);
        }
        const qreal ratio = w->devicePixelRatioF();
        const QByteArray seen =
            QString::asprintf("tip x %d..%d on row %d, hot spot %d, %d, size %d x %d at ratio %g", tipLeft, tipRight,
                              top, hot.x(), hot.y(), size.width(), size.height(), ratio)
                .toUtf8();
        QVERIFY2(tipLeft > 0, "the link pointer never showed: " + seen);
        QVERIFY2(hot.x() >= tipLeft && hot.x() <= tipRight && hot.y() >= top && hot.y() < top + qMax(1.0, ratio), seen);
        // As large as the system's 32-pixel pointer at this scale: 48 at 150 %, not the 64-pixel 2x picture.
        QVERIFY2(size == QSize(qRound(32 * ratio), qRound(32 * ratio)), seen);
        XCloseDisplay(display);
    }
};

QTEST_MAIN(TestPointer)
#include "test_pointer.moc"
