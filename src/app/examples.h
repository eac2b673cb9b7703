#pragma once
// The built-in examples: data set files installed in the program's folder,
// read and calculated in this order by the command "&Esempi".
#include <array>
#include <string>
#include <string_view>

namespace calvero {

// Each is calculated as the kind its file stores.
struct ExampleFile {
    std::string_view name;
};

inline constexpr std::array<ExampleFile, 6> ExampleFiles{{
    {"potenzaold.txt"},
    {"nr150b6.txt"},
    {"polinomiofratto.txt"},
    {"esponenziale.txt"},
    {"temperatura_tempo.txt"},
    {"funzxy.txt"},
}};

// programFolder followed by the file name; no search elsewhere.
std::string examplePath(const std::string& programFolder, const ExampleFile& example);

} // namespace calvero
