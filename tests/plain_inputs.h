#pragma once
// The main window's inputs as plain values, with the limits its controls
// keep, for the tests and fuzz targets that run the commands without windows.
#include "app/frontend.h"

#include <string>

namespace calvero {

class InputFields : public MainWindowInputs {
public:
    int degreeValue() const override { return degree_; }
    void setDegreeValue(int value) override { degree_ = value < 1 ? 1 : (value > 9 ? 9 : value); }
    int kindItemIndex() const override { return kindIndex_; }
    void setKindItemIndex(int index) override { kindIndex_ = index < -1 ? -1 : (index > 7 ? 7 : index); }
    std::string initialTemperatureText() const override { return initial_; }
    std::string finalTemperatureText() const override { return final_; }
    void setInitialTemperatureText(const std::string& text) override { initial_ = text; }
    void setFinalTemperatureText(const std::string& text) override { final_ = text; }

private:
    int degree_ = 2;
    int kindIndex_ = 2;
    std::string initial_;
    std::string final_;
};

} // namespace calvero
