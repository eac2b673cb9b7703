// The equation saved beside a data set: what is written reads back the same,
// an open bound stays open, and the file sits beside the data set.
#include "formats/equationfile.h"

#include <gtest/gtest.h>

namespace calvero {
namespace {

TEST(EquationFile, WrittenReadsBackTheSame)
{
    const Checked<SavedEquation> typed = parseSavedEquation(
        R"json({"equation": "y = h0*(1-(x/q0)^n)", "start": {"q0": 80.5}, "fixed": {"n": 1.8},
            "bounds": {"h0": [0, null], "q0": [null, 1e300]}})json");
    ASSERT_TRUE(typed) << typed.failure();
    const Checked<SavedEquation> again = parseSavedEquation(savedEquationText(*typed));
    ASSERT_TRUE(again) << again.failure();
    EXPECT_EQ(again->equation.text, "y = h0*(1-(x/q0)^n)");
    EXPECT_EQ(again->equation.parameters, (std::vector<std::string>{"h0", "q0", "n"}));
    using Values = std::vector<std::optional<double>>;
    EXPECT_EQ(again->settings.start, (Values{std::nullopt, 80.5, std::nullopt}));
    EXPECT_EQ(again->settings.fixed, (Values{std::nullopt, std::nullopt, 1.8}));
    EXPECT_EQ(again->settings.lower, (Values{0.0, std::nullopt, std::nullopt}));
    EXPECT_EQ(again->settings.upper, (Values{std::nullopt, 1e300, std::nullopt}));
    EXPECT_EQ(equationFileFor("/dati/pompa.dat"), "/dati/pompa.equazione.json");
}

} // namespace
} // namespace calvero
