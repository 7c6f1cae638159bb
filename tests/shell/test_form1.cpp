// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Clockdeck developers
//
// The main window's inputs: spin controls, keyboard, Label17 clicks, the wheel, and labels following the fields.
#include "shellfixture.h"

#include <QApplication>
#include <QImage>
#include <QToolTip>

using namespace clockdeck;
using namespace clockdeck::test;

Q_DECLARE_METATYPE(clockdeck::Spin)
Q_DECLARE_METATYPE(clockdeck::Field)

class TestForm1 : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { QApplication::setEffectEnabled(Qt::UI_AnimateTooltip, false); }

    void spinArrows_data()
    {
        QTest::addColumn<Spin>("spin");
        QTest::addColumn<Field>("field");
        QTest::addColumn<QString>("start"); // written into the field first; empty: as the load left it
        QTest::addColumn<bool>("upper");
        QTest::addColumn<QString>("expected");
        QTest::addColumn<Field>("derived");
        QTest::addColumn<QString>("derivedExpected");

        // The load leaves 2200 MHz stock, multiplier 11, reference clock 200, HyperTransport 5.
        QTest::newRow("numeric up") << Spin::VScroll7 << Field::Multiplier << "" << true << "11.5" << Field::shwCPU_MHz
                                    << "2300";
        QTest::newRow("numeric down") << Spin::VScroll6 << Field::BusSpeed << "" << false << "199" << Field::Label13
                                      << "995";
        QTest::newRow("25 px tall VScroll9")
            << Spin::VScroll9 << Field::Stock_Vdimm << "" << true << "2.65" << Field::Label18 << "-1.89%";
        QTest::newRow("list down") << Spin::VScroll2 << Field::SelectDDR << "" << false << "183" << Field::shwDDR_MHz
                                   << "169.23";
        QTest::newRow("module up: clock and rating")
            << Spin::VScroll5 << Field::PCxxxx << "" << true << "PC3500" << Field::PCxxxxMHz << "216 MHz";
        QTest::newRow("clamped at the top")
            << Spin::VScroll7 << Field::Multiplier << "15" << true << "15" << Field::shwCPU_MHz << "3000";
        QTest::newRow("clamped at the bottom")
            << Spin::VScroll4 << Field::StockCPU_MHz << "1000" << false << "1000" << Field::StockCPU_MHz << "1000";
    }

    void spinArrows()
    {
        QFETCH(Spin, spin);
        QFETCH(Field, field);
        QFETCH(QString, start);
        QFETCH(bool, upper);
        QFETCH(QString, expected);
        QFETCH(Field, derived);
        QFETCH(QString, derivedExpected);

        LoadedWindow w;
        if (!start.isEmpty())
            w->calculator().setText(field, start.toStdString());
        SpinBar* bar = w->spinControl(spin);
        clickArrow(bar, upper);
        QCOMPARE(w.text(field), expected);
        QCOMPARE(w.shown(field), expected);
        QCOMPARE(w.text(derived), derivedExpected);
        QCOMPARE(w.shown(derived), derivedExpected);
        QCOMPARE(bar->value(), 0); // back at rest, so that the next press counts
        QVERIFY(w.sink.empty());
    }

    // Only the spin controls take the focus; Tab goes through them in layout order, the arrow keys step them.
    void tabOrderAndArrowKeys()
    {
        LoadedWindow w;
        w->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(w.window.get()));
        const auto focused = [&](Spin spin) { return QApplication::focusWidget() == w->spinControl(spin); };
        const auto key = [](Qt::Key k) { QTest::keyClick(QApplication::focusWidget(), k); };

        QVERIFY(focused(Spin::VScroll4));
        const QImage marked = w->spinControl(Spin::VScroll4)->grab().toImage();
        const Spin order[] = {Spin::VScroll3, Spin::VScroll9, Spin::VScroll6, Spin::VScroll1, Spin::VScroll10,
                              Spin::VScroll7, Spin::VScroll8, Spin::VScroll2, Spin::VScroll5, Spin::VScroll4};
        for (Spin next : order) {
            key(Qt::Key_Tab);
            QVERIFY(focused(next));
            if (next == Spin::VScroll3) // the focus is drawn: VScroll4 looks different without it
                QVERIFY(w->spinControl(Spin::VScroll4)->grab().toImage() != marked);
            if (next == Spin::VScroll7) { // the arrow keys step the focused control
                key(Qt::Key_Up);
                QCOMPARE(w.shown(Field::Multiplier), QStringLiteral("11.5"));
                key(Qt::Key_Down);
                key(Qt::Key_Down);
                QCOMPARE(w.shown(Field::Multiplier), QStringLiteral("10.5"));
            }
        }
        key(Qt::Key_Backtab);
        QVERIFY(focused(Spin::VScroll5));
        QTest::mouseClick(w->fieldLabel(Field::CPU_OC_Prcnt), Qt::LeftButton); // labels never take the focus
        QVERIFY(focused(Spin::VScroll5));
        QCOMPARE(w.shown(Field::StockCPU_MHz), QStringLiteral("2200"));
    }

    // Clicks and wheel notches over a named widget. Label17 (the boot clock, 2211 on the profile): a left release
    // adds one MHz, a right one takes one away, with no recomputation. One notch over a value label or its spin
    // control is one press.
    void pointer_data()
    {
        QTest::addColumn<QString>("target");     // object name of the widget under the pointer
        QTest::addColumn<QStringList>("events"); // "left", "right", "middle", "double left", or a wheel delta
        QTest::addColumn<Field>("field");
        QTest::addColumn<QString>("expected");

        const QString l17 = QStringLiteral("Label17");
        QTest::newRow("Label17 left") << l17 << QStringList{"left"} << Field::Label17 << "2212";
        QTest::newRow("Label17 right") << l17 << QStringList{"right"} << Field::Label17 << "2210";
        QTest::newRow("Label17 middle: nothing") << l17 << QStringList{"middle"} << Field::Label17 << "2211";
        QTest::newRow("Label17 left, right, right")
            << l17 << QStringList{"left", "right", "right"} << Field::Label17 << "2210";
        QTest::newRow("Label17 double click releases twice")
            << l17 << QStringList{"double left"} << Field::Label17 << "2213";
        QTest::newRow("Label17 wheel") << l17 << QStringList{"120", "120"} << Field::Label17 << "2213";
        QTest::newRow("value label, notch up") << "StockCPU_MHz" << QStringList{"120"} << Field::StockCPU_MHz << "2300";
        QTest::newRow("spin control, notch down") << "VScroll4" << QStringList{"-120"} << Field::StockCPU_MHz << "2100";
        QTest::newRow("two notches in one event") << "Multiplier" << QStringList{"240"} << Field::Multiplier << "12";
        QTest::newRow("touchpad halves add up") << "OC_Vdimm" << QStringList{"60", "60"} << Field::OC_Vdimm << "2.625";
        QTest::newRow("a half notch alone") << "OC_Vdimm" << QStringList{"60"} << Field::OC_Vdimm << "2.6";
        QTest::newRow("caption: nothing") << "NamePlates(1)" << QStringList{"120"} << Field::StockCPU_MHz << "2200";
        QTest::newRow("derived value: nothing") << "shwCPU_MHz" << QStringList{"120"} << Field::shwCPU_MHz << "2200";
    }

    void pointer()
    {
        QFETCH(QString, target);
        QFETCH(QStringList, events);
        QFETCH(Field, field);
        QFETCH(QString, expected);

        LoadedWindow w;
        auto* widget = w->findChild<QWidget*>(target);
        QVERIFY(widget);
        const QString cpu = w.shown(Field::shwCPU_MHz);
        const QPoint at = widget->rect().center();
        for (const QString& event : events) {
            bool notch = false;
            const int delta = event.toInt(&notch);
            const auto button = event.endsWith(QLatin1String("left"))    ? Qt::LeftButton
                                : event.endsWith(QLatin1String("right")) ? Qt::RightButton
                                                                         : Qt::MiddleButton;
            if (notch)
                turnWheel(widget, delta);
            else if (event.startsWith(QLatin1String("double")))
                doubleClickPress(widget, button, at);
            else
                QTest::mousePress(widget, button, {}, at);
            if (!notch)
                QTest::mouseRelease(widget, button, {}, at);
        }
        QCOMPARE(w.shown(field), expected);
        QCOMPARE(w.text(field), expected);
        if (field == Field::Label17)
            QCOMPARE(w.shown(Field::shwCPU_MHz), cpu); // no recomputation
    }

    // Auto-sized labels grow and shrink to the right of a fixed left edge; the others keep their box.
    void labelsFollowTheirText()
    {
        LoadedWindow w;
        Calculator& calc = w->calculator();
        const Field grown[] = {Field::shwCPU_MHz, Field::CPU_OC_Prcnt, Field::StockCPU_Vcore};
        QList<QPoint> lefts;
        for (Field f : grown)
            lefts << w->fieldLabel(f)->pos();
        const int percentWidth = w->fieldLabel(Field::CPU_OC_Prcnt)->width();
        const QRect identityBox = w->fieldLabel(Field::CPU_Identity)->geometry();

        calc.setText(Field::BusSpeed, "227"); // 11 x 227 = 2497 MHz: "+13.6%"
        calc.setText(Field::StockCPU_Vcore, "1.3875");
        calc.setText(Field::CPU_Identity, std::string(300, 'W'));
        for (qsizetype i = 0; i < lefts.size(); ++i) {
            SkinLabel* label = w->fieldLabel(grown[i]);
            QCOMPARE(label->pos(), lefts[i]);
            QCOMPARE(label->width(), QFontMetrics(label->font()).horizontalAdvance(label->text()));
        }
        QVERIFY(w->fieldLabel(Field::CPU_OC_Prcnt)->width() > percentWidth);
        QCOMPARE(w->fieldLabel(Field::CPU_Identity)->geometry(), identityBox);

        calc.setText(Field::BusSpeed, "200"); // shrinks back, the left edge still fixed
        QCOMPARE(w->fieldLabel(Field::CPU_OC_Prcnt)->width(), percentWidth);
        QCOMPARE(w->fieldLabel(Field::CPU_OC_Prcnt)->pos(), lefts[1]);
        calc.setText(Field::CPU_Stepping, "<b>x</b>&amp;"); // markup is shown as text
        QCOMPARE(w.shown(Field::CPU_Stepping), QStringLiteral("<b>x</b>&amp;"));
    }

    // Tooltips reach the screen exactly: blanks kept, "™" intact, none where there is none.
    void toolTips()
    {
        LoadedWindow w;
        const std::pair<const char*, QString> tips[] = {
            {"NamePlates(0)", QString()}, // first: a hidden tip keeps its text
            {"Image4", QStringLiteral("Left Click - Append Results :   Right Click - Open Results")},
            {"NamePlates(26)", QStringLiteral("AMD Athlon\u2122 64 Processor Utilities, Drivers, & Updates")}};
        for (const auto& [element, tip] : tips) {
            auto* widget = w->findChild<QWidget*>(QLatin1String(element));
            QHelpEvent hover(QEvent::ToolTip, widget->rect().center(), widget->mapToGlobal(widget->rect().center()));
            QApplication::sendEvent(widget, &hover);
            QCOMPARE(QToolTip::text(), tip);
            QCOMPARE(QToolTip::isVisible(), !tip.isEmpty());
        }
    }
};

QTEST_MAIN(TestForm1)
#include "test_form1.moc"
