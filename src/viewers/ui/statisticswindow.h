#pragma once
// The statistics of the calculation on screen and its shape checks, with the
// share of the band the curve may leave between two points.
#include "fit/calculation.h"
#include "viewers/ui/figureswindow.h"

class QDoubleSpinBox;
class QTextEdit;

namespace calvero {

class StatisticsWindow : public FiguresWindow {
    Q_OBJECT
public:
    explicit StatisticsWindow(Calculation calculation, QWidget* parent = nullptr);
    std::vector<std::string> lines() const override { return lines_; }

    QTextEdit* text = nullptr;
    QDoubleSpinBox* bandPercent = nullptr;

public slots:
    void refresh();

private:
    Calculation calculation_;
    std::vector<std::string> lines_;
};

} // namespace calvero
