#include "entry/equationinput.h"

#include "common/numtext.h"
#include "entry/gridinput.h"

namespace calvero {

namespace {

// The remainder of a cell's text beyond the value read from it.
double remainderOf(const PointGrid& grid, int row, int column, double value)
{
    const std::string& raw = grid.cell(row, column);
    const double whole = decimalRemainder(commaToPoint(raw), value);
    if (whole != 0.0 || raw.size() <= 130) return whole;
    return decimalRemainder(commaToPoint(std::string_view(raw).substr(0, 130)), value);
}

} // namespace

Checked<EquationGridPoints> readEquationPoints(const PointGrid& grid, bool twoVariables, bool columnWeights)
{
    PointSet read;
    const PointCount counted = countPoints(grid, read, twoVariables || columnWeights ? FitType::SurfaceXY : FitType::Scatter);
    if (counted.invalidCell) return failed<EquationGridPoints>(invalidCellMessage(*counted.invalidCell));
    EquationGridPoints result;
    EquationPoints& p = result.points;
    const int valueColumn = twoVariables ? 3 : 2;
    for (int i = 1; i <= counted.points; ++i) {
        const double x = read.x[i], y = read.y[i], z = read.z[i];
        const double value = twoVariables ? z : y;
        p.x.push_back(x);
        p.xLow.push_back(remainderOf(grid, i, 1, x));
        if (twoVariables) {
            p.y.push_back(y);
            p.yLow.push_back(remainderOf(grid, i, 2, y));
        }
        p.value.push_back(value);
        p.valueLow.push_back(remainderOf(grid, i, valueColumn, value));
        result.thirdColumn.push_back(z);
    }
    return succeeded(std::move(result));
}

} // namespace calvero
