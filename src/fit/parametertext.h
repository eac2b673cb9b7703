#pragma once
// The parameters' values as the engineer writes them beside an equation:
// "b1=500, b2=1e-4" (start values, fixed values), "b3=0:1" (bounds; "b3=0:"
// or "b3=:1" for one side). Items are separated by ";" or by a comma that a
// name and "=" follow; a comma between two digits is a decimal comma. Read
// once, at the edge (the batch's options, the C door, the window's fields).
#include "common/checked.h"
#include "fit/equationfit.h"

#include <string>
#include <string_view>
#include <vector>

namespace calvero {

// One value per named parameter (the others none); what is named "what" in
// the refusal ("valori iniziali", "parametri fissi"). Several texts add up.
Checked<std::vector<std::optional<double>>> readParameterValues(const std::vector<std::string>& texts,
                                                                const std::vector<std::string>& names,
                                                                const std::string& what);

struct ParameterBounds {
    std::vector<std::optional<double>> lower, upper;
};
Checked<ParameterBounds> readParameterBounds(const std::vector<std::string>& texts, const std::vector<std::string>& names);

// The settings of an equation from the three kinds of text.
Checked<ParameterSettings> readParameterSettings(const std::vector<std::string>& start,
                                                 const std::vector<std::string>& fixed,
                                                 const std::vector<std::string>& bounds,
                                                 const std::vector<std::string>& names);

} // namespace calvero
