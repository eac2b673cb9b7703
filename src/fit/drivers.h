#pragma once
// The calculation drivers: read the degree (and the temperatures) from the
// main window's inputs, validate, fit the selected kind, write the report and
// show the report viewer and, for the one-variable kinds, the graph window.
// Everything is shown through presenter(); with none set the calculation still
// runs and nothing is shown. A refusal shows its message and changes neither
// FitResult (tInitial and tFinal aside) nor the report. An arithmetic fault
// shows its text and abandons the calculation where it happened.

#include "fit/workingset.h"

#include <optional>
#include <string_view>

namespace calvero {

// The value of a temperature field (Edit1, Edit2) as the calculation and the
// save read it: a decimal comma reads as a point and blanks around the number
// are ignored; an empty or blank field is 0. Nothing for any other text.
std::optional<double> temperatureValue(std::string_view text);

// "&Calcola": the driver of the selected kind. SurfaceXY counts the grid and
// goes to calculateSurface(), every other kind to calculateOneVariable(), so
// a kind outside 1 to 8 is reported there instead of doing nothing.
void calculate();

// The kinds with a curve y = f(x), and Scatter: counts the grid again, fits,
// writes the head and the point table, shows the report, then the graph.
void calculateOneVariable();

// Z = F(x, y): sorts points 1..count (as counted before the call) by x into
// the grid, counts again, fits the surface and shows its report. No graph.
// invalidCell, the first cell that was not a number in that count, refuses
// the calculation before anything changes.
void calculateSurface(const std::optional<InvalidCell>& invalidCell = std::nullopt);

// The graph window of the last one-variable calculation, captioned "file:"
// and the data set's name; nothing when the last count found no point. The
// graph side installs its own drawing procedure when it shows the window.
void showFitGraph();

} // namespace calvero
