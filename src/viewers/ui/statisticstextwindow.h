#pragma once
// The statistics of a fit that is none of the eight kinds (a typed
// equation), as the lines the batch prints with --stats: the same figures,
// printed and copied as the statistics window's are. The kinds' own window
// (statisticswindow.h) asks its calculation questions this one leaves to
// the batch and the library.
#include "viewers/ui/figureswindow.h"

class QPlainTextEdit;

namespace calvero {

class StatisticsTextWindow : public FiguresWindow {
    Q_OBJECT
public:
    explicit StatisticsTextWindow(std::vector<std::string> lines, QWidget* parent = nullptr);
    std::vector<std::string> lines() const override { return lines_; }
    QPlainTextEdit* text() const { return text_; }

private:
    std::vector<std::string> lines_;
    QPlainTextEdit* text_ = nullptr;
};

} // namespace calvero
