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
    void loadCentres()
    {
        LoadedWindow w;
        QCOMPARE(w->geometry().center(), w->screen()->geometry().center());
    }

    // Yellow while pressed, light green after; a page opens only for a completed left click.
    void links_data()
    {
        QTest::addColumn<int>("plate");
        QTest::addColumn<int>("button");
        QTest::addColumn<bool>("releaseInside");
        QTest::addColumn<QString>("opened"); // empty: nothing opened

        QTest::newRow("forum, click") << 24 << int(Qt::LeftButton) << true << "https://community.amd.com/";
        QTest::newRow("about page, click") << 25 << int(Qt::LeftButton) << true << "about";
        QTest::newRow("released outside: no page") << 24 << int(Qt::LeftButton) << false << "";
        QTest::newRow("right button: no page") << 25 << int(Qt::RightButton) << true << "";
        QTest::newRow("other name plate: nothing") << 16 << int(Qt::LeftButton) << true << "";
    }

    void links()
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

        QTest::mousePress(label, Qt::MouseButton(button), {}, label->rect().center());
        QCOMPARE(label->colour(), isLink ? LinkPressedColour : before);
        QVERIFY(pages.isEmpty());
        QTest::mouseRelease(label, Qt::MouseButton(button), {},
                            releaseInside ? label->rect().center() : QPoint(-20, 200));
        QCOMPARE(label->colour(), isLink ? LinkColour : before);
        if (opened == QLatin1String("about")) { // shipped with Clockdeck: the page exists
            QCOMPARE(pages.size(), 1);
            QVERIFY2(QFileInfo(pages[0].toLocalFile()).isFile(), qPrintable(pages[0].toString()));
            QVERIFY(pages[0].toLocalFile().endsWith(QLatin1String("/about.html")));
        } else {
            QCOMPARE(pages, opened.isEmpty() ? QList<QUrl>{} : QList<QUrl>{QUrl(opened)});
        }
    }

    // Only exactly the left button, only below the topmost row, only on the bare backdrop.
    void drag_data()
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
        QTest::newRow("right alone") << "" << int(Qt::RightButton) << 150.0 << false;
        QTest::newRow("no button") << "" << 0 << 150.0 << false;
        QTest::newRow("on a caption") << "NamePlates(1)" << left << 5.0 << false;
        QTest::newRow("on a picture button") << "Image3" << left << 5.0 << false;
        QTest::newRow("on a spin control") << "VScroll7" << left << 5.0 << false;
    }

    void drag()
    {
        QFETCH(QString, under);
        QFETCH(int, held);
        QFETCH(qreal, y);
        QFETCH(bool, moves);

        LoadedWindow w;
        int requests = 0;
        w->setSystemMover([&requests](QWindow&) { return ++requests, true; });
        QWidget* target = under.isEmpty() ? w.window.get() : w->findChild<QWidget*>(under);
        QVERIFY(target);
        const QPoint start = w->pos();
        // Two presses, several moves each: the window system is asked once per press, never after the release.
        for (int press = 1; press <= 2; ++press) {
            if (held != 0)
                QTest::mousePress(target, Qt::LeftButton, {}, QPoint(200, 150));
            for (int step = 0; step < 3; ++step)
                moveWith(target, Qt::MouseButtons(held), QPointF(200 + 15 * step, y));
            if (held != 0)
                QTest::mouseRelease(target, Qt::LeftButton, {}, QPoint(230, 170));
            QCOMPARE(requests, moves ? press : 0);
        }
        QCOMPARE(w->pos(), start);
    }

    void dragFollowsPointerWithoutWindowManager()
    {
        LoadedWindow w;
        w->setSystemMover([](QWindow&) { return false; });
        const QPoint start = w->pos();
        QTest::mousePress(w.window.get(), Qt::LeftButton, {}, QPoint(200, 150));
        moveWith(w.window.get(), Qt::LeftButton, QPointF(230, 170));
        QCOMPARE(w->pos(), start + QPoint(30, 20));
        moveWith(w.window.get(), Qt::LeftButton | Qt::RightButton, QPointF(260, 190)); // exactly left, still
        QCOMPARE(w->pos(), start + QPoint(30, 20));
        QTest::mouseRelease(w.window.get(), Qt::LeftButton, {}, QPoint(200, 150));
    }

    void minimiseHides_data()
    {
        QTest::addColumn<bool>("byButton");
        QTest::addColumn<bool>("hidePolicy");
        QTest::newRow("Image1") << true << true;
        QTest::newRow("the window system") << false << true;
        QTest::newRow("Image1, no tray: minimised, not hidden") << true << false;
    }

    void minimiseHides()
    {
        QFETCH(bool, byButton);
        QFETCH(bool, hidePolicy);

        LoadedWindow w;
        w->setMinimisePolicy([hidePolicy] { return hidePolicy; });
        w->calculator().up(Spin::VScroll4);
        if (byButton)
            QTest::mouseClick(w->image(1), Qt::LeftButton);
        else
            w->setWindowState(Qt::WindowMinimized);
        QVERIFY(w->windowState() & Qt::WindowMinimized);
        QCOMPARE(w->isVisible(), !hidePolicy);
        w->setWindowState(Qt::WindowNoState);
        w->show();
        QCOMPARE(w.shown(Field::StockCPU_MHz), QStringLiteral("2300")); // back as it was
    }

    // One pixel up and left while held, always back after.
    void nudgesStayBalanced_data()
    {
        // "p<N><b>" presses button b (l, r, m) on ImageN, "r<N><b>" releases it over the picture, "o<N><b>" outside.
        QTest::addColumn<QStringList>("steps");
        QTest::addColumn<QList<int>>("shiftedAfterEachStep"); // how many of the four pictures are shifted

        QTest::newRow("left press and release") << QStringList{"p4l", "r4l"} << QList<int>{1, 0};
        QTest::newRow("right press, released outside") << QStringList{"p3r", "o3r"} << QList<int>{1, 0};
        QTest::newRow("middle on Image1") << QStringList{"p1m", "r1m"} << QList<int>{1, 0};
        QTest::newRow("two buttons held on one picture")
            << QStringList{"p4l", "p4r", "r4r", "o4l"} << QList<int>{1, 1, 1, 0};
        QTest::newRow("two pictures, interleaved") << QStringList{"p4l", "o4l", "p3l", "r3l"} << QList<int>{1, 0, 1, 0};
    }

    void nudgesStayBalanced()
    {
        QFETCH(QStringList, steps);
        QFETCH(QList<int>, shiftedAfterEachStep);

        LoadedWindow w;
        connect(w.window.get(), &Form1::exitRequested, this, [] {}); // Image2 must not end the test
        w->setMinimisePolicy([] { return false; });
        QPoint home[5];
        for (int n = 1; n <= 4; ++n)
            home[n] = w->image(n)->pos();
        for (qsizetype i = 0; i < steps.size(); ++i) {
            const QString step = steps[i];
            const auto button = step[2] == 'l' ? Qt::LeftButton : step[2] == 'r' ? Qt::RightButton : Qt::MiddleButton;
            PictureButton* picture = w->image(step.mid(1, 1).toInt());
            if (step[0] == 'p')
                QTest::mousePress(picture, button, {}, QPoint(5, 5));
            else
                QTest::mouseRelease(picture, button, {}, step[0] == 'o' ? QPoint(-40, 90) : QPoint(5, 5));
            int shifted = 0;
            for (int m = 1; m <= 4; ++m) {
                if (w->image(m)->pos() == home[m] - QPoint(1, 1))
                    ++shifted;
                else
                    QCOMPARE(w->image(m)->pos(), home[m]);
            }
            QCOMPARE(shifted, shiftedAfterEachStep[i]);
        }
    }

    void buttonSignals()
    {
        LoadedWindow w;
        const QPoint copyHome = w->image(3)->pos();
        QSignalSpy copy(w.window.get(), &Form1::copyRequested);
        QSignalSpy exit(w.window.get(), &Form1::exitRequested);
        QTest::mouseClick(w->image(3), Qt::RightButton, {}, QPoint(5, 5));
        QTest::mousePress(w->image(3), Qt::LeftButton, {}, QPoint(5, 5));
        QTest::mouseRelease(w->image(3), Qt::LeftButton, {}, QPoint(90, 5)); // released off the picture
        QCOMPARE(copy.count(), 0);
        QTest::mouseClick(w->image(3), Qt::LeftButton, {}, QPoint(5, 5));
        QCOMPARE(copy.count(), 1);
        QTest::mouseClick(w->image(2), Qt::LeftButton, {}, QPoint(5, 5)); // someone handles the exit: the window stays
        QCOMPARE(exit.count(), 1);
        QVERIFY(w->isVisible());

        // Image4 reports every button's release, after the picture is back in place.
        PictureButton* results = w->image(4);
        QList<QPair<int, QPoint>> seen;
        connect(w.window.get(), &Form1::resultsReleased, this, [&](Qt::MouseButton button) {
            seen.append({int(button), results->pos()});
        });
        const QPoint home = results->pos();
        for (Qt::MouseButton button : {Qt::LeftButton, Qt::RightButton, Qt::MiddleButton})
            QTest::mouseClick(results, button, {}, QPoint(5, 5));
        QCOMPARE(seen, (QList<QPair<int, QPoint>>{
                           {Qt::LeftButton, home}, {Qt::RightButton, home}, {Qt::MiddleButton, home}}));

        // A double click is one click, as on the desktop: one page, one more copy, the pictures back in place.
        QList<QUrl> pages;
        w->setUrlOpener([&pages](const QUrl& url) { pages.append(url); });
        for (QWidget* target : {static_cast<QWidget*>(w->namePlate(24)), static_cast<QWidget*>(w->image(3))}) {
            doubleClickPress(target, Qt::LeftButton, QPoint(5, 5));
            QCOMPARE(w->namePlate(24)->colour(), target == w->image(3) ? LinkColour : LinkPressedColour);
            QTest::mouseRelease(target, Qt::LeftButton, {}, QPoint(5, 5));
        }
        QCOMPARE(pages.size(), 1);
        QCOMPARE(copy.count(), 2);
        QCOMPARE(w->namePlate(24)->colour(), LinkColour);
        QCOMPARE(w->image(3)->pos(), copyHome);
    }
};

QTEST_MAIN(TestChrome)
#include "test_chrome.moc"
