#pragma once
// The small formula language of the exported sheets: "=" followed by numbers,
// cell references (A1, $B$3, d3), + - * / ^, unary signs and parentheses,
// with the spreadsheet's precedence (sign, then ^, then * /, then + -; every
// binary operator groups from the left). The parser gives the expression in
// reverse Polish order, the order in which the workbook stores it; the
// evaluator computes the value the spreadsheet would show.
#include "spreadsheet/workbooksheet.h"

#include <cstdint>
#include <stdexcept>
#include <string_view>
#include <variant>
#include <vector>

namespace calvero {

struct CellReference {
    CellAddress address;
    bool rowAbsolute = false;    // $ before the row
    bool columnAbsolute = false; // $ before the column
    bool operator==(const CellReference&) const = default;
};

enum class FormulaOperation : std::uint8_t {
    Number,      // pushes number
    Reference,   // pushes the value of reference
    Add,
    Subtract,
    Multiply,
    Divide,
    Power,
    Negate,      // unary minus
    Plus,        // unary plus
    Parentheses, // keeps the parentheses as written; no effect on the value
};

struct FormulaToken {
    FormulaOperation operation = FormulaOperation::Number;
    double number = 0.0;
    CellReference reference{};
    bool operator==(const FormulaToken&) const = default;
};

using FormulaTokens = std::vector<FormulaToken>;

class FormulaSyntaxError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Throws FormulaSyntaxError for a text outside the language.
FormulaTokens parseFormula(std::string_view text);

// The error values a cell can show, with their codes in the workbook file.
enum class CellError : std::uint8_t {
    DivisionByZero = 0x07, // #DIV/0!
    Value = 0x0F,          // #VALUE!
    Reference = 0x17,      // #REF!
    Number = 0x24,         // #NUM!
};

using FormulaValue = std::variant<double, CellError>;

// The value of the expression over the sheet: an empty cell counts 0, a text
// cell that reads as a number counts that number, any other text is #VALUE!,
// a formula cell counts its own value (a circular reference is #REF!).
FormulaValue evaluateFormula(const FormulaTokens& tokens, const Worksheet& sheet);

// The value a cell shows: its number, the value of its formula, 0 when empty;
// #VALUE! for a text that is not a number and for a formula the parser refuses.
FormulaValue cellValue(const Worksheet& sheet, CellAddress address);

} // namespace calvero
