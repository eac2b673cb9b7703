#include "spreadsheet/workbooksheet.h"

#include "common/numtext.h"

#include <stdexcept>

namespace calvero {

namespace {

bool isLetter(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }
bool isDigit(char c) { return c >= '0' && c <= '9'; }
int letterValue(char c) { return (c >= 'a' ? c - 'a' : c - 'A') + 1; }

void checkAddress(CellAddress address)
{
    if (address.row < 1 || address.row > MaxSheetRows || address.column < 1 || address.column > MaxSheetColumns)
        throw std::out_of_range("cella fuori dal foglio");
}

} // namespace

std::optional<CellAddress> parseCellName(std::string_view name)
{
    std::size_t i = 0;
    int column = 0;
    while (i < name.size() && isLetter(name[i])) {
        column = column * 26 + letterValue(name[i]);
        if (column > MaxSheetColumns) return std::nullopt;
        ++i;
    }
    if (i == 0 || i == name.size()) return std::nullopt;
    int row = 0;
    for (; i < name.size(); ++i) {
        if (!isDigit(name[i])) return std::nullopt;
        row = row * 10 + (name[i] - '0');
        if (row > MaxSheetRows) return std::nullopt;
    }
    if (row < 1) return std::nullopt;
    return CellAddress{row, column};
}

std::string cellName(CellAddress address)
{
    std::string letters;
    for (int column = address.column; column > 0; column = (column - 1) / 26)
        letters.insert(letters.begin(), static_cast<char>('A' + (column - 1) % 26));
    return letters + std::to_string(address.row);
}

std::optional<double> numberFromTypedText(std::string_view text)
{
    const auto first = text.find_first_not_of(' ');
    if (first == std::string_view::npos) return std::nullopt;
    const auto last = text.find_last_not_of(' ');
    const auto number = parseDecimal(text.substr(first, last - first + 1));
    // A typed "-0.000" is zero without a sign, as the spreadsheet takes it.
    if (number && *number == 0.0) return 0.0;
    return number;
}

void Worksheet::put(CellAddress address, CellValue value)
{
    checkAddress(address);
    cells_[address] = std::move(value);
}

void Worksheet::setNumber(CellAddress address, double value) { put(address, value); }
void Worksheet::setText(CellAddress address, std::string text) { put(address, std::move(text)); }
void Worksheet::setFormula(CellAddress address, std::string text) { put(address, FormulaText{std::move(text)}); }

void Worksheet::clearCell(CellAddress address) { cells_.erase(address); }

void Worksheet::enter(CellAddress address, const std::string& text)
{
    if (text.empty()) {
        checkAddress(address);
        clearCell(address);
    } else if (text.front() == '=') {
        setFormula(address, text);
    } else if (const auto number = numberFromTypedText(text)) {
        setNumber(address, *number);
    } else {
        setText(address, text);
    }
}

void Worksheet::enter(std::string_view name, const std::string& text)
{
    const auto address = parseCellName(name);
    if (!address) throw std::out_of_range("nome di cella non valido: " + std::string(name));
    enter(*address, text);
}

const CellValue* Worksheet::cell(CellAddress address) const
{
    const auto found = cells_.find(address);
    return found == cells_.end() ? nullptr : &found->second;
}

const CellValue* Worksheet::cell(std::string_view name) const
{
    const auto address = parseCellName(name);
    return address ? cell(*address) : nullptr;
}

void Worksheet::setNumberFormat(CellAddress address, std::string code)
{
    checkAddress(address);
    numberFormats_[address] = std::move(code);
}

void Worksheet::setColumnWidth(int column, double characters)
{
    checkAddress(CellAddress{1, column});
    if (!(characters >= 0.0 && characters <= 255.0)) throw std::out_of_range("larghezza di colonna non valida");
    columnWidths_[column] = characters;
}

std::optional<double> Worksheet::columnWidth(int column) const
{
    const auto found = columnWidths_.find(column);
    if (found == columnWidths_.end()) return std::nullopt;
    return found->second;
}

} // namespace calvero
