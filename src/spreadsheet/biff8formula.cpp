#include "spreadsheet/biff8formula.h"

#include <cmath>

namespace calvero {

namespace {

std::uint8_t operatorPtg(FormulaOperation operation)
{
    switch (operation) {
    case FormulaOperation::Add: return Ptg::Add;
    case FormulaOperation::Subtract: return Ptg::Subtract;
    case FormulaOperation::Multiply: return Ptg::Multiply;
    case FormulaOperation::Divide: return Ptg::Divide;
    case FormulaOperation::Power: return Ptg::Power;
    case FormulaOperation::Negate: return Ptg::UnaryMinus;
    case FormulaOperation::Plus: return Ptg::UnaryPlus;
    case FormulaOperation::Parentheses: return Ptg::Parentheses;
    default: throw WorkbookError("operatore di formula sconosciuto");
    }
}

} // namespace

Bytes formulaTokenBytes(const FormulaTokens& tokens)
{
    ByteWriter out;
    for (const FormulaToken& token : tokens) {
        switch (token.operation) {
        case FormulaOperation::Number:
            if (token.number >= 0.0 && token.number <= 65535.0 && token.number == std::trunc(token.number) &&
                !std::signbit(token.number))
                out.u8(Ptg::Integer).u16(static_cast<std::uint16_t>(token.number));
            else
                out.u8(Ptg::Number).f64(token.number);
            break;
        case FormulaOperation::Reference: {
            const CellReference& ref = token.reference;
            std::uint16_t column = static_cast<std::uint16_t>(ref.address.column - 1);
            if (!ref.columnAbsolute) column |= 0x4000;
            if (!ref.rowAbsolute) column |= 0x8000;
            out.u8(Ptg::ReferenceValue).u16(static_cast<std::uint16_t>(ref.address.row - 1)).u16(column);
            break;
        }
        default: out.u8(operatorPtg(token.operation));
        }
    }
    if (out.size() > 1800) throw WorkbookError("formula troppo lunga");
    return out.data();
}

Bytes formulaValueBytes(const FormulaValue& value)
{
    ByteWriter out;
    if (const double* number = std::get_if<double>(&value)) {
        out.f64(*number);
    } else {
        // An error: type 2 in the first byte, the code in the third, 0xFFFF at the end.
        out.u8(0x02).u8(0).u8(static_cast<std::uint8_t>(std::get<CellError>(value))).zeros(3).u16(0xFFFF);
    }
    return out.data();
}

} // namespace calvero
