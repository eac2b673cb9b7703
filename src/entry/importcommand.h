#pragma once
// The plain side of the point-entry window's commands: importing the file the
// user chose, and copying the grid into the data set on leaving.
#include "common/checked.h"
#include "common/fileending.h"
#include "fit/dataset.h"
#include "entry/pointimport.h"
#include "entry/pointgrid.h"

#include <string>
#include <string_view>
#include <vector>

namespace calvero {

// What the import says when a text file held more than its first 200 lines.
inline constexpr std::string_view FirstLinesNotice = "lette le prime 200 righe del file";

// The spreadsheet row an import starts from unless the user says otherwise:
// row 1 usually holds the column titles.
constexpr int FirstImportedSpreadsheetRow = 2;

// The kind of point file, from its extension, compared without regard to case.
enum class PointFileKind { Text, Spreadsheet, Unknown };
PointFileKind pointFileKind(const std::string& fileName);


// Reads the chosen file into the target: a .txt or .csv file through
// readPointLines (lines 1 to 200), an .xls, .xlsx or .ods file through
// readSpreadsheetRange (entry/spreadsheetrange.h) from spreadsheet row
// firstSpreadsheetRow. Whether a text file held more than was read, or the
// Italian message when the file could not be read.
Checked<LinesRead> readPointFile(const std::string& fileName, int firstSpreadsheetRow, const PointTarget& into);

// readPointFile as the user sees it: why the file could not be read, or that
// only its first 200 lines were; nothing when everything was read. A file
// read names itself in the target's source, when there is one.
Failure importPointFile(const std::string& fileName, int firstSpreadsheetRow, const PointTarget& into);


// "&USCITA": every grid row whose column 1 is not empty sets x, y, z of that
// row from columns 1 to 3 (an empty or non-numeric text gives 0, no decimal
// comma here); rows with an empty column 1 keep their values.
void copyGridToPoints(const PointGrid& grid, PointSet& points);

} // namespace calvero
