#include "viewers/ui/comparisonwindow.h"

#include "fit/statistics.h"

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
    rule = new QLabel(this);
    rule->setWordWrap(true);
    body->addWidget(rule);

    auto* toleranceRow = new QHBoxLayout;
    toleranceRow->addWidget(new QLabel(QStringLiteral("tolleranza dell'errore percentuale massimo (%):"), this));
    tolerance = new QDoubleSpinBox(this);
    tolerance->setRange(0.0, 100.0);
    tolerance->setDecimals(2);
    tolerance->setSingleStep(0.5);
    tolerance->setValue(DefaultTolerancePercent);
    toleranceRow->addWidget(tolerance);
    toleranceRow->addStretch(1);
    body->addLayout(toleranceRow);

    table = new QTableWidget(this);
    table->setColumnCount(9);
    table->setHorizontalHeaderLabels({QStringLiteral("nr"), QStringLiteral("tipo"), QStringLiteral("grado"),
                                      QStringLiteral("coeff."), QStringLiteral("errore std."),
                                      QStringLiteral("R² corretto"), QStringLiteral("err.% max"), QStringLiteral("AICc"),
                                      QStringLiteral("difetti / motivo")});
    table->setSelectionBehavior(QAbstractItemView::SelectRows);
    table->setSelectionMode(QAbstractItemView::SingleSelection);
    table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table->verticalHeader()->setVisible(false);
    table->horizontalHeader()->setStretchLastSection(true);
    body->addWidget(table, 1);

    useButton = new QPushButton(QStringLiteral("usa questa equazione"), this);
    useButton->setAutoDefault(false);
    buttonRow->insertWidget(0, useButton);

    connect(tolerance, &QDoubleSpinBox::valueChanged, this, &ComparisonWindow::refresh);
    connect(useButton, &QPushButton::clicked, this, &ComparisonWindow::useSelected);
    connect(table, &QTableWidget::cellDoubleClicked, this, &ComparisonWindow::useSelected);
    refresh();
}

void ComparisonWindow::refresh()
{
    rows_ = compareEquations(input_, tolerance->value());
    rule->setText(QString::fromStdString(comparisonRule(tolerance->value())));
    table->setRowCount(static_cast<int>(rows_.size()));
    for (int r = 0; r < static_cast<int>(rows_.size()); ++r) {
        const ComparisonRow& row = rows_[static_cast<std::size_t>(r)];
        QStringList cells = {QString::number(r + 1), QString::fromStdString(comparisonKindName(row.kind)),
                             row.degree > 0 ? QString::number(row.degree) : QString()};
        if (row.fitted()) {
            const Statistics& s = *row.statistics;
            std::string flags;
            for (const std::string& flag : shapeFlags(row.shape)) flags += (flags.empty() ? "" : ", ") + flag;
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
            table->setItem(r, c, item);
        }
    }
    table->resizeColumnsToContents();
    if (!rows_.empty()) table->selectRow(0);
}

void ComparisonWindow::useSelected()
{
    const int r = table->currentRow();
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

std::vector<std::string> ComparisonWindow::lines() const { return comparisonLines(rows_, tolerance->value()); }

} // namespace calvero
