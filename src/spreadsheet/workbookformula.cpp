#include "spreadsheet/workbookformula.h"

#include "common/numtext.h"

#include <cmath>
#include <iterator>
#include <set>
#include <string>

namespace calvero {

namespace {

bool isDigit(char c) { return c >= '0' && c <= '9'; }
bool isLetter(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }

// Recursive descent over the text, appending tokens in reverse Polish order.
class Parser {
public:
    explicit Parser(std::string_view text) : text_(text) {}

    FormulaTokens parse()
    {
        if (text_.empty() || text_.front() != '=') fail("una formula comincia con =");
        position_ = 1;
        binary();
        skipBlanks();
        if (position_ != text_.size()) fail("carattere inatteso");
        return std::move(tokens_);
    }

private:
    [[noreturn]] void fail(const std::string& what) const
    {
        throw FormulaSyntaxError("formula non valida (" + what + ", posizione " + std::to_string(position_ + 1) +
                                 "): " + std::string(text_));
    }

    void skipBlanks()
    {
        while (position_ < text_.size() && text_[position_] == ' ') ++position_;
    }

    void emit(FormulaOperation operation) { tokens_.push_back(FormulaToken{operation, 0.0, {}}); }

    // The binary operators by rising precedence; each level groups from the left.
    static constexpr std::string_view BinaryLevels[] = {"+-", "*/", "^"};

    static FormulaOperation binaryOperation(char symbol)
    {
        switch (symbol) {
        case '+': return FormulaOperation::Add;
        case '-': return FormulaOperation::Subtract;
        case '*': return FormulaOperation::Multiply;
        case '/': return FormulaOperation::Divide;
        default: return FormulaOperation::Power;
        }
    }

    // The next character after blanks when it is one of symbols, taken; 0 otherwise.
    char acceptOneOf(std::string_view symbols)
    {
        skipBlanks();
        if (position_ >= text_.size() || symbols.find(text_[position_]) == std::string_view::npos) return 0;
        return text_[position_++];
    }

    bool accept(char c) { return acceptOneOf(std::string_view(&c, 1)) != 0; }

    void binary(std::size_t level = 0)
    {
        if (level == std::size(BinaryLevels)) return unary();
        binary(level + 1);
        while (const char symbol = acceptOneOf(BinaryLevels[level])) {
            binary(level + 1);
            emit(binaryOperation(symbol));
        }
    }

    void unary()
    {
        if (accept('-')) {
            unary();
            emit(FormulaOperation::Negate);
        } else if (accept('+')) {
            unary();
            emit(FormulaOperation::Plus);
        } else {
            primary();
        }
    }

    void primary()
    {
        skipBlanks();
        if (accept('(')) {
            binary();
            if (!accept(')')) fail("manca )");
            emit(FormulaOperation::Parentheses);
            return;
        }
        if (position_ >= text_.size()) fail("manca un operando");
        const char c = text_[position_];
        if (isDigit(c) || c == '.') {
            number();
        } else if (isLetter(c) || c == '$') {
            reference();
        } else {
            fail("manca un operando");
        }
    }

    void number()
    {
        const std::size_t start = position_;
        while (position_ < text_.size() && isDigit(text_[position_])) ++position_;
        if (position_ < text_.size() && text_[position_] == '.') {
            ++position_;
            while (position_ < text_.size() && isDigit(text_[position_])) ++position_;
        }
        if (position_ < text_.size() && (text_[position_] == 'e' || text_[position_] == 'E')) {
            std::size_t exponent = position_ + 1;
            if (exponent < text_.size() && (text_[exponent] == '+' || text_[exponent] == '-')) ++exponent;
            if (exponent < text_.size() && isDigit(text_[exponent])) {
                position_ = exponent;
                while (position_ < text_.size() && isDigit(text_[position_])) ++position_;
            }
        }
        const auto value = parseDecimal(text_.substr(start, position_ - start));
        if (!value) fail("numero non valido");
        FormulaToken token;
        token.operation = FormulaOperation::Number;
        token.number = *value;
        tokens_.push_back(token);
    }

    void reference()
    {
        const std::size_t start = position_;
        CellReference ref;
        if (text_[position_] == '$') {
            ref.columnAbsolute = true;
            ++position_;
        }
        const std::size_t letters = position_;
        while (position_ < text_.size() && isLetter(text_[position_])) ++position_;
        if (position_ == letters) fail("riferimento non valido");
        std::string name(text_.substr(letters, position_ - letters));
        if (position_ < text_.size() && text_[position_] == '$') {
            ref.rowAbsolute = true;
            ++position_;
        }
        const std::size_t digits = position_;
        while (position_ < text_.size() && isDigit(text_[position_])) ++position_;
        if (position_ == digits) {
            position_ = start;
            fail("riferimento non valido");
        }
        name.append(text_.substr(digits, position_ - digits));
        const auto address = parseCellName(name);
        if (!address) {
            position_ = start;
            fail("riferimento fuori dal foglio");
        }
        ref.address = *address;
        FormulaToken token;
        token.operation = FormulaOperation::Reference;
        token.reference = ref;
        tokens_.push_back(token);
    }

    std::string_view text_;
    std::size_t position_ = 0;
    FormulaTokens tokens_;
};

// The result of an arithmetic step as the spreadsheet shows it: a value too
// large for a double is #NUM!.
FormulaValue finite(double value)
{
    if (!std::isfinite(value)) return CellError::Number;
    return value;
}

FormulaValue raise(double base, double exponent)
{
    if (base == 0.0) {
        if (exponent == 0.0) return CellError::Number;
        if (exponent < 0.0) return CellError::DivisionByZero;
    }
    if (base < 0.0 && exponent != std::trunc(exponent)) return CellError::Number;
    return finite(std::pow(base, exponent));
}

FormulaValue apply(FormulaOperation operation, double a, double b)
{
    switch (operation) {
    case FormulaOperation::Add: return finite(a + b);
    case FormulaOperation::Subtract: return finite(a - b);
    case FormulaOperation::Multiply: return finite(a * b);
    case FormulaOperation::Divide:
        if (b == 0.0) return CellError::DivisionByZero;
        return finite(a / b);
    case FormulaOperation::Power: return raise(a, b);
    default: return CellError::Value;
    }
}

class Evaluator {
public:
    explicit Evaluator(const Worksheet& sheet) : sheet_(sheet) {}

    FormulaValue tokens(const FormulaTokens& tokens)
    {
        std::vector<FormulaValue> stack;
        for (const FormulaToken& token : tokens) {
            switch (token.operation) {
            case FormulaOperation::Number: stack.emplace_back(token.number); break;
            case FormulaOperation::Reference: stack.push_back(cell(token.reference.address)); break;
            case FormulaOperation::Parentheses:
            case FormulaOperation::Plus:
                if (stack.empty()) return CellError::Value;
                break;
            case FormulaOperation::Negate:
                if (stack.empty()) return CellError::Value;
                if (const double* value = std::get_if<double>(&stack.back())) stack.back() = -*value;
                break;
            default: {
                if (stack.size() < 2) return CellError::Value;
                const FormulaValue right = stack.back();
                stack.pop_back();
                const FormulaValue left = stack.back();
                // The first error met from the left is the result, as in the spreadsheet.
                if (std::holds_alternative<CellError>(left)) break;
                if (std::holds_alternative<CellError>(right)) {
                    stack.back() = right;
                    break;
                }
                stack.back() = apply(token.operation, std::get<double>(left), std::get<double>(right));
            }
            }
        }
        if (stack.size() != 1) return CellError::Value;
        return stack.back();
    }

    FormulaValue cell(CellAddress address)
    {
        const CellValue* value = sheet_.cell(address);
        if (value == nullptr) return 0.0;
        if (const double* number = std::get_if<double>(value)) return *number;
        if (const std::string* text = std::get_if<std::string>(value)) {
            if (const auto number = numberFromTypedText(*text)) return *number;
            return CellError::Value;
        }
        if (!active_.insert(address).second) return CellError::Reference;
        FormulaValue result = CellError::Value;
        try {
            result = tokens(parseFormula(std::get<FormulaText>(*value).text));
        } catch (const FormulaSyntaxError&) {
            result = CellError::Value;
        }
        active_.erase(address);
        return result;
    }

private:
    const Worksheet& sheet_;
    std::set<CellAddress> active_; // formula cells being evaluated, to stop at a cycle
};

} // namespace

FormulaTokens parseFormula(std::string_view text) { return Parser(text).parse(); }

FormulaValue evaluateFormula(const FormulaTokens& tokens, const Worksheet& sheet)
{
    return Evaluator(sheet).tokens(tokens);
}

FormulaValue cellValue(const Worksheet& sheet, CellAddress address) { return Evaluator(sheet).cell(address); }

} // namespace calvero
