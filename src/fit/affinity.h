#pragma once
// The affinity laws of fans and pumps: a curve measured at speed n1 (or with
// impeller diameter D1) read at n2 (D2), r = n2/n1. The flow scales by r, the
// head or pressure by r², the power by r³, and the efficiency is unchanged
// along the scaled flow: y2(Q) = r^e · y1(Q / r). For an impeller trim the
// same exponents are an approximation (geometric similarity is lost, more so
// beyond a 10-20 % trim). The polynomial, the rational polynomial, the power
// and the exponential kinds stay in their kind with new coefficients, exactly;
// the others are refused.
#include "common/checked.h"
#include "fit/calculation.h"

#include <vector>

namespace calvero {

enum class AffinityQuantity { Head, Power, Efficiency };

// The exponent e of r: 2, 3 or 0.
int affinityExponent(AffinityQuantity quantity);

// y2(Q) = r^e · y1(Q / r) as a curve of the same kind; refused for a ratio
// that is not a positive number and a kind the laws do not keep.
Checked<FittedCurve> scaledCurve(const FittedCurve& curve, double ratio, AffinityQuantity quantity);

// The calculation of the scaled curve: its points (x·r, y·r^e), its curve, no
// options; its report is written when first asked for (reportOf), and its
// data set keeps its coefficients.
Checked<Calculation> scaledCalculation(const Calculation& calculation, double ratio, AffinityQuantity quantity);

// The ratios from 0.3 to 1.5 whose scaled curve passes through the duty
// point (q, h), each with its curve; extrapolated where q / r lies beyond the
// points' range of x. Refused when none does.
struct DutyRatio {
    double ratio = 1.0;
    bool extrapolated = false;
    FittedCurve curve;
};
Checked<std::vector<DutyRatio>> dutyRatios(const Calculation& calculation, double q, double h, AffinityQuantity quantity);

constexpr double LowestDutyRatio = 0.3;
constexpr double HighestDutyRatio = 1.5;

} // namespace calvero
