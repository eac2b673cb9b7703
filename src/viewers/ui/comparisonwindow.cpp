#include "viewers/ui/comparisonwindow.h"

#include "fit/statistics.h"

#include <QCheckBox>
#include <QDoubleSpinBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

namespace calvero {

namespace {

QString figure(const std::optional<double>& value, int digits)
{
    return value ? QString::fromStdString(significant(*value, digits)) : QStringLiteral("-");
}

} // namespace

ComparisonWindow::ComparisonWindow(CalculationInput input, QWidget* parent)
    : FiguresWindow(parent), input_(std::move(input))
{
    setObjectName(QStringLiteral("ComparisonWindow"));
    setWindowTitle(QStringLiteral("confronto delle equazioni"));
    rule_ = new QLabel(this);
    rule_->setWordWrap(true);
    body->addWidget(rule_);

    auto* toleranceRow = new QHBoxLayout;
    toleranceRow->addWidget(new QLabel(QStringLiteral("tolleranza dell'errore percentuale massimo (%):"), this));
    tolerance_ = new QDoubleSpinBox(this);
    tolerance_->setRange(0.0, 100.0);
    tolerance_->setDecimals(2);
    tolerance_->setSingleStep(0.5);
    tolerance_->setValue(DefaultTolerancePercent);
    toleranceRow->addWidget(tolerance_);
    toleranceRow->addStretch(1);
    body->addLayout(toleranceRow);
    withOptions_ = new QCheckBox(QString::fromStdString("con gli stessi vincoli (" + optionsLine(input_.options, input_.kind) + ")"), this);
    withOptions_->setVisible(input_.options.any());
    body->addWidget(withOptions_);

    table_ = new QTableWidget(this);
    table_->setColumnCount(9);
    table_->setHorizontalHeaderLabels({QStringLiteral("nr"), QStringLiteral("tipo"), QStringLiteral("grado"),
                                      QStringLiteral("coeff."), QStringLiteral("errore std."),
                                      QStringLiteral("R² corretto"), QStringLiteral("err.% max"), QStringLiteral("AICc"),
                                      QStringLiteral("difetti / motivo")});
    table_->setSelectionBehavior(QAbstractItemView::SelectRows);
    table_->setSelectionMode(QAbstractItemView::SingleSelection);
    table_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table_->verticalHeader()->setVisible(false);
    table_->horizontalHeader()->setStretchLastSection(true);
    body->addWidget(table_, 1);

    useButton_ = new QPushButton(QStringLiteral("usa questa equazione"), this);
    useButton_->setAutoDefault(false);
    buttonRow->insertWidget(0, useButton_);

    connect(tolerance_, &QDoubleSpinBox::valueChanged, this, &ComparisonWindow::refresh);
    connect(withOptions_, &QCheckBox::toggled, this, &ComparisonWindow::refresh);
    connect(useButton_, &QPushButton::clicked, this, &ComparisonWindow::useSelected);
    connect(table_, &QTableWidget::cellDoubleClicked, this, &ComparisonWindow::useSelected);
    refresh();
}

void ComparisonWindow::refresh()
{
    rows_ = compareEquations(input_, tolerance_->value(), {}, withOptions_->isChecked());
    rule_->setText(QString::fromStdString(comparisonRule(tolerance_->value())));
    table_->setRowCount(static_cast<int>(rows_.size()));
    for (int r = 0; r < static_cast<int>(rows_.size()); ++r) {
        const ComparisonRow& row = rows_[static_cast<std::size_t>(r)];
        QStringList cells = {QString::number(r + 1), QString::fromStdString(kindLabel(row.kind)),
                             row.degree > 0 ? QString::number(row.degree) : QString()};
        if (row.fitted()) {
            const Statistics& s = *row.statistics;
            std::string flags;
            for (const std::string& flag : rowFlags(row)) flags += (flags.empty() ? "" : ", ") + flag;
            if (s.dof == 0) flags = "n = p: nessun errore stimabile" + (flags.empty() ? "" : "; " + flags);
            if (row.recommended) flags = "CONSIGLIATA" + (flags.empty() ? "" : "; " + flags);
            cells << QString::number(row.coefficientCount) << figure(s.standardError, 6)
                  << figure(s.adjustedRSquared, 8) << figure(s.largestPercentError, 4) << figure(s.aicc, 7)
                  << QString::fromStdString(flags.empty() ? "nessuno" : flags);
        } else {
            cells << QString() << QString() << QString() << QString() << QString()
                  << QString::fromStdString(row.refusal);
        }
        for (int c = 0; c < cells.size(); ++c) {
            auto* item = new QTableWidgetItem(cells[c]);
            if (c == 8) item->setToolTip(cells[c]); // a long reason may be cut in the cell
            if (c != 1 && c != 8) item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
            if (row.recommended) {
                QFont bold = item->font();
                bold.setBold(true);
                item->setFont(bold);
            }
            table_->setItem(r, c, item);
        }
    }
    table_->resizeColumnsToContents();
    if (!rows_.empty()) table_->selectRow(0);
}

void ComparisonWindow::useSelected()
{
    const int r = table_->currentRow();
    if (r < 0 || r >= static_cast<int>(rows_.size())) {
        showMessage(QStringLiteral("scegliere una riga della tabella"));
        return;
    }
    const ComparisonRow& row = rows_[static_cast<std::size_t>(r)];
    if (!row.fitted()) {
        showMessage(QStringLiteral("questa equazione non si può usare: ") + QString::fromStdString(row.refusal));
        return;
    }
    emit equationChosen(kindNumber(row.kind), row.degree > 0 ? row.degree : input_.degree);
    accept();
}

std::vector<std::string> ComparisonWindow::lines() const { return comparisonLines(rows_, tolerance_->value()); }

} // namespace calvero
