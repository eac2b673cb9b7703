#include "entry/pointimport.h"

#include "common/openfile.h"
#include "common/systemerror.h"
#include "common/utf8.h"
#include "common/numtext.h"
#include "entry/pointgrid.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <filesystem>

namespace calvero {

namespace {

// Of a longer line only this much is kept, so a file without line ends
// cannot fill the memory; no line of points comes near it.
constexpr std::size_t MaxKeptLineLength = 1 << 20;

bool isSeparator(char c) { return c == ';' || c == ' ' || c == '\t'; }

// A NUL byte is no character: the padding of a file cut short by a crash, or
// the high bytes of UTF-16 saved without its mark. It is dropped.
bool isIgnored(char c) { return isSeparator(c) || c == '\0'; }

// The bytes of a text file as UTF-8: a file that begins with a UTF-16 mark
// (little- or big-endian) is decoded from UTF-16, an odd last byte dropped;
// any other file is given as it stands.
class TextBytes {
public:
    explicit TextBytes(std::FILE* file) : file_(file)
    {
        const int first = std::getc(file_);
        const int second = first == EOF ? EOF : std::getc(file_);
        if (first == 0xFF && second == 0xFE) {
            utf16_ = Utf16::LittleEndian;
        } else if (first == 0xFE && second == 0xFF) {
            utf16_ = Utf16::BigEndian;
        } else {
            for (int byte : {first, second})
                if (byte != EOF) pending_.push_back(static_cast<char>(byte));
        }
    }

    // The next byte, or EOF at the end of the file or on a read error.
    int get()
    {
        while (next_ == pending_.size()) {
            pending_.clear();
            next_ = 0;
            if (utf16_ == Utf16::None) return std::getc(file_);
            const int a = std::getc(file_);
            const int b = a == EOF ? EOF : std::getc(file_);
            if (b == EOF) {
                decoder_.finish(pending_);
                if (pending_.empty()) return EOF;
                break;
            }
            decoder_.put(static_cast<char16_t>(utf16_ == Utf16::LittleEndian ? a | b << 8 : a << 8 | b), pending_);
        }
        return static_cast<unsigned char>(pending_[next_++]);
    }

    // Gives back the byte just read.
    void unget(int byte)
    {
        if (byte == EOF) return;
        if (next_ > 0) {
            --next_;
            return;
        }
        std::ungetc(byte, file_);
    }

    std::FILE* file() const { return file_; }

private:
    enum class Utf16 { None, LittleEndian, BigEndian };
    std::FILE* file_;
    Utf16 utf16_ = Utf16::None;
    Utf16Decoder decoder_;
    std::string pending_; // bytes read ahead, or decoded from UTF-16
    std::size_t next_ = 0;
};

// Reads a text file line by line; a line ends at LF, CR LF or a lone CR.
class LineReader {
public:
    explicit LineReader(std::FILE* file) : bytes_(file) {}

    // False at the end of the file or on a read error (see error()).
    bool next(std::string& line)
    {
        line.clear();
        int c = bytes_.get();
        if (c == EOF) return finish();
        while (c != EOF && c != '\n' && c != '\r') {
            if (line.size() < MaxKeptLineLength) line.push_back(static_cast<char>(c));
            c = bytes_.get();
        }
        if (c == '\r') {
            const int after = bytes_.get();
            if (after != '\n') bytes_.unget(after);
        }
        if (c == EOF && std::ferror(bytes_.file())) return finish();
        return true;
    }

    int error() const { return error_; }

private:
    bool finish()
    {
        if (std::ferror(bytes_.file())) error_ = errno != 0 ? errno : EIO;
        return false;
    }

    TextBytes bytes_;
    int error_ = 0;
};

std::string readFailure(const std::string& fileName, const std::string& reason)
{
    return "errore di lettura del file " + fileName + ": " + reason;
}

void storeField(const PointTarget& into, int field, int lineNumber, int gridRow, const std::string& token)
{
    // A Windows file's "°" shows as such; what is no character is never stored.
    const std::string text = firstCharacters(validText(token), PointGrid::CellTextLength);
    PointArray& target = field == 1 ? into.points.x : field == 2 ? into.points.y : into.points.z;
    target[lineNumber] = parseDecimalOrZero(text);
    into.grid.setCell(gridRow, field, text);
}

// True when something other than separators follows in the file.
bool hasMoreContent(LineReader& reader)
{
    std::string line;
    while (reader.next(line))
        if (!std::all_of(line.begin(), line.end(), isIgnored)) return true;
    return false;
}

} // namespace

std::vector<std::string> splitPointFields(std::string_view line)
{
    std::vector<std::string> fields;
    std::string token;
    for (char c : line) {
        if (c == '\0') continue;
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

Checked<LinesRead> readPointLines(const std::string& fileName, int firstLine, int lastLine,
                                 const PointTarget& into)
{
    std::error_code existence;
    if (!std::filesystem::exists(fileName, existence)) {
        if (existence && existence != std::errc::no_such_file_or_directory)
            return failed<LinesRead>(readFailure(fileName, systemErrorText(existence.value())));
        return failed<LinesRead>(" IL FILE:" + fileName + " NON ESISTE!");
    }

    errno = 0;
    const FileHandle file = openForReading(fileName);
    if (!file) {
        return failed<LinesRead>(readFailure(fileName, systemErrorText(errno != 0 ? errno : EIO)));
    }

    const int last = std::min(lastLine, into.grid.rows());
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
        if (into.fourth) into.fourth->resize(static_cast<std::size_t>(gridRow), 0.0);
        for (const std::string& token : splitPointFields(line)) {
            field = std::min(field + 1, into.fourth ? 4 : 3);
            if (field == 4) {
                into.fourth->back() = parseDecimalOrZero(validText(token));
                continue;
            }
            storeField(into, field, lineNumber, gridRow, token);
        }
    }
    const bool more = reader.error() == 0 && lineNumber == last && hasMoreContent(reader);
    if (reader.error() != 0) return failed<LinesRead>(readFailure(fileName, systemErrorText(reader.error())));
    return succeeded(LinesRead{more});
}

} // namespace calvero
