// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Clockdeck developers
#pragma once

#include "desktopeditor.h"
#include "form1.h"
#include "reportoutputs.h"
#include "singleinstance.h"

#include <QCoreApplication>
#include <QObject>
#include <QPointer>
#include <QSystemTrayIcon>
#include <QTimer>

#include <filesystem>
#include <functional>
#include <memory>
#include <optional>

class QAction;
class QMenu;

namespace clockdeck {

class UnixSignals;

// The start-up role: makes sure one instance runs, loads the main window, owns the tray icon and its menu, and
// ends the program. Nothing of it is ever seen but the icon.
class Form2 : public QObject
{
    Q_OBJECT

public:
    struct Options
    {
        std::filesystem::path sysroot = "/";
        // Where the single-instance channel lives, and the graphical session it is for.
        QString runtimeFolder = SingleInstance::defaultFolder();
        QString sessionKey = SingleInstance::displayKey();
        // End the program cleanly on SIGTERM, SIGINT and SIGHUP. Tests leave the handlers alone.
        bool handleSignals = true;
        // What unload does last; tests record it instead.
        std::function<void()> quit = [] { QCoreApplication::quit(); };
    };

    explicit Form2(QObject* parent = nullptr);
    explicit Form2(Options options, QObject* parent = nullptr);
    ~Form2() override;

    // The program's start. An exit status when this process should end now, having shown nothing and added no
    // icon: 0 when the running instance showed its main window, 1 when it did not answer.
    [[nodiscard]] std::optional<int> load();

    Form1* mainWindow() const { return m_form1; }
    QSystemTrayIcon* trayIcon() const { return m_tray; }
    // The icon's menu, mnuFile: "Plan an overclock…" above "Show Clockdeck" (mnuShow) above "Exit Clockdeck"
    // (mnuexit).
    QMenu* trayMenu() const { return m_mnuFile.get(); }
    ReportOutputs& outputs() { return m_outputs; }
    DesktopEditor& editor() { return m_editor; }
    bool isUnloaded() const { return m_unloaded; }

    // Whether minimising the main window hides it: only while the icon is there to bring it back.
    bool hidesWhenMinimised() const;

public slots:
    // The icon's double-click (one activation on trays without double clicks), "Show Clockdeck" and a later start's
    // request: the main window shown in its normal state, raised and
    // activated; loaded anew, with its whole load, when it was closed.
    void restoreMainWindow();

    // "Plan an overclock…": the main window brought back as restoreMainWindow does, and its planner in front.
    void showPlanner();

    // Every way out (mnuexit, Image2, the session ending, SIGTERM): the main window goes, then the icon, then the
    // program ends. Runs once.
    void unload();

    // The tray was lost or came back (the desktop shell restarted): the icon follows, and a main window hidden
    // in a tray that is gone comes back as a normal minimised window.
    void checkTray();

signals:
    void unloaded();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    std::optional<int> PrevInstance(QPointer<Form1>& FrmToShow);
    void loadMainWindow(QPointer<Form1>& FrmToShow);
    void recordMainWindow();
    void addTrayIcon();
    void trayActivated(QSystemTrayIcon::ActivationReason reason);
    void mainWindowDestroyed();

    Options m_options;
    DesktopEditor m_editor;
    ReportOutputs m_outputs;
    SingleInstance* m_instance = nullptr;
    UnixSignals* m_signals = nullptr;
    QPointer<Form1> m_form1;
    QSystemTrayIcon* m_tray = nullptr;
    std::unique_ptr<QMenu> m_mnuFile;
    QAction* m_mnuPlan = nullptr;
    QAction* m_mnuShow = nullptr;
    QAction* m_mnuexit = nullptr;
    QTimer m_trayWatch;
    bool m_loadingMainWindow = false;
    bool m_unloaded = false;
};

} // namespace clockdeck
