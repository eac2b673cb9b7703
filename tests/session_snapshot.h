#pragma once
// A copy of everything a reader could change in the session and the main
// window's inputs, to show that a refused file left the user's data as it
// was; and a distinctive data set to start such a check from. Shared by the
// bad-input tests and the fuzz targets.
#include "fit/dataset.h"
#include "fit/frontend.h"
#include "fit/session.h"

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
    std::uint16_t degree = 0;
    std::uint8_t curveDegree = 0;
    OneBasedArray<double, 15> coefficients;
    std::array<double, 9> curve{};
    std::array<double, 5> parameters{}; // paramA, paramB, decayM, tInitial, tFinal
    CurveFunction curveFunction = nullptr;
    PointGrid grid;
    PointArray stagingX, stagingY, stagingZ;
    std::vector<std::string> reportLines;
    double finalTemperatureSlot = 0.0;
    std::string currentDataSetName;
    int degreeValue = 0;
    int kindItemIndex = 0;
    std::string initialTemperatureText;
    std::string finalTemperatureText;

    bool operator==(const SessionSnapshot&) const = default;

    static SessionSnapshot take()
    {
        const Session& s = session();
        const MainWindowInputs& inputs = mainInputs();
        SessionSnapshot shot;
        shot.x = s.points.x;
        shot.y = s.points.y;
        shot.z = s.points.z;
        shot.count = s.points.count;
        shot.foundCount = s.points.foundCount;
        shot.kind = s.fit.kind;
        shot.degree = s.fit.degree;
        shot.curveDegree = s.fit.curveDegree;
        shot.coefficients = s.result.coefficients;
        for (int k = 0; k < 9; ++k) shot.curve[static_cast<std::size_t>(k)] = s.result.curve[k];
        shot.parameters = {s.result.paramA, s.result.paramB, s.result.decayM, s.result.tInitial, s.result.tFinal};
        shot.curveFunction = s.result.curveFunction;
        shot.grid = s.grid;
        shot.stagingX = s.staging.x;
        shot.stagingY = s.staging.y;
        shot.stagingZ = s.staging.z;
        shot.reportLines = calvero::reportLines(s.report);
        shot.finalTemperatureSlot = s.image.finalTemperatureSlot;
        shot.currentDataSetName = s.currentDataSetName;
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
        note(kind == other.kind && degree == other.degree && curveDegree == other.curveDegree, "fit state");
        note(coefficients == other.coefficients && curve == other.curve && parameters == other.parameters &&
                 curveFunction == other.curveFunction,
             "fit result");
        note(grid == other.grid, "point grid");
        note(stagingX == other.stagingX && stagingY == other.stagingY && stagingZ == other.stagingZ, "staging");
        note(reportLines == other.reportLines, "report");
        note(finalTemperatureSlot == other.finalTemperatureSlot, "file image");
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
inline void loadDistinctiveDataSet()
{
    Session& s = session();
    for (int i = 1; i <= 5; ++i) {
        s.points.x[i] = 10.0 * i;
        s.points.y[i] = 3.5 * i * i;
        s.points.z[i] = -1.25 * i;
        s.staging.x[i] = s.points.x[i];
        s.staging.y[i] = s.points.y[i];
        s.staging.z[i] = s.points.z[i];
        s.grid.setCell(i, 1, std::to_string(10 * i));
        s.grid.setCell(i, 2, std::to_string(3.5 * i * i));
        s.grid.setCell(i, 3, std::to_string(-1.25 * i));
    }
    s.grid.setCell(200, 1, "ultima riga");
    s.points.count = 5;
    s.points.foundCount = 5;
    s.fit.kind = FitType::Power;
    s.fit.degree = 3;
    s.fit.curveDegree = 3;
    for (int k = 0; k < 9; ++k) s.result.curve[k] = 0.5 + k;
    s.result.coefficients[1] = 1.75;
    s.result.paramA = 2.0;
    s.result.paramB = 0.75;
    s.result.tInitial = 20.0;
    s.result.tFinal = 80.0;
    s.image.finalTemperatureSlot = 80.0;
    appendLine(s.report, "RELAZIONE PRECEDENTE");
    s.currentDataSetName = "/dati/precedente.txt";
    MainWindowInputs& inputs = mainInputs();
    inputs.setKindItemIndex(kindNumber(FitType::Power) - 1);
    inputs.setDegreeValue(3);
    inputs.setInitialTemperatureText("    20.000");
    inputs.setFinalTemperatureText("    80.000");
}

} // namespace calvero::testing
