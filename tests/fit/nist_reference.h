#pragma once
// NIST's linear least-squares reference sets for polynomials (tests/data/nist,
// with their source): the data, the certified values, and NIST's score of a
// computed value against them.
#include <cmath>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace calvero::nist {

struct ReferenceSet {
    int degree = 0;
    std::vector<double> coefficients;
    double residualSd = 0.0;
    double rSquared = 0.0;
    std::vector<double> x, y;
};

// A set in that format under tests/data ("nist/Pontius"): other point files
// are written in it too.
inline ReferenceSet readSet(const std::string& path)
{
    std::ifstream file(std::string(CALVERO_SOURCE_DIR) + "/tests/data/" + path + ".txt");
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

inline ReferenceSet readReferenceSet(const std::string& name) { return readSet("nist/" + name); }

// NIST's log relative error: the correct digits; against a certified 0, the
// digits of the absolute error.
inline double logRelativeError(double computed, double certified)
{
    if (computed == certified) return 17.0;
    const double error = certified == 0.0 ? std::fabs(computed) : std::fabs(computed - certified) / std::fabs(certified);
    return -std::log10(error);
}

} // namespace calvero::nist
