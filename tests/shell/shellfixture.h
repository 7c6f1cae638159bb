// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Clockdeck developers
#pragma once

#include "shell/form1.h"
#include "shell/skinlabel.h"
#include "shell/spinbar.h"
#include "support/recordingsink.h"

#include <QTest>

#include <memory>

namespace clockdeck::test {

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
        if (!QTest::qWaitForWindowExposed(window.get())) {
            qFatal("the main window was never exposed");
        }
    }
    Form1* operator->() { return window.get(); }
};

} // namespace clockdeck::test
