#include "batch/batchinput.h"

#include "formats/datasetformat.h"
#include "formats/fitoptionsfile.h"
#include "entry/gridinput.h"
#include "entry/importcommand.h"

#include <algorithm>

namespace calvero {

Checked<BatchPoints> readBatchPoints(const std::string& file, bool allLines, bool withWeightColumn)
{
    BatchPoints read{PointGrid(allLines ? MaxEnginePoints : PointGrid::Rows)};
    const Checked<LinesRead> lines = readPointFile(
        file, FirstImportedSpreadsheetRow, {read.cells, read.points, withWeightColumn ? &read.weightColumn : nullptr});
    if (!lines) return failed<BatchPoints>(lines.refusal);
    read.moreLines = lines->moreLines;
    return succeeded(std::move(read));
}

Checked<CalculationInput> readDataSetInput(const std::string& file)
{
    const Checked<DataSetFileContents> contents = readDataSetFile(file);
    if (!contents) {
        // A point file or a workbook named as a data set: say how it is read.
        const bool notADataSet = contents.failure().rfind("il file non contiene dati validi", 0) == 0;
        if (notADataSet && pointFileKind(file) != PointFileKind::Unknown)
            return failed<CalculationInput>(contents.failure() + " (un file di punti si calcola con --points " + file +
                                            " --kind N)");
        return failed<CalculationInput>(contents.refusal);
    }
    // The options steer the fit of this data set: it is not read without them.
    Checked<FitOptions> options = readDataSetOptions(file);
    if (!options) return failed<CalculationInput>(options.refusal);
    CalculationInput input = dataSetInput(*contents);
    input.options = std::move(*options);
    return succeeded(std::move(input));
}

Checked<CalculationInput> pointsInput(BatchPoints& read, const BatchOptions& options)
{
    const TypedChoices choices{static_cast<FitType>(options.kind), options.degree, options.initialTemperature,
                               options.finalTemperature};
    Checked<CalculationInput> input = readCalculationInput(read.cells, read.points, choices);
    if (input && options.allLines) input->limit = PointLimit::Engine;
    return input;
}

Checked<std::vector<FamilyMember>> familyInputs(BatchPoints& read, const BatchOptions& options)
{
    // Three columns, each judged as the surface's are.
    const Checked<CalculationInput> table = readCalculationInput(read.cells, read.points, {FitType::SurfaceXY, 2, "", ""});
    if (!table) return failed<std::vector<FamilyMember>>(table.refusal);
    const PointSet& all = table->points;
    std::vector<double> parameters;
    for (int i = 1; i <= table->pointCount; ++i)
        if (std::find(parameters.begin(), parameters.end(), all.y[i]) == parameters.end()) parameters.push_back(all.y[i]);
    std::vector<FamilyMember> members;
    for (double parameter : parameters) {
        CalculationInput in;
        if (options.allLines) in.limit = PointLimit::Engine;
        in.kind = static_cast<FitType>(options.kind);
        in.degree = options.degree;
        for (int i = 1; i <= table->pointCount; ++i) {
            if (all.y[i] != parameter) continue;
            ++in.pointCount;
            in.points.x[in.pointCount] = all.x[i];
            in.points.y[in.pointCount] = all.z[i];
        }
        in.points.count = in.pointCount;
        in.points.foundCount = in.pointCount;
        members.push_back({parameter, withTypedTemperatures(std::move(in), options.initialTemperature,
                                                            options.finalTemperature)});
    }
    return succeeded(std::move(members));
}

std::string firstLinesNotice(const std::string& file, const BatchPoints& read)
{
    if (read.cells.rows() == PointGrid::Rows) return std::string(FirstLinesNotice) + " " + file;
    return "lette le prime " + std::to_string(read.cells.rows()) + " righe del file " + file;
}

} // namespace calvero
