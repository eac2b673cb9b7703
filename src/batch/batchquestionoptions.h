#pragma once
// The options of calvero1-batch that ask the fitted curve questions:
// --at X[,Y] (repeatable) with --level P and --weight W, --solve-y Y
// (repeatable), --system K[,P0[,N]] or --system-through Q,DP[,P0[,N]],
// --speed-ratio R or --diameter-ratio R with --quantity head|power|efficiency
// and --scaled-out FILE, --duty Q,H.
#include "batch/batchoptions.h"

#include <string>

namespace calvero {

// Whether the argument is one of them (each takes a value).
bool isQuestionOption(const std::string& argument);

// Reads the option's value into the options; the Italian problem, if any.
Failure readQuestionOption(const std::string& argument, const std::string& value, BatchOptions& options);

// Once the whole line is read: what is wrong with the questions taken
// together, if anything.
Failure settleQuestionOptions(const BatchOptions& options);

// Once the curve is known: what is wrong with the places of --at for a curve
// of one variable or two (a kind's, or a typed equation's), if anything.
Failure valuePlacesProblem(const BatchOptions& options, bool twoVariables, bool equation);

} // namespace calvero
