#pragma once
// "equazione libera…" on a document: the typed equation fitted to the grid's
// points, counted as "&Calcola" counts them for the eight kinds, with what
// the user wrote beside each parameter (a start value, a fixed value, its
// bounds) read into numbers here, once. A refusal changes nothing; a fit is
// kept as the document's last equation, for the data set file to save.
#include "common/checked.h"
#include "fit/equationfit.h"

#include <string>
#include <vector>

namespace calvero {

struct Document;

// What the window's table holds for one parameter, as typed; an empty cell
// says nothing.
struct ParameterCells {
    std::string name;
    std::string start, fixed, lower, upper;
};

// The row written beside the parameter of this name; none when the table has no such row.
const ParameterCells* cellsNamed(const std::vector<ParameterCells>& cells, const std::string& name);

// The settings the cells give, in the equation's order of parameters (cells
// of names the equation no longer has are ignored); the refusal names the
// parameter and the cell that is not a number.
Checked<ParameterSettings> readParameterCells(const std::vector<ParameterCells>& cells,
                                              const std::vector<std::string>& names);

// The equation read, the grid's points (x, y; and z for an equation of x
// and y) and the cells, fitted; relative weights when the data set's fit
// options ask for them. On success the fit becomes the document's last
// equation.
Checked<EquationFit> fitDocumentEquation(Document& document, const std::string& equationText,
                                         const std::vector<ParameterCells>& cells);

} // namespace calvero
