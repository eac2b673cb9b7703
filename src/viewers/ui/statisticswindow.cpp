#include "viewers/ui/statisticswindow.h"

#include "fit/shapecheck.h"
#include "fit/statistics.h"

#include <QDoubleSpinBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QTextEdit>
#include <QVBoxLayout>

namespace calvero {

StatisticsWindow::StatisticsWindow(Calculation calculation, QWidget* parent)
    : FiguresWindow(parent), calculation_(std::move(calculation))
{
    setObjectName(QStringLiteral("StatisticsWindow"));
    setWindowTitle(QStringLiteral("statistiche dell'adattamento"));
    text_ = new QTextEdit(this);
    text_->setReadOnly(true);
    text_->setLineWrapMode(QTextEdit::NoWrap);
    text_->setFont(fixedFont());
    body->addWidget(text_, 1);

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
    lines_ = statisticsLines(fitStatistics(calculation_));
    lines_.emplace_back();
    for (std::string& line : shapeLines(shapeChecks(calculation_, options))) lines_.push_back(std::move(line));
    QStringList shown;
    for (const std::string& line : lines_) shown << QString::fromStdString(line);
    text_->setPlainText(shown.join(QLatin1Char('\n')));
}

} // namespace calvero
