#pragma once
// Data set files: 913 text lines ended by CR LF, one value per line. Line 1
// the kind, line 2 the degree, line 3 the point count, lines 4..13 the curve
// block (the curve numbers of the last fit, then the initial and the final
// temperature), then 300 lines each of x, y and z: points 1..200 hold values,
// the lines for points 201..300 hold the filler "x".
#include "common/checked.h"
#include "app/frontend.h"
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

// Everything one file holds, apart from the document: what the writer formats
// and what the reader has checked before any of it reaches the data set.
struct DataSetFileContents {
    std::uint8_t kind = 0;
    std::uint8_t degree = 0;
    std::uint8_t count = 0;
    OneBasedArray<double, CurveBlockSize> curveBlock{};
    PointArray x{};
    PointArray y{};
    PointArray z{};
};

// The 913 lines, each ended by CR LF. Throws ArithmeticFault for a value that
// is not finite.
std::string formatDataSetFile(const DataSetFileContents& contents);

// The text of a file back into its values. Lines end at CR LF or LF. Line 1
// must hold a whole number from 0 to 8; every other line present must be
// empty, the filler "x" or a number (blanks around it allowed); both give 0,
// and so do missing lines. Returns nothing for any other text.
std::optional<DataSetFileContents> parseDataSetFile(std::string_view text);

// What the data set keeps of its fits, as its file stores it: the curve
// block. A calculation fills the numbers of its curve into it; the block's
// other numbers stay as they were.
struct DataSetCoefficients {
    OneBasedArray<double, CurveBlockSize> block{};
    bool operator==(const DataSetCoefficients&) const = default;
};

// The curve block after a calculation that succeeded.
void keepCoefficients(DataSetCoefficients& kept, const Calculation& done);

// The first steps of a save, shared with the workbook export: counts the
// stored points and takes the kind and the degree from the main window into
// the document.
void takeSaveChoices(const Workspace& work);

// Saves the document's data set at path (created or overwritten): counts the
// stored points, takes kind, degree and temperatures from the main window,
// then writes the file, and beside it the file of the fit options (or removes
// an earlier one when no option is on). The Italian message when either
// could not be written.
Failure writeDataSetFile(const Workspace& work, const std::string& path);

// Whether the file begins as a data set file does (a point file never does).
bool holdsDataSet(const std::string& path);

// Reads the file at path into the document and the main window, fills and
// sorts the point grid, and takes the fit options saved beside it (none when
// there is no such file); does not calculate. A file that cannot be read or
// does not hold a data set, or whose options file is not valid, changes
// nothing and gives the Italian message.
Failure loadDataSetFile(const Workspace& work, const std::string& path);

} // namespace calvero
