// SPDX-License-Identifier: GPL-3.0-or-later
// SPDX-FileCopyrightText: 2026 Clockdeck developers
#include "plannerwindow.h"

#include "calc/numbertext.h"
#include "planmap.h"
#include "planrowsmodel.h"

#include <QCheckBox>
#include <QEvent>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QShortcut>
#include <QSpinBox>
#include <QTableView>

#include <algorithm>
#include <functional>

namespace clockdeck {

namespace {

QString limitName(PlanLimit limit)
{
    switch (limit) {
    case PlanLimit::Memory:
        return PlannerWindow::tr("memory clock");
    case PlanLimit::Link:
        return PlannerWindow::tr("link clock");
    case PlanLimit::Reference:
        return PlannerWindow::tr("reference clock");
    case PlanLimit::Cpu:
        return PlannerWindow::tr("processor target");
    case PlanLimit::None:
        break;
    }
    return {};
}

QSpinBox* limitBox(int low, int high, int step, int value, const QString& suffix, const QString& name)
{
    auto* box = new QSpinBox;
    box->setRange(low, high);
    box->setSingleStep(step);
    box->setValue(value);
    box->setSuffix(suffix);
    box->setAccessibleName(name);
    box->setObjectName(name);
    return box;
}

// Enter on a table row applies it; the view itself leaves the key to its window.
class EnterFilter : public QObject
{
public:
    EnterFilter(QTableView* table, std::function<void(int)> apply) : QObject(table), m_apply(std::move(apply)) {}

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::KeyPress) {
            const int key = static_cast<QKeyEvent*>(event)->key();
            auto* table = static_cast<QTableView*>(parent());
            if ((key == Qt::Key_Return || key == Qt::Key_Enter) && table->currentIndex().isValid()) {
                m_apply(table->currentIndex().row());
                return true;
            }
        }
        return QObject::eventFilter(watched, event);
    }

private:
    std::function<void(int)> m_apply;
};

} // namespace

PlannerWindow::PlannerWindow(Calculator& calc, double stockMultiplier, bool fx, std::optional<double> moduleRating,
                             QWidget* parent)
    : QWidget(parent, Qt::Window), m_calc(calc), m_stockMultiplier(stockMultiplier), m_fx(fx),
      m_moduleRating(moduleRating), m_loadedRamNum(calc.text(Field::PCramNum))
{
    setObjectName(QStringLiteral("PlannerWindow"));
    setWindowTitle(tr("Plan an overclock – Clockdeck"));
    setAccessibleName(tr("Plan an overclock"));
    setCursor(Qt::ArrowCursor); // not the skinned window's pointer

    // The processor target's lowest value stands for no target.
    m_maxCpu = limitBox(0, 6400, 50, 0, tr(" MHz"), tr("Processor target"));
    m_maxCpu->setSpecialValueText(tr("None"));
    m_maxRef = limitBox(100, 400, 1, 300, tr(" MHz"), tr("Reference clock at most"));
    m_maxLink = limitBox(100, 3200, 50, 1000, tr(" MHz"), tr("Link at most"));
    m_ramMargin = limitBox(0, 100, 1, 0, tr(" %"), tr("Memory margin above its rating"));
    m_unlocked = new QCheckBox(tr("&Unlocked multiplier (above stock)"));
    m_unlocked->setAccessibleName(tr("Unlocked multiplier"));
    m_unlocked->setObjectName(QStringLiteral("unlocked"));
    if (m_fx) {
        m_unlocked->setChecked(true);
        m_unlocked->setEnabled(false);
        m_unlocked->setToolTip(tr("An FX processor's multiplier is unlocked"));
    }

    auto* limitsBox = new QGroupBox(tr("Limits"));
    auto* form = new QFormLayout(limitsBox);
    form->addRow(tr("Processor &target:"), m_maxCpu);
    form->addRow(tr("&Reference clock at most:"), m_maxRef);
    form->addRow(tr("&Link at most:"), m_maxLink);
    form->addRow(tr("&Memory margin:"), m_ramMargin);
    form->addRow(m_unlocked);

    m_model = new PlanRowsModel(this);
    m_table = new QTableView;
    m_table->setObjectName(QStringLiteral("planRows"));
    m_table->setModel(m_model);
    m_table->setAccessibleName(tr("Best combinations"));
    m_table->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_table->setSelectionMode(QAbstractItemView::SingleSelection);
    m_table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_table->setTabKeyNavigation(false);
    m_table->verticalHeader()->hide();
    m_table->horizontalHeader()->setStretchLastSection(true);
    auto* tableLabel = new QLabel(tr("Best &combinations (double-click or Enter applies one):"));
    tableLabel->setBuddy(m_table);

    m_map = new PlanMap;
    auto* mapLabel = new QLabel(tr("M&ap: reference clock across, multiplier up (Enter applies a cell)"));
    mapLabel->setBuddy(m_map);

    m_status = new QLabel;
    m_status->setObjectName(QStringLiteral("planStatus"));
    // A plain button: a button box would look up the icon theme for its icon, the slowest part of a first opening.
    auto* close = new QPushButton(tr("Close"));
    close->setAccessibleName(tr("Close"));

    auto* grid = new QGridLayout(this);
    grid->addWidget(limitsBox, 0, 0, 2, 1, Qt::AlignTop);
    grid->addWidget(mapLabel, 0, 1);
    grid->addWidget(m_map, 1, 1);
    grid->addWidget(tableLabel, 2, 0, 1, 2);
    grid->addWidget(m_table, 3, 0, 1, 2);
    grid->addWidget(m_status, 4, 0, 1, 2);
    grid->addWidget(close, 5, 0, 1, 2, Qt::AlignRight);
    grid->setColumnStretch(1, 1);
    grid->setRowStretch(1, 3);
    grid->setRowStretch(3, 2);

    setTabOrder(m_maxCpu, m_maxRef);
    setTabOrder(m_maxRef, m_maxLink);
    setTabOrder(m_maxLink, m_ramMargin);
    setTabOrder(m_ramMargin, m_unlocked);
    setTabOrder(m_unlocked, m_map);
    setTabOrder(m_map, m_table);

    for (QSpinBox* box : {m_maxCpu, m_maxRef, m_maxLink, m_ramMargin}) {
        connect(box, &QSpinBox::valueChanged, this, &PlannerWindow::recompute);
    }
    connect(m_unlocked, &QCheckBox::toggled, this, &PlannerWindow::recompute);
    connect(m_map, &PlanMap::cellActivated, this, &PlannerWindow::applyRow);
    const auto applyTableRow = [this](int row) {
        if (const PlanRow* planRow = m_model->planRow(row)) {
            applyRow(*planRow);
        }
    };
    connect(m_table, &QTableView::doubleClicked, this,
            [applyTableRow](const QModelIndex& index) { applyTableRow(index.row()); });
    m_table->installEventFilter(new EnterFilter(m_table, applyTableRow));
    connect(close, &QPushButton::clicked, this, &QWidget::close);
    connect(new QShortcut(QKeySequence(Qt::Key_Escape), this), &QShortcut::activated, this, &QWidget::close);

    m_refresh.setSingleShot(true);
    m_refresh.setInterval(0);
    connect(&m_refresh, &QTimer::timeout, this, [this] {
        if (m_stale) {
            recompute();
        }
    });
    // The calculator outlives nothing here: this window is the main window's child and goes with it.
    m_calc.fields().subscribe([this](Field field) { heldInputChanged(field); });

    recompute();
    // Sized once to the first rows: measuring every cell again at each search would cost more than the search.
    m_table->resizeColumnsToContents();
    m_maxCpu->setFocus();
    resize(sizeHint().expandedTo(QSize(860, 640)));
}

PlannerWindow::~PlannerWindow() = default;

PlanLimits PlannerWindow::limits() const
{
    PlanLimits limits;
    if (m_maxCpu->value() > m_maxCpu->minimum()) {
        limits.maxCpu = m_maxCpu->value();
    }
    limits.maxRef = m_maxRef->value();
    limits.maxLink = m_maxLink->value();
    limits.ramMargin = m_ramMargin->value();
    limits.unlocked = m_unlocked->isChecked();
    if (m_moduleRating && m_calc.text(Field::PCramNum) == m_loadedRamNum) {
        limits.ramRating = m_moduleRating;
    }
    return limits;
}

void PlannerWindow::recompute()
{
    m_stale = false;
    const int current = m_table->currentIndex().row();
    m_result = std::make_shared<const PlanResult>(findBest(m_calc, limits(), m_stockMultiplier, m_fx));
    QStringList classes;
    for (const std::string& item : m_calc.List1.items) {
        classes << QString::fromStdString(item);
    }
    m_model->setResult(m_result, classes);
    m_map->setResult(m_result, classes);
    if (m_model->rowCount() > 0) {
        m_table->setCurrentIndex(m_model->index(std::clamp(current, 0, m_model->rowCount() - 1), 0));
    }
    if (m_result->rows.empty()) {
        m_status->setText(tr("%1 combinations evaluated; none meets the limits. The %2 limit excluded the most.")
                              .arg(m_result->evaluated)
                              .arg(limitName(m_result->mostExcluding)));
    } else {
        m_status->setText(
            tr("%1 combinations evaluated; %2 met the limits.").arg(m_result->evaluated).arg(m_result->rows.size()));
    }
    if (m_result->limits.ramRating) {
        m_status->setText(m_status->text() + ' ' +
                          tr("Memory limit: the slowest module's rating, %1 MHz.").arg(*m_result->limits.ramRating));
    }
}

void PlannerWindow::apply(Calculator& calc, const PlanRow& row)
{
    calc.setText(Field::BusSpeed, NumberToText(row.busSpeed));
    calc.setText(Field::Multiplier, NumberToText(row.multiplier));
    calc.setText(Field::HyperTransport, NumberToText(row.hyperTransport));
    // SelectDDR through List1, so that its spin steps on from the applied entry.
    if (!calc.selectEntry(Field::SelectDDR, calc.List1.item(row.memoryClass))) {
        qWarning("clockdeck: the planner's memory class %d is not in List1", row.memoryClass);
    }
}

void PlannerWindow::applyRow(const PlanRow& row)
{
    const PlanRow copy = row; // the search's rows may be replaced while the fields change
    apply(m_calc, copy);
    emit applied(copy);
}

void PlannerWindow::heldInputChanged(Field field)
{
    // The four varied inputs do not change the search; the held ones (stock values, voltages, the modules' rating)
    // do. Many changes in one event (a load, a held spin arrow) give one search, when the window is shown.
    if (!isInputField(field) || field == Field::BusSpeed || field == Field::Multiplier ||
        field == Field::HyperTransport || field == Field::SelectDDR) {
        return;
    }
    m_stale = true;
    if (isVisible()) {
        m_refresh.start();
    }
}

void PlannerWindow::showEvent(QShowEvent* event)
{
    if (m_stale) {
        recompute();
    }
    QWidget::showEvent(event);
}

} // namespace clockdeck
