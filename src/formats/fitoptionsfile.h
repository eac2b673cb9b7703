#pragma once
// The fit options saved with a data set, without changing the data set
// file's format: a JSON file beside it, NAME.vincoli.json for NAME.dat or
// NAME.txt, read back with the data set by the window and by calvero1-batch.
// The same JSON object describes the options in the batch's JSON document.
//
//   {"throughPoints": [{"x": 0, "y": 620, "z": 0}],
//    "fixedTerms": [{"term": 1, "value": 620}],
//    "weights": "none" | "relative" | "column",
//    "minimax": false,
//    "monotone": "none" | "decreasing" | "increasing",
//    "curvature": "concave" | "convex",   (written only when on)
//    "leastSquaresInY": true}   (written only when on)
//
// Missing keys take their plain value; the per-point weights are data (the
// point file's column), never saved here.
#include "common/checked.h"
#include "fit/fitoptions.h"

#include <nlohmann/json.hpp>

#include <string>
#include <string_view>

namespace calvero {

// NAME.vincoli.json beside NAME.dat (the data set file's extension replaced).
std::string optionsFileFor(const std::string& dataSetPath);

nlohmann::json optionsJson(const FitOptions& options);

// The options a JSON text describes, or the Italian message saying what is wrong.
Checked<FitOptions> parseOptionsJson(std::string_view text);

// The options saved with the data set: none when it has no options file; the
// message when the file cannot be read or does not hold valid options.
Checked<FitOptions> readDataSetOptions(const std::string& dataSetPath);

// Saves the options beside the data set, or removes an earlier options file
// when none is on (a stale one would steer the next reading). The message
// when that failed.
Failure saveDataSetOptions(const std::string& dataSetPath, const FitOptions& options);

} // namespace calvero
