#pragma once
// The fitted equation of a calculation as the exports write it: its shape and
// its numbers, and the equation as one expression in the syntax of a
// spreadsheet, of C or of Python. The numbers carry every digit of the
// doubles, and the C and Python expressions compute the report's Yint in the
// same order of operations as the program, so that they give the same value.
#include "fit/calculation.h"
#include "fit/leastsquares.h"

#include <optional>
#include <string>
#include <vector>

namespace calvero {

struct ExportTerm {
    double coefficient = 0.0;
    Monomial powers; // of x and y
};

enum class EquationShape { Polynomial, Rational, Power, Exponential, TemperatureTime, Saturation, Surface };

struct ExportEquation {
    EquationShape shape = EquationShape::Polynomial;
    std::vector<ExportTerm> terms; // the polynomial, the rational's denominator, the surface
    double a = 0.0, b = 0.0;       // power A x^B, exponential A e^(B x), saturation 10^(A + B/x)
    double decay = 0.0, initial = 0.0, final = 0.0; // temperature-time Tf - e^(-M t) (Tf - Ti)
    bool twoVariables() const { return shape == EquationShape::Surface; }
    // The coefficient of x^a y^b among the terms (0 when there is none).
    double coefficientOf(int xPower, int yPower) const;
};

// Nothing for the scatter kind, which has no equation: the exports then refuse with this.
inline constexpr const char* NoEquationMessage = "la PUNTEGGIATA non ha un'equazione da esportare";

std::optional<ExportEquation> exportEquation(const Calculation& calculation);

// The kind as the exports name it: "POLINOMIO di grado 3", "POTENZA".
std::string equationTitle(const Calculation& calculation);

// How a language writes the equation.
struct ExpressionSyntax {
    std::string x;              // the variables: "x", or cells such as "A2"
    std::string y;
    char decimalMark = '.';
    bool spreadsheet = false;   // x^3 and a^(b), numbers in exponent form with E
    std::string exp = "exp";    // the exponential function
    std::string pow = "pow";    // the real power (C and Python)
    std::string separator = ", "; // between a function's arguments
    std::string termBreak;      // before each term of a sum after the first (a line break and indent)
};

ExpressionSyntax cSyntax();
ExpressionSyntax pythonSyntax();
// The formula as typed into LibreOffice or Excel in English, or in Italian
// (decimal comma, semicolon between arguments).
ExpressionSyntax spreadsheetSyntax(const std::string& xCell, const std::string& yCell, bool italian);

std::string expressionText(const ExportEquation& equation, const ExpressionSyntax& syntax);

// A number with every digit, as the syntax writes a literal (C and Python
// literals always have a point or an exponent, so that no division is an
// integer one).
std::string literalText(double value, const ExpressionSyntax& syntax);

} // namespace calvero
