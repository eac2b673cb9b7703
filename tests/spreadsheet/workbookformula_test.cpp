#include "spreadsheet/biff8formula.h"
#include "spreadsheet/workbookformula.h"

#include <gtest/gtest.h>

#include <cmath>

namespace calvero {
namespace {

double valueOf(const std::string& text, const Worksheet& sheet = Worksheet())
{
    const FormulaValue value = evaluateFormula(parseFormula(text), sheet);
    if (!std::holds_alternative<double>(value)) ADD_FAILURE() << text << " gave an error value";
    return std::holds_alternative<double>(value) ? std::get<double>(value) : NAN;
}

CellError errorOf(const std::string& text, const Worksheet& sheet = Worksheet())
{
    const FormulaValue value = evaluateFormula(parseFormula(text), sheet);
    if (!std::holds_alternative<CellError>(value)) {
        ADD_FAILURE() << text << " gave a number";
        return CellError::Value;
    }
    return std::get<CellError>(value);
}

TEST(WorkbookFormula, ReferencesKeepTheirDollarSignsAndComeInReversePolishOrder)
{
    const FormulaTokens tokens = parseFormula("=$B$3+$b4*d3+B$5*$C6");
    ASSERT_EQ(tokens.size(), 9u);
    EXPECT_EQ(tokens[0].operation, FormulaOperation::Reference);
    EXPECT_EQ(tokens[0].reference, (CellReference{{3, 2}, true, true}));
    EXPECT_EQ(tokens[1].reference, (CellReference{{4, 2}, false, true})); // $b4: only the column is fixed
    EXPECT_EQ(tokens[2].reference, (CellReference{{3, 4}, false, false}));
    EXPECT_EQ(tokens[3].operation, FormulaOperation::Multiply);
    EXPECT_EQ(tokens[4].operation, FormulaOperation::Add);
    EXPECT_EQ(tokens[5].reference, (CellReference{{5, 2}, true, false}));
    EXPECT_EQ(tokens[6].reference, (CellReference{{6, 3}, false, true}));
    EXPECT_EQ(tokens[7].operation, FormulaOperation::Multiply);
    EXPECT_EQ(tokens[8].operation, FormulaOperation::Add);
}

TEST(WorkbookFormula, OperatorsFollowTheSpreadsheetPrecedence)
{
    EXPECT_DOUBLE_EQ(valueOf("=1+2*3^2"), 19.0);
    EXPECT_DOUBLE_EQ(valueOf("=2^3^2"), 64.0); // ^ groups from the left
    EXPECT_DOUBLE_EQ(valueOf("=-2^2"), 4.0);   // the sign binds before ^
    EXPECT_DOUBLE_EQ(valueOf("=(1+2)*3"), 9.0);
    EXPECT_DOUBLE_EQ(valueOf("=10-4-3"), 3.0);
    EXPECT_DOUBLE_EQ(valueOf("=10/4*2"), 5.0);
    EXPECT_DOUBLE_EQ(valueOf("=2*-3"), -6.0);
    EXPECT_DOUBLE_EQ(valueOf("= 1.5e2 + .5"), 150.5);
    EXPECT_DOUBLE_EQ(valueOf("=2^-1"), 0.5);
}

TEST(WorkbookFormula, ReferencesReadTheSheet)
{
    Worksheet sheet;
    sheet.setNumber({3, 1}, 2.5);
    sheet.setNumber({3, 2}, 0.75);
    sheet.setNumber({3, 4}, 16.0);
    sheet.setText({1, 1}, "X");
    sheet.setText({1, 2}, " 7 ");
    sheet.setFormula({9, 9}, "=$A$3*d3^$B$3");
    EXPECT_DOUBLE_EQ(valueOf("=$A$3*d3^$B$3", sheet), 2.5 * 8.0);
    EXPECT_DOUBLE_EQ(valueOf("=Z99+1", sheet), 1.0);    // an empty cell counts 0
    EXPECT_DOUBLE_EQ(valueOf("=B1*2", sheet), 14.0);    // a text that reads as a number
    EXPECT_DOUBLE_EQ(valueOf("=I9+1", sheet), 21.0);    // a formula cell counts its value
    EXPECT_EQ(errorOf("=A1+1", sheet), CellError::Value);
}

TEST(WorkbookFormula, ImpossibleArithmeticGivesTheSpreadsheetsErrorValues)
{
    EXPECT_EQ(errorOf("=1/0"), CellError::DivisionByZero);
    EXPECT_EQ(errorOf("=0^0"), CellError::Number);
    EXPECT_EQ(errorOf("=0^-1"), CellError::DivisionByZero);
    EXPECT_EQ(errorOf("=(-8)^0.5"), CellError::Number);
    EXPECT_DOUBLE_EQ(valueOf("=(-2)^3"), -8.0);
    EXPECT_EQ(errorOf("=10^400"), CellError::Number);
    EXPECT_EQ(errorOf("=1/0+1/(0^0)"), CellError::DivisionByZero); // the first error from the left

    Worksheet sheet;
    sheet.setFormula({1, 1}, "=B1+1");
    sheet.setFormula({1, 2}, "=A1*2");
    EXPECT_EQ(std::get<CellError>(cellValue(sheet, {1, 1})), CellError::Reference);
}

TEST(WorkbookFormula, TextsOutsideTheLanguageAreRefused)
{
    for (const char* text : {"", "1+2", "=", "=1+", "=(1", "=1)", "=A", "=3B", "=1 2", "=A0", "=IW1", "=A65537",
                             "=SUM(A1)", "=1++", "=$$A1", "=A1:B2", "=2,5"})
        EXPECT_THROW(parseFormula(text), FormulaSyntaxError) << text;
}

TEST(WorkbookFormula, TokensAreStoredAsCellFormulaPtgs)
{
    const Bytes bytes = formulaTokenBytes(parseFormula("=$B$3+d3*2"));
    const Bytes expected{0x44, 0x02, 0x00, 0x01, 0x00,  // $B$3: row 2, column 1, both absolute
                         0x44, 0x02, 0x00, 0x03, 0xC0,  // d3: row and column relative
                         0x1E, 0x02, 0x00,              // 2 as an integer
                         0x05, 0x03};                   // *, +
    EXPECT_EQ(bytes, expected);

    const Bytes fraction = formulaTokenBytes(parseFormula("=-(2.5)"));
    ASSERT_EQ(fraction.size(), 11u);
    EXPECT_EQ(fraction[0], Ptg::Number);
    EXPECT_EQ(fraction[9], Ptg::Parentheses);
    EXPECT_EQ(fraction[10], Ptg::UnaryMinus);
    EXPECT_EQ(formulaTokenBytes(parseFormula("=70000"))[0], Ptg::Number);
    EXPECT_EQ(formulaTokenBytes(parseFormula("=2^3"))[6], Ptg::Power);
}

TEST(WorkbookFormula, CachedValuesAreNumbersOrMarkedErrors)
{
    const Bytes number = formulaValueBytes(1.0);
    EXPECT_EQ(number, (Bytes{0, 0, 0, 0, 0, 0, 0xF0, 0x3F}));
    const Bytes error = formulaValueBytes(CellError::DivisionByZero);
    EXPECT_EQ(error, (Bytes{0x02, 0, 0x07, 0, 0, 0, 0xFF, 0xFF}));
}

} // namespace
} // namespace calvero
