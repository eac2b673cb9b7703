#pragma once
// A parsed formula in the workbook's own form: the parsed-expression tokens
// (ptg) of a cell formula and the cached value stored beside them.
#include "spreadsheet/biff8records.h"
#include "spreadsheet/workbookformula.h"

namespace calvero {

namespace Ptg {
constexpr std::uint8_t Add = 0x03;
constexpr std::uint8_t Subtract = 0x04;
constexpr std::uint8_t Multiply = 0x05;
constexpr std::uint8_t Divide = 0x06;
constexpr std::uint8_t Power = 0x07;
constexpr std::uint8_t UnaryPlus = 0x12;
constexpr std::uint8_t UnaryMinus = 0x13;
constexpr std::uint8_t Parentheses = 0x15;
constexpr std::uint8_t Integer = 0x1E;
constexpr std::uint8_t Number = 0x1F;
constexpr std::uint8_t ReferenceValue = 0x44; // a cell reference taken as a value
} // namespace Ptg

// The rgce bytes: numbers that are whole and fit 16 bits as integers, others
// as doubles; references with their relative flags (set when there is no $).
Bytes formulaTokenBytes(const FormulaTokens& tokens);

// The 8-byte cached value: the double itself, or an error value.
Bytes formulaValueBytes(const FormulaValue& value);

} // namespace calvero
