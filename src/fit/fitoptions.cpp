#include "fit/fitoptions.h"

#include "fit/report.h"
#include "fit/statistics.h"

namespace calvero {

namespace {

std::string number(double value) { return significant(value, 10); }

std::string pointText(const ThroughPoint& p, bool surface)
{
    return "(" + number(p.x) + "; " + number(p.y) + (surface ? "; " + number(p.z) : "") + ")";
}

std::string joined(const std::vector<std::string>& parts, const std::string& separator)
{
    std::string text;
    for (const std::string& part : parts) text += (text.empty() ? "" : separator) + part;
    return text;
}

// Each option's words; the points and terms one by one, or only counted
// when the line would be too long.
std::vector<std::string> parts(const FitOptions& o, FitType kind, bool counted)
{
    const bool surface = kind == FitType::SurfaceXY;
    std::vector<std::string> words;
    if (!o.throughPoints.empty()) {
        if (counted) {
            words.push_back("passa per " + std::to_string(o.throughPoints.size()) +
                            (o.throughPoints.size() == 1 ? " punto" : " punti"));
        } else {
            std::vector<std::string> points;
            for (const ThroughPoint& p : o.throughPoints) points.push_back(pointText(p, surface));
            words.push_back("passa per " + joined(points, " e "));
        }
    }
    if (!o.fixedTerms.empty()) {
        if (counted) {
            words.push_back(std::to_string(o.fixedTerms.size()) +
                            (o.fixedTerms.size() == 1 ? " termine fisso" : " termini fissi"));
        } else {
            std::vector<std::string> terms;
            for (const FixedTerm& t : o.fixedTerms) terms.push_back("termine " + std::to_string(t.term) + " = " + number(t.value));
            words.push_back(joined(terms, ", "));
        }
    }
    if (o.weighting == Weighting::Relative) words.push_back(surface ? "pesi relativi 1/z^2" : "pesi relativi 1/y^2");
    if (o.weighting == Weighting::Column) words.push_back("pesi dei punti dal file");
    if (o.minimax) words.push_back("minimo errore % massimo");
    if (o.monotone == Monotone::Decreasing) words.push_back("monotona decrescente");
    if (o.monotone == Monotone::Increasing) words.push_back("monotona crescente");
    if (o.curvature == Curvature::Concave) words.push_back("concava");
    if (o.curvature == Curvature::Convex) words.push_back("convessa");
    if (o.leastSquaresInY) words.push_back("minimi quadrati sui valori di y");
    return words;
}

} // namespace

std::string shapeBoundWords(const FitOptions& o)
{
    if (o.curvature == Curvature::None) return "la condizione di monotonia tiene la pendenza al limite";
    const std::string which = o.curvature == Curvature::Concave ? "concava" : "convessa";
    if (o.monotone == Monotone::None) return "la condizione di curva " + which + " tiene la curvatura al limite";
    return "le condizioni di curva monotona e " + which + " tengono la pendenza o la curvatura al limite";
}

std::string optionsLine(const FitOptions& options, FitType kind)
{
    if (!options.anyOption()) return "";
    const std::string full = "vincoli: " + joined(parts(options, kind, false), "; ");
    if (static_cast<int>(full.size()) <= ReportLineWidth) return full;
    return "vincoli: " + joined(parts(options, kind, true), "; ");
}

} // namespace calvero
