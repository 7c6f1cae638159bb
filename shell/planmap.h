// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Clockdeck developers
#pragma once

#include "calc/planner.h"

#include <QColor>
#include <QStringList>
#include <QWidget>

#include <memory>
#include <optional>

// Carried by the signals of the planner's map and window.
Q_DECLARE_METATYPE(clockdeck::PlanRow)

namespace clockdeck {

// The map of a planner search: the reference clock across, the multiplier up. Each cell is coloured by the best
// processor clock its reference clock and multiplier reach within the limits; a cell that no memory class or link
// multiplier brings within them is hatched in the colour of the limit that failed. The best cell is ringed, the
// pointer over a cell shows its combination, and the arrow keys move a current cell (Home: the best).
class PlanMap : public QWidget
{
    Q_OBJECT

public:
    explicit PlanMap(QWidget* parent = nullptr);

    // The search to show, and the texts of List1's entries by position (the memory classes' names).
    void setResult(std::shared_ptr<const PlanResult> result, QStringList memoryClasses);

    // The cell under a point of the widget, or null off the grid.
    [[nodiscard]] const PlanCell* cellAt(QPoint point) const;
    // A cell's box in widget coordinates: column 0 is BusSpeed 100, row 0 Multiplier 4.
    [[nodiscard]] QRectF cellRect(int column, int row) const;
    // The cell the keyboard is on, or null before there is a result.
    [[nodiscard]] const PlanCell* currentCell() const;
    // What the tooltip and the accessible description say of a cell.
    [[nodiscard]] QString describe(const PlanCell& cell) const;

    // The colours the map uses: for a processor clock between the lowest and the highest on the map (0 to 1), and
    // for the hatching of each limit.
    [[nodiscard]] static QColor clockColour(double position);
    [[nodiscard]] static QColor limitColour(PlanLimit limit);

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

signals:
    // A double click or Enter on a cell that has a best combination.
    void cellActivated(const clockdeck::PlanRow& row);

protected:
    bool event(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    int columns() const;
    int rows() const;
    QRectF plotArea() const;
    const PlanCell* cell(int column, int row) const;
    void setCurrent(int column, int row);
    void updateDescription();
    void paintAxes(QPainter& painter, const QRectF& plot) const;
    void paintLegend(QPainter& painter, const QRectF& plot) const;

    std::shared_ptr<const PlanResult> m_result;
    QStringList m_memoryClasses;
    double m_lowMHz = 0;
    double m_highMHz = 0;
    int m_bestColumn = -1;
    int m_bestRow = -1;
    int m_currentColumn = -1;
    int m_currentRow = -1;
};

} // namespace clockdeck
