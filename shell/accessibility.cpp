// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Clockdeck developers
#include "accessibility.h"

#include "form1.h"
#include "picturebutton.h"
#include "skinlabel.h"
#include "spinbar.h"

#include <QAccessibleWidget>
#include <QFontMetrics>

#include <algorithm>
#include <charconv>
#include <optional>

namespace clockdeck {

namespace {

QString openResultsAction()
{
    return QStringLiteral("Open Results.txt");
}

// A label: static text named by its caption (or its own text), whose text is what it shows. Links and the boot
// clock also act.
class AccessibleLabel : public QAccessibleWidget, public QAccessibleTextInterface
{
public:
    explicit AccessibleLabel(SkinLabel* label)
        : QAccessibleWidget(label, label->kind() == SkinLabel::Kind::Link ? QAccessible::Link : QAccessible::StaticText)
    {}

    SkinLabel* label() const { return static_cast<SkinLabel*>(widget()); }

    QString text(QAccessible::Text t) const override
    {
        switch (t) {
        case QAccessible::Name:
            return label()->accessibleName().isEmpty() ? label()->text().trimmed() : label()->accessibleName();
        case QAccessible::Value:
            return label()->text();
        default:
            return QAccessibleWidget::text(t);
        }
    }

    void* interface_cast(QAccessible::InterfaceType t) override
    {
        return t == QAccessible::TextInterface ? static_cast<QAccessibleTextInterface*>(this)
                                               : QAccessibleWidget::interface_cast(t);
    }

    QStringList actionNames() const override
    {
        switch (label()->kind()) {
        case SkinLabel::Kind::Link:
            return {pressAction()};
        case SkinLabel::Kind::Stepper:
            return {increaseAction(), decreaseAction()};
        case SkinLabel::Kind::Text:
            break;
        }
        return {};
    }

    void doAction(const QString& name) override
    {
        // A left click adds one, a right click takes one away; a link opens on a left click.
        if (name == pressAction() || name == increaseAction()) {
            label()->activate(Qt::LeftButton);
        } else if (name == decreaseAction()) {
            label()->activate(Qt::RightButton);
        }
    }

    QStringList keyBindingsForAction(const QString&) const override { return {}; }

    // Read-only text: the label's, never selected, the caret at its start.
    QString text(int start, int end) const override { return label()->text().mid(start, end - start); }
    int characterCount() const override { return int(label()->text().size()); }
    int cursorPosition() const override { return 0; }
    void setCursorPosition(int) override {}
    void selection(int, int* start, int* end) const override { *start = *end = 0; }
    int selectionCount() const override { return 0; }
    void addSelection(int, int) override {}
    void removeSelection(int) override {}
    void setSelection(int, int, int) override {}
    QRect characterRect(int offset) const override
    {
        const QFontMetrics metrics(label()->font());
        const QString shown = label()->text();
        const int x = metrics.horizontalAdvance(shown.left(offset));
        const int w = offset < shown.size() ? metrics.horizontalAdvance(shown.at(offset)) : 0;
        return QRect(label()->mapToGlobal(QPoint(x, 0)), QSize(w, metrics.height()));
    }
    int offsetAtPoint(const QPoint&) const override { return -1; }
    void scrollToSubstring(int, int) override {}
    QString attributes(int, int* start, int* end) const override
    {
        *start = 0;
        *end = characterCount();
        return {};
    }
};

// A spin control: a spin button named like the field it steps, whose value and range are that field's. Increase
// is the upper arrow, Decrease the lower one.
class AccessibleSpin : public QAccessibleWidget, public QAccessibleValueInterface
{
public:
    explicit AccessibleSpin(SpinBar* bar) : QAccessibleWidget(bar, QAccessible::SpinBox) {}

    SpinBar* bar() const { return static_cast<SpinBar*>(widget()); }

    const Calculator* calculator() const
    {
        const auto* form = qobject_cast<const Form1*>(bar()->window());
        return form ? &form->calculator() : nullptr;
    }

    Field field() const { return Spins[index(bar()->spin())].field; }

    // The number a field's text starts with, after any blanks: "200" and " 200 " give 200.
    [[nodiscard]] static std::optional<double> number(std::string_view text)
    {
        const auto first = text.find_first_not_of(' ');
        if (first == std::string_view::npos) {
            return std::nullopt;
        }
        double value = 0;
        const auto [end, error] = std::from_chars(text.data() + first, text.data() + text.size(), value);
        return error == std::errc() ? std::optional(value) : std::nullopt;
    }

    // The list a list spin walks: memory clock classes for SelectDDR, module clocks for PCramNum.
    const PresetList* list() const
    {
        const Calculator* calc = calculator();
        if (!calc || Spins[index(bar()->spin())].kind != SpinKind::List) {
            return nullptr;
        }
        return field() == Field::SelectDDR ? &calc->List1 : &calc->List2;
    }

    // The lowest (or highest) entry of a list spin's list, or the bound of a numeric one.
    QVariant bound(bool highest) const
    {
        if (const PresetList* entries = list()) {
            std::optional<double> best;
            for (const std::string& item : entries->items) {
                if (const auto value = number(item); value && (!best || (highest ? *value > *best : *value < *best))) {
                    best = value;
                }
            }
            return best ? QVariant(*best) : QVariant();
        }
        const InputRange* range = rangeOf(field());
        return range ? QVariant(highest ? range->high : range->low) : QVariant();
    }

    QString text(QAccessible::Text t) const override
    {
        if (t == QAccessible::Value) {
            // A list spin reports the entry shown: the module spin shows its rating name beside it.
            const Calculator* calc = calculator();
            const Field shown = field() == Field::PCramNum ? Field::PCxxxx : field();
            return calc ? QString::fromStdString(calc->text(shown)) : QString();
        }
        return QAccessibleWidget::text(t);
    }

    void* interface_cast(QAccessible::InterfaceType t) override
    {
        return t == QAccessible::ValueInterface ? static_cast<QAccessibleValueInterface*>(this)
                                                : QAccessibleWidget::interface_cast(t);
    }

    QVariant currentValue() const override
    {
        const Calculator* calc = calculator();
        const auto value = calc ? number(calc->text(field())) : std::nullopt;
        return value ? QVariant(*value) : QVariant();
    }
    // The value moves only in steps, as the arrows move it; a value set from outside is not taken.
    void setCurrentValue(const QVariant&) override {}
    QVariant maximumValue() const override { return bound(true); }
    QVariant minimumValue() const override { return bound(false); }
    QVariant minimumStepSize() const override
    {
        const double step = Spins[index(bar()->spin())].step;
        return step > 0 ? QVariant(step) : QVariant();
    }

    QStringList actionNames() const override
    {
        return QStringList{increaseAction(), decreaseAction()} + QAccessibleWidget::actionNames();
    }

    void doAction(const QString& name) override
    {
        if (name == increaseAction()) {
            bar()->triggerAction(QAbstractSlider::SliderSingleStepSub); // the upper arrow: -1, a step up
        } else if (name == decreaseAction()) {
            bar()->triggerAction(QAbstractSlider::SliderSingleStepAdd);
        } else {
            QAccessibleWidget::doAction(name);
        }
    }
};

// A picture button: a push button named for what it does, its tooltip as description. The results button also
// opens the results file, as its right click does.
class AccessibleButton : public QAccessibleWidget
{
public:
    explicit AccessibleButton(PictureButton* button) : QAccessibleWidget(button, QAccessible::Button) {}

    PictureButton* button() const { return static_cast<PictureButton*>(widget()); }
    bool opensResults() const { return button()->objectName() == QLatin1String("Image4"); }

    QStringList actionNames() const override
    {
        return opensResults() ? QStringList{pressAction(), openResultsAction()} : QStringList{pressAction()};
    }

    void doAction(const QString& name) override
    {
        if (name == pressAction()) {
            button()->activate(Qt::LeftButton);
        } else if (name == openResultsAction() && opensResults()) {
            button()->activate(Qt::RightButton);
        }
    }
};

QAccessibleInterface* factory(const QString& className, QObject* object)
{
    if (className == QLatin1String(SkinLabel::staticMetaObject.className())) {
        return new AccessibleLabel(static_cast<SkinLabel*>(object));
    }
    if (className == QLatin1String(SpinBar::staticMetaObject.className())) {
        return new AccessibleSpin(static_cast<SpinBar*>(object));
    }
    if (className == QLatin1String(PictureButton::staticMetaObject.className())) {
        return new AccessibleButton(static_cast<PictureButton*>(object));
    }
    if (className == QLatin1String(Form1::staticMetaObject.className())) {
        return new QAccessibleWidget(static_cast<QWidget*>(object), QAccessible::Window);
    }
    return nullptr;
}

} // namespace

void installAccessibility()
{
    // Qt keeps a factory once, however often it is installed.
    QAccessible::installFactory(factory);
}

} // namespace clockdeck
