// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Clockdeck developers
#pragma once

#include "calc/calculator.h"
#include "messageboxes.h"
#include "windowload.h"

#include <QPixmap>
#include <QPoint>
#include <QUrl>
#include <QWidget>

#include <array>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>

class QMenu;
class QScrollBar;
class QWindow;

namespace clockdeck {

class PictureButton;
class PlannerWindow;
class SkinLabel;
class SpinBar;

// The main window: a fixed skinned window without a title bar, its 379 x 323 client area in a one-pixel frame. It owns
// the calculator; its labels show the calculator's fields and follow every change, its ten spin controls step the
// inputs, and its own chrome moves, hides and ends it. Every command is an action with its key (Ctrl+S appends to the
// results file, Ctrl+O opens it, Ctrl+C copies, Ctrl+P opens the planner, F1 opens the about page, Escape minimises,
// Ctrl+Q exits), listed by the context menu that a right click on the backdrop, the Menu key or Shift+F10 opens.
class Form1 : public QWidget
{
    Q_OBJECT

public:
    // Opens a web page; a browser that cannot be started shows a box.
    using UrlOpener = std::function<void(const QUrl&)>;
    // Starts the window system's interactive move; false when it cannot, and the window then follows the pointer
    // itself.
    using SystemMover = std::function<bool(QWindow&)>;
    // Asked at every minimise: true hides the window (the tray brings it back), false leaves it minimised normally.
    using MinimisePolicy = std::function<bool()>;

    // Faults of the calculator go to @p messages, or to message boxes over this window when it is null.
    explicit Form1(MessageSink* messages = nullptr, QWidget* parent = nullptr);
    ~Form1() override;

    Calculator& calculator() { return m_calc; }
    const Calculator& calculator() const { return m_calc; }

    // The load sequence: preset lists, first calculation, centre, show and paint, then the probe of the machine
    // below @p sysroot.
    void load(const std::filesystem::path& sysroot = "/");
    LoadWindow& loadWindow() { return m_loadWindow; }

    SkinLabel* fieldLabel(Field field) const { return m_fieldLabels[index(field)]; }
    SkinLabel* namePlate(int index) const;
    SpinBar* spinControl(Spin spin) const { return m_spins[index(spin)]; }
    PictureButton* image(int number) const;

    // The page a link label opens: NamePlates(24) the AMD community forum, (25) Clockdeck's about page, (26) AMD's
    // processor support and driver page. Empty for every other index.
    static QUrl linkTarget(int namePlate);
    // Clockdeck's about page, installed with it under share/doc/clockdeck (or the source tree's copy).
    static QUrl aboutPage();

    void setUrlOpener(UrlOpener opener) { m_openUrl = std::move(opener); }
    void setSystemMover(SystemMover mover) { m_systemMove = std::move(mover); }
    void setMinimisePolicy(MinimisePolicy policy) { m_hideWhenMinimised = std::move(policy); }

    // The context menu, once it was first opened; it lists actions(), the window's commands.
    QMenu* contextMenu() const { return m_menu; }
    // The multiplier the load set, and whether the loaded processor is an FX (its multiplier unlocked upward).
    double stockMultiplier() const { return m_stockMultiplier; }
    bool isFx() const { return m_fx; }
    // The planner window once it has been opened, else null.
    PlannerWindow* planner() const { return m_planner; }

public slots:
    // Image1's action (and Escape's): minimise, which hides the window under the default policy.
    void minimise();
    // Ctrl+P's action: the planner window, built on first use, shown and activated.
    void showPlanner();

signals:
    // Image3 clicked, or Ctrl+C.
    void copyRequested();
    // A mouse button released on Image4, after the picture moved back; Ctrl+S comes as a left release.
    void resultsReleased(Qt::MouseButton button);
    // Image2 clicked, or Ctrl+Q. While nothing is connected to it, the click quits the application itself; whoever
    // connects takes the end of the program over.
    void exitRequested();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void changeEvent(QEvent* event) override;
    bool event(QEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void buildLabels();
    void buildSpins();
    void buildButtons();
    void buildActions();
    void openMenu(const QPoint& globalPos, bool byKeyboard);
    void showField(Field field);
    void spinMoved(SpinBar* bar, int value);
    void wheelStep(QObject* target, int angleDelta);
    void requestExit();

    MessageBoxes m_boxes;
    Calculator m_calc;
    WindowLoad m_loadWindow;
    QPixmap m_backdrop;

    std::array<SkinLabel*, FieldCount> m_fieldLabels{};
    std::array<SkinLabel*, 27> m_namePlates{};
    std::array<SpinBar*, SpinCount> m_spins{};
    std::array<PictureButton*, 4> m_images{};
    QMenu* m_menu = nullptr;

    UrlOpener m_openUrl;
    SystemMover m_systemMove;
    MinimisePolicy m_hideWhenMinimised;
    // Escape: pressed afresh and not yet released, and when it was last released (a press with the same time
    // stamp is the key held down).
    bool m_escapePressed = false;
    quint64 m_escapeReleasedAt = 0;
    std::filesystem::path m_sysroot = "/"; // the machine or profile loaded: the planner reads its modules
    double m_stockMultiplier = 0;
    bool m_fx = false;
    PlannerWindow* m_planner = nullptr; // a child window: goes with this one

    // Window drag: where the pointer held the window, and who moves it during this press.
    enum class Drag : std::uint8_t
    {
        None,
        WindowSystem,
        ByHand,
    };
    QPoint m_grabOffset;
    Drag m_drag = Drag::None;

    // Wheel: what a partial notch (a touchpad's small steps) was turned over, and how far.
    QObject* m_wheelTarget = nullptr;
    int m_wheelRemainder = 0;
};

} // namespace clockdeck
