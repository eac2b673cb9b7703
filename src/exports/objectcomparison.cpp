#include "exports/objectcomparison.h"

#include "fit/statistics.h"

namespace calvero {

std::vector<ComparisonRow> compareObjects(const ObjectPoints& points, double tolerance)
{
    std::vector<ComparisonRow> rows;
    for (const CurveObject& object : curveObjects()) {
        if ((object.inputs == 2) != points.twoInputs()) continue;
        ComparisonRow row;
        row.object = std::string(object.type);
        row.coefficientCount = static_cast<int>(object.coefficientCount());
        const Checked<ObjectFit> fit = fitCurveObject(object, points);
        if (!fit) {
            row.refusal = (fit.refusal.code == RefusalCode::NeedsNonlinearSolver ? "non applicabile: " : "calcolo rifiutato: ") +
                          fit.failure();
        } else {
            // The residuals' runs in x order for one input, as the kinds have them.
            row.statistics = valueStatistics(fit->points.v, fit->fitted, points.twoInputs() ? std::vector<double>() : points.x,
                                             row.coefficientCount);
        }
        rows.push_back(std::move(row));
    }
    rankRows(rows, tolerance);
    return rows;
}

} // namespace calvero
