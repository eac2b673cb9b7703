#pragma once
// A typed equation's fit as one JSON document for scripts, in the shape of
// the other kinds' (fitjson.h):
//   {"equation": "y = b1*(1-exp(-b2*x))", "variables": ["x"], "response": "y",
//    "parameters": ["b1", "b2"],
//    "coefficients": [{"name": "b1", "value": ...}, ...],
//    "start": [{"name": "b1", "value": ...}, ...],
//    "options": {"fixed": {...}, "bounds": {...}, "weights": "none"},
//    "statistics": {..., "standardError", "coefficients": [{"standardError", ...}],
//                   "iterations", "converged", "startValues": "given"|"found",
//                   "possiblyLocal", "linear", "localFits"},
//    "points": [{"x", "y", "yint", "errorPercent", "difference"}, ...]}
// and, when questions were asked of it, their answers as answerjson.h writes them.
#include "fit/curveanswers.h"
#include "fit/equationfit.h"
#include "fit/statistics.h"

#include <nlohmann/json.hpp>

#include <string>

namespace calvero {

nlohmann::json equationStatisticsJson(const EquationFit& fit, const Statistics& statistics);

std::string equationJson(const EquationFit& fit, const CurveQuestions* questions = nullptr,
                         const CurveAnswers* answers = nullptr);

} // namespace calvero
