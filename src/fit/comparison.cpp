#include "fit/comparison.h"

#include "common/numtext.h"

#include <algorithm>
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
    if (!outcome) {
        row.refusal = "calcolo rifiutato: " + outcome.failure();
        return row;
    }
    const Calculation& calculation = *outcome;
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
    return row.fitted() && !row.shape.any() && !row.statistics->residualPattern &&
           row.statistics->largestPercentError && *row.statistics->largestPercentError <= tolerance;
}

bool exact(const ComparisonRow& row) { return row.fitted() && row.statistics->exactFit; }

double aiccOf(const ComparisonRow& row)
{
    return row.fitted() && row.statistics->aicc ? *row.statistics->aicc : std::numeric_limits<double>::infinity();
}

double largestErrorOf(const ComparisonRow& row)
{
    return row.fitted() && row.statistics->largestPercentError ? *row.statistics->largestPercentError
                                                              : std::numeric_limits<double>::infinity();
}

// Better by AICc: an exact fit has none (its AICc would be minus infinity),
// so it comes before every AICc, and among the exact ones the simpler, then
// the one with the smaller largest error.
bool betterByAicc(const ComparisonRow& a, const ComparisonRow& b)
{
    if (exact(a) != exact(b)) return exact(a);
    if (exact(a)) {
        if (a.coefficientCount != b.coefficientCount) return a.coefficientCount < b.coefficientCount;
        return largestErrorOf(a) < largestErrorOf(b);
    }
    return aiccOf(a) < aiccOf(b);
}

std::string figure(const std::optional<double>& value) { return value ? significant(*value, 6) : "-"; }

std::string pad(const std::string& text, std::size_t width, bool right)
{
    if (text.size() >= width) return text;
    const std::string fill(width - text.size(), ' ');
    return right ? fill + text : text + fill;
}

std::string joinedFlags(const ComparisonRow& row)
{
    std::string text;
    for (const std::string& flag : rowFlags(row)) text += (text.empty() ? "" : ", ") + flag;
    return text;
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
        const std::optional<double>& initial = input.initialTemperature;
        const std::optional<double>& final = input.finalTemperature;
        if (!initial || !final || *initial == *final)
            rows.push_back(notApplicable(FitType::TemperatureTime, 0,
                                         "mancano le temperature iniziale e finale (o sono uguali)"));
        else
            rows.push_back(fitted(input, FitType::TemperatureTime, 0, shape));
    }

    // The recommended row: fewest coefficients among the clean rows within the
    // tolerance, the better by AICc between equals.
    ComparisonRow* best = nullptr;
    for (ComparisonRow& row : rows) {
        if (!within(row, tolerance)) continue;
        if (!best || row.coefficientCount < best->coefficientCount ||
            (row.coefficientCount == best->coefficientCount && betterByAicc(row, *best)))
            best = &row;
    }
    if (best) best->recommended = true;
    auto rank = [&](const ComparisonRow& row) {
        if (row.recommended) return 0;
        if (!row.fitted()) return 3;
        return row.statistics->aicc || exact(row) ? 1 : 2;
    };
    std::stable_sort(rows.begin(), rows.end(), [&](const ComparisonRow& a, const ComparisonRow& b) {
        if (rank(a) != rank(b)) return rank(a) < rank(b);
        return rank(a) == 1 && betterByAicc(a, b);
    });
    return rows;
}

CalculationInput inputOf(const Calculation& c, std::optional<double> initialTemperature,
                         std::optional<double> finalTemperature)
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
            input.initialTemperature = t->initial;
            input.finalTemperature = t->final;
        }
    }
    return input;
}

std::vector<std::string> rowFlags(const ComparisonRow& row)
{
    std::vector<std::string> flags = shapeFlags(row.shape);
    if (row.fitted() && row.statistics->residualPattern) flags.push_back("residui non casuali");
    if (row.fitted() && row.statistics->illConditioned) flags.push_back("mal condizionata");
    return flags;
}

std::string comparisonRule(double tolerance, const std::string& toleranceAsWritten)
{
    const std::string shown = toleranceAsWritten.empty() ? significant(tolerance, 15) : toleranceAsWritten;
    return "ordine: prima l'equazione più semplice (meno coefficienti) senza difetti di forma, con i residui "
           "senza andamento (test delle successioni dei segni al 5 %) e con errore percentuale massimo non oltre " +
           shown + " %; poi le altre per AICc crescente (più basso è migliore), prima le curve esatte, che non "
           "hanno AICc";
}

std::vector<std::string> comparisonNotes(const std::vector<ComparisonRow>& rows)
{
    bool anyEstimate = false, anyRecommended = false;
    for (const ComparisonRow& row : rows) {
        anyEstimate = anyEstimate || (row.fitted() && row.statistics->dof > 0);
        anyRecommended = anyRecommended || row.recommended;
    }
    if (!anyEstimate)
        return {"nessuna equazione ha più punti che coefficienti: ogni curva passa per i punti e il confronto non "
                "può dire quale sia migliore; servono più punti"};
    if (!anyRecommended)
        return {"nessuna equazione senza difetti di forma né residui non casuali resta entro la tolleranza: tutte "
                "ordinate per AICc"};
    return {};
}

std::string rowMark(const std::vector<ComparisonRow>& rows, std::size_t index)
{
    if (index >= rows.size()) return "";
    const ComparisonRow& row = rows[index];
    if (row.recommended) return "consigliata";
    // The first row when none is recommended: the best by the figures, no more.
    if (index != 0 || !row.fitted()) return "";
    if (row.statistics->aicc) return "migliore per AICc";
    if (row.statistics->exactFit) return "migliore: curva esatta";
    return "";
}

ComparisonCells comparisonCells(const ComparisonRow& row)
{
    ComparisonCells cells;
    cells.kind = kindLabel(row.kind);
    cells.degree = takesDegree(row.kind) && row.degree > 0 ? std::to_string(row.degree) : "";
    if (!row.fitted()) {
        cells.remarks = row.refusal;
        return cells;
    }
    const Statistics& s = *row.statistics;
    cells.coefficients = std::to_string(row.coefficientCount);
    cells.standardError = figure(s.standardError);
    cells.adjustedRSquared = figure(s.adjustedRSquared);
    cells.largestPercentError = figure(s.largestPercentError);
    cells.aicc = s.aicc ? figure(s.aicc) : s.exactFit ? "curva esatta" : "-";
    const std::string flags = joinedFlags(row);
    if (s.dof == 0) cells.remarks = "n = p: nessun errore stimabile" + (flags.empty() ? "" : "; " + flags);
    else cells.remarks = flags.empty() ? "nessuno" : flags;
    return cells;
}

std::vector<std::string> comparisonLines(const std::vector<ComparisonRow>& rows, double tolerance,
                                         const std::string& toleranceAsWritten)
{
    std::vector<std::string> lines = {"CONFRONTO DELLE EQUAZIONI", comparisonRule(tolerance, toleranceAsWritten)};
    for (const std::string& note : comparisonNotes(rows)) lines.push_back(note);

    // Every column as wide as its widest text, two blanks between columns.
    std::vector<std::vector<std::string>> table = {{"nr", "tipo", "grado", "coeff.", "errore std.", "R2 corretto",
                                                    "err.% max", "AICc", "difetti / motivo"}};
    for (std::size_t i = 0; i < rows.size(); ++i) {
        const ComparisonCells c = comparisonCells(rows[i]);
        table.push_back({std::to_string(i + 1), c.kind, c.degree, c.coefficients, c.standardError,
                         c.adjustedRSquared, c.largestPercentError, c.aicc, c.remarks});
    }
    std::vector<std::size_t> widths(table.front().size(), 0);
    for (const auto& cells : table)
        for (std::size_t k = 0; k < cells.size(); ++k) widths[k] = std::max(widths[k], cells[k].size());
    for (std::size_t r = 0; r < table.size(); ++r) {
        std::string line;
        for (std::size_t k = 0; k < table[r].size(); ++k) {
            const bool text = k == 1 || k + 1 == table[r].size();
            if (k > 0) line += "  ";
            line += k + 1 == table[r].size() ? table[r][k] : pad(table[r][k], widths[k], !text);
        }
        const std::string mark = r > 0 ? rowMark(rows, r - 1) : "";
        if (!mark.empty()) line += "  <- " + mark;
        lines.push_back(trimRight(line));
    }
    return lines;
}

} // namespace calvero
