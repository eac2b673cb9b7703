#pragma once
// Reading points from a text file: up to three values a line, separated by
// semicolons, blanks or tabs, with a decimal comma or point. The file may be
// UTF-8 (with or without its mark), Windows-1252, or UTF-16 with its mark, as
// spreadsheet programs on Windows save "Unicode text".
#include "common/checked.h"
#include "fit/dataset.h"
#include "entry/pointgrid.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace calvero {

// The lines of a point file the window reads: the data set has 200 places.
constexpr int MaxPointLines = 200;

// What reading the lines found beyond the points (on failure, the message
// to show; the lines handled before stay stored).
struct LinesRead {
    bool moreLines = false; // the file holds something after the last line read
};

// Splits one line into its fields. Every comma becomes a full stop first (a
// decimal comma); semicolons, blanks and tabs separate fields, and a run of
// them counts as one separator. A NUL byte is no character and is dropped
// (a file padded after a crash, UTF-16 saved without its mark).
std::vector<std::string> splitPointFields(std::string_view line);

// Where imported points go: the point grid and the working points, and,
// when wanted, the fourth field of each line (the surface's weights).
struct PointTarget {
    PointGrid& grid;
    PointSet& points;
    std::vector<double>* fourth = nullptr; // one entry per line read, 0 where the field is missing
    std::string* source = nullptr;         // set by an import to the file it read the points from
};

// Reads lines firstLine..lastLine (numbered from 1, never beyond the grid's last row)
// into the target: field 1, 2 and 3 of line L go to x[L], y[L] and z[L]; the
// texts go to the point grid as valid UTF-8 (validText: a Windows file's
// "°" stays "°"), cut to 130 characters as the spreadsheet import cuts its
// cells, the k-th line read into grid row k. Every field after the
// third lands in the third place, or, with a fourth target, in the fourth. An empty line is counted and leaves its row
// as it was. Nothing is cleared beforehand. Of a line longer than a mebibyte
// only the first mebibyte is read.
Checked<LinesRead> readPointLines(const std::string& fileName, int firstLine, int lastLine,
                                 const PointTarget& into);

} // namespace calvero
