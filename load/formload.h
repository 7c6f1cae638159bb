// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Clockdeck developers
#pragma once

#include <filesystem>

namespace clockdeck {

class Calculator;

/// What the load sequence asks of the window it loads: the window implements it, headless programs do nothing.
class LoadWindow
{
public:
    virtual ~LoadWindow() = default;
    /// Move the window, keeping its size, to the centre of the screen.
    virtual void centre() = 0;
    /// Show the window, not modal.
    virtual void show() = 0;
    /// Let the window system process the events pending now (the window paints before the probe).
    virtual void processEvents() = 0;
};

/// A window that is not there: every step does nothing.
class HeadlessWindow final : public LoadWindow
{
public:
    void centre() override {}
    void show() override {}
    void processEvents() override {}
};

/// The main window's load: fills the preset lists, sets the starting memory grade through the module spin,
/// centres, shows and paints the window, probes the machine below @p sysroot, identifies the processor, sets the
/// stock values and lowers the HyperTransport multiplier while the link clock exceeds LinkLimitMHz.
/// Expects a calculator in its initial state (Calculator::reset()).
void Form_Load(Calculator& calc, LoadWindow& window, const std::filesystem::path& sysroot = "/");

/// Whether the processor below @p sysroot is one the load knows: an AMD processor of family 15, the Athlon 64
/// family. For any other, or none readable, the stock values the load shows are the calculator's defaults.
[[nodiscard]] bool isAthlon64Family(const std::filesystem::path& sysroot = "/");

} // namespace clockdeck
