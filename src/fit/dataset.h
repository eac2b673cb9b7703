#pragma once
// The working data set and the kinds of equation.
#include "fit/onebased.h"

#include <cstdint>
#include <string>

namespace calvero {

constexpr int MaxListedPoints = 180;

struct PointSet {
    PointArray x{};
    PointArray y{};
    PointArray z{};
    int count = 0;      // points the current operation works on
    int foundCount = 0; // points found by the last count
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
// The caption without its trailing blanks: the kind's name in tables and summaries.
std::string kindLabel(FitType kind);
// The kinds whose equation has a degree: the polynomials.
constexpr bool takesDegree(FitType kind)
{
    return kind == FitType::Polynomial || kind == FitType::RationalPolynomial || kind == FitType::SurfaceXY;
}

} // namespace calvero
