// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Clockdeck developers
//
// The main window's inputs: spin controls, keyboard, Label17 clicks, the wheel, and labels following the fields.
#include "shellfixture.h"

#include "shell/form1layout.h"
#include "shell/messageboxes.h"

#include <QAbstractButton>
#include <QApplication>
#include <QImage>
#include <QMessageBox>
#include <QMouseEvent>
#include <QTimer>
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

    void spinArrows_data();
    void spinArrows();
    void tabOrderAndArrowKeys();
    void label17Clicks_data();
    void label17Clicks();
    void wheel_data();
    void wheel();
    void autoSizedLabelsGrowRight();
    void fixedLabelsKeepTheirBox();
    void toolTips_data();
    void toolTips();
    void faultBoxes();
};

// ---- Spin controls: the arrow pressed changes the right field, and the labels follow -------------------------

void TestForm1::spinArrows_data()
{
    QTest::addColumn<Spin>("spin");
    QTest::addColumn<Field>("field");
    QTest::addColumn<QString>("start"); // written into the field before the press; empty: as the load left it
    QTest::addColumn<bool>("upper");
    QTest::addColumn<QString>("expected");
    QTest::addColumn<Field>("derived");
    QTest::addColumn<QString>("derivedExpected"); // empty: only "changed and shown"

    // The load leaves 2200 MHz stock, multiplier 11, reference clock 200, HyperTransport 5.
    QTest::newRow("numeric up: multiplier by a half")
        << Spin::VScroll7 << Field::Multiplier << "" << true << "11.5" << Field::shwCPU_MHz << "2300";
    QTest::newRow("numeric down: reference clock by one")
        << Spin::VScroll6 << Field::BusSpeed << "" << false << "199" << Field::Label13 << "995";
    QTest::newRow("numeric, 25 px tall VScroll9: memory voltage")
        << Spin::VScroll9 << Field::Stock_Vdimm << "" << true << "2.65" << Field::Label18 << "";
    QTest::newRow("list down: memory class to the next slower")
        << Spin::VScroll2 << Field::SelectDDR << "" << false << "183" << Field::shwDDR_MHz << "";
    QTest::newRow("module up: clock and rating together")
        << Spin::VScroll5 << Field::PCxxxx << "" << true << "PC3500" << Field::PCxxxxMHz << "216 MHz";
    QTest::newRow("module down") << Spin::VScroll5 << Field::PCxxxx << "" << false << "PC3000" << Field::PCxxxxMHz
                                 << "183 MHz";
    QTest::newRow("clamped at the top: multiplier 15 stays 15")
        << Spin::VScroll7 << Field::Multiplier << "15" << true << "15" << Field::shwCPU_MHz << "3000";
    QTest::newRow("clamped at the bottom: stock clock 1000 stays 1000")
        << Spin::VScroll4 << Field::StockCPU_MHz << "1000" << false << "1000" << Field::StockCPU_MHz << "1000";
    QTest::newRow("voltage below 1 has no leading zero")
        << Spin::VScroll3 << Field::StockCPU_Vcore << "1" << false << ".9875" << Field::StockCPU_Vcore << ".9875";
}

void TestForm1::spinArrows()
{
    QFETCH(Spin, spin);
    QFETCH(Field, field);
    QFETCH(QString, start);
    QFETCH(bool, upper);
    QFETCH(QString, expected);
    QFETCH(Field, derived);
    QFETCH(QString, derivedExpected);

    LoadedWindow w;
    if (!start.isEmpty()) {
        w->calculator().setText(field, start.toStdString());
    }
    const QString derivedBefore = w.shown(derived);
    SpinBar* bar = w->spinControl(spin);

    clickArrow(bar, upper);

    QCOMPARE(w.text(field), expected);
    QCOMPARE(w.shown(field), expected);
    QCOMPARE(w.shown(derived), w.text(derived));
    if (!derivedExpected.isEmpty()) {
        QCOMPARE(w.shown(derived), derivedExpected);
    } else {
        QVERIFY2(w.shown(derived) != derivedBefore, qPrintable(derivedBefore));
    }
    // Back at rest, so that a held arrow repeats and the next press counts.
    QCOMPARE(bar->value(), 0);
    QVERIFY(w.sink.faults.empty());
}

// ---- Keyboard: only the spin controls take the focus, Tab goes through them in layout order ------------------

void TestForm1::tabOrderAndArrowKeys()
{
    LoadedWindow w;
    w->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(w.window.get()));

    QCOMPARE(QApplication::focusWidget(), w->spinControl(Spin::VScroll4));
    // The focused one is marked: it looks different once the focus has moved on.
    const QImage focused = w->spinControl(Spin::VScroll4)->grab().toImage();
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    QVERIFY(w->spinControl(Spin::VScroll4)->grab().toImage() != focused);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Backtab);
    QCOMPARE(QApplication::focusWidget(), w->spinControl(Spin::VScroll4));

    const Spin order[] = {Spin::VScroll3, Spin::VScroll9, Spin::VScroll6, Spin::VScroll1, Spin::VScroll10,
                          Spin::VScroll7, Spin::VScroll8, Spin::VScroll2, Spin::VScroll5, Spin::VScroll4};
    for (Spin next : order) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), w->spinControl(next));
    }
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Backtab);
    QCOMPARE(QApplication::focusWidget(), w->spinControl(Spin::VScroll5));

    // Clicking a label or a picture never takes the focus away from the spin control.
    QTest::mouseClick(w->fieldLabel(Field::CPU_OC_Prcnt), Qt::LeftButton);
    QCOMPARE(QApplication::focusWidget(), w->spinControl(Spin::VScroll5));

    // Tab on to the multiplier, then the arrow keys step it.
    for (int i = 0; i < 7; ++i) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    }
    QCOMPARE(QApplication::focusWidget(), w->spinControl(Spin::VScroll7));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Up);
    QCOMPARE(w.shown(Field::Multiplier), QStringLiteral("11.5"));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Down);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Down);
    QCOMPARE(w.shown(Field::Multiplier), QStringLiteral("10.5"));
    QCOMPARE(w.shown(Field::StockCPU_MHz), QStringLiteral("2200")); // the others untouched
}

// ---- Label17: left release adds one MHz, right takes one away ----------------------------------------------

void TestForm1::label17Clicks_data()
{
    QTest::addColumn<QList<int>>("buttons"); // Qt::MouseButton values clicked in turn
    QTest::addColumn<bool>("doubleClick");
    QTest::addColumn<QString>("expected");

    // The profile's boot clock reads 2211 MHz.
    QTest::newRow("left") << QList<int>{Qt::LeftButton} << false << "2212";
    QTest::newRow("right") << QList<int>{Qt::RightButton} << false << "2210";
    QTest::newRow("middle does nothing") << QList<int>{Qt::MiddleButton} << false << "2211";
    QTest::newRow("left, right, right") << QList<int>{Qt::LeftButton, Qt::RightButton, Qt::RightButton} << false
                                        << "2210";
    QTest::newRow("a double click releases twice") << QList<int>{Qt::LeftButton} << true << "2213";
}

void TestForm1::label17Clicks()
{
    QFETCH(QList<int>, buttons);
    QFETCH(bool, doubleClick);
    QFETCH(QString, expected);

    LoadedWindow w;
    SkinLabel* label = w->fieldLabel(Field::Label17);
    QCOMPARE(label->text(), QStringLiteral("2211"));
    const QString cpu = w.shown(Field::shwCPU_MHz);
    for (int button : buttons) {
        if (doubleClick) {
            // As the window system sends it: press, release, double-click press, release.
            const QPointF at(label->rect().center());
            QTest::mouseClick(label, Qt::MouseButton(button), {}, at.toPoint());
            QMouseEvent second(QEvent::MouseButtonDblClick, at, label->mapToGlobal(at), Qt::MouseButton(button),
                               Qt::MouseButton(button), Qt::NoModifier);
            QApplication::sendEvent(label, &second);
            QTest::mouseRelease(label, Qt::MouseButton(button), {}, at.toPoint());
        } else {
            QTest::mouseClick(label, Qt::MouseButton(button));
        }
    }
    QCOMPARE(label->text(), expected);
    QCOMPARE(w.text(Field::Label17), expected);
    QCOMPARE(w.shown(Field::shwCPU_MHz), cpu); // no recomputation
}

// ---- Wheel: one notch over a value label or its spin control is one press ----------------------------------

void TestForm1::wheel_data()
{
    QTest::addColumn<QString>("target"); // object name of the widget under the pointer
    QTest::addColumn<QList<int>>("deltas");
    QTest::addColumn<Field>("field");
    QTest::addColumn<QString>("expected");

    QTest::newRow("value label, notch up") << "StockCPU_MHz" << QList<int>{120} << Field::StockCPU_MHz << "2300";
    QTest::newRow("spin control, notch down") << "VScroll4" << QList<int>{-120} << Field::StockCPU_MHz << "2100";
    QTest::newRow("two notches in one event") << "Multiplier" << QList<int>{240} << Field::Multiplier << "12";
    QTest::newRow("touchpad halves add up to one") << "OC_Vdimm" << QList<int>{60, 60} << Field::OC_Vdimm << "2.625";
    QTest::newRow("a half notch alone does nothing") << "OC_Vdimm" << QList<int>{60} << Field::OC_Vdimm << "2.6";
    QTest::newRow("rating line steps the module") << "PCxxxx" << QList<int>{120} << Field::PCxxxx << "PC3500";
    QTest::newRow("module clock line too") << "PCxxxxMHz" << QList<int>{-120} << Field::PCxxxxMHz << "183 MHz";
    QTest::newRow("list at its first entry stays") << "SelectDDR" << QList<int>{120} << Field::SelectDDR << "200";
    QTest::newRow("boot clock by one MHz") << "Label17" << QList<int>{120, 120} << Field::Label17 << "2213";
    QTest::newRow("caption: nothing") << "NamePlates(1)" << QList<int>{120} << Field::StockCPU_MHz << "2200";
    QTest::newRow("derived value: nothing") << "shwCPU_MHz" << QList<int>{120} << Field::shwCPU_MHz << "2200";
}

void TestForm1::wheel()
{
    QFETCH(QString, target);
    QFETCH(QList<int>, deltas);
    QFETCH(Field, field);
    QFETCH(QString, expected);

    LoadedWindow w;
    auto* widget = w->findChild<QWidget*>(target);
    QVERIFY(widget);
    for (int delta : deltas) {
        turnWheel(widget, delta);
    }
    QCOMPARE(w.shown(field), expected);
    QCOMPARE(w.text(field), expected);
}

// ---- Labels: auto-sized ones follow their text, others keep their box --------------------------------------

void TestForm1::autoSizedLabelsGrowRight()
{
    LoadedWindow w;
    Calculator& calc = w->calculator();
    const struct
    {
        Field field;
        int left, top; // twips, as laid out
    } grown[] = {
        {Field::shwCPU_MHz, 510, 3810},   // "2200" in a box made for one digit
        {Field::CPU_OC_Prcnt, 180, 3435}, // "+13.6%" in a box made for "%"
        {Field::StockCPU_Vcore, 1395, 1170},
    };
    calc.setText(Field::BusSpeed, "227"); // 11 x 227 = 2497 MHz, percentages grow
    calc.setText(Field::StockCPU_Vcore, "1.3875");
    for (const auto& g : grown) {
        SkinLabel* label = w->fieldLabel(g.field);
        const QFontMetrics metrics(label->font());
        QVERIFY(label->isAutoSized());
        QCOMPARE(label->pos(), QPoint(layout::px(g.left), layout::px(g.top)));
        QCOMPARE(label->width(), metrics.horizontalAdvance(label->text()));
        QVERIFY2(label->width() > layout::px(240), qPrintable(label->text()));
    }
    // Shrinks back to the left as well.
    SkinLabel* percent = w->fieldLabel(Field::CPU_OC_Prcnt);
    const int wide = percent->width();
    calc.setText(Field::BusSpeed, "200");
    QVERIFY(percent->width() < wide);
    QCOMPARE(percent->pos(), QPoint(12, 229));
}

void TestForm1::fixedLabelsKeepTheirBox()
{
    LoadedWindow w;
    Calculator& calc = w->calculator();
    SkinLabel* identity = w->fieldLabel(Field::CPU_Identity);
    const QRect box = identity->geometry();
    calc.setText(Field::CPU_Identity, std::string(300, 'W'));
    QCOMPARE(identity->geometry(), box);
    calc.setText(Field::CPU_Identity, "");
    QCOMPARE(identity->geometry(), box);

    // A value label that is not auto-sized keeps its box whatever it shows; markup is shown as text.
    SkinLabel* vdimm = w->fieldLabel(Field::OC_Vdimm);
    const QRect vdimmBox = vdimm->geometry();
    calc.setText(Field::OC_Vdimm, "5.975");
    QCOMPARE(vdimm->geometry(), vdimmBox);
    calc.setText(Field::CPU_Stepping, "<b>x</b>&amp;");
    QCOMPARE(w.shown(Field::CPU_Stepping), QStringLiteral("<b>x</b>&amp;"));
}

// ---- Tooltips reach the screen exactly: blanks kept, "™" intact ------------------------------------------------

void TestForm1::toolTips_data()
{
    QTest::addColumn<QString>("element");
    QTest::addColumn<QString>("tip");

    QTest::newRow("three blanks after the colon")
        << "Image4" << QStringLiteral("Left Click - Append Results :   Right Click - Open Results");
    QTest::newRow("blank on both sides") << "Image2" << QStringLiteral(" EXIT ");
    QTest::newRow("trade mark sign") << "NamePlates(26)"
                                     << QStringLiteral("AMD Athlon\u2122 64 Processor Utilities, Drivers, & Updates");
    QTest::newRow("ampersand and markup-like text")
        << "NamePlates(8)" << QStringLiteral("AMD64 s754 & s939 use a 200 MHz clock by default");
    QTest::newRow("a caption without a tip") << "NamePlates(0)" << QString();
}

void TestForm1::toolTips()
{
    QFETCH(QString, element);
    QFETCH(QString, tip);

    LoadedWindow w;
    auto* widget = w->findChild<QWidget*>(element);
    QVERIFY(widget);
    QToolTip::hideText();
    const QPoint at = widget->rect().center();
    QHelpEvent hover(QEvent::ToolTip, at, widget->mapToGlobal(at));
    QApplication::sendEvent(widget, &hover);
    QCOMPARE(QToolTip::text(), tip);
    QCOMPARE(QToolTip::isVisible(), !tip.isEmpty());
}

// ---- The calculator's faults as message boxes --------------------------------------------------------------

void TestForm1::faultBoxes()
{
    MessageBoxes boxes;
    const struct
    {
        void (MessageBoxes::*raise)(std::string_view);
        QString caption;
        QMessageBox::Icon icon;
        QString text;
    } cases[] = {
        {&MessageBoxes::updateFault, "Clockdeck", QMessageBox::NoIcon, "Overflow Data value error: Sub Update"},
        {&MessageBoxes::ceilFault, "Function Ceil Error!", QMessageBox::Information, "Type <i>mismatch</i>"},
    };
    for (const auto& c : cases) {
        QString caption, text;
        QMessageBox::Icon icon = QMessageBox::Critical;
        QList<QAbstractButton*> buttons;
        Qt::TextFormat format = Qt::AutoText;
        QTimer::singleShot(0, this, [&] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            QVERIFY(box);
            caption = box->windowTitle();
            text = box->text();
            icon = box->icon();
            buttons = box->buttons();
            format = box->textFormat();
            box->button(QMessageBox::Ok)->click();
        });
        (boxes.*c.raise)(c.text.toStdString());
        QCOMPARE(caption, c.caption);
        QCOMPARE(text, c.text);
        QCOMPARE(icon, c.icon);
        QCOMPARE(buttons.size(), 1);
        QCOMPARE(format, Qt::PlainText);
    }
}

QTEST_MAIN(TestForm1)
#include "test_form1.moc"
