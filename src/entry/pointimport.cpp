#include "entry/pointimport.h"

#include "common/openfile.h"
#include "common/utf8.h"
#include "common/numtext.h"
#include "fit/pointgrid.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>

namespace calvero {

namespace {

constexpr std::size_t ConvertedLength = 130;
// Of a longer line only this much is kept, so a file without line ends
// cannot fill the memory; no line of points comes near it.
constexpr std::size_t MaxKeptLineLength = 1 << 20;

bool isSeparator(char c) { return c == ';' || c == ' ' || c == '\t'; }

// Reads a text file line by line; a line ends at LF, CR LF or a lone CR.
class LineReader {
public:
    explicit LineReader(std::FILE* file) : file_(file) {}

    // False at the end of the file or on a read error (see error()).
    bool next(std::string& line)
    {
        line.clear();
        int c = std::getc(file_);
        if (c == EOF) return finish();
        while (c != EOF && c != '\n' && c != '\r') {
            if (line.size() < MaxKeptLineLength) line.push_back(static_cast<char>(c));
            c = std::getc(file_);
        }
        if (c == '\r') {
            const int after = std::getc(file_);
            if (after != '\n' && after != EOF) std::ungetc(after, file_);
        }
        if (c == EOF && std::ferror(file_)) return finish();
        return true;
    }

    int error() const { return error_; }

private:
    bool finish()
    {
        if (std::ferror(file_)) error_ = errno != 0 ? errno : EIO;
        return false;
    }

    std::FILE* file_;
    int error_ = 0;
};

std::string readFailure(const std::string& fileName, const std::string& reason)
{
    return "errore di lettura del file " + fileName + ": " + reason;
}

void storeField(const PointTarget& into, int field, int lineNumber, int gridRow, const std::string& token)
{
    const double value = parseDecimalOrZero(std::string_view(token).substr(0, ConvertedLength));
    PointArray& target = field == 1 ? into.points.x : field == 2 ? into.points.y : into.points.z;
    target[lineNumber] = value;
    into.grid.setCell(gridRow, field, firstCharacters(token, PointGrid::CellTextLength));
}

// True when something other than separators follows in the file.
bool hasMoreContent(LineReader& reader)
{
    std::string line;
    while (reader.next(line))
        if (!std::all_of(line.begin(), line.end(), isSeparator)) return true;
    return false;
}

} // namespace

std::vector<std::string> splitPointFields(std::string_view line)
{
    std::vector<std::string> fields;
    std::string token;
    for (char c : line) {
        if (isSeparator(c)) {
            if (!token.empty()) fields.push_back(commaToPoint(token));
            token.clear();
        } else {
            token.push_back(c);
        }
    }
    if (!token.empty()) fields.push_back(commaToPoint(token));
    return fields;
}

Checked<LinesRead> readPointLines(const std::string& fileName, std::uint16_t firstLine, std::uint16_t lastLine,
                                 const PointTarget& into)
{
    std::error_code existence;
    if (!std::filesystem::exists(fileName, existence)) {
        if (existence && existence != std::errc::no_such_file_or_directory)
            return failed<LinesRead>(readFailure(fileName, existence.message()));
        return failed<LinesRead>(" IL FILE:" + fileName + " NON ESISTE!");
    }

    errno = 0;
    const FileHandle file = openForReading(fileName);
    if (!file) {
        return failed<LinesRead>(readFailure(fileName, std::strerror(errno != 0 ? errno : EIO)));
    }

    const int last = std::min<int>(lastLine, MaxPointLines);
    LineReader reader(file.get());
    std::string line;
    int lineNumber = 0;
    int gridRow = 0;
    while (lineNumber < last && reader.next(line)) {
        ++lineNumber;
        // Excel's "CSV UTF-8" starts the file with a byte-order mark.
        if (lineNumber == 1 && line.starts_with(Utf8ByteOrderMark)) line.erase(0, Utf8ByteOrderMark.size());
        if (lineNumber < firstLine) continue;
        ++gridRow;
        int field = 0;
        for (const std::string& token : splitPointFields(line)) {
            field = std::min(field + 1, 3);
            storeField(into, field, lineNumber, gridRow, token);
        }
    }
    const bool more = reader.error() == 0 && lineNumber == last && hasMoreContent(reader);
    if (reader.error() != 0) return failed<LinesRead>(readFailure(fileName, std::strerror(reader.error())));
    return succeeded(LinesRead{more});
}

} // namespace calvero
