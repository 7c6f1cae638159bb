// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Clockdeck developers
#include "form1.h"

#include "accessibility.h"
#include "desktoplauncher.h"
#include "form1layout.h"
#include "labelstyles.h"
#include "picturebutton.h"
#include "pictures.h"
#include "plannerwindow.h"
#include "skinlabel.h"
#include "spinbar.h"

#include "calc/numbertext.h"
#include "load/identify.h"
#include "probe/spd.h"

#include <QAccessible>

#include <QCoreApplication>
#include <QFileInfo>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMetaMethod>
#include <QMouseEvent>
#include <QPainter>
#include <QWheelEvent>
#include <QWindow>

#include <algorithm>

namespace clockdeck {

namespace {

QRect pixels(int left, int top, int width, int height)
{
    return {layout::at(left), layout::at(top), layout::px(width), layout::px(height)};
}

QString qs(std::string_view text)
{
    return QString::fromUtf8(text.data(), qsizetype(text.size()));
}

// "NamePlates(17)" gives 17; any other name nothing.
std::optional<int> namePlateIndex(std::string_view name)
{
    constexpr std::string_view prefix = "NamePlates(";
    if (!name.starts_with(prefix) || !name.ends_with(')')) {
        return std::nullopt;
    }
    int value = 0;
    for (char c : name.substr(prefix.size(), name.size() - prefix.size() - 1)) {
        value = value * 10 + (c - '0');
    }
    return value;
}

// Mouse buttons as the calculator numbers them: 1 left, 2 right, 4 middle.
int buttonCode(Qt::MouseButton button)
{
    switch (button) {
    case Qt::LeftButton:
        return 1;
    case Qt::RightButton:
        return 2;
    case Qt::MiddleButton:
        return 4;
    default:
        return 0;
    }
}

// One notch of a mouse wheel.
constexpr int WheelNotch = QWheelEvent::DefaultDeltasPerStep;

} // namespace

Form1::Form1(MessageSink* messages, QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::FramelessWindowHint), m_boxes(this), m_calc(messages ? *messages : m_boxes),
      m_loadWindow(*this), m_openUrl([this](const QUrl& url) { openPage(url, this); }),
      m_systemMove([](QWindow& window) { return window.startSystemMove(); }), m_hideWhenMinimised([] { return true; })
{
    std::future<QImage> backdrop = pictures::decodeBackdrop(qApp->devicePixelRatio());
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(QString());
    installAccessibility(); // before anything asks for this window's interface, which Qt then keeps
    setAccessibleName(QStringLiteral("Clockdeck"));
    // A window without an icon of its own shows the application's; decoding the pictures again costs start-up.
    if (QGuiApplication::windowIcon().isNull()) {
        setWindowIcon(pictures::icon());
    }
    setFixedSize(layout::OuterWidth, layout::OuterHeight);
    setCursor(pictures::windowPointer(qApp->devicePixelRatio()));
    // The backdrop covers every pixel; no need to clear behind it first.
    setAttribute(Qt::WA_OpaquePaintEvent);

    buildLabels();
    buildSpins(); // after the labels: a spin control is drawn over any label box it touches
    buildButtons();
    buildActions();
    m_backdrop = QPixmap::fromImage(backdrop.get());

    m_calc.fields().subscribe([this](Field f) { showField(f); });
}

Form1::~Form1() = default;

void Form1::buildLabels()
{
    const QCursor hand = pictures::linkPointer(qApp->devicePixelRatio());
    for (const layout::LabelRow& row : layout::Labels) {
        const Qt::Alignment alignment = row.align == layout::Align::Centre ? Qt::AlignHCenter : Qt::AlignLeft;
        QRect box = pixels(row.left, row.top, row.width, row.height);
        const QFont font = fontFor(row.style);
        if (!row.field && !row.autoSize) {
            // The fixed captions were designed to fit their boxes; a stand-in face a few pixels wider must not cut
            // them ("AMD Forum" in Liberation Sans needs 59 of 56 pixels).
            box.setWidth(std::max(box.width(), QFontMetrics(font).horizontalAdvance(qs(row.text))));
        }
        auto* label = new SkinLabel(this, box, row.autoSize, alignment);
        label->setObjectName(qs(row.name));
        label->setFont(font);
        label->setColour(colourFor(row.style));
        label->setToolTip(qs(row.toolTip));
        if (row.field) {
            label->setAccessibleName(qs(layout::captionOf(*row.field)));
            m_fieldLabels[index(*row.field)] = label;
            label->setText(qs(m_calc.text(*row.field)));
        } else {
            label->setText(qs(row.text));
        }
        const std::optional<int> plate = namePlateIndex(row.name);
        if (plate) {
            m_namePlates[std::size_t(*plate)] = label;
        }
        if (plate && linkTarget(*plate).isValid()) {
            label->setKind(SkinLabel::Kind::Link);
            label->setCursor(hand);
            connect(label, &SkinLabel::pressed, this, [label] { label->setColour(LinkPressedColour); });
            connect(label, &SkinLabel::released, this, [label] { label->setColour(LinkColour); });
            connect(label, &SkinLabel::clicked, this, [this, plate] { m_openUrl(linkTarget(*plate)); });
        }
    }

    SkinLabel* label17 = fieldLabel(Field::Label17);
    label17->setKind(SkinLabel::Kind::Stepper);
    connect(label17, &SkinLabel::released, this,
            [this](Qt::MouseButton button) { m_calc.Label17_MouseUp(buttonCode(button)); });
    label17->installEventFilter(this);
    for (const layout::WheelTarget& target : layout::WheelTargets) {
        fieldLabel(target.field)->installEventFilter(this);
    }
}

void Form1::buildSpins()
{
    QWidget* previous = nullptr;
    for (const layout::SpinRow& row : layout::SpinControls) {
        auto* bar = new SpinBar(row.spin, this);
        bar->setAccessibleName(qs(layout::captionOf(Spins[index(row.spin)].field)));
        bar->setGeometry(pixels(row.left, row.top, row.width, row.height));
        bar->installEventFilter(this);
        connect(bar, &QScrollBar::valueChanged, this, [this, bar](int value) { spinMoved(bar, value); });
        m_spins[index(row.spin)] = bar;
        if (previous) {
            setTabOrder(previous, bar);
        } else {
            bar->setFocus(); // the first in Tab order holds the focus when the window first shows
        }
        previous = bar;
    }
}

void Form1::buildButtons()
{
    for (const layout::ButtonRow& row : layout::Buttons) {
        const QPixmap picture = pictures::button(row.number, qApp->devicePixelRatio());
        const QSize size(layout::px(row.width), layout::px(row.height));
        auto* button = new PictureButton(this, row.left, row.top, size, picture);
        button->setObjectName(QStringLiteral("Image%1").arg(row.number));
        button->setToolTip(qs(row.toolTip));
        m_images[std::size_t(row.number - 1)] = button;
    }
    connect(image(1), &PictureButton::clicked, this, &Form1::minimise);
    connect(image(2), &PictureButton::clicked, this, &Form1::requestExit);
    connect(image(3), &PictureButton::clicked, this, &Form1::copyRequested);
    connect(image(4), &PictureButton::released, this, &Form1::resultsReleased);
}

SkinLabel* Form1::namePlate(int index) const
{
    return index >= 0 && index < int(m_namePlates.size()) ? m_namePlates[std::size_t(index)] : nullptr;
}

PictureButton* Form1::image(int number) const
{
    return number >= 1 && number <= 4 ? m_images[std::size_t(number - 1)] : nullptr;
}

QUrl Form1::aboutPage()
{
    // Clockdeck's own page ships with it: installed beside the program, or in the source tree of a build.
    const QString installed =
        QCoreApplication::applicationDirPath() + QStringLiteral("/../" CLOCKDECK_ABOUT_PAGE_INSTALLED);
    const QString source = QStringLiteral(CLOCKDECK_ABOUT_PAGE_SOURCE);
    return QUrl::fromLocalFile(QFileInfo::exists(installed) ? QFileInfo(installed).canonicalFilePath() : source);
}

QUrl Form1::linkTarget(int namePlate)
{
    switch (namePlate) {
    case 24:
        return QUrl(QStringLiteral("https://community.amd.com/"));
    case 25:
        return aboutPage();
    case 26:
        return QUrl(QStringLiteral("https://www.amd.com/en/support/download/drivers.html"));
    default:
        return {};
    }
}

void Form1::load(const std::filesystem::path& sysroot)
{
    Form_Load(m_calc, m_loadWindow, sysroot);
    m_sysroot = sysroot;
    // The planner never goes above the multiplier the load set, unless the processor is an FX.
    m_stockMultiplier = ParseLeadingNumber(m_calc.text(Field::Multiplier));
    m_fx = isFxProcessor(m_calc.text(Field::CPU_Identity));
}

void Form1::showPlanner()
{
    if (!m_planner)
        m_planner = new PlannerWindow(m_calc, m_stockMultiplier, m_fx, slowestModuleMHz(m_sysroot), this);
    m_planner->show();
    m_planner->raise();
    m_planner->activateWindow();
}

void Form1::showField(Field field)
{
    if (SkinLabel* label = m_fieldLabels[index(field)]) {
        label->setText(qs(m_calc.text(field)));
    }
    // Assistive tools hear the new value of the spin control that steps this field.
    if (!QAccessible::isActive() || !isInputField(field)) {
        return;
    }
    SpinBar* bar = m_spins[index(spinFor(field))];
    if (QAccessibleInterface* spin = bar ? QAccessible::queryAccessibleInterface(bar) : nullptr) {
        if (QAccessibleValueInterface* value = spin->valueInterface()) {
            QAccessibleValueChangeEvent event(bar, value->currentValue());
            QAccessible::updateAccessibility(&event);
        }
    }
}

void Form1::spinMoved(SpinBar* bar, int value)
{
    // The upper arrow gives -1, a step up; the lower 1, a step down. Putting the bar back to 0 runs this once more
    // with 0, which does nothing, and lets a held arrow repeat.
    if (value == -1) {
        m_calc.up(bar->spin());
    } else if (value == 1) {
        m_calc.down(bar->spin());
    } else {
        return;
    }
    bar->setValue(0);
}

void Form1::wheelStep(QObject* target, int angleDelta)
{
    if (target != m_wheelTarget) {
        m_wheelTarget = target;
        m_wheelRemainder = 0;
    }
    m_wheelRemainder += angleDelta;
    const auto step = [this, target](bool up) {
        if (target == fieldLabel(Field::Label17)) {
            m_calc.Label17_MouseUp(up ? 1 : 2);
            return;
        }
        Spin spin = Spin::VScroll1;
        if (auto* bar = qobject_cast<SpinBar*>(target)) {
            spin = bar->spin();
        } else {
            for (const layout::WheelTarget& t : layout::WheelTargets) {
                if (fieldLabel(t.field) == target) {
                    spin = t.spin;
                }
            }
        }
        up ? m_calc.up(spin) : m_calc.down(spin);
    };
    // A notch away from the user steps up, like the upper arrow.
    while (m_wheelRemainder >= WheelNotch) {
        m_wheelRemainder -= WheelNotch;
        step(true);
    }
    while (m_wheelRemainder <= -WheelNotch) {
        m_wheelRemainder += WheelNotch;
        step(false);
    }
}

bool Form1::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::Wheel) {
        auto* wheel = static_cast<QWheelEvent*>(event);
        int delta = wheel->angleDelta().y();
        if (wheel->inverted()) {
            delta = -delta;
        }
        if (delta != 0) {
            wheelStep(watched, delta);
        }
        wheel->accept();
        return true;
    }
    return QWidget::eventFilter(watched, event);
}

void Form1::minimise()
{
    setWindowState((windowState() & ~Qt::WindowActive) | Qt::WindowMinimized);
}

void Form1::requestExit()
{
    static const QMetaMethod signal = QMetaMethod::fromSignal(&Form1::exitRequested);
    if (isSignalConnected(signal)) {
        emit exitRequested();
    } else {
        QCoreApplication::quit();
    }
}

void Form1::changeEvent(QEvent* event)
{
    // However the window was minimised (Image1, or the window system), it leaves the screen and the task bar.
    if (event->type() == QEvent::WindowStateChange && (windowState() & Qt::WindowMinimized) && m_hideWhenMinimised &&
        m_hideWhenMinimised()) {
        hide();
    }
    QWidget::changeEvent(event);
}

bool Form1::event(QEvent* event)
{
    // Escape hides the window when it is released after a fresh press, not when it is pressed: a tool that sends
    // the key to this window (xdotool key --window) sends the press as real input while the window has the focus,
    // and would send the release as a synthetic event once the window had gone. The X server would then hold
    // Escape down for good and repeat it into every window that gets the focus, hiding this one again each time
    // it came back and closing every menu. A key held down repeats as releases and presses in pairs, each pair
    // with one time stamp; those presses are not fresh.
    // The "Hide to tray" action shows Escape as its key; taking the shortcut override here keeps that action from
    // firing on the press, so the key reaches this handler instead.
    const bool press = event->type() == QEvent::KeyPress, release = event->type() == QEvent::KeyRelease;
    const bool shortcut = event->type() == QEvent::ShortcutOverride;
    const auto* key = static_cast<QKeyEvent*>(event);
    if ((press || release || shortcut) && key->key() == Qt::Key_Escape && key->modifiers() == Qt::NoModifier) {
        if (shortcut) {
            event->accept();
            return true;
        }
        const bool repeat =
            key->isAutoRepeat() || (press && key->timestamp() != 0 && key->timestamp() == m_escapeReleasedAt);
        if (press && !repeat)
            m_escapePressed = true;
        if (release) {
            m_escapeReleasedAt = key->timestamp();
            if (!repeat && std::exchange(m_escapePressed, false))
                minimise();
        }
        event->accept();
        return true;
    }
    return QWidget::event(event);
}

void Form1::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    const QRect client(layout::FrameWidth, layout::FrameWidth, layout::WindowWidth, layout::WindowHeight);
    if (m_backdrop.isNull()) {
        painter.fillRect(client, QColor(0xB2, 0xD0, 0xB2));
    } else {
        // 1:1 at 100 % and 200 %; at 150 % the 2x picture is scaled down, smoothly. The backdrop is a pixel wider
        // and taller than the client area (its right and bottom frame line lies outside): that line is cut off.
        painter.setRenderHint(QPainter::SmoothPixmapTransform);
        painter.setClipRect(client);
        painter.drawPixmap(client.topLeft(), m_backdrop);
        painter.setClipping(false);
    }
    // The frame round the client area, in the desktop palette's shadow colour, as a fixed window's single line.
    const QColor frame = palette().color(QPalette::Shadow);
    painter.fillRect(QRectF(0, 0, width(), 1), frame);
    painter.fillRect(QRectF(0, height() - 1, width(), 1), frame);
    painter.fillRect(QRectF(0, 0, 1, height()), frame);
    painter.fillRect(QRectF(width() - 1, 0, 1, height()), frame);
    // The outline round the first row.
    drawDottedFrame(painter,
                    pixels(layout::Shape1.left, layout::Shape1.top, layout::Shape1.width, layout::Shape1.height),
                    OutlineColour);
}

// Only presses on the bare backdrop reach these: labels, pictures and spin controls take their own.
void Form1::mousePressEvent(QMouseEvent* event)
{
    event->accept();
    m_grabOffset = event->globalPosition().toPoint() - pos();
    m_drag = Drag::None;
}

void Form1::mouseMoveEvent(QMouseEvent* event)
{
    event->accept();
    // Exactly the left button (not together with another), and not on the topmost pixel row.
    if (event->buttons() != Qt::LeftButton || !(event->position().y() > 0)) {
        return;
    }
    switch (m_drag) {
    case Drag::None:
        // Ask the window system once per press: a second request that reaches it after the button went up starts
        // a move that follows the pointer until the next click anywhere.
        if (QWindow* window = windowHandle(); window && m_systemMove && m_systemMove(*window)) {
            m_drag = Drag::WindowSystem;
            return;
        }
        // No window manager, or one that cannot move us: follow the pointer ourselves until the release.
        m_drag = Drag::ByHand;
        break;
    case Drag::WindowSystem:
        return;
    case Drag::ByHand:
        break;
    }
    move(event->globalPosition().toPoint() - m_grabOffset);
}

void Form1::mouseReleaseEvent(QMouseEvent* event)
{
    event->accept();
    m_drag = Drag::None;
}

} // namespace clockdeck
