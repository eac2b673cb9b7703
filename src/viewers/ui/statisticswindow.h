#pragma once
// The statistics of the calculation on screen and its shape checks, with the
// share of the band the curve may leave between two points, and two
// questions to the curve: its value at an x with the 95 % intervals, and the
// x where it takes a y. The figures and
// the coefficients (value, standard error, interval) are tables that fit the
// window's width at 800 x 600 and wider; printing and copying give the same
// content as lines.
#include "fit/calculation.h"
#include "viewers/ui/figureswindow.h"

class QDoubleSpinBox;
class QKeyEvent;
class QLabel;
class QLineEdit;
class QTableWidget;

namespace calvero {

class StatisticsWindow : public FiguresWindow {
    Q_OBJECT
public:
    explicit StatisticsWindow(Calculation calculation, QWidget* parent = nullptr);
    std::vector<std::string> lines() const override;
    QLabel* heading() const { return heading_; }
    QTableWidget* figures() const { return figures_; }
    QLabel* coefficientsHeading() const { return coefficientsHeading_; }
    QTableWidget* coefficients() const { return coefficients_; }
    QLabel* remarks() const { return remarks_; } // warnings and shape checks
    QDoubleSpinBox* bandPercent() const { return bandPercent_; }
    // "valore a x =": x (x; y for the surface), and its value with the intervals.
    QLineEdit* valueAtField() const { return valueAtField_; }
    QLabel* valueAtAnswer() const { return valueAtAnswer_; }
    // "x per y =": y, and every x with its interval.
    QLineEdit* solveYField() const { return solveYField_; }
    QLabel* solveYAnswer() const { return solveYAnswer_; }

public slots:
    void refresh();
    void askValue();
    void askX();

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    QLabel* heading_ = nullptr;
    QTableWidget* figures_ = nullptr;
    QLabel* coefficientsHeading_ = nullptr;
    QTableWidget* coefficients_ = nullptr;
    QLabel* remarks_ = nullptr;
    QDoubleSpinBox* bandPercent_ = nullptr;
    QLineEdit* valueAtField_ = nullptr;
    QLabel* valueAtAnswer_ = nullptr;
    QLineEdit* solveYField_ = nullptr;
    QLabel* solveYAnswer_ = nullptr;
    Calculation calculation_;
    std::vector<std::string> answers_; // the questions' answers, after the statistics in lines()
    std::vector<std::string> lines_;
};

} // namespace calvero
