#include "batch/batchsummary.h"

#include "batch/batchinput.h"
#include "formats/datasetformat.h"
#include "formats/jsonfigures.h"
#include "common/filewrite.h"
#include "common/numtext.h"
#include "common/utf8.h"
#include "entry/importcommand.h"
#include "fit/coefficientlist.h"
#include "fit/statistics.h"
#include "spreadsheet/workbooksheet.h"
#include "spreadsheet/workbookwriter.h"
#include "spreadsheet/xlsxwriter.h"

#include <nlohmann/json.hpp>

#include <algorithm>
#include <cmath>
#include <filesystem>

namespace calvero {

namespace {

namespace fs = std::filesystem;

SummaryRow rowOf(const std::string& file, std::optional<double> parameter, const Outcome& outcome,
                 const SummaryVisitor& visit)
{
    SummaryRow row{file, parameter, std::nullopt, "ok", false, {}};
    if (!outcome) {
        row.outcome = outcome.failure();
        if (visit) visit(row, nullptr);
        return row;
    }
    const Calculation& done = *outcome;
    const Statistics statistics = fitStatistics(done);
    row.fit = SummaryFit{done.kind,
                         done.degree,
                         done.pointCount,
                         namedCoefficients(done),
                         statistics.standardError,
                         statistics.adjustedRSquared,
                         statistics.largestPercentError};
    if (visit) visit(row, &done);
    return row;
}

// The calculation of an input, or the refusal of its points.
Outcome calculated(const Checked<CalculationInput>& input)
{
    return input ? calculate(*input) : failed<Calculation>(input.refusal);
}

SummaryRow unreadable(const std::string& file, const std::string& why)
{
    return SummaryRow{file, std::nullopt, std::nullopt, why, true, {}};
}

// A family of curves, x;parameter;y: one calculation per parameter value, in
// the order the values first appear.
void summariseFamily(const std::string& file, BatchPoints& read, const BatchOptions& options,
                     std::vector<SummaryRow>& rows, const SummaryVisitor& visit)
{
    const Checked<std::vector<FamilyMember>> members = familyInputs(read, options);
    if (!members) return rows.push_back(rowOf(file, std::nullopt, failed<Calculation>(members.refusal), visit));
    for (const FamilyMember& member : *members)
        rows.push_back(rowOf(file, member.parameter, calculated(member.input), visit));
}

void summariseFile(const std::string& file, const BatchOptions& options, std::vector<SummaryRow>& rows,
                   const SummaryVisitor& visit)
{
    std::error_code error;
    if (!fs::is_regular_file(file, error)) {
        rows.push_back(unreadable(file, " IL FILE:" + file + " NON ESISTE!"));
        return;
    }
    if (holdsDataSet(file)) {
        const Checked<CalculationInput> input = readDataSetInput(file);
        if (!input) return rows.push_back(unreadable(file, input.failure()));
        rows.push_back(rowOf(file, std::nullopt, calculate(*input), visit));
        return;
    }
    if (pointFileKind(file) == PointFileKind::Unknown) {
        // Neither a data set nor points: the data set reader says why.
        const Checked<DataSetFileContents> contents = readDataSetFile(file);
        rows.push_back(unreadable(file, contents ? "il file non contiene dati validi: " + file : contents.failure()));
        return;
    }
    if (options.kind == 0) {
        rows.push_back(rowOf(file, std::nullopt, failed<Calculation>("per i file di punti serve --kind: " + file), visit));
        return;
    }
    Checked<BatchPoints> read = readBatchPoints(file, options.allLines);
    if (!read) return rows.push_back(unreadable(file, read.failure()));
    const std::size_t first = rows.size();
    if (options.eachParameter)
        summariseFamily(file, *read, options, rows, visit);
    else
        rows.push_back(rowOf(file, std::nullopt, calculated(pointsInput(*read, options)), visit));
    if (read->moreLines && rows.size() > first) rows[first].notice = firstLinesNotice(file, *read);
}

// Every digit of the double, in its shortest form.
std::string fullPrecision(double value, char decimalMark)
{
    std::string text = shortestText(value);
    std::replace(text.begin(), text.end(), '.', decimalMark);
    return text;
}

std::size_t coefficientColumns(const std::vector<SummaryRow>& rows)
{
    std::size_t most = 0;
    for (const SummaryRow& row : rows)
        if (row.fit) most = std::max(most, row.fit->coefficients.size());
    return most;
}

// The cells of the table: texts, and numbers at full precision or empty.
struct Cell {
    Cell() = default;
    Cell(std::string t) : text(std::move(t)) {}
    Cell(const char* t) : text(t) {}
    std::string text;
    std::optional<double> number;
};

std::vector<std::vector<Cell>> tableOf(const std::vector<SummaryRow>& rows, bool withParameter)
{
    const std::size_t columns = coefficientColumns(rows);
    std::vector<std::vector<Cell>> table;
    std::vector<Cell> header{{"file"}};
    if (withParameter) header.push_back({"parametro"});
    for (const char* name : {"tipo", "grado", "punti"}) header.push_back({name});
    for (std::size_t k = 1; k <= columns; ++k) header.push_back({"coefficiente " + std::to_string(k)});
    for (const char* name : {"errore standard", "R2 corretto", "errore % massimo", "esito"}) header.push_back({name});
    table.push_back(header);
    const auto number = [](std::optional<double> v) {
        Cell cell;
        if (v && std::isfinite(*v)) cell.number = v;
        return cell;
    };
    for (const SummaryRow& row : rows) {
        std::vector<Cell> line{{row.file}};
        if (withParameter) line.push_back(number(row.parameter));
        if (row.fit) {
            const SummaryFit& c = *row.fit;
            line.push_back({kindLabel(c.kind)});
            line.push_back(takesDegree(c.kind) ? number(c.degree) : Cell{});
            line.push_back(number(c.points));
            for (std::size_t k = 0; k < columns; ++k)
                line.push_back(k < c.coefficients.size() ? number(c.coefficients[k].second) : Cell{});
            line.push_back(number(c.standardError));
            line.push_back(number(c.adjustedRSquared));
            line.push_back(number(c.largestPercentError));
        } else {
            line.resize(line.size() + 3 + columns + 3);
        }
        line.push_back({row.outcome});
        table.push_back(line);
    }
    return table;
}

// A text in quotes when it holds a separator, a quote or a line end.
std::string csvField(const Cell& cell)
{
    if (cell.number) return fullPrecision(*cell.number, ',');
    const std::string text = validText(cell.text);
    if (text.find_first_of(";\"\r\n") == std::string::npos) return text;
    std::string quoted = "\"";
    for (char c : text) quoted += c == '"' ? std::string("\"\"") : std::string(1, c);
    return quoted + "\"";
}

} // namespace

std::vector<std::string> summaryFiles(const std::vector<std::string>& paths)
{
    std::vector<std::string> files;
    for (const std::string& path : paths) {
        std::error_code error;
        if (!fs::is_directory(path, error)) {
            files.push_back(path);
            continue;
        }
        std::vector<std::string> inside;
        for (const fs::directory_entry& entry : fs::directory_iterator(path, error))
            if (entry.is_regular_file(error)) inside.push_back(entry.path().string());
        std::sort(inside.begin(), inside.end());
        files.insert(files.end(), inside.begin(), inside.end());
    }
    return files;
}

std::vector<SummaryRow> summarise(const std::vector<std::string>& files, const BatchOptions& options,
                                  const SummaryVisitor& visit)
{
    std::vector<SummaryRow> rows;
    for (const std::string& file : files) {
        const std::size_t before = rows.size();
        summariseFile(file, options, rows, visit);
        // A file that could not be read has its one row, made without a calculation.
        if (visit && rows.size() == before + 1 && rows.back().unreadable) visit(rows.back(), nullptr);
    }
    return rows;
}

std::string summaryCsv(const std::vector<SummaryRow>& rows, bool withParameter)
{
    std::string text;
    for (const std::vector<Cell>& line : tableOf(rows, withParameter)) {
        for (std::size_t i = 0; i < line.size(); ++i) text += (i ? ";" : "") + csvField(line[i]);
        text += "\r\n";
    }
    return text;
}

std::string summaryJson(const std::vector<SummaryRow>& rows)
{
    using nlohmann::json;
    json list = json::array();
    for (const SummaryRow& row : rows) {
        json entry = {{"file", jsonText(row.file)}, {"outcome", jsonText(row.outcome)}};
        if (row.parameter) entry["parameter"] = *row.parameter;
        if (row.fit) {
            const SummaryFit& fit = *row.fit;
            entry["kind"] = kindNumber(fit.kind);
            entry["kindName"] = kindLabel(fit.kind);
            entry["degree"] = fit.degree;
            entry["points"] = fit.points;
            entry["coefficients"] = jsonCoefficients(fit.coefficients);
            entry["standardError"] = jsonNumber(fit.standardError);
            entry["adjustedRSquared"] = jsonNumber(fit.adjustedRSquared);
            entry["largestPercentError"] = jsonNumber(fit.largestPercentError);
        }
        list.push_back(entry);
    }
    return jsonDocument(json{{"files", list}, {"exit", summaryExit(rows)}}) + "\n";
}

Worksheet summarySheet(const std::vector<SummaryRow>& rows, bool withParameter)
{
    Worksheet sheet("RIEPILOGO");
    const auto table = tableOf(rows, withParameter);
    for (std::size_t r = 0; r < table.size(); ++r)
        for (std::size_t c = 0; c < table[r].size(); ++c) {
            const Cell& cell = table[r][c];
            const CellAddress at{static_cast<int>(r) + 1, static_cast<int>(c) + 1};
            if (cell.number)
                sheet.setNumber(at, *cell.number);
            else if (!cell.text.empty())
                sheet.setText(at, cell.text);
        }
    return sheet;
}

Failure writeSummary(const std::vector<SummaryRow>& rows, bool withParameter, const std::string& path)
{
    const std::string extension = lowerExtension(path);
    if (extension == "xls" || extension == "xlsx") {
        const Worksheet sheet = summarySheet(rows, withParameter);
        const auto failure = extension == "xls" ? saveWorkbook(sheet, path) : saveXlsxWorkbook(sheet, path);
        if (failure) return "errore di scrittura del file " + path + ": " + *failure;
        return std::nullopt;
    }
    const std::string text = extension == "json" ? summaryJson(rows) : summaryCsv(rows, withParameter);
    if (extension != "json" && extension != "csv")
        return "riepilogo in un formato non riconosciuto (.csv, .xlsx, .xls o .json): " + path;
    return writeOutputFile(path, text);
}

int summaryExit(const std::vector<SummaryRow>& rows)
{
    int exit = BatchOk;
    for (const SummaryRow& row : rows) {
        if (row.unreadable) return BatchUnreadable;
        if (!row.fit) exit = BatchRefused;
    }
    return exit;
}

} // namespace calvero
