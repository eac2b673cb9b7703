#include "fit/steeredfit.h"

#include "fit/centreddesign.h"
#include "fit/equalityfit.h"
#include "fit/inequalityfit.h"
#include "fit/kernel.h"

namespace calvero {

namespace {

WeightedProblem weightedOf(const SteeredProblem& p) { return {p.x, p.y, p.v, p.weights, p.terms}; }

std::vector<double> rounded(const RealVector& given)
{
    std::vector<double> coefficients;
    for (Eigen::Index j = 0; j < given.size(); ++j) coefficients.push_back(roundToDouble(given(j)));
    return coefficients;
}

} // namespace

Checked<SteeredFit> fitSteered(const SteeredProblem& problem)
{
    const WeightedProblem weighted = weightedOf(problem);
    const CentredTerms design(problem.x, problem.y, problem.terms);
    SteeredFit fit;
    if (!problem.minimax && problem.slopeSign == 0 && problem.curvatureSign == 0) {
        const Checked<ConditionedDesign> conditioned = ConditionedDesign::make(weighted, design, problem.conditions);
        if (!conditioned) return failed<SteeredFit>(conditioned.refusal);
        fit.coefficients = rounded(conditioned->solve().given);
        return succeeded(std::move(fit));
    }
    const Checked<InequalityFit> found =
        fitWithInequalities(weighted, design, problem.conditions, {problem.minimax, problem.slopeSign, problem.curvatureSign});
    if (!found) return failed<SteeredFit>(found.refusal);
    fit.coefficients = rounded(found->given);
    fit.slopeBound = found->slopeBound;
    if (problem.minimax) fit.largestRelativeError = found->largestRelativeError;
    return succeeded(std::move(fit));
}

std::vector<double> steeredVarianceFactors(const SteeredProblem& problem)
{
    const CentredTerms design(problem.x, problem.y, problem.terms);
    const Checked<ConditionedDesign> conditioned =
        ConditionedDesign::make(weightedOf(problem), design, problem.conditions);
    return conditioned ? conditioned->varianceFactors() : std::vector<double>{};
}

} // namespace calvero
