#pragma once
// "&Calcola" on a document: counts the point grid, takes the main window's
// choices, runs the calculation and shows its outcome through the presenter.
// A refusal or an arithmetic fault is returned, for the window to tell, and
// changes nothing but, for the surface, the order of the points. A success
// becomes the document's last calculation (and the typed equation fitted
// before is no longer the data set's), then the report viewer and, for the
// one-variable kinds, the graph window are shown.
#include "app/frontend.h"
#include "common/checked.h"
#include "fit/calculation.h"

namespace calvero {

Failure calculate(const Workspace& work);

// The same without showing anything: the outcome, which on success is
// already the document's last calculation; the typed equation stays (the
// save recalculates the kind this way, to keep its coefficients).
Outcome calculateDocument(const Workspace& work);

// What "&Calcola" would calculate now: the grid counted and the main window's
// choices, or why the grid or a field cannot be read. The document does not
// change.
Checked<CalculationInput> currentCalculationInput(const Workspace& work);

// The graph window of the last one-variable calculation, captioned "file:"
// and the data set's name (pointsCaption).
void showFitGraph(const Workspace& work);

} // namespace calvero
