#pragma once
// The fitted equation as a spreadsheet formula for LibreOffice and Excel,
// with the cell of x (and of y for the surface) as its parameters, in the
// English form and in the Italian one (decimal comma, semicolon between a
// function's arguments). The formula does not test the envelope: the cell
// comment it comes with names it.
#include "common/checked.h"
#include "fit/calculation.h"

#include <string>
#include <string_view>

namespace calvero {

struct FormulaCells {
    std::string x = "A2";
    std::string y = "B2";
};

// A cell reference such as A2, $B$7 or xfd1048576, as the formula can take it
// (written in capitals); nothing for any other text.
std::optional<std::string> cellReference(std::string_view text);

// "=..." in the English or the Italian form.
Checked<std::string> spreadsheetFormula(const Calculation& calculation, const FormulaCells& cells, bool italian);

// Both forms and the cell comment of one curve, with comment lines naming it.
Checked<std::string> spreadsheetFormulas(const Calculation& calculation, const std::string& name,
                                         const FormulaCells& cells);

std::string formulaHead();

} // namespace calvero
