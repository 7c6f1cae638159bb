// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Clockdeck developers
#include "form2.h"

#include "form1.h"
#include "pictures.h"
#include "unixsignals.h"

#include <QAction>
#include <QApplication>
#include <QFile>
#include <QMenu>
#include <QMouseEvent>
#include <QScreen>
#include <QSettings>
#include <QStandardPaths>
#include <QWindow>

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstdio>

#include <sys/stat.h>

namespace clockdeck {

namespace {

// Qt draws the icon in a widget of its own only for an XEmbed tray; a StatusNotifierItem is exported over D-Bus.
bool isXEmbedIcon()
{
    const QWidgetList widgets = QApplication::topLevelWidgets();
    return std::any_of(widgets.begin(), widgets.end(),
                       [](const QWidget* widget) { return widget->inherits("QSystemTrayIconSys"); });
}

// A tray that comes back (the panel restarted) is noticed within this time. Slow on purpose: it only looks.
constexpr int TrayWatchMs = 2000;

// A file that is there and is not a regular file (a FIFO, a device, a folder) is never opened: opening a FIFO
// waits for a writer that may never come.
bool regularOrMissing(const QString& path)
{
    struct stat info
    {
    };
    return ::stat(QFile::encodeName(path).constData(), &info) == 0 ? S_ISREG(info.st_mode) : errno == ENOENT;
}

// The settings, ~/.config/Tarnwick/Clockdeck.conf, and only that file (no organisation-wide or system fallbacks):
// nothing when it, or the lock file written beside it, is there but not a regular file.
std::unique_ptr<QSettings> openSettings()
{
    const QString path = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
                         QStringLiteral("/Tarnwick/Clockdeck.conf");
    if (!regularOrMissing(path) || !regularOrMissing(path + QStringLiteral(".lock"))) {
        std::fprintf(stderr, "clockdeck: %s is not a regular file; the window's id is not recorded\n",
                     qPrintable(path));
        return nullptr;
    }
    return std::make_unique<QSettings>(path, QSettings::IniFormat);
}

// A window that lies wholly outside every screen (dragged off with no window manager to stop it, or left where a
// screen used to be) comes back centred on the primary screen; one still partly in view stays where it is.
void bringIntoView(QWidget& window)
{
    const QRect frame = window.frameGeometry();
    const QList<QScreen*> screens = QGuiApplication::screens();
    if (screens.isEmpty() || std::any_of(screens.begin(), screens.end(), [&frame](const QScreen* screen) {
            return screen->geometry().intersects(frame);
        })) {
        return;
    }
    const QRect area = QGuiApplication::primaryScreen()->availableGeometry();
    window.move(area.center() - QPoint(frame.width() / 2, frame.height() / 2));
}

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
    if (m_tray) {
        m_tray->hide();
    }
}

std::optional<int> Form2::load()
{
    if (const auto status = PrevInstance(m_form1)) {
        return status;
    }

    // Closing the main window does not end the program: the icon stays and can load it again.
    QGuiApplication::setQuitOnLastWindowClosed(false);
    connect(qApp, &QCoreApplication::aboutToQuit, this, &Form2::unload);
    if (m_options.handleSignals) {
        m_signals = new UnixSignals({SIGTERM, SIGINT, SIGHUP}, this);
        connect(m_signals, &UnixSignals::received, this, &Form2::unload);
    }
    addTrayIcon();
    m_trayWatch.start();
    return std::nullopt;
}

std::optional<int> Form2::PrevInstance(QPointer<Form1>& FrmToShow)
{
    // The channel, not the recorded window id, reaches the running instance: it works whether the setting is
    // missing, stale or not a number, and what a crashed instance left behind is taken over.
    m_instance = new SingleInstance(m_options.runtimeFolder, m_options.sessionKey, this);
    switch (m_instance->claim()) {
    case SingleInstance::Claim::Running:
        return 0;
    case SingleInstance::Claim::NoAnswer:
        // A live instance is never replaced, and a second window would be a second instance.
        std::fprintf(stderr, "clockdeck: the Clockdeck running on this display (%s) does not answer\n",
                     qPrintable(m_options.sessionKey));
        return 1;
    case SingleInstance::Claim::First:
        break;
    }
    connect(m_instance, &SingleInstance::showRequested, this, &Form2::restoreMainWindow);

    loadMainWindow(FrmToShow);
    QCoreApplication::processEvents();
    recordMainWindow();
    return std::nullopt;
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
    if (!m_form1) {
        return;
    }
    // Kept for the record under the organisation and program names; later starts go through the channel.
    if (const auto settings = openSettings()) {
        settings->setValue(QStringLiteral("Clockdeck/Hwnd"), QString::number(static_cast<qint64>(m_form1->winId())));
    }
}

void Form2::addTrayIcon()
{
    QIcon icon = QGuiApplication::windowIcon();
    if (icon.isNull()) {
        icon = pictures::icon();
    }
    m_tray = new QSystemTrayIcon(icon, this);
    qApp->installEventFilter(this);
    m_tray->setToolTip(QStringLiteral("Clockdeck"));

    m_mnuFile = std::make_unique<QMenu>();
    m_mnuPlan = m_mnuFile->addAction(QStringLiteral("Plan an overclock…"));
    m_mnuShow = m_mnuFile->addAction(QStringLiteral("Show Clockdeck"));
    m_mnuexit = m_mnuFile->addAction(QStringLiteral("Exit Clockdeck"));
    connect(m_mnuPlan, &QAction::triggered, this, &Form2::showPlanner);
    connect(m_mnuShow, &QAction::triggered, this, &Form2::restoreMainWindow);
    connect(m_mnuexit, &QAction::triggered, this, &Form2::unload);
    // A StatusNotifierItem host shows this menu itself, where it draws the icon; on an XEmbed tray the press that
    // would open it is held back (eventFilter) and the release opens it.
    m_tray->setContextMenu(m_mnuFile.get());
    connect(m_tray, &QSystemTrayIcon::activated, this, &Form2::trayActivated);

    if (QSystemTrayIcon::isSystemTrayAvailable()) {
        m_tray->show();
    }
}

void Form2::trayActivated(QSystemTrayIcon::ActivationReason reason)
{
    switch (reason) {
    case QSystemTrayIcon::DoubleClick:
        restoreMainWindow();
        break;
    case QSystemTrayIcon::Trigger:
        // A StatusNotifierItem host sends one activation for a click and never a double click, so that one brings
        // the window back. On an XEmbed tray it is a single left click, which does nothing.
        if (!isXEmbedIcon()) {
            restoreMainWindow();
        }
        break;
    default: // a middle click does nothing; the menu opens by itself
        break;
    }
}

bool Form2::eventFilter(QObject* watched, QEvent* event)
{
    // Qt's XEmbed tray icon is a small widget of this class inside the tray. Its right-button press would open the
    // menu at once; the release opens it instead, as on every desktop that draws its own icons.
    const QEvent::Type type = event->type();
    if ((type == QEvent::MouseButtonPress || type == QEvent::MouseButtonRelease) && !m_unloaded &&
        watched->inherits("QSystemTrayIconSys")) {
        const auto* mouse = static_cast<QMouseEvent*>(event);
        if (mouse->button() == Qt::RightButton) {
            if (type == QEvent::MouseButtonPress) {
                return true;
            }
            m_mnuFile->popup(mouse->globalPosition().toPoint());
            m_mnuFile->activateWindow();
        }
    }
    return QObject::eventFilter(watched, event);
}

void Form2::restoreMainWindow()
{
    if (m_unloaded || m_loadingMainWindow) {
        return; // the load in progress shows the window itself
    }
    if (!m_form1) {
        loadMainWindow(m_form1);
        QCoreApplication::processEvents();
        recordMainWindow();
        return;
    }
    // Both of Qt's records of the state are cleared before the window is shown: the widget's and its native
    // window's can disagree after a minimise that came from the window manager, and a window shown while either
    // still says minimised maps as an icon, or is hidden again at once by the hide-when-minimised rule.
    constexpr Qt::WindowStates NotNormal = Qt::WindowMinimized | Qt::WindowMaximized | Qt::WindowFullScreen;
    m_form1->setWindowState(m_form1->windowState() & ~NotNormal);
    if (QWindow* native = m_form1->windowHandle(); native && (native->windowStates() & NotNormal)) {
        native->setWindowStates(native->windowStates() & ~NotNormal);
    }
    bringIntoView(*m_form1);
    // A window hidden after the window manager iconified it keeps native state that Qt no longer sees (on X11 it
    // can map again as an icon, or not at all). On Wayland a client can neither bring back a minimised window nor
    // raise one, and is not even told that it was minimised: only the loss of activation shows. A fresh native
    // window comes up plainly normal (on X11 at the same place; on Wayland where the compositor puts it, in front).
    const bool wayland = QGuiApplication::platformName().startsWith(QLatin1String("wayland"));
    const bool recreated = m_form1->windowHandle() && (m_form1->isHidden() || (wayland && !m_form1->isActiveWindow()));
    if (recreated) {
        m_form1->hide();
        m_form1->windowHandle()->destroy();
    }
    m_form1->show();
    m_form1->raise();
    m_form1->activateWindow();
    QCoreApplication::processEvents();
    if (recreated) {
        recordMainWindow();
    }
}

void Form2::showPlanner()
{
    if (m_unloaded || m_loadingMainWindow) {
        return;
    }
    // The main window comes back with it: a combination applied shows there.
    restoreMainWindow();
    if (m_form1) {
        m_form1->showPlanner();
    }
}

bool Form2::hidesWhenMinimised() const
{
    return !m_unloaded && m_tray && m_tray->isVisible() && QSystemTrayIcon::isSystemTrayAvailable();
}

void Form2::checkTray()
{
    if (m_unloaded || !m_tray) {
        return;
    }
    const bool available = QSystemTrayIcon::isSystemTrayAvailable();
    if (available && !m_tray->isVisible()) {
        m_tray->show();
    }
    if (!available && m_form1 && m_form1->isHidden()) {
        m_form1->showMinimized();
    }
}

void Form2::mainWindowDestroyed()
{
    if (m_unloaded) {
        return;
    }
    // Without an icon to bring it back, a closed main window would leave an invisible program behind.
    if (!hidesWhenMinimised()) {
        unload();
    }
}

void Form2::unload()
{
    if (m_unloaded) {
        return;
    }
    m_unloaded = true;
    m_trayWatch.stop();
    if (m_mnuFile) {
        m_mnuFile->hide();
    }
    // Hidden now, destroyed with this object after the event loop has ended: unload may run inside one of the
    // window's own handlers (Image2), which must not lose their window under them.
    if (m_form1) {
        m_form1->hide();
    }
    if (m_tray) {
        m_tray->hide();
    }
    emit unloaded();
    if (m_options.quit) {
        m_options.quit();
    }
}

} // namespace clockdeck
