#pragma once
// The one linear least-squares solver of the engine: the coefficients of a
// polynomial in x (or in x and y) that fit values v best, for the polynomial,
// the rational polynomial, the surface and the straight lines behind the
// power, exponential and saturation kinds.
//
// It promises coefficients as exact as the data allow. The powers of x as the
// user gives them (temperatures in kelvin, flows in m³/h) make columns that
// are nearly parallel, so the problem is solved in the powers of x centred
// and scaled to [-1, 1] and mapped back to the powers of x. Most problems
// take a quick road (quickleastsquares.h: QR in double, then a correction
// summed in double-double that settles on the exact least-squares condition);
// the badly conditioned take the long road: Householder QR in long double,
// and one step of refinement of the mapped coefficients against the residuals
// of the powers of x, summed in quad precision. On NIST's polynomial
// reference sets the quick road gives the exact least squares and the long
// road 11 to 17 correct digits, where Gauss elimination of the normal
// equations in double gave 7.
#include <memory>
#include <span>
#include <vector>

namespace calvero {

// The term x^xPower y^yPower of the fitted polynomial.
struct Monomial {
    int xPower = 0;
    int yPower = 0;
};

// The terms 1, x, ..., x^degree.
std::vector<Monomial> powersOfX(int degree);

// What the design tells of the coefficients, whatever the values fitted.
struct DesignConditioning {
    // diag((XᵀX)⁻¹) of the design X of the terms as given: each coefficient's
    // variance for a unit variance of the residuals.
    std::vector<double> varianceFactors;
    // The 2-norm condition number of X with its columns scaled to unit length:
    // how sensitive the coefficients of the powers of x are to the data.
    double conditionNumber = 0.0;
};

// Columns whose remaining length, once every column has unit length, falls
// below this share of the first pivot's are dependent on the others to the
// precision the data carry (a few units of a double's last digit): the design
// has lower rank than it has terms, and the system is singular.
constexpr double RankTolerance = 1e-14;

// Least squares of v[i] ≈ Σ c_k x[i]^a_k y[i]^b_k over the points: the
// coefficients c_k, one per term, of the powers of x (and y) as given. y may be
// empty when no term has a power of y. Raises the engine's arithmetic faults:
// an overflow when a power of the data overflows a double, an invalid
// operation (the 0/0 of eliminating a singular system) when the design's
// columns are dependent.
std::vector<double> fitLeastSquares(std::span<const double> x, std::span<const double> y, std::span<const double> v,
                                    std::span<const Monomial> terms);

// Σ c_k x^a_k y^b_k at one point, summed in quad precision and rounded once:
// a polynomial in the powers of x as given, without the cancellation its terms
// suffer in double when x is far from 0 (temperatures in kelvin).
double polynomialValue(std::span<const double> coefficients, std::span<const Monomial> terms, double x,
                       double y = 0.0);

// The same polynomial at many points, its coefficients taken in once.
class PolynomialInQuad {
public:
    PolynomialInQuad(std::span<const double> coefficients, std::span<const Monomial> terms);
    ~PolynomialInQuad();
    double operator()(double x, double y = 0.0);
    // At every point (x[i], y[i]); y may be empty when no term has a power of y.
    std::vector<double> values(std::span<const double> x, std::span<const double> y);

private:
    double quadSum(double x, double y); // in quad, always
    struct Sum;
    std::unique_ptr<Sum> sum_;
};

// The conditioning of the same design, with the same faults.
DesignConditioning designConditioning(std::span<const double> x, std::span<const double> y,
                                      std::span<const Monomial> terms);

// Both from one factorization of the design: the statistics of a fit then
// need not factorize it again.
struct LeastSquaresFit {
    std::vector<double> coefficients;
    DesignConditioning conditioning;
};
// The quick road whenever it answers, as every fit takes it; the long road
// alone lets the tests hold the two roads against each other.
enum class SolverRoad { QuickWhenItCan, LongOnly };
LeastSquaresFit fitLeastSquaresWithConditioning(std::span<const double> x, std::span<const double> y,
                                                std::span<const double> v, std::span<const Monomial> terms,
                                                SolverRoad road = SolverRoad::QuickWhenItCan);

} // namespace calvero
