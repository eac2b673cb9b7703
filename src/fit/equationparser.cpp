#include "fit/equationparser.h"

#include <quadmath.h>

#include <algorithm>
#include <cctype>
#include <limits>
#include <optional>

namespace calvero {

namespace {

enum class TokenKind { Number, Name, Plus, Minus, Times, Divide, Power, Open, Close, Equals, Separator, End };

struct Token {
    TokenKind kind = TokenKind::End;
    std::string text;
    __float128 number = 0;
    std::size_t offset = 0; // in bytes
};

// The deepest nesting of parentheses, signs and powers the reader follows.
constexpr int MaxDepth = 200;

struct Mistake {
    std::string sentence;
    std::size_t offset;
};

bool isDigit(char c) { return c >= '0' && c <= '9'; }
bool isNameStart(char c) { return std::isalpha(static_cast<unsigned char>(c)) || c == '_'; }
bool isNameChar(char c) { return isNameStart(c) || isDigit(c); }

std::string lowered(std::string text)
{
    for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return text;
}

// The character at offset as the user sees it: an ASCII character, or the
// whole UTF-8 sequence; "?" for bytes that are not UTF-8.
std::string characterAt(std::string_view text, std::size_t offset)
{
    const auto c = static_cast<unsigned char>(text[offset]);
    if (c >= 0x20 && c < 0x7F) return std::string(1, static_cast<char>(c));
    const int length = c >= 0xF0 && c < 0xF5 ? 4 : c >= 0xE0 ? 3 : c >= 0xC2 && c < 0xE0 ? 2 : 0;
    if (length == 0 || offset + static_cast<std::size_t>(length) > text.size()) return "?";
    for (int k = 1; k < length; ++k)
        if ((static_cast<unsigned char>(text[offset + static_cast<std::size_t>(k)]) & 0xC0) != 0x80) return "?";
    return std::string(text.substr(offset, static_cast<std::size_t>(length)));
}

class Lexer {
public:
    explicit Lexer(std::string_view text) : text_(text) {}

    // The tokens, or the first character that makes none.
    std::optional<Mistake> run(std::vector<Token>& tokens)
    {
        while (true) {
            while (at_ < text_.size() && (text_[at_] == ' ' || text_[at_] == '\t')) ++at_;
            if (at_ >= text_.size()) break;
            const char c = text_[at_];
            Token token;
            token.offset = at_;
            if (isDigit(c) || (c == '.' && at_ + 1 < text_.size() && isDigit(text_[at_ + 1]))) {
                if (auto mistake = number(token)) return mistake;
            } else if (isNameStart(c)) {
                while (at_ < text_.size() && isNameChar(text_[at_])) token.text += text_[at_++];
                token.kind = TokenKind::Name;
            } else if (c == ',') {
                // A comma followed by a blank separates arguments; one between
                // two digits is taken by the number.
                if (at_ + 1 < text_.size() && (text_[at_ + 1] == ' ' || text_[at_ + 1] == '\t')) {
                    token.kind = TokenKind::Separator;
                    ++at_;
                } else {
                    return Mistake{"virgola non valida alla posizione %: gli argomenti di una funzione si separano con "
                                   "\";\" o con una virgola seguita da uno spazio, i decimali con il punto o con una "
                                   "virgola tra due cifre",
                                   at_};
                }
            } else if (auto kind = symbol(c)) {
                token.kind = *kind;
                ++at_;
                if (c == '*' && at_ < text_.size() && text_[at_] == '*') {
                    token.kind = TokenKind::Power;
                    ++at_;
                }
            } else {
                return Mistake{"carattere non ammesso \"" + characterAt(text_, at_) + "\" alla posizione %", at_};
            }
            tokens.push_back(std::move(token));
        }
        Token end;
        end.offset = text_.size();
        tokens.push_back(end);
        return std::nullopt;
    }

private:
    static std::optional<TokenKind> symbol(char c)
    {
        switch (c) {
        case '+': return TokenKind::Plus;
        case '-': return TokenKind::Minus;
        case '*': return TokenKind::Times;
        case '/': return TokenKind::Divide;
        case '^': return TokenKind::Power;
        case '(': return TokenKind::Open;
        case ')': return TokenKind::Close;
        case '=': return TokenKind::Equals;
        case ';': return TokenKind::Separator;
        default: return std::nullopt;
        }
    }

    // Digits, a fraction after a point or after a comma between two digits,
    // and an exponent when digits follow the E (2e is 2 and the name e).
    std::optional<Mistake> number(Token& token)
    {
        std::string digits;
        auto take = [&] {
            while (at_ < text_.size() && isDigit(text_[at_])) digits += text_[at_++];
        };
        take();
        if (at_ < text_.size()) {
            const bool point = text_[at_] == '.';
            const bool comma = text_[at_] == ',' && at_ > 0 && isDigit(text_[at_ - 1]) && at_ + 1 < text_.size() &&
                               isDigit(text_[at_ + 1]);
            if (point || comma) {
                digits += '.';
                ++at_;
                take();
            }
        }
        if (at_ < text_.size() && (text_[at_] == 'e' || text_[at_] == 'E')) {
            std::size_t after = at_ + 1;
            if (after < text_.size() && (text_[after] == '+' || text_[after] == '-')) ++after;
            if (after < text_.size() && isDigit(text_[after])) {
                digits += 'e';
                digits.append(text_.substr(at_ + 1, after - at_ - 1));
                at_ = after;
                take();
            }
        }
        token.kind = TokenKind::Number;
        token.text = digits;
        token.number = strtoflt128(digits.c_str(), nullptr);
        if (isnanq(token.number) || isinfq(token.number) ||
            fabsq(token.number) > static_cast<__float128>(std::numeric_limits<double>::max()))
            return Mistake{"numero troppo grande alla posizione %", token.offset};
        return std::nullopt;
    }

    std::string_view text_;
    std::size_t at_ = 0;
};

class Parser {
public:
    Parser(std::string_view text, std::vector<Token> tokens) : text_(text), tokens_(std::move(tokens)) {}

    std::optional<Mistake> run(ParsedEquation& equation)
    {
        // "y =" or "z =" before the right side, or nothing.
        std::optional<std::string> left;
        if (tokens_.size() > 2 && tokens_[1].kind == TokenKind::Equals) {
            if (tokens_[0].kind != TokenKind::Name ||
                (lowered(tokens_[0].text) != "y" && lowered(tokens_[0].text) != "z"))
                return Mistake{"a sinistra di \"=\" va y (o z per un'equazione di x e y): posizione %", tokens_[0].offset};
            left = lowered(tokens_[0].text);
            at_ = 2;
        } else if (tokens_[0].kind == TokenKind::Equals) {
            return Mistake{"a sinistra di \"=\" va y (o z per un'equazione di x e y): posizione %", tokens_[0].offset};
        }
        twoVariables_ = left == "z";
        // Without a left side, y on the right makes an equation of x and y.
        if (!left) {
            for (const Token& token : tokens_)
                if (token.kind == TokenKind::Name && lowered(token.text) == "y") twoVariables_ = true;
        }
        if (tokens_[at_].kind == TokenKind::End)
            return Mistake{left ? "manca l'espressione a destra di \"=\"" : "equazione vuota", text_.size()};
        if (auto mistake = sum(0)) return mistake;
        const Token& rest = tokens_[at_];
        if (rest.kind != TokenKind::End) {
            if (rest.kind == TokenKind::Close)
                return Mistake{"parentesi chiusa senza una aperta alla posizione %", rest.offset};
            if (rest.kind == TokenKind::Equals) return Mistake{"un solo \"=\" nell'equazione: posizione %", rest.offset};
            if (rest.kind == TokenKind::Separator)
                return Mistake{"separatore di argomenti fuori da una funzione alla posizione %", rest.offset};
            return Mistake{"manca un operatore prima della posizione %", rest.offset};
        }
        if (names_.empty()) return Mistake{"nessun parametro da calcolare nell'equazione", text_.size()};
        equation.twoVariables = twoVariables_;
        equation.parameters = names_;
        equation.expression = Expression(std::move(steps_), static_cast<int>(names_.size()));
        return std::nullopt;
    }

private:
    const Token& current() const { return tokens_[at_]; }

    int push(ExpressionStep step)
    {
        if (step.first >= 0) step.withParameters = steps_[static_cast<std::size_t>(step.first)].withParameters;
        if (step.second >= 0)
            step.withParameters = step.withParameters || steps_[static_cast<std::size_t>(step.second)].withParameters;
        steps_.push_back(step);
        return static_cast<int>(steps_.size()) - 1;
    }

    int binary(Operation operation, int first, int second, std::size_t offset)
    {
        ExpressionStep step;
        step.operation = operation;
        step.first = first;
        step.second = second;
        step.position = static_cast<int>(offset);
        return push(step);
    }

    std::optional<Mistake> deeper(int depth) const
    {
        if (depth > MaxDepth) return Mistake{"troppe parentesi o operatori annidati alla posizione %", current().offset};
        return std::nullopt;
    }

    // A missing operand: what stands where one should.
    Mistake missingOperand() const
    {
        const Token& token = current();
        if (token.kind == TokenKind::End) return Mistake{"l'equazione finisce dove manca un valore (posizione %)", token.offset};
        if (token.kind == TokenKind::Close) return Mistake{"manca un valore prima della parentesi alla posizione %", token.offset};
        return Mistake{"manca un valore alla posizione %", token.offset};
    }

    std::optional<Mistake> sum(int depth)
    {
        if (auto mistake = product(depth)) return mistake;
        while (current().kind == TokenKind::Plus || current().kind == TokenKind::Minus) {
            const Token& op = current();
            const int left = last();
            ++at_;
            if (auto mistake = product(depth)) return mistake;
            binary(op.kind == TokenKind::Plus ? Operation::Add : Operation::Subtract, left, last(), op.offset);
        }
        return std::nullopt;
    }

    std::optional<Mistake> product(int depth)
    {
        if (auto mistake = signed_(depth)) return mistake;
        while (current().kind == TokenKind::Times || current().kind == TokenKind::Divide) {
            const Token& op = current();
            const int left = last();
            ++at_;
            if (auto mistake = signed_(depth)) return mistake;
            binary(op.kind == TokenKind::Times ? Operation::Multiply : Operation::Divide, left, last(), op.offset);
        }
        return std::nullopt;
    }

    // A sign applies to the power after it: -x^2 is -(x^2).
    std::optional<Mistake> signed_(int depth)
    {
        if (auto mistake = deeper(depth)) return mistake;
        if (current().kind == TokenKind::Minus || current().kind == TokenKind::Plus) {
            const Token& op = current();
            ++at_;
            if (auto mistake = signed_(depth + 1)) return mistake;
            if (op.kind == TokenKind::Minus) {
                ExpressionStep step;
                step.operation = Operation::Negate;
                step.first = last();
                step.position = static_cast<int>(op.offset);
                push(step);
            }
            return std::nullopt;
        }
        return power(depth);
    }

    // The power is right-associative, and its exponent may carry a sign.
    std::optional<Mistake> power(int depth)
    {
        if (auto mistake = primary(depth)) return mistake;
        if (current().kind != TokenKind::Power) return std::nullopt;
        const Token& op = current();
        const int base = last();
        ++at_;
        if (auto mistake = signed_(depth + 1)) return mistake;
        binary(Operation::Power, base, last(), op.offset);
        return std::nullopt;
    }

    std::optional<Mistake> primary(int depth)
    {
        const Token& token = current();
        switch (token.kind) {
        case TokenKind::Number: {
            ExpressionStep step;
            step.operation = Operation::Number;
            step.number = token.number;
            step.position = static_cast<int>(token.offset);
            push(step);
            ++at_;
            return std::nullopt;
        }
        case TokenKind::Open: {
            ++at_;
            if (auto mistake = deeper(depth + 1)) return mistake;
            if (auto mistake = sum(depth + 1)) return mistake;
            if (current().kind != TokenKind::Close) return unclosed(token);
            ++at_;
            return std::nullopt;
        }
        case TokenKind::Name: return name(depth);
        default: return missingOperand();
        }
    }

    Mistake unclosed(const Token& open) const
    {
        const Token& token = current();
        if (token.kind == TokenKind::End || token.kind == TokenKind::Equals)
            return Mistake{"parentesi non chiusa alla posizione %", open.offset};
        if (token.kind == TokenKind::Separator)
            return Mistake{"separatore di argomenti fuori da una funzione alla posizione %", token.offset};
        return Mistake{"manca un operatore prima della posizione %", token.offset};
    }

    std::optional<Mistake> name(int depth)
    {
        const Token& token = current();
        const std::string lower = lowered(token.text);
        const bool called = tokens_[at_ + 1].kind == TokenKind::Open;
        const Operation function = functionNamed(lower);
        ExpressionStep step;
        step.position = static_cast<int>(token.offset);
        if (called) {
            if (function == Operation::Number)
                return Mistake{"funzione sconosciuta \"" + token.text +
                                   "\" alla posizione % (le funzioni sono exp, log, log10, sqrt, abs, sin, cos, tan, "
                                   "atan, sinh, cosh, tanh, erf, erfc, pow)",
                               token.offset};
            return call(token, function, depth);
        }
        if (function != Operation::Number)
            return Mistake{"\"" + token.text + "\" è una funzione, non un parametro: manca la parentesi dopo il nome "
                                               "alla posizione %",
                           token.offset};
        ++at_;
        if (lower == "pi") {
            step.operation = Operation::Pi;
        } else if (lower == "x") {
            step.operation = Operation::X;
        } else if (lower == "y" && twoVariables_) {
            step.operation = Operation::Y;
        } else if (lower == "y" || lower == "z") {
            return Mistake{lower + " è la variabile calcolata dall'equazione e non può stare a destra di \"=\": "
                                   "posizione %",
                           token.offset};
        } else {
            const auto known = std::find(names_.begin(), names_.end(), token.text);
            if (known == names_.end()) {
                if (static_cast<int>(names_.size()) == MaxEquationParameters)
                    return Mistake{"troppi parametri: al massimo " + std::to_string(MaxEquationParameters) +
                                       " (posizione %)",
                                   token.offset};
                names_.push_back(token.text);
            }
            step.operation = Operation::Parameter;
            step.parameter = static_cast<int>(std::find(names_.begin(), names_.end(), token.text) - names_.begin());
            step.withParameters = true;
        }
        steps_.push_back(step);
        return std::nullopt;
    }

    std::optional<Mistake> call(const Token& token, Operation function, int depth)
    {
        const Token& open = tokens_[at_ + 1];
        at_ += 2;
        if (auto mistake = deeper(depth + 1)) return mistake;
        std::vector<int> arguments;
        while (true) {
            if (current().kind == TokenKind::Close && arguments.empty()) break;
            if (auto mistake = sum(depth + 1)) return mistake;
            arguments.push_back(last());
            if (current().kind != TokenKind::Separator) break;
            ++at_;
        }
        if (current().kind != TokenKind::Close) {
            if (current().kind == TokenKind::End || current().kind == TokenKind::Equals)
                return Mistake{"parentesi non chiusa alla posizione %", open.offset};
            return Mistake{"manca un operatore prima della posizione %", current().offset};
        }
        ++at_;
        const std::size_t wanted = function == Operation::Power ? 2 : 1;
        if (arguments.size() != wanted)
            return Mistake{"la funzione " + lowered(token.text) + " vuole " +
                               (wanted == 2 ? std::string("due argomenti") : std::string("un argomento")) + ", ne ha " +
                               std::to_string(arguments.size()) + " (posizione %)",
                           token.offset};
        if (wanted == 2) binary(Operation::Power, arguments[0], arguments[1], token.offset);
        else {
            ExpressionStep step;
            step.operation = function;
            step.first = arguments[0];
            step.position = static_cast<int>(token.offset);
            push(step);
        }
        return std::nullopt;
    }

    int last() const { return static_cast<int>(steps_.size()) - 1; }

    std::string_view text_;
    std::vector<Token> tokens_;
    std::size_t at_ = 0;
    bool twoVariables_ = false;
    std::vector<ExpressionStep> steps_;
    std::vector<std::string> names_;
};

// The position of a byte offset as the user counts it: characters from 1.
int positionOf(std::string_view text, std::size_t offset)
{
    int position = 1;
    for (std::size_t k = 0; k < offset && k < text.size(); ++k)
        if ((static_cast<unsigned char>(text[k]) & 0xC0) != 0x80) ++position;
    return position;
}

Refusal refusalOf(std::string_view text, const Mistake& mistake)
{
    const std::string position = std::to_string(positionOf(text, mistake.offset));
    std::string sentence = mistake.sentence;
    const std::size_t mark = sentence.find('%');
    if (mark != std::string::npos) sentence.replace(mark, 1, position);
    return Refusal{RefusalCode::InvalidEquation, {sentence, position}};
}

// Steps store byte offsets while reading; the equation gives positions.
void positionsFromOffsets(std::string_view text, Expression& expression)
{
    std::vector<ExpressionStep> steps = expression.steps();
    for (ExpressionStep& step : steps) step.position = positionOf(text, static_cast<std::size_t>(step.position));
    expression = Expression(std::move(steps), expression.parameterCount());
}

} // namespace

Checked<ParsedEquation> readEquation(std::string_view text)
{
    if (text.size() > static_cast<std::size_t>(MaxEquationLength))
        return failed<ParsedEquation>(Refusal{
            RefusalCode::InvalidEquation,
            {"equazione troppo lunga: al massimo " + std::to_string(MaxEquationLength) + " caratteri", ""}});
    std::vector<Token> tokens;
    if (auto mistake = Lexer(text).run(tokens)) return failed<ParsedEquation>(refusalOf(text, *mistake));
    ParsedEquation equation;
    equation.text = std::string(text);
    if (auto mistake = Parser(text, std::move(tokens)).run(equation))
        return failed<ParsedEquation>(refusalOf(text, *mistake));
    positionsFromOffsets(text, equation.expression);
    return succeeded(std::move(equation));
}

} // namespace calvero
