#include "viewers/ui/statisticswindow.h"

#include "fit/shapecheck.h"
#include "fit/statistics.h"

#include <QDoubleSpinBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QResizeEvent>
#include <QScrollArea>
#include <QTableWidget>
#include <QTimer>
#include <QVBoxLayout>

namespace calvero {

namespace {

QLabel* wrappingLabel(QWidget* parent)
{
    auto* label = new QLabel(parent);
    label->setWordWrap(true);
    label->setTextInteractionFlags(Qt::TextSelectableByMouse);
    return label;
}

void fitHeight(QTableWidget* table)
{
    table->resizeRowsToContents();
    int height = table->horizontalHeader()->height() + 2 * table->frameWidth();
    for (int r = 0; r < table->rowCount(); ++r) height += table->rowHeight(r);
    table->setFixedHeight(height);
}

// A table as tall as its rows, whose wrapped texts grow taller when it
// narrows and back: the window scrolls, not the table.
class FigureTable : public QTableWidget {
public:
    FigureTable(const QStringList& headings, QWidget* parent) : QTableWidget(0, int(headings.size()), parent)
    {
        setHorizontalHeaderLabels(headings);
        verticalHeader()->setVisible(false);
        setEditTriggers(QAbstractItemView::NoEditTriggers);
        setSelectionMode(QAbstractItemView::ContiguousSelection);
        setWordWrap(true);
        setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    }

protected:
    void resizeEvent(QResizeEvent* event) override
    {
        QTableWidget::resizeEvent(event);
        // After the header has spread its stretched columns, which it does later.
        if (event->size().width() != event->oldSize().width()) QTimer::singleShot(0, this, [this] { fitHeight(this); });
    }
};

QTableWidgetItem* cell(const std::string& text, bool number)
{
    auto* item = new QTableWidgetItem(QString::fromStdString(text));
    if (number) item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
    return item;
}

} // namespace

StatisticsWindow::StatisticsWindow(Calculation calculation, QWidget* parent)
    : FiguresWindow(parent), calculation_(std::move(calculation))
{
    setObjectName(QStringLiteral("StatisticsWindow"));
    setWindowTitle(QStringLiteral("statistiche dell'adattamento"));

    auto* page = new QWidget;
    auto* column = new QVBoxLayout(page);
    heading_ = wrappingLabel(page);
    column->addWidget(heading_);
    figures_ = new FigureTable({QStringLiteral("grandezza"), QStringLiteral("valore")}, page);
    // The label takes the room left by the value, and wraps.
    figures_->horizontalHeader()->setSectionResizeMode(0, QHeaderView::Stretch);
    figures_->horizontalHeader()->setSectionResizeMode(1, QHeaderView::ResizeToContents);
    column->addWidget(figures_);
    coefficientsHeading_ = wrappingLabel(page);
    coefficientsHeading_->setTextFormat(Qt::PlainText);
    column->addWidget(coefficientsHeading_);
    coefficients_ = new FigureTable({QStringLiteral("termine"), QStringLiteral("valore"), QStringLiteral("errore standard"),
                                 QStringLiteral("intervallo al 95 %: da"), QStringLiteral("a")},
                                page);
    // Four columns of up to 23 characters: a point smaller than the text, the
    // term's number and power alone, so that they fit 800 x 600 side by side.
    QFont smaller = coefficients_->font();
    smaller.setPointSizeF(smaller.pointSizeF() - 1.0);
    coefficients_->setFont(smaller);
    coefficients_->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    coefficients_->horizontalHeader()->setSectionResizeMode(0, QHeaderView::Stretch);
    column->addWidget(coefficients_);
    remarks_ = wrappingLabel(page);
    remarks_->setTextFormat(Qt::PlainText);
    column->addWidget(remarks_);
    column->addStretch(1);

    auto* scroll = new QScrollArea(this);
    scroll->setWidgetResizable(true);
    scroll->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    scroll->setWidget(page);
    body->addWidget(scroll, 1);

    auto* band = new QHBoxLayout;
    band->addWidget(new QLabel(QStringLiteral("fascia ammessa tra due punti, in % del salto di y:"), this));
    bandPercent_ = new QDoubleSpinBox(this);
    bandPercent_->setRange(0.0, 500.0);
    bandPercent_->setDecimals(1);
    bandPercent_->setValue(ShapeOptions{}.bandShare * 100.0);
    band->addWidget(bandPercent_);
    band->addStretch(1);
    body->addLayout(band);
    connect(bandPercent_, &QDoubleSpinBox::valueChanged, this, &StatisticsWindow::refresh);
    refresh();
}

void StatisticsWindow::refresh()
{
    ShapeOptions options;
    options.bandShare = bandPercent_->value() / 100.0;
    const Statistics statistics = fitStatistics(calculation_);
    const StatisticsText text = statisticsText(statistics);
    const std::vector<std::string> shape = shapeLines(shapeChecks(calculation_, options));
    lines_ = statisticsLines(statistics);
    lines_.emplace_back();
    lines_.insert(lines_.end(), shape.begin(), shape.end());

    QStringList heading = {QStringLiteral("<b>%1</b>").arg(QString::fromStdString(text.title).toHtmlEscaped())};
    for (const std::string& note : text.notes) heading << QString::fromStdString(note).toHtmlEscaped();
    heading_->setText(heading.join(QStringLiteral("<br>")));

    figures_->setRowCount(static_cast<int>(text.figures.size()));
    for (int r = 0; r < figures_->rowCount(); ++r) {
        const StatisticsFigure& f = text.figures[static_cast<std::size_t>(r)];
        figures_->setItem(r, 0, cell(f.label, false));
        figures_->setItem(r, 1, cell(f.value, false));
    }
    figures_->setVisible(!text.figures.empty());
    fitHeight(figures_);

    coefficientsHeading_->setText(QString::fromStdString(text.coefficientsHeading));
    coefficientsHeading_->setVisible(!text.coefficientsHeading.empty());
    coefficients_->setRowCount(static_cast<int>(text.coefficients.size()));
    for (int r = 0; r < coefficients_->rowCount(); ++r) {
        const CoefficientFigures& c = text.coefficients[static_cast<std::size_t>(r)];
        std::string error = c.error.empty() ? c.remark : c.error;
        if (!c.error.empty() && !c.errorOf.empty()) error += " (di " + c.errorOf + ")";
        const bool numbered = c.name.rfind("termine ", 0) == 0; // "termine 3 (x^2)" under "termine"
        coefficients_->setItem(r, 0, cell(numbered ? c.name.substr(8) : c.name, false));
        coefficients_->setItem(r, 1, cell(c.value, true));
        coefficients_->setItem(r, 2, cell(error, !c.error.empty()));
        coefficients_->setItem(r, 3, cell(c.lower, true));
        coefficients_->setItem(r, 4, cell(c.upper, true));
    }
    coefficients_->setVisible(!text.coefficients.empty());
    fitHeight(coefficients_);

    QStringList remarks;
    for (const std::string& line : text.warnings) remarks << QString::fromStdString(line);
    if (!remarks.isEmpty()) remarks << QString();
    for (const std::string& line : shape) remarks << QString::fromStdString(line);
    remarks_->setText(remarks.join(QLatin1Char('\n')));
}

} // namespace calvero
