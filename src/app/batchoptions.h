#pragma once
// The command line of calvero1-batch.
#include <optional>
#include <string>
#include <variant>
#include <vector>

namespace calvero {

struct BatchOptions {
    std::string dataSetFile; // the data set file to read and calculate, or
    std::string pointsFile;  // a point file read as the point-entry import reads it
    int kind = 0;            // with --points: 1..8
    int degree = 2;          // with --points: 1..9
    std::string initialTemperature;
    std::string finalTemperature;
    std::string workbookOut; // --xls
    std::string reportOut;   // --rtf
    std::string graphOut;    // --png
};

// The options, or the text that explains what is wrong with them.
std::variant<BatchOptions, std::string> parseBatchOptions(const std::vector<std::string>& arguments);

extern const char* const BatchUsage;

} // namespace calvero
