// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Clockdeck developers
#include "form2.h"

#include "form1.h"
#include "pictures.h"
#include "unixsignals.h"

#include <QAction>
#include <QApplication>
#include <QCursor>
#include <QMenu>
#include <QMouseEvent>
#include <QSettings>
#include <QWindow>

#include <csignal>

namespace clockdeck {

namespace {

// A tray that comes back (the panel restarted) is noticed within this time. Slow on purpose: it only looks.
constexpr int TrayWatchMs = 2000;

} // namespace

Form2::Form2(QObject* parent) : Form2(Options(), parent) {}

Form2::Form2(Options options, QObject* parent) : QObject(parent), m_options(std::move(options)), m_outputs(m_editor)
{
    m_trayWatch.setInterval(TrayWatchMs);
    connect(&m_trayWatch, &QTimer::timeout, this, &Form2::checkTray);
}

Form2::~Form2()
{
    // Leaving without unload (a test, an exception): no window and no icon may outlive the start-up role, and the
    // window going now must not start an unload from inside this destructor.
    m_unloaded = true;
    delete m_form1;
    if (m_tray)
        m_tray->hide();
}

bool Form2::load()
{
    if (!PrevInstance(m_form1))
        return false;

    // The main window no longer ends the program when it closes: the icon stays and can load it again.
    QGuiApplication::setQuitOnLastWindowClosed(false);
    connect(qApp, &QCoreApplication::aboutToQuit, this, &Form2::unload);
    if (m_options.handleSignals) {
        m_signals = new UnixSignals({SIGTERM, SIGINT, SIGHUP}, this);
        connect(m_signals, &UnixSignals::received, this, &Form2::unload);
        // A results file that reaches the user's file size limit fails the append with "File too large" and is
        // put back; without this the signal would end the program instead.
        std::signal(SIGXFSZ, SIG_IGN);
    }
    addTrayIcon();
    m_trayWatch.start();
    return !m_unloaded;
}

bool Form2::PrevInstance(QPointer<Form1>& FrmToShow)
{
    // The channel, not the recorded window id, reaches the running instance: it works whether the setting is
    // missing, stale or not a number, and a crashed instance leaves no channel behind.
    m_instance = new SingleInstance(m_options.channel, m_options.channelNamespace, this);
    if (m_instance->pokeRunning())
        return false;
    // Two starts at the same moment: the one that got the channel first is the running instance.
    if (!m_instance->listen() && m_instance->pokeRunning())
        return false;
    connect(m_instance, &SingleInstance::showRequested, this, &Form2::restoreMainWindow);

    loadMainWindow(FrmToShow);
    QCoreApplication::processEvents();
    recordMainWindow();
    return true;
}

void Form2::loadMainWindow(QPointer<Form1>& FrmToShow)
{
    m_loadingMainWindow = true;
    auto* window = new Form1;
    FrmToShow = window;
    // Closing the main window unloads it; the icon loads it again.
    window->setAttribute(Qt::WA_DeleteOnClose);
    window->setMinimisePolicy([this] { return hidesWhenMinimised(); });
    connect(window, &Form1::copyRequested, this, [this, window] { m_outputs.copy(window->calculator().fields()); });
    connect(window, &Form1::resultsReleased, this, [this, window](Qt::MouseButton button) {
        m_outputs.resultsReleased(window->calculator().fields(), button, window);
    });
    connect(window, &Form1::exitRequested, this, &Form2::unload);
    connect(window, &QObject::destroyed, this, &Form2::mainWindowDestroyed);
    window->load(m_options.sysroot);
    m_loadingMainWindow = false;
}

void Form2::recordMainWindow()
{
    if (!m_form1)
        return;
    // Kept for the record under the organisation and program names; later starts go through the channel.
    QSettings settings(QStringLiteral("Tarnwick"), QStringLiteral("Clockdeck"));
    settings.setValue(QStringLiteral("Clockdeck/Hwnd"), QString::number(static_cast<qint64>(m_form1->winId())));
}

void Form2::addTrayIcon()
{
    QIcon icon = QGuiApplication::windowIcon();
    if (icon.isNull())
        icon = pictures::icon();
    m_tray = new QSystemTrayIcon(icon, this);
    qApp->installEventFilter(this);
    m_tray->setToolTip(QStringLiteral("Clockdeck"));

    m_mnuFile = std::make_unique<QMenu>();
    m_mnuexit = m_mnuFile->addAction(QStringLiteral("Exit Clockdeck"));
    connect(m_mnuexit, &QAction::triggered, this, &Form2::unload);
    connect(m_tray, &QSystemTrayIcon::activated, this, &Form2::trayActivated);

    if (QSystemTrayIcon::isSystemTrayAvailable())
        m_tray->show();
}

void Form2::trayActivated(QSystemTrayIcon::ActivationReason reason)
{
    switch (reason) {
    case QSystemTrayIcon::DoubleClick:
        restoreMainWindow();
        break;
    case QSystemTrayIcon::Context:
        // Tray hosts that only report the click (StatusNotifierItem) get the menu here; an X11 tray icon reports
        // the press, and the menu waits for the release (eventFilter).
        if (!m_menuOnRelease)
            popUpTrayMenu(QCursor::pos());
        break;
    default: // a single left click or a middle click does nothing
        break;
    }
}

void Form2::popUpTrayMenu(const QPoint& at)
{
    // The menu is not handed to the icon (setContextMenu), which would open it on the press.
    m_mnuFile->popup(at);
    m_mnuFile->activateWindow();
}

bool Form2::eventFilter(QObject* watched, QEvent* event)
{
    // Qt's X11 tray icon is a small widget of this class inside the tray: releasing the right button on it opens
    // the menu, as on every desktop that draws its own icons.
    const QEvent::Type type = event->type();
    if ((type == QEvent::MouseButtonPress || type == QEvent::MouseButtonRelease) && !m_unloaded &&
        watched->inherits("QSystemTrayIconSys")) {
        const auto* mouse = static_cast<QMouseEvent*>(event);
        if (mouse->button() == Qt::RightButton) {
            m_menuOnRelease = true;
            if (type == QEvent::MouseButtonRelease)
                popUpTrayMenu(mouse->globalPosition().toPoint());
        }
    }
    return QObject::eventFilter(watched, event);
}

void Form2::restoreMainWindow()
{
    if (m_unloaded || m_loadingMainWindow)
        return; // the load in progress shows the window itself
    if (!m_form1) {
        loadMainWindow(m_form1);
        QCoreApplication::processEvents();
        recordMainWindow();
        return;
    }
    constexpr Qt::WindowStates NotNormal = Qt::WindowMinimized | Qt::WindowMaximized | Qt::WindowFullScreen;
    m_form1->setWindowState(m_form1->windowState() & ~NotNormal);
    // A window hidden after the window manager iconified it keeps native state that Qt no longer sees (on X11 it
    // can map again as an icon, or not at all). A fresh native window comes up plainly normal, at the same place.
    const bool recreated = m_form1->isHidden() && m_form1->windowHandle();
    if (recreated)
        m_form1->windowHandle()->destroy();
    m_form1->show();
    m_form1->raise();
    m_form1->activateWindow();
    QCoreApplication::processEvents();
    if (recreated)
        recordMainWindow();
}

bool Form2::hidesWhenMinimised() const
{
    return !m_unloaded && m_tray && m_tray->isVisible() && QSystemTrayIcon::isSystemTrayAvailable();
}

void Form2::checkTray()
{
    if (m_unloaded || !m_tray)
        return;
    const bool available = QSystemTrayIcon::isSystemTrayAvailable();
    if (available && !m_tray->isVisible())
        m_tray->show();
    if (!available && m_form1 && m_form1->isHidden())
        m_form1->showMinimized();
}

void Form2::mainWindowDestroyed()
{
    if (m_unloaded)
        return;
    // Without an icon to bring it back, a closed main window would leave an invisible program behind.
    if (!hidesWhenMinimised())
        unload();
}

void Form2::unload()
{
    if (m_unloaded)
        return;
    m_unloaded = true;
    m_trayWatch.stop();
    if (m_mnuFile)
        m_mnuFile->hide();
    // Hidden now, destroyed with this object after the event loop has ended: unload may run inside one of the
    // window's own handlers (Image2), which must not lose their window under them.
    if (m_form1)
        m_form1->hide();
    if (m_tray)
        m_tray->hide();
    emit unloaded();
    if (m_options.quit)
        m_options.quit();
}

} // namespace clockdeck
