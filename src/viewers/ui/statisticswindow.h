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
    QTextEdit* text() const { return text_; }
    QDoubleSpinBox* bandPercent() const { return bandPercent_; }


public slots:
    void refresh();

private:
    QTextEdit* text_ = nullptr;
    QDoubleSpinBox* bandPercent_ = nullptr;
    Calculation calculation_;
    std::vector<std::string> lines_;
};

} // namespace calvero
