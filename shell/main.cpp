// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Clockdeck developers
#include "shell/form1.h"
#include "shell/startup.h"

#include <QApplication>

int main(int argc, char* argv[])
{
    if (const auto status = clockdeck::handleEarlyOptions(argc, argv)) {
        return *status;
    }
    QApplication app(argc, argv);
    const clockdeck::StartOptions options = clockdeck::parseStartOptions(QApplication::arguments());
    if (options.exitCode) {
        return *options.exitCode;
    }
    clockdeck::prepareApplication(app);

    clockdeck::Form1 window;
    window.load(options.sysroot);
    return QApplication::exec();
}
