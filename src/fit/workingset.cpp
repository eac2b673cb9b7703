#include "fit/workingset.h"

#include "common/numtext.h"

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

// The value of one grid cell: empty or blank reads as 0, a non-number as 0
// and, when it is judged, is reported.
double cellValue(const PointGrid& grid, int row, int column, std::optional<InvalidCell>& invalid, bool judged = true)
{
    const std::string& raw = grid.cell(row, column);
    const std::string text = commaToPoint(std::string_view(raw).substr(0, 130));
    if (text.find_first_not_of(" \t") == std::string::npos) return 0.0;
    if (auto value = parseDecimal(text)) return *value;
    if (judged && !invalid) invalid = InvalidCell{row, column, raw};
    return 0.0;
}

// The number of points before the first index whose x and y are both 0
// (200 when there is none), stored in both counts. loadRow, when given,
// fills each row from the grid just before it is examined.
template <typename LoadRow>
int countUpToTerminator(PointSet& p, LoadRow loadRow)
{
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

PointCount countPoints(const PointGrid& grid, PointSet& p, FitType kind)
{
    PointCount counted;
    // Only the surface reads z, and never on the row that ends the data.
    const bool surface = kind == FitType::SurfaceXY;
    counted.points = countUpToTerminator(p, [&](int r) {
        p.x[r] = cellValue(grid, r, 1, counted.invalidCell);
        p.y[r] = cellValue(grid, r, 2, counted.invalidCell);
        const bool endsData = p.x[r] == 0.0 && p.y[r] == 0.0;
        p.z[r] = cellValue(grid, r, 3, counted.invalidCell, surface && !endsData);
    });
    return counted;
}

int countStoredPoints(PointSet& points)
{
    return countUpToTerminator(points, [](int) {});
}

double maxX(const PointSet& p) { return extreme(p.x, p.foundCount, greater); }
double minX(const PointSet& p) { return extreme(p.x, p.foundCount, less); }
double maxY(const PointSet& p) { return extreme(p.y, p.foundCount, greater); }
double minY(const PointSet& p) { return extreme(p.y, p.foundCount, less); }

} // namespace calvero
