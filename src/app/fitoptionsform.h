#pragma once
// The "vincoli" window's fields as text and the fit options they stand for:
// read once, at the edge, into numbers, with the Italian message naming the
// first field that is not what it should be. The window holds no other logic.
#include "common/checked.h"
#include "fit/fitoptions.h"

#include <array>
#include <string>
#include <vector>

namespace calvero {

// The rows of the two tables as typed; empty rows are ignored.
struct FitOptionsForm {
    std::vector<std::array<std::string, 3>> throughRows; // x, y, z (z for the surface only)
    std::vector<std::array<std::string, 2>> fixedRows;   // term number, value
    Weighting weighting = Weighting::None;
    bool minimax = false;
    Monotone monotone = Monotone::None;
    Curvature curvature = Curvature::None;
    bool leastSquaresInY = false;
};

// The rows each table of the window offers.
constexpr int FormRows = 6;

// The options as the window shows them: numbers in full, a row each.
FitOptionsForm formOf(const FitOptions& options);

// The options the fields hold (a decimal comma reads as a point), or the
// message for the first field that is not a number or a row half filled.
Checked<FitOptions> optionsOf(const FitOptionsForm& form, bool surface);

} // namespace calvero
