// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Clockdeck developers
#include "planrowsmodel.h"

#include <algorithm>
#include <cmath>

namespace clockdeck {

QString PlanRowsModel::number(double value)
{
    return QString::number(value, 'f', value == std::floor(value) ? 0 : 1);
}

QString PlanRowsModel::fieldText(const PlanRow& row, Field field, double value)
{
    const std::string& text = row.texts[clockdeck::index(field)];
    return text.empty() ? number(value) : QString::fromStdString(text);
}

void PlanRowsModel::setResult(std::shared_ptr<const PlanResult> result, QStringList memoryClasses)
{
    beginResetModel();
    m_result = std::move(result);
    m_memoryClasses = std::move(memoryClasses);
    endResetModel();
}

const PlanRow* PlanRowsModel::planRow(int row) const
{
    return row >= 0 && row < rowCount() ? &m_result->rows[std::size_t(row)] : nullptr;
}

int PlanRowsModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() || !m_result ? 0 : std::min(int(m_result->rows.size()), TopRows);
}

int PlanRowsModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : ColumnCount;
}

QVariant PlanRowsModel::data(const QModelIndex& index, int role) const
{
    const PlanRow* row = planRow(index.row());
    if (!row) {
        return {};
    }
    if (role == Qt::TextAlignmentRole) {
        return QVariant::fromValue(Qt::AlignRight | Qt::AlignVCenter);
    }
    if (role != Qt::DisplayRole && role != Qt::AccessibleTextRole) {
        return {};
    }
    switch (Column(index.column())) {
    case Rank:
        return index.row() + 1;
    case BusSpeed:
        return row->busSpeed;
    case Multiplier:
        return number(row->multiplier);
    case HyperTransport:
        return row->hyperTransport;
    case MemoryClass:
        return m_memoryClasses.value(row->memoryClass, QString::number(row->memoryClass));
    case Processor:
        return fieldText(*row, Field::shwCPU_MHz, row->cpuMHz);
    case Link:
        return fieldText(*row, Field::Label13, row->linkMHz);
    case Memory:
        return fieldText(*row, Field::shwDDR_MHz, row->ramMHz);
    case ColumnCount:
        break;
    }
    return {};
}

QVariant PlanRowsModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole) {
        return QAbstractTableModel::headerData(section, orientation, role);
    }
    switch (Column(section)) {
    case Rank:
        return tr("Rank");
    case BusSpeed:
        return tr("Reference (MHz)");
    case Multiplier:
        return tr("Multiplier");
    case HyperTransport:
        return tr("HT");
    case MemoryClass:
        return tr("Memory class");
    case Processor:
        return tr("Processor (MHz)");
    case Link:
        return tr("Link (MHz)");
    case Memory:
        return tr("Memory (MHz)");
    case ColumnCount:
        break;
    }
    return {};
}

} // namespace clockdeck
