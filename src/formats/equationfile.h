#pragma once
// A typed equation saved with a data set, as its options are: a JSON file
// beside it, NAME.equazione.json for NAME.dat, read back by calvero1-batch
// (and the Python module's read_dataset), which then fit the equation to
// the data set's points instead of its kind.
//
//   {"equation": "y = b1*(1-exp(-b2*x))",
//    "start": {"b1": 500, "b2": 1e-4},   (optional, any of the parameters)
//    "fixed": {"b2": 1.8},               (optional)
//    "bounds": {"b1": [0, 1000]}}        (optional; null for an open end)
#include "common/checked.h"
#include "fit/equationfit.h"

#include <optional>
#include <string>
#include <string_view>

namespace calvero {

struct SavedEquation {
    ParsedEquation equation;
    ParameterSettings settings;
};

// NAME.equazione.json beside NAME.dat (the data set file's extension replaced).
std::string equationFileFor(const std::string& dataSetPath);

// The equation a JSON text holds, or the Italian message saying what is wrong.
Checked<SavedEquation> parseSavedEquation(std::string_view text);
std::string savedEquationText(const SavedEquation& saved);

// The equation saved with the data set: none when there is no equation file.
Checked<std::optional<SavedEquation>> readDataSetEquation(const std::string& dataSetPath);

// Saves the equation beside the data set; the message when that failed.
Failure saveDataSetEquation(const std::string& dataSetPath, const SavedEquation& saved);

} // namespace calvero
