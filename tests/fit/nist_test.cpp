// NIST's linear least-squares reference sets for polynomials (Pontius, degree
// 2; Wampler1 to Wampler5, degree 5; tests/data/nist, with their source): the
// coefficients the program prints must match the certified values to at
// least 10 digits (log relative error, as NIST scores it), the standard error
// of the estimate and R² to at least 13.
#include "fit/statistics.h"

#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

using namespace calvero;

namespace {

struct ReferenceSet {
    int degree = 0;
    std::vector<double> coefficients;
    double residualSd = 0.0;
    double rSquared = 0.0;
    std::vector<double> x, y;
};

ReferenceSet readReferenceSet(const std::string& name)
{
    std::ifstream file(std::string(CALVERO_SOURCE_DIR) + "/tests/data/nist/" + name + ".txt");
    ReferenceSet set;
    std::string line;
    bool data = false;
    while (std::getline(file, line)) {
        if (line.empty() || line[0] == '#') continue;
        std::istringstream fields(line);
        std::string word;
        fields >> word;
        if (data) {
            set.y.push_back(std::stod(word));
            fields >> word;
            set.x.push_back(std::stod(word));
        } else if (word == "degree") {
            fields >> set.degree;
        } else if (word[0] == 'B') {
            fields >> word;
            set.coefficients.push_back(std::stod(word));
        } else if (word == "residual_sd") {
            fields >> set.residualSd;
        } else if (word == "r_squared") {
            fields >> set.rSquared;
        } else if (word == "data") {
            data = true;
        }
    }
    return set;
}

// NIST's log relative error: the correct digits; against a certified 0, the
// digits of the absolute error.
double logRelativeError(double computed, double certified)
{
    if (computed == certified) return 17.0;
    const double error = certified == 0.0 ? std::fabs(computed) : std::fabs(computed - certified) / std::fabs(certified);
    return -std::log10(error);
}

class NistPolynomials : public ::testing::TestWithParam<const char*> {};

} // namespace

TEST_P(NistPolynomials, CoefficientsToTenDigitsAndFiguresToThirteen)
{
    const ReferenceSet set = readReferenceSet(GetParam());
    ASSERT_FALSE(set.x.empty()) << GetParam();
    CalculationInput input;
    input.kind = FitType::Polynomial;
    input.degree = set.degree;
    for (std::size_t i = 0; i < set.x.size(); ++i) {
        input.points.x[static_cast<int>(i) + 1] = set.x[i];
        input.points.y[static_cast<int>(i) + 1] = set.y[i];
    }
    input.pointCount = static_cast<int>(set.x.size());
    const Outcome outcome = calculate(input);
    ASSERT_TRUE(outcome) << outcome.failure();
    const Calculation& done = *(outcome);
    const auto& curve = std::get<PolynomialCurve>(*done.curve);
    for (int k = 0; k <= set.degree; ++k)
        EXPECT_GE(logRelativeError(curve.coefficients[k + 1], set.coefficients[static_cast<std::size_t>(k)]), 10.0)
            << GetParam() << " B" << k << " = " << curve.coefficients[k + 1];

    const Statistics s = fitStatistics(done);
    // A certified 0 (the exact Wampler1 and 2) is met within the rounding of
    // y, whose largest value is about 10^6.5.
    const double figureDigits = set.residualSd == 0.0 ? 9.0 : 13.0;
    EXPECT_GE(logRelativeError(s.standardError.value(), set.residualSd), figureDigits) << *s.standardError;
    EXPECT_GE(logRelativeError(s.rSquared.value(), set.rSquared), 13.0) << *s.rSquared;
}

INSTANTIATE_TEST_SUITE_P(CertifiedValues, NistPolynomials,
                         ::testing::Values("Pontius", "Wampler1", "Wampler2", "Wampler3", "Wampler4", "Wampler5"),
                         [](const ::testing::TestParamInfo<const char*>& info) { return std::string(info.param); });
