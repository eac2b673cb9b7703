#pragma once
// Data set files: 913 text lines ended by CR LF, one value per line. Line 1
// the kind, line 2 the degree, line 3 the point count, lines 4..13 the curve
// block (the curve numbers of the last fit, then the initial and the final
// temperature), then 300 lines each of x, y and z: points 1..200 hold values,
// the lines for points 201..300 hold the filler "x". This file reads and
// writes their text and says what the program calculates from one; the
// document's commands that load and save them are in app/datasetfile.h.
#include "common/checked.h"
#include "fit/calculation.h"
#include "fit/onebased.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace calvero {

constexpr int DataSetFileLineCount = 913;
constexpr int CurveBlockSize = 10;
constexpr int CurveBlockFirstLine = 4;
constexpr int FileLinesPerCoordinate = 300;
constexpr int FirstXLine = 14;
constexpr int FirstYLine = FirstXLine + FileLinesPerCoordinate;
constexpr int FirstZLine = FirstYLine + FileLinesPerCoordinate;

// A temperature of the file as the main window's temperature fields show it.
constexpr int TemperatureFieldWidth = 10;
constexpr int TemperatureFieldDecimals = 3;

// One coordinate of the 200 points a file holds.
using FileColumn = OneBasedArray<double, MaxPoints>;

// The file's column as the points' values (all 200 places), and the first
// 200 of the points' values as a file's column.
PointValues columnValues(const FileColumn& column);
FileColumn fileColumn(const PointValues& values);

// Everything one file holds, apart from the document: what the writer formats
// and what the reader has checked before any of it reaches the data set.
struct DataSetFileContents {
    std::uint8_t kind = 0;
    std::uint8_t degree = 0;
    std::uint8_t count = 0;
    OneBasedArray<double, CurveBlockSize> curveBlock{};
    FileColumn x{};
    FileColumn y{};
    FileColumn z{};
};

// The 913 lines, each ended by CR LF; the message of a value that is not
// finite, which no line can hold.
Checked<std::string> formatDataSetFile(const DataSetFileContents& contents);

// The text of a file back into its values. Lines end at CR LF or LF. Line 1
// must hold a whole number from 0 to 8; every other line present must be
// empty, the filler "x" or a number (blanks around it allowed); both give 0,
// and so do missing lines. Returns nothing for any other text.
std::optional<DataSetFileContents> parseDataSetFile(std::string_view text);

// The file at path, read and parsed; the Italian message when it cannot be
// read or does not hold a data set.
Checked<DataSetFileContents> readDataSetFile(const std::string& path);

// Whether the file begins as a data set file does (a point file never does).
bool holdsDataSet(const std::string& path);

// What the program calculates once it has read the file, as the main window
// does after "&Leggi i dati dal disco": the points up to the first (0, 0),
// ordered by x (x, y and z together; the points after them as the file has
// them; a zero without its sign), the file's kind, its degree held to the
// degree field's 1 to 9, and the two temperatures as the temperature fields
// show them, to 3 decimals.
CalculationInput dataSetInput(const DataSetFileContents& contents);

// What the data set keeps of its fits, as its file stores it: the curve
// block. A calculation fills the numbers of its curve into it; the block's
// other numbers stay as they were.
struct DataSetCoefficients {
    OneBasedArray<double, CurveBlockSize> block{};
    bool operator==(const DataSetCoefficients&) const = default;
};

// The curve block after a calculation that succeeded.
void keepCoefficients(DataSetCoefficients& kept, const Calculation& done);

} // namespace calvero
