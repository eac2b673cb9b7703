#include "capture/pointexport.h"

#include "common/numtext.h"

#include <algorithm>
#include <cmath>

namespace calvero::capture {

namespace {

constexpr int SignificantDigits = 6;
// The share of a column's range its values are written to, at least, in no more decimals than a double holds.
constexpr double SpreadResolution = 1e-5;
constexpr int MostDecimals = 15;

std::string trimZeros(std::string text)
{
    if (text.find('.') == std::string::npos) return text;
    while (text.back() == '0') text.pop_back();
    if (text.back() == '.') text.pop_back();
    return text == "-0" ? "0" : text;
}

// The lines of every curve in the format; limit 0 for none.
Checked<std::string> pointLines(const CaptureState& state, const TextFormat& format, int limit)
{
    const char separator = format.separator;
    if (!state.axes) return failed<std::string>("assi non tarati: indicare prima i punti di riferimento degli assi");
    const Checked<AxisCalibration> calibration = AxisCalibration::fromReferences(*state.axes);
    if (!calibration) return failed<std::string>(calibration.refusal);

    std::size_t total = 0;
    bool withParameters = false;
    for (const Curve& curve : state.curves) {
        total += curve.points.size();
        withParameters = withParameters || (curve.parameter && !curve.points.empty());
    }
    if (total == 0) return failed<std::string>("nessun punto da salvare");
    if (limit > 0 && total > static_cast<std::size_t>(limit))
        return failed<std::string>("troppi punti: " + std::to_string(total) + " (al massimo " + std::to_string(limit) +
                                   "); togliere dei punti o salvare le curve in file separati");

    // Each curve's values, and the range of them all that each column is written to.
    std::vector<std::vector<UnitPoint>> values;
    std::vector<UnitPoint> all;
    for (const Curve& curve : state.curves) {
        values.push_back(curveValues(curve, *calibration));
        all.insert(all.end(), values.back().begin(), values.back().end());
    }
    const UnitPoint spread = spreadOf(all);
    std::string text;
    if (format.header)
        text = withParameters ? std::string("x") + separator + "parametro" + separator + "y\n"
                              : std::string("x") + separator + "y\n";
    for (std::size_t i = 0; i < state.curves.size(); ++i) {
        const Curve& curve = state.curves[i];
        if (curve.points.empty()) continue;
        if (withParameters && !curve.parameter)
            return failed<std::string>("la curva \"" + curve.name + "\" non ha il valore del parametro");
        for (const UnitPoint& p : values[i]) {
            if (!std::isfinite(p.x) || !std::isfinite(p.y))
                return failed<std::string>("la curva \"" + curve.name + "\" ha un punto fuori dalla scala degli assi");
            text += pointValueText(p.x, spread.x, format) + separator;
            if (withParameters) text += pointValueText(*curve.parameter, 0, format) + separator;
            text += pointValueText(p.y, spread.y, format) + '\n';
        }
    }
    return succeeded(std::move(text));
}

} // namespace

std::string pointValueText(double value) { return pointValueText(value, 0); }

std::string pointValueText(double value, double spread)
{
    if (value == 0) return "0";
    const int magnitude = static_cast<int>(std::floor(std::log10(std::abs(value))));
    int decimals = std::max(0, SignificantDigits - 1 - magnitude);
    if (spread > 0 && std::isfinite(spread)) {
        const double forSpread = std::ceil(-std::log10(spread * SpreadResolution));
        decimals = std::max(decimals, static_cast<int>(std::clamp(forSpread, 0.0, double(MostDecimals))));
    }
    return trimZeros(formatReal(value, 1, decimals));
}

std::string pointValueText(double value, double spread, const TextFormat& format)
{
    std::string text = pointValueText(value, spread);
    std::replace(text.begin(), text.end(), '.', format.decimalMark);
    return text;
}

UnitPoint spreadOf(const std::vector<UnitPoint>& points)
{
    if (points.empty()) return {};
    const auto [left, right] = std::minmax_element(points.begin(), points.end(), [](const UnitPoint& a, const UnitPoint& b) { return a.x < b.x; });
    const auto [low, high] = std::minmax_element(points.begin(), points.end(), [](const UnitPoint& a, const UnitPoint& b) { return a.y < b.y; });
    return {right->x - left->x, high->y - low->y};
}

std::optional<std::string> textFormatProblem(const TextFormat& format)
{
    if (format.separator == format.decimalMark)
        return std::string("il separatore dei campi non può essere anche il segno decimale (") + format.decimalMark + ")";
    return std::nullopt;
}

std::string pointsText(const std::vector<UnitPoint>& points, const TextFormat& format)
{
    std::string text = format.header ? std::string("x") + format.separator + "y\n" : std::string();
    const UnitPoint spread = spreadOf(points);
    for (const UnitPoint& p : points)
        text += pointValueText(p.x, spread.x, format) + format.separator + pointValueText(p.y, spread.y, format) + '\n';
    return text;
}

std::vector<UnitPoint> curveValues(const Curve& curve, const AxisCalibration& calibration)
{
    std::vector<UnitPoint> values;
    for (const PixelPoint& p : curve.points) values.push_back(calibration.toUnits(p));
    std::stable_sort(values.begin(), values.end(), [](const UnitPoint& a, const UnitPoint& b) { return a.x < b.x; });
    return values;
}

Checked<std::string> pointFileText(const CaptureState& state, const TextFormat& format)
{
    if (auto problem = textFormatProblem(format)) return failed<std::string>(*problem);
    return pointLines(state, format, MaxExportedPoints);
}

Checked<std::string> clipboardText(const CaptureState& state) { return pointLines(state, {'\t', '.', false}, 0); }

} // namespace calvero::capture
