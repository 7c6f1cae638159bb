// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Clockdeck developers
#include "shellfixture.h"

#include "shell/form1layout.h"

#include <QApplication>
#include <QMap>
#include <QMenu>
#include <QRegularExpression>

#include "shell/labelstyles.h"

using namespace clockdeck;
using namespace clockdeck::test;

// The labels that show an input (and the boot clock): a press must change exactly those of its own field.
static const QStringList Inputs{"StockCPU_MHz",        "StockCPU_Vcore", "Stock_Vdimm", "BusSpeed",
                                "OverClock_CPU_Vcore", "OC_Vdimm",       "Multiplier",  "HyperTransport",
                                "SelectDDR",           "PCxxxx",         "PCxxxxMHz",   "Label17"};

// The spin controls in Tab order, each beside the input of the same place in Inputs.
static const QStringList SpinNames{"VScroll4",  "VScroll3", "VScroll9", "VScroll6", "VScroll1",
                                   "VScroll10", "VScroll7", "VScroll8", "VScroll2", "VScroll5"};

// Space-separated actions on a widget: "upper" or "lower" arrow, "left", "right" or "middle" click, a wheel delta.
static void act(QWidget* widget, const QString& actions)
{
    const QPoint middle = widget->rect().center();
    for (const QString& a : actions.split(QLatin1Char(' '), Qt::SkipEmptyParts)) {
        const int button = QStringList{"left", "right", "", "middle"}.indexOf(a) + 1; // as Qt numbers them
        if (a.endsWith(u"er")) { // too short for a thumb, a spin control is its two arrows: upper half and lower half
            QTest::mouseClick(widget, Qt::LeftButton, {},
                              QPoint(middle.x(), widget->height() * (a == u"upper" ? 1 : 3) / 4));
        } else if (button > 0) {
            QTest::mouseClick(widget, Qt::MouseButton(button));
        } else { // a wheel notch or part of one, positive away from the user
            QWheelEvent event(middle, widget->mapToGlobal(QPointF(middle)), QPoint(), QPoint(0, a.toInt()),
                              Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
            QApplication::sendEvent(widget, &event);
        }
    }
}

class TestForm1 : public QObject
{
    Q_OBJECT

private slots:
    void onePressOneField_data()
    {
        QTest::addColumn<QStringList>("row"); // target, press, undo (brings every input back), labels that change
        for (qsizetype i = 0; i < SpinNames.size(); ++i) { // VScroll5 steps the module lines
            const QString changes = i < 9 ? Inputs[i] : QStringLiteral("PCxxxx PCxxxxMHz");
            for (const auto& [press, undo] : {std::pair{"lower", "upper"}, std::pair{"-120", "120"}}) {
                QTest::addRow("%s %s", qPrintable(SpinNames[i]), press)
                    << QStringList{SpinNames[i], press, undo, changes};
            }
        }
        for (const QString& label : Inputs) { // the wheel over a value steps it as its spin control does
            QTest::addRow("%s wheel", qPrintable(label)) << QStringList{
                label, "-120", "120", label.startsWith(QLatin1String("PCxxxx")) ? "PCxxxx PCxxxxMHz" : label};
        }
        const QList<QStringList> more{{"Label17", "left", "right", "Label17"},
                                      {"Label17", "middle", "", ""},
                                      {"OC_Vdimm", "60 60", "-120", "OC_Vdimm"}, // touchpad halves add up
                                      {"OC_Vdimm", "60", "", ""},                // a half notch alone does nothing
                                      {"Multiplier", "240", "-120 -120", "Multiplier"},
                                      {"shwCPU_MHz", "120", "", ""}}; // only inputs take the wheel
        for (const QStringList& row : more)
            QTest::addRow("%s %s", qPrintable(row[0]), qPrintable(row[1])) << row;
    }

    void onePressOneField()
    {
        QFETCH(QStringList, row);
        LoadedWindow w;
        auto* widget = w->findChild<QWidget*>(row[0]);
        const auto text = [&](const QString& name) { return w->findChild<SkinLabel*>(name)->text(); };
        QMap<QString, QString> before;
        for (const QString& name : Inputs)
            before[name] = text(name);
        act(widget, row[1]);
        QStringList changed;
        for (const QString& name : Inputs) {
            if (text(name) != before[name])
                changed << name;
        }
        QCOMPARE(changed.join(QLatin1Char(' ')), row[3]);
        act(widget, row[2]);
        for (const QString& name : Inputs)
            QCOMPARE(text(name), before[name]);
        for (SpinBar* bar : w->findChildren<SpinBar*>()) {
            QCOMPARE(bar->value(), 0); // back at rest, so that the next press counts
        }
        QVERIFY(w.sink.empty());
    }

    // The window as drawn after a load against a reviewed reference (at 200 % in a run of its own), every tool tip,
    // and the Tab order: spin controls only, arrow keys step them.
    void layout()
    {
        LoadedWindow w;
        w->activateWindow(); // so that the first spin control shows its focus frame every time
        QVERIFY(QTest::qWaitForWindowActive(w.window.get()));
        const QString differs = renderDifference(w->grab().toImage(), "form1");
        QVERIFY2(differs.isEmpty(), qPrintable(differs));

        // Each widget shows its layout row's tool tip exactly (blanks and "™" included); no other widget has one.
        const auto qs = [](std::string_view text) { return QString::fromUtf8(text.data(), qsizetype(text.size())); };
        QMap<QString, QString> expected;
        for (const layout::LabelRow& row : layout::Labels) {
            if (!row.toolTip.empty()) {
                expected[qs(row.name)] = qs(row.toolTip);
            }
        }
        for (const layout::ButtonRow& row : layout::Buttons) {
            expected[QStringLiteral("Image%1").arg(row.number)] = qs(row.toolTip);
        }
        QMap<QString, QString> seen;
        for (QWidget* widget : w->findChildren<QWidget*>()) {
            if (!widget->toolTip().isEmpty())
                seen[widget->objectName()] = widget->toolTip();
        }
        QCOMPARE(seen, expected);

        for (const QString& spin : SpinNames + QStringList{SpinNames[0]}) {
            QCOMPARE(QApplication::focusWidget()->objectName(), spin);
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        }
        QTest::mouseClick(w->fieldLabel(Field::CPU_OC_Prcnt), Qt::LeftButton); // labels never take the focus
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Up);
        QCOMPARE(w->fieldLabel(Field::StockCPU_Vcore)->text(), QStringLiteral("1.3625"));

        // A right click on a label opens no menu; one on the backdrop the context menu. Clicked through the window,
        // where Qt makes the context menu event of a right press.
        const QPoint label = w->fieldLabel(Field::BusSpeed)->geometry().center();
        QTest::mouseClick(w->windowHandle(), Qt::RightButton, {}, label);
        QVERIFY(!w->contextMenu());
        QTest::mouseClick(w->windowHandle(), Qt::RightButton, {}, QPoint(100, 210)); // between rows 3 and 4
        QVERIFY(w->contextMenu() && w->contextMenu()->isVisible());
    }

    // The outline and the first spin control's focus frame as device pixels at this run's scale (150 % in a run of
    // its own): on every edge, dots and gaps of round(scale) pixels, each dot as thick as it is long.
    void dottedFramesEven()
    {
        LoadedWindow w;
        w->activateWindow(); // the focus frame shows in the active window only
        QVERIFY(QTest::qWaitForWindowActive(w.window.get()));
        const QImage shot = w->grab().toImage();
        const qreal ratio = shot.devicePixelRatio();
        const int dot = qMax(1, qRound(ratio));
        const QRect outline(layout::at(layout::Shape1.left), layout::at(layout::Shape1.top),
                            layout::px(layout::Shape1.width), layout::px(layout::Shape1.height));
        const QPoint right(1, 0), down(0, 1);
        for (const auto& [box, colour] : {std::pair{outline, OutlineColour},
                                          std::pair{w->spinControl(Spin::VScroll4)->geometry(), QColor(0, 128, 0)}}) {
            const QRect d(QPoint(qRound(box.left() * ratio), qRound(box.top() * ratio)),
                          QPoint(qRound((box.right() + 1) * ratio) - 1, qRound((box.bottom() + 1) * ratio) - 1));
            const std::tuple<QPoint, QPoint, QPoint> edges[] = {// corner, along the edge, inward
                                                                {d.topLeft(), right, down},
                                                                {d.topRight(), down, -right},
                                                                {d.bottomLeft(), right, -down},
                                                                {d.topLeft(), down, right}};
            for (const auto& [start, step, inward] : edges) {
                const int length = (step == right ? d.width() : d.height()) - 4 * dot; // corners left out
                const auto line = [&](int depth) { // "#" for a pixel of the frame's colour, depth pixels inward
                    QString seen;
                    for (int i = 2 * dot; i < 2 * dot + length; ++i)
                        seen += shot.pixelColor(start + step * i + inward * depth) == colour ? u'#' : u'.';
                    return seen;
                };
                const QString outer = line(0);
                QList<qsizetype> runs;
                for (const auto& run : QRegularExpression(QStringLiteral("#+|\\.+")).globalMatch(outer))
                    runs << run.capturedLength();
                runs = runs.mid(1, runs.size() - 2); // the ends may be cut
                const bool even = runs.size() >= 2 && runs.count(dot) == runs.size();
                const QString seen = QStringLiteral("at %1: %2 along an edge, dots of %3 expected").arg(ratio);
                QVERIFY2(even && line(dot - 1) == outer && !line(dot).contains(u'#'),
                         qPrintable(seen.arg(outer).arg(dot)));
            }
        }
    }
};

QTEST_MAIN(TestForm1)
#include "test_form1.moc"
