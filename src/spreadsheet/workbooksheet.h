#pragma once
// One worksheet of a workbook in memory: cells holding a number, a text or a
// formula, the number formats cells show their numbers with, and column
// widths. The workbook writer turns it into a file.
#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <variant>

namespace calvero {

// A cell position, rows and columns counted from 1 (A1 is row 1, column 1).
struct CellAddress {
    int row = 1;
    int column = 1;
    auto operator<=>(const CellAddress&) const = default;
};

// Rows and columns of a BIFF8 sheet.
constexpr int MaxSheetRows = 65536;
constexpr int MaxSheetColumns = 256;

// "B3" -> row 3, column 2; letters in either case. Nothing for a text that is
// not a cell name within the sheet's size.
std::optional<CellAddress> parseCellName(std::string_view name);
// Row 3, column 2 -> "B3".
std::string cellName(CellAddress address);

struct FormulaText {
    std::string text; // as entered, starting with "="
    bool operator==(const FormulaText&) const = default;
};

using CellValue = std::variant<double, std::string, FormulaText>;

class Worksheet {
public:
    explicit Worksheet(std::string name = "Foglio1") : name_(std::move(name)) {}

    const std::string& name() const { return name_; }
    void setName(std::string name) { name_ = std::move(name); }

    // Throws std::out_of_range for an address outside the sheet.
    void setNumber(CellAddress address, double value);
    void setText(CellAddress address, std::string text);
    void setFormula(CellAddress address, std::string text);
    void clearCell(CellAddress address);

    // Enters a text as the spreadsheet application takes typed input: a text
    // that reads as a number (blanks around it allowed) becomes a number, a
    // text starting with "=" a formula, any other text a text cell; an empty
    // text leaves the cell empty.
    void enter(CellAddress address, const std::string& text);
    void enter(std::string_view cell, const std::string& text);

    const CellValue* cell(CellAddress address) const;
    const CellValue* cell(std::string_view cellName) const;
    const std::map<CellAddress, CellValue>& cells() const { return cells_; }

    // The number format code a cell shows its number with ("0.000": three
    // decimals on screen while the cell keeps every digit of its number).
    // A cell without one shows its number in the General format.
    void setNumberFormat(CellAddress address, std::string code);
    const std::map<CellAddress, std::string>& numberFormats() const { return numberFormats_; }

    // Width in characters of the default font's digit, as the spreadsheet
    // application shows it (the cell padding not counted).
    void setColumnWidth(int column, double characters);
    std::optional<double> columnWidth(int column) const;
    const std::map<int, double>& columnWidths() const { return columnWidths_; }

private:
    void put(CellAddress address, CellValue value);

    std::string name_;
    std::map<CellAddress, CellValue> cells_;
    std::map<CellAddress, std::string> numberFormats_;
    std::map<int, double> columnWidths_;
};

// The number a typed text stands for: blanks around it are ignored, the rest
// is the standard decimal conversion; a negative zero becomes 0.
std::optional<double> numberFromTypedText(std::string_view text);

} // namespace calvero
