#pragma once
// The lines of the fitting reports, written into the session's report
// buffer: the head of a one-variable report (kind, equation, coefficients),
// its point table with the error statistics, and the whole surface report.
// Every number goes through formatReal/formatInteger, so a value that is not
// finite abandons the report with an ArithmeticFault.

namespace calvero {

// The lines above the point table for the current kind; written right after
// clearReport(). A TemperatureTime fit with M = 0 has no time constant: a
// division by zero.
void writeReportHead();

// "numero punti:", the column header, one line per point and the three error
// lines. Lists at most MaxListedPoints points and lowers PointSet::count to
// that number; foundCount keeps the full number. With no curve function
// (Scatter) only x and y are shown and there are no error lines. A point with
// y = 0 repeats the previous point's error; when no earlier point has one, its
// error field is blank and it is left out of the error lines, whose mean is
// taken over the points that have an error.
void writeOneVariableReport();

// The whole report of the surface Z = F(x, y) of degree FitState::degree over
// points 1..count, starting with clearReport().
void writeSurfaceReport();

} // namespace calvero
