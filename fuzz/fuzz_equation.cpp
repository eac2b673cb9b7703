// The reader of typed equations on arbitrary text: it either refuses with an
// InvalidEquation whose position lies within the text (or just past it), or
// gives an expression whose steps take only earlier steps and known
// parameters, and which evaluates (value and gradient, in double, long double
// and the linear form) without a crash at a few points.
#include "fit/equationparser.h"
#include "fit/linearform.h"
#include "fuzz_support.h"

#include <string>
#include <vector>

using namespace calvero;
using namespace calvero::fuzzing;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string text(reinterpret_cast<const char*>(data), size);
    const Checked<ParsedEquation> read = readEquation(text);
    if (!read) {
        require(read.refusal.code == RefusalCode::InvalidEquation, "a refusal of another code: " + read.failure());
        require(read.refusal.details.size() == 2 && !read.refusal.details[0].empty(), "a refusal without its sentence");
        if (!read.refusal.details[1].empty()) {
            const long position = std::stol(read.refusal.details[1]);
            require(position >= 1 && position <= static_cast<long>(size) + 1, "a position outside the text");
        }
        return 0;
    }
    const Expression& e = read->expression;
    const int p = e.parameterCount();
    require(p >= 1 && p == static_cast<int>(read->parameters.size()), "parameters miscounted");
    for (std::size_t k = 0; k < e.steps().size(); ++k) {
        const ExpressionStep& s = e.steps()[k];
        require(s.first < static_cast<int>(k) && s.second < static_cast<int>(k), "a step takes a later one");
        require(s.operation != Operation::Parameter || (s.parameter >= 0 && s.parameter < p), "an unknown parameter");
    }
    std::vector<double> parameters(static_cast<std::size_t>(p), 1.5), gradient(parameters.size()), scratch, adjoints;
    std::vector<long double> longParameters(parameters.begin(), parameters.end()), longScratch;
    for (double x : {-2.0, 0.0, 0.5, 3.0}) {
        e.valueAndGradient<double>(parameters, x, x / 2, gradient, scratch, adjoints);
        e.value<long double>(longParameters, x, x / 2, longScratch);
    }
    const std::vector<bool> all(static_cast<std::size_t>(p), true);
    if (const auto form = linearForm(e, all)) {
        for (const auto& column : form->columns)
            if (column) column->value<double>(parameters, 1.0, 1.0, scratch);
    }
    linearParameters(e, all);
    return 0;
}
