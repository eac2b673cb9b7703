// The least-squares solver's two roads on the same data: NIST's polynomial
// sets, a vapour-pressure table against T in kelvin at degree 4 and 7, a fan's
// power over 500..5500 rpm at degree 8. The quick road (quickleastsquares.h)
// answers where its bounds hold and gives the double nearest the exact least
// squares, bit for bit; the long road, forced on every set, keeps ten digits of
// it and of NIST's certified values, and where the points lie close to their
// curve its refinement in quad leaves it within a unit of the last place. Both
// roads' conditioning (the condition number, diag((XᵀX)⁻¹)) is the exact one
// to ten digits. The exact figures are mpmath's at 100 digits, from
// tests/fit/leastsquares_roads.py, which also wrote the kelvin and fan points.
#include "fit/leastsquares.h"
#include "fit/quickleastsquares.h"
#include "nist_reference.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <optional>
#include <string>
#include <vector>

using namespace calvero;
using namespace calvero::nist;

namespace {

struct RoadCase {
    const char* path; // under tests/data
    int degree;
    bool quickAnswers; // the condition number times the sums' cancellation below 2^30
    bool closeFit;     // 1 - R² below 10⁻⁶
    std::vector<const char*> coefficients;
    const char* conditionNumber;
    std::vector<const char*> varianceFactors;
};

const RoadCase RoadCases[] = {
    {"nist/Pontius", 2, true, true,
     {"6.735657894736631677019128e-4", "7.320591604010025464782062e-7", "-3.16081871345030553265515e-15"},
     "1.844682386581005063460661e+1",
     {"2.767543859649122807017544e-1", "5.916305916305916305916306e-13", "5.625736619888666672292403e-26"}},
    {"nist/Wampler1", 5, true, true,
     {"1.0", "1.0", "1.0", "1.0", "1.0", "1.0"},
     "2.220208496448217562455821e+3",
     {"8.316466142553099074838205e-1", "1.00288894923744836249884", "1.09038654180581088644085e-1", "1.848609091866091462268606e-3", "5.722065807541645474072449e-6", "2.265032046967704525922321e-9"}},
    {"nist/Wampler2", 5, true, true,
     {"9.99999999999999739086257e-1", "1.000000000000008099492185e-1", "9.999999999999616229752418e-3", "1.000000000000062987356922e-3", "9.999999999999588295035024e-5", "1.000000000000009139237947e-5"},
     "2.220208496448217562455821e+3",
     {"8.316466142553099074838205e-1", "1.00288894923744836249884", "1.09038654180581088644085e-1", "1.848609091866091462268606e-3", "5.722065807541645474072449e-6", "2.265032046967704525922321e-9"}},
    {"nist/Wampler3", 5, true, false,
     {"1.0", "1.0", "1.0", "1.0", "1.0", "1.0"},
     "2.220208496448217562455821e+3",
     {"8.316466142553099074838205e-1", "1.00288894923744836249884", "1.09038654180581088644085e-1", "1.848609091866091462268606e-3", "5.722065807541645474072449e-6", "2.265032046967704525922321e-9"}},
    {"nist/Wampler4", 5, true, false,
     {"1.0", "1.0", "1.0", "1.0", "1.0", "1.0"},
     "2.220208496448217562455821e+3",
     {"8.316466142553099074838205e-1", "1.00288894923744836249884", "1.09038654180581088644085e-1", "1.848609091866091462268606e-3", "5.722065807541645474072449e-6", "2.265032046967704525922321e-9"}},
    {"nist/Wampler5", 5, true, false,
     {"1.0", "1.0", "1.0", "1.0", "1.0", "1.0"},
     "2.220208496448217562455821e+3",
     {"8.316466142553099074838205e-1", "1.00288894923744836249884", "1.09038654180581088644085e-1", "1.848609091866091462268606e-3", "5.722065807541645474072449e-6", "2.265032046967704525922321e-9"}},
    {"roads/kelvin", 4, true, false,
     {"6.217486159373362522941635e+3", "-8.678563162147910914759858e+1", "4.565676441015836759544456e-1", "-1.073866646535640428826424e-3", "9.53713088347467926563096e-7"},
     "3.718988421425101605553662e+5",
     {"1.742256992444019895939733e+7", "2.722781203974997930279544e+3", "5.943321460960832563289601e-2", "2.545400276497041069217246e-7", "1.522833667133034477226158e-13"}},
    {"roads/kelvin", 7, false, true,
     {"4.193243052245152293086046e+3", "-1.11080095603639187995206e+2", "1.245610707109317755970848", "-7.658599987286763832069606e-3", "2.781734461005151435555551e-5", "-5.939768788137899684064749e-8", "6.840760179525433232685523e-11", "-3.219796334510215621816772e-14"},
     "7.289924878580087201791755e+9",
     {"7.410448982509495385765829e+13", "3.555531147943134475333227e+10", "3.121595930838028110249679e+6", "8.427002544911847717059066e+1", "8.159174929648053756750985e-4", "2.833364291947166487274291e-9", "3.025533045415998181733759e-15", "5.912147366745987277342459e-22"}},
    {"roads/fan", 8, true, false,
     {"3.008686727300466148295424e-1", "4.602416947408309440682552e-4", "-4.651708860820216471779236e-7", "4.943877509334161960364671e-10", "-2.604222255549155965708313e-13", "8.523354749286737688226504e-17", "-1.628891018469319371223782e-20", "1.678414317698228515831957e-24", "-7.196410292765504370328987e-29"},
     "1.186888624103098872757076e+6",
     {"5.808299070053159502056287e+2", "1.218068151334247833563339e-2", "3.858128542516751782614951e-8", "3.257692050504526378558098e-14", "9.045583141778338792846806e-21", "8.887646278713784515809755e-28", "3.010254456739513507950404e-35", "2.989572268723565164842465e-43", "5.176425830984674833850123e-52"}},
};

double unitInTheLastPlace(double value) { return std::nextafter(std::fabs(value), INFINITY) - std::fabs(value); }

double relativeError(double computed, const char* exact)
{
    const double wanted = std::strtod(exact, nullptr);
    return std::fabs(computed - wanted) / std::fabs(wanted);
}

void expectExactConditioning(const DesignConditioning& conditioning, const RoadCase& c, const char* road)
{
    EXPECT_LT(relativeError(conditioning.conditionNumber, c.conditionNumber), 1e-10) << c.path << " " << road;
    ASSERT_EQ(conditioning.varianceFactors.size(), c.varianceFactors.size());
    for (std::size_t k = 0; k < c.varianceFactors.size(); ++k)
        EXPECT_LT(relativeError(conditioning.varianceFactors[k], c.varianceFactors[k]), 1e-10)
            << c.path << " " << road << " c" << k;
}

} // namespace

TEST(LeastSquaresRoads, QuickRoadExactLongRoadToTenDigits)
{
    for (const RoadCase& c : RoadCases) {
        const ReferenceSet set = readSet(c.path);
        ASSERT_FALSE(set.x.empty()) << c.path;
        const std::vector<Monomial> terms = powersOfX(c.degree);
        const std::optional<LeastSquaresFit> quick = quickLeastSquares(set.x, {}, set.y, terms);
        const LeastSquaresFit slow = fitLeastSquaresWithConditioning(set.x, {}, set.y, terms, SolverRoad::LongOnly);
        const bool nist = std::string(c.path).starts_with("nist/");
        EXPECT_EQ(quick.has_value(), c.quickAnswers) << c.path << " degree " << c.degree;
        for (std::size_t k = 0; k < c.coefficients.size(); ++k) {
            const double exact = std::strtod(c.coefficients[k], nullptr);
            if (quick) EXPECT_EQ(quick->coefficients[k], exact) << c.path << " quick road c" << k;
            EXPECT_GE(logRelativeError(slow.coefficients[k], exact), 10.0) << c.path << " long road c" << k;
            if (c.closeFit)
                EXPECT_LE(std::fabs(slow.coefficients[k] - exact), unitInTheLastPlace(exact))
                    << c.path << " long road c" << k << " = " << slow.coefficients[k];
            if (nist)
                EXPECT_GE(logRelativeError(slow.coefficients[k], set.coefficients[k]), 10.0)
                    << c.path << " long road B" << k << " against the certified value";
        }
        if (quick) expectExactConditioning(quick->conditioning, c, "quick road");
        expectExactConditioning(slow.conditioning, c, "long road");
    }
}
