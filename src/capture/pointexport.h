#pragma once
// The captured points as text: the point file CALVERO1 imports and the
// clipboard text for its point grid or a spreadsheet.
#include "capture/calibration.h"
#include "capture/capturedocument.h"
#include "common/checked.h"

#include <optional>
#include <string>
#include <vector>

namespace calvero::capture {

// The most points the point file may hold: CALVERO1's data set has 200 places.
constexpr int MaxExportedPoints = 200;

// A value as the point texts write it: full stop decimals, never an exponent,
// six significant digits (a capture is never more precise), no trailing zeros.
std::string pointValueText(double value);
// The same, to a hundred-thousandth of `spread` (the range of the column the
// value is written in) where six digits say less: a curve between 100000
// and 100020 on an axis offset by 1e5 keeps its tenths.
std::string pointValueText(double value, double spread);

// The range of the points' x, and of their y.
UnitPoint spreadOf(const std::vector<UnitPoint>& points);

// How point lines are written: the separator between fields, the decimal mark
// (a comma for an Italian spreadsheet, with a semicolon or tab between
// fields), and whether a first line names the columns.
struct TextFormat {
    char separator = ';';
    char decimalMark = '.';
    bool header = false;
};

// A value as pointValueText(value, spread) writes it, with the format's decimal mark.
std::string pointValueText(double value, double spread, const TextFormat& format);

// Why the format cannot be read back (the separator is the decimal mark), or nothing.
std::optional<std::string> textFormatProblem(const TextFormat& format);

// Points as lines "x;y" in the format, with the header "x;y" when asked.
std::string pointsText(const std::vector<UnitPoint>& points, const TextFormat& format);

// The point file: every curve's points in ascending x, one "x;y" line each;
// when the curves have parameter values, "x;parameter;y" lines (every curve
// must then have one). Refused with a message when there are more than 200
// points, none, or the axes are not calibrated. CALVERO1 reads the default
// format; a spreadsheet in Italian wants the decimal comma, and a header
// line ("x;y", "x;parametro;y") names the columns.
Checked<std::string> pointFileText(const CaptureState& state, const TextFormat& format = {});

// The same lines separated by tabs with the decimal point, as the point
// grid's paste reads them, for the clipboard; no limit on the points.
Checked<std::string> clipboardText(const CaptureState& state);

// The values of one curve's points in ascending x.
std::vector<UnitPoint> curveValues(const Curve& curve, const AxisCalibration& calibration);

} // namespace calvero::capture
