#pragma once
// A copy of everything a reader could change in the document and the main
// window's inputs, to show that a refused file left the user's data as it
// was; and a distinctive data set to start such a check from. Shared by the
// bad-input tests and the fuzz targets.
#include "app/document.h"
#include "app/frontend.h"
#include "fit/dataset.h"

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace calvero::testing {

struct SessionSnapshot {
    PointArray x, y, z;
    std::uint16_t count = 0;
    std::uint8_t foundCount = 0;
    FitType kind{};
    int degree = 0;
    DataSetCoefficients coefficients;
    PointGrid grid;
    std::vector<std::string> reportLines;
    std::string currentDataSetName;
    int degreeValue = 0;
    int kindItemIndex = 0;
    std::string initialTemperatureText;
    std::string finalTemperatureText;

    bool operator==(const SessionSnapshot&) const = default;

    static SessionSnapshot take(const Document& d, const MainWindowInputs& inputs)
    {
        SessionSnapshot shot;
        shot.x = d.points.x;
        shot.y = d.points.y;
        shot.z = d.points.z;
        shot.count = d.points.count;
        shot.foundCount = d.points.foundCount;
        shot.kind = d.kind;
        shot.degree = d.degree;
        shot.coefficients = d.coefficients;
        shot.grid = d.grid;
        if (d.lastCalculation) shot.reportLines = d.lastCalculation->report;
        shot.currentDataSetName = d.currentDataSetName;
        shot.degreeValue = inputs.degreeValue();
        shot.kindItemIndex = inputs.kindItemIndex();
        shot.initialTemperatureText = inputs.initialTemperatureText();
        shot.finalTemperatureText = inputs.finalTemperatureText();
        return shot;
    }

    // The names of the parts that differ, for a readable failure.
    std::string differencesFrom(const SessionSnapshot& other) const
    {
        std::string names;
        auto note = [&names](bool same, const char* name) {
            if (!same) names += std::string(names.empty() ? "" : ", ") + name;
        };
        note(x == other.x && y == other.y && z == other.z, "points");
        note(count == other.count && foundCount == other.foundCount, "point count");
        note(kind == other.kind && degree == other.degree, "kind and degree");
        note(coefficients == other.coefficients, "kept coefficients");
        note(grid == other.grid, "point grid");
        note(reportLines == other.reportLines, "report");
        note(currentDataSetName == other.currentDataSetName, "current data set name");
        note(degreeValue == other.degreeValue && kindItemIndex == other.kindItemIndex &&
                 initialTemperatureText == other.initialTemperatureText &&
                 finalTemperatureText == other.finalTemperatureText,
             "main window inputs");
        return names;
    }
};

// A data set of five points of kind POTENZA, degree 3, with texts in the
// grid, a fitted curve and temperatures, as if a file had been read before.
inline void loadDistinctiveDataSet(Document& d, MainWindowInputs& inputs)
{
    for (int i = 1; i <= 5; ++i) {
        d.points.x[i] = 10.0 * i;
        d.points.y[i] = 3.5 * i * i;
        d.points.z[i] = -1.25 * i;
        d.grid.setCell(i, 1, std::to_string(10 * i));
        d.grid.setCell(i, 2, std::to_string(3.5 * i * i));
        d.grid.setCell(i, 3, std::to_string(-1.25 * i));
    }
    d.grid.setCell(200, 1, "ultima riga");
    d.points.count = 5;
    d.points.foundCount = 5;
    d.kind = FitType::Power;
    d.degree = 3;
    for (int k = 1; k <= 8; ++k) d.coefficients.block[k] = 0.5 + k;
    d.coefficients.block[9] = 20.0;
    d.coefficients.block[10] = 80.0;
    d.lastCalculation = Calculation{};
    d.lastCalculation->report = {"RELAZIONE PRECEDENTE"};
    d.currentDataSetName = "/dati/precedente.txt";
    inputs.setKindItemIndex(kindNumber(FitType::Power) - 1);
    inputs.setDegreeValue(3);
    inputs.setInitialTemperatureText("    20.000");
    inputs.setFinalTemperatureText("    80.000");
}

} // namespace calvero::testing
