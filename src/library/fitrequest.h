#pragma once
// A fit asked for by another program: plain arrays of numbers in, the
// engine's calculation with its statistics out, or why not. The C library
// (c/calvero.h) and the Python module are two faces of this; they differ only
// in how they hand the numbers over and how they say no. The engine's limits
// hold: up to 100 000 points of every kind.
#include "common/checked.h"
#include "fit/calculation.h"
#include "fit/coefficientlist.h"
#include "fit/comparison.h"
#include "fit/fitoptions.h"
#include "fit/statistics.h"
#include "exports/exportformats.h"

#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace calvero {

// A kind by its number (as calvero1-batch --kind) or by the name scripts use:
// "scatter", "power", "polynomial", "exponential", "rational",
// "temperature-time", "surface", "saturation" (case and '_' for '-' free).
std::optional<int> kindOfName(std::string_view name);
// The script name of kind 1..8; empty for any other number.
std::string_view kindScriptName(int kind);

struct FitRequest {
    int kind = 3;
    int degree = 3;
    std::span<const double> x, y, z; // z: the surface's; ignored for the other kinds
    // The temperature-time kind's temperatures; none when not given.
    std::optional<double> initialTemperature, finalTemperature;
    // What steers the fit beyond least squares (none by default); with
    // weights from a column, pointWeights holds one per point.
    FitOptions options;
};

// Why a request gets no fit: arguments no calculation can take (a kind or a
// degree out of range, missing or unequal arrays, a value that is not a
// finite number), or a calculation the engine refused.
enum class FitStatus { Fitted = 0, Refused = 1, BadArguments = 2 };

struct FitAnswer {
    FitStatus status = FitStatus::BadArguments;
    Refusal refusal;                         // why not; its code Message and no details when fitted
    // Its report's text is written when first asked for, and its statistics
    // (fitStatistics) are worked out by whoever first asks for them: a
    // caller that wants only the coefficients does not pay for them.
    std::optional<Calculation> calculation;
    std::vector<NamedCoefficient> coefficients; // in the report's order
};

FitAnswer fitRequest(const FitRequest& request);

// Why a request got no fit, in Italian; empty when it was fitted. An
// arithmetic fault, which the programs show in the processor's standard
// words ("Invalid floating point operation"), is said in Italian, those
// words following in parentheses.
std::string answerMessage(const FitAnswer& answer);
std::string libraryMessage(const Refusal& refusal);

// The fitted equation written for a program that uses it, in the format
// named as exportFormatName names it; the refusal when the name is none of
// them (UnknownFormat) or the format has no form for the fit.
Checked<std::string> exportOf(const Calculation& calculation, std::string_view format, const ExportChoices& choices);
Refusal unknownExportFormat(std::string_view format);

// The arguments checked and the points counted into an input; the message
// of arguments no calculation can take.
Checked<CalculationInput> requestInput(const FitRequest& request);

// The fitted curve at x, or the surface at (x, y), as the report computes
// it; nothing where it has no value and for the scatter kind.
std::optional<double> valueAt(const Calculation& calculation, double x, double y);

// The report as calvero1-batch prints it: each line without its trailing
// blanks, ended by '\n'.
std::string reportText(const Calculation& calculation);

// The comparison of the equations over the request's points and
// temperatures (its kind says only whether they are a surface's).
Checked<std::vector<ComparisonRow>> compareRequest(const FitRequest& request, double tolerancePercent);

} // namespace calvero
