#include "app/fitoptionsform.h"

#include "common/numtext.h"

#include <charconv>
#include <cmath>

namespace calvero {

namespace {

std::string fullNumber(double value)
{
    char buffer[64];
    const auto end = std::to_chars(buffer, buffer + sizeof buffer, value).ptr;
    return std::string(buffer, end);
}

bool blank(const std::string& text) { return text.find_first_not_of(" \t") == std::string::npos; }

std::optional<double> number(const std::string& text)
{
    const auto value = parseDecimal(trimRight(commaToPoint(text)));
    if (!value || !std::isfinite(*value)) return std::nullopt;
    return value;
}

} // namespace

FitOptionsForm formOf(const FitOptions& o)
{
    FitOptionsForm form;
    for (const ThroughPoint& p : o.throughPoints) form.throughRows.push_back({fullNumber(p.x), fullNumber(p.y), fullNumber(p.z)});
    for (const FixedTerm& t : o.fixedTerms) form.fixedRows.push_back({std::to_string(t.term), fullNumber(t.value)});
    form.weighting = o.weighting;
    form.minimax = o.minimax;
    form.monotone = o.monotone;
    form.curvature = o.curvature;
    form.leastSquaresInY = o.leastSquaresInY;
    return form;
}

Checked<FitOptions> optionsOf(const FitOptionsForm& form, bool surface)
{
    FitOptions o;
    const std::size_t used = surface ? 3 : 2;
    for (std::size_t r = 0; r < form.throughRows.size(); ++r) {
        const auto& row = form.throughRows[r];
        if (blank(row[0]) && blank(row[1]) && (!surface || blank(row[2]))) continue;
        double values[3] = {0.0, 0.0, 0.0};
        for (std::size_t c = 0; c < used; ++c) {
            const auto value = number(row[c]);
            if (!value)
                return failed<FitOptions>("punto di passaggio " + std::to_string(r + 1) + ": " + "xyz"[c] +
                                          " non è un numero: " + row[c]);
            values[c] = *value;
        }
        o.throughPoints.push_back({values[0], values[1], values[2]});
    }
    for (std::size_t r = 0; r < form.fixedRows.size(); ++r) {
        const auto& row = form.fixedRows[r];
        if (blank(row[0]) && blank(row[1])) continue;
        const auto term = number(row[0]);
        if (!term || *term != std::trunc(*term) || *term < 1 || *term > 15)
            return failed<FitOptions>("termine fisso " + std::to_string(r + 1) +
                                      ": il numero del termine va da 1 a 15 (come nel rapporto): " + row[0]);
        const auto value = number(row[1]);
        if (!value)
            return failed<FitOptions>("termine fisso " + std::to_string(r + 1) + ": il valore non è un numero: " + row[1]);
        o.fixedTerms.push_back({static_cast<int>(*term), *value});
    }
    o.weighting = form.weighting;
    o.minimax = form.minimax;
    o.monotone = form.monotone;
    o.curvature = form.curvature;
    o.leastSquaresInY = form.leastSquaresInY;
    // Refused here, at OK, rather than at the next calculation.
    if (o.minimax && o.weighting != Weighting::None) return failed<FitOptions>(refusalOf(RefusalCode::MinimaxWithWeights));
    if (o.leastSquaresInY && (o.minimax || o.anyShape()))
        return failed<FitOptions>(refusalOf(RefusalCode::LeastSquaresInYNotWithOptions));
    return succeeded(std::move(o));
}

} // namespace calvero
