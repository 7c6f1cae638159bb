// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Clockdeck developers
//
// Many random presses through the real widgets: nothing leaves its range, every label shows what a fresh
// recomputation gives, and no fault is raised.
#include "shellfixture.h"

#include "calc/numbertext.h"
#include "shell/form1layout.h"

#include <QApplication>
#include <QRandomGenerator>

using namespace clockdeck;
using namespace clockdeck::test;

class TestSoak : public QObject
{
    Q_OBJECT

private slots:
    void randomPresses()
    {
        LoadedWindow w;
        Calculator& calc = w->calculator();
        QRandomGenerator random(20261206); // fixed: a failure can be replayed
        int label17 = 2211;
        for (int i = 0; i < 20000; ++i) {
            const int kind = int(random.bounded(10));
            if (kind < 7) {
                const auto& row = layout::SpinControls[random.bounded(quint32(layout::SpinControls.size()))];
                clickArrow(w->spinControl(row.spin), random.bounded(2) == 0);
            } else if (kind < 8) {
                const bool left = random.bounded(2) == 0;
                QTest::mouseClick(w->fieldLabel(Field::Label17), left ? Qt::LeftButton : Qt::RightButton);
                label17 += left ? 1 : -1;
            } else {
                const auto& target = layout::WheelTargets[random.bounded(quint32(layout::WheelTargets.size()))];
                turnWheel(w->fieldLabel(target.field), random.bounded(2) == 0 ? 120 : -120);
            }
        }
        QVERIFY(w.sink.empty());
        QCOMPARE(w.text(Field::Label17), QString::number(label17));
        for (const InputRange& range : InputRanges) {
            const double value = ParseLeadingNumber(calc.text(range.field));
            QVERIFY2(value >= range.low && value <= range.high, fieldName(range.field).data());
        }
        QVERIFY(calc.List1.find(calc.text(Field::SelectDDR)) >= 0);
        const int module = calc.List2.find(calc.text(Field::PCramNum));
        QVERIFY(module >= 0);
        QCOMPARE(w.text(Field::PCxxxx), QString::fromStdString(std::string(calc.List3.item(module))));
        QCOMPARE(w.text(Field::PCxxxxMHz), w.text(Field::PCramNum) + QStringLiteral(" MHz"));

        // Every label shows its field, and a fresh recomputation changes none of them.
        const auto texts = [&](bool shown) {
            QStringList list;
            for (std::size_t f = 0; f < FieldCount; ++f)
                if (SkinLabel* label = w->fieldLabel(Field(f)))
                    list << (shown ? label->text() : w.text(Field(f)));
            return list;
        };
        const QStringList before = texts(true);
        QCOMPARE(before, texts(false));
        calc.Update();
        QCOMPARE(texts(true), before);
        QVERIFY(w.sink.empty());
        for (SpinBar* bar : w->findChildren<SpinBar*>())
            QCOMPARE(bar->value(), 0);
    }
};

QTEST_MAIN(TestSoak)
#include "test_soak.moc"
