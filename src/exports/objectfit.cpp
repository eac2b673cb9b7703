#include "exports/objectfit.h"

#include "exports/nonlinearobjectfit.h"
#include "fit/fault.h"

#include <cmath>

namespace calvero {

namespace {

Refusal refusal(RefusalCode code, std::string sentence) { return Refusal{code, {std::move(sentence)}}; }

std::string typeOf(const CurveObject& object) { return std::string(object.type); }

Checked<ObjectFit> linearFit(const CurveObject& object, ObjectPoints points)
{
    std::vector<double> second = points.y;
    if (object.form == ObjectForm::PressureRise) {
        for (std::size_t i = 0; i < second.size(); ++i) {
            if (!(second[i] >= 0.0))
                return failed<ObjectFit>(refusal(
                    RefusalCode::NoExport, "il punto " + std::to_string(i + 1) +
                                               " ha una pressione Psm negativa: " + typeOf(object) +
                                               " ne prende la radice quadrata"));
            second[i] = std::sqrt(second[i]);
        }
    }
    ObjectFit fit;
    fit.object = &object;
    try {
        fit.coefficients = fitLeastSquares(points.x, second, points.v, object.terms);
    } catch (const ArithmeticFault&) {
        return failed<ObjectFit>(refusal(RefusalCode::NoExport, "i punti non determinano tutti i coefficienti di " +
                                                                    typeOf(object) +
                                                                    ": servono più valori diversi di x e di y"));
    }
    fit.points = std::move(points);
    return succeeded(std::move(fit));
}

Checked<ObjectFit> nonlinearFit(const CurveObject& object, ObjectPoints points)
{
    Checked<NonlinearObjectFit> solved = fitNonlinearObject(object, points.x, points.v);
    if (!solved) return failed<ObjectFit>(solved.refusal);
    ObjectFit fit;
    fit.object = &object;
    fit.coefficients = std::move(solved->coefficients);
    fit.cautions = std::move(solved->cautions);
    fit.points = std::move(points);
    return succeeded(std::move(fit));
}

} // namespace

ObjectPoints objectPoints(const PointSet& set, int count, bool surface)
{
    ObjectPoints points;
    for (int i = 1; i <= count; ++i) {
        points.x.push_back(set.x[i]);
        if (surface) points.y.push_back(set.y[i]);
        points.v.push_back(surface ? set.z[i] : set.y[i]);
    }
    return points;
}

ObjectPoints objectPoints(const Calculation& c)
{
    return objectPoints(c.points, c.pointCount, c.kind == FitType::SurfaceXY);
}

Checked<ObjectFit> fitCurveObject(const CurveObject& object, ObjectPoints points)
{
    if (points.twoInputs() != (object.inputs == 2))
        return failed<ObjectFit>(refusal(RefusalCode::ObjectInputs,
                                         object.inputs == 2 ? typeOf(object) + " ha due ingressi: servono punti x;y;z"
                                                            : typeOf(object) + " ha un solo ingresso: servono punti x;y"));
    if (points.size() < object.coefficientCount())
        return failed<ObjectFit>(refusal(RefusalCode::NoExport,
                                         "numero punti insufficiente: " + typeOf(object) + " ha " +
                                             std::to_string(object.coefficientCount()) + " coefficienti, i punti sono " +
                                             std::to_string(points.size())));
    Checked<ObjectFit> fit = object.form == ObjectForm::Nonlinear ? nonlinearFit(object, std::move(points))
                                                                  : linearFit(object, std::move(points));
    if (!fit) return fit;
    long double sse = 0.0L;
    for (std::size_t i = 0; i < fit->points.size(); ++i) {
        const std::optional<double> value = curveObjectValue(
            object, fit->coefficients, fit->points.x[i], fit->points.twoInputs() ? fit->points.y[i] : 0.0);
        if (!value)
            return failed<ObjectFit>(refusal(RefusalCode::NoValueInRange, typeOf(object) +
                                                                              " non ha un valore calcolabile nel punto " +
                                                                              std::to_string(i + 1)));
        fit->fitted.push_back(*value);
        const long double error = static_cast<long double>(fit->points.v[i]) - *value;
        sse += error * error;
    }
    fit->sse = static_cast<double>(sse);
    return fit;
}

} // namespace calvero
