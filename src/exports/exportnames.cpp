#include "exports/exportnames.h"

#include "common/utf8.h"

#include <algorithm>
#include <iterator>
#include <cctype>
#include <filesystem>

namespace calvero {

namespace {

bool plainNameCharacter(char c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_' || c == '-';
}

// The keywords of C and Python, and the names the exported functions use.
constexpr std::string_view Reserved[] = {
    "auto", "break", "case", "char", "const", "continue", "default", "do", "double", "else", "enum", "extern",
    "float", "for", "goto", "if", "inline", "int", "long", "register", "restrict", "return", "short", "signed",
    "sizeof", "static", "struct", "switch", "typedef", "union", "unsigned", "void", "volatile", "while", "_Bool",
    "_Complex", "_Imaginary", "False", "None", "True", "and", "as", "assert", "async", "await", "class", "def",
    "del", "elif", "except", "finally", "from", "global", "import", "in", "is", "lambda", "nonlocal", "not", "or",
    "pass", "raise", "try", "with", "yield", "math", "exp", "pow", "nan", "value", "extrapolate"};

std::string comparedForm(std::string_view name)
{
    std::string key(name);
    for (char& c : key) c = c == '-' ? '_' : static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return key;
}

} // namespace

std::string objectName(std::string_view text)
{
    const std::string valid = validText(text);
    std::string name;
    for (std::size_t i = 0; i < valid.size(); ++i) {
        if (!startsUtf8Character(valid[i])) continue;
        name += plainNameCharacter(valid[i]) ? valid[i] : '_';
    }
    return name.empty() ? DefaultCurveName : name;
}

std::string identifierName(std::string_view text)
{
    std::string name = objectName(text);
    std::replace(name.begin(), name.end(), '-', '_');
    const bool reserved = std::find(std::begin(Reserved), std::end(Reserved), name) != std::end(Reserved);
    if (reserved || std::isdigit(static_cast<unsigned char>(name.front()))) name = "curva_" + name;
    return name;
}

std::string fileStem(const std::string& path) { return std::filesystem::path(path).stem().string(); }

std::string UniqueNames::take(std::string_view text)
{
    const std::string base = objectName(text);
    std::string name = base;
    for (int n = 2; !taken_.insert(comparedForm(identifierName(name))).second; ++n) name = base + "_" + std::to_string(n);
    return name;
}

} // namespace calvero
