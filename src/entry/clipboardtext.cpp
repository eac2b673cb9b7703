#include "entry/clipboardtext.h"

#include "common/utf8.h"
#include "common/numtext.h"
#include "entry/pointgrid.h"

namespace calvero {

namespace {


std::string_view trimmed(std::string_view cell)
{
    const auto first = cell.find_first_not_of(" \t");
    if (first == std::string_view::npos) return {};
    cell = cell.substr(first, cell.find_last_not_of(" \t") - first + 1);
    if (cell.size() >= 2 && cell.front() == '"' && cell.back() == '"') cell = cell.substr(1, cell.size() - 2);
    return cell;
}

std::vector<std::string_view> splitLine(std::string_view line)
{
    std::vector<std::string_view> cells;
    const char separator = line.find('\t') != std::string_view::npos ? '\t'
                           : line.find(';') != std::string_view::npos ? ';'
                                                                      : ' ';
    std::size_t start = 0;
    while (true) {
        const std::size_t end = line.find(separator, start);
        const std::string_view cell = trimmed(line.substr(start, end == std::string_view::npos ? line.npos : end - start));
        // A spreadsheet's block keeps its empty cells in place; in a text line
        // runs of blanks or semicolons separate, as in the text file import.
        if (separator == '\t' || !cell.empty()) cells.push_back(cell);
        if (end == std::string_view::npos) break;
        start = end + 1;
    }
    if (cells.empty()) cells.emplace_back();
    return cells;
}

// The next line of text from pos, which then moves past its line end.
std::string_view nextLine(std::string_view text, std::size_t& pos)
{
    const std::size_t end = text.find_first_of("\r\n", pos);
    const std::string_view line = text.substr(pos, end == std::string_view::npos ? text.npos : end - pos);
    pos = end == std::string_view::npos ? text.size() : end + 1;
    if (end != std::string_view::npos && text[end] == '\r' && pos < text.size() && text[pos] == '\n') ++pos;
    return line;
}

bool hasCellText(std::string_view text) { return text.find_first_not_of(" \t\r\n;\"") != std::string_view::npos; }

} // namespace

PastedBlock splitPastedText(std::string_view text, std::size_t rows, std::size_t columns)
{
    PastedBlock block;
    if (text.starts_with(Utf8ByteOrderMark)) text.remove_prefix(Utf8ByteOrderMark.size());
    std::size_t pos = 0;
    while (pos < text.size()) {
        if (block.cells.size() == rows) {
            block.rowsCut = hasCellText(text.substr(pos));
            break;
        }
        const std::vector<std::string_view> line = splitLine(nextLine(text, pos));
        std::vector<std::string>& row = block.cells.emplace_back();
        for (std::size_t c = 0; c < line.size(); ++c) {
            if (c < columns)
                row.push_back(firstCharacters(std::string(line[c]), PointGrid::CellTextLength));
            else if (!line[c].empty())
                block.columnsCut = true;
        }
    }
    return block;
}

std::string pasteMessage(const PastedBlock& block)
{
    std::string message;
    if (block.rowsCut)
        message = (block.cells.size() == 1 ? std::string("incollata solo la prima riga")
                                           : "incollate le prime " + std::to_string(block.cells.size()) + " righe") +
                  ": la griglia finisce alla riga 200";
    if (block.columnsCut) {
        if (!message.empty()) message += '\n';
        message += "incollate solo le colonne che entrano nella griglia";
    }
    return message;
}

std::string joinCopiedCells(const CellBlock& block)
{
    std::string text;
    for (const auto& row : block) {
        for (std::size_t c = 0; c < row.size(); ++c) {
            if (c > 0) text += '\t';
            text += row[c];
        }
        text += '\n';
    }
    return text;
}

} // namespace calvero
