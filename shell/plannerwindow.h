// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Clockdeck developers
#pragma once

#include "calc/calculator.h"
#include "calc/planner.h"
#include "planmap.h"

#include <QTimer>
#include <QWidget>

#include <memory>
#include <optional>
#include <string>

class QCheckBox;
class QLabel;
class QSpinBox;
class QTableView;

namespace clockdeck {

class PlanRowsModel;

// The planner: limits an overclock must keep, the best combinations within them, and the map of the whole space.
// An ordinary window in the desktop's palette and font. A limit changed searches again at once; a double click or
// Enter on a row or a cell applies that combination to the calculator. A held input changed in the main window
// searches again. Escape closes it.
class PlannerWindow : public QWidget
{
    Q_OBJECT

public:
    // Searches @p calc, whose load set @p stockMultiplier; @p fx: the processor's multiplier is unlocked upward.
    // @p moduleRating: the slowest installed module's rated clock, the memory limit while PCramNum holds what the
    // load gave it; none when no module could be read.
    PlannerWindow(Calculator& calc, double stockMultiplier, bool fx, std::optional<double> moduleRating = {},
                  QWidget* parent = nullptr);
    ~PlannerWindow() override;

    [[nodiscard]] PlanLimits limits() const;
    [[nodiscard]] const PlanResult* result() const { return m_result.get(); }
    PlanMap* map() const { return m_map; }
    QTableView* table() const { return m_table; }

    // Sets BusSpeed, Multiplier and HyperTransport through their change handlers, and SelectDDR to the row's entry
    // of List1 with List1 moved there, as stepping the spin controls to them would.
    static void apply(Calculator& calc, const PlanRow& row);

public slots:
    // Searches again with the limits shown and the calculator's fields as they are now.
    void recompute();

signals:
    // After a combination was applied to the calculator.
    void applied(const clockdeck::PlanRow& row);

protected:
    void showEvent(QShowEvent* event) override;

private:
    void applyRow(const PlanRow& row);
    void heldInputChanged(Field field);

    Calculator& m_calc;
    double m_stockMultiplier;
    bool m_fx;
    std::optional<double> m_moduleRating;
    std::string m_loadedRamNum; // PCramNum as the planner found it: the modules' rating holds while it stays so
    std::shared_ptr<const PlanResult> m_result;
    bool m_stale = true; // a held input changed since the last search
    QTimer m_refresh;

    QSpinBox* m_maxCpu = nullptr;
    QSpinBox* m_maxRef = nullptr;
    QSpinBox* m_maxLink = nullptr;
    QSpinBox* m_ramMargin = nullptr;
    QCheckBox* m_unlocked = nullptr;
    QTableView* m_table = nullptr;
    PlanRowsModel* m_model = nullptr;
    PlanMap* m_map = nullptr;
    QLabel* m_status = nullptr;
};

} // namespace clockdeck
