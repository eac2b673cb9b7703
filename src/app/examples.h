#pragma once
// The built-in examples: data set files installed in the program's folder,
// read and calculated in this order by the command "&Esempi".
#include <array>
#include <string>
#include <string_view>

namespace calvero {

// The driver is fixed by the example's place in the list, not by the kind
// stored in its file.
enum class ExampleDriver { OneVariable, Surface };

struct ExampleFile {
    std::string_view name;
    ExampleDriver driver;
};

inline constexpr std::array<ExampleFile, 6> ExampleFiles{{
    {"potenzaold.txt", ExampleDriver::OneVariable},
    {"nr150b6.txt", ExampleDriver::OneVariable},
    {"polinomiofratto.txt", ExampleDriver::OneVariable},
    {"esponenziale.txt", ExampleDriver::OneVariable},
    {"temperatura_tempo.txt", ExampleDriver::OneVariable},
    {"funzxy.txt", ExampleDriver::Surface},
}};

// programFolder followed by the file name; no search elsewhere.
std::string examplePath(const ExampleFile& example);

} // namespace calvero
