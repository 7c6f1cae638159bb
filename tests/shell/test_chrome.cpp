// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Clockdeck developers
//
// The window's own chrome: links, dragging, minimising, and the picture buttons' press nudge and signals.
#include "shellfixture.h"

#include "shell/labelstyles.h"
#include "shell/picturebutton.h"

#include <QApplication>
#include <QFileInfo>
#include <QScreen>
#include <QSignalSpy>

using namespace clockdeck;
using namespace clockdeck::test;

namespace {

void press(QWidget* w, Qt::MouseButton button, QPoint at)
{
    QTest::mousePress(w, button, {}, at);
}

void release(QWidget* w, Qt::MouseButton button, QPoint at)
{
    QTest::mouseRelease(w, button, {}, at);
}

// A mouse move with exactly these buttons held, as the window system reports it.
void moveWith(QWidget* w, Qt::MouseButtons held, QPointF at)
{
    QMouseEvent event(QEvent::MouseMove, at, w->mapToGlobal(at), Qt::NoButton, held, Qt::NoModifier);
    QApplication::sendEvent(w, &event);
}

} // namespace

class TestChrome : public QObject
{
    Q_OBJECT

private slots:
    void loadCentresAndShows();
    void links_data();
    void links();
    void drag_data();
    void drag();
    void dragFollowsPointerWithoutWindowManager();
    void dragAsksTheWindowSystemOncePerPress();
    void minimiseHides_data();
    void minimiseHides();
    void nudgesStayBalanced_data();
    void nudgesStayBalanced();
    void resultsReleaseComesAfterTheNudge();
    void buttonSignals();
    void doubleClicksCountOnce();
};

// ---- Load: centred on the screen and shown, the placeholders painted before the probe replaced them ------------

void TestChrome::loadCentresAndShows()
{
    RecordingSink sink;
    Form1 window(&sink);
    window.move(3, 7);
    QVERIFY(!window.isVisible());
    // What the window showed when the load let it paint: the probe had not run yet.
    QString paintedIdentity;
    struct PaintWatch : QObject
    {
        Form1* window;
        QString* seen;
        bool eventFilter(QObject*, QEvent* event) override
        {
            if (event->type() == QEvent::Paint && seen->isEmpty()) {
                *seen = window->fieldLabel(Field::CPU_Identity)->text();
            }
            return false;
        }
    } watch;
    watch.window = &window;
    watch.seen = &paintedIdentity;
    window.fieldLabel(Field::CPU_Identity)->installEventFilter(&watch);

    window.load(profile());

    QVERIFY(window.isVisible());
    const QRect screen = window.screen()->geometry();
    QCOMPARE(window.geometry().center(), screen.center());
    QCOMPARE(window.size(), QSize(379, 323));
    QCOMPARE(paintedIdentity, QStringLiteral("CPU Model #"));
    QCOMPARE(window.fieldLabel(Field::CPU_Identity)->text(), QStringLiteral("AMD Athlon(tm) 64 Processor 3500+"));
}

// ---- Links: yellow while pressed, light green after; a page opens only for a completed click -----------------

void TestChrome::links_data()
{
    QTest::addColumn<int>("plate");
    QTest::addColumn<int>("button");
    QTest::addColumn<bool>("releaseInside");
    QTest::addColumn<QString>("opened"); // empty: nothing opened

    QTest::newRow("forum, click") << 24 << int(Qt::LeftButton) << true << "https://community.amd.com/";
    QTest::newRow("about page, click") << 25 << int(Qt::LeftButton) << true << "about";
    QTest::newRow("support, click") << 26 << int(Qt::LeftButton) << true
                                    << "https://www.amd.com/en/support/download/drivers.html";
    QTest::newRow("released outside: no page") << 24 << int(Qt::LeftButton) << false << "";
    QTest::newRow("right button: no page") << 25 << int(Qt::RightButton) << true << "";
    QTest::newRow("other name plate: nothing") << 16 << int(Qt::LeftButton) << true << "";
}

void TestChrome::links()
{
    QFETCH(int, plate);
    QFETCH(int, button);
    QFETCH(bool, releaseInside);
    QFETCH(QString, opened);

    LoadedWindow w;
    QList<QUrl> pages;
    w->setUrlOpener([&pages](const QUrl& url) { pages.append(url); });
    SkinLabel* label = w->namePlate(plate);
    const QColor before = label->colour();
    const bool isLink = plate >= 24;

    press(label, Qt::MouseButton(button), label->rect().center());
    QCOMPARE(label->colour(), isLink ? LinkPressedColour : before);
    QVERIFY(pages.isEmpty()); // nothing opens on the press
    release(label, Qt::MouseButton(button), releaseInside ? label->rect().center() : QPoint(-20, 200));

    QCOMPARE(label->colour(), isLink ? LinkColour : before);
    if (opened.isEmpty()) {
        QVERIFY(pages.isEmpty());
    } else if (opened == QLatin1String("about")) {
        // Clockdeck's own page ships with it, so the link always reaches a page that exists.
        QCOMPARE(pages.size(), 1);
        QVERIFY(pages[0].isLocalFile());
        QVERIFY2(QFileInfo(pages[0].toLocalFile()).isFile(), qPrintable(pages[0].toString()));
        QVERIFY(pages[0].toLocalFile().endsWith(QLatin1String("/about.html")));
    } else {
        QCOMPARE(pages, QList<QUrl>{QUrl(opened)});
    }
}

// ---- Dragging: only exactly the left button, only below the topmost row, only on the bare backdrop ----------

void TestChrome::drag_data()
{
    QTest::addColumn<QString>("under"); // what the press lands on; "" for the bare backdrop
    QTest::addColumn<int>("held");
    QTest::addColumn<qreal>("y");
    QTest::addColumn<bool>("moves");

    const int left = Qt::LeftButton;
    QTest::newRow("left on the backdrop") << "" << left << 150.0 << true;
    QTest::newRow("left, just below the top row") << "" << left << 0.5 << true;
    QTest::newRow("left on the top row") << "" << left << 0.0 << false;
    QTest::newRow("left and right together") << "" << int(Qt::LeftButton | Qt::RightButton) << 150.0 << false;
    QTest::newRow("left and middle together") << "" << int(Qt::LeftButton | Qt::MiddleButton) << 150.0 << false;
    QTest::newRow("right alone") << "" << int(Qt::RightButton) << 150.0 << false;
    QTest::newRow("no button") << "" << 0 << 150.0 << false;
    QTest::newRow("on a caption") << "NamePlates(1)" << left << 5.0 << false;
    QTest::newRow("on a value") << "shwCPU_MHz" << left << 5.0 << false;
    QTest::newRow("on a link") << "NamePlates(25)" << left << 5.0 << false;
    QTest::newRow("on a picture button") << "Image3" << left << 5.0 << false;
    QTest::newRow("on a spin control") << "VScroll7" << left << 5.0 << false;
}

void TestChrome::drag()
{
    QFETCH(QString, under);
    QFETCH(int, held);
    QFETCH(qreal, y);
    QFETCH(bool, moves);

    LoadedWindow w;
    int requests = 0;
    w->setSystemMover([&requests](QWindow&) {
        ++requests;
        return true;
    });
    QWidget* target = under.isEmpty() ? w.window.get() : w->findChild<QWidget*>(under);
    QVERIFY(target);
    const QPoint start = w->pos();
    // Events go where the window system sends them: to the element under the pointer, then up to the window
    // only when the element does not take them.
    if (held != 0) {
        QTest::mousePress(target, Qt::LeftButton, {}, QPoint(200, 150));
    }
    moveWith(target, Qt::MouseButtons(held), QPointF(200, y));
    moveWith(target, Qt::MouseButtons(held), QPointF(230, y));

    if (held != 0) {
        QTest::mouseRelease(target, Qt::LeftButton, {}, QPoint(230, 170));
    }

    // One request per press: a repeat reaching the window manager after the release would start a second move.
    QCOMPARE(requests, moves ? 1 : 0);
    QCOMPARE(w->pos(), start);
}

void TestChrome::dragFollowsPointerWithoutWindowManager()
{
    LoadedWindow w;
    w->setSystemMover([](QWindow&) { return false; });
    const QPoint start = w->pos();
    QTest::mousePress(w.window.get(), Qt::LeftButton, {}, QPoint(200, 150));
    moveWith(w.window.get(), Qt::LeftButton, QPointF(230, 170));
    QCOMPARE(w->pos(), start + QPoint(30, 20));
    // Exactly-left still matters while moving by hand.
    moveWith(w.window.get(), Qt::LeftButton | Qt::RightButton, QPointF(260, 190));
    QCOMPARE(w->pos(), start + QPoint(30, 20));
    QTest::mouseRelease(w.window.get(), Qt::LeftButton, {}, QPoint(200, 150));
}

void TestChrome::dragAsksTheWindowSystemOncePerPress()
{
    LoadedWindow w;
    int requests = 0;
    w->setSystemMover([&requests](QWindow&) { return ++requests, true; });
    for (int press = 1; press <= 2; ++press) {
        QTest::mousePress(w.window.get(), Qt::LeftButton, {}, QPoint(200, 150));
        for (int step = 1; step <= 3; ++step) {
            moveWith(w.window.get(), Qt::LeftButton, QPointF(200 + step, 150));
        }
        QTest::mouseRelease(w.window.get(), Qt::LeftButton, {}, QPoint(203, 150));
        QCOMPARE(requests, press);
    }
}

// ---- Minimising hides, whatever minimised it ------------------------------------------------------------------

void TestChrome::minimiseHides_data()
{
    QTest::addColumn<bool>("byButton");
    QTest::addColumn<bool>("hidePolicy");

    QTest::newRow("Image1") << true << true;
    QTest::newRow("the window system") << false << true;
    QTest::newRow("Image1, no tray: minimised, not hidden") << true << false;
}

void TestChrome::minimiseHides()
{
    QFETCH(bool, byButton);
    QFETCH(bool, hidePolicy);

    LoadedWindow w;
    w->setMinimisePolicy([hidePolicy] { return hidePolicy; });
    w->calculator().up(Spin::VScroll4);
    if (byButton) {
        QTest::mouseClick(w->image(1), Qt::LeftButton);
    } else {
        w->setWindowState(Qt::WindowMinimized);
    }
    QVERIFY(w->windowState() & Qt::WindowMinimized);
    QCOMPARE(w->isVisible(), !hidePolicy);
    // Still loaded, values kept; it comes back as it was.
    QCOMPARE(w.shown(Field::StockCPU_MHz), QStringLiteral("2300"));
    w->setWindowState(Qt::WindowNoState);
    w->show();
    QVERIFY(w->isVisible());
    QCOMPARE(w.shown(Field::StockCPU_MHz), QStringLiteral("2300"));
}

// ---- Picture buttons: one pixel up and left while held, always back after -------------------------------------

void TestChrome::nudgesStayBalanced_data()
{
    // Steps: "p<N><b>" presses button b (l, r, m) on ImageN, "r<N><b>" releases it over the picture, "o<N><b>"
    // releases it outside.
    QTest::addColumn<QStringList>("steps");
    QTest::addColumn<QList<int>>("shiftedAfterEachStep"); // how many of the four pictures are shifted

    QTest::newRow("left press and release") << QStringList{"p4l", "r4l"} << QList<int>{1, 0};
    QTest::newRow("right press, released outside") << QStringList{"p3r", "o3r"} << QList<int>{1, 0};
    QTest::newRow("middle on Image1") << QStringList{"p1m", "r1m"} << QList<int>{1, 0};
    QTest::newRow("two buttons held on one picture")
        << QStringList{"p4l", "p4r", "r4r", "o4l"} << QList<int>{1, 1, 1, 0};
    QTest::newRow("two pictures, interleaved") << QStringList{"p4l", "o4l", "p3l", "r3l"} << QList<int>{1, 0, 1, 0};
}

void TestChrome::nudgesStayBalanced()
{
    QFETCH(QStringList, steps);
    QFETCH(QList<int>, shiftedAfterEachStep);

    LoadedWindow w;
    // Image2 ends the program and Image1 hides the window: keep both out of the way here.
    connect(w.window.get(), &Form1::exitRequested, this, [] {});
    w->setMinimisePolicy([] { return false; });
    QPoint home[5];
    for (int n = 1; n <= 4; ++n) {
        home[n] = w->image(n)->pos();
    }
    const QPoint expectedHome[5] = {{}, {322, 4}, {351, 4}, {271, 3}, {244, 3}};
    for (int n = 1; n <= 4; ++n) {
        QCOMPARE(home[n], expectedHome[n]);
    }
    for (qsizetype i = 0; i < steps.size(); ++i) {
        const QString step = steps[i];
        const int n = step.mid(1, 1).toInt();
        const Qt::MouseButton button = step[2] == 'l'   ? Qt::LeftButton
                                       : step[2] == 'r' ? Qt::RightButton
                                                        : Qt::MiddleButton;
        PictureButton* picture = w->image(n);
        if (step[0] == 'p') {
            press(picture, button, QPoint(5, 5));
        } else {
            release(picture, button, step[0] == 'o' ? QPoint(-40, 90) : QPoint(5, 5));
        }
        int shifted = 0;
        for (int m = 1; m <= 4; ++m) {
            const QPoint at = w->image(m)->pos();
            if (at == home[m] - QPoint(1, 1)) {
                ++shifted;
            } else {
                QCOMPARE(at, home[m]);
            }
        }
        QCOMPARE(shifted, shiftedAfterEachStep[i]);
    }
}

void TestChrome::resultsReleaseComesAfterTheNudge()
{
    LoadedWindow w;
    PictureButton* results = w->image(4);
    const QPoint home = results->pos();
    QList<QPair<int, QPoint>> seen;
    connect(w.window.get(), &Form1::resultsReleased, this, [&](Qt::MouseButton button) {
        seen.append({int(button), results->pos()});
    });

    for (Qt::MouseButton button : {Qt::LeftButton, Qt::RightButton, Qt::MiddleButton}) {
        QTest::mouseClick(results, button, {}, QPoint(5, 5));
    }
    const QList<QPair<int, QPoint>> expected{
        {int(Qt::LeftButton), home}, {int(Qt::RightButton), home}, {int(Qt::MiddleButton), home}};
    QCOMPARE(seen, expected);
}

void TestChrome::buttonSignals()
{
    LoadedWindow w;
    QSignalSpy copy(w.window.get(), &Form1::copyRequested);
    QSignalSpy exit(w.window.get(), &Form1::exitRequested);

    QTest::mouseClick(w->image(3), Qt::RightButton, {}, QPoint(5, 5));
    press(w->image(3), Qt::LeftButton, QPoint(5, 5));
    release(w->image(3), Qt::LeftButton, QPoint(90, 5)); // released off the picture: no click
    QCOMPARE(copy.count(), 0);
    QTest::mouseClick(w->image(3), Qt::LeftButton, {}, QPoint(5, 5));
    QCOMPARE(copy.count(), 1);

    // Someone handles the exit: the click asks, and the window stays.
    QTest::mouseClick(w->image(2), Qt::LeftButton, {}, QPoint(5, 5));
    QCOMPARE(exit.count(), 1);
    QVERIFY(w->isVisible());
    QCOMPARE(copy.count(), 1);
}

// ---- A double click is one click, as on the desktop: one page, one copy, and the pictures back in place -------

void TestChrome::doubleClicksCountOnce()
{
    LoadedWindow w;
    QList<QUrl> pages;
    w->setUrlOpener([&pages](const QUrl& url) { pages.append(url); });
    QSignalSpy copy(w.window.get(), &Form1::copyRequested);
    const QPoint home = w->image(3)->pos();

    // As the window system sends it: press, release, double-click press, release.
    for (QWidget* target : {static_cast<QWidget*>(w->namePlate(24)), static_cast<QWidget*>(w->image(3))}) {
        const QPointF at(5, 5);
        QTest::mouseClick(target, Qt::LeftButton, {}, at.toPoint());
        QMouseEvent second(QEvent::MouseButtonDblClick, at, target->mapToGlobal(at), Qt::LeftButton, Qt::LeftButton,
                           Qt::NoModifier);
        QApplication::sendEvent(target, &second);
        QCOMPARE(w->namePlate(24)->colour(), target == w->image(3) ? LinkColour : LinkPressedColour);
        QTest::mouseRelease(target, Qt::LeftButton, {}, at.toPoint());
    }
    QCOMPARE(pages.size(), 1);
    QCOMPARE(copy.count(), 1);
    QCOMPARE(w->namePlate(24)->colour(), LinkColour);
    QCOMPARE(w->image(3)->pos(), home);
}

QTEST_MAIN(TestChrome)
#include "test_chrome.moc"
