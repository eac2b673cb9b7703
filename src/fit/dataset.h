#pragma once
// The working data set, the user's choice of fit and the result of the last fit.
#include "fit/onebased.h"

#include <cstdint>
#include <string>

namespace calvero {

constexpr int MaxListedPoints = 180;

struct PointSet {
    PointArray x{};
    PointArray y{};
    PointArray z{};
    std::uint16_t count = 0;     // points the current operation works on
    std::uint8_t foundCount = 0; // points found by the last count
};

// The interpolation kind: the radio-group item index plus 1.
enum class FitType : std::uint8_t {
    Scatter = 1,
    Power = 2,
    Polynomial = 3,
    Exponential = 4,
    RationalPolynomial = 5,
    TemperatureTime = 6,
    SurfaceXY = 7,
    Saturation = 8,
};

constexpr int kindNumber(FitType kind) { return static_cast<int>(kind); }
// The kind's name in the report, with its trailing blanks; empty for a value outside 1 to 8.
std::string kindName(FitType kind);
// The radio-group caption of the kind, with its trailing blanks.
std::string kindCaption(FitType kind);

struct FitState {
    FitType kind = FitType::Polynomial;
    std::uint16_t degree = 2;
    std::uint8_t curveDegree = 2;
};

using CurveFunction = double (*)(double);

struct FitResult {
    OneBasedArray<double, 15> coefficients{};
    double curve[9] = {};
    double paramA = 0.0;
    double paramB = 0.0;
    double decayM = 0.0;
    double tInitial = 0.0;
    double tFinal = 0.0;
    CurveFunction curveFunction = nullptr;
};

} // namespace calvero
