#pragma once
// "&Calcola" over the session: counts the point grid, takes the main window's
// choices, runs the calculation and shows its outcome through presenter()
// (with none set nothing is shown). A refusal or an arithmetic fault shows its
// text and changes nothing but, for the surface, the order of the points.
// A success becomes the session's result and report, then the report viewer
// and, for the one-variable kinds, the graph window are shown.
#include "fit/calculation.h"

namespace calvero {

void calculate();

// The same without showing anything: the outcome, which on success has
// already become the session's result.
Outcome calculateSession();

// What "&Calcola" would calculate now: the grid counted and the main window's
// choices. Nothing is shown and no result is stored.
CalculationInput currentCalculationInput();

// The session's result of a calculation, as the graph, the workbook and the
// data set file read it.
void applyCalculation(const Calculation& done);

// The graph window of the last one-variable calculation, captioned "file:"
// and the data set's name; nothing when the last count found no point.
void showFitGraph();

} // namespace calvero
