#pragma once
// The names the exports give their objects and functions. A simulation
// object's name keeps letters, digits, '_' and '-'; a C or Python function's
// name is an identifier of both languages that shadows nothing they need.
// Whatever bytes a file's name held, the names are plain ASCII, so that every
// exported file stays valid in its format.
#include <set>
#include <string>
#include <string_view>

namespace calvero {

// The name when nothing gives one.
inline constexpr const char* DefaultCurveName = "curva";

// Every character outside ASCII letters, digits, '_' and '-' becomes '_' (a
// character of several bytes, or a byte that begins none, counts once); an
// empty text gives DefaultCurveName.
std::string objectName(std::string_view text);

// objectName with '-' as '_', and "curva_" before a name that begins with a
// digit or is a keyword of C or Python or a name the functions use (math, exp, pow).
std::string identifierName(std::string_view text);

// The stem of a file's path ("dati/pompa 1.txt" gives "pompa 1").
std::string fileStem(const std::string& path);

// Names made unique as the simulation program and the languages compare them
// (letters in either case and '-' or '_' alike): a name already taken gets
// "_2", "_3", ... after it.
class UniqueNames {
public:
    std::string take(std::string_view text);

private:
    std::set<std::string> taken_;
};

} // namespace calvero
