#include "app/datasetfile.h"

#include "common/filewrite.h"
#include "app/document.h"
#include "app/fitoptionsfile.h"
#include "common/fault.h"
#include "common/fileread.h"
#include "common/numtext.h"
#include "common/systemerror.h"
#include "fit/pointordering.h"
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

// The values of a file into the document and the main window, in the order
// the shared fields need: the radio group may set the kind on its own, so
// the kind of the file is set again afterwards.
void applyContents(const Workspace& work, const DataSetFileContents& file, const std::string& path)
{
    Document& d = work.document;
    MainWindowInputs& inputs = work.inputs;
    d.currentDataSetName = path;

    d.kind = static_cast<FitType>(file.kind);
    d.degree = file.degree;
    d.points.foundCount = file.count;
    inputs.setDegreeValue(file.degree);
    inputs.setKindItemIndex(file.kind - 1);
    d.points.count = d.points.foundCount;
    d.coefficients.block = file.curveBlock;
    d.kind = static_cast<FitType>(file.kind);
    d.points.x = file.x;
    d.points.y = file.y;
    d.points.z = file.z;
    countStoredPoints(d.points);
    fillPointGrid(d.grid, d.points);
    sortPointsByX(d.points, d.grid);

    // The block's ninth and tenth numbers are the two temperatures.
    inputs.setInitialTemperatureText(formatReal(file.curveBlock[9], 10, 3));
    inputs.setFinalTemperatureText(formatReal(file.curveBlock[10], 10, 3));
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

std::string formatDataSetFile(const DataSetFileContents& contents)
{
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
    for (const PointArray* values : {&contents.x, &contents.y, &contents.z}) {
        for (int i = 1; i <= FileLinesPerCoordinate; ++i) line(i <= MaxPoints ? numberLine((*values)[i]) : "x");
    }
    return text;
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

void takeSaveChoices(const Workspace& work)
{
    Document& d = work.document;
    countStoredPoints(d.points);
    d.degree = work.inputs.degreeValue();
    d.kind = static_cast<FitType>(work.inputs.kindItemIndex() + 1);
}

Failure writeDataSetFile(const Workspace& work, const std::string& path)
{
    Document& d = work.document;
    takeSaveChoices(work);
    // A field the calculation would refuse is saved as 0, as it always was.
    d.coefficients.block[9] = temperatureValue(work.inputs.initialTemperatureText()).value_or(0.0);
    d.coefficients.block[10] = temperatureValue(work.inputs.finalTemperatureText()).value_or(0.0);

    DataSetFileContents contents;
    contents.kind = static_cast<std::uint8_t>(d.kind);
    contents.degree = static_cast<std::uint8_t>(d.degree & 0xFF);
    contents.count = d.points.foundCount;
    contents.curveBlock = d.coefficients.block;
    contents.x = d.points.x;
    contents.y = d.points.y;
    contents.z = d.points.z;

    std::string text;
    try {
        text = formatDataSetFile(contents);
    } catch (const ArithmeticFault& fault) {
        return fault.what();
    }
    if (auto failure = writeOutputFile(path, text)) return failure;
    return saveDataSetOptions(path, d.options);
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

Failure loadDataSetFile(const Workspace& work, const std::string& path)
{
    const auto text = readFileText(path, MaxBytesRead);
    if (!text) return "errore di lettura del file " + path + ": " + systemErrorText(errno);
    const auto contents = parseDataSetFile(*text);
    if (!contents) return invalidFileMessage(path);
    // The options steer the fit of this data set: it is not read without them.
    Checked<FitOptions> options = readDataSetOptions(path);
    if (!options) return options.failure;
    applyContents(work, *contents, path);
    work.document.options = std::move(*options);
    work.document.weightColumn.clear();
    return std::nullopt;
}

} // namespace calvero
