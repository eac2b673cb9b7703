// Speed of typed equations: each of NIST's 27 nonlinear sets from both of its
// starting points, fitted in one process as calvero1-batch --equation fits
// them (target: each within 20 ms), and the whole 54 one after the other
// (target: under 1 s).
#include "fit/equationfit.h"
#include "fit/equationparser.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cmath>
#include <fstream>
#include <map>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

using namespace calvero;

namespace {

const std::string NistFolder = std::string(CALVERO_SOURCE_DIR) + "/tests/data/nist-nonlinear/";

struct NistProblem {
    std::string name, equation;
    std::vector<std::string> parameters; // in NIST's order, b1, b2, ...
    std::vector<double> starts[2];
    EquationPoints points;
};

// NIST's file: "b1 = start1 start2 certified deviation" lines, then the data
// after the second "Data:" line, the response first (Nelson's as ln y, its
// two predictors as x and y).
NistProblem readProblem(const std::string& name, const std::string& equation)
{
    NistProblem problem{name, equation, {}, {}, {}};
    std::ifstream file(NistFolder + name + ".dat");
    const std::regex parameter(R"(\s*(b\d+)\s*=\s*(\S+)\s+(\S+)\s+\S+\s+\S+\s*)");
    std::string line;
    int dataLines = 0, lineNumber = 0;
    bool inData = false;
    while (std::getline(file, line)) {
        ++lineNumber;
        std::smatch m;
        if (!inData && std::regex_match(line, m, parameter)) {
            problem.parameters.push_back(m[1]);
            problem.starts[0].push_back(std::stod(m[2]));
            problem.starts[1].push_back(std::stod(m[3]));
        }
        if (!inData && line.rfind("Data:", 0) == 0 && line.find("Response") == std::string::npos && lineNumber > 30) {
            inData = true;
            continue;
        }
        if (!inData) continue;
        std::istringstream row(line);
        std::vector<double> values;
        for (double v; row >> v;) values.push_back(v);
        if (values.empty()) continue;
        ++dataLines;
        problem.points.x.push_back(values[1]);
        if (values.size() == 3) problem.points.y.push_back(values[2]);
        problem.points.value.push_back(values.size() == 3 ? std::log(values[0]) : values[0]);
    }
    return problem;
}

std::vector<NistProblem> allProblems()
{
    std::vector<NistProblem> problems;
    std::ifstream table(NistFolder + "equations.txt");
    std::string line;
    while (std::getline(table, line)) {
        const auto tab = line.find('\t');
        if (tab != std::string::npos) problems.push_back(readProblem(line.substr(0, tab), line.substr(tab + 1)));
    }
    return problems;
}

const std::vector<NistProblem>& problems()
{
    static const std::vector<NistProblem> read = allProblems();
    return read;
}

// The refusal's text, empty when the fit was made.
std::string fitOnce(const NistProblem& problem, int start)
{
    EquationInput input;
    Checked<ParsedEquation> equation = readEquation(problem.equation);
    if (!equation) return equation.failure();
    input.equation = std::move(*equation);
    input.points = problem.points;
    // The equation lists its parameters as they first appear (MGH17: b1, b2, b4, b3, b5).
    for (const std::string& name : input.equation.parameters) {
        const auto at = std::find(problem.parameters.begin(), problem.parameters.end(), name) - problem.parameters.begin();
        input.settings.start.push_back(problem.starts[start].at(static_cast<std::size_t>(at)));
    }
    const Checked<EquationFit> fit = fitEquation(std::move(input));
    return fit ? std::string() : fit.failure();
}

void fitProblem(benchmark::State& state, std::size_t which, int start)
{
    const NistProblem& problem = problems().at(which);
    for (auto _ : state)
        if (const std::string refused = fitOnce(problem, start); !refused.empty()) state.SkipWithError(refused.c_str());
}

void fitAll(benchmark::State& state)
{
    for (auto _ : state)
        for (const NistProblem& problem : problems())
            for (int start : {0, 1}) benchmark::DoNotOptimize(fitOnce(problem, start));
}

// Registered at start-up, one per set and start, named "Nist/Misra1a/start1".
[[maybe_unused]] const bool registered = [] {
    for (std::size_t k = 0; k < problems().size(); ++k)
        for (int start : {0, 1})
            benchmark::RegisterBenchmark(("Nist/" + problems()[k].name + "/start" + std::to_string(start + 1)).c_str(),
                                         fitProblem, k, start)
                ->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("Nist/All54", fitAll)->Unit(benchmark::kMillisecond);
    return true;
}();

} // namespace
