#pragma once
// The answers to the questions asked of a curve (fit/curveanswers.h) as the
// members of the JSON document that hold them: "predictions", "solutions",
// "operatingPoints", "scaled" and "duty". A question refused holds its
// refusal, {"code": "no_x_for_y", "text": "nessuna x dà ..."}, instead of
// its figures.
#include "fit/curveanswers.h"

#include <nlohmann/json.hpp>

namespace calvero {

void addAnswersJson(nlohmann::json& document, const CurveQuestions& questions, const CurveAnswers& answers);

nlohmann::json predictionJson(const Prediction& prediction, bool surface);
nlohmann::json refusalJson(const Refusal& refusal);

} // namespace calvero
