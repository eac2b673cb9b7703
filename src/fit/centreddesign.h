#pragma once
// The engine's working basis for linear fits, shared by the plain least
// squares and the steered fits: the terms of the fitted polynomial in x (and
// y) centred and scaled to [-1, 1], each column of the design scaled to unit
// length, and the change of variables that takes coefficients in that basis
// back to the powers of x as the user gives them. Everything here is long
// double (Eigen); the residuals of the powers of x are summed in quad
// precision, whose 113 bits keep what long double's 64 would lose.
//
// Internal to the fit layer: callers outside it use leastsquares.h and
// steeredfit.h.
#include "fit/leastsquares.h"
#include "fit/fault.h"
#include "fit/quad.h"

#include <Eigen/Dense>

#include <array>
#include <span>
#include <vector>

namespace calvero {

using Real = long double;
using RealMatrix = Eigen::Matrix<Real, Eigen::Dynamic, Eigen::Dynamic>;
using RealVector = Eigen::Matrix<Real, Eigen::Dynamic, 1>;

// A variable and the one centred and scaled from it: t = (v - centre) / halfWidth.
struct Axis {
    Real centre = 0;
    Real halfWidth = 1;
};

// The axis of values spread over [-1, 1]; all values equal give a half width of 1.
Axis axisOf(std::span<const double> values);

// Whether the list holds every lower power of each of its terms. Only then
// does a shift of x or y keep the polynomial within the list's terms; a list
// without them (the fan's pressure rise: Q², Q, Q·√P, P) is only scaled.
bool holdsLowerPowers(std::span<const Monomial> terms);

// The axis unshifted when the terms do not hold their lower powers: scaled by
// the largest magnitude instead, so the values still lie in [-1, 1].
Axis keptInTerms(Axis axis, std::span<const Monomial> terms);

// The matrix that takes the coefficients of the terms in (u, v) to those of
// the same terms in (w, z), where u = sx·w + ox and v = sy·z + oy. With an
// offset the list must hold every lower power of each of its terms
// (holdsLowerPowers), so the expansion never leaves it.
RealMatrix changeOfVariables(std::span<const Monomial> terms, Real sx, Real ox, Real sy, Real oy);

// The terms 1, x, ..., x^(p-1) in that order, as every curve's fit has them.
bool isPowersOfX(std::span<const Monomial> terms);

// The powers of one point's x and y, up to the highest the terms use (at
// most MaxPower), kept in place: the statistics take them at every point.
constexpr int MaxPower = 15;

// The highest power of x and of y among the terms.
struct HighestPowers {
    int x = 0, y = 0;
};
HighestPowers highestPowers(std::span<const Monomial> terms);

template <typename Number>
struct PointPowers {
    std::array<Number, MaxPower + 1> ofX, ofY;
    int highestX, highestY;

    PointPowers(int highestX, int highestY) : highestX(highestX), highestY(highestY)
    {
        if (highestX > MaxPower || highestY > MaxPower) raiseFault(FaultKind::Overflow);
    }
    void at(Number x, Number y)
    {
        ofX[0] = ofY[0] = static_cast<Number>(1.0);
        ofX[1] = x; // 1 · x, exactly
        ofY[1] = y;
        for (int e = 2; e <= highestX; ++e) ofX[static_cast<std::size_t>(e)] = ofX[static_cast<std::size_t>(e - 1)] * x;
        for (int e = 2; e <= highestY; ++e) ofY[static_cast<std::size_t>(e)] = ofY[static_cast<std::size_t>(e - 1)] * y;
    }
    Number term(const Monomial& m) const
    {
        return highestY == 0 ? ofX[static_cast<std::size_t>(m.xPower)]
                             : ofX[static_cast<std::size_t>(m.xPower)] * ofY[static_cast<std::size_t>(m.yPower)];
    }
    // d/dx of the term: xPower · x^(xPower - 1) y^yPower.
    Number slope(const Monomial& m) const
    {
        if (m.xPower == 0) return static_cast<Number>(0.0);
        const Number ofx =
            static_cast<Number>(static_cast<double>(m.xPower)) * ofX[static_cast<std::size_t>(m.xPower - 1)];
        return highestY == 0 ? ofx : ofx * ofY[static_cast<std::size_t>(m.yPower)];
    }
    // d/dy of the term: yPower · x^xPower y^(yPower - 1).
    Number slopeY(const Monomial& m) const
    {
        if (m.yPower == 0) return static_cast<Number>(0.0);
        return static_cast<Number>(static_cast<double>(m.yPower)) * ofY[static_cast<std::size_t>(m.yPower - 1)] *
               ofX[static_cast<std::size_t>(m.xPower)];
    }
    // d²/dx² of the term: xPower (xPower - 1) x^(xPower - 2) y^yPower.
    Number curvature(const Monomial& m) const
    {
        if (m.xPower < 2) return static_cast<Number>(0.0);
        const Number ofx = static_cast<Number>(static_cast<double>(m.xPower * (m.xPower - 1))) *
                           ofX[static_cast<std::size_t>(m.xPower - 2)];
        return highestY == 0 ? ofx : ofx * ofY[static_cast<std::size_t>(m.yPower)];
    }
};

// The design of the terms at the points in the centred basis, with unit
// columns. Raises an invalid operation when a column is all zero or there are
// fewer points than terms, an overflow when a power of the data as given
// overflows a double.
struct CentredTerms {
    std::span<const Monomial> terms;
    Axis ax, ay;
    Eigen::Index n = 0, p = 0;
    int highestX = 0, highestY = 0;
    RealMatrix unit;
    RealVector lengths;      // of the columns before they were scaled
    RealVector givenLengths; // of the columns of the powers of x (and y) as given

    CentredTerms(std::span<const double> x, std::span<const double> y, std::span<const Monomial> terms);

    // The terms at one point (x, y) as given, in the basis of the unit columns.
    RealVector rowAt(double x, double y) const;
    // Their slopes along x at that point, per unit of x as given.
    RealVector slopeRowAt(double x, double y) const;
    // And along y, per unit of y as given.
    RealVector slopeYRowAt(double x, double y) const;
    // Their second derivatives along x there, per unit of x as given, squared.
    RealVector curvatureRowAt(double x, double y) const;
    // The matrix taking the coefficients of the unit columns to those of the
    // powers of x (and y) as given.
    RealMatrix toGiven() const;
};

// Column pivots of a QR factorization.
using ColumnPermutation = Eigen::PermutationMatrix<Eigen::Dynamic, Eigen::Dynamic, int>;

// What the design of the terms as given tells of the coefficients, from a
// column-pivoted QR (R, P) of its centred version with unit columns:
// toCentred takes the coefficients of the powers of x as given to those of
// the centred powers, toGiven those of the unit columns back; lengths and
// givenLengths are the columns' lengths before they were scaled. The
// condition number needs only its leading digits: a factor from double
// arithmetic takes its singular values in double, four times faster.
enum class FactorPrecision { Double, LongDouble };
DesignConditioning conditioningFromFactor(const RealMatrix& R, const ColumnPermutation& P,
                                          const RealMatrix& toCentred, const RealMatrix& toGiven,
                                          const RealVector& lengths, const RealVector& givenLengths,
                                          FactorPrecision precision);

} // namespace calvero
