// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Clockdeck developers
#include "shellfixture.h"

#include "report/getdata.h"
#include "shell/form2.h"
#include "shell/planmap.h"
#include "shell/plannerwindow.h"

#include <QAccessible>
#include <QApplication>
#include <QCheckBox>
#include <QHelpEvent>
#include <QLabel>
#include <QMenu>
#include <QSignalSpy>
#include <QSpinBox>
#include <QStandardPaths>
#include <QTableView>
#include <QTemporaryDir>
#include <QToolTip>

#include <ctime>
#include <locale>
#include <tuple>

using namespace clockdeck;
using namespace clockdeck::test;

namespace {

std::string report(const Calculator& calc)
{
    std::tm when{};
    when.tm_year = 126;
    when.tm_mday = 7;
    return GetData(calc.fields(), when, std::locale::classic());
}

} // namespace

class TestPlannerWindow : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }

    // Each way of applying: the main window then holds exactly the fields, the report and the list position that
    // setting the combination's four fields by hand gives.
    void applyGivesSameReport_data()
    {
        QTest::addColumn<QString>("way");
        QTest::addColumn<int>("maxRef"); // the limits change which row is best
        QTest::newRow("table: double click on rank 3") << "table click" << 300;
        QTest::newRow("table: Enter on rank 2") << "table key" << 300;
        QTest::newRow("map: Enter on the best cell, 250 MHz limit") << "map key" << 250;
        QTest::newRow("map: double click three cells left of the best") << "map click" << 300;
    }

    void applyGivesSameReport()
    {
        QFETCH(QString, way);
        QFETCH(int, maxRef);
        LoadedWindow w;
        w->activateWindow();
        QTRY_VERIFY(w->isActiveWindow());
        QTest::keyClick(w.window.get(), Qt::Key_P, Qt::ControlModifier);
        PlannerWindow* planner = w->planner();
        QVERIFY(planner && QTest::qWaitForWindowExposed(planner));
        planner->findChild<QSpinBox*>("Reference clock at most")->setValue(maxRef);
        QCOMPARE(planner->result()->limits.maxRef, maxRef);
        QSignalSpy applied(planner, &PlannerWindow::applied);
        const std::string before = report(w->calculator());

        QTableView* table = planner->table();
        PlanMap* map = planner->map();
        const std::vector<PlanRow>& rows = planner->result()->rows;
        const QPoint left = map->cellRect(rows[0].busSpeed - 103, int((rows[0].multiplier - 4) * 2)).center().toPoint();
        const PlanRow* expected = &rows[0];
        if (way == "table click") {
            const QPoint where = table->visualRect(table->model()->index(2, 1)).center();
            QTest::mouseClick(table->viewport(), Qt::LeftButton, {}, where); // as a real double click begins
            QTest::mouseDClick(table->viewport(), Qt::LeftButton, {}, where);
            expected = &rows[2];
        } else if (way == "table key") {
            table->setFocus();
            QTest::keyClick(table, Qt::Key_Down);
            QTest::keyClick(table, Qt::Key_Return);
            expected = &rows[1];
        } else if (way == "map key") {
            map->setFocus();
            QTest::keyClick(map, Qt::Key_Left); // away from the best cell and back
            QTest::keyClick(map, Qt::Key_Home);
            QTest::keyClick(map, Qt::Key_Enter);
        } else {
            QTest::mouseDClick(map, Qt::LeftButton, {}, left);
            expected = &*map->cellAt(left)->best;
        }
        QCOMPARE(applied.count(), 1);
        const auto row = applied.takeFirst().at(0).value<PlanRow>();
        QVERIFY(std::tie(row.busSpeed, row.multiplier, row.hyperTransport, row.memoryClass) ==
                std::tie(expected->busSpeed, expected->multiplier, expected->hyperTransport, expected->memoryClass));

        const Calculator& a = w->calculator();
        QVERIFY(report(a) != before); // the combination is not what the load left
        RecordingSink sink;
        Calculator b(sink); // the same load, then the four fields set by hand
        HeadlessWindow headless;
        Form_Load(b, headless, profile());
        b.setText(Field::BusSpeed, std::to_string(row.busSpeed));
        b.setText(Field::Multiplier, QString::number(row.multiplier).toStdString());
        b.setText(Field::HyperTransport, std::to_string(row.hyperTransport));
        b.setText(Field::SelectDDR, b.List1.item(row.memoryClass));
        QCOMPARE(report(a), report(b));
        // SelectDDR's spin steps on from the applied class, not from where the list was before.
        w->calculator().down(Spin::VScroll2);
        const int next = std::min(row.memoryClass + 1, a.List1.ListCount() - 1);
        QCOMPARE(a.text(Field::SelectDDR), std::string(a.List1.item(next)));
        QVERIFY(w.sink.empty() && sink.empty());
    }

    // The map as reviewed, its tooltip, its accessible summary, and a limit changed redrawing it.
    void mapRender()
    {
        LoadedWindow w;
        PlanMap map;
        const auto search = [&](double maxRef) {
            PlanLimits limits;
            limits.maxRef = maxRef;
            // Colour at the lower left, and each limit's hatching: the processor target at the top, the link from
            // 231 MHz, the memory (modules rated for 130 MHz) from about 260 MHz.
            limits.maxCpu = 1800;
            limits.maxLink = 230;
            limits.ramRating = 130;
            auto result =
                std::make_shared<const PlanResult>(findBest(w->calculator(), limits, w->stockMultiplier(), false));
            QStringList classes;
            for (const std::string& item : w->calculator().List1.items) {
                classes << QString::fromStdString(item);
            }
            map.setResult(result, classes);
            return result;
        };
        const auto result = search(300);
        map.resize(560, 360);
        map.show();
        QVERIFY(QTest::qWaitForWindowExposed(&map));
        const QString differs = renderDifference(map.grab().toImage(), "planmap");
        QVERIFY2(differs.isEmpty(), qPrintable(differs));

        // The pointer over the best cell names its combination, as the summary does.
        const PlanRow& best = result->rows.front();
        const QPoint centre = map.cellRect(best.busSpeed - 100, int((best.multiplier - 4) * 2)).center().toPoint();
        QHelpEvent help(QEvent::ToolTip, centre, map.mapToGlobal(centre));
        QApplication::sendEvent(&map, &help);
        const QString head = QStringLiteral("%1 MHz × %2").arg(best.busSpeed).arg(best.multiplier);
        QVERIFY2(QToolTip::text().startsWith(head + ": processor "), qPrintable(QToolTip::text()));
        QVERIFY2(map.accessibleDescription().startsWith("Best: " + head), qPrintable(map.accessibleDescription()));
        QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(&map);
        QVERIFY(accessible && accessible->role() == QAccessible::Chart); // named in the Tab order of opening()

        search(250); // fewer reference clocks: wider columns, the last at 250 MHz
        QVERIFY(map.cellRect(150, 0).isValid() && !map.cellRect(151, 0).isValid());
    }

    // Built on first use; Ctrl+P and the tray menu open it; every control named for a screen reader and reached by
    // Tab; the desktop's palette and font; an FX processor's multiplier unlocked and the map going up to 15.
    void opening()
    {
        QTemporaryDir runtime;
        Form2 form2({.sysroot = profile(),
                     .runtimeFolder = runtime.path(),
                     .sessionKey = QStringLiteral("planner-test"),
                     .handleSignals = false,
                     .quit = [] {}});
        QVERIFY(!form2.load());
        Form1* main = form2.mainWindow();
        QVERIFY(main && !main->planner() && !main->findChild<PlannerWindow*>());
        QVERIFY(QTest::qWaitForWindowActive(main)); // the load's own activation is over
        QStringList menu;
        for (const QAction* action : form2.trayMenu()->actions()) {
            menu << action->text();
        }
        QCOMPARE(menu.join(", "), QStringLiteral("Plan an overclock…, Show Clockdeck, Exit Clockdeck"));
        main->hide(); // in the tray: the entry brings the main window back with the planner
        form2.trayMenu()->actions().constFirst()->trigger();
        QVERIFY(main->isVisible());
        PlannerWindow* planner = main->planner();
        QVERIFY(planner);
        QTRY_VERIFY(planner->isActiveWindow()); // the window's handle can say so before the application does
        QCOMPARE(planner->palette(), QApplication::palette(planner));
        QCOMPARE(planner->font(), QApplication::font(planner));
        QCOMPARE(planner->result()->multiplierLimit, main->stockMultiplier());

        QStringList order;
        QWidget* start = QApplication::focusWidget();
        QVERIFY(start && planner->isAncestorOf(start));
        QWidget* focus = start;
        do {
            order << QAccessible::queryAccessibleInterface(focus)->text(QAccessible::Name);
            QTest::keyClick(focus, Qt::Key_Tab);
            focus = QApplication::focusWidget();
        } while (focus != start && order.size() < 20);
        QCOMPARE(order.join(", "), QStringLiteral("Processor target, Reference clock at most, Link at most, Memory "
                                                  "margin above its rating, Unlocked multiplier, Overclock map, Best "
                                                  "combinations, Close"));
        // A held input changed in the main window searches again; a varied one does not.
        QSignalSpy searches(planner->table()->model(), &QAbstractItemModel::modelReset);
        main->calculator().up(Spin::VScroll6); // BusSpeed
        QTest::qWait(20);
        QCOMPARE(searches.count(), 0);
        main->calculator().down(Spin::VScroll5); // the modules' rating, 200 to 183 MHz
        QTRY_COMPARE(searches.count(), 1);
        QCOMPARE(planner->result()->ramLimit, 183.0);
        QTest::keyClick(planner, Qt::Key_Escape);
        QTRY_VERIFY(!planner->isVisible());

        main->activateWindow();
        QTRY_VERIFY(main->isActiveWindow());
        QTest::keyClick(main, Qt::Key_P, Qt::ControlModifier);
        QCOMPARE(main->planner(), planner);
        QVERIFY(planner->isVisible());
        Form1 fxWindow(nullptr);
        fxWindow.load(std::filesystem::path(CLOCKDECK_TEST_DATA) / "profiles/fx-53");
        fxWindow.showPlanner();
        QVERIFY(fxWindow.planner()->findChild<QCheckBox*>("unlocked")->isChecked());
        QCOMPARE(fxWindow.planner()->result()->multiplierLimit, 15.0);

        // Readable modules: the slowest one's rating is the memory limit until the main window's rating changes.
        Form1 modules(nullptr);
        modules.load(std::filesystem::path(CLOCKDECK_TEST_DATA) / "profiles/athlon64-754");
        modules.showPlanner();
        QCOMPARE(modules.planner()->result()->ramLimit, 166.0);
        QVERIFY(modules.planner()->findChild<QLabel*>("planStatus")->text().contains("slowest module's rating, 166"));
        modules.calculator().down(Spin::VScroll5);
        QTRY_COMPARE(modules.planner()->result()->ramLimit, 183.0);
    }
};

QTEST_MAIN(TestPlannerWindow)
#include "test_plannerwindow.moc"
