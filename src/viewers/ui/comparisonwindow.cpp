#include "viewers/ui/comparisonwindow.h"

#include <QCheckBox>
#include <QDoubleSpinBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

namespace calvero {

ComparisonWindow::ComparisonWindow(CalculationInput input, QWidget* parent)
    : FiguresWindow(parent), input_(std::move(input))
{
    setObjectName(QStringLiteral("ComparisonWindow"));
    setWindowTitle(QStringLiteral("confronto delle equazioni"));
    rule_ = new QLabel(this);
    rule_->setWordWrap(true);
    body->addWidget(rule_);
    notes_ = new QLabel(this);
    notes_->setWordWrap(true);
    notes_->setObjectName(QStringLiteral("comparisonNotes"));
    body->addWidget(notes_);

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
    // The remarks take the width the figures leave, never more: a long reason
    // is cut in its cell (its tooltip holds it whole) and the figures stay in view.
    table_->horizontalHeader()->setSectionResizeMode(8, QHeaderView::Stretch);
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
    QStringList notes;
    for (const std::string& note : comparisonNotes(rows_)) notes << QString::fromStdString(note);
    notes_->setText(notes.join(QLatin1Char('\n')));
    notes_->setVisible(!notes.isEmpty());
    table_->setRowCount(static_cast<int>(rows_.size()));
    for (int r = 0; r < static_cast<int>(rows_.size()); ++r) {
        const ComparisonRow& row = rows_[static_cast<std::size_t>(r)];
        const ComparisonCells c = comparisonCells(row);
        // The mark leads the remarks: the recommended row, or the best by AICc when none is.
        const std::string mark = rowMark(rows_, static_cast<std::size_t>(r));
        QString remarks = QString::fromStdString(c.remarks);
        if (!mark.empty())
            remarks = (row.recommended ? QStringLiteral("CONSIGLIATA") : QString::fromStdString(mark)) +
                      QStringLiteral("; ") + remarks;
        const QStringList cells = {QString::number(r + 1),
                                   QString::fromStdString(c.kind),
                                   QString::fromStdString(c.degree),
                                   QString::fromStdString(c.coefficients),
                                   QString::fromStdString(c.standardError),
                                   QString::fromStdString(c.adjustedRSquared),
                                   QString::fromStdString(c.largestPercentError),
                                   QString::fromStdString(c.aicc),
                                   remarks};
        for (int k = 0; k < cells.size(); ++k) {
            auto* item = new QTableWidgetItem(cells[k]);
            if (k == 8) item->setToolTip(cells[k]); // a long reason may be cut in the cell
            if (k != 1 && k != 8) item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
            if (!mark.empty()) {
                QFont font = item->font();
                font.setBold(row.recommended);
                font.setItalic(!row.recommended);
                item->setFont(font);
            }
            table_->setItem(r, k, item);
        }
    }
    for (int k = 0; k < 8; ++k) table_->resizeColumnToContents(k); // not the remarks, which stretch
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
