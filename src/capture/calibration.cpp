#include "capture/calibration.h"

#include <cmath>

namespace calvero::capture {

namespace {

// References closer than this are one spot: a click cannot tell them apart.
constexpr double SameSpotPixels = 1.0;
// Axes within about one degree of each other cannot be told apart.
constexpr double ParallelSine = 0.0175;

double scaled(AxisScale scale, double value) { return scale == AxisScale::Logarithmic ? std::log10(value) : value; }
double unscaled(AxisScale scale, double value) { return scale == AxisScale::Logarithmic ? std::pow(10.0, value) : value; }

std::optional<std::string> axisProblem(const AxisReference& axis, const std::string& name)
{
    const std::string which = " dell'asse " + name;
    for (double v : {axis.first.x, axis.first.y, axis.second.x, axis.second.y, axis.firstValue, axis.secondValue})
        if (!std::isfinite(v)) return "riferimento non valido" + which;
    if (std::hypot(axis.second.x - axis.first.x, axis.second.y - axis.first.y) < SameSpotPixels)
        return "i due punti di riferimento" + which + " coincidono: sceglierli distanti";
    if (axis.scale == AxisScale::Logarithmic && (axis.firstValue <= 0 || axis.secondValue <= 0))
        return "asse " + name + " logaritmico: i valori di riferimento devono essere maggiori di zero";
    if (scaled(axis.scale, axis.firstValue) == scaled(axis.scale, axis.secondValue))
        return "i due valori di riferimento" + which + " sono uguali";
    return std::nullopt;
}

struct Direction {
    double x;
    double y;
};

Direction unitDirection(const AxisReference& axis)
{
    const double dx = axis.second.x - axis.first.x;
    const double dy = axis.second.y - axis.first.y;
    const double length = std::hypot(dx, dy);
    return {dx / length, dy / length};
}

// The gradient of an axis's scaled value on the picture: perpendicular to the
// other axis (moving along the other axis keeps this value), sized so the two
// references get their values.
void solveAxis(const AxisReference& axis, const AxisReference& other, double gradient[2], double& offset)
{
    const Direction along = unitDirection(other);
    const double normalX = -along.y;
    const double normalY = along.x;
    const double first = scaled(axis.scale, axis.firstValue);
    const double second = scaled(axis.scale, axis.secondValue);
    const double travel = normalX * (axis.second.x - axis.first.x) + normalY * (axis.second.y - axis.first.y);
    const double factor = (second - first) / travel;
    gradient[0] = normalX * factor;
    gradient[1] = normalY * factor;
    offset = first - gradient[0] * axis.first.x - gradient[1] * axis.first.y;
}

} // namespace

std::optional<std::string> referencesProblem(const AxesReferences& references)
{
    if (auto problem = axisProblem(references.x, "x")) return problem;
    if (auto problem = axisProblem(references.y, "y")) return problem;
    const Direction x = unitDirection(references.x);
    const Direction y = unitDirection(references.y);
    if (std::abs(x.x * y.y - x.y * y.x) < ParallelSine)
        return "gli assi x e y risultano paralleli: scegliere i punti di riferimento di ciascun asse lungo l'asse stesso";
    return std::nullopt;
}

Checked<AxisCalibration> AxisCalibration::fromReferences(const AxesReferences& references)
{
    if (auto problem = referencesProblem(references)) return failed<AxisCalibration>(*problem);
    AxisCalibration calibration;
    calibration.references_ = references;
    solveAxis(references.x, references.y, calibration.xGradient_, calibration.xOffset_);
    solveAxis(references.y, references.x, calibration.yGradient_, calibration.yOffset_);
    return succeeded(calibration);
}

double AxisCalibration::scaledX(double value) const { return scaled(references_.x.scale, value); }
double AxisCalibration::scaledY(double value) const { return scaled(references_.y.scale, value); }
double AxisCalibration::valueOfScaledX(double s) const { return unscaled(references_.x.scale, s); }
double AxisCalibration::valueOfScaledY(double s) const { return unscaled(references_.y.scale, s); }

UnitPoint AxisCalibration::toUnits(PixelPoint pixel) const
{
    const double sx = xGradient_[0] * pixel.x + xGradient_[1] * pixel.y + xOffset_;
    const double sy = yGradient_[0] * pixel.x + yGradient_[1] * pixel.y + yOffset_;
    return {valueOfScaledX(sx), valueOfScaledY(sy)};
}

PixelPoint AxisCalibration::toPixels(UnitPoint units) const
{
    // The 2x2 system of the two gradients; the references keep it regular.
    const double sx = scaledX(units.x) - xOffset_;
    const double sy = scaledY(units.y) - yOffset_;
    const double determinant = xGradient_[0] * yGradient_[1] - xGradient_[1] * yGradient_[0];
    return {(sx * yGradient_[1] - sy * xGradient_[1]) / determinant,
            (xGradient_[0] * sy - yGradient_[0] * sx) / determinant};
}

} // namespace calvero::capture
