#pragma once
// The statistics of the calculation on screen and its shape checks, with the
// share of the band the curve may leave between two points. The figures and
// the coefficients (value, standard error, interval) are tables that fit the
// window's width at 800 x 600 and wider; printing and copying give the same
// content as lines.
#include "fit/calculation.h"
#include "viewers/ui/figureswindow.h"

class QDoubleSpinBox;
class QLabel;
class QTableWidget;

namespace calvero {

class StatisticsWindow : public FiguresWindow {
    Q_OBJECT
public:
    explicit StatisticsWindow(Calculation calculation, QWidget* parent = nullptr);
    std::vector<std::string> lines() const override { return lines_; }
    QLabel* heading() const { return heading_; }
    QTableWidget* figures() const { return figures_; }
    QLabel* coefficientsHeading() const { return coefficientsHeading_; }
    QTableWidget* coefficients() const { return coefficients_; }
    QLabel* remarks() const { return remarks_; } // warnings and shape checks
    QDoubleSpinBox* bandPercent() const { return bandPercent_; }

public slots:
    void refresh();

private:
    QLabel* heading_ = nullptr;
    QTableWidget* figures_ = nullptr;
    QLabel* coefficientsHeading_ = nullptr;
    QTableWidget* coefficients_ = nullptr;
    QLabel* remarks_ = nullptr;
    QDoubleSpinBox* bandPercent_ = nullptr;
    Calculation calculation_;
    std::vector<std::string> lines_;
};

} // namespace calvero
