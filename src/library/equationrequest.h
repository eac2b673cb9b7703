#pragma once
// A typed equation fitted for another program (fitrequest.h's sibling): the
// equation's text, plain arrays of points and the start values as the batch
// writes them ("b1=500,b2=1e-4") in, the fit or why not out.
#include "fit/equationfit.h"
#include "library/fitrequest.h"

#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace calvero {

struct EquationRequest {
    std::string_view equation;
    std::span<const double> x, y, z; // z: the value of an equation of x and y
    std::string_view start;          // empty: the program finds the start
};

// The answer as the kinds' (status, refusal, named parameters); the fit
// itself in fit when there is one.
FitAnswer fitEquationRequest(const EquationRequest& request, std::optional<EquationFit>& fit);

// The equation's report as calvero1-batch prints it, each line ended by '\n'.
std::string equationReportText(const EquationFit& fit);

} // namespace calvero
