#include "exports/ahri540export.h"

#include "common/numtext.h"
#include "fit/surface.h"
#include "exports/exportenvelope.h"
#include "exports/exportequation.h"
#include "exports/exportnames.h"

#include <array>

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

Checked<std::string> rowText(const Calculation& c, const std::string& name, TemperatureUnit unit)
{
    const ExportEquation e = *exportEquation(c);
    std::array<double, 10> C{};
    for (std::size_t k = 0; k < C.size(); ++k) C[k] = e.coefficientOf(StandardOrder[k].xPower, StandardOrder[k].yPower);
    const std::string label = objectName(name);
    std::string text = label + ";" + unitText(unit);
    for (double value : C) text += ";" + shortestText(value);
    text += "\n";
    for (const std::string& line : fitCommentLines(c)) text += "# " + label + ": " + line + "\n";
    text += "# " + label + ": verifica (S; D; X dai coefficienti C1..C10; X adattato)\n";
    const int n = c.pointCount;
    for (int i : {1, (n + 1) / 2, n}) {
        const double S = c.points.x[i], D = c.points.y[i];
        const std::optional<double> fitted = surfaceValue(c.surface, S, D, c.degree);
        if (!fitted)
            return failed<std::string>(Refusal{RefusalCode::NoValueInRange,
                                               {"il polinomio non ha un valore calcolabile nel punto " + shortestText(S) +
                                                "; " + shortestText(D)}});
        text += "# " + label + ": " + shortestText(S) + "; " + shortestText(D) + "; " +
                shortestText(standardPolynomial(C, S, D)) + "; " + shortestText(*fitted) + "\n";
    }
    return succeeded(std::move(text));
}

} // namespace

std::string ahri540Head(TemperatureUnit unit)
{
    const std::string units = unitText(unit);
    return "# CALVERO1: coefficienti di compressore AHRI 540 / EN 12900\n"
           "# X = C1 + C2*S + C3*D + C4*S^2 + C5*S*D + C6*D^2 + C7*S^3 + C8*D*S^2 + C9*S*D^2 + C10*D^3\n"
           "# S = x: temperatura di rugiada all'aspirazione (evaporazione); "
           "D = y: temperatura di rugiada allo scarico (condensazione)\n"
           "# temperature in " + units + ", le unità dei punti: nessuna conversione (AHRI 540 usa °F, EN 12900 °C)\n"
           "nome;unita;C1;C2;C3;C4;C5;C6;C7;C8;C9;C10\n";
}

Checked<std::string> ahri540Coefficients(const Calculation& c, const std::string& name, TemperatureUnit unit)
{
    if (c.kind != FitType::SurfaceXY || c.degree != 3)
        return failed<std::string>(Refusal{RefusalCode::NoExport,
                                           {"i coefficienti AHRI 540 / EN 12900 vengono dal polinomio Z=F(x,y) di grado 3 "
                                            "(x la temperatura di aspirazione, y quella di scarico), non da " +
                                            equationTitle(c)}});
    return rowText(c, name, unit);
}

} // namespace calvero
