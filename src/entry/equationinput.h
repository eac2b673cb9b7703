#pragma once
// The point grid read for a typed equation: x and y (and z for an equation
// of x and y), each value with what its text holds beyond its double, so the
// fit's residuals are those of the data as written; the weights, when they
// come from a column, are the column after the values (z for one variable,
// a text file's fourth field for two).
#include "common/checked.h"
#include "entry/pointgrid.h"
#include "fit/equationfit.h"

namespace calvero {

// The points up to the first row whose x and y are both 0, as the other
// kinds count them; the refusal of a cell that is not a number. With
// columnWeights, z is read for one variable too and becomes the weights.
struct EquationGridPoints {
    EquationPoints points;
    std::vector<double> thirdColumn; // z of each point, for one variable's column weights
};
Checked<EquationGridPoints> readEquationPoints(const PointGrid& grid, bool twoVariables, bool columnWeights);

} // namespace calvero
