// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Clockdeck developers
#include "planmap.h"

#include "planrowsmodel.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QHelpEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QToolTip>

#include <algorithm>
#include <array>
#include <cmath>

namespace clockdeck {

namespace {

// To a screen reader the map is a chart with a name and a description that summarises it.
QAccessibleInterface* mapAccessible(const QString& className, QObject* object)
{
    if (className == QLatin1String("clockdeck::PlanMap") && object && object->isWidgetType()) {
        return new QAccessibleWidget(static_cast<QWidget*>(object), QAccessible::Chart);
    }
    return nullptr;
}

// The texts of numbers and fields, as the table writes them.
using RowText = PlanRowsModel;

QString limitReason(PlanLimit limit)
{
    switch (limit) {
    case PlanLimit::Memory:
        return PlanMap::tr("the memory clock is over its limit");
    case PlanLimit::Link:
        return PlanMap::tr("the link clock is over its limit");
    case PlanLimit::Reference:
        return PlanMap::tr("the reference clock is over its limit");
    case PlanLimit::Cpu:
        return PlanMap::tr("the processor clock is over the target");
    case PlanLimit::None:
        break;
    }
    return {};
}

// Each limit its own hatching direction as well as its own colour, so the two can be told apart without colour.
Qt::BrushStyle hatchFor(PlanLimit limit)
{
    switch (limit) {
    case PlanLimit::Memory:
        return Qt::BDiagPattern;
    case PlanLimit::Link:
        return Qt::FDiagPattern;
    case PlanLimit::Reference:
        return Qt::HorPattern;
    case PlanLimit::Cpu:
        return Qt::DiagCrossPattern;
    case PlanLimit::None:
        break;
    }
    return Qt::NoBrush;
}

constexpr std::array<PlanLimit, 4> Limits{PlanLimit::Memory, PlanLimit::Link, PlanLimit::Reference, PlanLimit::Cpu};

void paintHatch(QPainter& painter, const QRectF& box, PlanLimit limit, const QColor& base)
{
    painter.fillRect(box, base);
    painter.fillRect(box, QBrush(PlanMap::limitColour(limit), hatchFor(limit)));
}

} // namespace

PlanMap::PlanMap(QWidget* parent) : QWidget(parent)
{
    static const bool factoryInstalled = [] {
        QAccessible::installFactory(mapAccessible);
        return true;
    }();
    Q_UNUSED(factoryInstalled)
    setObjectName(QStringLiteral("planMap"));
    setAccessibleName(tr("Overclock map"));
    setFocusPolicy(Qt::StrongFocus);
    setMouseTracking(true);
    updateDescription();
}

void PlanMap::setResult(std::shared_ptr<const PlanResult> result, QStringList memoryClasses)
{
    m_result = std::move(result);
    m_memoryClasses = std::move(memoryClasses);
    m_lowMHz = m_highMHz = 0;
    m_bestColumn = m_bestRow = -1;
    bool first = true;
    for (const PlanCell& c : m_result ? m_result->cells : std::vector<PlanCell>()) {
        if (!c.best) {
            continue;
        }
        m_lowMHz = first ? c.best->cpuMHz : std::min(m_lowMHz, c.best->cpuMHz);
        m_highMHz = first ? c.best->cpuMHz : std::max(m_highMHz, c.best->cpuMHz);
        first = false;
    }
    if (m_result && !m_result->rows.empty()) {
        m_bestColumn = m_result->rows.front().busSpeed - 100;
        m_bestRow = int(std::lround((m_result->rows.front().multiplier - 4) * 2));
    }
    if (!cell(m_currentColumn, m_currentRow)) {
        setCurrent(std::max(m_bestColumn, 0), std::max(m_bestRow, 0));
    }
    updateDescription();
    update();
}

int PlanMap::columns() const
{
    return m_result && m_result->multiplierCount > 0 ? int(m_result->cells.size() / m_result->multiplierCount) : 0;
}

int PlanMap::rows() const
{
    return m_result ? int(m_result->multiplierCount) : 0;
}

const PlanCell* PlanMap::cell(int column, int row) const
{
    if (column < 0 || row < 0 || column >= columns() || row >= rows()) {
        return nullptr;
    }
    return &m_result->cells[std::size_t(column) * m_result->multiplierCount + std::size_t(row)];
}

const PlanCell* PlanMap::currentCell() const
{
    return cell(m_currentColumn, m_currentRow);
}

QRectF PlanMap::plotArea() const
{
    const QFontMetrics metrics = fontMetrics();
    const int line = metrics.height();
    const double left = line + 6 + metrics.horizontalAdvance(QStringLiteral("15.5")) + 6;
    const double bottom = 4 + line + line + 8 + 2 * (line + 4);
    // Room on the right and at the top for the ring round a cell at the edge.
    return QRectF(left, 10, std::max(1.0, width() - left - 14), std::max(1.0, height() - 10 - bottom));
}

QRectF PlanMap::cellRect(int column, int row) const
{
    if (!cell(column, row)) {
        return {};
    }
    const QRectF plot = plotArea();
    const double w = plot.width() / columns();
    const double h = plot.height() / rows();
    // Edges on whole pixels, so neighbouring cells neither overlap nor leave a gap.
    const double x0 = std::round(plot.left() + column * w), x1 = std::round(plot.left() + (column + 1) * w);
    const double y0 = std::round(plot.bottom() - (row + 1) * h), y1 = std::round(plot.bottom() - row * h);
    return QRectF(x0, y0, x1 - x0, y1 - y0);
}

const PlanCell* PlanMap::cellAt(QPoint point) const
{
    const QRectF plot = plotArea();
    if (columns() == 0 || !plot.contains(point)) {
        return nullptr;
    }
    // The estimate, then its neighbours: cell edges are rounded to whole pixels.
    const int column = int((point.x() - plot.left()) * columns() / plot.width());
    const int row = int((plot.bottom() - point.y()) * rows() / plot.height());
    for (int c = column - 1; c <= column + 1; ++c) {
        for (int r = row - 1; r <= row + 1; ++r) {
            if (cell(c, r) && cellRect(c, r).contains(point)) {
                return cell(c, r);
            }
        }
    }
    return nullptr;
}

QString PlanMap::describe(const PlanCell& c) const
{
    const QString head = tr("%1 MHz × %2").arg(c.busSpeed).arg(RowText::number(c.multiplier));
    if (!c.best) {
        return tr("%1: no choice within the limits (%2)").arg(head, limitReason(c.failed));
    }
    const PlanRow& r = *c.best;
    const QString memoryClass = m_memoryClasses.value(r.memoryClass, QString::number(r.memoryClass));
    return tr("%1: processor %2 MHz\nHyperTransport × %3: link %4 MHz\nMemory class %5: memory %6 MHz")
        .arg(head, RowText::fieldText(r, Field::shwCPU_MHz, r.cpuMHz))
        .arg(r.hyperTransport)
        .arg(RowText::fieldText(r, Field::Label13, r.linkMHz), memoryClass,
             RowText::fieldText(r, Field::shwDDR_MHz, r.ramMHz));
}

QColor PlanMap::clockColour(double position)
{
    // Dark blue through teal and green to yellow: brighter is faster, and it reads the same in grey.
    static constexpr std::array<QRgb, 5> Stops{0x3b2f80, 0x2c6e9a, 0x25a08a, 0x6cc65a, 0xf0e040};
    const double t = std::clamp(position, 0.0, 1.0) * (Stops.size() - 1);
    const auto i = std::min(std::size_t(t), Stops.size() - 2);
    const double f = t - double(i);
    const QColor a(Stops[i]), b(Stops[i + 1]);
    return QColor::fromRgbF(float(a.redF() + (b.redF() - a.redF()) * f),
                            float(a.greenF() + (b.greenF() - a.greenF()) * f),
                            float(a.blueF() + (b.blueF() - a.blueF()) * f));
}

QColor PlanMap::limitColour(PlanLimit limit)
{
    switch (limit) {
    case PlanLimit::Memory:
        return QColor(0x9a, 0x30, 0xb0);
    case PlanLimit::Link:
        return QColor(0xe0, 0x7a, 0x00);
    case PlanLimit::Reference:
        return QColor(0x58, 0x58, 0x58);
    case PlanLimit::Cpu:
        return QColor(0xc8, 0x10, 0x20);
    case PlanLimit::None:
        break;
    }
    return {};
}

QSize PlanMap::sizeHint() const
{
    return {560, 360};
}

QSize PlanMap::minimumSizeHint() const
{
    return {420, 260};
}

void PlanMap::setCurrent(int column, int row)
{
    if (!cell(column, row)) {
        return;
    }
    m_currentColumn = column;
    m_currentRow = row;
    updateDescription();
    update();
}

void PlanMap::updateDescription()
{
    QString text;
    if (!m_result) {
        text = tr("No search yet.");
    } else if (m_result->rows.empty()) {
        text = tr("No combination meets the limits.");
    } else {
        const PlanRow& best = m_result->rows.front();
        text = tr("Best: %1 MHz × %2 gives %3 MHz.")
                   .arg(best.busSpeed)
                   .arg(RowText::number(best.multiplier), RowText::fieldText(best, Field::shwCPU_MHz, best.cpuMHz));
    }
    if (const PlanCell* c = currentCell()) {
        text += QLatin1Char(' ') +
                tr("Current cell: %1.").arg(describe(*c).replace(QLatin1Char('\n'), QStringLiteral("; ")));
    }
    if (text == accessibleDescription()) {
        return;
    }
    setAccessibleDescription(text);
    if (QAccessible::isActive()) {
        QAccessibleEvent event(this, QAccessible::DescriptionChanged);
        QAccessible::updateAccessibility(&event);
    }
}

bool PlanMap::event(QEvent* event)
{
    if (event->type() == QEvent::ToolTip) {
        auto* help = static_cast<QHelpEvent*>(event);
        if (const PlanCell* c = cellAt(help->pos())) {
            QToolTip::showText(help->globalPos(), describe(*c), this);
        } else {
            QToolTip::hideText();
        }
        return true;
    }
    return QWidget::event(event);
}

void PlanMap::mousePressEvent(QMouseEvent* event)
{
    if (const PlanCell* c = cellAt(event->position().toPoint())) {
        setCurrent(c->busSpeed - 100, int(std::lround((c->multiplier - 4) * 2)));
    }
    QWidget::mousePressEvent(event);
}

void PlanMap::mouseDoubleClickEvent(QMouseEvent* event)
{
    const PlanCell* c = cellAt(event->position().toPoint());
    if (c && c->best) {
        emit cellActivated(*c->best);
    }
}

void PlanMap::keyPressEvent(QKeyEvent* event)
{
    // A tenth of the width per step with Page Up and Page Down, for the two hundred reference clocks.
    const int page = std::max(1, columns() / 10);
    switch (event->key()) {
    case Qt::Key_Left:
        setCurrent(m_currentColumn - 1, m_currentRow);
        break;
    case Qt::Key_Right:
        setCurrent(m_currentColumn + 1, m_currentRow);
        break;
    case Qt::Key_Up:
        setCurrent(m_currentColumn, m_currentRow + 1);
        break;
    case Qt::Key_Down:
        setCurrent(m_currentColumn, m_currentRow - 1);
        break;
    case Qt::Key_PageUp:
        setCurrent(std::max(0, m_currentColumn - page), m_currentRow);
        break;
    case Qt::Key_PageDown:
        setCurrent(std::min(columns() - 1, m_currentColumn + page), m_currentRow);
        break;
    case Qt::Key_Home:
        setCurrent(m_bestColumn, m_bestRow);
        break;
    case Qt::Key_Enter:
    case Qt::Key_Return:
        if (const PlanCell* c = currentCell(); c && c->best) {
            emit cellActivated(*c->best);
        }
        break;
    default:
        QWidget::keyPressEvent(event);
        return;
    }
    event->accept();
}

void PlanMap::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    const QRectF plot = plotArea();
    const QColor base = palette().color(QPalette::Base);
    painter.fillRect(plot, base);
    const double span = m_highMHz - m_lowMHz;
    for (int column = 0; column < columns(); ++column) {
        for (int row = 0; row < rows(); ++row) {
            const PlanCell& c = *cell(column, row);
            const QRectF box = cellRect(column, row);
            if (c.best) {
                painter.fillRect(box, clockColour(span > 0 ? (c.best->cpuMHz - m_lowMHz) / span : 1));
            } else if (c.failed != PlanLimit::None) {
                paintHatch(painter, box, c.failed, base);
            }
        }
    }
    painter.setPen(palette().color(QPalette::Text));
    painter.drawRect(plot.adjusted(-0.5, -0.5, 0.5, 0.5));
    paintAxes(painter, plot);
    paintLegend(painter, plot);

    painter.setRenderHint(QPainter::Antialiasing);
    if (const PlanCell* c = currentCell(); c && hasFocus()) {
        painter.setPen(QPen(palette().color(QPalette::Highlight), 2));
        painter.setBrush(Qt::NoBrush);
        painter.drawRect(cellRect(m_currentColumn, m_currentRow).adjusted(-2, -2, 2, 2));
    }
    if (cell(m_bestColumn, m_bestRow)) {
        // A light ring inside a dark one stands out on every colour of the scale.
        const QRectF box = cellRect(m_bestColumn, m_bestRow);
        const double rx = std::max(7.0, box.width() / 2 + 4), ry = std::max(7.0, box.height() / 2 + 4);
        painter.setBrush(Qt::NoBrush);
        painter.setPen(QPen(Qt::white, 4));
        painter.drawEllipse(box.center(), rx, ry);
        painter.setPen(QPen(Qt::black, 2));
        painter.drawEllipse(box.center(), rx, ry);
    }
}

void PlanMap::paintAxes(QPainter& painter, const QRectF& plot) const
{
    const QFontMetrics metrics = fontMetrics();
    const int line = metrics.height();
    if (columns() > 0) {
        // Reference clocks every 25 MHz, or every 50 or 100 where labels would touch.
        const double perMHz = plot.width() / columns();
        const double labelWidth = metrics.horizontalAdvance(QStringLiteral("400")) + 8;
        int step = 25;
        while (step * perMHz < labelWidth && step < 100) {
            step *= 2;
        }
        for (int mhz = 100; mhz < 100 + columns(); mhz += step) {
            const double x = cellRect(mhz - 100, 0).center().x();
            painter.drawLine(QPointF(x, plot.bottom() + 1), QPointF(x, plot.bottom() + 4));
            painter.drawText(QRectF(x - labelWidth, plot.bottom() + 4, 2 * labelWidth, line), Qt::AlignCenter,
                             QString::number(mhz));
        }
        // Whole multipliers, every other one where rows are lower than the text.
        const int every = plot.height() / rows() * 2 < line ? 4 : 2;
        for (int row = 0; row < rows(); row += every) {
            const double y = cellRect(0, row).center().y();
            painter.drawLine(QPointF(plot.left() - 4, y), QPointF(plot.left() - 1, y));
            painter.drawText(QRectF(line + 2, y - line, plot.left() - line - 8, 2 * line),
                             Qt::AlignRight | Qt::AlignVCenter, RowText::number(4 + row / 2.0));
        }
    }
    painter.drawText(QRectF(plot.left(), plot.bottom() + 4 + line, plot.width(), line), Qt::AlignCenter,
                     tr("Reference clock (MHz)"));
    painter.save();
    painter.translate(0, plot.center().y());
    painter.rotate(-90);
    painter.drawText(QRectF(-plot.height() / 2, 0, plot.height(), line), Qt::AlignCenter, tr("Multiplier"));
    painter.restore();
}

void PlanMap::paintLegend(QPainter& painter, const QRectF& plot) const
{
    const QFontMetrics metrics = fontMetrics();
    const int line = metrics.height();
    const QColor base = palette().color(QPalette::Base);
    const QColor text = palette().color(QPalette::WindowText);
    double x = plot.left();
    double y = plot.bottom() + 4 + 2 * line + 8;
    const auto caption = [&](const QString& words) {
        painter.setPen(text);
        const double w = metrics.horizontalAdvance(words);
        painter.drawText(QRectF(x, y, w + 1, line), Qt::AlignLeft | Qt::AlignVCenter, words);
        x += w + 6;
    };
    const QRectF swatch(0, 2, line - 4, line - 4);

    // First line: the colour scale from the slowest to the fastest clock on the map.
    caption(tr("Processor clock:"));
    caption(m_highMHz > 0 ? tr("%1 MHz").arg(RowText::number(m_lowMHz)) : QStringLiteral("–"));
    const QRectF bar(x, y + 2, 6 * line, line - 4);
    for (int i = 0; i < int(bar.width()); ++i) {
        painter.fillRect(QRectF(bar.left() + i, bar.top(), 1, bar.height()), clockColour(i / (bar.width() - 1)));
    }
    painter.setPen(text);
    painter.drawRect(bar.adjusted(-0.5, -0.5, 0.5, 0.5));
    x = bar.right() + 6;
    caption(m_highMHz > 0 ? tr("%1 MHz").arg(RowText::number(m_highMHz)) : QStringLiteral("–"));
    x += 12;
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(Qt::black, 2));
    painter.drawEllipse(QRectF(x, y + 2, line - 4, line - 4));
    painter.restore();
    x += line;
    caption(tr("the best"));

    // Second line: what each hatching means.
    x = plot.left();
    y += line + 4;
    caption(tr("Out of limits:"));
    const std::array<QString, 4> names{tr("memory"), tr("link"), tr("reference clock"), tr("processor target")};
    for (std::size_t i = 0; i < Limits.size(); ++i) {
        const QRectF box = swatch.translated(x, y);
        paintHatch(painter, box, Limits[i], base);
        painter.setPen(text);
        painter.drawRect(box.adjusted(-0.5, -0.5, 0.5, 0.5));
        x = box.right() + 4;
        caption(names[i]);
        x += 6;
    }
}

} // namespace clockdeck
