// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Clockdeck developers
// The main window's commands: one action per command with its key, the context menu that lists them, and the
// name the window system shows.
#include "form1.h"

#include "picturebutton.h"
#include "skinlabel.h"

#include <QAction>
#include <QContextMenuEvent>
#include <QGuiApplication>
#include <QMenu>
#include <QShortcut>
#include <QtGui/qguiapplication_platform.h>

#include <xcb/xcb.h>

#include <functional>

namespace clockdeck {

void Form1::buildActions()
{
    // Every command of the window with its key, in the order the context menu lists them; an entry without text is
    // a separator. A picture button that runs the command is named after it for assistive tools.
    struct Entry
    {
        QString text;
        QKeySequence key;
        int image; // ImageN, or 0
        std::function<void()> run;
    };
    const auto link = [this](int plate) {
        return Entry{namePlate(plate)->text(), {}, 0, [this, plate] { m_openUrl(linkTarget(plate)); }};
    };
    const Entry entries[] = {
        {QStringLiteral("Add to Results.txt"), QKeySequence(Qt::CTRL | Qt::Key_S), 4,
         [this] { emit resultsReleased(Qt::LeftButton); }},
        {QStringLiteral("Open Results.txt"), QKeySequence(Qt::CTRL | Qt::Key_O), 0,
         [this] { emit resultsReleased(Qt::RightButton); }},
        {QStringLiteral("Copy report"), QKeySequence(Qt::CTRL | Qt::Key_C), 3, [this] { emit copyRequested(); }},
        {QStringLiteral("Plan an overclock…"), QKeySequence(Qt::CTRL | Qt::Key_P), 0, [this] { showPlanner(); }},
        {},
        link(24),
        link(25),
        link(26),
        {},
        {QStringLiteral("About"), QKeySequence(Qt::Key_F1), 0, [this] { m_openUrl(aboutPage()); }},
        {QStringLiteral("Hide to tray"), QKeySequence(Qt::Key_Escape), 1, [this] { minimise(); }},
        {QStringLiteral("Exit"), QKeySequence(Qt::CTRL | Qt::Key_Q), 2, [this] { requestExit(); }},
    };
    for (const Entry& entry : entries) {
        auto* action = new QAction(entry.text, this);
        action->setSeparator(entry.text.isEmpty());
        action->setShortcut(entry.key);
        if (entry.run) {
            connect(action, &QAction::triggered, this, entry.run);
        }
        if (PictureButton* button = image(entry.image)) {
            button->setAccessibleName(entry.text);
        }
        addAction(action);
    }
    // The keyboard's ways to the menu. The spin controls, which hold the focus, keep no menu of their own.
    for (const QKeySequence& key : {QKeySequence(Qt::Key_Menu), QKeySequence(Qt::SHIFT | Qt::Key_F10)}) {
        auto* shortcut = new QShortcut(key, this);
        connect(shortcut, &QShortcut::activated, this, [this] { openMenu({}, true); });
    }
}

void Form1::contextMenuEvent(QContextMenuEvent* event)
{
    event->accept();
    const bool byKeyboard = event->reason() == QContextMenuEvent::Keyboard;
    openMenu(byKeyboard ? QPoint() : event->globalPos(), byKeyboard);
}

void Form1::openMenu(const QPoint& globalPos, bool byKeyboard)
{
    if (!m_menu) {
        m_menu = new QMenu(this);
        m_menu->setObjectName(QStringLiteral("contextMenu"));
        m_menu->addActions(actions());
    }
    QPoint at = globalPos;
    if (byKeyboard) {
        // Below the control that has the keyboard, or at the window's corner, with the first entry chosen so that
        // the arrow keys and Return work at once.
        const QWidget* focus = focusWidget();
        at = focus ? focus->mapToGlobal(QPoint(0, focus->height())) : mapToGlobal(QPoint(8, 8));
    }
    m_menu->popup(at);
    if (byKeyboard) {
        // Chosen once shown, so that assistive tools hear the entry that has the keyboard.
        m_menu->setActiveAction(m_menu->actions().value(0));
    }
}

void Form1::showEvent(QShowEvent* event)
{
    // Qt names the window only in _NET_WM_NAME while its title is empty; tools that read the older WM_NAME (window
    // lists, automation) find it by the same name.
    if (auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>(); x11 && x11->connection()) {
        static constexpr char name[] = "Clockdeck";
        xcb_change_property(x11->connection(), XCB_PROP_MODE_REPLACE, xcb_window_t(winId()), XCB_ATOM_WM_NAME,
                            XCB_ATOM_STRING, 8, sizeof name - 1, name);
    }
    QWidget::showEvent(event);
}

} // namespace clockdeck
