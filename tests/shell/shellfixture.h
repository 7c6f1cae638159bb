// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Clockdeck developers
#pragma once

#include "shell/form1.h"
#include "shell/singleinstance.h"
#include "shell/skinlabel.h"
#include "shell/spinbar.h"
#include "support/recordingsink.h"

#include <QStyle>
#include <QStyleOptionSlider>
#include <QTest>

#include <future>
#include <memory>
#include <string>
#include <vector>

namespace clockdeck::test {

using test::RecordingSink;

// The fixed machine profile of these tests: an Athlon 64 3500+ whose boot clock reads 2211 MHz.
inline std::filesystem::path profile()
{
    return qEnvironmentVariable("CLOCKDECK_TEST_PROFILE").toStdString();
}

// A main window after its whole load on the test profile, shown, with faults recorded.
struct LoadedWindow
{
    RecordingSink sink;
    std::unique_ptr<Form1> window = std::make_unique<Form1>(&sink);

    LoadedWindow()
    {
        window->load(profile());
        if (!QTest::qWaitForWindowExposed(window.get()))
            qFatal("the main window was never exposed");
    }
    Form1* operator->() { return window.get(); }
    QString text(Field field) const { return QString::fromStdString(window->calculator().text(field)); }
    QString shown(Field field) const { return window->fieldLabel(field)->text(); }
};

// Clicks the middle of a spin control's upper (step up) or lower arrow, found the way the style draws it.
inline void clickArrow(QScrollBar* bar, bool upper)
{
    QStyleOptionSlider option;
    option.initFrom(bar);
    option.subControls = QStyle::SC_All;
    option.orientation = bar->orientation();
    option.minimum = bar->minimum();
    option.maximum = bar->maximum();
    option.sliderPosition = bar->sliderPosition();
    option.sliderValue = bar->value();
    option.singleStep = bar->singleStep();
    option.pageStep = bar->pageStep();
    const auto control = upper ? QStyle::SC_ScrollBarSubLine : QStyle::SC_ScrollBarAddLine;
    const QPoint at = bar->style()->subControlRect(QStyle::CC_ScrollBar, &option, control, bar).center();
    QTest::mouseClick(bar, Qt::LeftButton, {}, at);
}

// One wheel notch (or part of one) over a widget: positive away from the user.
inline void turnWheel(QWidget* widget, int angleDelta)
{
    const QPointF local(widget->rect().center());
    QWheelEvent event(local, widget->mapToGlobal(local), QPoint(), QPoint(0, angleDelta), Qt::NoButton, Qt::NoModifier,
                      Qt::NoScrollPhase, false);
    QApplication::sendEvent(widget, &event);
}

// A double click as the window system sends it: press, release, double-click press; the last release is left to
// the caller.
inline void doubleClickPress(QWidget* target, Qt::MouseButton button, QPoint at)
{
    QTest::mouseClick(target, button, {}, at);
    QMouseEvent second(QEvent::MouseButtonDblClick, QPointF(at), target->mapToGlobal(QPointF(at)), button, button,
                       Qt::NoModifier);
    QApplication::sendEvent(target, &second);
}

// A later start claiming the channel from a thread of its own, blocking as the real one does, while this thread's
// events let the first instance answer.
inline SingleInstance::Claim pokeFromLaterStart(const QString& folder, const QString& key)
{
    auto answer = std::async(std::launch::async, [folder, key] { return SingleInstance(folder, key).claim(3000); });
    while (answer.wait_for(std::chrono::milliseconds(0)) != std::future_status::ready)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    return answer.get();
}

} // namespace clockdeck::test
