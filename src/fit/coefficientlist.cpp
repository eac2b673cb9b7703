#include "fit/coefficientlist.h"

#include "fit/surface.h"

#include <type_traits>
#include <variant>

namespace calvero {

std::vector<NamedCoefficient> namedCoefficients(const Calculation& c)
{
    std::vector<NamedCoefficient> list;
    if (c.kind == FitType::SurfaceXY) {
        for (int k = 1; k <= surfaceTermCount(c.degree); ++k) list.emplace_back(surfaceTermName(k), c.surface[k]);
        return list;
    }
    if (!c.curve) return list;
    std::visit(
        [&](const auto& curve) {
            using Curve = std::decay_t<decltype(curve)>;
            if constexpr (std::is_same_v<Curve, PolynomialCurve> || std::is_same_v<Curve, RationalCurve>) {
                for (int k = 1; k <= curve.degree + 1; ++k)
                    list.emplace_back("termine " + std::to_string(k), curve.coefficients[k]);
            } else if constexpr (std::is_same_v<Curve, TemperatureTimeCurve>) {
                list.emplace_back("M", curve.decayM);
            } else {
                list.emplace_back("A", curve.parameters.a);
                list.emplace_back("B", curve.parameters.b);
            }
        },
        *c.curve);
    return list;
}

} // namespace calvero
