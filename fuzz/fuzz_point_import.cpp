// The text point import on arbitrary bytes. The first two bytes choose the
// window of lines (firstLine, lastLine), the rest is the file. splitPointFields
// must give non-empty fields free of separators, commas and NUL bytes that,
// decimal marks aside, together are the line without its separators and NUL
// bytes (a NUL is no character); readPointLines must touch only the entries
// of the lines in its window and the grid rows they fill, store in x, y, z
// what the grid texts read as, and put only valid UTF-8 into the grid.
#include "entry/pointimport.h"
#include "common/numtext.h"
#include "common/utf8.h"
#include "fuzz_support.h"

#include <algorithm>
#include <cstring>
#include <string_view>

using namespace calvero;
using namespace calvero::fuzzing;

namespace {

bool isSeparator(char c) { return c == ';' || c == ' ' || c == '\t'; }

bool isDecimalMark(char c) { return c == '.' || c == ','; }

// Decimal marks may change (a comma becomes a point, the points of "1.234,5"
// group thousands and go), every other byte stays.
void checkFields(std::string_view line)
{
    const auto fields = splitPointFields(line);
    std::string joined;
    for (const std::string& field : fields) {
        require(!field.empty(), "an empty field");
        require(std::none_of(field.begin(), field.end(), [](char c) { return isSeparator(c) || c == ',' || c == '\0'; }),
                "a separator, a comma or a NUL inside a field");
        for (char c : field)
            if (c != '.') joined += c;
    }
    std::string expected;
    for (char c : line)
        if (!isSeparator(c) && c != '\0' && !isDecimalMark(c)) expected += c;
    require(joined == expected, "the fields are not the line");
}

// Every line as the reader sees it: ended by LF, CR LF or a lone CR.
void checkEveryLine(std::string_view text)
{
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = start;
        while (end < text.size() && text[end] != '\n' && text[end] != '\r') ++end;
        checkFields(text.substr(start, end - start));
        if (end < text.size() && text[end] == '\r' && end + 1 < text.size() && text[end + 1] == '\n') ++end;
        start = end + 1;
    }
}

double sentinel(int index, int field) { return -1000.0 * field - index; }
std::string sentinelText(int row, int column) { return "#" + std::to_string(row) + "," + std::to_string(column); }

struct Target {
    PointGrid grid;
    PointSet points;
};

void fillSentinels(Target& s)
{
    for (int i = 1; i <= MaxPoints; ++i) {
        s.points.x[i] = sentinel(i, 1);
        s.points.y[i] = sentinel(i, 2);
        s.points.z[i] = sentinel(i, 3);
        for (int c = 1; c <= PointGrid::Columns; ++c) s.grid.setCell(i, c, sentinelText(i, c));
    }
}

double valueOf(const Target& s, int field, int index)
{
    return field == 1 ? s.points.x[index] : field == 2 ? s.points.y[index] : s.points.z[index];
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static ScratchFile file(".txt");
    if (size < 2) return 0;
    const std::uint16_t firstLine = static_cast<std::uint16_t>(data[0] % 210);
    const std::uint16_t lastLine = static_cast<std::uint16_t>(data[1] == 255 ? 65535 : data[1] % 210);
    const std::string_view text(reinterpret_cast<const char*>(data + 2), size - 2);
    checkEveryLine(text);

    Target s;
    fillSentinels(s);
    const std::string& path = file.write(data + 2, size - 2);
    const Checked<LinesRead> read = readPointLines(path, firstLine, lastLine, {s.grid, s.points});
    require(bool(read), "a readable file failed: " + read.failure());

    const int first = std::max<int>(firstLine, 1);
    const int last = std::min<int>(lastLine, MaxPointLines);
    const int rowsFilled = std::max(0, last - first + 1);
    for (int i = 1; i <= MaxPoints; ++i) {
        const bool inWindow = i >= first && i <= last;
        for (int field = 1; field <= 3; ++field) {
            if (!inWindow) require(valueOf(s, field, i) == sentinel(i, field), "an entry outside the window changed");
            const std::string& cell = s.grid.cell(i, field);
            if (i > rowsFilled) require(cell == sentinelText(i, field), "a grid row beyond the window changed");
            if (cell != sentinelText(i, field)) {
                require(!cell.empty(), "an empty text stored in the grid");
                require(validText(cell) == cell, "a grid text that is no valid UTF-8");
                // Row k of the grid holds line first + k - 1, whose entry got the value.
                const int index = first + i - 1;
                const double expected = parseDecimalOrZero(std::string_view(cell).substr(0, 130));
                require(valueOf(s, field, index) == expected, "a stored value is not its grid text");
            }
        }
    }
    return 0;
}
