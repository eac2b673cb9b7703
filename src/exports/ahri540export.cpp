#include "exports/ahri540export.h"

#include "common/numtext.h"
#include "fit/surface.h"
#include "exports/exportenvelope.h"
#include "exports/exportequation.h"
#include "exports/exportnames.h"

#include <boost/multiprecision/cpp_bin_float.hpp>
#include <boost/multiprecision/cpp_int.hpp>

#include <cmath>

namespace calvero {

namespace {

// C1..C10 as powers of S (x) and D (y).
constexpr std::array<Monomial, 10> StandardOrder = {{{0, 0}, {1, 0}, {0, 1}, {2, 0}, {1, 1},
                                                     {0, 2}, {3, 0}, {2, 1}, {1, 2}, {0, 3}}};

const char* unitText(TemperatureUnit unit) { return unit == TemperatureUnit::Celsius ? "°C" : "°F"; }

// The standard's polynomial written out as the standard gives it, apart from
// the term map above, so that the check row tests the map.
double standardPolynomial(const std::array<double, 10>& C, double S, double D)
{
    return C[0] + C[1] * S + C[2] * D + C[3] * S * S + C[4] * S * D + C[5] * D * D + C[6] * S * S * S +
           C[7] * D * S * S + C[8] * S * D * D + C[9] * D * D * D;
}

using Rational = boost::multiprecision::cpp_rational;
using boost::multiprecision::cpp_int;

Rational exactly(double value)
{
    int exponent = 0;
    const double fraction = std::frexp(value, &exponent);
    const Rational whole(cpp_int(static_cast<long long>(std::ldexp(fraction, 53))));
    const int shift = exponent - 53;
    return shift >= 0 ? whole * Rational(cpp_int(1) << shift) : whole / Rational(cpp_int(1) << -shift);
}

// The rational rounded to the nearest double (through 400 bits, far more than
// the rounding needs).
double rounded(const Rational& value)
{
    using Long = boost::multiprecision::number<boost::multiprecision::cpp_bin_float<400, boost::multiprecision::digit_base_2>>;
    return static_cast<double>(Long(numerator(value)) / Long(denominator(value)));
}

struct IpUnits {
    Rational factor;     // the value in IP units per unit typed
    const char* name;    // the IP unit
    const char* typed;   // what the factor is, in words
};

// 1 Btu (IT) = 1055.05585262 J and 1 lb = 0.45359237 kg, both exact by definition.
IpUnits ipUnits(const AhriIp& ip)
{
    const Rational btuPerWattHour = Rational(360000000000LL) / Rational(105505585262LL);
    const Rational poundsPerKilogram = Rational(100000000LL) / Rational(45359237LL);
    switch (ip.quantity) {
    case AhriQuantity::Capacity:
        return ip.from == "kW" ? IpUnits{btuPerWattHour * 1000, "Btu/h", "1 kW = 3600000/1055.05585262 Btu/h (Btu IT)"}
                               : IpUnits{btuPerWattHour, "Btu/h", "1 W = 3600/1055.05585262 Btu/h (Btu IT)"};
    case AhriQuantity::Power:
        return ip.from == "kW" ? IpUnits{Rational(1000), "W", "1 kW = 1000 W"} : IpUnits{Rational(1), "W", "in W come i punti"};
    case AhriQuantity::MassFlow:
        return ip.from == "kg/h" ? IpUnits{poundsPerKilogram, "lb/h", "1 kg/h = 1/0.45359237 lb/h"}
                                 : IpUnits{poundsPerKilogram * 3600, "lb/h", "1 kg/s = 3600/0.45359237 lb/h"};
    }
    return {Rational(1), "", ""};
}

const char* quantityWord(AhriQuantity quantity)
{
    switch (quantity) {
    case AhriQuantity::Capacity: return "capacita'";
    case AhriQuantity::Power: return "potenza";
    case AhriQuantity::MassFlow: return "portata in massa";
    }
    return "";
}

Rational binomial(int n, int k) { return k == 0 || k == n ? Rational(1) : binomial(n - 1, k - 1) + binomial(n - 1, k); }

Rational power(const Rational& base, int n)
{
    Rational result(1);
    for (int k = 0; k < n; ++k) result *= base;
    return result;
}

std::string temperatureLine(TemperatureUnit unit, const std::optional<AhriIp>& ip)
{
    if (!ip)
        return std::string("# temperature in ") + unitText(unit) +
               ", le unità dei punti: nessuna conversione (AHRI 540 usa °F, EN 12900 °C)\n";
    const IpUnits units = ipUnits(*ip);
    const std::string temperatures = unit == TemperatureUnit::Celsius
                                         ? "S e D in °F, dai °C dei punti (°C = (°F - 32) / 1.8)"
                                         : "S e D in °F come i punti";
    return "# unità IP di AHRI 540: " + temperatures + "; X " + quantityWord(ip->quantity) + " in " + units.name +
           ", dai " + ip->from + " dei punti (" + units.typed + "); coefficienti convertiti esattamente, arrotondati una volta\n";
}

Checked<std::string> rowText(const Calculation& c, const std::string& name, TemperatureUnit unit,
                             const std::optional<AhriIp>& ip)
{
    const ExportEquation e = *exportEquation(c);
    std::array<double, 10> C{};
    for (std::size_t k = 0; k < C.size(); ++k) C[k] = e.coefficientOf(StandardOrder[k].xPower, StandardOrder[k].yPower);
    if (ip) C = ipCoefficients(C, unit, *ip);
    const bool toFahrenheit = ip && unit == TemperatureUnit::Celsius;
    const std::string label = objectName(name);
    std::string text = label + ";" + unitText(toFahrenheit ? TemperatureUnit::Fahrenheit : unit);
    for (double value : C) text += ";" + shortestText(value);
    text += "\n";
    for (const std::string& line : fitCommentLines(c)) text += "# " + label + ": " + line + "\n";
    text += "# " + label + ": verifica (S; D; X dai coefficienti C1..C10; X adattato)" +
            (ip ? std::string(", in unità IP") : std::string()) + "\n";
    const int n = c.pointCount;
    const double factor = ip ? rounded(ipUnits(*ip).factor) : 1.0;
    for (int i : {1, (n + 1) / 2, n}) {
        double S = c.points.x[i], D = c.points.y[i];
        const std::optional<double> fitted = surfaceValue(c.surface, S, D, c.degree);
        if (!fitted)
            return failed<std::string>(Refusal{RefusalCode::NoValueInRange,
                                               {"il polinomio non ha un valore calcolabile nel punto " + shortestText(S) +
                                                "; " + shortestText(D)}});
        if (toFahrenheit) {
            S = 1.8 * S + 32.0;
            D = 1.8 * D + 32.0;
        }
        text += "# " + label + ": " + shortestText(S) + "; " + shortestText(D) + "; " +
                shortestText(standardPolynomial(C, S, D)) + "; " + shortestText(*fitted * factor) + "\n";
    }
    return succeeded(std::move(text));
}

} // namespace

std::optional<AhriIp> ahriIpNamed(std::string_view text)
{
    static const std::pair<std::string_view, AhriIp> Names[] = {
        {"capacity:W", {AhriQuantity::Capacity, "W"}},      {"capacity:kW", {AhriQuantity::Capacity, "kW"}},
        {"power:W", {AhriQuantity::Power, "W"}},            {"power:kW", {AhriQuantity::Power, "kW"}},
        {"massflow:kg/s", {AhriQuantity::MassFlow, "kg/s"}}, {"massflow:kg/h", {AhriQuantity::MassFlow, "kg/h"}}};
    for (const auto& [name, ip] : Names)
        if (name == text) return ip;
    return std::nullopt;
}

std::array<double, 10> ipCoefficients(const std::array<double, 10>& coefficients, TemperatureUnit unit, const AhriIp& ip)
{
    // °C = a °F + b; each term c S^p D^q expanded by the binomial theorem.
    const bool convert = unit == TemperatureUnit::Celsius;
    const Rational a = convert ? Rational(5, 9) : Rational(1), b = convert ? Rational(-160, 9) : Rational(0);
    std::array<Rational, 10> sum{};
    const auto slot = [](int p, int q) {
        for (std::size_t k = 0; k < StandardOrder.size(); ++k)
            if (StandardOrder[k].xPower == p && StandardOrder[k].yPower == q) return k;
        return StandardOrder.size();
    };
    for (std::size_t k = 0; k < coefficients.size(); ++k) {
        const int p = StandardOrder[k].xPower, q = StandardOrder[k].yPower;
        const Rational c = exactly(coefficients[k]);
        for (int i = 0; i <= p; ++i)
            for (int j = 0; j <= q; ++j)
                sum[slot(i, j)] += c * binomial(p, i) * power(a, i) * power(b, p - i) * binomial(q, j) * power(a, j) *
                                   power(b, q - j);
    }
    const Rational factor = ipUnits(ip).factor;
    std::array<double, 10> converted{};
    for (std::size_t k = 0; k < converted.size(); ++k) converted[k] = rounded(sum[k] * factor);
    return converted;
}

std::string ahri540Head(TemperatureUnit unit, const std::optional<AhriIp>& ip)
{
    return "# CALVERO1: coefficienti di compressore AHRI 540 / EN 12900\n"
           "# X = C1 + C2*S + C3*D + C4*S^2 + C5*S*D + C6*D^2 + C7*S^3 + C8*D*S^2 + C9*S*D^2 + C10*D^3\n"
           "# S = x: temperatura di rugiada all'aspirazione (evaporazione); "
           "D = y: temperatura di rugiada allo scarico (condensazione)\n" +
           temperatureLine(unit, ip) + "nome;unita;C1;C2;C3;C4;C5;C6;C7;C8;C9;C10\n";
}

Checked<std::string> ahri540Coefficients(const Calculation& c, const std::string& name, TemperatureUnit unit,
                                         const std::optional<AhriIp>& ip)
{
    if (c.kind != FitType::SurfaceXY || c.degree != 3)
        return failed<std::string>(Refusal{RefusalCode::NoExport,
                                           {"i coefficienti AHRI 540 / EN 12900 vengono dal polinomio Z=F(x,y) di grado 3 "
                                            "(x la temperatura di aspirazione, y quella di scarico), non da " +
                                            equationTitle(c)}});
    return rowText(c, name, unit, ip);
}

} // namespace calvero
