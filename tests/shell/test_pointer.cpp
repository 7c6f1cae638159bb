// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Clockdeck developers
//
// The pointers as the X server shows them (XFixes gives the picture and its hot spot), at the screen scale this
// run was started with: the hot spot lies on the arrow's tip over the backdrop and on the fingertip over a link.
#include "shellfixture.h"

#include <QCursor>
#include <QImage>

#include <X11/Xlib.h>
#include <X11/extensions/Xfixes.h>

using namespace clockdeck;
using namespace clockdeck::test;

namespace {

struct Shown
{
    QImage image;
    QPoint hot;
    int top = -1;     // the topmost row with an opaque pixel
    int tipLeft = -1; // that row's opaque pixels, first and last
    int tipRight = -1;
};

Shown shownPointer(Display* display)
{
    Shown shown;
    XFixesCursorImage* cursor = XFixesGetCursorImage(display);
    if (!cursor)
        return shown;
    shown.image = QImage(cursor->width, cursor->height, QImage::Format_ARGB32);
    for (int y = 0; y < cursor->height; ++y)
        for (int x = 0; x < cursor->width; ++x)
            shown.image.setPixel(x, y, uint(cursor->pixels[y * cursor->width + x]));
    shown.hot = QPoint(cursor->xhot, cursor->yhot);
    XFree(cursor);
    for (int y = 0; y < shown.image.height() && shown.top < 0; ++y)
        for (int x = 0; x < shown.image.width(); ++x)
            if (qAlpha(shown.image.pixel(x, y)) > 127) {
                shown.top = y;
                shown.tipLeft = shown.tipLeft < 0 ? x : shown.tipLeft;
                shown.tipRight = x;
            }
    return shown;
}

} // namespace

class TestPointer : public QObject
{
    Q_OBJECT

private slots:
    void hotSpotOnTheTip_data()
    {
        QTest::addColumn<QString>("over"); // object name of the element; empty: the bare backdrop
        QTest::addColumn<bool>("hand");    // the hand's tip stands right of its picture's left edge, the arrow's at it
        QTest::newRow("window pointer") << "" << false;
        QTest::newRow("link pointer") << "NamePlates(24)" << true;
    }

    void hotSpotOnTheTip()
    {
        QFETCH(QString, over);
        QFETCH(bool, hand);
        Display* display = XOpenDisplay(nullptr);
        QVERIFY2(display, "this test needs an X server: run it under xvfb-run with QT_QPA_PLATFORM=xcb");
        LoadedWindow w;
        QWidget* target = over.isEmpty() ? w.window.get() : w->findChild<QWidget*>(over);
        const QPoint at = over.isEmpty() ? QPoint(372, 250) : target->rect().center();
        QVERIFY(over.isEmpty() ? !w->childAt(at) : target != nullptr);
        QCursor::setPos(target->mapToGlobal(at));

        Shown shown;
        for (int i = 0; i < 100 && !(shown.top >= 0 && (shown.tipLeft > 0) == hand); ++i) {
            QTest::qWait(20);
            shown = shownPointer(display);
        }
        XCloseDisplay(display);
        const qreal ratio = w->devicePixelRatioF();
        const QString seen = QStringLiteral("%1 x %2 picture, tip x %3..%4 on row %5, hot spot %6, %7 at ratio %8")
                                 .arg(shown.image.width())
                                 .arg(shown.image.height())
                                 .arg(shown.tipLeft)
                                 .arg(shown.tipRight)
                                 .arg(shown.top)
                                 .arg(shown.hot.x())
                                 .arg(shown.hot.y())
                                 .arg(ratio);
        QVERIFY2(shown.top >= 0 && (shown.tipLeft > 0) == hand, qPrintable("not the expected pointer: " + seen));
        QVERIFY2(shown.image.width() >= qRound(32 * ratio), qPrintable(seen)); // drawn at the screen's scale
        QVERIFY2(shown.hot.x() >= shown.tipLeft && shown.hot.x() <= shown.tipRight, qPrintable(seen));
        QVERIFY2(shown.hot.y() >= shown.top && shown.hot.y() < shown.top + qMax(1.0, ratio), qPrintable(seen));
    }
};

QTEST_MAIN(TestPointer)
#include "test_pointer.moc"
