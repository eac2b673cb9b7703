#include "fit/workingset.h"

#include "fit/frontend.h"
#include "fit/numtext.h"
#include "fit/session.h"

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

namespace {

// The value of one grid cell: empty or blank reads as 0, a non-number as 0
// and, when it is judged, is reported.
double cellValue(int row, int column, std::optional<InvalidCell>& invalid, bool judged = true)
{
    const std::string& raw = session().grid.cell(row, column);
    const std::string text = commaToPoint(std::string_view(raw).substr(0, 130));
    if (text.find_first_not_of(" \t") == std::string::npos) return 0.0;
    if (auto value = parseDecimal(text)) return *value;
    if (judged && !invalid) invalid = InvalidCell{row, column, raw};
    return 0.0;
}

} // namespace

namespace {

// The number of points before the first index whose x and y are both 0
// (200 when there is none), stored in both counts. loadRow, when given,
// fills each row from the grid just before it is examined.
template <typename LoadRow>
int countUpToTerminator(LoadRow loadRow)
{
    PointSet& p = session().points;
    int result = MaxPoints;
    for (int r = 1; r <= MaxPoints; ++r) {
        loadRow(r);
        if (p.x[r] == 0.0 && p.y[r] == 0.0) {
            result = r - 1;
            break;
        }
    }
    p.count = static_cast<std::uint16_t>(result);
    p.foundCount = static_cast<std::uint8_t>(result);
    return result;
}

} // namespace

PointCount countPoints()
{
    PointSet& p = session().points;
    PointCount counted;
    // Only the surface reads z, and never on the row that ends the data.
    const bool surface = session().fit.kind == FitType::SurfaceXY;
    counted.points = countUpToTerminator([&p, &counted, surface](int r) {
        p.x[r] = cellValue(r, 1, counted.invalidCell);
        p.y[r] = cellValue(r, 2, counted.invalidCell);
        const bool endsData = p.x[r] == 0.0 && p.y[r] == 0.0;
        p.z[r] = cellValue(r, 3, counted.invalidCell, surface && !endsData);
    });
    return counted;
}

int countStoredPoints()
{
    return countUpToTerminator([](int) {});
}

void clearDataSet()
{
    Session& s = session();
    s.points.x.fill(0.0);
    s.points.y.fill(0.0);
    s.points.z.fill(0.0);
    s.result.coefficients.fill(0.0);
    s.grid.clear();
    mainInputs().setInitialTemperatureText("");
    mainInputs().setFinalTemperatureText("");
}

namespace {

template <typename Better>
double extreme(const PointArray& values, Better better)
{
    const int n = session().points.foundCount;
    double result = values[1];
    for (int i = 2; i <= n; ++i)
        if (better(values[i], result)) result = values[i];
    return result;
}

} // namespace

double maxX() { return extreme(session().points.x, [](double a, double b) { return a > b; }); }
double minX() { return extreme(session().points.x, [](double a, double b) { return a < b; }); }
double maxY() { return extreme(session().points.y, [](double a, double b) { return a > b; }); }
double minY() { return extreme(session().points.y, [](double a, double b) { return a < b; }); }

} // namespace calvero
