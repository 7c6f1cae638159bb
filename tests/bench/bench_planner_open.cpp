// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Clockdeck developers
// Benchmark (not a test): from Ctrl+P on a freshly loaded main window to the planner window shown and painted, the
// window built on first use each time; and a limit changed, from the new value to the map repainted. Medians.
//   QT_QPA_PLATFORM=offscreen bench_planner_open [RUNS] [SYSROOT] [PICTURE]   (or under xvfb-run, xcb platform)
// PICTURE: where to save the planner window as the first run drew it, with TARGET as its processor target if given
// (the README's screenshot: bench_planner_open 1 tests/data/profiles/athlon64 docs/planner.png 2400).
#include "shell/form1.h"
#include "shell/planmap.h"
#include "shell/plannerwindow.h"
#include "support/recordingsink.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QSpinBox>
#include <QTest>

#include <algorithm>
#include <cstdio>
#include <ctime>
#include <vector>

using namespace clockdeck;

namespace {

// The middle value; of an even count, the upper of the two middle ones.
double median(std::vector<double> values)
{
    std::nth_element(values.begin(), values.begin() + std::ptrdiff_t(values.size() / 2), values.end());
    return values[values.size() / 2];
}

int fail(const char* why)
{
    std::fprintf(stderr, "bench_planner_open: %s\n", why);
    return 1;
}

} // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 15;
    const std::filesystem::path sysroot = argc > 2 ? argv[2] : CLOCKDECK_TEST_DATA "/shell-profile";
    std::vector<double> open, openCpu, limit; // wall clock; processor time of this process
    for (int i = 0; i < runs; ++i) {
        test::RecordingSink sink;
        Form1 window(&sink);
        window.load(sysroot);
        window.activateWindow();
        if (!QTest::qWaitFor([&] { return window.isActiveWindow(); }))
            return fail("the main window never became active");
        QElapsedTimer timer;
        timer.start();
        const std::clock_t cpu = std::clock();
        QTest::keyClick(&window, Qt::Key_P, Qt::ControlModifier);
        PlannerWindow* planner = window.planner();
        if (!planner || !QTest::qWaitForWindowExposed(planner))
            return fail("Ctrl+P showed no planner");
        planner->repaint();
        open.push_back(double(timer.nsecsElapsed()) / 1e6);
        openCpu.push_back(double(std::clock() - cpu) * 1000 / CLOCKS_PER_SEC);
        if (argc > 3 && i == 0) {
            if (argc > 4)
                planner->findChild<QSpinBox*>(QStringLiteral("Processor target"))->setValue(std::atoi(argv[4]));
            if (!planner->grab().save(QString::fromLocal8Bit(argv[3])))
                return fail("the picture could not be saved");
        }

        timer.restart();
        planner->findChild<QSpinBox*>(QStringLiteral("Reference clock at most"))->stepDown();
        planner->map()->repaint();
        limit.push_back(double(timer.nsecsElapsed()) / 1e6);
    }
    // The first opening in the process also loads the desktop style's fonts and icons.
    std::printf("planner open (Ctrl+P to painted): first %.1f ms, median %.1f ms, max %.1f ms (%d runs, target <= "
                "150 ms)\n",
                open.front(), median(open), *std::max_element(open.begin(), open.end()), runs);
    std::printf("  processor time of the opening: first %.1f ms, median %.1f ms\n", openCpu.front(), median(openCpu));
    std::printf("limit changed (search and map repainted): median %.1f ms, max %.1f ms\n", median(limit),
                *std::max_element(limit.begin(), limit.end()));
    return 0;
}
