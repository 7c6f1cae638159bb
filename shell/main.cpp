// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Clockdeck developers
#include "shell/form2.h"
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

    // The start-up role: a later start only brings the running window forward and ends with status 0; the first
    // loads the main window and stays in the tray until one of the ways out.
    clockdeck::Form2::Options startup;
    startup.sysroot = options.sysroot;
    clockdeck::Form2 form2(startup);
    if (!form2.load() || form2.isUnloaded()) {
        return 0;
    }
    return QApplication::exec();
}
