// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Clockdeck developers
#pragma once

#include "calc/planner.h"

#include <QAbstractTableModel>
#include <QStringList>

#include <memory>

namespace clockdeck {

// The best rows of a planner search as a table: rank, the four inputs the search varies, and the processor, link
// and memory clocks they give.
class PlanRowsModel : public QAbstractTableModel
{
    Q_OBJECT

public:
    enum Column
    {
        Rank,
        BusSpeed,
        Multiplier,
        HyperTransport,
        MemoryClass,
        Processor,
        Link,
        Memory,
        ColumnCount
    };

    // How many rows of a search the table shows at most.
    static constexpr int TopRows = 20;

    explicit PlanRowsModel(QObject* parent = nullptr) : QAbstractTableModel(parent) {}

    // The search's rows, best first, and the texts of List1's entries by position.
    void setResult(std::shared_ptr<const PlanResult> result, QStringList memoryClasses);
    // The combination on a table row, or null.
    [[nodiscard]] const PlanRow* planRow(int row) const;

    // A multiplier or clock as the window writes it: whole numbers bare, others with one decimal.
    [[nodiscard]] static QString number(double value);
    // A derived field's text as the calculator wrote it for the row, or the number when it wrote none.
    [[nodiscard]] static QString fieldText(const PlanRow& row, Field field, double value);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

private:
    std::shared_ptr<const PlanResult> m_result;
    QStringList m_memoryClasses;
};

} // namespace clockdeck
