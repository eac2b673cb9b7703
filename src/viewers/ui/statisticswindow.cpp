#include "viewers/ui/statisticswindow.h"

#include "common/numtext.h"
#include "fit/curveanswers.h"
#include "fit/shapecheck.h"
#include "fit/statistics.h"

#include <QDoubleSpinBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QFormLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
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

    // Questions to the curve: each answered when its field is confirmed.
    auto* questions = new QFormLayout;
    const bool surface = calculation_.kind == FitType::SurfaceXY;
    valueAtField_ = new QLineEdit(this);
    valueAtField_->setPlaceholderText(surface ? QStringLiteral("x; y") : QStringLiteral("x"));
    valueAtAnswer_ = wrappingLabel(this);
    solveYField_ = new QLineEdit(this);
    solveYField_->setPlaceholderText(QStringLiteral("y"));
    solveYAnswer_ = wrappingLabel(this);
    // The answers take the lines their text needs; the room left goes to the figures above.
    for (QLabel* answer : {valueAtAnswer_, solveYAnswer_}) {
        answer->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Maximum);
        answer->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    }
    questions->addRow(QStringLiteral("valore a x ="), valueAtField_);
    questions->addRow(QString(), valueAtAnswer_);
    if (!surface) {
        questions->addRow(QStringLiteral("x per y ="), solveYField_);
        questions->addRow(QString(), solveYAnswer_);
    } else {
        solveYField_->hide();
        solveYAnswer_->hide();
    }
    body->addLayout(questions);
    connect(valueAtField_, &QLineEdit::returnPressed, this, &StatisticsWindow::askValue);
    connect(solveYField_, &QLineEdit::returnPressed, this, &StatisticsWindow::askX);
    refresh();
}

std::vector<std::string> StatisticsWindow::lines() const
{
    std::vector<std::string> all = lines_;
    if (!answers_.empty()) {
        all.emplace_back();
        all.insert(all.end(), answers_.begin(), answers_.end());
    }
    return all;
}

void StatisticsWindow::keyPressEvent(QKeyEvent* event)
{
    // Enter in a question's field asks the question (the field has already
    // answered): it must not also press "Uscita" and close the answer away.
    const bool enter = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
    if (enter && (focusWidget() == valueAtField_ || focusWidget() == solveYField_)) {
        event->accept();
        return;
    }
    FiguresWindow::keyPressEvent(event);
}

void StatisticsWindow::askValue()
{
    const bool surface = calculation_.kind == FitType::SurfaceXY;
    const auto numbers = parseNumberList(valueAtField_->text().toStdString(), surface ? 2 : 1, surface ? 2 : 1);
    if (!numbers) {
        valueAtAnswer_->setText(surface ? QStringLiteral("scrivere x; y (due numeri separati da ;)")
                                        : QStringLiteral("scrivere un numero"));
        return;
    }
    CurveQuestions q;
    q.values.push_back({(*numbers)[0], surface ? (*numbers)[1] : 0.0});
    const CurveAnswers a = answerQuestions(calculation_, q);
    const std::string answer = a.values.front() ? predictionLine(*a.values.front(), surface) : a.values.front().failure();
    valueAtAnswer_->setText(QString::fromStdString(answer));
    answers_.push_back(answer);
}

void StatisticsWindow::askX()
{
    const auto numbers = parseNumberList(solveYField_->text().toStdString(), 1, 1);
    if (!numbers) {
        solveYAnswer_->setText(QStringLiteral("scrivere un numero"));
        return;
    }
    CurveQuestions q;
    q.solveY.push_back((*numbers)[0]);
    const std::vector<std::string> lines = answerLines(q, answerQuestions(calculation_, q));
    // The heading "DOMANDE ALLA CURVA" aside: the lines of this one answer.
    QStringList shown;
    for (std::size_t i = 1; i < lines.size(); ++i) {
        shown << QString::fromStdString(lines[i]);
        answers_.push_back(lines[i]);
    }
    solveYAnswer_->setText(shown.join(QLatin1Char('\n')));
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
