#include "formats/datasetformat.h"

#include "fit/fault.h"
#include "common/fileread.h"
#include "common/numtext.h"
#include "common/systemerror.h"
#include "fit/workingset.h"

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <variant>
#include <vector>

namespace calvero {

namespace {

// No value line of a real file comes near this (the largest double in
// fixed-point with 11 decimals is 322 characters); longer lines mean the
// file is something else, and the limit keeps a huge file from being read whole.
constexpr std::size_t MaxLineLength = 1024;
constexpr std::size_t MaxBytesRead = DataSetFileLineCount * (MaxLineLength + 2);

constexpr int LastValueLine = DataSetFileLineCount;
constexpr int NumberWidth = 18;
constexpr int NumberDecimals = 11;

std::string invalidFileMessage(const std::string& path) { return "il file non contiene dati validi: " + path; }

std::string_view trimBlanks(std::string_view text)
{
    const auto first = text.find_first_not_of(" \t");
    if (first == std::string_view::npos) return {};
    const auto last = text.find_last_not_of(" \t");
    return text.substr(first, last - first + 1);
}

// The value of one line: empty and the filler "x" give 0; nothing when the
// line is neither a number nor one of those.
std::optional<double> lineValue(std::string_view line)
{
    const std::string_view text = trimBlanks(line);
    if (text.empty() || text == "x") return 0.0;
    return parseDecimal(text);
}

// A number truncated toward zero, keeping its low 8 bits (as a byte field
// stores it); safe for any finite value.
std::uint8_t lowByte(double value)
{
    double rest = std::fmod(std::trunc(value), 256.0);
    if (rest < 0) rest += 256.0;
    return static_cast<std::uint8_t>(rest);
}

// Splits at LF, dropping the CR of a CR LF; stops after the lines a file has.
// Returns nothing when one of those lines is too long to be a value line.
std::optional<std::vector<std::string_view>> splitLines(std::string_view text)
{
    std::vector<std::string_view> lines;
    std::size_t start = 0;
    while (start < text.size() && static_cast<int>(lines.size()) < DataSetFileLineCount) {
        std::size_t end = text.find('\n', start);
        const std::size_t next = end == std::string_view::npos ? text.size() : end + 1;
        if (end == std::string_view::npos) end = text.size();
        std::string_view line = text.substr(start, end - start);
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        if (line.size() > MaxLineLength) return std::nullopt;
        lines.push_back(line);
        start = next;
    }
    return lines;
}

std::string numberLine(double value) { return formatReal(value, NumberWidth, NumberDecimals); }

// What a save says of a value no line can hold, in the words of the engine's
// faults, as it always has.
std::string nonFiniteMessage(double value)
{
    return refusalText(faultRefusal(std::isnan(value) ? FaultKind::InvalidOperation : FaultKind::Overflow));
}

void storePolynomial(DataSetCoefficients& kept, const PolynomialCoefficients& c, int degree)
{
    for (int k = 0; k <= degree; ++k) kept.block[k + 1] = c[k + 1];
}

void storeParameters(DataSetCoefficients& kept, const TwoParameters& p)
{
    kept.block[1] = p.a;
    kept.block[2] = p.b;
}

// The numbers of each kind's curve in the block's first places.
struct CurveStore {
    DataSetCoefficients& kept;
    void operator()(const PowerCurve& c) const { storeParameters(kept, c.parameters); }
    void operator()(const PolynomialCurve& c) const { storePolynomial(kept, c.coefficients, c.degree); }
    void operator()(const ExponentialCurve& c) const { storeParameters(kept, c.parameters); }
    void operator()(const RationalCurve& c) const { storePolynomial(kept, c.coefficients, c.degree); }
    void operator()(const TemperatureTimeCurve& c) const
    {
        kept.block[1] = c.decayM;
        kept.block[2] = c.initial;
        kept.block[3] = c.final;
    }
    void operator()(const SaturationCurve& c) const { storeParameters(kept, c.parameters); }
};

} // namespace

PointValues columnValues(const FileColumn& column) { return PointValues(std::span<const double>(column.items)); }

FileColumn fileColumn(const PointValues& values)
{
    FileColumn column{};
    for (int i = 1; i <= MaxPoints; ++i) column[i] = values[i];
    return column;
}

Checked<std::string> formatDataSetFile(const DataSetFileContents& contents)
{
    for (const double value : contents.curveBlock.items)
        if (!std::isfinite(value)) return failed<std::string>(nonFiniteMessage(value));
    for (const FileColumn* values : {&contents.x, &contents.y, &contents.z})
        for (const double value : values->items)
            if (!std::isfinite(value)) return failed<std::string>(nonFiniteMessage(value));
    std::string text;
    text.reserve(DataSetFileLineCount * (NumberWidth + 2));
    auto line = [&text](const std::string& value) {
        text += value;
        text += "\r\n";
    };
    line(formatInteger(contents.kind, 1));
    line(formatInteger(contents.degree, 1));
    line(formatInteger(contents.count, 2));
    for (int k = 1; k <= CurveBlockSize; ++k) line(numberLine(contents.curveBlock[k]));
    for (const FileColumn* values : {&contents.x, &contents.y, &contents.z}) {
        for (int i = 1; i <= FileLinesPerCoordinate; ++i) line(i <= MaxPoints ? numberLine((*values)[i]) : "x");
    }
    return succeeded(std::move(text));
}

std::optional<DataSetFileContents> parseDataSetFile(std::string_view text)
{
    const auto lines = splitLines(text);
    if (!lines || lines->empty()) return std::nullopt;

    std::vector<double> values(LastValueLine + 1, 0.0); // values[n] is line n; missing lines give 0
    for (std::size_t n = 1; n <= lines->size(); ++n) {
        const auto value = lineValue((*lines)[n - 1]);
        if (!value) return std::nullopt;
        values[n] = *value;
    }
    const auto kind = parseDecimal(trimBlanks((*lines)[0]));
    if (!kind || *kind != std::trunc(*kind) || *kind < 0 || *kind > 8) return std::nullopt;

    DataSetFileContents contents;
    contents.kind = static_cast<std::uint8_t>(*kind);
    contents.degree = lowByte(values[2]);
    contents.count = lowByte(values[3]);
    for (int k = 1; k <= CurveBlockSize; ++k) contents.curveBlock[k] = values[CurveBlockFirstLine + k - 1];
    for (int i = 1; i <= MaxPoints; ++i) {
        contents.x[i] = values[FirstXLine + i - 1];
        contents.y[i] = values[FirstYLine + i - 1];
        contents.z[i] = values[FirstZLine + i - 1];
    }
    return contents;
}

void keepCoefficients(DataSetCoefficients& kept, const Calculation& done)
{
    if (done.curve) std::visit(CurveStore{kept}, *done.curve);
}

bool holdsDataSet(const std::string& path)
{
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (!file) return false;
    std::string head(4096, '\0');
    head.resize(std::fread(head.data(), 1, head.size(), file));
    std::fclose(file);
    return parseDataSetFile(head).has_value();
}

Checked<DataSetFileContents> readDataSetFile(const std::string& path)
{
    const auto text = readFileText(path, MaxBytesRead);
    if (!text) return failed<DataSetFileContents>("errore di lettura del file " + path + ": " + systemErrorText(errno));
    auto contents = parseDataSetFile(*text);
    if (!contents) return failed<DataSetFileContents>(invalidFileMessage(path));
    return succeeded(std::move(*contents));
}

CalculationInput dataSetInput(const DataSetFileContents& file)
{
    CalculationInput input;
    // A zero without its sign, as the point grid shows it.
    const auto unsigned0 = [](FileColumn column) {
        for (double& v : column.items)
            if (v == 0.0) v = 0.0;
        return columnValues(column);
    };
    input.points.x = unsigned0(file.x);
    input.points.y = unsigned0(file.y);
    input.points.z = unsigned0(file.z);
    input.pointCount = countStoredPoints(input.points);
    sortByX(input.points, input.pointCount);
    input.kind = static_cast<FitType>(file.kind);
    input.degree = std::clamp<int>(file.degree, 1, 9);
    // The block's ninth and tenth numbers are the two temperatures.
    input.initialTemperature = roundedToDecimals(file.curveBlock[9], TemperatureFieldDecimals);
    input.finalTemperature = roundedToDecimals(file.curveBlock[10], TemperatureFieldDecimals);
    return input;
}

} // namespace calvero
