#include "fit/workingset.h"


namespace calvero {

std::string kindName(FitType kind)
{
    switch (kind) {
    case FitType::Scatter: return "PUNTEGGIATA ";
    case FitType::Power: return "CURVA DI POTENZA      ";
    case FitType::Polynomial: return "POLINOMIO DI GRADO N  ";
    case FitType::Exponential: return "ESPONENZIALE   ";
    case FitType::RationalPolynomial: return "POLINOMIO FRATTO";
    case FitType::TemperatureTime: return "Temperatura-tempo";
    case FitType::SurfaceXY: return "Z=F(x,y)";
    case FitType::Saturation: return "curva saturazione";
    }
    return "";
}

std::string kindCaption(FitType kind)
{
    switch (kind) {
    case FitType::Scatter: return "PUNTEGGIATA ";
    case FitType::Power: return "POTENZA  ";
    case FitType::Polynomial: return "POLINOMIO";
    case FitType::Exponential: return "ESPONENZIALE";
    case FitType::RationalPolynomial: return "POLINOMIO FRATTO";
    case FitType::TemperatureTime: return "CURVA temperatura-tempo ";
    case FitType::SurfaceXY: return "polinomio Z=F(x,y)";
    case FitType::Saturation: return "curva saturazione";
    }
    return "";
}

std::string kindLabel(FitType kind)
{
    std::string label = kindCaption(kind);
    while (!label.empty() && label.back() == ' ') label.pop_back();
    return label;
}

namespace {

template <typename Better>
double extreme(const PointArray& values, int n, Better better)
{
    double result = values[1];
    for (int i = 2; i <= n; ++i)
        if (better(values[i], result)) result = values[i];
    return result;
}

bool greater(double a, double b) { return a > b; }
bool less(double a, double b) { return a < b; }

} // namespace

int countStoredPoints(PointSet& points)
{
    return countLoadedPoints(points, [](int) {});
}

double maxX(const PointSet& p) { return extreme(p.x, p.foundCount, greater); }
double minX(const PointSet& p) { return extreme(p.x, p.foundCount, less); }
double maxY(const PointSet& p) { return extreme(p.y, p.foundCount, greater); }
double minY(const PointSet& p) { return extreme(p.y, p.foundCount, less); }

} // namespace calvero
