#pragma once
// The point grid and the main window's fields read into numbers: the one
// place where what the user typed becomes a calculation's input, with the
// refusals of a cell or a temperature that is not a number.
#include "common/checked.h"
#include "entry/pointgrid.h"
#include "fit/calculation.h"

#include <optional>
#include <string>
#include <string_view>

namespace calvero {

// A grid cell whose text is not a number.
struct InvalidCell {
    int row = 0;
    int column = 0; // 1 = X, 2 = Y, 3 = Z
    std::string text;
    bool operator==(const InvalidCell&) const = default;
};

struct PointCount {
    int points = 0;
    std::optional<InvalidCell> invalidCell; // the first cell that is not a number
};

// Reads the point grid into x, y, z row by row and counts the points up to
// the first row whose x and y are both 0 (at most 200). A comma in a cell is
// a decimal comma; an empty or blank cell reads as 0; a cell is read from its
// first 130 characters unless it is a number as a whole; a cell that is not a
// number reads as 0 and the first such cell is returned (a z only for the
// surface kind, and not on the row that ends the data). Rows after that one
// keep their values. Sets count and foundCount.
PointCount countPoints(const PointGrid& grid, PointSet& points, FitType kind);

// "valore non numerico alla riga R, colonna C: TEXT".
std::string invalidCellMessage(const InvalidCell& cell);

// The value of a temperature field as the calculation and the save read it:
// a decimal comma reads as a point and blanks around the number are ignored;
// an empty or blank field is 0. Nothing for any other text.
std::optional<double> temperatureValue(std::string_view text);

// What the main window's controls hold: the kind, the degree field and the
// two temperature fields as typed.
struct TypedChoices {
    FitType kind = FitType::Polynomial;
    int degree = 2;
    std::string initialTemperature;
    std::string finalTemperature;
};

// The temperature fields into the input: an empty field gives no
// temperature. A field that is not a number refuses the temperature-time
// kind, once the calculation's own refusals (too few points, a first point at
// 0) have had their say, as they always came first; the other kinds ignore it.
Checked<CalculationInput> withTypedTemperatures(CalculationInput input, const std::string& initialTemperature,
                                                const std::string& finalTemperature);

// What "&Calcola" calculates: the grid counted into points (as countPoints,
// which loads them) and the choices. A cell that is not a number refuses the
// calculation with invalidCellMessage; so does a temperature, as above.
Checked<CalculationInput> readCalculationInput(const PointGrid& grid, PointSet& points, const TypedChoices& choices);

} // namespace calvero
