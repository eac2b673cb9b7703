#include "capture/ticklabels.h"

#include "capture/linesums.h"
#include "capture/median.h"
#include "capture/pointexport.h"
#include "common/numtext.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <limits>
#include <optional>
#include <string_view>

namespace calvero::capture {

namespace {

// The agreeing values of a logarithmic axis span this ratio at least (a decade, read to a hair).
constexpr double LeastLogSpan = 9.99;

// A label agrees when its value lands within this share of the labels'
// spacing of where it is read (and within this many pixels at least).
constexpr double AgreeShare = 0.08;
constexpr double AgreePixels = 2.5;
// The steps charts count in, times a power of ten.
constexpr double RoundSteps[] = {1, 2, 2.5, 5, 10};

// Letters a reader takes for digits in a number: O and o for 0; l, I and |
// for 1. Mended only where everything else is a number's.
std::string digitsMended(std::string text)
{
    const std::string_view lookAlikes = "OolI|", digits = "00111";
    if (text.find_first_not_of("0123456789.,+-^eExX" + std::string(lookAlikes)) != std::string::npos) return text;
    for (char& c : text)
        if (const std::size_t at = lookAlikes.find(c); at != std::string_view::npos) c = digits[at];
    return text;
}

// Dashes that stand for a minus sign, as charts print it and OCR reads it.
std::string normalised(std::string_view text)
{
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const unsigned char c = static_cast<unsigned char>(text[i]);
        if (c == 0xe2 && i + 2 < text.size() && static_cast<unsigned char>(text[i + 1]) == 0x88 &&
            static_cast<unsigned char>(text[i + 2]) == 0x92) { // U+2212 minus
            out += '-';
            i += 2;
        } else if (c == 0xe2 && i + 2 < text.size() && static_cast<unsigned char>(text[i + 1]) == 0x80 &&
                   (static_cast<unsigned char>(text[i + 2]) == 0x93 || static_cast<unsigned char>(text[i + 2]) == 0x94)) {
            out += '-'; // en and em dashes
            i += 2;
        } else if (c == 0xc3 && i + 1 < text.size() && static_cast<unsigned char>(text[i + 1]) == 0x97) {
            out += 'x'; // the multiplication sign of 2×10³
            ++i;
        } else if (c != ' ' && c != '\'') {
            out += static_cast<char>(c);
        }
    }
    return out;
}

bool allDigits(std::string_view s) { return !s.empty() && std::all_of(s.begin(), s.end(), [](char c) { return c >= '0' && c <= '9'; }); }

// A plain number with any decimal and thousands marks: the readings it allows.
std::vector<double> plainValues(std::string text)
{
    std::vector<double> values;
    bool negative = false;
    if (!text.empty() && (text[0] == '-' || text[0] == '+')) {
        negative = text[0] == '-';
        text.erase(0, 1);
    }
    const auto add = [&](const std::string& candidate) {
        if (const auto v = parseDecimal(candidate); v && std::isfinite(*v))
            if (std::find(values.begin(), values.end(), negative ? -*v : *v) == values.end()) values.push_back(negative ? -*v : *v);
    };
    const std::size_t commas = static_cast<std::size_t>(std::count(text.begin(), text.end(), ','));
    const std::size_t points = static_cast<std::size_t>(std::count(text.begin(), text.end(), '.'));
    const auto without = [](std::string s, char mark) {
        s.erase(std::remove(s.begin(), s.end(), mark), s.end());
        return s;
    };
    const auto groupsOfThree = [&](char mark) {
        // 1,000 or 12.500.000: each mark followed by exactly three digits,
        // the first group no 0 (0,250 is a quarter, never 250).
        std::size_t at = text.find(mark);
        if (at == 0 || at > 3 || text[0] == '0') return false;
        for (; at != std::string::npos; at = text.find(mark, at + 1)) {
            const std::size_t next = text.find_first_not_of("0123456789", at + 1);
            if ((next == std::string::npos ? text.size() : next) - at - 1 != 3) return false;
        }
        return true;
    };
    if (commas && points) {
        // The later mark is the decimal one: 1.234,5 and 1,234.5.
        const char decimal = text.rfind(',') > text.rfind('.') ? ',' : '.';
        std::string s = without(text, decimal == ',' ? '.' : ',');
        std::replace(s.begin(), s.end(), ',', '.');
        add(s);
    } else if (commas || points) {
        const char mark = commas ? ',' : '.';
        const std::size_t count = commas ? commas : points;
        if (groupsOfThree(mark)) add(without(text, mark));
        if (count == 1) {
            std::string s = text;
            std::replace(s.begin(), s.end(), ',', '.');
            add(s);
        }
    } else if (allDigits(text)) {
        add(text);
        // 10² with its exponent read as a digit on the line: 102, 103 (a chart's decades have one
        // digit: 1030 is a thousand and thirty, not 10³⁰).
        if (text.size() == 3 && text.compare(0, 2, "10") == 0) add("1e" + text.substr(2));
    }
    return values;
}

} // namespace

std::vector<double> labelValues(std::string_view raw)
{
    const std::string text = digitsMended(normalised(raw));
    if (text.empty()) return {};
    // Powers: 10^3, 2x10^3, 1e3, 1E+03.
    if (const std::size_t caret = text.find('^'); caret != std::string::npos) {
        const std::string base = text.substr(0, caret), exponent = text.substr(caret + 1);
        const auto power = parseDecimal(exponent);
        if (!power || *power != std::floor(*power)) return {};
        const std::size_t times = base.find_first_of("xX");
        if (times != std::string::npos) {
            const auto mantissa = parseDecimal(base.substr(0, times));
            const auto ten = parseDecimal(base.substr(times + 1));
            if (!mantissa || !ten || *ten != 10) return {};
            return {*mantissa * std::pow(10.0, *power)};
        }
        const auto b = parseDecimal(base);
        if (!b || *b != 10) return {};
        return {std::pow(10.0, *power)};
    }
    if (const std::size_t e = text.find_first_of("eE"); e != std::string::npos && e > 0 && e + 1 < text.size()) {
        const auto mantissa = parseDecimal(text.substr(0, e));
        const auto power = parseDecimal(text.substr(e + 1));
        if (!mantissa || !power || *power != std::floor(*power)) return {};
        return {*mantissa * std::pow(10.0, *power)};
    }
    if (text.find_first_not_of("0123456789.,+-") != std::string::npos) return {};
    return plainValues(text);
}

namespace {

// A power of ten stands this share of a decade at most from where the axis puts a decade.
constexpr double OffDecade = 0.2;

struct Model {
    AxisScale scale;
    double offset;   // position = offset + slope * scaled(value)
    double slope;
};

double scaled(AxisScale scale, double value) { return scale == AxisScale::Logarithmic ? std::log10(value) : value; }
bool allowed(AxisScale scale, double value) { return scale == AxisScale::Linear || value > 0; }

// For each label, the candidate value that lands nearest the model's place, and how far.
struct Fit {
    std::vector<std::optional<double>> values;
    std::size_t agreeing = 0;
    double miss = 0;
};

Fit fitOf(const Model& model, const std::vector<TickLabel>& labels, const std::vector<std::vector<double>>& candidates,
          const std::vector<bool>& inferred, double reach)
{
    Fit fit;
    for (std::size_t i = 0; i < labels.size(); ++i) {
        std::optional<double> best;
        double nearest = reach;
        // A power of ten whose exponent was not read is placed only on a logarithmic axis.
        for (double v : inferred[i] && model.scale == AxisScale::Linear ? std::vector<double>{} : candidates[i]) {
            if (!allowed(model.scale, v)) continue;
            const double miss = std::abs(model.offset + model.slope * scaled(model.scale, v) - labels[i].position);
            if (miss <= nearest) {
                nearest = miss;
                best = v;
            }
        }
        fit.values.push_back(best);
        if (best) {
            ++fit.agreeing;
            fit.miss += nearest;
        }
    }
    return fit;
}

bool sharesNoLabel(const Fit& a, const Fit& b)
{
    for (std::size_t i = 0; i < a.values.size() && i < b.values.size(); ++i)
        if (a.values[i] && b.values[i]) return false;
    return true;
}

// The values a fit agrees on, lowest first.
std::vector<double> agreeingValues(const Fit& fit)
{
    std::vector<double> values;
    for (const std::optional<double>& v : fit.values)
        if (v) values.push_back(*v);
    std::sort(values.begin(), values.end());
    return values;
}

// "1 10 100"
std::string valuesText(const std::vector<double>& values)
{
    std::string text;
    for (double v : values) text += (text.empty() ? "" : " ") + pointValueText(v);
    return text;
}

bool powerOfTen(double v) { return v > 0 && std::abs(std::log10(v) - std::round(std::log10(v))) < 1e-9; }

// Whether the values agreeing on a linear axis step evenly, each a whole
// number of the smallest step from the next: tick labels stand on a grid,
// and a misread label ("23" for 20) that lands near a place by chance
// beside "0" and "5" does not ("0 5 23" is no axis's labels).
bool evenlySpaced(AxisScale scale, const Fit& fit)
{
    std::vector<double> values;
    for (const std::optional<double>& v : fit.values)
        if (v) values.push_back(*v);
    std::sort(values.begin(), values.end());
    values.erase(std::unique(values.begin(), values.end()), values.end());
    // A logarithmic axis spans a decade at least: labels within one (8, 10, 60)
    // are a linear axis's misread as fitting one by chance.
    if (scale == AxisScale::Logarithmic) return values.size() < 2 || values.back() >= LeastLogSpan * values.front();
    if (values.size() < 3) return true;
    double step = std::numeric_limits<double>::infinity();
    for (std::size_t i = 1; i < values.size(); ++i) step = std::min(step, values[i] - values[i - 1]);
    for (std::size_t i = 1; i < values.size(); ++i) {
        const double steps = (values[i] - values[i - 1]) / step;
        if (std::abs(steps - std::round(steps)) > 0.01) return false;
    }
    return true;
}

// Whether a value is one a chart labels a tick with: two significant digits
// at most (a decade's 1, 2, 5 on a logarithmic axis), within `slack` of it.
bool roundValue(double v, double slack)
{
    if (v == 0) return true;
    const double unit = std::pow(10.0, std::floor(std::log10(std::abs(v))) - 1);
    return std::abs(v - std::round(v / unit) * unit) <= slack;
}

// How many labels stand where the model puts a round value: of two models
// that equally many labels agree with, the one a misread label led astray
// puts odd values at the others (31.6 between 10 and 100).
std::size_t roundPlaces(const Model& model, const std::vector<TickLabel>& labels, const std::vector<std::vector<double>>& candidates)
{
    std::size_t count = 0;
    for (std::size_t i = 0; i < labels.size(); ++i) {
        if (candidates[i].empty()) continue;
        const double s = (labels[i].position - model.offset) / model.slope;
        const double v = model.scale == AxisScale::Logarithmic ? std::pow(10.0, s) : s;
        // Within 2 % on a logarithmic axis, within 2 pixels on a linear one.
        const double slack = model.scale == AxisScale::Logarithmic ? 0.02 * std::abs(v) : 2 * std::abs(1.0 / model.slope);
        if (roundValue(v, slack)) ++count;
    }
    return count;
}

// A power of ten whose exponent was not read ("10^?"): it may stand for any
// power of ten, which the labels read around it tell.
bool unreadPower(std::string_view text)
{
    const std::string t = digitsMended(normalised(text));
    return t.size() > 3 && t.compare(0, 3, "10^") == 0 && t.find_first_not_of('?', 3) == std::string::npos;
}

std::vector<double> everyPowerOfTen()
{
    constexpr int Widest = 15;
    std::vector<double> powers;
    for (int k = -Widest; k <= Widest; ++k) powers.push_back(std::pow(10.0, k));
    return powers;
}

// Labels print their values exactly: a step and its multiples are met to
// the last digits a double carries, not roughly.
constexpr double Exactly = 1e-9;

// Whether a step is one charts count in: 1, 2, 2.5 or 5 times a power of ten.
bool roundStep(double step)
{
    if (!(step > 0) || !std::isfinite(step)) return false;
    const double mantissa = step / std::pow(10.0, std::floor(std::log10(step)));
    return std::any_of(std::begin(RoundSteps), std::end(RoundSteps),
                       [&](double m) { return std::abs(mantissa - m) <= Exactly * m; });
}

// Two labels alone agree on any linear axis: they are taken only when their
// values go up by a round step from label to label and both are its multiples.
bool twoLabelsInStep(const ReadTick& a, const ReadTick& b, double labelSpacing)
{
    if (!(labelSpacing > 0)) return false;
    const double places = std::abs(b.position - a.position) / labelSpacing;
    const double intervals = std::max(1.0, std::round(places));
    if (std::abs(places - intervals) > 0.2) return false;
    const double step = std::abs(b.value - a.value) / intervals;
    const auto multiple = [&](double v) { return std::abs(v - std::round(v / step) * step) <= Exactly * step; };
    return roundStep(step) && multiple(a.value) && multiple(b.value);
}

// The gaps between neighbouring labels along the axis, the unread ones' places counted too.
std::vector<double> placeGaps(const std::vector<TickLabel>& labels)
{
    std::vector<double> places, gaps;
    for (const TickLabel& label : labels) places.push_back(label.position);
    std::sort(places.begin(), places.end());
    for (std::size_t i = 1; i < places.size(); ++i)
        if (places[i] - places[i - 1] > AgreePixels) gaps.push_back(places[i] - places[i - 1]);
    return gaps;
}

// The labels' spacing along the axis: the median gap.
double labelSpacing(const std::vector<TickLabel>& labels)
{
    return median(placeGaps(labels));
}

// The spacing every label stands a whole number of times from the next, read
// or not: the smallest gap between two, when every other is a whole multiple
// of it. Labels lost to the reader (not even a '?' left) make the median
// gap two steps where every other tick's label is missing ("0" and "5" read
// side by side under ticks 165 pixels apart, the others every 330).
constexpr double WholeMultiple = 0.1;

double placeSpacing(const std::vector<TickLabel>& labels)
{
    const std::vector<double> gaps = placeGaps(labels);
    if (gaps.empty()) return 0;
    const double smallest = *std::min_element(gaps.begin(), gaps.end());
    const bool whole = std::all_of(gaps.begin(), gaps.end(), [&](double g) {
        return std::abs(g / smallest - std::round(g / smallest)) <= WholeMultiple;
    });
    return whole ? smallest : labelSpacing(labels);
}

// The spacing of the tick marks (or grid lines) from one label's place to
// the other's, when ticks stand at both and evenly between: a label lost
// outright between two read leaves its tick. None (0) otherwise, and none
// over more than three steps: minor ticks between labels make a step of a
// quarter or a half, round enough to pass for a misread label's ("4" for 40).
constexpr double SameTick = 2;
constexpr std::size_t MostTicksBetween = 4;

// The ticks (sorted) from `low` to `high`, a label's reach either side, those
// nearer than SameTick to the one before (a tick and its grid line) as one.
std::vector<double> ticksBetween(const std::vector<double>& sortedTicks, double low, double high)
{
    std::vector<double> between;
    for (double t : sortedTicks)
        if (t >= low - AgreePixels && t <= high + AgreePixels && (between.empty() || t - between.back() >= SameTick))
            between.push_back(t);
    return between;
}

double tickSpacingBetween(const std::vector<double>& sortedTicks, double a, double b)
{
    const double low = std::min(a, b), high = std::max(a, b);
    const std::vector<double> between = ticksBetween(sortedTicks, low, high);
    if (between.size() < 3 || between.size() > MostTicksBetween || between.front() > low + AgreePixels || between.back() < high - AgreePixels)
        return 0;
    const double step = (between.back() - between.front()) / double(between.size() - 1);
    for (std::size_t i = 1; i < between.size(); ++i)
        if (std::abs(between[i] - between[i - 1] - step) > WholeMultiple * step) return 0;
    return step;
}

// Two decades read on a logarithmic axis agree with the labels' places when
// the steps between them (a label's place between them ends one) are equal,
// each a whole number of decades, and as long as the labels' usual spacing.
constexpr double StepSlack = 0.1;

bool twoDecadesInStep(const ReadTick& a, const ReadTick& b, const std::vector<TickLabel>& labels)
{
    const double low = std::min(a.position, b.position), high = std::max(a.position, b.position);
    std::vector<double> between;
    for (const TickLabel& label : labels)
        if (label.position > low + AgreePixels && label.position < high - AgreePixels &&
            std::none_of(between.begin(), between.end(), [&](double p) { return std::abs(p - label.position) <= AgreePixels; }))
            between.push_back(label.position);
    std::sort(between.begin(), between.end());
    const double steps = double(between.size() + 1);
    const double decades = std::abs(std::log10(b.value / a.value)) / steps;
    const double step = (high - low) / steps;
    for (std::size_t k = 0; k < between.size(); ++k)
        if (std::abs(between[k] - (low + double(k + 1) * step)) > StepSlack * step) return false;
    return decades >= 1 - StepSlack && std::abs(decades - std::round(decades)) <= StepSlack &&
           std::abs(labelSpacing(labels) - step) <= StepSlack * step;
}

// The least-squares line through the agreeing labels (position against
// value, in decades on a logarithmic axis); a label far off the line of the
// others is left out of it, one at a time while more than three remain.
constexpr double OffLinePixels = 1.5;

Model placedByAll(const AxisReading& reading)
{
    std::vector<std::pair<double, double>> points; // (scaled value, position)
    for (const ReadTick& t : reading.ticks)
        if (t.agrees) points.push_back({scaled(reading.scale, t.value), t.position});
    for (;;) {
        LineSums sums;
        for (const auto& [x, y] : points) sums.add(x, y);
        const Model model{reading.scale, sums.offset(), sums.slope()};
        const auto off = [&](const std::pair<double, double>& p) { return std::abs(model.offset + model.slope * p.first - p.second); };
        const auto worst = std::max_element(points.begin(), points.end(), [&](const auto& a, const auto& b) { return off(a) < off(b); });
        if (points.size() <= 3 || off(*worst) <= OffLinePixels) return model;
        points.erase(worst);
    }
}

// Whether the agreeing values of a linear axis step evenly by a round part
// of their least gap, and the ticks drawn along the axis say so: the ticks
// found between the lowest agreeing label and the highest (three at least;
// a scan's faint ones are missed) stand that step's spacing apart (within a
// few %), each where the labels put a multiple of the step. A scan's lost
// numbers leave such gaps ("90 40 70 10": gaps 20 and 30, step 10, ticks
// 106 pixels apart); a misread label that lands near a place by chance
// ("0 70 90" for 10 70 90) makes the step's spacing other than the ticks'.
constexpr double TickStepSlack = 0.04;
constexpr int MostParts = 5;
// Ticks found along the axis between the agreeing labels, at least: two gaps to measure.
constexpr std::size_t LeastTicksAlong = 3;

bool stepsOnTicks(const Model& model, const Fit& fit, const std::vector<TickLabel>& labels, const std::vector<double>& sortedTicks)
{
    if (model.scale != AxisScale::Linear || model.slope == 0) return false;
    std::vector<double> values = agreeingValues(fit);
    values.erase(std::unique(values.begin(), values.end()), values.end());
    if (values.size() < 3) return false;
    double least = std::numeric_limits<double>::infinity();
    for (std::size_t i = 1; i < values.size(); ++i) least = std::min(least, values[i] - values[i - 1]);
    double low = std::numeric_limits<double>::infinity(), high = -low;
    for (std::size_t i = 0; i < labels.size(); ++i)
        if (fit.values[i]) low = std::min(low, labels[i].position), high = std::max(high, labels[i].position);
    const std::vector<double> within = ticksBetween(sortedTicks, low, high);
    if (within.size() < LeastTicksAlong) return false;
    std::vector<double> gaps;
    for (std::size_t i = 1; i < within.size(); ++i) gaps.push_back(within[i] - within[i - 1]);
    const double tickSpacing = median(gaps);
    for (int parts = 2; parts <= MostParts; ++parts) {
        const double step = least / parts, pixels = std::abs(model.slope) * step;
        if (!roundStep(step) || std::abs(tickSpacing - pixels) > TickStepSlack * pixels) continue;
        const auto onGrid = [&](double v) { return std::abs(v - std::round(v / step) * step) <= Exactly * step; };
        if (!std::all_of(values.begin(), values.end(), onGrid)) continue;
        // Every tick at a step's place: where the model puts a multiple of the step.
        const double near = std::max(AgreePixels, TickStepSlack * pixels) / pixels;
        if (std::all_of(within.begin(), within.end(), [&](double t) {
                const double steps = (t - model.offset) / model.slope / step;
                return std::abs(steps - std::round(steps)) <= near;
            }))
            return true;
    }
    return false;
}

} // namespace

Checked<AxisReading> readAxis(const std::vector<TickLabel>& labels, const std::string& axis, const std::vector<double>& ticks)
{
    std::vector<std::vector<double>> candidates;
    std::vector<bool> inferred;
    std::vector<TickLabel> valued; // the labels read as a number, or as a power of ten
    for (const TickLabel& label : labels) {
        candidates.push_back(labelValues(label.text));
        inferred.push_back(candidates.back().empty() && unreadPower(label.text));
        if (inferred.back()) candidates.back() = everyPowerOfTen();
        if (!candidates.back().empty()) valued.push_back(label);
    }
    const double reach = std::max(AgreePixels, AgreeShare * labelSpacing(valued));
    std::vector<double> sortedTicks = ticks;
    std::sort(sortedTicks.begin(), sortedTicks.end());

    // Every pair of readings of two labels apart along the axis proposes a model.
    std::optional<Model> best;
    Fit bestFit;
    std::size_t bestRound = 0;
    bool bestEven = false;
    std::vector<Fit> evenFits;
    for (AxisScale scale : {AxisScale::Linear, AxisScale::Logarithmic})
        for (std::size_t i = 0; i < labels.size(); ++i)
            for (std::size_t j = i + 1; j < labels.size(); ++j)
                for (double vi : inferred[i] || inferred[j] ? std::vector<double>{} : candidates[i])
                    for (double vj : candidates[j]) {
                        if (!allowed(scale, vi) || !allowed(scale, vj) || vi == vj) continue;
                        const double span = labels[j].position - labels[i].position;
                        if (std::abs(span) <= AgreePixels) continue;
                        const double slope = span / (scaled(scale, vj) - scaled(scale, vi));
                        // Values grow to the right along x and upward along y (rows grow downward).
                        if ((axis == "y") != (slope < 0)) continue;
                        const Model model{scale, labels[i].position - slope * scaled(scale, vi), slope};
                        const Fit fit = fitOf(model, labels, candidates, inferred, reach);
                        const std::size_t round = roundPlaces(model, labels, candidates);
                        const bool even = evenlySpaced(scale, fit) || stepsOnTicks(model, fit, labels, sortedTicks);
                        if (even && fit.agreeing >= 2) evenFits.push_back(fit);
                        // Agreeing values on a grid first; then more labels agreeing; then more round
                        // values where labels stand; then a linear axis (two labels fit both); then
                        // the nearer fit.
                        const bool better =
                            !best || (even && !bestEven) ||
                            (even == bestEven &&
                             (fit.agreeing > bestFit.agreeing ||
                              (fit.agreeing == bestFit.agreeing &&
                               (round > bestRound ||
                                (round == bestRound && fit.miss < bestFit.miss - 1e-9 && scale == best->scale)))));
                        if (better) {
                            best = model;
                            bestFit = fit;
                            bestRound = round;
                            bestEven = even;
                        }
                    }
    // Labels over a narrow range (1000 to 1030) fit a logarithmic axis as well
    // as a linear one: as written, and read linear, unless that fits fewer.
    if (best && best->scale == AxisScale::Logarithmic) {
        std::optional<std::size_t> low, high;
        for (std::size_t i = 0; i < labels.size(); ++i)
            if (bestFit.values[i] && !inferred[i]) {
                if (!low || *bestFit.values[i] < *bestFit.values[*low]) low = i;
                if (!high || *bestFit.values[i] > *bestFit.values[*high]) high = i;
            }
        if (low && high && *bestFit.values[*low] < *bestFit.values[*high]) {
            const double slope = (labels[*high].position - labels[*low].position) / (*bestFit.values[*high] - *bestFit.values[*low]);
            const Model linear{AxisScale::Linear, labels[*low].position - slope * *bestFit.values[*low], slope};
            const Fit fit = fitOf(linear, labels, candidates, inferred, reach);
            if (fit.agreeing >= bestFit.agreeing && evenlySpaced(AxisScale::Linear, fit)) best = linear, bestFit = fit;
        }
    }
    AxisReading reading;
    std::size_t readAgreeing = 0, inferredAgreeing = 0;
    for (std::size_t i = 0; i < labels.size(); ++i) {
        ReadTick tick{labels[i].position, labels[i].text, labels[i].confidence, false, 0};
        if (best && bestFit.values[i]) {
            tick.agrees = true, tick.value = *bestFit.values[i];
            (inferred[i] ? inferredAgreeing : readAgreeing) += 1;
            // Its value was not read but placed: no surer than a guess.
            if (inferred[i]) tick.confidence = 0;
        }
        reading.ticks.push_back(tick);
    }
    std::string read;
    for (const TickLabel& label : labels) read += (read.empty() ? "" : " ") + label.text;
    if (read.empty()) read = "nessuno";
    if (!best || readAgreeing < 2)
        return failed<AxisReading>("asse " + axis + ": meno di due numeri concordi fra quelli letti (" + read + ")");
    // Powers of ten placed by the others need more than two to place them:
    // with one of two exponents misread, every other decade would fit as well.
    if (inferredAgreeing > 0 && readAgreeing < 3)
        return failed<AxisReading>("asse " + axis + ": esponenti letti troppo pochi (" + std::to_string(readAgreeing) +
                                   ") per le potenze di dieci (" + read + ")");
    if (!bestEven)
        return failed<AxisReading>("asse " + axis + ": i numeri concordi non vanno di un passo regolare (" + read + ")");
    // Two labels out of many agreeing by chance is no axis: most of the labels
    // there, read or not, must agree.
    if (2 * bestFit.agreeing < labels.size())
        return failed<AxisReading>("asse " + axis + ": solo " + std::to_string(bestFit.agreeing) + " dei " +
                                   std::to_string(labels.size()) + " numeri letti concordano (" + read + ")");
    // Another reading that as many labels agree with, three at least, and
    // none of the same, is another axis the column could be: "1 10 100" or
    // "7000 70000 700000" where the font's 1 looks like a 7. (Two numbers
    // alone are weighed by the tick spacing below.)
    for (const Fit& other : evenFits)
        if (other.agreeing >= std::max<std::size_t>(3, bestFit.agreeing) && sharesNoLabel(other, bestFit)) {
            std::vector<double> one = agreeingValues(bestFit), another = agreeingValues(other);
            if (another < one) std::swap(one, another);
            return failed<AxisReading>("asse " + axis + ": due letture dei numeri concordano ugualmente (" +
                                       valuesText(one) + " oppure " + valuesText(another) + ")");
        }
    reading.scale = best->scale;
    // Two decades alone fit a linear axis as well: decades with nothing between are a logarithmic one.
    std::vector<double> agreeing;
    for (const ReadTick& t : reading.ticks)
        if (t.agrees) agreeing.push_back(t.value);
    if (agreeing.size() == 2 && std::all_of(agreeing.begin(), agreeing.end(), powerOfTen) &&
        std::max(agreeing[0], agreeing[1]) / std::min(agreeing[0], agreeing[1]) >= 10)
        reading.scale = AxisScale::Logarithmic;
    if (readAgreeing == 2 && inferredAgreeing == 0 && reading.scale == AxisScale::Linear) {
        std::vector<const ReadTick*> two;
        for (const ReadTick& t : reading.ticks)
            if (t.agrees) two.push_back(&t);
        if (!twoLabelsInStep(*two[0], *two[1], placeSpacing(labels)) &&
            !twoLabelsInStep(*two[0], *two[1], tickSpacingBetween(sortedTicks, two[0]->position, two[1]->position)))
            return failed<AxisReading>("asse " + axis + ": i soli due numeri concordi (" + pointValueText(two[0]->value) +
                                       " e " + pointValueText(two[1]->value) + ") non vanno di un passo regolare (" +
                                       read + ")");
    }
    // Two numbers alone fit any two decades: a logarithmic axis read from two
    // stands only when the labels between them, read or not, step one whole
    // number of decades each ("100" read for "1000" two places before
    // "100000" makes a decade and a half a step).
    if (readAgreeing == 2 && inferredAgreeing == 0 && reading.scale == AxisScale::Logarithmic) {
        std::vector<const ReadTick*> two;
        for (const ReadTick& t : reading.ticks)
            if (t.agrees) two.push_back(&t);
        if (!twoDecadesInStep(*two[0], *two[1], labels))
            return failed<AxisReading>("asse " + axis + ": i soli due numeri concordi (" + pointValueText(two[0]->value) +
                                       " e " + pointValueText(two[1]->value) +
                                       ") non vanno d'accordo con le tacche fra loro su un asse logaritmico (" + read + ")");
        // Small raised exponents are misread now and then (10¹ read 10²): beside one
        // read that does not agree, two that do may be two misread alike.
        for (const ReadTick& t : reading.ticks)
            if (!t.agrees && t.text.find('^') != std::string::npos && !labelValues(t.text).empty())
                return failed<AxisReading>("asse " + axis + ": solo due numeri concordano (" + pointValueText(two[0]->value) +
                                           " e " + pointValueText(two[1]->value) + ") e l'esponente letto in «" + t.text +
                                           "» non concorda con loro: forse esponenti letti male (" + read + ")");
    }
    // The farthest apart agreeing labels, each placed where all the agreeing
    // labels together put its value: one label read a few pixels off its
    // tick does not shift the axis.
    reading.first = *std::min_element(reading.ticks.begin(), reading.ticks.end(), [](const ReadTick& a, const ReadTick& b) {
        return a.agrees != b.agrees ? a.agrees : a.position < b.position;
    });
    reading.second = *std::max_element(reading.ticks.begin(), reading.ticks.end(), [](const ReadTick& a, const ReadTick& b) {
        return a.agrees != b.agrees ? b.agrees : a.position < b.position;
    });
    const Model fitted = placedByAll(reading);
    // A power of ten whose exponent was not read ("10^?") still stands at a
    // decade: one that falls between two decades of the axis read (10⁰ read
    // "10" and 10² read "100" taken for one decade apart) shows it misread.
    if (fitted.scale == AxisScale::Logarithmic && fitted.slope != 0)
        for (const TickLabel& label : labels)
            if (label.text.size() >= 4 && label.text.compare(0, 2, "10") == 0 && label.text.find("^?") != std::string::npos) {
                const double decade = (label.position - fitted.offset) / fitted.slope;
                if (std::abs(decade - std::round(decade)) > OffDecade)
                    return failed<AxisReading>("asse " + axis + ": una potenza di dieci non letta («" + label.text +
                                               "») cade fra due decadi dei numeri letti (" + read + ")");
            }
    reading.first.position = fitted.offset + fitted.slope * scaled(fitted.scale, reading.first.value);
    reading.second.position = fitted.offset + fitted.slope * scaled(fitted.scale, reading.second.value);
    // The lower value first, as the references y1 and x1 are.
    if (reading.first.value > reading.second.value) std::swap(reading.first, reading.second);
    return succeeded(std::move(reading));
}

// A word this many times as tall as the numbers (boxes padded alike) holds more than a number.
constexpr double TallerThanANumber = 1.5;

bool tallerThanANumber(const ReadWord& word, double numberHeight) { return word.box.height > TallerThanANumber * numberHeight; }

std::vector<ReadWord> labelsInLine(std::vector<ReadWord> words, const std::function<double(const ReadWord&)>& edge, double reach)
{
    words.erase(std::remove_if(words.begin(), words.end(),
                               [](const ReadWord& w) {
                                   return labelValues(w.text).empty() && w.text.find_first_of("^?") == std::string::npos;
                               }),
                words.end());
    if (words.empty()) return words;
    std::vector<double> heights, edges, numberEdges;
    for (const ReadWord& w : words) {
        heights.push_back(w.box.height);
        edges.push_back(edge(w));
        // Only digits vote: tick marks read as strokes ('|' for 1) by the
        // dozen would outvote the numbers under them.
        if (!labelValues(w.text).empty())
            for (std::size_t k = digitsIn(w.text); k > 0; --k) numberEdges.push_back(edge(w));
    }
    const double height = median(heights);
    const double line = median(numberEdges.empty() ? edges : numberEdges);
    words.erase(std::remove_if(words.begin(), words.end(), [&](const ReadWord& w) { return std::abs(edge(w) - line) > reach * height; }),
                words.end());
    // An unread word far taller than the numbers read is no one number: a
    // label run into a turned axis title or a legend's sample. It says
    // nothing for or against the axis. A power of ten whose exponent was
    // lost stands as tall as the others and stays.
    std::vector<double> numberHeights;
    for (const ReadWord& w : words)
        if (!labelValues(w.text).empty()) numberHeights.push_back(w.box.height);
    if (!numberHeights.empty()) {
        const double numberHeight = median(numberHeights);
        words.erase(std::remove_if(words.begin(), words.end(),
                                   [&](const ReadWord& w) {
                                       return labelValues(w.text).empty() && w.text.compare(0, 3, "10^") != 0 &&
                                              tallerThanANumber(w, numberHeight);
                                   }),
                    words.end());
    }
    return words;
}

std::size_t digitsIn(std::string_view text)
{
    return static_cast<std::size_t>(std::count_if(text.begin(), text.end(), [](char c) { return std::isdigit(static_cast<unsigned char>(c)); }));
}

std::size_t numbersAmong(const std::vector<ReadWord>& words)
{
    const auto stroke = [](const ReadWord& w) {
        return w.text.size() == 1 && std::string_view("|Il1!").find(w.text[0]) != std::string_view::npos;
    };
    // Where strokes are most of the words, the margin holds a log axis's
    // minor tick marks, and a mark read as '?' among them is one more.
    const auto strokes = static_cast<std::size_t>(std::count_if(words.begin(), words.end(), stroke));
    const bool marks = 2 * strokes > words.size();
    return static_cast<std::size_t>(std::count_if(words.begin(), words.end(), [&](const ReadWord& w) {
        return !stroke(w) && (!marks || digitsIn(w.text) > 0);
    }));
}

constexpr double CrowdedStretch = 0.25;
constexpr double CrowdedGap = 1.5;

bool crowdedInAShortStretch(const std::vector<ReadWord>& words, bool alongX, double axisLength)
{
    if (words.size() < 2) return false;
    std::vector<double> middles, sizes;
    double from = std::numeric_limits<double>::max(), to = std::numeric_limits<double>::lowest();
    for (const ReadWord& w : words) {
        const double start = alongX ? w.box.left : w.box.top, extent = alongX ? w.box.width : w.box.height;
        // Set apart by their letters' height both ways: numbers across an x axis are wider than tall.
        middles.push_back(start + extent / 2), sizes.push_back(w.box.height);
        from = std::min(from, start), to = std::max(to, start + extent);
    }
    if (to - from >= CrowdedStretch * axisLength) return false;
    std::sort(middles.begin(), middles.end());
    const double size = median(sizes);
    for (std::size_t i = 1; i < middles.size(); ++i)
        if (middles[i] - middles[i - 1] >= CrowdedGap * size) return false;
    return true;
}

} // namespace calvero::capture
