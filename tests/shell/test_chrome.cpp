// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Clockdeck developers
#include "shellfixture.h"

#include "shell/labelstyles.h"
#include "shell/picturebutton.h"

#include <QApplication>
#include <QFileInfo>

using namespace clockdeck;
using namespace clockdeck::test;

class TestChrome : public QObject
{
    Q_OBJECT

private slots:
    // Links: yellow while pressed, light green after, a page only for a full left click (once for a double one).
    // Pictures: any button shifts them one pixel up and left while held. Drags: exactly the left button, below the
    // top row, on the bare backdrop; the window system is asked once per press, else the window follows by itself.
    void actions_data()
    {
        // Name; target (empty: the bare backdrop); a click ("left", "right", "middle", "double", "... outside"),
        // "drag" or "follow" with the buttons held and the row moved to, "key K" or "system"; what is seen.
        const char* const rows[][4] = {
            {"forum", "NamePlates(24)", "left", "https://community.amd.com/"},
            {"about page", "NamePlates(25)", "left", "about"},
            {"support page", "NamePlates(26)", "double", "https://www.amd.com/en/support/download/drivers.html"},
            {"link released outside", "NamePlates(24)", "outside", ""},
            {"link, right button", "NamePlates(25)", "right", ""},
            {"not a link", "NamePlates(16)", "left", ""},
            {"the window system minimises", "", "system", "hidden"},
            {"Escape", "", "key Esc", "hidden"},
            {"Escape held since before the window came", "", "key Esc held", ""}, // repeats only: no fresh press
            {"Image2 right, released outside", "Image2", "right outside", ""},
            {"Ctrl+Q", "", "key Ctrl+Q", "exit"},
            {"Image3 released outside", "Image3", "outside", ""},
            {"Image3 double", "Image3", "double", "copy"}, // the second press shifts too, without a second copy
            {"Ctrl+C", "", "key Ctrl+C", "copy"},
            {"Image4 right", "Image4", "right", "open"},
            {"Image4 middle", "Image4", "middle", "middle"},
            {"Ctrl+S", "", "key Ctrl+S", "append"},
            {"F1", "", "key F1", "about"},
            {"drag just below the top row", "", "drag 1 0.5", "asked, asked"},
            {"drag on the top row", "", "drag 1 0", ""},
            {"drag with left and right", "", "drag 3 150", ""},
            {"drag on a caption", "NamePlates(1)", "drag 1 5", ""},
            {"drag on a picture button", "Image3", "drag 1 5", ""},
            {"drag on a spin control", "VScroll7", "drag 1 5", ""},
            {"no window manager", "", "follow 1 150", "asked, moved 30 0, asked, moved 30 0"},
        };
        QTest::addColumn<QStringList>("row");
        for (const auto& row : rows)
            QTest::newRow(row[0]) << QStringList{row[0], row[1], row[2], row[3]};
    }

    void actions()
    {
        QFETCH(QStringList, row);
        const QStringList how = row[2].split(QLatin1Char(' '));
        LoadedWindow w;
        QStringList seen;
        w->setSystemMover([&](QWindow&) { return seen << "asked", how[0] == QLatin1String("drag"); });
        w->setUrlOpener([&](const QUrl& url) {
            const bool about = url == Form1::aboutPage() && QFileInfo(url.toLocalFile()).isFile(); // shipped with us
            seen << (about ? QStringLiteral("about") : url.toString());
        });
        connect(w.window.get(), &Form1::exitRequested, this, [&] { seen << "exit"; });
        connect(w.window.get(), &Form1::copyRequested, this, [&] { seen << "copy"; });
        const QPoint resultsHome = w->image(4)->pos(); // a release is reported once the picture is back
        connect(w.window.get(), &Form1::resultsReleased, this, [&](Qt::MouseButton b) {
            const char* names[] = {"append", "open", "", "middle"};
            seen << names[qMin(int(b), 4) - 1] + QString(w->image(4)->pos() == resultsHome ? "" : " shifted");
        });
        QWidget* target = row[1].isEmpty() ? w.window.get() : w->findChild<QWidget*>(row[1]);
        auto* label = qobject_cast<SkinLabel*>(target);
        const QColor colour = label ? label->colour() : QColor();
        const QPoint home = target->pos();
        const auto button = Qt::MouseButton(qMax(1, QStringList{"left", "right", "", "middle"}.indexOf(how[0]) + 1));
        if (how[0] == QLatin1String("drag") || how[0] == QLatin1String("follow")) {
            for (int press = 0; press < 2; ++press) {
                const QPoint start = w->pos();
                const QPointF origin = target->mapToGlobal(QPointF()); // the pointer moves on the screen
                QTest::mousePress(target, Qt::LeftButton, {}, QPoint(200, 150));
                for (const QPointF at : {QPointF(210, how[2].toDouble()), QPointF(230, how[2].toDouble())}) {
                    QMouseEvent move(QEvent::MouseMove, at, origin + at, Qt::NoButton, Qt::MouseButtons(how[1].toInt()),
                                     Qt::NoModifier); // exactly these held
                    QApplication::sendEvent(target, &move);
                }
                QTest::mouseRelease(target, Qt::LeftButton, {}, QPoint(230, 170));
                if (const QPoint moved = w->pos() - start; !moved.isNull())
                    seen << QStringLiteral("moved %1 %2").arg(moved.x()).arg(moved.y());
            }
        } else if (how[0] == QLatin1String("key") && how.last() == QLatin1String("held")) {
            for (const QEvent::Type type :
                 {QEvent::KeyRelease, QEvent::KeyPress, QEvent::KeyRelease, QEvent::KeyPress}) {
                QKeyEvent repeat(type, QKeySequence(how[1])[0].key(), Qt::NoModifier, QString(), true);
                QApplication::sendEvent(w.window.get(), &repeat);
            }
        } else if (how[0] == QLatin1String("key")) {
            QTest::keySequence(w.window.get(), QKeySequence(how[1]));
        } else if (how[0] == QLatin1String("system")) {
            w->setWindowState(Qt::WindowMinimized);
        } else {
            QTest::mousePress(target, button, {}, QPoint(5, 5));
            if (how[0] == QLatin1String("double")) { // as the window system sends one: press, release, double click
                QTest::mouseRelease(target, button, {}, QPoint(5, 5));
                QMouseEvent second(QEvent::MouseButtonDblClick, QPointF(5, 5), target->mapToGlobal(QPointF(5, 5)),
                                   button, button, Qt::NoModifier);
                QApplication::sendEvent(target, &second);
            }
            if (label)
                QCOMPARE(label->colour(), row[0].startsWith(QLatin1String("not")) ? colour : LinkPressedColour);
            QCOMPARE(target->pos(), home - (qobject_cast<PictureButton*>(target) ? QPoint(1, 1) : QPoint()));
            QTest::mouseRelease(target, button, {},
                                how.last() == QLatin1String("outside") ? QPoint(-40, 90) : QPoint(5, 5));
            if (label)
                QCOMPARE(label->colour(), colour);
            QCOMPARE(target->pos(), home);
        }
        if (w->windowState() & Qt::WindowMinimized)
            seen << (w->isVisible() ? "minimised" : "hidden");
        QCOMPARE(seen.join(QLatin1String(", ")), row[3]);
    }
};

QTEST_MAIN(TestChrome)
#include "test_chrome.moc"
