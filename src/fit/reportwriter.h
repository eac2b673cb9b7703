#pragma once
// The lines of the fitting reports, written into a report buffer: the head of
// a one-variable report (kind, equation, coefficients), its point table with
// the error statistics, and the whole surface report. Every number is checked
// to be finite as it is written (coefficients with the digits their reach
// over the points needs), so a value that is not abandons the report with an
// ArithmeticFault; a number that fills its field keeps one blank after the
// "=", ":" or field before it.
#include "fit/dataset.h"
#include "fit/fittedcurve.h"
#include "fit/report.h"
#include "fit/surface.h"

#include <functional>
#include <string>

namespace calvero {

// A curve's value at x, a surface's at (x, y), raising the engine's
// arithmetic faults where there is none.
using CurveOfX = std::function<double(double)>;
using SurfaceOfXY = std::function<double(double, double)>;

// What a one-variable report is written from: the kind and degree, the points
// 1..count, and the fitted curve (none for Scatter).
struct ReportSubject {
    FitType kind = FitType::Polynomial;
    int degree = 0;
    const PointSet& points;
    int count = 0;
    const FittedCurve* curve = nullptr;
    std::string steering; // the line of the fit's options, right after the first; empty when none is on
};

// The lines above the point table for the kind; written right after
// clearReport(). A TemperatureTime fit with M = 0 has no time constant: a
// division by zero.
void writeReportHead(ReportBuffer& report, const ReportSubject& subject);

// "numero punti:", the column header, one line per point and the three error
// lines, for at most MaxListedPoints points. With no curve (Scatter) only x
// and y are shown and there are no error lines. A point with y = 0 repeats the
// previous point's error; when no earlier point has one, its error field is
// blank and it is left out of the error lines, whose mean is taken over the
// points that have an error.
void writeOneVariableReport(ReportBuffer& report, const ReportSubject& subject);

// A typed equation's point table, as the one-variable kinds' (with its
// three error lines) or as the surface's.
void writeEquationPointTable(ReportBuffer& report, const PointSet& points, int count, const CurveOfX& curve);
void writeEquationPointTable(ReportBuffer& report, const PointSet& points, int count, const SurfaceOfXY& surface);

// The whole report of the surface Z = F(x, y) of degree g over points
// 1..count, starting with clearReport(). Each coefficient line ends with the
// term it multiplies, "(x^2)", as the statistics name it. steering, when not
// empty, is the line of the fit's options after the first.
void writeSurfaceReport(ReportBuffer& report, int g, const PointSet& points, int count, const SurfaceCoefficients& K,
                        const std::string& steering = "");

// The arithmetic of the reports without their text: raise what writing them
// would raise (the report's numbers are finite once these pass, so the text
// can be written later).
void checkOneVariableReport(const ReportSubject& subject);
void checkSurfaceReport(int g, const PointSet& points, int count, const SurfaceCoefficients& K);

} // namespace calvero
