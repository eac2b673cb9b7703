#include "fit/comparison.h"

#include "common/numtext.h"

#include <algorithm>
#include <cstdio>
#include <limits>
#include <set>

namespace calvero {

namespace {

ComparisonRow notApplicable(FitType kind, int degree, const std::string& why)
{
    ComparisonRow row;
    row.kind = kind;
    row.degree = degree;
    row.refusal = "non applicabile: " + why;
    return row;
}

ComparisonRow fitted(const CalculationInput& input, FitType kind, int degree, const ShapeOptions& shape)
{
    CalculationInput candidate = input;
    candidate.kind = kind;
    candidate.degree = degree == 0 ? input.degree : degree;
    ComparisonRow row;
    row.kind = kind;
    row.degree = degree;
    const Outcome outcome = calculate(candidate);
    if (const auto* refusal = std::get_if<Refusal>(&outcome)) {
        row.refusal = "calcolo rifiutato: " + refusal->message;
        return row;
    }
    const Calculation& calculation = std::get<Calculation>(outcome);
    row.statistics = fitStatistics(calculation);
    row.shape = shapeChecks(calculation, shape);
    row.coefficientCount = row.statistics->p;
    if (!row.statistics->fitted) {
        row.refusal = "la curva non si può calcolare in tutti i punti";
        row.statistics.reset();
    }
    return row;
}

bool within(const ComparisonRow& row, double tolerance)
{
    return row.fitted() && !row.shape.any() && row.statistics->largestPercentError &&
           *row.statistics->largestPercentError <= tolerance;
}

std::string pad(const std::string& text, std::size_t width, bool right = true)
{
    if (text.size() >= width) return text;
    const std::string fill(width - text.size(), ' ');
    return right ? fill + text : text + fill;
}

std::string figure(const std::optional<double>& value, int digits)
{
    return value ? significant(*value, digits) : "-";
}

} // namespace

std::vector<ComparisonRow> compareEquations(const CalculationInput& steered, double tolerance, const ShapeOptions& shape,
                                            bool withOptions)
{
    CalculationInput input = steered;
    if (!withOptions) input.options = {};
    std::vector<ComparisonRow> rows;
    const int n = std::clamp(input.pointCount, 0, MaxPoints);
    if (input.kind == FitType::SurfaceXY) {
        for (int degree = 2; degree <= 4; ++degree) rows.push_back(fitted(input, FitType::SurfaceXY, degree, shape));
    } else {
        bool positiveX = n > 0, positiveY = n > 0, zeroY = false;
        std::set<double> distinctX;
        for (int i = 1; i <= n; ++i) {
            positiveX = positiveX && input.points.x[i] > 0.0;
            positiveY = positiveY && input.points.y[i] > 0.0;
            zeroY = zeroY || input.points.y[i] == 0.0;
            distinctX.insert(input.points.x[i]);
        }
        const int highest = std::min(8, static_cast<int>(distinctX.size()) - 1);
        const std::string needPositive = "servono x e y tutti maggiori di 0";
        rows.push_back(positiveX && positiveY ? fitted(input, FitType::Power, 0, shape)
                                              : notApplicable(FitType::Power, 0, needPositive));
        rows.push_back(positiveY ? fitted(input, FitType::Exponential, 0, shape)
                                 : notApplicable(FitType::Exponential, 0, "servono y tutti maggiori di 0"));
        rows.push_back(positiveX && positiveY ? fitted(input, FitType::Saturation, 0, shape)
                                              : notApplicable(FitType::Saturation, 0, needPositive));
        for (int degree = 1; degree <= std::max(highest, 1); ++degree)
            rows.push_back(fitted(input, FitType::Polynomial, degree, shape));
        if (zeroY) {
            rows.push_back(notApplicable(FitType::RationalPolynomial, 0, "un valore di y è 0"));
        } else {
            for (int degree = 1; degree <= std::max(highest, 1); ++degree)
                rows.push_back(fitted(input, FitType::RationalPolynomial, degree, shape));
        }
        // A data set saved with another kind holds both temperatures at 0.
        auto blank = [](const std::string& t) { return t.find_first_not_of(' ') == std::string::npos; };
        const std::optional<double> initial = temperatureValue(input.initialTemperature);
        const std::optional<double> final = temperatureValue(input.finalTemperature);
        if (blank(input.initialTemperature) || blank(input.finalTemperature) || (initial && final && *initial == *final))
            rows.push_back(notApplicable(FitType::TemperatureTime, 0,
                                         "mancano le temperature iniziale e finale (o sono uguali)"));
        else
            rows.push_back(fitted(input, FitType::TemperatureTime, 0, shape));
    }

    // The recommended row: fewest coefficients among the clean rows within the
    // tolerance, the lower AICc between equals.
    auto aicc = [](const ComparisonRow& row) {
        return row.fitted() && row.statistics->aicc ? *row.statistics->aicc : std::numeric_limits<double>::infinity();
    };
    ComparisonRow* best = nullptr;
    for (ComparisonRow& row : rows) {
        if (!within(row, tolerance)) continue;
        if (!best || row.coefficientCount < best->coefficientCount ||
            (row.coefficientCount == best->coefficientCount && aicc(row) < aicc(*best)))
            best = &row;
    }
    if (best) best->recommended = true;
    auto rank = [&](const ComparisonRow& row) {
        if (row.recommended) return 0;
        if (!row.fitted()) return 3;
        return row.statistics->aicc ? 1 : 2;
    };
    std::stable_sort(rows.begin(), rows.end(), [&](const ComparisonRow& a, const ComparisonRow& b) {
        if (rank(a) != rank(b)) return rank(a) < rank(b);
        if (rank(a) == 1) return aicc(a) < aicc(b);
        return false;
    });
    return rows;
}

CalculationInput inputOf(const Calculation& c, const std::string& initialTemperature, const std::string& finalTemperature)
{
    CalculationInput input;
    input.points = c.points;
    input.pointCount = c.pointCount;
    input.kind = c.kind;
    input.degree = c.degree;
    input.initialTemperature = initialTemperature;
    input.finalTemperature = finalTemperature;
    input.options = c.options;
    if (c.curve) {
        if (const auto* t = std::get_if<TemperatureTimeCurve>(&*c.curve)) {
            // Full precision: the text reads back as the same double.
            char text[64];
            std::snprintf(text, sizeof text, "%.17g", t->initial);
            input.initialTemperature = text;
            std::snprintf(text, sizeof text, "%.17g", t->final);
            input.finalTemperature = text;
        }
    }
    return input;
}

std::vector<std::string> rowFlags(const ComparisonRow& row)
{
    std::vector<std::string> flags = shapeFlags(row.shape);
    if (row.fitted() && row.statistics->illConditioned) flags.push_back("mal condizionata");
    return flags;
}

std::string comparisonRule(double tolerance)
{
    return "ordine: prima l'equazione più semplice (meno coefficienti) senza difetti di forma con errore "
           "percentuale massimo non oltre " +
           significant(tolerance, 6) + " %; poi le altre per AICc crescente (più basso è migliore)";
}

std::vector<std::string> comparisonLines(const std::vector<ComparisonRow>& rows, double tolerance)
{
    std::vector<std::string> lines;
    lines.push_back("CONFRONTO DELLE EQUAZIONI");
    lines.push_back(comparisonRule(tolerance));
    bool anyEstimate = false, anyRecommended = false;
    for (const ComparisonRow& row : rows) {
        anyEstimate = anyEstimate || (row.fitted() && row.statistics->dof > 0);
        anyRecommended = anyRecommended || row.recommended;
    }
    if (!anyEstimate)
        lines.push_back("nessuna equazione ha più punti che coefficienti: ogni curva passa per i punti e il "
                        "confronto non può dire quale sia migliore; servono più punti");
    else if (!anyRecommended)
        lines.push_back("nessuna equazione senza difetti di forma resta entro la tolleranza: tutte ordinate per AICc");
    lines.push_back(" nr  tipo                     grado coeff.  errore std.  R2 corretto  err.% max         AICc  "
                    "difetti");
    int number = 0;
    for (const ComparisonRow& row : rows) {
        std::string line = pad(std::to_string(++number), 3) + "  " + pad(kindLabel(row.kind), 24, false) +
                           pad(takesDegree(row.kind) && row.degree > 0 ? std::to_string(row.degree) : "", 6);
        if (!row.fitted()) {
            lines.push_back(line + "        " + row.refusal);
            continue;
        }
        const Statistics& s = *row.statistics;
        line += pad(std::to_string(row.coefficientCount), 7);
        if (s.dof == 0) {
            line += "  n = p: nessun errore stimabile";
        } else {
            line += pad(figure(s.standardError, 6), 13) + pad(figure(s.adjustedRSquared, 8), 13) +
                    pad(figure(s.largestPercentError, 4), 11) + pad(figure(s.aicc, 7), 13);
        }
        const std::vector<std::string> flags = rowFlags(row);
        std::string flagText;
        for (const std::string& flag : flags) flagText += (flagText.empty() ? "" : ", ") + flag;
        line += "  " + (flagText.empty() ? std::string("nessuno") : flagText);
        if (row.recommended) line += "  <- consigliata";
        lines.push_back(line);
    }
    return lines;
}

} // namespace calvero
