// Every kind's figures as the user reads them, parsed back from the texts:
// in the report a number that fills its field keeps a blank after "=" or ":"
// and the printed coefficients give the fitted values over the points to 12
// digits of the largest value; the statistics' coefficients, errors and
// intervals carry the same digits (a term that contributes nothing reads 0,
// no other value does); the comparison's columns stay apart and give each
// figure to 6 significant digits with its own sign.
#include "fit/coefficientlist.h"
#include "fit/comparison.h"
#include "fit/statistics.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <regex>
#include <set>
#include <sstream>
#include <string>
#include <vector>

using namespace calvero;

namespace {

struct Point {
    double x, y, z = 0.0;
};

struct Case {
    const char* name;
    FitType kind;
    int degree;
    std::vector<Point> points;
    std::optional<double> initial, final; // the temperature-time kind's
    std::set<std::size_t> negligibleTerms; // coefficients that must read 0 (report order, from 0)
};

std::vector<Point> sampled(int n, double (*f)(double), double first, double step)
{
    std::vector<Point> points;
    for (int i = 0; i < n; ++i) {
        const double x = first + step * i;
        points.push_back({x, f(x)});
    }
    return points;
}

// A little noise that no curve of these kinds follows.
double wobble(double x) { return 1.0 + 0.004 * std::sin(3.7 * x + 1.0); }

std::vector<Case> cases()
{
    std::vector<Point> surface;
    for (double x : {1.0, 2.0, 3.0, 4.0})
        for (double y : {10.0, 20.0, 30.0, 40.0})
            surface.push_back({x, y, (5 + 0.3 * x - 0.02 * y + 0.001 * x * y) * wobble(x + y)});
    return {
        {"punteggiata", FitType::Scatter, 1, {{1, 2}, {2, 3.5}, {4, 1}}, {}, {}, {}},
        {"potenza", FitType::Power, 1, sampled(10, [](double x) { return 2.5 * std::pow(x, 0.8) * wobble(x); }, 1, 1),
         {}, {}, {}},
        // y = 0.1 at the first point: its error, -1116.6667 % (numpy), fills its field.
        {"polinomio con errore largo", FitType::Polynomial, 1,
         {{1, 0.1}, {2, 4}, {3, 6.1}, {4, 7.9}, {5, 10.1}, {6, 12}, {7, 13.9}, {8, 16.1}}, {}, {}, {}},
        // y = x² + 1: the x and x³ terms are rounding noise.
        {"polinomio con termini nulli", FitType::Polynomial, 3, sampled(8, [](double x) { return x * x + 1; }, 1, 1),
         {}, {}, {1, 3}},
        // B near -0.035 fills the 16 characters of its field.
        {"esponenziale", FitType::Exponential, 1,
         sampled(13, [](double x) { return 10 * std::exp(-0.035 * x) * wobble(x); }, 0, 1), {}, {}, {}},
        // A small negative last term fills the 20 characters of its field.
        {"polinomio fratto", FitType::RationalPolynomial, 3,
         sampled(9, [](double x) { return wobble(x) / (0.09 + 0.002 * x + 0.00005 * x * x - 0.0000011 * x * x * x); },
                 28, 4),
         {}, {}, {}},
        {"temperatura-tempo", FitType::TemperatureTime, 1,
         sampled(6, [](double t) { return (80 - 60 * std::exp(-0.5 * t)) * wobble(t); }, 1, 1), 20.0, 80.0, {}},
        {"superficie", FitType::SurfaceXY, 2, surface, {}, {}, {}},
        {"saturazione", FitType::Saturation, 1,
         sampled(10, [](double t) { return std::pow(10.0, 7.2 - 1700.0 / t) * wobble(t); }, 283.15, 10), {}, {}, {}},
        // Real coefficients of 1e-80: never 0 in the statistics.
        {"coefficienti minuscoli", FitType::Polynomial, 2,
         sampled(8, [](double x) { return 1e-80 * (x * x + 3 * x) * wobble(x); }, 1, 1), {}, {}, {}},
    };
}

Calculation calculated(const Case& c)
{
    CalculationInput in;
    in.kind = c.kind;
    in.degree = c.degree;
    in.initialTemperature = c.initial;
    in.finalTemperature = c.final;
    for (const Point& p : c.points) {
        ++in.pointCount;
        in.points.x[in.pointCount] = p.x;
        in.points.y[in.pointCount] = p.y;
        in.points.z[in.pointCount] = p.z;
    }
    const Outcome outcome = calculate(in);
    if (!outcome) ADD_FAILURE() << outcome.failure();
    return *outcome;
}

double number(const std::string& text)
{
    std::size_t used = 0;
    const double value = std::stod(text, &used);
    EXPECT_EQ(used, text.size()) << "not a number alone: " << text;
    return value;
}

// The coefficients as the report prints them, in its order.
std::vector<double> reportCoefficients(const Calculation& c)
{
    std::vector<double> printed;
    const std::regex coefficientLine(R"(^(Termine nr: +\d+  =| COEFFICIENTE [ABM]=) +(\S+)$)");
    const std::regex surfaceLine(R"(^ +\d+ +(\S+) +\(\S+\)$)"); // the term's name follows
    bool surfaceTerms = false;
    for (const std::string& line : c.report) {
        std::smatch m;
        if (line == "termine........") surfaceTerms = true;
        else if (line.rfind("...punto", 0) == 0) surfaceTerms = false;
        else if (surfaceTerms && std::regex_match(line, m, surfaceLine)) printed.push_back(number(m[1]));
        else if (std::regex_match(line, m, coefficientLine)) printed.push_back(number(m[2]));
    }
    return printed;
}

// The calculation with its coefficients replaced by the printed ones.
Calculation withCoefficients(Calculation c, const std::vector<double>& k)
{
    if (c.kind == FitType::SurfaceXY) {
        for (std::size_t i = 0; i < k.size(); ++i) c.surface[static_cast<int>(i) + 1] = k[i];
        return c;
    }
    std::visit(
        [&k](auto& curve) {
            using Curve = std::decay_t<decltype(curve)>;
            if constexpr (std::is_same_v<Curve, PolynomialCurve> || std::is_same_v<Curve, RationalCurve>) {
                for (std::size_t i = 0; i < k.size(); ++i) curve.coefficients[static_cast<int>(i) + 1] = k[i];
            } else if constexpr (std::is_same_v<Curve, TemperatureTimeCurve>) {
                curve.decayM = k[0];
            } else {
                curve.parameters = {k[0], k[1]};
            }
        },
        *c.curve);
    return c;
}

// The fitted value at a point, as the fit measured it (1/y for the rational kind).
double fittedAt(const Calculation& c, int i)
{
    if (c.kind == FitType::SurfaceXY) return evaluateSurface(c.surface, c.points.x[i], c.points.y[i], c.degree);
    const double y = evaluate(*c.curve, c.points.x[i]);
    return c.kind == FitType::RationalPolynomial ? 1.0 / y : y;
}

// A value of the polynomial's term x^j that changes no fitted value by 1e-12
// of the largest (the other kinds' cases have no such figure).
bool negligible(const Case& k, std::size_t j, double value)
{
    if (k.kind != FitType::Polynomial) return false;
    double widest = 0.0, largest = 0.0;
    for (const Point& p : k.points) {
        widest = std::max(widest, std::fabs(p.x));
        largest = std::max(largest, std::fabs(p.y));
    }
    return std::fabs(value) * std::pow(widest, static_cast<double>(j)) < 1e-12 * largest;
}

void PrintTo(const Case& c, std::ostream* out) { *out << c.name; }

class FigureTexts : public testing::TestWithParam<Case> {};

TEST_P(FigureTexts, ReportKeepsABlankAfterTheSignAndTheDigitsThatReproduceTheCurve)
{
    const Case& k = GetParam();
    const Calculation c = calculated(k);
    for (const std::string& line : c.report)
        EXPECT_FALSE(std::regex_search(line, std::regex(R"([=:][-+.0-9])"))) << "a number glued to its label: " << line;
    if (k.kind == FitType::Scatter) return;

    const std::vector<NamedCoefficient> fitted = namedCoefficients(c);
    const std::vector<double> printed = reportCoefficients(c);
    ASSERT_EQ(printed.size(), fitted.size());
    for (std::size_t j = 0; j < printed.size(); ++j) {
        const double value = fitted[j].second;
        if (k.negligibleTerms.count(j)) EXPECT_EQ(printed[j], 0.0) << fitted[j].first;
        else EXPECT_NEAR(printed[j], value, 5e-12 * std::fabs(value)) << fitted[j].first << ": 12 digits at least";
    }
    // Together the printed coefficients give every fitted value to 12 digits
    // of the largest one (one share for each coefficient's rounding).
    const Calculation reread = withCoefficients(c, printed);
    double largest = 0.0;
    for (int i = 1; i <= c.pointCount; ++i) largest = std::max(largest, std::fabs(fittedAt(c, i)));
    for (int i = 1; i <= c.pointCount; ++i)
        EXPECT_NEAR(fittedAt(reread, i), fittedAt(c, i), 1e-12 * largest * static_cast<double>(printed.size()))
            << "at x = " << c.points.x[i];
}

TEST_P(FigureTexts, StatisticsGiveCoefficientsErrorsAndIntervalsWithTheSameDigits)
{
    const Case& k = GetParam();
    const Statistics s = fitStatistics(calculated(k));
    // "  name = value   errore standard[ di X] = error   intervallo: lower ... upper"
    const std::regex line(R"(^  (.+?) = (\S+)   errore standard(?: di \S+ \S+)? = (\S+)   intervallo: (\S+) \.\.\. (\S+)$)");
    const std::vector<std::string> lines = statisticsLines(s);
    std::vector<std::vector<std::string>> parsed;
    for (const std::string& text : lines) {
        std::smatch m;
        if (std::regex_match(text, m, line)) parsed.push_back({m[2], m[3], m[4], m[5]});
    }
    ASSERT_EQ(parsed.size(), s.coefficients.size());
    for (std::size_t j = 0; j < parsed.size(); ++j) {
        const CoefficientStatistics& c = s.coefficients[j];
        const double values[4] = {c.value, *c.standardError, *c.lower, *c.upper};
        if (k.negligibleTerms.count(j)) {
            EXPECT_EQ(parsed[j][0], "0") << c.name;
        }
        for (int f = 0; f < 4; ++f) {
            const std::string& text = parsed[j][static_cast<std::size_t>(f)];
            if (negligible(k, j, values[f])) {
                EXPECT_EQ(text, "0") << c.name << " figure " << f;
                continue;
            }
            EXPECT_NE(number(text), 0.0) << c.name << ": only a term that contributes nothing reads 0";
            EXPECT_NEAR(number(text), values[f], 5e-12 * std::fabs(values[f])) << c.name << " figure " << f;
        }
    }
}

TEST_P(FigureTexts, ComparisonColumnsStayApartWithSixDigitsAndTheirSigns)
{
    const Case& k = GetParam();
    CalculationInput in = inputOf(calculated(k), k.initial, k.final);
    const std::vector<ComparisonRow> rows = compareEquations(in, DefaultTolerancePercent);
    const std::vector<std::string> lines = comparisonLines(rows, DefaultTolerancePercent);
    const auto header = std::find_if(lines.begin(), lines.end(), [](const std::string& l) { return l.rfind("nr ", 0) == 0; });
    ASSERT_NE(header, lines.end());
    ASSERT_EQ(static_cast<std::size_t>(lines.end() - header - 1), rows.size());
    for (std::size_t r = 0; r < rows.size(); ++r) {
        const std::string& text = *(header + 1 + static_cast<std::ptrdiff_t>(r));
        if (!rows[r].fitted() || rows[r].statistics->dof == 0) continue;
        const Statistics& s = *rows[r].statistics;
        std::istringstream words(text);
        std::vector<std::string> tokens;
        for (std::string w; words >> w;) tokens.push_back(w);
        // nr, the kind's words, the degree, the coefficients, then the figures.
        std::size_t at = 1;
        std::istringstream kindWords(kindLabel(rows[r].kind));
        for (std::string w; kindWords >> w; ++at) ASSERT_EQ(tokens.at(at), w) << text;
        if (takesDegree(rows[r].kind)) {
            EXPECT_EQ(tokens.at(at++), std::to_string(rows[r].degree)) << text;
        }
        EXPECT_EQ(tokens.at(at++), std::to_string(rows[r].coefficientCount)) << text;
        const std::optional<double> figures[3] = {s.standardError, s.adjustedRSquared, s.largestPercentError};
        for (const std::optional<double>& f : figures) {
            const std::string& token = tokens.at(at++);
            if (!f) {
                EXPECT_EQ(token, "-") << text;
                continue;
            }
            EXPECT_NEAR(number(token), *f, 5e-6 * std::fabs(*f)) << text;
            EXPECT_EQ(std::signbit(number(token)), std::signbit(*f)) << text;
        }
        const std::string& aicc = tokens.at(at);
        if (s.aicc) EXPECT_NEAR(number(aicc), *s.aicc, 5e-6 * std::fabs(*s.aicc)) << text;
        else EXPECT_EQ(aicc, s.exactFit ? "curva" : "-") << text;
    }
}

INSTANTIATE_TEST_SUITE_P(EveryKind, FigureTexts, testing::ValuesIn(cases()), [](const testing::TestParamInfo<Case>& info) {
    std::string name = info.param.name;
    std::replace_if(name.begin(), name.end(), [](char ch) { return !std::isalnum(static_cast<unsigned char>(ch)); }, '_');
    return name;
});

} // namespace
