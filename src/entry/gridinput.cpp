#include "entry/gridinput.h"

#include "common/numtext.h"
#include "fit/workingset.h"

namespace calvero {

namespace {

constexpr std::size_t ReadCharacters = 130;

// The value of one grid cell: empty or blank reads as 0, a non-number as 0
// and, when it is judged, is reported. A cell is read from its first 130
// characters, unless the whole of it is a number: the grid's own text of a
// point far from 1 (1e200, 1e-150) is longer than that, and cutting it would
// change the number the grid shows.
double cellValue(const PointGrid& grid, int row, int column, std::optional<InvalidCell>& invalid, bool judged = true)
{
    const std::string& raw = grid.cell(row, column);
    if (raw.size() > ReadCharacters) {
        if (auto whole = parseDecimal(commaToPoint(raw))) return *whole;
    }
    const std::string text = commaToPoint(std::string_view(raw).substr(0, ReadCharacters));
    if (text.find_first_not_of(" \t") == std::string::npos) return 0.0;
    if (auto value = parseDecimal(text)) return *value;
    if (judged && !invalid) invalid = InvalidCell{row, column, raw};
    return 0.0;
}

// A blank field is no temperature; so is one that is not a number, which
// only the temperature-time kind refuses.
std::optional<double> typedTemperature(const std::string& text)
{
    if (text.find_first_not_of(' ') == std::string::npos) return std::nullopt;
    return temperatureValue(text);
}

} // namespace

PointCount countPoints(const PointGrid& grid, PointSet& p, FitType kind)
{
    PointCount counted;
    // Only the surface reads z, and never on the row that ends the data.
    const bool surface = kind == FitType::SurfaceXY;
    counted.points = countLoadedPoints(p, [&](int r) {
        p.x[r] = cellValue(grid, r, 1, counted.invalidCell);
        p.y[r] = cellValue(grid, r, 2, counted.invalidCell);
        const bool endsData = p.x[r] == 0.0 && p.y[r] == 0.0;
        p.z[r] = cellValue(grid, r, 3, counted.invalidCell, surface && !endsData);
    }, grid.rows());
    return counted;
}

std::string invalidCellMessage(const InvalidCell& cell)
{
    const char column = "XYZ"[cell.column - 1];
    return "valore non numerico alla riga " + std::to_string(cell.row) + ", colonna " + column + ": " + cell.text;
}

std::optional<double> temperatureValue(std::string_view text)
{
    const std::string number = trimRight(commaToPoint(text));
    if (number.find_first_not_of(' ') == std::string::npos) return 0.0;
    return parseDecimal(number);
}

Checked<CalculationInput> withTypedTemperatures(CalculationInput input, const std::string& initialTemperature,
                                                const std::string& finalTemperature)
{
    input.initialTemperature = typedTemperature(initialTemperature);
    input.finalTemperature = typedTemperature(finalTemperature);
    const PointSet& p = input.points;
    const bool reachesTemperatures = input.kind == FitType::TemperatureTime && input.pointCount >= 2 &&
                                     p.x[1] != 0.0 && p.y[1] != 0.0;
    if (reachesTemperatures) {
        if (!temperatureValue(initialTemperature))
            return failed<CalculationInput>("temperatura non valida: " + initialTemperature);
        if (!temperatureValue(finalTemperature))
            return failed<CalculationInput>("temperatura non valida: " + finalTemperature);
    }
    return succeeded(std::move(input));
}

Checked<CalculationInput> readCalculationInput(const PointGrid& grid, PointSet& points, const TypedChoices& choices)
{
    const PointCount counted = countPoints(grid, points, choices.kind);
    if (counted.invalidCell) return failed<CalculationInput>(invalidCellMessage(*counted.invalidCell));
    CalculationInput input;
    input.points = points;
    input.pointCount = counted.points;
    input.kind = choices.kind;
    input.degree = choices.degree;
    return withTypedTemperatures(std::move(input), choices.initialTemperature, choices.finalTemperature);
}

} // namespace calvero
