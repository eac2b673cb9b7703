#pragma once
// How good a fit is: residuals, R², standard errors of the coefficients and
// their confidence intervals, whether the residuals follow a pattern, and how
// many of the coefficients' digits the data determine.
// Computed beside the report from a finished calculation; the report itself
// is not touched. The texts give coefficients, errors and intervals with the
// report's digit rule (see formatCoefficientFigure).
#include "common/numtext.h"
#include "fit/calculation.h"
#include "fit/residualruns.h"

#include <optional>
#include <string>
#include <vector>

namespace calvero {

// One coefficient of a fit that is a straight line or a polynomial in some
// variables. The standard error belongs to the coefficient of that linear
// model: for A of the power and exponential kinds it is the error of log10 A
// or ln A, and the interval is that one transformed back.
struct CoefficientStatistics {
    std::string name;                    // "A", "B", "termine 3", "x^2 y"
    double value = 0.0;                  // as the report prints it
    std::string errorOf;                 // the quantity the error belongs to, when not the value
    std::optional<double> standardError; // none where n - p is 0
    std::optional<double> lower;         // 95 % confidence interval of value
    std::optional<double> upper;
    bool fixed = false; // fixed to its value by the fit's options: no error
    bool atBound = false; // a typed equation's parameter held at one of its bounds: no error
    std::optional<TermReach> reach;      // of the value over the points: its digits
    std::optional<double> dataDigits;    // that a change of the data in its 16th digit leaves (conditioningdigits.h)
};

// What a typed equation's statistics add: the equation, how its start came
// about and how the solver ended.
struct EquationFigures {
    std::string text;        // as typed
    bool twoVariables = false;
    bool linear = false;     // exact linear least squares, no iterations
    std::string startValues; // "given" or "found"
    bool continued = false;  // the given start stalled and the search went on
    bool possiblyLocal = false;
    int localFits = 0;       // of the search
    int givenStarts = 0;     // free parameters whose start was given
    int iterations = 0;
    bool converged = true;
    int fixedCount = 0;
};

struct Statistics {
    FitType kind = FitType::Polynomial;
    std::optional<EquationFigures> equation; // a typed equation's fit (kind is then not used)
    int degree = 0;
    bool fitted = false; // false for the scatter kind: no curve, no figures
    int n = 0;           // points fitted
    int p = 0;           // coefficients fitted
    int dof = 0;         // n - p + equalities
    int equalities = 0;  // the fit's through points and fixed terms
    bool weighted = false;             // the fit weighted the errors: s from Σ w (y - Yint)²
    // Column weights are scaled to mean 1 before s and AICc (a point of
    // weight 1 is then an average point, and multiplying every weight by a
    // constant changes nothing); relative weights 1/y² are taken as they are,
    // so that s reads as a relative error.
    Weighting weighting = Weighting::None;
    std::optional<double> weightedSse; // Σ w (y - Yint)², column weights of mean 1
    // Why the coefficients' errors and intervals are approximate (the
    // smallest largest error, a monotone curve held at its bound); empty
    // when they are as least squares gives them.
    std::string approximate;
    // The through points outside the points' range of x (the surface's x-y
    // rectangle), where the curve is held by a value it reaches only by
    // extrapolation; and that range.
    std::vector<ThroughPoint> throughOutside;
    double lowX = 0.0, highX = 0.0, lowY = 0.0, highY = 0.0;
    double sse = 0.0;    // Σ (y - Yint)²
    std::optional<double> standardError;    // √(SSE / (n - p)), weighted: √(Σ w (y - Yint)² / (n - p + equalities))
    std::optional<double> rSquared;         // 1 - SSE / Σ (y - ȳ)²
    std::optional<double> adjustedRSquared; // 1 - (1 - R²)(n - 1)/dof: the free coefficients counted
    // A curve held through the origin (the constant term fixed at 0, or a
    // through point (0; 0)): 1 - SSE / Σ y², the R² of a regression without
    // intercept (NIST's NoInt sets certify this one). None otherwise.
    std::optional<double> uncentredRSquared;
    // The straight line in the transformed variables (power, exponential,
    // saturation): the R² a spreadsheet trend line shows.
    std::optional<double> transformedRSquared;
    std::string transformedLine; // which line, in words
    double largestAbsoluteError = 0.0;
    std::optional<double> largestPercentError; // none when every y is 0
    std::optional<double> rmsPercentError;
    // n > p and every residual within NegligibleContribution of the largest
    // |y|: the curve passes through the points, and AICc is not defined.
    bool exactFit = false;
    std::optional<double> aicc; // n ln(SSE/n) + 2K + 2K(K+1)/(n-K-1), K = p + 1; none for an exact fit
    // The signs of the residuals in x order (the one-variable kinds that are
    // not exact fits); residualPattern when they make fewer runs than chance
    // does at the ResidualPatternLevel.
    std::optional<ResidualRuns> residualRuns;
    bool residualPattern = false;
    std::optional<double> tValue; // Student's t at 97.5 % with n - p degrees of freedom
    std::vector<CoefficientStatistics> coefficients; // the linear fits only
    // The condition number of the design the coefficients belong to (the
    // powers of x as given, the transformed line's 1 and u, the surface's
    // terms) with its columns scaled to unit length; none when it is singular
    // to working precision.
    std::optional<double> conditionNumber;
    // The worst coefficient's digits that a change of every datum in its 16th
    // significant digit leaves, and the digits a double-precision evaluation
    // of the polynomial keeps at the points (conditioningdigits.h); none for
    // a singular design, or a polynomial that is 0 at every point.
    std::optional<double> dataSensitivityDigits;
    std::optional<double> evaluationDigits;
    std::optional<double> coefficientDigits; // the former name of dataSensitivityDigits, the same value
    bool illConditioned = false; // either under TrustedCoefficientDigits: the warning
};

// The digits of a double, and the fewest a coefficient may carry without a warning.
constexpr double DoubleDigits = 15.95;
constexpr double TrustedCoefficientDigits = 10.0;

Statistics fitStatistics(const Calculation& calculation);

// The figures of any fit of p coefficients from the values it was fitted to
// and the values it gives (the errors, R², AICc, and with xs the runs of the
// residuals' signs in x order); nothing of its coefficients.
Statistics valueStatistics(const std::vector<double>& observed, const std::vector<double>& fitted,
                           const std::vector<double>& xs, int p);

// The coefficients the fit chose: the p of n - p (temperature-time has one, M).
int coefficientCount(const Calculation& calculation);

// The statistics as they read, in Italian: the window shows the figures and
// the coefficients as tables, the text puts each on a line.
struct StatisticsFigure {
    std::string label; // "R² = 1 - SSE / Σ(y - media)²"
    std::string value;
};
struct CoefficientFigures {
    std::string name;
    std::string value;
    std::string errorOf; // "log10 A" where the error is not that of the value
    std::string error;   // empty where there is none
    std::string lower, upper;
    std::string remark;  // why there is no error, where there should be one
};
struct StatisticsText {
    std::string title;
    std::vector<std::string> notes; // before the figures
    std::vector<StatisticsFigure> figures;
    std::string coefficientsHeading; // empty: nothing is said of the coefficients
    std::vector<CoefficientFigures> coefficients;
    std::vector<std::string> warnings; // after them
};
StatisticsText statisticsText(const Statistics& statistics);

// The lines that say how a typed equation was solved and where it started.
std::string equationSolverLine(const EquationFigures& equation);
std::string equationStartLine(const EquationFigures& equation);

// The same as Italian text lines, beside the report.
std::vector<std::string> statisticsLines(const Statistics& statistics);

// Student's t quantile: P(T <= t) = probability, with dof degrees of freedom (dof >= 1).
double studentQuantile(double probability, int dof);
// studentQuantile(0.975, dof), the one the confidence intervals use.
double studentQuantile975(int dof);

// A number with the given significant digits (whole digits are never
// dropped), without trailing zeros; in exponent form where fixed point would
// need more than FixedFigureLeadingZeros zeros after the point or
// FixedFigureDigits digits before it, so that a value that is not zero never
// reads as 0; "non calcolabile" for a value that is not finite.
std::string significant(double value, int digits);

} // namespace calvero
